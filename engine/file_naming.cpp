#include "engine/file_naming.h"

#include "accounts/date_tokens.h"
#include "settings_store/c_registry.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"

#include <QRegularExpression>
#include <limits>

namespace snapwire::upload {

namespace {

const QString kRemoteCounterName = QStringLiteral("KeepNrUpload");
const QString kLocalCounterName = QStringLiteral("KeepNrUploadLocal");
// The numbered scheme names its pictures as JPEG files whatever the extension box says.
const QString kNumberedExtension = QStringLiteral(".jpg");

// A stored counter: empty or missing is 1; otherwise the whole text must be a
// number that fits a counter.
std::optional<std::int32_t> StoredCounter(const QString& text) {
    if (text.isEmpty())
        return 1;
    const std::optional<double> number = ParseNumberText(text);
    if (!number)
        return std::nullopt;
    const std::int64_t whole = RoundHalfEven(*number);
    if (whole < std::numeric_limits<std::int32_t>::min() || whole > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(whole);
}

// Reads both counters, remote first; the first that cannot be read ends the
// reading and leaves itself and the rest as they were.
void ReadCounters(const QString& accountName, NumberingCounters& counters) {
    if (accountName.isEmpty())
        return;
    try {
        const std::optional<std::int32_t> remote =
            StoredCounter(ReadSetting(accountName, kRemoteCounterName));
        if (!remote)
            return;
        counters.KeepNrUpload = *remote;
        const std::optional<std::int32_t> local = StoredCounter(ReadSetting(accountName, kLocalCounterName));
        if (!local)
            return;
        counters.KeepNrUploadLocal = *local;
    } catch (const RegistryError&) {
        // The counters keep the values of the previous cycle.
    }
}

void WriteCounters(const QString& accountName, const NumberingCounters& counters) {
    if (accountName.isEmpty())
        return;
    try {
        WriteSetting(accountName, kRemoteCounterName, SettingValue(IntText(counters.KeepNrUpload)));
        WriteSetting(accountName, kLocalCounterName, SettingValue(IntText(counters.KeepNrUploadLocal)));
    } catch (const RegistryError&) {
        // The next cycle reads what was stored; nothing more can be done here.
    }
}

// Keep-only-N: a counter past N starts again at 1. A count that is not a number
// reads as 0, so such a box numbers every picture 1.
void WrapToKeepCount(std::int32_t& counter, bool keepOnlyN, const QString& countText) {
    if (keepOnlyN && counter > LeadingInteger(countText))
        counter = 1;
}

void Advance(std::int32_t& counter) {
    if (counter >= kHighestPictureNumber)
        counter = 0;
    ++counter;
}

QString NumberedName(const QString& baseName, std::int32_t number) {
    return baseName + QString::number(number) + kNumberedExtension;
}

void NameNumbered(const NamingSettings& settings, const QString& accountName, NumberingCounters& counters,
                  UploadNames& names) {
    ReadCounters(accountName, counters);
    WrapToKeepCount(counters.KeepNrUpload, settings.keepRemote, settings.keepRemoteCount);
    names.RemoteName = NumberedName(settings.baseName, counters.KeepNrUpload);
    WrapToKeepCount(counters.KeepNrUploadLocal, settings.keepLocal, settings.keepLocalCount);
    names.LocalName = NumberedName(settings.baseName, counters.KeepNrUploadLocal);
    Advance(counters.KeepNrUpload);
    Advance(counters.KeepNrUploadLocal);
    WriteCounters(accountName, counters);
}

}  // namespace

QString RemoteFolderFor(const QString& folderText) {
    return folderText.isEmpty() ? QString() : folderText + QLatin1Char('/');
}

QString LocalFolderFor(const QString& folderText) {
    return folderText + QLatin1Char('/');
}

QString RemotePath(const QString& remoteFolder, const QString& name) {
    QString path = remoteFolder + name;
    static const QRegularExpression doubledSlashes(QStringLiteral("/{2,}"));
    return path.replace(doubledSlashes, QStringLiteral("/"));
}

UploadNames MakeUploadNames(const NamingSettings& settings, const QString& accountName,
                            NumberingCounters& counters) {
    UploadNames names;
    names.RemoteFolder = RemoteFolderFor(settings.remoteFolderText);
    names.LocalFolder = LocalFolderFor(settings.localFolderText);
    switch (settings.scheme) {
        case NamingScheme::Disabled:
            names.RemoteName = settings.baseName + settings.extension;
            names.LocalName = names.RemoteName;
            break;
        case NamingScheme::Custom:
            names.RemoteName =
                accounts::UniqueFileNameFor(settings.customFormat, settings.baseName, settings.extension);
            names.LocalName = names.RemoteName;
            break;
        case NamingScheme::Numbered:
            NameNumbered(settings, accountName, counters, names);
            break;
    }
    return names;
}

bool IsSafeLocalFileName(const QString& name) {
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String(".."))
        return false;
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QChar(QChar::Null));
}

std::optional<QString> LocalCopyPath(const QString& localFolderText, const QString& name) {
    if (localFolderText.trimmed().isEmpty() || !IsSafeLocalFileName(name))
        return std::nullopt;
    return LocalFolderFor(localFolderText) + name;
}

}  // namespace snapwire::upload
