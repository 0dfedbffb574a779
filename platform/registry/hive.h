#pragma once

// The SQLite file behind the registry calls: one connection, its cached
// statements, and the few table operations the calls are built from.
// Internal to platform/registry; everything else goes through registry.h.

#include "platform/registry/hive_file_check.h"
#include "platform/registry/registry.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

struct sqlite3;
struct sqlite3_stmt;

namespace snapwire::reg::detail {

// Row id of a key. Ids are never handed out twice (AUTOINCREMENT), so the id of a
// deleted key stays dead and an old handle cannot reach a newer key.
using KeyId = std::int64_t;
inline constexpr KeyId kNoKey = 0;

// The key id of a predefined root, or kNoKey when `root` is not one.
KeyId RootKeyId(std::int64_t root);

// Case-insensitive identity of a name (Unicode case folding).
std::string FoldName(std::string_view name);

// The hive's version as this connection sees it (see HiveVersion).
using Version = HiveVersion;

// What a database file is, by its own marks.
enum class Layout {
    Empty,    // no tables yet: the hive makes its own
    Current,  // a hive of this layout
    Newer,    // a hive of a layout this program does not know
    Foreign,  // another program's database
};
// Reads the marks without writing anything; SQLite's result code, and on SQLITE_OK
// the layout.
int ReadLayout(sqlite3* db, Layout* layout);

// What SQLite's result code, or a file's layout, says about a hive file.
HiveFileCheck CheckOfResult(int rc);
HiveFileCheck CheckOfLayout(Layout layout);

struct ValueRow {
    std::uint32_t type = 0;
    std::vector<std::uint8_t> data;
};

class Hive;

// A cached prepared statement, reset when the scope ends.
class Statement {
  public:
    Statement(Hive& hive, const char* sql);
    ~Statement();
    Statement(const Statement&) = delete;
    Statement& operator=(const Statement&) = delete;

    bool Prepared() const { return stmt_ != nullptr; }
    Statement& Bind(int index, std::int64_t value);
    Statement& Bind(int index, std::string_view text);
    Statement& BindBlob(int index, const std::uint8_t* data, std::uint32_t size);
    // True for a row, false at the end; a failure sets Failed().
    bool Step();
    bool Failed() const { return failed_; }

    std::int64_t Int(int column) const;
    std::string Text(int column) const;
    std::vector<std::uint8_t> Blob(int column) const;

  private:
    sqlite3_stmt* stmt_ = nullptr;
    bool failed_ = false;
};

class Hive {
  public:
    static Hive& Instance();

    void UseFile(std::string path);
    std::string File() const;
    void Close();
    // Opens the file on first use; false when it cannot be opened or is not a hive.
    bool Ready();
    // Why the last open failed.
    const HiveFileCheck& OpenFailure() const { return openFailure_; }
    sqlite3* Connection() const { return db_; }
    sqlite3_stmt* Prepare(const char* sql);
    bool Execute(const char* sql);

    // Transactions: the outermost level is BEGIN IMMEDIATE, so a writer waits
    // for another copy's write lock up front instead of failing half-way. Begin
    // gives kHiveInUse when another program kept that lock past the busy timeout.
    long Begin();
    bool Commit();
    void Rollback();
    int Depth() const { return depth_; }
    // Starts the outermost write transaction (`sql` BEGIN IMMEDIATE) or a savepoint.
    long StartWrite(const char* sql);
    // A read transaction when none is open; true when this call opened it.
    bool BeginRead();
    void EndRead();

    // The hive's version; inside a read transaction it holds for every statement in it.
    long CurrentVersion(Version* version);
    // The version the last statement saw: checking it costs no query.
    Version SeenVersion();
    // This connection changed the hive (or undid changes): what was read before is stale.
    void Changed() { ++localChanges_; }

    // Table operations. The long results are registry result codes.
    long FindChild(KeyId parent, std::string_view name, KeyId* child);
    // Walks a path of key names joined by "\" down from `start` in one read
    // transaction; paths found are remembered while the hive's version holds. An
    // empty path checks that `start` exists.
    long FindPath(KeyId start, std::string_view path, KeyId* key);
    long AddChild(KeyId parent, std::string_view name, KeyId* child);
    long KeyExists(KeyId key);  // kSuccess or kFileNotFound
    long HasChildren(KeyId key, bool* hasChildren);
    // `seen`, when given, receives the version the read saw.
    long ReadValue(KeyId key, std::string_view name, ValueRow* row, Version* seen = nullptr);
    // A value of the key `path` below `start`: when the path's key id is remembered,
    // one statement, kept only when it saw the version the id was found at.
    long ReadValueBelow(KeyId start, std::string_view path, std::string_view name, ValueRow* row);
    long WriteValue(KeyId key, std::string_view name, std::uint32_t type, const std::uint8_t* data,
                    std::uint32_t size);
    long RemoveValue(KeyId key, std::string_view name);
    long RemoveKeyTree(KeyId key, bool keepKey);
    // Every value name in creation order, or every sub-key name sorted; kFileNotFound
    // when the key is gone.
    long ValueNames(KeyId key, std::vector<std::string>* names);
    long ChildNames(KeyId key, std::vector<std::string>* names);
    long KeyInfo(KeyId key, std::uint32_t* subKeys, std::uint32_t* maxSubKeyLen, std::uint32_t* values,
                 std::uint32_t* maxValueNameLen);
    // The highest key id handed out so far.
    KeyId LastKeyId();

  private:
    Hive() = default;
    ~Hive();
    bool Open();
    // Closes the connection; false, with `why` kept for OpenFailure.
    bool Refuse(HiveFileCheck why);
    bool PrepareSchema(Layout layout);
    long NamesOf(const char* sql, KeyId key, std::vector<std::string>* names);
    long WalkPath(KeyId start, std::string_view path, KeyId* key);

    std::string file_;
    sqlite3* db_ = nullptr;
    HiveFileCheck openFailure_;
    std::unordered_map<const char*, sqlite3_stmt*> statements_;
    int depth_ = 0;
    bool doomed_ = false;
    std::uint64_t localChanges_ = 0;
    // Key ids by start id and folded path, valid at pathsVersion_.
    std::unordered_map<std::string, KeyId> paths_;
    Version pathsVersion_;
    // The folded path followed by the start id's bytes.
    static std::string PathKey(KeyId start, std::string_view path);
};

// A read transaction for the scope when none is open yet, so that its statements
// see one state of the hive.
class ReadScope {
  public:
    explicit ReadScope(Hive& hive) : hive_(hive), own_(hive.BeginRead()) {}
    ~ReadScope() {
        if (own_)
            hive_.EndRead();
    }
    ReadScope(const ReadScope&) = delete;
    ReadScope& operator=(const ReadScope&) = delete;

  private:
    Hive& hive_;
    bool own_;
};

// One write operation: its own transaction at the outermost level, a savepoint
// inside a caller's transaction, so a failing operation leaves nothing behind.
class WriteScope {
  public:
    explicit WriteScope(Hive& hive);
    ~WriteScope();
    WriteScope(const WriteScope&) = delete;
    WriteScope& operator=(const WriteScope&) = delete;

    bool Started() const { return status_ == kSuccess; }
    // Why the scope did not start: kHiveInUse or kHiveFailure.
    long Status() const { return status_; }
    // Returns `result` when it and the commit succeed, kHiveFailure when the
    // commit fails; any failing `result` rolls the operation back.
    long Finish(long result);

  private:
    Hive& hive_;
    long status_;
    bool finished_ = false;
};

}  // namespace snapwire::reg::detail
