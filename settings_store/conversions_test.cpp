#include "settings_store/conversions.h"

#include "testsupport/default_locale.h"

#include <gtest/gtest.h>
#include <QLocale>

#include <cmath>
#include <limits>

namespace snapwire {
namespace {

// Each test states the locale it writes and reads under; the default is put back.
class ConversionsTest : public testing::LocaleTest {};

const QDate kFifthOfMarch(2024, 3, 5);
const QTime kAfternoon(15, 4, 5);

TEST_F(ConversionsTest, FlagsAndIntegers) {
    EXPECT_EQ(BoolText(true), "True");
    EXPECT_EQ(BoolText(false), "False");
    EXPECT_TRUE(TextIsTrue("True"));
    EXPECT_TRUE(TextIsTrue("tRUE"));
    EXPECT_FALSE(TextIsTrue("False"));
    EXPECT_FALSE(TextIsTrue("True "));
    EXPECT_FALSE(TextIsTrue("1"));
    EXPECT_EQ(CheckText(true), "1");
    EXPECT_EQ(CheckText(false), "0");
    EXPECT_EQ(IntText(51200), "51200");
    EXPECT_EQ(IntText(-2147483648LL), "-2147483648");
}

TEST_F(ConversionsTest, FloatTextUsesLocaleSeparatorWithoutTrailingZerosOrGrouping) {
    UseLocale("de_DE");
    EXPECT_EQ(FloatText(6100), "6100");
    EXPECT_EQ(FloatText(10.5), "10,5");
    EXPECT_EQ(FloatText(-0.25), "-0,25");
    EXPECT_EQ(FloatText(1234567.0), "1234567");
    EXPECT_EQ(FloatText(-0.0), "0");
    // A single-precision size keeps its seven digits, not the float's binary noise.
    EXPECT_EQ(FloatText(static_cast<double>(10.1f), 7), "10,1");

    UseLocale("en_US");
    EXPECT_EQ(FloatText(10.5), "10.5");
    EXPECT_EQ(FloatText(1234567.5), "1234567.5");
}

TEST_F(ConversionsTest, DatesHaveFourDigitYearsAndTimesNoZone) {
    UseLocale("de_DE");
    EXPECT_EQ(DateText(kFifthOfMarch), "05.03.2024");
    EXPECT_EQ(TimeText(kAfternoon), "15:04:05");

    UseLocale("en_US");
    EXPECT_EQ(DateText(kFifthOfMarch), "3/5/2024");
    EXPECT_EQ(TimeText(kAfternoon), "3:04:05 PM");

    // Locales whose time zone sits in front or in brackets.
    UseLocale("zh_CN");
    EXPECT_EQ(TimeText(kAfternoon), "15:04:05");
    UseLocale("fa_IR");
    EXPECT_FALSE(TimeText(kAfternoon).contains(QLatin1Char('(')));
}

TEST_F(ConversionsTest, GeneralDateTextDropsMidnightAndTheZeroDate) {
    UseLocale("de_DE");
    EXPECT_EQ(GeneralDateText(QDateTime(kFifthOfMarch, kAfternoon)), "05.03.2024 15:04:05");
    EXPECT_EQ(GeneralDateText(QDateTime(kFifthOfMarch, QTime(0, 0))), "05.03.2024");
    EXPECT_EQ(GeneralDateText(QDateTime(kFifthOfMarch, QTime(0, 0, 1))), "05.03.2024 00:00:01");
    EXPECT_EQ(GeneralDateText(ZeroDate(), kAfternoon), "15:04:05");
    EXPECT_EQ(GeneralDateText(ZeroDate(), QTime(0, 0)), "00:00:00");
    EXPECT_EQ(GeneralDateText(QDateTime()), "");

    UseLocale("en_US");
    EXPECT_EQ(GeneralDateText(QDateTime(kFifthOfMarch, kAfternoon)), "3/5/2024 3:04:05 PM");
}

TEST_F(ConversionsTest, GeneralDateTextReadsBackInItsOwnLocale) {
    // ko_KR dates and times contain blanks themselves.
    for (const char* locale : {"de_DE", "en_US", "en_GB", "sv_SE", "ja_JP", "ko_KR", "cs_CZ"}) {
        SCOPED_TRACE(locale);
        UseLocale(locale);
        const DateTimeParts both = ParseDateTimeText(GeneralDateText(kFifthOfMarch, kAfternoon));
        EXPECT_EQ(both.date, kFifthOfMarch);
        EXPECT_EQ(both.time, kAfternoon);
        EXPECT_EQ(ParseDateText(DateText(kFifthOfMarch)), kFifthOfMarch);
        EXPECT_EQ(ParseTimeText(TimeText(kAfternoon)), kAfternoon);
    }
}

TEST_F(ConversionsTest, ValuesWrittenUnderAnotherLocaleStillReadBack) {
    UseLocale("en_US");
    const QString american = GeneralDateText(kFifthOfMarch, kAfternoon);
    const QString americanDate = DateText(kFifthOfMarch);
    UseLocale("de_DE");
    const QString german = GeneralDateText(kFifthOfMarch, kAfternoon);

    const DateTimeParts fromAmerican = ParseDateTimeText(american);
    EXPECT_EQ(fromAmerican.date, kFifthOfMarch);
    EXPECT_EQ(fromAmerican.time, kAfternoon);
    EXPECT_EQ(ParseDateText(americanDate), kFifthOfMarch);

    UseLocale("en_US");
    const DateTimeParts fromGerman = ParseDateTimeText(german);
    EXPECT_EQ(fromGerman.date, kFifthOfMarch);
    EXPECT_EQ(fromGerman.time, kAfternoon);

    UseLocale("fr_FR");
    EXPECT_EQ(ParseDateText("2024-03-05"), kFifthOfMarch);
    EXPECT_EQ(ParseTimeText("3:04:05 PM"), kAfternoon);
}

TEST_F(ConversionsTest, PartialAndUnreadableDateTexts) {
    UseLocale("de_DE");
    const DateTimeParts timeOnly = ParseDateTimeText("15:04:05");
    EXPECT_EQ(timeOnly.date, ZeroDate());
    EXPECT_EQ(timeOnly.time, kAfternoon);
    const DateTimeParts dateOnly = ParseDateTimeText(" 05.03.2024 ");
    EXPECT_EQ(dateOnly.date, kFifthOfMarch);
    EXPECT_EQ(dateOnly.time, QTime(0, 0));
    EXPECT_EQ(ParseTimeText("05.03.2024 15:04:05"), kAfternoon);

    EXPECT_FALSE(ParseDateTimeText("").IsValid());
    EXPECT_FALSE(ParseDateTimeText("gestern").IsValid());
    EXPECT_FALSE(ParseDateText("31.02.2024").isValid());
    EXPECT_FALSE(ParseTimeText("25:00:00").isValid());
    EXPECT_FALSE(ParseDateTimeText("05.03.2024 nachmittags").IsValid());
}

TEST_F(ConversionsTest, LeadingIntegerReadsLikeVal) {
    EXPECT_EQ(LeadingInteger("12abc"), 12);
    EXPECT_EQ(LeadingInteger("abc"), 0);
    EXPECT_EQ(LeadingInteger(""), 0);
    EXPECT_EQ(LeadingInteger(" -3"), -3);
    EXPECT_EQ(LeadingInteger("\t+7 days"), 7);
    EXPECT_EQ(LeadingInteger("4,9"), 4);
    EXPECT_EQ(LeadingInteger("- 3"), 0);
    EXPECT_EQ(LeadingInteger("99999999999999999999"), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(LeadingInteger("-99999999999999999999"), std::numeric_limits<std::int64_t>::min());
    EXPECT_EQ(LeadingInteger("-9223372036854775808"), std::numeric_limits<std::int64_t>::min());
}

TEST_F(ConversionsTest, LeadingNumberTakesTheDecimalSeparator) {
    UseLocale("de_DE");
    EXPECT_DOUBLE_EQ(LeadingNumber("10,5 pt"), 10.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("12.5"), 12.5);  // written under a locale with a point
    EXPECT_DOUBLE_EQ(LeadingNumber(",5"), 0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("-,5"), -0.5);
    EXPECT_DOUBLE_EQ(LeadingNumber("1e3"), 1000);
    EXPECT_DOUBLE_EQ(LeadingNumber("2e"), 2);
    EXPECT_DOUBLE_EQ(LeadingNumber(","), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber("x1"), 0);
    EXPECT_DOUBLE_EQ(LeadingNumber(FloatText(1e20)), 1e20);

    UseLocale("en_US");
    EXPECT_DOUBLE_EQ(LeadingNumber("10,5"), 10);
    EXPECT_DOUBLE_EQ(LeadingNumber(" 6100"), 6100);
}

TEST_F(ConversionsTest, ParseNumberTextWantsTheWholeText) {
    UseLocale("de_DE");
    EXPECT_EQ(ParseNumberText(" 10,5 "), 10.5);
    EXPECT_EQ(ParseNumberText("-3"), -3.0);
    EXPECT_FALSE(ParseNumberText("10,5x").has_value());
    EXPECT_FALSE(ParseNumberText("").has_value());
    EXPECT_FALSE(ParseNumberText("  ").has_value());
    EXPECT_FALSE(ParseNumberText("-").has_value());
}

TEST_F(ConversionsTest, RoundHalfEvenGoesToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-3.5), -4);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(2.5001), 3);
    EXPECT_EQ(RoundHalfEven(-0.6), -1);
    EXPECT_EQ(RoundHalfEven(std::nan("")), 0);
    EXPECT_EQ(RoundHalfEven(1e30), std::numeric_limits<std::int64_t>::max());
    EXPECT_EQ(RoundHalfEven(-1e30), std::numeric_limits<std::int64_t>::min());
}

}  // namespace
}  // namespace snapwire
