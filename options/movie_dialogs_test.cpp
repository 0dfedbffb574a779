#include "options/frm_audio.h"
#include "options/frm_capture.h"
#include "options/movie_frame_rate.h"
#include "options/movie_rules.h"

#include "engine/frm_main.h"
#include "options/options_window_test.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/capture_test_support.h"
#include "windows/frm_help.h"
#include "windows/modal_showing.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSlider>
#include <QSpinBox>
#include <stdexcept>
#include <tuple>

namespace snapwire {
namespace {

using testing::OptionsWindowTest;

auto Fields(const capture::SoundFormat& format) {
    return std::make_tuple(format.formatTag, format.channels, format.samplesPerSec, format.avgBytesPerSec,
                           format.blockAlign, format.bitsPerSample);
}

// --- Rules without a window ------------------------------------------------------------------

TEST(MovieRules, SoundFormatFollowsTheChoicesAndTheLeadingNumber) {
    using options::PcmSoundFormat;
    EXPECT_EQ(Fields(PcmSoundFormat(false, false, QStringLiteral("44100"))),
              std::make_tuple(1, 2, 44100, 176400, 4, 16));
    EXPECT_EQ(Fields(PcmSoundFormat(true, true, QStringLiteral("11025"))),
              std::make_tuple(1, 1, 11025, 11025, 1, 8));
    EXPECT_EQ(PcmSoundFormat(true, false, QStringLiteral("22050 Hz")).samplesPerSec, 22050);
    EXPECT_EQ(PcmSoundFormat(true, false, QStringLiteral("Hz")).samplesPerSec, 0);
    // Halves go to the even neighbour, in the rate and in the byte rate alike.
    const capture::SoundFormat half = PcmSoundFormat(true, true, QStringLiteral("8000.5"));
    EXPECT_EQ(half.samplesPerSec, 8000);
    EXPECT_EQ(half.avgBytesPerSec, 8000);
    EXPECT_EQ(PcmSoundFormat(true, true, QStringLiteral("8001.5")).samplesPerSec, 8002);
    EXPECT_THROW(PcmSoundFormat(false, false, QStringLiteral("1e12")), std::out_of_range);
}

TEST(MovieRules, StoredFrameRateDefaultsTo30AndStaysOnTheSlider) {
    using options::StoredFrameRate;
    EXPECT_EQ(StoredFrameRate(QString()), 30);
    EXPECT_EQ(StoredFrameRate(QStringLiteral("0")), 30);
    EXPECT_EQ(StoredFrameRate(QStringLiteral("abc")), 30);
    EXPECT_EQ(StoredFrameRate(QStringLiteral("15")), 15);
    EXPECT_EQ(StoredFrameRate(QStringLiteral("500")), 100);
    EXPECT_EQ(StoredFrameRate(QStringLiteral("-4")), 1);
}

TEST(MovieRules, OverwriteQuestionQuotesThePathAndLeavesABlankLine) {
    EXPECT_EQ(options::OverwriteQuestion(QStringLiteral("/tmp/a.avi")),
              QStringLiteral("'/tmp/a.avi' already exist\r\rOverwrite?"));
}

// --- Capture dialog ---------------------------------------------------------------------------

class FrmCaptureTest : public OptionsWindowTest {
  protected:
    static frmCapture& Dialog() { return forms::frmCapture(); }
    static void Type(QWidget* box, QChar character) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(character));
        QCoreApplication::sendEvent(box, &press);
    }
};

TEST_F(FrmCaptureTest, FirstUseShowsTheDesignState) {
    frmCapture& dialog = Dialog();
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Capture Movie"));
    EXPECT_EQ(dialog.txtFilename->text(), QDir::homePath() + QStringLiteral("/capture.avi"));
    EXPECT_EQ(dialog.dlgFileName(), QDir::homePath() + QStringLiteral("/capture.avi"));
    EXPECT_TRUE(dialog.radCaptureuntil->isChecked());
    EXPECT_FALSE(dialog.radCapturefor->isChecked());
    EXPECT_EQ(dialog.txtCapturefor->text(), QStringLiteral("60"));
    EXPECT_EQ(dialog.UpDown2->value(), 60);
    EXPECT_EQ(dialog.lblSeconds->text(), QStringLiteral("seconds"));
    EXPECT_TRUE(dialog.chkCaptureAudio->isChecked());
    EXPECT_FALSE(dialog.isVisible());
}

