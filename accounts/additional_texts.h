#pragma once

// The additional texts of an upload account: short texts, each drawn at its own
// pixel position onto every picture the account uploads, all in the account's one
// font and colour. A text may hold date tokens, expanded when it is drawn.
//
// Stored below the account's key: item n (1, 2, 3 ... without gaps) in
// "<account>\Additional Text\<n>" with the values "Name", "X", "Y" and "Enabled";
// the font in "<account>\Font". The first item key without a "Name" ends the list.

#include <QFont>
#include <QImage>
#include <QString>
#include <cstdint>
#include <optional>
#include <vector>

namespace snapwire::accounts {

// One text as the editor's list holds it: the text as typed, the top-left corner
// of the text in picture pixels (as the decimal texts the list shows), and whether
// it is drawn.
struct AdditionalText {
    QString Name;
    QString X;
    QString Y;
    bool Enabled = false;

    friend bool operator==(const AdditionalText&, const AdditionalText&) = default;
};

// The account's text font and colour, with the defaults of a missing value.
struct TextFont {
    QString FontName = QStringLiteral("Tahoma");
    float FontSize = 10;
    bool FontBold = true;
    bool FontItalic = false;
    bool FontUnderline = false;
    bool FontStrikethru = false;
    std::uint32_t Color = 255;  // 0x00BBGGRR: red

    QFont ToFont() const;
    // Takes name, size, bold, italic, underline and strikeout of a chosen font.
    void SetFont(const QFont& font);

    friend bool operator==(const TextFont&, const TextFont&) = default;
};

// Sections below the program key.
QString AdditionalTextSection(const QString& account, int n);
QString TextFontSection(const QString& account);

// The stored items, in key order. Loading stops, silently, at the first key
// without a "Name" and at the first value that cannot be converted (X and Y must
// be numbers that round to a 16-bit integer, Enabled a flag); the items read
// before stay. X and Y come back as the decimal text of the rounded number.
std::vector<AdditionalText> ReadAdditionalTexts(const QString& account);

// Writes items 1 to size into keys 1 to size (created when missing); keys beyond
// are left as they are. Raises RegistryError; the items written before stay.
void WriteAdditionalTexts(const QString& account, const std::vector<AdditionalText>& items);

// Deletes the item keys 1 to `last` that hold a "Name". Raises RegistryError at
// the first key that cannot be deleted.
void DeleteNamedItemKeys(const QString& account, int last);

// A stored font value that cannot be used.
struct FontReadFailure {
    QString valueName;
    QString storedText;
    QString description;  // what the error box shows
};

// Reads the seven font values in their order into `font`; a missing or empty value
// sets its default. The first value that cannot be used ends the reading (the values
// read before it stay set) and is returned.
std::optional<FontReadFailure> ReadTextFont(const QString& account, TextFont& font);

// Writes the seven font values in their order. Raises RegistryError; the values
// written before stay.
void WriteTextFont(const QString& account, const TextFont& font);

// --- Drawing ---------------------------------------------------------------------------

// Draws every ticked item, in order, onto the picture: its text expanded for the
// clock's current reading (one reading per item), in the font and colour given,
// with the text's top-left corner at the item's X and Y. Nothing is drawn behind
// the characters; later items draw over earlier ones. A null picture is left alone.
void DrawTickedTexts(QImage& picture, const std::vector<AdditionalText>& items, const TextFont& font);

// Draws one text with its top-left corner at (x, y).
void DrawTextAt(QImage& picture, const QString& text, double x, double y, const TextFont& font);

}  // namespace snapwire::accounts
