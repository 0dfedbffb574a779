#pragma once

// The one place the program reads the local date and time, so that tests can
// stand the clock still at a moment of their choosing.

#include <QDateTime>
#include <functional>

namespace snapwire {

class Clock {
  public:
    // The current local date and time, or the test clock's reading when one is set.
    static QDateTime Now();

    // Replaces the system clock; an empty function puts the system clock back.
    static void SetClockForTests(std::function<QDateTime()> source);
};

// Sets a test clock for the lifetime of the object and puts the system clock back
// afterwards, so a failing test cannot leave the clock stopped for the next one.
class ScopedClockForTests {
  public:
    explicit ScopedClockForTests(std::function<QDateTime()> source);
    explicit ScopedClockForTests(const QDateTime& fixedMoment);
    ~ScopedClockForTests();

    ScopedClockForTests(const ScopedClockForTests&) = delete;
    ScopedClockForTests& operator=(const ScopedClockForTests&) = delete;
};

}  // namespace snapwire
