#include "platform/ftp/ftp_session.h"

#include <arpa/inet.h>

#include <algorithm>

#include <QFile>
#include <QUrl>

namespace snapwire::ftp {

namespace {

// A server that floods us with reply text must not grow memory without end; the
// program's log keeps far less of it anyway.
constexpr qsizetype kMaxReplyBytes = 64 * 1024;

bool HasLineBreakOrNul(const QString& text) {
    return text.contains(QLatin1Char('\r')) || text.contains(QLatin1Char('\n')) ||
           text.contains(QChar(u'\0'));
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

long Milliseconds(std::chrono::milliseconds value) {
    return static_cast<long>(value.count());
}

bool IsErrorReply(long replyCode) {
    return replyCode >= 400 && replyCode < 600;
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
    replies_.clear();
    lastResponse_.clear();
    if (!session_.IsOpen())
        return Fail(kErrorInvalidHandle);
    const QByteArray urlHost = UrlHost(host);
    if (urlHost.isEmpty())
        return Fail(kErrorNameNotResolved);
    if (HasLineBreakOrNul(user) || HasLineBreakOrNul(password))
        return Fail(kErrorInvalidParameter);

    curl_ = curl_easy_init();
    if (curl_ == nullptr)
        return Fail(kErrorInternal);
    urlBase_ = "ftp://" + urlHost + ":" + QByteArray::number(FtpPort());
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
    curl_easy_cleanup(curl_);
    curl_ = nullptr;
    return false;
}

bool FtpConnection::PutFile(const QString& localPath, const QString& remotePath) {
    replies_.clear();
    lastResponse_.clear();
    if (curl_ == nullptr)
        return Fail(kErrorInvalidHandle);
    if (remotePath.isEmpty() || HasLineBreakOrNul(remotePath))
        return Fail(kErrorInvalidParameter);
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
    if (curl_ == nullptr)
        return;
    // Cleaning up the handle says QUIT on a connection that is still in order.
    curl_easy_cleanup(curl_);
    curl_ = nullptr;
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
}

bool FtpConnection::Perform(const QString& remotePath) {
    // Everything after the port is the path the server gets; the library decodes
    // it again, so every byte outside the unreserved set is escaped.
    const QByteArray url = urlBase_ + "/" + QUrl::toPercentEncoding(remotePath, "/");
    curl_easy_setopt(curl_, CURLOPT_URL, url.constData());
    const CURLcode code = curl_easy_perform(curl_);
    lastResponse_ = QString::fromUtf8(replies_);
    if (code == CURLE_OK) {
        lastError_ = 0;
        return true;
    }
    long replyCode = 0;
    curl_easy_getinfo(curl_, CURLINFO_RESPONSE_CODE, &replyCode);
    return Fail(ErrorForFailure(code, replyCode));
}

size_t FtpConnection::CollectReply(char* data, size_t size, size_t count, void* self) {
    auto* connection = static_cast<FtpConnection*>(self);
    const qsizetype bytes = static_cast<qsizetype>(size * count);
    const qsizetype room = kMaxReplyBytes - connection->replies_.size();
    if (room > 0)
        connection->replies_.append(data, std::min(bytes, room));
    return size * count;
}

size_t FtpConnection::ReadUpload(char* buffer, size_t size, size_t count, void* upload) {
    auto* file = &static_cast<Upload*>(upload)->file;
    const qint64 read = file->read(buffer, static_cast<qint64>(size * count));
    return read < 0 ? CURL_READFUNC_ABORT : static_cast<size_t>(read);
}

}  // namespace snapwire::ftp
