#include "platform/registry/registry.h"

#include "platform/registry/registry_test_support.h"
#include "testsupport/program_folder_test.h"

#include <sys/stat.h>
#include <QFile>

#include <cstdlib>
#include <string>

namespace snapwire::reg {
namespace {

using namespace test;

class RegistryTest : public snapwire::testing::ProgramFolderTest {};

TEST_F(RegistryTest, EveryTypeRoundTripsThroughAReopenedHive) {
    const std::vector<std::pair<std::uint32_t, std::vector<std::uint8_t>>> values = {
        {kRegSz, TextData("C:\\capture.avi")},
        {kRegExpandSz, TextData("%N%YYYY%TT%DD")},
        {kRegBinary, {0x00, 0xff, 0x10, 0x00}},
        {kRegDword, {0x1f, 0, 0, 0}},
        {kRegDwordBigEndian, {0, 0, 0, 0x1f}},
        {kRegMultiSz, Bytes(std::string_view("one\0two\0\0", 9))},
        {11, {1, 2, 3, 4, 5, 6, 7, 8}},  // a type code the hive does not know
        {kRegSz, {}},                    // empty data
    };
    HKey key = MakeKey("Software\\Snapwire");
    for (size_t i = 0; i < values.size(); ++i)
        ASSERT_EQ(Put(key, "v" + std::to_string(i), values[i].first, values[i].second), kSuccess);
    CloseKey(key);
    CloseHive();

    ASSERT_EQ(OpenKey(kLocalMachine, "Software\\Snapwire", kKeyQueryValue, &key), kSuccess);
    for (size_t i = 0; i < values.size(); ++i) {
        const Read read = Get(key, "v" + std::to_string(i));
        EXPECT_EQ(read.rc, kSuccess);
        EXPECT_EQ(read.type, values[i].first) << i;
        EXPECT_EQ(read.data, values[i].second) << i;
    }
    CloseKey(key);
}

TEST_F(RegistryTest, QueryValueReportsSizesAndMissingValues) {
    HKey key = MakeKey("Software\\Snapwire");
    ASSERT_EQ(PutText(key, "Name", "hello"), kSuccess);

    std::uint32_t type = 0;
    std::uint32_t size = 0;
    EXPECT_EQ(QueryValue(key, "Name", &type, nullptr, &size), kSuccess);
    EXPECT_EQ(type, kRegSz);
    EXPECT_EQ(size, 6u);

    std::uint8_t small[3];
    size = sizeof small;
    EXPECT_EQ(QueryValue(key, "Name", &type, small, &size), kMoreData);
    EXPECT_EQ(size, 6u);

    size = 0;
    EXPECT_EQ(QueryValue(key, "Missing", &type, nullptr, &size), kFileNotFound);
    HKey missing = 0;
    EXPECT_EQ(OpenKey(kLocalMachine, "Software\\Snapwire\\Nothing", kKeyQueryValue, &missing), kFileNotFound);
    CloseKey(key);
}

TEST_F(RegistryTest, NamesMatchWithoutCaseAndKeepTheirFirstSpelling) {
    HKey key = MakeKey("Software\\ÄBC Snapwire");
    ASSERT_EQ(PutText(key, "Größe Ü", "1"), kSuccess);
    CloseKey(key);

    ASSERT_EQ(OpenKey(kLocalMachine, "SOFTWARE\\äbc snapwire", kKeyQueryValue, &key), kSuccess);
    EXPECT_EQ(GetText(key, "GRÖßE ü"), "1");
    ASSERT_EQ(PutText(key, "gröSSe ü", "2"), kSuccess);  // not the same name: "ß" is not "ss"
    ASSERT_EQ(PutText(key, "GRÖSSE Ü", "3"), kSuccess);  // the same as the one before
    ASSERT_EQ(PutText(key, "größe ü", "4"), kSuccess);   // the same as the first
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"Größe Ü", "gröSSe ü"}));
    EXPECT_EQ(GetText(key, "Größe Ü"), "4");
    EXPECT_EQ(GetText(key, "grösse ü"), "3");
    CloseKey(key);

    HKey software = MakeKey("software");
    EXPECT_EQ(SubKeys(software), (std::vector<std::string>{"ÄBC Snapwire"}));
    CloseKey(software);
}

