#include "engine/main_window_rules.h"

#include <gtest/gtest.h>

#include <QLocale>

#include "engine/windows_version.h"
#include "testsupport/default_locale.h"

namespace snapwire {
namespace {

TEST(ToolbarFlagText, TrueInAnyCaseAndNonZeroNumbersSetTheMark) {
    for (const char* text : {"True", "TRUE", "true", "-1", "1", "2"})
        EXPECT_TRUE(FlagTextIsSet(QString::fromLatin1(text))) << text;
    for (const char* text : {"False", "FALSE", "0", "", "yes", "Truex"})
        EXPECT_FALSE(FlagTextIsSet(QString::fromLatin1(text))) << text;
}

TEST(StoredWindowSize, EmptyOrUnusableTextGivesTheDefault) {
    EXPECT_EQ(StoredSizeTwips(QString(), kDefaultWidthTwips), 6100);
    EXPECT_EQ(StoredSizeTwips(QStringLiteral("abc"), kDefaultHeightTwips), 6400);
    EXPECT_EQ(StoredSizeTwips(QStringLiteral("0"), kDefaultHeightTwips), 6400);
    EXPECT_EQ(StoredSizeTwips(QStringLiteral("-300"), kDefaultHeightTwips), 6400);
    EXPECT_EQ(StoredSizeTwips(QStringLiteral("7215"), kDefaultWidthTwips), 7215);
    // Beyond what a window can be (1E+300 would make a window 19 pixels high).
    EXPECT_EQ(StoredSizeTwips(QStringLiteral("1E+10"), kDefaultWidthTwips), 6100);
    EXPECT_EQ(StoredSizeTwips(QStringLiteral("1E+300"), kDefaultHeightTwips), 6400);
    EXPECT_EQ(StoredSizeTwips(QStringLiteral("491505"), kDefaultWidthTwips), 491505);
}

TEST(StoredColor, OnlyNumbersThatAreColoursCount) {
    EXPECT_EQ(StoredColor(QStringLiteral("255")), 0x0000FFu);
    EXPECT_EQ(StoredColor(QStringLiteral("16777215")), 0xFFFFFFu);
    EXPECT_EQ(StoredColor(QStringLiteral("0")), 0u);
    EXPECT_EQ(StoredColor(QStringLiteral("254.5")), 254u);  // rounded half to even
    for (const char* text : {"", "blue", "-1", "16777216", "1E+300", "4294967295"})
        EXPECT_EQ(StoredColor(QString::fromLatin1(text)), std::nullopt) << text;
}

TEST(StoredWindowSize, ReadsTheLocaleDecimalSeparator) {
    const testing::ScopedDefaultLocale restored;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_DOUBLE_EQ(StoredSizeTwips(QStringLiteral("6100,5"), kDefaultWidthTwips), 6100.5);
}

TEST(BackgroundHeight, TakesFortyFourForTheBarsAndGivesBackWhatAHiddenBarLeaves) {
    EXPECT_EQ(BackgroundHeight(400, true, true), 356);
    EXPECT_EQ(BackgroundHeight(400, false, true), 380);
    EXPECT_EQ(BackgroundHeight(400, true, false), 377);
    EXPECT_EQ(BackgroundHeight(400, false, false), 401);
    EXPECT_LT(BackgroundHeight(20, true, true), 0);  // a minimised window: the caller keeps the old size
}

TEST(CentredOffset, HalvesInFloatingPoint) {
    EXPECT_EQ(CentredOffset(400, 320), 40);
    EXPECT_EQ(CentredOffset(125, 120), 3);  // 62.5 - 60
    EXPECT_EQ(CentredOffset(100, 160), -30);
}

TEST(FitWindowToPicture, SmallFrameIsRaisedToTheSmallestWindow) {
    const PictureFit shown = FitWindowToPicture(160, 120, true);
    EXPECT_EQ(shown.backgroundWidth, 160);
    EXPECT_EQ(shown.backgroundHeight, 125);
    EXPECT_EQ(shown.windowWidthTwips, 3780);   // 2500 before raising
    EXPECT_EQ(shown.windowHeightTwips, 4170);  // 3325 before raising

    const PictureFit hidden = FitWindowToPicture(160, 120, false);
    EXPECT_EQ(hidden.backgroundHeight, shown.backgroundHeight - 24);
}

TEST(FitWindowToPicture, LargeFrameAddsTheWindowFrame) {
    const PictureFit fit = FitWindowToPicture(640, 480, true);
    EXPECT_EQ(fit.windowWidthTwips, 640 * 15 + 100);
    EXPECT_EQ(fit.windowHeightTwips, 485 * 15 + 1450);
    // Just below the smallest width is raised; just above the smallest height stays.
    const PictureFit edge = FitWindowToPicture(245, 177, true);  // 3675 + 100, 2730 + 1450
    EXPECT_EQ(edge.windowWidthTwips, 3780);
    EXPECT_EQ(edge.windowHeightTwips, 4180);
}

TEST(WindowsVersionName, MapsTheVersionRecord) {
    const auto name = [](std::uint32_t platform, std::uint32_t major, std::uint32_t minor) {
        OsVersionInfo info;
        info.platformId = platform;
        info.majorVersion = major;
        info.minorVersion = minor;
        return WindowsVersionName(info);
    };
    EXPECT_EQ(name(1, 4, 0), QStringLiteral("Windows 95"));
    EXPECT_EQ(name(1, 4, 10), QStringLiteral("Windows 98"));
    EXPECT_EQ(name(1, 4, 90), QStringLiteral("Windows Mellinnium"));
    EXPECT_EQ(name(1, 4, 3), QString());
    EXPECT_EQ(name(2, 3, 51), QStringLiteral("Windows NT 3.51"));
    EXPECT_EQ(name(2, 4, 0), QStringLiteral("Windows NT 4.0"));
    EXPECT_EQ(name(2, 5, 0), QStringLiteral("Windows 2000"));
    EXPECT_EQ(name(2, 5, 1), QStringLiteral("Windows XP"));
    EXPECT_EQ(name(2, 6, 1), QString());
    EXPECT_EQ(name(0, 0, 0), QStringLiteral("Failed"));
    EXPECT_EQ(name(3, 10, 0), QStringLiteral("Failed"));
}

TEST(WindowsVersionName, ThisPlatformHasNoVersionRecord) {
    EXPECT_EQ(GetWindowsVersionName(), QStringLiteral("Failed"));
}

}  // namespace
}  // namespace snapwire
