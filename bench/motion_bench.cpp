// Costs of motion detection in the loaded main window at 640 x 480: one check
// (the frame written to "Motion.bmp", read back and compared), one whole tick with
// three accounts (each one loaded, then checked), and the processor time of the
// running program with motion detection on and the live picture from the test
// pattern.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "accounts/frm_upload_settings.h"
#include "engine/frm_main.h"
#include "engine/motion_compare.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/device_list.h"
#include "platform/capture/frame_feed.h"
#include "platform/registry/registry.h"
#include "platform/ui/forms.h"
#include "settings_store/program_settings.h"

namespace {

using snapwire::SettingValue;
using snapwire::WriteSetting;
using snapwire::capture::FrameFeed;

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr int kHourMs = 3600 * 1000;
constexpr int kAccounts = 3;

// Something like a camera picture: smooth shading with sensor noise.
QImage CameraLikePicture(int seed) {
    QImage picture(kWidth, kHeight, QImage::Format_RGB32);
    QRandomGenerator random{static_cast<quint32>(seed)};
    for (int y = 0; y < kHeight; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < kWidth; ++x) {
            const int noise = int(random.bounded(16));
            row[x] = qRgb((x * 255 / kWidth + noise) & 255, (y * 255 / kHeight + noise) & 255,
                          (128 + noise) & 255);
        }
    }
    return picture;
}

void Store(const QString& account, const char* name, const QString& text) {
    WriteSetting(account, QString::fromLatin1(name), SettingValue(text));
}

// `count` ticked accounts with motion detection on and no upload timer, on the
// given capture driver.
void StoreAccounts(int count, const char* driver) {
    Store(QString(), "FirstTime", QStringLiteral("False"));
    Store(QString(), "Select the driver you want to use:", QString::fromLatin1(driver));
    for (int i = 1; i <= count; ++i) {
        const QString name = QStringLiteral("Camera %1").arg(i);
        Store(QString(), ("Account" + std::to_string(i)).c_str(), name);
        Store(name, "Name", name);
        Store(name, "Selected", QStringLiteral("True"));
        Store(name, "Activate Motion", QStringLiteral("1"));
        Store(name, "Upload image every:", QStringLiteral("Never"));
    }
}

snapwire::frmMain& LoadedWindow() {
    static bool loaded = false;
    snapwire::frmMain& window = snapwire::forms::frmMain();
    if (!loaded) {
        window.timMotion->setInterval(kHourMs);  // the benchmark ticks itself
        snapwire::forms::frmUploadSettings().chkShowMotion->setChecked(true);
        loaded = true;
    }
    return window;
}

// One check; with `moved` the reference differs at every point, so every sample
// point is counted and painted.
void CheckMotion(benchmark::State& state) {
    snapwire::frmMain& window = LoadedWindow();
    const QImage other = CameraLikePicture(2);
    const bool moved = state.range(0) != 0;
    bool accounts = true;
    for (auto _ : state) {
        if (moved)
            window.picMotion1 = other;
        window.CheckMotion(accounts);
    }
}
BENCHMARK(CheckMotion)->ArgName("moved")->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// The comparison alone, every sample point changed and painted into the examined
// picture handed over, as the check does.
void ComparePictures(benchmark::State& state) {
    const QImage examined = CameraLikePicture(1);
    const QImage reference = CameraLikePicture(2);
    for (auto _ : state) {
        state.PauseTiming();
        QImage handedOver = examined.copy();
        state.ResumeTiming();
        const snapwire::motion::PictureComparison result = snapwire::motion::ComparePictures(
            std::move(handedOver), reference, kWidth, kHeight, snapwire::motion::MotionThreshold(100), 255);
        benchmark::DoNotOptimize(result.changedPoints);
    }
}
BENCHMARK(ComparePictures)->Unit(benchmark::kMicrosecond);

void MotionTick(benchmark::State& state) {
    snapwire::frmMain& window = LoadedWindow();
    for (auto _ : state) window.timMotion_Timer();
    state.counters["accounts"] = kAccounts;
}
BENCHMARK(MotionTick)->Unit(benchmark::kMillisecond);

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The program as it runs: the test pattern at 640 x 480, 30 frames a second, and
// the real 100 ms motion timer, for a minute of an otherwise idle event loop. The
// counter is the share of one processor core the process used.
void RunningWithMotion(benchmark::State& state) {
    snapwire::frmMain& window = snapwire::forms::frmMain();
    for (auto _ : state) {
        const double cpuBefore = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop idle;
        QTimer::singleShot(60000, &idle, &QEventLoop::quit);
        idle.exec();
        state.counters["cpu_percent"] = 100.0 * (ProcessCpuSeconds() - cpuBefore) / (wall.elapsed() / 1000.0);
        state.counters["frame_width"] = window.mMotionWidth;
    }
}

}  // namespace

// Run with --live to measure the running program on the test pattern (one account)
// instead of the single check and tick on fed frames (three accounts).
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    bool live = false;
    for (int i = 1; i < argc; ++i) {
        if (std::string(argv[i]) == "--live") {
            live = true;
            for (int j = i; j + 1 < argc; ++j) argv[j] = argv[j + 1];
            --argc;
            break;
        }
    }
    QTemporaryDir home;
    qputenv("SNAPWIRE_HOME", home.path().toLocal8Bit());
    snapwire::reg::UseHiveFile((home.path() + QStringLiteral("/settings.db")).toStdString());
    QApplication app(argc, argv);
    if (live) {
        StoreAccounts(1, snapwire::capture::kTestPatternName);
        benchmark::RegisterBenchmark("RunningWithMotion", RunningWithMotion)
            ->Iterations(1)
            ->Unit(benchmark::kSecond);
    } else {
        FrameFeed::Enable();
        FrameFeed::Push(CameraLikePicture(1));
        StoreAccounts(kAccounts, snapwire::capture::kFrameFeedName);
    }
    snapwire::frmMain& window = snapwire::forms::frmMain();
    if (!live && !FrameFeed::PushAndWait(*window.vcx, CameraLikePicture(1))) {
        std::fprintf(stderr, "the frame feed did not deliver its picture\n");
        return 1;
    }
    if (!window.timMotion->isActive()) {
        std::fprintf(stderr, "motion detection did not start\n");
        return 1;
    }
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    if (live)
        benchmark::RunSpecifiedBenchmarks("RunningWithMotion");
    else
        benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    snapwire::ui::UnloadAllForms();
    snapwire::reg::CloseHive();
    return 0;
}
