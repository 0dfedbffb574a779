#pragma once

// The arithmetic of motion detection, apart from the window so that exact pictures
// can be fed to it: packed colours, the threshold, the sampling grid with its
// comparison and marking, the motion ratio and its percentage text.
//
// Colours here are the packed 0x00BBGGRR values that the settings store and that the
// comparison subtracts as whole numbers: a change in blue weighs 65536 times, in
// green 256 times as much as the same change in red.

#include <QImage>
#include <QString>
#include <QtGlobal>
#include <cstdint>
#include <optional>

namespace snapwire::motion {

// What a point outside a picture reads: every bit set.
inline constexpr std::int32_t kOutsidePicture = -1;
// The paint of changed points when no account wants motion detection: green 200.
inline constexpr std::uint32_t kNoAccountColor = 51200;

// Qt keeps red in the high byte; the comparison wants it in the low byte.
std::int32_t PackedColor(QRgb pixel);
QRgb QtColor(std::uint32_t packedColor);

// The change a point must exceed at sensitivity 0..100: 10000000 at 0, 0 at 100.
std::int32_t MotionThreshold(std::int32_t sensitivity);

struct PictureComparison {
    std::int32_t changedPoints = 0;
    QImage marked;  // the examined picture with the changed points painted (if asked)
};

// Compares every second column and row, x = 0, 2, ... up to and including
// `gridWidth`, y likewise up to `gridHeight`; a point outside a picture reads
// kOutsidePicture there. A point has changed when the packed colours differ by more
// than `threshold`. Changed points inside the examined picture are painted in
// `paintColor` when one is given: in place when the examined picture is handed over
// (moved in) unshared in the 32-bit RGB format.
PictureComparison ComparePictures(QImage examined, const QImage& reference, std::int32_t gridWidth,
                                  std::int32_t gridHeight, std::int32_t threshold,
                                  std::optional<std::uint32_t> paintColor);

// Four times the changed points (one point in four is sampled) over the frame's
// pixels, in single precision.
float MotionRatio(std::int32_t changedPoints, std::int32_t width, std::int32_t height);
// Motion lies in the band 0.01 to 1.0, both bounds included.
bool IsMotion(float ratio);
// The ratio as a whole percentage with its sign: 0.07 gives "7%".
QString PercentText(float ratio);

}  // namespace snapwire::motion
