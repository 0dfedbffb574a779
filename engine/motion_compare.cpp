#include "engine/motion_compare.h"

#include <QtEndian>
#ifdef __SSE2__
#include <emmintrin.h>
#endif
#include <algorithm>
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

// Red, green, blue from the high bytes down, so reversed and shifted down by one byte.
inline std::int32_t Packed(QRgb pixel) {
    return static_cast<std::int32_t>(qbswap(quint32(pixel)) >> 8);
}

// The scan line of row y, or none for a row outside the picture.
const QRgb* RowOf(const QImage& picture, std::int64_t y) {
    return y < picture.height() ? reinterpret_cast<const QRgb*>(picture.constScanLine(int(y))) : nullptr;
}

std::int32_t PointOf(const QRgb* row, std::int64_t rowWidth, std::int64_t x) {
    return row && x < rowWidth ? Packed(row[x]) : kOutsidePicture;
}

#ifdef __SSE2__
// The four pixels at `pixels` where `mask` is set take `paint`.
inline void PaintMasked(QRgb* pixels, __m128i mask, __m128i paint) {
    auto* at = reinterpret_cast<__m128i*>(pixels);
    const __m128i kept = _mm_andnot_si128(mask, _mm_loadu_si128(at));
    _mm_storeu_si128(at, _mm_or_si128(kept, _mm_and_si128(mask, paint)));
}
#endif

// The points x, x + 2, ... of one row that both pictures hold, up to `end`:
// counted, and painted in `markedRow` when there is one. Returns the first point
// left for the caller.
std::int64_t CompareInsidePoints(const QRgb* currentRow, const QRgb* previousRow, QRgb* markedRow,
                                 std::int64_t end, std::int32_t threshold, QRgb paint,
                                 std::int32_t& changedPoints) {
    std::int64_t x = 0;
#ifdef __SSE2__
    // Four points from eight pixels at a time, exactly as the single points below.
    const __m128i byte = _mm_set1_epi32(0xFF);
    const __m128i green = _mm_set1_epi32(0xFF00);
    const __m128i limit = _mm_set1_epi32(threshold);
    const auto packedEvenPixels = [&](const QRgb* pixels) {
        const __m128 low = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels)));
        const __m128 high = _mm_castsi128_ps(_mm_loadu_si128(reinterpret_cast<const __m128i*>(pixels + 4)));
        const __m128i even = _mm_castps_si128(_mm_shuffle_ps(low, high, _MM_SHUFFLE(2, 0, 2, 0)));
        return _mm_or_si128(
            _mm_or_si128(_mm_and_si128(_mm_srli_epi32(even, 16), byte), _mm_and_si128(even, green)),
            _mm_slli_epi32(_mm_and_si128(even, byte), 16));
    };
    const __m128i paintAll = _mm_set1_epi32(int(paint));
    __m128i counts = _mm_setzero_si128();
    for (; x + 8 <= end; x += 8) {
        const __m128i difference =
            _mm_sub_epi32(packedEvenPixels(currentRow + x), packedEvenPixels(previousRow + x));
        const __m128i sign = _mm_srai_epi32(difference, 31);
        const __m128i changed = _mm_cmpgt_epi32(_mm_sub_epi32(_mm_xor_si128(difference, sign), sign), limit);
        counts = _mm_sub_epi32(counts, changed);
        if (markedRow && _mm_movemask_ps(_mm_castsi128_ps(changed)) != 0) {
            // The four lanes stand for the even pixels: blended in, not stored one by one.
            PaintMasked(markedRow + x, _mm_unpacklo_epi32(changed, _mm_setzero_si128()), paintAll);
            PaintMasked(markedRow + x + 4, _mm_unpackhi_epi32(changed, _mm_setzero_si128()), paintAll);
        }
    }
    alignas(16) std::int32_t laneCounts[4];
    _mm_store_si128(reinterpret_cast<__m128i*>(laneCounts), counts);
    changedPoints += laneCounts[0] + laneCounts[1] + laneCounts[2] + laneCounts[3];
#endif
    for (; x < end; x += 2) {
        const bool changed = std::abs(Packed(currentRow[x]) - Packed(previousRow[x])) > threshold;
        changedPoints += changed;
        if (changed && markedRow)
            markedRow[x] = paint;
    }
    return x;
}

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

PictureComparison ComparePictures(QImage examined, const QImage& reference, std::int32_t gridWidth,
                                  std::int32_t gridHeight, std::int32_t threshold,
                                  std::optional<std::uint32_t> paintColor) {
    PictureComparison result;
    result.marked = std::move(examined);
    if (paintColor) {
        result.marked = AsRgb32(result.marked);
        result.marked.bits();  // detached before the walk, so the rows read stay where they are
    }
    // Painting reads and paints the one picture; otherwise a converted copy is read.
    const QImage unpainted = paintColor ? QImage() : AsRgb32(result.marked);
    const QImage& current = paintColor ? result.marked : unpainted;
    const QImage previous = AsRgb32(reference);
    const QRgb paint = paintColor ? QtColor(*paintColor) : 0;
    const std::int64_t currentWidth = current.width();
    const std::int64_t previousWidth = previous.width();
    std::int32_t changedPoints = 0;  // a local, which the stores of painted points cannot touch

    // Rows outside, columns inside: the same points as column by column, in the
    // order the scan lines lie in memory.
    for (std::int64_t y = 0; y <= gridHeight; y += 2) {
        QRgb* markedRow = paintColor && y < result.marked.height()
                              ? reinterpret_cast<QRgb*>(result.marked.scanLine(int(y)))
                              : nullptr;
        const QRgb* currentRow = RowOf(current, y);
        const QRgb* previousRow = RowOf(previous, y);
        // Where both pictures hold the point, straight from the scan lines.
        const std::int64_t bothInside =
            currentRow && previousRow ? std::min({currentWidth, previousWidth, std::int64_t{gridWidth} + 1})
                                      : 0;
        std::int64_t x = bothInside > 0 ? CompareInsidePoints(currentRow, previousRow, markedRow, bothInside,
                                                              threshold, paint, changedPoints)
                                        : 0;
        for (; x <= gridWidth; x += 2) {
            const std::int32_t difference =
                std::abs(PointOf(currentRow, currentWidth, x) - PointOf(previousRow, previousWidth, x));
            if (difference <= threshold)
                continue;
            ++changedPoints;
            if (markedRow && x < currentWidth)
                markedRow[x] = paint;
        }
    }
    result.changedPoints = changedPoints;
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
