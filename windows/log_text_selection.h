#pragma once

// A selection in a log view, held as positions in the log's lines rather than on
// the screen, so that copying and painting need no layout of lines out of view.

#include "windows/log_lines.h"

#include <QString>
#include <algorithm>
#include <compare>
#include <utility>

namespace snapwire {

struct LogTextPosition {
    int line = 0;
    int column = 0;  // in UTF-16 units of the line's text
    auto operator<=>(const LogTextPosition&) const = default;
};

class LogTextSelection {
  public:
    bool IsEmpty() const { return anchor_ == cursor_; }
    LogTextPosition Start() const { return std::min(anchor_, cursor_); }
    LogTextPosition End() const { return std::max(anchor_, cursor_); }
    LogTextPosition Cursor() const { return cursor_; }

    void Select(LogTextPosition anchor, LogTextPosition cursor) {
        anchor_ = anchor;
        cursor_ = cursor;
    }
    void MoveCursor(LogTextPosition cursor) { cursor_ = cursor; }
    void Clear() { anchor_ = cursor_ = LogTextPosition(); }
    // Follows the lines after the oldest went; a selection whose start went with them goes too.
    void DropLines(int dropped);

    // The selected part of a line of the given length, as its first column and its length (0 if none).
    std::pair<int, int> ColumnsOn(int line, int length) const;
    // The selected text, its lines joined by LF.
    QString Text(const LogLines& lines) const;

  private:
    LogTextPosition anchor_;
    LogTextPosition cursor_;
};

}  // namespace snapwire
