#include "platform/capture/device_list.h"

#include <QCollator>
#include <algorithm>

#include "platform/capture/frame_feed.h"
#include "platform/capture/gst_runtime.h"
#include "platform/capture/image_controls.h"
#include "platform/capture/stand_in_camera.h"
#include "platform/capture/test_pattern.h"

namespace snapwire::capture {

namespace {

// The sizes and rates the test pattern offers, described as a device would.
constexpr char kTestPatternCaps[] =
    "video/x-raw, width=(int)160, height=(int)120, framerate=(fraction){5/1,10/1,15/1,25/1,30/1};"
    "video/x-raw, width=(int)320, height=(int)240, framerate=(fraction){5/1,10/1,15/1,25/1,30/1};"
    "video/x-raw, width=(int)352, height=(int)288, framerate=(fraction){5/1,10/1,15/1,25/1,30/1};"
    "video/x-raw, width=(int)640, height=(int)480, framerate=(fraction){5/1,10/1,15/1,25/1,30/1};"
    "video/x-raw, width=(int)800, height=(int)600, framerate=(fraction){5/1,10/1,15/1,25/1,30/1};"
    "video/x-raw, width=(int)1280, height=(int)720, framerate=(fraction){5/1,10/1,15/1,25/1,30/1};"
    "video/x-raw, width=(int)1920, height=(int)1080, framerate=(fraction){5/1,10/1,15/1,25/1,30/1}";

bool EnvironmentFlag(const char* name) {
    return qEnvironmentVariable(name) == QLatin1String("1");
}

QString StructureString(const GstStructure* structure, const char* field) {
    const gchar* value = gst_structure_get_string(structure, field);
    return value ? QString::fromUtf8(value) : QString();
}

// A camera's device node, or empty when the device is not a Video4Linux one (other
// providers, such as a sound server's, may list the same camera a second time).
QString Video4LinuxNode(GstDevice* device) {
    GstStructure* properties = gst_device_get_properties(device);
    if (!properties)
        return {};
    QString node;
    if (StructureString(properties, "device.api") == QLatin1String("v4l2")) {
        node = StructureString(properties, "api.v4l2.path");
        if (node.isEmpty())
            node = StructureString(properties, "device.path");
    }
    gst_structure_free(properties);
    return node;
}

CaptureDevice CameraFrom(GstDevice* device, const QString& node) {
    CaptureDevice camera;
    camera.kind = DeviceKind::Camera;
    camera.node = node;
    gchar* name = gst_device_get_display_name(device);
    camera.name = QString::fromUtf8(name);
    g_free(name);
    GstCapsPtr caps(gst_device_get_caps(device));
    camera.formats = FormatsFromCaps(caps.get());
    return camera;
}

bool SafeForDescription(const QString& node) {
    return !node.isEmpty() && !node.contains(QLatin1Char('"')) && !node.contains(QLatin1Char('\\')) &&
           !node.contains(QLatin1Char(' '));
}

}  // namespace

std::vector<CaptureDevice> EnumerateCameras() {
    EnsureGstreamer();
    std::vector<CaptureDevice> cameras;
    GstObjectPtr<GstDeviceMonitor> monitor(gst_device_monitor_new());
    gst_device_monitor_add_filter(monitor.get(), "Video/Source", nullptr);
    const bool started = gst_device_monitor_start(monitor.get());
    GList* devices = gst_device_monitor_get_devices(monitor.get());
    for (GList* item = devices; item; item = item->next) {
        GstDevice* device = GST_DEVICE(item->data);
        const QString node = Video4LinuxNode(device);
        if (SafeForDescription(node))
            cameras.push_back(CameraFrom(device, node));
    }
    g_list_free_full(devices, gst_object_unref);
    if (started)
        gst_device_monitor_stop(monitor.get());

    QCollator collator;
    collator.setNumericMode(true);
    std::stable_sort(cameras.begin(), cameras.end(),
                     [&](const auto& a, const auto& b) { return collator.compare(a.node, b.node) < 0; });
    return cameras;
}

std::vector<CaptureDevice> EnumerateCaptureDevices() {
    std::vector<CaptureDevice> devices = EnumerateCameras();
    for (const StandInCamera& camera : StandInCameras()) {
        devices.push_back(
            CaptureDevice{DeviceKind::Camera, camera.name, {}, FormatsFromCapsString(camera.caps), true});
    }
    if (FrameFeed::IsEnabled())
        devices.push_back(CaptureDevice{DeviceKind::FrameFeed, QString::fromLatin1(kFrameFeedName), {}, {}});
    if (!EnvironmentFlag("SNAPWIRE_NO_TEST_DEVICE")) {
        devices.push_back(CaptureDevice{DeviceKind::TestPattern,
                                        QString::fromLatin1(kTestPatternName),
                                        {},
                                        FormatsFromCapsString(QString::fromLatin1(kTestPatternCaps))});
    }
    return devices;
}

QString SourceDescription(const CaptureDevice& device, const VideoFormat& format) {
    const QString caps = format.width > 0 ? format.Caps() : QString::fromLatin1(kRawVideo);
    switch (device.kind) {
        case DeviceKind::Camera: {
            const QString source = device.standIn ? StandInSource(device.name, format)
                                                  : QStringLiteral("v4l2src device=%1").arg(device.node);
            QString description = QStringLiteral("%1 ! %2").arg(source, caps);
            if (format.IsJpeg())
                description += QStringLiteral(" ! jpegdec");
            return description;
        }
        case DeviceKind::FrameFeed:
            return FrameFeed::SourceDescription();
        case DeviceKind::TestPattern:
            // videobalance gives the pattern the image controls a camera driver would have.
            return TestPatternSource::SourceDescription(format) + QStringLiteral(" ! videobalance");
    }
    return {};
}

bool SourceHasImageControls(const CaptureDevice& device) {
    if (device.kind == DeviceKind::FrameFeed)
        return false;
    EnsureGstreamer();
    const VideoFormat format = PreferredFormat(device.formats);
    GError* error = nullptr;
    GstObjectPtr<GstElement> source(gst_parse_bin_from_description(
        SourceDescription(device, format).toUtf8().constData(), FALSE, &error));
    TakeErrorMessage(error);
    if (!source)
        return false;
    gst_object_ref_sink(source.get());
    // Opening the device (without streaming) is enough for it to list its controls.
    const bool opened = gst_element_set_state(source.get(), GST_STATE_READY) != GST_STATE_CHANGE_FAILURE;
    const bool hasControls = opened && !ReadImageControls(source.get()).empty();
    gst_element_set_state(source.get(), GST_STATE_NULL);
    return hasControls;
}

}  // namespace snapwire::capture
