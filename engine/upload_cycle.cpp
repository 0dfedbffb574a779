// The upload cycle: one picture for the loaded account, from the confirmation to
// the restored status text. Only one cycle runs at a time; what would load another
// account meanwhile waits for its end (upload_timers.cpp).

#include <QCheckBox>
#include <QDateEdit>
#include <QEventLoop>
#include <QLineEdit>
#include <QTimeEdit>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <exception>

#include "accounts/clock.h"
#include "accounts/frm_upload_settings.h"
#include "engine/cycle_settings.h"
#include "engine/frm_main.h"
#include "engine/picture_box.h"
#include "engine/status_bar.h"
#include "engine/upload_cycle.h"
#include "engine/upload_rules.h"
#include "options/prco_form.h"
#include "platform/capture/capture_control.h"
#include "platform/ui/app_control.h"
#include "platform/ui/controls.h"
#include "platform/ui/message_box.h"
#include "platform/ui/sound.h"

namespace snapwire {

namespace {

using upload::Skipping;

template <typename Action>
class AtScopeExit {
  public:
    explicit AtScopeExit(Action action) : action_(std::move(action)) {}
    ~AtScopeExit() { action_(); }
    AtScopeExit(const AtScopeExit&) = delete;
    AtScopeExit& operator=(const AtScopeExit&) = delete;

  private:
    Action action_;
};

bool Ticked(const QCheckBox* box) {
    return ui::CheckValue(box) == 1;
}

bool UserConfirmsUpload() {
    const QString host = forms::frmUploadSettings().txtHostNameAddress->text();
    return ui::MsgBox(QStringLiteral("Picture will now be uploaded to '") + host + QStringLiteral("'"),
                      ui::vbOKCancel + ui::vbQuestion) != ui::vbCancel;
}

bool TimeWindowAllowsNow() {
    const frmUploadSettings& account = forms::frmUploadSettings();
    if (!Ticked(account.chkBetween))
        return true;
    const QDateTime now = Clock::Now();
    return upload::DateWindowAllows(account.DTPicker1->dateTime(), account.DTPicker2->dateTime(),
                                    now.date()) &&
           upload::TimeWindowAllows(account.DTPicker3->time(), account.DTPicker4->time(), now.time());
}

// Timer ticks, motion and the user's commands go on while the warning runs out.
void WaitYielding(std::chrono::milliseconds wait) {
    using std::chrono::steady_clock;
    const steady_clock::time_point end = steady_clock::now() + wait;
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(end - steady_clock::now());
        if (left.count() <= 0)
            return;
        QEventLoop loop;
        QTimer::singleShot(std::min(left, std::chrono::milliseconds(50)), Qt::PreciseTimer, &loop,
                           &QEventLoop::quit);
        loop.exec();
    }
}

void SoundTheWarning() {
    const prcoForm& options = forms::prcoForm();
    if (!Ticked(options.chkSound))
        return;
    const QString wave = options.txtSoundSource->text();
    Skipping([&] {
        if (wave.isEmpty())
            ui::Beep();
        else
            ui::PlayWaveAsync(wave);
    });
    if (const std::optional<std::chrono::milliseconds> wait = upload::WarningWait(options.txtSound->text()))
        WaitYielding(*wait);
}

void ReportPictureFailure(const capture::CaptureError& error) {
    if (error.number() == capture::kErrorFileWrite)
        ui::MsgBox(QStringLiteral("Failed to save picture, ") + error.description(),
                   ui::vbCritical + ui::vbOKOnly);
}

}  // namespace

