#include "platform/ftp/ftp_session.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <algorithm>
#include <climits>

#include <QFile>
#include <QUrl>

namespace snapwire::ftp {

namespace {

// A server that floods us with reply text must not grow memory without end; the
// program's log keeps far less of it anyway.
constexpr qsizetype kMaxReplyBytes = 64 * 1024;

// The longest the connection waits on the network before it asks the transfer
// library to move on again; the library checks its own time-outs only then.
constexpr long kLongestWaitMs = 100;

bool HasLineBreakOrNul(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) ||
           text.contains(QChar(u'\0'));
}

bool IsControlCharacter(QChar c) {
    return c.unicode() < 0x20;
}

// Why a remote name cannot go into the STOR command, in words for the FTP log; empty
// when it can. The transfer library refuses any control character in a path and
// drops the control connection with it, which would take the next put down too.
QString UnsendableNameReason(const QString& name) {
    if (name.isEmpty())
        return QStringLiteral("There is no file name to send to the server.");
    const auto control = std::find_if(name.begin(), name.end(), IsControlCharacter);
    if (control == name.end())
        return {};
    QString shown = name;
    std::replace_if(shown.begin(), shown.end(), IsControlCharacter, QLatin1Char('?'));
    const QString code =
        QString::number(control->unicode(), 16).rightJustified(2, QLatin1Char('0')).toUpper();
    return QStringLiteral(
               "The file name \"%1\" cannot be sent to the server: it holds the control character 0x%2.")
        .arg(shown, code);
}

bool IsHostCharacter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '.' || c == '_';
}

bool IsIpv6Address(const QByteArray& text) {
    in6_addr address{};
    return inet_pton(AF_INET6, text.constData(), &address) == 1;
}

// The host as it goes into the transfer URL; empty when the text cannot name a
// host. An IPv6 address gets its brackets here, an international name its
// ASCII form.
QByteArray UrlHost(const QString& host) {
    QString bare = host;
    if (bare.startsWith(QLatin1Char('[')) && bare.endsWith(QLatin1Char(']')))
        bare = bare.mid(1, bare.size() - 2);
    if (IsIpv6Address(bare.toLatin1()))
        return "[" + bare.toLatin1() + "]";
    const QByteArray ascii = QUrl::toAce(bare);
    if (ascii.isEmpty() || !std::all_of(ascii.begin(), ascii.end(), IsHostCharacter))
        return {};
    return ascii;
}

// The destination port of a socket the transfer library is about to open.
int PortOf(const curl_sockaddr& address) {
    switch (address.family) {
        case AF_INET:
            return ntohs(reinterpret_cast<const sockaddr_in*>(&address.addr)->sin_port);
        case AF_INET6:
            return ntohs(reinterpret_cast<const sockaddr_in6*>(&address.addr)->sin6_port);
        default:
            return 0;
    }
}

long Milliseconds(std::chrono::milliseconds value) {
    return static_cast<long>(value.count());
}

bool IsErrorReply(long replyCode) {
    return replyCode >= 400 && replyCode < 600;
}

// The library's next deadline, if sooner than our longest wait.
int NextWaitMs(CURLM* multi) {
    long timeoutMs = -1;
    curl_multi_timeout(multi, &timeoutMs);
    return static_cast<int>(timeoutMs < 0 ? kLongestWaitMs : std::min(timeoutMs, kLongestWaitMs));
}

// A reply line that opens a multi-line reply ("421-..."): its code, else empty.
QByteArray OpenedReplyCode(const QByteArray& line) {
    const bool opens =
        line.size() >= 4 && line[3] == '-' &&
        std::all_of(line.begin(), line.begin() + 3, [](char c) { return c >= '0' && c <= '9'; });
    return opens ? line.left(3) : QByteArray();
}

