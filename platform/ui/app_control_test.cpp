#include "platform/ui/app_control.h"

#include <gtest/gtest.h>

#include <QDialog>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QWidget>
#include <cstdio>

#include "platform/ui/modal_responder_for_tests.h"

namespace snapwire::ui {
namespace {

using testing::PressKey;

TEST(DisableCloseButtonTest, WindowIgnoresCloseAndEscapeButHides) {
    QWidget window;
    DisableCloseButton(&window);
    window.show();
    EXPECT_FALSE(window.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_TRUE(window.windowFlags().testFlag(Qt::WindowTitleHint));

    EXPECT_FALSE(window.close());
    PressKey(&window, Qt::Key_Escape);
    EXPECT_TRUE(window.isVisible());

    window.hide();
    EXPECT_FALSE(window.isVisible());
}

TEST(DisableCloseButtonTest, DialogIsNotRejectedByEscapeFromAChildButItsButtonsStillWork) {
    QDialog dialog;
    auto* edit = new QLineEdit(&dialog);
    (new QVBoxLayout(&dialog))->addWidget(edit);
    DisableCloseButton(&dialog);
    dialog.show();
    edit->setFocus();

    PressKey(edit, Qt::Key_Escape);  // unhandled by the edit, it travels up to the dialog
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.close());
    EXPECT_TRUE(dialog.isVisible());

    dialog.accept();  // what an OK button does
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    dialog.show();
    dialog.reject();  // what a Cancel button does
    EXPECT_FALSE(dialog.isVisible());
}

TEST(DisableCloseButtonTest, ModalDialogRunsUntilItsOwnButtonAndCanBeDisabledTwice) {
    QDialog dialog;
    DisableCloseButton(&dialog);
    DisableCloseButton(&dialog);
    int escapesIgnored = 0;
    testing::RespondToNextModal<QDialog>([&](QDialog* shown) {
        PressKey(shown, Qt::Key_Escape);
        shown->close();
        escapesIgnored = shown->isVisible() ? 1 : 0;
        shown->done(42);
    });
    EXPECT_EQ(dialog.exec(), 42);
    EXPECT_EQ(escapesIgnored, 1);
}

TEST(DisableCloseButtonTest, VisibleWindowStaysVisible) {
    QWidget window;
    window.show();
    DisableCloseButton(&window);
    EXPECT_TRUE(window.isVisible());
}

TEST(OnTopTest, SwitchesTheTopmostHintAndKeepsVisibility) {
    QWidget shown;
    shown.show();
    OnTop(&shown);
    EXPECT_TRUE(shown.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(shown.isVisible());
    NOTOnTop(&shown);
    EXPECT_FALSE(shown.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(shown.isVisible());

    QWidget hidden;
    OnTop(&hidden);
    EXPECT_TRUE(hidden.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_FALSE(hidden.isVisible());
}

TEST(DoEventsTest, RunsQueuedWork) {
    bool ran = false;
    QMetaObject::invokeMethod(
        qApp, [&ran] { ran = true; }, Qt::QueuedConnection);
    DoEvents();
    EXPECT_TRUE(ran);
}

class EndProgramTest : public ::testing::Test {
  protected:
    void TearDown() override { SetEndProgramHandlerForTests({}); }
};

TEST_F(EndProgramTest, TestHandlerGetsTheCodeAndTheCallerDoesNotGoOn) {
    int seenCode = -1;
    SetEndProgramHandlerForTests([&](int code) { seenCode = code; });
    bool wentOn = false;
    try {
        EndProgram(3);
        wentOn = true;
    } catch (const ProgramEnded& ended) {
        EXPECT_EQ(ended.exitCode, 3);
    }
    EXPECT_FALSE(wentOn);
    EXPECT_EQ(seenCode, 3);
}

TEST_F(EndProgramTest, RealEndingFlushesOutputAndExitsWithTheCode) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            static char buffer[4096];
            std::setvbuf(stderr, buffer, _IOFBF, sizeof buffer);
            std::fputs("still buffered", stderr);
            EndProgram(7);
        },
        ::testing::ExitedWithCode(7), "still buffered");
}

}  // namespace
}  // namespace snapwire::ui
