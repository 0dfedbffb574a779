#include "platform/capture/frame_feed.h"

#include <gst/app/gstappsrc.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QThread>
#include <atomic>
#include <cstring>
#include <mutex>

#include "platform/capture/capture_control.h"
#include "platform/capture/gst_runtime.h"

namespace snapwire::capture {

namespace {

constexpr char kSourceName[] = "snapwire-frame-feed";

struct FeedState {
    std::mutex mutex;
    std::atomic<bool> enabled{false};
    QImage current;                  // black until the first push; made only once a source needs it
    GstElement* pipeline = nullptr;  // the pipeline the source below belongs to
    GstAppSrc* source = nullptr;     // holds a reference while attached
    QSize sourceSize;                // the frame size announced to the source
};

FeedState& State() {
    static FeedState state;
    return state;
}

// Caller holds the state's mutex.
void PushCurrent(FeedState& state) {
    // A program that never selects the feed keeps no frame for it.
    if (state.current.isNull()) {
        state.current = QImage(640, 480, QImage::Format_RGB32);
        state.current.fill(Qt::black);
    }
    const QImage& frame = state.current;
    if (frame.size() != state.sourceSize) {
        GstCapsPtr caps(gst_caps_new_simple("video/x-raw", "format", G_TYPE_STRING, "BGRx", "width",
                                            G_TYPE_INT, frame.width(), "height", G_TYPE_INT, frame.height(),
                                            "framerate", GST_TYPE_FRACTION, 0, 1, "pixel-aspect-ratio",
                                            GST_TYPE_FRACTION, 1, 1, nullptr));
        gst_app_src_set_caps(state.source, caps.get());
        state.sourceSize = frame.size();
    }
    const gsize rowBytes = gsize(frame.width()) * 4;
    GstBuffer* buffer = gst_buffer_new_allocate(nullptr, rowBytes * frame.height(), nullptr);
    GstMapInfo map;
    if (!gst_buffer_map(buffer, &map, GST_MAP_WRITE)) {
        gst_buffer_unref(buffer);
        return;
    }
    for (int y = 0; y < frame.height(); ++y)
        std::memcpy(map.data + rowBytes * y, frame.constScanLine(y), rowBytes);
    gst_buffer_unmap(buffer, &map);
    gst_app_src_push_buffer(state.source, buffer);
}

}  // namespace

void FrameFeed::Enable() {
    State().enabled = true;
}
void FrameFeed::Disable() {
    State().enabled = false;
}

bool FrameFeed::IsEnabled() {
    return State().enabled || qEnvironmentVariable("SNAPWIRE_FRAME_FEED") == QLatin1String("1");
}

void FrameFeed::Push(const QImage& image) {
    FeedState& state = State();
    std::lock_guard lock(state.mutex);
    state.current = image.convertToFormat(QImage::Format_RGB32);
    if (state.source)
        PushCurrent(state);
}

bool FrameFeed::PushAndWait(const CaptureControl& control, const QImage& image, int timeoutMs) {
    const QImage expected = image.convertToFormat(QImage::Format_RGB32);
    Push(expected);
    QDeadlineTimer deadline(timeoutMs);
    while (control.CurrentFrame() != expected) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

QString FrameFeed::SourceDescription() {
    return QStringLiteral("appsrc name=%1 is-live=true format=time do-timestamp=true")
        .arg(QLatin1String(kSourceName));
}

void FrameFeed::Attach(GstElement* pipeline) {
    GstElement* source = gst_bin_get_by_name(GST_BIN(pipeline), kSourceName);
    if (!source)
        return;
    FeedState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.source)
        gst_object_unref(state.source);
    state.pipeline = pipeline;
    state.source = GST_APP_SRC(source);
    state.sourceSize = QSize();
    PushCurrent(state);
}

void FrameFeed::Detach(GstElement* pipeline) {
    FeedState& state = State();
    std::lock_guard lock(state.mutex);
    if (state.pipeline != pipeline || !state.source)
        return;
    gst_object_unref(state.source);
    state.source = nullptr;
    state.pipeline = nullptr;
}

}  // namespace snapwire::capture
