#include "engine/motion_compare.h"

#include <cmath>
#include <cstdlib>

namespace snapwire::motion {

namespace {

constexpr std::int32_t kThresholdAtZero = 10000000;
constexpr std::int32_t kThresholdStep = 100000;
constexpr float kLowestMotion = 0.01f;
constexpr float kHighestMotion = 1.0f;

QImage AsRgb32(const QImage& picture) {
    if (picture.isNull() || picture.format() == QImage::Format_RGB32)
        return picture;
    return picture.convertToFormat(QImage::Format_RGB32);
}

inline std::int32_t Packed(QRgb pixel) {
    return static_cast<std::int32_t>(((pixel >> 16) & 0xFF) | (pixel & 0xFF00) | ((pixel & 0xFF) << 16));
}

// Reads one row through its scan line; a row outside the picture has none.
class RowReader {
  public:
    explicit RowReader(const QImage& picture)
        : picture_(picture), width_(picture.width()), height_(picture.height()) {}

    void SeekRow(std::int64_t y) {
        line_ = y < height_ ? reinterpret_cast<const QRgb*>(picture_.constScanLine(int(y))) : nullptr;
    }
    std::int32_t At(std::int64_t x) const {
        if (!line_ || x >= width_)
            return kOutsidePicture;
        return Packed(line_[x]);
    }

  private:
    const QImage& picture_;
    const std::int64_t width_;
    const std::int64_t height_;
    const QRgb* line_ = nullptr;
};

}  // namespace

std::int32_t PackedColor(QRgb pixel) {
    return Packed(pixel);
}

QRgb QtColor(std::uint32_t packedColor) {
    return qRgb(int(packedColor & 0xFF), int((packedColor >> 8) & 0xFF), int((packedColor >> 16) & 0xFF));
}

std::int32_t MotionThreshold(std::int32_t sensitivity) {
    return kThresholdAtZero - kThresholdStep * sensitivity;
}

PictureComparison ComparePictures(const QImage& examined, const QImage& reference, std::int32_t gridWidth,
                                  std::int32_t gridHeight, std::int32_t threshold,
                                  std::optional<std::uint32_t> paintColor) {
    const QImage current = AsRgb32(examined);
    const QImage previous = AsRgb32(reference);
    PictureComparison result;
    result.marked = paintColor ? current : examined;
    const QRgb paint = paintColor ? QtColor(*paintColor) : 0;

    const std::int64_t markedWidth = result.marked.width();
    const std::int64_t markedHeight = result.marked.height();
    RowReader currentRow(current);
    RowReader previousRow(previous);
    // Rows outside, columns inside: the same points as column by column, in the
    // order the scan lines lie in memory.
    for (std::int64_t y = 0; y <= gridHeight; y += 2) {
        currentRow.SeekRow(y);
        previousRow.SeekRow(y);
        QRgb* markedLine = (paintColor && y < markedHeight)
                               ? reinterpret_cast<QRgb*>(result.marked.scanLine(int(y)))
                               : nullptr;
        for (std::int64_t x = 0; x <= gridWidth; x += 2) {
            const std::int32_t difference = std::abs(currentRow.At(x) - previousRow.At(x));
            if (difference <= threshold)
                continue;
            ++result.changedPoints;
            if (markedLine && x < markedWidth)
                markedLine[x] = paint;
        }
    }
    return result;
}

float MotionRatio(std::int32_t changedPoints, std::int32_t width, std::int32_t height) {
    const std::int64_t sampled = std::int64_t{4} * changedPoints;
    const std::int64_t pixels = std::int64_t{height} * width;
    return static_cast<float>(static_cast<double>(sampled) / static_cast<double>(pixels));
}

bool IsMotion(float ratio) {
    return ratio >= kLowestMotion && ratio <= kHighestMotion;
}

// Rounded as the ratio reads in single precision (seven digits), halves away from
// zero: 0.125 gives 13%, and 0.01 stays 1% although its binary value lies below.
QString PercentText(float ratio) {
    const double hundredths = QString::number(double(ratio) * 100.0, 'g', 7).toDouble();
    return QString::number(static_cast<long long>(std::llround(hundredths))) + QLatin1Char('%');
}

}  // namespace snapwire::motion
