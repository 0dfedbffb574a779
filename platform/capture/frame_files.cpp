#include "platform/capture/frame_files.h"

#include <QFile>
#include <QImageReader>
#include <QImageWriter>
#include <QtEndian>
#include <algorithm>
#include <cstring>
#include <optional>
#include <vector>

#include "platform/capture/capture_control.h"

#if defined(__x86_64__) || defined(__i386__)
#include <tmmintrin.h>
#define SNAPWIRE_FRAME_FILES_SSSE3
#endif

namespace snapwire::capture {

namespace {

constexpr int kFileHeaderSize = 14;
constexpr int kInfoHeaderSize = 40;
constexpr int kHeadersSize = kFileHeaderSize + kInfoHeaderSize;
// Bitmaps go to and from their files through a buffer of about this size, so that
// no copy of a whole file is ever held.
constexpr qint64 kChunkBytes = 64 * 1024;

void PutLe16(char* at, quint16 value) {
    qToLittleEndian(value, at);
}
void PutLe32(char* at, quint32 value) {
    qToLittleEndian(value, at);
}
quint32 GetLe32(const char* at) {
    return qFromLittleEndian<quint32>(at);
}
quint16 GetLe16(const char* at) {
    return qFromLittleEndian<quint16>(at);
}

CaptureError WriteFailure(const QString& path, const QString& reason) {
    return CaptureError(kErrorFileWrite,
                        QStringLiteral("Cannot write the file \"%1\": %2").arg(path, reason));
}

qint64 RowBytes(qint64 width) {
    return (width * 3 + 3) & ~qint64(3);  // rows are padded to whole 32-bit words
}

// How many whole rows of `rowBytes` a chunk holds (at least one), and its size.
qint64 RowsPerChunk(qint64 rowBytes) {
    return std::max<qint64>(1, kChunkBytes / rowBytes);
}

void PutHeaders(char* out, const QImage& image) {
    const quint32 pixelBytes = quint32(RowBytes(image.width()) * image.height());
    std::memset(out, 0, kHeadersSize);
    out[0] = 'B';
    out[1] = 'M';
    PutLe32(out + 2, kHeadersSize + pixelBytes);
    PutLe32(out + 10, kHeadersSize);
    char* info = out + kFileHeaderSize;
    PutLe32(info, kInfoHeaderSize);
    PutLe32(info + 4, quint32(image.width()));
    PutLe32(info + 8, quint32(image.height()));  // positive: the bottom row comes first
    PutLe16(info + 12, 1);                       // planes
    PutLe16(info + 14, 24);                      // bits per pixel
    PutLe32(info + 16, 0);                       // BI_RGB, uncompressed
    PutLe32(info + 20, pixelBytes);
    PutLe32(info + 24, quint32(image.dotsPerMeterX()));
    PutLe32(info + 28, quint32(image.dotsPerMeterY()));
}

#ifdef SNAPWIRE_FRAME_FILES_SSSE3
// Whole groups of four pixels from the start of a row for as long as a 16-byte load
// or store stays inside the row's pixel bytes; the rest of the row goes pixel by pixel.
int VectorPixels(int width) {
    return width >= 6 ? ((width - 6) / 4 + 1) * 4 : 0;
}

bool HasSsse3() {
    static const bool has = __builtin_cpu_supports("ssse3");
    return has;
}

// One shuffle packs four pixels into their twelve bytes; the four bytes stored past
// them are overwritten by the pixels that follow.
__attribute__((target("ssse3"))) int PackVectorPixels(const QRgb* source, int width, uchar* row) {
    const __m128i pack = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    const int end = VectorPixels(width);
    for (int x = 0; x < end; x += 4) {
        const __m128i pixels = _mm_loadu_si128(reinterpret_cast<const __m128i*>(source + x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(row + 3 * x), _mm_shuffle_epi8(pixels, pack));
    }
    return end;
}

__attribute__((target("ssse3"))) int SpreadVectorPixels(const uchar* row, int width, QRgb* target) {
    const __m128i spread = _mm_setr_epi8(0, 1, 2, -1, 3, 4, 5, -1, 6, 7, 8, -1, 9, 10, 11, -1);
    const __m128i opaque = _mm_set1_epi32(int(0xFF000000u));
    const int end = VectorPixels(width);
    for (int x = 0; x < end; x += 4) {
        const __m128i bytes = _mm_loadu_si128(reinterpret_cast<const __m128i*>(row + 3 * x));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(target + x),
                         _mm_or_si128(_mm_shuffle_epi8(bytes, spread), opaque));
    }
    return end;
}
#endif

// The file's rows `first` to `first + count - 1` (the file holds the picture's bottom
// row first) as blue, green, red bytes with their padding zeroed.
void EncodeRows(const QImage& image, qint64 first, qint64 count, char* out) {
    const int width = image.width();
    const qint64 rowBytes = RowBytes(width);
    for (qint64 fileRow = first; fileRow < first + count; ++fileRow) {
        const QRgb* source =
            reinterpret_cast<const QRgb*>(image.constScanLine(int(image.height() - 1 - fileRow)));
        uchar* row = reinterpret_cast<uchar*>(out) + rowBytes * (fileRow - first);
        int x = 0;
#ifdef SNAPWIRE_FRAME_FILES_SSSE3
        if (HasSsse3())
            x = PackVectorPixels(source, width, row);
#endif
        for (; x < width; ++x) {
            row[3 * x] = uchar(source[x]);
            row[3 * x + 1] = uchar(source[x] >> 8);
            row[3 * x + 2] = uchar(source[x] >> 16);
        }
        std::memset(row + 3 * qint64(width), 0, size_t(rowBytes - 3 * qint64(width)));
    }
}

// One file row into a picture row.
void DecodeRow(const uchar* row, int width, QRgb* target) {
    int x = 0;
#ifdef SNAPWIRE_FRAME_FILES_SSSE3
    if (HasSsse3())
        x = SpreadVectorPixels(row, width, target);
#endif
    for (; x < width; ++x) target[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
}

// Where the pixels of an uncompressed 24-bit BMP with a 40-byte (or larger) info
// header lie; `valid` is false for such a bitmap whose size cannot be right.
struct Bitmap24Layout {
    bool valid = false;
    qint64 dataOffset = 0;
    int width = 0;
    int height = 0;
    bool bottomUp = true;
    qint64 rowBytes = 0;
};

// Nothing for any other kind of file, which the caller hands to the general reader.
std::optional<Bitmap24Layout> LayoutOf(const char* headers) {
    const char* info = headers + kFileHeaderSize;
    if (headers[0] != 'B' || headers[1] != 'M' || GetLe32(info) < quint32(kInfoHeaderSize) ||
        GetLe16(info + 14) != 24 || GetLe32(info + 16) != 0)
        return std::nullopt;
    Bitmap24Layout layout;
    const qint32 width = qint32(GetLe32(info + 4));
    const qint32 signedHeight = qint32(GetLe32(info + 8));
    if (width <= 0 || width > 65535 || signedHeight == 0 || signedHeight > 65535 || signedHeight < -65535)
        return layout;
    layout.valid = true;
    layout.dataOffset = GetLe32(headers + 10);
    layout.width = width;
    layout.bottomUp = signedHeight > 0;
    layout.height = layout.bottomUp ? signedHeight : -signedHeight;
    layout.rowBytes = RowBytes(width);
    return layout;
}

// The rows of a bitmap whose file holds all of them, decoded chunk by chunk into
// `picture`, whose pixel memory is reused when it has the size already and is not
// shared. False when the file cannot be read to its end.
bool ReadBitmap24Rows(QFile& file, const Bitmap24Layout& layout, QImage& picture) {
    if (layout.dataOffset + layout.rowBytes * layout.height > file.size() || !file.seek(layout.dataOffset))
        return false;
    if (picture.width() != layout.width || picture.height() != layout.height ||
        picture.format() != QImage::Format_RGB32 || !picture.isDetached())
        picture = QImage(layout.width, layout.height, QImage::Format_RGB32);
    if (picture.isNull())
        return false;
    const qint64 rowsPerChunk = RowsPerChunk(layout.rowBytes);
    std::vector<char> chunk(size_t(rowsPerChunk * layout.rowBytes));
    for (qint64 first = 0; first < layout.height; first += rowsPerChunk) {
        const qint64 rows = std::min<qint64>(rowsPerChunk, layout.height - first);
        if (file.read(chunk.data(), rows * layout.rowBytes) != rows * layout.rowBytes)
            return false;
        for (qint64 i = 0; i < rows; ++i) {
            const qint64 fileRow = first + i;
            const int y = int(layout.bottomUp ? layout.height - 1 - fileRow : fileRow);
            DecodeRow(reinterpret_cast<const uchar*>(chunk.data()) + layout.rowBytes * i, layout.width,
                      reinterpret_cast<QRgb*>(picture.scanLine(y)));
        }
    }
    return true;
}

}  // namespace

bool ReadPictureFileInto(const QString& path, QImage& picture) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return false;
    char headers[kHeadersSize];
    if (file.read(headers, kHeadersSize) == kHeadersSize) {
        if (const std::optional<Bitmap24Layout> layout = LayoutOf(headers))
            return layout->valid && ReadBitmap24Rows(file, *layout, picture);
    }
    file.close();
    QImageReader reader(path);
    QImage other = reader.read();
    if (other.isNull())
        return false;
    picture = std::move(other);
    return true;
}

QImage ReadPictureFile(const QString& path) {
    QImage picture;
    if (!ReadPictureFileInto(path, picture))
        return QImage();
    return picture;
}

QByteArray EncodeBitmap24(const QImage& picture) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    QByteArray file(int(kHeadersSize + RowBytes(image.width()) * image.height()), Qt::Uninitialized);
    PutHeaders(file.data(), image);
    EncodeRows(image, 0, image.height(), file.data() + kHeadersSize);
    return file;
}

