#pragma once

// A read-only text view for a log that only grows at its end. It keeps the lines
// as UTF-8 bytes and lays out only those on screen, where a text document keeps a
// block with its layout for every line. It scrolls a line at a time, and lines
// wider than the view wrap at its width, so there is only a vertical scroll bar.
// Its text is selected with the mouse or Select All and copied, as in a read-only
// text box.

#include "windows/log_lines.h"
#include "windows/log_text_selection.h"

#include <QAbstractScrollArea>
#include <QBasicTimer>
#include <QClipboard>

class QTextLayout;

namespace snapwire {

class LogTextView : public QAbstractScrollArea {
  public:
    // Holds at most maxLines lines; the text always has at least one (empty) line.
    explicit LogTextView(int maxLines, QWidget* parent = nullptr);

    // Adds text at the end of the last line; each line break (CR LF, LF or CR)
    // starts a new line. The oldest lines go beyond the limit.
    void AppendText(const QString& text);
    void Clear();
    // The whole text, the lines joined by LF.
    QString PlainText() const;
    int LineCount() const { return lines_.Count(); }

    // Scrolls so that the last line is in view (at once, or when the view is shown).
    void ScrollToEnd();
    bool IsScrolledToEnd() const;
    // How many lines of the screen the given line takes at the view's width.
    int ScreenLines(int line) const;

    void SelectAll();
    QString SelectedText() const { return selection_.Text(lines_); }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

  private:
    int LayOut(QTextLayout& layout) const;
    int LineHeight(int line) const;
    int FirstLineOfLastPage() const;
    void UpdateScrollBar();
    LogTextPosition PositionAt(QPoint point) const;
    void SelectWordAt(LogTextPosition position);
    void DragTo(QPoint point);
    void CopySelection(QClipboard::Mode mode) const;

    LogLines lines_;
    LogTextSelection selection_;
    QBasicTimer dragScroll_;  // scrolls while a selecting drag stands beyond the top or bottom
    QPoint dragPoint_;
    bool endPending_ = false;  // scroll to the end once the view is laid out on screen
};

}  // namespace snapwire
