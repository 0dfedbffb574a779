#include "windows/help_pictures.h"

#include <QPainter>
#include <QPixmap>

namespace snapwire {

namespace {

constexpr int kSize = 12;

QPixmap EmptyPicture() {
    QPixmap picture(kSize, kSize);
    picture.fill(Qt::transparent);
    return picture;
}

QIcon ClosedBook() {
    QPixmap picture = EmptyPicture();
    QPainter painter(&picture);
    painter.setPen(QColor(40, 40, 110));
    painter.setBrush(QColor(70, 90, 200));
    painter.drawRect(2, 1, 8, 10);
    painter.setPen(QColor(230, 230, 230));
    painter.drawLine(4, 2, 4, 10);  // the spine
    return QIcon(picture);
}

QIcon HelpPage() {
    QPixmap picture = EmptyPicture();
    QPainter painter(&picture);
    painter.setPen(QColor(90, 90, 90));
    painter.setBrush(Qt::white);
    painter.drawRect(1, 0, 9, 11);
    QFont font = painter.font();
    font.setPixelSize(9);
    font.setBold(true);
    painter.setFont(font);
    painter.setPen(QColor(30, 60, 180));
    painter.drawText(QRect(1, 0, 10, 12), Qt::AlignCenter, QStringLiteral("?"));
    return QIcon(picture);
}

QIcon Globe() {
    QPixmap picture = EmptyPicture();
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QColor(20, 90, 40));
    painter.setBrush(QColor(90, 170, 230));
    painter.drawEllipse(QRectF(0.5, 0.5, 11, 11));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(3.5, 0.5, 5, 11));         // a meridian
    painter.drawLine(QPointF(0.5, 6), QPointF(11.5, 6));  // the equator
    return QIcon(picture);
}

}  // namespace

std::array<QIcon, 3> HelpNodePictures() {
    return {ClosedBook(), HelpPage(), Globe()};
}

}  // namespace snapwire