void WriteBitmap24(const QImage& picture, const QString& path) {
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    QFile file(path);
    // Rewriting a file in place spares the file system freeing its blocks and finding
    // new ones at every motion check; a file that may not be read is written anew.
    if (!file.open(QIODevice::ReadWrite | QIODevice::Unbuffered) &&
        !file.open(QIODevice::WriteOnly | QIODevice::Unbuffered))
        throw WriteFailure(path, file.errorString());

    const qint64 rowBytes = RowBytes(image.width());
    const qint64 rowsPerChunk = RowsPerChunk(rowBytes);
    std::vector<char> chunk(size_t(std::max<qint64>(kHeadersSize, rowsPerChunk * rowBytes)));
    PutHeaders(chunk.data(), image);
    bool written = file.write(chunk.data(), kHeadersSize) == kHeadersSize;
    for (qint64 first = 0; written && first < image.height(); first += rowsPerChunk) {
        const qint64 rows = std::min<qint64>(rowsPerChunk, image.height() - first);
        EncodeRows(image, first, rows, chunk.data());
        written = file.write(chunk.data(), rows * rowBytes) == rows * rowBytes;
    }
    const qint64 size = kHeadersSize + rowBytes * image.height();
    if (!written || (file.size() > size && !file.resize(size))) {
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
