#pragma once

// Short sounds: a wave file or the warning beep, played through GStreamer on
// whatever audio output the machine has. A file that is missing or cannot be
// played, or a machine without sound, plays nothing and reports nothing.

#include <QString>
#include <functional>

namespace snapwire::ui {

// Starts playing the file and returns at once; a sound still playing stops first.
void PlayWaveAsync(const QString& path);
// Plays the file to its end (or until it fails), then returns.
void PlayWaveSync(const QString& path);
// A short tone of our own, started without waiting for it.
void Beep();

// --- Test hook -------------------------------------------------------------------
// While set, sounds are reported here instead of played: the file path, or an
// empty text for the beep, and whether the caller waits for the end.
struct SoundRequest {
    QString path;
    bool wait = false;
};
void SetSoundHandlerForTests(std::function<void(const SoundRequest&)> handler);  // empty = play

}  // namespace snapwire::ui
