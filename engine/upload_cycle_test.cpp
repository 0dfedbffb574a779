// The cycle's own steps: confirmation, date and time window, warning and the
// yielding wait, live preview, failure reports, the count and the end after N
// uploads, the status text, and one cycle at a time.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <utility>

#include "engine/upload_test_fixture.h"

namespace snapwire {
namespace {

using testing::FtpTestServer;

class UploadCycleTest : public testing::UploadTest {
  protected:
    frmMain& LoadWithServerAccount() {
        StartServer();
        StoreServerAccount(1, QStringLiteral("Cam"));
        frmMain& window = LoadWindow();
        LogToFiles();
        return window;
    }
    static void StoreWindow(const QTime& from, const QTime& to) {
        StoreValue(QStringLiteral("Cam"), "Between", QStringLiteral("1"));
        StoreValue(QStringLiteral("Cam"), "DateFrom", DateText(Moment().date()));
        StoreValue(QStringLiteral("Cam"), "DateTo", DateText(Moment().date()));
        StoreValue(QStringLiteral("Cam"), "TimeFrom", TimeText(from));
        StoreValue(QStringLiteral("Cam"), "TimeTo", TimeText(to));
    }
    static void Tick(frmMain& window, int id) {
        int tim = id;
        window.Timers(tim);
    }
    int Stores() const {
        const QStringList commands = server_->commands();
        return static_cast<int>(std::count_if(commands.begin(), commands.end(), [](const QString& c) {
            return c.startsWith(QLatin1String("STOR"));
        }));
    }
    static void LetEventsRun() {
        QDeadlineTimer limit(300);
        while (!limit.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
    // Lets the message loop run until the condition holds (or a generous limit passes).
    template <typename Condition>
    static bool ProcessEventsUntil(Condition&& condition) {
        QDeadlineTimer limit(20000);
        while (!condition() && !limit.hasExpired())
            QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        return condition();
    }
};

TEST_F(UploadCycleTest, CancelInTheConfirmationChangesNothing) {
    frmMain& window = LoadWithServerAccount();
    StoreValue(QStringLiteral("Cam"), "UniqueAuto", QStringLiteral("True"));
    SetOption(Options().chkAsk, true);
    LoadRow(1);
    window.StatusBar1->SetPanelText(1, QStringLiteral("before"));

    ui::AnswerNextMessageBox(ui::vbCancel);
    window.upload_now(true, false, QStringLiteral("-1"));
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_EQ(ui::ShownBoxes()[0].prompt, QStringLiteral("Picture will now be uploaded to '127.0.0.1'"));
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbOKCancel + ui::vbQuestion);
    EXPECT_TRUE(server_->commands().isEmpty());
    EXPECT_EQ(UploadLogRows(), 0);
    EXPECT_TRUE(FtpLogLines().isEmpty());
    EXPECT_EQ(StoredValue(QStringLiteral("Cam"), "KeepNrUpload"), QString());
    EXPECT_EQ(window.antalUpload, 0);
    EXPECT_EQ(window.StatusBar1->PanelText(1), QStringLiteral("before"));
    EXPECT_FALSE(window.StatusBar1->PanelHasPicture(1));
    EXPECT_FALSE(ProgramFileExists("ic.bmp"));

    ui::AnswerNextMessageBox(ui::vbOK);
    window.upload_now(true, false, QStringLiteral("-1"));
    EXPECT_FALSE(ServerFile(QStringLiteral("webcam1.jpg")).isEmpty());
    EXPECT_EQ(StoredValue(QStringLiteral("Cam"), "KeepNrUpload"), QStringLiteral("2"));
    EXPECT_EQ(window.antalUpload, 1);
}

TEST_F(UploadCycleTest, ManualCyclesNeverAskNeverTestTheWindowAndNeverWarn) {
    frmMain& window = LoadWithServerAccount();
    StoreWindow(QTime(22, 0), QTime(6, 0));  // refuses every automatic cycle
    SetOption(Options().chkAsk, true);
    SetOption(Options().chkSound, true);
    window.mnuupload_now_Click();
    EXPECT_TRUE(ShownPrompts().isEmpty());
    EXPECT_TRUE(sounds_.empty());
    EXPECT_FALSE(ServerFile(QStringLiteral("webcam.jpg")).isEmpty());

    Tick(window, 1);
    EXPECT_EQ(Stores(), 1);
}

// The window is tested to the second, after the numbering counters have advanced.
TEST_F(UploadCycleTest, TheWindowRefusesItsEdgeSecondsAndRefusedCyclesStillUseANumber) {
    frmMain& window = LoadWithServerAccount();
    StoreValue(QStringLiteral("Cam"), "UniqueAuto", QStringLiteral("True"));
    StoreWindow(QTime(22, 0), QTime(6, 0));
    Tick(window, 1);
    EXPECT_EQ(Stores(), 0);
    EXPECT_EQ(StoredValue(QStringLiteral("Cam"), "KeepNrUpload"), QStringLiteral("2"));

    StoreWindow(Moment().time(), QTime(14, 30, 7));
    Tick(window, 1);  // 14:30:05, the start second
    now_ = Moment().addSecs(2);
    Tick(window, 1);  // 14:30:07, the end second
    EXPECT_EQ(Stores(), 0);
    EXPECT_EQ(window.antalUpload, 0);  // refused cycles are not counted

    now_ = Moment().addMSecs(1999);
    Tick(window, 1);  // 14:30:06.999
    EXPECT_EQ(Stores(), 1);
    EXPECT_FALSE(ServerFile(QStringLiteral("webcam4.jpg")).isEmpty());
    EXPECT_EQ(StoredValue(QStringLiteral("Cam"), "KeepNrUpload"), QStringLiteral("5"));
    EXPECT_EQ(window.antalUpload, 1);
}

TEST_F(UploadCycleTest, TheDateRangeIncludesItsFirstAndLastDay) {
    frmMain& window = LoadWithServerAccount();
    StoreWindow(QTime(8, 0), QTime(8, 0));  // no time test
    StoreValue(QStringLiteral("Cam"), "DateFrom", DateText(Moment().date().addDays(1)));
    StoreValue(QStringLiteral("Cam"), "DateTo", DateText(Moment().date().addDays(5)));
    Tick(window, 1);
    EXPECT_EQ(Stores(), 0);
    now_ = Moment().addDays(1);
    Tick(window, 1);
    now_ = Moment().addDays(5);
    Tick(window, 1);
    now_ = Moment().addDays(6);
    Tick(window, 1);
    EXPECT_EQ(Stores(), 2);
}

TEST_F(UploadCycleTest, TheWarningSoundsAndTheStatusAndPreviewBelongToTheCycle) {
    frmMain& window = LoadWithServerAccount();
    SetOption(Options().chkSound, true);
    SetOption(Options().chkMotion, true);
    window.vcx->SetLivePreview(false);
    SetWarningSeconds(QString());
    window.StatusBar1->SetPanelText(1, QStringLiteral("before"));
    QString statusDuring;
    bool pictureDuring = false;
    bool previewDuring = false;
    onSound_ = [&] {
        statusDuring = window.StatusBar1->PanelText(1);
        pictureDuring = window.StatusBar1->PanelHasPicture(1);
        previewDuring = window.vcx->LivePreview();
    };
    LoadRow(1);
    window.upload_now(true, false, QStringLiteral("-1"));
    ASSERT_EQ(sounds_.size(), 1u);
    EXPECT_TRUE(sounds_[0].path.isEmpty());  // no wave file: the beep
    EXPECT_EQ(statusDuring, QStringLiteral("Uploading..."));
    EXPECT_TRUE(pictureDuring);
    EXPECT_TRUE(previewDuring);
    EXPECT_FALSE(window.vcx->LivePreview());
    EXPECT_EQ(window.StatusBar1->PanelText(1), QStringLiteral("before"));
    EXPECT_FALSE(window.StatusBar1->PanelHasPicture(1));

    // The user's own live video stays on after the cycle.
    window.vcx->SetLivePreview(true);
    Options().txtSoundSource->setText(homeFile(QStringLiteral("warning.wav")));
    window.upload_now(true, false, QStringLiteral("-1"));
    ASSERT_EQ(sounds_.size(), 2u);
    EXPECT_EQ(sounds_[1].path, homeFile(QStringLiteral("warning.wav")));
    EXPECT_FALSE(sounds_[1].wait);
    EXPECT_TRUE(window.vcx->LivePreview());
}

// Ticks and commands that come while a cycle waits after its warning neither start
// a cycle nor load an account; the ticks run, once each, after the cycle.
TEST_F(UploadCycleTest, ATickDuringACycleRunsAfterItForItsOwnAccount) {
    StartServer();
    StoreServerAccount(1, QStringLiteral("A"));
    StoreValue(QStringLiteral("A"), "Destination filename:", QStringLiteral("a"));
    StoreServerAccount(2, QStringLiteral("B"));
    StoreValue(QStringLiteral("B"), "Destination filename:", QStringLiteral("b"));
    frmMain& window = LoadWindow();
    SetOption(Options().chkSound, true);
    SetWarningSeconds(QStringLiteral("1"));

    bool cycleRunning = false;
    int selectedAfterTicks = -1;
    int storesDuring = -1;
    bool first = true;
    onSound_ = [&] {
        if (!std::exchange(first, false))
            return;
        QTimer::singleShot(20, [&] {
            cycleRunning = window.CycleRunning();
            Tick(window, 2);
            Tick(window, 2);  // one tick per timer is kept
            Tick(window, 1);
            selectedAfterTicks = Account().ftps->SelectedRow();
            storesDuring = Stores();
        });
    };
    Tick(window, 1);

    EXPECT_TRUE(cycleRunning) << "the wait did not yield to the message loop";
    EXPECT_EQ(selectedAfterTicks, 1);
    EXPECT_EQ(storesDuring, 0);
    EXPECT_FALSE(ServerFile(QStringLiteral("a.jpg")).isEmpty());
    ASSERT_TRUE(ProcessEventsUntil([&] { return Stores() == 3; }))
        << server_->commands().join(u'|').toStdString();
    LetEventsRun();  // nothing more may follow
    const QStringList stored = server_->commands().filter(QStringLiteral("STOR"));
    EXPECT_EQ(stored, (QStringList{QStringLiteral("STOR a.jpg"), QStringLiteral("STOR b.jpg"),
                                   QStringLiteral("STOR a.jpg")}));
    EXPECT_EQ(UploadLogRow(1)[1], QStringLiteral("b.jpg"));
}

// A load's error box runs a message loop of its own: a tick delivered while it is
// open waits for the end of the load, so the loading account's values are stored
// into that account and not into the ticking one.
TEST_F(UploadCycleTest, ATickWhileALoadShowsItsErrorBoxRunsAfterTheLoad) {
    StartServer();
    StoreServerAccount(1, QStringLiteral("Alpha"));
    StoreAccount(2, QStringLiteral("Beta"), false);
    StoreValue(QStringLiteral("Beta"), "Activate Motion", QStringLiteral("1"));
    StoreValue(QStringLiteral("Beta"), "Sensitivity", QStringLiteral("77"));
    StoreValue(QStringLiteral("Beta"), "Motion Beep", QStringLiteral("1"));
    frmMain& window = LoadWindow();
    ASSERT_TRUE(window.timMotion->isActive());
    window.timMotion->setInterval(3600 * 1000);  // only the test's own tick runs
    StoreValue(QStringLiteral("Beta"), "Font Size", QStringLiteral("abc"));

    int rowWhileOpen = 0;
    ui::AnswerNextMessageBox(ui::vbOK, [&] {
        Tick(window, 1);
        rowWhileOpen = Account().ftps->SelectedRow();
    });
    window.timMotion_Timer();  // loads Alpha, then Beta

    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_EQ(ui::ShownBoxes()[0].title, QStringLiteral("Font/Registry Error"));
    EXPECT_EQ(rowWhileOpen, 2);
    EXPECT_TRUE(ProcessEventsUntil([&] { return Stores() == 1; }));
    EXPECT_NE(StoredValue(QStringLiteral("Alpha"), "Activate Motion"), QStringLiteral("1"));
    EXPECT_NE(StoredValue(QStringLiteral("Alpha"), "Sensitivity"), QStringLiteral("77"));
    EXPECT_NE(StoredValue(QStringLiteral("Alpha"), "Motion Beep"), QStringLiteral("1"));
    EXPECT_EQ(StoredValue(QStringLiteral("Beta"), "Sensitivity"), QStringLiteral("77"));
}

TEST_F(UploadCycleTest, UploadSettingsOpenOnlyAfterTheCycle) {
    frmMain& window = LoadWithServerAccount();
    SetOption(Options().chkSound, true);
    SetWarningSeconds(QStringLiteral("1"));
    bool shownDuringCycle = false;
    bool first = true;
    onSound_ = [&] {
        if (!std::exchange(first, false))
            return;
        QTimer::singleShot(20, [&] {
            window.FTP_Click();  // must not open the account window under the cycle
            shownDuringCycle = Account().isVisible();
        });
    };
    bool shownAfterCycle = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!Account().isVisible())
            return;
        shownAfterCycle = !window.CycleRunning();
        Account().Command1_Click();  // OK
    });
    closer.start(10);
    Tick(window, 1);

