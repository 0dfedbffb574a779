#include "accounts/additional_texts.h"

#include "accounts/account_rules.h"
#include "settings_store/c_registry.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"

#include <cmath>
#include <limits>

namespace snapwire::accounts {

namespace {

constexpr double kLargestFontSize = 2048;

// A stored position as the list shows it: the decimal text of the number rounded
// (halves to even) to a 16-bit integer; an absent value is 0.
std::optional<QString> PixelText(const QString& text) {
    if (text.isEmpty())
        return QStringLiteral("0");
    const std::optional<double> number = ParseNumberText(text);
    if (!number || !std::isfinite(*number))
        return std::nullopt;
    const std::int64_t rounded = RoundHalfEven(*number);
    if (rounded < std::numeric_limits<std::int16_t>::min() ||
        rounded > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return IntText(rounded);
}

std::optional<bool> EnabledFlag(const QString& text) {
    return text.isEmpty() ? std::optional<bool>(false) : FlagFromText(text);
}

// One font value that cannot be used, with the description the error box shows.
struct FontValueError {
    QString description;
};

bool FontFlag(const QString& text) {
    const std::optional<bool> flag = FlagFromText(text);
    if (!flag)
        throw FontValueError{QStringLiteral("Type mismatch")};
    return *flag;
}

float FontSize(const QString& text) {
    const std::optional<double> size = ParseNumberText(text);
    if (!size)
        throw FontValueError{QStringLiteral("Type mismatch")};
    if (!(*size > 0 && *size <= kLargestFontSize))
        throw FontValueError{QStringLiteral("Invalid property value")};
    return static_cast<float>(*size);
}

std::uint32_t FontColor(const QString& text) {
    if (!ParseNumberText(text))
        throw FontValueError{QStringLiteral("Type mismatch")};
    const std::optional<std::uint32_t> color = ColorFromText(text);
    if (!color)
        throw FontValueError{QStringLiteral("Invalid property value")};
    return *color;
}

// The font values in the order they are read and written; an empty text sets the
// value's default.
struct FontValue {
    const char* name;
    void (*read)(TextFont& font, const QString& text);
};

constexpr FontValue kFontValues[] = {
    {"Font Bold", [](TextFont& f, const QString& t) { f.FontBold = t.isEmpty() || FontFlag(t); }},
    {"Font Italic", [](TextFont& f, const QString& t) { f.FontItalic = !t.isEmpty() && FontFlag(t); }},
    {"Font Name", [](TextFont& f, const QString& t) { f.FontName = t.isEmpty() ? TextFont().FontName : t; }},
    {"Font Size",
     [](TextFont& f, const QString& t) { f.FontSize = t.isEmpty() ? TextFont().FontSize : FontSize(t); }},
    {"Font Strikethrough",
     [](TextFont& f, const QString& t) { f.FontStrikethru = !t.isEmpty() && FontFlag(t); }},
    {"Font Underline", [](TextFont& f, const QString& t) { f.FontUnderline = !t.isEmpty() && FontFlag(t); }},
    {"Color", [](TextFont& f, const QString& t) { f.Color = t.isEmpty() ? TextFont().Color : FontColor(t); }},
};

}  // namespace

QFont TextFont::ToFont() const {
    QFont font(FontName);
    font.setPointSizeF(FontSize);
    font.setBold(FontBold);
    font.setItalic(FontItalic);
    font.setUnderline(FontUnderline);
    font.setStrikeOut(FontStrikethru);
    return font;
}

void TextFont::SetFont(const QFont& font) {
    FontName = font.family();
    if (font.pointSizeF() > 0)
        FontSize = static_cast<float>(font.pointSizeF());
    FontBold = font.bold();
    FontItalic = font.italic();
    FontUnderline = font.underline();
    FontStrikethru = font.strikeOut();
}

QString AdditionalTextSection(const QString& account, int n) {
    return account + QStringLiteral("\\Additional Text\\") + QString::number(n);
}

QString TextFontSection(const QString& account) {
    return account + QStringLiteral("\\Font");
}

namespace {

// The item of key n, or nothing when the list ends there.
std::optional<AdditionalText> ReadItem(const QString& account, int n) {
    const QString section = AdditionalTextSection(account, n);
    const QString name = ReadSetting(section, QStringLiteral("Name"));
    const std::optional<QString> x = PixelText(ReadSetting(section, QStringLiteral("X")));
    const std::optional<QString> y = x ? PixelText(ReadSetting(section, QStringLiteral("Y"))) : std::nullopt;
    const std::optional<bool> enabled =
        y ? EnabledFlag(ReadSetting(section, QStringLiteral("Enabled"))) : std::nullopt;
    if (!enabled || name.isEmpty())
        return std::nullopt;
    return AdditionalText{name, *x, *y, *enabled};
}

}  // namespace

std::vector<AdditionalText> ReadAdditionalTexts(const QString& account) {
    std::vector<AdditionalText> items;
    try {
        for (int n = 1;; ++n) {
            std::optional<AdditionalText> item = ReadItem(account, n);
            if (!item)
                break;
            items.push_back(std::move(*item));
        }
    } catch (const RegistryError&) {
        // A key that cannot be read ends the list like a missing one.
    }
    return items;
}

void WriteAdditionalTexts(const QString& account, const std::vector<AdditionalText>& items) {
    for (std::size_t i = 0; i < items.size(); ++i) {
        const QString section = AdditionalTextSection(account, static_cast<int>(i) + 1);
        WriteSetting(section, QStringLiteral("Name"), SettingValue(items[i].Name));
        WriteSetting(section, QStringLiteral("X"), SettingValue(items[i].X));
        WriteSetting(section, QStringLiteral("Y"), SettingValue(items[i].Y));
        WriteSetting(section, QStringLiteral("Enabled"), SettingValue(items[i].Enabled));
    }
}

void DeleteNamedItemKeys(const QString& account, int last) {
    for (int n = 1; n <= last; ++n) {
        const QString section = AdditionalTextSection(account, n);
        if (ReadSetting(section, QStringLiteral("Name")).isEmpty())
            continue;
        cRegistry registry;
        registry.SetClassKey(HKEY_LOCAL_MACHINE);
        registry.SetSectionKey(ProgramSectionKey(section));
        registry.DeleteKey();
    }
}

std::optional<FontReadFailure> ReadTextFont(const QString& account, TextFont& font) {
    const QString section = TextFontSection(account);
    for (const FontValue& value : kFontValues) {
        const QString name = QString::fromLatin1(value.name);
        QString text;
        try {
            text = ReadSetting(section, name);
            value.read(font, text);
        } catch (const FontValueError& error) {
            return FontReadFailure{name, text, error.description};
        } catch (const RegistryError& error) {
            return FontReadFailure{name, text, error.Description()};
        }
    }
    return std::nullopt;
}

void WriteTextFont(const QString& account, const TextFont& font) {
    const QString section = TextFontSection(account);
    WriteSetting(section, QStringLiteral("Font Bold"), SettingValue(font.FontBold));
    WriteSetting(section, QStringLiteral("Font Italic"), SettingValue(font.FontItalic));
    WriteSetting(section, QStringLiteral("Font Name"), SettingValue(font.FontName));
    WriteSetting(section, QStringLiteral("Font Size"), SettingValue(font.FontSize));
    WriteSetting(section, QStringLiteral("Font Strikethrough"), SettingValue(font.FontStrikethru));
    WriteSetting(section, QStringLiteral("Font Underline"), SettingValue(font.FontUnderline));
    WriteSetting(section, QStringLiteral("Color"), SettingValue(static_cast<std::int32_t>(font.Color)));
}

}  // namespace snapwire::accounts
