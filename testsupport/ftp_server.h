#pragma once

#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace snapwire::testing {

// A real FTP server on 127.0.0.1 (pyftpdlib run by the system's Python), serving a
// fresh temporary folder to one user. It listens on a port the system picks and
// logs every command it receives. Stopped when the object goes.
class FtpTestServer {
  public:
    struct Options {
        bool readOnly = false;   // the user may list and read but not store (STOR gets 550)
        bool anonymous = false;  // anonymous logins are accepted as well
        bool busy = false;       // every connection is turned away with a two-line 421 greeting
        // What becomes of uploads: the first one's data connection is reset as it
        // opens, and the control connection with it (a server failing mid-transfer);
        // their data is never read nor answered; or the session ends right after
        // each one's reply (as when the server's idle time-out runs out between puts).
        enum class Uploads { Stored, DropFirst, Stall, HangUpAfter };
        Uploads uploads = Uploads::Stored;
    };

    FtpTestServer() : FtpTestServer(Options{}) {}
    explicit FtpTestServer(Options options);
    ~FtpTestServer();
    FtpTestServer(const FtpTestServer&) = delete;
    FtpTestServer& operator=(const FtpTestServer&) = delete;

    // True once the server listens; otherwise errorString() says why not.
    bool isRunning() const { return port_ != 0; }
    QString errorString() const { return error_; }

    quint16 port() const { return port_; }
    QString root() const { return root_.path(); }
    QString rootFile(const QString& relativePath) const { return root_.filePath(relativePath); }
    static QString user() { return QStringLiteral("webcam"); }
    static QString password() { return QStringLiteral("Sw0rdfish-7731"); }

    // The commands received so far, oldest first, as sent (the password masked).
    QStringList commands() const;

  private:
    bool WaitForPort();

    QTemporaryDir root_;
    QTemporaryDir work_;
    QProcess process_;
    quint16 port_ = 0;
    QString error_;
};

// A server that accepts TCP connections and never says a word, for time-outs.
// The system's listen queue completes the connections, so the test's thread
// may block in a call while this object never runs.
class SilentTcpServer {
  public:
    SilentTcpServer();
    ~SilentTcpServer();
    SilentTcpServer(const SilentTcpServer&) = delete;
    SilentTcpServer& operator=(const SilentTcpServer&) = delete;

    // 0 when no socket could be opened.
    quint16 port() const { return port_; }

  private:
    int socket_ = -1;
    quint16 port_ = 0;
};

// A loopback port on which nothing listens (connections are refused).
quint16 UnusedLocalPort();

// Points the program's FTP connections at a test port ($SNAPWIRE_FTP_PORT) for
// the object's lifetime.
class ScopedFtpPort {
  public:
    explicit ScopedFtpPort(quint16 port);
    ~ScopedFtpPort();
    ScopedFtpPort(const ScopedFtpPort&) = delete;
    ScopedFtpPort& operator=(const ScopedFtpPort&) = delete;

  private:
    QByteArray previous_;
    bool hadPrevious_;
};

}  // namespace snapwire::testing
