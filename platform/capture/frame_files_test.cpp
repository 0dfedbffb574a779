#include "platform/capture/frame_files.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QImageReader>
#include <QtEndian>

#include "platform/capture/capture_test_support.h"

namespace snapwire::capture {
namespace {

using testing::CaptureTest;

quint32 Le32(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint32>(bytes.constData() + at);
}
quint16 Le16(const QByteArray& bytes, int at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

TEST(BitmapEncodingTest, WritesBottomUpBgrRowsPaddedToWords) {
    QImage image(3, 2, QImage::Format_RGB32);
    image.fill(Qt::white);
    image.setPixel(0, 0, qRgb(1, 2, 3));
    image.setPixel(2, 1, qRgb(10, 20, 30));
    const QByteArray bmp = EncodeBitmap24(image);

    const int rowBytes = 12;  // 3 pixels x 3 bytes, padded to 12
    ASSERT_EQ(bmp.size(), 54 + rowBytes * 2);
    EXPECT_EQ(bmp.left(2), QByteArray("BM"));
    EXPECT_EQ(Le32(bmp, 2), quint32(bmp.size()));
    EXPECT_EQ(Le32(bmp, 10), 54u);
    EXPECT_EQ(Le32(bmp, 18), 3u);
    EXPECT_EQ(Le32(bmp, 22), 2u);
    EXPECT_EQ(Le16(bmp, 28), 24u);
    EXPECT_EQ(Le32(bmp, 30), 0u);
    // The file's first row is the picture's bottom row; pixels are blue, green, red.
    EXPECT_EQ(bmp.mid(54 + 6, 3), QByteArray("\x1e\x14\x0a", 3));
    EXPECT_EQ(bmp.mid(54 + rowBytes, 3), QByteArray("\x03\x02\x01", 3));

    QImage back;
    ASSERT_TRUE(back.loadFromData(bmp, "BMP"));
    EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image);
}

class StillFileTest : public CaptureTest {};

// The fast reader must give exactly what Qt's general reader gives, for the files we
// write (odd widths with padded rows), for top-down files, and hand other kinds on.
TEST_F(StillFileTest, ReadsPictureFilesExactlyAsTheGeneralReader) {
    QImage picture(7, 5, QImage::Format_RGB32);
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) picture.setPixel(x, y, qRgb(x * 30, y * 50, (x + y) * 10));
    const QString bottomUp = homeFile(QStringLiteral("bottom-up.bmp"));
    WriteBitmap24(picture, bottomUp);
    EXPECT_EQ(ReadPictureFile(bottomUp), picture);
    EXPECT_EQ(ReadPictureFile(bottomUp), QImageReader(bottomUp).read().convertToFormat(QImage::Format_RGB32));

    // Top-down: a negative height with the rows in picture order.
    QByteArray topDown = EncodeBitmap24(picture.mirrored(false, true));
    qToLittleEndian(qint32(-picture.height()), topDown.data() + 22);
    const QString topDownPath = homeFile(QStringLiteral("top-down.bmp"));
    QFile topDownFile(topDownPath);
    ASSERT_TRUE(topDownFile.open(QIODevice::WriteOnly));
    topDownFile.write(topDown);
    topDownFile.close();
    EXPECT_EQ(ReadPictureFile(topDownPath), picture);

    // A truncated bitmap is not decoded from memory beyond its end.
    QFile::resize(bottomUp, 60);
    EXPECT_TRUE(ReadPictureFile(bottomUp).isNull());

