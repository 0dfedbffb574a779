// Movie recordings started from the capture dialog, with the test-pattern device and
// the test sound source, and the main window's report when they end.

#include "options/frm_capture.h"
#include "options/movie_frame_rate.h"

#include "engine/frm_main.h"
#include "engine/status_bar.h"
#include "options/options_window_test.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/capture_test_support.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>

namespace snapwire {
namespace {

using capture::testing::Pump;
using capture::testing::WaitUntil;
using testing::OptionsWindowTest;

const QString kCapturingText = QStringLiteral("Capturing... (Click left mouse button to stop)");
const QString kIdleText = QStringLiteral("Click 'Upload now' to upload");

class MovieCaptureDialogTest : public OptionsWindowTest {
  protected:
    void SetUp() override {
        qputenv("SNAPWIRE_TEST_AUDIO", "1");
        OptionsWindowTest::SetUp();
    }
    void TearDown() override {
        OptionsWindowTest::TearDown();
        qunsetenv("SNAPWIRE_TEST_AUDIO");
    }

    static frmMain& Main() { return forms::frmMain(); }
    static frmCapture& Dialog() { return forms::frmCapture(); }
    static QString StatusText() { return Main().StatusBar1->PanelText(1); }
    QString MoviePath() const { return homeFile(QStringLiteral("movie.avi")); }

