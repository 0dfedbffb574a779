#pragma once

// The arithmetic and text rules of the upload timers and the upload cycle, apart
// from the windows so they can be checked on their own.

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QTime>
#include <chrono>
#include <cstdint>
#include <optional>

namespace snapwire::upload {

// The timer interval of an account whose interval box holds `secondsText`: the
// seconds times 1000, halves rounded to the even neighbour. Nothing (no timer) when
// the box holds no number, or the interval is negative or past 2147483647 ms.
std::optional<std::int64_t> TimerIntervalMs(const QString& secondsText);

// Status panel 1 for the loaded account's schedule: the interval list's text, the
// item data of its selected entry (nothing when no entry is selected) and the
// interval box's text.
QString ScheduleStatusText(const QString& comboText, std::optional<int> itemData, const QString& secondsText);

inline constexpr int kCustomInterval = -6;
inline constexpr int kNeverInterval = -3;
inline constexpr int kConstantInterval = 0;

// The date part of the window: `from` may not be later than today at 00:00:00 and
// `to` not earlier than that.
bool DateWindowAllows(const QDateTime& from, const QDateTime& to, const QDate& today);
// The time part: with equal start and end (to the second) every time passes;
// otherwise `now` must be strictly after `start` and strictly before `end`, to the
// second. A start later than the end lets nothing pass (the window does not wrap).
bool TimeWindowAllows(const QTime& start, const QTime& end, const QTime& now);

// The wait after the warning: the decimal seconds in the text; nothing for a text
// that is no number or not positive.
std::optional<std::chrono::milliseconds> WarningWait(const QString& secondsText);

// The count of uploads after one more counted cycle: past 9999999 it starts at 1.
std::int32_t NextUploadCount(std::int32_t count);
// Whether the program ends after `count` counted cycles: the close option on and
// the number in `closeText` greater than 0 and not greater than the count. A text
// that is no number never ends the program.
bool CloseAfterReached(bool closeOn, const QString& closeText, std::int32_t count);

}  // namespace snapwire::upload
