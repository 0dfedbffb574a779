#include "windows/frm_last.h"

#include "platform/ui/app_control.h"
#include "platform/ui/fonts.h"
#include "platform/ui/forms.h"
#include "platform/ui/menu_helpers.h"
#include "platform/ui/units.h"

#include <QAction>
#include <QBuffer>
#include <QCloseEvent>
#include <QFile>
#include <QFont>
#include <QImageReader>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace snapwire {

namespace {

// The design client area in twips, before the first picture.
constexpr int kDesignWidth = 4305;
constexpr int kDesignHeight = 3405;

}  // namespace

frmLast::frmLast() {
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("No Last Picture"));
    setFont(ui::DesignFont());
    setFixedSize(ui::TwipsToPixels(kDesignWidth), ui::TwipsToPixels(kDesignHeight));

    mnuPopup = new QMenu(QStringLiteral("Popup"), this);
    mnuPopup->setObjectName(QStringLiteral("mnuPopup"));
    mnuPAlwaysOnTop = ui::NewCheckMarkAction(QStringLiteral("Always On &Top"), mnuPopup);
    mnuPAlwaysOnTop->setObjectName(QStringLiteral("mnuPAlwaysOnTop"));
    mnuPopup->addAction(mnuPAlwaysOnTop);
    connect(mnuPAlwaysOnTop, &QAction::triggered, this, [this] { mnuPAlwaysOnTop_Click(); });
}

frmLast::~frmLast() = default;

void frmLast::Form_Load() {
    // Nothing to read: the window starts empty and not topmost at every start.
}

void frmLast::mnuPAlwaysOnTop_Click() {
    mnuPAlwaysOnTop->setChecked(!mnuPAlwaysOnTop->isChecked());
    if (mnuPAlwaysOnTop->isChecked())
        ui::OnTop(this);
    else
        ui::NOTOnTop(this);
}

void frmLast::Form_MouseDown(Qt::MouseButton button, const QPoint& globalPos) {
    if (button == Qt::LeftButton || button == Qt::RightButton)
        mnuPopup->popup(globalPos);
}

// The window takes the picture's own size, so the timestamp strip below the
// camera frame is shown whole. The file is checked and measured by its header and
// kept as it is, since it is deleted after the cycle.
bool frmLast::ShowLastPicture(const QString& picturePath, const QString& caption) {
    QFile file(picturePath);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    QByteArray bytes = file.readAll();
    QBuffer buffer(&bytes);
    QImageReader reader(&buffer);
    const QSize size = reader.size();
    if (!reader.canRead() || size.isEmpty())
        return false;
    pictureFile_ = std::move(bytes);
    picture_ = QImage();
    setWindowTitle(caption);
    setFixedSize(size);
    update();
    return true;
}

const QImage& frmLast::Picture() const {
    if (picture_.isNull() && !pictureFile_.isEmpty()) {
        QBuffer buffer;
        buffer.setData(pictureFile_);
        QImageReader reader(&buffer);
        picture_ = reader.read();
    }
    return picture_;
}

void frmLast::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    if (!Picture().isNull())
        painter.drawImage(QPoint(0, 0), Picture());
}

void frmLast::mousePressEvent(QMouseEvent* event) {
    Form_MouseDown(event->button(), event->globalPosition().toPoint());
}

// Closing only hides: the picture, caption and topmost state stay for the next showing.
void frmLast::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

namespace forms {
snapwire::frmLast& frmLast() {
    static ui::FormSlot<snapwire::frmLast> slot;
    return slot.Get();
}
}  // namespace forms

}  // namespace snapwire
