#include "platform/registry/hive.h"

#include "platform/paths.h"
#include "platform/registry/hive_file_check.h"
#include "platform/registry/registry.h"

#include <fcntl.h>
#include <sqlite3.h>
#include <sys/stat.h>
#include <unistd.h>
#include <QString>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

namespace snapwire::reg::detail {
namespace {

constexpr int kSchemaVersion = 1;
// The header's application id marks a database as a hive, so that a later layout
// is still known as ours ("Snwr"). Hives from before the mark are known by their tables.
constexpr int kApplicationId = 0x536E7772;
constexpr int kBusyTimeoutMs = static_cast<int>(kHiveBusyWait.count());
constexpr mode_t kPrivateMode = 0600;
// Remembered key paths; a walk over a huge hive must not keep every key it opened.
constexpr size_t kMaxRememberedPaths = 4096;

// Values keep their row id when rewritten, so ordering by id is creation order.
// Sub-keys sort by their folded name, which the unique index already holds.
constexpr const char* kSchema = R"sql(
CREATE TABLE IF NOT EXISTS keys(
    id INTEGER PRIMARY KEY AUTOINCREMENT,
    parent INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    UNIQUE(parent, folded));
CREATE TABLE IF NOT EXISTS vals(
    id INTEGER PRIMARY KEY,
    key INTEGER NOT NULL,
    name TEXT NOT NULL,
    folded TEXT NOT NULL,
    type INTEGER NOT NULL,
    data BLOB NOT NULL,
    UNIQUE(key, folded));
INSERT OR IGNORE INTO keys(id, parent, name, folded) VALUES
    (1, 0, 'HKEY_CLASSES_ROOT', 'hkey_classes_root'),
    (2, 0, 'HKEY_CURRENT_USER', 'hkey_current_user'),
    (3, 0, 'HKEY_LOCAL_MACHINE', 'hkey_local_machine'),
    (4, 0, 'HKEY_USERS', 'hkey_users');
PRAGMA user_version = 1;
)sql";

// Whether the tables are the hive's, whatever marks the header carries.
constexpr const char* kLayoutQuery = R"sql(
SELECT application_id, user_version, (SELECT count(*) FROM sqlite_schema),
    (SELECT group_concat(name) FROM pragma_table_info('keys')) IS 'id,parent,name,folded' AND
    (SELECT group_concat(name) FROM pragma_table_info('vals')) IS 'id,key,name,folded,type,data'
FROM pragma_application_id, pragma_user_version
)sql";

bool IsAscii(std::string_view text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The hive holds FTP passwords: it is created private. An existing file is not
// touched before it is known to be a hive.
bool CreatePrivateFile(const std::string& path) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, kPrivateMode);
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

// Tightens a hive that others may read. SQLite gives its -wal and -shm files the
// mode of the database file.
void MakePrivate(const std::string& path) {
    struct stat info {};
    if (::stat(path.c_str(), &info) == 0 && (info.st_mode & 0777) != kPrivateMode)
        ::chmod(path.c_str(), kPrivateMode);
}

std::string QueryText(sqlite3* db, const char* sql) {
    sqlite3_stmt* stmt = nullptr;
    std::string result;
    if (sqlite3_prepare_v2(db, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW) {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        result = text ? text : "";
    }
    sqlite3_finalize(stmt);
    return result;
}

long Failure(const Statement& statement) {
    return statement.Failed() ? kHiveFailure : kFileNotFound;
}

}  // namespace

KeyId RootKeyId(std::int64_t root) {
    switch (root) {
        case kClassesRoot:
            return 1;
        case kCurrentUser:
            return 2;
        case kLocalMachine:
            return 3;
        case kUsers:
            return 4;
        default:
            return kNoKey;
    }
}

std::string FoldName(std::string_view name) {
    if (IsAscii(name)) {
        std::string folded(name);
        for (char& c : folded)
            if (c >= 'A' && c <= 'Z')
                c = static_cast<char>(c - 'A' + 'a');
        return folded;
    }
    const QString text = QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size()));
    return text.toCaseFolded().toStdString();
}

// ---- Statement

Statement::Statement(Hive& hive, const char* sql) : stmt_(hive.Prepare(sql)) {}

Statement::~Statement() {
    if (stmt_) {
        sqlite3_reset(stmt_);
        sqlite3_clear_bindings(stmt_);
    }
}

Statement& Statement::Bind(int index, std::int64_t value) {
    if (stmt_ && sqlite3_bind_int64(stmt_, index, value) != SQLITE_OK)
        failed_ = true;
    return *this;
}

