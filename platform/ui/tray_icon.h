#pragma once

// The notification-area icon. Where the desktop offers no tray, Add() reports
// false and callers treat the tray as switched off for hiding (never hide the
// only window where nothing can bring it back).

#include <QIcon>
#include <QObject>
#include <QPoint>
#include <QString>
#include <memory>

class QSystemTrayIcon;

namespace snapwire::ui {

class TrayIcon : public QObject {
    Q_OBJECT
  public:
    explicit TrayIcon(QObject* parent = nullptr);
    ~TrayIcon() override;

    static bool Available();                          // the desktop has a tray
    bool Add(const QIcon& icon, const QString& tip);  // true when shown
    void Remove();                                    // harmless when never added
    bool IsShown() const;

  Q_SIGNALS:
    // A left-button double click. A single click does nothing, so on desktops whose
    // tray reports only single activations the window comes back through the menu.
    void DoubleClicked();
    void ContextMenuRequested(const QPoint& globalPos);  // right button; the caller pops its own menu

  private:
    void OnActivated(int reason);

    std::unique_ptr<QSystemTrayIcon> icon_;  // a child of this object, so tests can find it
};

}  // namespace snapwire::ui
