#pragma once

// Window geometry is kept in twips (15 per pixel) and colours as 0x00BBGGRR
// (red in the low byte), as the settings store them.

#include <QColor>
#include <cstdint>

namespace snapwire::ui {

inline constexpr int kTwipsPerPixel = 15;
int PixelsToTwips(int pixels);
int TwipsToPixels(double twips);  // rounded to the nearest pixel

QColor ColorFromBgr(std::uint32_t bgr);  // 0x00BBGGRR -> QColor
std::uint32_t BgrFromColor(const QColor& color);

}  // namespace snapwire::ui
