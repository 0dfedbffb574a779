#include "engine/status_bar.h"

#include <QHBoxLayout>
#include <QLabel>

namespace snapwire {

namespace {

QLabel* NewPanelLabel(QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setTextFormat(Qt::PlainText);
    return label;
}

QLabel* NewPanelIcon(QWidget* parent) {
    auto* icon = new QLabel(parent);
    icon->setFixedSize(16, 16);
    icon->hide();
    return icon;
}

}  // namespace

StatusBar::StatusBar(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("StatusBar1"));
    setFixedHeight(kHeight);
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(1, 1, 1, 1);
    row->setSpacing(2);
    icon1_ = NewPanelIcon(this);
    text1_ = NewPanelLabel(this);
    icon2_ = NewPanelIcon(this);
    text2_ = NewPanelLabel(this);
    text2_->setMinimumWidth(140);
    row->addWidget(icon1_);
    row->addWidget(text1_, 1);
    row->addWidget(icon2_);
    row->addWidget(text2_);
}

QLabel* StatusBar::PanelLabel(int panel) const {
    return panel == 1 ? text1_ : panel == 2 ? text2_ : nullptr;
}

QLabel* StatusBar::PanelIcon(int panel) const {
    return panel == 1 ? icon1_ : panel == 2 ? icon2_ : nullptr;
}

QString StatusBar::PanelText(int panel) const {
    const QLabel* label = PanelLabel(panel);
    return label ? label->text() : QString();
}

void StatusBar::SetPanelText(int panel, const QString& text) {
    if (QLabel* label = PanelLabel(panel))
        label->setText(text);
}

void StatusBar::SetPanelPicture(int panel, const QPixmap& picture) {
    QLabel* icon = PanelIcon(panel);
    if (!icon)
        return;
    icon->setPixmap(picture);
    icon->setVisible(!picture.isNull());
}

bool StatusBar::PanelHasPicture(int panel) const {
    const QLabel* icon = PanelIcon(panel);
    return icon && !icon->pixmap().isNull();
}

}  // namespace snapwire
