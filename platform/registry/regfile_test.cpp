#include "platform/registry/regfile.h"

#include "platform/registry/registry_test_support.h"
#include "testsupport/program_folder_test.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <string>
#include <tuple>

namespace snapwire::reg {
namespace {

using namespace test;

class RegFileTest : public snapwire::testing::ProgramFolderTest {};

constexpr const char* kSnapwire = "Software\\Snapwire";

// Windows writes version 5 scripts as UTF-16LE with a byte-order mark.
std::string AsUtf16Le(const std::string& utf8) {
    const QString text = QString::fromStdString(utf8);
    std::string bytes = "\xFF\xFE";
    for (const QChar c : text) {
        bytes.push_back(static_cast<char>(c.unicode() & 0xFF));
        bytes.push_back(static_cast<char>(c.unicode() >> 8));
    }
    return bytes;
}

std::string ExportOf(HKey root, std::string_view path) {
    std::string script;
    EXPECT_EQ(ExportKey(root, path, &script), kSuccess);
    return script;
}

void WriteFile(const QString& path, const std::string& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes.data(), static_cast<qint64>(bytes.size()));
}

// Replaces the key "Swap" with ten sub-keys of twenty values, all named after `tag`.
std::string SwapScript(char tag) {
    std::string script =
        "Windows Registry Editor Version 5.00\n\n[-HKEY_LOCAL_MACHINE\\Software\\Snapwire\\Swap]\n";
    for (int k = 0; k < 10; ++k) {
        script += "\n[HKEY_LOCAL_MACHINE\\Software\\Snapwire\\Swap\\" + std::string(1, tag) +
                  std::to_string(k) + "]\n";
        for (int v = 0; v < 20; ++v) script += "\"v" + std::to_string(v) + "\"=\"" + tag + "\"\n";
    }
    return script;
}

TEST_F(RegFileTest, ImportsEscapesNumbersExpandableTextAndDeletions) {
    HKey key = MakeKey(kSnapwire);
    ASSERT_EQ(PutText(key, "Obsolete", "x"), kSuccess);
    CloseKey(MakeKey("Software\\Snapwire\\Old\\Deep"));
    CloseKey(key);

    // hex(2) holds "%TEMP%\a" in UTF-16LE with its zero, wrapped onto a second line.
    const std::string script =
        "Windows Registry Editor Version 5.00\r\n"
        "\r\n"
        "; settings of one machine\r\n"
        "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire]\r\n"
        "\"Movie\"=\"C:\\\\capture.avi\"\r\n"
        "\"Quote \\\"q\\\"\"=\"say \\\"hi\\\"\"\r\n"
        "@=\"default\"\r\n"
        "\"Interval\"=dword:0000001f\r\n"
        "\"Pattern\"=hex(2):25,00,54,00,45,00,4d,00,50,00,25,00,5c,00,\\\r\n"
        "  61,00,00,00\r\n"
        "\"Blob\"=hex:00,ff\r\n"
        "\"Obsolete\"=-\r\n"
        "\"Never there\"=-\r\n"
        "\r\n"
        "[-HKEY_LOCAL_MACHINE\\Software\\Snapwire\\Old]\r\n"
        "\r\n"
        "[HKLM\\Software\\Snapwire\\Ümlaut Account]\r\n"
        "\"Host Name/Adress:\"=\"ftp.example.com\"\r\n";
    for (const std::string& bytes : {script, AsUtf16Le(script), "\xEF\xBB\xBF" + script}) {
        const ScriptResult result = ImportScript(bytes);
        ASSERT_TRUE(result.ok()) << result.line << ": " << result.error;

        ASSERT_EQ(OpenKey(kLocalMachine, kSnapwire, kKeyQueryValue, &key), kSuccess);
        EXPECT_EQ(GetText(key, "Movie"), "C:\\capture.avi");
        EXPECT_EQ(GetText(key, "Quote \"q\""), "say \"hi\"");
        EXPECT_EQ(GetText(key, ""), "default");
        EXPECT_EQ(Get(key, "Interval").data, (std::vector<std::uint8_t>{0x1f, 0, 0, 0}));
        EXPECT_EQ(Get(key, "Interval").type, kRegDword);
        EXPECT_EQ(Get(key, "Pattern").type, kRegExpandSz);
        EXPECT_EQ(Get(key, "Pattern").data, TextData("%TEMP%\\a"));
        EXPECT_EQ(Get(key, "Blob").data, (std::vector<std::uint8_t>{0x00, 0xff}));
        EXPECT_EQ(Get(key, "Obsolete").rc, kFileNotFound);
        EXPECT_EQ(SubKeys(key), std::vector<std::string>{"Ümlaut Account"});
        EXPECT_EQ(GetText("Software\\Snapwire\\ümlaut account", "Host Name/Adress:"), "ftp.example.com");
        CloseKey(key);
    }
}

TEST_F(RegFileTest, ReadsEightBitRegedit4Scripts) {
    const std::string latin1 =
        "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Snapwire]\n\"Caf\xE9\"=\"cr\xE8me\"\n";
    ASSERT_TRUE(ImportScript(latin1).ok());
    EXPECT_EQ(GetText(kSnapwire, "Café", kCurrentUser), "crème");
}

TEST_F(RegFileTest, AMalformedLineRejectsTheWholeScript) {
    struct Case {
        std::string body;
        int line;
    };
    const std::vector<Case> cases = {
        {"[HKLM\\Software\\Snapwire]\n\"a\"=\"1\"\n\"b\"=dword:xyz\n", 5},
        {"[HKLM\\Software\\Snapwire]\n\"a\"=\"1\"\n\"c\"=\"unclosed\n", 5},
        {"[HKLM\\Software\\Snapwire]\n\"a\"=\"1\"\n\"d\"=\"bad \\q escape\"\n", 5},
        {"[HKLM\\Software\\Snapwire]\n\"a\"=\"1\"\n\"e\"=hex:1,2,zz\n", 5},
        {"[HKLM\\Software\\Snapwire]\n\"a\"=\"1\"\n\"f\"=hex(2):41\n", 5},  // half a UTF-16 unit
        {"[HKLM\\Software\\Snapwire]\n\"a\"=\"1\"\n[HKEY_NOWHERE\\X]\n", 5},
        {"[HKLM\\Software\\Snapwire]\n\"a\"=\"1\"\nstray text\n", 5},
        {"\"a\"=\"1\"\n", 3},
        {"[-HKLM]\n", 3},
        {"[HKLM\\Software\\Snapwire]\n\"a\"=\"1\"\n[HKLM\\Software\\" + std::string(256, 'k') + "]\n", 5},
    };
    for (const Case& c : cases) {
        const ScriptResult result = ImportScript("Windows Registry Editor Version 5.00\n\n" + c.body);
        EXPECT_FALSE(result.ok()) << c.body;
        EXPECT_EQ(result.line, c.line) << c.body << result.error;
        HKey key = 0;
        EXPECT_EQ(OpenKey(kLocalMachine, kSnapwire, kKeyQueryValue, &key), kFileNotFound) << c.body;
    }
    const ScriptResult noHeader = ImportScript("[HKLM\\Software]\n");
    EXPECT_EQ(noHeader.line, 1);
    EXPECT_FALSE(noHeader.ok());
}

TEST_F(RegFileTest, ExportWritesTheRegistryEditorFormat) {
    HKey key = MakeKey(kSnapwire);
    ASSERT_EQ(PutText(key, "Movie", "C:\\capture.avi"), kSuccess);
    ASSERT_EQ(PutText(key, "Say", "\"hi\""), kSuccess);
    ASSERT_EQ(Put(key, "Interval", kRegDword, {0x1f, 0, 0, 0}), kSuccess);
    ASSERT_EQ(Put(key, "Pattern", kRegExpandSz, TextData("%N")), kSuccess);
    ASSERT_EQ(Put(key, "Lines", kRegSz, TextData("a\nb")), kSuccess);
    HKey font = MakeKey("Software\\Snapwire\\b\\Font");
    ASSERT_EQ(PutText(font, "", "Tahoma"), kSuccess);
    CloseKey(MakeKey("Software\\Snapwire\\A"));
    CloseKey(font);
    CloseKey(key);

    EXPECT_EQ(ExportOf(kLocalMachine, kSnapwire),
              "Windows Registry Editor Version 5.00\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Snapwire]\n"
              "\"Movie\"=\"C:\\\\capture.avi\"\n"
              "\"Say\"=\"\\\"hi\\\"\"\n"
              "\"Interval\"=dword:0000001f\n"
              "\"Pattern\"=hex(2):25,00,4e,00,00,00\n"
              "\"Lines\"=hex(1):61,00,0a,00,62,00,00,00\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Snapwire\\A]\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Snapwire\\b]\n"
              "\n"
              "[HKEY_LOCAL_MACHINE\\Software\\Snapwire\\b\\Font]\n"
              "@=\"Tahoma\"\n"
              "\n");
    std::string script;
    EXPECT_EQ(ExportKey(kLocalMachine, "Software\\Nothing", &script), kFileNotFound);
}

TEST_F(RegFileTest, ExportThenImportRestoresEveryValue) {
    HKey key = MakeKey(kSnapwire);
    const std::vector<std::uint8_t> longBinary(100, 0xab);
    ASSERT_EQ(PutText(key, "Text \"q\" \\", "Größe \\ \"x\""), kSuccess);
    ASSERT_EQ(Put(key, "Expand", kRegExpandSz, TextData("%USERPROFILE%\\Ä")), kSuccess);
    ASSERT_EQ(Put(key, "Multi", kRegMultiSz, Bytes(std::string_view("a\0bé\0\0", 7))), kSuccess);
    ASSERT_EQ(Put(key, "Long", kRegBinary, longBinary), kSuccess);
    ASSERT_EQ(Put(key, "Big", kRegDwordBigEndian, {0, 0, 1, 2}), kSuccess);
    ASSERT_EQ(Put(key, "Short dword", kRegDword, {1, 2}), kSuccess);
    ASSERT_EQ(Put(key, "Empty", kRegSz, {}), kSuccess);
    ASSERT_EQ(Put(key, "Qword", 11, {1, 2, 3, 4, 5, 6, 7, 8}), kSuccess);
    CloseKey(key);
    HKey deep = MakeKey("Software\\Snapwire\\Acc\\Additional Text\\1\\Deeper");
    ASSERT_EQ(PutText(deep, "v", "deep"), kSuccess);
    CloseKey(deep);
    CloseKey(MakeKey("Software\\Other", kClassesRoot));

    std::string before;
    ASSERT_EQ(ExportHive(&before), kSuccess);
    EXPECT_NE(before.find("hex:ab,ab"), std::string::npos);
    EXPECT_NE(before.find(",\\\n  ab,"), std::string::npos);  // the long list wraps
    ASSERT_EQ(DeleteKeyTree(kLocalMachine, "Software"), kSuccess);
    ASSERT_EQ(DeleteKeyTree(kClassesRoot, "Software"), kSuccess);

    const ScriptResult result = ImportScript(before);
    ASSERT_TRUE(result.ok()) << result.line << ": " << result.error;
    std::string after;
    ASSERT_EQ(ExportHive(&after), kSuccess);
    EXPECT_EQ(after, before);
    ASSERT_EQ(OpenKey(kLocalMachine, kSnapwire, kKeyQueryValue, &key), kSuccess);
    EXPECT_EQ(Get(key, "Long").data, longBinary);
    EXPECT_EQ(Get(key, "Multi").data, Bytes(std::string_view("a\0bé\0\0", 7)));
    CloseKey(key);
}

TEST_F(RegFileTest, ScriptPiecesWithWindowsLineEndsReadBack) {
    const std::string longText(30, 'x');
    const std::string script = ScriptHeader(LineEnd::kCrLf) +
                               KeyLine("HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire", LineEnd::kCrLf) +
                               TextValueLine("Path \"p\"", "C:\\capture.avi", LineEnd::kCrLf) +
                               TextValueLine("", "default", LineEnd::kCrLf) +
                               TextValueLine("Lines", "a\r\n" + longText, LineEnd::kCrLf);
    EXPECT_TRUE(
        script.starts_with("Windows Registry Editor Version 5.00\r\n\r\n"
                           "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire]\r\n"
                           "\"Path \\\"p\\\"\"=\"C:\\\\capture.avi\"\r\n"
                           "@=\"default\"\r\n"
                           "\"Lines\"=hex(1):61,00,0d,00,0a,00,78,00,"))
        << script;
    // The long hex list wraps with the same line end; no bare LF is left.
    EXPECT_NE(script.find(",\\\r\n  78,00"), std::string::npos) << script;
    for (size_t at = script.find('\n'); at != std::string::npos; at = script.find('\n', at + 1))
        EXPECT_EQ(script[at - 1], '\r') << at;

    ASSERT_TRUE(ImportScript(script).ok());
    EXPECT_EQ(GetText(kSnapwire, "Path \"p\""), "C:\\capture.avi");
    EXPECT_EQ(GetText(kSnapwire, ""), "default");
    EXPECT_EQ(GetText(kSnapwire, "Lines"), "a\r\n" + longText);
}

// The command-line tool on the program's own hive.
TEST_F(RegFileTest, ToolImportsReportsErrorsAndExports) {
    QFile script(homeFile(QStringLiteral("in.reg")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Snapwire]\n\"v\"=\"1\"\n");
    script.close();
    QFile broken(homeFile(QStringLiteral("broken.reg")));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write(
        "Windows Registry Editor Version 5.00\n\n[HKLM\\Software\\Snapwire]\n\"w\"=\"2\"\n\"x\"=oops\n");
    broken.close();
    CloseHive();

    // A refused import creates no hive.
    for (const QString& refused : {QStringLiteral("/no/such/file.reg"), broken.fileName()}) {
        EXPECT_EQ(std::get<0>(RunTool({QStringLiteral("import"), refused})), 1);
        EXPECT_FALSE(QFile::exists(homeFile(QStringLiteral("settings.db"))));
    }
    auto [code, out, err] = RunTool({QStringLiteral("import"), script.fileName()});
    EXPECT_EQ(code, 0) << err.toStdString();
    std::tie(code, out, err) = RunTool({QStringLiteral("import"), broken.fileName()});
    EXPECT_NE(code, 0);
    EXPECT_TRUE(err.contains("broken.reg:5:")) << err.toStdString();
    std::tie(code, out, err) = RunTool({QStringLiteral("export"), QStringLiteral("Software\\Snapwire")});
    EXPECT_EQ(code, 0);
    EXPECT_EQ(
        out.toStdString(),
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\Software\\Snapwire]\n\"v\"=\"1\"\n\n");
    std::tie(code, out, err) = RunTool({QStringLiteral("export"), QStringLiteral("HKCU\\Software\\Missing")});
    EXPECT_NE(code, 0);
    EXPECT_TRUE(out.isEmpty());
}

