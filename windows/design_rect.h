#pragma once

// The windows' designs place their controls in twips of the client area.

#include "platform/ui/units.h"

#include <QRect>

namespace snapwire {

inline QRect DesignRect(int left, int top, int width, int height) {
    return {ui::TwipsToPixels(left), ui::TwipsToPixels(top), ui::TwipsToPixels(width),
            ui::TwipsToPixels(height)};
}

}  // namespace snapwire
