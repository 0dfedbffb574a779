#include "windows/log_text_view.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QScrollBar>
#include <QTextBoundaryFinder>
#include <QTextLayout>
#include <algorithm>
#include <tuple>

namespace snapwire {

namespace {

// The gap between the frame and the text, as a text box leaves it.
constexpr int kMargin = 4;

QStringList SplitAtLineBreaks(const QString& text) {
    QStringList pieces;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        pieces << text.mid(start, i - start);
        if (c == QLatin1Char('\r') && i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    pieces << text.mid(start);
    return pieces;
}

}  // namespace

LogTextView::LogTextView(int maxLines, QWidget* parent) : QAbstractScrollArea(parent), lines_(maxLines) {
    lines_.Append(QString());
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setBackgroundRole(QPalette::Base);
    viewport()->setAutoFillBackground(true);
    viewport()->setCursor(Qt::IBeamCursor);
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(1);
}

void LogTextView::AppendText(const QString& text) {
    const QStringList pieces = SplitAtLineBreaks(text);
    lines_.ReplaceLast(lines_.Line(lines_.Count() - 1) + pieces.first());
    int dropped = 0;
    for (qsizetype i = 1; i < pieces.size(); ++i) dropped += lines_.Append(pieces.at(i));
    selection_.DropLines(dropped);
    // A hidden view is laid out when it is shown; appending stays cheap meanwhile.
    if (!isVisible())
        return;
    const int top = verticalScrollBar()->value() - dropped;
    UpdateScrollBar();
    verticalScrollBar()->setValue(std::max(top, 0));
    viewport()->update();
}

void LogTextView::Clear() {
    lines_.Clear();
    lines_.Append(QString());
    selection_.Clear();
    UpdateScrollBar();
    viewport()->update();
}

QString LogTextView::PlainText() const {
    QStringList all;
    all.reserve(lines_.Count());
    for (int i = 0; i < lines_.Count(); ++i) all << lines_.Line(i);
    return all.join(QLatin1Char('\n'));
}

void LogTextView::SelectAll() {
    const int last = lines_.Count() - 1;
    selection_.Select({}, {last, static_cast<int>(lines_.Line(last).size())});
    viewport()->update();
}

void LogTextView::ScrollToEnd() {
    if (!isVisible()) {
        endPending_ = true;
        return;
    }
    UpdateScrollBar();
    verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    viewport()->update();
}

bool LogTextView::IsScrolledToEnd() const {
    if (!isVisible())
        return endPending_;
    return verticalScrollBar()->value() >= FirstLineOfLastPage();
}

int LogTextView::ScreenLines(int line) const {
    QTextLayout layout(lines_.Line(line), font());
    LayOut(layout);
    return std::max(layout.lineCount(), 1);
}

// Wraps the text at the view's width, at word boundaries where it can, and
// returns its height: every line of the screen is as high as the font's spacing,
// so that scrolling and painting count the same heights.
int LogTextView::LayOut(QTextLayout& layout) const {
    QTextOption option;
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    const int spacing = QFontMetrics(font()).lineSpacing();
    const qreal width = std::max(viewport()->width() - 2 * kMargin, 1);
    int height = 0;
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(width);
        line.setPosition(QPointF(0, height));
        height += spacing;
    }
    layout.endLayout();
    return std::max(height, spacing);
}

int LogTextView::LineHeight(int line) const {
    const QFontMetrics metrics(font());
    const QString text = lines_.Line(line);
    if (metrics.horizontalAdvance(text) <= viewport()->width() - 2 * kMargin)
        return metrics.lineSpacing();
    QTextLayout layout(text, font());
    return LayOut(layout);
}

// The top line when the last line stands at the bottom of the view.
int LogTextView::FirstLineOfLastPage() const {
    int space = viewport()->height() - 2 * kMargin;
    int line = lines_.Count() - 1;
    for (space -= LineHeight(line); line > 0; --line) {
        space -= LineHeight(line - 1);
        if (space < 0)
            break;
    }
    return line;
}

void LogTextView::UpdateScrollBar() {
    const int lastTop = FirstLineOfLastPage();
    verticalScrollBar()->setRange(0, lastTop);
    verticalScrollBar()->setPageStep(std::max(lines_.Count() - lastTop, 1));
}

// The point's place in the text; points above or below the view count as its first or last screen line.
LogTextPosition LogTextView::PositionAt(QPoint point) const {
    const int spacing = QFontMetrics(font()).lineSpacing();
    const int y = std::clamp(point.y(), 0, viewport()->height() - 1) - kMargin;
    int top = 0;
    for (int line = std::min(verticalScrollBar()->value(), lines_.Count() - 1);; ++line) {
        QTextLayout layout(lines_.Line(line), font());
        const int height = LayOut(layout);
        const bool isLast = line + 1 == lines_.Count();
        if (y < top + height || isLast) {
            if (y >= top + height || layout.lineCount() == 0)
                return {line, static_cast<int>(layout.text().size())};
            const QTextLine screenLine =
                layout.lineAt(std::clamp((y - top) / spacing, 0, layout.lineCount() - 1));
            return {line, screenLine.xToCursor(point.x() - kMargin)};
        }
        top += height;
    }
}

void LogTextView::SelectWordAt(LogTextPosition position) {
    const QString text = lines_.Line(position.line);
    if (text.isEmpty())
        return;
    const int at = std::min(position.column, static_cast<int>(text.size()) - 1);
    QTextBoundaryFinder finder(QTextBoundaryFinder::Word, text);
    finder.setPosition(at);
    const qsizetype start = finder.isAtBoundary() ? at : finder.toPreviousBoundary();
    finder.setPosition(at);
    const qsizetype end = finder.toNextBoundary();
    selection_.Select({position.line, static_cast<int>(std::max<qsizetype>(start, 0))},
                      {position.line, static_cast<int>(end < 0 ? text.size() : end)});
}

void LogTextView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    QTextLayout::FormatRange selected;
    selected.format.setBackground(palette().brush(QPalette::Highlight));
    selected.format.setForeground(palette().brush(QPalette::HighlightedText));
    const int bottom = viewport()->height();
    int y = kMargin;
    for (int line = verticalScrollBar()->value(); line < lines_.Count() && y < bottom; ++line) {
        QTextLayout layout(lines_.Line(line), font());
        const int height = LayOut(layout);
        std::tie(selected.start, selected.length) =
            selection_.ColumnsOn(line, static_cast<int>(layout.text().size()));
        layout.draw(&painter, QPointF(kMargin, y),
                    selected.length > 0 ? QList{selected} : QList<QTextLayout::FormatRange>());
        y += height;
    }
}

