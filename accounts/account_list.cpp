#include "accounts/account_list.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QStyledItemDelegate>

namespace snapwire::accounts {

namespace {

// Tells where the delegate draws a row's tick, so that a click on it can be told
// apart from a click on the row.
class TickDelegate : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    QRect TickRect(QStyleOptionViewItem option, const QModelIndex& index, const QWidget* view) const {
        initStyleOption(&option, index);
        return view->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, view);
    }
};

}  // namespace

AccountList::AccountList(QWidget* parent) : QTreeWidget(parent) {
    setColumnCount(3);
    setHeaderLabels({QStringLiteral("FTP Account"), QStringLiteral("Host Name"), QStringLiteral("Every")});
    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setAllColumnsShowFocus(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setItemDelegate(new TickDelegate(this));
    header()->setStretchLastSection(true);
}

int AccountList::Count() const {
    return topLevelItemCount();
}

QTreeWidgetItem* AccountList::Row(int row) const {
    return row >= 1 && row <= Count() ? topLevelItem(row - 1) : nullptr;
}

QString AccountList::Text(int row) const {
    const QTreeWidgetItem* item = Row(row);
    return item ? item->text(0) : QString();
}

QStringList AccountList::Texts() const {
    QStringList texts;
    for (int row = 1; row <= Count(); ++row) texts << Text(row);
    return texts;
}

bool AccountList::Ticked(int row) const {
    const QTreeWidgetItem* item = Row(row);
    return item && item->checkState(0) == Qt::Checked;
}

void AccountList::SetTicked(int row, bool ticked) {
    if (QTreeWidgetItem* item = Row(row))
        item->setCheckState(0, ticked ? Qt::Checked : Qt::Unchecked);
}

int AccountList::SelectedRow() const {
    const QList<QTreeWidgetItem*> selected = selectedItems();
    return selected.isEmpty() ? 0 : indexOfTopLevelItem(selected.first()) + 1;
}

QString AccountList::SelectedText() const {
    return Text(SelectedRow());
}

void AccountList::Select(int row) {
    if (QTreeWidgetItem* item = Row(row))
        setCurrentItem(item);
}

void AccountList::AddRow(const QString& text) {
    auto* item = new QTreeWidgetItem(QStringList{text});
    item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled | Qt::ItemIsUserCheckable |
                   Qt::ItemNeverHasChildren);
    item->setCheckState(0, Qt::Unchecked);
    addTopLevelItem(item);
}

void AccountList::RemoveRow(int row) {
    delete Row(row);
}

void AccountList::SetColumns(int row, const QString& hostName, const QString& every) {
    if (QTreeWidgetItem* item = Row(row)) {
        item->setText(1, hostName);
        item->setText(2, every);
    }
}

QRect AccountList::TickRectOf(QTreeWidgetItem* item) const {
    const QModelIndex index = indexFromItem(item, 0);
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    option.rect = visualRect(index);
    return static_cast<const TickDelegate*>(itemDelegate())->TickRect(option, index, this);
}

QRect AccountList::TickRect(int row) const {
    QTreeWidgetItem* item = Row(row);
    return item ? TickRectOf(item) : QRect();
}

QTreeWidgetItem* AccountList::TickAt(const QPoint& pos) const {
    QTreeWidgetItem* item = itemAt(pos);
    return item && TickRectOf(item).contains(pos) ? item : nullptr;
}

void AccountList::ToggleTick(QTreeWidgetItem* item) {
    item->setCheckState(0, item->checkState(0) == Qt::Checked ? Qt::Unchecked : Qt::Checked);
}

void AccountList::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (QTreeWidgetItem* ticked = TickAt(pos)) {
        if (event->button() == Qt::LeftButton)
            ToggleTick(ticked);
        event->accept();
        return;
    }
    QTreeWidget::mousePressEvent(event);
    QTreeWidgetItem* item = itemAt(pos);
    if (event->button() == Qt::LeftButton && item && item->isSelected())
        Q_EMIT RowClicked();
}

void AccountList::mouseReleaseEvent(QMouseEvent* event) {
    if (TickAt(event->position().toPoint())) {
        event->accept();
        return;
    }
    QTreeWidget::mouseReleaseEvent(event);
}

void AccountList::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second click of a double click on a tick turns it back, as two clicks would.
    if (QTreeWidgetItem* ticked = TickAt(event->position().toPoint())) {
        if (event->button() == Qt::LeftButton)
            ToggleTick(ticked);
        event->accept();
        return;
    }
    QTreeWidget::mouseDoubleClickEvent(event);
}

QItemSelectionModel::SelectionFlags AccountList::selectionCommand(const QModelIndex& index,
                                                                  const QEvent* event) const {
    if (!index.isValid())
        return QItemSelectionModel::NoUpdate;
    const QItemSelectionModel::SelectionFlags command = QTreeWidget::selectionCommand(index, event);
    return command.testFlag(QItemSelectionModel::Deselect) ? QItemSelectionModel::NoUpdate : command;
}

void AccountList::keyPressEvent(QKeyEvent* event) {
    const int before = SelectedRow();
    QTreeWidget::keyPressEvent(event);
    const int after = SelectedRow();
    if (after != 0 && after != before)
        Q_EMIT RowClicked();
}

}  // namespace snapwire::accounts
