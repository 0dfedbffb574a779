#pragma once

// Registry-editor scripts: reading one into the hive and writing keys out as one.
// The written form is "Windows Registry Editor Version 5.00" in UTF-8 with "\n"
// line ends; the reader also takes the UTF-16LE files Windows writes and "REGEDIT4".

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

// The key `path` below `root` with its values and every key below it, as a
// complete script. kFileNotFound when the key does not exist.
long ExportKey(HKey root, std::string_view path, std::string* script);
// Every root that holds a value or a key.
long ExportHive(std::string* script);

// "HKEY_LOCAL_MACHINE\Software\Snapwire" or "HKLM\Software\Snapwire" (any case)
// into the root and the path below it; false when the text names no root.
bool ParseKeyPath(std::string_view text, HKey* root, std::string* path);
// "HKEY_LOCAL_MACHINE" and so on; empty for a handle that is no root.
std::string RootName(HKey root);

}  // namespace snapwire::reg
