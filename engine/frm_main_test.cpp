#include "engine/frm_main.h"

#include <gtest/gtest.h>

#include <vector>

#include <QAction>
#include <QApplication>
#include <QColor>
#include <QComboBox>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>

#include "engine/main_toolbar.h"
#include "engine/main_window_test_fixture.h"
#include "engine/picture_box.h"
#include "engine/status_bar.h"
#include "options/frm_driver.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/device_list.h"
#include "platform/ftp/ftp_session.h"
#include "platform/ui/app_control.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_box.h"
#include "windows/frm_about.h"
#include "windows/frm_help.h"
#include "windows/modal_showing.h"
#include "windows/news_form.h"

namespace snapwire {
namespace {

using testing::MainWindowTest;

const char* const kButtonFlags[] = {"TBFTP",      "TBHideInSystray", "TBMotionDetection", "TBPicture",
                                    "TBProgConf", "TBSaveImage",     "TBSaveMotion",      "TBUploadNow"};

std::vector<QString> ShownPrompts() {
    std::vector<QString> prompts;
    for (const ui::ShownBox& box : ui::ShownBoxes()) prompts.push_back(box.prompt);
    return prompts;
}

// --- Loading -------------------------------------------------------------------------

TEST_F(MainWindowTest, FirstRunWritesItsValuesAndOpensAtTheDefaultSize) {
    frmMain& window = forms::frmMain();

    EXPECT_EQ(Stored("FirstTime"), QStringLiteral("False"));
    for (const char* flag : kButtonFlags) EXPECT_EQ(Stored(flag), QStringLiteral("True")) << flag;
    EXPECT_EQ(Stored("TBHideToolbar"), QStringLiteral("False"));
    EXPECT_EQ(window.WidthTwips(), 6100);
    EXPECT_EQ(window.HeightTwips(), 6400);
    EXPECT_EQ(window.width(), 407);  // 6100 twips, rounded to whole pixels
    EXPECT_TRUE(window.isVisible());
    for (int button = 1; button <= MainToolbar::kButtonCount; ++button)
        EXPECT_TRUE(window.Toolbar1->ButtonVisible(button)) << button;

    const capture::CaptureStatus frame = window.vcx->GetCaptureStatus();
    ASSERT_GT(frame.width, 0);
    EXPECT_EQ(window.vcx->size(), QSize(frame.width, frame.height));
    // The first run's default account uploads every minute.
    EXPECT_EQ(window.StatusBar1->PanelText(1), QStringLiteral("Upload every 1 minute"));
    EXPECT_EQ(window.StatusBar1->PanelText(2),
              QString::number(frame.width) + QStringLiteral(" x ") + QString::number(frame.height));
    EXPECT_TRUE(window.vcx->LivePreview());
    EXPECT_TRUE(window.hInternet()->IsOpen());
    EXPECT_EQ(window.hInternet()->Agent(), QStringLiteral("ORSN"));
    EXPECT_TRUE(ui::ShownBoxes().empty());
}

TEST_F(MainWindowTest, LaterRunReadsStoredSizeAndFlagsWithoutRewritingThem) {
    StoreNotFirstRun();
    Store("Width", QStringLiteral("7500"));
    Store("Height", QStringLiteral("5250"));
    Store("TBFTP", QStringLiteral("False"));
    frmMain& window = forms::frmMain();

    EXPECT_EQ(window.WidthTwips(), 7500);
    EXPECT_EQ(window.HeightTwips(), 5250);
    EXPECT_FALSE(window.mnuPFTP->isChecked());
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(7));
    EXPECT_EQ(Stored("TBFTP"), QStringLiteral("False"));
    EXPECT_EQ(Stored("TBPicture"), QString());  // not a first run: nothing written
}

TEST_F(MainWindowTest, OnlyExactlyTrueShowsTheTimestampStrip) {
    for (const char* text : {"True", "true", "TRUE", "1"}) {
        Store("LastTimestamp", QString::fromLatin1(text));
        frmMain& window = forms::frmMain();
        const bool expected = QString::fromLatin1(text) == QLatin1String("True");
        EXPECT_EQ(window.mnuTimestamp->isChecked(), expected) << text;
        EXPECT_EQ(!window.picTime->isHidden(), expected) << text;
        ui::UnloadAllForms();
    }
}

TEST_F(MainWindowTest, StoredFlagsAreReadBackInTheirSeveralForms) {
    StoreNotFirstRun();
    Store("TBFTP", QStringLiteral("TRUE"));
    Store("TBPicture", QStringLiteral("-1"));
    Store("TBProgConf", QString());
    Store("TBUploadNow", QStringLiteral("0"));
    Store("TBSaveImage", QStringLiteral("False"));
    Store("TBSaveMotion", QStringLiteral("False"));
    Store("TBHideToolbar", QStringLiteral("True"));
    frmMain& window = forms::frmMain();

    EXPECT_TRUE(window.mnuPFTP->isChecked());
    EXPECT_TRUE(window.Toolbar1->ButtonVisible(7));
    EXPECT_TRUE(window.mnuPPicture->isChecked());
    EXPECT_TRUE(window.Toolbar1->ButtonVisible(9));
    EXPECT_FALSE(window.mnuPProgConf->isChecked());
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(8));
    EXPECT_FALSE(window.mnuPUpload_now->isChecked());
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(4));
    // Buttons 1 and 2 both hidden take their separator with them.
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(3));
    EXPECT_TRUE(window.mnuPHide_Toolbar->isChecked());

    // The hidden toolbar takes effect when the window becomes active.
    window.Form_Activate();
    EXPECT_TRUE(window.Toolbar1->isHidden());
    EXPECT_EQ(window.bgPic->y(), 0);
    EXPECT_FALSE(window.mnuShowToolBar->isChecked());
}

