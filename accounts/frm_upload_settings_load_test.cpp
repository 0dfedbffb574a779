// ValdItem: defaults, what loading writes back, the interval rule, the password
// rule, the naming options, the font error box and the locale's dates.

#include "accounts/frm_time_format.h"
#include "accounts/frm_unique.h"
#include "accounts/upload_settings_test.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QSlider>
#include <QTimeEdit>

namespace snapwire::testing {
namespace {

using LoadTest = UploadSettingsTest;

TEST_F(LoadTest, EmptyAccountLoadsEveryDefaultAndStoresOnlyWhatChanged) {
    StoreAccounts({"A", "B"});
    Store("B", "Host Name/Adress:", "b.example");
    Store("B", "Upload image every:", "Week");
    Store("B", "Remember password", "1");
    frmUploadSettings& window = Window();
    frmUnique& unique = forms::frmUnique();

    EXPECT_EQ(window.txtHostNameAddress->text(), QString());
    EXPECT_EQ(window.txtUserID->text(), QString());
    EXPECT_EQ(window.txtPassword->text(), QString());
    EXPECT_EQ(window.txtFolder->text(), QString());
    EXPECT_EQ(ui::CheckValue(window.rem_pass), 1);
    EXPECT_EQ(ui::CheckValue(window.chkPassiveMode), 0);
    EXPECT_EQ(window.txtFilename->text(), QStringLiteral("webcam"));
    EXPECT_EQ(window.txtFileExtension->text(), QStringLiteral(".jpg"));
    EXPECT_TRUE(unique.optDisabled->isChecked());
    EXPECT_EQ(unique.txtCustomFormat->text(), QStringLiteral("%N%YYYY%TT%DD_%HH%MM%SS"));
    EXPECT_EQ(window.Combo->currentText(), QStringLiteral("1 minute"));
    EXPECT_EQ(window.txtmSec->text(), QStringLiteral("60"));
    EXPECT_EQ(ui::CheckValue(window.chkBetween), 0);
    EXPECT_EQ(window.DTPicker1->date(), Moment().date());
    EXPECT_EQ(window.DTPicker4->time(), Moment().time());
    EXPECT_EQ(ui::CheckValue(window.Check1), 0);
    EXPECT_EQ(window.txtTextTime->text(), QStringLiteral("time.txt"));
    EXPECT_EQ(window.picUnder->BackColor(), 0u);
    EXPECT_EQ(window.picUnder->ForeColor(), 16777215u);
    EXPECT_EQ(window.picUnder->font().family(), QStringLiteral("Tahoma"));
    EXPECT_TRUE(window.picUnder->font().bold());
    EXPECT_EQ(window.picUnder->font().pointSizeF(), 10.0);
    EXPECT_EQ(window.CommonDialog1.Font.family(), QStringLiteral("Tahoma"));
    EXPECT_EQ(forms::frmTimeFormat().txtTimeStamp->text(), QString());
    EXPECT_EQ(ui::CheckValue(window.chkActMot), 0);
    EXPECT_EQ(window.piccolor->BackColor(), 51200u);
    EXPECT_EQ(window.sldSens->value(), 50);
    // An empty pattern stamps the general date and time.
    EXPECT_EQ(window.picUnder->PrintedText(), GeneralDateText(Moment()));

    // Only the controls that changed from the fresh window stored anything, and only into A.
    EXPECT_EQ(ValueNames("A"), (QStringList{QStringLiteral("Custom"), QStringLiteral("Remember password"),
                                            QStringLiteral("Upload image every:")}));
    EXPECT_EQ(Stored("A", "Remember password"), QStringLiteral("1"));
    EXPECT_EQ(Stored("A", "Upload image every:"), QStringLiteral("1 minute"));
    EXPECT_EQ(Stored("A", "Custom"), QStringLiteral("60"));
    EXPECT_EQ(ValueNames("B").size(), 3);

    // Coming back from B, the controls B changed store A's defaults again.
    LoadRow(2);
    EXPECT_EQ(Stored("B", "Custom"), QStringLiteral("604800"));
    LoadRow(1);
    EXPECT_EQ(Stored("A", "Host Name/Adress:"), QString());
    EXPECT_TRUE(ValueNames("A").contains(QStringLiteral("Host Name/Adress:")));
    EXPECT_FALSE(ValueNames("A").contains(QStringLiteral("User ID:")));
    EXPECT_EQ(Stored("A", "Custom"), QStringLiteral("60"));
}

TEST_F(LoadTest, DialogsOfTheRecordStartWithTheirDesignState) {
    frmUnique& unique = forms::frmUnique();
    EXPECT_TRUE(unique.optDisabled->isChecked());
    EXPECT_FALSE(unique.optAuto->isChecked() || unique.optCustom->isChecked());
    EXPECT_EQ(ui::CheckValue(unique.chkFTP), 0);
    EXPECT_EQ(ui::CheckValue(unique.chkLocally), 0);
    EXPECT_EQ(unique.txtKeep->text(), QStringLiteral("10"));
    EXPECT_EQ(unique.txtKeep2->text(), QStringLiteral("10"));
    EXPECT_EQ(unique.txtCustomFormat->text(), QStringLiteral("%N%YYYY%TT%DD_%HH%MM%SS"));
    EXPECT_EQ(forms::frmTimeFormat().txtTimeStamp->text(), QStringLiteral("%ST"));
    EXPECT_FALSE(forms::frmUploadSettings().txtFilename->text().isEmpty());  // loads the window
    // The unique name reads the base name and extension of the upload settings window.
    EXPECT_EQ(unique.UniqueFileName(QStringLiteral("%N_%HH")), QStringLiteral("webcam_14.jpg"));
    EXPECT_EQ(unique.UniqueFileName(QString()), QStringLiteral(".jpg"));
    EXPECT_EQ(Window().UniqueFileName(QStringLiteral("%N%DD.txt")), QStringLiteral("webcam22.txt"));
}

TEST_F(LoadTest, CustomSecondsOfAListedIntervalLoadAsThatInterval) {
    StoreAccounts({"A", "B"});
    Store("A", "Upload image every:", "Custom");
    Store("A", "Custom", "300");
    Store("B", "Upload image every:", "Custom");
    Store("B", "Custom", "45");
    frmUploadSettings& window = Window();
    EXPECT_EQ(window.Combo->currentText(), QStringLiteral("5 minutes"));
    EXPECT_EQ(window.txtmSec->text(), QStringLiteral("300"));
    EXPECT_EQ(Stored("A", "Upload image every:"), QStringLiteral("5 minutes"));
    EXPECT_EQ(Stored("A", "Custom"), QStringLiteral("300"));

    LoadRow(2);
    EXPECT_EQ(window.Combo->currentText(), QStringLiteral("Custom"));
    EXPECT_EQ(window.txtmSec->text(), QStringLiteral("45"));
    EXPECT_EQ(window.lblmSec->text(), QStringLiteral("Seconds"));
    EXPECT_EQ(Stored("B", "Upload image every:"), QStringLiteral("Custom"));
    EXPECT_EQ(Stored("B", "Custom"), QStringLiteral("45"));
}

TEST_F(LoadTest, AnUnknownIntervalLabelKeepsTheSelection) {
    StoreAccounts({"A", "B"});
    Store("A", "Upload image every:", "2 hours");
    Store("B", "Upload image every:", "fortnight");
    frmUploadSettings& window = Window();
    LoadRow(2);
    EXPECT_EQ(window.Combo->currentText(), QStringLiteral("2 hours"));
    EXPECT_EQ(window.txtmSec->text(), QStringLiteral("7200"));
}

TEST_F(LoadTest, AnAccountThatForgetsItsPasswordLoadsWithoutOne) {
    StoreAccounts({"A", "B"});
    Store("A", "Password:", "secret");
    Store("B", "Remember password", "0");
    frmUploadSettings& window = Window();
    EXPECT_EQ(window.txtPassword->text(), QStringLiteral("secret"));
    EXPECT_EQ(window.txtPassword->displayText(), QStringLiteral("******"));

    LoadRow(2);
    EXPECT_EQ(ui::CheckValue(window.rem_pass), 0);
    EXPECT_EQ(window.txtPassword->text(), QString());

    window.txtPassword->setText(QStringLiteral("typed"));
    EXPECT_TRUE(Stored("B", "Password:").isEmpty());
    ui::SetCheckValue(window.rem_pass, 1);
    EXPECT_EQ(Stored("B", "Remember password"), QStringLiteral("1"));
    window.txtPassword->setText(QStringLiteral("kept"));
    EXPECT_EQ(Stored("B", "Password:"), QStringLiteral("kept"));

    ui::SetCheckValue(window.rem_pass, 0);
    EXPECT_EQ(Stored("B", "Remember password"), QStringLiteral("0"));
    EXPECT_EQ(Stored("B", "Password:"), QString());
    EXPECT_EQ(window.txtPassword->text(), QStringLiteral("kept"));  // the upload still uses it
}

TEST_F(LoadTest, NamingOptionsFallBackToDisabledAndKeepAMissingPattern) {
    StoreAccounts({"A", "B", "C"});
    Store("A", "UniqueAuto", "True");
    Store("A", "UniqueCustomFormat", "%N_%HH");
    Store("B", "UniqueDisabled", "False");
    Store("B", "UniqueAuto", "False");
    Store("B", "UniqueCustom", "False");
    Store("C", "UniqueCustom", "True");
    Window();
    frmUnique& unique = forms::frmUnique();
    EXPECT_TRUE(unique.optAuto->isChecked());
    EXPECT_EQ(unique.txtCustomFormat->text(), QStringLiteral("%N_%HH"));

    LoadRow(2);
    EXPECT_TRUE(unique.optDisabled->isChecked());
    EXPECT_FALSE(unique.optAuto->isChecked());
    EXPECT_EQ(unique.txtCustomFormat->text(), QStringLiteral("%N_%HH"));

    LoadRow(3);
    EXPECT_TRUE(unique.optCustom->isChecked());
    EXPECT_FALSE(unique.optDisabled->isChecked());
    // The dialog stores its own values on its OK only.
    EXPECT_FALSE(ValueNames("B").contains(QStringLiteral("UniqueCustomFormat")));
}

TEST_F(LoadTest, ABrokenFontValueIsReportedOncePerAccountAndValue) {
    StoreAccounts({"A", "B"});
    for (const char* account : {"A", "B"}) {
        Store(account, "Font Size", "big");
        Store(account, "Font Strikethrough", "True");
        Store(account, "Activate Motion", "1");
    }
    frmUploadSettings& window = Window();
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_EQ(ui::ShownBoxes()[0].title, QStringLiteral("Font/Registry Error"));
    EXPECT_EQ(ui::ShownBoxes()[0].prompt, QStringLiteral("Type mismatch"));
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbCritical + ui::vbOKOnly);
    EXPECT_FALSE(window.picUnder->font().strikeOut());  // the font steps ended at the size
    EXPECT_EQ(ui::CheckValue(window.chkActMot), 1);     // the motion values still loaded

