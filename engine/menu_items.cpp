#include "engine/menu_items.h"

#include <QAction>
#include <QMenu>

#include "platform/ui/menu_helpers.h"

namespace snapwire {

namespace {

std::function<void(QMenu*)>& PopupHandlerForTests() {
    static std::function<void(QMenu*)> handler;
    return handler;
}

}  // namespace

QAction* AddMenuItem(QMenu* menu, const QString& caption, const char* name) {
    QAction* item = caption == QLatin1String("-") ? menu->addSeparator() : menu->addAction(caption);
    item->setObjectName(QString::fromLatin1(name));
    return item;
}

QAction* AddCheckItem(QMenu* menu, const QString& caption, const char* name, bool checked) {
    QAction* item = AddMenuItem(menu, caption, name);
    ui::MakeCheckMarkCodeOnly(item);
    item->setChecked(checked);
    return item;
}

QMenu* AddSubMenu(QMenu* parent, const QString& caption, const char* name) {
    QMenu* sub = parent->addMenu(caption);
    sub->setObjectName(QString::fromLatin1(name));
    sub->menuAction()->setObjectName(QString::fromLatin1(name));
    return sub;
}

void OnClick(QAction* item, std::function<void()> handler) {
    QObject::connect(item, &QAction::triggered, item, [handler = std::move(handler)] { handler(); });
}

void PopupMenu(QMenu* menu, const QPoint& globalPos, QAction* defaultItem) {
    if (defaultItem)
        menu->setDefaultAction(defaultItem);
    if (PopupHandlerForTests()) {
        PopupHandlerForTests()(menu);
        return;
    }
    menu->exec(globalPos);
}

void SetPopupMenuHandlerForTests(std::function<void(QMenu*)> handler) {
    PopupHandlerForTests() = std::move(handler);
}

}  // namespace snapwire
