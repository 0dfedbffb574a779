#pragma once

// The browser of the help and news windows: shows local HTML pages and follows
// the links between them. Pages on the web cannot be shown in it; for them it
// shows a page of its own with the address as a link, which opens the user's web
// browser. A local page that is missing gets the browser's own error page; the
// program reports nothing about either.

#include <QString>
#include <QTextBrowser>

class QUrl;

namespace snapwire {

class HtmlBrowser : public QTextBrowser {
  public:
    explicit HtmlBrowser(QWidget* parent = nullptr);

    // Shows the page at `address`: a local file path, or an http(s) address.
    void Navigate(const QString& address);
    // The address given to the last Navigate, or the page a link led to.
    QString LocationURL() const { return location_; }
    // True when the page shown is the browser's own error page for a missing file.
    bool ShowsErrorPage() const { return showsErrorPage_; }

    static bool IsWebAddress(const QString& address);

  private:
    void FollowLink(const QUrl& link);
    void ShowLocalPage(const QString& path, const QString& fragment);
    void ShowWebPage(const QString& address);
    void ShowErrorPage(const QString& path);

    QString location_;
    bool showsErrorPage_ = false;
};

}  // namespace snapwire