    for (int tick = 0; tick < 10; ++tick) LoadRow(1);
    EXPECT_EQ(ui::ShownBoxes().size(), 1u);

    LoadRow(2);
    EXPECT_EQ(ui::ShownBoxes().size(), 2u);
    LoadRow(2);
    EXPECT_EQ(ui::ShownBoxes().size(), 2u);
}

// A skipped load gives what a load now would, after a write during the last load too.
TEST_F(LoadTest, ASkippedLoadMissesNoWriteDuringTheLastLoadNorTheClockPastMidnight) {
    QDateTime now(QDate(2026, 12, 31), QTime(23, 59, 59));
    const ScopedClockForTests clock([&now] { return now; });
    StoreAccounts({"A"});
    Store("A", "Font Size", "abc");
    ui::AnswerNextMessageBox(ui::vbOK, [] { Store("A", "Destination filename:", "written_during_box"); });
    frmUploadSettings& window = Window();
    window.ValdItemUnlessCurrent();
    EXPECT_EQ(window.txtFilename->text(), QStringLiteral("written_during_box"));

    window.ValdItemUnlessCurrent();
    now = QDateTime(QDate(2027, 1, 1), QTime(0, 0, 0));
    window.ValdItemUnlessCurrent();
    EXPECT_EQ(window.DTPicker2->date(), now.date());
    EXPECT_EQ(window.DTPicker4->time(), now.time());
    window.ValdItemUnlessCurrent();  // the pickers have stored their values: only the strip follows
    now = now.addSecs(1);
    window.ValdItemUnlessCurrent();
    EXPECT_EQ(window.picUnder->PrintedText(), GeneralDateText(now));
}

TEST_F(LoadTest, StoredFontGoesIntoTheStripAndTheFontDialog) {
    StoreAccounts({"A"});
    Store("A", "Font Bold", "False");
    Store("A", "Font Name", "Courier");
    Store("A", "Font Size", "12");
    Store("A", "Font Underline", "True");
    frmUploadSettings& window = Window();
    EXPECT_FALSE(window.picUnder->font().bold());
    EXPECT_EQ(window.picUnder->font().family(), QStringLiteral("Courier"));
    EXPECT_EQ(window.picUnder->font().pointSizeF(), 12.0);
    EXPECT_TRUE(window.picUnder->font().underline());
    EXPECT_EQ(window.CommonDialog1.Font.family(), QStringLiteral("Courier"));
    EXPECT_TRUE(window.CommonDialog1.Font.underline());
    EXPECT_TRUE(ui::ShownBoxes().empty());
}

// A short date with a two-digit year would come back a century early and close
// the date window for good.
TEST_F(LoadTest, DatesAndTimesReadBackInTheLocalesForms) {
    const char* const locales[] = {"en_US", "de_DE"};
    for (int i = 0; i < 2; ++i) {
        SCOPED_TRACE(locales[i]);
        QLocale::setDefault(QLocale(QString::fromLatin1(locales[i])));
        const QDate date(2031, 5, 6 + i);
        const QTime time(7, 8, 9 + i);
        StoreAccounts({"A", "B"});
        frmUploadSettings& window = Window();
        window.DTPicker1->setDate(date);
        window.DTPicker3->setTime(time);
        EXPECT_EQ(Stored("A", "DateFrom"), DateText(date));
        EXPECT_EQ(Stored("A", "TimeFrom"), TimeText(time));

        LoadRow(2);
        EXPECT_EQ(window.DTPicker1->date(), Moment().date());
        LoadRow(1);
        EXPECT_EQ(window.DTPicker1->date(), date);
        EXPECT_EQ(window.DTPicker3->time(), time);
        ui::UnloadAllForms();
    }
}

TEST_F(LoadTest, WithNoSelectedRowOnlyTheSampleIsRedrawn) {
    StoreAccounts({"A"});
    Store("A", "Host Name/Adress:", "a.example");
    frmUploadSettings& window = Window();
    window.ftps->clearSelection();
    forms::frmTimeFormat().txtTimeStamp->setText(QStringLiteral("%HH:%MM"));
    Store("A", "Host Name/Adress:", "changed.example");
    window.ValdItem();
    EXPECT_EQ(window.txtHostNameAddress->text(), QStringLiteral("a.example"));
    EXPECT_EQ(window.picUnder->PrintedText(), QStringLiteral("14:30"));
}

}  // namespace
}  // namespace snapwire::testing
