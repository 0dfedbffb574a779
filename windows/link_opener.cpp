#include "windows/link_opener.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QUrl>

namespace snapwire {

namespace {

std::function<void(const QUrl&)>& ReplacedOpener() {
    static std::function<void(const QUrl&)> opener;
    return opener;
}

bool NobodyCouldSeeIt() {
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

}  // namespace

void OpenLink(const QUrl& address) {
    if (ReplacedOpener()) {
        ReplacedOpener()(address);
        return;
    }
    if (NobodyCouldSeeIt())
        return;
    QDesktopServices::openUrl(address);
}

void SetLinkOpenerForTests(std::function<void(const QUrl&)> opener) {
    ReplacedOpener() = std::move(opener);
}

}  // namespace snapwire
