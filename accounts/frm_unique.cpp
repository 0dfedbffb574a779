#include "accounts/frm_unique.h"

#include "accounts/date_tokens.h"
#include "accounts/frm_upload_settings.h"
#include "accounts/pattern_dialog.h"
#include "platform/ui/app_control.h"
#include "platform/ui/controls.h"
#include "platform/ui/forms.h"
#include "settings_store/conversions.h"
#include "windows/design_rect.h"
#include "windows/frm_help.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSpinBox>
#include <algorithm>
#include <optional>

namespace snapwire {

namespace {

constexpr int kDesignWidth = 3855;
constexpr int kDesignHeight = 6255;
constexpr int kKeepCountLength = 4;
constexpr int kLargestKeepCount = 9999;
constexpr int kDesignKeepCount = 10;
constexpr int kTokenRows[] = {4080, 4560, 5040};

// The up-down arrows beside a keep count; they never take the keyboard focus, so
// the number is typed into the box itself.
QSpinBox* NewUpDown(int left, int top, QWidget* parent) {
    auto* upDown = new QSpinBox(parent);
    upDown->setRange(0, kLargestKeepCount);
    upDown->setSingleStep(1);
    upDown->setValue(kDesignKeepCount);
    upDown->setFocusPolicy(Qt::NoFocus);
    upDown->setGeometry(DesignRect(left, top, 255, 285));
    return upDown;
}

QLineEdit* NewKeepBox(int left, int top, int width, QWidget* parent) {
    auto* box = new QLineEdit(QString::number(kDesignKeepCount), parent);
    box->setMaxLength(kKeepCountLength);
    box->setGeometry(DesignRect(left, top, width, 285));
    return box;
}

// An etched line across the dialog between the naming modes.
void AddSeparator(int top, QWidget* parent) {
    auto* line = new QFrame(parent);
    line->setFrameShape(QFrame::HLine);
    line->setFrameShadow(QFrame::Sunken);
    line->setGeometry(DesignRect(240, top, 3360, 30));
}

// The singular only for a count of exactly one ("1", " 1" or "1.0" alike).
QString UploadsLabel(const QString& count) {
    const std::optional<double> number = ParseNumberText(count);
    return number && *number == 1.0 ? QStringLiteral("upload") : QStringLiteral("uploads");
}

// The text a keep count is replaced by, if any: a number out of range goes to the
// nearer end, anything that is no number (the empty text included) back to the
// up-down position. A fraction within range stays as typed.
std::optional<QString> KeepCountReplacement(const std::optional<double>& number, int position) {
    if (!number)
        return QString::number(position);
    if (*number < 0)
        return QStringLiteral("0");
    if (*number > kLargestKeepCount)
        return QString::number(kLargestKeepCount);
    return std::nullopt;
}

int KeepCountPosition(double number) {
    return static_cast<int>(std::clamp<std::int64_t>(RoundHalfEven(number), 0, kLargestKeepCount));
}

}  // namespace

frmUnique::frmUnique() {
    accounts::SetUpPatternDialog(this, QStringLiteral("Unique Filenames"), kDesignWidth, kDesignHeight);
    BuildControls();
    ConnectHandlers();
}

frmUnique::~frmUnique() = default;

// Controls are made in their tab order; the preview box comes last.
void frmUnique::BuildControls() {
    lblPreview = new QLabel(QStringLiteral("Preview"), this);
    lblPreview->setGeometry(DesignRect(240, 280, 615, 255));

    optDisabled = new QRadioButton(QStringLiteral("Disabled"), this);
    optDisabled->setGeometry(DesignRect(120, 840, 1095, 195));
    optDisabled->setChecked(true);
    AddSeparator(1200, this);
    optAuto = new QRadioButton(QStringLiteral("Automatic - Numbered"), this);
    optAuto->setGeometry(DesignRect(120, 1440, 3495, 195));
    BuildKeepControls();
    AddSeparator(2880, this);
    optCustom = new QRadioButton(QStringLiteral("Custom - Date"), this);
    optCustom->setGeometry(DesignRect(120, 3120, 3495, 195));
    txtCustomFormat = new QLineEdit(QStringLiteral("%N%YYYY%TT%DD_%HH%MM%SS"), this);
    txtCustomFormat->setGeometry(DesignRect(240, 3600, 3375, 285));
    BuildTokenButtons();

    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setGeometry(DesignRect(2520, 5640, 1095, 375));
    cmdOK->setDefault(true);
    cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    cmdHelp->setGeometry(DesignRect(1440, 5640, 975, 375));
    txtPreview = new QLineEdit(this);
    txtPreview->setReadOnly(true);
    txtPreview->setGeometry(DesignRect(1080, 240, 2535, 315));
}

void frmUnique::BuildKeepControls() {
    chkFTP = new QCheckBox(QStringLiteral("Keep only"), this);
    chkFTP->setGeometry(DesignRect(360, 1940, 1095, 195));
    txtKeep = NewKeepBox(1560, 1920, 465, this);
    UpDownKeep = NewUpDown(2040, 1920, this);
    lblUploads = new QLabel(QStringLiteral("uploads"), this);
    lblUploads->setGeometry(DesignRect(2520, 1950, 735, 255));

    chkLocally = new QCheckBox(QStringLiteral("Keep only"), this);
    chkLocally->setGeometry(DesignRect(360, 2420, 1095, 195));
    txtKeep2 = NewKeepBox(1560, 2400, 480, this);
    UpDownKeep2 = NewUpDown(2040, 2400, this);
    lblLocals = new QLabel(QStringLiteral("locally"), this);
    lblLocals->setGeometry(DesignRect(2520, 2430, 735, 255));
}

void frmUnique::BuildTokenButtons() {
    cmdYear = accounts::NewTokenButton("Year", 0, kTokenRows[0], this);
    cmdMonth = accounts::NewTokenButton("Month", 1, kTokenRows[0], this);
    cmdDay = accounts::NewTokenButton("Day", 2, kTokenRows[0], this);
    cmdHour = accounts::NewTokenButton("Hour", 0, kTokenRows[1], this);
    cmdMinute = accounts::NewTokenButton("Minute", 1, kTokenRows[1], this);
    cmdSecond = accounts::NewTokenButton("Second", 2, kTokenRows[1], this);
    cmdAMPM = accounts::NewTokenButton("AM/PM", 0, kTokenRows[2], this);
    cmdName = accounts::NewTokenButton("Name", 1, kTokenRows[2], this);
    cmdWeekday = accounts::NewTokenButton("Weekday", 2, kTokenRows[2], this);
}

// Change signals, so that loading an account runs the same reactions as the user's
// changes. An option button reacts only to being selected.
void frmUnique::ConnectHandlers() {
    connect(optDisabled, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optDisabled_Click();
    });
    connect(optAuto, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optAuto_Click();
    });
    connect(optCustom, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            optCustom_Click();
    });
    connect(txtCustomFormat, &QLineEdit::textChanged, this, [this] { txtCustomFormat_Change(); });
    connect(txtCustomFormat, &QLineEdit::textEdited, this, [this] { CustomFormatEdited(); });
    connect(txtKeep, &QLineEdit::textChanged, this, [this] { txtKeep_Change(); });
    connect(txtKeep2, &QLineEdit::textChanged, this, [this] { txtKeep2_Change(); });
    connect(UpDownKeep, &QSpinBox::valueChanged, this, [this] { UpDownKeep_Change(); });
    connect(UpDownKeep2, &QSpinBox::valueChanged, this, [this] { UpDownKeep2_Change(); });

    accounts::ConnectClickHandlers(this, {{cmdYear, &frmUnique::cmdYear_Click},
                                          {cmdMonth, &frmUnique::cmdMonth_Click},
                                          {cmdDay, &frmUnique::cmdDay_Click},
                                          {cmdHour, &frmUnique::cmdHour_Click},
                                          {cmdMinute, &frmUnique::cmdMinute_Click},
                                          {cmdSecond, &frmUnique::cmdSecond_Click},
                                          {cmdAMPM, &frmUnique::cmdAMPM_Click},
                                          {cmdName, &frmUnique::cmdName_Click},
                                          {cmdWeekday, &frmUnique::cmdWeekday_Click},
                                          {cmdOK, &frmUnique::cmdOK_Click},
                                          {cmdHelp, &frmUnique::cmdHelp_Click}});
}