TEST_F(RegistryTest, ValueNamesAreOpaqueTextAndEmptyMeansDefault) {
    HKey key = MakeKey("Software\\Snapwire");
    ASSERT_EQ(PutText(key, "Host Name/Adress:", "ftp.example.com"), kSuccess);
    ASSERT_EQ(PutText(key, "a\\b", "slash"), kSuccess);
    ASSERT_EQ(PutText(key, "", "default"), kSuccess);
    EXPECT_EQ(GetText(key, "Host Name/Adress:"), "ftp.example.com");
    EXPECT_EQ(GetText(key, "a\\b"), "slash");
    EXPECT_EQ(GetText(key, ""), "default");
    EXPECT_EQ(SubKeys(key), std::vector<std::string>{});  // "a\b" made no key
    CloseKey(key);
}

TEST_F(RegistryTest, ValuesEnumerateInCreationOrderAndKeysSorted) {
    HKey key = MakeKey("Software\\Snapwire");
    for (const char* name : {"zeta", "Alpha", "mid"}) ASSERT_EQ(PutText(key, name, "x"), kSuccess);
    ASSERT_EQ(PutText(key, "ZETA", "rewritten"), kSuccess);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"zeta", "Alpha", "mid"}));
    ASSERT_EQ(DeleteValue(key, "Alpha"), kSuccess);
    ASSERT_EQ(PutText(key, "alpha", "again"), kSuccess);
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"zeta", "mid", "alpha"}));

    for (const char* name : {"b", "C", "A", "a2", "Ä"})
        CloseKey(MakeKey(std::string("Software\\Snapwire\\") + name));
    EXPECT_EQ(SubKeys(key), (std::vector<std::string>{"A", "a2", "b", "C", "Ä"}));

    std::uint32_t subKeys = 0, longestKey = 0, values = 0, longestValue = 0;
    ASSERT_EQ(QueryInfoKey(key, &subKeys, &longestKey, &values, &longestValue), kSuccess);
    EXPECT_EQ(subKeys, 5u);
    EXPECT_EQ(longestKey, 2u);  // "a2", and "Ä" is two bytes
    EXPECT_EQ(values, 3u);
    EXPECT_EQ(longestValue, 5u);
    CloseKey(key);
}

TEST_F(RegistryTest, EnumerationsStopAtBuffersTooSmall) {
    HKey key = MakeKey("Software\\Snapwire");
    const std::string longName(255, 'B');
    for (const std::string& name :
         {std::string("A"), longName, std::string("C"), std::string(254, 'b') + "a"})
        CloseKey(MakeKey("Software\\Snapwire\\" + name));
    // "A", "bb…a" (255), "BBB…" (255), "C": a 255-byte buffer stops at index 1.
    char buffer[255];
    EXPECT_EQ(EnumKey(key, 0, buffer, sizeof buffer), kSuccess);
    EXPECT_EQ(EnumKey(key, 1, buffer, sizeof buffer), kMoreData);
    EXPECT_EQ(SubKeys(key, 255), std::vector<std::string>{"A"});
    EXPECT_EQ(SubKeys(key, 256).size(), 4u);
    EXPECT_EQ(EnumKey(key, 4, buffer, sizeof buffer), kNoMoreItems);

    ASSERT_EQ(PutText(key, "Account1", "x"), kSuccess);
    char name[8];
    std::uint32_t size = 8;
    EXPECT_EQ(EnumValue(key, 0, name, &size), kMoreData);
    EXPECT_EQ(size, 8u);  // the name's length; the zero does not fit
    size = 9;
    char fits[9];
    EXPECT_EQ(EnumValue(key, 0, fits, &size), kSuccess);
    EXPECT_EQ(std::string(fits), "Account1");
    EXPECT_EQ(size, 8u);
    EXPECT_EQ(EnumValue(key, 1, fits, &size), kNoMoreItems);
    CloseKey(key);
}

