#include "engine/main_window_rules.h"

#include <algorithm>
#include <cmath>

#include "platform/ui/units.h"
#include "settings_store/conversions.h"

namespace snapwire {

namespace {

constexpr double kFrameWidthTwips = 100;    // borders around the background area
constexpr double kFrameHeightTwips = 1450;  // title, menu, toolbar, status bar and borders
constexpr double kMinWindowWidthTwips = 3780;
constexpr double kMinWindowHeightTwips = 4170;
constexpr int kPictureMarginWithToolbar = 5;
constexpr int kPictureMarginWithoutToolbar = -19;
// The widest or highest window the window system takes, in twips.
constexpr double kMaxWindowTwips = 32767.0 * ui::kTwipsPerPixel;
constexpr std::int64_t kWhite = 0xFFFFFF;

}  // namespace

bool FlagTextIsSet(const QString& text) {
    if (TextIsTrue(text))
        return true;
    const std::optional<double> number = ParseNumberText(text);
    return number.has_value() && *number != 0;
}

double StoredSizeTwips(const QString& text, double defaultTwips) {
    const std::optional<double> number = ParseNumberText(text);
    if (!number.has_value() || !std::isfinite(*number) || *number <= 0 || *number > kMaxWindowTwips)
        return defaultTwips;
    return *number;
}

std::optional<std::uint32_t> StoredColor(const QString& text) {
    const std::optional<double> number = ParseNumberText(text);
    if (!number.has_value() || !std::isfinite(*number))
        return std::nullopt;
    const std::int64_t color = RoundHalfEven(*number);
    if (color < 0 || color > kWhite)
        return std::nullopt;
    return static_cast<std::uint32_t>(color);
}

int BackgroundHeight(int innerHeight, bool toolbarShown, bool statusBarShown) {
    int height = innerHeight - kBarsAllowance;
    if (!toolbarShown)
        height += kToolbarHeight;
    if (!statusBarShown)
        height += kStatusBarHeight;
    return height;
}

int CentredOffset(int outer, int inner) {
    return static_cast<int>(std::lround(outer / 2.0 - inner / 2.0));
}

PictureFit FitWindowToPicture(int frameWidth, int frameHeight, bool toolbarShown) {
    PictureFit fit;
    fit.backgroundWidth = frameWidth;
    fit.backgroundHeight =
        frameHeight + (toolbarShown ? kPictureMarginWithToolbar : kPictureMarginWithoutToolbar);
    fit.windowWidthTwips = ui::PixelsToTwips(fit.backgroundWidth) + kFrameWidthTwips;
    fit.windowHeightTwips = ui::PixelsToTwips(fit.backgroundHeight) + kFrameHeightTwips;
    fit.windowWidthTwips = std::max(fit.windowWidthTwips, kMinWindowWidthTwips);
    fit.windowHeightTwips = std::max(fit.windowHeightTwips, kMinWindowHeightTwips);
    return fit;
}

}  // namespace snapwire
