// The main window and the first-run wizard: shown after the window at the first
// start only, from the menu item at any time, and never under a running cycle.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QTimer>
#include <utility>

#include "accounts/wizard.h"
#include "engine/upload_test_fixture.h"
#include "platform/ui/window_timers.h"

namespace snapwire::testing {
namespace {

class MainWindowWizardTest : public UploadTest {
  protected:
    void SetUp() override {
        UploadTest::SetUp();
        SetWizardUserForTests([this](Wizard& wizard) {
            ++showings_;
            mainShownFirst_ = forms::frmMain().isVisible();
            pageAtStart_ = wizard.Page();
        });
    }
    void TearDown() override {
        SetWizardUserForTests({});
        UploadTest::TearDown();
    }

    int showings_ = 0;
    bool mainShownFirst_ = false;
    int pageAtStart_ = 0;
};

TEST_F(MainWindowWizardTest, TheFirstStartShowsTheWizardAfterTheWindow) {
    Store("FirstTime", QString());  // as on a machine that never ran the program
    frmMain& window = forms::frmMain();
    EXPECT_EQ(showings_, 1);
    EXPECT_TRUE(mainShownFirst_);
    EXPECT_EQ(pageAtStart_, 1);
    EXPECT_EQ(Stored("FirstTime"), QStringLiteral("False"));
    EXPECT_TRUE(window.isVisible());
    EXPECT_TRUE(ui::TimerRunning(1)) << "the timers run already while the wizard is open";
}

TEST_F(MainWindowWizardTest, LaterStartsShowItOnlyFromTheMenu) {
    frmMain& window = forms::frmMain();
    EXPECT_EQ(showings_, 0);
    ASSERT_TRUE(window.mnuWizard->isEnabled());
    window.mnuWizard->trigger();
    EXPECT_EQ(showings_, 1);
    EXPECT_EQ(pageAtStart_, 1);
}

TEST_F(MainWindowWizardTest, TheWizardOpensOnlyOnceTheRunningCycleHasEnded) {
    StartServer();
    StoreServerAccount(1, QStringLiteral("My Account"));
    frmMain& window = LoadWindow();
    SetOption(Options().chkSound, true);
    SetWarningSeconds(QStringLiteral("1"));

    bool cycleRunning = false;
    int showingsDuringCycle = -1;
    bool first = true;
    onSound_ = [&] {
        if (!std::exchange(first, false))
            return;
        QTimer::singleShot(20, [&] {
            cycleRunning = window.CycleRunning();
            window.mnuWizard->trigger();  // must not load "My Account" under the cycle
            showingsDuringCycle = showings_;
        });
    };
    int tim = 1;
    window.Timers(tim);

    EXPECT_TRUE(cycleRunning) << "the wait did not yield to the message loop";
    EXPECT_EQ(showingsDuringCycle, 0);
    QDeadlineTimer limit(20000);
    while (showings_ == 0 && !limit.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(showings_, 1);
}

}  // namespace
}  // namespace snapwire::testing
