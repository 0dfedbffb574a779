#include "platform/ftp/ftp_session.h"

#include <dlfcn.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QThread>
#include <atomic>
#include <cstring>
#include <memory>
#include <utility>

#include "testsupport/ftp_server.h"
#include "testsupport/program_folder_test.h"

namespace {
std::atomic<bool> holdPassiveCommands{false};
std::atomic<int> heldPassiveCommands{0};
std::atomic<time_t> monotonicSkipSeconds{0};
}  // namespace

// Every clock reading of this test program passes here: skipping the monotonic clocks
// ahead lets the transfer library see a connection idle for as long as a test wants.
extern "C" int clock_gettime(clockid_t clock, timespec* time) noexcept {
    using ClockGetTime = int (*)(clockid_t, timespec*);
    static const auto realClockGetTime = reinterpret_cast<ClockGetTime>(dlsym(RTLD_NEXT, "clock_gettime"));
    const int result = realClockGetTime(clock, time);
    if (result == 0 && (clock == CLOCK_MONOTONIC || clock == CLOCK_MONOTONIC_RAW))
        time->tv_sec += monotonicSkipSeconds;
    return result;
}

// Every send of this test program passes here. While holding is on, a "PASV"
// command returns only once the server's reply has arrived, as when the sending
// thread is busy: the transfer library then finds the 227 reply already waiting.
extern "C" ssize_t send(int fd, const void* buffer, size_t length, int flags) {
    using Send = ssize_t (*)(int, const void*, size_t, int);
    static const auto realSend = reinterpret_cast<Send>(dlsym(RTLD_NEXT, "send"));
    const ssize_t sent = realSend(fd, buffer, length, flags);
    if (sent > 0 && holdPassiveCommands && length >= 4 && std::memcmp(buffer, "PASV", 4) == 0) {
        pollfd reply{fd, POLLIN, 0};
        ::poll(&reply, 1, 5'000);
        ++heldPassiveCommands;
    }
    return sent;
}

namespace snapwire::ftp {
namespace {

using testing::FtpTestServer;
using testing::ScopedFtpPort;

// Bytes that a text-mode transfer would change: line ends of both kinds, NULs, high bytes.
QByteArray BinaryPicture(qsizetype size) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator generator(1234);
    for (qsizetype i = 0; i < size; ++i) bytes[i] = static_cast<char>(generator.bounded(256));
    bytes.replace(0, 6, QByteArray("\r\n\n\r\0\xff", 6));
    return bytes;
}

QByteArray ReadAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

qsizetype CountStartingWith(const QStringList& commands, const QString& prefix) {
    qsizetype count = 0;
    for (const QString& command : commands) count += command.startsWith(prefix) ? 1 : 0;
    return count;
}

class FtpSessionTest : public testing::ProgramFolderTest {
  protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        ASSERT_TRUE(session_.Open(QStringLiteral("ORSN")));
        picture_ = BinaryPicture(100 * 1024);
        QFile file(homeFile(QStringLiteral("webcam.jpg")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(picture_);
    }

    // Short waits: a loopback server answers at once, and a failing test should not hang.
    static Timeouts TestTimeouts() {
        Timeouts timeouts;
        timeouts.connect = std::chrono::seconds(5);
        timeouts.response = std::chrono::seconds(5);
        timeouts.accept = std::chrono::seconds(5);
        timeouts.lowSpeedTime = std::chrono::seconds(5);
        return timeouts;
    }

    std::unique_ptr<FtpConnection> NewConnection() {
        auto connection = std::make_unique<FtpConnection>(session_);
        connection->SetTimeouts(TestTimeouts());
        return connection;
    }

    bool ConnectTo(FtpConnection& connection, bool passive) {
        return connection.Connect(QStringLiteral("127.0.0.1"), FtpTestServer::user(),
                                  FtpTestServer::password(), passive);
    }

    QString picturePath() const { return homeFile(QStringLiteral("webcam.jpg")); }

    QString WriteTimeText() const {
        QFile timeText(homeFile(QStringLiteral("time.txt")));
        EXPECT_TRUE(timeText.open(QIODevice::WriteOnly));
        timeText.write("2024-05-01 12:00:00\r\n");
        return timeText.fileName();
    }

    // Starts the loopback server and points the connections at it.
    void StartServer(FtpTestServer::Options options = {}) {
        port_.reset();  // a later server's port must not be undone by the earlier one's
        server_ = std::make_unique<FtpTestServer>(options);
        ASSERT_TRUE(server_->isRunning()) << server_->errorString().toStdString();
        port_ = std::make_unique<ScopedFtpPort>(server_->port());
    }
    FtpTestServer& server() { return *server_; }

    InternetSession session_;
    QByteArray picture_;

  private:
    std::unique_ptr<FtpTestServer> server_;
    std::unique_ptr<ScopedFtpPort> port_;
};

TEST_F(FtpSessionTest, PassiveUploadSendsPasvAndTheWholeRemotePathAndArrivesByteForByte) {
    ASSERT_NO_FATAL_FAILURE(StartServer());
    QDir(server().root()).mkdir(QStringLiteral("cams"));

    auto connection = NewConnection();
    ASSERT_TRUE(ConnectTo(*connection, true)) << connection->LastError();
    EXPECT_EQ(connection->LastError(), 0);
    ASSERT_TRUE(connection->PutFile(picturePath(), QStringLiteral("cams/front.jpg")))
        << connection->LastError();
    connection->Close();

    EXPECT_EQ(ReadAll(server().rootFile(QStringLiteral("cams/front.jpg"))), picture_);
    const QStringList commands = server().commands();
    EXPECT_TRUE(commands.contains(QStringLiteral("USER webcam"))) << commands.join(u'|').toStdString();
    EXPECT_TRUE(commands.contains(QStringLiteral("TYPE I")));
    EXPECT_TRUE(commands.contains(QStringLiteral("PASV")));
    EXPECT_TRUE(commands.contains(QStringLiteral("STOR cams/front.jpg")));
    EXPECT_EQ(commands.last(), QStringLiteral("QUIT"));
    for (const char* absent : {"CWD", "EPSV", "EPRT", "PORT", "MKD"})
        EXPECT_EQ(CountStartingWith(commands, QString::fromLatin1(absent)), 0) << absent;
}

TEST_F(FtpSessionTest, ActiveUploadSendsPortAndArrivesByteForByte) {
    ASSERT_NO_FATAL_FAILURE(StartServer());

    auto connection = NewConnection();
    ASSERT_TRUE(ConnectTo(*connection, false));
    ASSERT_TRUE(connection->PutFile(picturePath(), QStringLiteral("front.jpg"))) << connection->LastError();
    connection->Close();

    EXPECT_EQ(ReadAll(server().rootFile(QStringLiteral("front.jpg"))), picture_);
    const QStringList commands = server().commands();
    EXPECT_EQ(CountStartingWith(commands, QStringLiteral("PORT 127,0,0,1,")), 1)
        << commands.join(u'|').toStdString();
    EXPECT_TRUE(commands.contains(QStringLiteral("STOR front.jpg")));
    for (const char* absent : {"CWD", "EPSV", "EPRT", "PASV"})
        EXPECT_EQ(CountStartingWith(commands, QString::fromLatin1(absent)), 0) << absent;
}

TEST_F(FtpSessionTest, RemoteNamesGoOutLiterallyWithSpacesPercentSignsAndLeadingSlash) {
    ASSERT_NO_FATAL_FAILURE(StartServer());
    QDir(server().root()).mkdir(QStringLiteral("my cams"));

    auto connection = NewConnection();
    ASSERT_TRUE(ConnectTo(*connection, true));
    EXPECT_TRUE(connection->PutFile(picturePath(), QStringLiteral("my cams/100% #1? æ.jpg")));
    EXPECT_TRUE(connection->PutFile(picturePath(), QStringLiteral("/rooted %41.jpg")));
    connection->Close();

    const QStringList commands = server().commands();
    EXPECT_TRUE(commands.contains(QStringLiteral("STOR my cams/100% #1? æ.jpg")))
        << commands.join(u'|').toStdString();
    EXPECT_TRUE(commands.contains(QStringLiteral("STOR /rooted %41.jpg")));
    EXPECT_EQ(ReadAll(server().rootFile(QStringLiteral("my cams/100% #1? æ.jpg"))), picture_);
    EXPECT_EQ(ReadAll(server().rootFile(QStringLiteral("rooted %41.jpg"))), picture_);
}

TEST_F(FtpSessionTest, PutsOnOneConnectionShareOneLoginAndANewConnectQuitsTheOldOne) {
    ASSERT_NO_FATAL_FAILURE(StartServer());
    const QString timeText = WriteTimeText();

    auto connection = NewConnection();
    ASSERT_TRUE(ConnectTo(*connection, true));
    EXPECT_TRUE(connection->PutFile(picturePath(), QStringLiteral("webcam.jpg")));
    monotonicSkipSeconds = 3600;  // a message box open for an hour between the two puts
    EXPECT_TRUE(connection->PutFile(timeText, QStringLiteral("time.txt"))) << connection->LastError();
    monotonicSkipSeconds = 0;
    EXPECT_EQ(CountStartingWith(server().commands(), QStringLiteral("USER")), 1);
    EXPECT_EQ(CountStartingWith(server().commands(), QStringLiteral("QUIT")), 0);

    ASSERT_TRUE(ConnectTo(*connection, true));  // an earlier connection left open
    const QStringList commands = server().commands();
    EXPECT_EQ(CountStartingWith(commands, QStringLiteral("USER")), 2);
    EXPECT_LT(commands.indexOf(QStringLiteral("QUIT")), commands.lastIndexOf(QStringLiteral("USER webcam")));
    EXPECT_EQ(ReadAll(server().rootFile(QStringLiteral("time.txt"))), QByteArray("2024-05-01 12:00:00\r\n"));
    EXPECT_EQ(ReadAll(server().rootFile(QStringLiteral("webcam.jpg"))), picture_);
}

// The library left such a put with nothing to wait on and slept out a whole second.
TEST_F(FtpSessionTest, PutsWhosePassiveReplyIsAlreadyWaitingAreNotHeldUp) {
    ASSERT_NO_FATAL_FAILURE(StartServer());
    const QString timeText = WriteTimeText();
    auto connection = NewConnection();
    ASSERT_TRUE(ConnectTo(*connection, true));

    constexpr int kCycles = 3;
    heldPassiveCommands = 0;
    holdPassiveCommands = true;
    QElapsedTimer elapsed;
    elapsed.start();
    bool sent = true;
    for (int cycle = 0; cycle < kCycles && sent; ++cycle)
        sent = connection->PutFile(picturePath(), QStringLiteral("webcam.jpg")) &&
               connection->PutFile(timeText, QStringLiteral("time.txt"));
    const qint64 milliseconds = elapsed.elapsed();
    holdPassiveCommands = false;

    ASSERT_TRUE(sent) << connection->LastError();
    ASSERT_EQ(heldPassiveCommands, 2 * kCycles);
    // A held-up put slept a whole second; sound ones take milliseconds, so half a
    // second each tells them apart however loaded the machine is.
    EXPECT_LT(milliseconds, 2 * kCycles * 500);
}

TEST_F(FtpSessionTest, ProxyVariablesOfTheEnvironmentAreIgnored) {
    ASSERT_NO_FATAL_FAILURE(StartServer());
    const QByteArray deadProxy = "http://127.0.0.1:" + QByteArray::number(testing::UnusedLocalPort());
    for (const char* name : {"ftp_proxy", "all_proxy", "ALL_PROXY"}) qputenv(name, deadProxy);

    auto connection = NewConnection();
    const bool connected = ConnectTo(*connection, true);
    const bool sent = connected && connection->PutFile(picturePath(), QStringLiteral("direct.jpg"));
    for (const char* name : {"ftp_proxy", "all_proxy", "ALL_PROXY"}) qunsetenv(name);
    EXPECT_TRUE(connected) << connection->LastError();
    EXPECT_TRUE(sent) << connection->LastError();
}

TEST_F(FtpSessionTest, EmptyUserLogsInAnonymously) {
    ASSERT_NO_FATAL_FAILURE(StartServer({.readOnly = false, .anonymous = true}));

    auto connection = NewConnection();
    ASSERT_TRUE(connection->Connect(QStringLiteral("127.0.0.1"), QString(), QString(), true))
        << connection->LastResponse().toStdString();
    EXPECT_TRUE(connection->PutFile(picturePath(), QStringLiteral("anon.jpg")));
    connection->Close();

    const QStringList commands = server().commands();
    EXPECT_EQ(commands.first(), QStringLiteral("USER anonymous"));
    EXPECT_FALSE(commands.contains(QStringLiteral("USER ")));
    EXPECT_EQ(ReadAll(server().rootFile(QStringLiteral("anon.jpg"))), picture_);
}

TEST_F(FtpSessionTest, WrongPasswordGivesTheExtendedErrorWithTheLoginReplyAlone) {
    ASSERT_NO_FATAL_FAILURE(StartServer());
    const QString wrongPassword = QStringLiteral("Wrong-Pa55word-9");

    auto connection = NewConnection();
    EXPECT_FALSE(
        connection->Connect(QStringLiteral("127.0.0.1"), FtpTestServer::user(), wrongPassword, true));
    EXPECT_EQ(connection->LastError(), kErrorExtended);
    EXPECT_FALSE(connection->IsConnected());
    EXPECT_EQ(connection->LastResponse(), QStringLiteral("530 Authentication failed.\r\n"));
    EXPECT_FALSE(ErrorText(connection->LastError()).contains(wrongPassword));
    EXPECT_FALSE(connection->PutFile(picturePath(), QStringLiteral("x.jpg")));
    EXPECT_EQ(connection->LastError(), kErrorInvalidHandle);
}

TEST_F(FtpSessionTest, ReadOnlyFolderGivesTheExtendedErrorWithTheStoreReplyAloneAndStoresNothing) {
    ASSERT_NO_FATAL_FAILURE(StartServer({.readOnly = true, .anonymous = false}));

    auto connection = NewConnection();
    ASSERT_TRUE(ConnectTo(*connection, true));
    EXPECT_FALSE(connection->PutFile(picturePath(), QStringLiteral("webcam.jpg")));
    EXPECT_EQ(connection->LastError(), kErrorExtended);
    EXPECT_EQ(connection->LastResponse(), QStringLiteral("550 Not enough privileges.\r\n"));
    EXPECT_FALSE(QFile::exists(server().rootFile(QStringLiteral("webcam.jpg"))));
}

// The transfer library reports a 421 reply as a time-out.
TEST_F(FtpSessionTest, A421GreetingIsTheExtendedErrorWithTheWholeMultiLineReply) {
    ASSERT_NO_FATAL_FAILURE(StartServer({.busy = true}));

    auto connection = NewConnection();
    EXPECT_FALSE(ConnectTo(*connection, true));
    EXPECT_EQ(connection->LastError(), kErrorExtended);
    EXPECT_EQ(connection->LastResponse(), QStringLiteral("421-Too many users.\r\n421 Try again later.\r\n"));
}

// The library would log in again, unreported, for a put after it lost the control connection.
TEST_F(FtpSessionTest, APutAfterTheControlConnectionIsGoneFailsAtOnceWithoutASecondLogin) {
    const QString timeText = WriteTimeText();
    using Uploads = FtpTestServer::Options::Uploads;
    const std::pair<Uploads, int> servers[] = {{Uploads::DropFirst, kErrorConnectionAborted},
                                               {Uploads::Stall, kErrorTimeout},
                                               {Uploads::HangUpAfter, 0}};
    for (const auto& [uploads, pictureError] : servers) {
        ASSERT_NO_FATAL_FAILURE(StartServer({.uploads = uploads}));
        Timeouts timeouts = TestTimeouts();
        timeouts.response = timeouts.lowSpeedTime = std::chrono::seconds(1);
        FtpConnection connection(session_);
        connection.SetTimeouts(timeouts);
        ASSERT_TRUE(ConnectTo(connection, true));
        EXPECT_EQ(connection.PutFile(picturePath(), QStringLiteral("webcam.jpg")), pictureError == 0);
        EXPECT_EQ(connection.LastError(), pictureError);
        QThread::msleep(200);  // lets a hang-up arrive before the next put
        EXPECT_FALSE(connection.PutFile(timeText, QStringLiteral("time.txt")));
        EXPECT_EQ(connection.LastError(), kErrorConnectionAborted);
        EXPECT_EQ(CountStartingWith(server().commands(), QStringLiteral("USER")), 1);
        EXPECT_EQ(CountStartingWith(server().commands(), QStringLiteral("STOR")), 1);
    }
}

TEST_F(FtpSessionTest, MissingLocalFileOrUnsendableNameFailsBeforeTheServerHearsOfIt) {
    ASSERT_NO_FATAL_FAILURE(StartServer());

    auto connection = NewConnection();
    ASSERT_TRUE(ConnectTo(*connection, true));
    EXPECT_FALSE(connection->PutFile(homeFile(QStringLiteral("gone.jpg")), QStringLiteral("gone.jpg")));
    EXPECT_EQ(connection->LastError(), kErrorFileNotFound);
    for (const QString& name :
         {QStringLiteral("a.jpg\r\nDELE b.jpg"), QStringLiteral("a\n.jpg"), QStringLiteral("a\r.jpg"),
          QString::fromUtf16(u"a\0.jpg", 6), QString(), QStringLiteral("cam\tone.jpg"),
          QStringLiteral("12\x1f"
                         "00.jpg")}) {
        EXPECT_FALSE(connection->PutFile(picturePath(), name));
        EXPECT_EQ(connection->LastError(), kErrorInvalidParameter);
        EXPECT_FALSE(connection->LastResponse().isEmpty()) << "the log says why";
    }
    EXPECT_TRUE(connection->PutFile(picturePath(), QStringLiteral("after.jpg")));  // still connected
    connection->Close();

    const QStringList commands = server().commands();
    EXPECT_EQ(CountStartingWith(commands, QStringLiteral("STOR")), 1) << commands.join(u'|').toStdString();
    EXPECT_EQ(CountStartingWith(commands, QStringLiteral("DELE")), 0);
    EXPECT_EQ(QDir(server().root()).entryList(QDir::Files), QStringList{QStringLiteral("after.jpg")});
}

TEST_F(FtpSessionTest, UnreachableServersGiveTheirErrorNumbersAndNoServerText) {
    auto connection = NewConnection();
    {
        ScopedFtpPort port(testing::UnusedLocalPort());
        EXPECT_FALSE(ConnectTo(*connection, true));
        EXPECT_EQ(connection->LastError(), kErrorCannotConnect);
        EXPECT_TRUE(connection->LastResponse().isEmpty());
        for (const QString& ipv6 : {QStringLiteral("::1"), QStringLiteral("[::1]")}) {
            EXPECT_FALSE(connection->Connect(ipv6, QStringLiteral("u"), QStringLiteral("p"), true));
            EXPECT_EQ(connection->LastError(), kErrorCannotConnect) << ipv6.toStdString();
        }
    }
    EXPECT_FALSE(connection->Connect(QStringLiteral("no-such-host.invalid"), QStringLiteral("u"),
                                     QStringLiteral("p"), true));
    EXPECT_EQ(connection->LastError(), kErrorNameNotResolved);
    for (const QString& host :
         {QString(), QStringLiteral("bad host"), QStringLiteral("a/b"), QStringLiteral("user@host"),
          QStringLiteral("host:2121"), QStringLiteral("h\r\nost")}) {
        EXPECT_FALSE(connection->Connect(host, QStringLiteral("u"), QStringLiteral("p"), true));
        EXPECT_EQ(connection->LastError(), kErrorNameNotResolved) << host.toStdString();
    }
    EXPECT_FALSE(connection->IsConnected());
}

TEST_F(FtpSessionTest, SilentServerTimesOutWithinTheSetResponseTime) {
    testing::SilentTcpServer silent;
    ASSERT_NE(silent.port(), 0);
    ScopedFtpPort port(silent.port());
    Timeouts timeouts = TestTimeouts();
    timeouts.response = std::chrono::seconds(1);
    FtpConnection connection(session_);
    connection.SetTimeouts(timeouts);

    QElapsedTimer elapsed;
    elapsed.start();
    EXPECT_FALSE(ConnectTo(connection, true));
    EXPECT_EQ(connection.LastError(), kErrorTimeout);
    // Far below the default wait: the shortened time-out was the one applied.
    EXPECT_LT(elapsed.elapsed(), 20'000);
}

TEST_F(FtpSessionTest, NoSessionNoConnection) {
    InternetSession closed;
    FtpConnection connection(closed);
    EXPECT_FALSE(
        connection.Connect(QStringLiteral("127.0.0.1"), QStringLiteral("u"), QStringLiteral("p"), true));
    EXPECT_EQ(connection.LastError(), kErrorInvalidHandle);
    connection.Close();  // harmless without a connection
    EXPECT_FALSE(connection.IsConnected());
}

TEST(FtpErrorTextTest, EveryNumberTheConnectionGivesHasAText) {
    for (const int error : {kErrorFileNotFound, kErrorAccessDenied, kErrorInvalidHandle,
                            kErrorInvalidParameter, kErrorTimeout, kErrorExtended, kErrorInternal,
                            kErrorNameNotResolved, kErrorCannotConnect, kErrorConnectionAborted})
        EXPECT_FALSE(ErrorText(error).isEmpty()) << error;
    EXPECT_TRUE(ErrorText(0).isEmpty());
}

TEST(FtpPortTest, DefaultsTo21UnlessTheVariableHoldsAPort) {
    for (const char* ignored : {"", "abc", "0", "65536", "-5"}) {
        testing::ScopedFtpPort unset(1);
        qputenv("SNAPWIRE_FTP_PORT", ignored);
        EXPECT_EQ(FtpPort(), 21) << ignored;
    }
    testing::ScopedFtpPort port(2121);
    EXPECT_EQ(FtpPort(), 2121);
}

}  // namespace
}  // namespace snapwire::ftp
