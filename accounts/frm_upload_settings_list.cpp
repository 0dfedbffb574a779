// The account list of the upload settings window: reading it at first use, Add,
// Remove and OK.
//
// The root values "Account1" to "Account"n always name exactly the n rows of the
// list, in list order, and no "Account"(n+1) exists.

#include "accounts/account_rules.h"
#include "accounts/frm_upload_settings.h"
#include "engine/frm_main.h"
#include "platform/ui/message_box.h"
#include "settings_store/c_registry.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"
#include "windows/frm_help.h"

#include <QLineEdit>
#include <exception>

namespace snapwire {

namespace {

const QString kDefaultAccount = QStringLiteral("My Account");

QString AccountValueName(int number) {
    return QStringLiteral("Account") + QString::number(number);
}

QString ReadListedName(int number) {
    return ReadSetting(QString(), AccountValueName(number));
}

// OK runs every step, whatever fails before it.
template <typename Step>
void Guarded(Step&& step) {
    try {
        step();
    } catch (const std::exception&) {
    }
}

}  // namespace

// --- First use ----------------------------------------------------------------------

// The list ends at the first missing or empty "Account"n: accounts stored under
// higher numbers after a gap are not shown.
void frmUploadSettings::ReadAccountList() {
    for (int number = 1;; ++number) {
        const QString name = ReadListedName(number);
        if (name.isEmpty())
            break;
        ftps->AddRow(name);
        ftps->SetTicked(ftps->Count(),
                        ReadSetting(name, QStringLiteral("Selected")) == QLatin1String("True"));
    }
}

void frmUploadSettings::CreateDefaultAccount() {
    ftps->AddRow(kDefaultAccount);
    Guarded([] {
        WriteSetting(QString(), AccountValueName(1), SettingValue(kDefaultAccount));
        WriteSetting(kDefaultAccount, QStringLiteral("Name"), SettingValue(kDefaultAccount));
        WriteSetting(kDefaultAccount, QStringLiteral("Enable timestamp"), SettingValue("1"));
        WriteSetting(kDefaultAccount, QStringLiteral("Selected"), SettingValue("True"));
    });
    ftps->SetTicked(1, true);
}

void frmUploadSettings::WriteAccountList() {
    for (int row = 1; row <= ftps->Count(); ++row)
        WriteSetting(QString(), AccountValueName(row), SettingValue(ftps->Text(row)));
}

// --- Add ------------------------------------------------------------------------------

// A failing step ends Add at once, without a message; what was done stays done.
// The new row is neither selected nor loaded.
void frmUploadSettings::cmdAdd_Click() {
    const std::optional<QString> answer =
        ui::InputBox(QStringLiteral("Please choose a name for your new Account..."),
                     QStringLiteral("New Account..."), QString());
    if (!answer || answer->isEmpty())
        return;
    const QString name = *answer;
    if (const std::optional<QString> problem = accounts::NewAccountNameProblem(name, ftps->Texts())) {
        ui::MsgBox(*problem, ui::vbOKOnly + ui::vbExclamation);
        return;
    }
    try {
        ftps->AddRow(name);
        cRegistry registry;
        registry.SetClassKey(HKEY_LOCAL_MACHINE);
        registry.SetSectionKey(ProgramSectionKey(name));
        registry.SetValueType(REG_SZ);
        registry.CreateKey();
        registry.SetValueKey(QStringLiteral("Enable timestamp"));
        registry.SetValue(SettingValue("1"));
        registry.SetValueKey(QStringLiteral("Selected"));
        registry.SetValue(SettingValue("True"));
        ftps->SetTicked(ftps->Count(), true);
        WriteAccountList();
    } catch (const RegistryError&) {
    }
}

// --- Remove ---------------------------------------------------------------------------

void frmUploadSettings::cmdRemove_Click() {
    const int row = ftps->SelectedRow();
    if (row == 0)
        return;
    const QString name = ftps->Text(row);
    const ui::MsgBoxResult answer =
        ui::MsgBox(QStringLiteral("Are you sure you want to remove this \rAccount and all of its settings."),
                   ui::vbYesNo + ui::vbExclamation + ui::vbDefaultButton2,
                   QStringLiteral("Remove '") + name + QStringLiteral("'?"));
    if (answer != ui::vbYes)
        return;
    try {
        if (!name.isEmpty())
            DeleteAccountKey(name);
        const int countBefore = ftps->Count();
        cRegistry root;
        root.SetClassKey(HKEY_LOCAL_MACHINE);
        root.SetSectionKey(ProgramSectionKey(QString()));
        for (int number = 1; number <= countBefore; ++number) {
            if (ReadListedName(number) == name) {
                root.SetValueKey(AccountValueName(number));
                root.DeleteValue();
            }
        }
        ftps->RemoveRow(row);
        WriteAccountList();
        const int countAfter = ftps->Count();
        if (!ReadListedName(countAfter + 1).isEmpty()) {
            root.SetValueKey(AccountValueName(countAfter + 1));
            root.DeleteValue();
        }
        if (countAfter > 0) {
            ftps->Select(1);
            ValdItem();
        }
    } catch (const RegistryError&) {
    }
}

// Deletes the account's key with everything below it, and nothing else. A stored
// name that would not make a key of its own below the program key (a "\" at
// either end, or two in a row) deletes nothing: its key path could reach the
// program key or another account's key.
void frmUploadSettings::DeleteAccountKey(const QString& name) {
    if (!accounts::AccountKeyIsOwnSubKey(name))
        return;
    cRegistry registry;
    registry.SetClassKey(HKEY_LOCAL_MACHINE);
    registry.SetSectionKey(ProgramSectionKey(name));
    if (registry.KeyExists())
        registry.DeleteKeyTree();
}

// --- OK and the row click -------------------------------------------------------------

// OK pressed by its access key or by Enter hides the window with the focus still in a
// folder box, which then never loses it: OK leaves that box, before the reload below.
// A box the focus has left (a click on OK takes it) was trimmed when it was left.
void frmUploadSettings::Command1_Click() {
    if (focusWidget() == txtFolder)
        txtFolder_LostFocus();
    else if (focusWidget() == txtLocallySource)
        txtLocallySource_LostFocus();
    for (int row = 1; row <= ftps->Count(); ++row) {
        const QString name = ftps->Text(row);
        if (name.isEmpty())
            continue;  // an empty name would address the program key itself
        Guarded([&] {
            WriteSetting(name, QStringLiteral("Selected"), SettingValue(BoolText(ftps->Ticked(row))));
        });
    }
    Guarded([this] { ValdItem(); });
    Guarded([] { forms::frmMain().StartTimer(); });
    hide();
    Guarded([] { forms::frmMain().StartMotionIfAny(); });
}

void frmUploadSettings::ftps_ItemClick() {
    ValdItem();
}

void frmUploadSettings::cmdHelp_Click() {
    ShowHelpTopic(QStringLiteral("UploadSettings"));
}

}  // namespace snapwire
