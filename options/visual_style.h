#pragma once

// The visual-style option lives in the program folder as one of two marker files,
// named after the program's file description "Snapwire.exe": "Snapwire.exe.manifest"
// (style on) or "Snapwire.exe.manifest.dis" (style off). The switch renames one into
// the other; the style itself is chosen once, at start-up, from the marker present.

#include <QString>

namespace snapwire::options {

inline constexpr const char* kFileDescription = "Snapwire.exe";

QString ActiveStyleMarker();    // program folder + "/Snapwire.exe.manifest"
QString InactiveStyleMarker();  // program folder + "/Snapwire.exe.manifest.dis"

enum class StyleSwitchResult {
    Renamed,    // the other marker now carries the wanted name
    Created,    // neither marker existed; the wanted one was made
    Unchanged,  // nothing could be renamed (the wanted marker is already there, or both are)
};

// Puts the marker for the wanted state in place.
StyleSwitchResult SwitchStyleMarker(bool styleOn);

// The Qt style the program uses for this run: "Fusion" with the active marker,
// "Windows" (the classic look) without it.
QString StyleNameForThisRun();

// Applies StyleNameForThisRun() to the application; call before any window exists.
void ApplyVisualStyleAtStartup();

}  // namespace snapwire::options
