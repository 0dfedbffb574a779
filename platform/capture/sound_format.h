#pragma once

// Which PCM sound formats a movie can carry, and what a given one becomes.

#include <QString>

#include "platform/capture/capture_control.h"

namespace snapwire::capture {

inline constexpr int kMinimumSampleRate = 1000;  // what the AVI writer accepts
inline constexpr int kMaximumSampleRate = 96000;

// The format that will be recorded for the one asked for: block align and bytes a
// second follow from the channels, bits and rate. Throws CaptureError (number
// kErrorInvalidValue) for anything but PCM with 1 or 2 channels, 8 or 16 bits and a
// rate the movie file can hold.
SoundFormat CheckedSoundFormat(const SoundFormat& asked);

// GStreamer caps for the format, e.g. "audio/x-raw,format=S16LE,rate=44100,channels=2,layout=interleaved".
QString SoundCaps(const SoundFormat& format);

}  // namespace snapwire::capture
