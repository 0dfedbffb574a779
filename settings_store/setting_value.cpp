#include "settings_store/setting_value.h"

#include "settings_store/conversions.h"

#include <algorithm>
#include <limits>

namespace snapwire {

namespace {

std::int32_t ClampToInt32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(value, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

constexpr int kSingleDigits = 7;
constexpr int kDoubleDigits = 15;
constexpr double kSecondsPerDay = 86400.0;

}  // namespace

SettingValue::SettingValue(bool value) : kind_(Kind::Boolean), bool_(value) {}

SettingValue::SettingValue(std::int16_t value) : kind_(Kind::Int16), int_(value) {}

SettingValue::SettingValue(std::int32_t value) : kind_(Kind::Int32), int_(value) {}

SettingValue::SettingValue(float value) : kind_(Kind::Single), double_(value) {}

SettingValue::SettingValue(double value) : kind_(Kind::Double), double_(value) {}

SettingValue::SettingValue(const QDateTime& value) : SettingValue(value.date(), value.time()) {}

SettingValue::SettingValue(const QDate& date) : SettingValue(date, QTime(0, 0)) {}

SettingValue::SettingValue(const QTime& time) : SettingValue(ZeroDate(), time) {}

SettingValue::SettingValue(const QDate& date, const QTime& time)
    : kind_(Kind::DateTime), date_(date), time_(time) {}

SettingValue::SettingValue(const QString& value) : kind_(Kind::Text), text_(value) {}

SettingValue::SettingValue(const char* utf8) : SettingValue(QString::fromUtf8(utf8)) {}

SettingValue::SettingValue(const QByteArray& bytes) : kind_(Kind::Bytes), bytes_(bytes) {}

SettingValue SettingValue::CheckBox(bool checked) {
    return SettingValue(static_cast<std::int16_t>(checked ? 1 : 0));
}

QString SettingValue::ToText() const {
    switch (kind_) {
        case Kind::Empty:
            return {};
        case Kind::Boolean:
            return BoolText(bool_);
        case Kind::Int16:
        case Kind::Int32:
            return IntText(int_);
        case Kind::Single:
            return FloatText(double_, kSingleDigits);
        case Kind::Double:
            return FloatText(double_, kDoubleDigits);
        case Kind::DateTime:
            return GeneralDateText(date_, time_);
        case Kind::Text:
            return text_;
        case Kind::Bytes:
            return QString::fromUtf8(bytes_);
    }
    return {};
}

bool SettingValue::ToBool() const {
    switch (kind_) {
        case Kind::Boolean:
            return bool_;
        case Kind::Int16:
        case Kind::Int32:
            return int_ != 0;
        case Kind::Single:
        case Kind::Double:
            return double_ != 0;
        case Kind::DateTime:
            return ToDouble() != 0;
        case Kind::Text:
            return TextIsTrue(text_) || LeadingNumber(text_) != 0;
        case Kind::Empty:
        case Kind::Bytes:
            return false;
    }
    return false;
}

std::int32_t SettingValue::ToInt() const {
    switch (kind_) {
        case Kind::Boolean:
            return bool_ ? 1 : 0;
        case Kind::Int16:
        case Kind::Int32:
            return int_;
        case Kind::Text:
            if (TextIsTrue(text_))
                return 1;
            return ClampToInt32(RoundHalfEven(LeadingNumber(text_)));
        case Kind::Single:
        case Kind::Double:
        case Kind::DateTime:
            return ClampToInt32(RoundHalfEven(ToDouble()));
        case Kind::Empty:
        case Kind::Bytes:
            return 0;
    }
    return 0;
}

double SettingValue::ToDouble() const {
    switch (kind_) {
        case Kind::Boolean:
        case Kind::Int16:
        case Kind::Int32:
            return ToInt();
        case Kind::Single:
        case Kind::Double:
            return double_;
        case Kind::Text:
            return TextIsTrue(text_) ? 1.0 : LeadingNumber(text_);
        case Kind::DateTime: {
            // Days since the zero date, the time of day as the fraction.
            const double days = date_.isValid() ? static_cast<double>(ZeroDate().daysTo(date_)) : 0.0;
            const double seconds = time_.isValid() ? time_.msecsSinceStartOfDay() / 1000.0 : 0.0;
            return days + seconds / kSecondsPerDay;
        }
        case Kind::Empty:
        case Kind::Bytes:
            return 0;
    }
    return 0;
}

QDate SettingValue::ToDate() const {
    if (kind_ == Kind::DateTime)
        return date_;
    if (kind_ == Kind::Text)
        return ParseDateText(text_);
    return {};
}

QTime SettingValue::ToTime() const {
    if (kind_ == Kind::DateTime)
        return time_;
    if (kind_ == Kind::Text)
        return ParseTimeText(text_);
    return {};
}

QByteArray SettingValue::ToBytes() const {
    return kind_ == Kind::Bytes ? bytes_ : ToText().toUtf8();
}

bool operator==(const SettingValue& a, const SettingValue& b) {
    if (a.kind_ != b.kind_)
        return false;
    switch (a.kind_) {
        case SettingValue::Kind::Empty:
            return true;
        case SettingValue::Kind::Boolean:
            return a.bool_ == b.bool_;
        case SettingValue::Kind::Int16:
        case SettingValue::Kind::Int32:
            return a.int_ == b.int_;
        case SettingValue::Kind::Single:
        case SettingValue::Kind::Double:
            return a.double_ == b.double_;
        case SettingValue::Kind::DateTime:
            return a.date_ == b.date_ && a.time_ == b.time_;
        case SettingValue::Kind::Text:
            return a.text_ == b.text_;
        case SettingValue::Kind::Bytes:
            return a.bytes_ == b.bytes_;
    }
    return false;
}

}  // namespace snapwire