Statement& Statement::Bind(int index, std::string_view text) {
    static const char kEmpty[] = "";
    const char* chars = text.empty() ? kEmpty : text.data();
    if (stmt_ &&
        sqlite3_bind_text(stmt_, index, chars, static_cast<int>(text.size()), SQLITE_TRANSIENT) != SQLITE_OK)
        failed_ = true;
    return *this;
}

Statement& Statement::BindBlob(int index, const std::uint8_t* data, std::uint32_t size) {
    // A null pointer would bind NULL, not an empty blob.
    static const std::uint8_t kEmpty[1] = {0};
    const void* bytes = size == 0 ? kEmpty : data;
    if (stmt_ &&
        sqlite3_bind_blob(stmt_, index, bytes, static_cast<int>(size), SQLITE_TRANSIENT) != SQLITE_OK)
        failed_ = true;
    return *this;
}

bool Statement::Step() {
    if (!stmt_ || failed_) {
        failed_ = true;
        return false;
    }
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW)
        return true;
    if (rc != SQLITE_DONE)
        failed_ = true;
    return false;
}

std::int64_t Statement::Int(int column) const {
    return sqlite3_column_int64(stmt_, column);
}

std::string Statement::Text(int column) const {
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return text ? std::string(text, static_cast<size_t>(sqlite3_column_bytes(stmt_, column))) : std::string();
}

std::vector<std::uint8_t> Statement::Blob(int column) const {
    const auto* bytes = static_cast<const std::uint8_t*>(sqlite3_column_blob(stmt_, column));
    const int size = sqlite3_column_bytes(stmt_, column);
    return bytes ? std::vector<std::uint8_t>(bytes, bytes + size) : std::vector<std::uint8_t>();
}

// ---- Hive: connection

Hive& Hive::Instance() {
    static Hive hive;
    return hive;
}

Hive::~Hive() {
    Close();
}

void Hive::UseFile(std::string path) {
    if (path != file_)
        Close();
    file_ = std::move(path);
}

std::string Hive::File() const {
    if (!file_.empty())
        return file_;
    return platform::ProgramFile(QStringLiteral("settings.db")).toStdString();
}

void Hive::Close() {
    Changed();
    paths_.clear();
    for (auto& [sql, stmt] : statements_) sqlite3_finalize(stmt);
    statements_.clear();
    if (db_)
        sqlite3_close_v2(db_);  // rolls back an unfinished transaction
    db_ = nullptr;
    depth_ = 0;
    doomed_ = false;
}

bool Hive::Ready() {
    return db_ || Open();
}

bool Hive::Open() {
    const std::string path = File();
    // Looked at without writing first: whatever stands in the way leaves the file as it was.
    if (HiveFileCheck seen = CheckHiveFile(path); seen.state != HiveFileState::Usable)
        return Refuse(std::move(seen));
    const bool existed = ::access(path.c_str(), F_OK) == 0;
    if (!CreatePrivateFile(path))
        return Refuse(
            {existed ? HiveFileState::Unavailable : HiveFileState::Uncreatable, std::strerror(errno)});
    int rc = sqlite3_open_v2(path.c_str(), &db_, SQLITE_OPEN_READWRITE | SQLITE_OPEN_NOMUTEX, nullptr);
    Layout layout = Layout::Foreign;
    if (rc == SQLITE_OK) {
        sqlite3_busy_timeout(db_, kBusyTimeoutMs);
        rc = ReadLayout(db_, &layout);
    }
    if (rc != SQLITE_OK)
        return Refuse(CheckOfResult(rc));
    if (HiveFileCheck known = CheckOfLayout(layout); known.state != HiveFileState::Usable)
        return Refuse(std::move(known));
    MakePrivate(path);
    // WAL: readers never wait for a writer and a killed writer leaves the last
    // committed state; FULL syncs the log at every commit, so a write that
    // returned survives a power cut as well as a crash.
    const bool ok = QueryText(db_, "PRAGMA journal_mode=WAL") == "wal" &&
                    Execute("PRAGMA synchronous=FULL") && PrepareSchema(layout);
    if (!ok) {
        // SQLite may decline the log without an error of its own.
        rc = sqlite3_errcode(db_);
        return Refuse(rc == SQLITE_OK ? HiveFileCheck{HiveFileState::Unavailable, "its log cannot be kept"}
                                      : CheckOfResult(rc));
    }
    openFailure_ = {};
    return true;
}

