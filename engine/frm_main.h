#pragma once

// The main window: the live picture centred in the background area, the timestamp
// strip under it, the toolbar with its popup, the status bar and the menu bar. Its
// load is the program's set-up of camera, internet session, timers and motion
// detection; other windows reach its controls through forms::frmMain().

#include <QImage>
#include <QMainWindow>
#include <QPixmap>
#include <QString>
#include <array>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <optional>

#include "engine/file_naming.h"
#include "engine/picture_commands.h"

class QAction;
class QImage;
class QMenu;
class QTimer;

namespace snapwire {
namespace capture {
class CaptureControl;
}
namespace ftp {
class FtpConnection;
class InternetSession;
}  // namespace ftp
namespace upload {
struct CycleValues;
}
class MainToolbar;
class PictureBox;
class StatusBar;

class frmMain : public QMainWindow {
    Q_OBJECT
  public:
    frmMain();
    ~frmMain() override;

    // --- Life of the window ------------------------------------------------------
    void Form_Load();
    void Form_Activate();
    void Form_Resize();
    // Saves size and strip state, then applies the tray rule: `cancel` is set when
    // the window only hides; the program ends when the tray option is off.
    void Form_Unload(bool& cancel);

    // Outer size in twips (the normal size while minimised or maximised).
    double WidthTwips() const;
    double HeightTwips() const;
    void SetWidthTwips(double twips);
    void SetHeightTwips(double twips);

    // Shows or hides the hide-in-tray menu item, popup item and toolbar button
    // (button 11 only while its popup item is checked).
    void ShowTrayItems(bool trayInUse);

    // --- Controls ------------------------------------------------------------------
    PictureBox* bgPic = nullptr;
    capture::CaptureControl* vcx = nullptr;
    PictureBox* picTime = nullptr;
    MainToolbar* Toolbar1 = nullptr;
    StatusBar* StatusBar1 = nullptr;

    // Menu bar. Submenus are QMenu; everything else is a QAction.
    QMenu* file = nullptr;
    QAction* save_image_capture = nullptr;
    QAction* Save_Motion_Image_Capture = nullptr;
    QAction* file_streck2 = nullptr;
    QAction* mnuupload_now = nullptr;
    QAction* streckprint = nullptr;
    QAction* mnuCopytoClipboard = nullptr;
    QAction* mnuPrint = nullptr;
    QAction* file_wizard_streck = nullptr;
    QAction* mnuWizard = nullptr;
    QAction* file_streck3 = nullptr;
    QAction* mnuExport = nullptr;
    QAction* file_streck = nullptr;
    QAction* systray = nullptr;
    QAction* exit = nullptr;

    QMenu* options = nullptr;
    QAction* mnuLastPicture = nullptr;
    QAction* mnuTimestamp = nullptr;
    QAction* mnuWindowtoPicture = nullptr;
    QAction* mnuStreckOptions = nullptr;
    QAction* motion_preview = nullptr;
    QMenu* mnuShow = nullptr;
    QAction* mnuShowToolBar = nullptr;
    QAction* mnuStatusBar = nullptr;
    QAction* show_streck = nullptr;
    QMenu* mnuLogs = nullptr;
    QAction* mnuUploadLog = nullptr;
    QAction* mnuMotionLog = nullptr;
    QAction* mnuLogsDiv = nullptr;
    QAction* mnuFtpError = nullptr;

    QMenu* configuration = nullptr;
    QAction* FTP = nullptr;
    QAction* prco = nullptr;
    QAction* configuration_streck2 = nullptr;
    QMenu* mnuCamera = nullptr;
    QAction* mnuDriver = nullptr;
    QAction* dicpic = nullptr;
    QAction* source = nullptr;
    QAction* vformat = nullptr;
    QAction* display = nullptr;
    QAction* streckConf = nullptr;
    QMenu* mnuMovie = nullptr;
    QAction* mnuMovieFrameRate = nullptr;
    QAction* mnuMC = nullptr;
    QAction* mnuAF = nullptr;

    QMenu* help = nullptr;
    QAction* orvane_snapwire_help = nullptr;
    QAction* news = nullptr;
    QAction* help_streck_2 = nullptr;
    QAction* about = nullptr;

