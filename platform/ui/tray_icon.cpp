#include "platform/ui/tray_icon.h"

#include <QCursor>
#include <QSystemTrayIcon>

namespace snapwire::ui {

TrayIcon::TrayIcon(QObject* parent) : QObject(parent), icon_(std::make_unique<QSystemTrayIcon>(this)) {
    connect(icon_.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) { OnActivated(reason); });
}

TrayIcon::~TrayIcon() = default;

bool TrayIcon::Available() {
    return QSystemTrayIcon::isSystemTrayAvailable();
}

bool TrayIcon::Add(const QIcon& icon, const QString& tip) {
    if (!Available())
        return false;
    icon_->setIcon(icon);
    icon_->setToolTip(tip);
    icon_->show();
    return icon_->isVisible();
}

void TrayIcon::Remove() {
    icon_->hide();
}

bool TrayIcon::IsShown() const {
    return icon_->isVisible();
}

void TrayIcon::OnActivated(int reason) {
    switch (reason) {
        case QSystemTrayIcon::DoubleClick:
            Q_EMIT DoubleClicked();
            break;
        case QSystemTrayIcon::Context:
            Q_EMIT ContextMenuRequested(QCursor::pos());
            break;
        default:
            break;
    }
}

}  // namespace snapwire::ui
