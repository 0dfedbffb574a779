#include "platform/ui/window_timers.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <functional>
#include <vector>

namespace snapwire::ui {
namespace {

// Runs the message loop until `done` holds; the deadline only keeps a broken
// timer from hanging the suite.
bool RunUntil(const std::function<bool()>& done) {
    QDeadlineTimer deadline(10000);
    while (!done() && !deadline.hasExpired())
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    return done();
}

void RunForAWhile(int ticksOfShortestTimer) {
    int ticks = 0;
    SetTimer(999, 0, [&](int) { ++ticks; });
    RunUntil([&] { return ticks >= ticksOfShortestTimer; });
    KillTimer(999);
}

class WindowTimersTest : public ::testing::Test {
  protected:
    void TearDown() override { KillAllTimers(); }
};

TEST_F(WindowTimersTest, FiresRepeatedlyWithItsId) {
    std::vector<int> ids;
    SetTimer(7, 0, [&](int id) { ids.push_back(id); });
    EXPECT_EQ(TimerInterval(7), 10);
    ASSERT_TRUE(RunUntil([&] { return ids.size() >= 2; }));
    EXPECT_EQ(ids[0], 7);
    EXPECT_EQ(ids[1], 7);
    EXPECT_TRUE(TimerRunning(7));
}

TEST_F(WindowTimersTest, SettingARunningIdReArmsItInsteadOfAddingOne) {
    int oldCalls = 0;
    int newCalls = 0;
    SetTimer(3, 5000, [&](int) { ++oldCalls; });
    SetTimer(3, 20, [&](int) { ++newCalls; });
    EXPECT_EQ(TimerInterval(3), 20);
    ASSERT_TRUE(RunUntil([&] { return newCalls >= 1; }));
    EXPECT_EQ(oldCalls, 0);
}

TEST_F(WindowTimersTest, IntervalsAreKeptBetweenTenMsAndTheCap) {
    SetTimer(1, 0, [](int) {});
    SetTimer(2, 9, [](int) {});
    SetTimer(3, 10000, [](int) {});
    SetTimer(4, 604800000, [](int) {});
    SetTimer(5, 5000000000LL, [](int) {});
    EXPECT_EQ(TimerInterval(1), 10);
    EXPECT_EQ(TimerInterval(2), 10);
    EXPECT_EQ(TimerInterval(3), 10000);
    EXPECT_EQ(TimerInterval(4), 604800000);
    EXPECT_EQ(TimerInterval(5), 2147483647);
}

TEST_F(WindowTimersTest, KillStopsOnlyARunningTimer) {
    EXPECT_FALSE(KillTimer(8));
    SetTimer(8, 60000, [](int) {});
    SetTimer(9, 60000, [](int) {});
    EXPECT_TRUE(KillTimer(8));
    EXPECT_FALSE(KillTimer(8));
    EXPECT_FALSE(TimerRunning(8));
    EXPECT_EQ(TimerInterval(8), -1);
    EXPECT_TRUE(TimerRunning(9));
    KillAllTimers();
    EXPECT_FALSE(TimerRunning(9));
}

TEST_F(WindowTimersTest, CallbackMayKillItsOwnTimer) {
    int calls = 0;
    SetTimer(5, 0, [&](int id) {
        ++calls;
        EXPECT_TRUE(KillTimer(id));
    });
    ASSERT_TRUE(RunUntil([&] { return calls == 1; }));
    RunForAWhile(5);
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(TimerRunning(5));
}

TEST_F(WindowTimersTest, CallbackMayReArmItselfAndKillOthers) {
    std::vector<std::string> calls;
    SetTimer(2, 3600000, [&](int) { calls.push_back("other"); });
    SetTimer(1, 0, [&](int id) {
        calls.push_back("first");
        KillTimer(2);
        SetTimer(id, 20, [&](int secondId) {
            calls.push_back("second");
            KillTimer(secondId);
        });
    });
    ASSERT_TRUE(RunUntil([&] { return calls.size() >= 2; }));
    EXPECT_EQ(calls, (std::vector<std::string>{"first", "second"}));
    EXPECT_FALSE(TimerRunning(1));
    EXPECT_FALSE(TimerRunning(2));
}

}  // namespace
}  // namespace snapwire::ui
