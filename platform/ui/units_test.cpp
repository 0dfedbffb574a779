#include "platform/ui/units.h"

#include <gtest/gtest.h>

namespace snapwire::ui {
namespace {

TEST(UnitsTest, StoredColoursKeepRedInTheLowByte) {
    EXPECT_EQ(ColorFromBgr(255), QColor(255, 0, 0));
    EXPECT_EQ(ColorFromBgr(0xFF0000), QColor(0, 0, 255));
    EXPECT_EQ(ColorFromBgr(0x00FF00), QColor(0, 255, 0));
    EXPECT_EQ(ColorFromBgr(0), QColor(0, 0, 0));
    EXPECT_EQ(BgrFromColor(Qt::red), 255u);
    EXPECT_EQ(BgrFromColor(Qt::blue), 0xFF0000u);
    EXPECT_EQ(BgrFromColor(QColor::fromHsv(0, 255, 255)), 255u);  // other colour specs convert
}

TEST(UnitsTest, ColoursRoundTrip) {
    for (std::uint32_t bgr : {0x123456u, 0xFFFFFFu, 0x0000FFu, 0x808080u, 0x010203u})
        EXPECT_EQ(BgrFromColor(ColorFromBgr(bgr)), bgr);
    const QColor orange(255, 128, 0);
    EXPECT_EQ(ColorFromBgr(BgrFromColor(orange)), orange);
}

TEST(UnitsTest, TwipsAreFifteenAPixelRoundedToTheNearest) {
    EXPECT_EQ(PixelsToTwips(640), 9600);
    EXPECT_EQ(TwipsToPixels(9600), 640);
    EXPECT_EQ(TwipsToPixels(6100), 407);  // 406.67
    EXPECT_EQ(TwipsToPixels(6400), 427);  // 426.67
    EXPECT_EQ(TwipsToPixels(7), 0);
    EXPECT_EQ(TwipsToPixels(8), 1);
    EXPECT_EQ(TwipsToPixels(7.5), 1);
    EXPECT_EQ(TwipsToPixels(-8), -1);
}

}  // namespace
}  // namespace snapwire::ui
