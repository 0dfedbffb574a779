#include "platform/ui/single_instance.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QThread>

namespace snapwire::ui {

namespace {

// The running instance may be between taking the lock and listening, or ending:
// a later start keeps trying to either take the lock or reach it for this long.
constexpr int kAttempts = 50;
constexpr int kPauseMs = 100;
constexpr int kConnectWaitMs = 1000;

int OpenLockFile(const QString& folder) {
    const QByteArray path = QFile::encodeName(folder + QStringLiteral("/snapwire.lock"));
    // Close-on-exec: a program started from here must not carry the lock on after we end.
    return ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

bool TryLock(int fd) {
    return ::flock(fd, LOCK_EX | LOCK_NB) == 0;
}

// In the user's private runtime folder, named after the folder's real path, so
// every spelling of one folder meets at one socket.
QString SocketName(const QString& folder) {
    QString canonical = QFileInfo(folder).canonicalFilePath();
    if (canonical.isEmpty())
        canonical = folder;
    const QByteArray hash =
        QCryptographicHash::hash(canonical.toUtf8(), QCryptographicHash::Sha256).toHex().left(16);
    QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (runtime.isEmpty())
        runtime = QDir::tempPath();
    return runtime + QStringLiteral("/snapwire-") + QString::fromLatin1(hash);
}

// A connection is the whole request; the kernel takes it even while the running
// instance is busy starting up.
bool AskToComeToFront(const QString& socketName) {
    QLocalSocket socket;
    socket.connectToServer(socketName);
    if (!socket.waitForConnected(kConnectWaitMs))
        return false;
    socket.disconnectFromServer();
    return true;
}

}  // namespace

std::unique_ptr<SingleInstance> SingleInstance::Claim(const QString& folder) {
    const QString socketName = SocketName(folder);
    const int fd = OpenLockFile(folder);
    if (fd < 0) {
        qWarning("Cannot lock the program folder %s: other starts are not kept out", qUtf8Printable(folder));
        return std::unique_ptr<SingleInstance>(new SingleInstance(-1, socketName));
    }
    for (int attempt = 0; attempt < kAttempts; ++attempt) {
        if (TryLock(fd))
            return std::unique_ptr<SingleInstance>(new SingleInstance(fd, socketName));
        if (AskToComeToFront(socketName)) {
            ::close(fd);
            return nullptr;
        }
        QThread::msleep(kPauseMs);
    }
    ::close(fd);
    qWarning("Snapwire already runs with the program folder %s", qUtf8Printable(folder));
    return nullptr;
}

SingleInstance::SingleInstance(int lockFd, const QString& socketName) : lockFd_(lockFd) {
    if (lockFd_ < 0)
        return;
    // Holding the lock, whatever socket is there was left by an instance that died.
    QLocalServer::removeServer(socketName);
    if (!server_.listen(socketName))
        qWarning("Cannot listen on %s: %s", qUtf8Printable(socketName),
                 qUtf8Printable(server_.errorString()));
}

SingleInstance::~SingleInstance() {
    server_.close();
    if (lockFd_ >= 0)
        ::close(lockFd_);
}

void SingleInstance::AnswerRequests(std::function<void()> comeToFront) {
    comeToFront_ = std::move(comeToFront);
    connect(&server_, &QLocalServer::newConnection, this, [this] { AnswerPending(); });
    AnswerPending();
}

void SingleInstance::StopAnswering() {
    comeToFront_ = nullptr;
    server_.close();
}

void SingleInstance::AnswerPending() {
    while (QLocalSocket* request = server_.nextPendingConnection()) {
        request->deleteLater();
        if (comeToFront_)
            comeToFront_();
    }
}

}  // namespace snapwire::ui
