#include "platform/registry/registry.h"

#include "platform/registry/hive.h"

#include <cstdlib>
#include <cstring>
#include <mutex>
#include <unordered_map>

namespace snapwire::reg {
namespace {

using detail::Hive;
using detail::KeyId;
using detail::kNoKey;
using detail::WriteScope;

// The program calls in from its one UI thread; the lock only keeps a stray
// caller on another thread from corrupting the handle table.
std::recursive_mutex& Lock() {
    static std::recursive_mutex lock;
    return lock;
}

// Every public call holds the lock while it runs.
class Call {
  public:
    Call() : lock_(Lock()) {}

  private:
    std::lock_guard<std::recursive_mutex> lock_;
};

struct Handles {
    std::unordered_map<HKey, KeyId> open;
    HKey next = 1;
    KeyId lastKeyIdBeforeTransaction = 0;
};

Handles& OpenHandles() {
    static Handles handles;
    return handles;
}

HKey NewHandle(KeyId id) {
    Handles& handles = OpenHandles();
    const HKey handle = handles.next++;
    handles.open.emplace(handle, id);
    return handle;
}

// Keys created inside a transaction that was rolled back no longer exist, and
// their ids may be handed out again: handles to them must die with them.
void DropHandlesCreatedSince(KeyId lastKeyId) {
    auto& open = OpenHandles().open;
    std::erase_if(open, [lastKeyId](const auto& entry) { return entry.second > lastKeyId; });
}

long KeyOf(HKey key, KeyId* id) {
    *id = detail::RootKeyId(key);
    if (*id != kNoKey)
        return kSuccess;
    const auto& open = OpenHandles().open;
    const auto found = open.find(key);
    if (found == open.end())
        return kInvalidHandle;
    *id = found->second;
    return kSuccess;
}

bool IsRoot(KeyId id) {
    return id >= 1 && id <= 4;
}

// Splits a key path at "\". A single trailing "\" is tolerated; any other empty
// key name (a leading "\", or "\\" inside) is an error.
long SplitPath(std::string_view path, std::vector<std::string_view>* parts) {
    parts->clear();
    if (!path.empty() && path.back() == '\\')
        path.remove_suffix(1);
    if (path.empty())
        return kSuccess;
    size_t start = 0;
    while (true) {
        const size_t end = path.find('\\', start);
        const std::string_view part = path.substr(start, end == std::string_view::npos ? end : end - start);
        if (part.empty())
            return kInvalidParameter;
        parts->push_back(part);
        if (end == std::string_view::npos)
            return kSuccess;
        start = end + 1;
    }
}

// The key id below `key` named by `subKey`, for operations that do not create.
long LocateKey(HKey key, std::string_view subKey, KeyId* id, bool* named = nullptr) {
    KeyId start = kNoKey;
    long rc = KeyOf(key, &start);
    if (rc != kSuccess)
        return rc;
    std::vector<std::string_view> parts;
    rc = SplitPath(subKey, &parts);
    if (rc != kSuccess)
        return rc;
    if (named)
        *named = !parts.empty();
    if (!subKey.empty() && subKey.back() == '\\')
        subKey.remove_suffix(1);
    return Hive::Instance().FindPath(start, subKey, id);
}

long CreatePath(KeyId start, const std::vector<std::string_view>& parts, KeyId* id) {
    Hive& hive = Hive::Instance();
    // A handle whose key was deleted must not grow orphans.
    long rc = hive.KeyExists(start);
    *id = start;
    for (size_t i = 0; rc == kSuccess && i < parts.size(); ++i) {
        rc = hive.FindChild(*id, parts[i], id);
        if (rc == kFileNotFound)
            rc = hive.AddChild(*id, parts[i], id);
    }
    return rc;
}

enum class Listing { Values, SubKeys };

// The name at `index` in a key's values (creation order) or sub-keys (sorted).
// An index past the end of an existing key is the end of the list; in a key
// that is gone it is a missing key.
long NameAt(HKey key, std::uint32_t index, Listing listing, std::string* name) {
    Hive& hive = Hive::Instance();
    KeyId id = kNoKey;
    long rc = KeyOf(key, &id);
    if (rc == kSuccess)
        rc = listing == Listing::Values ? hive.ValueNameAt(id, index, name) : hive.ChildAt(id, index, name);
    if (rc != kFileNotFound)
        return rc;
    rc = hive.KeyExists(id);
    return rc == kSuccess ? kNoMoreItems : rc;
}

// A name and its terminating zero into a buffer of `bufferSize` bytes.
long CopyName(const std::string& name, char* buffer, std::uint32_t bufferSize) {
    if (name.size() + 1 > bufferSize)
        return kMoreData;
    std::memcpy(buffer, name.data(), name.size());
    buffer[name.size()] = '\0';
    return kSuccess;
}

// DeleteKey (`withSubKeys` false: refused when the key has any) and DeleteKeyTree.
long RemoveKey(HKey key, std::string_view subKey, bool withSubKeys) {
    Hive& hive = Hive::Instance();
    KeyId id = kNoKey;
    bool named = false;
    long rc = LocateKey(key, subKey, &id, &named);
    if (rc != kSuccess)
        return rc;
    if (IsRoot(id) && !withSubKeys)
        return kAccessDenied;
    WriteScope scope(hive);
    if (!scope.Started())
        return kHiveFailure;
    bool hasChildren = false;
    rc = hive.KeyExists(id);
    if (rc == kSuccess && !withSubKeys)
        rc = hive.HasChildren(id, &hasChildren);
    if (rc == kSuccess && hasChildren)
        rc = kAccessDenied;
    // A tree deletion without a sub-key name keeps the key itself and takes its contents.
    if (rc == kSuccess)
        rc = hive.RemoveKeyTree(id, withSubKeys && (!named || IsRoot(id)));
    return scope.Finish(rc);
}

bool SameData(const detail::ValueRow& row, std::uint32_t type, const std::uint8_t* data, std::uint32_t size) {
    return row.type == type && row.data.size() == size &&
           (size == 0 || std::memcmp(row.data.data(), data, size) == 0);
}

}  // namespace

long OpenKey(HKey root, std::string_view subKey, std::uint32_t /*access*/, HKey* result) {
    Call call;
    if (!result)
        return kInvalidParameter;
    KeyId id = kNoKey;
    const long rc = LocateKey(root, subKey, &id);
    if (rc == kSuccess)
        *result = NewHandle(id);
    return rc;
}

long CreateKey(HKey root, std::string_view subKey, HKey* result) {
    Call call;
    if (!result)
        return kInvalidParameter;
    KeyId id = kNoKey;
    // Most calls name a key that exists: open it without taking the write lock.
    long rc = LocateKey(root, subKey, &id);
    if (rc == kFileNotFound) {
        KeyId start = kNoKey;
        KeyOf(root, &start);
        std::vector<std::string_view> parts;
        SplitPath(subKey, &parts);
        WriteScope scope(Hive::Instance());
        rc = scope.Started() ? scope.Finish(CreatePath(start, parts, &id)) : kHiveFailure;
    }
    if (rc == kSuccess)
        *result = NewHandle(id);
    return rc;
}

long CloseKey(HKey key) {
    Call call;
    if (detail::RootKeyId(key) != kNoKey)
        return kSuccess;
    return OpenHandles().open.erase(key) ? kSuccess : kInvalidHandle;
}

long QueryValue(HKey key, std::string_view valueName, std::uint32_t* type, std::uint8_t* data,
                std::uint32_t* size) {
    Call call;
    if (data && !size)
        return kInvalidParameter;
    KeyId id = kNoKey;
    long rc = KeyOf(key, &id);
    detail::ValueRow row;
    if (rc == kSuccess)
        rc = Hive::Instance().ReadValue(id, valueName, &row);
    if (rc != kSuccess)
        return rc;
    if (type)
        *type = row.type;
    const auto needed = static_cast<std::uint32_t>(row.data.size());
    if (data && *size < needed) {
        *size = needed;
        return kMoreData;
    }
    if (data && needed > 0)
        std::memcpy(data, row.data.data(), needed);
    if (size)
        *size = needed;
    return kSuccess;
}

long SetValue(HKey key, std::string_view valueName, std::uint32_t type, const std::uint8_t* data,
              std::uint32_t size) {
    Call call;
    if (!data && size > 0)
        return kInvalidParameter;
    KeyId id = kNoKey;
    long rc = KeyOf(key, &id);
    if (rc != kSuccess)
        return rc;
    Hive& hive = Hive::Instance();
    detail::ValueRow row;
    rc = hive.ReadValue(id, valueName, &row);
    if (rc == kSuccess && SameData(row, type, data, size))
        return kSuccess;  // the settings are reloaded often; do not rewrite what is there
    if (rc == kHiveFailure)
        return rc;
    WriteScope scope(hive);
    if (!scope.Started())
        return kHiveFailure;
    rc = hive.KeyExists(id);
    if (rc == kSuccess)
        rc = hive.WriteValue(id, valueName, type, data, size);
    return scope.Finish(rc);
}

long DeleteValue(HKey key, std::string_view valueName) {
    Call call;
    KeyId id = kNoKey;
    const long rc = KeyOf(key, &id);
    if (rc != kSuccess)
        return rc;
    WriteScope scope(Hive::Instance());
    if (!scope.Started())
        return kHiveFailure;
    return scope.Finish(Hive::Instance().RemoveValue(id, valueName));
}

long DeleteKey(HKey key, std::string_view subKey) {
    Call call;
    return RemoveKey(key, subKey, false);
}

long DeleteKeyTree(HKey key, std::string_view subKey) {
    Call call;
    return RemoveKey(key, subKey, true);
}

long EnumValue(HKey key, std::uint32_t index, char* name, std::uint32_t* nameSize) {
    Call call;
    if (!name || !nameSize)
        return kInvalidParameter;
    std::string found;
    long rc = NameAt(key, index, Listing::Values, &found);
    if (rc == kSuccess) {
        rc = CopyName(found, name, *nameSize);
        *nameSize = static_cast<std::uint32_t>(found.size());
    }
    return rc;
}

long EnumKey(HKey key, std::uint32_t index, char* name, std::uint32_t bufferSize) {
    Call call;
    if (!name)
        return kInvalidParameter;
    std::string found;
    const long rc = NameAt(key, index, Listing::SubKeys, &found);
    return rc == kSuccess ? CopyName(found, name, bufferSize) : rc;
}

long QueryInfoKey(HKey key, std::uint32_t* subKeyCount, std::uint32_t* maxSubKeyLen,
                  std::uint32_t* valueCount, std::uint32_t* maxValueNameLen) {
    Call call;
    KeyId id = kNoKey;
    const long rc = LocateKey(key, {}, &id);
    if (rc != kSuccess)
        return rc;
    return Hive::Instance().KeyInfo(id, subKeyCount, maxSubKeyLen, valueCount, maxValueNameLen);
}

std::string ExpandEnvironmentStrings(std::string_view text) {
    std::string result;
    result.reserve(text.size());
    size_t pos = 0;
    while (pos < text.size()) {
        const size_t open = text.find('%', pos);
        if (open == std::string_view::npos)
            break;
        result.append(text.substr(pos, open - pos));
        const size_t close = text.find('%', open + 1);
        if (close != std::string_view::npos && close > open + 1) {
            const std::string name(text.substr(open + 1, close - open - 1));
            if (const char* value = std::getenv(name.c_str())) {
                result.append(value);
                pos = close + 1;
                continue;
            }
        }
        // Not a defined name: keep the "%" and look again from the next character,
        // so the closing "%" may open the next reference.
        result.push_back('%');
        pos = open + 1;
    }
    result.append(text.substr(pos));
    return result;
}

void UseHiveFile(const std::string& path) {
    Call call;
    Hive& hive = Hive::Instance();
    if (path != hive.File() || path.empty())
        CloseHive();
    hive.UseFile(path);
}

std::string HiveFile() {
    Call call;
    return Hive::Instance().File();
}

void CloseHive() {
    Call call;
    OpenHandles().open.clear();
    Hive::Instance().Close();
}

bool BeginTransaction() {
    Call call;
    Hive& hive = Hive::Instance();
    const bool outermost = hive.Depth() == 0;
    if (!hive.Begin())
        return false;
    if (outermost)
        OpenHandles().lastKeyIdBeforeTransaction = hive.LastKeyId();
    return true;
}

bool CommitTransaction() {
    Call call;
    Hive& hive = Hive::Instance();
    const bool outermost = hive.Depth() == 1;
    const bool committed = hive.Commit();
    if (outermost && !committed)
        DropHandlesCreatedSince(OpenHandles().lastKeyIdBeforeTransaction);
    return committed;
}

void RollbackTransaction() {
    Call call;
    Hive& hive = Hive::Instance();
    const bool outermost = hive.Depth() == 1;
    hive.Rollback();
    if (outermost)
        DropHandlesCreatedSince(OpenHandles().lastKeyIdBeforeTransaction);
}

}  // namespace snapwire::reg
