#pragma once

// Numbered window timers with a callback, as the upload timers use them: setting a
// timer with an id that is running re-arms it (new interval and callback, counting
// starts again); an interval of 0 gives the shortest interval (10 ms, never a busy
// loop; anything below 10 ms does the same); intervals are capped at 2147483647 ms.
// Callbacks run from the message loop and may set or kill any timer, their own too.

#include <cstdint>
#include <functional>

namespace snapwire::ui {

using TimerCallback = std::function<void(int id)>;

void SetTimer(int id, std::int64_t intervalMs, TimerCallback callback);
bool KillTimer(int id);  // false when no such timer runs
bool TimerRunning(int id);
std::int64_t TimerInterval(int id);  // -1 when no such timer runs
void KillAllTimers();

}  // namespace snapwire::ui
