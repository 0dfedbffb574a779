// Costs of the capture control's picture work: handing a frame over from the sink,
// writing the BMP and JPEG files, and the processor time the live picture takes
// while the program is otherwise idle.

#include <benchmark/benchmark.h>
#include <sys/resource.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QImage>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>
#include <vector>

#include "platform/capture/capture_control.h"
#include "platform/capture/device_list.h"
#include "platform/capture/frame_files.h"
#include "platform/capture/frame_pipeline.h"
#include "platform/capture/gst_runtime.h"

namespace {

using snapwire::capture::CaptureControl;

// Something like a camera picture: smooth shading with sensor noise.
QImage CameraLikePicture(int width, int height) {
    QImage picture(width, height, QImage::Format_RGB32);
    QRandomGenerator random(11);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(picture.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const int noise = int(random.bounded(16));
            row[x] =
                qRgb((x * 255 / width + noise) & 255, (y * 255 / height + noise) & 255, (128 + noise) & 255);
        }
    }
    return picture;
}

// Handing a frame over: a picture over the sink's buffer, without copying its pixels.
void FrameHandOver(benchmark::State& state) {
    const int width = int(state.range(0)), height = int(state.range(1));
    snapwire::capture::EnsureGstreamer();
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, gsize(width) * height * 4, nullptr);
    GstCaps* caps = gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width", G_TYPE_INT,
                                        width, "height", G_TYPE_INT, height, nullptr);
    GstSample* sample = gst_sample_new(buffer, caps, nullptr, nullptr);
    for (auto _ : state) {
        QImage frame = snapwire::capture::FrameOverSample(sample);
        benchmark::DoNotOptimize(frame.constBits());
    }
    gst_sample_unref(sample);
    gst_caps_unref(caps);
    gst_buffer_unref(buffer);
}
BENCHMARK(FrameHandOver)->Args({640, 480})->Args({1280, 720});

void SaveFrameAsBitmap(benchmark::State& state) {
    const QImage frame = CameraLikePicture(int(state.range(0)), int(state.range(1)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("ic.bmp"));
    for (auto _ : state) snapwire::capture::WriteBitmap24(frame, path);
}
BENCHMARK(SaveFrameAsBitmap)->Args({640, 480})->Args({1280, 720})->Unit(benchmark::kMicrosecond);

void SavePictureAsJpeg(benchmark::State& state) {
    const QImage picture = CameraLikePicture(int(state.range(0)), int(state.range(1)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("webcam.jpg"));
    CaptureControl control;
    for (auto _ : state) {
        if (control.SavePictureAsJpeg(picture, path, int(state.range(2))) == 0)
            state.SkipWithError("the JPEG was not written");
    }
}
BENCHMARK(SavePictureAsJpeg)
    ->Args({640, 480, 75})
    ->Args({1280, 720, 75})
    ->Args({640, 480, 100})
    ->Unit(benchmark::kMicrosecond);

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// The test pattern at 640 x 480, 30 frames a second, shown (or not) in a visible
// video widget for ten seconds of an otherwise idle event loop. The counter is the
// share of one processor core the process used.
void IdleLivePreview(benchmark::State& state) {
    const bool preview = state.range(0) != 0;
    CaptureControl control;
    control.resize(640, 480);
    control.show();
    int pattern = -1;
    for (int i = 0; i < control.DeviceCount(); ++i) {
        if (control.DeviceName(i) == QLatin1String(snapwire::capture::kTestPatternName))
            pattern = i;
    }
    control.SetDeviceIndex(pattern);
    control.SetLivePreview(preview);
    for (auto _ : state) {
        const double cpuBefore = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        QEventLoop idle;
        QTimer::singleShot(10000, &idle, &QEventLoop::quit);
        idle.exec();
        state.counters["cpu_percent"] = 100.0 * (ProcessCpuSeconds() - cpuBefore) / (wall.elapsed() / 1000.0);
    }
}
BENCHMARK(IdleLivePreview)->Arg(1)->Arg(0)->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
