// The timestamp-format dialog: the live sample in the account window, the token
// and standard buttons, OK, its place on the screen and the way in from the
// upload settings window.

#include "accounts/frm_time_format.h"
#include "accounts/upload_settings_test.h"
#include "platform/ui/modal_responder_for_tests.h"
#include "windows/frm_help.h"
#include "windows/modal_showing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>

namespace snapwire::testing {
namespace {

class TimeFormatTest : public UploadSettingsTest {
  protected:
    void SetUp() override {
        UploadSettingsTest::SetUp();
        StoreAccounts({"A", "B"});
    }
    // The account window loads first, as in the program: it fills the dialog.
    static frmTimeFormat& Dialog() {
        Window();
        return forms::frmTimeFormat();
    }
    static QString Sample() { return Window().picUnder->PrintedText(); }
    static void Type(QWidget* box, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
    }
};

TEST_F(TimeFormatTest, TheSampleShowsThePatternOrTheStandardTextForNothing) {
    frmTimeFormat& dialog = Dialog();
    EXPECT_EQ(dialog.txtTimeStamp->text(), QString());  // the account stores no pattern
    EXPECT_EQ(Sample(), GeneralDateText(Moment()));
    dialog.txtTimeStamp->setText(QStringLiteral("%ST"));
    EXPECT_EQ(Sample(), GeneralDateText(Moment()));
    // "%N" is no token of a timestamp.
    dialog.txtTimeStamp->setText(QStringLiteral("%N %W"));
    EXPECT_EQ(Sample(), QStringLiteral("%N Thursday"));
    EXPECT_TRUE(ValueNames("A").filter(QStringLiteral("TimeFormat")).isEmpty());  // not before OK
}

TEST_F(TimeFormatTest, ButtonsAndTypingBuildAPatternWhoseSampleIsASnapshot) {
    frmTimeFormat& dialog = Dialog();
    dialog.cmdHour->click();
    Type(dialog.txtTimeStamp, QStringLiteral(":"));
    dialog.cmdMinute->click();
    EXPECT_EQ(dialog.txtTimeStamp->text(), QStringLiteral("%HH:%MM"));
    EXPECT_EQ(dialog.txtTimeStamp->cursorPosition(), 7);
    EXPECT_EQ(Sample(), QStringLiteral("14:30"));

    const ScopedClockForTests later(QDateTime(QDate(2034, 6, 25), QTime(9, 5, 7)));
    EXPECT_EQ(Sample(), QStringLiteral("14:30"));
    dialog.txtTimeStamp->setCursorPosition(0);
    for (QPushButton* button : {dialog.cmdYear, dialog.cmdMonth, dialog.cmdDay, dialog.cmdSecond,
                                dialog.cmdAMPM, dialog.cmdWeekday})
        button->click();
    EXPECT_EQ(dialog.txtTimeStamp->text(), QStringLiteral("%YYYY%TT%DD%SS%A%W%HH:%MM"));
    EXPECT_EQ(Sample(), QStringLiteral("2034062507AMSunday09:05"));

    // The standard button replaces everything, whatever is selected.
    dialog.txtTimeStamp->setSelection(2, 3);
    dialog.cmdSystemStandard->click();
    EXPECT_EQ(dialog.txtTimeStamp->text(), QStringLiteral("%ST"));
    EXPECT_EQ(Sample(), GeneralDateText(QDateTime(QDate(2034, 6, 25), QTime(9, 5, 7))));
}

TEST_F(TimeFormatTest, OKStoresThePatternAsTypedIntoTheSelectedAccountOnly) {
    frmTimeFormat& dialog = Dialog();
    LoadRow(2);
    const QStringList storedBefore = ValueNames("A");
    dialog.show();
    dialog.txtTimeStamp->setText(QStringLiteral(" %HH h "));
    dialog.cmdOK->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Stored("B", "TimeFormat"), QStringLiteral(" %HH h "));
    EXPECT_EQ(ValueNames("A"), storedBefore);

    // An emptied box is stored empty; the pictures then carry the standard text.
    dialog.show();
    dialog.txtTimeStamp->clear();
    dialog.cmdOK->click();
    EXPECT_TRUE(ValueNames("B").contains(QStringLiteral("TimeFormat")));
    EXPECT_EQ(Stored("B", "TimeFormat"), QString());

    LoadRow(1);
    Store("B", "TimeFormat", "%DD");
    LoadRow(2);
    EXPECT_EQ(dialog.txtTimeStamp->text(), QStringLiteral("%DD"));
    EXPECT_EQ(Sample(), QStringLiteral("22"));
}

TEST_F(TimeFormatTest, OKWithoutASelectedAccountStoresNothingAndHides) {
    frmTimeFormat& dialog = Dialog();
    Window().ftps->clearSelection();
    dialog.show();
    dialog.txtTimeStamp->setText(QStringLiteral("%HH"));
    dialog.cmdOK->click();
    EXPECT_FALSE(dialog.isVisible());
    for (const char* account : {"", "A", "B"})
        EXPECT_FALSE(ValueNames(account).contains(QStringLiteral("TimeFormat"))) << account;
}

// Centred across the screen, a little below its middle, every time it opens,
// unless the user moves it.
TEST_F(TimeFormatTest, TheAccountWindowOpensItModallyAtItsPlaceUntilOK) {
    frmUploadSettings& window = Window();
    ASSERT_TRUE(window.cmdTimeFormat->isEnabled());
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    QRect shownAt;
    bool stayedOpen = false;
    const auto respond = [&](frmTimeFormat* shown) {
        shown->close();
        ui::testing::PressKey(shown, Qt::Key_Escape);
        stayedOpen = shown->isVisible();
        shownAt = shown->frameGeometry();
        shown->cmdDay->click();
        shown->cmdOK->click();
    };
    ui::testing::RespondToNextModal<frmTimeFormat>(respond);
    window.cmdTimeFormat->click();
    EXPECT_TRUE(stayedOpen);
    EXPECT_FALSE(forms::frmTimeFormat().isVisible());
    EXPECT_EQ(Stored("A", "TimeFormat"), QStringLiteral("%DD"));
    EXPECT_NEAR(shownAt.center().x(), screen.center().x(), 1);
    EXPECT_NEAR(shownAt.center().y(), screen.center().y() + 173, 1);  // 2600 twips

    const QRect firstPlace = shownAt;
    ui::testing::RespondToNextModal<frmTimeFormat>(respond);
    window.cmdTimeFormat->click();
    EXPECT_EQ(shownAt, firstPlace);

    forms::frmTimeFormat().move(10, 20);
    ui::testing::RespondToNextModal<frmTimeFormat>(respond);
    window.cmdTimeFormat->click();
    EXPECT_EQ(shownAt.topLeft(), QPoint(10, 20));
}

TEST_F(TimeFormatTest, HelpShowsItsTopicInTheHelpWindow) {
    frmTimeFormat& dialog = Dialog();
    dialog.show();
    QString shownKey;
    SetModalShowingForTests([&shownKey](QDialog& window) {
        if (auto* help = dynamic_cast<frmHelp*>(&window))
            shownKey = help->SelectedKey();
    });
    dialog.cmdHelp->click();
    SetModalShowingForTests({});
    EXPECT_EQ(shownKey, QStringLiteral("time_format"));
    EXPECT_TRUE(dialog.isVisible());
}

}  // namespace
}  // namespace snapwire::testing
