#include "platform/paths.h"

#include <QDir>

namespace snapwire::platform {

QString ProgramFolder() {
    QString folder = qEnvironmentVariable("SNAPWIRE_HOME");
    if (folder.isEmpty()) {
        QString dataHome = qEnvironmentVariable("XDG_DATA_HOME");
        if (dataHome.isEmpty())
            dataHome = QDir::homePath() + QStringLiteral("/.local/share");
        folder = dataHome + QStringLiteral("/snapwire");
    }
    folder = QDir::cleanPath(folder);
    QDir().mkpath(folder);
    return folder;
}

QString ProgramFile(const QString& name) {
    return ProgramFolder() + QLatin1Char('/') + name;
}

}  // namespace snapwire::platform
