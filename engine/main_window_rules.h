#pragma once

// The arithmetic and text rules of the main window, apart from the window so
// they can be checked on their own.

#include <QString>
#include <cstdint>
#include <optional>

namespace snapwire {

inline constexpr int kToolbarHeight = 24;    // pixels
inline constexpr int kStatusBarHeight = 21;  // pixels
inline constexpr int kBarsAllowance = 44;    // taken from the inner height for both bars
inline constexpr double kDefaultWidthTwips = 6100;
inline constexpr double kDefaultHeightTwips = 6400;

// A stored toolbar flag sets the check mark when it is "True" in any letter case
// or a number other than 0; "False", "0", an empty text and anything else clear it.
bool FlagTextIsSet(const QString& text);

// A stored window size in twips; empty, unreadable, not positive or larger than a
// window can be gives the default.
double StoredSizeTwips(const QString& text, double defaultTwips);

// A stored background colour (0x00BBGGRR in decimal); nothing for a text that is
// no number or a number that is no such colour.
std::optional<std::uint32_t> StoredColor(const QString& text);

// Height of the background area for the window's inner height.
int BackgroundHeight(int innerHeight, bool toolbarShown, bool statusBarShown);

// Offset that centres an item of size `inner` in an area of size `outer`.
int CentredOffset(int outer, int inner);

// Sizes for fitting the window around a frame of `frameWidth` x `frameHeight`.
struct PictureFit {
    int backgroundWidth = 0;   // pixels
    int backgroundHeight = 0;  // pixels
    double windowWidthTwips = 0;
    double windowHeightTwips = 0;
};
PictureFit FitWindowToPicture(int frameWidth, int frameHeight, bool toolbarShown);

}  // namespace snapwire