TEST_F(FrmCaptureTest, ATypedFileNameIsStoredAtOnceAndShownAfterARestart) {
    Dialog().txtFilename->setText(homeFile(QStringLiteral("garden.avi")));
    EXPECT_EQ(Stored("Capture Filename"), homeFile(QStringLiteral("garden.avi")));

    ui::UnloadAllForms();
    EXPECT_EQ(Dialog().txtFilename->text(), homeFile(QStringLiteral("garden.avi")));
    EXPECT_EQ(Dialog().dlgFileName(), homeFile(QStringLiteral("garden.avi")));
}

TEST_F(FrmCaptureTest, BrowseTakesTheChosenFileAndACancelKeepsWhatWasTyped) {
    frmCapture& dialog = Dialog();
    ui::AnswerNextFileDialog(homeFile(QStringLiteral("chosen.avi")));
    dialog.cmdBrowse->click();
    EXPECT_EQ(dialog.txtFilename->text(), homeFile(QStringLiteral("chosen.avi")));
    EXPECT_EQ(dialog.dlgFileName(), homeFile(QStringLiteral("chosen.avi")));
    EXPECT_EQ(Stored("Capture Filename"), homeFile(QStringLiteral("chosen.avi")));

    dialog.txtFilename->setText(homeFile(QStringLiteral("typed.avi")));
    ui::AnswerNextFileDialog(std::nullopt);
    dialog.cmdBrowse->click();
    EXPECT_EQ(dialog.txtFilename->text(), homeFile(QStringLiteral("typed.avi")));
    EXPECT_EQ(Stored("Capture Filename"), homeFile(QStringLiteral("typed.avi")));
    // The dialog keeps the name it gave last for its next opening.
    EXPECT_EQ(dialog.dlgFileName(), homeFile(QStringLiteral("chosen.avi")));
}

TEST_F(FrmCaptureTest, SecondsBoxTakesDigitsOnlyAndKeepsItsLabelAndUpDownInStep) {
    frmCapture& dialog = Dialog();
    QLineEdit* seconds = dialog.txtCapturefor;
    seconds->clear();
    Type(seconds, QLatin1Char('a'));
    Type(seconds, QLatin1Char('-'));
    Type(seconds, QLatin1Char('1'));
    EXPECT_EQ(seconds->text(), QStringLiteral("1"));
    EXPECT_EQ(dialog.lblSeconds->text(), QStringLiteral("second"));
    EXPECT_EQ(dialog.UpDown2->value(), 1);

    Type(seconds, QLatin1Char('5'));
    EXPECT_EQ(dialog.lblSeconds->text(), QStringLiteral("seconds"));
    EXPECT_EQ(dialog.UpDown2->value(), 15);

    seconds->clear();
    EXPECT_EQ(dialog.lblSeconds->text(), QStringLiteral("seconds"));
    EXPECT_EQ(dialog.UpDown2->value(), 15);

    // A pasted text that is no number gives way to the up-down's value.
    seconds->setText(QStringLiteral("ten"));
    EXPECT_EQ(seconds->text(), QStringLiteral("15"));
    seconds->setText(QStringLiteral("-7"));
    EXPECT_EQ(seconds->text(), QStringLiteral("0"));

    // Beyond the up-down's range the box keeps the number and the up-down its value.
    seconds->setText(QStringLiteral("90000"));
    EXPECT_EQ(seconds->text(), QStringLiteral("90000"));
    EXPECT_EQ(dialog.UpDown2->value(), 0);

    dialog.UpDown2->setValue(120);
    EXPECT_EQ(seconds->text(), QStringLiteral("120"));
}

