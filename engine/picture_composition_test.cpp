#include "engine/picture_composition.h"

#include "accounts/clock.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/device_list.h"
#include "platform/capture/frame_feed.h"
#include "platform/paths.h"
#include "testsupport/program_folder_test.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFontMetrics>
#include <memory>

namespace snapwire::upload {
namespace {

constexpr std::uint32_t kRed = 0x000000FF;  // 0x00BBGGRR: red lives in the low byte
constexpr std::uint32_t kBlue = 0x00FF0000;

QFont LargeStripFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPointSize(20);
    font.setBold(true);
    return font;
}

StripStyle BlueOnRed() {
    StripStyle style;
    style.BackColor = kRed;
    style.ForeColor = kBlue;
    style.Font = LargeStripFont();
    return style;
}

// Rows and columns that hold a pixel other than the background.
struct Ink {
    int firstRow = -1, lastRow = -1, firstColumn = -1;
    int exactForeground = 0;
};

Ink InkOf(const QImage& image, QRgb background, QRgb foreground) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel == foreground)
                ++ink.exactForeground;
            if (pixel == background)
                continue;
            if (ink.firstRow < 0)
                ink.firstRow = y;
            ink.lastRow = y;
            if (ink.firstColumn < 0 || x < ink.firstColumn)
                ink.firstColumn = x;
        }
    }
    return ink;
}

bool IsFilledWith(const QImage& image, const QRect& area, QRgb colour) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            if (image.pixel(x, y) != colour)
                return false;
        }
    }
    return true;
}

// A frame whose every pixel differs from its neighbours, so that a shifted, scaled
// or recoloured copy cannot pass for it.
QImage PatternFrame(int width, int height) {
    QImage frame(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) frame.setPixel(x, y, qRgb(x % 256, y % 256, (x * 7 + y * 3) % 256));
    }
    return frame;
}

// --- Drawing the strip and the composite -------------------------------------------------------

TEST(TimestampStrip, FillsTheBackgroundAndStartsTheTextAtItsTopLeftCorner) {
    const StripStyle style = BlueOnRed();
    const QString text = QStringLiteral("22.06.2005 14:30:05");
    const QImage strip = DrawTimestampStrip(text, 480, style);
    ASSERT_EQ(strip.width(), 480);
    ASSERT_EQ(strip.height(), StripHeight(style.Font));

    const QRgb red = qRgb(255, 0, 0);
    const Ink ink = InkOf(strip, red, qRgb(0, 0, 255));
    EXPECT_TRUE(IsFilledWith(strip, QRect(0, 0, 1, strip.height()), red));  // column 0 is left free
    EXPECT_GE(ink.firstColumn, 1);
    EXPECT_LE(ink.firstColumn, 4);
    // The top of the text is at y = 0: a baseline there would leave the strip almost empty.
    const QFontMetrics metrics(style.Font, &strip);
    EXPECT_LE(ink.firstRow, metrics.ascent() - metrics.capHeight() + 2);
    EXPECT_GE(ink.lastRow, metrics.ascent() - 2);
    EXPECT_GT(ink.exactForeground, 20);  // the stems are drawn in the exact foreground colour
    const int textEnd = 1 + metrics.horizontalAdvance(text) + 2;
    ASSERT_LT(textEnd, strip.width());
    EXPECT_TRUE(IsFilledWith(strip, QRect(textEnd, 0, strip.width() - textEnd, strip.height()), red));
}

TEST(TimestampStrip, IsOneLineOfTheFontHigh) {
    QFont small(QStringLiteral("DejaVu Sans"));
    small.setPointSize(8);
    EXPECT_LT(StripHeight(small), StripHeight(LargeStripFont()));
    const QImage device(1, 1, QImage::Format_RGB32);
    EXPECT_EQ(StripHeight(small), QFontMetrics(small, &device).height());
}

TEST(Composite, PutsTheStripDirectlyBelowThePictureAsWideAsThePicture) {
    const QImage picture = PatternFrame(320, 240);
    const StripStyle style = BlueOnRed();
    const QImage strip = DrawTimestampStrip(QStringLiteral("stamp"), 320, style);
    const QImage composite = AppendStrip(picture, strip, style.BackColor);

    ASSERT_EQ(composite.size(), QSize(320, 240 + strip.height()));
    EXPECT_EQ(composite.copy(0, 0, 320, 240), picture);
    EXPECT_EQ(composite.copy(0, 240, 320, strip.height()), strip);
}

