#include "platform/ui/message_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QInputDialog>
#include <QKeyEvent>
#include <QMessageBox>
#include <QPushButton>
#include <QtGlobal>
#include <algorithm>

#include "platform/ui/test_answers.h"

namespace snapwire::ui {

namespace {

constexpr int kButtonsMask = 0x0F;
constexpr int kIconMask = 0x70;
constexpr int kDefaultButtonMask = 0x300;
constexpr const char* kResultProperty = "snapwireBoxResult";
constexpr std::size_t kMaxRecordedBoxes = 1000;

struct MessageAnswer {
    MsgBoxResult result;
    std::function<void()> whileOpen;
};

struct BoxState {
    detail::AnswerQueue<MessageAnswer> messageAnswers;
    detail::AnswerQueue<std::optional<QString>> inputAnswers;
    std::vector<ShownBox> shown;
    int unanswered = 0;
};

BoxState& State() {
    static BoxState state;
    return state;
}

std::vector<MsgBoxResult> ButtonsOfStyle(int style) {
    switch (style & kButtonsMask) {
        case vbOKCancel:
            return {vbOK, vbCancel};
        case vbAbortRetryIgnore:
            return {vbAbort, vbRetry, vbIgnore};
        case vbYesNoCancel:
            return {vbYes, vbNo, vbCancel};
        case vbYesNo:
            return {vbYes, vbNo};
        case vbRetryCancel:
            return {vbRetry, vbCancel};
        default:
            return {vbOK};
    }
}

// The button Escape (and the title bar's close) stands for; none for
// Abort/Retry/Ignore, which must be answered with a button.
std::optional<MsgBoxResult> EscapeResultOfStyle(int style) {
    const std::vector<MsgBoxResult> buttons = ButtonsOfStyle(style);
    if (buttons.size() == 1)
        return buttons.front();
    for (MsgBoxResult candidate : {vbCancel, vbNo}) {
        if (std::find(buttons.begin(), buttons.end(), candidate) != buttons.end())
            return candidate;
    }
    return std::nullopt;
}

QMessageBox::Icon IconOfStyle(int style) {
    switch (style & kIconMask) {
        case vbCritical:
            return QMessageBox::Critical;
        case vbQuestion:
            return QMessageBox::Question;
        case vbExclamation:
            return QMessageBox::Warning;
        case vbInformation:
            return QMessageBox::Information;
        default:
            return QMessageBox::NoIcon;
    }
}

QMessageBox::StandardButton StandardButtonOf(MsgBoxResult result) {
    switch (result) {
        case vbCancel:
            return QMessageBox::Cancel;
        case vbAbort:
            return QMessageBox::Abort;
        case vbRetry:
            return QMessageBox::Retry;
        case vbIgnore:
            return QMessageBox::Ignore;
        case vbYes:
            return QMessageBox::Yes;
        case vbNo:
            return QMessageBox::No;
        case vbOK:
            break;
    }
    return QMessageBox::Ok;
}

QString TitleOrProgramTitle(const QString& title) {
    return title.isEmpty() ? QString::fromLatin1(kProgramTitle) : title;
}

QWidget* OwnerWindow() {
    if (QWidget* modal = QApplication::activeModalWidget())
        return modal;
    return QApplication::activeWindow();
}

void Record(ShownBox box) {
    std::vector<ShownBox>& shown = State().shown;
    if (shown.size() >= kMaxRecordedBoxes)
        shown.erase(shown.begin());
    shown.push_back(std::move(box));
}

void CountMiss(const QString& prompt) {
    ++State().unanswered;
    qWarning("Unanswered box in a test: \"%s\"", qUtf8Printable(prompt));
}

// Leaves a box that has no escape button only through its buttons.
class StyledMessageBox : public QMessageBox {
  public:
    StyledMessageBox(bool escapable, QWidget* parent) : QMessageBox(parent), escapable_(escapable) {}

  protected:
    void keyPressEvent(QKeyEvent* event) override {
        if (!escapable_ && event->matches(QKeySequence::Cancel))
            return;
        QMessageBox::keyPressEvent(event);
    }
    void closeEvent(QCloseEvent* event) override {
        if (!escapable_) {
            event->ignore();
            return;
        }
        QMessageBox::closeEvent(event);
    }

