#include "settings_store/c_registry.h"

#include "settings_store/program_settings.h"
#include "testsupport/default_locale.h"
#include "testsupport/program_folder_test.h"

#include <gtest/gtest.h>
#include <QFile>
#include <QLocale>
#include <QProcess>

#include <string>

namespace snapwire {
namespace {

const QString kAccountKey = QStringLiteral("Software\\Snapwire\\My Account");

struct RawValue {
    long result = reg::kFileNotFound;
    std::uint32_t type = 0;
    std::string data;
};

RawValue ReadRaw(reg::HKey root, const QString& section, const QString& name) {
    RawValue raw;
    reg::HKey key = 0;
    if (reg::OpenKey(root, section.toStdString(), reg::kKeyQueryValue, &key) != reg::kSuccess)
        return raw;
    std::uint32_t size = 0;
    raw.result = reg::QueryValue(key, name.toStdString(), &raw.type, nullptr, &size);
    raw.data.resize(size);
    if (raw.result == reg::kSuccess && size > 0)
        raw.result = reg::QueryValue(key, name.toStdString(), &raw.type,
                                     reinterpret_cast<std::uint8_t*>(raw.data.data()), &size);
    reg::CloseKey(key);
    return raw;
}

void WriteRaw(const QString& section, const QString& name, std::uint32_t type, const std::string& data) {
    reg::HKey key = 0;
    ASSERT_EQ(reg::CreateKey(reg::kLocalMachine, section.toStdString(), &key), reg::kSuccess);
    ASSERT_EQ(reg::SetValue(key, name.toStdString(), type, reinterpret_cast<const std::uint8_t*>(data.data()),
                            static_cast<std::uint32_t>(data.size())),
              reg::kSuccess);
    reg::CloseKey(key);
}

bool RawKeyExists(reg::HKey root, const QString& section) {
    reg::HKey key = 0;
    if (reg::OpenKey(root, section.toStdString(), reg::kKeyQueryValue, &key) != reg::kSuccess)
        return false;
    reg::CloseKey(key);
    return true;
}

// The way every window sets up its object.
cRegistry AccountRegistry(const QString& valueName, const QString& section = kAccountKey) {
    cRegistry registry;
    registry.SetClassKey(HKEY_LOCAL_MACHINE);
    registry.SetSectionKey(section);
    registry.SetValueType(REG_SZ);
    registry.SetValueKey(valueName);
    return registry;
}

// Runs `work`, which must raise a RegistryError; returns it.
template <typename Work>
RegistryError ExpectRegistryError(Work&& work) {
    try {
        work();
    } catch (const RegistryError& error) {
        EXPECT_EQ(error.Source(), "Snapwire.cRegistry");
        return error;
    }
    ADD_FAILURE() << "no RegistryError raised";
    return RegistryError(0, QString());
}

class CRegistryTest : public testing::ProgramFolderTest {
  protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        testing::ScopedDefaultLocale::Use("de_DE");
    }

