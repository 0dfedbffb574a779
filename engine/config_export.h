#pragma once

// The whole configuration as one registry-editor script in the program folder,
// for carrying the settings to another machine. The program never reads it back.

#include <QByteArray>
#include <QString>

namespace snapwire::config {

inline constexpr const char* kExportFileName = "SNConf.reg";

// The program's key with its values and three levels of keys below it; every value
// is written as a string value holding the text the settings store reads for it.
// CR LF line ends. Raises RegistryError when the hive cannot be read.
QByteArray ConfigurationScript();

// Replaces the file at `path` with the script, all at once, readable by its owner
// only. Empty on success, otherwise the reason it failed (the file is then left as
// it was).
QString ExportConfiguration(const QString& path);

// The closing message's last line: the command that imports the file at `path`,
// with the path quoted for the shell where it needs to be.
QString ImportInstruction(const QString& path);

}  // namespace snapwire::config
