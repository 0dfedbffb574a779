// The per-account upload timers, the manual upload, the status text of the
// schedule, and the rule that nothing loads another account while a cycle runs or
// an account is being loaded.

#include <QComboBox>
#include <QLineEdit>
#include <QTimer>
#include <exception>

#include "accounts/frm_upload_settings.h"
#include "engine/frm_main.h"
#include "engine/main_toolbar.h"
#include "engine/status_bar.h"
#include "engine/upload_cycle.h"
#include "engine/upload_rules.h"
#include "platform/ui/message_box.h"
#include "platform/ui/window_timers.h"

namespace snapwire {

namespace {

using upload::Skipping;

// Called from the message loop, where nothing may escape: a failing tick is lost
// and the next tick is the next attempt.
template <typename Work>
void FromMessageLoop(Work&& work) {
    try {
        work();
    } catch (...) {
    }
}

// The timer callback: hands the timer id on to Timers.
std::int32_t FtpTimerProc(frmMain& hwnd, int idEvent) {
    FromMessageLoop([&] {
        int tim = idEvent;
        hwnd.Timers(tim);
    });
    return 0;
}

QString TimerKey(int tim) {
    return QStringLiteral("Timer ") + QString::number(tim);
}

}  // namespace

// --- Timers ------------------------------------------------------------------------------

void frmMain::StartTimer() {
    if (AccountInUse()) {  // starting the timers loads every account in turn
        RunWhenAccountFree(QStringLiteral("StartTimer"), [this] { StartTimer(); });
        return;
    }
    StatusBar1->SetPanelText(1, QStringLiteral("Click 'Upload now' to upload"));
    const int rows = forms::frmUploadSettings().ftps->Count();
    for (int row = 1; row <= rows; ++row) Skipping([&] { ArmTimer(row); });
    UpdateStatus();
}

// A row that gets no timer has its old one stopped: an account switched to
// "Never" or unticked must not go on uploading at its former interval.
void frmMain::ArmTimer(int row) {
    frmUploadSettings& account = forms::frmUploadSettings();
    if (!account.ftps->Ticked(row)) {
        ui::KillTimer(row);
        return;
    }
    account.ftps->Select(row);
    account.ValdItem();
    if (const std::optional<std::int64_t> interval = upload::TimerIntervalMs(account.txtmSec->text()))
        ui::SetTimer(row, *interval, [this](int id) { FtpTimerProc(*this, id); });
    else
        ui::KillTimer(row);
}

void frmMain::StopTimer() {
    const int rows = forms::frmUploadSettings().ftps->Count();
    for (int row = 1; row <= rows; ++row) Skipping([&] { ui::KillTimer(row); });
    // A stopped timer's held-back tick goes with it.
    DropHeldBack(QStringLiteral("Timer "));
}

void frmMain::Timers(int& tim) {
    if (AccountInUse()) {
        const int id = tim;
        HoldBack(TimerKey(id), [this, id] {
            int held = id;
            Timers(held);
        });
        return;
    }
    Skipping([&] {
        frmUploadSettings& account = forms::frmUploadSettings();
        if (tim < 1 || tim > account.ftps->Count() || !account.ftps->Ticked(tim))
            return;
        account.ftps->Select(tim);
        account.ValdItem();
        upload_now(true, false, QStringLiteral("-1"));
    });
    UpdateStatus();
}

void frmMain::UpdateStatus() {
    Skipping([this] {
        const frmUploadSettings& account = forms::frmUploadSettings();
        std::optional<int> itemData;
        if (account.Combo->currentIndex() >= 0)
            itemData = account.Combo->currentData().toInt();
        StatusBar1->SetPanelText(
            1, upload::ScheduleStatusText(account.Combo->currentText(), itemData, account.txtmSec->text()));
    });
}

// --- Commands ------------------------------------------------------------------------------

void frmMain::mnuupload_now_Click() {
    if (AccountInUse()) {
        RunWhenAccountFree(QStringLiteral("Upload Now"), [this] { mnuupload_now_Click(); });
        return;
    }
    frmUploadSettings& account = forms::frmUploadSettings();
    int ticked = 0;
    for (int row = 1; row <= account.ftps->Count(); ++row) {
        Skipping([&] {
            if (!account.ftps->Ticked(row))
                return;
            ++ticked;
            account.ftps->Select(row);
            account.ValdItem();
            upload_now(false, false, QStringLiteral("-1"));
        });
    }
    if (ticked == 0)
        ui::MsgBox(QStringLiteral("No FTP accounts selected"), ui::vbInformation + ui::vbOKOnly);
}

// The account window is the current-account record: it opens once the cycle or load
// that uses it has ended, with the timers stopped so that none loads an account under it.
void frmMain::FTP_Click() {
    if (AccountInUse()) {
        RunWhenAccountFree(QStringLiteral("Upload Settings"), [this] { FTP_Click(); });
        return;
    }
    StopTimer();
    Toolbar1->Buttons(5)->setChecked(false);  // motion detection
    StopMotion();
    frmUploadSettings& account = forms::frmUploadSettings();
    // The window shows what a load now would: another program may have written to
    // the account since the last one.
    account.ValdItemUnlessCurrent();
    account.exec();
    if (account.ftps->Count() > 0) {
        account.ftps->Select(1);
        account.ValdItem();
    }
}

// --- One account at a time ---------------------------------------------------------------------

// A load can be interrupted by its own message box ("Font/Registry Error"), whose
// message loop delivers ticks and commands: they wait like those during a cycle.
bool frmMain::AccountInUse() const {
    return cycleRunning_ || forms::frmUploadSettings().Loading();
}

void frmMain::RunWhenAccountFree(const QString& key, std::function<void()> command) {
    if (AccountInUse())
        HoldBack(key, std::move(command));
    else
        command();
}

void frmMain::HoldBack(const QString& key, std::function<void()> work) {
    connect(&forms::frmUploadSettings(), &frmUploadSettings::LoadEnded, this, &frmMain::PostHeldBackWork,
            Qt::UniqueConnection);
    for (const HeldBack& held : heldBack_) {
        if (held.key == key)
            return;
    }
    heldBack_.push_back({key, std::move(work)});
}

void frmMain::DropHeldBack(const QString& keyPrefix) {
    std::erase_if(heldBack_, [&keyPrefix](const HeldBack& work) { return work.key.startsWith(keyPrefix); });
}

// Posted, never run at once: the caller that ended a load or a cycle goes on with
// its own account first.
void frmMain::PostHeldBackWork() {
    if (heldBack_.empty() || heldBackWorkPosted_)
        return;
    heldBackWorkPosted_ = true;
    QTimer::singleShot(0, this, [this] { RunHeldBackWork(); });
}

// Runs from the message loop once the record is free. A held-back command that
// opens a window of its own (Upload Settings) keeps the rest waiting until it closes.
void frmMain::RunHeldBackWork() {
    heldBackWorkPosted_ = false;
    if (runningHeldBack_)
        return;
    runningHeldBack_ = true;
    while (!AccountInUse() && !heldBack_.empty()) {
        const HeldBack next = heldBack_.front();
        heldBack_.pop_front();
        FromMessageLoop(next.work);
    }
    runningHeldBack_ = false;
}

}  // namespace snapwire
