#pragma once

// The built-in test-pattern device, so the program has a live picture on a machine
// without a camera.
//
// Its source is an appsrc fed by a thread of its own: colour bars drawn once into a
// picture twice the frame's height, each frame a read-only view into it a little
// further down, so a frame costs neither drawing nor copying. The picture scrolls
// upwards like a moving scene at the frame rate of the chosen format.

#include <QString>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

#include "platform/capture/video_format.h"

typedef struct _GstElement GstElement;
typedef struct _GstMemory GstMemory;
typedef struct _GstAppSrc GstAppSrc;

namespace snapwire::capture {

class TestPatternSource {
  public:
    // The source part of the device's pipeline for the format (640 x 480 at 30 fps when
    // the format has no size).
    static QString SourceDescription(const VideoFormat& format);

    // Starts feeding the pipeline's test-pattern source; null for pipelines without one.
    static std::unique_ptr<TestPatternSource> FeedPipeline(GstElement* pipeline);

    ~TestPatternSource();
    TestPatternSource(const TestPatternSource&) = delete;
    TestPatternSource& operator=(const TestPatternSource&) = delete;

  private:
    TestPatternSource(GstAppSrc* source, int width, int height, int rateNumerator, int rateDenominator);
    void PushFrames();
    void PushFrame(int firstRow);

    GstAppSrc* source_;
    GstMemory* strip_ = nullptr;  // the frame twice, one below the other
    int width_;
    int height_;
    std::chrono::nanoseconds interval_;

    std::mutex mutex_;
    std::condition_variable stopRequested_;
    bool stopping_ = false;
    std::thread pusher_;
};

}  // namespace snapwire::capture
