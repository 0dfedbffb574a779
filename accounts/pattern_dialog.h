#pragma once

// What the unique-filename and timestamp-format dialogs share: controls placed in
// twips on a fixed-size tool window, the Tahoma text of their controls, the token
// buttons that insert a date token into the pattern box at the caret, and the way
// their OK stores into the loaded account.

#include "settings_store/setting_value.h"

#include <QPushButton>
#include <QString>
#include <initializer_list>
#include <utility>
#include <vector>

class QLineEdit;
class QWidget;

namespace snapwire::accounts {

// Gives a fixed-size tool window its caption, its title bar without system menu
// buttons, its design client area and the text font of its controls (Tahoma
// 8.25 pt, ui::DesignFont).
void SetUpPatternDialog(QWidget* dialog, const QString& caption, int widthTwips, int heightTwips);

// Runs each button's click handler, a member of the dialog, when it is clicked.
template <class Dialog>
void ConnectClickHandlers(Dialog* dialog,
                          std::initializer_list<std::pair<QPushButton*, void (Dialog::*)()>> buttons) {
    for (const auto& [button, handler] : buttons)
        QObject::connect(button, &QPushButton::clicked, dialog,
                         [dialog, handler = handler] { (dialog->*handler)(); });
}

// A token button of the design size at column `column` (0 to 2) of a row of token
// buttons whose top is `rowTop` twips.
QPushButton* NewTokenButton(const char* caption, int column, int rowTop, QWidget* parent);

// Puts `token` into the box at the caret, in front of any selection (which is not
// replaced), gives the box the focus back and leaves the caret right after the
// token. The box's change signal runs; its edit signal (typing) does not.
void InsertToken(QLineEdit* box, const QString& token);

// What the dialogs' OK stores: the values, in their order, into the key of the
// account of the upload settings window's selected row. Without a selected row
// nothing is written (an empty name would address the program's own key); a
// failing write ends the writes quietly, and those made stay.
void WriteToSelectedAccount(const std::vector<std::pair<const char*, SettingValue>>& values);

}  // namespace snapwire::accounts
