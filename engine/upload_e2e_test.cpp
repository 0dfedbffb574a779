// The real program on an X display of its own (CTest runs this under xvfb-run),
// with a hive seeded through the registry tool: one ticked account uploading every
// ten seconds to a loopback FTP server. A picture must arrive on the server, and
// the upload log file must get its line.

#include <gtest/gtest.h>

#include <QDeadlineTimer>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "testsupport/ftp_server.h"

namespace {

using snapwire::testing::FtpTestServer;

QByteArray SeedScript() {
    QByteArray script =
        "Windows Registry Editor Version 5.00\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Snapwire]\n"
        "\"FirstTime\"=\"False\"\n"
        "\"Account1\"=\"Roof\"\n"
        "\"LogUpload\"=\"1\"\n"
        "\"LogFTP\"=\"1\"\n"
        "\n"
        "[HKEY_LOCAL_MACHINE\\Software\\Snapwire\\Roof]\n"
        "\"Name\"=\"Roof\"\n"
        "\"Selected\"=\"True\"\n"
        "\"Host Name/Adress:\"=\"127.0.0.1\"\n"
        "\"User ID:\"=\"USER\"\n"
        "\"Password:\"=\"PASSWORD\"\n"
        "\"Remember password\"=\"1\"\n"
        "\"FTPPassiveMode\"=\"1\"\n"
        "\"Upload image every:\"=\"10 seconds\"\n"
        "\"Enable timestamp\"=\"1\"\n"
        "\"TimeFormat\"=\"roof %YYYY\"\n";
    script.replace("USER", FtpTestServer::user().toUtf8());
    script.replace("PASSWORD", FtpTestServer::password().toUtf8());
    return script;
}

class UploadOnDisplay : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(home_.isValid());
        ASSERT_TRUE(runtime_.isValid());
        ASSERT_FALSE(qEnvironmentVariableIsEmpty("DISPLAY")) << "run under xvfb-run";
        ASSERT_TRUE(server_.isRunning()) << server_.errorString().toStdString();
        QFile::setPermissions(runtime_.path(),
                              QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        environment_ = QProcessEnvironment::systemEnvironment();
        environment_.insert(QStringLiteral("SNAPWIRE_HOME"), home_.path());
        environment_.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtime_.path());
        environment_.insert(QStringLiteral("XDG_CONFIG_HOME"), home_.filePath(QStringLiteral("config")));
        environment_.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
        environment_.insert(QStringLiteral("SNAPWIRE_FTP_PORT"), QString::number(server_.port()));
        environment_.remove(QStringLiteral("SNAPWIRE_NO_TEST_DEVICE"));
    }

    void TearDown() override {
        if (program_.state() != QProcess::NotRunning) {
            program_.kill();
            program_.waitForFinished(5000);
        }
    }

    void Seed() {
        const QString script = home_.filePath(QStringLiteral("seed.reg"));
        QFile file(script);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(SeedScript());
        file.close();
        QProcess tool;
        tool.setProcessEnvironment(environment_);
        tool.setProcessChannelMode(QProcess::ForwardedChannels);
        tool.start(QStringLiteral(SNAPWIRE_REG_TOOL), {QStringLiteral("import"), script});
        ASSERT_TRUE(tool.waitForFinished(10000));
        ASSERT_EQ(tool.exitCode(), 0);
    }

    void Start() {
        program_.setProcessEnvironment(environment_);
        program_.setProcessChannelMode(QProcess::ForwardedChannels);
        program_.start(QStringLiteral(SNAPWIRE_PROGRAM), {});
        ASSERT_TRUE(program_.waitForStarted(10000));
    }

    QByteArray HomeFile(const char* name) const {
        QFile file(home_.filePath(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    template <typename Condition>
    bool WaitFor(Condition&& condition, int limitMs) {
        QDeadlineTimer limit(limitMs);
        while (!condition() && !limit.hasExpired() && program_.state() == QProcess::Running)
            QThread::msleep(100);
        return condition();
    }

    FtpTestServer server_;
    QTemporaryDir home_;
    QTemporaryDir runtime_;
    QProcessEnvironment environment_;
    QProcess program_;
};

TEST_F(UploadOnDisplay, ATickedAccountPublishesOnItsIntervalAndLogsIt) {
    Seed();
    Start();
    const QString uploaded = server_.rootFile(QStringLiteral("webcam.jpg"));
    ASSERT_TRUE(WaitFor([&] { return HomeFile("UploadLog.txt").endsWith("\r\n"); }, 60000))
        << "no upload was logged; commands: " << server_.commands().join(u'|').toStdString();

    const QImage picture(uploaded);
    EXPECT_FALSE(picture.isNull()) << "no JPEG on the server";
    EXPECT_GT(picture.width(), 0);
    const QByteArray year = QByteArray::number(QDate::currentDate().year());
    EXPECT_TRUE(HomeFile("UploadLog.txt").startsWith("roof " + year + "\twebcam.jpg\t127.0.0.1\r\n"))
        << HomeFile("UploadLog.txt").toStdString();
    EXPECT_TRUE(HomeFile("FTPLog.txt").contains("\r\nPicture uploaded!\r\n"))
        << HomeFile("FTPLog.txt").toStdString();
}

}  // namespace