// Another program importing while exports run: each export shows the hive before
// or after an import, never half of it, and a key deleted meanwhile is no failure.
TEST_F(RegFileTest, ExportsBesideAnotherProgramsImportsShowOneScriptOrTheOther) {
    std::string expected[2];
    std::string expectedHive[2];
    for (int i = 0; i < 2; ++i) {
        ASSERT_TRUE(ImportScript(SwapScript("AB"[i])).ok());
        expected[i] = ExportOf(kLocalMachine, "Software\\Snapwire\\Swap");
        ASSERT_EQ(ExportHive(&expectedHive[i]), kSuccess);
        WriteFile(homeFile(i == 0 ? QStringLiteral("a.reg") : QStringLiteral("b.reg")), SwapScript("AB"[i]));
    }
    QProcess importer;
    importer.setWorkingDirectory(home());
    importer.start(QStringLiteral("/bin/sh"),
                   {QStringLiteral("-c"),
                    QStringLiteral("while [ ! -e stop ]; do \"$0\" import a.reg && \"$0\" import b.reg && "
                                   "echo >> rounds || exit 1; done"),
                    QStringLiteral(SNAPWIRE_REG_TOOL)});
    ASSERT_TRUE(importer.waitForStarted());
    const QFileInfo rounds(homeFile(QStringLiteral("rounds")));
    for (int n = 0; n < 5000 && QFileInfo(rounds.filePath()).size() < 10; ++n) {
        std::string script;
        ASSERT_EQ(ExportKey(kLocalMachine, "Software\\Snapwire\\Swap", &script), kSuccess);
        ASSERT_TRUE(script == expected[0] || script == expected[1]) << script;
        if (n % 25 == 0) {
            const auto [code, out, err] = RunTool({QStringLiteral("export")});
            ASSERT_EQ(code, 0) << err.toStdString();
            ASSERT_TRUE(out.toStdString() == expectedHive[0] || out.toStdString() == expectedHive[1]);
        }
    }
    WriteFile(homeFile(QStringLiteral("stop")), "");
    ASSERT_TRUE(importer.waitForFinished(30000));
    EXPECT_EQ(importer.exitCode(), 0) << importer.readAllStandardError().toStdString();
}

TEST_F(RegFileTest, ToolSaysWhenAnotherProgramHoldsTheSettings) {
    HKey key = MakeKey(kSnapwire);
    WriteFile(homeFile(QStringLiteral("in.reg")),
              "Windows Registry Editor Version 5.00\n\n[HKLM\\Software\\Snapwire]\n\"v\"=\"1\"\n");
    OtherConnection other;
    ASSERT_TRUE(other.Execute("BEGIN IMMEDIATE"));
    const auto [code, out, err] = RunTool({QStringLiteral("import"), homeFile(QStringLiteral("in.reg"))});
    ASSERT_TRUE(other.Execute("ROLLBACK"));
    EXPECT_NE(code, 0);
    EXPECT_TRUE(err.contains("another program is using the settings; nothing was changed"))
        << err.toStdString();
    EXPECT_EQ(Get(key, "v").rc, kFileNotFound);
    CloseKey(key);
}

}  // namespace
}  // namespace snapwire::reg
