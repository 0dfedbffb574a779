#pragma once

// A setting value: what the settings store reads and writes. It carries its kind
// because the stored text form depends on it (a Boolean is "True", a check-box
// state "1", a single-precision size "10,5").

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstdint>

namespace snapwire {

class SettingValue {
  public:
    enum class Kind { Empty, Boolean, Int16, Int32, Single, Double, DateTime, Text, Bytes };

    SettingValue() = default;  // the empty value
    SettingValue(bool value);
    SettingValue(std::int16_t value);
    SettingValue(std::int32_t value);
    SettingValue(float value);
    SettingValue(double value);
    SettingValue(const QDateTime& value);
    SettingValue(const QDate& date);  // at 00:00:00
    SettingValue(const QTime& time);  // on the zero date
    SettingValue(const QDate& date, const QTime& time);
    SettingValue(const QString& value);
    SettingValue(const char* utf8);  // without it a literal would become a Boolean
    SettingValue(const QByteArray& bytes);

    // A check box's state: the 16-bit integer 0 or 1, stored as "0" / "1".
    static SettingValue CheckBox(bool checked);

    Kind GetKind() const { return kind_; }
    bool IsEmpty() const { return kind_ == Kind::Empty; }
    bool IsInteger() const { return kind_ == Kind::Int16 || kind_ == Kind::Int32; }
    bool IsByteArray() const { return kind_ == Kind::Bytes; }

    // The stored text form: "True"/"False", decimal integers, floats with the
    // locale separator, the general date text, text unchanged, "" when empty.
    // A byte array reads as UTF-8 text.
    QString ToText() const;

    // Conversions as callers need them; the empty value gives 0 / False / "".
    // Text converts through its leading number (rounded half to even for
    // integers), except that "True" (any letter case) is true and 1; a Boolean
    // gives 1 or 0.
    bool ToBool() const;
    std::int32_t ToInt() const;  // clamped to the 32-bit range
    double ToDouble() const;
    // Date/time values as held; text parsed (invalid parts when unreadable);
    // other kinds give invalid parts.
    QDate ToDate() const;
    QTime ToTime() const;
    QByteArray ToBytes() const;  // byte arrays as held, anything else as UTF-8 of ToText()

    friend bool operator==(const SettingValue& a, const SettingValue& b);

  private:
    Kind kind_ = Kind::Empty;
    bool bool_ = false;
    std::int32_t int_ = 0;  // Int16 and Int32
    double double_ = 0;     // Single and Double
    QDate date_;
    QTime time_;
    QString text_;
    QByteArray bytes_;
};

}  // namespace snapwire
