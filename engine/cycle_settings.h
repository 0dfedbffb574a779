#pragma once

// What the upload cycle reads from the loaded account's controls (the upload
// settings window, the unique-filename and timestamp-format dialogs) and from the
// program options, gathered into the plain values that naming and composition take.

#include <QString>

#include "engine/file_naming.h"
#include "engine/picture_composition.h"

namespace snapwire::upload {

// The text of the selected row of the account list; "" when no row is selected.
QString CurrentAccountName();
NamingSettings CurrentNamingSettings();
PictureSettings CurrentPictureSettings();

}  // namespace snapwire::upload
