// The additional texts' storage below the account key and the renderer that draws
// them onto a picture.

#include "accounts/additional_texts.h"

#include "accounts/clock.h"
#include "settings_store/c_registry.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"
#include "testsupport/default_locale.h"
#include "testsupport/program_folder_test.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QLocale>

namespace snapwire::accounts {
namespace {

const QString kAccount = QStringLiteral("Cam");

void Store(const QString& section, const char* name, const QString& text) {
    WriteSetting(section, QString::fromLatin1(name), SettingValue(text));
}

QString Stored(const QString& section, const char* name) {
    return ReadSetting(section, QString::fromLatin1(name));
}

QString Item(int n) {
    return AdditionalTextSection(kAccount, n);
}

bool KeyExists(const QString& section) {
    cRegistry registry;
    registry.SetClassKey(HKEY_LOCAL_MACHINE);
    registry.SetSectionKey(ProgramSectionKey(section));
    return registry.KeyExists();
}

std::int32_t StoredType(const QString& section, const char* name) {
    cRegistry registry;
    registry.SetClassKey(HKEY_LOCAL_MACHINE);
    registry.SetSectionKey(ProgramSectionKey(section));
    registry.SetValueKey(QString::fromLatin1(name));
    registry.Value();
    return registry.ValueType();
}

class AdditionalTextsStoreTest : public testing::ProgramFolderTest {
  protected:
    void TearDown() override {
        qunsetenv("SNAPWIRE_ADDI_PLACE");
        ProgramFolderTest::TearDown();
    }

  private:
    testing::ScopedDefaultLocale savedLocale_;
};

// --- Items ---------------------------------------------------------------------------------

TEST_F(AdditionalTextsStoreTest, ItemsGoIntoNumberedSubKeysOfTheAccountAndComeBack) {
    const std::vector<AdditionalText> items = {
        {QStringLiteral("Hello"), QStringLiteral("1"), QStringLiteral("2"), true},
        {QStringLiteral("%HH:%MM"), QStringLiteral("30"), QStringLiteral("-4"), false}};
    WriteAdditionalTexts(kAccount, items);

    EXPECT_EQ(Stored(QStringLiteral("Cam\\Additional Text\\1"), "Name"), QStringLiteral("Hello"));
    EXPECT_EQ(Stored(QStringLiteral("Cam\\Additional Text\\1"), "X"), QStringLiteral("1"));
    EXPECT_EQ(Stored(QStringLiteral("Cam\\Additional Text\\1"), "Y"), QStringLiteral("2"));
    EXPECT_EQ(Stored(QStringLiteral("Cam\\Additional Text\\1"), "Enabled"), QStringLiteral("True"));
    EXPECT_EQ(Stored(QStringLiteral("Cam\\Additional Text\\2"), "Enabled"), QStringLiteral("False"));
    // Two "%" far enough apart make the text expandable; the tokens name no variable
    // and come back as typed.
    EXPECT_EQ(StoredType(Item(2), "Name"), REG_EXPAND_SZ);
    EXPECT_EQ(ReadAdditionalTexts(kAccount), items);
    EXPECT_TRUE(ReadAdditionalTexts(QStringLiteral("Other")).empty());
}

TEST_F(AdditionalTextsStoreTest, AnEnvironmentVariableBetweenPercentSignsComesBackExpanded) {
    qputenv("SNAPWIRE_ADDI_PLACE", "Harbour");
    WriteAdditionalTexts(kAccount, {{QStringLiteral("%SNAPWIRE_ADDI_PLACE% %HH"), QStringLiteral("0"),
                                     QStringLiteral("0"), true}});
    ASSERT_EQ(ReadAdditionalTexts(kAccount).size(), 1u);
    EXPECT_EQ(ReadAdditionalTexts(kAccount)[0].Name, QStringLiteral("Harbour %HH"));
}

TEST_F(AdditionalTextsStoreTest, TheFirstKeyWithoutANameEndsTheList) {
    Store(Item(1), "Name", QStringLiteral("one"));
    Store(Item(2), "X", QStringLiteral("5"));  // no name
    Store(Item(3), "Name", QStringLiteral("three"));
    const std::vector<AdditionalText> items = ReadAdditionalTexts(kAccount);
    ASSERT_EQ(items.size(), 1u);
    // Absent values: position 0, not drawn.
    EXPECT_EQ(items[0],
              (AdditionalText{QStringLiteral("one"), QStringLiteral("0"), QStringLiteral("0"), false}));
}

TEST_F(AdditionalTextsStoreTest, PositionsRoundHalfToEvenAndAValueThatDoesNotConvertEndsTheList) {
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));  // the user's number form: 12,5
    Store(Item(1), "Name", QStringLiteral("a"));
    Store(Item(1), "X", FloatText(12.5));
    Store(Item(1), "Y", FloatText(13.5));
    Store(Item(1), "Enabled", QStringLiteral("true"));
    Store(Item(2), "Name", QStringLiteral("b"));
    Store(Item(2), "X", QStringLiteral("-32768"));
    Store(Item(2), "Y", QStringLiteral("32767"));
    Store(Item(3), "Name", QStringLiteral("c"));
    Store(Item(3), "X", QStringLiteral("twelve"));
    Store(Item(4), "Name", QStringLiteral("d"));

