// The account list: first start, reading, Add, Remove, OK and what a click on a
// row or on a tick does.

#include "accounts/upload_settings_test.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QMouseEvent>

namespace snapwire::testing {
namespace {

using ListTest = UploadSettingsTest;

void ClickInList(const QPoint& pos, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QWidget* viewport = forms::frmUploadSettings().ftps->viewport();
    const QPointF global = viewport->mapToGlobal(QPointF(pos));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton, Qt::LeftButton,
                      modifiers);
    QApplication::sendEvent(viewport, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton, Qt::NoButton,
                        modifiers);
    QApplication::sendEvent(viewport, &release);
}

TEST_F(ListTest, FirstStartCreatesMyAccountTickedAndSelected) {
    accounts::AccountList* list = Window().ftps;
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->Text(1), QStringLiteral("My Account"));
    EXPECT_TRUE(list->Ticked(1));
    EXPECT_EQ(list->SelectedRow(), 1);
    EXPECT_EQ(Stored(QString(), "Account1"), QStringLiteral("My Account"));
    EXPECT_EQ(Stored("My Account", "Name"), QStringLiteral("My Account"));
    EXPECT_EQ(Stored("My Account", "Enable timestamp"), QStringLiteral("1"));
    EXPECT_EQ(Stored("My Account", "Selected"), QStringLiteral("True"));
    EXPECT_EQ(ui::CheckValue(Window().Check1), 1);  // the account was loaded
}

TEST_F(ListTest, ListEndsAtTheFirstGapAndTicksOnlyTrue) {
    StoreAccounts({"A", "", "C"});
    Store("A", "Selected", "true");  // only the exact word ticks
    accounts::AccountList* list = Window().ftps;
    ASSERT_EQ(list->Count(), 1);
    EXPECT_EQ(list->Text(1), QStringLiteral("A"));
    EXPECT_FALSE(list->Ticked(1));
    EXPECT_EQ(Stored(QString(), "Account3"), QStringLiteral("C"));  // still stored, not shown
}

TEST_F(ListTest, AddTakesTwentyCharactersAndRefusesTwentyOne) {
    StoreAccounts({"A"});
    Store("A", "Host Name/Adress:", "a.example");
    frmUploadSettings& window = Window();

    ui::AnswerNextInputBox(QString(21, QLatin1Char('n')));
    window.cmdAdd_Click();
    ASSERT_EQ(ui::ShownBoxes().size(), 2u);
    EXPECT_EQ(ui::ShownBoxes()[1].prompt, QStringLiteral("Please keep the name shorter than 20 characters"));
    EXPECT_EQ(ui::ShownBoxes()[1].style, ui::vbOKOnly + ui::vbExclamation);
    EXPECT_EQ(window.ftps->Count(), 1);
    EXPECT_TRUE(Stored(QString(), "Account2").isEmpty());

    const QString name(20, QLatin1Char('n'));
    ui::AnswerNextInputBox(name);
    window.cmdAdd_Click();
    ASSERT_EQ(window.ftps->Count(), 2);
    EXPECT_EQ(window.ftps->Text(2), name);
    EXPECT_TRUE(window.ftps->Ticked(2));
    EXPECT_EQ(Stored(QString(), "Account2"), name);
    EXPECT_EQ(Stored(name, "Enable timestamp"), QStringLiteral("1"));
    EXPECT_EQ(Stored(name, "Selected"), QStringLiteral("True"));
    // The new row is not loaded: the controls keep the first account.
    EXPECT_EQ(window.ftps->SelectedRow(), 1);
    EXPECT_EQ(window.txtHostNameAddress->text(), QStringLiteral("a.example"));
}

TEST_F(ListTest, AddRefusesNamesThatWouldShareOrLeaveTheirKey) {
    StoreAccounts({"My Account"});
    qputenv("SNAPWIRE_ADD_TEST", "elsewhere");
    frmUploadSettings& window = Window();
    for (const char* name : {"front\\back", "\\", "MY ACCOUNT", "%SNAPWIRE_ADD_TEST%"}) {
        SCOPED_TRACE(name);
        ui::ClearShownBoxes();
        ui::AnswerNextInputBox(QString::fromLatin1(name));
        window.cmdAdd_Click();
        ASSERT_EQ(ui::ShownBoxes().size(), 2u);  // the input box and the refusal
        EXPECT_EQ(ui::ShownBoxes()[1].style, ui::vbOKOnly + ui::vbExclamation);
        EXPECT_EQ(window.ftps->Count(), 1);
        EXPECT_TRUE(Stored(QString(), "Account2").isEmpty());
    }
    qunsetenv("SNAPWIRE_ADD_TEST");
    EXPECT_EQ(ValueNames(QString()), QStringList{QStringLiteral("Account1")});
}

