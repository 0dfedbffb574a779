#include "platform/ui/app_control.h"

#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QWidget>
#include <cstdio>
#include <cstdlib>

#include "platform/registry/registry.h"

namespace snapwire::ui {

namespace {

constexpr const char* kCloseGuardName = "snapwireCloseGuard";

std::function<void(int)>& EndProgramHandler() {
    static std::function<void(int)> handler;
    return handler;
}

// Swallows every close request and the Escape key that would reject a dialog.
// A dialog's own done() still closes it: Qt lets that close through a filter of
// its own that runs before this one.
class CloseGuard : public QObject {
  public:
    explicit CloseGuard(QWidget* window) : QObject(window) { setObjectName(QLatin1String(kCloseGuardName)); }

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Close) {
            event->ignore();
            return true;
        }
        if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape)
            return true;
        return QObject::eventFilter(watched, event);
    }
};

// Changing a window's flags hides it; a visible window is shown again.
void ApplyWindowFlags(QWidget* window, Qt::WindowFlags flags) {
    if (window->windowFlags() == flags)
        return;
    const bool wasVisible = window->isVisible();
    window->setWindowFlags(flags);
    if (wasVisible)
        window->show();
}

// With CustomizeWindowHint Qt shows only the hints that are set, so the defaults
// a window would otherwise get are spelled out before one is taken away.
Qt::WindowFlags WithExplicitHints(QWidget* window) {
    Qt::WindowFlags flags = window->windowFlags();
    if (flags.testFlag(Qt::CustomizeWindowHint))
        return flags;
    flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint;
    if (window->windowType() == Qt::Window)
        flags |= Qt::WindowMinMaxButtonsHint;
    return flags;
}

void SetStaysOnTop(QWidget* window, bool onTop) {
    if (window == nullptr)
        return;
    Qt::WindowFlags flags = window->windowFlags();
    flags.setFlag(Qt::WindowStaysOnTopHint, onTop);
    ApplyWindowFlags(window, flags);
}

}  // namespace

void DoEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void EndProgram(int exitCode) {
    if (const std::function<void(int)> handler = EndProgramHandler()) {
        handler(exitCode);
        throw ProgramEnded{exitCode};
    }
    reg::CloseHive();
    std::fflush(nullptr);
    std::_Exit(exitCode);
}

void SetEndProgramHandlerForTests(std::function<void(int)> handler) {
    EndProgramHandler() = std::move(handler);
}

void DisableCloseButton(QWidget* window) {
    if (window == nullptr)
        return;
    ApplyWindowFlags(window, WithExplicitHints(window) & ~Qt::WindowCloseButtonHint);
    if (window->findChild<QObject*>(QLatin1String(kCloseGuardName), Qt::FindDirectChildrenOnly) == nullptr)
        window->installEventFilter(new CloseGuard(window));
}

void OnTop(QWidget* window) {
    SetStaysOnTop(window, true);
}

void NOTOnTop(QWidget* window) {
    SetStaysOnTop(window, false);
}

}  // namespace snapwire::ui