TEST_F(FrmCaptureTest, SoundBoxSwitchesTheControlsSoundOnlyWhenClicked) {
    capture::CaptureControl* vcx = forms::frmMain().vcx;
    vcx->SetCaptureSound(false);
    frmCapture& dialog = Dialog();
    EXPECT_FALSE(vcx->CaptureSound());  // the ticked design state says nothing yet
    dialog.chkCaptureAudio->click();
    EXPECT_FALSE(vcx->CaptureSound());
    dialog.chkCaptureAudio->click();
    EXPECT_TRUE(vcx->CaptureSound());
}

TEST_F(FrmCaptureTest, CancelAndTheCloseBoxOnlyHide) {
    frmCapture& dialog = Dialog();
    dialog.txtCapturefor->setText(QStringLiteral("5"));
    dialog.radCapturefor->setChecked(true);
    dialog.show();
    dialog.cmdCancel->click();
    EXPECT_FALSE(dialog.isVisible());
    dialog.show();
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    // Same window, same settings: the duration is kept for the rest of the run.
    EXPECT_EQ(&Dialog(), &dialog);
    EXPECT_TRUE(Dialog().radCapturefor->isChecked());
    EXPECT_EQ(Dialog().txtCapturefor->text(), QStringLiteral("5"));
}

TEST_F(FrmCaptureTest, SettingsButtonsOpenTheirDialogsModally) {
    frmCapture& dialog = Dialog();
    QWidget* shown = nullptr;
    capture::testing::AnswerNextDialog([&](QDialog* modal) {
        shown = modal;
        forms::movieframerate().sldFrameRate->setValue(12);
        forms::movieframerate().Command1->click();
    });
    dialog.cmdFrameSec->click();
    EXPECT_EQ(shown, &forms::movieframerate());
    EXPECT_EQ(Stored("FrameRate"), QStringLiteral("12"));

    shown = nullptr;
    capture::testing::AnswerNextDialog([&](QDialog* modal) {
        shown = modal;
        forms::frmAudio().CancelButton->click();
    });
    dialog.cmdAudioFormat->click();
    EXPECT_TRUE(shown != nullptr && shown->windowTitle() == QStringLiteral("Audio format settings"));

    // The driver's compressor dialog, cancelled.
    bool compressorShown = false;
    capture::testing::AnswerNextDialog([&](QDialog* modal) {
        compressorShown = true;
        modal->reject();
    });
    dialog.cmdCompressor->click();
    EXPECT_TRUE(compressorShown);
}

// --- Frame rate -------------------------------------------------------------------------------

class MovieFrameRateTest : public OptionsWindowTest {
  protected:
    static movieframerate& Dialog() { return forms::movieframerate(); }
};

TEST_F(MovieFrameRateTest, AbsentOrZeroGives30) {
    EXPECT_EQ(Dialog().sldFrameRate->value(), 30);
    EXPECT_EQ(Dialog().txtFrameRate->text(), QStringLiteral("30"));
    EXPECT_EQ(Dialog().windowTitle(), QStringLiteral("Movie Frame Rate"));

    ui::UnloadAllForms();
    Store("FrameRate", QStringLiteral("0"));
    EXPECT_EQ(Dialog().sldFrameRate->value(), 30);
}

TEST_F(MovieFrameRateTest, StoredRateIsLoadedAndOkStoresTheSlider) {
    Store("FrameRate", QStringLiteral("15"));
    movieframerate& dialog = Dialog();
    EXPECT_EQ(dialog.sldFrameRate->value(), 15);
    EXPECT_EQ(dialog.txtFrameRate->text(), QStringLiteral("15"));

    dialog.sldFrameRate->setValue(25);
    EXPECT_EQ(dialog.txtFrameRate->text(), QStringLiteral("25"));
    EXPECT_EQ(Stored("FrameRate"), QStringLiteral("15"));  // only OK stores
    dialog.show();
    dialog.Command1->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Stored("FrameRate"), QStringLiteral("25"));
}

