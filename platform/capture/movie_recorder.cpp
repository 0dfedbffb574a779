#include "platform/capture/movie_recorder.h"

#include <QFile>
#include <QtGlobal>
#include <shared_mutex>

#include "platform/capture/gst_runtime.h"
#include "platform/capture/sound_format.h"

namespace snapwire::capture {

namespace {

// Queues that forget their oldest data rather than hold up the live picture when
// the encoder or the disk falls behind; the frame-rate step repeats frames then.
// JPEG pictures hold full-range YCbCr (colorimetry 1:4:0:0, centred chroma), which is
// how players decode them; the converter's default limited range washes the colours out.
constexpr char kVideoBranch[] =
    "queue name=rec-queue max-size-buffers=0 max-size-bytes=0 max-size-time=3000000000 leaky=downstream"
    " ! videorate name=rec-rate skip-to-first=true ! video/x-raw,framerate=%1/1"
    " ! videoconvert ! video/x-raw,format=I420,colorimetry=1:4:0:0,chroma-site=jpeg"
    " ! jpegenc name=rec-encoder quality=%2"
    " ! avimux name=rec-mux ! filesink name=rec-file async=false";
constexpr char kSoundBranch[] =
    " %1 name=rec-sound ! audioconvert ! audioresample ! %2"
    " ! queue name=rec-sound-queue max-size-time=3000000000 leaky=downstream ! rec-mux.";

GstPad* StaticPad(GstElement* bin, const char* element, const char* pad) {
    GstObjectPtr<GstElement> child(gst_bin_get_by_name(GST_BIN(bin), element));
    return child ? gst_element_get_static_pad(child.get(), pad) : nullptr;
}

void AddProbe(GstElement* bin, const char* element, const char* pad, GstPadProbeType type,
              GstPadProbeCallback callback, gpointer data) {
    GstObjectPtr<GstPad> target(StaticPad(bin, element, pad));
    if (target)
        gst_pad_add_probe(target.get(), type, callback, data, nullptr);
}

GstClockTime Nanoseconds(int seconds) {
    return GstClockTime(seconds) * GST_SECOND;
}

}  // namespace

// GStreamer's tee does not wait for a push in progress when one of its pads is released,
// so the tee's probe can still be running, or about to start, while the recorder goes.
// The probe reaches the recorder only through this gate, which lives as long as the
// probe does; closing it waits for a call inside to leave.
struct MovieRecorder::TeeGate {
    std::shared_mutex mutex;
    MovieRecorder* recorder = nullptr;
};

MovieRecorder::MovieRecorder(GstElement* pipeline, GstElement* tee, RecordingSettings settings)
    : pipeline_(pipeline), tee_(tee), settings_(std::move(settings)) {}

MovieRecorder::~MovieRecorder() {
    Detach();
}

bool MovieRecorder::Start(QString* reason) {
    QString soundReason;
    if (settings_.sound && Attach(true, &soundReason))
        return true;
    // When the movie cannot be recorded even without sound, the sound was not the reason.
    if (!Attach(false, reason))
        return false;
    if (settings_.sound) {
        soundFailure_ = QStringLiteral("the sound source cannot be opened (%1)").arg(soundReason);
        qWarning("Recording the movie without sound: %s", qPrintable(soundFailure_));
    }
    return true;
}

QString MovieRecorder::Description(bool withSound) const {
    QString description =
        QString::fromLatin1(kVideoBranch).arg(settings_.framesPerSecond).arg(settings_.jpegQuality);
    if (withSound)
        description +=
            QString::fromLatin1(kSoundBranch).arg(settings_.soundSource, SoundCaps(settings_.soundFormat));
    return description;
}

bool MovieRecorder::Attach(bool withSound, QString* reason) {
    GError* error = nullptr;
    GstElement* branch =
        gst_parse_bin_from_description(Description(withSound).toUtf8().constData(), TRUE, &error);
    if (!branch || error) {
        *reason = TakeErrorMessage(error);
        if (branch)
            gst_object_unref(gst_object_ref_sink(branch));
        return false;
    }
    branch_ = GST_ELEMENT(gst_object_ref_sink(branch));
    {
        GstObjectPtr<GstElement> file(gst_bin_get_by_name(GST_BIN(branch_), "rec-file"));
        g_object_set(file.get(), "location", QFile::encodeName(settings_.path).constData(), nullptr);
    }
    sound_ = withSound ? gst_bin_get_by_name(GST_BIN(branch_), "rec-sound") : nullptr;
    if (!OpenBranch(reason)) {
        RemoveBranch();
        return false;
    }
    InstallProbes();

    gst_bin_add(GST_BIN(pipeline_), branch_);
    if (!gst_element_sync_state_with_parent(branch_)) {
        *reason =
            withSound
                ? QStringLiteral("the sound source or the file \"%1\" cannot be opened").arg(settings_.path)
                : QStringLiteral("the file \"%1\" cannot be written").arg(settings_.path);
        RemoveBranch();
        return false;
    }
    teePad_ = gst_element_request_pad_simple(tee_, "src_%u");
    InstallTeeProbe();
    GstObjectPtr<GstPad> branchInput(gst_element_get_static_pad(branch_, "sink"));
    if (gst_pad_link(teePad_, branchInput.get()) != GST_PAD_LINK_OK) {
        *reason = QStringLiteral("the recording cannot be linked to the picture");
        Detach();
        return false;
    }
    return true;
}

void MovieRecorder::InstallTeeProbe() {
    teeGate_ = std::make_shared<TeeGate>();
    teeGate_->recorder = this;
    gst_pad_add_probe(teePad_, GST_PAD_PROBE_TYPE_BUFFER, &MovieRecorder::OnTeeBuffer,
                      new std::shared_ptr<TeeGate>(teeGate_),
                      [](gpointer gate) { delete static_cast<std::shared_ptr<TeeGate>*>(gate); });
}

// Opened on a bus of its own before it joins the running pipeline, so that the reason a
// sound source or the file cannot be opened comes back here, not as a failure of the picture.
bool MovieRecorder::OpenBranch(QString* reason) {
    GstObjectPtr<GstBus> bus(gst_bus_new());
    gst_element_set_bus(branch_, bus.get());
    if (gst_element_set_state(branch_, GST_STATE_READY) != GST_STATE_CHANGE_FAILURE)
        return true;
    GstMessage* failure = gst_bus_pop_filtered(bus.get(), GST_MESSAGE_ERROR);
    if (failure) {
        GError* error = nullptr;
        gst_message_parse_error(failure, &error, nullptr);
        *reason = TakeErrorMessage(error);
        gst_message_unref(failure);
    } else {
        *reason = QStringLiteral("the recording cannot be opened");
    }
    return false;
}

void MovieRecorder::InstallProbes() {
    AddProbe(branch_, "rec-encoder", "sink", GST_PAD_PROBE_TYPE_BUFFER, &MovieRecorder::OnEncoderBuffer,
             this);
    AddProbe(branch_, "rec-file", "sink", GST_PAD_PROBE_TYPE_EVENT_DOWNSTREAM, &MovieRecorder::OnFileEvent,
             this);
    if (sound_)
        AddProbe(branch_, "rec-sound-queue", "sink", GST_PAD_PROBE_TYPE_BUFFER, &MovieRecorder::OnSoundBuffer,
                 this);
}

void MovieRecorder::RequestStop() {
    if (!branch_ || stopping_.exchange(true))
        return;
    // The picture's end-of-stream goes in with the next frame (OnTeeBuffer), so that no
    // frame can follow it into the branch.
    if (sound_)
        gst_element_send_event(sound_, gst_event_new_eos());
}

void MovieRecorder::EnsureEndOfStream() {
    if (branch_ && stopping_)
        SendEndOfStream();
}

void MovieRecorder::SendEndOfStream() {
    if (endSent_.exchange(true))
        return;
    GstObjectPtr<GstPad> branchInput(gst_element_get_static_pad(branch_, "sink"));
    gst_pad_send_event(branchInput.get(), gst_event_new_eos());
}

bool MovieRecorder::WaitUntilFinished(std::chrono::milliseconds timeout) {
    std::unique_lock lock(mutex_);
    return fileDone_.wait_for(lock, timeout, [this] { return fileFinished_; });
}

void MovieRecorder::Detach() {
    if (!branch_)
        return;
    if (teeGate_) {
        std::unique_lock closing(teeGate_->mutex);
        teeGate_->recorder = nullptr;
    }
    teeGate_.reset();
    if (teePad_) {
        GstObjectPtr<GstPad> branchInput(gst_element_get_static_pad(branch_, "sink"));
        gst_pad_unlink(teePad_, branchInput.get());
        gst_element_release_request_pad(tee_, teePad_);
        gst_object_unref(teePad_);
        teePad_ = nullptr;
    }
    RemoveBranch();
}

void MovieRecorder::RemoveBranch() {
    // Going to NULL closes the file.
    gst_element_set_state(branch_, GST_STATE_NULL);
    if (GST_OBJECT_PARENT(branch_) == GST_OBJECT(pipeline_))
        gst_bin_remove(GST_BIN(pipeline_), branch_);
    if (sound_)
        gst_object_unref(sound_);
    gst_object_unref(branch_);
    sound_ = nullptr;
    branch_ = nullptr;
}

bool MovieRecorder::Contains(GstObject* element) const {
    return branch_ && element &&
           (element == GST_OBJECT(branch_) || gst_object_has_as_ancestor(element, GST_OBJECT(branch_)));
}

RecordingCounts MovieRecorder::Counts() const {
    RecordingCounts counts;
    counts.frames = std::int32_t(frames_.load());
    if (branch_) {
        GstObjectPtr<GstElement> rate(gst_bin_get_by_name(GST_BIN(branch_), "rec-rate"));
        guint64 repeated = 0;
        g_object_get(rate.get(), "duplicate", &repeated, nullptr);
        counts.dropped = std::int32_t(repeated);
    }
    const GstClockTime first = firstFrameTime_;
    const GstClockTime end = lastFrameEnd_;
    if (GST_CLOCK_TIME_IS_VALID(first) && GST_CLOCK_TIME_IS_VALID(end) && end > first)
        counts.elapsedMs = std::int32_t((end - first) / GST_MSECOND);
    counts.width = width_;
    counts.height = height_;
    return counts;
}

// Kept for the report at the end: the camera may be gone by then, and its frames with it.
void MovieRecorder::KeepFrameSize(GstPad* encoderInput) {
    GstCapsPtr caps(gst_pad_get_current_caps(encoderInput));
    const GstStructure* format = caps ? gst_caps_get_structure(caps.get(), 0) : nullptr;
    int width = 0, height = 0;
    if (format && gst_structure_get_int(format, "width", &width) &&
        gst_structure_get_int(format, "height", &height)) {
        width_ = width;
        height_ = height;
    }
}

GstPadProbeReturn MovieRecorder::OnTeeBuffer(GstPad*, GstPadProbeInfo*, gpointer gate) {
    TeeGate& entry = **static_cast<std::shared_ptr<TeeGate>*>(gate);
    std::shared_lock inside(entry.mutex);
    MovieRecorder* recorder = entry.recorder;
    if (!recorder)
        return GST_PAD_PROBE_DROP;  // the branch is being taken off
    if (!recorder->stopping_)
        return GST_PAD_PROBE_OK;
    if (recorder->stopProbePause_)
        recorder->stopProbePause_();
    recorder->SendEndOfStream();
    return GST_PAD_PROBE_DROP;
}

GstPadProbeReturn MovieRecorder::OnEncoderBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self) {
    auto* recorder = static_cast<MovieRecorder*>(self);
    const int limit = recorder->settings_.secondsLimit * recorder->settings_.framesPerSecond;
    const std::int64_t index = recorder->frames_;
    if (limit > 0 && index >= limit)
        return GST_PAD_PROBE_DROP;
    GstBuffer* buffer = GST_PAD_PROBE_INFO_BUFFER(info);
    const GstClockTime start = GST_BUFFER_PTS(buffer);
    if (index == 0) {
        recorder->firstFrameTime_ = start;
        recorder->KeepFrameSize(pad);
    }
    if (GST_CLOCK_TIME_IS_VALID(start)) {
        const GstClockTime duration = GST_BUFFER_DURATION_IS_VALID(buffer)
                                          ? GST_BUFFER_DURATION(buffer)
                                          : GST_SECOND / recorder->settings_.framesPerSecond;
        recorder->lastFrameEnd_ = start + duration;
    }
    recorder->frames_ = index + 1;
    if (limit > 0 && index + 1 == limit && recorder->limitReached_)
        recorder->limitReached_();
    return GST_PAD_PROBE_OK;
}

