#pragma once

// The capture devices ("drivers") the control offers, in a stable order: the
// Video4Linux cameras the system reports, sorted by device node, then the stand-in
// cameras and the frame feed that tests set, then the built-in test pattern, which lets the
// program run on a machine without a camera (SNAPWIRE_NO_TEST_DEVICE=1 hides it).
// Cameras come and go, and one that comes back may get another node (which another
// camera may have taken meanwhile): a camera is found again by its name, serial and
// bus path before its node.

#include <QSet>
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
    QString serial{};                  // cameras: vendor, model and serial number, when known
    QString busPath{};                 // cameras: the port it is plugged into, when known
    bool serialShared = false;         // cameras: known to carry another camera's serial
};

inline constexpr char kTestPatternName[] = "Snapwire Test Pattern";
inline constexpr char kFrameFeedName[] = "Snapwire Frame Feed";

std::vector<CaptureDevice> EnumerateCaptureDevices();

// The cameras alone, as the system's device monitor reports them.
std::vector<CaptureDevice> EnumerateCameras();

// The serials that two cameras of `devices` carry, or that one is known to share. A
// camera without a serial number of its own reports only its maker and model there,
// so identical cameras carry one serial.
QSet<QString> SharedSerials(const std::vector<CaptureDevice>& devices);

// Where each device of `known` is in `listed`: the index of the same device, or -1 when
// it is not there. Names must match; a serial counts before the bus path and the node,
// and a different serial rules a camera out. A serial that two cameras share (within
// either list, or in `sharedSerials`) tells neither apart: the bus path, then the node
// decide, and a camera that neither tells apart is not found. No entry of `listed` is
// given twice.
std::vector<int> FindDevices(const std::vector<CaptureDevice>& known,
                             const std::vector<CaptureDevice>& listed,
                             const QSet<QString>& sharedSerials = {});

// What identifies a camera beyond its name, as text to keep beside the name; empty for
// the test pattern and the frame feed. DescribedDevice reads it back; a name without it
// describes the first device of that name.
QString DeviceIdentity(const CaptureDevice& device);
CaptureDevice DescribedDevice(const QString& name, const QString& identity);

// The pipeline fragment that produces the device's pictures in the given format
// (ignored by the frame feed). Everything after it is the same for every device.
QString SourceDescription(const CaptureDevice& device, const VideoFormat& format);

// Whether the device's source has image controls (brightness, contrast, ...).
// Cameras are opened briefly to ask.
bool SourceHasImageControls(const CaptureDevice& device);

}  // namespace snapwire::capture
