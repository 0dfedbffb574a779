#include "platform/ui/window_timers.h"

#include <QTimer>
#include <algorithm>
#include <map>
#include <memory>

namespace snapwire::ui {

namespace {

constexpr std::int64_t kShortestIntervalMs = 10;
constexpr std::int64_t kLongestIntervalMs = 2147483647;

// A timer object stays with its id once made and is only stopped by KillTimer, so
// a callback can kill or re-arm any timer, its own included, while it runs.
struct NumberedTimer {
    std::unique_ptr<QTimer> timer;
    TimerCallback callback;
};

std::map<int, NumberedTimer>& Timers() {
    static auto* timers = new std::map<int, NumberedTimer>;
    return *timers;
}

void Fire(int id) {
    const auto found = Timers().find(id);
    if (found == Timers().end())
        return;
    const TimerCallback callback = found->second.callback;  // a copy: the callback may replace itself
    if (callback)
        callback(id);
}

NumberedTimer& TimerFor(int id) {
    NumberedTimer& numbered = Timers()[id];
    if (!numbered.timer) {
        numbered.timer = std::make_unique<QTimer>();
        numbered.timer->setTimerType(Qt::PreciseTimer);
        QObject::connect(numbered.timer.get(), &QTimer::timeout, [id] { Fire(id); });
    }
    return numbered;
}

const NumberedTimer* RunningTimer(int id) {
    const auto found = Timers().find(id);
    if (found == Timers().end() || !found->second.timer->isActive())
        return nullptr;
    return &found->second;
}

}  // namespace

void SetTimer(int id, std::int64_t intervalMs, TimerCallback callback) {
    NumberedTimer& numbered = TimerFor(id);
    numbered.callback = std::move(callback);
    numbered.timer->start(static_cast<int>(std::clamp(intervalMs, kShortestIntervalMs, kLongestIntervalMs)));
}

bool KillTimer(int id) {
    const auto found = Timers().find(id);
    if (found == Timers().end() || !found->second.timer->isActive())
        return false;
    found->second.timer->stop();
    found->second.callback = nullptr;
    return true;
}

bool TimerRunning(int id) {
    return RunningTimer(id) != nullptr;
}

std::int64_t TimerInterval(int id) {
    const NumberedTimer* numbered = RunningTimer(id);
    return numbered ? numbered->timer->interval() : -1;
}

void KillAllTimers() {
    for (auto& [id, numbered] : Timers()) {
        numbered.timer->stop();
        numbered.callback = nullptr;
    }
}

}  // namespace snapwire::ui
