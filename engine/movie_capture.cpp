// The main window's movie commands and its report at the end of a movie capture.

#include "engine/movie_capture.h"

#include <QStringList>
#include <exception>

#include "engine/frm_main.h"
#include "engine/status_bar.h"
#include "options/frm_audio.h"
#include "options/frm_capture.h"
#include "options/movie_frame_rate.h"
#include "platform/capture/capture_control.h"
#include "platform/ui/message_box.h"
#include "settings_store/conversions.h"

namespace snapwire {

QString CaptureCompletedMessage(const capture::CaptureStatus& status, const QString& soundFailure) {
    QStringList lines = {
        QStringLiteral("Capture completed!"),
        QStringLiteral("Image size:") + IntText(status.width) + QStringLiteral(" x ") +
            IntText(status.height),
        QStringLiteral("Frames:") + IntText(status.framesCaptured),
        QStringLiteral("Dropped:") + IntText(status.framesDropped),
        QStringLiteral("Time:") + FloatText(status.elapsedMs / 1000.0),
    };
    if (!soundFailure.isEmpty())
        lines << QStringLiteral("Recorded without sound: ") + soundFailure;
    return lines.join(QLatin1Char('\r'));
}

void frmMain::Save_Motion_Image_Capture_Click() {
    forms::frmCapture().exec();
}

void frmMain::mnuMovieFrameRate_Click() {
    snapwire::movieframerate& dialog = forms::movieframerate();
    dialog.hide();
    dialog.exec();
}

void frmMain::mnuAF_Click() {
    snapwire::frmAudio& dialog = forms::frmAudio();
    dialog.hide();
    dialog.show();
}

void frmMain::vcx_CaptureCompleted() {
    capture::CaptureStatus status;
    QString soundFailure;
    try {
        status = vcx->GetCaptureStatus();
        soundFailure = vcx->SoundFailure();
    } catch (const std::exception&) {
        // The report then shows zeros; the end of the capture is reported all the same.
    }
    // A camera that went away ended the movie and took its current frame with it.
    const QSize recorded = vcx->CapturedFrameSize();
    if (!recorded.isEmpty()) {
        status.width = recorded.width();
        status.height = recorded.height();
    }
    StatusBar1->SetPanelText(1, QStringLiteral("Click 'Upload now' to upload"));
    ui::MsgBox(CaptureCompletedMessage(status, soundFailure), ui::vbInformation + ui::vbOKOnly);
    vcx->SetCaptureTimeLimited(false);
}

}  // namespace snapwire