  private:
    bool escapable_;
};

}  // namespace

namespace detail {

QString LineBreaksForDisplay(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

std::unique_ptr<QMessageBox> BuildMessageBox(const QString& prompt, int style, const QString& title,
                                             QWidget* parent) {
    const std::optional<MsgBoxResult> escapeResult = EscapeResultOfStyle(style);
    auto box = std::make_unique<StyledMessageBox>(escapeResult.has_value(), parent);
    box->setWindowTitle(TitleOrProgramTitle(title));
    box->setTextFormat(Qt::PlainText);
    box->setText(LineBreaksForDisplay(prompt));
    box->setIcon(IconOfStyle(style));
    const MsgBoxResult defaultResult = DefaultButtonResult(style);
    for (MsgBoxResult result : ButtonsOfStyle(style)) {
        QPushButton* button = box->addButton(StandardButtonOf(result));
        button->setProperty(kResultProperty, static_cast<int>(result));
        if (result == defaultResult)
            box->setDefaultButton(button);
        if (escapeResult == result)
            box->setEscapeButton(button);
    }
    return box;
}

MsgBoxResult DefaultButtonResult(int style) {
    const std::vector<MsgBoxResult> buttons = ButtonsOfStyle(style);
    const std::size_t index = static_cast<std::size_t>((style & kDefaultButtonMask) / vbDefaultButton2);
    return index < buttons.size() ? buttons[index] : buttons.front();
}

MsgBoxResult ResultOfClosedBox(const QMessageBox& box, int style) {
    if (const QAbstractButton* clicked = box.clickedButton()) {
        const QVariant result = clicked->property(kResultProperty);
        if (result.isValid())
            return static_cast<MsgBoxResult>(result.toInt());
    }
    return EscapeResultOfStyle(style).value_or(DefaultButtonResult(style));
}

}  // namespace detail

MsgBoxResult MsgBox(const QString& prompt, int style, const QString& title) {
    Record({prompt, TitleOrProgramTitle(title), style, false});
    if (detail::AnsweringForTests()) {
        if (std::optional<MessageAnswer> answer = State().messageAnswers.Take()) {
            if (answer->whileOpen)
                answer->whileOpen();
            return answer->result;
        }
        CountMiss(prompt);
        return detail::DefaultButtonResult(style);
    }
    std::unique_ptr<QMessageBox> box = detail::BuildMessageBox(prompt, style, title, OwnerWindow());
    box->exec();
    return detail::ResultOfClosedBox(*box, style);
}

std::optional<QString> InputBox(const QString& prompt, const QString& title, const QString& defaultText) {
    Record({prompt, TitleOrProgramTitle(title), vbOKCancel, true});
    if (detail::AnsweringForTests()) {
        if (std::optional<std::optional<QString>> answer = State().inputAnswers.Take())
            return *answer;
        CountMiss(prompt);
        return std::nullopt;
    }
    QInputDialog dialog(OwnerWindow());
    dialog.setWindowTitle(TitleOrProgramTitle(title));
    dialog.setLabelText(detail::LineBreaksForDisplay(prompt));
    dialog.setTextValue(defaultText);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

void AnswerNextMessageBox(MsgBoxResult answer, std::function<void()> whileOpen) {
    detail::SwitchAnsweringOnForTests();
    State().messageAnswers.Push({answer, std::move(whileOpen)});
}

void AnswerNextInputBox(std::optional<QString> answer) {
    detail::SwitchAnsweringOnForTests();
    State().inputAnswers.Push(std::move(answer));
}

const std::vector<ShownBox>& ShownBoxes() {
    return State().shown;
}

void ClearShownBoxes() {
    State().shown.clear();
}

int UnansweredBoxCount() {
    return State().unanswered;
}

void ResetMessageBoxesForTests() {
    BoxState& state = State();
    state.messageAnswers.Clear();
    state.inputAnswers.Clear();
    state.shown.clear();
    state.unanswered = 0;
    detail::ForgetAnsweringSwitchForTests();
}

}  // namespace snapwire::ui
