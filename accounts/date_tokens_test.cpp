#include "accounts/date_tokens.h"

#include <gtest/gtest.h>

#include <QLocale>
#include <vector>

#include "accounts/clock.h"
#include "testsupport/default_locale.h"

namespace snapwire::accounts {
namespace {

// Wednesday, 22 June 2005, 14:30:05.
const QDateTime kJuneAfternoon(QDate(2005, 6, 22), QTime(14, 30, 5));
// Sunday, 1 February 2009, 03:04:05: every field a single digit.
const QDateTime kSingleDigits(QDate(2009, 2, 1), QTime(3, 4, 5));
// Monday, 28 December 2026, 23:59:58: every field two digits.
const QDateTime kDoubleDigits(QDate(2026, 12, 28), QTime(23, 59, 58));

struct Case {
    const char* pattern;
    QDateTime moment;
    const char* expected;
};

std::string Describe(const Case& c) {
    return std::string(c.pattern) + " at " + c.moment.toString(Qt::ISODate).toStdString();
}

// Date and time tokens mean the same in file names and in timestamps.
void ExpectSameExpansionInEitherKind(const Case& c) {
    SCOPED_TRACE(Describe(c));
    for (PatternKind kind : {PatternKind::Timestamp, PatternKind::FileName})
        EXPECT_EQ(ExpandDateTokens(c.pattern, c.moment, kind, "webcam"), c.expected);
}

// Locale-dependent tests set the default locale; every test puts the old one back.
class DateTokensTest : public testing::LocaleTest {};

TEST_F(DateTokensTest, EveryTokenAtSingleAndDoubleDigitValuesWhateverTheLocale) {
    const std::vector<Case> cases = {
        {"%YYYY", kSingleDigits, "2009"},
        {"%YYYY", kDoubleDigits, "2026"},
        {"%YY", kSingleDigits, "09"},
        {"%YY", kDoubleDigits, "26"},
        {"%Y", kSingleDigits, "2009"},
        {"%Y", kDoubleDigits, "2026"},
        {"%TT", kSingleDigits, "02"},
        {"%TT", kDoubleDigits, "12"},
        {"%T", kSingleDigits, "2"},
        {"%T", kDoubleDigits, "12"},
        {"%DD", kSingleDigits, "01"},
        {"%DD", kDoubleDigits, "28"},
        {"%D", kSingleDigits, "1"},
        {"%D", kDoubleDigits, "28"},
        {"%HH", kSingleDigits, "03"},
        {"%HH", kDoubleDigits, "23"},
        {"%H", kSingleDigits, "3"},
        {"%H", kDoubleDigits, "23"},
        {"%MM", kSingleDigits, "04"},
        {"%MM", kDoubleDigits, "59"},
        {"%M", kSingleDigits, "4"},
        {"%M", kDoubleDigits, "59"},
        {"%SS", kSingleDigits, "05"},
        {"%SS", kDoubleDigits, "58"},
        {"%S", kSingleDigits, "5"},
        {"%S", kDoubleDigits, "58"},
        {"%W", kSingleDigits, "Sunday"},
        {"%W", kDoubleDigits, "Monday"},
        {"%A", kSingleDigits, "AM"},
        {"%A", kDoubleDigits, "PM"},
        {"%YYYY-%TT-%DD %HH:%MM:%SS", kSingleDigits, "2009-02-01 03:04:05"},
        {"%Y-%T-%D %H:%M:%S", kSingleDigits, "2009-2-1 3:4:5"},
    };
    for (const char* locale : {"en_US", "de_DE"}) {
        UseLocale(locale);
        SCOPED_TRACE(locale);
        for (const Case& c : cases) ExpectSameExpansionInEitherKind(c);
    }
}

TEST_F(DateTokensTest, WeekdaysAreEnglishAndCountedFromSunday) {
    const char* const names[] = {"Wednesday", "Thursday", "Friday", "Saturday",
                                 "Sunday",    "Monday",   "Tuesday"};
    UseLocale("de_DE");
    for (int offset = 0; offset < 7; ++offset) {
        const QDateTime day = kJuneAfternoon.addDays(offset);
        SCOPED_TRACE(day.toString(Qt::ISODate).toStdString());
        EXPECT_EQ(ExpandDateTokens("%W", day, PatternKind::Timestamp), names[offset]);
    }
}

TEST_F(DateTokensTest, HalfOfTheDayOnlyLabelsThe24HourClock) {
    const QDate sunday(2009, 2, 1);
    const std::vector<Case> cases = {
        {"%H:%MM:%S %A %W", QDateTime(sunday, QTime(0, 5, 9)), "0:05:9 AM Sunday"},
        {"%HH%MM%SS", QDateTime(sunday, QTime(0, 5, 9)), "000509"},
        {"%A", QDateTime(sunday, QTime(11, 59, 59)), "AM"},
        {"%A", QDateTime(sunday, QTime(12, 0, 0)), "PM"},
        {"%H %A", QDateTime(sunday, QTime(13, 0, 0)), "13 PM"},
    };
    for (const Case& c : cases) ExpectSameExpansionInEitherKind(c);
}

// Results that only step-by-step replacement in the fixed order gives.
TEST_F(DateTokensTest, TokensAreReplacedStepByStepInTheirFixedOrder) {
    const QDateTime secondSeven = kJuneAfternoon.addSecs(2);
    const QDateTime sunday = kSingleDigits;
    const std::vector<Case> cases = {
        {"%T/%TT", kJuneAfternoon, "6/06"},
        {"%Y/%YYYY/%YY", kJuneAfternoon, "2005/2005/05"},
        {"%YYY", kJuneAfternoon, "05Y"},
        {"%YYYYY", kJuneAfternoon, "2005Y"},
        {"%TTT", kJuneAfternoon, "06T"},
        {"%DDD", kJuneAfternoon, "22D"},
        {"%HHH", kJuneAfternoon, "14H"},
        {"%MMM", kJuneAfternoon, "30M"},
        {"%SST", secondSeven, "07T"},
        {"%YYYY%TT%DD_%HH%MM%SS", kJuneAfternoon, "20050622_143005"},
        {"%HHh%MM", kJuneAfternoon, "14h30"},
        {"%%W", sunday, "%Sunday"},
        {"%%%A", sunday, "%%AM"},
        {"%WW%AA", sunday, "SundayWAMA"},
    };
    for (const Case& c : cases) ExpectSameExpansionInEitherKind(c);
}

TEST_F(DateTokensTest, TextThatHoldsNoTokenComesBackUnchanged) {
    for (const char* pattern :
         {"", "webcam", "%hh:%mm", "%yyyy%n%st%w%a", "100%", "%%", "%x%Q%", "% Y", "%_T"}) {
        ExpectSameExpansionInEitherKind({pattern, kJuneAfternoon, pattern});
    }
}

struct BaseNameCase {
    const char* pattern;
    const char* baseName;
    const char* expected;
};

TEST_F(DateTokensTest, FileNamesPutInTheBaseNameBeforeAnyDateToken) {
    const std::vector<BaseNameCase> cases = {
        {"%N%YYYY%TT%DD_%HH%MM%SS", "webcam", "webcam20050622_143005"},
        {"%N_%N", "cam", "cam_cam"},
        // Tokens inside the base name are expanded by the later steps.
        {"%N_%HH", "cam%D", "cam22_14"},
        {"%N", "%ST", "5T"},
        // An empty base name vanishes and joins its neighbours, which later steps then read.
        {"%N%DD", "", "22"},
        {"%%NDD", "", "22"},
        {"%NHH", "%", "14"},
        // The base-name step does not scan what it put in, nor what it joined.
        {"%N", "a%Nb", "a%Nb"},
        {"%%NN", "", "%N"},
        // "%ST" is no token in a file name: the second, then a T.
        {"%ST", "webcam", "5T"},
    };
    for (const BaseNameCase& c : cases) {
        SCOPED_TRACE(std::string(c.pattern) + " with base name " + c.baseName);
        EXPECT_EQ(ExpandDateTokens(c.pattern, kJuneAfternoon, PatternKind::FileName, c.baseName), c.expected);
    }
}

TEST_F(DateTokensTest, TimestampsKeepTheBaseNameTokenAsTyped) {
    EXPECT_EQ(ExpandDateTokens("%N", kJuneAfternoon, PatternKind::Timestamp, "webcam"), "%N");
    EXPECT_EQ(ExpandDateTokens("%N_%HH", kJuneAfternoon, PatternKind::Timestamp, "webcam"), "%N_14");
}

struct LocaleCase {
    const char* locale;
    const char* pattern;
    QDateTime moment;
    const char* expected;
};

TEST_F(DateTokensTest, StandardDateIsTheLocaleGeneralDateAndTheDateAloneAtMidnight) {
    const QDateTime midnight(QDate(2005, 6, 22), QTime(0, 0, 0));
    const std::vector<LocaleCase> cases = {
        {"en_US", "%ST", kJuneAfternoon, "6/22/2005 2:30:05 PM"},
        {"en_US", "%ST", kSingleDigits, "2/1/2009 3:04:05 AM"},
        {"en_US", "%ST", midnight, "6/22/2005"},
        {"en_US", "[%ST] %W %A", kJuneAfternoon, "[6/22/2005 2:30:05 PM] Wednesday PM"},
        {"de_DE", "%ST", kJuneAfternoon, "22.06.2005 14:30:05"},
        {"de_DE", "%ST", kSingleDigits, "01.02.2009 03:04:05"},
        {"de_DE", "%ST", midnight, "22.06.2005"},
        {"de_DE", "%ST", midnight.addMSecs(500), "22.06.2005"},
        {"de_DE", "%ST", kJuneAfternoon.addMSecs(999), "22.06.2005 14:30:05"},
        {"de_DE", "%ST|%ST", midnight, "22.06.2005|22.06.2005"},
        {"de_DE", "%STT", kJuneAfternoon, "22.06.2005 14:30:05T"},
    };
    for (const LocaleCase& c : cases) {
        SCOPED_TRACE(std::string(c.locale) + " " + c.pattern + " at " +
                     c.moment.toString(Qt::ISODate).toStdString());
        UseLocale(c.locale);
        EXPECT_EQ(ExpandDateTokens(c.pattern, c.moment, PatternKind::Timestamp), c.expected);
    }
}

// The members the windows offer: each reads the clock once and expands for that reading.
class DateTokenMembersTest : public DateTokensTest {
  protected:
    ScopedClockForTests clock_{kJuneAfternoon};
};

TEST_F(DateTokenMembersTest, EmptyPatternsGiveEmptyTextOrTheExtensionAlone) {
    EXPECT_EQ(FormatTimeFor(""), "");
    EXPECT_EQ(UniqueFileNameFor("", "webcam"), "");
    EXPECT_EQ(UniqueFileNameFor("", "webcam", ".jpg"), ".jpg");
    EXPECT_EQ(UniqueFileNameFor("%N", "", ".jpg"), ".jpg");
}

TEST_F(DateTokenMembersTest, MembersExpandForTheClocksReading) {
    UseLocale("de_DE");
    EXPECT_EQ(FormatTimeFor("%ST"), "22.06.2005 14:30:05");
    EXPECT_EQ(FormatTimeFor("%HH:%MM %N"), "14:30 %N");
    EXPECT_EQ(UniqueFileNameFor("snapshot", "webcam", ".jpg"), "snapshot.jpg");
    EXPECT_EQ(UniqueFileNameFor("%N%YYYY%TT%DD_%HH%MM%SS", "webcam", ".jpg"), "webcam20050622_143005.jpg");
    EXPECT_EQ(UniqueFileNameFor("time_%HH%MM.txt", "webcam"), "time_1430.txt");
}

TEST_F(DateTokenMembersTest, TimestampFallsBackToTheStandardDateOnlyWhenNothingIsLeft) {
    UseLocale("de_DE");
    EXPECT_EQ(TimestampTextFor(""), "22.06.2005 14:30:05");
    EXPECT_EQ(TimestampTextFor("%ST"), TimestampTextFor(""));
    EXPECT_EQ(TimestampTextFor("%HH"), "14");
    EXPECT_EQ(TimestampTextFor(" "), " ");
}

TEST_F(DateTokensTest, TimestampFallbackAtMidnightShowsTheDateAlone) {
    ScopedClockForTests clock(QDateTime(QDate(2005, 6, 22), QTime(0, 0, 0, 250)));
    UseLocale("de_DE");
    EXPECT_EQ(TimestampTextFor(""), "22.06.2005");
}

// Readings that move on by one second each time: a member that read the clock per
// token would mix 23:59:59 on the 22nd with 00:00:00 on the 23rd.
TEST_F(DateTokensTest, EveryMemberReadsTheClockOncePerExpansion) {
    const QDateTime lastSecond(QDate(2005, 6, 22), QTime(23, 59, 59));
    int readings = 0;
    ScopedClockForTests clock([&] { return lastSecond.addSecs(readings++); });
    UseLocale("de_DE");

    EXPECT_EQ(FormatTimeFor("%DD %HH:%MM:%SS %ST"), "22 23:59:59 22.06.2005 23:59:59");
    EXPECT_EQ(readings, 1);

    readings = 0;
    EXPECT_EQ(UniqueFileNameFor("%N%DD_%HH%MM%SS", "cam%D", ".jpg"), "cam2222_235959.jpg");
    EXPECT_EQ(readings, 1);

    readings = 0;
    EXPECT_EQ(TimestampTextFor(""), "22.06.2005 23:59:59");
    EXPECT_EQ(readings, 1);
}

TEST_F(DateTokensTest, ScopedClockPutsTheSystemClockBack) {
    {
        ScopedClockForTests clock(kJuneAfternoon);
        EXPECT_EQ(Clock::Now(), kJuneAfternoon);
    }
    EXPECT_GT(Clock::Now().date().year(), 2005);
}

}  // namespace
}  // namespace snapwire::accounts