    // The toolbar's popup menu (opened by the right mouse button on the toolbar).
    QMenu* mnuPopup = nullptr;
    QAction* mnuPSave_Image_Capture = nullptr;
    QAction* mnuPSave_Motion_Image_Capture = nullptr;
    QAction* mnuPUpload_now = nullptr;
    QAction* mnuPMotion_Detection = nullptr;
    QAction* mnuPFTP = nullptr;
    QAction* mnuPProgConf = nullptr;
    QAction* mnuPPicture = nullptr;
    QAction* mnuPhis = nullptr;
    QAction* mnuPSep = nullptr;
    QAction* mnuPHide_Toolbar = nullptr;
    QAction* mnuPReset = nullptr;

    // --- Toolbar handlers ----------------------------------------------------------
    void Toolbar1_ButtonClick(QAction* Button);
    void Toolbar1_ButtonMenuClick(QAction* ButtonMenu);
    void Toolbar1_MouseDown(int Button);
    void mnuPSave_Image_Capture_Click();
    void mnuPSave_Motion_Image_Capture_Click();
    void mnuPUpload_now_Click();
    void mnuPMotion_Detection_Click();
    void mnuPFTP_Click();
    void mnuPProgConf_Click();
    void mnuPPicture_Click();
    void mnuPhis_Click();
    void mnuPHide_Toolbar_Click();
    void mnuPReset_Click();
    void mnuShowToolBar_Click();

    // --- Menu commands that live in this window --------------------------------------
    void EnableCaptureDialogMenus();
    void vformat_Click();
    void display_Click();
    void source_Click();
    void mnuMC_Click();
    void Save_Motion_Image_Capture_Click();  // movie commands and their end: movie_capture.cpp
    void mnuMovieFrameRate_Click();
    void mnuAF_Click();
    void vcx_CaptureCompleted();
    void mnuWizard_Click();
    void orvane_snapwire_help_Click();
    void news_Click();
    void about_Click();
    void mnuDriver_Click();
    void prco_Click();
    void mnuWindowtoPicture_Click();
    void mnuStatusBar_Click();
    void mnuTimestamp_Click();
    void motion_preview_Click();
    void systray_Click();
    void exit_Click();
    void mnuLastPicture_Click();
    void mnuUploadLog_Click();
    void mnuMotionLog_Click();
    void mnuFtpError_Click();
    // Picture save, print and copy (picture_commands.cpp); the configuration export (config_export.cpp).
    void save_image_capture_Click();
    void mnuPrint_Click();
    void mnuCopytoClipboard_Click();
    void mnuExport_Click();
    PictureBox* picLastCapture = nullptr;  // the frame last taken for saving; never shown, made at first use
    PictureBox* picPrint = nullptr;        // the frame read back for printing; never shown, made at first use
    pictures::CaptureDialog dlg;           // the save dialog, with the name it opens with

    // --- Upload timers, manual upload and the upload cycle ---------------------------------
    // A timer for every ticked account, its id the account's row; rows that get no
    // timer have theirs stopped.
    void StartTimer();
    void StopTimer();
    void StartMotionIfAny();
    // One tick of the timer `tim`: the account of that row, when ticked, uploads.
    void Timers(int& tim);
    void UpdateStatus();
    void mnuupload_now_Click();
    void FTP_Click();
    // One upload cycle for the loaded account (Auto: timer or motion; Motion: motion).
    void upload_now(bool Auto, bool Motion, const QString& PercentMotion);

    // True from the start of upload_now until it ends.
    bool CycleRunning() const { return cycleRunning_; }
    // True while a cycle runs or an account is being loaded: the current-account
    // record belongs to that account, so nothing may select or load another one.
    // Timer ticks and motion ticks wait (one per timer), and commands that would load
    // an account run once the record is free again.
    bool AccountInUse() const;
    // Runs the command now, or once the record is free again (a command held back
    // already under the same key is not queued twice).
    void RunWhenAccountFree(const QString& key, std::function<void()> command);

    // Counted cycles since the start (never stored).
    std::int32_t antalUpload = 0;
    // The numbering counters as the last cycle left them.
    upload::NumberingCounters Counters;
    // The log writers.
    void LogUpload(const QString& Time, const QString& Name, const QString& Destination);
    void LogMotion(const QString& Time, const QString& PercentMotion, const QString& Upload,
                   const QString& Destination);
    void LogFTP(const QString& LogLine);
    // A failed internet-library call: a server's error reply becomes an FTP log line.
    void ReportInternetError(int ErrorCode, const QString& Operation,
                             const QString& lastResponse = QString());

