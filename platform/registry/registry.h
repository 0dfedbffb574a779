#pragma once

// Our own registry: a hive of keys and typed values kept in SQLite, with the
// semantics the settings code relies on (case-insensitive, case-preserving names,
// "\" separating key names, values listed in creation order, sub-keys sorted).
// The calls mirror the classic registry calls closely on purpose: result codes,
// buffer sizes and the "more data" answer are what the settings store expects.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace snapwire::reg {

// Key handles. The predefined roots carry their well-known 32-bit values;
// opened keys get small positive numbers.
using HKey = std::int64_t;
inline constexpr HKey kClassesRoot = static_cast<std::int32_t>(0x80000000u);
inline constexpr HKey kCurrentUser = static_cast<std::int32_t>(0x80000001u);
inline constexpr HKey kLocalMachine = static_cast<std::int32_t>(0x80000002u);
inline constexpr HKey kUsers = static_cast<std::int32_t>(0x80000003u);

// Result codes (0 = success).
inline constexpr long kSuccess = 0;
inline constexpr long kFileNotFound = 2;  // key or value missing
inline constexpr long kAccessDenied = 5;  // e.g. deleting a key that still has sub-keys
inline constexpr long kInvalidHandle = 6;
inline constexpr long kInvalidData = 13;
inline constexpr long kHiveInUse = 32;  // another program held the hive's write lock too long
inline constexpr long kInvalidParameter = 87;
inline constexpr long kMoreData = 234;      // buffer too small; size holds what is needed
inline constexpr long kNoMoreItems = 259;   // enumeration index past the end
inline constexpr long kHiveFailure = 1016;  // the hive file could not be read or written

// Value types.
inline constexpr std::uint32_t kRegNone = 0;
inline constexpr std::uint32_t kRegSz = 1;
inline constexpr std::uint32_t kRegExpandSz = 2;
inline constexpr std::uint32_t kRegBinary = 3;
inline constexpr std::uint32_t kRegDword = 4;
inline constexpr std::uint32_t kRegDwordBigEndian = 5;
inline constexpr std::uint32_t kRegMultiSz = 7;

// Access rights (recorded for fidelity; the hive has a single user).
inline constexpr std::uint32_t kKeyQueryValue = 0x0001;
inline constexpr std::uint32_t kKeySetValue = 0x0002;
inline constexpr std::uint32_t kKeyCreateSubKey = 0x0004;
inline constexpr std::uint32_t kKeyEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kKeyAllAccess = 0x003F;

// Names are UTF-8. Key paths use "\" between key names, no leading "\".
// A value name is opaque text: "Host Name/Adress:" is one name.
// A key name has at most kMaxKeyNameLength characters, counted as NameLength does.
inline constexpr std::size_t kMaxKeyNameLength = 255;
// A name's length in the characters the registry counts (UTF-16 code units).
std::size_t NameLength(std::string_view name);

long OpenKey(HKey root, std::string_view subKey, std::uint32_t access, HKey* result);
// Creates every missing key on the path; opens it when it exists. A key name over
// kMaxKeyNameLength characters is refused (kInvalidParameter) and nothing is created.
long CreateKey(HKey root, std::string_view subKey, HKey* result);
long CloseKey(HKey key);

// Type and data of a value. `data` may be null to ask for type and size only
// (success). When `data` is not null and *size is too small, returns kMoreData
// and sets *size to the size needed. `type` may be null.
long QueryValue(HKey key, std::string_view valueName, std::uint32_t* type, std::uint8_t* data,
                std::uint32_t* size);
// QueryValue on the key `subKey` below `key` without opening a handle: a single
// read of the hive when the key was looked up before and nothing changed since.
long GetValue(HKey key, std::string_view subKey, std::string_view valueName, std::uint32_t* type,
              std::uint8_t* data, std::uint32_t* size);
// Writes (creates or replaces) a value. Identical rewrites are not written again.
long SetValue(HKey key, std::string_view valueName, std::uint32_t type, const std::uint8_t* data,
              std::uint32_t size);
long DeleteValue(HKey key, std::string_view valueName);

// Deletes the sub-key `subKey` of `key` ("" = `key` itself); refused (kAccessDenied)
// when it has sub-keys or is a root.
long DeleteKey(HKey key, std::string_view subKey);
// Deletes `subKey` with everything below it; nothing whose name merely shares its
// prefix. With "" the values and sub-keys of `key` go and `key` itself stays.
long DeleteKeyTree(HKey key, std::string_view subKey);

// Value names in creation order. `nameSize` counts bytes including the
// terminating zero on input; on success it holds the name's length without it.
// Returns kMoreData when the buffer is too small (`nameSize` then holds the
// name's length without the zero), kNoMoreItems past the end.
long EnumValue(HKey key, std::uint32_t index, char* name, std::uint32_t* nameSize);
// Sub-key names, sorted case-insensitively. `bufferSize` is the buffer's size in
// bytes; a name that does not fit with its zero ends the enumeration (kMoreData).
long EnumKey(HKey key, std::uint32_t index, char* name, std::uint32_t bufferSize);
// Counts and longest names (in bytes, without the terminating zero); any pointer may be null.
long QueryInfoKey(HKey key, std::uint32_t* subKeyCount, std::uint32_t* maxSubKeyLen,
                  std::uint32_t* valueCount, std::uint32_t* maxValueNameLen);

// Replaces %NAME% by the environment variable NAME; undefined names stay as written.
std::string ExpandEnvironmentStrings(std::string_view text);

// A state of the hive as this program sees it: `committed` moves with every commit
// of any program, `local` with this program's own writes and rollbacks. Anything
// read from the hive stays valid while the version it was read at holds.
struct HiveVersion {
    std::uint32_t committed = 0;
    std::uint64_t local = 0;
    bool operator==(const HiveVersion&) const = default;
};
// The hive's version now: one cheap query, no read of a key.
long CurrentHiveVersion(HiveVersion* version);

// The hive file. Opened on first use at ProgramFolder()/settings.db; tests and the
// registry tool may point it elsewhere. CloseHive() closes every open key.
void UseHiveFile(const std::string& path);
std::string HiveFile();
void CloseHive();

// Runs `work` as one transaction: either all of its writes land or none do.
// Returns false (and writes nothing) when `work` returns false or the hive fails;
// when the transaction could not start, `failure` (if given) says why: kHiveInUse
// or kHiveFailure.
template <typename Work>
bool InTransaction(Work&& work, long* failure = nullptr);

// Holds one read transaction while it lives (unless a transaction is open already):
// every call made meanwhile sees one state of the hive, however many keys it walks
// and whatever other programs write meanwhile, and key paths are looked up once.
// For reads only: a write made inside it fails.
class ReadTransaction {
  public:
    ReadTransaction();
    ~ReadTransaction();
    ReadTransaction(const ReadTransaction&) = delete;
    ReadTransaction& operator=(const ReadTransaction&) = delete;

  private:
    bool own_ = false;
};

// Implementation detail of InTransaction.
long BeginTransaction();
bool CommitTransaction();
void RollbackTransaction();

template <typename Work>
bool InTransaction(Work&& work, long* failure) {
    if (const long rc = BeginTransaction(); rc != kSuccess) {
        if (failure)
            *failure = rc;
        return false;
    }
    bool ok = false;
    try {
        ok = work();
    } catch (...) {
        RollbackTransaction();
        throw;
    }
    if (!ok) {
        RollbackTransaction();
        return false;
    }
    return CommitTransaction();
}

}  // namespace snapwire::reg
