#pragma once

// The state behind CaptureControl, shared by its two source files (pictures and
// devices in capture_control.cpp, movies in capture_movie.cpp).

#include <QImage>
#include <atomic>
#include <chrono>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "platform/capture/capture_control.h"
#include "platform/capture/device_list.h"
#include "platform/capture/frame_pipeline.h"
#include "platform/capture/movie_recorder.h"

namespace snapwire::capture {

inline constexpr std::chrono::milliseconds kFirstFrameTimeout{5000};

struct CaptureControl::Impl {
    explicit Impl(CaptureControl* control) : self(control) {}

    // Devices and connection (capture_control.cpp).
    const std::vector<CaptureDevice>& Devices();
    void NoteSharedSerials(const std::vector<CaptureDevice>& listed);
    void ReadDevicesAgain();
    int ListAway(const CaptureDevice& kept);
    void TakeList(std::vector<CaptureDevice> listed, const std::vector<int>& newIndex);
    const CaptureDevice* SelectedDevice();
    void LocateSelectedCamera();
    VideoFormat FormatOf(int index);
    void Connect();
    void Disconnect();
    void OnFrameStored();  // streaming thread
    void OnFailure(GstObject* source, const CaptureError& error);
    void ShowNewestFrame();
    void ChangeFormat(const VideoFormat& format);

    // Movie capture (capture_movie.cpp).
    RecordingSettings MovieSettings() const;
    void OnLimitReached(int recording);
    void OnFileFinished(int recording);
    void FinishRecording();
    void EndRecordingNow();
    bool IsUserStop(const QEvent* event) const;

    CaptureControl* self;

    std::optional<std::vector<CaptureDevice>> devices;
    std::map<int, VideoFormat> chosenFormats;  // by device index, once the format dialog changed it
    std::map<int, bool> imageControls;         // by device index, as probed
    QSet<QString> sharedSerials;               // of the cameras seen so far, or stored as shared
    int deviceIndex = 0;
    bool connected = false;
    FramePipeline pipeline;

    bool livePreview = false;
    std::atomic<bool> previewWanted{false};
    std::atomic<bool> repaintPosted{false};
    QImage shown;  // what the video widget paints

    QString captureFile;
    bool timeLimited = false;
    int seconds = 60;
    int frameRate = 30;
    bool sound = true;
    SoundFormat soundFormat;
    int movieQuality = kDefaultMovieQuality;
    std::unique_ptr<MovieRecorder> recorder;
    int recording = 0;  // numbers the recordings, so late reports of an old one are ignored
    RecordingCounts lastCounts;
    QString soundFailure;  // of the recording started last
};

}  // namespace snapwire::capture
