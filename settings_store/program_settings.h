#pragma once

// Shorthand for the windows: one value below the program's own key
// HKEY_LOCAL_MACHINE "Software\Snapwire", read or written as text (REG_SZ)
// through a fresh cRegistry, as every window does it.

#include "settings_store/setting_value.h"

#include <QString>

namespace snapwire {

inline constexpr const char* kProgramKey = "Software\\Snapwire";

// kProgramKey, or kProgramKey + "\" + section ("My Account", "My Account\Font");
// an empty section is the program key itself.
QString ProgramSectionKey(const QString& section);

// The value's stored text; "" when the value or its key is missing.
QString ReadSetting(const QString& section, const QString& name);
// Writes the value's stored text form, creating missing keys. Raises RegistryError.
void WriteSetting(const QString& section, const QString& name, const SettingValue& value);
// Writes the text of a box, unless the value is there and already reads as that
// text: a value holding environment references ("ab%HOME%cd", or "%EMPTY%" for a
// variable set to nothing) reads expanded, and storing the expansion would replace
// the references. A missing value is written, also as an empty text.
void WriteBoxText(const QString& section, const QString& name, const QString& text);
// True when the value is stored as expandable text and reads as `text`: a box
// showing that text shows the stored references expanded, not an entry of the user's.
bool ReadsExpandedAs(const QString& section, const QString& name, const QString& text);

}  // namespace snapwire
