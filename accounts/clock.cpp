#include "accounts/clock.h"

#include <utility>

namespace snapwire {

namespace {

std::function<QDateTime()>& TestClock() {
    static std::function<QDateTime()> source;
    return source;
}

}  // namespace

QDateTime Clock::Now() {
    const auto& source = TestClock();
    return source ? source() : QDateTime::currentDateTime();
}

void Clock::SetClockForTests(std::function<QDateTime()> source) {
    TestClock() = std::move(source);
}

ScopedClockForTests::ScopedClockForTests(std::function<QDateTime()> source) {
    Clock::SetClockForTests(std::move(source));
}

ScopedClockForTests::ScopedClockForTests(const QDateTime& fixedMoment)
    : ScopedClockForTests([fixedMoment] { return fixedMoment; }) {}

ScopedClockForTests::~ScopedClockForTests() {
    Clock::SetClockForTests({});
}

}  // namespace snapwire
