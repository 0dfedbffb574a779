// One manual upload cycle as the program runs it: the main window fed with a
// 640 x 480 frame, one account with the timestamp on, a loopback FTP server. The
// whole cycle, then its parts: loading the account, the picture with its working
// files, the JPEG alone, the FTP log and upload log entries, and the FTP transfer;
// and the cycle with the time text file, 200 times in a row, its median and slowest.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <vector>

#include "accounts/account_list.h"
#include "accounts/frm_upload_settings.h"
#include "engine/cycle_settings.h"
#include "engine/frm_main.h"
#include "engine/log_writers.h"
#include "engine/picture_composition.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/device_list.h"
#include "platform/capture/frame_feed.h"
#include "platform/ftp/ftp_session.h"
#include "platform/paths.h"
#include "platform/registry/registry.h"
#include "platform/ui/forms.h"
#include "settings_store/program_settings.h"
#include "testsupport/ftp_server.h"

namespace {

using snapwire::SettingValue;
using snapwire::WriteSetting;
using snapwire::testing::FtpTestServer;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

FtpTestServer* server = nullptr;

snapwire::frmMain& Window() {
    return snapwire::forms::frmMain();
}

QImage TestFrame() {
    QImage frame(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) frame.setPixel(x, y, qRgb(x % 256, y % 256, (x ^ y) % 256));
    }
    return frame;
}

void StoreAccount() {
    const QString account = QStringLiteral("Bench");
    const auto store = [&](const char* name, const QString& text) {
        WriteSetting(account, QString::fromLatin1(name), SettingValue(text));
    };
    WriteSetting(QString(), QStringLiteral("FirstTime"), SettingValue(QStringLiteral("False")));
    WriteSetting(QString(), QStringLiteral("Account1"), SettingValue(account));
    WriteSetting(QString(), QStringLiteral("Keep"), SettingValue(QStringLiteral("0")));
    WriteSetting(QString(), QStringLiteral("Select the driver you want to use:"),
                 SettingValue(QString::fromLatin1(snapwire::capture::kFrameFeedName)));
    store("Selected", QStringLiteral("True"));
    store("Host Name/Adress:", QStringLiteral("127.0.0.1"));
    store("User ID:", FtpTestServer::user());
    store("Password:", FtpTestServer::password());
    store("FTPPassiveMode", QStringLiteral("1"));
    store("Upload image every:", QStringLiteral("Never"));
    store("Enable timestamp", QStringLiteral("1"));
    store("TimeFormat", QStringLiteral("%YYYY-%TT-%DD %HH:%MM:%SS"));
}

void BM_ManualUploadCycle(benchmark::State& state) {
    for (auto _ : state) Window().mnuupload_now_Click();
    if (!QFile::exists(server->rootFile(QStringLiteral("webcam.jpg"))))
        state.SkipWithError("nothing arrived on the server");
}
BENCHMARK(BM_ManualUploadCycle)->Unit(benchmark::kMillisecond);

void StoreTimeText(bool on) {
    WriteSetting(QStringLiteral("Bench"), QStringLiteral("TextTime"),
                 SettingValue(on ? QStringLiteral("1") : QStringLiteral("0")));
}

// The cycle with the time text file on, one cycle per repetition, 200 in a row: two
// puts on one connection each time. The median and the slowest cycle show whether
// any cycle waits on the network far longer than the rest.
void BM_ManualUploadCycleWithTimeText(benchmark::State& state) {
    StoreTimeText(true);
    for (auto _ : state) Window().mnuupload_now_Click();
    StoreTimeText(false);
    if (!QFile::exists(server->rootFile(QStringLiteral("time.txt"))))
        state.SkipWithError("no time text file arrived on the server");
}
BENCHMARK(BM_ManualUploadCycleWithTimeText)
    ->Iterations(1)
    ->Repetitions(200)
    ->ReportAggregatesOnly(true)
    ->ComputeStatistics("max",
                        [](const std::vector<double>& times) {
                            return *std::max_element(times.begin(), times.end());
                        })
    ->Unit(benchmark::kMillisecond);

void BM_LoadAccount(benchmark::State& state) {
    snapwire::frmUploadSettings& account = snapwire::forms::frmUploadSettings();
    for (auto _ : state) {
        account.ftps->Select(1);
        account.ValdItem();
    }
}
BENCHMARK(BM_LoadAccount)->Unit(benchmark::kMillisecond);

void BM_PictureAndWorkingFiles(benchmark::State& state) {
    const snapwire::upload::PictureSettings settings = snapwire::upload::CurrentPictureSettings();
    for (auto _ : state) {
        const snapwire::upload::PreparedPicture prepared =
            snapwire::upload::PreparePicture(*Window().vcx, settings);
        snapwire::upload::WriteTimeTextFile(prepared.StampText);
        snapwire::upload::DeleteWorkingFiles();
    }
}
BENCHMARK(BM_PictureAndWorkingFiles)->Unit(benchmark::kMillisecond);

void BM_JpegOnly(benchmark::State& state) {
    const QImage picture = TestFrame().copy(0, 0, kWidth, kHeight + 16);
    const QString path = snapwire::platform::ProgramFile(QStringLiteral("bench.jpg"));
    for (auto _ : state) benchmark::DoNotOptimize(Window().vcx->SavePictureAsJpeg(picture, path, 100));
}
BENCHMARK(BM_JpegOnly)->Unit(benchmark::kMillisecond);

// The eight FTP log lines and the upload log entry of a successful transfer, each
// with its yield to the message loop.
void BM_LogEntriesOfATransfer(benchmark::State& state) {
    for (auto _ : state) {
        for (int line = 0; line < 8; ++line) Window().LogFTP(QStringLiteral("Uploading..."));
        Window().LogUpload(QStringLiteral("2034-06-22 14:30:05"), QStringLiteral("webcam.jpg"),
                           QStringLiteral("127.0.0.1"));
    }
}
BENCHMARK(BM_LogEntriesOfATransfer)->Unit(benchmark::kMillisecond);

void BM_FtpTransfer(benchmark::State& state) {
    const QString picture = snapwire::platform::ProgramFile(QStringLiteral("bench.jpg"));
    for (auto _ : state) {
        snapwire::ftp::FtpConnection connection(*Window().hInternet());
        if (!connection.Connect(QStringLiteral("127.0.0.1"), FtpTestServer::user(), FtpTestServer::password(),
                                true) ||
            !connection.PutFile(picture, QStringLiteral("webcam.jpg"))) {
            state.SkipWithError("transfer failed");
            break;
        }
        connection.Close();
    }
}
BENCHMARK(BM_FtpTransfer)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("SNAPWIRE_HOME", home.path().toLocal8Bit());
    snapwire::reg::UseHiveFile((home.path() + QStringLiteral("/settings.db")).toStdString());
    QApplication app(argc, argv);
    FtpTestServer ftpServer;
    if (!ftpServer.isRunning()) {
        std::fprintf(stderr, "FTP server: %s\n", qPrintable(ftpServer.errorString()));
        return 1;
    }
    server = &ftpServer;
    qputenv("SNAPWIRE_FTP_PORT", QByteArray::number(ftpServer.port()));

    snapwire::capture::FrameFeed::Enable();
    const QImage frame = TestFrame();
    snapwire::capture::FrameFeed::Push(frame);
    StoreAccount();
    if (!snapwire::capture::FrameFeed::PushAndWait(*Window().vcx, frame)) {
        std::fprintf(stderr, "the frame feed did not deliver its picture\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    snapwire::ui::UnloadAllForms();
    snapwire::reg::CloseHive();
    return 0;
}