TEST_F(MovieFrameRateTest, TextBoxDrivesTheSliderWithinItsRange) {
    movieframerate& dialog = Dialog();
    dialog.txtFrameRate->setText(QStringLiteral("050"));
    EXPECT_EQ(dialog.sldFrameRate->value(), 50);
    EXPECT_EQ(dialog.txtFrameRate->text(), QStringLiteral("050"));  // not rewritten while typed

    dialog.txtFrameRate->setText(QStringLiteral("500"));
    EXPECT_EQ(dialog.sldFrameRate->value(), 50);
    EXPECT_EQ(dialog.txtFrameRate->text(), QStringLiteral("500"));
    dialog.txtFrameRate->setText(QStringLiteral("0"));
    EXPECT_EQ(dialog.sldFrameRate->value(), 50);

    dialog.txtFrameRate->setText(QStringLiteral("fast"));
    EXPECT_EQ(dialog.txtFrameRate->text(), QStringLiteral("50"));
    dialog.txtFrameRate->clear();
    EXPECT_EQ(dialog.txtFrameRate->text(), QStringLiteral("50"));
}

TEST_F(MovieFrameRateTest, OnlyOkLeavesTheDialog) {
    movieframerate& dialog = Dialog();
    dialog.show();
    dialog.close();
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&dialog, &escape);
    EXPECT_TRUE(dialog.isVisible());
    dialog.Command1_Click();
    EXPECT_FALSE(dialog.isVisible());
}

// --- Audio format -----------------------------------------------------------------------------

class FrmAudioTest : public OptionsWindowTest {
  protected:
    static frmAudio& Dialog() { return forms::frmAudio(); }
    static capture::CaptureControl* Control() { return forms::frmMain().vcx; }
    static void Choose(frmAudio& dialog, bool mono, bool eightBits, const QString& frequency) {
        (mono ? dialog.Option1 : dialog.Option2)->setChecked(true);
        (eightBits ? dialog.Option4 : dialog.Option3)->setChecked(true);
        dialog.text2->setCurrentText(frequency);
    }
    // The dialog closed by OK or Cancel is gone once the event loop has run.
    static void LetTheClosedDialogGo() { QCoreApplication::processEvents(); }
};

TEST_F(FrmAudioTest, FirstOpeningHandsOverStereo16Bits44100) {
    Control()->SetSoundFormat({1, 1, 8000, 8000, 1, 8});
    frmAudio& dialog = Dialog();
    EXPECT_EQ(Fields(Control()->GetSoundFormat()), std::make_tuple(1, 2, 44100, 176400, 4, 16));
    EXPECT_TRUE(dialog.Option2->isChecked());
    EXPECT_TRUE(dialog.Option3->isChecked());
    EXPECT_EQ(dialog.text2->currentText(), QStringLiteral("44100"));
    EXPECT_EQ(dialog.text2->count(), 9);
    EXPECT_EQ(dialog.windowTitle(), QStringLiteral("Audio format settings"));
    EXPECT_TRUE(ui::ShownBoxes().empty());
}

TEST_F(FrmAudioTest, OkStoresTheChoicesHandsThemOverAndClosesForGood) {
    frmAudio& dialog = Dialog();
    dialog.show();
    Choose(dialog, true, true, QStringLiteral("11025"));
    dialog.OKButton->click();

    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.IsClosed());
    EXPECT_EQ(Fields(Control()->GetSoundFormat()), std::make_tuple(1, 1, 11025, 11025, 1, 8));
    EXPECT_EQ(Stored("AudioMono"), QStringLiteral("True"));
    EXPECT_EQ(Stored("AudioStereo"), QStringLiteral("False"));
    EXPECT_EQ(Stored("Audio8bits"), QStringLiteral("True"));
    EXPECT_EQ(Stored("Audio16bits"), QStringLiteral("False"));
    EXPECT_EQ(Stored("AudioFreq"), QStringLiteral("11025"));

    // The next opening loads afresh from the stored choices.
    LetTheClosedDialogGo();
    Control()->SetSoundFormat({1, 2, 48000, 192000, 4, 16});
    frmAudio& again = Dialog();
    EXPECT_FALSE(again.IsClosed());
    EXPECT_TRUE(again.Option1->isChecked());
    EXPECT_TRUE(again.Option4->isChecked());
    EXPECT_EQ(again.text2->currentText(), QStringLiteral("11025"));
    EXPECT_EQ(Control()->GetSoundFormat().samplesPerSec, 11025);
}

