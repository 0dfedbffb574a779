#include "platform/registry/hive_file_check.h"

#include "platform/registry/hive.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDateTime>
#include <QDir>
#include <QTemporaryDir>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iterator>
#include <thread>
#include <utility>
#include <vector>

namespace snapwire::reg {
namespace {

using Clock = std::chrono::steady_clock;

// The file and what SQLite keeps beside it: a journal or log it replays, and the log's index.
constexpr const char* kFileAndCompanions[] = {"", "-wal", "-shm", "-journal"};

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
struct FileStamp {
    off_t size = -1;  // -1: not there
    std::int64_t modified = 0;
    ino_t inode = 0;
    bool Exists() const { return size >= 0; }
    bool operator==(const FileStamp&) const = default;
};

FileStamp StampOf(const std::string& path) {
    FileStamp stamp;
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0) {
        stamp.size = info.st_size;
        stamp.modified = std::int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec;
        stamp.inode = info.st_ino;
    }
    return stamp;
}

// The file and everything beside it that SQLite reads with it.
struct FileState {
    FileStamp file;
    FileStamp log;
    FileStamp journal;
    FileStamp index;
    bool operator==(const FileState&) const = default;
};

FileState StateOf(const std::string& path) {
    return {StampOf(path), StampOf(path + "-wal"), StampOf(path + "-journal"), StampOf(path + "-shm")};
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

// A look that could not read the file.
Look Unread(int rc) {
    Look look;
    look.rc = rc;
    return look;
}

// How a look opens a file.
struct Reading {
    const char* parameters;
    int flags;
};

// Reads the file as it stands, without the locks: only while no program has it open.
constexpr Reading kAsItStands{"mode=ro&immutable=1", SQLITE_OPEN_READONLY};
// Reads a log read-only as well; an index that no program holds is rebuilt in memory.
constexpr Reading kWithItsLog{"mode=ro&readonly_shm=1", SQLITE_OPEN_READONLY};
// Only a private copy may be written: SQLite rebuilds its index and rolls its hot journal back.
constexpr Reading kPrivateCopy{"mode=rw", SQLITE_OPEN_READWRITE};

Look LookInside(const std::string& path, Reading reading, std::chrono::milliseconds busyWait) {
    Look look;
    sqlite3* db = nullptr;
    look.rc = sqlite3_open_v2(FileUri(path, reading.parameters).c_str(), &db,
                              reading.flags | SQLITE_OPEN_URI | SQLITE_OPEN_NOMUTEX, nullptr);
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

// A copy of the file with its log and journal, judged as SQLite reads them together. The
// hive holds passwords: the copy lives in a folder of this user's alone and goes with it.
Look LookAtACopy(const std::string& path, std::chrono::milliseconds busyWait) {
    const QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/snapwire-hive-XXXXXX"));
    if (!folder.isValid())
        return Unread(SQLITE_CANTOPEN);
    const std::string copy = folder.filePath(QStringLiteral("settings.db")).toStdString();
    for (const std::string suffix : {"", "-wal", "-journal"}) {
        std::error_code error;
        if ((suffix.empty() || Exists(path + suffix)) &&
            !std::filesystem::copy_file(path + suffix, copy + suffix, error))
            return Unread(SQLITE_IOERR);
    }
    return LookInside(copy, kPrivateCopy, busyWait);
}

// The look under the locks cannot read a log without its index, nor roll a hot journal back.
bool NeedsACopy(const std::string& path, const Look& look) {
    return look.rc == SQLITE_READONLY_ROLLBACK ||
           ((look.rc & 0xFF) == SQLITE_CANTOPEN && !Exists(path + "-shm"));
}

HiveFileCheck Judge(const Look& look) {
    if (look.rc != SQLITE_OK)
        return detail::CheckOfResult(look.rc);
    if (look.verdict != "ok")
        return Damaged("it fails the integrity check");
    return detail::CheckOfLayout(look.layout);
}

bool Taken(const std::string& name) {
    return std::any_of(std::begin(kFileAndCompanions), std::end(kFileAndCompanions),
                       [&](const char* suffix) { return Exists(name + suffix); });
}

std::string FreeAsideName(const std::string& path) {
    const std::string stamp =
        QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd-HHmmss")).toStdString();
    const std::string base = path + ".damaged-" + stamp;
    std::string name = base;
    for (int n = 2; Taken(name); ++n) name = base + "-" + std::to_string(n);
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
        // Under SQLite's locks a program using the log is seen; in an empty file the
        // look would delete the log.
        if (before.log.Exists() && before.file.size > 0) {
            const Look look = LookInside(path, kWithItsLog, busyWait);
            if (!NeedsACopy(path, look))
                return Judge(look);
        }
        // Read without locks: trusted only when nothing changed meanwhile.
        const Look look = before.log.Exists() || before.journal.Exists()
                              ? LookAtACopy(path, busyWait)
                              : LookInside(path, kAsItStands, busyWait);
        if (StateOf(path) == before)
            return Judge(look);
        if (Clock::now() >= deadline)
            return InUse();
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

KeptAside KeepDamagedHiveAside(const std::string& path) {
    const std::string aside = FreeAsideName(path);
    // The file with its journals goes, or none of them: a log left behind would be
    // replayed into the fresh hive, a journal deleted when the fresh hive is made.
    std::vector<std::pair<std::string, std::string>> moved;
    for (const std::string suffix : kFileAndCompanions) {
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
