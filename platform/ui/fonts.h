#pragma once

// The windows are laid out in twips for Tahoma 8.25 pt. Tahoma itself is rarely
// installed here, so the program brings in a face with Tahoma's metrics under that
// name, or else lets a condensed face stand in for it, and makes it the standard
// font of every window, so that captions fit their controls on any desktop.

#include <QFont>

namespace snapwire::ui {

// "Tahoma" at 8.25 pt.
QFont DesignFont();

// Makes the family "Tahoma" resolve to a face with Tahoma's metrics and DesignFont()
// the application's font. Call once the application object exists and before any
// window is made; later calls do nothing.
void UseDesignFonts();

}  // namespace snapwire::ui
