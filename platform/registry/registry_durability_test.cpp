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

#include <random>
#include <set>
#include <string>

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