    EXPECT_FALSE(shownDuringCycle);
    EXPECT_TRUE(ProcessEventsUntil([&] { return shownAfterCycle; }));
    EXPECT_EQ(Stores(), 1);
}

TEST_F(UploadCycleTest, TheProgramEndsAfterTheNthCountedCycle) {
    frmMain& window = LoadWithServerAccount();
    SetOption(Options().chkClose, true);
    Options().txtClose->setText(QStringLiteral("3"));
    window.mnuupload_now_Click();

    SetOption(Options().chkAsk, true);
    ui::AnswerNextMessageBox(ui::vbCancel);
    Tick(window, 1);  // cancelled: not counted
    SetOption(Options().chkAsk, false);
    StoreWindow(QTime(22, 0), QTime(6, 0));
    Tick(window, 1);  // refused: not counted
    StoreValue(QStringLiteral("Cam"), "Between", QStringLiteral("0"));

    PointAtPort(testing::UnusedLocalPort());
    window.mnuupload_now_Click();  // a failed transfer counts
    EXPECT_TRUE(programEnds().empty());
    EXPECT_EQ(window.antalUpload, 2);

    EXPECT_THROW(window.mnuupload_now_Click(), ui::ProgramEnded);
    EXPECT_EQ(programEnds(), std::vector<int>{0});
    EXPECT_EQ(window.antalUpload, 3);
    EXPECT_EQ(window.StatusBar1->PanelText(1), QStringLiteral("Uploading..."));  // no step after the end
}

