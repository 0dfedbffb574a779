// Drawing the additional texts: the same routine serves the editor's preview and
// the picture an upload publishes.

#include "accounts/additional_texts.h"

#include "accounts/date_tokens.h"
#include "platform/ui/units.h"
#include "settings_store/conversions.h"

#include <QPainter>
#include <algorithm>

namespace snapwire::accounts {

namespace {

double PixelOf(const QString& cellText) {
    return ParseNumberText(cellText).value_or(0);
}

void DrawOne(QPainter& painter, const QString& text, double x, double y) {
    // drawText places the baseline at the point given; the texts are placed by
    // their top-left corner.
    painter.drawText(QPointF(x, y + painter.fontMetrics().ascent()), text);
}

void PreparePainter(QPainter& painter, const TextFont& font) {
    painter.setFont(font.ToFont());
    painter.setPen(ui::ColorFromBgr(font.Color));
}

}  // namespace

// Without a ticked text no painter is opened, so a picture shared with the camera's
// frame is not copied for nothing.
void DrawTickedTexts(QImage& picture, const std::vector<AdditionalText>& items, const TextFont& font) {
    const bool anyTicked =
        std::any_of(items.begin(), items.end(), [](const AdditionalText& item) { return item.Enabled; });
    if (picture.isNull() || !anyTicked)
        return;
    QPainter painter(&picture);
    PreparePainter(painter, font);
    for (const AdditionalText& item : items) {
        if (item.Enabled)
            DrawOne(painter, FormatTimeFor(item.Name), PixelOf(item.X), PixelOf(item.Y));
    }
}

void DrawTextAt(QImage& picture, const QString& text, double x, double y, const TextFont& font) {
    if (picture.isNull())
        return;
    QPainter painter(&picture);
    PreparePainter(painter, font);
    DrawOne(painter, text, x, y);
}

}  // namespace snapwire::accounts
