#pragma once

// The unique-filename dialog: how the loaded account's pictures are named on the
// server and in the local folder. Its controls hold the naming settings of the
// account loaded into the upload settings window, whether or not it is on screen;
// the upload cycle reads them there.
//
// Created hidden at first use, shown modally by the upload settings window, left
// only through OK (which stores the settings under the selected account), and
// kept until the program ends.

#include <QDialog>
#include <QString>

class QCheckBox;
class QEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

namespace snapwire {

class frmUnique : public QDialog {
    Q_OBJECT
  public:
    frmUnique();
    ~frmUnique() override;

    void Form_Load();

    // The file-name pattern expanded for this moment, "%N" being the account's base
    // name, followed by the picture extension (".jpg" alone for an empty pattern).
    QString UniqueFileName(const QString& TimeFormat) const;

    QLabel* lblPreview = nullptr;
    QLineEdit* txtPreview = nullptr;  // the name the selected mode gives

    // --- The account's naming settings ----------------------------------------------
    QRadioButton* optDisabled = nullptr;
    QRadioButton* optAuto = nullptr;
    QRadioButton* optCustom = nullptr;
    QCheckBox* chkFTP = nullptr;      // keep only txtKeep numbers on the server
    QCheckBox* chkLocally = nullptr;  // keep only txtKeep2 numbers in the local folder
    QLineEdit* txtKeep = nullptr;
    QLineEdit* txtKeep2 = nullptr;
    QLineEdit* txtCustomFormat = nullptr;

    QSpinBox* UpDownKeep = nullptr;  // the arrows of txtKeep, 0 to 9999
    QSpinBox* UpDownKeep2 = nullptr;
    QLabel* lblUploads = nullptr;
    QLabel* lblLocals = nullptr;

    // --- Token buttons of the custom pattern -------------------------------------------
    QPushButton* cmdYear = nullptr;
    QPushButton* cmdMonth = nullptr;
    QPushButton* cmdDay = nullptr;
    QPushButton* cmdHour = nullptr;
    QPushButton* cmdMinute = nullptr;
    QPushButton* cmdSecond = nullptr;
    QPushButton* cmdAMPM = nullptr;
    QPushButton* cmdName = nullptr;
    QPushButton* cmdWeekday = nullptr;

    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdOK = nullptr;

    // --- Handlers ----------------------------------------------------------------------
    void Form_Activate();
    void optDisabled_Click();
    void optAuto_Click();
    void optCustom_Click();
    void txtCustomFormat_Change();
    void txtKeep_Change();
    void txtKeep2_Change();
    void UpDownKeep_Change();
    void UpDownKeep2_Change();
    void cmdYear_Click();
    void cmdMonth_Click();
    void cmdDay_Click();
    void cmdHour_Click();
    void cmdMinute_Click();
    void cmdSecond_Click();
    void cmdAMPM_Click();
    void cmdName_Click();
    void cmdWeekday_Click();
    void cmdOK_Click();
    void cmdHelp_Click();

  protected:
    bool event(QEvent* event) override;

  private:
    void BuildControls();
    void BuildKeepControls();
    void BuildTokenButtons();
    void ConnectHandlers();

    void MakeSelectedPreview();
    void MakeDisabledPreview();
    void MakeAutomaticPreview();
    void MakeCustomPreview();
    // An edit of the custom pattern made in this window chooses the custom naming.
    void CustomFormatEdited();
    void InsertCustomToken(const char* token);
    // Brings a keep count into range; false when it replaced the text (the
    // replacement has run the checks again by then).
    bool CorrectKeepCount(QLineEdit* box, QSpinBox* upDown);
    void WriteNamingSettings();
};

namespace accounts {
// Sets an option button as the program's stored flags do: true selects it (and
// clears the others of its group); false clears it, which may leave the group with
// none selected.
void SetOptionValue(QRadioButton* button, bool selected);
}  // namespace accounts

namespace forms {
snapwire::frmUnique& frmUnique();
}  // namespace forms

}  // namespace snapwire
