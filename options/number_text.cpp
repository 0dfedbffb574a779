#include "options/number_text.h"

#include "settings_store/conversions.h"

#include <algorithm>
#include <optional>

namespace snapwire::options {

QString ClampedNumberText(const QString& text, int low, int high, bool emptyAllowed) {
    if (text.isEmpty() && emptyAllowed)
        return text;
    bool whole = false;
    const qlonglong typed = text.toLongLong(&whole);
    if (whole && typed >= low && typed <= high)
        return text;
    const std::int64_t number = whole ? typed : LeadingInteger(text);
    return QString::number(std::clamp<std::int64_t>(number, low, high));
}

QString ClampedDecimalText(const QString& text, int low, int high) {
    const std::optional<double> number = ParseNumberText(text);
    if (!number)
        return ClampedNumberText(text, low, high, true);
    if (*number < low)
        return QString::number(low);
    if (*number > high)
        return QString::number(high);
    return text;
}

QString UploadsLabel(const QString& count) {
    return count == QLatin1String("1") ? QStringLiteral("upload") : QStringLiteral("uploads");
}

QString SecondsLabel(const QString& seconds) {
    return seconds == QLatin1String("1") ? QStringLiteral("second before uploading")
                                         : QStringLiteral("seconds before uploading");
}

}  // namespace snapwire::options
