#include "windows/log_text_view.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QPainter>
#include <QScrollBar>
#include <QTextLayout>
#include <algorithm>

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
    setFocusPolicy(Qt::StrongFocus);
    verticalScrollBar()->setSingleStep(1);
}

void LogTextView::AppendText(const QString& text) {
    const QStringList pieces = SplitAtLineBreaks(text);
    lines_.ReplaceLast(lines_.Line(lines_.Count() - 1) + pieces.first());
    int dropped = 0;
    for (qsizetype i = 1; i < pieces.size(); ++i) dropped += lines_.Append(pieces.at(i));
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
    UpdateScrollBar();
    viewport()->update();
}

QString LogTextView::PlainText() const {
    QStringList all;
    all.reserve(lines_.Count());
    for (int i = 0; i < lines_.Count(); ++i) all << lines_.Line(i);
    return all.join(QLatin1Char('\n'));
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

void LogTextView::paintEvent(QPaintEvent*) {
    QPainter painter(viewport());
    painter.setPen(palette().color(QPalette::Text));
    const int bottom = viewport()->height();
    int y = kMargin;
    for (int line = verticalScrollBar()->value(); line < lines_.Count() && y < bottom; ++line) {
        QTextLayout layout(lines_.Line(line), font());
        const int height = LayOut(layout);
        layout.draw(&painter, QPointF(kMargin, y));
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

// The log is read, not edited: Copy takes the whole text, as selecting all and copying would.
void LogTextView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        CopyAll();
        return;
    }
    QAbstractScrollArea::keyPressEvent(event);
}

void LogTextView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    connect(menu.addAction(QStringLiteral("&Copy")), &QAction::triggered, this, [this] { CopyAll(); });
    menu.exec(event->globalPos());
}

void LogTextView::CopyAll() const {
    QGuiApplication::clipboard()->setText(PlainText());
}

}  // namespace snapwire