TEST_F(MainWindowTest, NoDeviceListsNoneReportsItAndHidesTheVideo) {
    qputenv("SNAPWIRE_NO_TEST_DEVICE", "1");
    ui::AnswerNextMessageBox(ui::vbOK);
    ui::AnswerNextMessageBox(ui::vbOK);
    frmMain& window = forms::frmMain();

    QComboBox* list = forms::frmDriver().cbDriver;
    ASSERT_EQ(list->count(), 1);
    EXPECT_EQ(list->itemText(0), QStringLiteral("<none>"));
    EXPECT_EQ(list->currentIndex(), 0);
    const std::vector<QString> prompts = ShownPrompts();
    ASSERT_EQ(prompts.size(), 2u);
    EXPECT_EQ(prompts[0], QStringLiteral("No Video Capture Device!"));
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbInformation);
    // The connect step still runs, and fails.
    EXPECT_TRUE(prompts[1] == QStringLiteral("Couldn't connect to capture device!") ||
                prompts[1] == QStringLiteral("Couldn't connect to camera!"))
        << prompts[1].toStdString();
    EXPECT_EQ(ui::ShownBoxes()[1].style, ui::vbCritical);
    EXPECT_TRUE(window.vcx->isHidden());
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowTest, StoredDriverIsSelectedAndConnected) {
    capture::FrameFeed::Enable();
    StoreNotFirstRun();
    Store("Select the driver you want to use:", QString::fromLatin1(capture::kTestPatternName));
    QComboBox* list = forms::frmDriver().cbDriver;
    std::vector<int> selections;
    QObject::connect(list, &QComboBox::currentIndexChanged, list,
                     [&selections](int index) { selections.push_back(index); });
    frmMain& window = forms::frmMain();

    // Straight to the stored entry: the frame feed listed first is never connected on the way.
    ASSERT_EQ(list->itemText(0), QString::fromLatin1(capture::kFrameFeedName));
    EXPECT_EQ(selections, std::vector<int>{1});
    EXPECT_EQ(list->currentText(), QString::fromLatin1(capture::kTestPatternName));
    EXPECT_EQ(window.vcx->DeviceName(window.vcx->DeviceIndex()),
              QString::fromLatin1(capture::kTestPatternName));
    EXPECT_TRUE(ui::ShownBoxes().empty());
}

