#pragma once

// Check boxes and option buttons keep the values the settings store: 0 unticked,
// 1 ticked, 2 greyed. Qt's check states number these differently (partially
// checked is 1), so every window reads and sets them through these two.

#include <QCheckBox>
#include <QFocusEvent>

namespace snapwire::ui {

inline int CheckValue(const QCheckBox* box) {
    switch (box->checkState()) {
        case Qt::Checked:
            return 1;
        case Qt::PartiallyChecked:
            return 2;
        default:
            return 0;
    }
}

inline void SetCheckValue(QCheckBox* box, int value) {
    if (value == 2) {
        box->setTristate(true);
        box->setCheckState(Qt::PartiallyChecked);
    } else {
        box->setCheckState(value == 1 ? Qt::Checked : Qt::Unchecked);
    }
}

// Whether losing the focus means the user has left a box: a context menu or a switch
// to another window takes the focus for a moment only, while the user is still editing.
inline bool FocusLeavesControl(const QFocusEvent* focus) {
    return focus->reason() != Qt::PopupFocusReason && focus->reason() != Qt::ActiveWindowFocusReason;
}

}  // namespace snapwire::ui