GstPadProbeReturn MovieRecorder::OnSoundBuffer(GstPad* pad, GstPadProbeInfo* info, gpointer self) {
    auto* recorder = static_cast<MovieRecorder*>(self);
    if (recorder->settings_.secondsLimit <= 0)
        return GST_PAD_PROBE_OK;
    const GstClockTime start = GST_BUFFER_PTS(GST_PAD_PROBE_INFO_BUFFER(info));
    if (!GST_CLOCK_TIME_IS_VALID(start))
        return GST_PAD_PROBE_OK;
    GstClockTime first = recorder->firstSoundTime_;
    if (!GST_CLOCK_TIME_IS_VALID(first)) {
        recorder->firstSoundTime_ = start;
        first = start;
    }
    if (start - first < Nanoseconds(recorder->settings_.secondsLimit))
        return GST_PAD_PROBE_OK;
    // The sound ends here rather than merely stopping: the muxer holds the pictures
    // back until it has the sound of their time, or its end.
    if (!recorder->soundEnded_.exchange(true))
        gst_pad_send_event(pad, gst_event_new_eos());
    return GST_PAD_PROBE_DROP;
}

GstPadProbeReturn MovieRecorder::OnFileEvent(GstPad*, GstPadProbeInfo* info, gpointer self) {
    if (GST_EVENT_TYPE(GST_PAD_PROBE_INFO_EVENT(info)) != GST_EVENT_EOS)
        return GST_PAD_PROBE_OK;
    auto* recorder = static_cast<MovieRecorder*>(self);
    {
        std::lock_guard lock(recorder->mutex_);
        recorder->fileFinished_ = true;
    }
    recorder->fileDone_.notify_all();
    if (recorder->finished_)
        recorder->finished_();
    return GST_PAD_PROBE_OK;
}

}  // namespace snapwire::capture
