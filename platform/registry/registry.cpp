#include "platform/registry/registry.h"

#include "platform/registry/hive.h"
#include "platform/registry/hive_file_check.h"

#include <algorithm>
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

// The names of a key's values or of its sub-keys as read at `version`: walking
// them by index costs a version check per step instead of a query.
struct Listing {
    bool loaded = false;
    detail::Version version;
    long rc = kSuccess;  // kFileNotFound when the key was gone
    std::vector<std::string> names;
};

struct KeyState {
    KeyId id = kNoKey;
    Listing values;
    Listing subKeys;
};

struct Handles {
    std::unordered_map<HKey, KeyState> open;
    // The predefined roots are never opened, but are enumerated like any key.
    std::unordered_map<HKey, KeyState> roots;
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
    handles.open.emplace(handle, KeyState{id, {}, {}});
    return handle;
}

// Keys created inside a transaction that was rolled back no longer exist, and
// their ids may be handed out again: handles to them must die with them.
void DropHandlesCreatedSince(KeyId lastKeyId) {
    auto& open = OpenHandles().open;
    std::erase_if(open, [lastKeyId](const auto& entry) { return entry.second.id > lastKeyId; });
}

long KeyOf(HKey key, KeyId* id) {
    *id = detail::RootKeyId(key);
    if (*id != kNoKey)
        return kSuccess;
    const auto& open = OpenHandles().open;
    const auto found = open.find(key);
    if (found == open.end())
        return kInvalidHandle;
    *id = found->second.id;
    return kSuccess;
}

// The state of an open handle or a root; null for a handle that is not open.
KeyState* StateOf(HKey key) {
    Handles& handles = OpenHandles();
    if (const KeyId root = detail::RootKeyId(key); root != kNoKey)
        return &handles.roots.try_emplace(key, KeyState{root, {}, {}}).first->second;
    const auto found = handles.open.find(key);
    return found == handles.open.end() ? nullptr : &found->second;
}

bool IsRoot(KeyId id) {
    return id >= 1 && id <= 4;
}

// Drops a key path's single tolerated trailing "\"; any other empty key name
// (a leading "\", or "\\" inside) is an error.
long TrimPath(std::string_view* path) {
    if (path->ends_with('\\'))
        path->remove_suffix(1);
    if (path->empty())
        return kSuccess;
    const bool emptyName =
        path->front() == '\\' || path->back() == '\\' || path->find("\\\\") != std::string_view::npos;
    return emptyName ? kInvalidParameter : kSuccess;
}

// Splits a key path at "\", as TrimPath accepts it.
long SplitPath(std::string_view path, std::vector<std::string_view>* parts) {
    parts->clear();
    const long rc = TrimPath(&path);
    if (rc != kSuccess || path.empty())
        return rc;
    for (size_t start = 0;;) {
        const size_t end = path.find('\\', start);
        parts->push_back(path.substr(start, end == std::string_view::npos ? end : end - start));
        if (end == std::string_view::npos)
            return kSuccess;
        start = end + 1;
    }
}

