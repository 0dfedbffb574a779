#include "platform/capture/capture_control.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPainter>
#include <algorithm>
#include <memory>
#include <numeric>

#include "platform/capture/capture_control_impl.h"
#include "platform/capture/capture_dialogs.h"
#include "platform/capture/frame_files.h"
#include "platform/capture/gst_runtime.h"
#include "platform/capture/image_controls.h"

namespace snapwire::capture {

CaptureError::CaptureError(int number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number), description_(description) {}

// ---- Devices and connection -------------------------------------------------------

const std::vector<CaptureDevice>& CaptureControl::Impl::Devices() {
    if (!devices) {
        devices = EnumerateCaptureDevices();
        NoteSharedSerials(*devices);
    }
    return *devices;
}

// Once two cameras have shown one serial, it tells neither apart for the rest of the run.
void CaptureControl::Impl::NoteSharedSerials(const std::vector<CaptureDevice>& listed) {
    sharedSerials += SharedSerials(listed);
}

namespace {

// Where a device missing from `listed` goes to keep the list's order of kinds.
size_t KeptPosition(const std::vector<CaptureDevice>& listed, const CaptureDevice& kept) {
    const auto rank = [](const CaptureDevice& device) {
        return device.kind == DeviceKind::Camera ? int(device.standIn) : int(device.kind) + 1;
    };
    return size_t(std::count_if(listed.begin(), listed.end(),
                                [&](const CaptureDevice& device) { return rank(device) <= rank(kept); }));
}

// Puts a device that is away into `listed` where its kind belongs; the indexes of
// `newIndex` from there on move up one.
size_t InsertKept(std::vector<CaptureDevice>& listed, const CaptureDevice& kept, std::vector<int>& newIndex) {
    const size_t at = KeptPosition(listed, kept);
    listed.insert(listed.begin() + std::ptrdiff_t(at), kept);
    for (int& index : newIndex) index += index >= int(at) ? 1 : 0;
    return at;
}

template <typename Value>
std::map<int, Value> Renumbered(const std::map<int, Value>& byIndex, const std::vector<int>& newIndex) {
    std::map<int, Value> renumbered;
    for (const auto& [index, value] : byIndex) {
        if (index < int(newIndex.size()) && newIndex[size_t(index)] >= 0)
            renumbered[newIndex[size_t(index)]] = value;
    }
    return renumbered;
}

}  // namespace

// Every index the control holds follows its device into the new list. The selected
// device stays listed while it is away, so that the driver list keeps showing what is
// selected (a running camera goes on, and one unplugged is still there to choose again).
void CaptureControl::Impl::ReadDevicesAgain() {
    std::vector<CaptureDevice> listed = EnumerateCaptureDevices();
    NoteSharedSerials(listed);
    if (!devices) {
        devices = std::move(listed);
        return;
    }
    std::vector<int> newIndex = FindDevices(*devices, listed, sharedSerials);
    const bool selected = deviceIndex >= 0 && deviceIndex < int(devices->size());
    if (selected && newIndex[size_t(deviceIndex)] < 0)
        newIndex[size_t(deviceIndex)] = int(InsertKept(listed, (*devices)[size_t(deviceIndex)], newIndex));
    if (selected)
        deviceIndex = newIndex[size_t(deviceIndex)];
    TakeList(std::move(listed), newIndex);
}

int CaptureControl::Impl::ListAway(const CaptureDevice& kept) {
    std::vector<CaptureDevice> listed = Devices();
    std::vector<int> newIndex(listed.size());
    std::iota(newIndex.begin(), newIndex.end(), 0);
    deviceIndex = int(InsertKept(listed, kept, newIndex));
    TakeList(std::move(listed), newIndex);
    return deviceIndex;
}

// What the control keeps by device index follows its device to `newIndex`.
void CaptureControl::Impl::TakeList(std::vector<CaptureDevice> listed, const std::vector<int>& newIndex) {
    chosenFormats = Renumbered(chosenFormats, newIndex);
    imageControls = Renumbered(imageControls, newIndex);
    devices = std::move(listed);
}

const CaptureDevice* CaptureControl::Impl::SelectedDevice() {
    const auto& list = Devices();
    return deviceIndex >= 0 && deviceIndex < int(list.size()) ? &list[size_t(deviceIndex)] : nullptr;
}

// The node a camera had when the list was read may be empty now, or another camera's:
// the camera is looked for among those plugged in now and opened where it is. Every
// entry is looked for at once, so that a camera another entry is cannot be taken for
// the selected one.
void CaptureControl::Impl::LocateSelectedCamera() {
    CaptureDevice& selected = (*devices)[size_t(deviceIndex)];
    if (selected.kind != DeviceKind::Camera)
        return;
    const std::vector<CaptureDevice> present = EnumerateCaptureDevices();
    NoteSharedSerials(present);
    const int found = FindDevices(*devices, present, sharedSerials)[size_t(deviceIndex)];
    if (found < 0)
        throw CaptureError(kErrorDeviceNotOpened,
                           QStringLiteral("The camera \"%1\" is not plugged in").arg(selected.name));
    selected = present[size_t(found)];
}

VideoFormat CaptureControl::Impl::FormatOf(int index) {
    const auto chosen = chosenFormats.find(index);
    if (chosen != chosenFormats.end())
        return chosen->second;
    return PreferredFormat(Devices()[size_t(index)].formats);
}

void CaptureControl::Impl::Connect() {
    Disconnect();
    const CaptureDevice* device = SelectedDevice();
    if (!device)
        throw CaptureError(kErrorNoDevice,
                           Devices().empty()
                               ? QStringLiteral("No video capture device is installed")
                               : QStringLiteral("There is no capture device %1").arg(deviceIndex));
    LocateSelectedCamera();
    pipeline.SetFrameHandler([this] { OnFrameStored(); });
    pipeline.SetErrorHandler([this](GstObject* source, const CaptureError& error) {
        std::shared_ptr<GstObject> failed(GST_OBJECT(gst_object_ref(source)), gst_object_unref);
        QMetaObject::invokeMethod(
            self, [this, failed, error] { OnFailure(failed.get(), error); }, Qt::QueuedConnection);
    });
    pipeline.Start(SourceDescription(*device, FormatOf(deviceIndex)), kFirstFrameTimeout);
    connected = true;
    ShowNewestFrame();
}

void CaptureControl::Impl::Disconnect() {
    EndRecordingNow();
    pipeline.Stop();
    connected = false;
    shown = QImage();
    self->update();
}

void CaptureControl::Impl::OnFrameStored() {
    if (previewWanted && !repaintPosted.exchange(true)) {
        QMetaObject::invokeMethod(
            self,
            [this] {
                repaintPosted = false;
                if (livePreview)
                    ShowNewestFrame();
            },
            Qt::QueuedConnection);
    }
}

void CaptureControl::Impl::ShowNewestFrame() {
    shown = pipeline.LatestFrame();
    self->update();
}

void CaptureControl::Impl::OnFailure(GstObject* source, const CaptureError& error) {
    if (recorder && recorder->Contains(source)) {
        qWarning("Movie capture failed: %s", qPrintable(error.description()));
        FinishRecording();
        return;
    }
    GstElement* running = pipeline.Pipeline();
    if (running && gst_object_has_as_ancestor(source, GST_OBJECT(running))) {
        qWarning("Capture device failed: %s", qPrintable(error.description()));
        Disconnect();
    }
}

void CaptureControl::Impl::ChangeFormat(const VideoFormat& format) {
    const VideoFormat previous = FormatOf(deviceIndex);
    if (format == previous)
        return;
    chosenFormats[deviceIndex] = format;
    if (!connected)
        return;
    try {
        Connect();
    } catch (const CaptureError&) {
        chosenFormats[deviceIndex] = previous;
        try {
            Connect();
        } catch (const CaptureError&) {
            // The device stays disconnected; the failure to report is the new format's.
        }
        throw;
    }
}

CaptureControl::CaptureControl(QWidget* parent) : QWidget(parent), impl_(std::make_unique<Impl>(this)) {
    EnsureGstreamer();
    setAttribute(Qt::WA_OpaquePaintEvent);
}

CaptureControl::~CaptureControl() {
    impl_->Disconnect();
}

int CaptureControl::DeviceCount() const {
    return int(impl_->Devices().size());
}

QString CaptureControl::DeviceName(int index) const {
    const auto& devices = impl_->Devices();
    if (index < 0 || index >= int(devices.size()))
        throw CaptureError(kErrorInvalidValue, QStringLiteral("There is no capture device %1").arg(index));
    return devices[size_t(index)].name;
}

void CaptureControl::RefreshDevices() {
    impl_->ReadDevicesAgain();
}

QString CaptureControl::DeviceIdentity(int index) const {
    const auto& devices = impl_->Devices();
    if (index < 0 || index >= int(devices.size()))
        return {};
    CaptureDevice device = devices[size_t(index)];
    device.serialShared = impl_->sharedSerials.contains(device.serial);
    return capture::DeviceIdentity(device);
}

int CaptureControl::FindDevice(const QString& name, const QString& identity) const {
    const CaptureDevice stored = DescribedDevice(name, identity);
    impl_->NoteSharedSerials({stored});
    return FindDevices({stored}, impl_->Devices(), impl_->sharedSerials).front();
}

int CaptureControl::SelectAwayDevice(const QString& name, const QString& identity) {
    impl_->Disconnect();
    return impl_->ListAway(DescribedDevice(name, identity));
}

int CaptureControl::DeviceIndex() const {
    return impl_->Devices().empty() ? -1 : impl_->deviceIndex;
}

void CaptureControl::SetDeviceIndex(int index) {
    if (index < 0 || index >= DeviceCount())
        throw CaptureError(kErrorNoDevice, QStringLiteral("There is no capture device %1").arg(index));
    impl_->deviceIndex = index;
    impl_->Connect();
}

bool CaptureControl::DeviceConnected() const {
    return impl_->connected;
}

void CaptureControl::SetDeviceConnected(bool connected) {
    if (connected == impl_->connected)
        return;
    if (connected)
        impl_->Connect();
    else
        impl_->Disconnect();
}

// ---- Live picture ---------------------------------------------------------------------

bool CaptureControl::LivePreview() const {
    return impl_->livePreview;
}

void CaptureControl::SetLivePreview(bool on) {
    impl_->livePreview = on;
    impl_->previewWanted = on;
    if (on)
        impl_->ShowNewestFrame();
}

void CaptureControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (impl_->shown.isNull())
        painter.fillRect(rect(), Qt::black);
    else
        painter.drawImage(rect(), impl_->shown);
}

