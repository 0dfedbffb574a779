#pragma once

// Menu and toolbar items whose check mark only code changes.
//
// Qt's checkable actions invert their own check mark before the triggered
// handlers run, while the program's handlers invert it themselves
// (`mnuX->setChecked(!mnuX->isChecked())`) or decide from the mark as it was.
// An item made with MakeCheckMarkCodeOnly keeps its mark on a user's trigger:
// handlers connected to `triggered` see the mark as it stood and set it as they
// see fit. Connect handlers to `triggered`, not to `toggled` (Qt's own inversion
// and its undoing both pass through `toggled`). Not for items of an exclusive
// QActionGroup, whose checked item Qt never inverts.

class QAction;
class QObject;
class QString;

namespace snapwire::ui {

// Makes `action` checkable with a code-only check mark. Call it before connecting
// any handler to `triggered`, so the undoing runs first.
void MakeCheckMarkCodeOnly(QAction* action);

// A new action with a code-only check mark, owned by `parent`.
QAction* NewCheckMarkAction(const QString& text, QObject* parent);

}  // namespace snapwire::ui