TEST_F(ListTest, AddCancelledOrEmptyChangesNothing) {
    frmUploadSettings& window = Window();
    ui::AnswerNextInputBox(std::nullopt);
    window.cmdAdd_Click();
    ui::AnswerNextInputBox(QString());
    window.cmdAdd_Click();
    EXPECT_EQ(window.ftps->Count(), 1);
    EXPECT_EQ(ui::ShownBoxes().size(), 2u);  // the two input boxes only
}

TEST_F(ListTest, RemoveOfTheFirstOfThreeRenumbersAndDeletesOnlyThatTree) {
    StoreAccounts({"A", "AB", "C"});
    Store("A", "Host Name/Adress:", "a.example");
    Store("A\\Font", "Font Name", "Courier");
    Store("A\\Additional Text\\1", "Name", "%W");
    Store("AB", "Host Name/Adress:", "ab.example");
    Store("C", "Host Name/Adress:", "c.example");
    frmUploadSettings& window = Window();
    ASSERT_EQ(window.ftps->SelectedRow(), 1);

    ui::AnswerNextMessageBox(ui::vbYes);
    window.cmdRemove_Click();

    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_EQ(ui::ShownBoxes()[0].title, QStringLiteral("Remove 'A'?"));
    EXPECT_EQ(ui::ShownBoxes()[0].prompt,
              QStringLiteral("Are you sure you want to remove this \rAccount and all of its settings."));
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbYesNo + ui::vbExclamation + ui::vbDefaultButton2);

    EXPECT_EQ(window.ftps->Texts(), (QStringList{QStringLiteral("AB"), QStringLiteral("C")}));
    EXPECT_EQ(ValueNames(QString()), (QStringList{QStringLiteral("Account1"), QStringLiteral("Account2")}));
    EXPECT_EQ(Stored(QString(), "Account1"), QStringLiteral("AB"));
    EXPECT_EQ(Stored(QString(), "Account2"), QStringLiteral("C"));
    EXPECT_FALSE(KeyExists(QStringLiteral("A")));
    EXPECT_FALSE(KeyExists(QStringLiteral("A\\Font")));
    EXPECT_FALSE(KeyExists(QStringLiteral("A\\Additional Text\\1")));
    EXPECT_EQ(Stored("AB", "Host Name/Adress:"), QStringLiteral("ab.example"));
    EXPECT_EQ(window.ftps->SelectedRow(), 1);
    EXPECT_EQ(window.txtHostNameAddress->text(), QStringLiteral("ab.example"));
}

TEST_F(ListTest, RemoveAnsweredNoChangesNothing) {
    StoreAccounts({"A", "B"});
    Store("A", "Host Name/Adress:", "a.example");
    frmUploadSettings& window = Window();
    ui::AnswerNextMessageBox(ui::vbNo);
    window.cmdRemove_Click();
    EXPECT_EQ(window.ftps->Count(), 2);
    EXPECT_EQ(Stored(QString(), "Account1"), QStringLiteral("A"));
    EXPECT_EQ(Stored("A", "Host Name/Adress:"), QStringLiteral("a.example"));
}

TEST_F(ListTest, RemovingAStoredBackslashNameLeavesTheProgramKeyAlone) {
    StoreAccounts({"\\", "B"});
    Store(QString(), "Width", "9000");
    Store("B", "Host Name/Adress:", "b.example");
    frmUploadSettings& window = Window();
    ASSERT_EQ(window.ftps->Count(), 2);  // names stored earlier still load

    ui::AnswerNextMessageBox(ui::vbYes);
    window.cmdRemove_Click();
    EXPECT_EQ(window.ftps->Texts(), QStringList{QStringLiteral("B")});
    EXPECT_EQ(Stored(QString(), "Account1"), QStringLiteral("B"));
    EXPECT_EQ(Stored(QString(), "Width"), QStringLiteral("9000"));
    EXPECT_EQ(Stored("B", "Host Name/Adress:"), QStringLiteral("b.example"));
}