bool Hive::Refuse(HiveFileCheck why) {
    Close();
    openFailure_ = std::move(why);
    return false;
}

bool Hive::PrepareSchema(Layout layout) {
    if (layout != Layout::Empty)
        return true;
    if (!Execute("BEGIN IMMEDIATE"))
        return false;
    const std::string mark = "PRAGMA application_id = " + std::to_string(kApplicationId);
    if (Execute(kSchema) && Execute(mark.c_str()) && Execute("COMMIT"))
        return true;
    Execute("ROLLBACK");
    return false;
}

int ReadLayout(sqlite3* db, Layout* layout) {
    sqlite3_stmt* stmt = nullptr;
    int rc = sqlite3_prepare_v2(db, kLayoutQuery, -1, &stmt, nullptr);
    if (rc == SQLITE_OK)
        rc = sqlite3_step(stmt);
    if (rc == SQLITE_ROW) {
        rc = SQLITE_OK;
        const int id = sqlite3_column_int(stmt, 0);
        const int version = sqlite3_column_int(stmt, 1);
        const bool empty = sqlite3_column_int(stmt, 2) == 0;
        const bool ourTables = sqlite3_column_int(stmt, 3) != 0;
        const bool ours = id == kApplicationId || (id == 0 && ourTables);
        if (id == 0 && version == 0 && empty)
            *layout = Layout::Empty;
        else if (ours && version > kSchemaVersion)
            *layout = Layout::Newer;
        else if (ours && ourTables && version == kSchemaVersion)
            *layout = Layout::Current;
        else
            *layout = Layout::Foreign;
    }
    sqlite3_finalize(stmt);
    return rc;
}

sqlite3_stmt* Hive::Prepare(const char* sql) {
    // Keyed by the address of the SQL text: callers pass string literals.
    if (!Ready())
        return nullptr;
    const auto found = statements_.find(sql);
    if (found != statements_.end())
        return found->second;
    sqlite3_stmt* stmt = nullptr;
    if (sqlite3_prepare_v3(db_, sql, -1, SQLITE_PREPARE_PERSISTENT, &stmt, nullptr) != SQLITE_OK) {
        sqlite3_finalize(stmt);
        return nullptr;
    }
    statements_.emplace(sql, stmt);
    return stmt;
}

