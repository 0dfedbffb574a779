#include "platform/capture/frame_pipeline.h"

#include <gst/video/video.h>

#include "platform/capture/frame_feed.h"
#include "platform/capture/gst_runtime.h"

namespace snapwire::capture {

namespace {

constexpr char kConversion[] =
    " ! videoconvert ! video/x-raw,format=BGRx"
    " ! tee name=tee allow-not-linked=true"
    " ! appsink name=frames drop=true max-buffers=1 sync=false enable-last-sample=false";

bool MeansNotOpened(const GError* error) {
    if (error->domain != GST_RESOURCE_ERROR)
        return false;
    switch (error->code) {
        case GST_RESOURCE_ERROR_NOT_FOUND:
        case GST_RESOURCE_ERROR_OPEN_READ:
        case GST_RESOURCE_ERROR_OPEN_WRITE:
        case GST_RESOURCE_ERROR_OPEN_READ_WRITE:
        case GST_RESOURCE_ERROR_BUSY:
        case GST_RESOURCE_ERROR_NOT_AUTHORIZED:
            return true;
        default:
            return false;
    }
}

CaptureError ErrorFromMessage(GstMessage* message) {
    GError* error = nullptr;
    gchar* debug = nullptr;
    gst_message_parse_error(message, &error, &debug);
    g_free(debug);
    const int number = MeansNotOpened(error) ? kErrorDeviceNotOpened : kErrorDeviceFailed;
    return CaptureError(number, TakeErrorMessage(error));
}

}  // namespace

namespace {

struct MappedSample {
    GstSample* sample;
    GstVideoFrame frame;
};

void ReleaseMappedSample(void* held) {
    auto* mapped = static_cast<MappedSample*>(held);
    gst_video_frame_unmap(&mapped->frame);
    gst_sample_unref(mapped->sample);
    delete mapped;
}

}  // namespace

QImage FrameOverSample(GstSample* sample) {
    GstVideoInfo info;
    GstBuffer* buffer = gst_sample_get_buffer(sample);
    GstCaps* caps = gst_sample_get_caps(sample);
    if (!buffer || !caps || !gst_video_info_from_caps(&info, caps))
        return {};
    auto* mapped = new MappedSample{sample, {}};
    if (!gst_video_frame_map(&mapped->frame, &info, buffer, GST_MAP_READ)) {
        delete mapped;
        return {};
    }
    gst_sample_ref(sample);
    const GstVideoFrame& frame = mapped->frame;
    return QImage(static_cast<const uchar*>(GST_VIDEO_FRAME_PLANE_DATA(&frame, 0)),
                  GST_VIDEO_FRAME_WIDTH(&frame), GST_VIDEO_FRAME_HEIGHT(&frame),
                  GST_VIDEO_FRAME_PLANE_STRIDE(&frame, 0), QImage::Format_RGB32, &ReleaseMappedSample,
                  mapped);
}

FramePipeline::~FramePipeline() {
    Stop();
}

void FramePipeline::Start(const QString& sourceDescription, std::chrono::milliseconds firstFrameTimeout) {
    Stop();
    EnsureGstreamer();
    GError* parseError = nullptr;
    GstElement* pipeline =
        gst_parse_launch((sourceDescription + QLatin1String(kConversion)).toUtf8().constData(), &parseError);
    if (parseError || !pipeline) {
        if (pipeline)
            gst_object_unref(pipeline);
        throw CaptureError(kErrorDeviceFailed, TakeErrorMessage(parseError));
    }
    pipeline_ = pipeline;
    tee_ = gst_bin_get_by_name(GST_BIN(pipeline_), "tee");
    GstObjectPtr<GstElement> sink(gst_bin_get_by_name(GST_BIN(pipeline_), "frames"));
    GstAppSinkCallbacks callbacks{};
    callbacks.new_sample = &FramePipeline::OnNewSample;
    gst_app_sink_set_callbacks(GST_APP_SINK(sink.get()), &callbacks, this, nullptr);
    GstObjectPtr<GstBus> bus(gst_element_get_bus(pipeline_));
    gst_bus_set_sync_handler(bus.get(), &FramePipeline::OnBusMessage, this, nullptr);

    std::unique_lock lock(mutex_);
    starting_ = true;
    hasStartError_ = false;
    latest_ = QImage();
    lock.unlock();

    FrameFeed::Attach(pipeline_);
    testPattern_ = TestPatternSource::FeedPipeline(pipeline_);
    const bool refused = gst_element_set_state(pipeline_, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE;

    lock.lock();
    const bool arrived = !refused && changed_.wait_for(lock, firstFrameTimeout, [this] {
        return !latest_.isNull() || hasStartError_;
    });
    starting_ = false;
    if (hasStartError_ || refused || !arrived) {
        const CaptureError error =
            hasStartError_ ? startError_
            : refused ? CaptureError(kErrorDeviceNotOpened, QStringLiteral("The device cannot be opened"))
                      : CaptureError(kErrorDeviceFailed, QStringLiteral("The device sent no picture"));
        lock.unlock();
        Release();
        throw error;
    }
}

void FramePipeline::Stop() {
    if (pipeline_)
        Release();
}

void FramePipeline::Release() {
    testPattern_.reset();
    // Stopping joins the streaming threads, so no callback runs after this.
    gst_element_set_state(pipeline_, GST_STATE_NULL);
    FrameFeed::Detach(pipeline_);
    GstObjectPtr<GstBus> bus(gst_element_get_bus(pipeline_));
    gst_bus_set_sync_handler(bus.get(), nullptr, nullptr, nullptr);
    gst_object_unref(tee_);
    gst_object_unref(pipeline_);
    tee_ = nullptr;
    pipeline_ = nullptr;
    std::lock_guard lock(mutex_);
    latest_ = QImage();
}

QImage FramePipeline::LatestFrame() const {
    std::lock_guard lock(mutex_);
    return latest_;
}

GstBusSyncReply FramePipeline::OnBusMessage(GstBus*, GstMessage* message, gpointer self) {
    if (GST_MESSAGE_TYPE(message) == GST_MESSAGE_ERROR)
        static_cast<FramePipeline*>(self)->ReportError(message);
    return GST_BUS_DROP;
}

void FramePipeline::ReportError(GstMessage* message) {
    const CaptureError error = ErrorFromMessage(message);
    std::unique_lock lock(mutex_);
    if (starting_) {
        if (!hasStartError_) {
            hasStartError_ = true;
            startError_ = error;
        }
        changed_.notify_all();
        return;
    }
    lock.unlock();
    if (errorHandler_)
        errorHandler_(GST_MESSAGE_SRC(message), error);
}

GstFlowReturn FramePipeline::OnNewSample(GstAppSink* sink, gpointer self) {
    GstSample* sample = gst_app_sink_pull_sample(sink);
    if (!sample)
        return GST_FLOW_OK;
    QImage frame = FrameOverSample(sample);
    gst_sample_unref(sample);
    if (!frame.isNull())
        static_cast<FramePipeline*>(self)->StoreFrame(std::move(frame));
    return GST_FLOW_OK;
}

void FramePipeline::StoreFrame(QImage frame) {
    {
        std::lock_guard lock(mutex_);
        latest_ = std::move(frame);
        if (starting_)
            changed_.notify_all();
    }
    if (frameHandler_)
        frameHandler_();
}

}  // namespace snapwire::capture
