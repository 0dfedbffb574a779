#include "engine/start_up.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QCheckBox>
#include <QMenu>

#include "engine/frm_main.h"
#include "engine/main_toolbar.h"
#include "engine/main_window_test_fixture.h"
#include "options/prco_form.h"
#include "platform/ui/app_control.h"
#include "platform/ui/forms.h"

namespace snapwire {
namespace {

using testing::MainWindowTest;

TEST_F(MainWindowTest, StartUpWithTheTrayShowsTheHideInTrayItems) {
    SetTrayAvailableForTests(true);
    forms::StartUp();
    frmMain& window = forms::frmMain();

    EXPECT_TRUE(forms::StartUp().isHidden());
    EXPECT_FALSE(forms::StartUp().windowIcon().pixmap(16, 16).isNull());  // the program icon is built in
    EXPECT_TRUE(window.systray->isVisible());
    EXPECT_TRUE(window.mnuPhis->isVisible());
    EXPECT_TRUE(window.Toolbar1->ButtonVisible(11));
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowTest, StartUpWithTheTrayOptionOffHidesTheHideInTrayItems) {
    Store("Systray", QStringLiteral("1"));
    SetTrayAvailableForTests(true);
    forms::StartUp();
    frmMain& window = forms::frmMain();

    EXPECT_FALSE(window.systray->isVisible());
    EXPECT_FALSE(window.mnuPhis->isVisible());
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(11));
    EXPECT_FALSE(forms::StartUp().TrayIconShown());
}

TEST_F(MainWindowTest, StartUpWithoutADesktopTrayBehavesAsWithTheTrayOff) {
    SetTrayAvailableForTests(false);
    forms::StartUp();
    frmMain& window = forms::frmMain();

    EXPECT_FALSE(window.systray->isVisible());
    EXPECT_FALSE(window.mnuPhis->isVisible());
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(11));
}

TEST_F(MainWindowTest, HiddenButtonElevenStaysHiddenWhenTheTrayComesOn) {
    StoreNotFirstRun();
    Store("TBHideInSystray", QStringLiteral("False"));
    SetTrayAvailableForTests(true);
    forms::StartUp();
    frmMain& window = forms::frmMain();

    EXPECT_TRUE(window.mnuPhis->isVisible());
    EXPECT_FALSE(window.mnuPhis->isChecked());
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(11));
}

TEST_F(MainWindowTest, StartingMinimisedStaysInTheTrayOnlyWhereThereIsOne) {
    Store("Min", QStringLiteral("1"));
    SetTrayAvailableForTests(true);
    forms::StartUp();
    EXPECT_FALSE(forms::frmMain().isVisible());
    ui::UnloadAllForms();

    SetTrayAvailableForTests(false);
    forms::StartUp();
    EXPECT_TRUE(forms::frmMain().isVisible());
}

TEST_F(MainWindowTest, VisualStyleOptionStaysAvailable) {
    forms::StartUp();
    EXPECT_TRUE(forms::prcoForm().chkXPStyle->isEnabled());
}

TEST_F(MainWindowTest, TrayMenuOpensTheWindowAndEndsTheProgram) {
    SetTrayAvailableForTests(true);
    StartUp& startUp = forms::StartUp();
    frmMain& window = forms::frmMain();
    EXPECT_EQ(startUp.mnuPopup->defaultAction(), startUp.mnuOpen);
    for (QAction* item :
         {startUp.upload_now, startUp.mnuLast, startUp.mnuUploadLog, startUp.mnuMotionLog, startUp.mnuFTPLog})
        EXPECT_TRUE(item->isEnabled());

    window.close();
    ASSERT_FALSE(window.isVisible());
    startUp.Tray_DoubleClick();
    EXPECT_TRUE(window.isVisible());

    window.close();
    SetPopupMenuHandlerForTests([&](QMenu* menu) {
        EXPECT_EQ(menu, startUp.mnuPopup);
        startUp.mnuOpen->trigger();
    });
    startUp.Tray_ContextMenu(QPoint(10, 10));
    EXPECT_TRUE(window.isVisible());

    window.SetHeightTwips(7000);
    EXPECT_THROW(startUp.mnuClose->trigger(), ui::ProgramEnded);
    EXPECT_EQ(programEnds().size(), 1u);
    EXPECT_EQ(Stored("Height"), QStringLiteral("7000"));
}

TEST_F(MainWindowTest, TrayExitSavesTheSizeOfAWindowHiddenInTheTray) {
    SetTrayAvailableForTests(true);
    StartUp& startUp = forms::StartUp();
    frmMain& window = forms::frmMain();
    window.SetWidthTwips(7500);
    window.close();
    ASSERT_FALSE(window.isVisible());
    Store("Width", QString());

    EXPECT_THROW(startUp.mnuClose->trigger(), ui::ProgramEnded);
    EXPECT_EQ(programEnds().size(), 1u);
    EXPECT_EQ(Stored("Width"), QStringLiteral("7500"));
}

}  // namespace
}  // namespace snapwire