    // --- Motion detection (motion_detection.cpp) -----------------------------------------
    // Shows the compared frame in place of the video and starts the 100 ms tick.
    void StartMotion();
    void StopMotion();
    // One comparison of the current frame with the reference frame; Accounts: react
    // for the loaded account (true) or only report and log (false).
    void CheckMotion(bool& Accounts);
    // One tick: a check for every ticked account with motion detection on, or one
    // check for none of them.
    void timMotion_Timer();

    QTimer* timMotion = nullptr;         // 100 ms, stopped until StartMotion
    PictureBox* picMotion = nullptr;     // the examined frame, changed points painted on it
    QImage picMotion1;                   // the reference frame (never shown)
    QPixmap picMotionDetectedStatusBar;  // status panel 2's picture while motion is reported
    std::int32_t mMotionWidth = 0;       // frame size taken by StartMotion
    std::int32_t mMotionHeight = 0;
    std::int32_t mMotionCount = 0;  // changed points of the running check

    // --- Window state --------------------------------------------------------------------
    ftp::InternetSession* hInternet() const { return hInternet_.get(); }
    // The cycle's FTP connection; null between cycles.
    std::unique_ptr<ftp::FtpConnection> hConnect;
    int TransferType = 2;  // binary: files are sent byte for byte
    // The small picture that status panel 1 shows while a cycle runs.
    PictureBox* picUpload = nullptr;
    bool mSizingToPicture = false;

  protected:
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildClientArea();
    void BuildMenuBar();
    void BuildFileMenu();
    void BuildViewMenu();
    void BuildConfigurationMenu();
    void BuildHelpMenu();
    void BuildToolbarPopup();
    void ConnectToolbar();

    void ReadFirstRunAndWindowValues();
    void WriteToolbarFlags();
    void ReadToolbarFlags();
    void ApplyWindowSize();
    void ApplyBackground();
    void ApplyToolbarItemsTwice();
    void FillDriverList();
    void SelectStoredDriver();
    void ConnectCaptureDevice();
    void FitVideoToFrame(int width, int height);
    static QString FrameSizeText(int width, int height);
    void OpenInternetSession();
    void ShowUnlessStartingInTray();
    void SaveWindowValues();

    // Motion detection (motion_detection.cpp).
    void BuildMotionArea();
    void CentreMotionPicture();
    QImage* SaveAndLoadMotionFrame();
    void ReportMotion(bool accounts, const QString& percent);
    void ReactToMotion(const QString& percent);
    void ClearMotionReport();

    void LayOutBars();
    void CentreVideo();

    // The upload cycle's stretches (upload_cycle.cpp, transfer.cpp).
    void PublishPicture(upload::CycleValues& cycle);
    void ShowStrip(const QImage& strip, int frameWidth);
    void CopyLocally(const upload::CycleValues& cycle);
    void TransferByFtp(const upload::CycleValues& cycle);
    void PutTimeTextFile(const upload::CycleValues& cycle);
    void RefreshLastPicture(const upload::CycleValues& cycle);
    // Timer ticks and commands held back while the account record was in use.
    void RunHeldBackWork();
    void PostHeldBackWork();
    void HoldBack(const QString& key, std::function<void()> work);
    // Drops the held-back work whose key starts with the prefix (that of a stopped timer).
    void DropHeldBack(const QString& keyPrefix);
    void ArmTimer(int row);
    void ToggleButtonItem(QAction* item, int button);
    void UpdateSeparatorFor(QAction* item);

    QWidget* client_ = nullptr;  // the area below the menu bar
    std::unique_ptr<ftp::InternetSession> hInternet_;
    bool firstRun_ = false;
    QString width_;  // the stored values as read at load
    QString height_;
    QString bgPicPath_;
    QString bgColor_;
    double widthTwips_ = 0;  // the size last set in twips, kept while the pixels agree
    double heightTwips_ = 0;

    bool motionTickRunning_ = false;
    std::uint64_t motionSession_ = 0;  // raised by StopMotion: a running walk ends
    // "Motion.bmp" is read into these in turn: picMotion shows the one, and reading
    // into the other needs neither a copy nor new memory.
    std::array<QImage, 2> motionFrames_;
    bool cycleRunning_ = false;
    bool heldBackWorkPosted_ = false;
    bool runningHeldBack_ = false;
    // Held back while the account record was in use, in the order they came; one of
    // each key (one tick per timer, one of each command).
    struct HeldBack {
        QString key;
        std::function<void()> work;
    };
    std::deque<HeldBack> heldBack_;
};

namespace forms {
snapwire::frmMain& frmMain();
}  // namespace forms

}  // namespace snapwire