TEST_F(FrmAudioTest, AFrequencyWithAUnitCountsByItsNumberAndShowsWhatTheControlReports) {
    frmAudio& dialog = Dialog();
    Choose(dialog, false, false, QStringLiteral("22050 Hz"));
    dialog.OKButton_Click();
    EXPECT_EQ(Fields(Control()->GetSoundFormat()), std::make_tuple(1, 2, 22050, 88200, 4, 16));
    EXPECT_EQ(Stored("AudioFreq"), QStringLiteral("22050 Hz"));
    LetTheClosedDialogGo();
    EXPECT_EQ(Dialog().text2->currentText(), QStringLiteral("22050"));
}

TEST_F(FrmAudioTest, CancelLeavesStoredValuesAndTheControlAlone) {
    Store("AudioFreq", QStringLiteral("32000"));
    frmAudio& dialog = Dialog();
    const auto handedOver = Fields(Control()->GetSoundFormat());
    Choose(dialog, true, true, QStringLiteral("8000"));
    dialog.CancelButton->click();
    EXPECT_TRUE(dialog.IsClosed());
    EXPECT_EQ(Fields(Control()->GetSoundFormat()), handedOver);
    EXPECT_EQ(Stored("AudioFreq"), QStringLiteral("32000"));
    EXPECT_EQ(Stored("AudioMono"), QString());
}

TEST_F(FrmAudioTest, EscapeClosesLikeCancel) {
    frmAudio& dialog = Dialog();
    dialog.show();
    Choose(dialog, true, true, QStringLiteral("8000"));
    dialog.close();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_TRUE(dialog.IsClosed());
    EXPECT_EQ(Stored("AudioMono"), QString());
}

TEST_F(FrmAudioTest, ARefusedFormatIsStoredAllTheSameAndTheDialogStaysOpen) {
    frmAudio& dialog = Dialog();
    dialog.show();
    Choose(dialog, true, false, QStringLiteral("Hz"));
    ui::AnswerNextMessageBox(ui::vbOK);
    dialog.OKButton->click();

    ASSERT_EQ(ShownPrompts(), QStringList(QStringLiteral("Illegal value")));
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbCritical + ui::vbOKOnly);
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_FALSE(dialog.IsClosed());
    EXPECT_EQ(Stored("AudioFreq"), QStringLiteral("Hz"));
    EXPECT_EQ(Stored("AudioMono"), QStringLiteral("True"));
    EXPECT_EQ(Control()->GetSoundFormat().samplesPerSec, 44100);  // the control kept the last format

    // The next opening complains once and shows the stored choices, not the control's format.
    dialog.CancelButton_Click();
    LetTheClosedDialogGo();
    ui::ClearShownBoxes();
    ui::AnswerNextMessageBox(ui::vbOK);
    frmAudio& again = Dialog();
    EXPECT_EQ(ShownPrompts(), QStringList(QStringLiteral("Illegal value")));
    EXPECT_EQ(again.text2->currentText(), QStringLiteral("Hz"));
    EXPECT_TRUE(again.Option1->isChecked());
    EXPECT_TRUE(again.Option3->isChecked());
}

// Each movie dialog's Help shows its own topic in the help window.
TEST_F(OptionsWindowTest, MovieDialogsHelpShowsTheirTopics) {
    QString shownNode;
    SetModalShowingForTests([&shownNode](QDialog&) { shownNode = forms::frmHelp().SelectedKey(); });
    forms::frmCapture().cmdHelp->click();
    EXPECT_EQ(shownNode, "capture_movie");
    forms::movieframerate().cmdHelp->click();
    EXPECT_EQ(shownNode, "movie_frame_rate");
    forms::frmAudio().cmdHelp->click();
    EXPECT_EQ(shownNode, "audio_format");
    SetModalShowingForTests({});
}

}  // namespace
}  // namespace snapwire
