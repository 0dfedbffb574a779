#pragma once

// One movie recording: a branch hung onto the running picture path's tee that
// writes an AVI file (Motion-JPEG video at a fixed frame rate, optionally PCM
// sound), and is taken off again when the file is finished:
//
//   tee ! queue ! videorate ! framerate ! videoconvert ! I420 (full range) ! jpegenc ! avimux ! filesink
//   <sound source> ! audioconvert ! audioresample ! <PCM format> ! queue ! avimux
//
// A recording ends by end-of-stream, so the muxer can complete the file: either
// after the frames of the time limit, or when RequestStop() is called.

#include <gst/gst.h>
#include <QString>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>

#include "platform/capture/capture_control.h"

namespace snapwire::capture {

inline constexpr int kDefaultMovieQuality = 85;

struct RecordingSettings {
    QString path;
    int framesPerSecond = 30;
    int secondsLimit = 0;  // 0: until RequestStop()
    bool sound = false;
    SoundFormat soundFormat;
    QString soundSource;  // pipeline fragment, e.g. "pulsesrc"
    int jpegQuality = kDefaultMovieQuality;
};

struct RecordingCounts {
    std::int32_t frames = 0;   // frames written to the movie
    std::int32_t dropped = 0;  // frames the source did not deliver in time (repeated in the file)
    std::int32_t elapsedMs = 0;
    std::int32_t width = 0;  // frame size of the movie; 0 before its first frame
    std::int32_t height = 0;
};

class MovieRecorder {
  public:
    // Both are called once at most, on a streaming thread.
    using Notify = std::function<void()>;

    MovieRecorder(GstElement* pipeline, GstElement* tee, RecordingSettings settings);
    ~MovieRecorder();
    MovieRecorder(const MovieRecorder&) = delete;
    MovieRecorder& operator=(const MovieRecorder&) = delete;

    void SetLimitReachedHandler(Notify handler) { limitReached_ = std::move(handler); }
    void SetFinishedHandler(Notify handler) { finished_ = std::move(handler); }
    // Tests only: called inside the picture's probe once it has seen the stop, before it
    // sends the end-of-stream. Set before Start().
    void SetStopProbePauseForTests(Notify pause) { stopProbePause_ = std::move(pause); }

    // Starts writing. When the sound source cannot be opened the movie is recorded
    // without sound. False (with the reason) when the file cannot be started.
    bool Start(QString* reason);
    bool HasSound() const { return sound_ != nullptr; }
    // Why the movie has no sound although sound was asked for; empty otherwise.
    QString SoundFailure() const { return soundFailure_; }

    // Ends the recording by end-of-stream; the finished handler follows once the
    // muxer has completed the file. Safe to call more than once.
    void RequestStop();
    // Sends the end-of-stream from the calling thread when no frame has carried it in
    // yet (a source that has stopped delivering pictures).
    void EnsureEndOfStream();
    // Waits for the completed file (after RequestStop()).
    bool WaitUntilFinished(std::chrono::milliseconds timeout);
    // Takes the branch off the pipeline; the file is closed when this returns.
    void Detach();

    bool Contains(GstObject* element) const;
    RecordingCounts Counts() const;

  private:
    struct TeeGate;

    bool Attach(bool withSound, QString* reason);
    bool OpenBranch(QString* reason);
    QString Description(bool withSound) const;
    void InstallProbes();
    void InstallTeeProbe();
    void SendEndOfStream();
    void KeepFrameSize(GstPad* encoderInput);
    void RemoveBranch();
    static GstPadProbeReturn OnTeeBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer gate);
    static GstPadProbeReturn OnEncoderBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn OnSoundBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self);
    static GstPadProbeReturn OnFileEvent(GstPad* pad, GstPadProbeInfo* info, gpointer self);

    GstElement* pipeline_;
    GstElement* tee_;
    RecordingSettings settings_;
    Notify limitReached_;
    Notify finished_;
    Notify stopProbePause_;

    GstElement* branch_ = nullptr;  // our reference to the recording bin
    GstElement* sound_ = nullptr;   // the sound source inside it, when there is sound
    GstPad* teePad_ = nullptr;
    std::shared_ptr<TeeGate> teeGate_;  // how the tee's probe reaches this recorder
    QString soundFailure_;

    std::atomic<bool> stopping_{false};
    std::atomic<bool> endSent_{false};
    std::atomic<bool> soundEnded_{false};
    std::atomic<std::int64_t> frames_{0};
    std::atomic<std::int32_t> width_{0};
    std::atomic<std::int32_t> height_{0};
    std::atomic<std::uint64_t> firstFrameTime_{GST_CLOCK_TIME_NONE};
    std::atomic<std::uint64_t> lastFrameEnd_{GST_CLOCK_TIME_NONE};
    std::atomic<std::uint64_t> firstSoundTime_{GST_CLOCK_TIME_NONE};

    mutable std::mutex mutex_;
    std::condition_variable fileDone_;
    bool fileFinished_ = false;
};

}  // namespace snapwire::capture
