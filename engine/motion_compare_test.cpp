#include "engine/motion_compare.h"

#include <gtest/gtest.h>

#include <QImage>
#include <cmath>
#include <limits>

namespace snapwire::motion {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
const QRgb kBase = qRgb(40, 60, 80);

QImage Filled(QRgb color, int width = kWidth, int height = kHeight) {
    QImage picture(width, height, QImage::Format_RGB32);
    picture.fill(color);
    return picture;
}

// Changes the first `points` sample points (even x and y inside the frame, row by row).
QImage WithSamplePointsChanged(QImage picture, int points, QRgb color) {
    for (int y = 0; y < picture.height() && points > 0; y += 2)
        for (int x = 0; x < picture.width() && points > 0; x += 2, --points) picture.setPixel(x, y, color);
    return picture;
}

std::int32_t Changed(const QImage& examined, const QImage& reference, std::int32_t sensitivity) {
    return ComparePictures(examined, reference, examined.width(), examined.height(),
                           MotionThreshold(sensitivity), std::nullopt)
        .changedPoints;
}

TEST(MotionColorTest, PackedColorsKeepRedInTheLowByte) {
    EXPECT_EQ(PackedColor(qRgb(0x01, 0x02, 0x03)), 0x030201);
    EXPECT_EQ(PackedColor(qRgb(0, 200, 0)), 51200);
    EXPECT_EQ(PackedColor(qRgba(255, 255, 255, 0)), 0xFFFFFF);  // alpha plays no part
    EXPECT_EQ(QtColor(255), qRgb(255, 0, 0));
    EXPECT_EQ(QtColor(kNoAccountColor), qRgb(0, 200, 0));
    EXPECT_EQ(QtColor(0x00FF0000), qRgb(0, 0, 255));
}

TEST(MotionThresholdTest, SensitivityMovesTheThresholdFromTenMillionToNothing) {
    EXPECT_EQ(MotionThreshold(0), 10000000);
    EXPECT_EQ(MotionThreshold(50), 5000000);
    EXPECT_EQ(MotionThreshold(100), 0);
}

// --- Which points count --------------------------------------------------------------

TEST(ComparePicturesTest, IdenticalFramesHaveNoChangedPoint) {
    const QImage frame = WithSamplePointsChanged(Filled(kBase), 500, qRgb(1, 2, 3));
    EXPECT_EQ(Changed(frame, frame, 100), 0);
}

TEST(ComparePicturesTest, ChannelsWeighByTheirPlaceInThePackedColor) {
    const QImage black = Filled(qRgb(0, 0, 0));
    // Red from 0 to 255 everywhere is a difference of 255: far below the middle threshold.
    EXPECT_EQ(Changed(Filled(qRgb(255, 0, 0)), black, 50), 0);
    // The same change in blue is 255 * 65536.
    EXPECT_EQ(Changed(Filled(qRgb(0, 0, 255)), black, 50), 160 * 120);
    // At sensitivity 100 one red level is enough.
    EXPECT_EQ(Changed(Filled(qRgb(1, 0, 0)), black, 100), 160 * 120);
    EXPECT_EQ(Changed(Filled(qRgb(1, 0, 0)), black, 99), 0);
}

TEST(ComparePicturesTest, AtSensitivityZeroOnlyLargeBlueChangesCount) {
    const QImage black = Filled(qRgb(0, 0, 0));
    EXPECT_EQ(Changed(Filled(qRgb(255, 255, 0)), black, 0), 0);  // 65535
    EXPECT_EQ(Changed(Filled(qRgb(0, 0, 152)), black, 0), 0);    // 9961472
    EXPECT_EQ(Changed(Filled(qRgb(0, 0, 153)), black, 0), 160 * 120);
}

TEST(ComparePicturesTest, ADifferenceEqualToTheThresholdDoesNotCount) {
    // 1 * 65536 + 134 * 256 + 160 = 100000, the threshold at sensitivity 99.
    const QImage black = Filled(qRgb(0, 0, 0));
    EXPECT_EQ(Changed(Filled(qRgb(160, 134, 1)), black, 99), 0);
    EXPECT_EQ(Changed(Filled(qRgb(161, 134, 1)), black, 99), 160 * 120);
    // The difference has no sign.
    EXPECT_EQ(Changed(black, Filled(qRgb(161, 134, 1)), 99), 160 * 120);
}

TEST(ComparePicturesTest, TheGridIncludesBothEndsButPointsOutsideBothPicturesNeverCount) {
    // 320 x 240: x = 0..320 and y = 0..240 are sampled; column 320 and row 240 lie outside.
    EXPECT_EQ(Changed(Filled(qRgb(9, 9, 9)), Filled(qRgb(0, 0, 0)), 100), 160 * 120);
    // 321 x 241: all 161 x 121 sample points lie inside.
    EXPECT_EQ(Changed(Filled(qRgb(9, 9, 9), 321, 241), Filled(qRgb(0, 0, 0), 321, 241), 100), 161 * 121);
}

TEST(ComparePicturesTest, APointOutsideOnePictureReadsAllBitsSet) {
    // 4 x 4 with a grid of 4: the nine points of x, y = 0, 2, 4; four lie inside.
    const QImage black = Filled(qRgb(0, 0, 0), 4, 4);
    // Black (0) against an empty reference (-1) differs by 1.
    EXPECT_EQ(ComparePictures(black, QImage(), 4, 4, 0, std::nullopt).changedPoints, 4);
    EXPECT_EQ(ComparePictures(black, QImage(), 4, 4, 1, std::nullopt).changedPoints, 0);
    // White (0xFFFFFF) against -1 differs by 16777216.
    EXPECT_EQ(
        ComparePictures(Filled(qRgb(255, 255, 255), 4, 4), QImage(), 4, 4, MotionThreshold(0), std::nullopt)
            .changedPoints,
        4);
}

TEST(ComparePicturesTest, ChangedPointsArePaintedInTheGivenColorAndNothingElse) {
    const QImage reference = Filled(kBase);
    const QImage examined = WithSamplePointsChanged(reference, 3, qRgb(40, 60, 255));

    const PictureComparison red =
        ComparePictures(examined, reference, kWidth, kHeight, MotionThreshold(50), 255);
    EXPECT_EQ(red.changedPoints, 3);
    EXPECT_EQ(red.marked.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(red.marked.pixel(4, 0), qRgb(255, 0, 0));
    EXPECT_EQ(red.marked.pixel(6, 0), kBase);            // unchanged point
    EXPECT_EQ(red.marked.pixel(1, 0), kBase);            // not sampled
    EXPECT_EQ(examined.pixel(0, 0), qRgb(40, 60, 255));  // the input stays as it was

    const PictureComparison unpainted =
        ComparePictures(examined, reference, kWidth, kHeight, MotionThreshold(50), std::nullopt);
    EXPECT_EQ(unpainted.changedPoints, 3);
    EXPECT_EQ(unpainted.marked, examined);
}

TEST(ComparePicturesTest, PicturesInOtherFormatsAreComparedByTheirColors) {
    const QImage reference = Filled(kBase).convertToFormat(QImage::Format_RGB888);
    const QImage examined = WithSamplePointsChanged(Filled(kBase), 10, qRgb(40, 60, 255));
    const PictureComparison result =
        ComparePictures(examined.convertToFormat(QImage::Format_ARGB32), reference, kWidth, kHeight,
                        MotionThreshold(50), kNoAccountColor);
    EXPECT_EQ(result.changedPoints, 10);
    EXPECT_EQ(result.marked.pixel(0, 0), qRgb(0, 200, 0));
}

// --- Ratio, band and percentage ----------------------------------------------------------

TEST(MotionRatioTest, OneHundredNinetyTwoPointsOfA320By240FrameAreExactlyTheLowerBound) {
    EXPECT_EQ(MotionRatio(192, kWidth, kHeight), 0.01f);
    EXPECT_TRUE(IsMotion(MotionRatio(192, kWidth, kHeight)));
    EXPECT_FALSE(IsMotion(MotionRatio(191, kWidth, kHeight)));
    EXPECT_TRUE(IsMotion(MotionRatio(160 * 120, kWidth, kHeight)));
}

TEST(MotionRatioTest, ARatioAboveOneIsNoMotion) {
    // Every sample point of a 321 x 241 frame: 77924 / 77361.
    EXPECT_GT(MotionRatio(161 * 121, 321, 241), 1.0f);
    EXPECT_FALSE(IsMotion(MotionRatio(161 * 121, 321, 241)));
    EXPECT_TRUE(IsMotion(1.0f));
    EXPECT_FALSE(IsMotion(std::nextafter(1.0f, 2.0f)));
}

TEST(MotionRatioTest, AFrameWithoutPixelsIsNoMotion) {
    EXPECT_FALSE(IsMotion(MotionRatio(0, 0, 0)));
    EXPECT_FALSE(IsMotion(MotionRatio(5, 0, 240)));
}

TEST(MotionRatioTest, PercentagesAreWholeAndRoundHalvesUp) {
    EXPECT_EQ(PercentText(MotionRatio(192, kWidth, kHeight)), QStringLiteral("1%"));
    EXPECT_EQ(PercentText(MotionRatio(1344, kWidth, kHeight)), QStringLiteral("7%"));
    EXPECT_EQ(PercentText(1.0f), QStringLiteral("100%"));
    EXPECT_EQ(PercentText(0.125f), QStringLiteral("13%"));
    EXPECT_EQ(PercentText(0.0149f), QStringLiteral("1%"));
}

}  // namespace
}  // namespace snapwire::motion
