// ValdItem: loads the account of the selected row into the current-account record,
// the controls of this window, of frmUnique and of frmTimeFormat.
//
// Loading sets the controls as the user would, so every control whose content
// changes runs its own handler, which stores what the control now shows (a default
// shown in place of a missing value included). Controls that keep their content
// store nothing. A value that cannot be put into its control is skipped and the
// control keeps what it held.

#include "accounts/account_rules.h"
#include "accounts/clock.h"
#include "accounts/date_tokens.h"
#include "accounts/frm_time_format.h"
#include "accounts/frm_unique.h"
#include "accounts/frm_upload_settings.h"
#include "platform/ui/controls.h"
#include "platform/ui/message_box.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLineEdit>
#include <QLocale>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSlider>
#include <QTimeEdit>
#include <functional>
#include <map>
#include <optional>
#include <vector>

namespace snapwire {

namespace {

using accounts::kDefaultBackColor;
using accounts::kDefaultFontSize;
using accounts::kDefaultForeColor;
using accounts::kDefaultMotionColor;
using accounts::kDefaultSensitivity;

constexpr double kLargestFontSize = 2048;

// The description of a font value that cannot be used, as the error box shows it.
struct FontValueError {
    QString description;
};

// Reading a time text tries every date form before the time forms, a third of an
// account load, which motion detection makes for every account ten times a second;
// so the times of the texts read are kept for as long as the locales stay the same.
QTime TimeFromText(const QString& text) {
    constexpr std::size_t kKeptTimes = 64;
    struct KeptTimes {
        QLocale current = QLocale::c();
        QLocale system = QLocale::c();
        std::map<QString, QTime> times;
    };
    static KeptTimes kept;
    if (kept.current != QLocale() || kept.system != QLocale::system() || kept.times.size() >= kKeptTimes)
        kept = {QLocale(), QLocale::system(), {}};
    const auto known = kept.times.find(text);
    if (known != kept.times.end())
        return known->second;
    return kept.times[text] = ParseTimeText(text);
}

// The time of day a time picker takes from the clock: whole seconds.
QTime TimeOfDay(const QDateTime& clock) {
    const QTime time = clock.time();
    return QTime(time.hour(), time.minute(), time.second());
}

// Reads the values of one account key.
class AccountReader {
  public:
    explicit AccountReader(QString account) : account_(std::move(account)) {}
    QString Text(const char* valueName) const {
        return ReadSetting(account_, QString::fromLatin1(valueName));
    }

    // A box that already shows the text is left alone, its cursor and undo steps too.
    void IntoText(QLineEdit* box, const char* valueName, const char* whenEmpty = nullptr) const {
        const QString text = Text(valueName);
        const QString shown = text.isEmpty() && whenEmpty ? QString::fromLatin1(whenEmpty) : text;
        if (box->text() != shown)
            box->setText(shown);
    }
    void IntoCheck(QCheckBox* box, const char* valueName) const {
        if (const std::optional<int> value = accounts::CheckValueFromText(Text(valueName)))
            ui::SetCheckValue(box, *value);
    }
    void IntoOption(QRadioButton* button, const char* valueName) const {
        const QString text = Text(valueName);
        const std::optional<bool> selected = text.isEmpty() ? false : accounts::FlagFromText(text);
        if (selected)
            accounts::SetOptionValue(button, *selected);
    }
    void IntoColor(accounts::PictureSample* sample, const char* valueName, std::uint32_t whenEmpty,
                   void (accounts::PictureSample::*set)(std::uint32_t)) const {
        const QString text = Text(valueName);
        const std::optional<std::uint32_t> color = text.isEmpty() ? whenEmpty : accounts::ColorFromText(text);
        if (color)
            (sample->*set)(*color);
    }
    // A picker without a stored value takes the date or time of day of `clock`;
    // both return whether it did.
    bool IntoDate(QDateEdit* picker, const char* valueName, const QDateTime& clock) const {
        const QString text = Text(valueName);
        const QDate date = text.isEmpty() ? clock.date() : ParseDateText(text);
        if (date.isValid())
            picker->setDate(date);
        return text.isEmpty();
    }
    bool IntoTime(QTimeEdit* picker, const char* valueName, const QDateTime& clock) const {
        const QString text = Text(valueName);
        const QTime time = text.isEmpty() ? TimeOfDay(clock) : TimeFromText(text);
        if (time.isValid())
            picker->setTime(time);
        return text.isEmpty();
    }

