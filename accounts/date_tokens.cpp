#include "accounts/date_tokens.h"

#include <QLatin1String>
#include <array>

#include "accounts/clock.h"
#include "settings_store/conversions.h"

namespace snapwire::accounts {

namespace {

struct TokenStep {
    QLatin1String token;
    QString text;
};

constexpr int kDateTokenSteps = 15;

QString TwoDigits(int value) {
    return QStringLiteral("%1").arg(value, 2, 10, QLatin1Char('0'));
}

// Fixed English names whatever the locale: stored names and stamps must not change
// with the user's language settings.
QString EnglishWeekdayName(const QDate& date) {
    static const std::array<const char*, 7> names = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                                     "Thursday", "Friday", "Saturday"};
    return QLatin1String(names[date.dayOfWeek() % 7]);  // Qt counts Monday 1 .. Sunday 7
}

// The date and time tokens in the order they are replaced. Longer tokens come
// before the shorter ones they begin with, so "%TT" is never read as "%T" + "T".
std::array<TokenStep, kDateTokenSteps> DateTokenSteps(const QDateTime& moment) {
    const QDate date = moment.date();
    const QTime time = moment.time();
    const QString year = QString::number(date.year());
    return {{
        {QLatin1String("%YYYY"), year},
        {QLatin1String("%YY"), year.right(2)},
        {QLatin1String("%Y"), year},
        {QLatin1String("%TT"), TwoDigits(date.month())},
        {QLatin1String("%T"), QString::number(date.month())},
        {QLatin1String("%DD"), TwoDigits(date.day())},
        {QLatin1String("%D"), QString::number(date.day())},
        {QLatin1String("%HH"), TwoDigits(time.hour())},
        {QLatin1String("%H"), QString::number(time.hour())},
        {QLatin1String("%MM"), TwoDigits(time.minute())},
        {QLatin1String("%M"), QString::number(time.minute())},
        {QLatin1String("%SS"), TwoDigits(time.second())},
        {QLatin1String("%S"), QString::number(time.second())},
        {QLatin1String("%W"), EnglishWeekdayName(date)},
        {QLatin1String("%A"), QLatin1String(time.hour() < 12 ? "AM" : "PM")},
    }};
}

// The clock reads milliseconds, the standard text shows whole seconds: a reading of
// 00:00:00.5 is midnight and must give the date alone, like 00:00:00 does.
QString StandardDateText(const QDateTime& moment) {
    return GeneralDateText(moment.addMSecs(-moment.time().msec()));
}

void ReplaceSpecialToken(QString& text, const QDateTime& moment, PatternKind kind, const QString& baseName) {
    if (kind == PatternKind::FileName)
        text.replace(QLatin1String("%N"), baseName, Qt::CaseSensitive);
    else if (text.contains(QLatin1String("%ST"), Qt::CaseSensitive))
        text.replace(QLatin1String("%ST"), StandardDateText(moment), Qt::CaseSensitive);
}

}  // namespace

QString ExpandDateTokens(const QString& pattern, const QDateTime& moment, PatternKind kind,
                         const QString& baseName) {
    QString text = pattern;
    ReplaceSpecialToken(text, moment, kind, baseName);
    for (const TokenStep& step : DateTokenSteps(moment))
        text.replace(step.token, step.text, Qt::CaseSensitive);
    return text;
}

QString FormatTimeFor(const QString& pattern) {
    return ExpandDateTokens(pattern, Clock::Now(), PatternKind::Timestamp);
}

QString UniqueFileNameFor(const QString& pattern, const QString& baseName, const QString& extension) {
    return ExpandDateTokens(pattern, Clock::Now(), PatternKind::FileName, baseName) + extension;
}

QString TimestampTextFor(const QString& pattern) {
    const QDateTime moment = Clock::Now();
    const QString text = ExpandDateTokens(pattern, moment, PatternKind::Timestamp);
    return text.isEmpty() ? StandardDateText(moment) : text;
}

}  // namespace snapwire::accounts
