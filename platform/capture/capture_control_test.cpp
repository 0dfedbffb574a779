#include "platform/capture/capture_control.h"

#include <gst/video/video.h>
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFile>
#include <cstring>

#include "platform/capture/capture_test_support.h"
#include "platform/capture/frame_pipeline.h"
#include "platform/capture/gst_runtime.h"
#include "platform/capture/stand_in_camera.h"

namespace snapwire::capture {
namespace {

using testing::CaptureTest;
using testing::IndexOfDevice;
using testing::WaitUntil;

class CaptureControlTest : public CaptureTest {};

TEST_F(CaptureControlTest, ListsTheTestPatternAfterTheCameras) {
    const int count = control().DeviceCount();
    ASSERT_GE(count, 1);
    EXPECT_EQ(control().DeviceName(count - 1), QLatin1String(kTestPatternName));
    EXPECT_EQ(control().DeviceIndex(), 0);
    EXPECT_FALSE(control().DeviceConnected());
    try {
        control().DeviceName(count);
        ADD_FAILURE() << "a device past the end has no name";
    } catch (const CaptureError& error) {
        EXPECT_EQ(error.number(), kErrorInvalidValue);
    }
}

TEST_F(CaptureControlTest, ConnectingGivesTheFrameSizeAtOnceAndThePictureMoves) {
    ConnectTestPattern();
    const CaptureStatus status = control().GetCaptureStatus();
    EXPECT_EQ(status.width, 640);
    EXPECT_EQ(status.height, 480);
    EXPECT_FALSE(status.capturing);

    const QImage first = control().CurrentFrame();
    ASSERT_FALSE(first.isNull());
    EXPECT_EQ(first.format(), QImage::Format_RGB32);
    EXPECT_EQ(first.size(), QSize(640, 480));
    EXPECT_TRUE(WaitUntil([&] { return control().CurrentFrame() != first; }, 3000))
        << "the picture should move";
}

TEST_F(CaptureControlTest, DisconnectingLeavesNoFrame) {
    ConnectTestPattern();
    control().SetDeviceConnected(false);
    EXPECT_FALSE(control().DeviceConnected());
    EXPECT_TRUE(control().CurrentFrame().isNull());
    EXPECT_EQ(control().GetCaptureStatus().width, 0);
    try {
        control().SaveFrameAsBitmap(homeFile(QStringLiteral("ic.bmp")));
        ADD_FAILURE() << "saving without a frame must fail";
    } catch (const CaptureError& error) {
        EXPECT_EQ(error.number(), kErrorNoFrame);
        EXPECT_FALSE(error.description().isEmpty());
    }
    EXPECT_FALSE(QFile::exists(homeFile(QStringLiteral("ic.bmp"))));

    control().SetDeviceConnected(true);  // the same device again
    EXPECT_EQ(control().GetCaptureStatus().width, 640);
}

TEST_F(CaptureControlTest, ChoosingADeviceThatDoesNotExistFails) {
    try {
        control().SetDeviceIndex(control().DeviceCount());
        ADD_FAILURE() << "no such device";
    } catch (const CaptureError& error) {
        EXPECT_NE(error.number(), kErrorDeviceNotOpened);
    }
    EXPECT_FALSE(control().DeviceConnected());
}

TEST_F(CaptureControlTest, WithoutAnyDeviceConnectingFailsAndNothingIsOffered) {
    qputenv("SNAPWIRE_NO_TEST_DEVICE", "1");
    CaptureControl bare;
    if (bare.DeviceCount() > 0)
        GTEST_SKIP() << "this machine has a camera";
    EXPECT_EQ(bare.DeviceIndex(), -1);
    EXPECT_FALSE(bare.HasFormatDialog());
    EXPECT_FALSE(bare.HasSourceDialog());
    try {
        bare.SetDeviceConnected(true);
        ADD_FAILURE() << "connecting without a device must fail";
    } catch (const CaptureError& error) {
        EXPECT_EQ(error.number(), kErrorNoDevice);
        EXPECT_FALSE(error.description().isEmpty());
    }
    EXPECT_FALSE(bare.DeviceConnected());
    EXPECT_TRUE(bare.CurrentFrame().isNull());
    EXPECT_THROW(bare.CopyFrameToClipboard(), CaptureError);
}

// Two cameras of one model, told apart by their serials (and here by their sizes), as
// they are plugged in, swapped over and unplugged while the program runs.
TEST_F(CaptureControlTest, CamerasComeAndGoAndAreFoundByWhatIdentifiesThemNotByTheirNode) {
    const QString name = QStringLiteral("Desk camera");
    const QString caps = QStringLiteral("video/x-raw, format=YUY2, width=%1, height=%2, framerate=30/1");
    StandInCamera wide{name, caps.arg(640).arg(480), 0, QStringLiteral("/dev/video0"), QStringLiteral("A")};
    StandInCamera small{name, caps.arg(320).arg(240), 0, QStringLiteral("/dev/video2"), QStringLiteral("B")};
    ConnectTestPattern();
    const int first = control().DeviceCount() - 1;  // where stand-ins are listed
    SetStandInCameras({wide, small});
    EXPECT_EQ(control().DeviceCount(), first + 1) << "the list changes only when it is read again";
    control().RefreshDevices();
    ASSERT_EQ(control().DeviceCount(), first + 3);
    EXPECT_EQ(control().DeviceName(control().DeviceIndex()), QLatin1String(kTestPatternName));
    EXPECT_TRUE(control().DeviceConnected()) << "reading the list leaves the running device alone";

    control().SetDeviceIndex(first);
    EXPECT_EQ(control().GetCaptureStatus().width, 640);
    control().SetDeviceConnected(false);
    wide.node.swap(small.node);
    SetStandInCameras({small, wide});
    control().SetDeviceConnected(true);
    EXPECT_EQ(control().GetCaptureStatus().width, 640) << "the node it had is the other camera's now";

    control().SetDeviceConnected(false);
    SetStandInCameras({small});
    try {
        control().SetDeviceConnected(true);
        ADD_FAILURE() << "an unplugged camera is not looked for on another camera's node";
    } catch (const CaptureError& error) {
        EXPECT_EQ(error.number(), kErrorDeviceNotOpened);
    }
    // Away, it stays listed and selected; back on a new node, it connects there.
    control().RefreshDevices();
    EXPECT_EQ(control().DeviceCount(), first + 3);
    const int away = control().DeviceIndex();
    EXPECT_EQ(control().FindDevice(name, control().DeviceIdentity(away)), away);
    wide.node = QStringLiteral("/dev/video4");
    SetStandInCameras({small, wide});
    control().SetDeviceConnected(true);
    EXPECT_EQ(control().GetCaptureStatus().width, 640);
}

TEST_F(CaptureControlTest, ClipboardHoldsTheFrame) {
    ConnectTestPattern();
    control().CopyFrameToClipboard();
    const QImage copied = QGuiApplication::clipboard()->image();
    EXPECT_EQ(copied.size(), QSize(640, 480));
}

TEST_F(CaptureControlTest, TheVideoWidgetPaintsTheLivePicture) {
    ConnectTestPattern();
    control().resize(640, 480);
    control().SetLivePreview(true);
    EXPECT_TRUE(control().LivePreview());
    // The test pattern has a white bar: a painted widget shows it.
    const QImage painted = control().grab().toImage();
    bool hasLight = false;
    for (int y = 0; y < painted.height() && !hasLight; y += 4)
        for (int x = 0; x < painted.width() && !hasLight; x += 4) hasLight = qGray(painted.pixel(x, y)) > 200;
    EXPECT_TRUE(hasLight);
}

// The picture path on its own, with sources no device list would produce.
TEST(FramePipelineTest, ADeviceThatCannotBeOpenedGivesNumber5) {
    FramePipeline pipeline;
    try {
        pipeline.Start(QStringLiteral("v4l2src device=/dev/snapwire-no-such-camera"),
                       std::chrono::seconds(5));
        ADD_FAILURE() << "the device does not exist";
    } catch (const CaptureError& error) {
        EXPECT_EQ(error.number(), kErrorDeviceNotOpened) << error.description().toStdString();
    }
    EXPECT_FALSE(pipeline.IsRunning());
}

TEST(FramePipelineTest, OtherFailuresGiveAnotherNumber) {
    FramePipeline pipeline;
    try {
        pipeline.Start(QStringLiteral("audiotestsrc"), std::chrono::seconds(5));
        ADD_FAILURE() << "sound is no picture";
    } catch (const CaptureError& error) {
        EXPECT_EQ(error.number(), kErrorDeviceFailed);
    }
    try {
        pipeline.Start(QStringLiteral("appsrc is-live=true format=time"), std::chrono::milliseconds(200));
        ADD_FAILURE() << "a source without pictures must time out";
    } catch (const CaptureError& error) {
        EXPECT_EQ(error.number(), kErrorDeviceFailed);
    }
    EXPECT_FALSE(pipeline.IsRunning());
}

// A frame is the buffer itself: rows padded as the buffer's video meta says, readable
// after the pipeline let the sample go, and the buffer held until the last copy goes.
TEST(FramePipelineTest, FramesReadPaddedRowsAndHoldTheirBufferUntilTheLastCopyGoes) {
    EnsureGstreamer();
    const int width = 3, height = 2, stride = 16;
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, gsize(stride * height), nullptr);
    GstMapInfo map;
    ASSERT_TRUE(gst_buffer_map(buffer, &map, GST_MAP_WRITE));
    std::memset(map.data, 0xEE, map.size);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uchar* pixel = map.data + y * stride + x * 4;
            pixel[0] = uchar(10 * x);       // blue
            pixel[1] = uchar(100 + y);      // green
            pixel[2] = uchar(200 + x + y);  // red
            pixel[3] = 0xFF;
        }
    gst_buffer_unmap(buffer, &map);
    gsize offsets[GST_VIDEO_MAX_PLANES] = {0};
    gint strides[GST_VIDEO_MAX_PLANES] = {stride};
    gst_buffer_add_video_meta_full(buffer, GST_VIDEO_FRAME_FLAG_NONE, GST_VIDEO_FORMAT_BGRx, width, height, 1,
                                   offsets, strides);
    GstCapsPtr caps(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", G_TYPE_INT,
                                        width, "height", G_TYPE_INT, height, nullptr));
    GstSample* sample = gst_sample_new(buffer, caps.get(), nullptr, nullptr);
    bool released = false;
    gst_mini_object_weak_ref(
        GST_MINI_OBJECT(buffer), [](gpointer flag, GstMiniObject*) { *static_cast<bool*>(flag) = true; },
        &released);
    gst_buffer_unref(buffer);

    QImage frame = FrameOverSample(sample);
    gst_sample_unref(sample);
    ASSERT_EQ(frame.size(), QSize(width, height));
    EXPECT_EQ(frame.pixel(2, 1), qRgb(203, 101, 20));
    EXPECT_EQ(frame.pixel(0, 0), qRgb(200, 100, 0));
    QImage copy = frame;
    frame = QImage();
    EXPECT_FALSE(released);
    EXPECT_EQ(copy.pixel(1, 1), qRgb(202, 101, 10));
    copy = QImage();
    EXPECT_TRUE(released);
}

}  // namespace
}  // namespace snapwire::capture
