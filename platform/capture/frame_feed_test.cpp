#include "platform/capture/frame_feed.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <cstring>

#include "platform/capture/capture_test_support.h"

namespace snapwire::capture {
namespace {

using testing::NoisePicture;
using testing::WaitUntil;

bool SameBytes(const QImage& a, const QImage& b) {
    if (a.size() != b.size() || a.format() != b.format())
        return false;
    for (int y = 0; y < a.height(); ++y) {
        if (std::memcmp(a.constScanLine(y), b.constScanLine(y), size_t(a.width()) * 4) != 0)
            return false;
    }
    return true;
}

class FrameFeedTest : public testing::FrameFeedCaptureTest {};

TEST_F(FrameFeedTest, IsListedJustBeforeTheTestPattern) {
    const int count = control().DeviceCount();
    ASSERT_GE(count, 2);
    EXPECT_EQ(control().DeviceName(count - 2), QLatin1String(kFrameFeedName));
    EXPECT_EQ(control().DeviceName(count - 1), QLatin1String(kTestPatternName));
}

TEST_F(FrameFeedTest, PushedFramesComeOutBitForBit) {
    ConnectFeed();
    for (quint32 seed = 1; seed <= 3; ++seed) {
        const QImage pushed = NoisePicture(320, 240, seed);
        ASSERT_TRUE(FrameFeed::PushAndWait(control(), pushed));
        EXPECT_TRUE(SameBytes(control().CurrentFrame(), pushed));
    }
    EXPECT_EQ(control().GetCaptureStatus().width, 320);
    EXPECT_EQ(control().GetCaptureStatus().height, 240);
    // The device offers no formats of its own: the pictures decide.
    EXPECT_FALSE(control().HasFormatDialog());
    EXPECT_FALSE(control().HasSourceDialog());
}

TEST_F(FrameFeedTest, TheFrameSizeFollowsThePushedPictures) {
    ConnectFeed();
    ASSERT_TRUE(FrameFeed::PushAndWait(control(), NoisePicture(161, 121, 4)));  // odd sizes too
    EXPECT_EQ(control().GetCaptureStatus().width, 161);
    ASSERT_TRUE(FrameFeed::PushAndWait(control(), NoisePicture(64, 48, 5)));
    EXPECT_EQ(control().GetCaptureStatus().height, 48);
}

TEST_F(FrameFeedTest, ConnectingStartsWithTheLastPushedPicture) {
    const QImage pushed = NoisePicture(80, 60, 6);
    FrameFeed::Push(pushed);
    ConnectFeed();
    EXPECT_TRUE(SameBytes(control().CurrentFrame(), pushed));
}

TEST_F(FrameFeedTest, ClipboardAndFilesGetTheCurrentFrame) {
    ConnectFeed();
    const QImage pushed = NoisePicture(64, 32, 8);
    ASSERT_TRUE(FrameFeed::PushAndWait(control(), pushed));
    control().CopyFrameToClipboard();
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), pushed);

    const QString path = homeFile(QStringLiteral("Motion.bmp"));
    control().SaveFrameAsBitmap(path);
    EXPECT_EQ(QImage(path).convertToFormat(QImage::Format_RGB32), pushed);
}

TEST_F(FrameFeedTest, LivePreviewShowsNewFramesAndFreezesWhenOff) {
    ConnectFeed();
    control().resize(32, 32);
    QImage red(32, 32, QImage::Format_RGB32), blue(32, 32, QImage::Format_RGB32);
    red.fill(Qt::red);
    blue.fill(Qt::blue);

    control().SetLivePreview(true);
    ASSERT_TRUE(FrameFeed::PushAndWait(control(), red));
    EXPECT_TRUE(WaitUntil([&] { return control().grab().toImage().pixel(16, 16) == qRgb(255, 0, 0); }));

    control().SetLivePreview(false);
    ASSERT_TRUE(FrameFeed::PushAndWait(control(), blue));
    testing::Pump(100);
    EXPECT_EQ(control().grab().toImage().pixel(16, 16), qRgb(255, 0, 0)) << "the picture stays as it was";

    control().SetLivePreview(true);
    EXPECT_EQ(control().grab().toImage().pixel(16, 16), qRgb(0, 0, 255));
}

}  // namespace
}  // namespace snapwire::capture
