#include "engine/upload_rules.h"

#include <gtest/gtest.h>

#include <QLocale>

namespace snapwire::upload {
namespace {

TEST(TimerIntervalTest, SecondsBecomeMillisecondsWithHalvesToEven) {
    EXPECT_EQ(TimerIntervalMs(QStringLiteral("10")), 10000);
    EXPECT_EQ(TimerIntervalMs(QStringLiteral("604800")), 604800000);
    EXPECT_EQ(TimerIntervalMs(QStringLiteral("0")), 0);
    EXPECT_EQ(TimerIntervalMs(QStringLiteral("0.0025")), 2);  // 2.5 ms: to the even neighbour
    EXPECT_EQ(TimerIntervalMs(QStringLiteral("0.0035")), 4);
    EXPECT_EQ(TimerIntervalMs(QStringLiteral("2147483.647")), 2147483647);
}

TEST(TimerIntervalTest, NoTimerForNoNumberNegativeOrTooLong) {
    EXPECT_FALSE(TimerIntervalMs(QString()).has_value());  // "Never"
    EXPECT_FALSE(TimerIntervalMs(QStringLiteral("ten")).has_value());
    EXPECT_FALSE(TimerIntervalMs(QStringLiteral("-5")).has_value());
    EXPECT_FALSE(TimerIntervalMs(QStringLiteral("2147483.648")).has_value());
    EXPECT_FALSE(TimerIntervalMs(QStringLiteral("99999999999")).has_value());
}

TEST(ScheduleStatusTest, EachIntervalKindHasItsText) {
    EXPECT_EQ(ScheduleStatusText(QStringLiteral("Week"), 604800000, QStringLiteral("604800")),
              QStringLiteral("Upload every Week"));
    EXPECT_EQ(ScheduleStatusText(QStringLiteral("Custom"), kCustomInterval, QStringLiteral("1")),
              QStringLiteral("Upload every 1 second"));
    EXPECT_EQ(ScheduleStatusText(QStringLiteral("Custom"), kCustomInterval, QStringLiteral("2")),
              QStringLiteral("Upload every 2 seconds"));
    EXPECT_EQ(ScheduleStatusText(QStringLiteral("Never"), kNeverInterval, QString()),
              QStringLiteral("Click 'Upload now' to upload"));
    EXPECT_EQ(ScheduleStatusText(QStringLiteral("Constantly"), kConstantInterval, QStringLiteral("0")),
              QStringLiteral("Upload constantly"));
}

TEST(ScheduleStatusTest, WithoutASelectedEntryOnlyTheLabelRulesApply) {
    EXPECT_EQ(ScheduleStatusText(QString(), std::nullopt, QStringLiteral("5")),
              QStringLiteral("Upload every "));
}

TEST(DateWindowTest, FirstAndLastDayPass) {
    const QDate today(2034, 6, 22);
    const QDateTime first(today, QTime(0, 0));
    EXPECT_TRUE(DateWindowAllows(first, first, today));
    EXPECT_TRUE(DateWindowAllows(first.addDays(-3), first.addDays(3), today));
    EXPECT_FALSE(DateWindowAllows(first.addDays(1), first.addDays(3), today));
    EXPECT_FALSE(DateWindowAllows(first.addDays(-3), first.addDays(-1), today));
}

TEST(DateWindowTest, AFromValueWithATimeOfDayRefusesItsOwnDay) {
    const QDate today(2034, 6, 22);
    EXPECT_FALSE(DateWindowAllows(QDateTime(today, QTime(0, 0, 1)), QDateTime(today, QTime(0, 0)), today));
}

TEST(TimeWindowTest, EqualStartAndEndLetEveryTimePass) {
    const QTime eight(8, 0, 0);
    for (const QTime now : {QTime(0, 0), eight, QTime(23, 59, 59)})
        EXPECT_TRUE(TimeWindowAllows(eight, eight, now));
}

TEST(TimeWindowTest, TheEdgeSecondsAreRefused) {
    const QTime start(8, 30, 15);
    const QTime end(17, 45, 30);
    EXPECT_FALSE(TimeWindowAllows(start, end, start));
    EXPECT_FALSE(TimeWindowAllows(start, end, QTime(8, 30, 15, 999)));  // still the start second
    EXPECT_TRUE(TimeWindowAllows(start, end, QTime(8, 30, 16)));
    EXPECT_TRUE(TimeWindowAllows(start, end, QTime(17, 45, 29, 999)));
    EXPECT_FALSE(TimeWindowAllows(start, end, end));
    EXPECT_FALSE(TimeWindowAllows(start, end, QTime(8, 29, 59)));
    EXPECT_FALSE(TimeWindowAllows(start, end, QTime(17, 46, 0)));
}

TEST(TimeWindowTest, FieldsAreComparedInOrderNotOneByOne) {
    // 09:10:05 is after 08:30:15 although its minute and second are smaller.
    EXPECT_TRUE(TimeWindowAllows(QTime(8, 30, 15), QTime(17, 0, 0), QTime(9, 10, 5)));
    EXPECT_TRUE(TimeWindowAllows(QTime(8, 30, 15), QTime(17, 0, 0), QTime(16, 59, 59)));
}

TEST(TimeWindowTest, AWindowPastMidnightRefusesEverything) {
    for (const QTime now : {QTime(23, 0), QTime(2, 0), QTime(12, 0)})
        EXPECT_FALSE(TimeWindowAllows(QTime(22, 0), QTime(6, 0), now));
}

TEST(WarningWaitTest, DecimalSecondsOrNoWait) {
    EXPECT_EQ(WarningWait(QStringLiteral("2")), std::chrono::milliseconds(2000));
    EXPECT_EQ(WarningWait(QLocale().toString(0.25)), std::chrono::milliseconds(250));
    EXPECT_FALSE(WarningWait(QStringLiteral("soon")).has_value());
    EXPECT_FALSE(WarningWait(QStringLiteral("0")).has_value());
    EXPECT_FALSE(WarningWait(QStringLiteral("-1")).has_value());
}

TEST(UploadCountTest, CountsToTheLimitThenStartsAgainAtOne) {
    EXPECT_EQ(NextUploadCount(0), 1);
    EXPECT_EQ(NextUploadCount(9999998), 9999999);
    EXPECT_EQ(NextUploadCount(9999999), 1);
}

TEST(UploadCountTest, CloseAfterN) {
    EXPECT_FALSE(CloseAfterReached(true, QStringLiteral("3"), 2));
    EXPECT_TRUE(CloseAfterReached(true, QStringLiteral("3"), 3));
    EXPECT_TRUE(CloseAfterReached(true, QStringLiteral("3"), 4));
    EXPECT_FALSE(CloseAfterReached(false, QStringLiteral("3"), 3));
    EXPECT_FALSE(CloseAfterReached(true, QStringLiteral("0"), 5));
    EXPECT_FALSE(CloseAfterReached(true, QStringLiteral("many"), 5));
}

}  // namespace
}  // namespace snapwire::upload
