#pragma once

// The account list `ftps`: a report list with a tick on every row. The row's text
// is the account name, the two further columns show the account's host and
// interval, the tick says whether the account is active, and the selected row is
// the account whose settings the window's controls hold. Rows are numbered from 1.
//
// Only the user's choice of a row is reported (RowClicked): code that selects a row
// loads the account itself, and a click on a tick changes the tick alone, without
// selecting or loading that row. The user cannot unselect the selected row (by a
// click on the empty area below the rows, or Ctrl+click): the controls keep holding
// that account, and every edit must still be stored under it.

#include <QString>
#include <QStringList>
#include <QTreeWidget>

namespace snapwire::accounts {

class AccountList : public QTreeWidget {
    Q_OBJECT
  public:
    explicit AccountList(QWidget* parent = nullptr);

    int Count() const;
    // Row texts; an empty text for a row number outside 1..Count().
    QString Text(int row) const;
    QStringList Texts() const;
    bool Ticked(int row) const;
    void SetTicked(int row, bool ticked);

    // The selected row, 0 when none is.
    int SelectedRow() const;
    QString SelectedText() const;
    // Selects a row from code; RowClicked is not emitted. A row number outside
    // 1..Count() changes nothing.
    void Select(int row);

    void AddRow(const QString& text);  // at the end, unticked, no further columns
    void RemoveRow(int row);
    void SetColumns(int row, const QString& hostName, const QString& every);

    // Where the row's tick is drawn, in viewport coordinates (empty for no such row).
    QRect TickRect(int row) const;

  Q_SIGNALS:
    // The user made a row the selected one (by mouse or keyboard).
    void RowClicked();

  protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    QItemSelectionModel::SelectionFlags selectionCommand(const QModelIndex& index,
                                                         const QEvent* event = nullptr) const override;

  private:
    QTreeWidgetItem* Row(int row) const;
    QRect TickRectOf(QTreeWidgetItem* item) const;
    // The row whose tick lies under pos (viewport coordinates), or none.
    QTreeWidgetItem* TickAt(const QPoint& pos) const;
    static void ToggleTick(QTreeWidgetItem* item);
};

}  // namespace snapwire::accounts
