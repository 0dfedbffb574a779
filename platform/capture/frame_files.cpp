#include "platform/capture/frame_files.h"

#include <QFile>
#include <QImageWriter>
#include <QtEndian>
#include <cstring>

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

}  // namespace

QByteArray EncodeBitmap24(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    const int rowBytes = (width * 3 + 3) & ~3;  // rows are padded to whole 32-bit words
    const quint32 pixelBytes = quint32(rowBytes) * height;
    const quint32 dataOffset = kFileHeaderSize + kInfoHeaderSize;

    QByteArray file(int(dataOffset + pixelBytes), '\0');
    char* out = file.data();
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

    for (int y = 0; y < height; ++y) {
        const QRgb* source = reinterpret_cast<const QRgb*>(image.constScanLine(height - 1 - y));
        uchar* row = reinterpret_cast<uchar*>(out + dataOffset) + size_t(rowBytes) * y;
        for (int x = 0; x < width; ++x) {
            row[3 * x] = uchar(qBlue(source[x]));
            row[3 * x + 1] = uchar(qGreen(source[x]));
            row[3 * x + 2] = uchar(qRed(source[x]));
        }
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
