#include "accounts/account_rules.h"

#include "platform/registry/registry.h"
#include "settings_store/conversions.h"

#include <cmath>

namespace snapwire::accounts {

namespace {

constexpr std::uint32_t kLargestColor = 0x00FFFFFF;
constexpr int kMaxSensitivity = 100;

bool IsSeparator(QChar c) {
    return c == QLatin1Char('/') || c == QLatin1Char('\\');
}

// A whole number from a stored text: the text must be a number; fractions round
// half to the even neighbour.
std::optional<std::int64_t> WholeNumberFromText(const QString& text) {
    const std::optional<double> number = ParseNumberText(text);
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    return RoundHalfEven(*number);
}

// Same rule as the settings store uses to choose the expandable text type: a "%" and
// another at least two characters further on.
bool StoredAsExpandableText(const QString& text) {
    const qsizetype first = text.indexOf(QLatin1Char('%'));
    return first >= 0 && text.indexOf(QLatin1Char('%'), first + 2) >= 0;
}

QString ReadBackForm(const QString& text) {
    if (!StoredAsExpandableText(text))
        return text;
    return QString::fromStdString(reg::ExpandEnvironmentStrings(text.toStdString()));
}

}  // namespace

// --- Interval list -------------------------------------------------------------------

const std::array<IntervalChoice, kIntervalChoiceCount>& IntervalChoices() {
    static const std::array<IntervalChoice, kIntervalChoiceCount> choices = {{
        {"Custom", kCustomInterval}, {"Never", kNeverInterval}, {"Constantly", 0},     {"10 seconds", 10000},
        {"20 seconds", 20000},       {"30 seconds", 30000},     {"1 minute", 60000},   {"2 minutes", 120000},
        {"3 minutes", 180000},       {"4 minutes", 240000},     {"5 minutes", 300000}, {"10 minutes", 600000},
        {"20 minutes", 1200000},     {"30 minutes", 1800000},   {"1 hour", 3600000},   {"2 hours", 7200000},
        {"3 hours", 10800000},       {"4 hours", 14400000},     {"5 hours", 18000000}, {"6 hours", 21600000},
        {"12 hours", 43200000},      {"24 hours", 86400000},    {"Week", 604800000},
    }};
    return choices;
}

int IntervalIndexOfLabel(const QString& label) {
    const auto& choices = IntervalChoices();
    for (int i = 0; i < kIntervalChoiceCount; ++i) {
        if (label == QLatin1String(choices[i].label))
            return i;
    }
    return -1;
}

SecondsBoxEffect EffectOfSecondsText(const QString& text) {
    const QString seconds = QStringLiteral("Seconds");
    if (text.isEmpty())
        return {IntervalIndexOfLabel(QStringLiteral("Never")), seconds};
    if (text == QLatin1String("1"))
        return {-1, QStringLiteral("Second")};
    // A listed interval matches only when written exactly as the list writes it.
    const auto& choices = IntervalChoices();
    for (int i = 0; i < kIntervalChoiceCount; ++i) {
        if (choices[i].milliseconds >= 0 && text == QString::number(choices[i].milliseconds / 1000))
            return {i, std::nullopt};
    }
    const bool wholePartIsZero = LeadingInteger(text) == 0;
    return {IntervalIndexOfLabel(QLatin1String(wholePartIsZero ? "Constantly" : "Custom")), seconds};
}

std::optional<QString> SecondsTextForInterval(int milliseconds) {
    if (milliseconds == kNeverInterval)
        return QString();
    if (milliseconds < 0)
        return std::nullopt;
    return QString::number(milliseconds / 1000);
}

QString DigitsOnly(const QString& text) {
    QString digits;
    for (QChar c : text) {
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            digits.append(c);
    }
    return digits;
}

// --- Folder boxes ----------------------------------------------------------------------

QString TrimRemoteFolder(const QString& text) {
    QString trimmed = text;
    if (!trimmed.isEmpty() && IsSeparator(trimmed.back()))
        trimmed.chop(1);
    if (!trimmed.isEmpty() && IsSeparator(trimmed.front()))
        trimmed.remove(0, 1);
    return trimmed;
}

QString TrimLocalFolder(const QString& text) {
    QString trimmed = text;
    if (trimmed.size() > 1 && IsSeparator(trimmed.back()))
        trimmed.chop(1);
    return trimmed;
}

// --- Account names -----------------------------------------------------------------------

std::optional<QString> NewAccountNameProblem(const QString& name, const QStringList& existingNames) {
    if (name.size() > kMaxAccountNameLength)
        return QStringLiteral("Please keep the name shorter than 20 characters");
    if (name.contains(QLatin1Char('\\')))
        return QStringLiteral("An account name cannot contain a backslash (\\). Please choose another name.");
    if (existingNames.contains(name, Qt::CaseInsensitive))
        return QStringLiteral("There is already an account called '") + name +
               QStringLiteral("'. Please choose another name.");
    const QString readBack = ReadBackForm(name);
    if (readBack != name)
        return QStringLiteral("The name '") + name + QStringLiteral("' would be read back as '") + readBack +
               QStringLiteral(
                   "', because %NAME% stands for an environment variable. Please choose another "
                   "name.");
    return std::nullopt;
}

bool AccountKeyIsOwnSubKey(const QString& name) {
    if (name.isEmpty())
        return false;
    const QStringList parts = name.split(QLatin1Char('\\'));
    for (const QString& part : parts) {
        if (part.isEmpty())
            return false;
    }
    return true;
}

// --- Stored texts as control values ------------------------------------------------------

std::optional<int> CheckValueFromText(const QString& text) {
    if (text.isEmpty())
        return 0;
    const std::optional<std::int64_t> value = WholeNumberFromText(text);
    if (!value || *value < 0 || *value > 2)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<std::uint32_t> ColorFromText(const QString& text) {
    const std::optional<std::int64_t> value = WholeNumberFromText(text);
    if (!value || *value < 0 || *value > kLargestColor)
        return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

std::optional<bool> FlagFromText(const QString& text) {
    if (TextIsTrue(text))
        return true;
    if (text.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0)
        return false;
    const std::optional<double> number = ParseNumberText(text);
    if (!number)
        return std::nullopt;
    return *number != 0;
}

std::optional<int> SensitivityFromText(const QString& text) {
    const std::optional<std::int64_t> value = WholeNumberFromText(text);
    if (!value || *value < 0 || *value > kMaxSensitivity)
        return std::nullopt;
    return static_cast<int>(*value);
}

}  // namespace snapwire::accounts
