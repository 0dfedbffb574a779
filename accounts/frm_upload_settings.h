#pragma once

// The upload settings window. It lists the upload accounts and holds, in its
// controls, the settings of one account at a time: the account of the selected row
// of `ftps`, loaded by ValdItem. The upload cycle, the timers and motion detection
// read those controls. Every edit is stored in the account's key the moment the
// control changes, also when loading changes it; the window has no Cancel.
//
// Created hidden at first use, shown modally, left only through OK, and kept until
// the program ends.

#include "accounts/account_list.h"
#include "accounts/picture_sample.h"
#include "platform/registry/registry.h"

#include <QDateTime>
#include <QDialog>
#include <QFont>
#include <QSet>
#include <QString>
#include <cstdint>
#include <optional>

class QCheckBox;
class QComboBox;
class QDateEdit;
class QFrame;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;
class QTabBar;
class QTimeEdit;

namespace snapwire {

class SettingValue;

namespace accounts {
// What the window's common dialogs remember between showings: the font and colour
// they open with, and the sound file chosen last.
struct CommonDialog {
    QFont Font;
    std::uint32_t Color = 0;
    int Flags = 0;
    QString FileName;
    QString DialogTitle;
    QString Filter;
};
}  // namespace accounts

class frmUploadSettings : public QDialog {
    Q_OBJECT
  public:
    frmUploadSettings();
    ~frmUploadSettings() override;

    void Form_Load();

    // Loads the account of the selected row into the controls of this window, of
    // frmUnique and of frmTimeFormat. Callers that want another account select its
    // row first (ftps->Select).
    void ValdItem();
    // ValdItem, unless the selected row's account is loaded already and a load now
    // would leave every control as it is: no write to the hive and no change of a
    // control of this window since the last load began, no dialog open in which the
    // user may be editing, and the same date and time for what it took from the clock.
    void ValdItemUnlessCurrent();
    // True while ValdItem runs. Its change handlers store into the selected row's
    // account, so nothing may select another row meanwhile (the main window holds
    // such callers back until LoadEnded).
    bool Loading() const { return loading_; }

    // The time text file's name pattern expanded for this moment, "%N" being the
    // base name; no extension is added.
    QString UniqueFileName(const QString& TimeFormat) const;

    // Redraws the timestamp sample strip with the timestamp pattern of frmTimeFormat.
    void DrawTimestampSample();

    // --- Account list and buttons ------------------------------------------------------
    accounts::AccountList* ftps = nullptr;
    QPushButton* cmdAdd = nullptr;
    QPushButton* cmdRemove = nullptr;
    QPushButton* Command1 = nullptr;  // OK
    QPushButton* cmdHelp = nullptr;
    QTabBar* TabStripFTP = nullptr;
    QFrame* Frame1 = nullptr;          // "&FTP"
    QFrame* Frame3 = nullptr;          // "&Destination"
    QFrame* Frame2 = nullptr;          // "&Interval"
    QFrame* frametimestamp = nullptr;  // "&Picture"
    QFrame* frameMotion = nullptr;     // "&Motion"

    // --- FTP ---------------------------------------------------------------------------
    QLineEdit* txtHostNameAddress = nullptr;
    QLineEdit* txtUserID = nullptr;
    QLineEdit* txtPassword = nullptr;
    QCheckBox* rem_pass = nullptr;
    QCheckBox* chkPassiveMode = nullptr;

    // --- Destination ---------------------------------------------------------------------
    QLineEdit* txtFolder = nullptr;
    QLineEdit* txtFilename = nullptr;
    QLineEdit* txtFileExtension = nullptr;
    QPushButton* cmdUnique = nullptr;
    QCheckBox* chkLocally = nullptr;
    QLineEdit* txtLocallySource = nullptr;
    QPushButton* cmdBrowse = nullptr;
    QCheckBox* chkOnlylo = nullptr;

    // --- Interval ------------------------------------------------------------------------
    QComboBox* Combo = nullptr;  // item data: the interval in milliseconds
    QLineEdit* txtmSec = nullptr;
    QLabel* lblmSec = nullptr;
    QCheckBox* chkBetween = nullptr;
    QDateEdit* DTPicker1 = nullptr;
    QDateEdit* DTPicker2 = nullptr;
    QTimeEdit* DTPicker3 = nullptr;
    QTimeEdit* DTPicker4 = nullptr;

    // --- Picture -------------------------------------------------------------------------
    QCheckBox* Check1 = nullptr;
    accounts::PictureSample* picUnder = nullptr;  // the timestamp's colours and font
    QPushButton* Command3 = nullptr;              // font
    QPushButton* Command4 = nullptr;              // background colour
    QPushButton* Command5 = nullptr;              // text colour
    QPushButton* cmdTimeFormat = nullptr;
    QCheckBox* chkTxtTime = nullptr;
    QLineEdit* txtTextTime = nullptr;
    QPushButton* cmdAddi = nullptr;

