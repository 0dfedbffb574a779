// Motion detection of the main window: ten times a second the current frame goes
// through "Motion.bmp" and is compared with the frame the previous check left; the
// changed points are painted on the shown picture, and motion in the band is
// reported, logged, and answered by each account that asks for it.

#include <QPainter>
#include <QTimer>

#include "accounts/frm_upload_settings.h"
#include "accounts/picture_sample.h"
#include "engine/frm_main.h"
#include "engine/log_writers.h"
#include "engine/main_toolbar.h"
#include "engine/main_window_rules.h"
#include "engine/motion_compare.h"
#include "engine/picture_box.h"
#include "engine/status_bar.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/frame_files.h"
#include "platform/paths.h"
#include "platform/ui/app_control.h"
#include "platform/ui/controls.h"
#include "platform/ui/sound.h"

#include <QCheckBox>
#include <QSlider>

namespace snapwire {

namespace {

constexpr int kMotionIntervalMs = 100;
constexpr int kMotionButton = 5;
constexpr int kReportIconSize = 16;

QString MotionFramePath() {
    return platform::ProgramFile(QStringLiteral("Motion.bmp"));
}

// Status panel 2's sign while motion is reported: a red dot.
QPixmap MotionReportIcon() {
    QPixmap icon(kReportIconSize, kReportIconSize);
    icon.fill(Qt::transparent);
    QPainter painter(&icon);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::darkRed, 1));
    painter.setBrush(QColor(230, 30, 30));
    painter.drawEllipse(QRectF(2.5, 2.5, 11, 11));
    return icon;
}

// Lets a tick run once at a time: a tick that falls due while the previous one (or
// the upload it started) still runs is dropped; the next one comes 100 ms later.
// A tick that falls due during any other cycle or load is held back instead.
class TickInProgress {
  public:
    explicit TickInProgress(bool& flag) : flag_(flag) { flag_ = true; }
    ~TickInProgress() { flag_ = false; }
    TickInProgress(const TickInProgress&) = delete;
    TickInProgress& operator=(const TickInProgress&) = delete;

  private:
    bool& flag_;
};

QString MotionTickKey() {
    return QStringLiteral("Motion tick");
}

bool MotionOnForLoadedAccount() {
    return ui::CheckValue(forms::frmUploadSettings().chkActMot) == 1;
}

}  // namespace

void frmMain::BuildMotionArea() {
    picMotion = new PictureBox(bgPic);
    picMotion->setObjectName(QStringLiteral("picMotion"));
    picMotion->hide();
    picMotionDetectedStatusBar = MotionReportIcon();
    timMotion = new QTimer(this);
    timMotion->setObjectName(QStringLiteral("timMotion"));
    timMotion->setInterval(kMotionIntervalMs);
    connect(timMotion, &QTimer::timeout, this, [this] { timMotion_Timer(); });
}

// --- Starting and stopping -------------------------------------------------------------

void frmMain::StartMotion() {
    const QImage frame = vcx->CurrentFrame();
    picMotion->SetImage(frame);
    picMotion1 = frame;
    const capture::CaptureStatus size = vcx->GetCaptureStatus();
    mMotionWidth = size.width;
    mMotionHeight = size.height;
    picMotion->resize(mMotionWidth, mMotionHeight);
    CentreMotionPicture();
    vcx->hide();
    picMotion->show();
    timMotion->start();
}

void frmMain::StopMotion() {
    timMotion->stop();
    DropHeldBack(MotionTickKey());
    ++motionSession_;
    picMotion->hide();
    vcx->show();
    ClearMotionReport();
}

// The first account with motion detection on, ticked or not, starts it; the walk
// leaves the account it stopped at (or the last one) loaded.
void frmMain::StartMotionIfAny() {
    RunWhenAccountFree(QStringLiteral("StartMotionIfAny"), [this] {
        frmUploadSettings& settings = forms::frmUploadSettings();
        const int count = settings.ftps->Count();
        for (int row = 1; row <= count && row <= settings.ftps->Count(); ++row) {
            settings.ftps->Select(row);
            settings.ValdItem();
            if (MotionOnForLoadedAccount()) {
                ClearMotionReport();
                Toolbar1->Buttons(kMotionButton)->setChecked(true);
                StartMotion();
                return;
            }
        }
    });
}

// --- The tick ------------------------------------------------------------------------------

