#include "options/prco_form.h"

#include "options/number_text.h"
#include "options/options_window_test.h"
#include "platform/ui/controls.h"
#include "platform/ui/units.h"
#include "windows/frm_help.h"
#include "windows/modal_showing.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QDir>
#include <QFocusEvent>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>

namespace snapwire {
namespace {

using testing::OptionsWindowTest;
using ui::CheckValue;

class PrcoFormTest : public OptionsWindowTest {
  protected:
    static prcoForm& Form() { return forms::prcoForm(); }
};

TEST(NumberText, KeepsWholeNumbersInRangeAsTypedAndClampsTheRest) {
    using options::ClampedNumberText;
    EXPECT_EQ(ClampedNumberText(QStringLiteral("05"), 0, 10, true), QStringLiteral("05"));
    EXPECT_EQ(ClampedNumberText(QStringLiteral("11"), 0, 10, true), QStringLiteral("10"));
    EXPECT_EQ(ClampedNumberText(QStringLiteral("-3"), 0, 10, true), QStringLiteral("0"));
    EXPECT_EQ(ClampedNumberText(QStringLiteral("7x"), 0, 10, true), QStringLiteral("7"));
    EXPECT_EQ(ClampedNumberText(QStringLiteral("ab"), 0, 10, true), QStringLiteral("0"));
    EXPECT_EQ(ClampedNumberText(QStringLiteral("99999999999999999999999"), 0, 9999999, true),
              QStringLiteral("9999999"));
    EXPECT_EQ(ClampedNumberText(QString(), 0, 10, true), QString());
    EXPECT_EQ(ClampedNumberText(QString(), 0, 100, false), QStringLiteral("0"));
}

TEST(NumberText, DecimalBoxesKeepFractionsInRangeAndClampTheRest) {
    using options::ClampedDecimalText;
    EXPECT_EQ(ClampedDecimalText(QStringLiteral(".5"), 0, 10), QStringLiteral(".5"));
    EXPECT_EQ(ClampedDecimalText(QStringLiteral("2.5"), 0, 10), QStringLiteral("2.5"));
    EXPECT_EQ(ClampedDecimalText(QStringLiteral("05"), 0, 10), QStringLiteral("05"));
    EXPECT_EQ(ClampedDecimalText(QStringLiteral("10.5"), 0, 10), QStringLiteral("10"));
    EXPECT_EQ(ClampedDecimalText(QStringLiteral("-.5"), 0, 10), QStringLiteral("0"));
    EXPECT_EQ(ClampedDecimalText(QStringLiteral("1e9"), 0, 10), QStringLiteral("10"));
    EXPECT_EQ(ClampedDecimalText(QStringLiteral("7x"), 0, 10), QStringLiteral("7"));
    EXPECT_EQ(ClampedDecimalText(QStringLiteral("x"), 0, 10), QStringLiteral("0"));
    EXPECT_EQ(ClampedDecimalText(QString(), 0, 10), QString());
}

TEST_F(PrcoFormTest, HelpShowsTheProgramConfigurationTopicModally) {
    QString shownNode;
    SetModalShowingForTests([&shownNode](QDialog&) { shownNode = forms::frmHelp().SelectedKey(); });
    Form().cmdHelp->click();
    SetModalShowingForTests({});
    EXPECT_EQ(shownNode, "program_configuration");
}

TEST_F(PrcoFormTest, FirstRunGivesEveryDefault) {
    prcoForm& form = Form();
    for (QCheckBox* box : {form.chkSystray, form.chkMotion, form.chkAutostart, form.chkMin, form.chkPrint,
                           form.chkSuc, form.chkSound, form.chkClose, form.chkAsk, form.chkXPStyle})
        EXPECT_EQ(CheckValue(box), 0) << box->text().toStdString();
    EXPECT_EQ(CheckValue(form.chkKeepUpload), 1);
    EXPECT_EQ(form.txtQuality->text(), QStringLiteral("100"));
    EXPECT_EQ(form.Slider1->value(), 100);
    EXPECT_EQ(form.txtSound->text(), QString());
    EXPECT_EQ(form.lblSound->text(), QStringLiteral("seconds before uploading"));
    EXPECT_EQ(form.txtSoundSource->text(), QString());
    EXPECT_EQ(form.txtClose->text(), QStringLiteral("1"));
    EXPECT_EQ(form.lblCloseuploads->text(), QStringLiteral("upload"));
    EXPECT_EQ(form.txtPicSource->text(), QString());
    EXPECT_EQ(form.ComColColor(), 16777215u);
    EXPECT_EQ(form.piccolor->palette().color(QPalette::Window), QColor(Qt::white));
    EXPECT_FALSE(form.isVisible());
    EXPECT_FALSE(form.frameProgram->isHidden());
    for (QFrame* frame : {form.frameVarious, form.frameBackground, form.frameSound, form.frameQuality})
        EXPECT_TRUE(frame->isHidden());
    // The load only reads; the registry copy changes on OK.
    EXPECT_EQ(Stored("Systray"), QString());
    EXPECT_EQ(Stored("Keep"), QString());
    EXPECT_TRUE(ui::ShownBoxes().empty());
}

TEST_F(PrcoFormTest, StoredValuesAreReadBackIntoTheControls) {
    const std::pair<const char*, const char*> stored[] = {
        {"Systray", "1"},
        {"Motion", "1"},
        {"Autostart", "1"},
        {"Min", "0"},
        {"Print", "1"},
        {"Suc", "1"},
        {"Sound", "1"},
        {"Close", "1"},
        {"Ask", "1"},
        {"Keep", "0"},
        {"Image Quality (JPEG):", "35"},
        {"BGPic", "/p.bmp"},
        {"SoundSec", "1"},
        {"SoundSrc", "/s.wav"},
        {"Close#", "12"},
        {"ProgramBGColor", "255"},
    };
    for (const auto& [name, text] : stored) Store(name, QString::fromUtf8(text));

    prcoForm& form = Form();
    for (QCheckBox* box : {form.chkSystray, form.chkMotion, form.chkAutostart, form.chkPrint, form.chkSuc,
                           form.chkSound, form.chkClose, form.chkAsk})
        EXPECT_EQ(CheckValue(box), 1) << box->text().toStdString();
    EXPECT_EQ(CheckValue(form.chkMin), 0);
    EXPECT_EQ(CheckValue(form.chkKeepUpload), 0);
    EXPECT_EQ(form.txtQuality->text(), QStringLiteral("35"));
    EXPECT_EQ(form.Slider1->value(), 35);
    EXPECT_EQ(form.txtPicSource->text(), QStringLiteral("/p.bmp"));
    EXPECT_EQ(form.txtSound->text(), QStringLiteral("1"));
    EXPECT_EQ(form.UpDown1->value(), 1);
    EXPECT_EQ(form.lblSound->text(), QStringLiteral("second before uploading"));
    EXPECT_EQ(form.txtSoundSource->text(), QStringLiteral("/s.wav"));
    EXPECT_EQ(form.txtClose->text(), QStringLiteral("12"));
    EXPECT_EQ(form.UpDownCloseAfterUploads->value(), 12);
    EXPECT_EQ(form.lblCloseuploads->text(), QStringLiteral("uploads"));
    EXPECT_EQ(form.ComColColor(), 255u);  // red in the low byte
    EXPECT_EQ(form.piccolor->palette().color(QPalette::Window), QColor(Qt::red));
}

TEST_F(PrcoFormTest, LoadLetsMinWinOverSystrayAndFillsAnEmptyCountForClose) {
    Store("Systray", QStringLiteral("1"));
    Store("Min", QStringLiteral("1"));
    Store("Close", QStringLiteral("1"));
    Store("Close#", QStringLiteral("7"));
    prcoForm& form = Form();
    EXPECT_EQ(CheckValue(form.chkMin), 1);
    EXPECT_EQ(CheckValue(form.chkSystray), 0);
    EXPECT_EQ(form.txtClose->text(), QStringLiteral("7"));
}

TEST_F(PrcoFormTest, MinAndSystrayExcludeEachOther) {
    prcoForm& form = Form();
    ui::SetCheckValue(form.chkSystray, 1);
    ui::SetCheckValue(form.chkMin, 1);
    EXPECT_EQ(CheckValue(form.chkSystray), 0);
    ui::SetCheckValue(form.chkSystray, 1);
    EXPECT_EQ(CheckValue(form.chkMin), 0);
    // A click reaches the same handling.
    form.chkMin->click();
    EXPECT_EQ(CheckValue(form.chkMin), 1);
    EXPECT_EQ(CheckValue(form.chkSystray), 0);
}

TEST_F(PrcoFormTest, CountBoxTakesDigitsOnlyAndItsLabelIsSingularForExactlyOne) {
    prcoForm& form = Form();
    QLineEdit* count = form.txtClose;
    const std::pair<const char*, const char*> labels[] = {
        {"1", "upload"}, {"0", "uploads"}, {"2", "uploads"}, {"01", "uploads"}};
    for (const auto& [text, label] : labels) {
        count->setText(QString::fromUtf8(text));
        EXPECT_EQ(form.lblCloseuploads->text(), QString::fromUtf8(label)) << text;
    }
    count->clear();
    count->insert(QStringLiteral("12ab"));  // pasted text with letters is refused whole
    EXPECT_EQ(count->text(), QString());
    count->insert(QStringLiteral("123456789"));
    EXPECT_EQ(count->text(), QStringLiteral("1234567"));  // seven characters at most
    EXPECT_EQ(form.UpDownCloseAfterUploads->value(), 1234567);
    count->setText(QStringLiteral("-5"));
    EXPECT_EQ(count->text(), QStringLiteral("0"));
}

TEST_F(PrcoFormTest, EmptyCountBecomesOneWhenLeftOrWhenCloseIsTicked) {
    prcoForm& form = Form();
    form.txtClose->clear();
    EXPECT_EQ(form.lblCloseuploads->text(), QStringLiteral("uploads"));
    ui::SetCheckValue(form.chkClose, 1);
    EXPECT_EQ(form.txtClose->text(), QStringLiteral("1"));

    form.txtClose->clear();
    QFocusEvent focusOut(QEvent::FocusOut);
    QCoreApplication::sendEvent(form.txtClose, &focusOut);
    EXPECT_EQ(form.txtClose->text(), QStringLiteral("1"));
    EXPECT_EQ(form.lblCloseuploads->text(), QStringLiteral("upload"));
}

TEST_F(PrcoFormTest, SecondsBoxEndsEmptyOrWithinZeroToTen) {
    prcoForm& form = Form();
    QLineEdit* seconds = form.txtSound;
    seconds->setText(QStringLiteral("10"));
    EXPECT_EQ(seconds->text(), QStringLiteral("10"));
    for (const char* tooMany : {"11", "99"}) {
        seconds->setText(QString::fromUtf8(tooMany));
        EXPECT_EQ(seconds->text(), QStringLiteral("10")) << tooMany;
    }
    seconds->setText(QStringLiteral("1"));
    EXPECT_EQ(form.lblSound->text(), QStringLiteral("second before uploading"));
    seconds->setText(QStringLiteral("01"));
    EXPECT_EQ(form.lblSound->text(), QStringLiteral("seconds before uploading"));
    // The wait is read as a decimal number, so a fraction within the range stays.
    seconds->setText(QStringLiteral(".5"));
    EXPECT_EQ(seconds->text(), QStringLiteral(".5"));
    EXPECT_EQ(form.UpDown1->value(), 0);
    seconds->clear();
    seconds->insert(QStringLiteral("x"));  // typed or pasted letters
    EXPECT_EQ(seconds->text(), QStringLiteral("0"));
    seconds->clear();
    EXPECT_EQ(seconds->text(), QString());
}

TEST_F(PrcoFormTest, UpDownArrowsMoveTheNumberWithinTheirRange) {
    prcoForm& form = Form();
    form.txtSound->setText(QStringLiteral("9"));
    form.UpDown1->stepBy(1);
    EXPECT_EQ(form.txtSound->text(), QStringLiteral("10"));
    form.UpDown1->stepBy(1);
    EXPECT_EQ(form.txtSound->text(), QStringLiteral("10"));
    form.UpDownCloseAfterUploads->stepBy(1);
    EXPECT_EQ(form.txtClose->text(), QStringLiteral("2"));
    EXPECT_EQ(form.lblCloseuploads->text(), QStringLiteral("uploads"));
}

TEST_F(PrcoFormTest, QualityBoxAndSliderFollowEachOther) {
    prcoForm& form = Form();
    form.txtQuality->setText(QStringLiteral("250"));
    EXPECT_EQ(form.txtQuality->text(), QStringLiteral("100"));
    EXPECT_EQ(form.Slider1->value(), 100);
    form.Slider1->setValue(35);
    EXPECT_EQ(form.txtQuality->text(), QStringLiteral("35"));
    // An emptied or unreadable box still shows the number the slider holds.
    form.txtQuality->clear();
    EXPECT_EQ(form.txtQuality->text(), QStringLiteral("0"));
    EXPECT_EQ(form.Slider1->value(), 0);
    form.txtQuality->setText(QStringLiteral("4a"));
    EXPECT_EQ(form.txtQuality->text(), QStringLiteral("4"));
    EXPECT_EQ(form.Slider1->value(), 4);
}

TEST_F(PrcoFormTest, OnlyOkLeavesTheWindow) {
    prcoForm& form = Form();
    form.show();
    form.close();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&form, &escape);
    EXPECT_TRUE(form.isVisible());
    form.Command1->click();
    EXPECT_FALSE(form.isVisible());
}

TEST_F(PrcoFormTest, TabsShowTheirOwnFrameOnly) {
    prcoForm& form = Form();
    QFrame* const frames[] = {form.frameProgram, form.frameVarious, form.frameBackground, form.frameSound,
                              form.frameQuality};
    for (int tab : {3, 1, 4, 0, 2}) {
        form.TabStripConf->setCurrentIndex(tab);
        for (int i = 0; i < 5; ++i)
            EXPECT_EQ(frames[i]->isHidden(), i != tab) << "tab " << tab << " frame " << i;
    }
}

}  // namespace
}  // namespace snapwire
