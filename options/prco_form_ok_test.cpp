// OK of the program configuration window and the controls that reach outside it.

#include "engine/frm_main.h"
#include "engine/main_toolbar.h"
#include "engine/picture_box.h"
#include "engine/start_up.h"
#include "options/options_window_test.h"
#include "options/prco_form.h"
#include "options/start_with_desktop.h"
#include "options/visual_style.h"
#include "platform/ui/controls.h"
#include "platform/ui/units.h"
#include "settings_store/c_registry.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QSlider>

namespace snapwire {
namespace {

using testing::OptionsWindowTest;

class PrcoFormOkTest : public OptionsWindowTest {
  protected:
    static prcoForm& Form() { return forms::prcoForm(); }

    QString MakePicture(const QString& name) {
        QImage image(8, 8, QImage::Format_RGB32);
        image.fill(Qt::green);
        const QString path = homeFile(name);
        EXPECT_TRUE(image.save(path, "BMP"));
        return path;
    }

    static QString RunValue() {
        cRegistry reg;
        reg.SetClassKey(HKEY_LOCAL_MACHINE);
        reg.SetSectionKey(QString::fromLatin1(options::kRunKey));
        reg.SetValueKey(QString::fromLatin1(options::kRunValueName));
        return reg.Value().ToText();
    }

