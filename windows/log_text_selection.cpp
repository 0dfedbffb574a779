#include "windows/log_text_selection.h"

#include <QStringList>

namespace snapwire {

void LogTextSelection::DropLines(int dropped) {
    anchor_.line -= dropped;
    cursor_.line -= dropped;
    if (Start().line < 0)
        Clear();
}

std::pair<int, int> LogTextSelection::ColumnsOn(int line, int length) const {
    const LogTextPosition start = Start();
    const LogTextPosition end = End();
    if (IsEmpty() || line < start.line || line > end.line)
        return {0, 0};
    const int from = line == start.line ? std::min(start.column, length) : 0;
    const int to = line == end.line ? std::min(end.column, length) : length;
    return {from, std::max(to - from, 0)};
}

QString LogTextSelection::Text(const LogLines& lines) const {
    if (IsEmpty())
        return QString();
    QStringList parts;
    for (int line = Start().line; line <= End().line && line < lines.Count(); ++line) {
        const QString text = lines.Line(line);
        const auto [from, length] = ColumnsOn(line, static_cast<int>(text.size()));
        parts << text.mid(from, length);
    }
    return parts.join(QLatin1Char('\n'));
}

}  // namespace snapwire