// Walking by index reads a key's names once, yet each step sees the key as it is now.
TEST_F(RegistryTest, EnumerationByIndexFollowsChangesBetweenSteps) {
    HKey key = MakeKey("Software\\Snapwire");
    for (const char* name : {"a", "b", "c"}) ASSERT_EQ(PutText(key, name, "x"), kSuccess);
    CloseKey(MakeKey("Software\\Snapwire\\K1"));
    char name[16];
    std::uint32_t size = sizeof name;
    ASSERT_EQ(EnumValue(key, 0, name, &size), kSuccess);
    ASSERT_EQ(DeleteValue(key, "a"), kSuccess);
    size = sizeof name;
    ASSERT_EQ(EnumValue(key, 0, name, &size), kSuccess);
    EXPECT_EQ(std::string(name), "b");
    ASSERT_EQ(EnumKey(key, 0, name, sizeof name), kSuccess);

    OtherConnection other;
    ASSERT_TRUE(other.Execute(
        "INSERT INTO vals(key, name, folded, type, data) SELECT id, 'd', 'd', 1, x'00' FROM keys "
        "WHERE folded = 'snapwire'; INSERT INTO keys(parent, name, folded) SELECT id, 'K0', 'k0' FROM keys "
        "WHERE folded = 'snapwire'"));
    EXPECT_EQ(ValueNames(key), (std::vector<std::string>{"b", "c", "d"}));
    EXPECT_EQ(SubKeys(key), (std::vector<std::string>{"K0", "K1"}));

    ASSERT_TRUE(
        other.Execute("DELETE FROM keys WHERE parent IN (SELECT id FROM keys WHERE folded = 'snapwire'); "
                      "DELETE FROM vals; DELETE FROM keys WHERE folded = 'snapwire'"));
    size = sizeof name;
    EXPECT_EQ(EnumValue(key, 1, name, &size), kFileNotFound);
    EXPECT_EQ(EnumKey(key, 1, name, sizeof name), kFileNotFound);
    CloseKey(key);
}

// The registry's own limit; counted in characters, so accented names get as many as plain ones.
TEST_F(RegistryTest, KeyNamesOverTwoHundredFiftyFiveCharactersAreRefused) {
    std::string accented;
    for (int i = 0; i < 255; ++i) accented += "é";
    HKey key = 0;
    EXPECT_EQ(CreateKey(kLocalMachine, "Software\\New\\" + std::string(256, 'k'), &key), kInvalidParameter);
    EXPECT_EQ(OpenKey(kLocalMachine, "Software", kKeyQueryValue, &key), kFileNotFound);  // nothing written
    EXPECT_EQ(CreateKey(kLocalMachine, "Software\\" + accented + "é", &key), kInvalidParameter);
    ASSERT_EQ(CreateKey(kLocalMachine, "Software\\" + accented, &key), kSuccess);
    CloseKey(key);
}

TEST_F(RegistryTest, DeleteKeyRefusesAKeyWithSubKeys) {
    CloseKey(MakeKey("Software\\Snapwire\\Account\\Font"));
    EXPECT_EQ(DeleteKey(kLocalMachine, "Software\\Snapwire\\Account"), kAccessDenied);
    EXPECT_EQ(DeleteKey(kLocalMachine, "Software\\Snapwire\\Account\\Font"), kSuccess);
    EXPECT_EQ(DeleteKey(kLocalMachine, "Software\\Snapwire\\Account\\Font"), kFileNotFound);
    EXPECT_EQ(DeleteKey(kLocalMachine, "software\\snapwire\\ACCOUNT"), kSuccess);
    EXPECT_EQ(DeleteKeyTree(kLocalMachine, "Software\\Snapwire\\Account"), kFileNotFound);
    EXPECT_EQ(DeleteKey(kLocalMachine, ""), kAccessDenied);  // a root stays
}

TEST_F(RegistryTest, DeleteKeyTreeTakesTheKeyAndNothingThatSharesItsPrefix) {
    for (const char* path : {"S\\A\\X\\Deep", "S\\AB", "S\\A B", "S\\A\\Y"}) {
        HKey key = MakeKey(path);
        ASSERT_EQ(PutText(key, "v", path), kSuccess);
        CloseKey(key);
    }
    ASSERT_EQ(DeleteKeyTree(kLocalMachine, "S\\A"), kSuccess);
    HKey s = MakeKey("S");
    EXPECT_EQ(SubKeys(s), (std::vector<std::string>{"A B", "AB"}));
    EXPECT_EQ(GetText("S\\AB", "v"), "S\\AB");
    EXPECT_EQ(GetText("S\\A B", "v"), "S\\A B");

    // A new key of the same name starts empty: nothing of the old tree is left over.
    HKey again = MakeKey("S\\A\\X\\Deep");
    EXPECT_EQ(Get(again, "v").rc, kFileNotFound);
    CloseKey(again);

    // Without a sub-key name only the contents go.
    ASSERT_EQ(PutText(s, "keep?", "no"), kSuccess);
    ASSERT_EQ(DeleteKeyTree(s, ""), kSuccess);
    EXPECT_EQ(SubKeys(s), std::vector<std::string>{});
    EXPECT_EQ(ValueNames(s), std::vector<std::string>{});
    EXPECT_EQ(QueryInfoKey(s, nullptr, nullptr, nullptr, nullptr), kSuccess);
    CloseKey(s);
}

