#include "platform/ui/test_answers.h"

#include <QGuiApplication>

#include "platform/ui/message_box.h"

namespace snapwire::ui {

namespace {

std::optional<bool>& AnsweringSwitch() {
    static std::optional<bool> answering;
    return answering;
}

bool NobodyCanAnswer() {
    return QGuiApplication::platformName() == QLatin1String("offscreen");
}

}  // namespace

void SetAnsweringForTests(bool on) {
    AnsweringSwitch() = on;
}

namespace detail {

bool AnsweringForTests() {
    return AnsweringSwitch().value_or(NobodyCanAnswer());
}

void SwitchAnsweringOnForTests() {
    AnsweringSwitch() = true;
}

void ForgetAnsweringSwitchForTests() {
    AnsweringSwitch().reset();
}

}  // namespace detail

}  // namespace snapwire::ui
