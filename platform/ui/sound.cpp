#include "platform/ui/sound.h"

#include <gst/gst.h>

#include <QFileInfo>
#include <QUrl>

namespace snapwire::ui {

namespace {

// A synchronous sound never holds the window longer than this.
constexpr GstClockTime kLongestWaitNs = 60 * GST_SECOND;

std::function<void(const SoundRequest&)>& TestHandler() {
    static std::function<void(const SoundRequest&)> handler;
    return handler;
}

bool GstreamerReady() {
    static const bool ready = gst_init_check(nullptr, nullptr, nullptr);
    return ready;
}

// The sound playing now; a new one replaces it, as a new warning cuts off the last.
GstElement*& CurrentSound() {
    static GstElement* current = nullptr;
    return current;
}

void StopCurrentSound() {
    GstElement*& current = CurrentSound();
    if (!current)
        return;
    GstBus* bus = gst_element_get_bus(current);
    gst_bus_remove_watch(bus);
    gst_object_unref(bus);
    gst_element_set_state(current, GST_STATE_NULL);
    gst_object_unref(current);
    current = nullptr;
}

// Releases the audio output once the sound has ended or failed. The watch runs on
// the user-interface thread's main context (Qt's event loop on this platform).
gboolean OnBusMessage(GstBus*, GstMessage* message, gpointer pipeline) {
    const GstMessageType type = GST_MESSAGE_TYPE(message);
    // Stopping removes this watch too; a removed watch is not called again.
    if ((type == GST_MESSAGE_EOS || type == GST_MESSAGE_ERROR) && CurrentSound() == pipeline)
        StopCurrentSound();
    return TRUE;
}

GstElement* FilePipeline(const QString& path) {
    GstElement* player = gst_element_factory_make("playbin", nullptr);
    if (!player)
        return nullptr;
    const QByteArray uri = QUrl::fromLocalFile(QFileInfo(path).absoluteFilePath()).toEncoded();
    g_object_set(player, "uri", uri.constData(), nullptr);
    GstElement* noVideo = gst_element_factory_make("fakesink", nullptr);
    if (noVideo)
        g_object_set(player, "video-sink", noVideo, nullptr);
    return player;
}

GstElement* BeepPipeline() {
    // About a fifth of a second of a 750 Hz tone.
    return gst_parse_launch(
        "audiotestsrc wave=sine freq=750 volume=0.4 samplesperbuffer=441 num-buffers=20 "
        "! audio/x-raw,rate=44100 ! audioconvert ! audioresample ! autoaudiosink",
        nullptr);
}

void StartAsync(GstElement* pipeline) {
    if (!pipeline)
        return;
    StopCurrentSound();
    CurrentSound() = pipeline;
    GstBus* bus = gst_element_get_bus(pipeline);
    gst_bus_add_watch(bus, OnBusMessage, pipeline);
    gst_object_unref(bus);
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) == GST_STATE_CHANGE_FAILURE)
        StopCurrentSound();
}

void PlayToEnd(GstElement* pipeline) {
    if (!pipeline)
        return;
    StopCurrentSound();
    if (gst_element_set_state(pipeline, GST_STATE_PLAYING) != GST_STATE_CHANGE_FAILURE) {
        GstBus* bus = gst_element_get_bus(pipeline);
        GstMessage* end = gst_bus_timed_pop_filtered(
            bus, kLongestWaitNs, static_cast<GstMessageType>(GST_MESSAGE_EOS | GST_MESSAGE_ERROR));
        if (end)
            gst_message_unref(end);
        gst_object_unref(bus);
    }
    gst_element_set_state(pipeline, GST_STATE_NULL);
    gst_object_unref(pipeline);
}

bool Playable(const QString& path) {
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool HandledByTest(const QString& path, bool wait) {
    if (!TestHandler())
        return false;
    TestHandler()(SoundRequest{path, wait});
    return true;
}

}  // namespace

void PlayWaveAsync(const QString& path) {
    if (HandledByTest(path, false) || !Playable(path) || !GstreamerReady())
        return;
    StartAsync(FilePipeline(path));
}

void PlayWaveSync(const QString& path) {
    if (HandledByTest(path, true) || !Playable(path) || !GstreamerReady())
        return;
    PlayToEnd(FilePipeline(path));
}

void Beep() {
    if (HandledByTest(QString(), false) || !GstreamerReady())
        return;
    StartAsync(BeepPipeline());
}

void SetSoundHandlerForTests(std::function<void(const SoundRequest&)> handler) {
    TestHandler() = std::move(handler);
}

}  // namespace snapwire::ui