void frmMain::upload_now(bool Auto, bool Motion, const QString& PercentMotion) {
    if (cycleRunning_)
        return;  // callers hold their request back; two cycles never share the working files
    cycleRunning_ = true;
    const AtScopeExit endOfCycle([this] {
        cycleRunning_ = false;
        PostHeldBackWork();
    });

    if (Auto && Ticked(forms::prcoForm().chkAsk) && !UserConfirmsUpload())
        return;

    const QString statusBefore = StatusBar1->PanelText(1);
    Skipping([&] {
        StatusBar1->SetPanelPicture(1, picUpload->Picture());
        StatusBar1->SetPanelText(1, QStringLiteral("Uploading..."));
    });
    const auto restoreStatus = [&] {
        StatusBar1->SetPanelPicture(1, QPixmap());
        StatusBar1->SetPanelText(1, statusBefore);
    };

    upload::CycleValues cycle;
    cycle.Auto = Auto;
    cycle.Motion = Motion;
    cycle.PercentMotion = PercentMotion;
    Skipping([&] {
        cycle.names =
            upload::MakeUploadNames(upload::CurrentNamingSettings(), upload::CurrentAccountName(), Counters);
    });

    bool windowAllows = true;
    Skipping([&] { windowAllows = !Auto || TimeWindowAllowsNow(); });
    if (!windowAllows) {
        restoreStatus();
        return;
    }

    // Only a preview this cycle switched on goes off again: the user's live video stays.
    bool previewSwitchedOn = false;
    Skipping([&] {
        if (Ticked(forms::prcoForm().chkMotion) && !vcx->LivePreview()) {
            vcx->SetLivePreview(true);
            previewSwitchedOn = true;
        }
    });
    if (Auto)
        Skipping([] { SoundTheWarning(); });

    try {
        PublishPicture(cycle);
    } catch (const capture::CaptureError& error) {
        ReportPictureFailure(error);
    } catch (const std::exception&) {
        // Any other failure ends the stretch quietly.
    }

    if (previewSwitchedOn)
        Skipping([this] { vcx->SetLivePreview(false); });

    antalUpload = upload::NextUploadCount(antalUpload);
    const prcoForm& program = forms::prcoForm();
    if (upload::CloseAfterReached(Ticked(program.chkClose), program.txtClose->text(), antalUpload))
        ui::EndProgram();
    restoreStatus();
}

// The picture and its publishing. A failure anywhere ends this stretch (the caller
// catches it), apart from the places that have their own rule.
void frmMain::PublishPicture(upload::CycleValues& cycle) {
    picTime->SetPicture(QPixmap());
    const upload::PreparedPicture prepared = upload::PreparePicture(*vcx, upload::CurrentPictureSettings());
    cycle.StampText = prepared.StampText;
    cycle.frameWidth = prepared.frameWidth;
    cycle.frameHeight = prepared.frameHeight;
    ShowStrip(prepared.strip, prepared.frameWidth);

    const frmUploadSettings& account = forms::frmUploadSettings();
    // Without a new picture there is nothing to publish: the time file, the copies,
    // the transfer and the last-picture refresh of this cycle are left out.
    if (!prepared.jpegWritten) {
        ui::MsgBox(QStringLiteral("Failed to save JPEG file"), ui::vbCritical + ui::vbOKOnly);
    } else {
        if (Ticked(account.chkTxtTime))
            upload::WriteTimeTextFile(cycle.StampText);  // a failed time file only skips itself
        const bool locally = Ticked(account.chkLocally);
        if (locally)
            CopyLocally(cycle);
        if (!(locally && Ticked(account.chkOnlylo)))
            TransferByFtp(cycle);
    }

    upload::DeleteWorkingFiles();
    if (prepared.jpegWritten)
        RefreshLastPicture(cycle);
    upload::DeletePublishedPictureUnlessKept(Ticked(forms::prcoForm().chkKeepUpload));
}

// The strip stays under the video (View > Last Timestamp) until the next cycle
// starts; the clean-up leaves it.
void frmMain::ShowStrip(const QImage& strip, int frameWidth) {
    if (strip.isNull())
        return;
    picTime->SetPicture(QPixmap::fromImage(strip));
    picTime->resize(frameWidth > 0 ? frameWidth : strip.width(), strip.height());
    Form_Resize();
}

}  // namespace snapwire
