#pragma once

// The capture control: the one component through which the program reaches a
// camera. It is also the video widget that shows the live picture; its geometry
// is the container's Left/Top/Width/Height/Visible.

#include <QImage>
#include <QSize>
#include <QString>
#include <QWidget>
#include <cstdint>
#include <memory>
#include <stdexcept>

namespace snapwire::capture {

// Failures carry a number and a description, as callers report them.
class CaptureError : public std::runtime_error {
  public:
    CaptureError(int number, const QString& description);
    int number() const { return number_; }
    QString description() const { return description_; }

  private:
    int number_;
    QString description_;
};

inline constexpr int kErrorDeviceNotOpened = 5;  // busy, gone, or refused
inline constexpr int kErrorNoDevice = 6;         // no such capture device
inline constexpr int kErrorDeviceFailed = 7;     // opened, but failed or sent no picture
inline constexpr int kErrorNoFrame = 8;          // there is no current frame (not connected)
inline constexpr int kErrorNotAvailable = 9;     // a dialog the device does not have, or not now
inline constexpr int kErrorFileWrite = 10;       // a frame file could not be written
inline constexpr int kErrorInvalidValue = 380;   // a setting the control refuses

struct CaptureStatus {
    std::int32_t width = 0;  // current frame size in pixels
    std::int32_t height = 0;
    std::int32_t framesCaptured = 0;  // of the last movie capture
    std::int32_t framesDropped = 0;
    std::int32_t elapsedMs = 0;
    bool capturing = false;
};

struct SoundFormat {
    std::int32_t formatTag = 1;  // 1 = PCM
    std::int32_t channels = 1;
    std::int32_t samplesPerSec = 11025;
    std::int32_t avgBytesPerSec = 11025;
    std::int32_t blockAlign = 1;
    std::int32_t bitsPerSample = 8;
};

class CaptureControl : public QWidget {
    Q_OBJECT
  public:
    explicit CaptureControl(QWidget* parent = nullptr);
    ~CaptureControl() override;

    // Devices ("drivers"): real cameras first, then the built-in test pattern. The list is
    // read at first use and again only by RefreshDevices, so its indexes stay those of the
    // list a user was shown; connecting a camera looks for it where it is plugged in now.
    int DeviceCount() const;
    QString DeviceName(int index) const;
    // Reads the devices again, for cameras plugged in or unplugged since. The selected
    // device keeps its place in the list (at a new index) even while it is away, and a
    // running camera goes on undisturbed.
    void RefreshDevices();
    // What identifies the device beyond its name, to find it again at a later start;
    // FindDevice gives the index of the device so named and identified, or -1.
    QString DeviceIdentity(int index) const;
    int FindDevice(const QString& name, const QString& identity) const;
    // Lists a stored camera that is not plugged in, as an unplugged selected camera stays
    // listed, and selects it without connecting: connecting fails (5) until it is back,
    // rather than opening another camera of its name. Gives its index.
    int SelectAwayDevice(const QString& name, const QString& identity);
    int DeviceIndex() const;
    void SetDeviceIndex(int index);  // connects that device at once; throws CaptureError
    bool DeviceConnected() const;
    void SetDeviceConnected(bool connected);  // throws CaptureError (5: cannot be opened)

    bool LivePreview() const;
    void SetLivePreview(bool on);

    bool HasFormatDialog() const;
    bool HasDisplayDialog() const;
    bool HasSourceDialog() const;
    void ShowFormatDialog();
    void ShowDisplayDialog();
    void ShowSourceDialog();
    void ShowCompressorDialog();

    CaptureStatus GetCaptureStatus() const;
    QImage CurrentFrame() const;  // a copy; null when there is no frame
    // 24-bit BMP; throws CaptureError. Gives the frame it wrote, so that a caller can go
    // on with that frame without reading the file back.
    QImage SaveFrameAsBitmap(const QString& path);
    std::int32_t SavePictureAsJpeg(const QImage& picture, const QString& path, int quality);  // 0 = failure
    void CopyFrameToClipboard();

    // Movie capture.
    QString CaptureFile() const;
    void SetCaptureFile(const QString& path);
    bool CaptureTimeLimited() const;
    void SetCaptureTimeLimited(bool limited);
    int CaptureSeconds() const;
    void SetCaptureSeconds(int seconds);  // throws CaptureError (380) below 0
    int CaptureFrameRate() const;
    void SetCaptureFrameRate(int framesPerSecond);  // 1 .. 100; throws CaptureError (380) otherwise
    bool CaptureSound() const;
    void SetCaptureSound(bool on);
    // Why the movie being captured, or captured last, has no sound although sound was
    // asked for (no sound source could be opened); empty otherwise.
    QString SoundFailure() const;
    // The frame size of the movie being captured, or captured last; empty before its first frame.
    QSize CapturedFrameSize() const;
    bool BeginCapture();  // false when the recording cannot start
    // Ends a running movie capture as the user's left click or Escape does; the
    // CaptureCompleted event follows once the file is complete.
    void EndCapture();
    // PCM, 1 or 2 channels, 8 or 16 bits, 1000 .. 96000 samples a second; anything else
    // throws CaptureError (380). GetSoundFormat reports what will be recorded.
    void SetSoundFormat(const SoundFormat& format);
    SoundFormat GetSoundFormat() const;

  Q_SIGNALS:
    // A movie capture has finished; always delivered on the user-interface thread.
    void CaptureCompleted();

  protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace snapwire::capture
