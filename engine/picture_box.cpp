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

QPixmap PictureBox::Picture() const {
    return image_.isNull() ? picture_ : QPixmap::fromImage(image_);
}

void PictureBox::SetPicture(const QPixmap& picture) {
    picture_ = picture;
    image_ = QImage();
    update();
}

void PictureBox::SetImage(const QImage& image) {
    image_ = image;
    picture_ = QPixmap();
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
    const bool hasImage = !image_.isNull();
    const bool opaque =
        hasImage ? !image_.hasAlphaChannel() : !picture_.isNull() && !picture_.hasAlphaChannel();
    if (opaque) {
        const QSizeF size = hasImage ? image_.deviceIndependentSize() : picture_.deviceIndependentSize();
        background -= QRect(QPoint(0, 0), size.toSize());
    }
    for (const QRect& part : background) painter.fillRect(part, backColor_);
    if (hasImage)
        painter.drawImage(0, 0, image_);
    else if (!picture_.isNull())
        painter.drawPixmap(0, 0, picture_);
}

}  // namespace snapwire
