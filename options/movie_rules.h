#pragma once

// The rules of the movie dialogs that need no window: the sound format made of the
// audio choices, the stored frame rate, and the texts the capture dialog shows.

#include "platform/capture/capture_control.h"

#include <QString>

namespace snapwire::options {

// The PCM format for the capture control: one or two channels, 8 or 16 bits, and
// the leading number of `frequencyText` (0 when there is none) as samples a second,
// halves rounded to the even neighbour. Throws std::out_of_range when a field does
// not fit the control's 32-bit values; what the control accepts is its own rule.
capture::SoundFormat PcmSoundFormat(bool mono, bool eightBits, const QString& frequencyText);

// The stored "FrameRate" as the slider takes it: 30 when absent or 0, otherwise
// within 1 .. 100.
int StoredFrameRate(const QString& stored);

// The label after the seconds box: singular only for exactly "1".
QString SecondsCaption(const QString& secondsText);

// The question asked before an existing movie file is overwritten.
QString OverwriteQuestion(const QString& path);

}  // namespace snapwire::options
