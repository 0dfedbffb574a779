#pragma once

// Registry-editor scripts: reading one into the hive and writing keys out as one.
// The written form is "Windows Registry Editor Version 5.00" in UTF-8 with "\n"
// line ends (CR LF on request); the reader takes either line end, and also the
// UTF-16LE files Windows writes and "REGEDIT4".

#include "platform/registry/registry.h"

#include <string>
#include <string_view>

namespace snapwire::reg {

struct ScriptResult {
    int line = 0;       // 1-based line the error refers to; 0 for the file as a whole
    std::string error;  // empty on success
    bool ok() const { return error.empty(); }
};

// Parses the whole script first and then applies it as one transaction: a
// malformed line, or a write that fails, leaves the hive as it was.
ScriptResult ImportScript(std::string_view bytes);
// What ImportScript would refuse before it writes, without opening the hive.
ScriptResult CheckScript(std::string_view bytes);

// The key `path` below `root` with its values and every key below it, as a
// complete script. kFileNotFound when the key does not exist.
long ExportKey(HKey root, std::string_view path, std::string* script);
// Every root that holds a value or a key.
long ExportHive(std::string* script);

// The pieces of a script, for writers that walk the keys themselves and write every
// value as text.
enum class LineEnd { kLf, kCrLf };
// The header line and the empty line after it.
std::string ScriptHeader(LineEnd lineEnd = LineEnd::kLf);
// "[HKEY_LOCAL_MACHINE\Software\Snapwire]" and its line end.
std::string KeyLine(std::string_view fullName, LineEnd lineEnd = LineEnd::kLf);
// A string value: "name"="text" with the format's escapes; an empty name is the
// key's default value (@). A text that cannot stand on one line (a line break, a
// zero) becomes hex(1), which reads back as the same string.
std::string TextValueLine(std::string_view name, std::string_view text, LineEnd lineEnd = LineEnd::kLf);

// "HKEY_LOCAL_MACHINE\Software\Snapwire" or "HKLM\Software\Snapwire" (any case)
// into the root and the path below it; false when the text names no root.
bool ParseKeyPath(std::string_view text, HKey* root, std::string* path);
// "HKEY_LOCAL_MACHINE" and so on; empty for a handle that is no root.
std::string RootName(HKey root);

}  // namespace snapwire::reg
