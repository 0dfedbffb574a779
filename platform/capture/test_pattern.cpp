#include "platform/capture/test_pattern.h"

#include <gst/app/gstappsrc.h>

#include <QImage>
#include <QPainter>
#include <array>
#include <cstring>

#include "platform/capture/gst_runtime.h"

namespace snapwire::capture {

namespace {

constexpr char kSourceName[] = "snapwire-test-pattern";
constexpr int kDefaultWidth = 640;
constexpr int kDefaultHeight = 480;
constexpr int kDefaultRate = 30;
constexpr int kRowsPerFrame = 2;  // how far the picture moves from one frame to the next

// Draws `colours` as bars of equal width across the band from `top` to `bottom`.
template <size_t N>
void PaintBars(QPainter& painter, const std::array<QRgb, N>& colours, int width, int top, int bottom) {
    for (size_t i = 0; i < N; ++i) {
        const int left = int(i * size_t(width) / N), right = int((i + 1) * size_t(width) / N);
        painter.fillRect(left, top, right - left, bottom - top, QColor(colours[i]));
    }
}

// The colour bars, one frame of them.
QImage TestPatternPicture(int width, int height) {
    static constexpr std::array<QRgb, 7> kBars = {0xC0C0C0, 0xC0C000, 0x00C0C0, 0x00C000,
                                                  0xC000C0, 0xC00000, 0x0000C0};
    static constexpr std::array<QRgb, 7> kReversedBars = {0x0000C0, 0x131313, 0xC000C0, 0x131313,
                                                          0x00C0C0, 0x131313, 0xC0C0C0};
    static constexpr std::array<QRgb, 6> kFoot = {0x00214C, 0xFFFFFF, 0x32006A, 0x131313, 0x090909, 0x1D1D1D};
    QImage picture(width, height, QImage::Format_RGB32);
    QPainter painter(&picture);
    const int barsEnd = height * 2 / 3, reversedEnd = height * 3 / 4;
    PaintBars(painter, kBars, width, 0, barsEnd);
    PaintBars(painter, kReversedBars, width, barsEnd, reversedEnd);
    PaintBars(painter, kFoot, width, reversedEnd, height);
    return picture;
}

}  // namespace

QString TestPatternSource::SourceDescription(const VideoFormat& format) {
    const bool sized = format.width > 0 && format.height > 0;
    const bool timed = format.rateNumerator > 0 && format.rateDenominator > 0;
    // A frame the pipeline cannot take at once is dropped, as a camera drops one, rather
    // than queued without end.
    return QStringLiteral(
               "appsrc name=%1 is-live=true format=time do-timestamp=true leaky-type=downstream "
               "max-buffers=2 "
               "caps=\"video/x-raw,format=BGRx,width=%2,height=%3,framerate=%4/%5,pixel-aspect-ratio=1/1\"")
        .arg(QLatin1String(kSourceName))
        .arg(sized ? format.width : kDefaultWidth)
        .arg(sized ? format.height : kDefaultHeight)
        .arg(timed ? format.rateNumerator : kDefaultRate)
        .arg(timed ? format.rateDenominator : 1);
}

std::unique_ptr<TestPatternSource> TestPatternSource::FeedPipeline(GstElement* pipeline) {
    GstElement* element = gst_bin_get_by_name(GST_BIN(pipeline), kSourceName);
    if (!element)
        return nullptr;
    GstCaps* caps = gst_app_src_get_caps(GST_APP_SRC(element));
    const GstStructure* structure = caps ? gst_caps_get_structure(caps, 0) : nullptr;
    int width = kDefaultWidth, height = kDefaultHeight, rateNumerator = kDefaultRate, rateDenominator = 1;
    if (structure) {
        gst_structure_get_int(structure, "width", &width);
        gst_structure_get_int(structure, "height", &height);
        gst_structure_get_fraction(structure, "framerate", &rateNumerator, &rateDenominator);
    }
    if (caps)
        gst_caps_unref(caps);
    return std::unique_ptr<TestPatternSource>(
        new TestPatternSource(GST_APP_SRC(element), width, height, rateNumerator, rateDenominator));
}

TestPatternSource::TestPatternSource(GstAppSrc* source, int width, int height, int rateNumerator,
                                     int rateDenominator)
    : source_(source),
      width_(width),
      height_(height),
      interval_(std::chrono::nanoseconds(std::chrono::seconds(1)) * rateDenominator / rateNumerator) {
    const QImage picture = TestPatternPicture(width, height);
    const gsize frameBytes = gsize(width) * 4 * gsize(height);
    strip_ = gst_allocator_alloc(nullptr, frameBytes * 2, nullptr);
    GstMapInfo map;
    if (gst_memory_map(strip_, &map, GST_MAP_WRITE)) {
        for (int copy = 0; copy < 2; ++copy)
            for (int y = 0; y < height; ++y)
                std::memcpy(map.data + copy * frameBytes + gsize(y) * width * 4, picture.constScanLine(y),
                            gsize(width) * 4);
        gst_memory_unmap(strip_, &map);
    }
    // Frames share the strip; an element that wants to change one gets a copy.
    GST_MINI_OBJECT_FLAG_SET(strip_, GST_MEMORY_FLAG_READONLY);
    pusher_ = std::thread([this] { PushFrames(); });
}

TestPatternSource::~TestPatternSource() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    stopRequested_.notify_all();
    pusher_.join();
    gst_memory_unref(strip_);
    gst_object_unref(source_);
}

void TestPatternSource::PushFrames() {
    auto due = std::chrono::steady_clock::now();
    int firstRow = 0;
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        lock.unlock();
        PushFrame(firstRow);
        lock.lock();
        firstRow = (firstRow + kRowsPerFrame) % height_;
        due += interval_;
        // After a long stall the pattern goes on from now instead of catching up.
        const auto now = std::chrono::steady_clock::now();
        if (due < now)
            due = now;
        stopRequested_.wait_until(lock, due, [this] { return stopping_; });
    }
}

void TestPatternSource::PushFrame(int firstRow) {
    const gsize rowBytes = gsize(width_) * 4;
    GstBuffer* frame = gst_buffer_new();
    gst_buffer_append_memory(
        frame, gst_memory_share(strip_, gssize(rowBytes * firstRow), gssize(rowBytes * height_)));
    // Refused while the pipeline is not playing; the next frame tries again.
    gst_app_src_push_buffer(source_, frame);
}

}  // namespace snapwire::capture
