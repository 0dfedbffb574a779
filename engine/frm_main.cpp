// The main window's controls, its load at start-up, its layout and its closing.

#include "engine/frm_main.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QThread>
#include <exception>

#include "accounts/wizard.h"
#include "engine/log_writers.h"
#include "engine/main_toolbar.h"
#include "engine/main_window_rules.h"
#include "engine/picture_box.h"
#include "engine/start_up.h"
#include "engine/status_bar.h"
#include "options/frm_driver.h"
#include "options/prco_form.h"
#include "platform/capture/capture_control.h"
#include "platform/ftp/ftp_session.h"
#include "platform/ui/app_control.h"
#include "platform/ui/controls.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_box.h"
#include "platform/ui/units.h"
#include "settings_store/c_registry.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"

namespace snapwire {

namespace {

constexpr int kTimestampStripHeight = 17;  // until the upload cycle gives the strip its text

QString ReadProgramValue(const char* name) {
    return ReadSetting(QString(), QString::fromLatin1(name));
}

void WriteProgramValue(const char* name, const SettingValue& value) {
    try {
        WriteSetting(QString(), QString::fromLatin1(name), value);
    } catch (const RegistryError&) {
        // A value that cannot be stored is lost quietly; the window goes on.
    }
}

bool Shown(const QWidget* widget) {
    return !widget->isHidden();
}

}  // namespace

// --- Construction -------------------------------------------------------------------

frmMain::frmMain() {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QString::fromLatin1(ui::kProgramTitle));
    setWindowIcon(QIcon(QStringLiteral(":/snapwire/camera.svg")));
    BuildClientArea();
    BuildMenuBar();
    BuildToolbarPopup();
    ConnectToolbar();
}

frmMain::~frmMain() = default;

void frmMain::BuildClientArea() {
    client_ = new QWidget(this);
    setCentralWidget(client_);
    client_->installEventFilter(this);

    Toolbar1 = new MainToolbar(client_);
    bgPic = new PictureBox(client_);
    bgPic->setObjectName(QStringLiteral("bgPic"));
    bgPic->move(0, kToolbarHeight);
    vcx = new capture::CaptureControl(bgPic);
    vcx->setObjectName(QStringLiteral("vcx"));
    connect(vcx, &capture::CaptureControl::CaptureCompleted, this, [this] { vcx_CaptureCompleted(); });
    picTime = new PictureBox(bgPic);
    picTime->setObjectName(QStringLiteral("picTime"));
    picTime->resize(0, kTimestampStripHeight);
    picTime->hide();
    BuildMotionArea();
    StatusBar1 = new StatusBar(client_);
    picUpload = new PictureBox(client_);
    picUpload->setObjectName(QStringLiteral("picUpload"));
    picUpload->SetPicture(QIcon(QStringLiteral(":/snapwire/camera.svg")).pixmap(16, 16));
    picUpload->hide();
    LayOutBars();
}

// --- Loading ------------------------------------------------------------------------

void frmMain::Form_Load() {
    ReadFirstRunAndWindowValues();
    if (firstRun_)
        WriteToolbarFlags();
    ReadToolbarFlags();
    ApplyWindowSize();
    ApplyBackground();
    ApplyToolbarItemsTwice();
    EnableCaptureDialogMenus();
    FillDriverList();
    SelectStoredDriver();
    ConnectCaptureDevice();
    const capture::CaptureStatus frame = vcx->GetCaptureStatus();
    FitVideoToFrame(frame.width, frame.height);
    OpenInternetSession();
    StatusBar1->SetPanelText(1, QStringLiteral("Click 'Upload now' to upload"));
    StatusBar1->SetPanelText(2, FrameSizeText(frame.width, frame.height));
    StartTimer();
    StartMotionIfAny();
    // The visual-style marker files would get the Hidden attribute here; files on
    // this platform have no such attribute, and their names already keep them apart.
    ShowUnlessStartingInTray();
    // The timers started above already run while the wizard is open.
    if (firstRun_)
        ShowWizard();
}

void frmMain::ReadFirstRunAndWindowValues() {
    firstRun_ = ReadProgramValue("FirstTime").isEmpty();
    if (firstRun_)
        WriteProgramValue("FirstTime", SettingValue(QStringLiteral("False")));
    width_ = ReadProgramValue("Width");
    height_ = ReadProgramValue("Height");
    bgPicPath_ = ReadProgramValue("BGPic");
    bgColor_ = ReadProgramValue("ProgramBGColor");
    if (ReadProgramValue("LastTimestamp") == QLatin1String("True")) {
        mnuTimestamp->setChecked(true);
        picTime->show();
    }
}

