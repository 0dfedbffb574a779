#include "platform/registry/hive_file_check.h"

#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QDateTime>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <utility>
#include <vector>

namespace snapwire::reg {
namespace {

bool Exists(const std::string& path) {
    return ::access(path.c_str(), F_OK) == 0;
}

HiveFileCheck Damaged(std::string reason) {
    return {HiveFileState::Damaged, std::move(reason)};
}

HiveFileCheck Unavailable(std::string reason) {
    return {HiveFileState::Unavailable, std::move(reason)};
}

// SQLite's result of reading the whole file's structure; `verdict` holds the
// check's first line when it ran.
int QuickCheck(sqlite3* db, std::string* verdict) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, "PRAGMA quick_check(1)", -1, &stmt, nullptr);
    if (rc == SQLITE_OK) {
        rc = sqlite3_step(stmt);
        if (rc == SQLITE_ROW) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            *verdict = text ? text : "";
            rc = SQLITE_OK;
        }
    }
    sqlite3_finalize(stmt);
    return rc;
}

HiveFileCheck Judge(int rc, const std::string& verdict) {
    switch (rc & 0xFF) {
        case SQLITE_OK:
            return verdict == "ok" ? HiveFileCheck{} : Damaged("it fails the integrity check");
        case SQLITE_NOTADB:
            return Damaged("it is not a settings database");
        case SQLITE_CORRUPT:
            return Damaged("it fails the integrity check");
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return Unavailable("it is in use by another program");
        default:
            return Unavailable(sqlite3_errstr(rc));
    }
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

HiveFileCheck CheckHiveFile(const std::string& path, std::chrono::milliseconds busyWait) {
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0)
        return errno == ENOENT ? HiveFileCheck{} : Unavailable(std::strerror(errno));
    if (!S_ISREG(info.st_mode))
        return Unavailable("it is not a file");
    // Asked before SQLite, whose own answer would hide the reason.
    if (::access(path.c_str(), R_OK | W_OK) != 0)
        return Unavailable(std::strerror(errno));
    sqlite3* db = nullptr;
    // No CREATE: a file that vanished since is the hive's to create, not this check's.
    int rc = sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    std::string verdict;
    if (rc == SQLITE_OK) {
        sqlite3_extended_result_codes(db, 1);
        sqlite3_busy_timeout(db, static_cast<int>(busyWait.count()));
        rc = QuickCheck(db, &verdict);
    }
    sqlite3_close_v2(db);
    return Judge(rc, verdict);
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
    switch (check.state) {
        case HiveFileState::Damaged:
            return "The settings file \"" + path + "\" is damaged: " + check.reason + ".";
        case HiveFileState::Unavailable:
            return "The settings file \"" + path + "\" cannot be opened: " + check.reason + ".";
        case HiveFileState::Usable:
            break;
    }
    return "";
}

}  // namespace snapwire::reg