TEST_F(MainWindowTest, UnknownStoredDriverLeavesTheFirstEntrySelected) {
    capture::FrameFeed::Enable();
    StoreNotFirstRun();
    Store("Select the driver you want to use:", QStringLiteral("A camera that was unplugged"));
    frmMain& window = forms::frmMain();

    EXPECT_EQ(forms::frmDriver().cbDriver->currentIndex(), 0);
    EXPECT_EQ(window.vcx->DeviceIndex(), 0);
}

TEST_F(MainWindowTest, StoredBackgroundColourIsAppliedAndAnythingElseIgnored) {
    StoreNotFirstRun();
    Store("ProgramBGColor", QStringLiteral("16711680"));  // 0x00FF0000: blue
    EXPECT_EQ(forms::frmMain().bgPic->BackColor(), QColor(0, 0, 255));
    ui::UnloadAllForms();

    const QColor plain = PictureBox().BackColor();
    for (const char* text : {"green", "16777216", "-1", "1E+300"}) {
        Store("ProgramBGColor", QString::fromLatin1(text));
        EXPECT_EQ(forms::frmMain().bgPic->BackColor(), plain) << text;
        ui::UnloadAllForms();
    }
}

// A picture area paints only the background its picture leaves uncovered: all of
// it around an opaque picture, and beneath one with transparent parts.
TEST_F(MainWindowTest, PictureAreasShowTheBackgroundOnlyWhereThePictureLetsThrough) {
    PictureBox box;
    box.resize(10, 10);
    box.SetBackColor(Qt::red);
    QImage opaque(4, 4, QImage::Format_RGB32);
    opaque.fill(Qt::blue);
    box.SetPicture(QPixmap::fromImage(opaque));
    QImage shown = box.grab().toImage();
    EXPECT_EQ(shown.pixelColor(1, 1), QColor(Qt::blue));
    EXPECT_EQ(shown.pixelColor(6, 1), QColor(Qt::red));
    EXPECT_EQ(shown.pixelColor(1, 6), QColor(Qt::red));

    QImage clear(4, 4, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    box.SetPicture(QPixmap::fromImage(clear));
    shown = box.grab().toImage();
    EXPECT_EQ(shown.pixelColor(1, 1), QColor(Qt::red));
}

// --- Closing --------------------------------------------------------------------------

TEST_F(MainWindowTest, ClosingWithTheTrayInUseSavesAndOnlyHides) {
    SetTrayAvailableForTests(true);
    forms::StartUp();
    frmMain& window = forms::frmMain();
    window.mnuTimestamp_Click();

    EXPECT_FALSE(window.close());
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(programEnds().empty());
    EXPECT_EQ(Stored("Width"), QStringLiteral("6100"));
    EXPECT_EQ(Stored("Height"), QStringLiteral("6400"));
    EXPECT_EQ(Stored("LastTimestamp"), QStringLiteral("True"));
}

TEST_F(MainWindowTest, ClosingWithTheTrayOffEndsTheProgram) {
    Store("Systray", QStringLiteral("1"));
    SetTrayAvailableForTests(true);
    frmMain& window = forms::frmMain();

    bool cancel = false;
    EXPECT_THROW(window.Form_Unload(cancel), ui::ProgramEnded);
    EXPECT_EQ(programEnds().size(), 1u);
    EXPECT_EQ(Stored("Width"), QStringLiteral("6100"));
    EXPECT_EQ(Stored("LastTimestamp"), QStringLiteral("False"));
}

TEST_F(MainWindowTest, ClosingWhereTheDesktopHasNoTrayEndsInsteadOfHiding) {
    SetTrayAvailableForTests(false);
    frmMain& window = forms::frmMain();

    bool cancel = false;
    EXPECT_THROW(window.Form_Unload(cancel), ui::ProgramEnded);
    EXPECT_FALSE(cancel);
    EXPECT_TRUE(window.isVisible());
}

TEST_F(MainWindowTest, ClosingAMaximisedWindowSavesItsNormalSize) {
    SetTrayAvailableForTests(true);
    forms::StartUp();
    frmMain& window = forms::frmMain();
    window.showMaximized();
    QApplication::processEvents();
    ASSERT_TRUE(window.isMaximized());
    ASSERT_NE(window.width(), 407);

    window.close();
    EXPECT_EQ(Stored("Width"), QStringLiteral("6100"));
    EXPECT_EQ(Stored("Height"), QStringLiteral("6400"));
}

TEST_F(MainWindowTest, ExitSavesAndEndsEvenWithTheTrayInUse) {
    SetTrayAvailableForTests(true);
    forms::StartUp();
    frmMain& window = forms::frmMain();
    window.SetWidthTwips(8000);

    EXPECT_THROW(window.exit_Click(), ui::ProgramEnded);
    EXPECT_EQ(programEnds().size(), 1u);
    EXPECT_EQ(Stored("Width"), QStringLiteral("8000"));
}

// --- Toolbar popup ------------------------------------------------------------------------

TEST_F(MainWindowTest, SeparatorFollowsTheButtonsOfItsGroup) {
    frmMain window;
    window.mnuPSave_Image_Capture_Click();
    EXPECT_TRUE(window.Toolbar1->ButtonVisible(3));
    window.mnuPSave_Motion_Image_Capture_Click();
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(3));
    window.mnuPSave_Motion_Image_Capture_Click();
    EXPECT_TRUE(window.Toolbar1->ButtonVisible(3));

    window.mnuPUpload_now_Click();
    window.mnuPMotion_Detection_Click();
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(6));
    EXPECT_FALSE(window.mnuPUpload_now->isChecked());
}

