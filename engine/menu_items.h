#pragma once

// Building menus item by item as the windows are designed, and popup menus that
// tests can answer without a blocking menu loop.

#include <QPoint>
#include <QString>
#include <functional>

class QAction;
class QMenu;

namespace snapwire {

// Appends an item (caption "-" makes a separator) named `name`.
QAction* AddMenuItem(QMenu* menu, const QString& caption, const char* name);
// Appends an item with a check mark that only its handler changes, checked or not
// as the window is designed.
QAction* AddCheckItem(QMenu* menu, const QString& caption, const char* name, bool checked);
QMenu* AddSubMenu(QMenu* parent, const QString& caption, const char* name);

// Runs `handler` when the item is chosen.
void OnClick(QAction* item, std::function<void()> handler);

// Opens `menu` at `globalPos` and waits until it closes (the chosen item's
// handler runs during the wait). `defaultItem`, when given, is drawn bold.
void PopupMenu(QMenu* menu, const QPoint& globalPos, QAction* defaultItem = nullptr);
// Tests: instead of opening the menu, call `handler` with it (which may trigger
// an item, as a choice would, or do nothing, as a dismissed menu). Empty = real menu.
void SetPopupMenuHandlerForTests(std::function<void(QMenu*)> handler);

}  // namespace snapwire