  private:
    QString account_;
};

bool FontFlag(const QString& text) {
    const std::optional<bool> flag = accounts::FlagFromText(text);
    if (!flag)
        throw FontValueError{QStringLiteral("Type mismatch")};
    return *flag;
}

double FontSize(const QString& text) {
    const std::optional<double> size = ParseNumberText(text);
    if (!size)
        throw FontValueError{QStringLiteral("Type mismatch")};
    if (!(*size > 0 && *size <= kLargestFontSize))
        throw FontValueError{QStringLiteral("Invalid property value")};
    return *size;
}

// One font value: its name, how its stored text (or its default, for "") goes into
// a font, and how the same property is copied from one font to another.
struct FontRow {
    const char* valueName;
    std::function<void(QFont&, const QString&)> apply;
    std::function<void(QFont& to, const QFont& from)> copy;
};

const std::vector<FontRow>& FontRows() {
    static const std::vector<FontRow> rows = {
        {"Font Bold", [](QFont& f, const QString& t) { f.setBold(t.isEmpty() || FontFlag(t)); },
         [](QFont& to, const QFont& from) { to.setBold(from.bold()); }},
        {"Font Italic", [](QFont& f, const QString& t) { f.setItalic(!t.isEmpty() && FontFlag(t)); },
         [](QFont& to, const QFont& from) { to.setItalic(from.italic()); }},
        {"Font Name",
         [](QFont& f, const QString& t) {
             f.setFamily(t.isEmpty() ? QString::fromLatin1(accounts::kDefaultFontName) : t);
         },
         [](QFont& to, const QFont& from) { to.setFamily(from.family()); }},
        {"Font Size",
         [](QFont& f, const QString& t) { f.setPointSizeF(t.isEmpty() ? kDefaultFontSize : FontSize(t)); },
         [](QFont& to, const QFont& from) { to.setPointSizeF(from.pointSizeF()); }},
        {"Font Strikethrough",
         [](QFont& f, const QString& t) { f.setStrikeOut(!t.isEmpty() && FontFlag(t)); },
         [](QFont& to, const QFont& from) { to.setStrikeOut(from.strikeOut()); }},
        {"Font Underline", [](QFont& f, const QString& t) { f.setUnderline(!t.isEmpty() && FontFlag(t)); },
         [](QFont& to, const QFont& from) { to.setUnderline(from.underline()); }},
    };
    return rows;
}

}  // namespace

void frmUploadSettings::ValdItem() {
    const bool outermost = !loading_;
    loading_ = true;
    const auto loaded = qScopeGuard([this, outermost] {
        if (!outermost)
            return;
        loading_ = false;
        Q_EMIT LoadEnded();
    });
    loaded_.reset();
    // Taken before the first read, so that a write landing while the load runs (its
    // error box open, say) is not taken for one it has read.
    if (outermost)
        thisLoad_ = LoadState();
    const QString account = ftps->SelectedText();
    if (!account.isEmpty()) {
        LoadAccountValues(account);
        LoadTimestampFont(account);
        LoadMotionValues(account);
        RefreshListColumns();
    }
    DrawTimestampSample();
    if (outermost && !account.isEmpty() && thisLoad_ && thisLoad_->row == ftps->SelectedRow())
        loaded_ = thisLoad_;
}

// Motion detection loads its account ten times a second; with a single account that
// load would read back, value for value, what the controls already show.
void frmUploadSettings::ValdItemUnlessCurrent() {
    if (!loaded_ || isVisible() || QApplication::activeModalWidget() != nullptr ||
        !LoadedAccountIsCurrent()) {
        ValdItem();
        return;
    }
    // The one control a load fills from the clock whatever the account holds.
    if (accounts::TimestampTextFor(forms::frmTimeFormat().txtTimeStamp->text()) != picUnder->PrintedText())
        DrawTimestampSample();
}

// A load now would read the same values (same row, no write to the hive and no
// change of a control since the last load began) and take the same date and time
// of day for the pickers that took them from the clock.
bool frmUploadSettings::LoadedAccountIsCurrent() const {
    const std::optional<LoadedAccount> now = LoadState();
    if (!now || now->row != loaded_->row || now->name != loaded_->name || now->version != loaded_->version ||
        now->controlChanges != loaded_->controlChanges)
        return false;
    if (loaded_->datesFromClock && now->clock.date() != loaded_->clock.date())
        return false;
    return !loaded_->timesFromClock || TimeOfDay(now->clock) == TimeOfDay(loaded_->clock);
}

std::optional<frmUploadSettings::LoadedAccount> frmUploadSettings::LoadState() const {
    LoadedAccount state{ftps->SelectedRow(), ftps->SelectedText(), {}, controlChanges_, Clock::Now()};
    if (reg::CurrentHiveVersion(&state.version) != reg::kSuccess)
        return std::nullopt;
    return state;
}

void frmUploadSettings::NoteControlChange() {
    if (!loading_)
        ++controlChanges_;
}

// The values up to the timestamp pattern, in the order in which they are stored.
// The order matters: each change runs its handler before the next value is read
// (the interval list rewrites the seconds box, "Remember password" the password).
void frmUploadSettings::LoadAccountValues(const QString& account) {
    const AccountReader read(account);
    frmUnique& unique = forms::frmUnique();

    read.IntoText(txtHostNameAddress, "Host Name/Adress:");
    read.IntoText(txtUserID, "User ID:");
    read.IntoText(txtPassword, "Password:");
    read.IntoText(txtFolder, "Initial Remote Site Folder:");
    const QString rememberPassword = read.Text("Remember password");
    if (rememberPassword.isEmpty())
        ui::SetCheckValue(rem_pass, 1);
    else
        read.IntoCheck(rem_pass, "Remember password");
    read.IntoCheck(chkPassiveMode, "FTPPassiveMode");
    read.IntoText(txtFilename, "Destination filename:", "webcam");

    read.IntoOption(unique.optDisabled, "UniqueDisabled");
    read.IntoOption(unique.optAuto, "UniqueAuto");
    read.IntoCheck(unique.chkFTP, "UniqueFTP");
    read.IntoCheck(unique.chkLocally, "UniqueLocally");
    read.IntoText(unique.txtKeep, "UniqueKeepFTP");
    read.IntoText(unique.txtKeep2, "UniqueKeepLocally");
    read.IntoOption(unique.optCustom, "UniqueCustom");
    const QString customFormat = read.Text("UniqueCustomFormat");
    if (!customFormat.isEmpty())
        unique.txtCustomFormat->setText(customFormat);
    if (!unique.optDisabled->isChecked() && !unique.optAuto->isChecked() && !unique.optCustom->isChecked())
        unique.optDisabled->setChecked(true);

    read.IntoCheck(chkLocally, "Locally");
    read.IntoCheck(chkOnlylo, "Only Locally");
    read.IntoText(txtLocallySource, "LocallySource");

    const QString interval = read.Text("Upload image every:");
    const int choice = Combo->findText(interval.isEmpty() ? QStringLiteral("1 minute") : interval,
                                       Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (choice >= 0)
        Combo->setCurrentIndex(choice);
    if (Combo->currentText() == QLatin1String("Custom"))
        read.IntoText(txtmSec, "Custom");

    read.IntoCheck(chkBetween, "Between");
    // One clock reading for the four pickers, kept for the check of a skipped load.
    const QDateTime clock = thisLoad_ ? thisLoad_->clock : Clock::Now();
    const bool dateFrom = read.IntoDate(DTPicker1, "DateFrom", clock);
    const bool dateTo = read.IntoDate(DTPicker2, "DateTo", clock);
    const bool timeFrom = read.IntoTime(DTPicker3, "TimeFrom", clock);
    const bool timeTo = read.IntoTime(DTPicker4, "TimeTo", clock);
    if (thisLoad_) {
        thisLoad_->datesFromClock = thisLoad_->datesFromClock || dateFrom || dateTo;
        thisLoad_->timesFromClock = thisLoad_->timesFromClock || timeFrom || timeTo;
    }
    read.IntoCheck(Check1, "Enable timestamp");
    read.IntoCheck(chkTxtTime, "TextTime");
    read.IntoText(txtTextTime, "TextTimeName", "time.txt");
    read.IntoColor(picUnder, "Backcolor", kDefaultBackColor, &accounts::PictureSample::SetBackColor);
    read.IntoColor(picUnder, "Forecolor", kDefaultForeColor, &accounts::PictureSample::SetForeColor);
    read.IntoText(forms::frmTimeFormat().txtTimeStamp, "TimeFormat");
}

// The strip's font, property by property, each copied into the font dialog so that
// it opens with the account's font. The first value that cannot be used ends the
// font steps with an error box.
void frmUploadSettings::LoadTimestampFont(const QString& account) {
    const AccountReader read(account);
    for (const FontRow& row : FontRows()) {
        QFont stripFont = picUnder->font();
        try {
            row.apply(stripFont, read.Text(row.valueName));
        } catch (const FontValueError& error) {
            ReportFontError(account, QString::fromLatin1(row.valueName), error.description);
            return;
        }
        picUnder->setFont(stripFont);
        row.copy(CommonDialog1.Font, stripFont);
    }
}

// ValdItem runs for every account ten times a second while motion detection is
// on, so a broken font value is reported once per account and value in a run,
// not at every load.
void frmUploadSettings::ReportFontError(const QString& account, const QString& valueName,
                                        const QString& description) {
    const QString key = account.toLower() + QLatin1Char('\n') + valueName;
    if (reportedFontErrors_.contains(key))
        return;
    reportedFontErrors_.insert(key);
    ui::MsgBox(description, ui::vbCritical + ui::vbOKOnly, QStringLiteral("Font/Registry Error"));
}

void frmUploadSettings::LoadMotionValues(const QString& account) {
    const AccountReader read(account);
    read.IntoCheck(chkActMot, "Activate Motion");
    read.IntoCheck(chkUploadOnMotion, "Upload On Motion");
    read.IntoColor(piccolor, "Motion Color", kDefaultMotionColor, &accounts::PictureSample::SetBackColor);
    const QString sensitivity = read.Text("Sensitivity");
    const std::optional<int> position =
        sensitivity.isEmpty() ? kDefaultSensitivity : accounts::SensitivityFromText(sensitivity);
    if (position)
        sldSens->setValue(*position);
    read.IntoCheck(chkBeep, "Motion Beep");
    read.IntoCheck(chkSound, "Motion Sound");
    ComMotSndSrc.FileName = read.Text("MotionSndSrc");
}

// Each row shows the host and interval of the account its root value names.
void frmUploadSettings::RefreshListColumns() {
    for (int row = 1; row <= ftps->Count(); ++row) {
        const QString name = ReadSetting(QString(), QStringLiteral("Account") + QString::number(row));
        if (name.isEmpty()) {
            ftps->SetColumns(row, QString(), QString());
            continue;
        }
        ftps->SetColumns(row, ReadSetting(name, QStringLiteral("Host Name/Adress:")),
                         ReadSetting(name, QStringLiteral("Upload image every:")));
    }
}

}  // namespace snapwire