// The error number a failed transfer call gives: the transport's own failures
// first, then whether the server answered with an error reply.
int ErrorForFailure(CURLcode curlCode, long replyCode) {
    switch (curlCode) {
        case CURLE_COULDNT_RESOLVE_HOST:
            return kErrorNameNotResolved;
        case CURLE_COULDNT_CONNECT:
            return kErrorCannotConnect;
        case CURLE_OPERATION_TIMEDOUT:
            // The library reports a 421 reply (service not available) as a time-out,
            // but it is the server's error reply, and the log shows it.
            return replyCode == 421 ? kErrorExtended : kErrorTimeout;
        case CURLE_FTP_ACCEPT_TIMEOUT:
            return kErrorTimeout;
        case CURLE_URL_MALFORMAT:
            return kErrorInvalidParameter;
        default:
            break;
    }
    if (IsErrorReply(replyCode))
        return kErrorExtended;
    switch (curlCode) {
        case CURLE_GOT_NOTHING:
        case CURLE_RECV_ERROR:
        case CURLE_SEND_ERROR:
        case CURLE_PARTIAL_FILE:
        case CURLE_WEIRD_SERVER_REPLY:
            return kErrorConnectionAborted;
        default:
            return kErrorInternal;
    }
}

}  // namespace

QString ErrorText(int error) {
    struct Message {
        int error;
        const char* text;
    };
    static constexpr Message kMessages[] = {
        {kErrorFileNotFound, "The file to upload could not be found."},
        {kErrorAccessDenied, "The file to upload could not be read."},
        {kErrorInvalidHandle, "There is no open internet session or server connection."},
        {kErrorInvalidParameter, "The name cannot be sent to the server."},
        {kErrorTimeout, "The operation timed out."},
        {kErrorExtended,
         "The server answered with an error. Its reply, available as the last response, explains the error."},
        {kErrorInternal, "An internal error occurred."},
        {kErrorNameNotResolved, "The server name could not be resolved."},
        {kErrorCannotConnect, "No connection with the server could be established."},
        {kErrorConnectionAborted, "The connection with the server was ended."},
    };
    for (const Message& message : kMessages) {
        if (message.error == error)
            return QString::fromLatin1(message.text);
    }
    return {};
}

int FtpPort() {
    bool ok = false;
    const int port = qEnvironmentVariableIntValue("SNAPWIRE_FTP_PORT", &ok);
    return ok && port > 0 && port <= 65535 ? port : 21;
}

InternetSession::~InternetSession() {
    if (open_)
        curl_global_cleanup();
}

bool InternetSession::Open(const QString& agent) {
    agent_ = agent;
    if (open_)
        return true;
    if (curl_global_init(CURL_GLOBAL_DEFAULT) != CURLE_OK) {
        lastError_ = kErrorInternal;
        return false;
    }
    open_ = true;
    lastError_ = 0;
    return true;
}

// The local file being sent, read by the transfer as it needs it.
struct FtpConnection::Upload {
    QFile file;
};

FtpConnection::FtpConnection(const InternetSession& session) : session_(session) {}

FtpConnection::~FtpConnection() {
    Close();
}

bool FtpConnection::Connect(const QString& host, const QString& user, const QString& password, bool passive) {
    Close();
    lastResponse_.clear();
    if (!session_.IsOpen())
        return Fail(kErrorInvalidHandle);
    const QByteArray urlHost = UrlHost(host);
    if (urlHost.isEmpty())
        return Fail(kErrorNameNotResolved);
    if (HasLineBreakOrNul(user) || HasLineBreakOrNul(password))
        return Fail(kErrorInvalidParameter);

    curl_ = curl_easy_init();
    multi_ = curl_multi_init();
    if (curl_ == nullptr || multi_ == nullptr) {
        Close();
        return Fail(kErrorInternal);
    }
    controlPort_ = FtpPort();
    urlBase_ = "ftp://" + urlHost + ":" + QByteArray::number(controlPort_);
    ApplyOptions(passive);
    // Without a user name the transfer library logs in as "anonymous" itself.
    if (!user.isEmpty()) {
        curl_easy_setopt(curl_, CURLOPT_USERNAME, user.toUtf8().constData());
        curl_easy_setopt(curl_, CURLOPT_PASSWORD, password.toUtf8().constData());
    }
    // Asking for the login folder without a body logs in and leaves the control
    // connection open in the handle for the puts that follow.
    curl_easy_setopt(curl_, CURLOPT_NOBODY, 1L);
    if (Perform(QString()))
        return true;
    Close();
    return false;
}

