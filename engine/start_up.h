#pragma once

// The hidden start-up window: it runs the start-up order (program options, tray
// decision, main window) and owns the tray icon with the tray menu. It is never
// shown; it lives, hidden, for the whole run.

#include <QPoint>
#include <QWidget>
#include <optional>

class QAction;
class QMenu;

namespace snapwire {

class StartUp : public QWidget {
    Q_OBJECT
  public:
    StartUp();
    ~StartUp() override;

    void Form_Load();

    // Adds the tray icon (again, harmlessly, when it is there); false where the
    // desktop has no tray.
    bool AddSystray();
    // Removes the tray icon; harmless when it was never added.
    void RemoveSystray();
    bool TrayIconShown() const;

    // Tray notifications.
    void Tray_DoubleClick();
    void Tray_ContextMenu(const QPoint& globalPos);

    void mnuOpen_Click();
    void mnuClose_Click();

    // The tray menu.
    QMenu* mnuPopup = nullptr;
    QAction* mnuOpen = nullptr;
    QAction* div3 = nullptr;
    QAction* upload_now = nullptr;
    QAction* mnuLast = nullptr;
    QMenu* mnuLogs = nullptr;
    QAction* mnuUploadLog = nullptr;
    QAction* mnuMotionLog = nullptr;
    QAction* mnuLogsDiv = nullptr;
    QAction* mnuFTPLog = nullptr;
    QAction* div4 = nullptr;
    QAction* mnuClose = nullptr;

  private:
    void BuildTrayMenu();
    void ApplyVisualStyleGate();
    void ApplyTrayDecision();
};

// The program options ask for the tray and the desktop has one: the icon is to be added.
bool TrayWanted();
// The tray is in use when the program options ask for it and the icon is in place
// to bring the main window back. Only then may the main window hide: a desktop
// whose tray came up after the icon was tried has no icon of ours.
bool TrayInUse();
// Whether the desktop offers a tray; tests may pretend either way (nullopt = ask
// the desktop), and while they pretend, an icon added is taken as shown.
bool TrayAvailable();
void SetTrayAvailableForTests(std::optional<bool> available);

// Looks at the settings hive before anything reads it: a damaged one is kept aside
// under another name, the user is told where, and a fresh one takes its place; then
// opens it. False (after saying why) when the file cannot be opened or created, or a
// newer version made it: the program must end and leave it.
bool PrepareSettingsHive();

// Removes the program's one tray icon, whoever asks; harmless when it is not there.
void DeleteTrayIcon();

namespace forms {
snapwire::StartUp& StartUp();
}  // namespace forms

}  // namespace snapwire