TEST_F(RegistryTest, AHandleToADeletedKeyFailsCleanly) {
    HKey key = MakeKey("Software\\Snapwire\\Gone");
    ASSERT_EQ(PutText(key, "v", "1"), kSuccess);
    ASSERT_EQ(DeleteKeyTree(kLocalMachine, "Software\\Snapwire\\Gone"), kSuccess);

    EXPECT_EQ(Get(key, "v").rc, kFileNotFound);
    EXPECT_EQ(PutText(key, "v", "2"), kFileNotFound);
    HKey child = 0;
    EXPECT_EQ(CreateKey(key, "Child", &child), kFileNotFound);
    char name[64];
    EXPECT_EQ(EnumKey(key, 0, name, sizeof name), kFileNotFound);
    EXPECT_EQ(QueryInfoKey(key, nullptr, nullptr, nullptr, nullptr), kFileNotFound);
    EXPECT_EQ(CloseKey(key), kSuccess);
    EXPECT_EQ(CloseKey(key), kInvalidHandle);
    EXPECT_EQ(PutText(key, "v", "3"), kInvalidHandle);

    // Nothing was written below the dead key.
    HKey recreated = MakeKey("Software\\Snapwire\\Gone");
    EXPECT_EQ(SubKeys(recreated), std::vector<std::string>{});
    EXPECT_EQ(ValueNames(recreated), std::vector<std::string>{});
    CloseKey(recreated);
}

TEST_F(RegistryTest, RootsAreSeparateTreesAndOpenWithAnEmptyPath) {
    HKey machine = MakeKey("Software\\Snapwire", kLocalMachine);
    HKey classes = MakeKey("Software\\Snapwire", kClassesRoot);
    ASSERT_EQ(PutText(machine, "v", "machine"), kSuccess);
    EXPECT_EQ(Get(classes, "v").rc, kFileNotFound);
    HKey root = 0;
    ASSERT_EQ(OpenKey(kCurrentUser, "", kKeyQueryValue, &root), kSuccess);
    EXPECT_EQ(SubKeys(root), std::vector<std::string>{});
    ASSERT_EQ(PutText(kUsers, "top", "level"), kSuccess);
    EXPECT_EQ(GetText(kUsers, "top"), "level");
    EXPECT_EQ(Get(kLocalMachine, "top").rc, kFileNotFound);
    HKey bad = 0;
    EXPECT_EQ(OpenKey(kLocalMachine, "\\Software", kKeyQueryValue, &bad), kInvalidParameter);
    EXPECT_EQ(OpenKey(12345, "", kKeyQueryValue, &bad), kInvalidHandle);
    for (HKey key : {machine, classes, root}) CloseKey(key);
}

// Another copy holding the write lock makes any write wait (and fail after the
// busy timeout); reads, opening existing keys and unchanged rewrites go on.
TEST_F(RegistryTest, ReadsAndUnchangedRewritesTakeNoWriteLock) {
    HKey key = MakeKey("Software\\Snapwire");
    ASSERT_EQ(PutText(key, "Interval", "60"), kSuccess);
    OtherConnection other;
    const int before = other.DataVersion();
    ASSERT_TRUE(other.Execute("BEGIN IMMEDIATE"));
    EXPECT_EQ(GetText(key, "interval"), "60");
    HKey opened = 0;
    EXPECT_EQ(CreateKey(kLocalMachine, "SOFTWARE\\Snapwire", &opened), kSuccess);
    EXPECT_EQ(PutText(opened, "INTERVAL", "60"), kSuccess);
    ASSERT_TRUE(other.Execute("ROLLBACK"));
    EXPECT_EQ(other.DataVersion(), before);

    ASSERT_EQ(Put(key, "Interval", kRegExpandSz, TextData("60")), kSuccess);  // same bytes, other type
    EXPECT_NE(other.DataVersion(), before);
    EXPECT_EQ(Get(key, "Interval").type, kRegExpandSz);
    CloseKey(opened);
    CloseKey(key);
}

