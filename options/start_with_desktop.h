#pragma once

// Starting the program when the user logs in. The program keeps the classic Run
// value in its hive, and the desktop's own mechanism follows it: an XDG autostart
// entry in the user's autostart folder, created and removed with that value.

#include <QString>

namespace snapwire::options {

inline constexpr const char* kRunKey = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr const char* kRunValueName = "Snapwire";

// The Run value's data: the program folder and the fixed file name "Snapwire.exe"
// (not the name of the running file).
QString RunValueData();

// Ticked: writes the Run value and the autostart entry for `executable`.
// Clear: when the Run value holds something, deletes it and removes the entry;
// when it is absent or empty, touches nothing. Failures are silent.
void UpdateStartWithDesktop(bool autostart, const QString& executable);

// $XDG_CONFIG_HOME/autostart (default ~/.config/autostart) + "/snapwire.desktop".
QString AutostartEntryPath();

// The Exec line's value that starts `executable` with no arguments and with
// `programFolder` as its program folder ($SNAPWIRE_HOME): each part quoted and
// escaped as the Desktop Entry rules ask (reserved characters, "%", and the
// string-value escapes applied on top), so any folder name still starts.
QString DesktopExecValue(const QString& executable, const QString& programFolder);

// The entry starts `executable` with the program folder this run uses.
bool WriteAutostartEntry(const QString& executable);
void RemoveAutostartEntry();

}  // namespace snapwire::options
