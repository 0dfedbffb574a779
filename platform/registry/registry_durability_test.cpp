#include "platform/registry/registry.h"

#include "platform/registry/hive_file_check.h"
#include "platform/registry/registry_test_support.h"
#include "testsupport/program_folder_test.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QFile>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

extern char** environ;

namespace snapwire::reg {
namespace {

using namespace test;

// Runs the writer helper with its standard output on a pipe.
class KilledWriter {
  public:
    KilledWriter(const std::string& hive, long first) {
        int fds[2];
        if (::pipe2(fds, O_CLOEXEC) != 0)
            return;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
        const std::string firstText = std::to_string(first);
        char* argv[] = {const_cast<char*>(REGISTRY_KILL_WRITER), const_cast<char*>(hive.c_str()),
                        const_cast<char*>(firstText.c_str()), nullptr};
        if (posix_spawn(&pid_, REGISTRY_KILL_WRITER, &actions, nullptr, argv, environ) != 0)
            pid_ = -1;
        posix_spawn_file_actions_destroy(&actions);
        ::close(fds[1]);
        reports_ = ::fdopen(fds[0], "r");
    }
    ~KilledWriter() {
        Kill();
        if (reports_)
            std::fclose(reports_);
    }
    KilledWriter(const KilledWriter&) = delete;
    KilledWriter& operator=(const KilledWriter&) = delete;

    bool Started() const { return pid_ > 0 && reports_; }
    // The next number whose write returned; -1 when the writer has ended.
    long NextReport() {
        long n = -1;
        return std::fscanf(reports_, "%ld", &n) == 1 ? n : -1;
    }
    void Kill() {
        if (pid_ <= 0)
            return;
        ::kill(pid_, SIGKILL);
        int status = 0;
        ::waitpid(pid_, &status, 0);
        pid_ = -1;
    }

  private:
    pid_t pid_ = -1;
    FILE* reports_ = nullptr;
};

std::string IntegrityCheck(const std::string& file) {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW)
        result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    return result;
}

// The bytes of a hive's file, log, index and journal ("-" for one that is not there).
std::vector<QByteArray> HiveFileBytes(const std::string& path) {
    std::vector<QByteArray> files;
    for (const char* suffix : {"", "-wal", "-shm", "-journal"}) {
        QFile file(QString::fromStdString(path + suffix));
        files.push_back(file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("-"));
    }
    return files;
}

// Copies the hive's file and the companions named, as they stand, to "<hive>.copy":
// what a program folder copied meanwhile holds.
std::string CopyOfHive(std::initializer_list<const char*> suffixes) {
    const std::string copy = HiveFile() + ".copy";
    for (const char* suffix : suffixes)
        std::filesystem::copy_file(HiveFile() + suffix, copy + suffix,
                                   std::filesystem::copy_options::overwrite_existing);
    return copy;
}

class RegistryDurabilityTest : public snapwire::testing::ProgramFolderTest {};

TEST_F(RegistryDurabilityTest, AKilledWriterLosesNoReportedWrite) {
    const std::string hive = HiveFile();
    std::mt19937 random(std::random_device{}());
    std::set<long> reported;
    long next = 0;
    for (int round = 0; round < 5; ++round) {
        {
            KilledWriter writer(hive, next);
            ASSERT_TRUE(writer.Started());
            const long stopAfter = std::uniform_int_distribution<long>(1, 150)(random);
            for (long seen = 0; seen < stopAfter;) {
                const long n = writer.NextReport();
                ASSERT_GE(n, 0) << "the writer ended on its own";
                reported.insert(n);
                next = n + 1;
                ++seen;
            }
            ::usleep(std::uniform_int_distribution<unsigned>(0, 300)(random));
            writer.Kill();
            // Reports already in the pipe belong to writes that returned.
            for (long n = writer.NextReport(); n >= 0; n = writer.NextReport()) {
                reported.insert(n);
                next = n + 1;
            }
        }
        ++next;  // a write in flight when killed may or may not have landed
        ASSERT_EQ(IntegrityCheck(hive), "ok") << "round " << round;
        CloseHive();
        for (const long n : reported)
            ASSERT_EQ(GetText("Software\\Snapwire\\Kill\\K" + std::to_string(n % 7), "v" + std::to_string(n)),
                      std::to_string(n))
                << "round " << round;
    }
    EXPECT_GE(reported.size(), 5u);
}

// The check writes nothing: a killed writer's log is not folded into the damaged
// file, the tool changes nothing, and all three files are kept aside as they were.
TEST_F(RegistryDurabilityTest, ADamagedHiveBesideAKilledWritersLogIsKeptAsItWas) {
    const std::string hive = HiveFile();
    ASSERT_TRUE(InTransaction([] {
        const HKey key = MakeKey("Software\\Snapwire\\Filler");
        for (int i = 0; i < 3000; ++i)
            if (PutText(key, "v" + std::to_string(i), std::string(40, 'x')) != kSuccess)
                return false;
        return CloseKey(key) == kSuccess;
    }));
    CloseHive();
    {
        KilledWriter writer(hive, 0);
        ASSERT_TRUE(writer.Started());
        ASSERT_GE(writer.NextReport(), 0);
    }
    QFile file(QString::fromStdString(hive));
    ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.seek(file.size() / 3));
    file.write(QByteArray(static_cast<int>(file.size() / 6), 'D'));
    file.close();
    const std::vector<QByteArray> damaged = HiveFileBytes(hive);
    ASSERT_NE(damaged[1], "-");
    ASSERT_NE(damaged[2], "-");

