#pragma once

// Shared by the upload timer, cycle and transfer tests: a main window fed with a
// known frame, accounts stored before the account window first loads, a real FTP
// server on loopback, sounds recorded instead of played, and the FTP log read back.

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLineEdit>
#include <QStringList>
#include <functional>
#include <initializer_list>
#include <memory>
#include <vector>

#include "accounts/clock.h"
#include "accounts/frm_upload_settings.h"
#include "engine/main_toolbar.h"
#include "engine/main_window_test_fixture.h"
#include "engine/status_bar.h"
#include "options/prco_form.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/device_list.h"
#include "platform/capture/frame_feed.h"
#include "platform/ui/controls.h"
#include "platform/ui/sound.h"
#include "settings_store/conversions.h"
#include "testsupport/ftp_server.h"
#include "windows/log_windows.h"

namespace snapwire::testing {

class UploadTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ui::SetSoundHandlerForTests([this](const ui::SoundRequest& sound) {
            sounds_.push_back(sound);
            if (onSound_)
                onSound_();
        });
        StoreNotFirstRun();
        clock_ = std::make_unique<ScopedClockForTests>([this] { return now_; });
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        ui::SetSoundHandlerForTests({});
        clock_.reset();
        port_.reset();
        server_.reset();
    }

    // --- Accounts, stored before the account window loads ---------------------------------
    static void StoreAccount(int number, const QString& name, bool ticked) {
        WriteSetting(QString(), QStringLiteral("Account") + QString::number(number), SettingValue(name));
        StoreValue(name, "Selected", ticked ? QStringLiteral("True") : QStringLiteral("False"));
        StoreValue(name, "Upload image every:", QStringLiteral("Never"));
    }
    static void StoreValue(const QString& account, const char* name, const QString& text) {
        WriteSetting(account, QString::fromUtf8(name), SettingValue(text));
    }
    static QString StoredValue(const QString& account, const char* name) {
        return ReadSetting(account, QString::fromUtf8(name));
    }
    // An account that uploads to the test server, its password remembered.
    void StoreServerAccount(int number, const QString& name, bool ticked = true) {
        StoreAccount(number, name, ticked);
        StoreValue(name, "Host Name/Adress:", QStringLiteral("127.0.0.1"));
        StoreValue(name, "User ID:", FtpTestServer::user());
        StoreValue(name, "Password:", FtpTestServer::password());
        StoreValue(name, "FTPPassiveMode", QStringLiteral("1"));
        StoreValue(name, "Enable timestamp", QStringLiteral("1"));
        StoreValue(name, "TimeFormat", QString::fromLatin1(kStampPattern));
    }

    // --- The server ---------------------------------------------------------------------------
    FtpTestServer& StartServer(FtpTestServer::Options options = {}) {
        server_ = std::make_unique<FtpTestServer>(options);
        EXPECT_TRUE(server_->isRunning()) << server_->errorString().toStdString();
        port_ = std::make_unique<ScopedFtpPort>(server_->port());
        return *server_;
    }
    void PointAtPort(quint16 port) { port_ = std::make_unique<ScopedFtpPort>(port); }
    QByteArray ServerFile(const QString& path) const {
        QFile file(server_->rootFile(path));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // --- The window -----------------------------------------------------------------------------
    // Loads the main window on the frame feed with a frame of the given size.
    frmMain& LoadWindow(int width = 320, int height = 240) {
        capture::FrameFeed::Enable();
        frame_ = QImage(width, height, QImage::Format_RGB32);
        frame_.fill(QColor(40, 90, 160));
        capture::FrameFeed::Push(frame_);
        Store("Select the driver you want to use:", QString::fromLatin1(capture::kFrameFeedName));
        frmMain& window = forms::frmMain();
        EXPECT_TRUE(capture::FrameFeed::PushAndWait(*window.vcx, frame_));
        return window;
    }
    static frmUploadSettings& Account() { return forms::frmUploadSettings(); }
    static prcoForm& Options() { return forms::prcoForm(); }
    static void SetOption(QCheckBox* box, bool ticked) { ui::SetCheckValue(box, ticked ? 1 : 0); }
    static void SetWarningSeconds(const QString& seconds) { Options().txtSound->setText(seconds); }
    // Selects and loads a row, as the engine does.
    static void LoadRow(int row) {
        Account().ftps->Select(row);
        Account().ValdItem();
    }

    // --- What the cycle left ----------------------------------------------------------------------
    // The logs go to their files as well, where every line end can be checked.
    static void LogToFiles() {
        for (LogWindow* window : std::initializer_list<LogWindow*>{&forms::FTPLog(), &forms::frmUploadLog(),
                                                                   &forms::frmMotionLog()}) {
            if (!window->LogsToHardDrive())
                window->chkLogToHardDrive->click();
        }
    }
    // The lines of "FTPLog.txt", each of which must end in CR LF.
    QStringList FtpLogLines() const {
        const QByteArray bytes = ProgramFileBytes("FTPLog.txt");
        EXPECT_TRUE(bytes.isEmpty() || bytes.endsWith("\r\n"));
        QStringList lines = QString::fromLocal8Bit(bytes).split(QStringLiteral("\r\n"));
        lines.removeLast();  // after the last CR LF
        return lines;
    }
    static QStringList TransferLines(const QString& host, const QStringList& middle) {
        return QStringList{QStringLiteral("---[") + GeneralDateText(Moment()) + QStringLiteral("]---"),
                           QStringLiteral("Connecting..."), QStringLiteral("Connected to ") + host,
                           QStringLiteral("Uploading...")} +
               middle +
               QStringList{QStringLiteral("Disconnecting..."), QStringLiteral("Disconnected"), QString()};
    }
    static QStringList UploadLogRow(int row) { return forms::frmUploadLog().RowTexts(row); }
    static int UploadLogRows() { return forms::frmUploadLog().RowCount(); }
    static int MotionLogRows() { return forms::frmMotionLog().RowCount(); }
    static QStringList ShownPrompts() {
        QStringList prompts;
        for (const ui::ShownBox& box : ui::ShownBoxes()) prompts << box.prompt;
        return prompts;
    }
    bool ProgramFileExists(const char* name) const {
        return QFile::exists(homeFile(QString::fromLatin1(name)));
    }
    QByteArray ProgramFileBytes(const char* name) const {
        QFile file(homeFile(QString::fromLatin1(name)));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    static constexpr const char* kConnectMessage =
        "Couldn't connect to server. Make sure you are connected and check your FTP settings, username and "
        "password.";

    // Thursday, 22 June 2034, 14:30:05, unless a test moves it.
    static QDateTime Moment() { return QDateTime(QDate(2034, 6, 22), QTime(14, 30, 5)); }
    static constexpr const char* kStampPattern = "%YYYY-%TT-%DD %HH:%MM:%SS";
    static QString Stamp() { return QStringLiteral("2034-06-22 14:30:05"); }

    QDateTime now_ = Moment();
    std::unique_ptr<ScopedClockForTests> clock_;
    std::function<void()> onSound_;  // runs inside the cycle, while its warning sounds
    std::unique_ptr<FtpTestServer> server_;
    std::unique_ptr<ScopedFtpPort> port_;
    std::vector<ui::SoundRequest> sounds_;
    QImage frame_;
};

}  // namespace snapwire::testing
