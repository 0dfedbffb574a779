#include "platform/registry/regfile.h"

#include <QString>
#include <QStringDecoder>

#include <optional>
#include <utility>
#include <vector>

namespace snapwire::reg {
namespace {

constexpr std::string_view kVersion5Header = "Windows Registry Editor Version 5.00";
constexpr std::string_view kVersion4Header = "REGEDIT4";

struct RootSpelling {
    HKey root;
    std::string_view longName;
    std::string_view shortName;
};

constexpr RootSpelling kRoots[] = {
    {kClassesRoot, "HKEY_CLASSES_ROOT", "HKCR"},
    {kCurrentUser, "HKEY_CURRENT_USER", "HKCU"},
    {kLocalMachine, "HKEY_LOCAL_MACHINE", "HKLM"},
    {kUsers, "HKEY_USERS", "HKU"},
};

bool SameAscii(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

bool StartsWithAscii(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && SameAscii(text.substr(0, prefix.size()), prefix);
}

std::string_view Trim(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string ToStd(const QString& text) {
    return text.toStdString();
}

// Plain hexadecimal digits only: no sign, prefix or blanks.
std::optional<std::uint32_t> HexNumber(std::string_view digits, size_t maxDigits) {
    if (digits.empty() || digits.size() > maxDigits)
        return std::nullopt;
    std::uint32_t number = 0;
    for (const char c : digits) {
        int digit = -1;
        if (c >= '0' && c <= '9')
            digit = c - '0';
        else if (c >= 'a' && c <= 'f')
            digit = c - 'a' + 10;
        else if (c >= 'A' && c <= 'F')
            digit = c - 'A' + 10;
        if (digit < 0)
            return std::nullopt;
        number = number * 16 + static_cast<std::uint32_t>(digit);
    }
    return number;
}

// ---- Decoding the file

struct DecodedScript {
    std::string text;
    std::string error;
};

std::optional<std::string> Utf8OrNothing(std::string_view bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError())
        return std::nullopt;
    return std::string(bytes);
}

// 8-bit text: UTF-8 when it is valid, otherwise Latin-1.
std::string EightBitToUtf8(std::string_view bytes) {
    if (auto utf8 = Utf8OrNothing(bytes))
        return *utf8;
    return ToStd(QString::fromLatin1(bytes.data(), static_cast<qsizetype>(bytes.size())));
}

std::string Utf16LeToUtf8(std::string_view bytes) {
    std::u16string units(bytes.size() / 2, u'\0');
    for (size_t i = 0; i < units.size(); ++i)
        units[i] = static_cast<char16_t>(static_cast<unsigned char>(bytes[2 * i]) |
                                         static_cast<unsigned char>(bytes[2 * i + 1]) << 8);
    return ToStd(QString::fromUtf16(units.data(), static_cast<qsizetype>(units.size())));
}

DecodedScript DecodeScript(std::string_view bytes) {
    if (bytes.starts_with("\xFF\xFE")) {
        bytes.remove_prefix(2);
        if (bytes.size() % 2 != 0)
            return {{}, "the file is not valid UTF-16 text (odd number of bytes)"};
        return {Utf16LeToUtf8(bytes), {}};
    }
    if (bytes.starts_with("\xEF\xBB\xBF")) {
        bytes.remove_prefix(3);
        if (auto utf8 = Utf8OrNothing(bytes))
            return {*utf8, {}};
        return {{}, "the file starts with a UTF-8 mark but is not valid UTF-8 text"};
    }
    return {EightBitToUtf8(bytes), {}};
}

std::vector<std::string_view> SplitLines(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r')
            line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos)
            break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

// ---- Parsing

enum class Action { CreateKey, DeleteKeyTree, SetValue, DeleteValue };

struct Operation {
    int line = 0;
    Action action = Action::CreateKey;
    HKey root = kLocalMachine;
    std::string path;
    std::string name;
    std::uint32_t type = kRegNone;
    std::vector<std::uint8_t> data;
};

struct ParseError {
    int line;
    std::string message;
};

class ScriptParser {
  public:
    ScriptParser(std::vector<std::string_view> lines, bool utf16Strings)
        : lines_(std::move(lines)), utf16Strings_(utf16Strings) {}

    std::optional<ParseError> Parse(std::vector<Operation>* operations);

  private:
    std::optional<ParseError> ParseSection(std::string_view line);
    std::optional<ParseError> ParseValue(std::string_view line);
    std::optional<ParseError> ParseData(std::string_view data, Operation* op);
    std::optional<ParseError> ParseHexList(std::string_view list, Operation* op);
    // Joins the lines a hex list continues onto with a trailing "\".
    std::string JoinContinuedLines(std::string_view data);
    ParseError Error(std::string message) const { return {lineNumber_, std::move(message)}; }

    std::vector<std::string_view> lines_;
    bool utf16Strings_;
    size_t index_ = 0;
    int lineNumber_ = 0;
    bool inSection_ = false;
    bool sectionDeleted_ = false;
    HKey root_ = kLocalMachine;
    std::string path_;
    std::vector<Operation>* operations_ = nullptr;
};

bool HasOverlongKeyName(std::string_view path) {
    while (true) {
        const size_t slash = path.find('\\');
        if (NameLength(path.substr(0, slash)) > kMaxKeyNameLength)
            return true;
        if (slash == std::string_view::npos)
            return false;
        path.remove_prefix(slash + 1);
    }
}

// Reads a double-quoted string at the start of `text`; `text` keeps what follows it.
std::optional<std::string> TakeQuoted(std::string_view* text, std::string* error) {
    std::string result;
    size_t i = 1;
    for (; i < text->size(); ++i) {
        const char c = (*text)[i];
        if (c == '"')
            break;
        if (c == '\\') {
            if (i + 1 >= text->size() || ((*text)[i + 1] != '\\' && (*text)[i + 1] != '"')) {
                *error = "unknown escape in a quoted string (only \\\\ and \\\" are allowed)";
                return std::nullopt;
            }
            ++i;
        }
        result.push_back((*text)[i]);
    }
    if (i >= text->size()) {
        *error = "a quoted string has no closing quote";
        return std::nullopt;
    }
    text->remove_prefix(i + 1);
    return result;
}

std::optional<ParseError> ScriptParser::Parse(std::vector<Operation>* operations) {
    operations_ = operations;
    for (index_ = 1; index_ < lines_.size(); ++index_) {
        lineNumber_ = static_cast<int>(index_) + 1;
        const std::string_view line = Trim(lines_[index_]);
        std::optional<ParseError> error;
        if (line.empty() || line.front() == ';')
            continue;
        if (line.front() == '[')
            error = ParseSection(line);
        else if (line.front() == '"' || line.front() == '@')
            error = ParseValue(line);
        else
            error = Error("unexpected text; expected a [key] line, a value line or a ; comment");
        if (error)
            return error;
    }
    return std::nullopt;
}

std::optional<ParseError> ScriptParser::ParseSection(std::string_view line) {
    if (line.back() != ']')
        return Error("a key line must end with \"]\"");
    std::string_view key = line.substr(1, line.size() - 2);
    const bool deleting = key.starts_with('-');
    if (deleting)
        key.remove_prefix(1);
    if (!ParseKeyPath(key, &root_, &path_))
        return Error("unknown root key in \"" + std::string(key) + "\"");
    while (path_.ends_with('\\')) path_.pop_back();
    if (deleting && path_.empty())
        return Error("a whole root key cannot be deleted");
    if (path_.find("\\\\") != std::string::npos || path_.starts_with('\\'))
        return Error("empty key name in \"" + std::string(key) + "\"");
    if (!deleting && HasOverlongKeyName(path_))
        return Error("a key name in \"" + std::string(key) + "\" is longer than " +
                     std::to_string(kMaxKeyNameLength) + " characters");
    inSection_ = true;
    sectionDeleted_ = deleting;
    Operation op;
    op.line = lineNumber_;
    op.action = deleting ? Action::DeleteKeyTree : Action::CreateKey;
    op.root = root_;
    op.path = path_;
    operations_->push_back(std::move(op));
    return std::nullopt;
}

std::optional<ParseError> ScriptParser::ParseValue(std::string_view line) {
    if (!inSection_)
        return Error("a value line before the first [key] line");
    if (sectionDeleted_)
        return Error("a value line below a deleted key");
    Operation op;
    op.line = lineNumber_;
    op.root = root_;
    op.path = path_;
    std::string_view rest = line;
    if (rest.front() == '@') {
        rest.remove_prefix(1);
    } else {
        std::string problem;
        auto name = TakeQuoted(&rest, &problem);
        if (!name)
            return Error(problem);
        op.name = std::move(*name);
    }
    rest = Trim(rest);
    if (!rest.starts_with('='))
        return Error("expected \"=\" after the value name");
    rest = Trim(rest.substr(1));
    if (auto error = ParseData(rest, &op))
        return error;
    operations_->push_back(std::move(op));
    return std::nullopt;
}

std::optional<ParseError> ScriptParser::ParseData(std::string_view data, Operation* op) {
    if (data == "-") {
        op->action = Action::DeleteValue;
        return std::nullopt;
    }
    op->action = Action::SetValue;
    if (data.starts_with('"')) {
        std::string problem;
        auto text = TakeQuoted(&data, &problem);
        if (!text)
            return Error(problem);
        if (!Trim(data).empty())
            return Error("unexpected text after the closing quote");
        op->type = kRegSz;
        op->data.assign(text->begin(), text->end());
        op->data.push_back(0);
        return std::nullopt;
    }
    if (StartsWithAscii(data, "dword:")) {
        const auto number = HexNumber(data.substr(6), 8);
        if (!number)
            return Error("a dword needs 1 to 8 hexadecimal digits");
        op->type = kRegDword;
        for (int shift = 0; shift < 32; shift += 8)
            op->data.push_back(static_cast<std::uint8_t>(*number >> shift));
        return std::nullopt;
    }
    if (StartsWithAscii(data, "hex:")) {
        op->type = kRegBinary;
        return ParseHexList(JoinContinuedLines(data.substr(4)), op);
    }
    if (StartsWithAscii(data, "hex(")) {
        const size_t close = data.find("):");
        const auto type =
            close == std::string_view::npos ? std::nullopt : HexNumber(data.substr(4, close - 4), 8);
        if (!type)
            return Error("a hex(type) needs a hexadecimal type number");
        op->type = *type;
        return ParseHexList(JoinContinuedLines(data.substr(close + 2)), op);
    }
    return Error("unknown value data; expected \"text\", dword:, hex:, hex(type): or -");
}

std::string ScriptParser::JoinContinuedLines(std::string_view data) {
    std::string joined(Trim(data));
    while (joined.ends_with('\\') && index_ + 1 < lines_.size()) {
        joined.pop_back();
        joined += Trim(lines_[++index_]);
    }
    return joined;
}

std::optional<ParseError> ScriptParser::ParseHexList(std::string_view list, Operation* op) {
    std::vector<std::uint8_t> bytes;
    list = Trim(list);
    while (!list.empty()) {
        const size_t comma = list.find(',');
        const std::string_view item = Trim(list.substr(0, comma));
        const auto number = HexNumber(item, 2);
        if (!number)
            return Error("\"" + std::string(item) + "\" is not a hexadecimal byte");
        bytes.push_back(static_cast<std::uint8_t>(*number));
        if (comma == std::string_view::npos)
            break;
        list.remove_prefix(comma + 1);
        if (Trim(list).empty())
            break;  // a trailing comma
    }
    const bool text = op->type == kRegSz || op->type == kRegExpandSz || op->type == kRegMultiSz;
    if (!text) {
        op->data = std::move(bytes);
        return std::nullopt;
    }
    // Text types are UTF-16LE in version 5 files and 8-bit in REGEDIT4 files; the
    // hive keeps UTF-8 with the zeros where they were.
    const std::string_view raw(reinterpret_cast<const char*>(bytes.data()), bytes.size());
    if (utf16Strings_ && raw.size() % 2 != 0)
        return Error("text data in UTF-16 needs an even number of bytes");
    const std::string utf8 = utf16Strings_ ? Utf16LeToUtf8(raw) : EightBitToUtf8(raw);
    op->data.assign(utf8.begin(), utf8.end());
    return std::nullopt;
}

// ---- Applying

long ApplyInKey(const Operation& op) {
    HKey key = 0;
    long rc = CreateKey(op.root, op.path, &key);
    if (rc != kSuccess || op.action == Action::CreateKey)
        return rc;
    if (op.action == Action::SetValue)
        rc = SetValue(key, op.name, op.type, op.data.data(), static_cast<std::uint32_t>(op.data.size()));
    else if (rc = DeleteValue(key, op.name); rc == kFileNotFound)
        rc = kSuccess;  // a value already gone is what was asked for
    CloseKey(key);
    return rc;
}

long Apply(const Operation& op) {
    if (op.action != Action::DeleteKeyTree)
        return ApplyInKey(op);
    const long rc = DeleteKeyTree(op.root, op.path);
    return rc == kFileNotFound ? kSuccess : rc;
}

ScriptResult ApplyAll(const std::vector<Operation>& operations) {
    ScriptResult result;
    long failure = kHiveFailure;
    const bool applied = InTransaction(
        [&] {
            for (const Operation& op : operations) {
                const long rc = Apply(op);
                if (rc != kSuccess) {
                    result = {op.line,
                              "the settings hive could not be written (error " + std::to_string(rc) + ")"};
                    return false;
                }
            }
            return true;
        },
        &failure);
    if (!applied && result.ok())
        result = {0, failure == kHiveInUse ? "another program is using the settings"
                                           : "the settings hive could not be written"};
    return result;
}

ScriptResult ParseScript(std::string_view bytes, std::vector<Operation>* operations) {
    const DecodedScript decoded = DecodeScript(bytes);
    if (!decoded.error.empty())
        return {0, decoded.error};
    std::vector<std::string_view> lines = SplitLines(decoded.text);
    const std::string_view header = lines.empty() ? std::string_view() : Trim(lines.front());
    if (header != kVersion5Header && header != kVersion4Header)
        return {1, "not a registry script: the first line must be \"" + std::string(kVersion5Header) +
                       "\" or \"" + std::string(kVersion4Header) + "\""};
    ScriptParser parser(std::move(lines), header == kVersion5Header);
    if (const auto error = parser.Parse(operations))
        return {error->line, error->message};
    return {};
}

}  // namespace

bool ParseKeyPath(std::string_view text, HKey* root, std::string* path) {
    const size_t slash = text.find('\\');
    const std::string_view rootName = text.substr(0, slash);
    for (const RootSpelling& spelling : kRoots) {
        if (SameAscii(rootName, spelling.longName) || SameAscii(rootName, spelling.shortName)) {
            *root = spelling.root;
            *path = slash == std::string_view::npos ? std::string() : std::string(text.substr(slash + 1));
            return true;
        }
    }
    return false;
}

std::string RootName(HKey root) {
    for (const RootSpelling& spelling : kRoots)
        if (spelling.root == root)
            return std::string(spelling.longName);
    return {};
}

ScriptResult ImportScript(std::string_view bytes) {
    std::vector<Operation> operations;
    const ScriptResult parsed = ParseScript(bytes, &operations);
    return parsed.ok() ? ApplyAll(operations) : parsed;
}

ScriptResult CheckScript(std::string_view bytes) {
    std::vector<Operation> operations;
    return ParseScript(bytes, &operations);
}

}  // namespace snapwire::reg