// ---- Driver dialogs ---------------------------------------------------------------------

bool CaptureControl::HasFormatDialog() const {
    const CaptureDevice* device = impl_->SelectedDevice();
    return device && !device->formats.empty();
}

bool CaptureControl::HasDisplayDialog() const {
    return false;
}

bool CaptureControl::HasSourceDialog() const {
    if (impl_->connected)
        return !ReadImageControls(impl_->pipeline.Pipeline()).empty();
    const CaptureDevice* device = impl_->SelectedDevice();
    if (!device)
        return false;
    const auto known = impl_->imageControls.find(impl_->deviceIndex);
    if (known != impl_->imageControls.end())
        return known->second;
    return impl_->imageControls[impl_->deviceIndex] = SourceHasImageControls(*device);
}

void CaptureControl::ShowFormatDialog() {
    if (!HasFormatDialog())
        throw CaptureError(kErrorNotAvailable, QStringLiteral("The capture device has no format dialog"));
    if (impl_->recorder)
        throw CaptureError(kErrorNotAvailable,
                           QStringLiteral("The video format cannot change while a movie is being captured"));
    const int device = impl_->deviceIndex;
    FormatDialog dialog(impl_->SelectedDevice()->formats, impl_->FormatOf(device), this);
    // The dialog's event loop may see another device chosen meanwhile.
    if (dialog.exec() == QDialog::Accepted && impl_->deviceIndex == device)
        impl_->ChangeFormat(dialog.SelectedFormat());
}

