#pragma once

#include <QString>

namespace snapwire::platform {

// The per-user folder that holds the program's working files, logs, exported
// configuration and the settings hive. $SNAPWIRE_HOME overrides it (tests always
// set it); otherwise $XDG_DATA_HOME/snapwire, or ~/.local/share/snapwire.
// The folder is created when missing, open to its owner only (0700). The
// returned path has no trailing "/".
QString ProgramFolder();

// ProgramFolder() + "/" + name.
QString ProgramFile(const QString& name);

}  // namespace snapwire::platform
