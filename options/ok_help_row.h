#pragma once

// The row of OK and Help buttons at the foot of the options dialogs.

class QHBoxLayout;
class QPushButton;
class QWidget;

namespace snapwire {

struct OkHelpRow {
    QPushButton* ok = nullptr;  // the default button
    QPushButton* help = nullptr;
    QHBoxLayout* layout = nullptr;  // the two buttons at its right end
};

// Makes the dialog's "&OK" and "&Help" buttons, in that tab order, and the row that
// holds them; the caller adds the row below the dialog's content.
OkHelpRow NewOkHelpRow(QWidget* dialog);

}  // namespace snapwire
