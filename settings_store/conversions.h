#pragma once

// The text forms in which settings are stored, and the ways the program reads
// numbers, flags, dates and times back from text. Locale-dependent forms follow
// QLocale() (the default locale, which tests may change with QLocale::setDefault).

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstdint>
#include <optional>

namespace snapwire {

QString BoolText(bool value);          // "True" / "False"
bool TextIsTrue(const QString& text);  // "True" in any letter case
QString CheckText(bool checked);       // "1" / "0"
QString IntText(std::int64_t value);   // decimal, "-" for negatives, no grouping
// Locale decimal separator, no trailing zeros, no grouping, ASCII digits and "-".
// `significantDigits`: 15 for a double, 7 for a single-precision number.
QString FloatText(double value, int significantDigits = 15);

// 30 December 1899: the date part of a value that holds a time of day only.
QDate ZeroDate();

QString DateText(const QDate& date);  // locale short date with a four-digit year
QString TimeText(const QTime& time);  // locale long time without a time zone
// Short date, a blank, long time; the date alone at exactly midnight;
// the time alone when the date is 30 December 1899 (the zero date).
QString GeneralDateText(const QDateTime& moment);
QString GeneralDateText(const QDate& date, const QTime& time);

// Reads any of the forms above, written under the current locale or another
// one (the current locale's forms first, then the system locale's, ISO and a
// few common forms). A time alone gets the zero date, a date alone 00:00:00.
// Invalid (default-constructed) when unreadable; `date`/`time` are then invalid.
struct DateTimeParts {
    QDate date;
    QTime time;
    bool IsValid() const { return date.isValid() && time.isValid(); }
};
DateTimeParts ParseDateTimeText(const QString& text);
QDate ParseDateText(const QString& text);  // invalid QDate when unreadable
QTime ParseTimeText(const QString& text);  // invalid QTime when unreadable

// Reading numbers the way the program does: the leading number of the text
// (after blanks), 0 when there is none. "12abc" -> 12, "abc" -> 0, " -3" -> -3.
std::int64_t LeadingInteger(const QString& text);
// Also takes a decimal separator (the locale's, or "." written under another
// locale) and an exponent: "10,5 pt" -> 10.5 in de_DE.
double LeadingNumber(const QString& text);
// The whole text (blanks around it allowed) as a number in the forms
// LeadingNumber reads; nothing when anything else is in it or it is empty.
std::optional<double> ParseNumberText(const QString& text);
// Rounds halves to the even neighbour (2.5 -> 2, 3.5 -> 4); clamped to the
// 64-bit range, NaN gives 0.
std::int64_t RoundHalfEven(double value);

}  // namespace snapwire
