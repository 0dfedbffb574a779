#include "engine/picture_box.h"

#include <QImageReader>
#include <QPainter>
#include <QRegion>

namespace snapwire {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), backColor_(palette().color(QPalette::Window)) {
    // Every paint covers the whole box, so what lies beneath it need not be painted first.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::SetBackColor(const QColor& color) {
    backColor_ = color;
    update();
}

void PictureBox::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    update();
}

bool PictureBox::LoadPicture(const QString& path) {
    QImageReader reader(path);
    const QImage image = reader.read();
    if (image.isNull())
        return false;
    SetPicture(QPixmap::fromImage(image));
    return true;
}

// Only what an opaque picture leaves uncovered takes the background colour: the
// motion picture is painted ten times a second.
void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QRegion background(rect());
    if (!picture_.isNull() && !picture_.hasAlphaChannel())
        background -= QRect(QPoint(0, 0), picture_.deviceIndependentSize().toSize());
    for (const QRect& part : background) painter.fillRect(part, backColor_);
    if (!picture_.isNull())
        painter.drawPixmap(0, 0, picture_);
}

}  // namespace snapwire
