#include "accounts/account_rules.h"

#include <gtest/gtest.h>

#include <QtGlobal>

namespace snapwire::accounts {
namespace {

int Index(const char* label) {
    return IntervalIndexOfLabel(QString::fromLatin1(label));
}

TEST(IntervalRulesTest, EveryTimedChoiceMapsToItsSecondsAndBack) {
    const auto& choices = IntervalChoices();
    ASSERT_EQ(choices.size(), 23u);
    EXPECT_STREQ(choices.front().label, "Custom");
    EXPECT_STREQ(choices.back().label, "Week");
    for (int i = 0; i < kIntervalChoiceCount; ++i) {
        SCOPED_TRACE(choices[i].label);
        if (choices[i].milliseconds < 0)
            continue;
        const std::optional<QString> seconds = SecondsTextForInterval(choices[i].milliseconds);
        ASSERT_TRUE(seconds.has_value());
        EXPECT_EQ(seconds->toLongLong() * 1000, choices[i].milliseconds);
        const SecondsBoxEffect effect = EffectOfSecondsText(*seconds);
        EXPECT_EQ(effect.selectIndex, i);
        EXPECT_FALSE(effect.unitLabel.has_value());  // a listed number keeps the unit label
    }
    EXPECT_EQ(SecondsTextForInterval(604800000), QStringLiteral("604800"));
    EXPECT_EQ(SecondsTextForInterval(0), QStringLiteral("0"));
}

TEST(IntervalRulesTest, NeverCustomAndTheNumbersNoChoiceWritesThatWay) {
    EXPECT_EQ(SecondsTextForInterval(kNeverInterval), QString());
    EXPECT_FALSE(SecondsTextForInterval(kCustomInterval).has_value());

    const SecondsBoxEffect empty = EffectOfSecondsText(QString());
    EXPECT_EQ(empty.selectIndex, Index("Never"));
    EXPECT_EQ(empty.unitLabel, QStringLiteral("Seconds"));

    const SecondsBoxEffect one = EffectOfSecondsText(QStringLiteral("1"));
    EXPECT_EQ(one.selectIndex, -1);
    EXPECT_EQ(one.unitLabel, QStringLiteral("Second"));

    const SecondsBoxEffect doubleZero = EffectOfSecondsText(QStringLiteral("00"));
    EXPECT_EQ(doubleZero.selectIndex, Index("Constantly"));
    EXPECT_EQ(doubleZero.unitLabel, QStringLiteral("Seconds"));

    // Compared as text: "010" is not "10".
    EXPECT_EQ(EffectOfSecondsText(QStringLiteral("010")).selectIndex, Index("Custom"));
    EXPECT_EQ(EffectOfSecondsText(QStringLiteral("45")).selectIndex, Index("Custom"));
    EXPECT_EQ(EffectOfSecondsText(QStringLiteral("45")).unitLabel, QStringLiteral("Seconds"));
    EXPECT_EQ(EffectOfSecondsText(QStringLiteral("99999999999999999999")).selectIndex, Index("Custom"));
}

TEST(IntervalRulesTest, PastedTextKeepsItsDigits) {
    EXPECT_EQ(DigitsOnly(QStringLiteral(" 1a2,5 s")), QStringLiteral("125"));
    EXPECT_EQ(DigitsOnly(QStringLiteral("-3")), QStringLiteral("3"));
    EXPECT_EQ(DigitsOnly(QStringLiteral("abc")), QString());
}

TEST(FolderRulesTest, RemoteFolderLosesOneSeparatorAtEachEnd) {
    EXPECT_EQ(TrimRemoteFolder(QStringLiteral("\\pics\\")), QStringLiteral("pics"));
    EXPECT_EQ(TrimRemoteFolder(QStringLiteral("/www/cam/")), QStringLiteral("www/cam"));
    EXPECT_EQ(TrimRemoteFolder(QStringLiteral("C:\\")), QStringLiteral("C:"));
    EXPECT_EQ(TrimRemoteFolder(QStringLiteral("//")), QString());
    EXPECT_EQ(TrimRemoteFolder(QStringLiteral("/")), QString());
    EXPECT_EQ(TrimRemoteFolder(QStringLiteral("//cam")), QStringLiteral("/cam"));
    EXPECT_EQ(TrimRemoteFolder(QString()), QString());
}

TEST(FolderRulesTest, LocalFolderStaysAbsolute) {
    EXPECT_EQ(TrimLocalFolder(QStringLiteral("/home/me/pics/")), QStringLiteral("/home/me/pics"));
    EXPECT_EQ(TrimLocalFolder(QStringLiteral("/home/me/pics")), QStringLiteral("/home/me/pics"));
    EXPECT_EQ(TrimLocalFolder(QStringLiteral("/")), QStringLiteral("/"));
    EXPECT_EQ(TrimLocalFolder(QStringLiteral("\\")), QStringLiteral("\\"));
    EXPECT_EQ(TrimLocalFolder(QStringLiteral("//")), QStringLiteral("/"));
    EXPECT_EQ(TrimLocalFolder(QStringLiteral("C:\\pics\\")), QStringLiteral("C:\\pics"));
}

TEST(AccountNameRulesTest, TwentyCharactersPassTwentyOneDoNot) {
    EXPECT_FALSE(NewAccountNameProblem(QString(20, QLatin1Char('x')), {}).has_value());
    EXPECT_EQ(NewAccountNameProblem(QString(21, QLatin1Char('x')), {}),
              QStringLiteral("Please keep the name shorter than 20 characters"));
}

TEST(AccountNameRulesTest, NamesThatWouldShareOrEscapeAKeyAreRefused) {
    EXPECT_TRUE(NewAccountNameProblem(QStringLiteral("cams\\front"), {}).has_value());
    EXPECT_TRUE(NewAccountNameProblem(QStringLiteral("\\"), {}).has_value());
    EXPECT_TRUE(
        NewAccountNameProblem(QStringLiteral("my ACCOUNT"), {QStringLiteral("My Account")}).has_value());
    EXPECT_FALSE(
        NewAccountNameProblem(QStringLiteral("My Account 2"), {QStringLiteral("My Account")}).has_value());
}

TEST(AccountNameRulesTest, NamesReadBackChangedAreRefused) {
    qputenv("SNAPWIRE_NAME_TEST", "expanded");
    const std::optional<QString> problem = NewAccountNameProblem(QStringLiteral("%SNAPWIRE_NAME_TEST%"), {});
    ASSERT_TRUE(problem.has_value());
    EXPECT_TRUE(problem->contains(QStringLiteral("expanded")));
    qunsetenv("SNAPWIRE_NAME_TEST");
    EXPECT_FALSE(NewAccountNameProblem(QStringLiteral("%SNAPWIRE_NAME_TEST%"), {}).has_value());
    EXPECT_FALSE(NewAccountNameProblem(QStringLiteral("100%"), {}).has_value());
}

TEST(AccountNameRulesTest, OnlyAProperSubKeyMayBeDeleted) {
    EXPECT_TRUE(AccountKeyIsOwnSubKey(QStringLiteral("A")));
    EXPECT_TRUE(AccountKeyIsOwnSubKey(QStringLiteral("A\\B")));
    for (const char* name : {"", "\\", "A\\", "\\A", "A\\\\B"}) {
        SCOPED_TRACE(name);
        EXPECT_FALSE(AccountKeyIsOwnSubKey(QString::fromLatin1(name)));
    }
}

TEST(StoredTextRulesTest, ValuesOutsideTheirControlsRangeAreRefused) {
    EXPECT_EQ(CheckValueFromText(QString()), 0);
    EXPECT_EQ(CheckValueFromText(QStringLiteral("1")), 1);
    EXPECT_EQ(CheckValueFromText(QStringLiteral("2")), 2);
    EXPECT_FALSE(CheckValueFromText(QStringLiteral("3")).has_value());
    EXPECT_FALSE(CheckValueFromText(QStringLiteral("yes")).has_value());

    EXPECT_EQ(ColorFromText(QStringLiteral("51200")), 51200u);
    EXPECT_EQ(ColorFromText(QStringLiteral("16777215")), 16777215u);
    EXPECT_FALSE(ColorFromText(QStringLiteral("16777216")).has_value());
    EXPECT_FALSE(ColorFromText(QStringLiteral("-1")).has_value());
    EXPECT_FALSE(ColorFromText(QStringLiteral("red")).has_value());

    EXPECT_EQ(FlagFromText(QStringLiteral("true")), true);
    EXPECT_EQ(FlagFromText(QStringLiteral("False")), false);
    EXPECT_EQ(FlagFromText(QStringLiteral("-1")), true);
    EXPECT_EQ(FlagFromText(QStringLiteral("0")), false);
    EXPECT_FALSE(FlagFromText(QStringLiteral("maybe")).has_value());

    EXPECT_EQ(SensitivityFromText(QStringLiteral("100")), 100);
    EXPECT_FALSE(SensitivityFromText(QStringLiteral("101")).has_value());
}

}  // namespace
}  // namespace snapwire::accounts
