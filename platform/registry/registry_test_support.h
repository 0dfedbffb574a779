#pragma once

// Small helpers the registry tests share: typed writes and reads through the
// public calls, and name lists from the enumerations.

#include "platform/registry/registry.h"

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <QProcess>

#include <string>
#include <tuple>
#include <vector>

namespace snapwire::reg::test {

inline std::vector<std::uint8_t> Bytes(std::string_view text) {
    return {text.begin(), text.end()};
}

// UTF-8 text with its terminating zero, as the settings store writes REG_SZ.
inline std::vector<std::uint8_t> TextData(std::string_view text) {
    auto bytes = Bytes(text);
    bytes.push_back(0);
    return bytes;
}

inline HKey MakeKey(std::string_view path, HKey root = kLocalMachine) {
    HKey key = 0;
    EXPECT_EQ(CreateKey(root, path, &key), kSuccess) << path;
    return key;
}

inline long Put(HKey key, std::string_view name, std::uint32_t type, const std::vector<std::uint8_t>& data) {
    return SetValue(key, name, type, data.data(), static_cast<std::uint32_t>(data.size()));
}

inline long PutText(HKey key, std::string_view name, std::string_view text) {
    return Put(key, name, kRegSz, TextData(text));
}

struct Read {
    long rc = kSuccess;
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;
};

inline Read Get(HKey key, std::string_view name) {
    Read read;
    std::uint32_t size = 0;
    read.rc = QueryValue(key, name, &read.type, nullptr, &size);
    if (read.rc != kSuccess)
        return read;
    read.data.resize(size);
    read.rc = QueryValue(key, name, &read.type, read.data.data(), &size);
    read.data.resize(size);
    return read;
}

// The text of a REG_SZ value without its zero; "" when it cannot be read.
inline std::string GetText(HKey key, std::string_view name) {
    const Read read = Get(key, name);
    if (read.rc != kSuccess || read.data.empty())
        return {};
    return std::string(read.data.begin(), read.data.end() - 1);
}

inline std::string GetText(std::string_view path, std::string_view name, HKey root = kLocalMachine) {
    HKey key = 0;
    if (OpenKey(root, path, kKeyQueryValue, &key) != kSuccess)
        return "<no key>";
    std::string text = GetText(key, name);
    CloseKey(key);
    return text;
}

inline std::vector<std::string> ValueNames(HKey key) {
    std::vector<std::string> names;
    char name[512];
    for (std::uint32_t index = 0;; ++index) {
        std::uint32_t size = sizeof name;
        if (EnumValue(key, index, name, &size) != kSuccess)
            return names;
        names.emplace_back(name, size);
    }
}

inline std::vector<std::string> SubKeys(HKey key, std::uint32_t bufferSize = 512) {
    std::vector<std::string> names;
    std::vector<char> name(bufferSize);
    for (std::uint32_t index = 0; EnumKey(key, index, name.data(), bufferSize) == kSuccess; ++index)
        names.emplace_back(name.data());
    return names;
}

// Runs the command-line tool on the program's own hive: exit code, output, errors.
inline std::tuple<int, QByteArray, QByteArray> RunTool(const QStringList& arguments) {
    QProcess tool;
    tool.start(QStringLiteral(SNAPWIRE_REG_TOOL), arguments);
    EXPECT_TRUE(tool.waitForFinished(30000));
    return {tool.exitCode(), tool.readAllStandardOutput(), tool.readAllStandardError()};
}

// A second connection to the hive file, as another running copy would hold.
class OtherConnection {
  public:
    OtherConnection() { sqlite3_open_v2(HiveFile().c_str(), &db_, SQLITE_OPEN_READWRITE, nullptr); }
    ~OtherConnection() { sqlite3_close_v2(db_); }
    OtherConnection(const OtherConnection&) = delete;
    OtherConnection& operator=(const OtherConnection&) = delete;

    // Changes whenever another connection committed something.
    int DataVersion() const { return Int("PRAGMA data_version"); }
    int Int(const char* sql) const {
        sqlite3_stmt* stmt = nullptr;
        int result = -1;
        if (sqlite3_prepare_v2(db_, sql, -1, &stmt, nullptr) == SQLITE_OK && sqlite3_step(stmt) == SQLITE_ROW)
            result = sqlite3_column_int(stmt, 0);
        sqlite3_finalize(stmt);
        return result;
    }
    bool Execute(const char* sql) { return sqlite3_exec(db_, sql, nullptr, nullptr, nullptr) == SQLITE_OK; }

  private:
    sqlite3* db_ = nullptr;
};

}  // namespace snapwire::reg::test