    std::vector<AdditionalText> items = ReadAdditionalTexts(kAccount);
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0],
              (AdditionalText{QStringLiteral("a"), QStringLiteral("12"), QStringLiteral("14"), true}));
    EXPECT_EQ(items[1].X, QStringLiteral("-32768"));
    EXPECT_EQ(items[1].Y, QStringLiteral("32767"));

    Store(Item(2), "Y", QStringLiteral("32768"));  // beyond a 16-bit number
    EXPECT_EQ(ReadAdditionalTexts(kAccount).size(), 1u);
    Store(Item(2), "Y", QStringLiteral("0"));
    Store(Item(2), "Enabled", QStringLiteral("perhaps"));
    EXPECT_EQ(ReadAdditionalTexts(kAccount).size(), 1u);
}

TEST_F(AdditionalTextsStoreTest, DeletingRemovesOnlyNamedKeysUpToTheLastGiven) {
    for (int n = 1; n <= 3; ++n) Store(Item(n), "Name", QString::number(n));
    Store(Item(2), "Name", QString());
    DeleteNamedItemKeys(kAccount, 2);
    EXPECT_FALSE(KeyExists(Item(1)));
    EXPECT_TRUE(KeyExists(Item(2)));  // it holds no name
    EXPECT_TRUE(KeyExists(Item(3)));  // beyond the last given
}

// --- Font ----------------------------------------------------------------------------------

TEST_F(AdditionalTextsStoreTest, AbsentOrEmptyFontValuesGiveTheDefaults) {
    Store(TextFontSection(kAccount), "Font Size", QString());
    TextFont font;
    font.FontName = QStringLiteral("Other");
    font.FontSize = 30;
    font.Color = 1;
    EXPECT_FALSE(ReadTextFont(kAccount, font));
    EXPECT_EQ(font.FontName, QStringLiteral("Tahoma"));
    EXPECT_EQ(font.FontSize, 10.0f);
    EXPECT_TRUE(font.FontBold);
    EXPECT_FALSE(font.FontItalic || font.FontUnderline || font.FontStrikethru);
    EXPECT_EQ(font.Color, 255u);
}

TEST_F(AdditionalTextsStoreTest, FontGoesIntoTheAccountsFontKeyAndComesBack) {
    QLocale::setDefault(QLocale(QStringLiteral("de_DE")));
    TextFont font;
    font.FontName = QStringLiteral("DejaVu Serif");
    font.FontSize = 12.5f;
    font.FontBold = false;
    font.FontItalic = true;
    font.FontUnderline = true;
    font.FontStrikethru = true;
    font.Color = 0x00FF0000;  // blue
    WriteTextFont(kAccount, font);

    const QString key = QStringLiteral("Cam\\Font");
    EXPECT_EQ(Stored(key, "Font Name"), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(Stored(key, "Font Size"), QStringLiteral("12,5"));
    EXPECT_EQ(Stored(key, "Font Bold"), QStringLiteral("False"));
    EXPECT_EQ(Stored(key, "Font Italic"), QStringLiteral("True"));
    EXPECT_EQ(Stored(key, "Font Underline"), QStringLiteral("True"));
    EXPECT_EQ(Stored(key, "Font Strikethrough"), QStringLiteral("True"));
    EXPECT_EQ(Stored(key, "Color"), QStringLiteral("16711680"));

    TextFont read;
    EXPECT_FALSE(ReadTextFont(kAccount, read));
    EXPECT_EQ(read, font);
}

TEST_F(AdditionalTextsStoreTest, AFontValueThatCannotBeUsedEndsTheReadingAndIsReported) {
    const QString key = TextFontSection(kAccount);
    Store(key, "Font Bold", QStringLiteral("False"));
    Store(key, "Font Size", QStringLiteral("large"));
    Store(key, "Color", QStringLiteral("65280"));
    TextFont font;
    std::optional<FontReadFailure> failure = ReadTextFont(kAccount, font);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->valueName, QStringLiteral("Font Size"));
    EXPECT_EQ(failure->storedText, QStringLiteral("large"));
    EXPECT_EQ(failure->description, QStringLiteral("Type mismatch"));
    EXPECT_FALSE(font.FontBold);  // read before the failure
    EXPECT_EQ(font.Color, 255u);  // never read

    Store(key, "Font Size", QStringLiteral("0"));
    failure = ReadTextFont(kAccount, font);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->description, QStringLiteral("Invalid property value"));
    Store(key, "Font Size", QStringLiteral("9"));
    Store(key, "Color", QStringLiteral("-5"));
    failure = ReadTextFont(kAccount, font);
    ASSERT_TRUE(failure);
    EXPECT_EQ(failure->valueName, QStringLiteral("Color"));
}

// --- Drawing -------------------------------------------------------------------------------

