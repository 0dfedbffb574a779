#include "platform/paths.h"

#include <QDir>
#include <QFileInfo>

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
    if (!QFileInfo::exists(folder)) {
        // The folder holds the hive and the exported configuration, both with the FTP
        // passwords in plain text: only its owner may enter it.
        QDir().mkpath(QFileInfo(folder).absolutePath());
        QDir().mkdir(folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    return folder;
}

QString ProgramFile(const QString& name) {
    return ProgramFolder() + QLatin1Char('/') + name;
}

}  // namespace snapwire::platform