bool FtpConnection::PutFile(const QString& localPath, const QString& remotePath) {
    lastResponse_.clear();
    if (curl_ == nullptr)
        return Fail(kErrorInvalidHandle);
    if (controlSocket_ == CURL_SOCKET_BAD)
        return Fail(kErrorConnectionAborted);
    if (const QString reason = UnsendableNameReason(remotePath); !reason.isEmpty()) {
        lastResponse_ = reason;
        return Fail(kErrorInvalidParameter);
    }
    Upload upload;
    upload.file.setFileName(localPath);
    if (!upload.file.open(QIODevice::ReadOnly))
        return Fail(upload.file.exists() ? kErrorAccessDenied : kErrorFileNotFound);

    curl_easy_setopt(curl_, CURLOPT_NOBODY, 0L);
    curl_easy_setopt(curl_, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl_, CURLOPT_READFUNCTION, &FtpConnection::ReadUpload);
    curl_easy_setopt(curl_, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl_, CURLOPT_INFILESIZE_LARGE, static_cast<curl_off_t>(upload.file.size()));
    const bool sent = Perform(remotePath);
    curl_easy_setopt(curl_, CURLOPT_READDATA, nullptr);
    return sent;
}

void FtpConnection::Close() {
    // The multi handle holds the control connection: cleaning it up says QUIT on
    // a connection that is still in order.
    if (multi_ != nullptr)
        curl_multi_cleanup(multi_);
    if (curl_ != nullptr)
        curl_easy_cleanup(curl_);
    multi_ = nullptr;
    curl_ = nullptr;
    controlSocket_ = CURL_SOCKET_BAD;
}

bool FtpConnection::Fail(int error) {
    lastError_ = error;
    return false;
}

void FtpConnection::ApplyOptions(bool passive) {
    curl_easy_setopt(curl_, CURLOPT_PROTOCOLS_STR, "ftp");
    curl_easy_setopt(curl_, CURLOPT_PROXY, "");
    curl_easy_setopt(curl_, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(curl_, CURLOPT_CONNECTTIMEOUT_MS, Milliseconds(timeouts_.connect));
    curl_easy_setopt(curl_, CURLOPT_SERVER_RESPONSE_TIMEOUT, static_cast<long>(timeouts_.response.count()));
    curl_easy_setopt(curl_, CURLOPT_ACCEPTTIMEOUT_MS, Milliseconds(timeouts_.accept));
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_LIMIT, timeouts_.lowSpeedBytesPerSecond);
    curl_easy_setopt(curl_, CURLOPT_LOW_SPEED_TIME, static_cast<long>(timeouts_.lowSpeedTime.count()));
    // The connection lasts until the server ends it or Close: the library would
    // drop one idle for two minutes (a message box left open between the picture
    // and the time text file), and a put never connects again.
    curl_easy_setopt(curl_, CURLOPT_MAXAGE_CONN, LONG_MAX);
    curl_easy_setopt(curl_, CURLOPT_MAXLIFETIME_CONN, 0L);
    // Plain PASV and PORT, and STOR with the whole remote path: the commands the
    // servers and the logs of the program expect.
    curl_easy_setopt(curl_, CURLOPT_FTP_USE_EPSV, 0L);
    curl_easy_setopt(curl_, CURLOPT_FTP_USE_EPRT, 0L);
    curl_easy_setopt(curl_, CURLOPT_FTP_FILEMETHOD, static_cast<long>(CURLFTPMETHOD_NOCWD));
    if (!passive)
        curl_easy_setopt(curl_, CURLOPT_FTPPORT, "-");
    curl_easy_setopt(curl_, CURLOPT_TRANSFERTEXT, 0L);
    curl_easy_setopt(curl_, CURLOPT_HEADERFUNCTION, &FtpConnection::CollectReply);
    curl_easy_setopt(curl_, CURLOPT_HEADERDATA, this);
    curl_easy_setopt(curl_, CURLOPT_OPENSOCKETFUNCTION, &FtpConnection::OpenSocket);
    curl_easy_setopt(curl_, CURLOPT_OPENSOCKETDATA, this);
}