TEST_F(MainWindowTest, UploadSettingsAsLastOfThreeKeepsTheSeparatorWhileButtonElevenIsHidden) {
    frmMain window;
    window.mnuPhis_Click();
    ASSERT_FALSE(window.Toolbar1->ButtonVisible(11));
    window.mnuPProgConf_Click();
    window.mnuPPicture_Click();
    window.mnuPFTP_Click();
    EXPECT_TRUE(window.Toolbar1->ButtonVisible(10));

    window.mnuPFTP_Click();
    window.mnuPFTP_Click();  // buttons 7 to 9 hidden again, "Upload Settings" last
    EXPECT_TRUE(window.Toolbar1->ButtonVisible(10));
    window.mnuPPicture_Click();
    window.mnuPPicture_Click();  // now "Picture (Source)" last
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(10));
}

TEST_F(MainWindowTest, UploadSettingsAsLastOfThreeHidesTheSeparatorBesideButtonEleven) {
    frmMain window;
    window.mnuPProgConf_Click();
    window.mnuPPicture_Click();
    window.mnuPFTP_Click();
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(10));
    // Hiding button 11 afterwards leaves the separator as it is.
    window.mnuPhis_Click();
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(10));
}

TEST_F(MainWindowTest, ResetShowsEveryButtonButLeavesAHiddenToolbarHidden) {
    frmMain window;
    window.ShowTrayItems(false);
    window.mnuPSave_Image_Capture_Click();
    window.mnuPSave_Motion_Image_Capture_Click();
    window.mnuPHide_Toolbar_Click();
    ASSERT_TRUE(window.Toolbar1->isHidden());

    window.mnuPReset_Click();
    for (int button = 1; button <= MainToolbar::kButtonCount; ++button)
        EXPECT_TRUE(window.Toolbar1->ButtonVisible(button)) << button;
    for (QAction* item : {window.mnuPFTP, window.mnuPhis, window.mnuPMotion_Detection, window.mnuPPicture,
                          window.mnuPProgConf, window.mnuPSave_Image_Capture,
                          window.mnuPSave_Motion_Image_Capture, window.mnuPUpload_now})
        EXPECT_TRUE(item->isChecked()) << item->objectName().toStdString();
    EXPECT_FALSE(window.mnuPHide_Toolbar->isChecked());
    EXPECT_TRUE(window.Toolbar1->isHidden());
    EXPECT_FALSE(window.mnuShowToolBar->isChecked());
}

