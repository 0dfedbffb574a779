#pragma once

// The rules of the upload settings window that need no window: the interval list
// and how the seconds box maps onto it, folder clean-up, which account names may
// be added, and how stored texts become control values.

#include <QString>
#include <QStringList>
#include <array>
#include <cstdint>
#include <optional>

namespace snapwire::accounts {

// --- Defaults shown for missing values (also the fresh window's state) ----------------

inline constexpr std::uint32_t kDefaultBackColor = 0;           // black strip
inline constexpr std::uint32_t kDefaultForeColor = 0x00FFFFFF;  // white text
inline constexpr std::uint32_t kDefaultMotionColor = 51200;     // green: red 0, green 200, blue 0
inline constexpr int kDefaultSensitivity = 50;
inline constexpr double kDefaultFontSize = 10;
inline constexpr const char* kDefaultFontName = "Tahoma";

// --- Interval list -------------------------------------------------------------------

struct IntervalChoice {
    const char* label;
    int milliseconds;  // kCustomInterval and kNeverInterval mark the two choices without one
};

inline constexpr int kCustomInterval = -6;
inline constexpr int kNeverInterval = -3;
inline constexpr int kIntervalChoiceCount = 23;

// The choices of the interval list, in list order.
const std::array<IntervalChoice, kIntervalChoiceCount>& IntervalChoices();

// Position in IntervalChoices of the exact label; -1 when no choice has it.
int IntervalIndexOfLabel(const QString& label);

// What a new text of the seconds box does to the interval list and its unit label.
struct SecondsBoxEffect {
    int selectIndex = -1;              // the choice to select; -1 keeps the selection
    std::optional<QString> unitLabel;  // the new unit label; nothing keeps it
};
SecondsBoxEffect EffectOfSecondsText(const QString& text);

// What the seconds box shows for a chosen interval (the choice's milliseconds): the
// whole seconds of a timed choice, nothing for "Never", and no change (nullopt) for
// "Custom".
std::optional<QString> SecondsTextForInterval(int milliseconds);

// Text pasted into the seconds box keeps its digits only.
QString DigitsOnly(const QString& text);

// --- Folder boxes ----------------------------------------------------------------------

// The remote folder loses at most one "/" or "\" at its end and then one at its start.
QString TrimRemoteFolder(const QString& text);
// A local folder loses only a trailing separator, so an absolute path stays absolute;
// a lone separator (the root folder) stays as it is.
QString TrimLocalFolder(const QString& text);

// --- Account names -----------------------------------------------------------------------

inline constexpr int kMaxAccountNameLength = 20;

// Why a new account name cannot be added: the message to show, or nothing when it
// can. `existingNames` are the names already in the list.
std::optional<QString> NewAccountNameProblem(const QString& name, const QStringList& existingNames);

// True when the name makes a key strictly below the program key, so that deleting
// the account's key tree cannot reach the program's own key or another account's.
bool AccountKeyIsOwnSubKey(const QString& name);

// --- Stored texts as control values ------------------------------------------------------

// A check box value 0, 1 or 2 from its stored decimal text; nothing when the text
// holds anything else. Empty text is 0.
std::optional<int> CheckValueFromText(const QString& text);
// A colour 0x00BBGGRR from its decimal text; nothing when it is not one.
std::optional<std::uint32_t> ColorFromText(const QString& text);
// A stored flag: "True"/"False" in any letter case, or a number (non-zero is true);
// nothing for any other text, the empty text included.
std::optional<bool> FlagFromText(const QString& text);
// A slider position 0 to 100 from its decimal text.
std::optional<int> SensitivityFromText(const QString& text);

}  // namespace snapwire::accounts
