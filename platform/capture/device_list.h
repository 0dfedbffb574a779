#pragma once

// The capture devices ("drivers") the control offers, in a stable order: the
// Video4Linux cameras the system reports, sorted by device node, then the stand-in
// cameras and the frame feed that tests set, then the built-in test pattern, which lets the
// program run on a machine without a camera (SNAPWIRE_NO_TEST_DEVICE=1 hides it).

#include <QString>
#include <vector>

#include "platform/capture/video_format.h"

namespace snapwire::capture {

enum class DeviceKind { Camera, FrameFeed, TestPattern };

struct CaptureDevice {
    DeviceKind kind = DeviceKind::TestPattern;
    QString name;                      // as the device names itself
    QString node;                      // cameras: the device node, e.g. /dev/video0
    std::vector<VideoFormat> formats;  // what it offers; empty for the frame feed
    bool standIn = false;              // a camera played by a test source (stand_in_camera.h)
};

inline constexpr char kTestPatternName[] = "Snapwire Test Pattern";
inline constexpr char kFrameFeedName[] = "Snapwire Frame Feed";

std::vector<CaptureDevice> EnumerateCaptureDevices();

// The cameras alone, as the system's device monitor reports them.
std::vector<CaptureDevice> EnumerateCameras();

// The pipeline fragment that produces the device's pictures in the given format
// (ignored by the frame feed). Everything after it is the same for every device.
QString SourceDescription(const CaptureDevice& device, const VideoFormat& format);

// Whether the device's source has image controls (brightness, contrast, ...).
// Cameras are opened briefly to ask.
bool SourceHasImageControls(const CaptureDevice& device);

}  // namespace snapwire::capture
