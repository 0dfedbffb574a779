#include "engine/config_export.h"

#include <gtest/gtest.h>
#include <sqlite3.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <atomic>
#include <thread>

#include "engine/main_window_test_fixture.h"
#include "platform/registry/registry.h"
#include "platform/ui/message_box.h"
#include "settings_store/c_registry.h"

namespace snapwire {
namespace {

using testing::MainWindowTest;

class ConfigExportTest : public MainWindowTest {
  protected:
    void TearDown() override {
        qunsetenv("SNAPWIRE_EXPORT_TEST");
        MainWindowTest::TearDown();
    }

    static void Put(const QString& section, const char* name, const QString& text) {
        WriteSetting(section, QString::fromUtf8(name), SettingValue(text));
    }
    // A value of another type than text, as another tool could have left it.
    static void PutRaw(const char* name, std::uint32_t type, const QByteArray& data) {
        reg::HKey key = 0;
        ASSERT_EQ(reg::CreateKey(reg::kLocalMachine, kProgramKey, &key), reg::kSuccess);
        ASSERT_EQ(reg::SetValue(key, name, type, reinterpret_cast<const std::uint8_t*>(data.constData()),
                                static_cast<std::uint32_t>(data.size())),
                  reg::kSuccess);
        reg::CloseKey(key);
    }
    // Two accounts, one with a font, a text item and a key below that item.
    static void SeedHive() {
        qputenv("SNAPWIRE_EXPORT_TEST", "/srv/cam");
        Put(QString(), "FirstTime", QStringLiteral("False"));
        Put(QString(), "Account1", QStringLiteral("Cam"));
        Put(QString(), "Movie", QStringLiteral("C:\\capture.avi"));
        Put(QString(), "Say", QStringLiteral("a \"quoted\" word"));
        Put(QString(), "Größe", QStringLiteral("10,5 °"));
        PutRaw("Interval", reg::kRegDword, QByteArray("\x1f\0\0\0", 4));
        PutRaw("Home", reg::kRegExpandSz, QByteArray("%SNAPWIRE_EXPORT_TEST%\\x", 25));
        Put(QString(), "Lines", QStringLiteral("a\r\nb"));
        Put(QStringLiteral("Cam"), "Host Name/Adress:", QStringLiteral("ftp.example.com"));
        Put(QStringLiteral("Cam"), "Selected", QStringLiteral("True"));
        Put(QStringLiteral("Cam\\Font"), "Name", QStringLiteral("Tahoma"));
        Put(QStringLiteral("Cam\\Additional Text\\1"), "Text", QStringLiteral("Hello"));
        Put(QStringLiteral("Cam\\Additional Text\\1\\Deeper"), "Lost", QStringLiteral("x"));
        cRegistry empty;
        empty.SetClassKey(HKEY_LOCAL_MACHINE);
        empty.SetSectionKey(ProgramSectionKey(QStringLiteral("Empty")));
        empty.CreateKey();
    }
    QString ExportFile() const { return homeFile(QString::fromLatin1(config::kExportFileName)); }
    QByteArray ExportFileBytes() const {
        QFile file(ExportFile());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
};

constexpr const char* kSeededScript =
    "Windows Registry Editor Version 5.00\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire]\r\n"
    "\"FirstTime\"=\"False\"\r\n"
    "\"Account1\"=\"Cam\"\r\n"
    "\"Movie\"=\"C:\\\\capture.avi\"\r\n"
    "\"Say\"=\"a \\\"quoted\\\" word\"\r\n"
    "\"Größe\"=\"10,5 °\"\r\n"
    "\"Interval\"=\"31\"\r\n"
    "\"Home\"=\"/srv/cam\\\\x\"\r\n"
    "\"Lines\"=hex(1):61,00,0d,00,0a,00,62,00,00,00\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire\\Cam]\r\n"
    "\"Host Name/Adress:\"=\"ftp.example.com\"\r\n"
    "\"Selected\"=\"True\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire\\Cam\\Additional Text]\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire\\Cam\\Additional Text\\1]\r\n"
    "\"Text\"=\"Hello\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire\\Cam\\Font]\r\n"
    "\"Name\"=\"Tahoma\"\r\n"
    "\r\n"
    "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire\\Empty]\r\n"
    "\r\n";

// Values as text (numbers in decimal, references expanded), escapes, keys three
// levels deep and no further, an empty key, UTF-8 names and data, CR LF throughout.
TEST_F(ConfigExportTest, ScriptHoldsEveryValueAsTextThreeLevelsDeep) {
    SeedHive();
    EXPECT_EQ(config::ConfigurationScript().toStdString(), kSeededScript);
}

// Another program rewriting every value meanwhile: each export shows the settings
// before or after one of its writes, never half of each.
TEST_F(ConfigExportTest, ExportBesideAnotherWriterShowsOneStateOfTheSettings) {
    for (int i = 0; i < 50; ++i)
        Put(QStringLiteral("Cam%1").arg(i % 5), QByteArray::number(i).constData(), QStringLiteral("A"));
    std::atomic<bool> stop = false;
    std::thread writer([&stop] {
        sqlite3* db = nullptr;
        sqlite3_open_v2(reg::HiveFile().c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
        sqlite3_busy_timeout(db, 5000);
        while (!stop)
            sqlite3_exec(db,
                         "UPDATE vals SET data = CASE data WHEN X'4100' THEN X'4200' ELSE X'4100' END "
                         "WHERE data IN (X'4100', X'4200')",
                         nullptr, nullptr, nullptr);
        sqlite3_close_v2(db);
    });
    QByteArray mixed;
    for (int n = 0; n < 200 && mixed.isEmpty(); ++n) {
        const QByteArray script = config::ConfigurationScript();
        if (script.contains("=\"A\"") && script.contains("=\"B\""))
            mixed = script;
    }
    stop = true;
    writer.join();
    EXPECT_TRUE(mixed.isEmpty()) << mixed.toStdString();
}

TEST_F(ConfigExportTest, RootWithoutKeysGivesHeaderValuesAndFinalEmptyLine) {
    EXPECT_EQ(config::ConfigurationScript().toStdString(),
              "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire]\r\n\r\n");
    Put(QString(), "FirstTime", QStringLiteral("False"));
    EXPECT_EQ(config::ConfigurationScript().toStdString(),
              "Windows Registry Editor Version 5.00\r\n\r\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire]\r\n"
              "\"FirstTime\"=\"False\"\r\n\r\n");
}

// The tool that stands in for the registry editor here takes the file back.
TEST_F(ConfigExportTest, ImportingTheFileRestoresTheSettings) {
    SeedHive();
    ASSERT_EQ(config::ExportConfiguration(ExportFile()), QString());
    ASSERT_EQ(ExportFileBytes().toStdString(), kSeededScript);
    ASSERT_EQ(reg::DeleteKeyTree(reg::kLocalMachine, "Software"), reg::kSuccess);
    ASSERT_EQ(ReadSetting(QString(), QStringLiteral("Movie")), QString());
    reg::CloseHive();

    QProcess tool;
    tool.start(QStringLiteral(SNAPWIRE_REG_TOOL), {QStringLiteral("import"), ExportFile()});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    EXPECT_EQ(config::ConfigurationScript().toStdString(), kSeededScript);
    EXPECT_EQ(ReadSetting(QString(), QStringLiteral("Movie")), QStringLiteral("C:\\capture.avi"));
    EXPECT_EQ(ReadSetting(QString(), QStringLiteral("Lines")), QStringLiteral("a\r\nb"));
    EXPECT_EQ(ReadSetting(QStringLiteral("Cam\\Additional Text\\1"), QStringLiteral("Text")),
              QStringLiteral("Hello"));
    EXPECT_EQ(ReadSetting(QStringLiteral("Cam\\Additional Text\\1\\Deeper"), QStringLiteral("Lost")),
              QString());
}

TEST_F(ConfigExportTest, ExportCommandReplacesTheFileAndSaysWhere) {
    Put(QString(), "FirstTime", QStringLiteral("False"));
    QFile earlier(ExportFile());
    ASSERT_TRUE(earlier.open(QIODevice::WriteOnly));
    earlier.write("an earlier, longer export that must not show through");
    earlier.close();
    ASSERT_TRUE(earlier.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                       QFileDevice::ReadGroup | QFileDevice::ReadOther));

    frmMain window;
    ui::AnswerNextMessageBox(ui::vbOK);
    window.mnuExport->trigger();
    EXPECT_EQ(ExportFileBytes(), config::ConfigurationScript());
    // It holds the FTP passwords: nobody but its owner may read it.
    EXPECT_EQ(QFileInfo(ExportFile()).permissions() & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    const ui::ShownBox& box = ui::ShownBoxes().front();
    EXPECT_EQ(box.prompt,
              QStringLiteral("All your Configuration have been exported to a registry file\r\n(") +
                  ExportFile() + QStringLiteral(").\r\nTo import it to Snapwire, run: snapwire-reg import ") +
                  ExportFile());
    EXPECT_EQ(config::ImportInstruction(QStringLiteral("/home/o'neil/my cam/SNConf.reg")),
              QStringLiteral(
                  "To import it to Snapwire, run: snapwire-reg import '/home/o'\\''neil/my cam/SNConf.reg'"));
    EXPECT_EQ(box.style, ui::vbInformation + ui::vbOKOnly);
    EXPECT_EQ(box.title, QString::fromLatin1(ui::kProgramTitle));
}

// A key name as long as the hive accepts is exported; one it does not accept, left by
// another program, makes the export fail instead of leaving the key out unsaid.
TEST_F(ConfigExportTest, EveryKeyIsExportedOrTheExportSaysItCannotBe) {
    const QString longest = QString(255, QLatin1Char('L'));
    Put(longest, "Host", QStringLiteral("ftp.example.com"));
    Put(QStringLiteral("Z"), "Last", QStringLiteral("1"));
    const QByteArray script = config::ConfigurationScript();
    EXPECT_TRUE(script.contains("\\" + longest.toLatin1() + "]\r\n\"Host\"=\"ftp.example.com\"\r\n"));
    EXPECT_TRUE(script.contains("\\Z]\r\n\"Last\"=\"1\"\r\n"));

    // More bytes than any name the hive accepts, even at three bytes a character.
    const std::string tooLong = "UPDATE keys SET name = '" + std::string(800, 'L') + "', folded = '" +
                                std::string(800, 'l') + "' WHERE length(name) = 255";
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(reg::HiveFile().c_str(), &other), SQLITE_OK);
    const int renamed = sqlite3_exec(other, tooLong.c_str(), nullptr, nullptr, nullptr);
    sqlite3_close(other);
    ASSERT_EQ(renamed, SQLITE_OK);
    frmMain window;
    ui::AnswerNextMessageBox(ui::vbOK);
    window.mnuExport_Click();
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_TRUE(ui::ShownBoxes().front().prompt.contains(QStringLiteral("longer than 255 characters")))
        << ui::ShownBoxes().front().prompt.toStdString();
    EXPECT_FALSE(QFileInfo::exists(ExportFile()));
}

TEST_F(ConfigExportTest, FileThatCannotBeWrittenIsReportedInsteadOfSuccess) {
    ASSERT_TRUE(QDir(home()).mkdir(QString::fromLatin1(config::kExportFileName)));
    frmMain window;
    ui::AnswerNextMessageBox(ui::vbOK);
    window.mnuExport_Click();
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    const ui::ShownBox& box = ui::ShownBoxes().front();
    EXPECT_TRUE(
        box.prompt.startsWith(QStringLiteral("The configuration could not be exported to ") + ExportFile()))
        << box.prompt.toStdString();
    EXPECT_EQ(box.style, ui::vbCritical + ui::vbOKOnly);
    EXPECT_TRUE(QFileInfo(ExportFile()).isDir());
}

}  // namespace
}  // namespace snapwire
