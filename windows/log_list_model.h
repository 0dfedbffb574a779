#pragma once

// The rows of a list log window, one entry of UTF-8 bytes a row, produced for the
// view on demand.

#include "windows/log_lines.h"

#include <QAbstractTableModel>
#include <vector>

namespace snapwire {

class LogListModel : public QAbstractTableModel {
  public:
    struct Column {
        QString key;     // the column's key, as the header's Qt::UserRole data
        QString header;  // the header text
    };

    LogListModel(std::vector<Column> columns, int maxRows, QObject* parent);

    // Appends a row; the oldest goes first once the list holds maxRows.
    void AppendRow(const QStringList& texts);
    void Clear();
    QStringList RowTexts(int row) const;

    int rowCount(const QModelIndex& parent = QModelIndex()) const override;
    int columnCount(const QModelIndex& parent = QModelIndex()) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

  private:
    const std::vector<Column> columns_;
    LogLines rows_;
};

}  // namespace snapwire