    const QString png = homeFile(QStringLiteral("other.png"));
    ASSERT_TRUE(picture.save(png, "PNG"));
    EXPECT_EQ(ReadPictureFile(png).convertToFormat(QImage::Format_RGB32), picture);
    EXPECT_TRUE(ReadPictureFile(homeFile(QStringLiteral("missing.bmp"))).isNull());
}

// The motion check reads its frame file into the picture it read last time; the
// picture on screen may share that memory and must keep its pixels.
TEST_F(StillFileTest, ReadsIntoAnUnsharedPictureInPlaceButNeverIntoASharedOne) {
    const QString path = homeFile(QStringLiteral("Motion.bmp"));
    QImage into;
    WriteBitmap24(testing::NoisePicture(20, 10, 1), path);
    ASSERT_TRUE(ReadPictureFileInto(path, into));
    const uchar* memory = into.constBits();

    const QImage second = testing::NoisePicture(20, 10, 2);
    WriteBitmap24(second, path);
    ASSERT_TRUE(ReadPictureFileInto(path, into));
    EXPECT_EQ(into.constBits(), memory);
    EXPECT_EQ(into, second);

    const QImage shown = into;
    WriteBitmap24(testing::NoisePicture(20, 10, 3), path);
    ASSERT_TRUE(ReadPictureFileInto(path, into));
    EXPECT_EQ(shown, second);
    EXPECT_EQ(into, testing::NoisePicture(20, 10, 3));
}

// Bitmaps are rewritten in place; a smaller one must not keep the larger one's tail.
TEST_F(StillFileTest, RewritingWithASmallerBitmapLeavesOnlyTheNewFile) {
    const QString path = homeFile(QStringLiteral("ic.bmp"));
    WriteBitmap24(testing::NoisePicture(64, 48, 1), path);
    const QImage small = testing::NoisePicture(5, 3, 2);
    WriteBitmap24(small, path);
    EXPECT_EQ(QFileInfo(path).size(), 54 + 16 * 3);  // rows of 15 bytes padded to 16
    EXPECT_EQ(ReadPictureFile(path), small);
}

TEST_F(StillFileTest, SavesTheWholeFrameAs24BitBitmap) {
    ConnectTestPattern();
    const QString path = homeFile(QStringLiteral("ic.bmp"));
    control().SaveFrameAsBitmap(path);
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    ASSERT_GE(bytes.size(), 54);
    EXPECT_EQ(Le16(bytes, 28), 24u);
    EXPECT_EQ(bytes.size(), 54 + 640 * 3 * 480);
    QImageReader reader(path);
    EXPECT_EQ(reader.size(), QSize(640, 480));
    EXPECT_FALSE(reader.read().isNull());
}

TEST_F(StillFileTest, BitmapThatCannotBeWrittenRaisesNumber10) {
    ConnectTestPattern();
    const QString path = homeFile(QStringLiteral("missing-folder/ic.bmp"));
    try {
        control().SaveFrameAsBitmap(path);
        ADD_FAILURE() << "the folder does not exist";
    } catch (const CaptureError& error) {
        EXPECT_EQ(error.number(), kErrorFileWrite);
        EXPECT_TRUE(error.description().contains(path));
    }
    try {
        control().SaveFrameAsBitmap(home());  // a folder
        ADD_FAILURE() << "a folder is no file";
    } catch (const CaptureError& error) {
        EXPECT_EQ(error.number(), kErrorFileWrite);
    }
}

TEST_F(StillFileTest, JpegReadsBackAtTheSizeAndQualityDecidesTheFileSize) {
    const QImage picture = testing::NoisePicture(320, 240, 7);
    const QString low = homeFile(QStringLiteral("low.jpg"));
    const QString high = homeFile(QStringLiteral("high.jpg"));
    EXPECT_NE(control().SavePictureAsJpeg(picture, low, 10), 0);
    EXPECT_NE(control().SavePictureAsJpeg(picture, high, 90), 0);
    QImageReader reader(high);
    EXPECT_EQ(reader.format(), QByteArray("jpeg"));
    EXPECT_EQ(reader.size(), QSize(320, 240));
    EXPECT_LT(QFileInfo(low).size() * 2, QFileInfo(high).size());

    // Both ends of the scale are the encoder's own.
    EXPECT_NE(control().SavePictureAsJpeg(picture, low, 0), 0);
    EXPECT_NE(control().SavePictureAsJpeg(picture, high, 100), 0);
    EXPECT_LT(QFileInfo(low).size(), QFileInfo(high).size());
}

TEST_F(StillFileTest, JpegFailuresReturnZero) {
    const QImage picture = testing::NoisePicture(16, 16, 7);
    EXPECT_EQ(control().SavePictureAsJpeg(picture, homeFile(QStringLiteral("no/such/folder.jpg")), 75), 0);
    EXPECT_EQ(control().SavePictureAsJpeg(picture, home(), 75), 0);
    EXPECT_EQ(control().SavePictureAsJpeg(QImage(), homeFile(QStringLiteral("null.jpg")), 75), 0);
    EXPECT_EQ(control().SavePictureAsJpeg(picture, homeFile(QStringLiteral("q.jpg")), 101), 0);
    EXPECT_EQ(control().SavePictureAsJpeg(picture, homeFile(QStringLiteral("q.jpg")), -1), 0);
    EXPECT_FALSE(QFile::exists(homeFile(QStringLiteral("null.jpg"))));
    EXPECT_FALSE(QFile::exists(homeFile(QStringLiteral("q.jpg"))));
}

}  // namespace
}  // namespace snapwire::capture
