// The first-run wizard: what it loads at each showing, its pages, the values it
// stores for "My Account", Finish, Skip and its place on the screen.

#include "accounts/wizard.h"
#include "accounts/upload_settings_test.h"
#include "engine/frm_main.h"
#include "platform/ui/modal_responder_for_tests.h"
#include "platform/ui/window_timers.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QLineEdit>
#include <QPushButton>

namespace snapwire::testing {
namespace {

const QString kMyAccount = QStringLiteral("My Account");

class WizardTest : public UploadSettingsTest {
  protected:
    void SetUp() override {
        UploadSettingsTest::SetUp();
        Store(QString(), "FirstTime", "False");  // the main window's own first-run wizard stays out
    }
    void TearDown() override {
        SetWizardUserForTests({});
        UploadSettingsTest::TearDown();
    }

    // Shows the wizard with `user` acting in it; returns how often `user` was called.
    // The main window is loaded first (the wizard's Finish reaches it), and the boxes
    // its load showed are forgotten.
    static int ShowAs(std::function<void(Wizard&)> user) {
        forms::frmMain();
        ui::ClearShownBoxes();
        int calls = 0;
        SetWizardUserForTests([&](Wizard& wizard) {
            ++calls;
            user(wizard);
        });
        ShowWizard();
        SetWizardUserForTests({});
        return calls;
    }
    static void StoreMyAccount() {
        StoreAccounts({kMyAccount, QStringLiteral("B")});
        Store(kMyAccount, "Host Name/Adress:", "ftp.example");
        Store(kMyAccount, "User ID:", "me");
        Store(kMyAccount, "Password:", "secret");
        Store(kMyAccount, "Remember password", "1");
        Store(kMyAccount, "Initial Remote Site Folder:", "cam");
        Store(kMyAccount, "Upload image every:", "5 minutes");
        Store(kMyAccount, "Enable timestamp", "1");
        Store(kMyAccount, "Selected", "True");
        Store("B", "Host Name/Adress:", "b.example");
    }
    static void Choose(QComboBox* combo, const char* label) {
        combo->setCurrentIndex(combo->findText(QString::fromLatin1(label)));
    }
    static void LeaveBox(QWidget* box, Qt::FocusReason reason = Qt::TabFocusReason) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(box, &out);
    }
};

TEST_F(WizardTest, EachShowingStartsAtPageOneWithMyAccountLoaded) {
    StoreMyAccount();
    LoadRow(2);  // the account window holds another account, as after a timer tick
    int pageAtStart = 0;
    const int calls = ShowAs([&](Wizard& wizard) {
        pageAtStart = wizard.Page();
        EXPECT_TRUE(wizard.isVisible());
        EXPECT_TRUE(wizard.isModal());
        EXPECT_EQ(Window().ftps->SelectedRow(), 1);
        EXPECT_EQ(Window().txtHostNameAddress->text(), QStringLiteral("ftp.example"));
        EXPECT_EQ(wizard.Combo->currentText(), QStringLiteral("5 minutes"));
        EXPECT_EQ(wizard.txtHostNameAddress->text(), QStringLiteral("ftp.example"));
        EXPECT_EQ(wizard.txtUserID->text(), QStringLiteral("me"));
        EXPECT_EQ(wizard.txtPassword->text(), QStringLiteral("secret"));
        EXPECT_EQ(wizard.txtFolder->text(), QStringLiteral("cam"));
        EXPECT_EQ(ui::CheckValue(wizard.rem_pass), 1);
        EXPECT_EQ(ui::CheckValue(wizard.chkTimeStamp), 1);
        wizard.cmdNext_Click();
        wizard.cmdNext_Click();
    });
    ASSERT_EQ(calls, 1);
    EXPECT_EQ(pageAtStart, 1);
    Wizard& wizard = forms::Wizard();
    EXPECT_FALSE(wizard.isVisible());
    EXPECT_EQ(wizard.Page(), 3);  // where it was left

    // Values changed elsewhere in between are loaded again at the next showing.
    Store(kMyAccount, "Host Name/Adress:", "other.example");
    Store(kMyAccount, "Remember password", "0");
    Store(kMyAccount, "Enable timestamp", "0");
    ShowAs([&](Wizard& shown) {
        EXPECT_EQ(&shown, &wizard);  // the same window: only Skip unloads it
        EXPECT_EQ(shown.Page(), 1);
        EXPECT_FALSE(shown.cmdBack->isVisible());
        EXPECT_EQ(shown.cmdNext->text(), QStringLiteral("&Next"));
        EXPECT_EQ(shown.txtHostNameAddress->text(), QStringLiteral("other.example"));
        EXPECT_EQ(ui::CheckValue(shown.rem_pass), 0);
        EXPECT_EQ(ui::CheckValue(shown.chkTimeStamp), 0);
    });
    EXPECT_EQ(Stored(kMyAccount, "Password:"), QString());  // an account that forgets its password
}

TEST_F(WizardTest, NextAndBackWalkThePages) {
    ShowAs([](Wizard& wizard) {
        const auto expectPage = [&](int page, bool backShown, const char* nextCaption) {
            EXPECT_EQ(wizard.Page(), page);
            int visibleFrames = 0;
            for (QFrame* frame : {wizard.Frame1, wizard.Frame2, wizard.Frame3, wizard.Frame4})
                visibleFrames += frame->isVisible() ? 1 : 0;
            EXPECT_EQ(visibleFrames, 1) << "page " << page;
            EXPECT_EQ(wizard.cmdBack->isVisible(), backShown) << "page " << page;
            EXPECT_EQ(wizard.cmdNext->text(), QString::fromLatin1(nextCaption)) << "page " << page;
        };
        expectPage(1, false, "&Next");
        wizard.cmdNext->click();
        expectPage(2, true, "&Next");
        wizard.cmdNext->click();
        expectPage(3, true, "&Next");
        wizard.cmdNext->click();
        expectPage(4, true, "&Finish");
        wizard.cmdBack->click();
        expectPage(3, true, "&Next");
        wizard.cmdBack->click();
        expectPage(2, true, "&Next");
        wizard.cmdBack->click();
        expectPage(1, false, "&Next");
        EXPECT_TRUE(wizard.isVisible());
    });
}

TEST_F(WizardTest, EntriesAreStoredInMyAccountAsTheyAreMade) {
    StoreMyAccount();
    ShowAs([](Wizard& wizard) {
        LoadRow(2);  // a timer tick loads another account meanwhile
        Choose(wizard.Combo, "10 seconds");
        wizard.txtHostNameAddress->setText(QStringLiteral("new.example"));
        wizard.txtUserID->setText(QStringLiteral("you"));
        wizard.txtFolder->setText(QStringLiteral("pics"));
        wizard.chkTimeStamp->click();
        EXPECT_EQ(Stored(kMyAccount, "Upload image every:"), QStringLiteral("10 seconds"));
        EXPECT_EQ(Stored(kMyAccount, "Host Name/Adress:"), QStringLiteral("new.example"));
        EXPECT_EQ(Stored(kMyAccount, "User ID:"), QStringLiteral("you"));
        EXPECT_EQ(Stored(kMyAccount, "Initial Remote Site Folder:"), QStringLiteral("pics"));
        EXPECT_EQ(Stored(kMyAccount, "Enable timestamp"), QStringLiteral("0"));

        wizard.txtHostNameAddress->clear();
        EXPECT_EQ(Stored(kMyAccount, "Host Name/Adress:"), QString());
        EXPECT_TRUE(ValueNames(kMyAccount).contains(QStringLiteral("Host Name/Adress:")));
    });
    EXPECT_EQ(Stored("B", "Host Name/Adress:"), QStringLiteral("b.example"));
    EXPECT_NE(Stored("B", "Upload image every:"), QStringLiteral("10 seconds"));
    EXPECT_EQ(Stored("B", "User ID:"), QString());
}

// Values holding environment references read expanded; showing the account in the
// account window and the wizard, twice, and skipping it (which trims the folder)
// must not store the expansion in their place.
TEST_F(WizardTest, ShowingTheWizardKeepsValuesThatHoldEnvironmentReferences) {
    const char* const names[] = {"Host Name/Adress:", "User ID:", "Password:", "Initial Remote Site Folder:"};
    qputenv("SNAPWIRE_WIZARD_PART", "one");
    StoreAccounts({kMyAccount});
    for (const char* name : names) Store(kMyAccount, name, "/ab%SNAPWIRE_WIZARD_PART%cd/");
    for (int showing = 0; showing < 2; ++showing) {
        ShowAs([](Wizard& wizard) {
            EXPECT_EQ(wizard.txtPassword->text(), QStringLiteral("/abonecd/"));
            wizard.cmdSkip_Click();
        });
    }
    qputenv("SNAPWIRE_WIZARD_PART", "two");
    for (const char* name : names) EXPECT_EQ(Stored(kMyAccount, name), QStringLiteral("/abtwocd/")) << name;
    qunsetenv("SNAPWIRE_WIZARD_PART");
}

TEST_F(WizardTest, AFirstIntervalChoiceIsStoredBeforeAnyHostIsTyped) {
    ShowAs([](Wizard& wizard) {
        wizard.cmdNext_Click();
        Choose(wizard.Combo, "5 minutes");
    });
    EXPECT_EQ(Stored(kMyAccount, "Upload image every:"), QStringLiteral("5 minutes"));
    EXPECT_EQ(Stored(kMyAccount, "Host Name/Adress:"), QString());
}

TEST_F(WizardTest, ThePasswordIsStoredOnlyWhileItIsRemembered) {
    StoreMyAccount();
    ShowAs([](Wizard& wizard) {
        wizard.rem_pass->click();  // untick
        EXPECT_EQ(Stored(kMyAccount, "Remember password"), QStringLiteral("0"));
        EXPECT_EQ(Stored(kMyAccount, "Password:"), QString());
        wizard.txtPassword->setText(QStringLiteral("typed"));
        EXPECT_EQ(Stored(kMyAccount, "Password:"), QString());

        wizard.rem_pass->click();  // tick again: the password waits for the next change
        EXPECT_EQ(Stored(kMyAccount, "Remember password"), QStringLiteral("1"));
        EXPECT_EQ(Stored(kMyAccount, "Password:"), QString());
        wizard.txtPassword->setText(QStringLiteral("typed2"));
        EXPECT_EQ(Stored(kMyAccount, "Password:"), QStringLiteral("typed2"));
    });
}

TEST_F(WizardTest, LeavingTheFolderBoxTrimsOneSeparatorAtEachEnd) {
    ShowAs([this](Wizard& wizard) {
        const std::pair<const char*, const char*> cases[] = {
            {"/pics/", "pics"}, {"//pics", "/pics"}, {"/", ""}, {"\\pics\\", "pics"}, {"a/b", "a/b"}};
        for (const auto& [typed, kept] : cases) {
            wizard.txtFolder->setText(QString::fromLatin1(typed));
            LeaveBox(wizard.txtFolder);
            EXPECT_EQ(wizard.txtFolder->text(), QString::fromLatin1(kept)) << typed;
            EXPECT_EQ(Stored(kMyAccount, "Initial Remote Site Folder:"), QString::fromLatin1(kept)) << typed;
        }
        ASSERT_TRUE(FocusOn(wizard.txtFolder));
        wizard.txtFolder->setText(QStringLiteral("/pics/"));
        LeaveBox(wizard.txtFolder, Qt::PopupFocusReason);  // a context menu: still editing
        EXPECT_EQ(wizard.txtFolder->text(), QStringLiteral("/pics/"));
        wizard.close();  // the title bar's close box leaves the focus where it is
    });
    EXPECT_EQ(Stored(kMyAccount, "Initial Remote Site Folder:"), QStringLiteral("pics"));
}

TEST_F(WizardTest, FinishHidesTheWizardAndStartsTheTimers) {
    StoreMyAccount();
    forms::frmMain();
    ui::KillAllTimers();
    ShowAs([](Wizard& wizard) {
        Choose(wizard.Combo, "10 seconds");
        for (int page = 1; page < 4; ++page) wizard.cmdNext->click();
        EXPECT_FALSE(ui::TimerRunning(1));
        wizard.cmdNext->click();  // "&Finish"
        EXPECT_FALSE(wizard.isVisible());
    });
    ASSERT_TRUE(forms::WizardLoaded());
    EXPECT_FALSE(forms::Wizard().Skipped());
    EXPECT_TRUE(ui::TimerRunning(1));
    EXPECT_EQ(ui::TimerInterval(1), 10000);
    EXPECT_FALSE(ui::TimerRunning(2));  // "B" is not ticked
    EXPECT_EQ(Window().txtmSec->text(), QStringLiteral("10"));
}

TEST_F(WizardTest, SkipUnloadsTheWizardWithoutStartingTheTimers) {
    StoreMyAccount();
    forms::frmMain();
    ui::KillAllTimers();
    ShowAs([](Wizard& wizard) {
        wizard.cmdNext_Click();
        wizard.cmdNext_Click();
        wizard.txtUserID->setText(QStringLiteral("kept"));  // stored at once: Skip undoes nothing
        wizard.setProperty("earlier", true);
        ASSERT_TRUE(FocusOn(wizard.txtFolder));
        wizard.txtFolder->setText(QStringLiteral("//cam//"));
        ClickWithTheMouse(wizard.cmdSkip);  // leaves the box once
        EXPECT_FALSE(wizard.isVisible());
    });
    EXPECT_FALSE(forms::WizardLoaded());
    EXPECT_FALSE(ui::TimerRunning(1));
    EXPECT_EQ(Stored(kMyAccount, "User ID:"), QStringLiteral("kept"));
    EXPECT_EQ(Stored(kMyAccount, "Initial Remote Site Folder:"), QStringLiteral("/cam/"));

    ShowAs([](Wizard& wizard) {
        EXPECT_FALSE(wizard.property("earlier").isValid());  // loaded afresh
        EXPECT_EQ(wizard.Page(), 1);
        EXPECT_EQ(wizard.txtUserID->text(), QStringLiteral("kept"));
        wizard.close();  // the window's close box leaves it as Skip does
    });
    EXPECT_FALSE(forms::WizardLoaded());
}

TEST_F(WizardTest, EscapeDoesNotLeaveTheWizard) {
    ShowAs([](Wizard& wizard) {
        ui::testing::PressKey(&wizard, Qt::Key_Escape);
        EXPECT_TRUE(wizard.isVisible());
    });
    EXPECT_TRUE(forms::WizardLoaded());
}

TEST_F(WizardTest, SkipEndsARealModalShowing) {
    bool shownModally = false;
    ShowAs([&](Wizard& wizard) {
        ui::testing::RespondToNextModal<Wizard>([&](Wizard* shown) {
            shownModally = true;
            shown->cmdSkip->click();
        });
        wizard.exec();
    });
    EXPECT_TRUE(shownModally);
    EXPECT_FALSE(forms::WizardLoaded());
}

TEST_F(WizardTest, WithoutMyAccountFirstTheWizardSaysSoAndWritesNothing) {
    StoreAccounts({QStringLiteral("Other"), kMyAccount});
    forms::frmMain();
    ui::AnswerNextMessageBox(ui::vbOK);
    EXPECT_EQ(ShowAs([](Wizard&) {}), 0);
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_EQ(
        ui::ShownBoxes()[0].prompt,
        QStringLiteral("The Wizard changes the account \"My Account\". This account appears to be removed."));
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbExclamation + ui::vbOKOnly);
    EXPECT_FALSE(forms::Wizard().isVisible());
    EXPECT_TRUE(ValueNames(kMyAccount).isEmpty());