void frmMain::ApplyWindowSize() {
    SetWidthTwips(StoredSizeTwips(width_, kDefaultWidthTwips));
    SetHeightTwips(StoredSizeTwips(height_, kDefaultHeightTwips));
}

void frmMain::ApplyBackground() {
    if (!bgPicPath_.isEmpty())
        bgPic->LoadPicture(bgPicPath_);  // a file that is no picture is ignored
    if (const std::optional<std::uint32_t> color = StoredColor(bgColor_))
        bgPic->SetBackColor(ui::ColorFromBgr(*color));  // a text that is no colour is ignored
}

void frmMain::FillDriverList() {
    if (forms::frmDriver().ListDrivers(-1))
        return;
    ui::MsgBox(QStringLiteral("No Video Capture Device!"), ui::vbInformation + ui::vbOKOnly);
    vcx->hide();
}

// The stored driver is selected directly: passing through the first entry would
// connect a camera the user did not choose. A stored camera that is away while another
// of its name is plugged in stays selected (and fails to connect): selecting the other
// by the name would publish that camera's picture.
void frmMain::SelectStoredDriver() {
    const QString stored = ReadProgramValue("Select the driver you want to use:");
    if (stored.isEmpty())
        return;
    try {
        QComboBox* list = forms::frmDriver().cbDriver;
        const QString identity = ReadProgramValue(kDriverIdentityValue);
        const int index = vcx->FindDevice(stored, identity);
        if (index < 0 && !identity.isEmpty() && list->findText(stored) >= 0) {
            forms::frmDriver().ListDrivers(vcx->SelectAwayDevice(stored, identity));
            return;
        }
        list->setCurrentIndex(index >= 0 ? index : 0);
    } catch (const std::exception&) {
        // A driver that fails to connect has been reported by the driver list.
    }
}

void frmMain::ConnectCaptureDevice() {
    try {
        vcx->SetDeviceConnected(true);
        vcx->SetLivePreview(true);
    } catch (const capture::CaptureError& error) {
        ui::MsgBox(error.number() == capture::kErrorDeviceNotOpened
                       ? QStringLiteral("Couldn't connect to capture device!")
                       : QStringLiteral("Couldn't connect to camera!"),
                   ui::vbCritical + ui::vbOKOnly);
    }
}

void frmMain::FitVideoToFrame(int width, int height) {
    vcx->resize(width, height);
    picTime->resize(width, picTime->height());
}

QString frmMain::FrameSizeText(int width, int height) {
    return QString::number(width) + QStringLiteral(" x ") + QString::number(height);
}

void frmMain::OpenInternetSession() {
    hInternet_ = std::make_unique<ftp::InternetSession>();
    if (!hInternet_->Open(QStringLiteral("ORSN")))
        ReportInternetError(hInternet_->LastError(), QStringLiteral("InternetOpen"));
    TransferType = 2;
    hConnect.reset();
}

void frmMain::ShowUnlessStartingInTray() {
    // Starting minimised lives in the tray; where there is none, the window shows.
    if (ui::CheckValue(forms::prcoForm().chkMin) == 1 && TrayWanted())
        return;
    show();
    activateWindow();
}

// --- Log writers ------------------------------------------------------------------------

void frmMain::LogUpload(const QString& Time, const QString& Name, const QString& Destination) {
    logs::LogUpload(Time, Name, Destination);
}

void frmMain::LogMotion(const QString& Time, const QString& PercentMotion, const QString& Upload,
                        const QString& Destination) {
    logs::LogMotion(Time, PercentMotion, Upload, Destination);
}

void frmMain::LogFTP(const QString& LogLine) {
    logs::LogFTP(LogLine);
}

void frmMain::ReportInternetError(int ErrorCode, const QString& Operation, const QString& lastResponse) {
    logs::ReportInternetError(ErrorCode, Operation, lastResponse);
}

// --- Activation and layout -------------------------------------------------------------

void frmMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        Form_Activate();
}

