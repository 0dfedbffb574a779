#include "engine/main_toolbar.h"

#include <QMenu>
#include <QMouseEvent>
#include <QStyle>
#include <QToolButton>

namespace snapwire {

namespace {

QIcon StandardIcon(QWidget* widget, QStyle::StandardPixmap pixmap) {
    return widget->style()->standardIcon(pixmap, nullptr, widget);
}

int MouseButtonMask(Qt::MouseButton button) {
    switch (button) {
        case Qt::LeftButton:
            return 1;
        case Qt::RightButton:
            return 2;
        case Qt::MiddleButton:
            return 4;
        default:
            return 0;
    }
}

}  // namespace

MainToolbar::MainToolbar(QWidget* parent) : QToolBar(parent) {
    setObjectName(QStringLiteral("Toolbar1"));
    setMovable(false);
    setFloatable(false);
    setFixedHeight(kHeight);
    setIconSize(QSize(16, 16));
    // The right button opens the window's own popup, never Qt's toolbar menu.
    setContextMenuPolicy(Qt::PreventContextMenu);

    AddButton(QStringLiteral("Save Image Capture"), QStringLiteral("Capture Image..."),
              StandardIcon(this, QStyle::SP_DialogSaveButton));
    AddButton(QStringLiteral("Save Motion Image Capture"), QStringLiteral("Capture Movie..."),
              StandardIcon(this, QStyle::SP_MediaPlay));
    AddSeparatorButton();
    AddButton(QStringLiteral("Upload now"), QStringLiteral("Upload Now"),
              StandardIcon(this, QStyle::SP_ArrowUp));
    QAction* motion = AddButton(QStringLiteral("Motion Detection"), QStringLiteral("Motion Detection"),
                                StandardIcon(this, QStyle::SP_BrowserReload));
    motion->setCheckable(true);
    AddSeparatorButton();
    AddButton(QStringLiteral("FTP"), QStringLiteral("Upload Settings..."),
              StandardIcon(this, QStyle::SP_DriveNetIcon));
    AddButton(QStringLiteral("ProgConf"), QStringLiteral("Program Configuration..."),
              StandardIcon(this, QStyle::SP_FileDialogDetailedView));
    QAction* camera = AddButton(QStringLiteral("Camera"), QStringLiteral("Camera (Source)..."),
                                QIcon(QStringLiteral(":/snapwire/camera.svg")));
    AddCameraDropDown(camera);
    AddSeparatorButton();
    AddButton(QStringLiteral("his"), QStringLiteral("Hide in Systray"),
              StandardIcon(this, QStyle::SP_TitleBarMinButton));
}

QAction* MainToolbar::AddButton(const QString& key, const QString& tooltip, const QIcon& icon) {
    QAction* button = addAction(icon, QString());
    button->setData(key);
    button->setToolTip(tooltip);
    connect(button, &QAction::triggered, this, [this, button] { Q_EMIT ButtonClick(button); });
    buttons_.push_back(button);
    return button;
}

QAction* MainToolbar::AddSeparatorButton() {
    QAction* separator = addSeparator();
    buttons_.push_back(separator);
    return separator;
}

void MainToolbar::AddCameraDropDown(QAction* camera) {
    cameraMenu_ = new QMenu(this);
    const std::pair<const char*, const char*> items[] = {{"Driver...", "Driver"},
                                                         {"-", "Separator"},
                                                         {"Source", "Source"},
                                                         {"Format...", "Format"},
                                                         {"Display...", "Display"}};
    for (const auto& [text, key] : items) {
        QAction* item = QString::fromLatin1(text) == QLatin1String("-")
                            ? cameraMenu_->addSeparator()
                            : cameraMenu_->addAction(QString::fromLatin1(text));
        item->setData(QString::fromLatin1(key));
        connect(item, &QAction::triggered, this, [this, item] { Q_EMIT ButtonMenuClick(item); });
    }
    camera->setMenu(cameraMenu_);
    if (auto* button = qobject_cast<QToolButton*>(widgetForAction(camera)))
        button->setPopupMode(QToolButton::MenuButtonPopup);
}

QAction* MainToolbar::Buttons(int index) const {
    if (index < 1 || index > static_cast<int>(buttons_.size()))
        return nullptr;
    return buttons_[static_cast<size_t>(index - 1)];
}

QAction* MainToolbar::ButtonByKey(const QString& key) const {
    for (QAction* button : buttons_)
        if (!button->isSeparator() && Key(button) == key)
            return button;
    return nullptr;
}

QString MainToolbar::Key(const QAction* buttonOrMenuItem) {
    return buttonOrMenuItem ? buttonOrMenuItem->data().toString() : QString();
}

QAction* MainToolbar::ButtonMenuByKey(const QString& key) const {
    for (QAction* item : cameraMenu_->actions())
        if (Key(item) == key)
            return item;
    return nullptr;
}

bool MainToolbar::ButtonVisible(int index) const {
    const QAction* button = Buttons(index);
    return button && button->isVisible();
}

void MainToolbar::SetButtonVisible(int index, bool visible) {
    if (QAction* button = Buttons(index))
        button->setVisible(visible);
}

void MainToolbar::mousePressEvent(QMouseEvent* event) {
    QToolBar::mousePressEvent(event);
    if (const int mask = MouseButtonMask(event->button()))
        Q_EMIT MouseDown(mask);
}

}  // namespace snapwire
