// Movie capture: the settings of the next recording, its start, and its end by the
// time limit, by the user (left mouse button or Escape) or by a failure.

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTimer>

#include "platform/capture/capture_control.h"
#include "platform/capture/capture_control_impl.h"
#include "platform/capture/sound_format.h"

namespace snapwire::capture {

namespace {

// How long a stop waits for the next frame to carry the end-of-stream into the
// recording before sending it directly (for a source that has stopped).
constexpr std::chrono::milliseconds kEndOfStreamGrace{500};
// How long closing the device waits for a recording to complete its file.
constexpr std::chrono::milliseconds kFileCompletionTimeout{3000};

QString SoundSource() {
    // Tests never depend on a sound server.
    if (qEnvironmentVariable("SNAPWIRE_TEST_AUDIO") == QLatin1String("1"))
        return QStringLiteral("audiotestsrc is-live=true wave=sine");
    return QStringLiteral("pulsesrc");
}

}  // namespace

RecordingSettings CaptureControl::Impl::MovieSettings() const {
    RecordingSettings settings;
    settings.path = captureFile;
    settings.framesPerSecond = frameRate;
    settings.secondsLimit = timeLimited ? seconds : 0;
    settings.sound = sound;
    settings.soundFormat = soundFormat;
    settings.soundSource = SoundSource();
    settings.jpegQuality = movieQuality;
    return settings;
}

void CaptureControl::Impl::OnLimitReached(int number) {
    if (number == recording && recorder)
        self->EndCapture();
}

void CaptureControl::Impl::OnFileFinished(int number) {
    if (number == recording && recorder)
        FinishRecording();
}

void CaptureControl::Impl::FinishRecording() {
    lastCounts = recorder->Counts();
    recorder.reset();
    QCoreApplication::instance()->removeEventFilter(self);
    Q_EMIT self->CaptureCompleted();
}

void CaptureControl::Impl::EndRecordingNow() {
    if (!recorder)
        return;
    recorder->RequestStop();
    if (!recorder->WaitUntilFinished(kEndOfStreamGrace)) {
        recorder->EnsureEndOfStream();
        recorder->WaitUntilFinished(kFileCompletionTimeout);
    }
    lastCounts = recorder->Counts();
    recorder.reset();
    QCoreApplication::instance()->removeEventFilter(self);
    // The caller may be in the middle of something else (switching the device, say):
    // the event comes afterwards, like every other completion.
    QMetaObject::invokeMethod(
        self, [control = self] { Q_EMIT control->CaptureCompleted(); }, Qt::QueuedConnection);
}

bool CaptureControl::Impl::IsUserStop(const QEvent* event) const {
    if (event->type() == QEvent::MouseButtonPress)
        return static_cast<const QMouseEvent*>(event)->button() == Qt::LeftButton;
    if (event->type() == QEvent::KeyPress)
        return static_cast<const QKeyEvent*>(event)->key() == Qt::Key_Escape;
    return false;
}

bool CaptureControl::eventFilter(QObject* watched, QEvent* event) {
    if (impl_->recorder && impl_->IsUserStop(event))
        EndCapture();
    return QWidget::eventFilter(watched, event);
}

QString CaptureControl::CaptureFile() const {
    return impl_->captureFile;
}
void CaptureControl::SetCaptureFile(const QString& path) {
    impl_->captureFile = path;
}
bool CaptureControl::CaptureTimeLimited() const {
    return impl_->timeLimited;
}
void CaptureControl::SetCaptureTimeLimited(bool limited) {
    impl_->timeLimited = limited;
}
int CaptureControl::CaptureSeconds() const {
    return impl_->seconds;
}

void CaptureControl::SetCaptureSeconds(int seconds) {
    if (seconds < 0)
        throw CaptureError(kErrorInvalidValue,
                           QStringLiteral("A capture cannot last %1 seconds").arg(seconds));
    impl_->seconds = seconds;
}

int CaptureControl::CaptureFrameRate() const {
    return impl_->frameRate;
}

void CaptureControl::SetCaptureFrameRate(int framesPerSecond) {
    if (framesPerSecond < 1 || framesPerSecond > 100)
        throw CaptureError(
            kErrorInvalidValue,
            QStringLiteral("Movies are captured at 1 to 100 frames a second, not %1").arg(framesPerSecond));
    impl_->frameRate = framesPerSecond;
}

bool CaptureControl::CaptureSound() const {
    return impl_->sound;
}
void CaptureControl::SetCaptureSound(bool on) {
    impl_->sound = on;
}
QString CaptureControl::SoundFailure() const {
    return impl_->soundFailure;
}
QSize CaptureControl::CapturedFrameSize() const {
    const RecordingCounts counts = impl_->recorder ? impl_->recorder->Counts() : impl_->lastCounts;
    return {counts.width, counts.height};
}

void CaptureControl::SetSoundFormat(const SoundFormat& format) {
    impl_->soundFormat = CheckedSoundFormat(format);
}
SoundFormat CaptureControl::GetSoundFormat() const {
    return impl_->soundFormat;
}

bool CaptureControl::BeginCapture() {
    if (!impl_->connected || impl_->recorder || impl_->captureFile.isEmpty())
        return false;
    if (impl_->timeLimited && impl_->seconds <= 0)
        return false;
    auto recorder = std::make_unique<MovieRecorder>(impl_->pipeline.Pipeline(), impl_->pipeline.Tee(),
                                                    impl_->MovieSettings());
    const int number = ++impl_->recording;
    Impl* impl = impl_.get();
    recorder->SetLimitReachedHandler([this, impl, number] {
        QMetaObject::invokeMethod(
            this, [impl, number] { impl->OnLimitReached(number); }, Qt::QueuedConnection);
    });
    recorder->SetFinishedHandler([this, impl, number] {
        QMetaObject::invokeMethod(
            this, [impl, number] { impl->OnFileFinished(number); }, Qt::QueuedConnection);
    });
    QString reason;
    if (!recorder->Start(&reason)) {
        qWarning("Movie capture cannot start: %s", qPrintable(reason));
        return false;
    }
    impl_->soundFailure = recorder->SoundFailure();
    impl_->recorder = std::move(recorder);
    impl_->lastCounts = {};
    QCoreApplication::instance()->installEventFilter(this);
    return true;
}

void CaptureControl::EndCapture() {
    MovieRecorder* recorder = impl_->recorder.get();
    if (!recorder)
        return;
    recorder->RequestStop();
    const int number = impl_->recording;
    QTimer::singleShot(kEndOfStreamGrace, this, [impl = impl_.get(), number] {
        if (impl->recording == number && impl->recorder)
            impl->recorder->EnsureEndOfStream();
    });
}

}  // namespace snapwire::capture