bool frmMain::eventFilter(QObject* watched, QEvent* event) {
    if (watched == client_ && event->type() == QEvent::Resize)
        Form_Resize();
    return QMainWindow::eventFilter(watched, event);
}

void frmMain::Form_Activate() {
    Toolbar1->setVisible(!mnuPHide_Toolbar->isChecked());
    bgPic->move(0, Shown(Toolbar1) ? kToolbarHeight : 0);
    Form_Resize();
    mnuShowToolBar->setChecked(!mnuPHide_Toolbar->isChecked());
}

void frmMain::Form_Resize() {
    LayOutBars();
    if (!mSizingToPicture) {
        bgPic->resize(client_->width(), bgPic->height());
        const int height = BackgroundHeight(client_->height(), Shown(Toolbar1), Shown(StatusBar1));
        if (height >= 0)  // a minimised window has no room: the size stays as it was
            bgPic->resize(bgPic->width(), height);
    }
    CentreVideo();
    picTime->move(vcx->x(), vcx->y() + vcx->height());
}

// The bars keep to the top and bottom edge of the inner area, as docked bars do.
void frmMain::LayOutBars() {
    Toolbar1->setGeometry(0, 0, client_->width(), kToolbarHeight);
    StatusBar1->setGeometry(0, client_->height() - kStatusBarHeight, client_->width(), kStatusBarHeight);
}

void frmMain::CentreVideo() {
    vcx->move(CentredOffset(bgPic->width(), vcx->width()), CentredOffset(bgPic->height(), vcx->height()));
}

// --- Size in twips ------------------------------------------------------------------------

namespace {

// While minimised or maximised the window's own size is not the one to keep.
QSize NormalSize(const QWidget* window) {
    if ((window->isMinimized() || window->isMaximized()) && window->normalGeometry().isValid())
        return window->normalGeometry().size();
    return window->size();
}

// The twips last set stand while the window still has the pixels they gave, so a
// size read back is the size stored (6100 stays 6100, not 6105).
double TwipsOf(int pixels, double lastSetTwips) {
    return ui::TwipsToPixels(lastSetTwips) == pixels ? lastSetTwips : ui::PixelsToTwips(pixels);
}

}  // namespace

double frmMain::WidthTwips() const {
    return TwipsOf(NormalSize(this).width(), widthTwips_);
}

double frmMain::HeightTwips() const {
    return TwipsOf(NormalSize(this).height(), heightTwips_);
}

void frmMain::SetWidthTwips(double twips) {
    widthTwips_ = twips;
    resize(ui::TwipsToPixels(twips), height());
}

void frmMain::SetHeightTwips(double twips) {
    heightTwips_ = twips;
    resize(width(), ui::TwipsToPixels(twips));
}

// --- Tray items ---------------------------------------------------------------------------

void frmMain::ShowTrayItems(bool trayInUse) {
    systray->setVisible(trayInUse);
    if (!trayInUse)
        Toolbar1->SetButtonVisible(11, false);
    else if (mnuPhis->isChecked())
        Toolbar1->SetButtonVisible(11, true);
    mnuPhis->setVisible(trayInUse);
}

// --- Closing ------------------------------------------------------------------------------

void frmMain::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form_Unload(cancel);
    if (cancel) {
        event->ignore();
        return;
    }
    event->accept();
    // The tray is off, so nothing could bring the window back: the run is over.
    if (QThread::currentThread()->loopLevel() > 0)
        QCoreApplication::exit(0);
}

void frmMain::Form_Unload(bool& cancel) {
    SaveWindowValues();
    const int noTray = ui::CheckValue(forms::prcoForm().chkSystray);
    if (noTray == 0 && TrayInUse()) {
        cancel = true;
        hide();
        return;
    }
    // Without a tray the window could not be brought back: as with the tray off.
    if (noTray == 0 || noTray == 1)
        ui::EndProgram();
}

void frmMain::SaveWindowValues() {
    WriteProgramValue("Height", SettingValue(static_cast<float>(HeightTwips())));
    WriteProgramValue("Width", SettingValue(static_cast<float>(WidthTwips())));
    WriteProgramValue("LastTimestamp", SettingValue(mnuTimestamp->isChecked()));
}

namespace forms {
snapwire::frmMain& frmMain() {
    static ui::FormSlot<snapwire::frmMain> slot;
    return slot.Get();
}
}  // namespace forms

}  // namespace snapwire
