#pragma once

// The driver dialogs. Linux cameras bring no dialogs of their own, so the control
// shows these: the video format (frame size and rate the device offers), the video
// source (the device's image controls) and the movie compressor.

#include <QDialog>
#include <functional>
#include <vector>

#include "platform/capture/image_controls.h"
#include "platform/capture/video_format.h"

class QComboBox;
class QLabel;
class QSlider;

namespace snapwire::capture {

class FormatDialog : public QDialog {
    Q_OBJECT
  public:
    FormatDialog(std::vector<VideoFormat> offered, const VideoFormat& current, QWidget* parent = nullptr);
    VideoFormat SelectedFormat() const;

  private:
    void FillRates(const VideoFormat& wanted);

    std::vector<VideoFormat> offered_;
    std::vector<VideoFormat> sizes_;  // one entry per frame size, in the order offered
    QComboBox* sizeBox_;
    QComboBox* rateBox_;
};

class SourceDialog : public QDialog {
    Q_OBJECT
  public:
    // `apply` sets one control on the device; it runs as a slider moves, and again with
    // the first values when the dialog is cancelled.
    using Apply = std::function<void(const QString& label, int value)>;
    SourceDialog(std::vector<ImageControl> controls, Apply apply, QWidget* parent = nullptr);
    void reject() override;

    // "BRIGHTNESS" or "brightness" shows as "Brightness".
    static QString Caption(const QString& label);

  private:
    std::vector<ImageControl> original_;
    Apply apply_;
};

class CompressorDialog : public QDialog {
    Q_OBJECT
  public:
    CompressorDialog(int quality, QWidget* parent = nullptr);
    int Quality() const;

  private:
    QSlider* quality_;
    QLabel* qualityText_;
};

}  // namespace snapwire::capture