// While a cycle runs or an account is being loaded, that account stays loaded, so
// the tick waits until it ends: dropped, a tick would never run beside an account
// on "Constantly", whose cycles follow one another.
// The walk yields after every account; it ends when motion detection was stopped
// meanwhile, and never passes the rows the list still has.
void frmMain::timMotion_Timer() {
    if (motionTickRunning_)
        return;
    if (AccountInUse()) {
        HoldBack(MotionTickKey(), [this] { timMotion_Timer(); });
        return;
    }
    const TickInProgress tick(motionTickRunning_);
    const std::uint64_t session = motionSession_;
    const auto stillRunning = [this, session] { return session == motionSession_ && timMotion->isActive(); };

    frmUploadSettings& settings = forms::frmUploadSettings();
    const int count = settings.ftps->Count();
    int qualifying = 0;
    for (int row = 1; row <= count && row <= settings.ftps->Count() && stillRunning(); ++row) {
        settings.ftps->Select(row);
        settings.ValdItemUnlessCurrent();
        if (settings.ftps->Ticked(row) && MotionOnForLoadedAccount()) {
            ++qualifying;
            bool accounts = true;
            CheckMotion(accounts);
        }
        ui::DoEvents();
    }
    if (qualifying == 0 && stillRunning()) {
        bool accounts = false;
        CheckMotion(accounts);
    }
}

// --- One check -----------------------------------------------------------------------------

// A check without a frame size or without its frame file compares nothing: the
// reference frame and the count stay for the next tick.
void frmMain::CheckMotion(bool& Accounts) {
    CentreMotionPicture();
    if (mMotionWidth <= 0 || mMotionHeight <= 0)
        return;
    QImage* examined = SaveAndLoadMotionFrame();
    if (!examined)
        return;

    frmUploadSettings& account = forms::frmUploadSettings();
    std::optional<std::uint32_t> paint;
    if (!Accounts)
        paint = motion::kNoAccountColor;
    else if (ui::CheckValue(account.chkShowMotion) == 1)
        paint = account.piccolor->BackColor();
    motion::PictureComparison comparison =
        motion::ComparePictures(std::move(*examined), picMotion1, mMotionWidth, mMotionHeight,
                                motion::MotionThreshold(account.sldSens->value()), paint);
    mMotionCount += comparison.changedPoints;
    *examined = std::move(comparison.marked);
    picMotion->SetImage(*examined);

    const float ratio = motion::MotionRatio(mMotionCount, mMotionWidth, mMotionHeight);
    if (motion::IsMotion(ratio))
        ReportMotion(Accounts, motion::PercentText(ratio));
    else
        ClearMotionReport();

    mMotionCount = 0;
    // The frame of this moment, after any sound or upload, is the next reference; a
    // device that has no frame now leaves the last one in place.
    const QImage now = vcx->CurrentFrame();
    if (!now.isNull())
        picMotion1 = now;
}

QImage* frmMain::SaveAndLoadMotionFrame() {
    const QString path = MotionFramePath();
    try {
        vcx->SaveFrameAsBitmap(path);
    } catch (const capture::CaptureError&) {
        return nullptr;
    }
    QImage& frame =
        motionFrames_[0].isNull() || motionFrames_[0].isDetached() ? motionFrames_[0] : motionFrames_[1];
    if (!capture::ReadPictureFileInto(path, frame))
        return nullptr;
    return &frame;
}

void frmMain::ReportMotion(bool accounts, const QString& percent) {
    StatusBar1->SetPanelText(2, QStringLiteral("Motion Detected ") + percent);
    StatusBar1->SetPanelPicture(2, picMotionDetectedStatusBar);
    if (accounts)
        ReactToMotion(percent);
    else
        LogMotion(logs::LogTimeNow(), percent, QString(), QString());
}

// Beep, then the sound to its end, then the upload: the loaded account's choices.
void frmMain::ReactToMotion(const QString& percent) {
    frmUploadSettings& account = forms::frmUploadSettings();
    if (ui::CheckValue(account.chkBeep) == 1)
        ui::Beep();
    if (ui::CheckValue(account.chkSound) == 1)
        ui::PlayWaveSync(account.ComMotSndSrc.FileName);
    if (ui::CheckValue(account.chkUploadOnMotion) == 1)
        upload_now(true, true, percent);
}

void frmMain::ClearMotionReport() {
    StatusBar1->SetPanelText(2, QString());
    StatusBar1->SetPanelPicture(2, QPixmap());
}

void frmMain::CentreMotionPicture() {
    picMotion->move(CentredOffset(bgPic->width(), mMotionWidth),
                    CentredOffset(bgPic->height(), mMotionHeight));
}

}  // namespace snapwire
