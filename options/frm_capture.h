#pragma once

// The movie capture dialog: the movie file, the length of the recording and its
// sound, the ways to the frame-rate, audio-format and compressor dialogs, and the
// start of the recording. Loaded at its first showing, then only hidden; only the
// file name is stored (as soon as it changes).

#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace snapwire {

class frmCapture : public QDialog {
    Q_OBJECT
  public:
    frmCapture();
    ~frmCapture() override;

    void Form_Load();

    QLabel* lblFilename = nullptr;
    QLineEdit* txtFilename = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QRadioButton* radCaptureuntil = nullptr;
    QRadioButton* radCapturefor = nullptr;
    QLineEdit* txtCapturefor = nullptr;  // seconds
    QSpinBox* UpDown2 = nullptr;
    QLabel* lblSeconds = nullptr;
    QCheckBox* chkCaptureAudio = nullptr;
    QPushButton* cmdAudioFormat = nullptr;
    QPushButton* cmdFrameSec = nullptr;
    QPushButton* cmdCompressor = nullptr;
    QPushButton* cmdStartCapture = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdHelp = nullptr;

    // The save dialog `dlg` remembers the path loaded at start or chosen last, and
    // opens with it.
    QString dlgFileName() const { return dlgFileName_; }

    void txtFilename_Change();
    void cmdBrowse_Click();
    void txtCapturefor_KeyPress(int& KeyAscii);
    void txtCapturefor_Change();
    void UpDown2_Change();
    void chkCaptureAudio_Click();
    void cmdAudioFormat_Click();
    void cmdFrameSec_Click();
    void cmdCompressor_Click();
    void cmdStartCapture_Click();
    void cmdCancel_Click();
    void cmdHelp_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void ConnectHandlers();
    bool ConfirmOverwrite(const QString& path);
    void HandOverDuration();

    QString dlgFileName_;
};

namespace forms {
snapwire::frmCapture& frmCapture();
}  // namespace forms

}  // namespace snapwire