  private:
    testing::ScopedDefaultLocale savedLocale_;
};

TEST_F(CRegistryTest, EveryKindIsStoredAsItsTextForm) {
    const struct {
        const char* name;
        SettingValue value;
        const char* text;
    } cases[] = {
        {"Selected", SettingValue(true), "True"},
        {"Font Italic", SettingValue(false), "False"},
        {"Locally", SettingValue::CheckBox(true), "1"},
        {"Sensitivity", SettingValue(std::int16_t{50}), "50"},
        {"Motion Color", SettingValue(51200), "51200"},
        {"Backcolor", SettingValue(-1), "-1"},
        {"Font Size", SettingValue(10.5f), "10,5"},
        {"Width", SettingValue(6100.0), "6100"},
        {"DateFrom", SettingValue(QDate(2024, 3, 5)), "05.03.2024"},
        {"TimeFrom", SettingValue(QTime(15, 4, 5)), "15:04:05"},
        {"Stamp", SettingValue(QDateTime(QDate(2024, 3, 5), QTime(8, 0))), "05.03.2024 08:00:00"},
        {"Host Name/Adress:", SettingValue("ftp.example.org"), "ftp.example.org"},
        {"Password:", SettingValue(""), ""},
        {"Empty", SettingValue(), ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        cRegistry writer = AccountRegistry(QString::fromUtf8(c.name));
        writer.SetValue(c.value);

        const RawValue raw = ReadRaw(reg::kLocalMachine, kAccountKey, QString::fromUtf8(c.name));
        EXPECT_EQ(raw.type, reg::kRegSz);
        EXPECT_EQ(raw.data, std::string(c.text) + '\0');

        cRegistry reader = AccountRegistry(QString::fromUtf8(c.name));
        reader.SetValueType(0);
        const SettingValue read = reader.Value();
        EXPECT_EQ(read.GetKind(), SettingValue::Kind::Text);
        EXPECT_EQ(read.ToText(), QString::fromUtf8(c.text));
        EXPECT_EQ(reader.ValueType(), REG_SZ);
    }
}

TEST_F(CRegistryTest, TextSizeCountsBytesNotCharacters) {
    AccountRegistry("Name").SetValue(SettingValue(QStringLiteral("Åsa")));
    const RawValue raw = ReadRaw(reg::kLocalMachine, kAccountKey, "Name");
    EXPECT_EQ(raw.data.size(), 5u);  // "Å" is two bytes, then "sa" and the zero
    cRegistry reader = AccountRegistry("Name");
    EXPECT_EQ(reader.Value().ToText(), QStringLiteral("Åsa"));
}

TEST_F(CRegistryTest, PercentRuleChoosesTheExpandableType) {
    const struct {
        const char* text;
        std::uint32_t type;
    } cases[] = {
        {"%N%YYYY%TT%DD", reg::kRegExpandSz},
        {"%a%", reg::kRegExpandSz},
        {"x%ab%", reg::kRegExpandSz},
        {"%", reg::kRegSz},
        {"%%", reg::kRegSz},
        {"%a", reg::kRegSz},
        {"a%%b", reg::kRegSz},
        {"100% sure", reg::kRegSz},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        AccountRegistry("UniqueCustomFormat").SetValue(SettingValue(c.text));
        EXPECT_EQ(ReadRaw(reg::kLocalMachine, kAccountKey, "UniqueCustomFormat").type, c.type);
        cRegistry reader = AccountRegistry("UniqueCustomFormat");
        EXPECT_EQ(reader.Value().ToText(), QString::fromUtf8(c.text));  // token patterns come back as written
        EXPECT_EQ(reader.ValueType(), static_cast<std::int32_t>(c.type));
    }
}

TEST_F(CRegistryTest, ExpandableTextReadsWithEnvironmentVariablesExpanded) {
    qputenv("SNAPWIRE_TEST_PICTURES", "/srv/pictures");
    qunsetenv("SNAPWIRE_TEST_UNDEFINED");
    AccountRegistry("LocallySource").SetValue(SettingValue("%SNAPWIRE_TEST_PICTURES%/cam"));
    AccountRegistry("TextTimeName").SetValue(SettingValue("%SNAPWIRE_TEST_UNDEFINED%.txt"));

    cRegistry reader = AccountRegistry("LocallySource");
    EXPECT_EQ(reader.Value().ToText(), "/srv/pictures/cam");
    reader.SetValueKey("TextTimeName");
    EXPECT_EQ(reader.Value().ToText(), "%SNAPWIRE_TEST_UNDEFINED%.txt");
    qunsetenv("SNAPWIRE_TEST_PICTURES");
}

TEST_F(CRegistryTest, MissingValueOrKeyGivesDefaultAndKeepsValueType) {
    AccountRegistry("Name").SetValue(SettingValue("My Account"));

    cRegistry reader = AccountRegistry("Absent");
    reader.SetValueType(REG_DWORD);
    EXPECT_TRUE(reader.Value().IsEmpty());
    EXPECT_EQ(reader.ValueType(), REG_DWORD);

    reader.SetSectionKey(kAccountKey + QStringLiteral("\\Nowhere"));
    reader.SetDefault(SettingValue("fallback"));
    EXPECT_EQ(reader.Value().ToText(), "fallback");
    EXPECT_EQ(reader.ValueType(), REG_DWORD);
    EXPECT_FALSE(RawKeyExists(reg::kLocalMachine, kAccountKey + QStringLiteral("\\Nowhere")));
}

TEST_F(CRegistryTest, DwordValuesAndTheTextWriteThatIsSkippedAfterThem) {
    cRegistry writer = AccountRegistry("KeepNrUpload");
    writer.SetValueType(REG_DWORD);
    writer.SetValue(SettingValue(-7));
    writer.SetValueType(REG_DWORD_BIG_ENDIAN);
    writer.SetValueKey("Counter");
    writer.SetValue(SettingValue(std::int16_t{300}));
    EXPECT_EQ(ReadRaw(reg::kLocalMachine, kAccountKey, "Counter").type,
              reg::kRegDword);  // always little-endian

    cRegistry reader = AccountRegistry("KeepNrUpload");
    const SettingValue read = reader.Value();
    EXPECT_EQ(read.GetKind(), SettingValue::Kind::Int32);
    EXPECT_EQ(read.ToInt(), -7);
    EXPECT_EQ(reader.ValueType(), REG_DWORD);

    // The object now writes DWORDs: a text is neither written nor refused.
    EXPECT_NO_THROW(reader.SetValue(SettingValue("12")));
    reader.SetValueKey("NewText");
    EXPECT_NO_THROW(reader.SetValue(SettingValue("12")));
    EXPECT_EQ(ReadRaw(reg::kLocalMachine, kAccountKey, "NewText").result, reg::kFileNotFound);
    reader.SetValueKey("KeepNrUpload");
    EXPECT_EQ(reader.Value().ToInt(), -7);
    reader.SetValueKey("Counter");
    EXPECT_EQ(reader.Value().ToInt(), 300);
}

TEST_F(CRegistryTest, OtherStoredTypesReadAsTheirData) {
    WriteRaw(kAccountKey, "BigEndian", reg::kRegDwordBigEndian, std::string("\x00\x00\x01\x02", 4));
    WriteRaw(kAccountKey, "Multi", reg::kRegMultiSz, std::string("a\0bc\0\0", 6));
    WriteRaw(kAccountKey, "Blob", reg::kRegNone, std::string("\x01\x02", 2));
    WriteRaw(kAccountKey, "EmptyText", reg::kRegSz, std::string());

    cRegistry reader = AccountRegistry("BigEndian");
    EXPECT_EQ(reader.Value().ToInt(), 0x102);
    EXPECT_EQ(reader.ValueType(), REG_DWORD_BIG_ENDIAN);
    reader.SetValueKey("Multi");
    EXPECT_EQ(reader.Value().ToText(), QString::fromUtf8("a\0bc\0", 5));
    reader.SetValueKey("Blob");
    EXPECT_EQ(reader.Value(), SettingValue(QByteArray("\x01\x02\x00", 3)));
    EXPECT_EQ(reader.ValueType(), 0);
    reader.SetValueKey("EmptyText");
    EXPECT_EQ(reader.Value(), SettingValue(""));
}

TEST_F(CRegistryTest, BinaryWritesTakeOnlyByteArrays) {
    cRegistry writer = AccountRegistry("Blob");
    writer.SetValueType(REG_BINARY);
    writer.SetValue(SettingValue(QByteArray("\x05\x00\x07", 3)));
    const RawValue raw = ReadRaw(reg::kLocalMachine, kAccountKey, "Blob");
    EXPECT_EQ(raw.type, reg::kRegBinary);
    EXPECT_EQ(raw.data, std::string("\x05\x00\x07", 3));

    cRegistry refused = AccountRegistry("Other", kAccountKey + QStringLiteral("\\New"));
    refused.SetValueType(REG_BINARY);
    const RegistryError error = ExpectRegistryError([&] { refused.SetValue(SettingValue("text")); });
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(error.Description(), "Application-defined or object-defined error");
    EXPECT_FALSE(RawKeyExists(reg::kLocalMachine, kAccountKey + QStringLiteral("\\New")));
}

TEST_F(CRegistryTest, UnknownValueTypeFailsTheWrite) {
    cRegistry writer = AccountRegistry("Odd");
    writer.SetValueType(9);
    const RegistryError error = ExpectRegistryError([&] { writer.SetValue(SettingValue(12)); });
    EXPECT_EQ(error.Number(), -2147194455);
    EXPECT_EQ(
        error.Description(),
        "Failed to set registry value Key: '-2147483646',Section: 'Software\\Snapwire\\My Account',Key: "
        "'Odd' to value: '12'");
    EXPECT_FALSE(RawKeyExists(reg::kLocalMachine, kAccountKey));
}

TEST_F(CRegistryTest, WritingUnderAFontKeyCreatesTheAccountKeyToo) {
    const QString fontKey = kAccountKey + QStringLiteral("\\Font");
    AccountRegistry("Font Name", fontKey).SetValue(SettingValue("Tahoma"));
    EXPECT_TRUE(RawKeyExists(reg::kLocalMachine, kAccountKey));
    EXPECT_TRUE(RawKeyExists(reg::kLocalMachine, fontKey));
    EXPECT_TRUE(AccountRegistry("", fontKey).KeyExists());
    EXPECT_EQ(AccountRegistry("Font Name", fontKey).Value().ToText(), "Tahoma");
}

TEST_F(CRegistryTest, KeysAreCreatedCheckedAndDeleted) {
    cRegistry registry = AccountRegistry("");
    EXPECT_FALSE(registry.KeyExists());
    EXPECT_TRUE(registry.CreateKey());
    EXPECT_TRUE(registry.KeyExists());
    EXPECT_TRUE(registry.DeleteKey());
    EXPECT_FALSE(registry.KeyExists());
    EXPECT_TRUE(AccountRegistry("", "Software\\Snapwire").KeyExists());
}

TEST_F(CRegistryTest, KeyErrorsCarryTheirNumberAndText) {
    AccountRegistry("Font Name", kAccountKey + QStringLiteral("\\Font")).SetValue(SettingValue("Tahoma"));
    cRegistry account = AccountRegistry("");

    RegistryError error = ExpectRegistryError([&] { account.DeleteKey(); });  // it has a sub-key
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(error.Description(),
              "Failed to delete registry Key: '-2147483646',Section: 'Software\\Snapwire\\My Account");
    EXPECT_TRUE(account.KeyExists());

    cRegistry missing = AccountRegistry("Name", kAccountKey + QStringLiteral("\\Gone"));
    error = ExpectRegistryError([&] { missing.DeleteValue(); });
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(
        error.Description(),
        "Failed to open key '-2147483646',Section: 'Software\\Snapwire\\My Account\\Gone' for delete access");

    cRegistry absentValue = AccountRegistry("Nothing");
    error = ExpectRegistryError([&] { absentValue.DeleteValue(); });
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(error.Description(),
              "Failed to delete registry Key: '-2147483646',Section: 'Software\\Snapwire\\My Account',Key: "
              "'Nothing");

    cRegistry noRoot = AccountRegistry("Name");
    noRoot.SetClassKey(0);
    error = ExpectRegistryError([&] { noRoot.CreateKey(); });
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(error.Description(), "Failed to create registry Key: 'Software\\Snapwire\\My Account");
    error = ExpectRegistryError([&] { noRoot.SetValue(SettingValue("x")); });
    EXPECT_EQ(error.Number(), 26001);
    EXPECT_EQ(
        error.Description(),
        "Failed to set registry value Key: '0',Section: 'Software\\Snapwire\\My Account',Key: 'Name' to "
        "value: 'x'");
}

TEST_F(CRegistryTest, DeleteValueRemovesOnlyThatValue) {
    AccountRegistry("Password:").SetValue(SettingValue("secret"));
    AccountRegistry("User ID:").SetValue(SettingValue("anna"));
    cRegistry registry = AccountRegistry("Password:");
    EXPECT_TRUE(registry.DeleteValue());
    EXPECT_TRUE(registry.Value().IsEmpty());
    EXPECT_EQ(AccountRegistry("User ID:").Value().ToText(), "anna");
}

TEST_F(CRegistryTest, DeleteKeyTreeTakesTheAccountAndNothingBeside) {
    AccountRegistry("Name", kAccountKey + QStringLiteral("\\Additional Text\\1")).SetValue(SettingValue("A"));
    AccountRegistry("Name", kAccountKey + QStringLiteral(" 2")).SetValue(SettingValue("B"));
    cRegistry account = AccountRegistry("");
    EXPECT_TRUE(account.DeleteKeyTree());
    EXPECT_FALSE(account.KeyExists());
    EXPECT_TRUE(RawKeyExists(reg::kLocalMachine, kAccountKey + QStringLiteral(" 2")));

    cRegistry everything = AccountRegistry("", "");
    EXPECT_EQ(ExpectRegistryError([&] { everything.DeleteKeyTree(); }).Number(), 26001);
    EXPECT_TRUE(RawKeyExists(reg::kLocalMachine, kAccountKey + QStringLiteral(" 2")));
}

TEST_F(CRegistryTest, EnumerationsOfAMissingKeyFindNothing) {
    OneBasedArray<QString> names;
    names.Append("stale");
    std::int32_t count = 5;
    cRegistry missing = AccountRegistry("", "Software\\Snapwire\\Nobody");
    EXPECT_TRUE(missing.EnumerateValues(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.IsEmpty());
    count = 5;
    names.Append("stale");
    EXPECT_TRUE(missing.EnumerateSections(names, count));
    EXPECT_EQ(count, 0);
    EXPECT_TRUE(names.IsEmpty());
}

TEST_F(CRegistryTest, EnumerateValuesListsNamesFromOne) {
    for (const char* name : {"Account1", "FirstTime", "Host Name/Adress:", "Åsa's camera"})
        AccountRegistry(QString::fromUtf8(name), "Software\\Snapwire").SetValue(SettingValue("x"));
    OneBasedArray<QString> names;
    std::int32_t count = 0;
    EXPECT_TRUE(AccountRegistry("", "Software\\Snapwire").EnumerateValues(names, count));
    ASSERT_EQ(count, 4);
    ASSERT_EQ(names.Count(), 4);
    EXPECT_EQ(names[1], "Account1");
    EXPECT_EQ(names[3], "Host Name/Adress:");
    EXPECT_EQ(names[4], QStringLiteral("Åsa's camera"));
}

// Every name the hive accepts, up to 255 characters of three bytes each in UTF-8.
TEST_F(CRegistryTest, EnumerateSectionsListsEveryNameTheHiveAccepts) {
    const QString root = QStringLiteral("Software\\Snapwire");
    const QString longName = QStringLiteral("C") + QString(254, QLatin1Char('x'));
    const QString euros = QStringLiteral("E") + QString(254, QChar(0x20AC));
    const QStringList names = {QStringLiteral("Alpha"), longName, QStringLiteral("Delta"), euros};
    for (const QString& name : names)
        ASSERT_TRUE(AccountRegistry("", root + QLatin1Char('\\') + name).CreateKey());

    OneBasedArray<QString> sections;
    std::int32_t count = 0;
    EXPECT_TRUE(AccountRegistry("", root).EnumerateSections(sections, count));
    ASSERT_EQ(count, 4);
    for (int i = 1; i <= count; ++i) EXPECT_EQ(sections[i], names[i - 1]);
}

// Key ids are remembered between reads; another program replacing the key must
// still show at the very next read.
TEST_F(CRegistryTest, AValueAnotherProgramWroteIsReadAtTheNextRead) {
    AccountRegistry("Host").SetValue(SettingValue("one"));
    ASSERT_EQ(AccountRegistry("Host").Value().ToText(), "one");
    const auto import = [this](const QByteArray& script) {
        QFile file(homeFile(QStringLiteral("in.reg")));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("Windows Registry Editor Version 5.00\n\n[-HKLM\\Software\\Snapwire\\My Account]\n" +
                   script);
        file.close();
        EXPECT_EQ(
            QProcess::execute(QStringLiteral(SNAPWIRE_REG_TOOL), {QStringLiteral("import"), file.fileName()}),
            0);
    };
    import("[HKLM\\Software\\Snapwire\\My Account]\n\"Host\"=\"two\"\n");
    EXPECT_EQ(AccountRegistry("Host").Value().ToText(), "two");
    import("");
    EXPECT_FALSE(AccountRegistry("Host").KeyExists());
    EXPECT_EQ(AccountRegistry("Host").Value().ToText(), "");
}

TEST_F(CRegistryTest, MachineNamesGetTheirBackslashes) {
    cRegistry registry;
    registry.SetMachine("ab");
    EXPECT_EQ(registry.Machine(), "");
    registry.SetMachine("server");
    EXPECT_EQ(registry.Machine(), "\\\\server");
    registry.SetMachine("\\\\srv");
    EXPECT_EQ(registry.Machine(), "\\\\srv");
}

TEST_F(CRegistryTest, ValueExSetsTheFivePropertiesAndWritesDefaultForEmptyText) {
    cRegistry registry;
    registry.SetValueEx(HKEY_LOCAL_MACHINE, kAccountKey, "Destination filename:", REG_SZ,
                        SettingValue("webcam"), SettingValue(""));
    EXPECT_EQ(registry.SectionKey(), kAccountKey);
    EXPECT_EQ(registry.ValueKey(), "Destination filename:");

    cRegistry reader;
    EXPECT_EQ(
        reader.ValueEx(HKEY_LOCAL_MACHINE, kAccountKey, "Destination filename:", 0, SettingValue()).ToText(),
        "webcam");
    EXPECT_EQ(reader.ValueType(), REG_SZ);
    EXPECT_EQ(reader.ValueEx(HKEY_LOCAL_MACHINE, kAccountKey, "Absent", 0, SettingValue(3)).ToInt(), 3);
}

TEST_F(CRegistryTest, ExeAssociationWritesBothClassRoots) {
    cRegistry registry;
    registry.CreateEXEAssociation("  /opt/snapwire/snapwire ", "Snapwire.Picture", "Snapwire picture", "swp",
                                  "&Open", true, "&Print", false, "&New", true, std::nullopt, 0);
    for (const auto& [root, prefix] :
         {std::pair{reg::kClassesRoot, QString()},
          std::pair{reg::kLocalMachine, QStringLiteral("SOFTWARE\\Classes\\")}}) {
        SCOPED_TRACE(prefix.toStdString());
        EXPECT_EQ(ReadRaw(root, prefix + ".swp", "").data, std::string("Snapwire.Picture") + '\0');
        EXPECT_EQ(ReadRaw(root, prefix + "Snapwire.Picture", "").data,
                  std::string("Snapwire picture") + '\0');
        const RawValue open = ReadRaw(root, prefix + "Snapwire.Picture\\shell\\open\\command", "");
        EXPECT_EQ(open.data, std::string("\"/opt/snapwire/snapwire\" \"%1\"") + '\0');
        EXPECT_EQ(open.type, reg::kRegSz);
        EXPECT_EQ(ReadRaw(root, prefix + "Snapwire.Picture\\shell\\print\\command", "").data,
                  std::string("\"/opt/snapwire/snapwire\" /p \"%1\"") + '\0');
        EXPECT_EQ(ReadRaw(root, prefix + "Snapwire.Picture\\shell\\add", "").data,
                  std::string("&Install swp") + '\0');
        EXPECT_FALSE(RawKeyExists(root, prefix + "Snapwire.Picture\\shell\\new"));
        EXPECT_EQ(ReadRaw(root, prefix + "Snapwire.Picture\\DefaultIcon", "").data,
                  std::string("\"/opt/snapwire/snapwire\",0") + '\0');
    }
}

TEST_F(CRegistryTest, AdditionalAssociationsNeedThreesAndAnExistingClass) {
    cRegistry registry;
    RegistryError error = ExpectRegistryError([&] {
        registry.CreateAdditionalEXEAssociations("Snapwire.Picture", {"view", "&View"});
    });
    EXPECT_EQ(error.Number(), -2147194452);
    EXPECT_EQ(
        error.Description(),
        "Invalid parameter list passed to CreateAdditionalEXEAssociations - expected Name/Text/Command");

    error = ExpectRegistryError([&] {
        registry.CreateAdditionalEXEAssociations("Snapwire.Picture", {"view", "&View", "viewer \"%1\""});
    });
    EXPECT_EQ(error.Number(), -2147194451);
    EXPECT_EQ(error.Description(), "Error - attempt to create additional associations before class defined.");

    registry.CreateEXEAssociation("/opt/snapwire/snapwire", "Snapwire.Picture", "Snapwire picture", "swp");
    registry.CreateAdditionalEXEAssociations("Snapwire.Picture", {"view", "&View", "viewer \"%1\""});
    EXPECT_EQ(ReadRaw(reg::kClassesRoot, "Snapwire.Picture\\shell\\view", "").data,
              std::string("&View") + '\0');
    EXPECT_EQ(
        ReadRaw(reg::kLocalMachine, "SOFTWARE\\Classes\\Snapwire.Picture\\shell\\view\\command", "").data,
        std::string("viewer \"%1\"") + '\0');
}

TEST_F(CRegistryTest, ProgramSettingsShorthand) {
    EXPECT_EQ(ProgramSectionKey(""), "Software\\Snapwire");
    EXPECT_EQ(ProgramSectionKey("My Account\\Font"), "Software\\Snapwire\\My Account\\Font");
    EXPECT_EQ(ReadSetting("My Account", "Selected"), "");
    WriteSetting("My Account", "Selected", SettingValue(true));
    WriteSetting("", "Width", SettingValue(6100.5));
    EXPECT_EQ(ReadSetting("My Account", "Selected"), "True");
    EXPECT_EQ(ReadSetting("", "Width"), "6100,5");
    EXPECT_EQ(ReadRaw(reg::kLocalMachine, "Software\\Snapwire", "Width").type, reg::kRegSz);
}

}  // namespace
}  // namespace snapwire
