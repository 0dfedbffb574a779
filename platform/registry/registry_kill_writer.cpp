// Test helper: writes numbered values into a hive until it is killed, and
// reports each number on standard output once its write has returned.
//   registry_kill_writer HIVE FIRST
// Value "v<n>" of key "Software\Snapwire\Kill\K<n % 7>" holds the text "<n>".

#include "platform/registry/registry.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

int main(int argc, char** argv) {
    using namespace snapwire::reg;
    if (argc != 3)
        return 2;
    UseHiveFile(argv[1]);
    for (long n = std::atol(argv[2]);; ++n) {
        const std::string data = std::to_string(n);
        HKey key = 0;
        const std::string path = "Software\\Snapwire\\Kill\\K" + std::to_string(n % 7);
        if (CreateKey(kLocalMachine, path, &key) != kSuccess)
            return 1;
        const long rc = SetValue(key, "v" + data, kRegSz, reinterpret_cast<const std::uint8_t*>(data.c_str()),
                                 static_cast<std::uint32_t>(data.size() + 1));
        CloseKey(key);
        if (rc != kSuccess)
            return 1;
        const std::string report = data + "\n";
        if (::write(STDOUT_FILENO, report.data(), report.size()) != static_cast<ssize_t>(report.size()))
            return 1;
    }
}