void LogTextView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    const bool atEnd = verticalScrollBar()->value() >= verticalScrollBar()->maximum();
    UpdateScrollBar();
    if (atEnd)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
}

void LogTextView::showEvent(QShowEvent* event) {
    QAbstractScrollArea::showEvent(event);
    UpdateScrollBar();
    if (endPending_)
        verticalScrollBar()->setValue(verticalScrollBar()->maximum());
    endPending_ = false;
}

void LogTextView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy))
        CopySelection(QClipboard::Clipboard);
    else if (event->matches(QKeySequence::SelectAll))
        SelectAll();
    else
        QAbstractScrollArea::keyPressEvent(event);
}

void LogTextView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copy = menu.addAction(QStringLiteral("&Copy"));
    copy->setShortcut(QKeySequence::Copy);
    copy->setEnabled(!selection_.IsEmpty());
    connect(copy, &QAction::triggered, this, [this] { CopySelection(QClipboard::Clipboard); });
    QAction* all = menu.addAction(QStringLiteral("Select &All"));
    all->setShortcut(QKeySequence::SelectAll);
    connect(all, &QAction::triggered, this, &LogTextView::SelectAll);
    menu.exec(event->globalPos());
}

void LogTextView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mousePressEvent(event);
    const LogTextPosition at = PositionAt(event->position().toPoint());
    if (event->modifiers().testFlag(Qt::ShiftModifier))
        selection_.MoveCursor(at);
    else
        selection_.Select(at, at);
    viewport()->update();
}

void LogTextView::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons().testFlag(Qt::LeftButton))
        DragTo(event->position().toPoint());
}

void LogTextView::mouseReleaseEvent(QMouseEvent* event) {
    dragScroll_.stop();
    if (event->button() == Qt::LeftButton)
        CopySelection(QClipboard::Selection);
}

void LogTextView::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton)
        return QAbstractScrollArea::mouseDoubleClickEvent(event);
    SelectWordAt(PositionAt(event->position().toPoint()));
    viewport()->update();
}

void LogTextView::timerEvent(QTimerEvent* event) {
    if (event->timerId() != dragScroll_.timerId())
        return QAbstractScrollArea::timerEvent(event);
    QScrollBar* bar = verticalScrollBar();
    bar->setValue(bar->value() + (dragPoint_.y() < 0 ? -1 : 1));
    DragTo(dragPoint_);
}

// A drag held beyond the top or bottom edge keeps scrolling, a line at a time, until it comes back.
void LogTextView::DragTo(QPoint point) {
    dragPoint_ = point;
    if (point.y() >= 0 && point.y() < viewport()->height())
        dragScroll_.stop();
    else if (!dragScroll_.isActive())
        dragScroll_.start(50, this);
    selection_.MoveCursor(PositionAt(point));
    viewport()->update();
}

void LogTextView::CopySelection(QClipboard::Mode mode) const {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (selection_.IsEmpty() || (mode == QClipboard::Selection && !clipboard->supportsSelection()))
        return;
    clipboard->setText(SelectedText(), mode);
}

}  // namespace snapwire
