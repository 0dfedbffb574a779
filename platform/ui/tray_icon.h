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

    static bool Available();  // the desktop has a tray
    bool Add(const QIcon& icon, const QString& tip);  // true when shown
    void Remove();  // harmless when never added
    bool IsShown() const;

Q_SIGNALS:
    void DoubleClicked();                       // left-button double click (or the desktop's activate)
    void ContextMenuRequested(const QPoint& globalPos);  // right-button release

private:
    std::unique_ptr<QSystemTrayIcon> icon_;
};

}  // namespace snapwire::ui
