#pragma once

#include <QString>

namespace snapwire {

// A version as the program shows it: major, minor and revision in plain decimal
// (no leading zeros) joined by ".", e.g. "4.0.6".
QString VersionText(int major, int minor, int revision);

// The version of this build of the program.
QString ProgramVersionText();

}  // namespace snapwire
