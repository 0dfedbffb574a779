// The per-account timers: ids, intervals, re-arming, stopping, the status text,
// a real tick, and the manual upload over the ticked accounts.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>

#include "engine/upload_test_fixture.h"
#include "platform/ui/window_timers.h"
#include "windows/frm_last.h"

namespace snapwire {
namespace {

class UploadTimersTest : public testing::UploadTest {
  protected:
    static void StoreInterval(const QString& account, const QString& label,
                              const QString& custom = QString()) {
        StoreValue(account, "Upload image every:", label);
        StoreValue(account, "Custom", custom);
    }
    static QString Status() { return forms::frmMain().StatusBar1->PanelText(1); }
};

TEST_F(UploadTimersTest, TickedAccountsGetATimerNamedByTheirRow) {
    StoreAccount(1, QStringLiteral("A"), true);
    StoreInterval(QStringLiteral("A"), QStringLiteral("10 seconds"));
    StoreAccount(2, QStringLiteral("B"), false);
    StoreInterval(QStringLiteral("B"), QStringLiteral("1 minute"));
    StoreAccount(3, QStringLiteral("C"), true);
    StoreInterval(QStringLiteral("C"), QStringLiteral("Week"));
    LoadWindow();

    EXPECT_EQ(ui::TimerInterval(1), 10000);
    EXPECT_FALSE(ui::TimerRunning(2));
    EXPECT_EQ(ui::TimerInterval(3), 604800000);
    EXPECT_EQ(Status(), QStringLiteral("Upload every Week"));  // the last account loaded
    EXPECT_EQ(Account().ftps->SelectedRow(), 3);
}

TEST_F(UploadTimersTest, StartingAgainReArmsAndStopsTheRowsThatGetNoTimer) {
    StoreAccount(1, QStringLiteral("A"), true);
    StoreInterval(QStringLiteral("A"), QStringLiteral("10 seconds"));
    StoreAccount(2, QStringLiteral("B"), true);
    StoreInterval(QStringLiteral("B"), QStringLiteral("20 seconds"));
    frmMain& window = LoadWindow();
    ASSERT_TRUE(ui::TimerRunning(1));
    ASSERT_TRUE(ui::TimerRunning(2));

    StoreInterval(QStringLiteral("A"), QStringLiteral("30 seconds"));
    window.StartTimer();
    EXPECT_EQ(ui::TimerInterval(1), 30000);

    // Unticked, or switched to "Never" (as the first-run wizard may do): no timer goes on.
    Account().ftps->SetTicked(1, false);
    StoreInterval(QStringLiteral("B"), QStringLiteral("Never"));
    window.StartTimer();
    EXPECT_FALSE(ui::TimerRunning(1));
    EXPECT_FALSE(ui::TimerRunning(2));
    EXPECT_EQ(Status(), QStringLiteral("Click 'Upload now' to upload"));
}

TEST_F(UploadTimersTest, ConstantlyIsTheShortestIntervalAndTooLongGivesNoTimer) {
    StoreAccount(1, QStringLiteral("A"), true);
    StoreInterval(QStringLiteral("A"), QStringLiteral("Constantly"));
    StoreAccount(2, QStringLiteral("B"), true);
    StoreInterval(QStringLiteral("B"), QStringLiteral("Custom"), QStringLiteral("2147483"));
    StoreAccount(3, QStringLiteral("C"), true);
    StoreInterval(QStringLiteral("C"), QStringLiteral("Custom"), QStringLiteral("2147484"));
    LoadWindow();

    EXPECT_EQ(ui::TimerInterval(1), 10);
    EXPECT_EQ(ui::TimerInterval(2), 2147483000);
    EXPECT_FALSE(ui::TimerRunning(3));
    EXPECT_EQ(Status(), QStringLiteral("Upload every 2147484 seconds"));
}

TEST_F(UploadTimersTest, StatusTextFollowsTheLoadedAccount) {
    StoreAccount(1, QStringLiteral("A"), true);
    StoreInterval(QStringLiteral("A"), QStringLiteral("Custom"), QStringLiteral("1"));
    frmMain& window = LoadWindow();
    EXPECT_EQ(Status(), QStringLiteral("Upload every 1 second"));
    EXPECT_EQ(ui::TimerInterval(1), 1000);

    StoreInterval(QStringLiteral("A"), QStringLiteral("Constantly"));
    LoadRow(1);
    window.UpdateStatus();
    EXPECT_EQ(Status(), QStringLiteral("Upload constantly"));
}

TEST_F(UploadTimersTest, StopTimerStopsTheIdsOfTheRowsThatAreListed) {
    StoreAccount(1, QStringLiteral("A"), true);
    StoreInterval(QStringLiteral("A"), QStringLiteral("10 seconds"));
    frmMain& window = LoadWindow();
    ui::SetTimer(5, 60000, [](int) {});  // left from an account removed without stopping
    window.StopTimer();
    EXPECT_FALSE(ui::TimerRunning(1));
    EXPECT_TRUE(ui::TimerRunning(5));
}

TEST_F(UploadTimersTest, ARealTickUploadsAndTicksOfUntickedOrUnknownRowsDoNothing) {
    StartServer();
    StoreServerAccount(1, QStringLiteral("A"));
    StoreInterval(QStringLiteral("A"), QStringLiteral("Constantly"));
    StoreServerAccount(2, QStringLiteral("B"), false);
    frmMain& window = LoadWindow();

    QDeadlineTimer limit(20000);
    while (ServerFile(QStringLiteral("webcam.jpg")).isEmpty() && !limit.hasExpired())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    window.StopTimer();
    EXPECT_FALSE(ServerFile(QStringLiteral("webcam.jpg")).isEmpty()) << "no tick uploaded";

    const int stores = server_->commands().filter(QStringLiteral("STOR")).size();
    for (int id : {2, 7}) {
        int tim = id;
        window.Timers(tim);
    }
    EXPECT_EQ(server_->commands().filter(QStringLiteral("STOR")).size(), stores);
    EXPECT_EQ(Account().ftps->SelectedRow(), 1);
}

TEST_F(UploadTimersTest, UploadNowRunsEveryTickedAccountInListOrder) {
    StartServer();
    const QStringList names{QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C"),
                            QStringLiteral("D")};
    for (int i = 0; i < names.size(); ++i) {
        StoreServerAccount(i + 1, names[i], names[i] != QLatin1String("B"));
        StoreValue(names[i], "Destination filename:", names[i].toLower());
    }
    frmMain& window = LoadWindow();
    window.mnuupload_now->trigger();
    EXPECT_EQ(server_->commands().filter(QStringLiteral("STOR")),
              (QStringList{QStringLiteral("STOR a.jpg"), QStringLiteral("STOR c.jpg"),
                           QStringLiteral("STOR d.jpg")}));
    EXPECT_TRUE(ShownPrompts().isEmpty());
}

TEST_F(UploadTimersTest, UploadNowWithoutATickedAccountSaysSo) {
    StoreAccount(1, QStringLiteral("A"), false);
    frmMain& window = LoadWindow();
    window.Toolbar1->ButtonByKey(QStringLiteral("Upload now"))->trigger();
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_EQ(ui::ShownBoxes()[0].prompt, QStringLiteral("No FTP accounts selected"));
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbInformation + ui::vbOKOnly);
}

TEST_F(UploadTimersTest, UploadSettingsStopTheTimersWhileOpenAndOkStartsThem) {
    StoreAccount(1, QStringLiteral("A"), true);
    StoreInterval(QStringLiteral("A"), QStringLiteral("10 seconds"));
    StoreAccount(2, QStringLiteral("B"), true);
    StoreInterval(QStringLiteral("B"), QStringLiteral("20 seconds"));
    frmMain& window = LoadWindow();
    StoreValue(QStringLiteral("B"), "Host Name/Adress:", QStringLiteral("written.example"));
    bool timersWhileOpen = true;
    QString hostWhileOpen;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (!Account().isVisible())
            return;
        timersWhileOpen = ui::TimerRunning(1) || ui::TimerRunning(2);
        hostWhileOpen = Account().txtHostNameAddress->text();
        Account().Command1_Click();  // OK
    });
    closer.start(10);
    window.FTP->trigger();
    EXPECT_FALSE(timersWhileOpen);
    EXPECT_EQ(hostWhileOpen, QStringLiteral("written.example"));  // not the values loaded before
    EXPECT_EQ(ui::TimerInterval(1), 10000);
    EXPECT_EQ(ui::TimerInterval(2), 20000);
    EXPECT_EQ(Account().ftps->SelectedRow(), 1);  // the first account is loaded afterwards
}

TEST_F(UploadTimersTest, TheTrayMenuReachesUploadNowLastPictureAndLogs) {
    StoreAccount(1, QStringLiteral("A"), false);
    LoadWindow();
    StartUp& startUp = forms::StartUp();
    startUp.upload_now->trigger();
    EXPECT_EQ(ShownPrompts(), QStringList{QStringLiteral("No FTP accounts selected")});
    startUp.mnuLast->trigger();
    EXPECT_TRUE(forms::frmLast().isVisible());
    startUp.mnuFTPLog->trigger();
    EXPECT_TRUE(forms::FTPLog().isVisible());
    startUp.mnuUploadLog->trigger();
    EXPECT_TRUE(forms::frmUploadLog().isVisible());
    startUp.mnuMotionLog->trigger();
    EXPECT_TRUE(forms::frmMotionLog().isVisible());
}

}  // namespace
}  // namespace snapwire
