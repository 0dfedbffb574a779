#include "platform/registry/regfile.h"

#include <QString>
#include <QStringDecoder>

#include <cstdio>
#include <vector>

namespace snapwire::reg {
namespace {

// Hex lists wrap before this column, as the registry editor's own files do.
constexpr size_t kWrapColumn = 78;

using Bytes = std::vector<std::uint8_t>;

std::string_view EndOfLine(LineEnd lineEnd) {
    return lineEnd == LineEnd::kCrLf ? "\r\n" : "\n";
}

std::string Quote(std::string_view text) {
    std::string quoted = "\"";
    for (const char c : text) {
        if (c == '\\' || c == '"')
            quoted.push_back('\\');
        quoted.push_back(c);
    }
    quoted.push_back('"');
    return quoted;
}

bool IsValidUtf8(std::string_view bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return !decoder.hasError();
}

// A string value prints as quoted text only when reading that text back gives
// the same bytes: one final zero, no other zero, no line break, valid UTF-8.
bool PrintsAsText(const Bytes& data) {
    if (data.empty() || data.back() != 0)
        return false;
    const std::string_view text(reinterpret_cast<const char*>(data.data()), data.size() - 1);
    return text.find_first_of(std::string_view("\0\r\n", 3)) == std::string_view::npos && IsValidUtf8(text);
}

Bytes Utf8ToUtf16Le(const Bytes& data) {
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(data.size()));
    Bytes bytes;
    bytes.reserve(static_cast<size_t>(text.size()) * 2);
    for (const QChar c : text) {
        bytes.push_back(static_cast<std::uint8_t>(c.unicode() & 0xFF));
        bytes.push_back(static_cast<std::uint8_t>(c.unicode() >> 8));
    }
    return bytes;
}

std::string HexList(std::uint32_t type, const Bytes& bytes, size_t column, LineEnd lineEnd) {
    char prefix[24];
    if (type == kRegBinary)
        std::snprintf(prefix, sizeof prefix, "hex:");
    else
        std::snprintf(prefix, sizeof prefix, "hex(%x):", type);
    std::string list = prefix;
    column += list.size();
    for (size_t i = 0; i < bytes.size(); ++i) {
        char item[4];
        std::snprintf(item, sizeof item, i + 1 < bytes.size() ? "%02x," : "%02x", bytes[i]);
        const std::string_view text(item);
        if (i > 0 && column + text.size() + 1 > kWrapColumn) {
            list += '\\';
            list += EndOfLine(lineEnd);
            list += "  ";
            column = 2;
        }
        list += text;
        column += text.size();
    }
    return list;
}

std::string ValueLine(std::string_view name, std::uint32_t type, const Bytes& data, LineEnd lineEnd) {
    std::string line = name.empty() ? "@" : Quote(name);
    line += '=';
    if (type == kRegSz && PrintsAsText(data)) {
        line += Quote(std::string_view(reinterpret_cast<const char*>(data.data()), data.size() - 1));
    } else if (type == kRegDword && data.size() == 4) {
        char number[16];
        std::snprintf(number, sizeof number, "dword:%08x",
                      data[0] | data[1] << 8 | data[2] << 16 | static_cast<unsigned>(data[3]) << 24);
        line += number;
    } else {
        // The text types are UTF-16LE in this format.
        const bool text = type == kRegSz || type == kRegExpandSz || type == kRegMultiSz;
        line += HexList(type, text ? Utf8ToUtf16Le(data) : data, line.size(), lineEnd);
    }
    line += EndOfLine(lineEnd);
    return line;
}

long AppendValues(HKey key, std::string* script) {
    std::uint32_t count = 0;
    std::uint32_t longest = 0;
    long rc = QueryInfoKey(key, nullptr, nullptr, &count, &longest);
    std::vector<char> name(longest + 1);
    for (std::uint32_t index = 0; rc == kSuccess && index < count; ++index) {
        std::uint32_t nameSize = longest + 1;
        rc = EnumValue(key, index, name.data(), &nameSize);
        const std::string_view valueName(name.data(), nameSize);
        std::uint32_t type = 0;
        std::uint32_t size = 0;
        if (rc == kSuccess)
            rc = QueryValue(key, valueName, &type, nullptr, &size);
        Bytes data(size);
        if (rc == kSuccess)
            rc = QueryValue(key, valueName, &type, data.data(), &size);
        if (rc == kSuccess)
            *script += ValueLine(valueName, type, data, LineEnd::kLf);
    }
    return rc;
}

long AppendKeyTree(HKey key, const std::string& fullName, std::string* script) {
    *script += KeyLine(fullName);
    long rc = AppendValues(key, script);
    *script += '\n';
    std::uint32_t longest = 0;
    if (rc == kSuccess)
        rc = QueryInfoKey(key, nullptr, &longest, nullptr, nullptr);
    std::vector<char> name(longest + 1);
    for (std::uint32_t index = 0; rc == kSuccess; ++index) {
        rc = EnumKey(key, index, name.data(), longest + 1);
        if (rc == kNoMoreItems)
            return kSuccess;
        HKey child = 0;
        if (rc == kSuccess)
            rc = OpenKey(key, name.data(), kKeyQueryValue | kKeyEnumerateSubKeys, &child);
        if (rc == kSuccess) {
            rc = AppendKeyTree(child, fullName + '\\' + name.data(), script);
            CloseKey(child);
        }
    }
    return rc;
}

}  // namespace

std::string ScriptHeader(LineEnd lineEnd) {
    std::string header = "Windows Registry Editor Version 5.00";
    header += EndOfLine(lineEnd);
    header += EndOfLine(lineEnd);
    return header;
}

std::string KeyLine(std::string_view fullName, LineEnd lineEnd) {
    std::string line = "[";
    line += fullName;
    line += ']';
    line += EndOfLine(lineEnd);
    return line;
}

std::string TextValueLine(std::string_view name, std::string_view text, LineEnd lineEnd) {
    Bytes data(text.begin(), text.end());
    data.push_back(0);
    return ValueLine(name, kRegSz, data, lineEnd);
}

long ExportKey(HKey root, std::string_view path, std::string* script) {
    while (path.ends_with('\\')) path.remove_suffix(1);
    // One state of the hive for the whole walk: another program's import or
    // deletion shows entirely or not at all, and no key vanishes half-way.
    ReadTransaction read;
    HKey key = 0;
    long rc = OpenKey(root, path, kKeyQueryValue | kKeyEnumerateSubKeys, &key);
    if (rc != kSuccess)
        return rc;
    std::string fullName = RootName(root);
    if (!path.empty())
        fullName += '\\' + std::string(path);
    *script = ScriptHeader();
    rc = AppendKeyTree(key, fullName, script);
    CloseKey(key);
    return rc;
}

long ExportHive(std::string* script) {
    ReadTransaction read;  // one state of the hive, as for ExportKey
    *script = ScriptHeader();
    for (const HKey root : {kClassesRoot, kCurrentUser, kLocalMachine, kUsers}) {
        std::uint32_t subKeys = 0;
        std::uint32_t values = 0;
        long rc = QueryInfoKey(root, &subKeys, nullptr, &values, nullptr);
        if (rc == kSuccess && subKeys + values > 0)
            rc = AppendKeyTree(root, RootName(root), script);
        if (rc != kSuccess)
            return rc;
    }
    return kSuccess;
}

}  // namespace snapwire::reg
