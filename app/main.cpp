// Snapwire: shows the camera's live picture and publishes stills by FTP.

#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <QWindow>

#include "engine/frm_main.h"
#include "engine/start_up.h"
#include "options/visual_style.h"
#include "platform/capture/capture_control.h"
#include "platform/paths.h"
#include "platform/ui/fonts.h"
#include "platform/ui/forms.h"
#include "platform/ui/single_instance.h"

namespace {

// For measuring start-up (test use only): with SNAPWIRE_EXIT_AFTER_FIRST_FRAME=1 the
// program ends once the main window is on screen with a live frame and has painted.
void QuitAfterFirstFrameWhenAsked() {
    if (qEnvironmentVariableIntValue("SNAPWIRE_EXIT_AFTER_FIRST_FRAME") != 1)
        return;
    auto* poll = new QTimer(qApp);
    QObject::connect(poll, &QTimer::timeout, qApp, [poll] {
        snapwire::frmMain& window = snapwire::forms::frmMain();
        const bool onScreen = window.windowHandle() != nullptr && window.windowHandle()->isExposed();
        if (onScreen && !window.vcx->CurrentFrame().isNull()) {
            poll->stop();
            window.repaint();
            QCoreApplication::exit(0);  // not quit(): that would close the window, which saves and ends
        }
    });
    poll->start(2);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Snapwire"));
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/snapwire/camera.svg")));
    // The main window's close decides when the program ends (it may only hide to the tray).
    QApplication::setQuitOnLastWindowClosed(false);
    // Before the settings are touched: a second start only brings the first one forward.
    const std::unique_ptr<snapwire::ui::SingleInstance> instance =
        snapwire::ui::SingleInstance::Claim(snapwire::platform::ProgramFolder());
    if (!instance)
        return 0;
    snapwire::ui::UseDesignFonts();
    if (!snapwire::PrepareSettingsHive())
        return 1;
    // The style marker decides the widget style, before any window exists.
    snapwire::options::ApplyVisualStyleAtStartup();

    snapwire::forms::StartUp();
    instance->AnswerRequests([] { snapwire::forms::StartUp().mnuOpen_Click(); });
    QuitAfterFirstFrameWhenAsked();
    const int exitCode = QApplication::exec();
    instance->StopAnswering();
    snapwire::ui::UnloadAllForms();
    return exitCode;
}
