#include "platform/ui/message_box.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QInputDialog>
#include <QMessageBox>
#include <QPushButton>
#include <set>

#include "platform/ui/modal_responder_for_tests.h"

namespace snapwire::ui {
namespace {

using testing::PressKey;
using testing::RespondToNextModal;

class MessageBoxTest : public ::testing::Test {
  protected:
    void SetUp() override { ResetMessageBoxesForTests(); }
    void TearDown() override { ResetMessageBoxesForTests(); }
};

int ResultOf(const QAbstractButton* button) {
    return button ? button->property("snapwireBoxResult").toInt() : -1;
}

std::set<int> ResultsOfButtons(const QMessageBox& box) {
    std::set<int> results;
    for (QAbstractButton* button : box.buttons()) results.insert(ResultOf(button));
    return results;
}

TEST_F(MessageBoxTest, StyleGivesButtonsIconAndDefaultButton) {
    struct Case {
        int style;
        std::set<int> buttons;
        QMessageBox::Icon icon;
        int defaultResult;
    };
    const Case cases[] = {
        {vbOKOnly, {vbOK}, QMessageBox::NoIcon, vbOK},
        {vbOKCancel + vbQuestion, {vbOK, vbCancel}, QMessageBox::Question, vbOK},
        {vbAbortRetryIgnore + vbCritical + vbDefaultButton3,
         {vbAbort, vbRetry, vbIgnore},
         QMessageBox::Critical,
         vbIgnore},
        {vbYesNoCancel + vbInformation + vbDefaultButton2,
         {vbYes, vbNo, vbCancel},
         QMessageBox::Information,
         vbNo},
        {vbYesNo + vbExclamation + vbDefaultButton2, {vbYes, vbNo}, QMessageBox::Warning, vbNo},
        {vbRetryCancel, {vbRetry, vbCancel}, QMessageBox::NoIcon, vbRetry},
        // A default button the box does not have falls back to the first.
        {vbYesNo + vbDefaultButton3, {vbYes, vbNo}, QMessageBox::NoIcon, vbYes},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.style);
        const auto box = detail::BuildMessageBox("text", c.style, QString(), nullptr);
        EXPECT_EQ(ResultsOfButtons(*box), c.buttons);
        EXPECT_EQ(box->icon(), c.icon);
        EXPECT_EQ(ResultOf(box->defaultButton()), c.defaultResult);
        EXPECT_EQ(detail::DefaultButtonResult(c.style), c.defaultResult);
    }
}

TEST_F(MessageBoxTest, EscapeStandsForCancelOrNoOrTheOnlyButton) {
    EXPECT_EQ(ResultOf(detail::BuildMessageBox("t", vbOKOnly, {}, nullptr)->escapeButton()), vbOK);
    EXPECT_EQ(ResultOf(detail::BuildMessageBox("t", vbOKCancel, {}, nullptr)->escapeButton()), vbCancel);
    EXPECT_EQ(ResultOf(detail::BuildMessageBox("t", vbYesNoCancel, {}, nullptr)->escapeButton()), vbCancel);
    EXPECT_EQ(ResultOf(detail::BuildMessageBox("t", vbYesNo, {}, nullptr)->escapeButton()), vbNo);
    EXPECT_EQ(ResultOf(detail::BuildMessageBox("t", vbRetryCancel, {}, nullptr)->escapeButton()), vbCancel);
}

TEST_F(MessageBoxTest, AbortRetryIgnoreCannotBeEscapedOrClosed) {
    const auto box = detail::BuildMessageBox("t", vbAbortRetryIgnore, {}, nullptr);
    box->show();
    PressKey(box.get(), Qt::Key_Escape);
    EXPECT_TRUE(box->isVisible());
    EXPECT_FALSE(box->close());
    EXPECT_TRUE(box->isVisible());
    EXPECT_EQ(box->clickedButton(), nullptr);
}

TEST_F(MessageBoxTest, TextShowsALoneCrAsALineBreakAndStaysPlain) {
    EXPECT_EQ(detail::LineBreaksForDisplay("Remove this \rAccount"), "Remove this \nAccount");
    EXPECT_EQ(detail::LineBreaksForDisplay("a\r\nb"), "a\nb");
    EXPECT_EQ(detail::LineBreaksForDisplay("exist\r\rOverwrite?"), "exist\n\nOverwrite?");
    EXPECT_EQ(detail::LineBreaksForDisplay("a\nb"), "a\nb");

    const auto box = detail::BuildMessageBox("<b>x</b>\ry", vbOKOnly, QString(), nullptr);
    EXPECT_EQ(box->text(), "<b>x</b>\ny");
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->windowTitle(), "Snapwire");
    EXPECT_EQ(detail::BuildMessageBox("x", vbOKOnly, "File already exist", nullptr)->windowTitle(),
              "File already exist");
}

