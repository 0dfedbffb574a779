// The unique-filename dialog: previews of the three naming modes, the custom
// pattern and its token buttons, the keep counts, OK and the way in from the
// upload settings window.

#include "accounts/frm_unique.h"
#include "accounts/upload_settings_test.h"
#include "platform/ui/modal_responder_for_tests.h"
#include "windows/frm_help.h"
#include "windows/modal_showing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>

namespace snapwire::testing {
namespace {

const QStringList kNamingValues = {
    QStringLiteral("UniqueAuto"),         QStringLiteral("UniqueCustom"),
    QStringLiteral("UniqueCustomFormat"), QStringLiteral("UniqueDisabled"),
    QStringLiteral("UniqueFTP"),          QStringLiteral("UniqueKeepFTP"),
    QStringLiteral("UniqueKeepLocally"),  QStringLiteral("UniqueLocally"),
};

class UniqueTest : public UploadSettingsTest {
  protected:
    void SetUp() override {
        UploadSettingsTest::SetUp();
        StoreAccounts({"A", "B"});
    }
    // The account window loads first, as in the program: it fills the dialog.
    static frmUnique& Dialog() {
        Window();
        return forms::frmUnique();
    }
    static void Type(QWidget* box, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
    }
    static QStringList NamingValuesOf(const QString& account) {
        QStringList names = ValueNames(account);
        names.removeIf([](const QString& name) { return !kNamingValues.contains(name); });
        return names;
    }
};

TEST_F(UniqueTest, FreshAccountShowsDisabledWithTheBaseNameAndTenToKeep) {
    frmUnique& dialog = Dialog();
    EXPECT_TRUE(dialog.optDisabled->isChecked());
    EXPECT_EQ(dialog.txtKeep->text(), QStringLiteral("10"));
    EXPECT_EQ(dialog.txtKeep2->text(), QStringLiteral("10"));
    EXPECT_EQ(dialog.UpDownKeep->value(), 10);
    EXPECT_EQ(dialog.lblUploads->text(), QStringLiteral("uploads"));
    EXPECT_EQ(dialog.txtCustomFormat->text(), QStringLiteral("%N%YYYY%TT%DD_%HH%MM%SS"));
    EXPECT_FALSE(dialog.windowFlags().testFlag(Qt::WindowCloseButtonHint));

    dialog.show();
    EXPECT_EQ(dialog.txtPreview->text(), QStringLiteral("webcam.jpg"));
    EXPECT_FALSE(dialog.close());  // only OK leaves it
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_TRUE(NamingValuesOf("A").isEmpty());  // nothing is stored before OK
}

TEST_F(UniqueTest, EachModeShowsTheNameItGives) {
    frmUnique& dialog = Dialog();
    Window().txtFilename->setText(QStringLiteral("cam%D"));
    dialog.txtCustomFormat->setText(QStringLiteral("%N_%HH"));

    dialog.optAuto->setChecked(true);
    EXPECT_EQ(dialog.txtPreview->text(), QStringLiteral("cam%D1.jpg"));  // whatever the counts
    dialog.optCustom->setChecked(true);
    EXPECT_EQ(dialog.txtPreview->text(), QStringLiteral("cam22_14.jpg"));
    dialog.optDisabled->setChecked(true);
    EXPECT_EQ(dialog.txtPreview->text(), QStringLiteral("cam%D.jpg"));

    // The numbered preview follows the server count's arrows; the local one's do nothing.
    dialog.optAuto->setChecked(true);
    Window().txtFilename->setText(QStringLiteral("pic"));
    dialog.UpDownKeep2->stepUp();
    EXPECT_EQ(dialog.txtPreview->text(), QStringLiteral("cam%D1.jpg"));
    dialog.UpDownKeep->stepUp();
    EXPECT_EQ(dialog.txtPreview->text(), QStringLiteral("pic1.jpg"));
}

TEST_F(UniqueTest, EditingThePatternChoosesCustomButLoadingItDoesNot) {
    Store("B", "UniqueDisabled", "True");
    Store("B", "UniqueCustomFormat", "%HH%MM");
    frmUnique& dialog = Dialog();
    LoadRow(2);
    EXPECT_TRUE(dialog.optDisabled->isChecked());
    EXPECT_EQ(dialog.txtCustomFormat->text(), QStringLiteral("%HH%MM"));
    dialog.show();
    EXPECT_EQ(dialog.txtPreview->text(), QStringLiteral("webcam.jpg"));

    dialog.txtCustomFormat->setCursorPosition(6);
    Type(dialog.txtCustomFormat, QStringLiteral("x"));
    EXPECT_TRUE(dialog.optCustom->isChecked());
    EXPECT_FALSE(dialog.optDisabled->isChecked());
    EXPECT_EQ(dialog.txtPreview->text(), QStringLiteral("1430x.jpg"));

    // The preview is a snapshot of the edit: it does not follow the clock.
    const ScopedClockForTests later(QDateTime(Moment().date(), QTime(15, 45, 0)));
    EXPECT_EQ(dialog.txtPreview->text(), QStringLiteral("1430x.jpg"));
    Type(dialog.txtCustomFormat, QStringLiteral("y"));
    EXPECT_EQ(dialog.txtPreview->text(), QStringLiteral("1545xy.jpg"));
}

TEST_F(UniqueTest, TokenButtonsInsertAtTheCaretAndChooseCustom) {
    frmUnique& dialog = Dialog();
    QLineEdit* box = dialog.txtCustomFormat;
    box->setText(QStringLiteral("%N_%HH"));
    box->setCursorPosition(2);
    dialog.cmdDay->click();
    EXPECT_EQ(box->text(), QStringLiteral("%N%DD_%HH"));
    EXPECT_EQ(box->cursorPosition(), 5);
    EXPECT_TRUE(dialog.optCustom->isChecked());
    EXPECT_EQ(dialog.txtPreview->text(), QStringLiteral("webcam22_14.jpg"));

    // A selection is not replaced: the token goes in front of it, whichever way it was made.
    box->selectAll();
    dialog.cmdName->click();
    EXPECT_EQ(box->text(), QStringLiteral("%N%N%DD_%HH"));
    EXPECT_EQ(box->cursorPosition(), 2);
    box->setSelection(box->text().size(), -4);  // made backwards from the end
    dialog.cmdAMPM->click();
    EXPECT_EQ(box->text(), QStringLiteral("%N%N%DD%A_%HH"));

    const std::pair<QPushButton*, QString> tokens[] = {
        {dialog.cmdYear, QStringLiteral("%YYYY")}, {dialog.cmdMonth, QStringLiteral("%TT")},
        {dialog.cmdHour, QStringLiteral("%HH")},   {dialog.cmdMinute, QStringLiteral("%MM")},
        {dialog.cmdSecond, QStringLiteral("%SS")}, {dialog.cmdWeekday, QStringLiteral("%W")},
    };
    for (const auto& [button, token] : tokens) {
        box->clear();
        button->click();
        EXPECT_EQ(box->text(), token) << button->text().toStdString();
        EXPECT_EQ(box->cursorPosition(), token.size()) << button->text().toStdString();
    }
}

TEST_F(UniqueTest, KeepCountsNeverStayEmptyOrOutOfRange) {
    frmUnique& dialog = Dialog();
    QLineEdit* box = dialog.txtKeep;
    box->clear();
    EXPECT_EQ(box->text(), QStringLiteral("10"));
    box->setText(QStringLiteral("7"));
    box->setText(QStringLiteral("abc"));
    EXPECT_EQ(box->text(), QStringLiteral("7"));  // back to the arrows' position
    box->setText(QStringLiteral("-5"));
    EXPECT_EQ(box->text(), QStringLiteral("0"));
    EXPECT_EQ(dialog.UpDownKeep->value(), 0);
    box->setText(QStringLiteral("1e5"));
    EXPECT_EQ(box->text(), QStringLiteral("9999"));
    EXPECT_EQ(dialog.UpDownKeep->value(), 9999);

    // A fraction stays as typed; the arrows take the nearest number, a half the even one.
    box->setText(QStringLiteral("2.5"));
    EXPECT_EQ(box->text(), QStringLiteral("2.5"));
    EXPECT_EQ(dialog.UpDownKeep->value(), 2);
    box->setText(QStringLiteral("3.5"));
    EXPECT_EQ(dialog.UpDownKeep->value(), 4);
    dialog.UpDownKeep->stepUp();
    EXPECT_EQ(box->text(), QStringLiteral("5"));

    box->setText(QStringLiteral("1"));
    EXPECT_EQ(dialog.lblUploads->text(), QStringLiteral("upload"));
    box->setText(QStringLiteral("12"));
    EXPECT_EQ(dialog.lblUploads->text(), QStringLiteral("uploads"));

    // The local count has its own arrows, and its label never changes.
    dialog.txtKeep2->setText(QStringLiteral("1"));
    dialog.txtKeep2->clear();
    EXPECT_EQ(dialog.txtKeep2->text(), QStringLiteral("1"));
    EXPECT_EQ(dialog.lblLocals->text(), QStringLiteral("locally"));
    EXPECT_EQ(dialog.UpDownKeep->value(), 12);
}

TEST_F(UniqueTest, AMissingCountPutsBackThePositionOfTheAccountLoadedBefore) {
    Store("A", "UniqueKeepFTP", "25");
    frmUnique& dialog = Dialog();
    EXPECT_EQ(dialog.txtKeep->text(), QStringLiteral("25"));
    EXPECT_EQ(dialog.txtKeep2->text(), QStringLiteral("10"));
    LoadRow(2);
    EXPECT_EQ(dialog.txtKeep->text(), QStringLiteral("25"));
    EXPECT_TRUE(NamingValuesOf("B").isEmpty());
}

TEST_F(UniqueTest, OKStoresTheEightValuesIntoTheSelectedAccountOnly) {
    frmUnique& dialog = Dialog();
    LoadRow(2);
    dialog.show();
    dialog.optAuto->setChecked(true);
    ui::SetCheckValue(dialog.chkFTP, 1);
    dialog.txtKeep->setText(QStringLiteral("2.5"));
    dialog.txtKeep2->setText(QStringLiteral("3"));
    dialog.txtCustomFormat->setText(QStringLiteral("x%HH"));
    dialog.cmdOK->click();

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(NamingValuesOf("B"), kNamingValues);
    EXPECT_EQ(Stored("B", "UniqueDisabled"), QStringLiteral("False"));
    EXPECT_EQ(Stored("B", "UniqueAuto"), QStringLiteral("True"));
    EXPECT_EQ(Stored("B", "UniqueFTP"), QStringLiteral("1"));
    EXPECT_EQ(Stored("B", "UniqueLocally"), QStringLiteral("0"));
    EXPECT_EQ(Stored("B", "UniqueKeepFTP"), QStringLiteral("2.5"));
    EXPECT_EQ(Stored("B", "UniqueKeepLocally"), QStringLiteral("3"));
    EXPECT_EQ(Stored("B", "UniqueCustom"), QStringLiteral("False"));
    EXPECT_EQ(Stored("B", "UniqueCustomFormat"), QStringLiteral("x%HH"));
    EXPECT_TRUE(NamingValuesOf("A").isEmpty());

    // The stored settings come back with the account.
    LoadRow(1);
    EXPECT_TRUE(dialog.optDisabled->isChecked());
    LoadRow(2);
    EXPECT_TRUE(dialog.optAuto->isChecked());
    EXPECT_EQ(ui::CheckValue(dialog.chkFTP), 1);
    EXPECT_EQ(dialog.txtKeep->text(), QStringLiteral("2.5"));
    EXPECT_EQ(dialog.txtCustomFormat->text(), QStringLiteral("x%HH"));
}

TEST_F(UniqueTest, OKWithoutASelectedAccountStoresNothingAndHides) {
    frmUnique& dialog = Dialog();
    Window().ftps->clearSelection();
    dialog.show();
    dialog.optCustom->setChecked(true);
    dialog.cmdOK->click();
    EXPECT_FALSE(dialog.isVisible());
    for (const char* account : {"", "A", "B"}) EXPECT_TRUE(NamingValuesOf(account).isEmpty()) << account;
}

TEST_F(UniqueTest, TheAccountWindowOpensItModallyUntilOK) {
    frmUploadSettings& window = Window();
    ASSERT_TRUE(window.cmdUnique->isEnabled());
    bool stayedOpen = false;
    QString preview;
    ui::testing::RespondToNextModal<frmUnique>([&](frmUnique* shown) {
        ui::testing::PressKey(shown, Qt::Key_Escape);
        shown->close();
        stayedOpen = shown->isVisible();
        preview = shown->txtPreview->text();
        shown->cmdName->click();
        shown->cmdOK->click();
    });
    window.cmdUnique->click();
    EXPECT_TRUE(stayedOpen);
    EXPECT_EQ(preview, QStringLiteral("webcam.jpg"));
    EXPECT_FALSE(forms::frmUnique().isVisible());
    EXPECT_EQ(Stored("A", "UniqueCustom"), QStringLiteral("True"));
    EXPECT_EQ(Stored("A", "UniqueCustomFormat"), QStringLiteral("%N%YYYY%TT%DD_%HH%MM%SS%N"));
}

TEST_F(UniqueTest, HelpShowsItsTopicInTheHelpWindow) {
    frmUnique& dialog = Dialog();
    dialog.show();
    QString shownKey;
    SetModalShowingForTests([&shownKey](QDialog& window) {
        if (auto* help = dynamic_cast<frmHelp*>(&window))
            shownKey = help->SelectedKey();
    });
    dialog.cmdHelp->click();
    SetModalShowingForTests({});
    EXPECT_EQ(shownKey, QStringLiteral("unique_filenames"));
    EXPECT_TRUE(dialog.isVisible());
}

}  // namespace
}  // namespace snapwire::testing
