#pragma once

// The capture control: the one component through which the program reaches a
// camera. It is also the video widget that shows the live picture; its geometry
// is the container's Left/Top/Width/Height/Visible.

#include <QImage>
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
inline constexpr int kErrorFileWrite = 10;       // a frame file could not be written

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

    // Devices ("drivers"): real cameras first, then the built-in test pattern.
    int DeviceCount() const;
    QString DeviceName(int index) const;
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
    void SaveFrameAsBitmap(const QString& path);  // 24-bit BMP; throws CaptureError
    std::int32_t SavePictureAsJpeg(const QImage& picture, const QString& path, int quality);  // 0 = failure
    void CopyFrameToClipboard();

    // Movie capture.
    QString CaptureFile() const;
    void SetCaptureFile(const QString& path);
    bool CaptureTimeLimited() const;
    void SetCaptureTimeLimited(bool limited);
    int CaptureSeconds() const;
    void SetCaptureSeconds(int seconds);
    int CaptureFrameRate() const;
    void SetCaptureFrameRate(int framesPerSecond);
    bool CaptureSound() const;
    void SetCaptureSound(bool on);
    bool BeginCapture();
    void SetSoundFormat(const SoundFormat& format);
    SoundFormat GetSoundFormat() const;

Q_SIGNALS:
    // A movie capture has finished; always delivered on the user-interface thread.
    void CaptureCompleted();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

}  // namespace snapwire::capture
