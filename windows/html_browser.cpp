#include "windows/html_browser.h"

#include "windows/link_opener.h"

#include <QFile>
#include <QUrl>

namespace snapwire {

namespace {

bool OpensOutside(const QUrl& link) {
    const QString scheme = link.scheme().toLower();
    return scheme == QLatin1String("http") || scheme == QLatin1String("https") ||
           scheme == QLatin1String("mailto") || scheme == QLatin1String("ftp");
}

}  // namespace

HtmlBrowser::HtmlBrowser(QWidget* parent) : QTextBrowser(parent) {
    // Links are ours to follow: web and mail links go to the desktop's programs
    // through OpenLink, which tests replace.
    setOpenLinks(false);
    setOpenExternalLinks(false);
    connect(this, &QTextBrowser::anchorClicked, this, [this](const QUrl& link) { FollowLink(link); });
}

bool HtmlBrowser::IsWebAddress(const QString& address) {
    return address.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
           address.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
}

void HtmlBrowser::Navigate(const QString& address) {
    if (IsWebAddress(address))
        ShowWebPage(address);
    else
        ShowLocalPage(address, QString());
}

void HtmlBrowser::ShowLocalPage(const QString& path, const QString& fragment) {
    location_ = path;
    QFile page(path);
    if (!page.open(QIODevice::ReadOnly)) {
        ShowErrorPage(path);
        return;
    }
    showsErrorPage_ = false;
    setHtml(QString::fromUtf8(page.readAll()));
    if (!fragment.isEmpty())
        scrollToAnchor(fragment);
}

void HtmlBrowser::ShowWebPage(const QString& address) {
    location_ = address;
    showsErrorPage_ = false;
    const QString escaped = address.toHtmlEscaped();
    setHtml(QStringLiteral("<h3>Page on the web</h3>"
                           "<p>This window shows only the pages that come with the program. "
                           "Click the address to open the page in your web browser:</p>"
                           "<p><a href=\"%1\">%1</a></p>")
                .arg(escaped));
}

void HtmlBrowser::ShowErrorPage(const QString& path) {
    showsErrorPage_ = true;
    setHtml(QStringLiteral("<h3>The page cannot be displayed</h3>"
                           "<p>The file <b>%1</b> could not be found or read.</p>")
                .arg(path.toHtmlEscaped()));
}

void HtmlBrowser::FollowLink(const QUrl& link) {
    if (OpensOutside(link)) {
        OpenLink(link);
        return;
    }
    if (link.path().isEmpty() && link.hasFragment()) {
        scrollToAnchor(link.fragment());
        return;
    }
    const QUrl target = QUrl::fromLocalFile(location_).resolved(link);
    if (target.isLocalFile())
        ShowLocalPage(target.toLocalFile(), target.fragment());
}

}  // namespace snapwire