TEST_F(ListTest, RemovingTheLastAccountLeavesAnEmptyListAndNoRootValue) {
    frmUploadSettings& window = Window();
    ui::AnswerNextMessageBox(ui::vbYes);
    window.cmdRemove_Click();
    EXPECT_EQ(window.ftps->Count(), 0);
    EXPECT_TRUE(ValueNames(QString()).isEmpty());
    EXPECT_FALSE(KeyExists(QStringLiteral("My Account")));
}

TEST_F(ListTest, SelectingFromCodeOrClickingATickLoadsNothing) {
    StoreAccounts({"A", "B"});
    Store("A", "Host Name/Adress:", "a.example");
    Store("B", "Host Name/Adress:", "b.example");
    frmUploadSettings& window = Window();
    window.show();
    QApplication::processEvents();
    accounts::AccountList* list = window.ftps;

    list->Select(2);
    EXPECT_EQ(window.txtHostNameAddress->text(), QStringLiteral("a.example"));

    list->Select(1);
    const QRect tick = list->TickRect(2);
    ASSERT_FALSE(tick.isEmpty());
    ClickInList(tick.center());
    EXPECT_TRUE(list->Ticked(2));
    EXPECT_EQ(list->SelectedRow(), 1);
    EXPECT_EQ(window.txtHostNameAddress->text(), QStringLiteral("a.example"));

    ClickInList(QPoint(tick.right() + 24, tick.center().y()));  // on the name, beside the tick
    EXPECT_EQ(list->SelectedRow(), 2);
    EXPECT_TRUE(list->Ticked(2));
    EXPECT_EQ(window.txtHostNameAddress->text(), QStringLiteral("b.example"));
}

// Without a selected row every edit would go unstored while the controls still
// hold the account.
TEST_F(ListTest, ClicksBelowTheRowsOrWithCtrlKeepTheSelectedAccount) {
    StoreAccounts({"A", "B"});
    frmUploadSettings& window = Window();
    window.resize(720, 480);
    window.show();
    QApplication::processEvents();
    accounts::AccountList* list = window.ftps;
    ASSERT_EQ(list->SelectedRow(), 1);

    const QPoint belowTheRows(list->TickRect(2).right() + 24, list->viewport()->height() - 4);
    ASSERT_EQ(list->itemAt(belowTheRows), nullptr);
    ClickInList(belowTheRows);
    EXPECT_EQ(list->SelectedRow(), 1);

    const QPoint onRowOne(list->TickRect(1).right() + 24, list->TickRect(1).center().y());
    ClickInList(onRowOne, Qt::ControlModifier);
    EXPECT_EQ(list->SelectedRow(), 1);

    window.txtHostNameAddress->setText(QStringLiteral("a.example"));
    EXPECT_EQ(Stored("A", "Host Name/Adress:"), QStringLiteral("a.example"));
}

TEST_F(ListTest, OkStoresEveryTickAndHides) {
    StoreAccounts({"A", "B"});
    Store("A", "Selected", "True");
    frmUploadSettings& window = Window();
    window.show();
    window.ftps->SetTicked(1, false);
    window.ftps->SetTicked(2, true);
    window.Command1_Click();
    EXPECT_EQ(Stored("A", "Selected"), QStringLiteral("False"));
    EXPECT_EQ(Stored("B", "Selected"), QStringLiteral("True"));
    EXPECT_FALSE(window.isVisible());
}

TEST_F(ListTest, ListColumnsShowHostAndIntervalOfEveryAccount) {
    StoreAccounts({"A", "B"});
    Store("B", "Host Name/Adress:", "b.example");
    Store("B", "Upload image every:", "Week");
    accounts::AccountList* list = Window().ftps;
    EXPECT_EQ(list->topLevelItem(1)->text(1), QStringLiteral("b.example"));
    EXPECT_EQ(list->topLevelItem(1)->text(2), QStringLiteral("Week"));
    EXPECT_EQ(list->topLevelItem(0)->text(2), QStringLiteral("1 minute"));  // written back by A's load
}

}  // namespace
}  // namespace snapwire::testing