    static void CaptureFor(const QString& seconds) {
        Dialog().radCapturefor->setChecked(true);
        Dialog().txtCapturefor->setText(seconds);
    }
    static int Reports() {
        int reports = 0;
        for (const ui::ShownBox& box : ui::ShownBoxes())
            reports += box.prompt.startsWith(QLatin1String("Capture completed!\r")) ? 1 : 0;
        return reports;
    }
    // Waits for the end of the recording and its report, then a little longer, so a
    // second report would be seen too.
    static bool WaitForTheReport() {
        const bool reported = WaitUntil([] { return Reports() > 0; }, 10000);
        Pump(300);
        return reported;
    }
};

TEST_F(MovieCaptureDialogTest, TimeLimitedCaptureOverwritesOnYesAndIsReportedOnce) {
    QFile old(MoviePath());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("an older movie");
    old.close();

    // A frame rate confirmed with OK is used by the next start.
    forms::movieframerate().sldFrameRate->setValue(15);
    forms::movieframerate().Command1_Click();
    frmCapture& dialog = Dialog();
    dialog.txtFilename->setText(MoviePath());
    dialog.chkCaptureAudio->setChecked(false);
    dialog.chkCaptureAudio->setChecked(true);
    CaptureFor(QStringLiteral("1"));
    dialog.show();

    ui::AnswerNextMessageBox(ui::vbYes);
    ui::AnswerNextMessageBox(ui::vbOK);  // the report at the end
    dialog.cmdStartCapture->click();

    ASSERT_GE(ui::ShownBoxes().size(), 1u);
    const ui::ShownBox& question = ui::ShownBoxes()[0];
    EXPECT_EQ(question.prompt,
              QLatin1Char('\'') + MoviePath() + QStringLiteral("' already exist\r\rOverwrite?"));
    EXPECT_EQ(question.title, QStringLiteral("File already exist"));
    EXPECT_EQ(question.style, ui::vbQuestion + ui::vbYesNo + ui::vbDefaultButton2);
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(StatusText(), kCapturingText);
    capture::CaptureControl* vcx = Main().vcx;
    EXPECT_TRUE(vcx->GetCaptureStatus().capturing);
    EXPECT_EQ(vcx->CaptureFile(), MoviePath());
    EXPECT_TRUE(vcx->CaptureTimeLimited());
    EXPECT_EQ(vcx->CaptureSeconds(), 1);
    EXPECT_EQ(vcx->CaptureFrameRate(), 15);
    EXPECT_TRUE(vcx->CaptureSound());

    ASSERT_TRUE(WaitForTheReport());
    EXPECT_EQ(Reports(), 1);
    const capture::CaptureStatus recorded = vcx->GetCaptureStatus();
    EXPECT_TRUE(ui::ShownBoxes().back().prompt.startsWith(
        QStringLiteral("Capture completed!\rImage size:%1 x %2\rFrames:%3\r")
            .arg(recorded.width)
            .arg(recorded.height)
            .arg(recorded.framesCaptured)));
    EXPECT_EQ(ui::ShownBoxes().back().style, ui::vbInformation + ui::vbOKOnly);
    EXPECT_EQ(StatusText(), kIdleText);
    EXPECT_FALSE(vcx->CaptureTimeLimited());
    EXPECT_GT(recorded.framesCaptured, 5);
    EXPECT_GT(QFileInfo(MoviePath()).size(), 1000);  // the new movie, not the old text
}

TEST_F(MovieCaptureDialogTest, CaptureUntilClickedEndsByEscapeAndSetsNoTimeLimit) {
    frmCapture& dialog = Dialog();
    dialog.txtFilename->setText(MoviePath());
    capture::CaptureControl* vcx = Main().vcx;
    vcx->SetCaptureSeconds(1);  // would end it by itself if the limit were switched on

    ui::AnswerNextMessageBox(ui::vbOK);
    dialog.cmdStartCapture->click();
    EXPECT_EQ(StatusText(), kCapturingText);
    EXPECT_FALSE(vcx->CaptureTimeLimited());
    Pump(1300);
    EXPECT_TRUE(vcx->GetCaptureStatus().capturing);
    EXPECT_TRUE(ui::ShownBoxes().empty());

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&Main(), &escape);
    ASSERT_TRUE(WaitForTheReport());
    EXPECT_EQ(Reports(), 1);
    EXPECT_EQ(StatusText(), kIdleText);
    EXPECT_TRUE(QFileInfo(MoviePath()).size() > 0);
}

TEST_F(MovieCaptureDialogTest, DecliningToOverwriteKeepsTheDialogOpenAndTheFile) {
    QFile old(MoviePath());
    ASSERT_TRUE(old.open(QIODevice::WriteOnly));
    old.write("keep me");
    old.close();
    frmCapture& dialog = Dialog();
    dialog.txtFilename->setText(MoviePath());
    dialog.show();
    const QString statusBefore = StatusText();

    ui::AnswerNextMessageBox(ui::vbNo);
    dialog.cmdStartCapture->click();

    EXPECT_EQ(ShownPrompts().size(), 1);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(Main().vcx->GetCaptureStatus().capturing);
    EXPECT_EQ(StatusText(), statusBefore);
    ASSERT_TRUE(old.open(QIODevice::ReadOnly));
    EXPECT_EQ(old.readAll(), QByteArray("keep me"));
}

TEST_F(MovieCaptureDialogTest, AStartThatFailsClosesTheDialogWithoutANotice) {
    QDir(home()).mkdir(QStringLiteral("folder.avi"));
    frmCapture& dialog = Dialog();
    dialog.txtFilename->setText(homeFile(QStringLiteral("folder.avi")));
    CaptureFor(QString());  // an empty seconds box is passed over
    capture::CaptureControl* vcx = Main().vcx;
    vcx->SetCaptureSeconds(7);
    dialog.show();
    const QString statusBefore = StatusText();

    dialog.cmdStartCapture->click();

    EXPECT_TRUE(ui::ShownBoxes().empty()) << "a folder is not a file to overwrite";
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_FALSE(vcx->GetCaptureStatus().capturing);
    EXPECT_EQ(StatusText(), statusBefore);
    EXPECT_TRUE(vcx->CaptureTimeLimited());
    EXPECT_EQ(vcx->CaptureSeconds(), 7);
    Pump(200);
    EXPECT_TRUE(ui::ShownBoxes().empty()) << "no recording, no report";

    // The limit of the failed timed start does not carry over to a recording until the click.
    dialog.radCaptureuntil->setChecked(true);
    dialog.cmdStartCapture->click();
    EXPECT_FALSE(vcx->CaptureTimeLimited());
}

}  // namespace
}  // namespace snapwire
