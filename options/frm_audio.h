#pragma once

// The audio format dialog: the PCM format of movie sound. It hands its choice to
// the capture control when it opens and on OK, and shows what the control reports.
// OK, Cancel and the close box close it for good: the next opening loads it afresh.

#include <QDialog>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QRadioButton;

namespace snapwire {

class frmAudio : public QDialog {
    Q_OBJECT
  public:
    frmAudio();
    ~frmAudio() override;

    void Form_Load();

    QGroupBox* fraChannels = nullptr;  // option group 1
    QRadioButton* Option1 = nullptr;   // Mono
    QRadioButton* Option2 = nullptr;   // Stereo
    QGroupBox* fraBits = nullptr;      // option group 2
    QRadioButton* Option3 = nullptr;   // 16 bits
    QRadioButton* Option4 = nullptr;   // 8 bits
    QLabel* lblFrequency = nullptr;
    QComboBox* text2 = nullptr;  // samples a second, editable
    QPushButton* OKButton = nullptr;
    QPushButton* CancelButton = nullptr;
    QPushButton* cmdHelp = nullptr;

    void OKButton_Click();
    void CancelButton_Click();
    void cmdHelp_Click();

    // True once the dialog has been closed; forms::frmAudio() then loads a new one.
    bool IsClosed() const { return closed_; }

  public Q_SLOTS:
    void reject() override;  // Escape and the close box close it as Cancel does

  private:
    void ReadStoredChoices();
    void HandOverSoundFormat();
    void ShowReportedFormat();
    void StoreChoices();
    void CloseDialog();

    bool closed_ = false;
};

namespace forms {
// The open dialog, or a freshly loaded one when the last was closed.
snapwire::frmAudio& frmAudio();
}  // namespace forms

}  // namespace snapwire
