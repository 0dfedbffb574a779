#include "engine/upload_rules.h"

#include <cmath>
#include <tuple>

#include "settings_store/conversions.h"

namespace snapwire::upload {

namespace {

constexpr std::int64_t kLongestTimerMs = 2147483647;
constexpr std::int32_t kHighestUploadCount = 9999999;

// Hour, minute and second: the window compares times field by field to the second.
std::tuple<int, int, int> Fields(const QTime& time) {
    return {time.hour(), time.minute(), time.second()};
}

}  // namespace

std::optional<std::int64_t> TimerIntervalMs(const QString& secondsText) {
    const std::optional<double> seconds = ParseNumberText(secondsText);
    if (!seconds || !std::isfinite(*seconds))
        return std::nullopt;
    const std::int64_t milliseconds = RoundHalfEven(*seconds * 1000.0);
    if (milliseconds < 0 || milliseconds > kLongestTimerMs)
        return std::nullopt;
    return milliseconds;
}

QString ScheduleStatusText(const QString& comboText, std::optional<int> itemData,
                           const QString& secondsText) {
    QString text;
    if (comboText != QLatin1String("Never") && comboText != QLatin1String("Constantly") &&
        comboText != QLatin1String("Custom"))
        text = QStringLiteral("Upload every ") + comboText;
    if (itemData == kCustomInterval) {
        const bool one = ParseNumberText(secondsText) == 1.0;
        text = QStringLiteral("Upload every ") + secondsText +
               (one ? QStringLiteral(" second") : QStringLiteral(" seconds"));
    }
    if (comboText == QLatin1String("Never"))
        text = QStringLiteral("Click 'Upload now' to upload");
    if (itemData == kConstantInterval)
        text = QStringLiteral("Upload constantly");
    return text;
}

bool DateWindowAllows(const QDateTime& from, const QDateTime& to, const QDate& today) {
    const QDateTime startOfToday(today, QTime(0, 0));
    return !(from > startOfToday) && !(to < startOfToday);
}

bool TimeWindowAllows(const QTime& start, const QTime& end, const QTime& now) {
    if (Fields(start) == Fields(end))
        return true;
    return Fields(now) > Fields(start) && Fields(now) < Fields(end);
}

std::optional<std::chrono::milliseconds> WarningWait(const QString& secondsText) {
    const std::optional<double> seconds = ParseNumberText(secondsText);
    if (!seconds || !std::isfinite(*seconds) || *seconds <= 0)
        return std::nullopt;
    return std::chrono::milliseconds(RoundHalfEven(*seconds * 1000.0));
}

std::int32_t NextUploadCount(std::int32_t count) {
    return (count >= kHighestUploadCount ? 0 : count) + 1;
}

bool CloseAfterReached(bool closeOn, const QString& closeText, std::int32_t count) {
    if (!closeOn)
        return false;
    const std::optional<double> limit = ParseNumberText(closeText);
    return limit && *limit > 0 && *limit <= count;
}

}  // namespace snapwire::upload
