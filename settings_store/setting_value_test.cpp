#include "settings_store/setting_value.h"

#include "settings_store/conversions.h"
#include "testsupport/default_locale.h"

#include <gtest/gtest.h>
#include <QLocale>

namespace snapwire {
namespace {

class SettingValueTest : public testing::LocaleTest {
  protected:
    void SetUp() override { UseLocale("de_DE"); }
};

TEST_F(SettingValueTest, StoredTextFormOfEveryKind) {
    EXPECT_EQ(SettingValue().ToText(), "");
    EXPECT_EQ(SettingValue(true).ToText(), "True");
    EXPECT_EQ(SettingValue(false).ToText(), "False");
    EXPECT_EQ(SettingValue::CheckBox(true).ToText(), "1");
    EXPECT_EQ(SettingValue::CheckBox(false).ToText(), "0");
    EXPECT_EQ(SettingValue(std::int16_t{-5}).ToText(), "-5");
    EXPECT_EQ(SettingValue(51200).ToText(), "51200");
    EXPECT_EQ(SettingValue(10.5f).ToText(), "10,5");
    EXPECT_EQ(SettingValue(0.1f).ToText(), "0,1");
    EXPECT_EQ(SettingValue(6100.0).ToText(), "6100");
    EXPECT_EQ(SettingValue(QDateTime(QDate(2024, 3, 5), QTime(15, 4, 5))).ToText(), "05.03.2024 15:04:05");
    EXPECT_EQ(SettingValue(QDate(2024, 3, 5)).ToText(), "05.03.2024");
    EXPECT_EQ(SettingValue(QTime(15, 4, 5)).ToText(), "15:04:05");
    EXPECT_EQ(SettingValue("%N%YYYY").ToText(), "%N%YYYY");
    EXPECT_EQ(SettingValue(QByteArray("abc")).ToText(), "abc");
}

TEST_F(SettingValueTest, KindsFollowTheConstructor) {
    EXPECT_TRUE(SettingValue().IsEmpty());
    EXPECT_FALSE(SettingValue("").IsEmpty());
    // A string literal must not decay into a Boolean.
    EXPECT_EQ(SettingValue("x").GetKind(), SettingValue::Kind::Text);
    EXPECT_EQ(SettingValue::CheckBox(true).GetKind(), SettingValue::Kind::Int16);
    EXPECT_TRUE(SettingValue(7).IsInteger());
    EXPECT_TRUE(SettingValue(std::int16_t{7}).IsInteger());
    EXPECT_FALSE(SettingValue("7").IsInteger());
    EXPECT_FALSE(SettingValue(7.0).IsInteger());
    EXPECT_TRUE(SettingValue(QByteArray("\x01", 1)).IsByteArray());
}

TEST_F(SettingValueTest, EmptyAndTextConvertAsCallersExpect) {
    const SettingValue empty;
    EXPECT_EQ(empty.ToInt(), 0);
    EXPECT_FALSE(empty.ToBool());
    EXPECT_DOUBLE_EQ(empty.ToDouble(), 0);
    EXPECT_EQ(SettingValue("").ToInt(), 0);
    EXPECT_FALSE(SettingValue("").ToBool());

    EXPECT_TRUE(SettingValue("True").ToBool());
    EXPECT_TRUE(SettingValue("true").ToBool());
    EXPECT_FALSE(SettingValue("False").ToBool());
    EXPECT_TRUE(SettingValue("1").ToBool());
    EXPECT_FALSE(SettingValue("0").ToBool());
    EXPECT_EQ(SettingValue("True").ToInt(), 1);

    // Positions written with a fraction round to the even neighbour.
    EXPECT_EQ(SettingValue("12,5").ToInt(), 12);
    EXPECT_EQ(SettingValue("13,5").ToInt(), 14);
    EXPECT_EQ(SettingValue("51200").ToInt(), 51200);
    EXPECT_EQ(SettingValue("99999999999").ToInt(), 2147483647);
    EXPECT_DOUBLE_EQ(SettingValue("10,5").ToDouble(), 10.5);
    EXPECT_EQ(SettingValue(2.5).ToInt(), 2);
}

TEST_F(SettingValueTest, DatesConvertFromTheirTextAndFromDateValues) {
    const SettingValue text("05.03.2024 15:04:05");
    EXPECT_EQ(text.ToDate(), QDate(2024, 3, 5));
    EXPECT_EQ(text.ToTime(), QTime(15, 4, 5));
    EXPECT_FALSE(SettingValue("").ToDate().isValid());

    const SettingValue noon(QDate(1900, 1, 1), QTime(12, 0));
    EXPECT_EQ(noon.ToDate(), QDate(1900, 1, 1));
    EXPECT_DOUBLE_EQ(noon.ToDouble(), 2.5);  // days after the zero date
    EXPECT_EQ(SettingValue(QTime(6, 0)).ToDate(), ZeroDate());
}

TEST_F(SettingValueTest, EqualityComparesKindAndContent) {
    EXPECT_EQ(SettingValue(5), SettingValue(5));
    EXPECT_FALSE(SettingValue(5) == SettingValue(std::int16_t{5}));
    EXPECT_FALSE(SettingValue("5") == SettingValue(5));
    EXPECT_EQ(SettingValue(), SettingValue());
    EXPECT_EQ(SettingValue(QByteArray("ab")), SettingValue(QByteArray("ab")));
}

}  // namespace
}  // namespace snapwire
