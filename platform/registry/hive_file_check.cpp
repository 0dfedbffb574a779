#include "platform/registry/hive_file_check.h"

#include "platform/registry/hive.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDateTime>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <thread>
#include <utility>
#include <vector>

namespace snapwire::reg {
namespace {

using Clock = std::chrono::steady_clock;

bool Exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

HiveFileCheck Damaged(std::string reason) {
    return {HiveFileState::Damaged, std::move(reason)};
}

HiveFileCheck Unavailable(std::string reason) {
    return {HiveFileState::Unavailable, std::move(reason)};
}

HiveFileCheck InUse() {
    return Unavailable("it is in use by another program");
}

// What a reader that takes no locks would be misled by, were it to change while it reads.
struct FileState {
    off_t size = -1;
    std::int64_t modified = 0;
    ino_t inode = 0;
    bool log = false;
    bool index = false;
    bool operator==(const FileState&) const = default;
};

FileState StateOf(const std::string& path) {
    FileState state;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        state.size = info.st_size;
        state.modified = std::int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec;
        state.inode = info.st_ino;
    }
    state.log = Exists(path + "-wal");
    state.index = Exists(path + "-shm");
    return state;
}

// SQLite's URI of the file with `parameters`; "?" and "#" would end the name, "%" starts an escape.
std::string FileUri(const std::string& path, const char* parameters) {
    std::string uri = "file://";
    for (const char c : std::filesystem::absolute(path).string()) {
        if (c == '%' || c == '?' || c == '#') {
            char escaped[4];
            std::snprintf(escaped, sizeof escaped, "%%%02X", static_cast<unsigned char>(c));
            uri += escaped;
        } else {
            uri += c;
        }
    }
    return uri + "?" + parameters;
}

// SQLite's answers about the file: the first line of its quick check, and the layout.
struct Look {
    int rc = SQLITE_OK;
    std::string verdict;
    detail::Layout layout = detail::Layout::Foreign;
};

Look LookInside(const std::string& path, const char* parameters, std::chrono::milliseconds busyWait) {
    Look look;
    sqlite3* db = nullptr;
    look.rc = sqlite3_open_v2(FileUri(path, parameters).c_str(), &db,
                              SQLITE_OPEN_READONLY | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
    sqlite3_stmt* stmt = nullptr;
    if (look.rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, static_cast<int>(busyWait.count()));
        // One read transaction: once the check has its lock, the layout cannot be busy.
        look.rc = sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    }
    if (look.rc == SQLITE_OK)
        look.rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &stmt, nullptr);
    if (look.rc == SQLITE_OK && (look.rc = sqlite3_step(stmt)) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        look.verdict = text ? text : "";
        look.rc = look.verdict == "ok" ? detail::ReadLayout(db, &look.layout) : SQLITE_OK;
    }
    sqlite3_finalize(stmt);
    sqlite3_close_v2(db);
    return look;
}

// Reads the file as it stands, without the locks: only while no program has it open.
constexpr const char* kAsItStands = "mode=ro&immutable=1";
// Reads a log read-only as well; an index that no program holds is rebuilt in memory.
constexpr const char* kWithItsLog = "mode=ro&readonly_shm=1";

HiveFileCheck Judge(const Look& look) {
    if (look.rc != SQLITE_OK)
        return detail::CheckOfResult(look.rc);
    if (look.verdict != "ok")
        return Damaged("it fails the integrity check");
    return detail::CheckOfLayout(look.layout);
}

std::string FreeAsideName(const std::string& path) {
    const std::string stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
    const std::string base = path + ".damaged-" + stamp;
    std::string name = base;
    for (int n = 2; Exists(name) || Exists(name + "-wal") || Exists(name + "-shm"); ++n)
        name = base + "-" + std::to_string(n);
    return name;
}

}  // namespace

namespace detail {

HiveFileCheck CheckOfResult(int rc) {
    switch (rc & 0xFF) {
        case SQLITE_OK:
            return {};
        case SQLITE_NOTADB:
            return Damaged("it is not a settings database");
        case SQLITE_CORRUPT:
            return Damaged("it fails the integrity check");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return InUse();
        default:
            return Unavailable(sqlite3_errstr(rc));
    }
}

HiveFileCheck CheckOfLayout(Layout layout) {
    switch (layout) {
        case Layout::Empty:
        case Layout::Current:
            return {};
        case Layout::Newer:
            return Unavailable("it was made by a newer version of Snapwire");
        case Layout::Foreign:
            break;
    }
    return Damaged("it is not a settings database");
}

}  // namespace detail

HiveFileCheck CheckHiveFile(const std::string& path, std::chrono::milliseconds busyWait) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? HiveFileCheck{} : Unavailable(std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return Unavailable("it is not a file");
    // Asked before SQLite, whose own answer would hide the reason.
    if (::access(path.c_str(), R_OK | W_OK) != 0)
        return Unavailable(std::strerror(errno));
    // Whatever the file holds is kept as it is: a writing connection would fold a
    // crashed program's log into it on closing, and delete the log and its index.
    const Clock::time_point deadline = Clock::now() + busyWait;
    for (;;) {
        const FileState before = StateOf(path);
        Look look;
        if (before.log) {
            look = LookInside(path, kWithItsLog, busyWait);
            // A log without its index cannot be read without making one.
            if ((look.rc & 0xFF) != SQLITE_CANTOPEN || Exists(path + "-shm"))
                return Judge(look);
        }
        // No log, or none that can be read: no program has the file open.
        look = LookInside(path, kAsItStands, busyWait);
        if (StateOf(path) == before)
            return Judge(look);
        if (Clock::now() >= deadline)
            return InUse();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

KeptAside KeepDamagedHiveAside(const std::string& path) {
    const std::string aside = FreeAsideName(path);
    // The file with its journals goes, or none of them: a journal left behind
    // would be replayed into the fresh hive.
    std::vector<std::pair<std::string, std::string>> moved;
    for (const std::string suffix : {"", "-wal", "-shm"}) {
        const std::string from = path + suffix;
        const std::string to = aside + suffix;
        if (!suffix.empty() && !Exists(from))
            continue;
        if (std::rename(from.c_str(), to.c_str()) != 0) {
            const std::string error = std::strerror(errno);
            for (auto undo = moved.rbegin(); undo != moved.rend(); ++undo)
                std::rename(undo->second.c_str(), undo->first.c_str());
            return {"", error};
        }
        moved.emplace_back(from, to);
    }
    return {aside, ""};
}

std::string HiveFileCheckText(const std::string& path, const HiveFileCheck& check) {
    const std::string file = "The settings file \"" + path + "\" ";
    switch (check.state) {
        case HiveFileState::Damaged:
            return file + "is damaged: " + check.reason + ".";
        case HiveFileState::Unavailable:
            return file + "cannot be opened: " + check.reason + ".";
        case HiveFileState::Uncreatable:
            return file + "cannot be created: " + check.reason + ".";
        case HiveFileState::Usable:
            break;
    }
    return "";
}

}  // namespace snapwire::reg
