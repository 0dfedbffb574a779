// The program configuration window's OK and the handling of its controls.

#include "engine/frm_main.h"
#include "engine/picture_box.h"
#include "engine/start_up.h"
#include "engine/windows_version.h"
#include "options/number_text.h"
#include "options/prco_form.h"
#include "options/start_with_desktop.h"
#include "options/visual_style.h"
#include "platform/capture/capture_control.h"
#include "platform/paths.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/controls.h"
#include "platform/ui/message_box.h"
#include "platform/ui/units.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"
#include "windows/frm_help.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <algorithm>
#include <exception>

namespace snapwire {

namespace {

constexpr int kMaxCloseCount = 9999999;
constexpr int kMaxSoundSeconds = 10;
constexpr int kMaxQuality = 100;

// OK skips a step that fails and goes on with the next, so the dialog always ends hidden.
template <typename Step>
void Guarded(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

bool NamesExistingFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

// Brings a number box with up-down arrows into range. False when the text had to
// change: setting it ran the box's handling again, for the new text.
bool FollowNumberBox(QLineEdit* box, QSpinBox* upDown, int maximum) {
    const QString text = box->text();
    if (text.isEmpty())
        return true;
    const QString inRange = options::ClampedDecimalText(text, 0, maximum);
    if (inRange != text) {
        box->setText(inRange);
        return false;
    }
    const QSignalBlocker quiet(upDown);
    upDown->setValue(
        static_cast<int>(std::clamp<std::int64_t>(RoundHalfEven(LeadingNumber(text)), 0, maximum)));
    return true;
}

void WriteOption(const char* name, const SettingValue& value) {
    Guarded([&] { WriteSetting(QString(), QString::fromUtf8(name), value); });
}

}  // namespace

// --- OK -----------------------------------------------------------------------------

void prcoForm::Command1_Click() {
    Guarded([this] { CheckBackgroundPicture(); });
    Guarded([this] { CheckSoundFile(); });
    SaveOptions();
    Guarded([this] { ApplyTray(); });
    hide();
}

void prcoForm::CheckBackgroundPicture() {
    PictureBox* background = forms::frmMain().bgPic;
    const QString path = txtPicSource->text();
    if (path.isEmpty()) {
        background->SetPicture(QPixmap());
    } else if (!NamesExistingFile(path)) {
        ui::MsgBox(QStringLiteral("Picture not found"), ui::vbCritical + ui::vbOKOnly);
        background->SetPicture(QPixmap());
    } else {
        background->LoadPicture(path);  // a file that is no picture leaves the old one
    }
}

void prcoForm::CheckSoundFile() {
    const QString path = txtSoundSource->text();
    if (!path.isEmpty() && !NamesExistingFile(path))
        ui::MsgBox(QStringLiteral("Sound file not found"), ui::vbCritical + ui::vbOKOnly);
}

void prcoForm::SaveOptions() {
    const std::pair<const char*, QCheckBox*> checks[] = {
        {"Min", chkMin},         {"Motion", chkMotion},   {"Print", chkPrint},         {"Suc", chkSuc},
        {"Systray", chkSystray}, {"Sound", chkSound},     {"Close", chkClose},         {"Ask", chkAsk},
        {"Keep", chkKeepUpload}, {"XPStyle", chkXPStyle}, {"Autostart", chkAutostart},
    };
    for (const auto& [name, box] : checks) WriteOption(name, SettingValue(IntText(ui::CheckValue(box))));

    Guarded([this] {
        options::UpdateStartWithDesktop(ui::CheckValue(chkAutostart) == 1,
                                        QCoreApplication::applicationFilePath());
    });

    WriteOption("Image Quality (JPEG):", SettingValue(txtQuality->text()));
    WriteOption("BGPic", SettingValue(txtPicSource->text()));
    WriteOption("SoundSec", SettingValue(txtSound->text()));
    WriteOption("SoundSrc", SettingValue(txtSoundSource->text()));
    WriteOption("Close#", SettingValue(txtClose->text()));
    WriteOption("ProgramBGColor", SettingValue(IntText(comColColor_)));
}

void prcoForm::ApplyTray() {
    if (ui::CheckValue(chkSystray) == 0) {
        forms::StartUp().AddSystray();
        // Where the desktop has no tray, nothing could bring a hidden window back.
        forms::frmMain().ShowTrayItems(TrayInUse());
    } else {
        forms::StartUp().RemoveSystray();
        forms::frmMain().ShowTrayItems(false);
    }
}

// --- Buttons and pickers ---------------------------------------------------------------

void prcoForm::cmdHelp_Click() {
    ShowHelpTopic(QStringLiteral("ProgramConfiguration"));
}

// A cancelled picker leaves the box as it was, so OK never stores a path the user
// did not choose.
void prcoForm::cmdPictureBrowse_Click() {
    const auto file = ui::ShowOpen(this, QStringLiteral("Choose Picture..."),
                                   QStringLiteral("Picture Files (*.bmp *.gif *.jpg)|*.bmp; *.gif;*.jpg"),
                                   txtPicSource->text());
    if (file)
        txtPicSource->setText(*file);
}

void prcoForm::cmdSoundBrowse_Click() {
    const auto file = ui::ShowOpen(this, QStringLiteral("Choose Sound..."),
                                   QStringLiteral("Sound Files (*.wav)|*.wav"), txtSoundSource->text());
    if (file)
        txtSoundSource->setText(*file);
}

// The colour reaches the main window at once, not on OK.
void prcoForm::piccolor_Click() {
    const auto color = ui::ShowColor(this, ui::ColorFromBgr(comColColor_));
    if (!color)
        return;
    comColColor_ = ui::BgrFromColor(*color);
    ShowColorSample(comColColor_);
    forms::frmMain().bgPic->SetBackColor(ui::ColorFromBgr(comColColor_));
}

void prcoForm::TabStripConf_Click() {
    QFrame* const frames[] = {frameProgram, frameVarious, frameBackground, frameSound, frameQuality};
    const int selected = TabStripConf->currentIndex();
    for (int i = 0; i < 5; ++i) frames[i]->setVisible(i == selected);
}

// --- Check boxes ------------------------------------------------------------------------

// Starting minimised only makes sense with the tray, so the two exclude each other.
void prcoForm::chkMin_Click() {
    if (ui::CheckValue(chkMin) == 1 && ui::CheckValue(chkSystray) == 1)
        ui::SetCheckValue(chkSystray, 0);
}

void prcoForm::chkSystray_Click() {
    if (ui::CheckValue(chkSystray) == 1 && ui::CheckValue(chkMin) == 1)
        ui::SetCheckValue(chkMin, 0);
}

void prcoForm::chkClose_Click() {
    if (ui::CheckValue(chkClose) == 1 && txtClose->text().isEmpty())
        txtClose->setText(QStringLiteral("1"));
}

// The style is chosen once at start-up from the marker files, so a change here
// only prepares the next start. Messages only while the window is on screen: the
// load runs this too.
void prcoForm::chkXPStyle_Click() {
    const QString version = GetWindowsVersionName();
    if (version != QLatin1String("Windows XP") && version != QLatin1String("Failed")) {
        ui::MsgBox(QStringLiteral("XP Style is only available in Windows XP!"), ui::vbInformation);
        return;
    }
    const bool styleOn = ui::CheckValue(chkXPStyle) == 1;
    const options::StyleSwitchResult result = options::SwitchStyleMarker(styleOn);
    if (result == options::StyleSwitchResult::Unchanged || !isVisible())
        return;
    if (styleOn) {
        ui::MsgBox(
            QStringLiteral("You must restart the program to get XP Style\r\n"
                           "If program won't start next time, there might be a compatible problem. \r\n"
                           "Just delete ") +
                options::ActiveStyleMarker() + QStringLiteral(", to restore to normal state."),
            ui::vbInformation + ui::vbOKOnly);
    } else {
        ui::MsgBox(QStringLiteral("You must restart the program to get standard style"), ui::vbInformation);
    }
}

// --- Number boxes -------------------------------------------------------------------------
// A box whose text is brought into range gets the new text and returns: setting it
// runs this handling again for the new text. The up-down controls follow the box
// quietly, so a number typed as "05" stays as typed.

void prcoForm::txtClose_Change() {
    if (FollowNumberBox(txtClose, UpDownCloseAfterUploads, kMaxCloseCount))
        lblCloseuploads->setText(options::UploadsLabel(txtClose->text()));
}

void prcoForm::txtClose_LostFocus() {
    if (txtClose->text().isEmpty())
        txtClose->setText(QStringLiteral("1"));
}

void prcoForm::txtSound_Change() {
    if (FollowNumberBox(txtSound, UpDown1, kMaxSoundSeconds))
        lblSound->setText(options::SecondsLabel(txtSound->text()));
}

// Every picture saver reads the slider, so the box always shows a number the slider can hold.
void prcoForm::txtQuality_Change() {
    const QString text = txtQuality->text();
    const QString inRange = options::ClampedNumberText(text, 0, kMaxQuality, false);
    if (inRange != text) {
        txtQuality->setText(inRange);
        return;
    }
    {
        const QSignalBlocker quiet(Slider1);
        Slider1->setValue(static_cast<int>(LeadingInteger(text)));
    }
    ShowQualityPreview();
}

void prcoForm::Slider1_Change() {
    txtQuality->setText(QString::number(Slider1->value()));
}

void prcoForm::UpDownCloseAfterUploads_Change() {
    txtClose->setText(QString::number(UpDownCloseAfterUploads->value()));
}

void prcoForm::UpDown1_Change() {
    txtSound->setText(QString::number(UpDown1->value()));
}

// The sample goes through the same encoder as the uploaded pictures, via a working
// file that never outlives this step (a failed encoding may leave part of one).
void prcoForm::ShowQualityPreview() {
    capture::CaptureControl* vcx = forms::frmMain().vcx;
    if (vcx == nullptr)
        return;
    const QString workingFile = platform::ProgramFile(QStringLiteral("tmppic"));
    if (vcx->SavePictureAsJpeg(samplePicture_, workingFile, Slider1->value()) != 0) {
        const QImage encoded(workingFile);
        if (!encoded.isNull())
            picPicture->setPixmap(QPixmap::fromImage(encoded));
    }
    QFile::remove(workingFile);
}

}  // namespace snapwire
