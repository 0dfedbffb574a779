// The upload cycle's own work, without the network: numbered names with the
// counters read and stored, the picture step at 640 x 480 with the timestamp on
// (frame saved and read back, strip, composite, working bitmaps, JPEG), the time
// text file and the clean-up; and each of those parts on its own.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QDateTime>
#include <QTemporaryDir>
#include <cstdio>
#include <memory>

#include "engine/file_naming.h"
#include "engine/picture_composition.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/device_list.h"
#include "platform/capture/frame_feed.h"
#include "platform/paths.h"
#include "platform/registry/registry.h"

namespace {

using namespace snapwire::upload;
using snapwire::capture::CaptureControl;
using snapwire::capture::FrameFeed;

constexpr int kWidth = 640;
constexpr int kHeight = 480;

CaptureControl* vcx = nullptr;

QImage TestFrame() {
    QImage frame(kWidth, kHeight, QImage::Format_RGB32);
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) frame.setPixel(x, y, qRgb(x % 256, y % 256, (x ^ y) % 256));
    }
    return frame;
}

PictureSettings StampedSettings(bool timestampOn) {
    PictureSettings settings;
    settings.timestampOn = timestampOn;
    settings.timestampPattern = QStringLiteral("%YYYY-%TT-%DD %HH:%MM:%SS");
    settings.strip.Font = QFont(QStringLiteral("Tahoma"), 10, QFont::Bold);
    settings.jpegQuality = 75;
    return settings;
}

NamingSettings NumberedNaming() {
    NamingSettings naming;
    naming.scheme = NamingScheme::Numbered;
    naming.keepRemote = true;
    naming.keepRemoteCount = QStringLiteral("100");
    return naming;
}

void BM_CycleWithoutNetwork(benchmark::State& state) {
    const NamingSettings naming = NumberedNaming();
    const PictureSettings settings = StampedSettings(true);
    NumberingCounters counters;
    for (auto _ : state) {
        const UploadNames names = MakeUploadNames(naming, QStringLiteral("Bench"), counters);
        const PreparedPicture prepared = PreparePicture(*vcx, settings);
        if (!prepared.jpegWritten) {
            state.SkipWithError("JPEG not written");
            break;
        }
        WriteTimeTextFile(prepared.StampText);
        DeleteWorkingFiles();
        DeletePublishedPictureUnlessKept(false);
        benchmark::DoNotOptimize(names);
    }
}
BENCHMARK(BM_CycleWithoutNetwork)->Unit(benchmark::kMillisecond);

void BM_PreparePicture(benchmark::State& state) {
    const PictureSettings settings = StampedSettings(state.range(0) != 0);
    for (auto _ : state) {
        const PreparedPicture prepared = PreparePicture(*vcx, settings);
        benchmark::DoNotOptimize(prepared.picture);
    }
}
BENCHMARK(BM_PreparePicture)->ArgName("timestamp")->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond);

void BM_NumberedNames(benchmark::State& state) {
    const NamingSettings naming = NumberedNaming();
    NumberingCounters counters;
    for (auto _ : state) benchmark::DoNotOptimize(MakeUploadNames(naming, QStringLiteral("Bench"), counters));
}
BENCHMARK(BM_NumberedNames)->Unit(benchmark::kMicrosecond);

void BM_StripAndComposite(benchmark::State& state) {
    const QImage frame = TestFrame();
    const PictureSettings settings = StampedSettings(true);
    for (auto _ : state) {
        const QImage strip =
            DrawTimestampStrip(QStringLiteral("2005-06-22 14:30:05"), kWidth, settings.strip);
        benchmark::DoNotOptimize(AppendStrip(frame, strip, settings.strip.BackColor));
    }
}
BENCHMARK(BM_StripAndComposite)->Unit(benchmark::kMicrosecond);

void BM_Jpeg(benchmark::State& state) {
    const QImage picture = TestFrame();
    const QString path = snapwire::platform::ProgramFile(QStringLiteral("bench.jpg"));
    for (auto _ : state) benchmark::DoNotOptimize(vcx->SavePictureAsJpeg(picture, path, 75));
}
BENCHMARK(BM_Jpeg)->Unit(benchmark::kMillisecond);

bool ConnectFrameFeed(CaptureControl& control) {
    for (int i = 0; i < control.DeviceCount(); ++i) {
        if (control.DeviceName(i) == QString::fromLatin1(snapwire::capture::kFrameFeedName))
            control.SetDeviceIndex(i);
    }
    return control.DeviceConnected() && FrameFeed::PushAndWait(control, TestFrame());
}

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("SNAPWIRE_HOME", home.path().toLocal8Bit());
    snapwire::reg::UseHiveFile((home.path() + QStringLiteral("/settings.db")).toStdString());
    QApplication app(argc, argv);
    FrameFeed::Enable();
    auto control = std::make_unique<CaptureControl>();
    if (!ConnectFrameFeed(*control)) {
        std::fprintf(stderr, "the frame feed did not deliver its picture\n");
        return 1;
    }
    vcx = control.get();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    snapwire::reg::CloseHive();
    return 0;
}
