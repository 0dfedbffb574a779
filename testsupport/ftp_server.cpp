#include "testsupport/ftp_server.h"

#include <QDeadlineTimer>
#include <QFile>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace snapwire::testing {

namespace {

// Debian's interpreter: the one that has the server library installed.
constexpr auto kPython = "/usr/bin/python3";
constexpr int kStartTimeoutMs = 15'000;
constexpr int kStopTimeoutMs = 5'000;

QString ScriptPath() {
    return QStringLiteral(SNAPWIRE_SOURCE_DIR "/testsupport/ftp_server.py");
}

// A TCP socket bound to a port of 127.0.0.1 chosen by the system; -1 on failure.
int BindLoopbackSocket(quint16* port) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return -1;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof(address);
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof(address)) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
        ::close(fd);
        return -1;
    }
    *port = ntohs(address.sin_port);
    return fd;
}

QString UploadsArgument(FtpTestServer::Options::Uploads uploads) {
    using Uploads = FtpTestServer::Options::Uploads;
    switch (uploads) {
        case Uploads::DropFirst:
            return QStringLiteral("drop-first");
        case Uploads::Stall:
            return QStringLiteral("stall");
        case Uploads::HangUpAfter:
            return QStringLiteral("hang-up-after");
        case Uploads::Stored:
            break;
    }
    return {};
}

}  // namespace

FtpTestServer::FtpTestServer(Options options) {
    if (!root_.isValid() || !work_.isValid()) {
        error_ = QStringLiteral("no temporary folder");
        return;
    }
    QStringList arguments{ScriptPath(),
                          QStringLiteral("--root"),
                          root_.path(),
                          QStringLiteral("--user"),
                          user(),
                          QStringLiteral("--password"),
                          password(),
                          QStringLiteral("--command-log"),
                          work_.filePath(QStringLiteral("commands.log"))};
    if (options.readOnly)
        arguments << QStringLiteral("--read-only");
    if (options.anonymous)
        arguments << QStringLiteral("--anonymous");
    if (options.busy)
        arguments << QStringLiteral("--busy");
    if (options.uploads != Options::Uploads::Stored)
        arguments << QStringLiteral("--uploads") << UploadsArgument(options.uploads);
    // The server's own messages go to a file: an unread pipe could fill up and stall it.
    process_.setStandardErrorFile(work_.filePath(QStringLiteral("server.err")));
    process_.start(QString::fromLatin1(kPython), arguments);
    if (!WaitForPort()) {
        process_.kill();
        process_.waitForFinished(kStopTimeoutMs);
        QFile errors(work_.filePath(QStringLiteral("server.err")));
        if (errors.open(QIODevice::ReadOnly))
            error_ += QString::fromLocal8Bit(errors.readAll());
    }
}

FtpTestServer::~FtpTestServer() {
    if (process_.state() == QProcess::NotRunning)
        return;
    process_.terminate();
    if (!process_.waitForFinished(kStopTimeoutMs)) {
        process_.kill();
        process_.waitForFinished(kStopTimeoutMs);
    }
}

bool FtpTestServer::WaitForPort() {
    const QDeadlineTimer deadline(kStartTimeoutMs);
    QByteArray output;
    while (!deadline.hasExpired()) {
        if (!process_.waitForReadyRead(static_cast<int>(deadline.remainingTime()))) {
            error_ = QStringLiteral("the FTP server did not start: ") + process_.errorString() + u' ';
            return false;
        }
        output += process_.readAllStandardOutput();
        const qsizetype end = output.indexOf('\n');
        if (end < 0)
            continue;
        const QByteArray line = output.left(end).trimmed();
        bool ok = false;
        const uint port = line.startsWith("PORT ") ? line.mid(5).toUInt(&ok) : 0;
        if (!ok || port == 0 || port > 65535) {
            error_ = QStringLiteral("unexpected start-up line: ") + QString::fromLocal8Bit(line) + u' ';
            return false;
        }
        port_ = static_cast<quint16>(port);
        return true;
    }
    error_ = QStringLiteral("the FTP server did not report its port in time ");
    return false;
}

QStringList FtpTestServer::commands() const {
    QFile log(work_.filePath(QStringLiteral("commands.log")));
    if (!log.open(QIODevice::ReadOnly | QIODevice::Text))
        return {};
    return QString::fromUtf8(log.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

SilentTcpServer::SilentTcpServer() {
    socket_ = BindLoopbackSocket(&port_);
    if (socket_ >= 0 && ::listen(socket_, 16) != 0)
        port_ = 0;
}

SilentTcpServer::~SilentTcpServer() {
    if (socket_ >= 0)
        ::close(socket_);
}

quint16 UnusedLocalPort() {
    quint16 port = 0;
    const int fd = BindLoopbackSocket(&port);
    if (fd >= 0)
        ::close(fd);
    return port;
}

ScopedFtpPort::ScopedFtpPort(quint16 port)
    : previous_(qgetenv("SNAPWIRE_FTP_PORT")), hadPrevious_(qEnvironmentVariableIsSet("SNAPWIRE_FTP_PORT")) {
    qputenv("SNAPWIRE_FTP_PORT", QByteArray::number(port));
}

ScopedFtpPort::~ScopedFtpPort() {
    if (hadPrevious_)
        qputenv("SNAPWIRE_FTP_PORT", previous_);
    else
        qunsetenv("SNAPWIRE_FTP_PORT");
}

}  // namespace snapwire::testing