    // Mean squared difference of two pictures of the same size, over the three colours.
    static double Difference(const QImage& a, const QImage& b) {
        const QImage x = a.convertToFormat(QImage::Format_RGB32);
        const QImage y = b.convertToFormat(QImage::Format_RGB32);
        double sum = 0;
        for (int row = 0; row < x.height(); ++row) {
            for (int col = 0; col < x.width(); ++col) {
                const QRgb p = x.pixel(col, row);
                const QRgb q = y.pixel(col, row);
                for (int d : {qRed(p) - qRed(q), qGreen(p) - qGreen(q), qBlue(p) - qBlue(q)}) sum += d * d;
            }
        }
        return sum / (x.width() * x.height() * 3);
    }
};

TEST_F(PrcoFormOkTest, OkStoresEveryValueAsShownAndHides) {
    prcoForm& form = Form();
    form.show();
    ui::SetCheckValue(form.chkMin, 1);
    ui::SetCheckValue(form.chkKeepUpload, 0);
    ui::SetCheckValue(form.chkAsk, 1);
    form.txtQuality->setText(QStringLiteral("42"));
    form.txtSound->setText(QStringLiteral("03"));
    form.txtClose->clear();

    form.Command1_Click();

    EXPECT_FALSE(form.isVisible());
    const std::pair<const char*, const char*> expected[] = {
        {"Min", "1"},
        {"Motion", "0"},
        {"Print", "0"},
        {"Suc", "0"},
        {"Systray", "0"},
        {"Sound", "0"},
        {"Close", "0"},
        {"Ask", "1"},
        {"Keep", "0"},
        {"XPStyle", "0"},
        {"Autostart", "0"},
        {"Image Quality (JPEG):", "42"},
        {"BGPic", ""},
        {"SoundSec", "03"},
        {"SoundSrc", ""},
        {"Close#", ""},
        {"ProgramBGColor", "16777215"},
    };
    for (const auto& [name, text] : expected) EXPECT_EQ(Stored(name), QString::fromUtf8(text)) << name;
    EXPECT_TRUE(ui::ShownBoxes().empty());

    // The next run reads the same options back.
    ui::UnloadAllForms();
    EXPECT_EQ(ui::CheckValue(Form().chkMin), 1);
    EXPECT_EQ(ui::CheckValue(Form().chkKeepUpload), 0);
    EXPECT_EQ(Form().Slider1->value(), 42);
    EXPECT_EQ(Form().txtClose->text(), QStringLiteral("1"));
}

TEST_F(PrcoFormOkTest, MissingPictureAndSoundAreReportedAndStillSaved) {
    prcoForm& form = Form();
    forms::frmMain().bgPic->SetPicture(QPixmap::fromImage(QImage(MakePicture(QStringLiteral("old.bmp")))));
    form.txtPicSource->setText(home());  // a folder is no picture
    form.txtSoundSource->setText(homeFile(QStringLiteral("missing.wav")));
    form.show();
    ui::AnswerNextMessageBox(ui::vbOK);
    ui::AnswerNextMessageBox(ui::vbOK);

    form.Command1_Click();

    EXPECT_EQ(ShownPrompts(),
              QStringList({QStringLiteral("Picture not found"), QStringLiteral("Sound file not found")}));
    for (const ui::ShownBox& box : ui::ShownBoxes()) EXPECT_EQ(box.style, ui::vbCritical + ui::vbOKOnly);
    EXPECT_TRUE(forms::frmMain().bgPic->Picture().isNull());
    EXPECT_EQ(Stored("BGPic"), home());
    EXPECT_EQ(Stored("SoundSrc"), homeFile(QStringLiteral("missing.wav")));
    EXPECT_FALSE(form.isVisible());
}

TEST_F(PrcoFormOkTest, OkLoadsAnExistingPictureAndAnEmptyBoxClearsIt) {
    prcoForm& form = Form();
    form.txtPicSource->setText(MakePicture(QStringLiteral("back ground.bmp")));
    form.Command1_Click();
    EXPECT_EQ(forms::frmMain().bgPic->Picture().size(), QSize(8, 8));

    form.txtPicSource->clear();
    form.Command1_Click();
    EXPECT_TRUE(forms::frmMain().bgPic->Picture().isNull());
    EXPECT_TRUE(ui::ShownBoxes().empty());
}

TEST_F(PrcoFormOkTest, TrayGoesOffAndComesBackThroughOk) {
    SetTrayAvailableForTests(true);
    prcoForm& form = Form();
    frmMain& main = forms::frmMain();
    main.mnuPhis->setChecked(true);

    ui::SetCheckValue(form.chkSystray, 1);
    form.Command1_Click();
    EXPECT_FALSE(forms::StartUp().TrayIconShown());
    EXPECT_FALSE(main.systray->isVisible());
    EXPECT_FALSE(main.mnuPhis->isVisible());
    EXPECT_FALSE(main.Toolbar1->ButtonVisible(11));
    // Ticking the box alone changes nothing until OK.
    ui::SetCheckValue(form.chkSystray, 0);
    EXPECT_FALSE(main.systray->isVisible());

    form.Command1_Click();
    EXPECT_TRUE(main.systray->isVisible());
    EXPECT_TRUE(main.mnuPhis->isVisible());
    EXPECT_TRUE(main.Toolbar1->ButtonVisible(11));

    // The toolbar button comes back only with its popup item checked.
    ui::SetCheckValue(form.chkSystray, 1);
    form.Command1_Click();
    main.mnuPhis->setChecked(false);
    ui::SetCheckValue(form.chkSystray, 0);
    form.Command1_Click();
    EXPECT_TRUE(main.systray->isVisible());
    EXPECT_TRUE(main.mnuPhis->isVisible());
    EXPECT_FALSE(main.Toolbar1->ButtonVisible(11));
    SetTrayAvailableForTests(std::nullopt);
}

TEST_F(PrcoFormOkTest, ColourReachesTheMainWindowAtOnceAndTheRegistryOnOk) {
    prcoForm& form = Form();
    const QColor chosen(10, 20, 30);
    ui::AnswerNextColorDialog(chosen);
    form.piccolor_Click();
    EXPECT_EQ(form.piccolor->palette().color(QPalette::Window), chosen);
    EXPECT_EQ(forms::frmMain().bgPic->BackColor(), chosen);
    EXPECT_EQ(Stored("ProgramBGColor"), QString());

    ui::AnswerNextColorDialog(std::nullopt);  // cancelled: nothing changes
    form.piccolor_Click();
    EXPECT_EQ(forms::frmMain().bgPic->BackColor(), chosen);

    form.Command1_Click();
    EXPECT_EQ(Stored("ProgramBGColor"), QString::number(30 * 65536 + 20 * 256 + 10));
}

TEST_F(PrcoFormOkTest, BrowseTakesTheChosenFileAndCancelLeavesTheBox) {
    prcoForm& form = Form();
    ui::AnswerNextFileDialog(QStringLiteral("/pics/a.jpg"));
    form.cmdPictureBrowse_Click();
    EXPECT_EQ(form.txtPicSource->text(), QStringLiteral("/pics/a.jpg"));
    ui::AnswerNextFileDialog(std::nullopt);
    form.cmdPictureBrowse_Click();
    EXPECT_EQ(form.txtPicSource->text(), QStringLiteral("/pics/a.jpg"));

    form.txtSoundSource->setText(QStringLiteral("/s/old.wav"));
    ui::AnswerNextFileDialog(std::nullopt);
    form.cmdSoundBrowse_Click();
    EXPECT_EQ(form.txtSoundSource->text(), QStringLiteral("/s/old.wav"));
    ui::AnswerNextFileDialog(QStringLiteral("/s/new.wav"));
    form.cmdSoundBrowse_Click();
    EXPECT_EQ(form.txtSoundSource->text(), QStringLiteral("/s/new.wav"));
}

TEST_F(PrcoFormOkTest, QualityPreviewShowsTheSampleAtTheChosenQualityAndLeavesNoWorkingFile) {
    prcoForm& form = Form();
    const QImage sample = form.picPictureLoad->pixmap().toImage();
    const QImage atBest = form.picPicture->pixmap().toImage();
    ASSERT_EQ(atBest.size(), QSize(32, 32));

    form.Slider1->setValue(10);
    const QImage atTen = form.picPicture->pixmap().toImage();
    ASSERT_EQ(atTen.size(), QSize(32, 32));
    EXPECT_GT(Difference(atTen, sample), Difference(atBest, sample) + 1.0);
    EXPECT_FALSE(QFileInfo::exists(homeFile(QStringLiteral("tmppic"))));
}

TEST_F(PrcoFormOkTest, AutostartThroughOkWritesTheRunValueAndTheDesktopEntry) {
    prcoForm& form = Form();
    ui::SetCheckValue(form.chkAutostart, 1);
    form.Command1_Click();
    EXPECT_EQ(RunValue(), home() + QStringLiteral("/Snapwire.exe"));
    EXPECT_TRUE(QFileInfo::exists(options::AutostartEntryPath()));
    EXPECT_TRUE(options::AutostartEntryPath().startsWith(home()));

    // After a restart the box shows ticked again.
    ui::UnloadAllForms();
    EXPECT_EQ(ui::CheckValue(Form().chkAutostart), 1);

    ui::SetCheckValue(Form().chkAutostart, 0);
    Form().Command1_Click();
    EXPECT_EQ(RunValue(), QString());
    EXPECT_FALSE(QFileInfo::exists(options::AutostartEntryPath()));
}

TEST_F(PrcoFormOkTest, StyleSwitchRenamesTheMarkerAndAsksForARestart) {
    QFile(options::InactiveStyleMarker()).open(QIODevice::WriteOnly);
    prcoForm& form = Form();
    form.show();

    ui::AnswerNextMessageBox(ui::vbOK);
    ui::SetCheckValue(form.chkXPStyle, 1);
    EXPECT_TRUE(QFileInfo::exists(options::ActiveStyleMarker()));
    EXPECT_FALSE(QFileInfo::exists(options::InactiveStyleMarker()));
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_EQ(ui::ShownBoxes()[0].prompt,
              QStringLiteral("You must restart the program to get XP Style\r\n"
                             "If program won't start next time, there might be a compatible problem. \r\n"
                             "Just delete ") +
                  options::ActiveStyleMarker() + QStringLiteral(", to restore to normal state."));
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbInformation);

    ui::ClearShownBoxes();
    ui::AnswerNextMessageBox(ui::vbOK);
    ui::SetCheckValue(form.chkXPStyle, 0);
    EXPECT_TRUE(QFileInfo::exists(options::InactiveStyleMarker()));
    EXPECT_EQ(ShownPrompts(),
              QStringList(QStringLiteral("You must restart the program to get standard style")));

    // Both markers present: nothing is renamed, so nothing claims success.
    QFile(options::ActiveStyleMarker()).open(QIODevice::WriteOnly);
    ui::ClearShownBoxes();
    ui::SetCheckValue(form.chkXPStyle, 1);
    EXPECT_TRUE(ui::ShownBoxes().empty());
}

TEST_F(PrcoFormOkTest, LoadWithStyleOnRenamesQuietly) {
    QFile(options::InactiveStyleMarker()).open(QIODevice::WriteOnly);
    Store("XPStyle", QStringLiteral("1"));
    EXPECT_EQ(ui::CheckValue(Form().chkXPStyle), 1);
    EXPECT_TRUE(QFileInfo::exists(options::ActiveStyleMarker()));
    EXPECT_TRUE(ui::ShownBoxes().empty());
}

}  // namespace
}  // namespace snapwire