TEST_F(MainWindowTest, ChosenPopupItemInvertsItsMarkOnce) {
    frmMain window;
    window.mnuPUpload_now->trigger();
    EXPECT_FALSE(window.mnuPUpload_now->isChecked());
    EXPECT_FALSE(window.Toolbar1->ButtonVisible(4));
    window.mnuPUpload_now->trigger();
    EXPECT_TRUE(window.mnuPUpload_now->isChecked());
    EXPECT_TRUE(window.Toolbar1->ButtonVisible(4));
}

TEST_F(MainWindowTest, RightButtonOnTheToolbarOpensThePopupAndWritesAllNineFlags) {
    frmMain window;
    int popups = 0;
    SetPopupMenuHandlerForTests([&](QMenu* menu) {
        ++popups;
        EXPECT_EQ(menu, window.mnuPopup);
        window.mnuPUpload_now->trigger();
    });
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(2, 2), window.Toolbar1->mapToGlobal(QPointF(2, 2)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(window.Toolbar1, &press);

    EXPECT_EQ(popups, 1);
    EXPECT_EQ(Stored("TBUploadNow"), QStringLiteral("False"));
    EXPECT_EQ(Stored("TBFTP"), QStringLiteral("True"));
    EXPECT_EQ(Stored("TBHideToolbar"), QStringLiteral("False"));
}

TEST_F(MainWindowTest, DismissedPopupStillWritesTheFlagsAndTheLeftButtonWritesNothing) {
    frmMain window;
    SetPopupMenuHandlerForTests([](QMenu*) {});
    window.Toolbar1_MouseDown(1);
    EXPECT_EQ(Stored("TBFTP"), QString());

    window.mnuPPicture_Click();
    window.Toolbar1_MouseDown(2);
    for (const char* flag : kButtonFlags)
        EXPECT_EQ(Stored(flag), QString::fromLatin1(qstrcmp(flag, "TBPicture") == 0 ? "False" : "True"))
            << flag;
    EXPECT_EQ(Stored("TBHideToolbar"), QStringLiteral("False"));
}

// --- Layout -------------------------------------------------------------------------------

TEST_F(MainWindowTest, HidingTheToolbarGivesItsRowToTheBackground) {
    frmMain& window = forms::frmMain();
    const int inner = window.centralWidget()->height();
    ASSERT_EQ(window.bgPic->height(), inner - 44);
    ASSERT_EQ(window.bgPic->y(), 24);

    window.mnuShowToolBar_Click();
    EXPECT_EQ(Stored("TBHideToolbar"), QStringLiteral("True"));
    EXPECT_TRUE(window.Toolbar1->isHidden());
    EXPECT_TRUE(window.mnuPHide_Toolbar->isChecked());
    EXPECT_FALSE(window.mnuShowToolBar->isChecked());
    EXPECT_EQ(window.bgPic->y(), 0);
    EXPECT_EQ(window.bgPic->height(), inner - 44 + 24);

    window.mnuPHide_Toolbar_Click();
    EXPECT_FALSE(window.Toolbar1->isHidden());
    EXPECT_TRUE(window.mnuShowToolBar->isChecked());
    EXPECT_EQ(window.bgPic->y(), 24);
    EXPECT_EQ(window.bgPic->height(), inner - 44);
}

TEST_F(MainWindowTest, StatusBarSwitchMovesTheBackgroundByItsHeight) {
    frmMain& window = forms::frmMain();
    const int before = window.bgPic->height();

    window.mnuStatusBar->trigger();
    EXPECT_TRUE(window.StatusBar1->isHidden());
    EXPECT_FALSE(window.mnuStatusBar->isChecked());
    EXPECT_EQ(window.bgPic->height(), before + 21);

    window.mnuStatusBar->trigger();
    EXPECT_FALSE(window.StatusBar1->isHidden());
    EXPECT_TRUE(window.mnuStatusBar->isChecked());
    EXPECT_EQ(window.bgPic->height(), before);
}

TEST_F(MainWindowTest, VideoStaysCentredWithTheStripBelowIt) {
    frmMain& window = forms::frmMain();
    window.mnuTimestamp->trigger();
    ASSERT_TRUE(window.mnuTimestamp->isChecked());
    window.SetWidthTwips(9000);
    window.Form_Resize();

    EXPECT_EQ(window.bgPic->width(), window.centralWidget()->width());
    EXPECT_EQ(window.vcx->x(), (window.bgPic->width() - window.vcx->width()) / 2);
    EXPECT_FALSE(window.picTime->isHidden());
    EXPECT_EQ(window.picTime->pos(), QPoint(window.vcx->x(), window.vcx->y() + window.vcx->height()));
    EXPECT_EQ(window.picTime->width(), window.vcx->width());
}

TEST_F(MainWindowTest, SizingToPictureLeavesTheBackgroundAlone) {
    frmMain& window = forms::frmMain();
    window.bgPic->resize(100, 100);
    window.mSizingToPicture = true;
    window.SetWidthTwips(9000);
    window.Form_Resize();
    EXPECT_EQ(window.bgPic->size(), QSize(100, 100));
    EXPECT_EQ(window.vcx->x(), (100 - window.vcx->width()) / 2);
    window.mSizingToPicture = false;
}

class SizeToPictureTest : public MainWindowTest {
  protected:
    frmMain& LoadWithFrame(int width, int height) {
        capture::FrameFeed::Enable();
        QImage frame(width, height, QImage::Format_RGB32);
        frame.fill(Qt::darkCyan);
        capture::FrameFeed::Push(frame);
        StoreNotFirstRun();
        Store("Select the driver you want to use:", QString::fromLatin1(capture::kFrameFeedName));
        frmMain& window = forms::frmMain();
        EXPECT_TRUE(capture::FrameFeed::PushAndWait(*window.vcx, frame));
        return window;
    }
};

TEST_F(SizeToPictureTest, SmallFrameGivesTheSmallestWindow) {
    frmMain& window = LoadWithFrame(160, 120);
    ASSERT_EQ(window.StatusBar1->PanelText(2), QStringLiteral("160 x 120"));
    window.mnuWindowtoPicture_Click();
    EXPECT_EQ(window.WidthTwips(), 3780);
    EXPECT_EQ(window.HeightTwips(), 4170);
    EXPECT_FALSE(window.mSizingToPicture);
}

TEST_F(SizeToPictureTest, LargeFrameFitsAndAHiddenToolbarTakesTwentyFourPixelsLess) {
    frmMain& window = LoadWithFrame(400, 300);
    window.mnuWindowtoPicture_Click();
    EXPECT_EQ(window.WidthTwips(), 400 * 15 + 100);
    EXPECT_EQ(window.HeightTwips(), 305 * 15 + 1450);

    window.mnuPHide_Toolbar_Click();
    window.mnuWindowtoPicture_Click();
    EXPECT_EQ(window.HeightTwips(), 281 * 15 + 1450);
}

// --- Menu commands ----------------------------------------------------------------------------

TEST_F(MainWindowTest, MotionPreviewSwitchesTheLivePicture) {
    frmMain& window = forms::frmMain();
    ASSERT_TRUE(window.motion_preview->isChecked());
    window.motion_preview->trigger();
    EXPECT_FALSE(window.motion_preview->isChecked());
    EXPECT_FALSE(window.vcx->LivePreview());
    window.motion_preview->trigger();
    EXPECT_TRUE(window.vcx->LivePreview());
}

TEST_F(MainWindowTest, CaptureDialogItemsFollowTheDriver) {
    frmMain& window = forms::frmMain();
    EXPECT_EQ(window.vformat->isEnabled(), window.vcx->HasFormatDialog());
    EXPECT_EQ(window.display->isEnabled(), window.vcx->HasDisplayDialog());
    EXPECT_EQ(window.source->isEnabled(), window.vcx->HasSourceDialog());
}

TEST_F(MainWindowTest, EveryCommandIsEnabledAndTheMovieMenuHidden) {
    frmMain window;
    for (QAction* item :
         {window.orvane_snapwire_help, window.news, window.about, window.save_image_capture,
          window.Save_Motion_Image_Capture, window.mnuupload_now, window.mnuCopytoClipboard, window.mnuPrint,
          window.mnuExport, window.mnuLastPicture, window.mnuUploadLog, window.mnuMotionLog,
          window.mnuFtpError, window.FTP, window.mnuWizard, window.mnuMovieFrameRate, window.mnuAF})
        EXPECT_TRUE(item->isEnabled()) << item->objectName().toStdString();
    for (int button : {1, 2, 4, 7}) EXPECT_TRUE(window.Toolbar1->Buttons(button)->isEnabled()) << button;
    EXPECT_EQ(window.Save_Motion_Image_Capture->shortcut(), QKeySequence(QStringLiteral("Ctrl+M")));
    EXPECT_EQ(window.save_image_capture->shortcut(), QKeySequence(QStringLiteral("Ctrl+I")));
    EXPECT_EQ(window.mnuupload_now->shortcut(), QKeySequence(QStringLiteral("Ctrl+U")));
    EXPECT_EQ(window.mnuCopytoClipboard->shortcut(), QKeySequence(QStringLiteral("Ctrl+C")));
    EXPECT_TRUE(window.prco->isEnabled());
    EXPECT_TRUE(window.exit->isEnabled());
    EXPECT_FALSE(window.mnuMovie->menuAction()->isVisible());
    EXPECT_FALSE(window.streckConf->isVisible());
    EXPECT_EQ(window.FTP->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
    EXPECT_EQ(window.prco->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
}

TEST_F(MainWindowTest, HelpItemsShowTheHelpWithoutBlockingAndNewsAndAboutModally) {
    frmMain& window = forms::frmMain();
    std::vector<const QDialog*> shownModally;
    SetModalShowingForTests([&](QDialog& shown) { shownModally.push_back(&shown); });
    window.news->trigger();
    window.about->trigger();
    window.orvane_snapwire_help->trigger();
    SetModalShowingForTests({});
    const std::vector<const QDialog*> newsThenAbout{&forms::news_form(), &forms::frmAbout()};
    EXPECT_EQ(shownModally, newsThenAbout);
    EXPECT_TRUE(forms::frmHelp().isVisible());
    EXPECT_FALSE(forms::frmHelp().isModal());
}

TEST_F(MainWindowTest, HideInTrayOnlyHidesWhereTheIconCanBringItBack) {
    SetTrayAvailableForTests(false);
    forms::StartUp();
    frmMain& window = forms::frmMain();
    window.systray_Click();
    EXPECT_TRUE(window.isVisible());

    // A tray that comes up after start-up holds no icon of ours: neither hiding nor
    // closing may leave the window out of reach.
    SetTrayAvailableForTests(true);
    window.systray_Click();
    EXPECT_TRUE(window.isVisible());
    bool cancel = false;
    EXPECT_THROW(window.Form_Unload(cancel), ui::ProgramEnded);
    EXPECT_FALSE(cancel);

    forms::StartUp().AddSystray();
    window.systray_Click();
    EXPECT_FALSE(window.isVisible());
}

}  // namespace
}  // namespace snapwire
