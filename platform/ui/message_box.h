#pragma once

// Message boxes and the input box, with the program's title. Tests answer them in
// advance (AnswerNextMessageBox / AnswerNextInputBox) and read what was shown, so
// no test ever blocks; a box shown in a test with no answer queued fails loudly
// (it returns the default button and records the miss) instead of waiting.

#include <QString>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

class QMessageBox;
class QWidget;

namespace snapwire::ui {

// Buttons, icons and default button, combined by addition as the program's texts give them.
enum MsgBoxStyle : int {
    vbOKOnly = 0,
    vbOKCancel = 1,
    vbAbortRetryIgnore = 2,
    vbYesNoCancel = 3,
    vbYesNo = 4,
    vbRetryCancel = 5,
    vbCritical = 16,
    vbQuestion = 32,
    vbExclamation = 48,
    vbInformation = 64,
    vbDefaultButton1 = 0,
    vbDefaultButton2 = 256,
    vbDefaultButton3 = 512,
};

// Which button closed the box.
enum MsgBoxResult : int {
    vbOK = 1,
    vbCancel = 2,
    vbAbort = 3,
    vbRetry = 4,
    vbIgnore = 5,
    vbYes = 6,
    vbNo = 7
};

inline constexpr const char* kProgramTitle = "Snapwire";

// Shows a modal message box. An empty title gives the program's title. A lone CR
// in the prompt is shown as a line break.
MsgBoxResult MsgBox(const QString& prompt, int style = vbOKOnly, const QString& title = QString());

// Shows the input box; nullopt when cancelled (an OK with an empty box gives "").
std::optional<QString> InputBox(const QString& prompt, const QString& title = QString(),
                                const QString& defaultText = QString());

// --- Test hooks -----------------------------------------------------------------
struct ShownBox {
    QString prompt;
    QString title;
    int style = 0;
    bool inputBox = false;
};
// Queues the answer for the next box shown (first in, first out). `whileOpen` runs
// before the box returns, as timer ticks and commands do while a real box is open.
void AnswerNextMessageBox(MsgBoxResult answer, std::function<void()> whileOpen = {});
void AnswerNextInputBox(std::optional<QString> answer);
// Boxes shown since the last ClearShownBoxes (with or without an answer queued).
const std::vector<ShownBox>& ShownBoxes();
void ClearShownBoxes();
// True while tests answer boxes: switched on by the first Answer... call or by
// SetAnsweringForTests(true), and always on the offscreen platform (where no one
// could press a button); then a box with no queued answer returns its default
// button (input box: cancelled) and is recorded as unanswered. The switch also
// covers the pickers of common_dialogs.h.
void SetAnsweringForTests(bool on);
int UnansweredBoxCount();
// Empties the answer queues and the record, clears the miss count and puts the
// answering switch back to the platform's default (between tests).
void ResetMessageBoxesForTests();

namespace detail {
// The pieces MsgBox puts together, open for tests of the real box.
QString LineBreaksForDisplay(const QString& text);  // lone CR and CR LF become LF
std::unique_ptr<QMessageBox> BuildMessageBox(const QString& prompt, int style, const QString& title,
                                             QWidget* parent);
MsgBoxResult DefaultButtonResult(int style);
MsgBoxResult ResultOfClosedBox(const QMessageBox& box, int style);
}  // namespace detail

}  // namespace snapwire::ui