    // --- Motion --------------------------------------------------------------------------
    QCheckBox* chkActMot = nullptr;
    QCheckBox* chkUploadOnMotion = nullptr;
    QCheckBox* chkBeep = nullptr;
    QCheckBox* chkSound = nullptr;
    QPushButton* cmdSoundBrowse = nullptr;
    QCheckBox* chkShowMotion = nullptr;
    accounts::PictureSample* piccolor = nullptr;  // its background is the motion colour
    QSlider* sldSens = nullptr;

    // --- Common dialogs ------------------------------------------------------------------
    accounts::CommonDialog CommonDialog1;  // timestamp font and colours
    accounts::CommonDialog ComCol;         // motion colour
    accounts::CommonDialog ComMotSndSrc;   // motion sound file

    // --- Handlers ------------------------------------------------------------------------
    void cmdAdd_Click();
    void cmdRemove_Click();
    void Command1_Click();
    void cmdHelp_Click();
    void ftps_ItemClick();
    void TabStripFTP_Click();

    void txtHostNameAddress_Change();
    void txtUserID_Change();
    void txtPassword_Change();
    void txtFolder_Change();
    void txtFilename_Change();
    void txtLocallySource_Change();
    void txtTextTime_Change();
    void txtmSec_Change();
    void Combo_Click();
    void rem_pass_Click();
    void chkPassiveMode_Click();
    void chkLocally_Click();
    void chkOnlylo_Click();
    void chkBetween_Click();
    void DTPicker1_Change();
    void DTPicker2_Change();
    void DTPicker3_Change();
    void DTPicker4_Change();
    void Check1_Click();
    void chkTxtTime_Click();
    void chkActMot_Click();
    void chkUploadOnMotion_Click();
    void chkBeep_Click();
    void chkSound_Click();
    void chkSound_MouseUp();
    void chkShowMotion_Click();
    void sldSens_Change();
    void piccolor_Click();
    void picUnder_Click();
    void cmdSoundBrowse_Click();
    void Command3_Click();
    void Command4_Click();
    void Command5_Click();
    void cmdBrowse_Click();
    void txtFolder_LostFocus();
    void txtLocallySource_LostFocus();
    void cmdUnique_Click();
    void cmdTimeFormat_Click();
    void cmdAddi_Click();

  Q_SIGNALS:
    void LoadEnded();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    QFrame* BuildFtpPage();
    QFrame* BuildDestinationPage();
    QFrame* BuildIntervalPage();
    QFrame* BuildPicturePage();
    QFrame* BuildMotionPage();
    void ConnectHandlers();
    void ConnectPageHandlers();
    void Changed(void (frmUploadSettings::*handler)());

    // Account list (frm_upload_settings_list.cpp).
    void ReadAccountList();
    void CreateDefaultAccount();
    void WriteAccountList();
    void DeleteAccountKey(const QString& name);

    // Loading (frm_upload_settings_load.cpp).
    void LoadAccountValues(const QString& account);
    void LoadTimestampFont(const QString& account);
    void LoadMotionValues(const QString& account);
    void RefreshListColumns();
    void ReportFontError(const QString& account, const QString& valueName, const QString& description);

    // Write-on-change: one value into the key of the selected row's account; nothing
    // without a selected account, and a failure ends the write quietly.
    void WriteAccountValue(const char* valueName, const SettingValue& value);
    void WriteCheckValue(const char* valueName, const QCheckBox* box);
    void ChooseTimestampColor(bool background);
    void WriteTimestampFont();

    // What a whole load read: the row, its account, the hive's version before its
    // first read and how many control changes had been made outside loads by then;
    // and the clock reading whose date or time of day pickers without a stored value took.
    struct LoadedAccount {
        int row = 0;
        QString name;
        reg::HiveVersion version;
        std::uint64_t controlChanges = 0;
        QDateTime clock;
        bool datesFromClock = false;
        bool timesFromClock = false;
    };
    std::optional<LoadedAccount> LoadState() const;
    bool LoadedAccountIsCurrent() const;
    // Counts a change of a control unless a load makes it.
    void NoteControlChange();

    std::optional<LoadedAccount> loaded_;
    std::optional<LoadedAccount> thisLoad_;  // the whole load under way, or the last one
    std::uint64_t controlChanges_ = 0;
    // Font errors already shown this run, as "account" + "\n" + "value name".
    QSet<QString> reportedFontErrors_;
    bool loading_ = false;
};

namespace forms {
snapwire::frmUploadSettings& frmUploadSettings();
}  // namespace forms

}  // namespace snapwire
