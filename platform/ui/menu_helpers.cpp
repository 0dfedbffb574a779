#include "platform/ui/menu_helpers.h"

#include <QAction>

namespace snapwire::ui {

void MakeCheckMarkCodeOnly(QAction* action) {
    action->setCheckable(true);
    QObject::connect(action, &QAction::triggered, action,
                     [action](bool invertedByQt) { action->setChecked(!invertedByQt); });
}

QAction* NewCheckMarkAction(const QString& text, QObject* parent) {
    auto* action = new QAction(text, parent);
    MakeCheckMarkCodeOnly(action);
    return action;
}

}  // namespace snapwire::ui