void frmUnique::Form_Load() {
    ui::DisableCloseButton(this);
}

bool frmUnique::event(QEvent* event) {
    if (event->type() == QEvent::Show || event->type() == QEvent::WindowActivate)
        Form_Activate();
    return QDialog::event(event);
}

// The stored pattern may have come in while another mode was selected, and the base
// name may have changed since: the preview is made afresh whenever the window shows.
void frmUnique::Form_Activate() {
    MakeSelectedPreview();
}

// --- Previews ------------------------------------------------------------------------

void frmUnique::MakeSelectedPreview() {
    if (optAuto->isChecked())
        MakeAutomaticPreview();
    else if (optCustom->isChecked())
        MakeCustomPreview();
    else
        MakeDisabledPreview();
}

void frmUnique::MakeDisabledPreview() {
    const frmUploadSettings& account = forms::frmUploadSettings();
    txtPreview->setText(account.txtFilename->text() + account.txtFileExtension->text());
}

// The name of the first picture of the series; numbered pictures are always JPEG.
void frmUnique::MakeAutomaticPreview() {
    txtPreview->setText(forms::frmUploadSettings().txtFilename->text() + QStringLiteral("1.jpg"));
}

// A snapshot of the moment it is made; it does not follow the clock.
void frmUnique::MakeCustomPreview() {
    txtPreview->setText(UniqueFileName(txtCustomFormat->text()));
}