TEST_F(MessageBoxTest, QueuedAnswersAreUsedInOrderAndEveryBoxIsRecorded) {
    AnswerNextMessageBox(vbNo);
    AnswerNextMessageBox(vbYes);
    EXPECT_EQ(MsgBox("first", vbYesNo + vbExclamation), vbNo);
    EXPECT_EQ(MsgBox("second", vbYesNo, "Remove 'x'?"), vbYes);
    ASSERT_EQ(ShownBoxes().size(), 2u);
    EXPECT_EQ(ShownBoxes()[0].prompt, "first");
    EXPECT_EQ(ShownBoxes()[0].title, "Snapwire");
    EXPECT_EQ(ShownBoxes()[0].style, vbYesNo + vbExclamation);
    EXPECT_EQ(ShownBoxes()[1].title, "Remove 'x'?");
    EXPECT_FALSE(ShownBoxes()[1].inputBox);
    EXPECT_EQ(UnansweredBoxCount(), 0);
    ClearShownBoxes();
    EXPECT_TRUE(ShownBoxes().empty());
}

TEST_F(MessageBoxTest, UnansweredBoxReturnsItsDefaultButtonAndCountsTheMiss) {
    SetAnsweringForTests(true);
    EXPECT_EQ(MsgBox("Overwrite?", vbYesNo + vbQuestion + vbDefaultButton2), vbNo);
    EXPECT_EQ(MsgBox("Sure?", vbOKCancel), vbOK);
    EXPECT_EQ(UnansweredBoxCount(), 2);
    EXPECT_EQ(ShownBoxes().size(), 2u);
}

TEST_F(MessageBoxTest, InputBoxAnswersTellCancelFromEmptyOk) {
    AnswerNextInputBox(std::nullopt);
    AnswerNextInputBox(QString(""));
    AnswerNextInputBox(QString("Garden"));
    EXPECT_EQ(InputBox("Please choose a name for your new Account...", "New Account..."), std::nullopt);
    const std::optional<QString> empty = InputBox("p");
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isEmpty());
    EXPECT_EQ(InputBox("p"), QString("Garden"));
    EXPECT_EQ(InputBox("unanswered"), std::nullopt);
    EXPECT_EQ(UnansweredBoxCount(), 1);
    ASSERT_EQ(ShownBoxes().size(), 4u);
    EXPECT_TRUE(ShownBoxes()[0].inputBox);
    EXPECT_EQ(ShownBoxes()[0].title, "New Account...");
}

// The real boxes, answered through the keyboard while their own loops run.
class RealMessageBoxTest : public MessageBoxTest {
  protected:
    void SetUp() override {
        MessageBoxTest::SetUp();
        SetAnsweringForTests(false);
    }
};

TEST_F(RealMessageBoxTest, EscapeGivesCancelAndEnterGivesTheDefaultButton) {
    RespondToNextModal<QMessageBox>([](QMessageBox* box) { PressKey(box, Qt::Key_Escape); });
    EXPECT_EQ(MsgBox("Picture will now be uploaded", vbOKCancel + vbQuestion), vbCancel);

    RespondToNextModal<QMessageBox>([](QMessageBox* box) { PressKey(box, Qt::Key_Return); });
    EXPECT_EQ(MsgBox("Overwrite?", vbYesNo + vbQuestion + vbDefaultButton2), vbNo);

    RespondToNextModal<QMessageBox>([](QMessageBox* box) { PressKey(box, Qt::Key_Return); });
    EXPECT_EQ(MsgBox("Retry?", vbRetryCancel), vbRetry);
    EXPECT_EQ(UnansweredBoxCount(), 0);
}

TEST_F(RealMessageBoxTest, InputBoxOkWithEmptyTextIsNotACancel) {
    RespondToNextModal<QInputDialog>([](QInputDialog* dialog) {
        EXPECT_EQ(dialog->textValue(), "default");
        EXPECT_EQ(dialog->windowTitle(), "Snapwire");
        dialog->setTextValue(QString());
        dialog->accept();
    });
    const std::optional<QString> empty = InputBox("Name?", QString(), "default");
    ASSERT_TRUE(empty.has_value());
    EXPECT_TRUE(empty->isEmpty());

    RespondToNextModal<QInputDialog>([](QInputDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(InputBox("Name?", "New Account...", "default"), std::nullopt);

    RespondToNextModal<QInputDialog>([](QInputDialog* dialog) { dialog->accept(); });
    EXPECT_EQ(InputBox("Name?", QString(), "kept"), QString("kept"));
}

}  // namespace
}  // namespace snapwire::ui