// The key id below `key` named by `subKey`, for operations that do not create.
long LocateKey(HKey key, std::string_view subKey, KeyId* id, bool* named = nullptr) {
    KeyId start = kNoKey;
    long rc = KeyOf(key, &start);
    if (rc == kSuccess)
        rc = TrimPath(&subKey);
    if (rc != kSuccess)
        return rc;
    if (named)
        *named = !subKey.empty();
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

enum class ListingOf { Values, SubKeys };

// The name at `index` in a key's values (creation order) or sub-keys (sorted).
// An index past the end of an existing key is the end of the list; in a key
// that is gone it is a missing key.
long NameAt(HKey key, std::uint32_t index, ListingOf which, std::string* name) {
    KeyState* state = StateOf(key);
    if (!state)
        return kInvalidHandle;
    Hive& hive = Hive::Instance();
    // The version and the names it covers must come from one state of the hive.
    detail::ReadScope read(hive);
    detail::Version version;
    if (hive.CurrentVersion(&version) != kSuccess)
        return kHiveFailure;
    Listing& listing = which == ListingOf::Values ? state->values : state->subKeys;
    if (!listing.loaded || listing.version != version) {
        listing.rc = which == ListingOf::Values ? hive.ValueNames(state->id, &listing.names)
                                                : hive.ChildNames(state->id, &listing.names);
        listing.loaded = listing.rc != kHiveFailure;
        listing.version = version;
    }
    if (listing.rc != kSuccess)
        return listing.rc;
    if (index >= listing.names.size())
        return kNoMoreItems;
    *name = listing.names[index];
    return kSuccess;
}

bool KeyNameTooLong(std::string_view name) {
    return NameLength(name) > kMaxKeyNameLength;
}

// A value's type and data into the caller's buffers, as QueryValue answers.
long CopyValue(const detail::ValueRow& row, std::uint32_t* type, std::uint8_t* data, std::uint32_t* size) {
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
        return scope.Status();
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
    std::vector<std::string_view> parts;
    if (SplitPath(subKey, &parts) == kSuccess && std::any_of(parts.begin(), parts.end(), KeyNameTooLong))
        return kInvalidParameter;
    KeyId id = kNoKey;
    // Most calls name a key that exists: open it without taking the write lock.
    long rc = LocateKey(root, subKey, &id);
    if (rc == kFileNotFound) {
        KeyId start = kNoKey;
        KeyOf(root, &start);
        WriteScope scope(Hive::Instance());
        rc = scope.Started() ? scope.Finish(CreatePath(start, parts, &id)) : scope.Status();
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
    return rc == kSuccess ? CopyValue(row, type, data, size) : rc;
}

long GetValue(HKey key, std::string_view subKey, std::string_view valueName, std::uint32_t* type,
              std::uint8_t* data, std::uint32_t* size) {
    Call call;
    if (data && !size)
        return kInvalidParameter;
    KeyId start = kNoKey;
    long rc = KeyOf(key, &start);
    if (rc == kSuccess)
        rc = TrimPath(&subKey);
    detail::ValueRow row;
    if (rc == kSuccess)
        rc = Hive::Instance().ReadValueBelow(start, subKey, valueName, &row);
    return rc == kSuccess ? CopyValue(row, type, data, size) : rc;
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
        return scope.Status();
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
        return scope.Status();
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
    long rc = NameAt(key, index, ListingOf::Values, &found);
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
    const long rc = NameAt(key, index, ListingOf::SubKeys, &found);
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

std::size_t NameLength(std::string_view name) {
    std::size_t length = 0;
    for (const char c : name) {
        const auto byte = static_cast<unsigned char>(c);
        if ((byte & 0xC0) != 0x80)
            length += byte >= 0xF0 ? 2 : 1;  // four-byte sequences are surrogate pairs
    }
    return length;
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

long CurrentHiveVersion(HiveVersion* version) {
    Call call;
    return Hive::Instance().CurrentVersion(version);
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
    OpenHandles().roots.clear();
    Hive::Instance().Close();
}

HiveFileCheck OpenHiveFile() {
    Call call;
    Hive& hive = Hive::Instance();
    return hive.Ready() ? HiveFileCheck{} : hive.OpenFailure();
}

long BeginTransaction() {
    Call call;
    Hive& hive = Hive::Instance();
    const bool outermost = hive.Depth() == 0;
    const long rc = hive.Begin();
    if (rc == kSuccess && outermost)
        OpenHandles().lastKeyIdBeforeTransaction = hive.LastKeyId();
    return rc;
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

ReadTransaction::ReadTransaction() {
    Call call;
    own_ = Hive::Instance().BeginRead();
}

ReadTransaction::~ReadTransaction() {
    Call call;
    if (own_)
        Hive::Instance().EndRead();
}

}  // namespace snapwire::reg