bool Hive::Execute(const char* sql) {
    return db_ && sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

// ---- Hive: transactions

long Hive::Begin() {
    if (!Ready())
        return kHiveFailure;
    if (depth_ == 0) {
        const long rc = StartWrite("BEGIN IMMEDIATE");
        if (rc != kSuccess)
            return rc;
        doomed_ = false;
    }
    ++depth_;
    return kSuccess;
}

bool Hive::Commit() {
    if (depth_ == 0)
        return false;
    if (--depth_ > 0)
        return !doomed_;
    if (doomed_ || !Execute("COMMIT")) {
        Execute("ROLLBACK");
        Changed();
        doomed_ = false;
        return false;
    }
    return true;
}

void Hive::Rollback() {
    if (depth_ == 0)
        return;
    if (--depth_ > 0) {
        doomed_ = true;  // the outermost level will roll everything back
        return;
    }
    Execute("ROLLBACK");
    Changed();
    doomed_ = false;
}

long Hive::StartWrite(const char* sql) {
    if (Execute(sql))
        return kSuccess;
    return db_ && sqlite3_errcode(db_) == SQLITE_BUSY ? kHiveInUse : kHiveFailure;
}

bool Hive::BeginRead() {
    if (!Ready() || sqlite3_get_autocommit(db_) == 0)
        return false;
    Statement begin(*this, "BEGIN");
    begin.Step();
    return !begin.Failed();
}

void Hive::EndRead() {
    // The hive may have been closed meanwhile, which ended the transaction.
    if (db_ && sqlite3_get_autocommit(db_) == 0)
        Statement(*this, "COMMIT").Step();
}

long Hive::CurrentVersion(Version* version) {
    if (!Ready())
        return kHiveFailure;
    // SQLite learns of other connections' commits when a read transaction starts.
    if (sqlite3_txn_state(db_, "main") == SQLITE_TXN_NONE) {
        Statement start(*this, "PRAGMA data_version");
        if (!start.Step())
            return kHiveFailure;
    }
    *version = SeenVersion();
    return kSuccess;
}

Version Hive::SeenVersion() {
    unsigned int committed = 0;
    if (db_)
        sqlite3_file_control(db_, "main", SQLITE_FCNTL_DATA_VERSION, &committed);
    return {committed, localChanges_};
}

WriteScope::WriteScope(Hive& hive) : hive_(hive), status_(kHiveFailure) {
    if (hive_.Ready())
        status_ = hive_.StartWrite(hive_.Depth() == 0 ? "BEGIN IMMEDIATE" : "SAVEPOINT operation");
}

WriteScope::~WriteScope() {
    if (Started() && !finished_)
        Finish(kHiveFailure);
}

long WriteScope::Finish(long result) {
    if (!Started())
        return status_;
    finished_ = true;
    const bool outermost = hive_.Depth() == 0;
    if (result == kSuccess && hive_.Execute(outermost ? "COMMIT" : "RELEASE operation"))
        return kSuccess;
    if (outermost)
        hive_.Execute("ROLLBACK");
    else
        hive_.Execute("ROLLBACK TO operation; RELEASE operation");
    hive_.Changed();
    return result == kSuccess ? kHiveFailure : result;
}

// ---- Hive: table operations

long Hive::FindChild(KeyId parent, std::string_view name, KeyId* child) {
    Statement find(*this, "SELECT id FROM keys WHERE parent = ?1 AND folded = ?2");
    if (!find.Bind(1, parent).Bind(2, FoldName(name)).Step())
        return Failure(find);
    *child = find.Int(0);
    return kSuccess;
}

long Hive::FindPath(KeyId start, std::string_view path, KeyId* key) {
    *key = start;
    if (path.empty())
        return KeyExists(start);
    std::string remembered = PathKey(start, path);
    if (const auto found = paths_.find(remembered); found != paths_.end()) {
        Version version;
        if (CurrentVersion(&version) == kSuccess && version == pathsVersion_) {
            *key = found->second;
            return kSuccess;
        }
    }
    // One read transaction for the version check and the walk: starting one costs
    // more than a lookup, and the ids found must belong to the version checked.
    ReadScope read(*this);
    Version version;
    if (CurrentVersion(&version) != kSuccess)
        return kHiveFailure;
    if (version != pathsVersion_ || paths_.size() >= kMaxRememberedPaths) {
        paths_.clear();
        pathsVersion_ = version;
    }
    const long rc = WalkPath(start, path, key);
    if (rc == kSuccess)
        paths_.emplace(std::move(remembered), *key);
    return rc;
}

std::string Hive::PathKey(KeyId start, std::string_view path) {
    std::string key = FoldName(path);
    key.append(reinterpret_cast<const char*>(&start), sizeof start);
    return key;
}

long Hive::ReadValueBelow(KeyId start, std::string_view path, std::string_view name, ValueRow* row) {
    if (path.empty())
        return ReadValue(start, name, row);
    if (const auto found = paths_.find(PathKey(start, path)); found != paths_.end()) {
        Version seen;
        const long rc = ReadValue(found->second, name, row, &seen);
        if (rc == kHiveFailure || seen == pathsVersion_)
            return rc;
    }
    ReadScope read(*this);
    KeyId key = kNoKey;
    const long rc = FindPath(start, path, &key);
    return rc == kSuccess ? ReadValue(key, name, row) : rc;
}

long Hive::WalkPath(KeyId start, std::string_view path, KeyId* key) {
    *key = start;
    long rc = kSuccess;
    while (rc == kSuccess) {
        const size_t slash = path.find('\\');
        rc = FindChild(*key, path.substr(0, slash), key);
        if (slash == std::string_view::npos)
            break;
        path.remove_prefix(slash + 1);
    }
    return rc;
}

long Hive::AddChild(KeyId parent, std::string_view name, KeyId* child) {
    Statement add(*this, "INSERT INTO keys(parent, name, folded) VALUES(?1, ?2, ?3)");
    add.Bind(1, parent).Bind(2, name).Bind(3, FoldName(name)).Step();
    if (add.Failed())
        return kHiveFailure;
    Changed();
    *child = sqlite3_last_insert_rowid(db_);
    return kSuccess;
}

long Hive::KeyExists(KeyId key) {
    Statement exists(*this, "SELECT 1 FROM keys WHERE id = ?1");
    return exists.Bind(1, key).Step() ? kSuccess : Failure(exists);
}

long Hive::HasChildren(KeyId key, bool* hasChildren) {
    Statement child(*this, "SELECT 1 FROM keys WHERE parent = ?1 LIMIT 1");
    *hasChildren = child.Bind(1, key).Step();
    return child.Failed() ? kHiveFailure : kSuccess;
}

long Hive::ReadValue(KeyId key, std::string_view name, ValueRow* row, Version* seen) {
    Statement read(*this, "SELECT type, data FROM vals WHERE key = ?1 AND folded = ?2");
    const bool found = read.Bind(1, key).Bind(2, FoldName(name)).Step();
    if (seen)
        *seen = SeenVersion();
    if (!found)
        return Failure(read);
    row->type = static_cast<std::uint32_t>(read.Int(0));
    row->data = read.Blob(1);
    return kSuccess;
}

long Hive::WriteValue(KeyId key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                      std::uint32_t size) {
    // An upsert keeps the row (and so the value's place in the order) and its
    // first spelling of the name.
    Statement write(*this,
                    "INSERT INTO vals(key, name, folded, type, data) VALUES(?1, ?2, ?3, ?4, ?5) "
                    "ON CONFLICT(key, folded) DO UPDATE SET type = excluded.type, data = excluded.data");
    write.Bind(1, key).Bind(2, name).Bind(3, FoldName(name)).Bind(4, type).BindBlob(5, data, size).Step();
    Changed();
    return write.Failed() ? kHiveFailure : kSuccess;
}

long Hive::RemoveValue(KeyId key, std::string_view name) {
    Statement remove(*this, "DELETE FROM vals WHERE key = ?1 AND folded = ?2");
    remove.Bind(1, key).Bind(2, FoldName(name)).Step();
    Changed();
    if (remove.Failed())
        return kHiveFailure;
    return sqlite3_changes(db_) > 0 ? kSuccess : kFileNotFound;
}

long Hive::RemoveKeyTree(KeyId key, bool keepKey) {
    // The tree is walked by parent ids, never by name prefixes.
    Statement values(*this,
                     "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL "
                     "SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id) "
                     "DELETE FROM vals WHERE key IN tree");
    values.Bind(1, key).Step();
    Statement keys(*this,
                   "WITH RECURSIVE tree(id) AS (SELECT ?1 UNION ALL "
                   "SELECT keys.id FROM keys JOIN tree ON keys.parent = tree.id) "
                   "DELETE FROM keys WHERE id IN tree AND id <> ?2");
    keys.Bind(1, key).Bind(2, keepKey ? key : kNoKey).Step();
    Changed();
    return values.Failed() || keys.Failed() ? kHiveFailure : kSuccess;
}

long Hive::ValueNames(KeyId key, std::vector<std::string>* names) {
    return NamesOf("SELECT name FROM vals WHERE key = ?1 ORDER BY id", key, names);
}

long Hive::ChildNames(KeyId key, std::vector<std::string>* names) {
    return NamesOf("SELECT name FROM keys WHERE parent = ?1 ORDER BY folded, name", key, names);
}

long Hive::NamesOf(const char* sql, KeyId key, std::vector<std::string>* names) {
    names->clear();
    ReadScope read(*this);
    {
        Statement all(*this, sql);
        all.Bind(1, key);
        while (all.Step()) names->push_back(all.Text(0));
        if (all.Failed())
            return kHiveFailure;
    }
    // No names: the key may be empty or gone.
    return names->empty() ? KeyExists(key) : kSuccess;
}

long Hive::KeyInfo(KeyId key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen, std::uint32_t* values,
                   std::uint32_t* maxValueNameLen) {
    Statement children(
        *this, "SELECT count(*), ifnull(max(length(CAST(name AS BLOB))), 0) FROM keys WHERE parent = ?1");
    Statement named(*this,
                    "SELECT count(*), ifnull(max(length(CAST(name AS BLOB))), 0) FROM vals WHERE key = ?1");
    if (!children.Bind(1, key).Step() || !named.Bind(1, key).Step())
        return kHiveFailure;
    if (subKeys)
        *subKeys = static_cast<std::uint32_t>(children.Int(0));
    if (maxSubKeyLen)
        *maxSubKeyLen = static_cast<std::uint32_t>(children.Int(1));
    if (values)
        *values = static_cast<std::uint32_t>(named.Int(0));
    if (maxValueNameLen)
        *maxValueNameLen = static_cast<std::uint32_t>(named.Int(1));
    return kSuccess;
}

KeyId Hive::LastKeyId() {
    Statement last(*this, "SELECT seq FROM sqlite_sequence WHERE name = 'keys'");
    return last.Step() ? last.Int(0) : 4;
}

}  // namespace snapwire::reg::detail
