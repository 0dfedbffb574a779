#include "engine/start_up.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QIcon>
#include <QMenu>
#include <QPointer>

#include "engine/frm_main.h"
#include "engine/menu_items.h"
#include "engine/windows_version.h"
#include "options/prco_form.h"
#include "platform/registry/hive_file_check.h"
#include "platform/registry/registry.h"
#include "platform/ui/app_control.h"
#include "platform/ui/controls.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_box.h"
#include "platform/ui/tray_icon.h"

namespace snapwire {

namespace {

std::optional<bool>& TrayAvailableOverride() {
    static std::optional<bool> available;
    return available;
}

// Where tests pretend to have a tray, the icon they add is taken as shown.
bool& PretendedIconShown() {
    static bool shown = false;
    return shown;
}

// The program's one tray icon. It belongs to the application, so it outlives
// every window and goes with the application object.
ui::TrayIcon& TrayIconData() {
    static QPointer<ui::TrayIcon> icon;
    if (!icon)
        icon = new ui::TrayIcon(QCoreApplication::instance());
    return *icon;
}

bool TrayIconInPlace() {
    if (TrayAvailableOverride().has_value())
        return PretendedIconShown();
    return TrayIconData().IsShown();
}

bool TrayOptionOn() {
    return ui::CheckValue(forms::prcoForm().chkSystray) == 0;
}

}  // namespace

bool TrayAvailable() {
    if (TrayAvailableOverride().has_value())
        return *TrayAvailableOverride();
    return ui::TrayIcon::Available();
}

void SetTrayAvailableForTests(std::optional<bool> available) {
    TrayAvailableOverride() = available;
    PretendedIconShown() = false;
}

bool TrayWanted() {
    return TrayOptionOn() && TrayAvailable();
}

bool TrayInUse() {
    return TrayOptionOn() && TrayIconInPlace();
}

namespace {

QString HiveProblem(const std::string& file, const reg::HiveFileCheck& check) {
    return QString::fromStdString(reg::HiveFileCheckText(file, check)) + QStringLiteral("\n\n");
}

bool EndLeavingHive(const std::string& file, const reg::HiveFileCheck& check) {
    ui::MsgBox(HiveProblem(file, check) + QStringLiteral("Snapwire ends and leaves it as it is."),
               ui::vbCritical);
    return false;
}

bool KeepHiveAside(const std::string& file, const reg::HiveFileCheck& check) {
    const reg::KeptAside kept = reg::KeepDamagedHiveAside(file);
    if (kept.file.empty()) {
        ui::MsgBox(
            HiveProblem(file, check) +
                QStringLiteral("It could not be kept aside (%1). Snapwire ends and leaves it as it is.")
                    .arg(QString::fromStdString(kept.error)),
            ui::vbCritical);
        return false;
    }
    ui::MsgBox(HiveProblem(file, check) +
                   QStringLiteral("It is kept as \"%1\", and Snapwire starts with fresh settings.")
                       .arg(QString::fromStdString(kept.file)),
               ui::vbExclamation);
    return true;
}

}  // namespace

bool PrepareSettingsHive() {
    // Opened now, not at the first setting read: a hive that cannot be opened or
    // created would otherwise give a first run that stores nothing.
    const std::string file = reg::HiveFile();
    reg::HiveFileCheck opened = reg::OpenHiveFile();
    if (opened.state == reg::HiveFileState::Damaged) {
        if (!KeepHiveAside(file, opened))
            return false;
        opened = reg::OpenHiveFile();
    }
    return opened.state == reg::HiveFileState::Usable || EndLeavingHive(file, opened);
}

void DeleteTrayIcon() {
    TrayIconData().Remove();
    PretendedIconShown() = false;
}

StartUp::StartUp() {
    setObjectName(QStringLiteral("StartUp"));
    setWindowTitle(QString::fromLatin1(ui::kProgramTitle));
    setWindowIcon(QIcon(QStringLiteral(":/snapwire/camera.svg")));
    BuildTrayMenu();
    ui::TrayIcon& tray = TrayIconData();
    connect(&tray, &ui::TrayIcon::DoubleClicked, this, [this] { Tray_DoubleClick(); });
    connect(&tray, &ui::TrayIcon::ContextMenuRequested, this,
            [this](const QPoint& position) { Tray_ContextMenu(position); });
}

StartUp::~StartUp() = default;

void StartUp::BuildTrayMenu() {
    mnuPopup = new QMenu(QStringLiteral("&Menu"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuOpen = AddMenuItem(mnuPopup, QStringLiteral("&Open..."), "mnuOpen");
    div3 = AddMenuItem(mnuPopup, QStringLiteral("-"), "div3");
    upload_now = AddMenuItem(mnuPopup, QStringLiteral("&Upload Now"), "upload_now");
    mnuLast = AddMenuItem(mnuPopup, QStringLiteral("Show Last &Picture..."), "mnuLast");
    mnuLogs = AddSubMenu(mnuPopup, QStringLiteral("&Logs"), "mnuLogs");
    mnuUploadLog = AddMenuItem(mnuLogs, QStringLiteral("Upload Log"), "mnuUploadLog");
    mnuMotionLog = AddMenuItem(mnuLogs, QStringLiteral("Motion Log"), "mnuMotionLog");
    mnuLogsDiv = AddMenuItem(mnuLogs, QStringLiteral("-"), "mnuLogsDiv");
    mnuFTPLog = AddMenuItem(mnuLogs, QStringLiteral("FTP Log"), "mnuFTPLog");
    div4 = AddMenuItem(mnuPopup, QStringLiteral("-"), "div4");
    mnuClose = AddMenuItem(mnuPopup, QStringLiteral("&Exit"), "mnuClose");
    mnuPopup->setDefaultAction(mnuOpen);
    OnClick(mnuOpen, [this] { mnuOpen_Click(); });
    // The main window's own commands; touching it loads it if it is not loaded yet.
    OnClick(upload_now, [] { forms::frmMain().mnuupload_now_Click(); });
    OnClick(mnuLast, [] { forms::frmMain().mnuLastPicture_Click(); });
    OnClick(mnuUploadLog, [] { forms::frmMain().mnuUploadLog_Click(); });
    OnClick(mnuMotionLog, [] { forms::frmMain().mnuMotionLog_Click(); });
    OnClick(mnuFTPLog, [] { forms::frmMain().mnuFtpError_Click(); });
    OnClick(mnuClose, [this] { mnuClose_Click(); });
}

// The start-up order: program options (read as they load), this window hidden,
// the tray, and the main window, whose load sets up camera, internet and timers.
void StartUp::Form_Load() {
    ApplyVisualStyleGate();
    hide();
    ApplyTrayDecision();
}

void StartUp::ApplyVisualStyleGate() {
    const QString version = GetWindowsVersionName();
    QCheckBox* style = forms::prcoForm().chkXPStyle;
    if (version == QLatin1String("Failed") || version == QLatin1String("Windows XP")) {
        style->setEnabled(true);
    } else {
        ui::SetCheckValue(style, 0);
        style->setEnabled(false);
    }
}

void StartUp::ApplyTrayDecision() {
    if (TrayWanted())
        AddSystray();
    else
        RemoveSystray();
    forms::frmMain().ShowTrayItems(TrayInUse());
}

bool StartUp::AddSystray() {
    const bool shown = TrayIconData().Add(windowIcon(), QString::fromLatin1(ui::kProgramTitle));
    if (TrayAvailableOverride().has_value())
        return PretendedIconShown() = *TrayAvailableOverride();
    return shown;
}

void StartUp::RemoveSystray() {
    DeleteTrayIcon();
}

bool StartUp::TrayIconShown() const {
    return TrayIconInPlace();
}

void StartUp::Tray_DoubleClick() {
    forms::frmMain().show();
}

void StartUp::Tray_ContextMenu(const QPoint& globalPos) {
    PopupMenu(mnuPopup, globalPos, mnuOpen);
}

void StartUp::mnuOpen_Click() {
    snapwire::frmMain& window = forms::frmMain();
    if (window.isMinimized())
        window.showNormal();
    else
        window.show();
    window.raise();
    window.activateWindow();
}

// Ends the program even though the main window's close only hides it while the tray is in use.
void StartUp::mnuClose_Click() {
    forms::frmMain().close();
    RemoveSystray();
    ui::EndProgram();
}

namespace forms {
snapwire::StartUp& StartUp() {
    static ui::FormSlot<snapwire::StartUp> slot;
    return slot.Get();
}
}  // namespace forms

}  // namespace snapwire