TEST_F(RegistryTest, HiveFilesArePrivate) {
    const mode_t previous = ::umask(022);
    HKey key = MakeKey("Software\\Snapwire");
    ASSERT_EQ(PutText(key, "Password", "secret"), kSuccess);
    CloseKey(key);
    ::umask(previous);
    for (const char* suffix : {"", "-wal", "-shm"}) {
        struct stat info {};
        ASSERT_EQ(::stat((HiveFile() + suffix).c_str(), &info), 0) << suffix;
        EXPECT_EQ(info.st_mode & 0777, 0600u) << suffix;
    }
}

TEST_F(RegistryTest, ExpandsDefinedVariablesOnly) {
    ::setenv("SNAPWIRE_TEST_DIR", "/tmp/pics", 1);
    ::unsetenv("SNAPWIRE_UNDEFINED");
    EXPECT_EQ(ExpandEnvironmentStrings("%SNAPWIRE_TEST_DIR%\\a.jpg"), "/tmp/pics\\a.jpg");
    EXPECT_EQ(ExpandEnvironmentStrings("%SNAPWIRE_UNDEFINED%"), "%SNAPWIRE_UNDEFINED%");
    EXPECT_EQ(ExpandEnvironmentStrings("100% sure"), "100% sure");
    EXPECT_EQ(ExpandEnvironmentStrings("%%"), "%%");
    EXPECT_EQ(ExpandEnvironmentStrings("%N%YYYY%TT%DD"), "%N%YYYY%TT%DD");
    // An undefined name gives its closing "%" to the next reference.
    EXPECT_EQ(ExpandEnvironmentStrings("%N%SNAPWIRE_TEST_DIR%"), "%N/tmp/pics");
    ::unsetenv("SNAPWIRE_TEST_DIR");
}

TEST_F(RegistryTest, ARolledBackTransactionWritesNothing) {
    HKey kept = MakeKey("Software\\Snapwire");
    HKey inside = 0;
    const bool committed = InTransaction([&] {
        EXPECT_EQ(PutText(kept, "v", "lost"), kSuccess);
        EXPECT_EQ(CreateKey(kLocalMachine, "Software\\Snapwire\\New", &inside), kSuccess);
        EXPECT_TRUE(InTransaction([] { return true; }));  // nested levels count down
        return false;
    });
    EXPECT_FALSE(committed);
    EXPECT_EQ(Get(kept, "v").rc, kFileNotFound);
    EXPECT_EQ(SubKeys(kept), std::vector<std::string>{});
    EXPECT_EQ(PutText(inside, "v", "x"), kInvalidHandle);  // its key never existed

    EXPECT_TRUE(InTransaction([&] { return PutText(kept, "v", "kept") == kSuccess; }));
    CloseHive();
    EXPECT_EQ(GetText("Software\\Snapwire", "v"), "kept");
}

TEST_F(RegistryTest, AnUnusableHiveFileFailsWithoutCrashing) {
    UseHiveFile(homeFile(QStringLiteral("no such folder/settings.db")).toStdString());
    HKey key = 0;
    EXPECT_EQ(CreateKey(kLocalMachine, "Software", &key), kHiveFailure);
    EXPECT_EQ(QueryValue(kLocalMachine, "v", nullptr, nullptr, nullptr), kHiveFailure);
    EXPECT_EQ(BeginTransaction(), kHiveFailure);

    QFile garbage(homeFile(QStringLiteral("garbage.db")));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write(QByteArray(8192, 'x'));
    garbage.close();
    UseHiveFile(garbage.fileName().toStdString());
    EXPECT_EQ(OpenKey(kLocalMachine, "Software", kKeyQueryValue, &key), kHiveFailure);
    EXPECT_EQ(PutText(kLocalMachine, "v", "x"), kHiveFailure);
    char name[16];
    EXPECT_EQ(EnumKey(kLocalMachine, 0, name, sizeof name), kHiveFailure);
}

}  // namespace
}  // namespace snapwire::reg
