#pragma once

// The running picture path of one connected device:
//
//   <device source> ! videoconvert ! video/x-raw,format=BGRx ! tee ! appsink
//
// BGRx is QImage::Format_RGB32 byte for byte. The appsink drops all but the newest
// frame; its streaming-thread callback stores that frame as a picture over the
// buffer itself, which stays mapped until the picture's last copy is gone. The tee is where a movie recording
// branches off, so that stills and the live picture go on while a movie is being written.

#include <gst/app/gstappsink.h>
#include <gst/gst.h>

#include <QImage>
#include <QString>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/capture/capture_control.h"
#include "platform/capture/test_pattern.h"

namespace snapwire::capture {

// A read-only picture over the BGRx frame of `sample`, holding the sample (and its
// buffer mapped) until the picture and every copy of it are gone; writing to it
// detaches a copy first. Null when the sample cannot be read as a video frame.
QImage FrameOverSample(GstSample* sample);

class FramePipeline {
  public:
    // Called on a streaming thread after each new frame has been stored.
    using FrameHandler = std::function<void()>;
    // Called on a streaming thread for a failure after Start() has returned;
    // `source` is the element that failed.
    using ErrorHandler = std::function<void(GstObject* source, const CaptureError& error)>;

    FramePipeline() = default;
    ~FramePipeline();
    FramePipeline(const FramePipeline&) = delete;
    FramePipeline& operator=(const FramePipeline&) = delete;

    // Set both before Start(); they stay in force until Stop().
    void SetFrameHandler(FrameHandler handler) { frameHandler_ = std::move(handler); }
    void SetErrorHandler(ErrorHandler handler) { errorHandler_ = std::move(handler); }

    // Builds the pipeline on the source and plays it; returns when the first frame has
    // arrived. Throws CaptureError: 5 when the device cannot be opened (missing, busy,
    // refused), 7 when it fails otherwise or sends no picture in time.
    void Start(const QString& sourceDescription, std::chrono::milliseconds firstFrameTimeout);
    void Stop();
    bool IsRunning() const { return pipeline_ != nullptr; }

    QImage LatestFrame() const;

    GstElement* Pipeline() const { return pipeline_; }
    GstElement* Tee() const { return tee_; }

  private:
    static GstBusSyncReply OnBusMessage(GstBus* bus, GstMessage* message, gpointer self);
    static GstFlowReturn OnNewSample(GstAppSink* sink, gpointer self);
    void StoreFrame(QImage frame);
    void ReportError(GstMessage* message);
    void Release();

    GstElement* pipeline_ = nullptr;
    GstElement* tee_ = nullptr;
    std::unique_ptr<TestPatternSource> testPattern_;
    FrameHandler frameHandler_;
    ErrorHandler errorHandler_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    QImage latest_;
    bool starting_ = false;
    bool hasStartError_ = false;
    CaptureError startError_{0, QString()};
};

}  // namespace snapwire::capture
