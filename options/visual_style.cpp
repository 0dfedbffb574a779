#include "options/visual_style.h"

#include "platform/paths.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QStyleFactory>

namespace snapwire::options {

namespace {

bool IsFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

}  // namespace

QString ActiveStyleMarker() {
    return platform::ProgramFile(QString::fromLatin1(kFileDescription) + QStringLiteral(".manifest"));
}

QString InactiveStyleMarker() {
    return ActiveStyleMarker() + QStringLiteral(".dis");
}

StyleSwitchResult SwitchStyleMarker(bool styleOn) {
    const QString wanted = styleOn ? ActiveStyleMarker() : InactiveStyleMarker();
    const QString other = styleOn ? InactiveStyleMarker() : ActiveStyleMarker();
    if (QFileInfo::exists(wanted))
        return StyleSwitchResult::Unchanged;
    if (IsFile(other))
        return QFile::rename(other, wanted) ? StyleSwitchResult::Renamed : StyleSwitchResult::Unchanged;
    if (QFileInfo::exists(other))
        return StyleSwitchResult::Unchanged;  // a folder of that name: leave it alone
    QFile marker(wanted);
    if (!marker.open(QIODevice::WriteOnly))
        return StyleSwitchResult::Unchanged;
    marker.close();
    return StyleSwitchResult::Created;
}

QString StyleNameForThisRun() {
    return IsFile(ActiveStyleMarker()) ? QStringLiteral("Fusion") : QStringLiteral("Windows");
}

void ApplyVisualStyleAtStartup() {
    if (QStyle* style = QStyleFactory::create(StyleNameForThisRun()))
        QApplication::setStyle(style);
}

}  // namespace snapwire::options
