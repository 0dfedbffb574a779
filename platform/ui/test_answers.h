#pragma once

// Shared by the message boxes and the pickers: whether boxes are answered from
// queues instead of waiting for a user, and the queues themselves.

#include <deque>
#include <optional>
#include <utility>

namespace snapwire::ui::detail {

// On when a test switched it on (or queued an answer), and on the offscreen
// platform, where nobody could ever answer a modal box.
bool AnsweringForTests();
void SwitchAnsweringOnForTests();
void ForgetAnsweringSwitchForTests();  // back to the platform's default

template <typename T>
class AnswerQueue {
  public:
    void Push(T answer) { answers_.push_back(std::move(answer)); }
    std::optional<T> Take() {
        if (answers_.empty())
            return std::nullopt;
        T answer = std::move(answers_.front());
        answers_.pop_front();
        return answer;
    }
    void Clear() { answers_.clear(); }

  private:
    std::deque<T> answers_;
};

}  // namespace snapwire::ui::detail