    ui::ClearShownBoxes();
    StoreAccounts({QStringLiteral("my account")});  // compared exactly
    ui::UnloadAllForms();
    forms::frmMain();
    ui::AnswerNextMessageBox(ui::vbOK);
    EXPECT_EQ(ShowAs([](Wizard&) {}), 0);
    EXPECT_EQ(ui::ShownBoxes().size(), 1u);
}

TEST_F(WizardTest, NobodyToAnswerMeansNoShowing) {
    forms::frmMain();
    ui::ClearShownBoxes();
    ShowWizard();  // no stand-in: the real showing would wait for a user forever
    EXPECT_FALSE(forms::WizardLoaded());
    EXPECT_TRUE(ui::ShownBoxes().empty());
}

TEST(WizardPlacement, StandsLeftOfCentreAndStaysOnTheScreen) {
    EXPECT_EQ(accounts::WizardTopLeft(QSize(1280, 1024), QSize(480, 340)), QPoint(260, 347));
    EXPECT_EQ(accounts::WizardTopLeft(QSize(640, 480), QSize(480, 340)), QPoint(0, 75));
    EXPECT_EQ(accounts::WizardTopLeft(QSize(400, 300), QSize(480, 340)), QPoint(0, 0));
}

}  // namespace
}  // namespace snapwire::testing
