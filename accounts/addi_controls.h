#pragma once

// The two controls of the additional-texts editor that Qt has no ready match for:
// the list of texts, whose cells and ticks are the items, and the preview, a
// picture the texts are drawn onto.

#include "accounts/additional_texts.h"

#include <QImage>
#include <QPointF>
#include <QTreeWidget>
#include <QWidget>
#include <vector>

namespace snapwire::accounts {

// The report list `lstvText`: rows numbered from 1, each with a check box, the
// text, and the cells "keyX" and "keyY". While it has rows, one of them is selected.
class TextList : public QTreeWidget {
    Q_OBJECT
  public:
    explicit TextList(QWidget* parent = nullptr);

    int Count() const;
    AdditionalText Item(int row) const;  // an empty item outside 1..Count()
    std::vector<AdditionalText> Items() const;
    QString Text(int row) const;
    void SetText(int row, const QString& text);
    // The text of a cell by its column key "keyText", "keyX" or "keyY".
    QString Cell(int row, const QString& key) const;
    bool Ticked(int row) const;

    // Ticks and texts set from code do not report ItemCheck.
    void AddRow(const AdditionalText& item);
    void RemoveRow(int row);  // the row after it, or else the last row, becomes selected
    void Clear();

    int SelectedRow() const;  // 0 when there is none
    void Select(int row);

  Q_SIGNALS:
    // The user ticked or unticked the row's check box.
    void ItemCheck(int row);
    // The user clicked a row.
    void ItemClick(int row);

  private:
    QTreeWidgetItem* Row(int row) const;
    int RowOf(const QTreeWidgetItem* item) const;
    void OnItemChanged(QTreeWidgetItem* item, int column);
};

// The preview `picFrame`: shows a picture at its own size and keeps what is drawn
// onto it until it is cleared. Positions are picture pixels.
class PreviewBox : public QWidget {
    Q_OBJECT
  public:
    explicit PreviewBox(QWidget* parent = nullptr);

    // The camera picture; sizes the box to it and clears the drawing.
    void SetPicture(const QImage& picture);
    QImage Picture() const { return picture_; }
    // Removes what was drawn; the picture stays.
    void Cls();
    // Lets the picture and the drawing go; the box keeps its size.
    void ReleasePicture();
    // The picture with everything drawn on it. Draw onto it, then call update().
    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

  Q_SIGNALS:
    void MouseDown(Qt::MouseButton button, QPointF position);
    void MouseMove(Qt::MouseButtons buttons, QPointF position);
    void MouseUp(Qt::MouseButton button, QPointF position);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QImage picture_;
    QImage image_;
};

}  // namespace snapwire::accounts
