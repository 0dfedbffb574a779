// The handlers of the five pages of the upload settings window. Each control
// stores its value in the loaded account's key the moment it changes; the
// window has no Apply or Cancel.

#include "accounts/account_rules.h"
#include "accounts/frm_addi.h"
#include "accounts/frm_time_format.h"
#include "accounts/frm_unique.h"
#include "accounts/frm_upload_settings.h"
#include "engine/frm_main.h"
#include "engine/picture_box.h"
#include "platform/capture/capture_control.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/controls.h"
#include "platform/ui/message_box.h"
#include "platform/ui/units.h"
#include "settings_store/c_registry.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>
#include <QTimeEdit>
#include <exception>

namespace snapwire {

namespace {

constexpr int kFontDialogFlags = 515;  // screen and printer fonts, with an Apply button

}  // namespace

// --- Write-on-change --------------------------------------------------------------------

// A failure ends the write quietly: the control keeps the user's change, and the
// engine uses it even though it may not be stored. Texts go through WriteBoxText,
// so loading a value that holds environment references keeps them.
void frmUploadSettings::WriteAccountValue(const char* valueName, const SettingValue& value) {
    const QString account = ftps->SelectedText();
    if (account.isEmpty())
        return;  // an empty name would address the program key itself
    try {
        if (value.GetKind() == SettingValue::Kind::Text)
            WriteBoxText(account, QString::fromLatin1(valueName), value.ToText());
        else
            WriteSetting(account, QString::fromLatin1(valueName), value);
    } catch (const std::exception&) {
    }
}

void frmUploadSettings::WriteCheckValue(const char* valueName, const QCheckBox* box) {
    WriteAccountValue(valueName, SettingValue(IntText(ui::CheckValue(box))));
}

void frmUploadSettings::txtHostNameAddress_Change() {
    WriteAccountValue("Host Name/Adress:", SettingValue(txtHostNameAddress->text()));
}

void frmUploadSettings::txtUserID_Change() {
    WriteAccountValue("User ID:", SettingValue(txtUserID->text()));
}

// An account that does not remember its password keeps it in the box only.
void frmUploadSettings::txtPassword_Change() {
    if (ui::CheckValue(rem_pass) == 1)
        WriteAccountValue("Password:", SettingValue(txtPassword->text()));
}

void frmUploadSettings::txtFolder_Change() {
    WriteAccountValue("Initial Remote Site Folder:", SettingValue(txtFolder->text()));
}

void frmUploadSettings::txtFilename_Change() {
    WriteAccountValue("Destination filename:", SettingValue(txtFilename->text()));
}

void frmUploadSettings::txtLocallySource_Change() {
    WriteAccountValue("LocallySource", SettingValue(txtLocallySource->text()));
}

void frmUploadSettings::txtTextTime_Change() {
    WriteAccountValue("TextTimeName", SettingValue(txtTextTime->text()));
}

void frmUploadSettings::rem_pass_Click() {
    const int remember = ui::CheckValue(rem_pass);
    WriteAccountValue("Remember password", SettingValue(IntText(remember)));
    if (remember == 0)
        WriteAccountValue("Password:", SettingValue(QString()));
}

void frmUploadSettings::chkPassiveMode_Click() {
    WriteCheckValue("FTPPassiveMode", chkPassiveMode);
}

void frmUploadSettings::chkLocally_Click() {
    chkOnlylo->setEnabled(ui::CheckValue(chkLocally) == 1);
    WriteCheckValue("Locally", chkLocally);
}

void frmUploadSettings::chkOnlylo_Click() {
    WriteCheckValue("Only Locally", chkOnlylo);
}

void frmUploadSettings::chkBetween_Click() {
    WriteCheckValue("Between", chkBetween);
}

void frmUploadSettings::DTPicker1_Change() {
    WriteAccountValue("DateFrom", SettingValue(DateText(DTPicker1->date())));
}

void frmUploadSettings::DTPicker2_Change() {
    WriteAccountValue("DateTo", SettingValue(DateText(DTPicker2->date())));
}

void frmUploadSettings::DTPicker3_Change() {
    WriteAccountValue("TimeFrom", SettingValue(TimeText(DTPicker3->time())));
}

void frmUploadSettings::DTPicker4_Change() {
    WriteAccountValue("TimeTo", SettingValue(TimeText(DTPicker4->time())));
}

void frmUploadSettings::Check1_Click() {
    WriteCheckValue("Enable timestamp", Check1);
}

void frmUploadSettings::chkTxtTime_Click() {
    WriteCheckValue("TextTime", chkTxtTime);
}

void frmUploadSettings::chkActMot_Click() {
    chkUploadOnMotion->setEnabled(ui::CheckValue(chkActMot) != 0);
    WriteCheckValue("Activate Motion", chkActMot);
}

void frmUploadSettings::chkUploadOnMotion_Click() {
    WriteCheckValue("Upload On Motion", chkUploadOnMotion);
}

void frmUploadSettings::chkBeep_Click() {
    WriteCheckValue("Motion Beep", chkBeep);
}

void frmUploadSettings::chkSound_Click() {
    WriteCheckValue("Motion Sound", chkSound);
}

void frmUploadSettings::sldSens_Change() {
    WriteAccountValue("Sensitivity", SettingValue(IntText(sldSens->value())));
}

// --- Interval -----------------------------------------------------------------------------
// The list and the seconds box drive each other: choosing an interval puts its
// seconds into the box, and a number in the box chooses the interval it names.
// Each side changes the other only when the value really changes, so the
// exchange always ends.

void frmUploadSettings::Combo_Click() {
    if (Combo->currentIndex() < 0)
        return;
    if (const std::optional<QString> seconds = accounts::SecondsTextForInterval(Combo->currentData().toInt()))
        txtmSec->setText(*seconds);
    WriteAccountValue("Upload image every:", SettingValue(Combo->currentText()));
}

// Typed characters other than digits never reach the box (see the key filter);
// pasted text keeps its digits, so the box always holds a whole number or nothing.
void frmUploadSettings::txtmSec_Change() {
    const QString text = txtmSec->text();
    const QString digits = accounts::DigitsOnly(text);
    if (digits != text) {
        txtmSec->setText(digits);  // runs this handler again for the digits
        return;
    }
    const accounts::SecondsBoxEffect effect = accounts::EffectOfSecondsText(text);
    if (effect.selectIndex >= 0)
        Combo->setCurrentIndex(effect.selectIndex);
    if (effect.unitLabel)
        lblmSec->setText(*effect.unitLabel);
    WriteAccountValue("Custom", SettingValue(txtmSec->text()));
}

// --- Folders ---------------------------------------------------------------------------------

void frmUploadSettings::cmdBrowse_Click() {
    const std::optional<QString> folder = ui::BrowseForFolder(
        this, QStringLiteral("Choose where to save picture locally"), txtLocallySource->text());
    if (folder && !folder->isEmpty())
        txtLocallySource->setText(*folder);
}

// A box that shows its stored references expanded was not edited: trimming the
// expansion would store it as plain text in place of the references.
void frmUploadSettings::txtFolder_LostFocus() {
    if (!ReadsExpandedAs(ftps->SelectedText(), QStringLiteral("Initial Remote Site Folder:"),
                         txtFolder->text()))
        txtFolder->setText(accounts::TrimRemoteFolder(txtFolder->text()));
}

void frmUploadSettings::txtLocallySource_LostFocus() {
    if (!ReadsExpandedAs(ftps->SelectedText(), QStringLiteral("LocallySource"), txtLocallySource->text()))
        txtLocallySource->setText(accounts::TrimLocalFolder(txtLocallySource->text()));
}

// --- Timestamp style -------------------------------------------------------------------------

// The dialog opens with the account's font. The strip takes bold, italic, name and
// size from the dialog; all six values are stored from the dialog, so closing it
// without a choice stores the font it opened with.
void frmUploadSettings::Command3_Click() {
    CommonDialog1.Flags = kFontDialogFlags;
    if (QFontDatabase::families().isEmpty()) {
        ui::MsgBox(QStringLiteral("No fonts found."), ui::vbOKOnly);
    } else {
        if (const std::optional<QFont> chosen = ui::ShowFont(this, CommonDialog1.Font))
            CommonDialog1.Font = *chosen;
        QFont stripFont = picUnder->font();
        stripFont.setBold(CommonDialog1.Font.bold());
        stripFont.setItalic(CommonDialog1.Font.italic());
        stripFont.setFamily(CommonDialog1.Font.family());
        stripFont.setPointSizeF(CommonDialog1.Font.pointSizeF());
        picUnder->setFont(stripFont);
    }
    DrawTimestampSample();
    WriteTimestampFont();
}

void frmUploadSettings::WriteTimestampFont() {
    const QFont& font = CommonDialog1.Font;
    WriteAccountValue("Font Bold", SettingValue(font.bold()));
    WriteAccountValue("Font Italic", SettingValue(font.italic()));
    WriteAccountValue("Font Name", SettingValue(font.family()));
    WriteAccountValue("Font Size", SettingValue(static_cast<float>(font.pointSizeF())));
    WriteAccountValue("Font Strikethrough", SettingValue(font.strikeOut()));
    WriteAccountValue("Font Underline", SettingValue(font.underline()));
}

void frmUploadSettings::Command4_Click() {
    ChooseTimestampColor(true);
}

void frmUploadSettings::Command5_Click() {
    ChooseTimestampColor(false);
}

// The dialog opens with the colour in use; cancelling it changes and stores nothing.
void frmUploadSettings::ChooseTimestampColor(bool background) {
    CommonDialog1.Color = background ? picUnder->BackColor() : picUnder->ForeColor();
    const std::optional<QColor> chosen = ui::ShowColor(this, ui::ColorFromBgr(CommonDialog1.Color));
    if (!chosen)
        return;
    CommonDialog1.Color = ui::BgrFromColor(*chosen);
    if (background)
        picUnder->SetBackColor(CommonDialog1.Color);
    else
        picUnder->SetForeColor(CommonDialog1.Color);
    DrawTimestampSample();
    WriteAccountValue(background ? "Backcolor" : "Forecolor", SettingValue(IntText(CommonDialog1.Color)));
}

void frmUploadSettings::picUnder_Click() {
    DrawTimestampSample();
}

// --- Motion ------------------------------------------------------------------------------------

// The dialog opens with the colour in use, so cancelling it stores that colour again.
void frmUploadSettings::piccolor_Click() {
    ComCol.Color = piccolor->BackColor();
    if (const std::optional<QColor> chosen = ui::ShowColor(this, ui::ColorFromBgr(ComCol.Color)))
        ComCol.Color = ui::BgrFromColor(*chosen);
    piccolor->SetBackColor(ComCol.Color);
    WriteAccountValue("Motion Color", SettingValue(IntText(ComCol.Color)));
}

// Stores the sound file also when the dialog was cancelled: the name then stays as it was.
void frmUploadSettings::cmdSoundBrowse_Click() {
    if (const std::optional<QString> file =
            ui::ShowOpen(this, ComMotSndSrc.DialogTitle, ComMotSndSrc.Filter, ComMotSndSrc.FileName))
        ComMotSndSrc.FileName = *file;
    WriteAccountValue("MotionSndSrc", SettingValue(ComMotSndSrc.FileName));
}

// Ticking or unticking the sound without a sound file asks for one.
void frmUploadSettings::chkSound_MouseUp() {
    if (ComMotSndSrc.FileName.isEmpty())
        cmdSoundBrowse_Click();
}

// Not stored: motion detection reads the box, and the main window shows the frame
// with the changed points in place of the live video while it is ticked.
void frmUploadSettings::chkShowMotion_Click() {
    const bool showMotion = ui::CheckValue(chkShowMotion) == 1;
    frmMain& main = forms::frmMain();
    if (main.vcx)
        main.vcx->setVisible(!showMotion);
    if (main.picMotion)
        main.picMotion->setVisible(showMotion);
}

// --- Other windows ---------------------------------------------------------------------------

// The two dialogs are left only through their own OK, which stores them and hides them.
void frmUploadSettings::cmdUnique_Click() {
    forms::frmUnique().exec();
}

void frmUploadSettings::cmdTimeFormat_Click() {
    forms::frmTimeFormat().exec();
}

void frmUploadSettings::cmdAddi_Click() {
    accounts::OpenAdditionalTextsEditor();  // always a fresh editor
}

}  // namespace snapwire
