// snapwire-reg: imports registry-editor scripts into the settings hive and
// exports keys from it, for moving settings between machines and for support.
// The hive is the one the program uses (in the program folder).

#include "platform/registry/hive_file_check.h"
#include "platform/registry/regfile.h"
#include "platform/registry/registry.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>

namespace {

using namespace snapwire;

constexpr const char* kUsage =
    "usage: snapwire-reg import FILE\n"
    "       snapwire-reg export [KEY]\n"
    "KEY is a path such as HKEY_LOCAL_MACHINE\\Software\\Snapwire; without a root key\n"
    "it is taken below HKEY_LOCAL_MACHINE. Without KEY the whole hive is exported.\n";

int Fail(const std::string& message) {
    std::fprintf(stderr, "snapwire-reg: %s\n", message.c_str());
    return 1;
}

int RefuseScript(const char* file, const reg::ScriptResult& result) {
    const std::string where = result.line > 0 ? std::string(file) + ":" + std::to_string(result.line) : file;
    return Fail(where + ": " + result.error + "; nothing was changed");
}

// Opens the hive; what stands in the way, or "". A damaged hive is left for the
// program to keep aside.
std::string HiveProblem() {
    const std::string problem = reg::HiveFileCheckText(reg::HiveFile(), reg::OpenHiveFile());
    return problem.empty() ? problem : problem + " Nothing was changed.";
}

// The script is read and parsed before the hive is opened, which would create it.
int Import(const char* file) {
    std::ifstream in(file, std::ios::binary);
    if (!in)
        return Fail(std::string("cannot read ") + file);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (const reg::ScriptResult parsed = reg::CheckScript(bytes); !parsed.ok())
        return RefuseScript(file, parsed);
    if (const std::string problem = HiveProblem(); !problem.empty())
        return Fail(problem);
    const reg::ScriptResult result = reg::ImportScript(bytes);
    return result.ok() ? 0 : RefuseScript(file, result);
}

int Export(const char* key) {
    std::string script;
    long rc = reg::kSuccess;
    if (!key) {
        rc = reg::ExportHive(&script);
    } else {
        reg::HKey root = reg::kLocalMachine;
        std::string path;
        if (!reg::ParseKeyPath(key, &root, &path))
            path = key;
        rc = reg::ExportKey(root, path, &script);
    }
    if (key && (rc == reg::kFileNotFound || rc == reg::kInvalidParameter))
        return Fail(std::string("no such key: ") + key);
    if (rc != reg::kSuccess)
        return Fail("cannot read the settings hive " + reg::HiveFile() + " (error " + std::to_string(rc) +
                    ")");
    if (std::fwrite(script.data(), 1, script.size(), stdout) != script.size() || std::fflush(stdout) != 0)
        return Fail("cannot write to standard output");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    const std::string command = argc > 1 ? argv[1] : "";
    const bool import = command == "import" && argc == 3;
    if (!import && !(command == "export" && argc <= 3)) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (import)
        return Import(argv[2]);
    if (const std::string problem = HiveProblem(); !problem.empty())
        return Fail(problem);
    return Export(argc == 3 ? argv[2] : nullptr);
}
