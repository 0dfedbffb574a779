// File > Export Settings: the configuration as a registry-editor script.

#include "engine/config_export.h"

#include <QRegularExpression>
#include <QSaveFile>
#include <string>

#include "engine/frm_main.h"
#include "platform/paths.h"
#include "platform/registry/regfile.h"
#include "platform/ui/message_box.h"
#include "settings_store/c_registry.h"
#include "settings_store/program_settings.h"

namespace snapwire {

namespace config {

namespace {

using reg::LineEnd;

constexpr const char* kEmptyLine = "\r\n";
constexpr const char* kScriptRoot = "HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire";
// Accounts, their "Font" and "Additional Text" keys, and the numbered texts.
constexpr int kDeepestLevel = 3;

std::string Utf8(const QString& text) {
    return text.toUtf8().toStdString();
}

QString ChildSection(const QString& section, const QString& name) {
    return section.isEmpty() ? name : section + QLatin1Char('\\') + name;
}

void AppendValues(cRegistry& store, std::string& script) {
    OneBasedArray<QString> names;
    std::int32_t count = 0;
    store.EnumerateValues(names, count);
    for (int i = 1; i <= count; ++i) {
        store.SetValueKey(names[i]);
        store.SetValueType(REG_SZ);
        script += reg::TextValueLine(Utf8(names[i]), Utf8(store.Value().ToText()), LineEnd::kCrLf);
    }
}

// The key's values, then each of its keys after an empty line, depth first.
void AppendKey(cRegistry& store, const QString& section, int level, std::string& script) {
    store.SetSectionKey(ProgramSectionKey(section));
    AppendValues(store, script);
    if (level == kDeepestLevel)
        return;
    OneBasedArray<QString> names;
    std::int32_t count = 0;
    store.EnumerateSections(names, count);
    for (int i = 1; i <= count; ++i) {
        const QString child = ChildSection(section, names[i]);
        script += kEmptyLine;
        script +=
            reg::KeyLine(Utf8(QString::fromLatin1(kScriptRoot) + QLatin1Char('\\') + child), LineEnd::kCrLf);
        AppendKey(store, child, level + 1, script);
    }
}

}  // namespace

QByteArray ConfigurationScript() {
    // One state of the settings for the whole file, whatever another program writes meanwhile.
    const reg::ReadTransaction read;
    cRegistry store;
    store.SetClassKey(HKEY_LOCAL_MACHINE);
    std::string script = reg::ScriptHeader(LineEnd::kCrLf);
    script += reg::KeyLine(kScriptRoot, LineEnd::kCrLf);
    AppendKey(store, QString(), 0, script);
    script += kEmptyLine;
    // The hive holds UTF-8, which is also this system's 8-bit code page.
    return QByteArray::fromStdString(script);
}

QString ImportInstruction(const QString& path) {
    static const QRegularExpression plain(QStringLiteral("^[A-Za-z0-9_/.,:@%+=-]+$"));
    QString argument = path;
    if (!plain.match(path).hasMatch())
        argument = QLatin1Char('\'') + QString(path).replace(QLatin1Char('\''), QStringLiteral("'\\''")) +
                   QLatin1Char('\'');
    return QStringLiteral("To import it to Snapwire, run: snapwire-reg import ") + argument;
}

QString ExportConfiguration(const QString& path) {
    QByteArray script;
    try {
        script = ConfigurationScript();
    } catch (const RegistryError& failure) {
        return failure.Description();
    }
    QSaveFile file(path);
    // The script holds the FTP passwords as plain text: only its owner may read it,
    // also where it replaces a file that others could read.
    if (!file.open(QIODevice::WriteOnly) ||
        !file.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner) ||
        file.write(script) != script.size() || !file.commit())
        return file.errorString();
    return QString();
}

}  // namespace config

void frmMain::mnuExport_Click() {
    const QString path = platform::ProgramFile(QString::fromLatin1(config::kExportFileName));
    const QString failure = config::ExportConfiguration(path);
    if (!failure.isEmpty()) {
        ui::MsgBox(QStringLiteral("The configuration could not be exported to ") + path +
                       QStringLiteral(":\r\n") + failure,
                   ui::vbCritical + ui::vbOKOnly);
        return;
    }
    ui::MsgBox(QStringLiteral("All your Configuration have been exported to a registry file\r\n(") + path +
                   QStringLiteral(").\r\n") + config::ImportInstruction(path),
               ui::vbInformation + ui::vbOKOnly);
}

}  // namespace snapwire
