#include "settings_store/conversions.h"

#include <QLocale>

#include <cmath>
#include <limits>
#include <vector>

namespace snapwire {

namespace {

// Qt date/time formats: quoted literals are copied through untouched, and
// each run of one pattern letter is handed to `rewrite`, which returns its
// replacement (possibly empty).
template <typename Rewrite>
QString RewriteFormatLetters(const QString& format, Rewrite rewrite) {
    QString result;
    qsizetype i = 0;
    while (i < format.size()) {
        const QChar c = format.at(i);
        if (c == QLatin1Char('\'')) {
            const qsizetype close = format.indexOf(QLatin1Char('\''), i + 1);
            const qsizetype end = close < 0 ? format.size() : close + 1;
            result += format.mid(i, end - i);
            i = end;
        } else if (c.isLetter()) {
            qsizetype end = i;
            while (end < format.size() && format.at(end) == c) ++end;
            result += rewrite(format.mid(i, end - i));
            i = end;
        } else {
            result += c;
            ++i;
        }
    }
    return result;
}

// Qt's short dates often carry a two-digit year; stored dates must not.
QString WithFourDigitYear(const QString& format) {
    return RewriteFormatLetters(format, [](const QString& run) {
        return run.at(0) == QLatin1Char('y') ? QStringLiteral("yyyy") : run;
    });
}

// Qt's long time appends the time zone ("t"); stored times have none.
QString WithoutTimeZone(const QString& format) {
    QString stripped = RewriteFormatLetters(
        format, [](const QString& run) { return run.at(0) == QLatin1Char('t') ? QString() : run; });
    stripped.remove(QStringLiteral("()"));
    return stripped.simplified();
}

QString ShortDateFormat(const QLocale& locale) {
    return WithFourDigitYear(locale.dateFormat(QLocale::ShortFormat));
}

QString LongTimeFormat(const QLocale& locale) {
    return WithoutTimeZone(locale.timeFormat(QLocale::LongFormat));
}

struct FormatCandidate {
    QLocale locale;
    QString format;
};

// The forms a stored date may have: the current locale's first, then the
// system locale's (the user's own before the program changed it), then
// locale-neutral forms that older values or other locales produce.
std::vector<FormatCandidate> DateCandidates() {
    const QLocale current;
    const QLocale system = QLocale::system();
    const QLocale c = QLocale::c();
    std::vector<FormatCandidate> candidates{{current, ShortDateFormat(current)},
                                            {current, current.dateFormat(QLocale::LongFormat)}};
    if (system != current)
        candidates.push_back({system, ShortDateFormat(system)});
    for (const char* format : {"yyyy-M-d", "d.M.yyyy", "M/d/yyyy", "d/M/yyyy", "yyyy/M/d", "yyyy.M.d"})
        candidates.push_back({c, QString::fromLatin1(format)});
    return candidates;
}

std::vector<FormatCandidate> TimeCandidates() {
    const QLocale current;
    const QLocale system = QLocale::system();
    const QLocale c = QLocale::c();
    std::vector<FormatCandidate> candidates{{current, LongTimeFormat(current)},
                                            {current, current.timeFormat(QLocale::ShortFormat)}};
    if (system != current)
        candidates.push_back({system, LongTimeFormat(system)});
    for (const char* format : {"H:mm:ss", "h:mm:ss AP", "H:mm", "h:mm AP"})
        candidates.push_back({c, QString::fromLatin1(format)});
    return candidates;
}

QDate ParseDateOnly(const QString& text, const std::vector<FormatCandidate>& candidates) {
    for (const FormatCandidate& candidate : candidates) {
        const QDate date = candidate.locale.toDate(text, candidate.format);
        if (date.isValid())
            return date;
    }
    return {};
}

QTime ParseTimeOnly(const QString& text, const std::vector<FormatCandidate>& candidates) {
    for (const FormatCandidate& candidate : candidates) {
        const QTime time = candidate.locale.toTime(text, candidate.format);
        if (time.isValid())
            return time;
    }
    return {};
}

bool IsBlank(QChar c) {
    return c == QLatin1Char(' ') || c == QLatin1Char('\t') || c == QLatin1Char('\n') ||
           c == QLatin1Char('\r');
}

bool IsAsciiDigit(QChar c) {
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

qsizetype SkipBlanks(const QString& text, qsizetype pos) {
    while (pos < text.size() && IsBlank(text.at(pos))) ++pos;
    return pos;
}

// Appends the ASCII digits found at `pos` to `out`; returns the position after them.
qsizetype TakeDigits(const QString& text, qsizetype pos, QString& out) {
    while (pos < text.size() && IsAsciiDigit(text.at(pos))) out += text.at(pos++);
    return pos;
}

struct ScannedNumber {
    double value = 0;
    qsizetype end = 0;  // position after the number (or where scanning stopped)
    bool found = false;
};

// Blanks, sign, digits, a decimal separator with digits, an exponent.
ScannedNumber ScanNumber(const QString& text) {
    ScannedNumber scanned;
    QString number;
    qsizetype pos = SkipBlanks(text, 0);
    if (pos < text.size() && (text.at(pos) == QLatin1Char('-') || text.at(pos) == QLatin1Char('+')))
        number += text.at(pos++);
    pos = TakeDigits(text, pos, number);
    bool found = number.size() > 0 && IsAsciiDigit(number.back());

    const QString localeSeparator = QLocale().decimalPoint();
    const bool dot = text.mid(pos, 1) == QLatin1String(".");
    const bool localeDot =
        !localeSeparator.isEmpty() && text.mid(pos, localeSeparator.size()) == localeSeparator;
    if (dot || localeDot) {
        QString fraction;
        const qsizetype afterSeparator = pos + (localeDot ? localeSeparator.size() : 1);
        const qsizetype end = TakeDigits(text, afterSeparator, fraction);
        if (found || !fraction.isEmpty()) {
            number += QLatin1Char('.') + fraction;
            pos = end;
            found = true;
        }
    }
    if (!found)
        return scanned;

    if (pos < text.size() && (text.at(pos) == QLatin1Char('e') || text.at(pos) == QLatin1Char('E'))) {
        QString exponent = QStringLiteral("e");
        qsizetype expPos = pos + 1;
        if (expPos < text.size() &&
            (text.at(expPos) == QLatin1Char('-') || text.at(expPos) == QLatin1Char('+')))
            exponent += text.at(expPos++);
        const qsizetype end = TakeDigits(text, expPos, exponent);
        if (end > expPos) {
            number += exponent;
            pos = end;
        }
    }
    scanned.value = number.toDouble();  // C locale: "." separator
    scanned.end = pos;
    scanned.found = true;
    return scanned;
}

}  // namespace

QString BoolText(bool value) {
    return value ? QStringLiteral("True") : QStringLiteral("False");
}

bool TextIsTrue(const QString& text) {
    return text.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0;
}

QString CheckText(bool checked) {
    return checked ? QStringLiteral("1") : QStringLiteral("0");
}

QString IntText(std::int64_t value) {
    return QString::number(value);
}

QString FloatText(double value, int significantDigits) {
    if (value == 0)
        return QStringLiteral("0");  // also for -0
    QString text = QString::number(value, 'g', significantDigits);
    text.replace(QLatin1Char('.'), QLocale().decimalPoint());
    return text;
}

QDate ZeroDate() {
    return QDate(1899, 12, 30);
}

QString DateText(const QDate& date) {
    const QLocale locale;
    return locale.toString(date, ShortDateFormat(locale));
}

QString TimeText(const QTime& time) {
    const QLocale locale;
    return locale.toString(time, LongTimeFormat(locale));
}

QString GeneralDateText(const QDateTime& moment) {
    if (!moment.isValid())
        return {};
    return GeneralDateText(moment.date(), moment.time());
}

QString GeneralDateText(const QDate& date, const QTime& time) {
    const QTime timeOfDay = time.isValid() ? time : QTime(0, 0);
    if (date == ZeroDate() || !date.isValid())
        return TimeText(timeOfDay);
    if (timeOfDay == QTime(0, 0))
        return DateText(date);
    return DateText(date) + QLatin1Char(' ') + TimeText(timeOfDay);
}

DateTimeParts ParseDateTimeText(const QString& rawText) {
    const QString text = rawText.trimmed();
    if (text.isEmpty())
        return {};
    const std::vector<FormatCandidate> dateCandidates = DateCandidates();
    const std::vector<FormatCandidate> timeCandidates = TimeCandidates();

    if (const QDate date = ParseDateOnly(text, dateCandidates); date.isValid())
        return {date, QTime(0, 0)};
    if (const QTime time = ParseTimeOnly(text, timeCandidates); time.isValid())
        return {ZeroDate(), time};
    // Date and time are separated by a blank, but a date or a time may hold blanks too.
    for (qsizetype blank = text.indexOf(QLatin1Char(' ')); blank > 0;
         blank = text.indexOf(QLatin1Char(' '), blank + 1)) {
        const QDate date = ParseDateOnly(text.left(blank).trimmed(), dateCandidates);
        if (!date.isValid())
            continue;
        const QTime time = ParseTimeOnly(text.mid(blank + 1).trimmed(), timeCandidates);
        if (time.isValid())
            return {date, time};
    }
    return {};
}

QDate ParseDateText(const QString& text) {
    return ParseDateTimeText(text).date;
}

QTime ParseTimeText(const QString& text) {
    return ParseDateTimeText(text).time;
}

std::int64_t LeadingInteger(const QString& text) {
    qsizetype pos = SkipBlanks(text, 0);
    bool negative = false;
    if (pos < text.size() && (text.at(pos) == QLatin1Char('-') || text.at(pos) == QLatin1Char('+')))
        negative = text.at(pos++) == QLatin1Char('-');
    // Accumulate towards the sign so that the most negative value still fits.
    std::int64_t value = 0;
    constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();
    constexpr std::int64_t kMin = std::numeric_limits<std::int64_t>::min();
    for (; pos < text.size() && IsAsciiDigit(text.at(pos)); ++pos) {
        const int digit = text.at(pos).unicode() - '0';
        if (negative) {
            value = value < (kMin + digit) / 10 ? kMin : value * 10 - digit;
        } else {
            value = value > (kMax - digit) / 10 ? kMax : value * 10 + digit;
        }
    }
    return value;
}

double LeadingNumber(const QString& text) {
    return ScanNumber(text).value;
}

std::optional<double> ParseNumberText(const QString& text) {
    const ScannedNumber scanned = ScanNumber(text);
    if (!scanned.found || SkipBlanks(text, scanned.end) != text.size())
        return std::nullopt;
    return scanned.value;
}

std::int64_t RoundHalfEven(double value) {
    if (std::isnan(value))
        return 0;
    double rounded = std::round(value);  // halves away from zero
    if (std::fabs(value - std::trunc(value)) == 0.5)
        rounded = 2.0 * std::round(value / 2.0);
    // 2^63 is exactly representable; anything at or beyond it saturates.
    constexpr double kLimit = 9223372036854775808.0;
    if (rounded >= kLimit)
        return std::numeric_limits<std::int64_t>::max();
    if (rounded < -kLimit)
        return std::numeric_limits<std::int64_t>::min();
    return static_cast<std::int64_t>(rounded);
}

}  // namespace snapwire
