#include "windows/log_lines.h"

namespace snapwire {

namespace {

// The unit separator: the log writers' fields are names, times and paths, which never hold it.
constexpr char kFieldSeparator = '\x1f';

}  // namespace

QString LogLines::Line(int index) const {
    return QString::fromUtf8(entries_.at(static_cast<std::size_t>(index)));
}

QStringList LogLines::Fields(int index) const {
    return Line(index).split(QLatin1Char(kFieldSeparator));
}

int LogLines::Append(const QString& line) {
    entries_.push_back(line.toUtf8());
    return DropOldest();
}

int LogLines::AppendFields(const QStringList& fields) {
    return Append(fields.join(QLatin1Char(kFieldSeparator)));
}

void LogLines::ReplaceLast(const QString& line) {
    if (entries_.empty())
        entries_.push_back(line.toUtf8());
    else
        entries_.back() = line.toUtf8();
}

int LogLines::DropOldest() {
    int dropped = 0;
    for (; Count() > maxEntries_; ++dropped) entries_.pop_front();
    return dropped;
}

}  // namespace snapwire
