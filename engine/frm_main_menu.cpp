// The main window's menu bar and the menu commands that act on the window itself.

#include <QAction>
#include <QKeySequence>
#include <QMenuBar>
#include <exception>

#include "accounts/wizard.h"
#include "engine/frm_main.h"
#include "engine/main_toolbar.h"
#include "engine/main_window_rules.h"
#include "engine/menu_items.h"
#include "engine/picture_box.h"
#include "engine/start_up.h"
#include "engine/status_bar.h"
#include "options/frm_driver.h"
#include "options/prco_form.h"
#include "platform/capture/capture_control.h"
#include "platform/ui/app_control.h"
#include "windows/frm_about.h"
#include "windows/frm_help.h"
#include "windows/frm_last.h"
#include "windows/log_windows.h"
#include "windows/modal_showing.h"
#include "windows/news_form.h"

namespace snapwire {

namespace {

QMenu* AddTopMenu(QMenuBar* bar, const QString& caption, const char* name) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QString::fromLatin1(name));
    menu->menuAction()->setObjectName(QString::fromLatin1(name));
    return menu;
}

// A driver dialog or a frame size that cannot be had ends the command; the window stays as it was.
template <typename Command>
void EndQuietlyOnFailure(Command&& command) {
    try {
        command();
    } catch (const std::exception&) {
    }
}

}  // namespace

// --- Menu tree ----------------------------------------------------------------------------

void frmMain::BuildMenuBar() {
    BuildFileMenu();
    BuildViewMenu();
    BuildConfigurationMenu();
    BuildHelpMenu();
}

void frmMain::BuildFileMenu() {
    file = AddTopMenu(menuBar(), QStringLiteral("&File"), "file");
    save_image_capture = AddMenuItem(file, QStringLiteral("Capture &Image..."), "save_image_capture");
    save_image_capture->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_I));
    Save_Motion_Image_Capture =
        AddMenuItem(file, QStringLiteral("Capture &Movie..."), "Save_Motion_Image_Capture");
    Save_Motion_Image_Capture->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    file_streck2 = AddMenuItem(file, QStringLiteral("-"), "file_streck2");
    mnuupload_now = AddMenuItem(file, QStringLiteral("&Upload Now"), "mnuupload_now");
    mnuupload_now->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_U));
    streckprint = AddMenuItem(file, QStringLiteral("-"), "streckprint");
    mnuCopytoClipboard = AddMenuItem(file, QStringLiteral("&Copy to Clipboard"), "mnuCopytoClipboard");
    mnuCopytoClipboard->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_C));
    mnuPrint = AddMenuItem(file, QStringLiteral("&Print"), "mnuPrint");
    file_wizard_streck = AddMenuItem(file, QStringLiteral("-"), "file_wizard_streck");
    mnuWizard = AddMenuItem(file, QStringLiteral("Wizard..."), "mnuWizard");
    file_streck3 = AddMenuItem(file, QStringLiteral("-"), "file_streck3");
    mnuExport = AddMenuItem(file, QStringLiteral("Export Settings"), "mnuExport");
    file_streck = AddMenuItem(file, QStringLiteral("-"), "file_streck");
    systray = AddMenuItem(file, QStringLiteral("&Hide in Systray"), "systray");
    exit = AddMenuItem(file, QStringLiteral("&Exit"), "exit");
    OnClick(save_image_capture, [this] { save_image_capture_Click(); });
    OnClick(Save_Motion_Image_Capture, [this] { Save_Motion_Image_Capture_Click(); });
    OnClick(mnuupload_now, [this] { mnuupload_now_Click(); });
    OnClick(mnuCopytoClipboard, [this] { mnuCopytoClipboard_Click(); });
    OnClick(mnuPrint, [this] { mnuPrint_Click(); });
    OnClick(mnuWizard, [this] { mnuWizard_Click(); });
    OnClick(mnuExport, [this] { mnuExport_Click(); });
    OnClick(systray, [this] { systray_Click(); });
    OnClick(exit, [this] { exit_Click(); });
}

