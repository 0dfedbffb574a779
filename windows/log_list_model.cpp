#include "windows/log_list_model.h"

namespace snapwire {

LogListModel::LogListModel(std::vector<Column> columns, int maxRows, QObject* parent)
    : QAbstractTableModel(parent), columns_(std::move(columns)), rows_(maxRows) {}

void LogListModel::AppendRow(const QStringList& texts) {
    if (rows_.IsFull()) {
        beginRemoveRows(QModelIndex(), 0, 0);
        rows_.RemoveFirst();
        endRemoveRows();
    }
    const int row = rows_.Count();
    beginInsertRows(QModelIndex(), row, row);
    rows_.AppendFields(texts);
    endInsertRows();
}

void LogListModel::Clear() {
    beginResetModel();
    rows_.Clear();
    endResetModel();
}

QStringList LogListModel::RowTexts(int row) const {
    if (row < 0 || row >= rows_.Count())
        return {};
    return rows_.Fields(row);
}

int LogListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : rows_.Count();
}

int LogListModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(columns_.size());
}

QVariant LogListModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || role != Qt::DisplayRole)
        return {};
    return rows_.Field(index.row(), index.column());
}

QVariant LogListModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    if (role == Qt::DisplayRole)
        return columns_[static_cast<std::size_t>(section)].header;
    if (role == Qt::UserRole)
        return columns_[static_cast<std::size_t>(section)].key;
    return {};
}

}  // namespace snapwire
