#pragma once

// Program-wide controls of the message loop.

#include <functional>

class QWidget;

namespace snapwire::ui {

// Lets queued events (timers, input, repaints) run, then returns: the program's
// fixed yield points.
void DoEvents();

// Ends the program at once, from wherever it is (also inside nested loops and modal
// windows): the settings hive is closed (every write is already durable), then the
// process exits without unwinding. Tests replace the ending with a handler of
// their own (which typically records the call and throws or returns). Since the
// program must not go on past its end, EndProgram throws ProgramEnded when the
// handler returns: a test catches it where it called the code under test.
[[noreturn]] void EndProgram(int exitCode = 0);
void SetEndProgramHandlerForTests(std::function<void(int)> handler);  // empty = real ending

struct ProgramEnded {
    int exitCode = 0;
};

// Makes a window ignore close requests and Escape and drop its close button, for
// dialogs that may only be left through their own buttons. hide(), and a dialog's
// accept()/reject()/done() called by its buttons, still close it.
void DisableCloseButton(QWidget* window);

// Topmost or not (log windows, last-picture window); a visible window stays visible.
void OnTop(QWidget* window);
void NOTOnTop(QWidget* window);

}  // namespace snapwire::ui