void frmMain::BuildViewMenu() {
    options = AddTopMenu(menuBar(), QStringLiteral("&View"), "options");
    mnuLastPicture = AddMenuItem(options, QStringLiteral("Last &Picture..."), "mnuLastPicture");
    mnuTimestamp = AddCheckItem(options, QStringLiteral("Last &Timestamp"), "mnuTimestamp", false);
    mnuWindowtoPicture =
        AddMenuItem(options, QStringLiteral("&Size Window to Picture"), "mnuWindowtoPicture");
    mnuStreckOptions = AddMenuItem(options, QStringLiteral("-"), "mnuStreckOptions");
    motion_preview = AddCheckItem(options, QStringLiteral("&Motion Preview"), "motion_preview", true);
    mnuShow = AddSubMenu(options, QStringLiteral("&Show"), "mnuShow");
    mnuShowToolBar = AddCheckItem(mnuShow, QStringLiteral("&Toolbar"), "mnuShowToolBar", true);
    mnuStatusBar = AddCheckItem(mnuShow, QStringLiteral("&Statusbar"), "mnuStatusBar", true);
    show_streck = AddMenuItem(options, QStringLiteral("-"), "show_streck");
    mnuLogs = AddSubMenu(options, QStringLiteral("&Logs"), "mnuLogs");
    mnuUploadLog = AddMenuItem(mnuLogs, QStringLiteral("&Upload Log..."), "mnuUploadLog");
    mnuMotionLog = AddMenuItem(mnuLogs, QStringLiteral("&Motion Log..."), "mnuMotionLog");
    mnuLogsDiv = AddMenuItem(mnuLogs, QStringLiteral("-"), "mnuLogsDiv");
    mnuFtpError = AddMenuItem(mnuLogs, QStringLiteral("&FTP Log..."), "mnuFtpError");
    OnClick(mnuLastPicture, [this] { mnuLastPicture_Click(); });
    OnClick(mnuUploadLog, [this] { mnuUploadLog_Click(); });
    OnClick(mnuMotionLog, [this] { mnuMotionLog_Click(); });
    OnClick(mnuFtpError, [this] { mnuFtpError_Click(); });
    OnClick(mnuTimestamp, [this] { mnuTimestamp_Click(); });
    OnClick(mnuWindowtoPicture, [this] { mnuWindowtoPicture_Click(); });
    OnClick(motion_preview, [this] { motion_preview_Click(); });
    OnClick(mnuShowToolBar, [this] { mnuShowToolBar_Click(); });
    OnClick(mnuStatusBar, [this] { mnuStatusBar_Click(); });
}

void frmMain::BuildConfigurationMenu() {
    configuration = AddTopMenu(menuBar(), QStringLiteral("&Configuration"), "configuration");
    FTP = AddMenuItem(configuration, QStringLiteral("&Upload Settings..."), "FTP");
    FTP->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    prco = AddMenuItem(configuration, QStringLiteral("&Program Configuration..."), "prco");
    prco->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    configuration_streck2 = AddMenuItem(configuration, QStringLiteral("-"), "configuration_streck2");
    mnuCamera = AddSubMenu(configuration, QStringLiteral("&Camera"), "mnuCamera");
    mnuDriver = AddMenuItem(mnuCamera, QStringLiteral("D&river..."), "mnuDriver");
    dicpic = AddMenuItem(mnuCamera, QStringLiteral("-"), "dicpic");
    source = AddMenuItem(mnuCamera, QStringLiteral("&Source..."), "source");
    vformat = AddMenuItem(mnuCamera, QStringLiteral("&Format..."), "vformat");
    display = AddMenuItem(mnuCamera, QStringLiteral("&Display..."), "display");
    // The movie items are part of the design but hidden, so the menu bar does not reach them.
    streckConf = AddMenuItem(configuration, QStringLiteral("-"), "streckConf");
    streckConf->setVisible(false);
    mnuMovie = AddSubMenu(configuration, QStringLiteral("Movie"), "mnuMovie");
    mnuMovie->menuAction()->setVisible(false);
    mnuMovieFrameRate = AddMenuItem(mnuMovie, QStringLiteral("Movie Frame &Rate..."), "mnuMovieFrameRate");
    mnuMC = AddMenuItem(mnuMovie, QStringLiteral("&Movie Compressor..."), "mnuMC");
    mnuAF = AddMenuItem(mnuMovie, QStringLiteral("&Audio Format..."), "mnuAF");
    OnClick(FTP, [this] { FTP_Click(); });
    OnClick(prco, [this] { prco_Click(); });
    OnClick(mnuDriver, [this] { mnuDriver_Click(); });
    OnClick(source, [this] { source_Click(); });
    OnClick(vformat, [this] { vformat_Click(); });
    OnClick(display, [this] { display_Click(); });
    OnClick(mnuMC, [this] { mnuMC_Click(); });
    OnClick(mnuMovieFrameRate, [this] { mnuMovieFrameRate_Click(); });
    OnClick(mnuAF, [this] { mnuAF_Click(); });
}

void frmMain::BuildHelpMenu() {
    help = AddTopMenu(menuBar(), QStringLiteral("&Help"), "help");
    orvane_snapwire_help =
        AddMenuItem(help, QStringLiteral("Snapwire 2004 &Help..."), "orvane_snapwire_help");
    news = AddMenuItem(help, QStringLiteral("&News..."), "news");
    help_streck_2 = AddMenuItem(help, QStringLiteral("-"), "help_streck_2");
    about = AddMenuItem(help, QStringLiteral("&About..."), "about");
    OnClick(orvane_snapwire_help, [this] { orvane_snapwire_help_Click(); });
    OnClick(news, [this] { news_Click(); });
    OnClick(about, [this] { about_Click(); });
}

