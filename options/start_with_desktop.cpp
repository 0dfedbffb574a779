#include "options/start_with_desktop.h"

#include "platform/paths.h"
#include "settings_store/c_registry.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStringList>
#include <algorithm>

namespace snapwire::options {

namespace {

cRegistry RunValue() {
    cRegistry reg;
    reg.SetClassKey(HKEY_LOCAL_MACHINE);
    reg.SetSectionKey(QString::fromLatin1(kRunKey));
    reg.SetValueType(REG_SZ);
    reg.SetValueKey(QString::fromLatin1(kRunValueName));
    return reg;
}

bool NeedsQuoting(QChar c) {
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    return reserved.contains(c);
}

// Inside a quoted argument these four keep their literal meaning only behind a backslash.
QString QuotedArgument(const QString& argument) {
    QString quoted = QStringLiteral("\"");
    for (QChar c : argument) {
        if (c == u'"' || c == u'`' || c == u'$' || c == u'\\')
            quoted += u'\\';
        quoted += c;
    }
    return quoted + u'"';
}

QString ExecArgument(const QString& argument) {
    const bool plain = !argument.isEmpty() && std::none_of(argument.begin(), argument.end(), NeedsQuoting);
    QString encoded = plain ? argument : QuotedArgument(argument);
    // A lone "%" would be read as a field code.
    encoded.replace(u'%', QStringLiteral("%%"));
    return encoded;
}

// The general string-value escapes, which a reader undoes before it splits the command line.
QString EscapedStringValue(const QString& text) {
    QString escaped;
    for (QChar c : text) {
        switch (c.unicode()) {
            case '\\':
                escaped += QStringLiteral("\\\\");
                break;
            case '\n':
                escaped += QStringLiteral("\\n");
                break;
            case '\t':
                escaped += QStringLiteral("\\t");
                break;
            case '\r':
                escaped += QStringLiteral("\\r");
                break;
            default:
                escaped += c;
        }
    }
    return escaped;
}

}  // namespace

QString RunValueData() {
    return platform::ProgramFolder() + QStringLiteral("/Snapwire.exe");
}

QString AutostartEntryPath() {
    QString configHome = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (configHome.isEmpty() || !QDir::isAbsolutePath(configHome))
        configHome = QDir::homePath() + QStringLiteral("/.config");
    return configHome + QStringLiteral("/autostart/snapwire.desktop");
}

QString DesktopExecValue(const QString& executable, const QString& programFolder) {
    // The program finds its folder and hive through the environment; the session
    // starter's environment knows nothing of the folder it runs with now. With env
    // first, readers built on GIO look up env, not the program under its still-escaped
    // name ("%%"), and leave the program's path to the field-code expansion.
    const QStringList arguments{QStringLiteral("/usr/bin/env"),
                                QStringLiteral("SNAPWIRE_HOME=") + programFolder, executable};
    QStringList encoded;
    for (const QString& argument : arguments) encoded << ExecArgument(argument);
    return EscapedStringValue(encoded.join(u' '));
}

bool WriteAutostartEntry(const QString& executable) {
    const QString path = AutostartEntryPath();
    if (!QDir().mkpath(QFileInfo(path).absolutePath()))
        return false;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    const QString entry = QStringLiteral(
                              "[Desktop Entry]\n"
                              "Type=Application\n"
                              "Name=Snapwire\n"
                              "Comment=Webcam picture publisher\n"
                              "Exec=%1\n"
                              "Terminal=false\n"
                              "X-GNOME-Autostart-enabled=true\n")
                              .arg(DesktopExecValue(executable, platform::ProgramFolder()));
    file.write(entry.toUtf8());
    return file.commit();
}

void RemoveAutostartEntry() {
    QFile::remove(AutostartEntryPath());
}

void UpdateStartWithDesktop(bool autostart, const QString& executable) {
    cRegistry reg = RunValue();
    try {
        if (autostart) {
            reg.SetValue(SettingValue(RunValueData()));
            WriteAutostartEntry(executable);
            return;
        }
        if (reg.Value().ToText().isEmpty())
            return;
        reg.DeleteValue();
        RemoveAutostartEntry();
    } catch (const RegistryError&) {
        // Without rights to the key the entry stays as it was; nothing is reported.
    }
}

}  // namespace snapwire::options