void frmUnique::optDisabled_Click() {
    MakeDisabledPreview();
}

void frmUnique::optAuto_Click() {
    MakeAutomaticPreview();
}

void frmUnique::optCustom_Click() {
    MakeCustomPreview();
}

// --- Custom pattern ------------------------------------------------------------------
// Loading an account fills the box without choosing a mode: only an edit made in
// this window (typing, pasting, a token button) chooses the custom naming.

void frmUnique::txtCustomFormat_Change() {
    MakeSelectedPreview();
}

// Selecting the custom mode makes its preview; when it was selected already, the
// change of the text has made it.
void frmUnique::CustomFormatEdited() {
    optCustom->setChecked(true);
}

void frmUnique::InsertCustomToken(const char* token) {
    accounts::InsertToken(txtCustomFormat, QString::fromLatin1(token));
    CustomFormatEdited();
}

void frmUnique::cmdYear_Click() {
    InsertCustomToken("%YYYY");
}

void frmUnique::cmdMonth_Click() {
    InsertCustomToken("%TT");
}

void frmUnique::cmdDay_Click() {
    InsertCustomToken("%DD");
}

void frmUnique::cmdHour_Click() {
    InsertCustomToken("%HH");
}

void frmUnique::cmdMinute_Click() {
    InsertCustomToken("%MM");
}

void frmUnique::cmdSecond_Click() {
    InsertCustomToken("%SS");
}

void frmUnique::cmdAMPM_Click() {
    InsertCustomToken("%A");
}

void frmUnique::cmdName_Click() {
    InsertCustomToken("%N");
}

void frmUnique::cmdWeekday_Click() {
    InsertCustomToken("%W");
}

// --- Keep counts ---------------------------------------------------------------------
// The box never stays empty or without a number, so the numbering always has a
// count to go by. The up-down control follows the box quietly: a fraction typed
// into the box stays as typed. Its arrows write their position into the box.

bool frmUnique::CorrectKeepCount(QLineEdit* box, QSpinBox* upDown) {
    const std::optional<double> number = ParseNumberText(box->text());
    if (number) {
        const QSignalBlocker quiet(upDown);
        upDown->setValue(KeepCountPosition(*number));
    }
    if (const std::optional<QString> replacement = KeepCountReplacement(number, upDown->value())) {
        box->setText(*replacement);  // runs the checks again for the new text
        return false;
    }
    return true;
}

void frmUnique::txtKeep_Change() {
    const int position = UpDownKeep->value();
    if (CorrectKeepCount(txtKeep, UpDownKeep))
        lblUploads->setText(UploadsLabel(txtKeep->text()));
    if (UpDownKeep->value() != position && optAuto->isChecked())
        MakeAutomaticPreview();
}

void frmUnique::txtKeep2_Change() {
    CorrectKeepCount(txtKeep2, UpDownKeep2);
}

void frmUnique::UpDownKeep_Change() {
    txtKeep->setText(QString::number(UpDownKeep->value()));
    if (optAuto->isChecked())
        MakeAutomaticPreview();
}

void frmUnique::UpDownKeep2_Change() {
    txtKeep2->setText(QString::number(UpDownKeep2->value()));
}

// --- OK and Help ---------------------------------------------------------------------

void frmUnique::cmdOK_Click() {
    WriteNamingSettings();
    hide();
}

void frmUnique::WriteNamingSettings() {
    accounts::WriteToSelectedAccount({
        {"UniqueDisabled", SettingValue(optDisabled->isChecked())},
        {"UniqueAuto", SettingValue(optAuto->isChecked())},
        {"UniqueFTP", SettingValue(IntText(ui::CheckValue(chkFTP)))},
        {"UniqueLocally", SettingValue(IntText(ui::CheckValue(chkLocally)))},
        {"UniqueKeepFTP", SettingValue(txtKeep->text())},
        {"UniqueKeepLocally", SettingValue(txtKeep2->text())},
        {"UniqueCustom", SettingValue(optCustom->isChecked())},
        {"UniqueCustomFormat", SettingValue(txtCustomFormat->text())},
    });
}

void frmUnique::cmdHelp_Click() {
    ShowHelpTopic(QStringLiteral("UniqueFilenames"));
}

QString frmUnique::UniqueFileName(const QString& TimeFormat) const {
    const frmUploadSettings& settings = forms::frmUploadSettings();
    return accounts::UniqueFileNameFor(TimeFormat, settings.txtFilename->text(),
                                       settings.txtFileExtension->text());
}

namespace accounts {

void SetOptionValue(QRadioButton* button, bool selected) {
    if (selected) {
        button->setChecked(true);
        return;
    }
    // An exclusive button cannot be cleared by itself; the group may end with none.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(exclusive);
}

}  // namespace accounts

namespace forms {
snapwire::frmUnique& frmUnique() {
    static ui::FormSlot<snapwire::frmUnique> slot;
    return slot.Get();
}
}  // namespace forms

}  // namespace snapwire