// The help window is shown without blocking; the news window and the About box modally.
void frmMain::orvane_snapwire_help_Click() {
    frmHelp& window = forms::frmHelp();
    window.hide();
    window.show();
}

void frmMain::news_Click() {
    news_form& window = forms::news_form();
    window.hide();
    ShowModally(window);
}

void frmMain::about_Click() {
    frmAbout& box = forms::frmAbout();
    box.hide();
    ShowModally(box);
}

// --- Capture driver dialogs ------------------------------------------------------------------

void frmMain::EnableCaptureDialogMenus() {
    vformat->setEnabled(false);
    display->setEnabled(false);
    source->setEnabled(false);
    vformat->setEnabled(vcx->HasFormatDialog());
    display->setEnabled(vcx->HasDisplayDialog());
    source->setEnabled(vcx->HasSourceDialog());
}

void frmMain::vformat_Click() {
    EndQuietlyOnFailure([this] {
        vcx->ShowFormatDialog();
        const capture::CaptureStatus frame = vcx->GetCaptureStatus();
        vcx->resize(frame.width, frame.height);
        CentreVideo();
        StatusBar1->SetPanelText(2, FrameSizeText(frame.width, frame.height));
        picTime->resize(frame.width, picTime->height());
        Form_Resize();
    });
}

void frmMain::display_Click() {
    EndQuietlyOnFailure([this] { vcx->ShowDisplayDialog(); });
}

void frmMain::source_Click() {
    EndQuietlyOnFailure([this] { vcx->ShowSourceDialog(); });
}

void frmMain::mnuMC_Click() {
    EndQuietlyOnFailure([this] { vcx->ShowCompressorDialog(); });
}

void frmMain::mnuWizard_Click() {
    ShowWizard();
}

void frmMain::mnuDriver_Click() {
    // Hidden first: a dialog already open without blocking becomes modal only when shown afresh.
    snapwire::frmDriver& dialog = forms::frmDriver();
    dialog.hide();
    dialog.exec();
}

void frmMain::prco_Click() {
    snapwire::prcoForm& dialog = forms::prcoForm();
    dialog.hide();
    dialog.exec();
}

// --- Window commands -------------------------------------------------------------------------

void frmMain::mnuWindowtoPicture_Click() {
    if (isMinimized() || isMaximized())
        showNormal();
    mSizingToPicture = true;
    capture::CaptureStatus frame;
    try {
        frame = vcx->GetCaptureStatus();
    } catch (const std::exception&) {
        mSizingToPicture = false;
        return;
    }
    const PictureFit fit = FitWindowToPicture(frame.width, frame.height, !Toolbar1->isHidden());
    bgPic->resize(fit.backgroundWidth, fit.backgroundHeight);
    SetWidthTwips(fit.windowWidthTwips);
    SetHeightTwips(fit.windowHeightTwips);
    vcx->move(0, 0);
    mSizingToPicture = false;
    Form_Resize();
}

void frmMain::mnuStatusBar_Click() {
    StatusBar1->setVisible(StatusBar1->isHidden());
    const bool shown = !StatusBar1->isHidden();
    mnuStatusBar->setChecked(shown);
    bgPic->resize(bgPic->width(), bgPic->height() + (shown ? -kStatusBarHeight : kStatusBarHeight));
}

void frmMain::mnuTimestamp_Click() {
    const bool show = !mnuTimestamp->isChecked();
    mnuTimestamp->setChecked(show);
    picTime->setVisible(show);
}

void frmMain::motion_preview_Click() {
    motion_preview->setChecked(!motion_preview->isChecked());
    EndQuietlyOnFailure([this] { vcx->SetLivePreview(motion_preview->isChecked()); });
}

void frmMain::systray_Click() {
    // Only where the tray icon can bring the window back.
    if (TrayInUse())
        hide();
}

// --- Log and last-picture windows -------------------------------------------------------------

void frmMain::mnuLastPicture_Click() {
    // Hidden first, so a window that is open already comes to the front.
    snapwire::frmLast& last = forms::frmLast();
    last.hide();
    last.show();
}

void frmMain::mnuUploadLog_Click() {
    forms::frmUploadLog().show();
}

void frmMain::mnuMotionLog_Click() {
    forms::frmMotionLog().show();
}

void frmMain::mnuFtpError_Click() {
    forms::FTPLog().show();
}

void frmMain::exit_Click() {
    StopTimer();
    DeleteTrayIcon();
    close();
    ui::EndProgram();
}

}  // namespace snapwire