TEST_F(UploadCycleTest, ACountOfZeroOrNoNumberNeverEndsTheProgram) {
    frmMain& window = LoadWithServerAccount();
    SetOption(Options().chkClose, true);
    for (const char* text : {"0", "soon"}) {
        Options().txtClose->setText(QString::fromLatin1(text));
        window.mnuupload_now_Click();
    }
    EXPECT_TRUE(programEnds().empty());
    EXPECT_EQ(window.antalUpload, 2);
}

TEST_F(UploadCycleTest, AFrameThatCannotBeWrittenIsReportedAndTheCycleStillEnds) {
    frmMain& window = LoadWithServerAccount();
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("ic.bmp")));  // the frame file cannot be written
    LoadRow(1);
    window.StatusBar1->SetPanelText(1, QStringLiteral("before"));
    window.upload_now(false, false, QStringLiteral("-1"));

    const QStringList prompts = ShownPrompts();
    ASSERT_EQ(prompts.size(), 1);
    EXPECT_TRUE(prompts[0].startsWith(QStringLiteral("Failed to save picture, ")))
        << prompts[0].toStdString();
    EXPECT_GT(prompts[0].size(), QStringLiteral("Failed to save picture, ").size());
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbCritical + ui::vbOKOnly);
    EXPECT_TRUE(server_->commands().isEmpty());
    EXPECT_EQ(window.antalUpload, 1);
    EXPECT_EQ(window.StatusBar1->PanelText(1), QStringLiteral("before"));
}

TEST_F(UploadCycleTest, NoFrameAtAllEndsTheStretchWithoutAMessage) {
    frmMain& window = LoadWithServerAccount();
    window.vcx->SetDeviceConnected(false);
    window.mnuupload_now_Click();
    EXPECT_TRUE(ShownPrompts().isEmpty());
    EXPECT_TRUE(server_->commands().isEmpty());
    EXPECT_EQ(window.antalUpload, 1);
}

}  // namespace
}  // namespace snapwire
