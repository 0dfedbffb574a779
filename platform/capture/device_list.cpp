#include "platform/capture/device_list.h"

#include <QCollator>
#include <QUrlQuery>
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

// The first of the fields that is set: providers name the same property differently.
QString FirstString(const GstStructure* structure, std::initializer_list<const char*> fields) {
    for (const char* field : fields) {
        QString value = StructureString(structure, field);
        if (!value.isEmpty())
            return value;
    }
    return {};
}

// A camera's device node, or empty when the device is not a Video4Linux one (other
// providers, such as a sound server's, may list the same camera a second time).
QString Video4LinuxNode(const GstStructure* properties) {
    if (StructureString(properties, "device.api") != QLatin1String("v4l2"))
        return {};
    return FirstString(properties, {"api.v4l2.path", "device.path"});
}

CaptureDevice CameraFrom(GstDevice* device, const GstStructure* properties, const QString& node) {
    CaptureDevice camera;
    camera.kind = DeviceKind::Camera;
    camera.node = node;
    gchar* name = gst_device_get_display_name(device);
    camera.name = QString::fromUtf8(name);
    g_free(name);
    GstCapsPtr caps(gst_device_get_caps(device));
    camera.formats = FormatsFromCaps(caps.get());
    camera.serial = StructureString(properties, "device.serial");
    camera.busPath = FirstString(
        properties, {"device.bus_path", "device.bus-path", "v4l2.device.bus_info", "api.v4l2.cap.bus_info"});
    return camera;
}

bool SafeForDescription(const QString& node) {
    return !node.isEmpty() && !node.contains(QLatin1Char('"')) && !node.contains(QLatin1Char('\\')) &&
           !node.contains(QLatin1Char(' '));
}

bool Shared(const QString& a, const QString& b) {
    return !a.isEmpty() && a == b;
}

bool Differ(const QString& a, const QString& b) {
    return !a.isEmpty() && !b.isEmpty() && a != b;
}

// Whether the two are plugged in at the same place: the bus path decides where both
// report one, otherwise the node; with neither, nothing says so.
bool SamePlace(const CaptureDevice& a, const CaptureDevice& b) {
    if (!a.busPath.isEmpty() && !b.busPath.isEmpty())
        return a.busPath == b.busPath;
    return Shared(a.node, b.node);
}

// How surely `device` is `wanted`: -1 not at all, higher is surer.
int Likeness(const CaptureDevice& wanted, const CaptureDevice& device, const QSet<QString>& sharedSerials) {
    if (device.name != wanted.name || Differ(wanted.serial, device.serial))
        return -1;
    const int place =
        (Shared(wanted.busPath, device.busPath) ? 2 : 0) + (Shared(wanted.node, device.node) ? 1 : 0);
    if (!Shared(wanted.serial, device.serial))
        return place;
    if (!sharedSerials.contains(wanted.serial))
        return 4 + place;
    // Its twin carries the same serial: only where it is plugged in tells it apart.
    return SamePlace(wanted, device) ? place : -1;
}

constexpr char kSerialField[] = "serial";
constexpr char kSerialSharedField[] = "serial-shared";
constexpr char kBusPathField[] = "bus";
constexpr char kNodeField[] = "node";

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
        GstStructure* properties = gst_device_get_properties(device);
        if (!properties)
            continue;
        const QString node = Video4LinuxNode(properties);
        if (SafeForDescription(node))
            cameras.push_back(CameraFrom(device, properties, node));
        gst_structure_free(properties);
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
        devices.push_back(CaptureDevice{DeviceKind::Camera, camera.name, camera.node,
                                        FormatsFromCapsString(camera.caps), true, camera.serial,
                                        camera.busPath});
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

QSet<QString> SharedSerials(const std::vector<CaptureDevice>& devices) {
    QSet<QString> seen;
    QSet<QString> shared;
    for (const CaptureDevice& device : devices) {
        if (device.kind != DeviceKind::Camera || device.serial.isEmpty())
            continue;
        if (device.serialShared || seen.contains(device.serial))
            shared.insert(device.serial);
        seen.insert(device.serial);
    }
    return shared;
}

std::vector<int> FindDevices(const std::vector<CaptureDevice>& known,
                             const std::vector<CaptureDevice>& listed, const QSet<QString>& sharedSerials) {
    struct Pair {
        int likeness, known, listed;
    };
    const QSet<QString> shared = sharedSerials + SharedSerials(known) + SharedSerials(listed);
    std::vector<Pair> pairs;
    for (size_t k = 0; k < known.size(); ++k)
        for (size_t l = 0; l < listed.size(); ++l)
            if (const int likeness = Likeness(known[k], listed[l], shared); likeness >= 0)
                pairs.push_back({likeness, int(k), int(l)});
    // The surest pairs first, so two cameras of one name each find their own.
    std::stable_sort(pairs.begin(), pairs.end(),
                     [](const Pair& a, const Pair& b) { return a.likeness > b.likeness; });
    std::vector<int> found(known.size(), -1);
    std::vector<bool> taken(listed.size(), false);
    for (const Pair& pair : pairs) {
        if (found[size_t(pair.known)] >= 0 || taken[size_t(pair.listed)])
            continue;
        found[size_t(pair.known)] = pair.listed;
        taken[size_t(pair.listed)] = true;
    }
    return found;
}

QString DeviceIdentity(const CaptureDevice& device) {
    if (device.kind != DeviceKind::Camera)
        return {};
    QUrlQuery identity;
    const std::pair<const char*, const QString&> fields[] = {
        {kSerialField, device.serial}, {kBusPathField, device.busPath}, {kNodeField, device.node}};
    for (const auto& [field, value] : fields)
        if (!value.isEmpty())
            identity.addQueryItem(QString::fromLatin1(field), value);
    if (device.serialShared && !device.serial.isEmpty())
        identity.addQueryItem(QString::fromLatin1(kSerialSharedField), QStringLiteral("1"));
    return identity.toString(QUrl::FullyEncoded);
}

CaptureDevice DescribedDevice(const QString& name, const QString& identity) {
    const QUrlQuery fields(identity);
    const auto field = [&](const char* key) {
        return fields.queryItemValue(QString::fromLatin1(key), QUrl::FullyDecoded);
    };
    CaptureDevice device;
    device.kind = DeviceKind::Camera;
    device.name = name;
    device.serial = field(kSerialField);
    device.busPath = field(kBusPathField);
    device.node = field(kNodeField);
    device.serialShared = field(kSerialSharedField) == QLatin1String("1");
    return device;
}

QString SourceDescription(const CaptureDevice& device, const VideoFormat& format) {
    const QString caps = format.width > 0 ? format.Caps() : QString::fromLatin1(kRawVideo);
    switch (device.kind) {
        case DeviceKind::Camera: {
            const QString source = device.standIn ? StandInSource(device.node, format)
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
