#include "engine/windows_version.h"

namespace snapwire {

namespace {

QString NameIn95Family(std::uint32_t minor) {
    switch (minor) {
        case 0:
            return QStringLiteral("Windows 95");
        case 10:
            return QStringLiteral("Windows 98");
        case 90:
            return QStringLiteral("Windows Mellinnium");
        default:
            return QString();
    }
}

QString NameInNtFamily(std::uint32_t major, std::uint32_t minor) {
    switch (major) {
        case 3:
            return QStringLiteral("Windows NT 3.51");
        case 4:
            return QStringLiteral("Windows NT 4.0");
        case 5:
            return minor == 0 ? QStringLiteral("Windows 2000") : QStringLiteral("Windows XP");
        default:
            return QString();
    }
}

}  // namespace

QString WindowsVersionName(const OsVersionInfo& info) {
    switch (info.platformId) {
        case 1:
            return NameIn95Family(info.minorVersion);
        case 2:
            return NameInNtFamily(info.majorVersion, info.minorVersion);
        default:
            return QStringLiteral("Failed");
    }
}

QString GetWindowsVersionName() {
    // There is no version record to ask for here; it stays as it was cleared.
    const OsVersionInfo info;
    return WindowsVersionName(info);
}

}  // namespace snapwire
