#pragma once

// The program configuration window. Its controls are the program's live options:
// start-up, the main window and the upload cycle read them in place, whether or not
// the window is on screen. It is loaded once, hidden, and only ever hidden again.

#include <QDialog>
#include <QImage>
#include <QString>
#include <cstdint>

class QCheckBox;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QSpinBox;
class QTabBar;

namespace snapwire {

class prcoForm : public QDialog {
    Q_OBJECT
  public:
    prcoForm();
    ~prcoForm() override;

    void Form_Load();

    // --- Program options (read by other windows) -------------------------------
    QCheckBox* chkSystray = nullptr;  // ticked: the user does not want the tray
    QCheckBox* chkMotion = nullptr;
    QCheckBox* chkAutostart = nullptr;
    QCheckBox* chkMin = nullptr;
    QCheckBox* chkPrint = nullptr;
    QCheckBox* chkSuc = nullptr;
    QCheckBox* chkSound = nullptr;
    QCheckBox* chkClose = nullptr;
    QCheckBox* chkAsk = nullptr;
    QCheckBox* chkKeepUpload = nullptr;
    QCheckBox* chkXPStyle = nullptr;
    QLineEdit* txtQuality = nullptr;
    QSlider* Slider1 = nullptr;  // the JPEG quality every picture saver uses
    QLineEdit* txtPicSource = nullptr;
    QLineEdit* txtSound = nullptr;
    QLineEdit* txtSoundSource = nullptr;
    QLineEdit* txtClose = nullptr;

    // --- The rest of the window -------------------------------------------------
    QSpinBox* UpDownCloseAfterUploads = nullptr;
    QSpinBox* UpDown1 = nullptr;
    QLabel* lblCloseuploads = nullptr;
    QLabel* lblSound = nullptr;
    QLabel* lblBeep = nullptr;
    QLabel* piccolor = nullptr;        // colour sample; a click opens the colour picker
    QLabel* picPictureLoad = nullptr;  // hidden: the quality preview's sample picture
    QLabel* picPicture = nullptr;      // the sample as the chosen quality encodes it
    QTabBar* TabStripConf = nullptr;
    QFrame* frameProgram = nullptr;
    QFrame* frameVarious = nullptr;
    QFrame* frameBackground = nullptr;
    QFrame* frameSound = nullptr;
    QFrame* frameQuality = nullptr;
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdPictureBrowse = nullptr;
    QPushButton* cmdSoundBrowse = nullptr;

    // The colour picker `ComCol` keeps the colour chosen last (0x00BBGGRR).
    std::uint32_t ComColColor() const { return comColColor_; }

    // --- Handlers -----------------------------------------------------------------
    void Command1_Click();
    void cmdHelp_Click();
    void cmdPictureBrowse_Click();
    void cmdSoundBrowse_Click();
    void piccolor_Click();
    void TabStripConf_Click();
    void chkMin_Click();
    void chkSystray_Click();
    void chkClose_Click();
    void chkXPStyle_Click();
    void txtClose_Change();
    void txtClose_LostFocus();
    void txtSound_Change();
    void txtQuality_Change();
    void Slider1_Change();
    void UpDownCloseAfterUploads_Change();
    void UpDown1_Change();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    QFrame* BuildProgramFrame();
    QFrame* BuildVariousFrame();
    QFrame* BuildBackgroundFrame();
    QFrame* BuildSoundFrame();
    QFrame* BuildQualityFrame();
    void ConnectHandlers();
    void ReadOptions();
    void ShowColorSample(std::uint32_t color);
    void ShowQualityPreview();
    void CheckBackgroundPicture();
    void CheckSoundFile();
    void SaveOptions();
    void ApplyTray();

    std::uint32_t comColColor_ = 0x00FFFFFF;
    QImage samplePicture_;
};

namespace forms {
snapwire::prcoForm& prcoForm();
}  // namespace forms

}  // namespace snapwire
