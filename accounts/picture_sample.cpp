#include "accounts/picture_sample.h"

#include "platform/ui/units.h"

#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>

namespace snapwire::accounts {

PictureSample::PictureSample(QWidget* parent) : QFrame(parent) {
    setFrameShape(QFrame::Box);
    setCursor(Qt::PointingHandCursor);
}

void PictureSample::SetBackColor(std::uint32_t color) {
    backColor_ = color;
    update();
}

void PictureSample::SetForeColor(std::uint32_t color) {
    foreColor_ = color;
    update();
}

void PictureSample::Cls() {
    printedText_.clear();
    update();
}

void PictureSample::Print(const QString& text) {
    printedText_ = text;
    update();
}

void PictureSample::paintEvent(QPaintEvent* event) {
    QPainter painter(this);
    painter.fillRect(rect(), ui::ColorFromBgr(backColor_));
    if (!printedText_.isEmpty()) {
        painter.setFont(font());
        painter.setPen(ui::ColorFromBgr(foreColor_));
        // drawText(QPoint) places the baseline: the ascent puts the text's top at the corner.
        painter.drawText(QPoint(0, QFontMetrics(font()).ascent()), printedText_);
    }
    painter.end();
    QFrame::paintEvent(event);
}

void PictureSample::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        Q_EMIT Click();
    QFrame::mouseReleaseEvent(event);
}

}  // namespace snapwire::accounts