void CaptureControl::ShowDisplayDialog() {
    throw CaptureError(kErrorNotAvailable,
                       QStringLiteral("The display dialog is not available for this device"));
}

void CaptureControl::ShowSourceDialog() {
    if (!impl_->connected || !HasSourceDialog())
        throw CaptureError(kErrorNotAvailable, QStringLiteral("The capture device has no source dialog"));
    // Held for the dialog's lifetime: its event loop may see the device closed meanwhile.
    std::shared_ptr<GstElement> running(GST_ELEMENT(gst_object_ref(impl_->pipeline.Pipeline())),
                                        gst_object_unref);
    SourceDialog dialog(
        ReadImageControls(running.get()),
        [running](const QString& label, int value) { SetImageControl(running.get(), label, value); }, this);
    dialog.exec();
}

void CaptureControl::ShowCompressorDialog() {
    CompressorDialog dialog(impl_->movieQuality, this);
    if (dialog.exec() == QDialog::Accepted)
        impl_->movieQuality = dialog.Quality();
}

// ---- Frames and files ---------------------------------------------------------------------

CaptureStatus CaptureControl::GetCaptureStatus() const {
    CaptureStatus status;
    const QImage frame = CurrentFrame();
    status.width = frame.width();
    status.height = frame.height();
    const RecordingCounts counts = impl_->recorder ? impl_->recorder->Counts() : impl_->lastCounts;
    status.framesCaptured = counts.frames;
    status.framesDropped = counts.dropped;
    status.elapsedMs = counts.elapsedMs;
    status.capturing = impl_->recorder != nullptr;
    return status;
}

QImage CaptureControl::CurrentFrame() const {
    return impl_->pipeline.LatestFrame();
}

namespace {

QImage RequireFrame(const CaptureControl& control) {
    QImage frame = control.CurrentFrame();
    if (frame.isNull())
        throw CaptureError(kErrorNoFrame, QStringLiteral("There is no picture from the capture device"));
    return frame;
}

}  // namespace

QImage CaptureControl::SaveFrameAsBitmap(const QString& path) {
    QImage frame = RequireFrame(*this);
    WriteBitmap24(frame, path);
    return frame;
}

std::int32_t CaptureControl::SavePictureAsJpeg(const QImage& picture, const QString& path, int quality) {
    return WriteJpeg(picture, path, quality) ? 1 : 0;
}

void CaptureControl::CopyFrameToClipboard() {
    QGuiApplication::clipboard()->setImage(RequireFrame(*this));
}

}  // namespace snapwire::capture
