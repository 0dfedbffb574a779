#pragma once

// The text forms in which settings are stored, and the ways the program reads
// numbers, flags, dates and times back from text. Locale-dependent forms follow
// QLocale() (the default locale, which tests may change with QLocale::setDefault).

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <cstdint>

namespace snapwire {

QString BoolText(bool value);               // "True" / "False"
bool TextIsTrue(const QString& text);       // "True" in any letter case
QString CheckText(bool checked);            // "1" / "0"
QString IntText(std::int64_t value);        // decimal, "-" for negatives, no grouping
QString FloatText(double value);            // locale decimal separator, no trailing zeros

QString DateText(const QDate& date);        // locale short date with a four-digit year
QString TimeText(const QTime& time);        // locale long time without a time zone
// Short date, a blank, long time; the date alone at exactly midnight;
// the time alone when the date is 30 December 1899 (the zero date).
QString GeneralDateText(const QDateTime& moment);
QDate ParseDateText(const QString& text);   // invalid QDate when unreadable
QTime ParseTimeText(const QString& text);   // invalid QTime when unreadable

// Reading numbers the way the program does: the leading number of the text
// (after blanks), 0 when there is none. "12abc" -> 12, "abc" -> 0, " -3" -> -3.
std::int64_t LeadingInteger(const QString& text);
double LeadingNumber(const QString& text);  // also takes the locale's decimal separator
// Rounds halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
std::int64_t RoundHalfEven(double value);

}  // namespace snapwire