TEST(Composite, AreaThatNeitherCoversHasTheStripsBackground) {
    QImage picture(100, 50, QImage::Format_RGB32);
    picture.fill(Qt::green);
    const QImage strip = DrawTimestampStrip(QStringLiteral("x"), 60, BlueOnRed());
    const QImage composite = AppendStrip(picture, strip, kRed);
    ASSERT_EQ(composite.size(), QSize(100, 50 + strip.height()));
    EXPECT_TRUE(IsFilledWith(composite, QRect(60, 50, 40, strip.height()), qRgb(255, 0, 0)));

    const QImage wide = DrawTimestampStrip(QStringLiteral("x"), 200, BlueOnRed());
    EXPECT_EQ(AppendStrip(picture, wide, kRed).width(), 100);  // cut to the picture's width
}

TEST(StampText, IsEmptyWithTheTimestampOffAndNeverEmptyWithItOn) {
    ScopedClockForTests clock(QDateTime(QDate(2005, 6, 22), QTime(14, 30, 5)));
    EXPECT_EQ(StampTextFor(false, QStringLiteral("%HH:%MM")), QString());
    EXPECT_EQ(StampTextFor(true, QStringLiteral("%HH:%MM")), QStringLiteral("14:30"));
    EXPECT_FALSE(StampTextFor(true, QString()).isEmpty());
    EXPECT_EQ(StampTextFor(true, QString()), StampTextFor(true, QStringLiteral("%ST")));
}

// --- The working files ---------------------------------------------------------------------------

