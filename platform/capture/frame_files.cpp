#include "platform/capture/frame_files.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>
#include <cstring>
#include <optional>

#include "platform/capture/capture_control.h"

namespace snapwire::capture {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;

void PutLe16(char* at, quint16 value) {
    qToLittleEndian(value, at);
}
void PutLe32(char* at, quint32 value) {
    qToLittleEndian(value, at);
}

CaptureError WriteFailure(const QString& path, const QString& reason) {
    return CaptureError(kErrorFileWrite,
                        QStringLiteral("Cannot write the file \"%1\": %2").arg(path, reason));
}

quint32 GetLe32(const char* at) {
    return qFromLittleEndian<quint32>(at);
}
quint16 GetLe16(const char* at) {
    return qFromLittleEndian<quint16>(at);
}

// Decodes an uncompressed 24-bit BMP with a 40-byte (or larger) info header. Nothing
// for any other kind of file, which the caller hands to the general reader; a null
// picture for such a bitmap that is cut short or damaged.
std::optional<QImage> DecodeBitmap24(const QByteArray& file) {
    if (file.size() < kFileHeaderSize + kInfoHeaderSize || file[0] != 'B' || file[1] != 'M')
        return std::nullopt;
    const char* in = file.constData();
    const char* info = in + kFileHeaderSize;
    if (GetLe32(info) < quint32(kInfoHeaderSize) || GetLe16(info + 14) != 24 || GetLe32(info + 16) != 0)
        return std::nullopt;
    const quint32 dataOffset = GetLe32(in + 10);
    const qint32 width = qint32(GetLe32(info + 4));
    const qint32 signedHeight = qint32(GetLe32(info + 8));
    if (width <= 0 || width > 65535 || signedHeight == 0 || signedHeight > 65535 || signedHeight < -65535)
        return QImage();
    const bool bottomUp = signedHeight > 0;
    const int height = bottomUp ? signedHeight : -signedHeight;
    const qint64 rowBytes = (qint64(width) * 3 + 3) & ~qint64(3);
    if (qint64(dataOffset) + rowBytes * height > file.size())
        return QImage();

    QImage image(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height && !image.isNull(); ++y) {
        const uchar* row =
            reinterpret_cast<const uchar*>(in + dataOffset) + rowBytes * (bottomUp ? height - 1 - y : y);
        QRgb* target = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) target[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    }
    return image;
}

}  // namespace

QImage ReadPictureFile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    if (std::optional<QImage> bitmap = DecodeBitmap24(file.readAll()))
        return *bitmap;
    file.close();
    QImageReader reader(path);
    return reader.read();
}

QByteArray EncodeBitmap24(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const int rowBytes = (width * 3 + 3) & ~3;  // rows are padded to whole 32-bit words
    const quint32 pixelBytes = quint32(rowBytes) * height;
    const quint32 dataOffset = kFileHeaderSize + kInfoHeaderSize;

    QByteArray file(int(dataOffset + pixelBytes), Qt::Uninitialized);
    char* out = file.data();
    std::memset(out, 0, dataOffset);
    out[0] = 'B';
    out[1] = 'M';
    PutLe32(out + 2, dataOffset + pixelBytes);
    PutLe32(out + 10, dataOffset);
    char* info = out + kFileHeaderSize;
    PutLe32(info, kInfoHeaderSize);
    PutLe32(info + 4, quint32(width));
    PutLe32(info + 8, quint32(height));  // positive: the bottom row comes first
    PutLe16(info + 12, 1);               // planes
    PutLe16(info + 14, 24);              // bits per pixel
    PutLe32(info + 16, 0);               // BI_RGB, uncompressed
    PutLe32(info + 20, pixelBytes);
    PutLe32(info + 24, quint32(image.dotsPerMeterX()));
    PutLe32(info + 28, quint32(image.dotsPerMeterY()));

    // Every motion check writes a frame, so this loop is kept lean: whole pixels are
    // read at once and the padding bytes set explicitly instead of clearing the buffer.
    for (int y = 0; y < height; ++y) {
        const QRgb* source = reinterpret_cast<const QRgb*>(image.constScanLine(height - 1 - y));
        uchar* row = reinterpret_cast<uchar*>(out + dataOffset) + size_t(rowBytes) * y;
        for (int x = 0; x < width; ++x) {
            const QRgb pixel = source[x];
            row[3 * x] = uchar(pixel);
            row[3 * x + 1] = uchar(pixel >> 8);
            row[3 * x + 2] = uchar(pixel >> 16);
        }
        std::memset(row + 3 * width, 0, size_t(rowBytes - 3 * width));
    }
    return file;
}

void WriteBitmap24(const QImage& picture, const QString& path) {
    const QByteArray bytes = EncodeBitmap24(picture);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        throw WriteFailure(path, file.errorString());
    if (file.write(bytes) != bytes.size() || !file.flush()) {
        const QString reason = file.errorString();
        file.close();
        file.remove();
        throw WriteFailure(path, reason);
    }
}

bool WriteJpeg(const QImage& picture, const QString& path, int quality) {
    if (picture.isNull() || quality < 0 || quality > 100)
        return false;
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    QImageWriter writer(&file, "jpeg");
    writer.setQuality(quality);
    if (writer.write(picture) && file.flush())
        return true;
    file.close();
    file.remove();
    return false;
}

}  // namespace snapwire::capture
