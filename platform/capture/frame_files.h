#pragma once

// The still-picture files the control writes: the current frame as a 24-bit BMP,
// any picture as a JPEG of a given quality.

#include <QImage>
#include <QString>

namespace snapwire::capture {

// Writes the picture as an uncompressed 24-bit BMP; the file is complete when this
// returns. Throws CaptureError with number 10 when the file cannot be written.
void WriteBitmap24(const QImage& picture, const QString& path);

// The BMP file's bytes, as WriteBitmap24 writes them.
QByteArray EncodeBitmap24(const QImage& picture);

// Reads a picture file. The uncompressed 24-bit BMPs that WriteBitmap24 writes (the
// working files, read back at every motion check) are decoded here directly, which is
// several times faster than the general reader; anything else goes to Qt's readers.
// A null picture when the file cannot be read.
QImage ReadPictureFile(const QString& path);
// The same into `picture`, whose pixel memory a 24-bit BMP of the same size reuses
// when no other picture shares it. False when the file cannot be read; `picture`
// then holds nothing of use.
bool ReadPictureFileInto(const QString& path, QImage& picture);

// Writes the picture as a JPEG with the quality given (0 .. 100, the encoder's own
// scale). False for a null picture, a quality outside 0 .. 100, or a file that
// cannot be written (a partly written file is removed).
bool WriteJpeg(const QImage& picture, const QString& path, int quality);

}  // namespace snapwire::capture
