#include "windows/program_version.h"

namespace snapwire {

QString VersionText(int major, int minor, int revision) {
    return QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(revision);
}

QString ProgramVersionText() {
    // The project's version, handed over by the build.
    return VersionText(SNAPWIRE_VERSION_MAJOR, SNAPWIRE_VERSION_MINOR, SNAPWIRE_VERSION_PATCH);
}

}  // namespace snapwire
