#pragma once

// The version probe behind the visual-style option: the option is offered only
// when the name is "Windows XP" or "Failed".

#include <QString>
#include <cstdint>

namespace snapwire {

// The version record the probe fills; it stays all zero where the system has
// no such record to give.
struct OsVersionInfo {
    std::uint32_t majorVersion = 0;
    std::uint32_t minorVersion = 0;
    std::uint32_t buildNumber = 0;
    std::uint32_t platformId = 0;  // 1: the 95 family, 2: the NT family
};

QString WindowsVersionName(const OsVersionInfo& info);

// The name of the running system version; on this platform the record stays
// empty, so it is "Failed".
QString GetWindowsVersionName();

}  // namespace snapwire
