#pragma once

#include <curl/curl.h>

#include <QByteArray>
#include <QString>
#include <chrono>

namespace snapwire::ftp {

// Error numbers, as the program's logs know them. The internet-library numbers
// keep the values the logs and the error reporting test for (12003 above all:
// only then does the server's reply go into the FTP log).
inline constexpr int kErrorFileNotFound = 2;           // the local file to send is missing
inline constexpr int kErrorAccessDenied = 5;           // the local file cannot be read
inline constexpr int kErrorInvalidHandle = 6;          // no internet session, or no connection
inline constexpr int kErrorInvalidParameter = 87;      // a name that cannot go into an FTP command
inline constexpr int kErrorTimeout = 12002;            // a network step took longer than allowed
inline constexpr int kErrorExtended = 12003;           // the server answered with an error reply
inline constexpr int kErrorInternal = 12004;           // anything the other numbers do not cover
inline constexpr int kErrorNameNotResolved = 12007;    // the host name does not resolve
inline constexpr int kErrorCannotConnect = 12029;      // nothing accepted the connection
inline constexpr int kErrorConnectionAborted = 12030;  // the server dropped the connection

// The program's text for one of the numbers above; empty for any other number.
QString ErrorText(int error);

// The FTP port: 21, unless $SNAPWIRE_FTP_PORT holds a valid port number (tests
// point the program at their loopback server through it).
int FtpPort();

// Upper bounds on every network wait, so that a dead or stalled server cannot
// hold the single user-interface thread for long. The defaults keep any one
// wait under about a minute; tests shorten them.
struct Timeouts {
    std::chrono::milliseconds connect{20'000};  // TCP connect, name resolution included
    std::chrono::seconds response{30};          // each reply of the server
    std::chrono::milliseconds accept{30'000};   // the server's data connection in active mode
    long lowSpeedBytesPerSecond = 1;            // a transfer slower than this ...
    std::chrono::seconds lowSpeedTime{30};      // ... for this long is abandoned
};

// The program's one internet session, opened at start-up and kept for the whole
// run; every FTP connection is made through it, and it outlives them all.
class InternetSession {
  public:
    InternetSession() = default;
    ~InternetSession();
    InternetSession(const InternetSession&) = delete;
    InternetSession& operator=(const InternetSession&) = delete;

    // Sets up the transfer library; false (with LastError) when that fails.
    bool Open(const QString& agent);
    bool IsOpen() const { return open_; }
    QString Agent() const { return agent_; }
    int LastError() const { return lastError_; }

  private:
    bool open_ = false;
    QString agent_;
    int lastError_ = 0;
};

// One FTP control connection: log in, send files, quit. Every call is
// synchronous and returns once the server has answered, failed or timed out.
class FtpConnection {
  public:
    explicit FtpConnection(const InternetSession& session);
    ~FtpConnection();
    FtpConnection(const FtpConnection&) = delete;
    FtpConnection& operator=(const FtpConnection&) = delete;

    void SetTimeouts(const Timeouts& timeouts) { timeouts_ = timeouts; }

    // Connects to host on FtpPort() and logs in; the connection then stays open
    // for PutFile until Close. An empty user logs in anonymously. A connection
    // still open from before is closed first. passive: PASV, otherwise PORT.
    bool Connect(const QString& host, const QString& user, const QString& password, bool passive);

    // Sends the local file byte for byte as "STOR remotePath", remotePath exactly
    // as given (relative to the login folder, no change of folder). Nothing is
    // sent when the local file cannot be read or the name cannot be sent. Only
    // the control connection of the login carries it: once that is gone, every
    // put fails with kErrorConnectionAborted, and none connects or logs in again.
    bool PutFile(const QString& localPath, const QString& remotePath);

    // Says QUIT and drops the connection; harmless when there is none.
    void Close();

    bool IsConnected() const { return curl_ != nullptr; }

    // 0 after a successful call, otherwise one of the numbers above.
    int LastError() const { return lastError_; }

    // The server's last reply during the last Connect or PutFile, every line of
    // it (a multi-line reply stays whole), each with its CR LF: after a
    // kErrorExtended, the reply to the command that failed. After a put refused
    // with kErrorInvalidParameter, what is wrong with the name (nothing was sent).
    QString LastResponse() const { return lastResponse_; }

  private:
    struct Upload;

    bool Fail(int error);
    bool Perform(const QString& remotePath);
    CURLcode RunTransfer();
    void ApplyOptions(bool passive);
    void TakeReplyLine(const QByteArray& line);
    static size_t CollectReply(char* data, size_t size, size_t count, void* self);
    static size_t ReadUpload(char* buffer, size_t size, size_t count, void* upload);
    static curl_socket_t OpenSocket(void* self, curlsocktype purpose, curl_sockaddr* address);

    const InternetSession& session_;
    Timeouts timeouts_;
    CURL* curl_ = nullptr;      // the easy handle of the connection's transfers
    CURLM* multi_ = nullptr;    // runs them, and keeps the control connection alive between them
    QByteArray urlBase_;        // "ftp://host:port"
    QByteArray reply_;          // the server's latest reply, as far as it has come
    QByteArray openReplyCode_;  // the code of a multi-line reply still coming in
    QString lastResponse_;
    int lastError_ = 0;
    int controlPort_ = 0;  // the port of urlBase_
    // The login's control connection as the library left it after the latest
    // transfer: CURL_SOCKET_BAD before the login and once the library dropped it.
    curl_socket_t controlSocket_ = CURL_SOCKET_BAD;
    bool reconnectRefused_ = false;  // the latest transfer wanted another control connection
};

}  // namespace snapwire::ftp
