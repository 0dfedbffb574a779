#pragma once

// The end of a movie capture as the main window reports it.

#include <QString>

namespace snapwire {
namespace capture {
struct CaptureStatus;
}

// "Capture completed!" and the frame size, frame counts and seconds of the
// recording, one per line (lines end in a lone CR); seconds in the user's number
// format. A movie without the sound asked for says so, and why, in a last line.
QString CaptureCompletedMessage(const capture::CaptureStatus& status, const QString& soundFailure = {});

}  // namespace snapwire
