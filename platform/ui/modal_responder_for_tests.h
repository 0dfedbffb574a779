#pragma once

// For tests of the real modal boxes: acts on the next modal window as soon as its
// own loop runs, so exec() returns without a user.

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QTimer>
#include <functional>

namespace snapwire::ui::testing {

inline QWidget* ShownModalWindow() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->isModal())
            return window;
    }
    return nullptr;
}

template <typename Window>
void RespondToNextModal(std::function<void(Window*)> respond) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, poll, [poll, respond] {
        auto* window = qobject_cast<Window*>(ShownModalWindow());
        if (window == nullptr)
            return;
        poll->stop();
        poll->deleteLater();
        respond(window);
    });
    poll->start(0);
}

inline void PressKey(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &release);
}

}  // namespace snapwire::ui::testing
