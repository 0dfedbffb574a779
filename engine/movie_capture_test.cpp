#include "engine/movie_capture.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDialog>
#include <QLocale>
#include <QPushButton>
#include <functional>

#include "engine/main_toolbar.h"
#include "engine/main_window_test_fixture.h"
#include "engine/status_bar.h"
#include "options/frm_audio.h"
#include "options/frm_capture.h"
#include "options/movie_frame_rate.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/capture_test_support.h"
#include "platform/capture/stand_in_camera.h"
#include "platform/ui/message_box.h"
#include "testsupport/default_locale.h"

namespace snapwire {
namespace {

using testing::MainWindowTest;

capture::CaptureStatus Recording(int width, int height, int frames, int dropped, int elapsedMs) {
    capture::CaptureStatus status;
    status.width = width;
    status.height = height;
    status.framesCaptured = frames;
    status.framesDropped = dropped;
    status.elapsedMs = elapsedMs;
    return status;
}

class CaptureCompletedMessageTest : public testing::LocaleTest {};

TEST_F(CaptureCompletedMessageTest, OneLinePerFigureWithoutBlanksAfterTheColons) {
    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(CaptureCompletedMessage(Recording(320, 240, 90, 2, 3500)),
              QStringLiteral("Capture completed!\rImage size:320 x 240\rFrames:90\rDropped:2\rTime:3.5"));
    // Whole seconds carry no fraction; milliseconds keep theirs.
    EXPECT_TRUE(
        CaptureCompletedMessage(Recording(640, 480, 30, 0, 2000)).endsWith(QLatin1String("\rTime:2")));
    EXPECT_TRUE(
        CaptureCompletedMessage(Recording(640, 480, 30, 0, 1234)).endsWith(QLatin1String("\rTime:1.234")));
}

TEST_F(CaptureCompletedMessageTest, SecondsFollowTheUsersNumberFormat) {
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    EXPECT_TRUE(
        CaptureCompletedMessage(Recording(320, 240, 90, 2, 3500)).endsWith(QLatin1String("\rTime:3,5")));
}

TEST_F(MainWindowTest, TheEndOfAMovieCaptureIsReportedAndItsTimeLimitCleared) {
    frmMain& window = forms::frmMain();
    window.StatusBar1->SetPanelText(1, QStringLiteral("Capturing... (Click left mouse button to stop)"));
    window.vcx->SetCaptureTimeLimited(true);
    ui::ClearShownBoxes();

    ui::AnswerNextMessageBox(ui::vbOK);
    Q_EMIT window.vcx->CaptureCompleted();

    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    const ui::ShownBox& box = ui::ShownBoxes()[0];
    EXPECT_TRUE(box.prompt.startsWith(QLatin1String("Capture completed!\rImage size:")))
        << box.prompt.toStdString();
    EXPECT_EQ(box.style, ui::vbInformation + ui::vbOKOnly);
    EXPECT_EQ(box.title, QString::fromLatin1(ui::kProgramTitle));
    EXPECT_EQ(window.StatusBar1->PanelText(1), QStringLiteral("Click 'Upload now' to upload"));
    EXPECT_FALSE(window.vcx->CaptureTimeLimited());
}

TEST_F(MainWindowTest, AMovieRecordedWithoutTheSoundAskedForIsReportedWithTheReason) {
    qputenv("PULSE_SERVER", "unix:/nonexistent/snapwire");  // no sound server can be reached
    frmMain& window = forms::frmMain();
    ASSERT_TRUE(window.vcx->DeviceConnected());
    window.vcx->SetCaptureFile(homeFile(QStringLiteral("quiet.avi")));
    window.vcx->SetCaptureSound(true);
    ui::ClearShownBoxes();
    const bool began = window.vcx->BeginCapture();
    qunsetenv("PULSE_SERVER");
    ASSERT_TRUE(began);
    ASSERT_TRUE(
        capture::testing::WaitUntil([&] { return window.vcx->GetCaptureStatus().framesCaptured >= 2; }));
    window.vcx->EndCapture();
    ASSERT_TRUE(capture::testing::WaitUntil([] { return !ui::ShownBoxes().empty(); }));

    const QStringList lines = ui::ShownBoxes()[0].prompt.split(QLatin1Char('\r'));
    ASSERT_EQ(lines.size(), 6) << ui::ShownBoxes()[0].prompt.toStdString();
    EXPECT_TRUE(lines[4].startsWith(QLatin1String("Time:")));
    EXPECT_TRUE(
        lines[5].startsWith(QLatin1String("Recorded without sound: the sound source cannot be opened (")))
        << lines[5].toStdString();
    EXPECT_TRUE(lines[5].contains(QLatin1String("Connection refused"))) << lines[5].toStdString();
}

TEST_F(MainWindowTest, AMovieEndedByTheCameraGoingAwayReportsTheSizeItWasRecordedAt) {
    const QString camera = QStringLiteral("Camera unplugged while recording");
    capture::SetStandInCameras({{camera, QStringLiteral("video/x-raw, width=320, height=240"), 60}});
    Store("Select the driver you want to use:", camera);
    frmMain& window = forms::frmMain();
    capture::SetStandInCameras({});
    window.vcx->SetCaptureFile(homeFile(QStringLiteral("unplugged.avi")));
    window.vcx->SetCaptureSound(false);
    ui::ClearShownBoxes();
    ui::AnswerNextMessageBox(ui::vbOK);
    ASSERT_TRUE(window.vcx->BeginCapture());
    ASSERT_TRUE(capture::testing::WaitUntil([] { return !ui::ShownBoxes().empty(); }, 10000));
    EXPECT_TRUE(ui::ShownBoxes()[0].prompt.contains(QLatin1String("\rImage size:320 x 240\r")))
        << ui::ShownBoxes()[0].prompt.toStdString();
}

// Closes the next modal dialog with the given button once it shows; `seen` receives it.
void CloseNextModalWith(std::function<QPushButton*()> button, QDialog** seen) {
    capture::testing::AnswerNextDialog([button, seen](QDialog* dialog) {
        *seen = dialog;
        button()->click();
    });
}

TEST_F(MainWindowTest, CaptureMovieOpensTheCaptureDialogModallyFromMenuAndToolbar) {
    frmMain& window = forms::frmMain();
    QDialog* seen = nullptr;
    CloseNextModalWith([] { return forms::frmCapture().cmdCancel; }, &seen);
    window.Save_Motion_Image_Capture->trigger();
    EXPECT_EQ(seen, &forms::frmCapture());

    seen = nullptr;
    CloseNextModalWith([] { return forms::frmCapture().cmdCancel; }, &seen);
    window.Toolbar1_ButtonClick(window.Toolbar1->Buttons(2));
    EXPECT_EQ(seen, &forms::frmCapture());
    EXPECT_FALSE(forms::frmCapture().isVisible());
}

TEST_F(MainWindowTest, MovieItemsOpenTheFrameRateModallyAndTheAudioFormatWithoutBlocking) {
    frmMain& window = forms::frmMain();
    QDialog* seen = nullptr;
    CloseNextModalWith([] { return forms::movieframerate().Command1; }, &seen);
    window.mnuMovieFrameRate->trigger();
    EXPECT_EQ(seen, &forms::movieframerate());
    EXPECT_EQ(Stored("FrameRate"), QStringLiteral("30"));

    window.mnuAF->trigger();
    frmAudio& audio = forms::frmAudio();
    EXPECT_TRUE(audio.isVisible());
    EXPECT_FALSE(audio.isModal());
    // A second use brings the open dialog forward instead of loading another.
    window.mnuAF->trigger();
    EXPECT_EQ(&forms::frmAudio(), &audio);
    EXPECT_TRUE(audio.isVisible());
    audio.CancelButton_Click();
}

}  // namespace
}  // namespace snapwire
