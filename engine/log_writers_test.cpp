#include "engine/log_writers.h"

#include "accounts/clock.h"
#include "platform/ftp/ftp_session.h"
#include "platform/ui/forms.h"
#include "testsupport/default_locale.h"
#include "testsupport/window_test.h"
#include "windows/log_windows.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLocale>

namespace snapwire {
namespace {

class LogWritersTest : public testing::WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        testing::ScopedDefaultLocale::Use("de_DE");
    }

    QByteArray FileBytes(const char* name) const {
        QFile file(homeFile(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<missing>");
    }
    void WriteFile(const char* name, const QByteArray& bytes) const {
        QFile file(homeFile(QString::fromLatin1(name)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    static void LogToHardDrive(LogWindow& window) {
        if (!window.LogsToHardDrive())
            window.chkLogToHardDrive->click();
    }
    const QDateTime kAfternoon{QDate(2024, 3, 5), QTime(15, 4, 5)};

  private:
    testing::ScopedDefaultLocale savedLocale_;
};

TEST_F(LogWritersTest, LogLinesSeparateTheirFieldsByTabsAndWriteThemAsPassed) {
    EXPECT_EQ(logs::UploadLogLine("05.03.2024 15:04:05", "cam 1.jpg", "ftp.example.org"),
              "05.03.2024 15:04:05\tcam 1.jpg\tftp.example.org");
    EXPECT_EQ(logs::MotionLogLine("05.03.2024 15:04:05", "7%", "", ""), "05.03.2024 15:04:05\t7%\t\t");
    EXPECT_EQ(logs::UploadLogLine("", "a", ""), "\ta\t");
}

TEST_F(LogWritersTest, TimesAreTheGeneralDateOfTheClock) {
    ScopedClockForTests clock(kAfternoon);
    EXPECT_EQ(logs::LogTimeNow(), "05.03.2024 15:04:05");
    EXPECT_EQ(logs::TransferHeadLine(), "---[05.03.2024 15:04:05]---");

    QLocale::setDefault(QLocale(QStringLiteral("en_US")));
    EXPECT_EQ(logs::TransferHeadLine(), "---[3/5/2024 3:04:05 PM]---");

    ScopedClockForTests midnight(QDateTime(QDate(2024, 3, 5), QTime(0, 0)));
    EXPECT_EQ(logs::TransferHeadLine(), "---[3/5/2024]---");
}

TEST_F(LogWritersTest, WithTheSwitchOffTheRowIsAddedAndNoFileIsTouched) {
    logs::LogUpload("05.03.2024 15:04:05", "webcam.jpg", "ftp.example.org");
    logs::LogMotion("05.03.2024 15:04:05", "7%", "", "");
    logs::LogFTP("Connecting...");

    const frmUploadLog& upload = forms::frmUploadLog();
    EXPECT_FALSE(upload.isVisible());  // loaded by the entry, not shown
    ASSERT_EQ(upload.RowCount(), 1);
    EXPECT_EQ(upload.RowTexts(0), QStringList({"05.03.2024 15:04:05", "webcam.jpg", "ftp.example.org"}));
    ASSERT_EQ(forms::frmMotionLog().RowCount(), 1);
    EXPECT_EQ(forms::FTPLog().txtERR->PlainText(), "Connecting...\n");

    for (const char* name : {"UploadLog.txt", "MotionLog.txt", "FTPLog.txt"})
        EXPECT_FALSE(QFile::exists(homeFile(QString::fromLatin1(name)))) << name;
}

TEST_F(LogWritersTest, UploadLogAppendsTabbedLinesWithCrLfAndKeepsWhatTheFileHeld) {
    WriteFile("UploadLog.txt", "earlier run\r\n");
    LogToHardDrive(forms::frmUploadLog());
    logs::LogUpload("05.03.2024 15:04:05", "webcam.jpg", "ftp.example.org");
    logs::LogUpload("", "pic0001.jpg", "/srv/pictures/");
    EXPECT_EQ(FileBytes("UploadLog.txt"),
              "earlier run\r\n"
              "05.03.2024 15:04:05\twebcam.jpg\tftp.example.org\r\n"
              "\tpic0001.jpg\t/srv/pictures/\r\n");

    const frmUploadLog& list = forms::frmUploadLog();
    ASSERT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.CurrentRow(), 1);  // the newest row is selected
}

TEST_F(LogWritersTest, MotionLogWritesFourFieldsPerLine) {
    LogToHardDrive(forms::frmMotionLog());
    logs::LogMotion("05.03.2024 15:04:05", "7%", "", "");
    logs::LogMotion("05.03.2024 15:04:06", "12%", "webcam.jpg", "ftp.example.org");
    EXPECT_EQ(FileBytes("MotionLog.txt"),
              "05.03.2024 15:04:05\t7%\t\t\r\n"
              "05.03.2024 15:04:06\t12%\twebcam.jpg\tftp.example.org\r\n");
    const frmMotionLog& list = forms::frmMotionLog();
    ASSERT_EQ(list.RowCount(), 2);
    EXPECT_EQ(list.RowTexts(1), QStringList({"05.03.2024 15:04:06", "12%", "webcam.jpg", "ftp.example.org"}));
    EXPECT_EQ(list.CurrentRow(), 1);
}

TEST_F(LogWritersTest, TheFtpLogOfASuccessfulTransferEndsWithAnEmptyLine) {
    ScopedClockForTests clock(kAfternoon);
    WriteFile("FTPLog.txt", "kept\r\n");
    LogToHardDrive(forms::FTPLog());
    for (const QString& line : {logs::TransferHeadLine(), QStringLiteral("Connecting..."),
                                QStringLiteral("Connected to ftp.example.org"),
                                QStringLiteral("Uploading..."), QStringLiteral("Picture uploaded!"),
                                QStringLiteral("Disconnecting..."), QStringLiteral("Disconnected\r\n")})
        logs::LogFTP(line);

    EXPECT_EQ(FileBytes("FTPLog.txt"),
              "kept\r\n"
              "---[05.03.2024 15:04:05]---\r\n"
              "Connecting...\r\n"
              "Connected to ftp.example.org\r\n"
              "Uploading...\r\n"
              "Picture uploaded!\r\n"
              "Disconnecting...\r\n"
              "Disconnected\r\n"
              "\r\n");
    const LogTextView* box = forms::FTPLog().txtERR;
    EXPECT_EQ(box->PlainText(),
              "---[05.03.2024 15:04:05]---\nConnecting...\nConnected to ftp.example.org\nUploading...\n"
              "Picture uploaded!\nDisconnecting...\nDisconnected\n\n");
    EXPECT_TRUE(box->IsScrolledToEnd());  // the newest line is in view
}

TEST_F(LogWritersTest, OnlyAServerErrorReplyReachesTheFtpLog) {
    LogToHardDrive(forms::FTPLog());
    logs::ReportInternetError(ftp::kErrorNameNotResolved, "InternetConnect", "");
    logs::ReportInternetError(ftp::kErrorCannotConnect, "InternetConnect", "ignored\r\n");
    EXPECT_EQ(FileBytes("FTPLog.txt"), "<missing>");
    EXPECT_EQ(forms::FTPLog().txtERR->PlainText(), "");

    logs::ReportInternetError(ftp::kErrorExtended, "FtpPutFile", "550 Permission denied.\r\n");
    EXPECT_EQ(FileBytes("FTPLog.txt"), "Server: 550 Permission denied.\r\n\r\n");
    EXPECT_EQ(forms::FTPLog().txtERR->PlainText(), "Server: 550 Permission denied.\n\n");
}

TEST_F(LogWritersTest, AServerReplyIsCutToTheLengthOfTheResponseBuffer) {
    LogToHardDrive(forms::FTPLog());
    logs::ReportInternetError(ftp::kErrorExtended, "FtpPutFile", QString(5000, QLatin1Char('x')));
    EXPECT_EQ(FileBytes("FTPLog.txt"), "Server: " + QByteArray(2048, 'x') + "\r\n");
}

TEST_F(LogWritersTest, ALogFileThatCannotBeWrittenStopsNothing) {
    // A folder in the file's place cannot be opened for appending, whatever the
    // rights of the user running the tests (a read-only file would not stop root).
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("UploadLog.txt")));
    LogToHardDrive(forms::frmUploadLog());
    logs::LogUpload("t", "webcam.jpg", "ftp.example.org");
    logs::LogUpload("t", "webcam.jpg", "ftp.example.org");
    EXPECT_EQ(forms::frmUploadLog().RowCount(), 2);
    EXPECT_FALSE(logs::AppendLogLine(homeFile("UploadLog.txt"), "x"));

    // The next writable moment appends again.
    ASSERT_TRUE(QDir(home()).rmdir(QStringLiteral("UploadLog.txt")));
    logs::LogUpload("t", "webcam.jpg", "ftp.example.org");
    EXPECT_EQ(FileBytes("UploadLog.txt"), "t\twebcam.jpg\tftp.example.org\r\n");
}

}  // namespace
}  // namespace snapwire
