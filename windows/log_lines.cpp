#include "windows/log_lines.h"

#include <QByteArrayView>
#include <algorithm>

namespace snapwire {

namespace {

// A row keeps each field behind its length in UTF-8 bytes, seven bits to a byte
// (one byte for a field shorter than 128 bytes): a separator character could
// stand in a timestamp pattern or a file name and split the field it is part of.
void AppendField(QByteArray& row, const QString& field) {
    const QByteArray bytes = field.toUtf8();
    auto length = static_cast<quint64>(bytes.size());
    for (; length >= 0x80; length >>= 7) row.append(static_cast<char>(0x80 | (length & 0x7f)));
    row.append(static_cast<char>(length));
    row.append(bytes);
}

// Reads the field that starts at `at` and moves `at` past it.
QByteArrayView NextField(const QByteArray& row, qsizetype& at) {
    quint64 length = 0;
    for (int shift = 0; at < row.size(); shift += 7) {
        const auto byte = static_cast<unsigned char>(row.at(at++));
        length |= static_cast<quint64>(byte & 0x7f) << shift;
        if (byte < 0x80)
            break;
    }
    const qsizetype start = at;
    at = std::min(row.size(), start + static_cast<qsizetype>(length));
    return QByteArrayView(row).sliced(start, at - start);
}

}  // namespace

QString LogLines::Line(int index) const {
    return QString::fromUtf8(entries_.at(static_cast<std::size_t>(index)));
}

QStringList LogLines::Fields(int index) const {
    const QByteArray& row = entries_.at(static_cast<std::size_t>(index));
    QStringList fields;
    for (qsizetype at = 0; at < row.size();) fields << QString::fromUtf8(NextField(row, at));
    return fields;
}

QString LogLines::Field(int index, int field) const {
    const QByteArray& row = entries_.at(static_cast<std::size_t>(index));
    qsizetype at = 0;
    for (int skipped = 0; skipped < field && at < row.size(); ++skipped) NextField(row, at);
    return at < row.size() ? QString::fromUtf8(NextField(row, at)) : QString();
}

int LogLines::Append(const QString& line) {
    entries_.push_back(line.toUtf8());
    return DropOldest();
}

int LogLines::AppendFields(const QStringList& fields) {
    QByteArray row;
    for (const QString& field : fields) AppendField(row, field);
    row.squeeze();  // the row stays for the whole run: no room to grow
    entries_.push_back(row);
    return DropOldest();
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