    EXPECT_EQ(CheckHiveFile(hive).state, HiveFileState::Damaged);
    const auto [code, out, err] = RunTool({QStringLiteral("export")});
    EXPECT_NE(code, 0);
    EXPECT_TRUE(err.contains("is damaged: it fails the integrity check. Nothing was changed."))
        << err.toStdString();
    EXPECT_EQ(HiveFileBytes(hive), damaged);
    EXPECT_EQ(HiveFileBytes(KeepDamagedHiveAside(hive).file), damaged);
}

// A log that came without its index holds the newest pages: the verdict is the
// file's with its log, whatever the file alone shows.
TEST_F(RegistryDurabilityTest, ALogWithoutItsIndexIsReadWithItsFile) {
    ASSERT_EQ(PutText(MakeKey("Software\\Snapwire"), "v", "1"), kSuccess);
    CloseHive();
    OtherConnection other;
    ASSERT_TRUE(other.Execute("PRAGMA wal_autocheckpoint = 0"));
    // Each change stays under the next; VACUUM puts every page into the log, so the
    // file alone is cut after its first page.
    for (const auto& [change, reason] :
         {std::pair{"UPDATE vals SET data = x'3200'", ""},
          std::pair{"ALTER TABLE vals RENAME TO photos", "it is not a settings database"},
          std::pair{"PRAGMA user_version = 2", "it was made by a newer version of Snapwire"}}) {
        ASSERT_TRUE(other.Execute(change) && other.Execute("VACUUM"));
        const std::string copy = CopyOfHive({"", "-wal"});
        std::filesystem::resize_file(copy, 4096);
        const std::vector<QByteArray> copied = HiveFileBytes(copy);
        EXPECT_EQ(CheckHiveFile(copy).reason, reason) << change;
        EXPECT_EQ(HiveFileBytes(copy), copied) << change;
    }
}

// The file after a commit with the journal from before it, as a program killed before
// it deleted the journal leaves them: the file alone passes for a hive, SQLite rolls it
// back to another program's database, and the journal goes aside with it.
TEST_F(RegistryDurabilityTest, AHotJournalIsReadAndKeptAsideWithItsFile) {
    ASSERT_EQ(PutText(MakeKey("Software\\Snapwire"), "v", "1"), kSuccess);
    CloseHive();
    OtherConnection other;
    ASSERT_TRUE(other.Execute(
        "ALTER TABLE vals RENAME TO photos; PRAGMA journal_mode = DELETE; PRAGMA synchronous = OFF; "
        "BEGIN; ALTER TABLE photos RENAME TO vals"));
    CopyOfHive({"-journal"});
    ASSERT_TRUE(other.Execute("COMMIT"));
    const std::string copy = CopyOfHive({""});
    const std::vector<QByteArray> interrupted = HiveFileBytes(copy);
    EXPECT_EQ(CheckHiveFile(copy).state, HiveFileState::Damaged);
    EXPECT_EQ(HiveFileBytes(KeepDamagedHiveAside(copy).file), interrupted);
}

// A newer layout is left as it is, a hive from before the layout mark opens, and
// another program's database is damaged.
TEST_F(RegistryDurabilityTest, TheHiveKnowsItsLayoutBeforeItWrites) {
    const std::string hive = HiveFile();
    ASSERT_EQ(PutText(MakeKey("Software\\Snapwire"), "v", "1"), kSuccess);
    CloseHive();
    ASSERT_TRUE(OtherConnection().Execute("PRAGMA user_version = 2"));
    const std::vector<QByteArray> newer = HiveFileBytes(hive);
    EXPECT_EQ(CheckHiveFile(hive).reason, "it was made by a newer version of Snapwire");
    EXPECT_EQ(OpenHiveFile().state, HiveFileState::Unavailable);
    EXPECT_EQ(HiveFileBytes(hive), newer);
    ASSERT_TRUE(OtherConnection().Execute("PRAGMA user_version = 1; PRAGMA application_id = 0"));
    EXPECT_EQ(GetText("Software\\Snapwire", "v"), "1");

    CloseHive();
    ASSERT_TRUE(
        OtherConnection().Execute("DROP TABLE vals; DROP TABLE keys; CREATE TABLE photos(taken, path)"));
    EXPECT_EQ(HiveFileCheckText(hive, CheckHiveFile(hive)),
              "The settings file \"" + hive + "\" is damaged: it is not a settings database.");
}

// A good hive that another program keeps locked must never be taken for a damaged one
// (and put aside).
TEST_F(RegistryDurabilityTest, AHiveLockedByAnotherProgramIsInUseNotDamaged) {
    const std::string hive = HiveFile();
    ASSERT_EQ(PutText(MakeKey("Software\\Snapwire"), "v", "1"), kSuccess);
    CloseHive();
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open(hive.c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "PRAGMA locking_mode=EXCLUSIVE; BEGIN EXCLUSIVE; DELETE FROM vals;",
                           nullptr, nullptr, nullptr),
              SQLITE_OK);
    const HiveFileCheck locked = CheckHiveFile(hive, std::chrono::milliseconds(50));
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    EXPECT_EQ(locked.state, HiveFileState::Unavailable) << locked.reason;
    EXPECT_EQ(CheckHiveFile(hive).state, HiveFileState::Usable);
}

}  // namespace
}  // namespace snapwire::reg
