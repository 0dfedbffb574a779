#include "engine/picture_box.h"

#include <QImageReader>
#include <QPainter>

namespace snapwire {

PictureBox::PictureBox(QWidget* parent) : QWidget(parent), backColor_(palette().color(QPalette::Window)) {}

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

void PictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), backColor_);
    if (!picture_.isNull())
        painter.drawPixmap(0, 0, picture_);
}

}  // namespace snapwire