class WorkingFilesTest : public testing::ProgramFolderTest {
  protected:
    static bool Exists(const char* name) {
        return QFile::exists(platform::ProgramFile(QString::fromLatin1(name)));
    }
    static void Plant(const char* name, const QByteArray& content) {
        QFile file(platform::ProgramFile(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    }
    static QByteArray Content(const char* name) {
        QFile file(platform::ProgramFile(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
};

TEST_F(WorkingFilesTest, TimeTextFileHoldsExactlyOneLine) {
    Plant(kTimeTextFile, "a much longer text from an earlier cycle\r\n");
    ASSERT_TRUE(WriteTimeTextFile(QStringLiteral("14:30")));
    EXPECT_EQ(Content(kTimeTextFile), QByteArray("14:30\r\n"));
    ASSERT_TRUE(WriteTimeTextFile(QString()));
    EXPECT_EQ(Content(kTimeTextFile), QByteArray("\r\n"));
}

TEST_F(WorkingFilesTest, CleanUpRemovesTheWorkingFilesButNotFoldersOrThePicture) {
    for (const char* name : {kFrameBitmap, kComposedBitmap, kTimeTextFile, kPublishedPicture})
        Plant(name, "x");
    ASSERT_TRUE(QDir(home()).mkdir(QString::fromLatin1(kStripBitmap)));
    DeleteWorkingFiles();
    EXPECT_FALSE(Exists(kFrameBitmap));
    EXPECT_FALSE(Exists(kComposedBitmap));
    EXPECT_FALSE(Exists(kTimeTextFile));
    EXPECT_TRUE(QFileInfo(homeFile(QString::fromLatin1(kStripBitmap))).isDir());
    EXPECT_TRUE(Exists(kPublishedPicture));

    DeletePublishedPictureUnlessKept(true);
    EXPECT_TRUE(Exists(kPublishedPicture));
    DeletePublishedPictureUnlessKept(false);
    EXPECT_FALSE(Exists(kPublishedPicture));
}

// The whole picture step against a capture control fed with a known frame.
class PreparePictureTest : public WorkingFilesTest {
  protected:
    void SetUp() override {
        WorkingFilesTest::SetUp();
        capture::FrameFeed::Enable();
        vcx_ = std::make_unique<capture::CaptureControl>();
        ConnectFeed();
    }
    void TearDown() override {
        vcx_.reset();
        capture::FrameFeed::Disable();
        WorkingFilesTest::TearDown();
    }

    void ConnectFeed() {
        for (int i = 0; i < vcx_->DeviceCount(); ++i) {
            if (vcx_->DeviceName(i) == QString::fromLatin1(capture::kFrameFeedName))
                vcx_->SetDeviceIndex(i);
        }
        ASSERT_TRUE(vcx_->DeviceConnected());
        ASSERT_TRUE(capture::FrameFeed::PushAndWait(*vcx_, frame_));
    }

    static PictureSettings Stamped() {
        PictureSettings settings;
        settings.timestampOn = true;
        settings.timestampPattern = QStringLiteral("%YYYY-%TT-%DD %HH:%MM:%SS");
        settings.strip = BlueOnRed();
        settings.jpegQuality = 90;
        return settings;
    }

    const QImage frame_ = PatternFrame(320, 240);
    std::unique_ptr<capture::CaptureControl> vcx_;
    ScopedClockForTests clock_{QDateTime(QDate(2005, 6, 22), QTime(14, 30, 5))};
};

TEST_F(PreparePictureTest, StampedPictureIsTheFrameWithTheStripBelowIt) {
    const PreparedPicture prepared = PreparePicture(*vcx_, Stamped());
    const int stripHeight = StripHeight(LargeStripFont());

    EXPECT_EQ(prepared.StampText, QStringLiteral("2005-06-22 14:30:05"));
    EXPECT_EQ(prepared.frameWidth, 320);
    EXPECT_EQ(prepared.frameHeight, 240);
    ASSERT_EQ(prepared.picture.size(), QSize(320, 240 + stripHeight));
    EXPECT_EQ(prepared.picture.copy(0, 0, 320, 240), frame_);
    EXPECT_EQ(prepared.strip.size(), QSize(320, stripHeight));
    EXPECT_EQ(prepared.picture.copy(0, 240, 320, stripHeight), prepared.strip);
    EXPECT_EQ(prepared.strip.pixel(0, 0), qRgb(255, 0, 0));

    EXPECT_TRUE(prepared.jpegWritten);
    const QImage published(platform::ProgramFile(QString::fromLatin1(kPublishedPicture)), "JPEG");
    EXPECT_EQ(published.size(), QSize(320, 240 + stripHeight));
    EXPECT_EQ(QImage(platform::ProgramFile(QString::fromLatin1(kComposedBitmap))), prepared.picture);
    EXPECT_EQ(QImage(platform::ProgramFile(QString::fromLatin1(kStripBitmap))), prepared.strip);
    EXPECT_EQ(QImage(platform::ProgramFile(QString::fromLatin1(kFrameBitmap))), frame_);
    EXPECT_FALSE(Exists(kTimeTextFile));  // only the cycle writes it, when the account asks

    DeleteWorkingFiles();
    DeletePublishedPictureUnlessKept(false);
    EXPECT_TRUE(QDir(home()).entryList({QStringLiteral("*.bmp"), QStringLiteral("*.jpg")}).isEmpty());
}

TEST_F(PreparePictureTest, WithoutTimestampThePictureIsTheFrameAndNoStripIsWritten) {
    PictureSettings settings = Stamped();
    settings.timestampOn = false;
    const PreparedPicture prepared = PreparePicture(*vcx_, settings);

    EXPECT_EQ(prepared.StampText, QString());
    EXPECT_TRUE(prepared.strip.isNull());
    EXPECT_EQ(prepared.picture, frame_);
    EXPECT_FALSE(Exists(kStripBitmap));
    EXPECT_EQ(QImage(platform::ProgramFile(QString::fromLatin1(kComposedBitmap))), frame_);
    EXPECT_TRUE(prepared.jpegWritten);
    EXPECT_EQ(QImage(platform::ProgramFile(QString::fromLatin1(kPublishedPicture))).size(), QSize(320, 240));
}

TEST_F(PreparePictureTest, FailedJpegLeavesNoPictureFromAnEarlierCycle) {
    Plant(kPublishedPicture, "the picture an earlier cycle kept");
    PictureSettings settings = Stamped();
    settings.jpegQuality = 101;  // the writer refuses it
    const PreparedPicture prepared = PreparePicture(*vcx_, settings);

    EXPECT_FALSE(prepared.jpegWritten);
    EXPECT_FALSE(Exists(kPublishedPicture));
    EXPECT_TRUE(Exists(kComposedBitmap));  // the working files are there for the clean-up
}

TEST_F(PreparePictureTest, NewJpegReplacesAKeptOne) {
    Plant(kPublishedPicture, "the picture an earlier cycle kept");
    ASSERT_TRUE(PreparePicture(*vcx_, Stamped()).jpegWritten);
    EXPECT_FALSE(QImage(platform::ProgramFile(QString::fromLatin1(kPublishedPicture))).isNull());
}

TEST_F(PreparePictureTest, WorkingFileThatCannotBeWrittenEndsTheStepWithoutTheCapturesNumber) {
    ASSERT_TRUE(QDir(home()).mkdir(QString::fromLatin1(kStripBitmap)));
    try {
        PreparePicture(*vcx_, Stamped());
        FAIL() << "the strip could not be written, yet the picture was prepared";
    } catch (const WorkingFileError& error) {
        EXPECT_NE(error.Number(), capture::kErrorFileWrite);
        EXPECT_FALSE(error.Description().isEmpty());
    }
}

TEST_F(PreparePictureTest, FrameThatCannotBeSavedThrowsTheCapturesError) {
    ASSERT_TRUE(QDir(home()).mkdir(QString::fromLatin1(kFrameBitmap)));
    try {
        PreparePicture(*vcx_, Stamped());
        FAIL() << "the frame could not be saved, yet the picture was prepared";
    } catch (const capture::CaptureError& error) {
        EXPECT_EQ(error.number(), capture::kErrorFileWrite);  // the cycle reports this one
    }
    EXPECT_FALSE(Exists(kComposedBitmap));
}

}  // namespace
}  // namespace snapwire::upload