const QRgb kFrameColour = qRgb(40, 90, 160);

QImage Frame() {
    QImage frame(240, 120, QImage::Format_RGB32);
    frame.fill(kFrameColour);
    return frame;
}

TextFont LargeFont(std::uint32_t color) {
    TextFont font;
    font.FontName = QStringLiteral("DejaVu Sans");
    font.FontSize = 24;
    font.Color = color;
    return font;
}

AdditionalText Ticked(const QString& text, int x, int y) {
    return {text, QString::number(x), QString::number(y), true};
}

// Where a picture differs from the frame colour, and how often it has one colour.
struct Ink {
    int firstRow = -1, lastRow = -1, firstColumn = -1;
    int pixels = 0;
    int exact = 0;
};

Ink InkOf(const QImage& image, QRgb exact) {
    Ink ink;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (pixel == exact)
                ++ink.exact;
            if (pixel == kFrameColour)
                continue;
            ++ink.pixels;
            if (ink.firstRow < 0)
                ink.firstRow = y;
            ink.lastRow = y;
            if (ink.firstColumn < 0 || x < ink.firstColumn)
                ink.firstColumn = x;
        }
    }
    return ink;
}

TEST(AdditionalTextsDrawing, TextStartsWithItsTopLeftCornerAtThePositionInTheAccountsColour) {
    const TextFont font = LargeFont(0x000000FF);  // red in the low byte
    QImage picture = Frame();
    DrawTickedTexts(picture, {Ticked(QStringLiteral("H"), 1, 1)}, font);

    const QFontMetrics metrics(font.ToFont(), &picture);
    const Ink ink = InkOf(picture, qRgb(255, 0, 0));
    EXPECT_GT(ink.exact, 40);  // the stems in exactly the account's colour
    EXPECT_EQ(InkOf(picture, qRgb(0, 0, 255)).exact, 0);
    // Row 0 and column 0 stay free; the capital's top lies one pixel plus the space
    // above capitals down, its foot on the baseline one ascent below the top.
    EXPECT_GE(ink.firstColumn, 1);
    EXPECT_LE(ink.firstColumn, 5);
    EXPECT_GE(ink.firstRow, 1);
    EXPECT_LE(ink.firstRow, 1 + metrics.ascent() - metrics.capHeight() + 1);
    EXPECT_GE(ink.lastRow, metrics.ascent() - 1);
    EXPECT_LE(ink.lastRow, metrics.ascent() + 1);
}

TEST(AdditionalTextsDrawing, BlueIsTheHighByteOfTheStoredColour) {
    QImage picture = Frame();
    DrawTickedTexts(picture, {Ticked(QStringLiteral("H"), 10, 10)}, LargeFont(0x00FF0000));
    EXPECT_GT(InkOf(picture, qRgb(0, 0, 255)).exact, 40);
    EXPECT_EQ(InkOf(picture, qRgb(255, 0, 0)).exact, 0);
}

TEST(AdditionalTextsDrawing, OnlyTickedTextsAreDrawnAndNothingOutsideThePictureFails) {
    QImage picture = Frame();
    AdditionalText unticked = Ticked(QStringLiteral("Hidden"), 5, 5);
    unticked.Enabled = false;
    DrawTickedTexts(picture, {unticked, Ticked(QStringLiteral("Far"), 5000, 5000)}, LargeFont(255));
    EXPECT_EQ(picture, Frame());

    QImage none;
    DrawTickedTexts(none, {Ticked(QStringLiteral("x"), 0, 0)}, LargeFont(255));
    EXPECT_TRUE(none.isNull());

    QImage drawn = Frame();
    DrawTickedTexts(drawn, {unticked, Ticked(QStringLiteral("Shown"), 5, 5)}, LargeFont(255));
    QImage alone = Frame();
    DrawTextAt(alone, QStringLiteral("Shown"), 5, 5, LargeFont(255));
    EXPECT_EQ(drawn, alone);
    EXPECT_NE(drawn, Frame());
}

TEST(AdditionalTextsDrawing, DateTokensAreExpandedForTheMomentOfDrawing) {
    const TextFont font = LargeFont(255);
    QImage literal = Frame();
    DrawTextAt(literal, QStringLiteral("Cam 14:30"), 2, 2, font);

    QImage expanded = Frame();
    {
        ScopedClockForTests clock(QDateTime(QDate(2034, 6, 22), QTime(14, 30, 5)));
        DrawTickedTexts(expanded, {Ticked(QStringLiteral("Cam %HH:%MM"), 2, 2)}, font);
    }
    EXPECT_EQ(expanded, literal);

    QImage aMinuteLater = Frame();
    {
        ScopedClockForTests clock(QDateTime(QDate(2034, 6, 22), QTime(14, 31, 5)));
        DrawTickedTexts(aMinuteLater, {Ticked(QStringLiteral("Cam %HH:%MM"), 2, 2)}, font);
    }
    EXPECT_NE(aMinuteLater, literal);
}

}  // namespace
}  // namespace snapwire::accounts
