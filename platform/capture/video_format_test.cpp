#include "platform/capture/video_format.h"

#include <gtest/gtest.h>

#include "platform/capture/device_list.h"

namespace snapwire::capture {
namespace {

VideoFormat Raw(int width, int height, int rate) {
    return {QStringLiteral("video/x-raw"), width, height, rate, 1};
}
VideoFormat Jpeg(int width, int height, int rate) {
    return {QStringLiteral("image/jpeg"), width, height, rate, 1};
}

TEST(VideoFormatTest, ReadsWhatACameraOffers) {
    // A typical USB camera: raw YUY2 and NV12 at small sizes, Motion-JPEG up to 1280 x 720.
    const auto formats = FormatsFromCapsString(QStringLiteral(
        "image/jpeg, width=(int)1280, height=(int)720, framerate=(fraction)30/1;"
        "video/x-raw, format=(string)YUY2, width=(int)640, height=(int)480, framerate=(fraction){ 30/1, 15/1 "
        "};"
        "video/x-raw, format=(string)NV12, width=(int)640, height=(int)480, framerate=(fraction){ 30/1, 15/1 "
        "};"
        "video/x-raw, format=(string)YUY2, width=(int)320, height=(int)240, framerate=(fraction)30/1;"
        "audio/x-raw, rate=(int)44100"));
    const std::vector<VideoFormat> expected{Raw(320, 240, 30), Raw(640, 480, 15), Raw(640, 480, 30),
                                            Jpeg(1280, 720, 30)};
    EXPECT_EQ(formats, expected);
}

TEST(VideoFormatTest, OffersTheUsualSizesAndRatesInsideRanges) {
    const auto formats =
        FormatsFromCapsString(QStringLiteral("video/x-raw, width=(int)[ 300, 700, 2 ], height=(int)[ 200, "
                                             "500 ], framerate=(fraction)[ 12/1, 26/1 ]"));
    std::vector<std::pair<int, int>> sizes;
    for (const auto& f : formats) {
        if (sizes.empty() || sizes.back() != std::make_pair(f.width, f.height))
            sizes.emplace_back(f.width, f.height);
        EXPECT_GE(f.rateNumerator, 15);
        EXPECT_LE(f.rateNumerator, 25);
    }
    const std::vector<std::pair<int, int>> expected{{320, 240}, {352, 288}, {640, 480}};
    EXPECT_EQ(sizes, expected);
    EXPECT_EQ(formats.size(), 9u);  // 15, 20 and 25 fps each
}

TEST(VideoFormatTest, WithoutAFrameRateTheDeviceChooses) {
    const auto formats =
        FormatsFromCapsString(QStringLiteral("video/x-raw, width=(int)160, height=(int)120"));
    ASSERT_EQ(formats.size(), 1u);
    EXPECT_EQ(formats[0].Caps(), QStringLiteral("video/x-raw,width=160,height=120"));
    EXPECT_EQ(formats[0].RateLabel(), QStringLiteral("variable"));
    EXPECT_TRUE(FormatsFromCapsString(QStringLiteral("video/x-raw")).empty());
}

TEST(VideoFormatTest, PrefersRaw640x480NearestThirtyFramesASecond) {
    EXPECT_EQ(PreferredFormat({Raw(320, 240, 30), Raw(640, 480, 15), Raw(640, 480, 25), Raw(1280, 720, 30)}),
              Raw(640, 480, 25));
    EXPECT_EQ(PreferredFormat({Raw(320, 240, 30), Raw(352, 288, 30), Raw(1280, 720, 30)}), Raw(352, 288, 30));
    EXPECT_EQ(PreferredFormat({Raw(1280, 720, 10), Raw(1920, 1080, 5)}), Raw(1280, 720, 10));
    EXPECT_EQ(PreferredFormat({Jpeg(640, 480, 30), Raw(1920, 1080, 5)}), Raw(1920, 1080, 5));
    EXPECT_EQ(PreferredFormat({Jpeg(320, 240, 30), Jpeg(640, 480, 30)}), Jpeg(640, 480, 30));
    EXPECT_EQ(PreferredFormat({}).width, 0);
}

TEST(VideoFormatTest, CameraSourcesDecodeMotionJpeg) {
    const CaptureDevice camera{DeviceKind::Camera, QStringLiteral("Cam"), QStringLiteral("/dev/video2"), {}};
    EXPECT_EQ(SourceDescription(camera, Raw(640, 480, 30)),
              QStringLiteral("v4l2src device=/dev/video2 ! video/x-raw,width=640,height=480,framerate=30/1"));
    EXPECT_EQ(SourceDescription(camera, Jpeg(1280, 720, 30)),
              QStringLiteral(
                  "v4l2src device=/dev/video2 ! image/jpeg,width=1280,height=720,framerate=30/1 ! jpegdec"));
    EXPECT_EQ(SourceDescription(camera, VideoFormat{}),
              QStringLiteral("v4l2src device=/dev/video2 ! video/x-raw"));
}

}  // namespace
}  // namespace snapwire::capture
