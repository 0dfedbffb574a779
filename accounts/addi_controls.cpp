#include "accounts/addi_controls.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace snapwire::accounts {

namespace {

constexpr int kTextColumn = 0;
constexpr int kXColumn = 1;
constexpr int kYColumn = 2;
constexpr int kPositionColumnWidth = 48;
// The tick last set or reported, to tell a tick change from other changes of a row.
constexpr int kTickRole = Qt::UserRole;

int ColumnOfKey(const QString& key) {
    if (key == QLatin1String("keyX"))
        return kXColumn;
    if (key == QLatin1String("keyY"))
        return kYColumn;
    return key == QLatin1String("keyText") ? kTextColumn : -1;
}

Qt::CheckState TickState(bool ticked) {
    return ticked ? Qt::Checked : Qt::Unchecked;
}

}  // namespace

// --- TextList ------------------------------------------------------------------------------

TextList::TextList(QWidget* parent) : QTreeWidget(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("Text"), QStringLiteral("X"), QStringLiteral("Y")});
    header()->setStretchLastSection(false);
    header()->setSectionResizeMode(kTextColumn, QHeaderView::Stretch);
    for (int column : {kXColumn, kYColumn}) {
        header()->setSectionResizeMode(column, QHeaderView::Fixed);
        header()->resizeSection(column, kPositionColumnWidth);
    }
    connect(this, &QTreeWidget::itemChanged, this, &TextList::OnItemChanged);
    connect(this, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (const int row = RowOf(item))
            Q_EMIT ItemClick(row);
    });
    // A click beside the rows or a Ctrl+click must not leave the list without a selection.
    connect(this, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (selectedItems().isEmpty() && currentItem())
            currentItem()->setSelected(true);
    });
}

int TextList::Count() const {
    return topLevelItemCount();
}

QTreeWidgetItem* TextList::Row(int row) const {
    return row >= 1 && row <= Count() ? topLevelItem(row - 1) : nullptr;
}

int TextList::RowOf(const QTreeWidgetItem* item) const {
    const int index = item ? indexOfTopLevelItem(const_cast<QTreeWidgetItem*>(item)) : -1;
    return index + 1;
}

AdditionalText TextList::Item(int row) const {
    QTreeWidgetItem* item = Row(row);
    if (!item)
        return {};
    return {item->text(kTextColumn), item->text(kXColumn), item->text(kYColumn),
            item->checkState(kTextColumn) == Qt::Checked};
}

std::vector<AdditionalText> TextList::Items() const {
    std::vector<AdditionalText> items;
    for (int row = 1; row <= Count(); ++row) items.push_back(Item(row));
    return items;
}

QString TextList::Text(int row) const {
    return Cell(row, QStringLiteral("keyText"));
}

void TextList::SetText(int row, const QString& text) {
    if (QTreeWidgetItem* item = Row(row)) {
        const QSignalBlocker quiet(this);
        item->setText(kTextColumn, text);
    }
}

QString TextList::Cell(int row, const QString& key) const {
    QTreeWidgetItem* item = Row(row);
    const int column = ColumnOfKey(key);
    return item && column >= 0 ? item->text(column) : QString();
}

bool TextList::Ticked(int row) const {
    QTreeWidgetItem* item = Row(row);
    return item && item->checkState(kTextColumn) == Qt::Checked;
}

void TextList::AddRow(const AdditionalText& text) {
    const QSignalBlocker quiet(this);
    auto* item = new QTreeWidgetItem({text.Name, text.X, text.Y});
    item->setFlags((item->flags() | Qt::ItemIsUserCheckable) & ~Qt::ItemIsEditable);
    item->setCheckState(kTextColumn, TickState(text.Enabled));
    item->setData(kTextColumn, kTickRole, text.Enabled);
    addTopLevelItem(item);
    if (!currentItem())
        setCurrentItem(item);
}

void TextList::RemoveRow(int row) {
    QTreeWidgetItem* item = Row(row);
    if (!item)
        return;
    delete item;
    if (Count() > 0 && SelectedRow() == 0)
        Select(std::min(row, Count()));
}

void TextList::Clear() {
    const QSignalBlocker quiet(this);
    clear();
}

int TextList::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? 0 : RowOf(selected.constFirst());
}

void TextList::Select(int row) {
    if (QTreeWidgetItem* item = Row(row)) {
        setCurrentItem(item);
        item->setSelected(true);
    }
}

void TextList::OnItemChanged(QTreeWidgetItem* item, int column) {
    if (column != kTextColumn)
        return;
    const bool ticked = item->checkState(kTextColumn) == Qt::Checked;
    if (item->data(kTextColumn, kTickRole).toBool() == ticked)
        return;
    {
        const QSignalBlocker quiet(this);
        item->setData(kTextColumn, kTickRole, ticked);
    }
    Q_EMIT ItemCheck(RowOf(item));
}

// --- PreviewBox ----------------------------------------------------------------------------

PreviewBox::PreviewBox(QWidget* parent) : QWidget(parent) {
    setMouseTracking(true);  // the position is shown while the pointer merely moves
    setCursor(Qt::CrossCursor);
    setFocusPolicy(Qt::NoFocus);
    setFixedSize(0, 0);
}

void PreviewBox::SetPicture(const QImage& picture) {
    picture_ = picture.isNull() ? QImage() : picture.convertToFormat(QImage::Format_RGB32);
    image_ = picture_;
    setFixedSize(picture_.size());
    update();
}

void PreviewBox::Cls() {
    image_ = picture_;
    update();
}

void PreviewBox::ReleasePicture() {
    picture_ = QImage();
    image_ = QImage();
    update();
}

void PreviewBox::paintEvent(QPaintEvent*) {
    if (image_.isNull())
        return;
    QPainter painter(this);
    painter.drawImage(QPoint(0, 0), image_);
}

void PreviewBox::mousePressEvent(QMouseEvent* event) {
    Q_EMIT MouseDown(event->button(), event->position());
}

void PreviewBox::mouseMoveEvent(QMouseEvent* event) {
    Q_EMIT MouseMove(event->buttons(), event->position());
}

void PreviewBox::mouseReleaseEvent(QMouseEvent* event) {
    Q_EMIT MouseUp(event->button(), event->position());
}

}  // namespace snapwire::accounts
