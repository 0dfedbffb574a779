// The page controls: the interval list and seconds box, the key filter, folder
// clean-up, the timestamp style dialogs, the motion controls and the enabling rules.

#include "accounts/upload_settings_test.h"
#include "engine/frm_main.h"
#include "engine/picture_box.h"
#include "platform/capture/capture_control.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>

namespace snapwire::testing {
namespace {

class PagesTest : public UploadSettingsTest {
  protected:
    void SetUp() override {
        UploadSettingsTest::SetUp();
        StoreAccounts({"A", "B"});
        Store("B", "Host Name/Adress:", "b.example");
    }
    static void Choose(const char* label) {
        QComboBox* combo = Window().Combo;
        combo->setCurrentIndex(combo->findText(QString::fromLatin1(label)));
    }
    static void Type(QWidget* box, const QString& text) {
        for (QChar c : text) {
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
            QApplication::sendEvent(box, &press);
        }
    }
    static void LeaveBox(QWidget* box, Qt::FocusReason reason = Qt::TabFocusReason) {
        QFocusEvent out(QEvent::FocusOut, reason);
        QApplication::sendEvent(box, &out);
    }
};

TEST_F(PagesTest, ChoosingAnIntervalFillsTheSecondsBoxAndStoresBoth) {
    frmUploadSettings& window = Window();
    Choose("5 minutes");
    EXPECT_EQ(window.txtmSec->text(), QStringLiteral("300"));
    EXPECT_EQ(Stored("A", "Upload image every:"), QStringLiteral("5 minutes"));
    EXPECT_EQ(Stored("A", "Custom"), QStringLiteral("300"));

    Choose("Never");
    EXPECT_EQ(window.txtmSec->text(), QString());
    EXPECT_EQ(Stored("A", "Custom"), QString());

    Choose("Week");
    Choose("Custom");  // keeps the seconds
    EXPECT_EQ(window.txtmSec->text(), QStringLiteral("604800"));
    EXPECT_EQ(Stored("A", "Upload image every:"), QStringLiteral("Custom"));
    EXPECT_FALSE(ValueNames("B").contains(QStringLiteral("Custom")));
}

TEST_F(PagesTest, TheSecondsBoxChoosesTheIntervalItNames) {
    frmUploadSettings& window = Window();
    window.txtmSec->setText(QStringLiteral("45"));
    EXPECT_EQ(window.Combo->currentText(), QStringLiteral("Custom"));
    EXPECT_EQ(Stored("A", "Custom"), QStringLiteral("45"));
    EXPECT_EQ(Stored("A", "Upload image every:"), QStringLiteral("Custom"));

    window.txtmSec->setText(QStringLiteral("3600"));
    EXPECT_EQ(window.Combo->currentText(), QStringLiteral("1 hour"));

    window.txtmSec->setText(QString());
    EXPECT_EQ(window.Combo->currentText(), QStringLiteral("Never"));

    window.txtmSec->setText(QStringLiteral("1"));
    EXPECT_EQ(window.Combo->currentText(), QStringLiteral("Never"));
    EXPECT_EQ(window.lblmSec->text(), QStringLiteral("Second"));
    EXPECT_EQ(Stored("A", "Custom"), QStringLiteral("1"));
    window.txtmSec->setText(QStringLiteral("10"));
    EXPECT_EQ(window.Combo->currentText(), QStringLiteral("10 seconds"));
    EXPECT_EQ(window.lblmSec->text(), QStringLiteral("Second"));

    window.txtmSec->setText(QStringLiteral("00"));
    EXPECT_EQ(window.Combo->currentText(), QStringLiteral("Constantly"));
    EXPECT_EQ(window.lblmSec->text(), QStringLiteral("Seconds"));

    window.txtmSec->setText(QStringLiteral("010"));
    EXPECT_EQ(window.Combo->currentText(), QStringLiteral("Custom"));
    EXPECT_EQ(window.txtmSec->text(), QStringLiteral("010"));
    EXPECT_EQ(Stored("A", "Custom"), QStringLiteral("010"));
}

TEST_F(PagesTest, OnlyDigitsReachTheSecondsBox) {
    frmUploadSettings& window = Window();
    window.txtmSec->clear();
    Type(window.txtmSec, QStringLiteral("4a-5"));
    EXPECT_EQ(window.txtmSec->text(), QStringLiteral("45"));

    QApplication::clipboard()->setText(QStringLiteral("1 2x0"));
    window.txtmSec->clear();
    window.txtmSec->paste();
    EXPECT_EQ(window.txtmSec->text(), QStringLiteral("120"));
    EXPECT_EQ(window.Combo->currentText(), QStringLiteral("2 minutes"));
    EXPECT_EQ(Stored("A", "Custom"), QStringLiteral("120"));
}

TEST_F(PagesTest, LeavingTheFolderBoxesTrimsTheirSeparators) {
    frmUploadSettings& window = Window();
    window.txtFolder->setText(QStringLiteral("\\pics\\"));
    LeaveBox(window.txtFolder);
    EXPECT_EQ(window.txtFolder->text(), QStringLiteral("pics"));
    EXPECT_EQ(Stored("A", "Initial Remote Site Folder:"), QStringLiteral("pics"));
    window.txtFolder->setText(QStringLiteral("//"));
    LeaveBox(window.txtFolder);
    EXPECT_EQ(Stored("A", "Initial Remote Site Folder:"), QString());

    window.txtLocallySource->setText(QStringLiteral("/home/me/pics/"));
    LeaveBox(window.txtLocallySource);
    EXPECT_EQ(Stored("A", "LocallySource"), QStringLiteral("/home/me/pics"));
    window.txtLocallySource->setText(QStringLiteral("/"));
    LeaveBox(window.txtLocallySource);
    EXPECT_EQ(Stored("A", "LocallySource"), QStringLiteral("/"));

    // A context menu or another window is no leaving: the user is still typing.
    window.txtFolder->setText(QStringLiteral("/pub/"));
    LeaveBox(window.txtFolder, Qt::PopupFocusReason);
    LeaveBox(window.txtFolder, Qt::ActiveWindowFocusReason);
    EXPECT_EQ(window.txtFolder->text(), QStringLiteral("/pub/"));
    LeaveBox(window.txtFolder, Qt::MouseFocusReason);
    EXPECT_EQ(Stored("A", "Initial Remote Site Folder:"), QStringLiteral("pub"));

    // OK by its access key leaves the focus in the box, and OK leaves it; a click on OK
    // leaves the box once.
    window.show();
    window.txtFolder->setText(QStringLiteral("/cam/"));
    ASSERT_TRUE(FocusOn(window.txtFolder));
    window.Command1_Click();
    EXPECT_EQ(Stored("A", "Initial Remote Site Folder:"), QStringLiteral("cam"));
    window.show();
    LoadRow(1);
    window.TabStripFTP->setCurrentIndex(1);
    window.txtLocallySource->setText(QStringLiteral("/srv/cam/"));
    ASSERT_TRUE(FocusOn(window.txtLocallySource));
    Type(window.txtLocallySource, QStringLiteral("/"));
    ClickWithTheMouse(window.Command1);
    EXPECT_EQ(Stored("A", "LocallySource"), QStringLiteral("/srv/cam/"));
}

// Loading another account and back, as motion detection does, and OK keep values
// holding environment references, here one that expands to nothing.
TEST_F(PagesTest, LoadingAndOkKeepValuesThatHoldEnvironmentReferences) {
    qputenv("SNAPWIRE_PAGES_DIR", "");
    Store("A", "Host Name/Adress:", "%SNAPWIRE_PAGES_DIR%");
    Store("A", "LocallySource", "%SNAPWIRE_PAGES_DIR%/pics/");
    LoadRow(2);
    LoadRow(1);
    Window().Command1_Click();
    qputenv("SNAPWIRE_PAGES_DIR", "/srv");
    EXPECT_EQ(Stored("A", "Host Name/Adress:"), QStringLiteral("/srv"));
    EXPECT_EQ(Stored("A", "LocallySource"), QStringLiteral("/srv/pics/"));
    qunsetenv("SNAPWIRE_PAGES_DIR");
}

// The timestamp colours store nothing when cancelled; the motion colour dialog
// opens with the colour in use and stores it again.
TEST_F(PagesTest, CancelledColourDialogsChangeNoColour) {
    frmUploadSettings& window = Window();
    ui::AnswerNextColorDialog(std::nullopt);
    window.Command4_Click();
    ui::AnswerNextColorDialog(std::nullopt);
    window.Command5_Click();
    ui::AnswerNextColorDialog(std::nullopt);
    window.piccolor_Click();
    EXPECT_EQ(window.picUnder->BackColor(), 0u);
    EXPECT_EQ(window.picUnder->ForeColor(), 16777215u);
    EXPECT_EQ(window.piccolor->BackColor(), 51200u);
    for (const char* name : {"Backcolor", "Forecolor"})
        EXPECT_FALSE(ValueNames("A").contains(QString::fromLatin1(name))) << name;
    EXPECT_EQ(Stored("A", "Motion Color"), QStringLiteral("51200"));

    ui::AnswerNextColorDialog(QColor(255, 0, 0));
    window.Command4_Click();
    EXPECT_EQ(window.picUnder->BackColor(), 255u);
    EXPECT_EQ(Stored("A", "Backcolor"), QStringLiteral("255"));
    ui::AnswerNextColorDialog(QColor(0, 0, 255));
    window.piccolor_Click();
    EXPECT_EQ(Stored("A", "Motion Color"), QStringLiteral("16711680"));
    EXPECT_EQ(ui::UnansweredDialogCount(), 0);
}

TEST_F(PagesTest, FontDialogStoresTheFontItOpenedWithWhenClosedWithoutChoice) {
    Store("B", "Font Bold", "False");
    Store("B", "Font Name", "Courier");
    Store("B", "Font Size", "12");
    frmUploadSettings& window = Window();
    LoadRow(2);
    ui::AnswerNextFontDialog(std::nullopt);
    window.Command3_Click();
    EXPECT_EQ(Stored("B", "Font Bold"), QStringLiteral("False"));
    EXPECT_EQ(Stored("B", "Font Italic"), QStringLiteral("False"));
    EXPECT_EQ(Stored("B", "Font Name"), QStringLiteral("Courier"));
    EXPECT_EQ(Stored("B", "Font Size"), QStringLiteral("12"));
    EXPECT_EQ(Stored("B", "Font Strikethrough"), QStringLiteral("False"));
    EXPECT_EQ(Stored("B", "Font Underline"), QStringLiteral("False"));

    QFont chosen(QStringLiteral("Serif"));
    chosen.setPointSizeF(14);
    chosen.setItalic(true);
    chosen.setUnderline(true);
    ui::AnswerNextFontDialog(chosen);
    window.Command3_Click();
    EXPECT_EQ(window.picUnder->font().family(), QStringLiteral("Serif"));
    EXPECT_TRUE(window.picUnder->font().italic());
    EXPECT_FALSE(window.picUnder->font().underline());  // the strip takes four properties
    EXPECT_EQ(Stored("B", "Font Underline"), QStringLiteral("True"));
    EXPECT_EQ(Stored("B", "Font Size"), QStringLiteral("14"));
}

TEST_F(PagesTest, EnablingFollowsLocalCopyAndMotion) {
    frmUploadSettings& window = Window();
    EXPECT_FALSE(window.chkOnlylo->isEnabled());
    ui::SetCheckValue(window.chkLocally, 1);
    EXPECT_TRUE(window.chkOnlylo->isEnabled());
    EXPECT_EQ(Stored("A", "Locally"), QStringLiteral("1"));

    ui::SetCheckValue(window.chkActMot, 1);
    ui::SetCheckValue(window.chkUploadOnMotion, 1);
    ui::SetCheckValue(window.chkActMot, 0);
    EXPECT_FALSE(window.chkUploadOnMotion->isEnabled());
    EXPECT_EQ(ui::CheckValue(window.chkUploadOnMotion), 1);
    EXPECT_EQ(Stored("A", "Upload On Motion"), QStringLiteral("1"));

    // Enabling also happens with no account selected; nothing is stored then.
    window.ftps->clearSelection();
    ui::SetCheckValue(window.chkLocally, 0);
    EXPECT_FALSE(window.chkOnlylo->isEnabled());
    EXPECT_EQ(Stored("A", "Locally"), QStringLiteral("1"));
    window.txtHostNameAddress->setText(QStringLiteral("nowhere.example"));
    EXPECT_FALSE(ValueNames(QString()).contains(QStringLiteral("Host Name/Adress:")));
}

TEST_F(PagesTest, SoundWithoutAFileAsksForOne) {
    frmUploadSettings& window = Window();
    ui::AnswerNextFileDialog(QStringLiteral("/sounds/bell.wav"));
    window.chkSound->click();
    EXPECT_EQ(Stored("A", "Motion Sound"), QStringLiteral("1"));
    EXPECT_EQ(Stored("A", "MotionSndSrc"), QStringLiteral("/sounds/bell.wav"));
    window.chkSound->click();  // a file is set: no dialog
    EXPECT_EQ(ui::UnansweredDialogCount(), 0);
    EXPECT_EQ(Stored("A", "Motion Sound"), QStringLiteral("0"));
}

TEST_F(PagesTest, ShowMotionsSwitchesTheMainWindowToTheMotionPicture) {
    frmUploadSettings& window = Window();
    frmMain& main = forms::frmMain();
    ASSERT_NE(main.picMotion, nullptr);
    const QStringList storedBefore = ValueNames("A");
    ui::SetCheckValue(window.chkShowMotion, 1);
    EXPECT_TRUE(main.vcx->isHidden());
    EXPECT_FALSE(main.picMotion->isHidden());
    ui::SetCheckValue(window.chkShowMotion, 0);
    EXPECT_FALSE(main.vcx->isHidden());
    EXPECT_TRUE(main.picMotion->isHidden());
    EXPECT_EQ(ValueNames("A"), storedBefore);  // the switch is not stored
}

}  // namespace
}  // namespace snapwire::testing