bool FtpConnection::Perform(const QString& remotePath) {
    // Everything after the port is the path the server gets; the library decodes
    // it again, so every byte outside the unreserved set is escaped.
    const QByteArray url = urlBase_ + "/" + QUrl::toPercentEncoding(remotePath, "/");
    curl_easy_setopt(curl_, CURLOPT_URL, url.constData());
    reply_.clear();
    openReplyCode_.clear();
    reconnectRefused_ = false;
    const CURLcode code = RunTransfer();
    lastResponse_ = QString::fromUtf8(reply_);
    if (code == CURLE_OK) {
        lastError_ = 0;
        return true;
    }
    if (reconnectRefused_)
        return Fail(kErrorConnectionAborted);
    long replyCode = 0;
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &replyCode);
    return Fail(ErrorForFailure(code, replyCode));
}

// Not curl_easy_perform: Debian's libcurl 7.88 (mended in later releases) ends
// the pass that sends PASV and at once finds the 227 reply, as a busy calling
// thread often does, with nothing to wait on, and curl_easy_perform then sleeps
// out a whole second before it connects the data port. A second pass before each
// wait moves such a transfer on at once.
CURLcode FtpConnection::RunTransfer() {
    if (curl_multi_add_handle(multi_, curl_) != CURLM_OK)
        return CURLE_FAILED_INIT;
    int running = 1;
    CURLMcode status = CURLM_OK;
    while (status == CURLM_OK && running > 0) {
        status = curl_multi_perform(multi_, &running);
        if (status == CURLM_OK && running > 0)
            status = curl_multi_perform(multi_, &running);
        if (status == CURLM_OK && running > 0)
            status = curl_multi_poll(multi_, nullptr, 0, NextWaitMs(multi_), nullptr);
    }
    CURLcode result = CURLE_FAILED_INIT;
    int queued = 0;
    while (const CURLMsg* message = curl_multi_info_read(multi_, &queued)) {
        if (message->msg == CURLMSG_DONE && message->easy_handle == curl_)
            result = message->data.result;
    }
    // The library answers this only while the handle is still in the multi handle.
    curl_easy_getinfo(curl_, CURLINFO_ACTIVESOCKET, &controlSocket_);
    curl_multi_remove_handle(multi_, curl_);
    return result;
}

// The library hands over each reply line whole; a line that does not continue
// a multi-line reply starts the next reply.
void FtpConnection::TakeReplyLine(const QByteArray& line) {
    if (openReplyCode_.isEmpty()) {
        reply_.clear();
        openReplyCode_ = OpenedReplyCode(line);
    } else if (line.startsWith(openReplyCode_) && line.size() > 3 && line[3] != '-') {
        openReplyCode_.clear();
    }
    reply_.append(line.left(std::max<qsizetype>(0, kMaxReplyBytes - reply_.size())));
}

size_t FtpConnection::CollectReply(char* data, size_t size, size_t count, void* self) {
    static_cast<FtpConnection*>(self)->TakeReplyLine(
        QByteArray::fromRawData(data, static_cast<qsizetype>(size * count)));
    return size * count;
}

size_t FtpConnection::ReadUpload(char* buffer, size_t size, size_t count, void* upload) {
    auto* file = &static_cast<Upload*>(upload)->file;
    const qint64 read = file->read(buffer, static_cast<qint64>(size * count));
    return read < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(read);
}

// After a failed transfer, or when it finds the kept control connection closed
// by the server, the library would quietly connect and log in again for the next
// put: a login the FTP log never shows. Refusing every socket to the control
// port once logged in keeps each put on the one connection (a data connection
// never goes to that port: the server listens for its control connections there).
curl_socket_t FtpConnection::OpenSocket(void* self, curlsocktype /*purpose*/, curl_sockaddr* address) {
    auto* connection = static_cast<FtpConnection*>(self);
    if (connection->controlSocket_ != CURL_SOCKET_BAD && PortOf(*address) == connection->controlPort_) {
        connection->reconnectRefused_ = true;
        return CURL_SOCKET_BAD;
    }
    return ::socket(address->family, address->socktype, address->protocol);
}

}  // namespace snapwire::ftp
