#pragma once

// The entries a log window shows, each kept as UTF-8 bytes: a few dozen bytes an
// entry where a text document block or a list item costs several hundred.

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <deque>

namespace snapwire {

class LogLines {
  public:
    explicit LogLines(int maxEntries) : maxEntries_(maxEntries) {}

    int Count() const { return static_cast<int>(entries_.size()); }
    QString Line(int index) const;
    // An entry stored with AppendFields, as its fields again; one field of it,
    // empty past its last.
    QStringList Fields(int index) const;
    QString Field(int index, int field) const;

    // Appends at the end and returns how many of the oldest entries went to stay
    // within the limit.
    int Append(const QString& line);
    int AppendFields(const QStringList& fields);
    void ReplaceLast(const QString& line);
    bool IsFull() const { return Count() >= maxEntries_; }
    void RemoveFirst() { entries_.pop_front(); }
    void Clear() { entries_.clear(); }

  private:
    int DropOldest();

    const int maxEntries_;
    std::deque<QByteArray> entries_;
};

}  // namespace snapwire
