#include "settings_store/c_registry.h"

#include <array>
#include <cstring>
#include <string>

namespace snapwire {

namespace {

// Enumerated sub-key names go into a buffer that holds the longest name the hive
// accepts: its characters take at most three bytes each in UTF-8 (a four-byte
// sequence counts as two), and the zero follows.
constexpr std::uint32_t kSectionNameBytes = 3 * reg::kMaxKeyNameLength + 1;
// Most stored values fit; longer ones are read again at their size.
constexpr std::uint32_t kFirstReadSize = 256;

std::string Utf8(const QString& text) {
    return text.toStdString();
}

// Closes an opened key when the scope ends.
class OpenedKey {
  public:
    OpenedKey() = default;
    OpenedKey(const OpenedKey&) = delete;
    OpenedKey& operator=(const OpenedKey&) = delete;
    ~OpenedKey() {
        if (open_)
            reg::CloseKey(key_);
    }

    long Open(reg::HKey root, const QString& path, std::uint32_t access) {
        const long result = reg::OpenKey(root, Utf8(path), access, &key_);
        open_ = result == reg::kSuccess;
        return result;
    }
    long Create(reg::HKey root, const QString& path) {
        const long result = reg::CreateKey(root, Utf8(path), &key_);
        open_ = result == reg::kSuccess;
        return result;
    }
    reg::HKey Get() const { return key_; }

  private:
    reg::HKey key_ = 0;
    bool open_ = false;
};

// The text of REG_SZ data: everything up to its terminating zero byte.
QString TextFromData(const QByteArray& data) {
    const qsizetype length = !data.isEmpty() && data.back() == '\0' ? data.size() - 1 : data.size();
    return QString::fromUtf8(data.constData(), length);
}

std::int32_t Int32FromData(const QByteArray& data) {
    std::array<unsigned char, 4> bytes{};
    std::memcpy(bytes.data(), data.constData(),
                std::min<std::size_t>(4, static_cast<std::size_t>(data.size())));
    const std::uint32_t value =
        bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) | (std::uint32_t{bytes[3]} << 24);
    return static_cast<std::int32_t>(value);
}

QByteArray DataFromInt32(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    QByteArray data(4, '\0');
    for (int i = 0; i < 4; ++i) data[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
    return data;
}

// Environment references need a second "%" at least two positions after the first.
bool NeedsExpandableType(const QString& text) {
    const qsizetype first = text.indexOf(QLatin1Char('%'));
    return first >= 0 && text.indexOf(QLatin1Char('%'), first + 2) >= 0;
}

// Reads a value's type and data; false when the value or its key cannot be read.
bool QueryValueData(reg::HKey root, const std::string& path, const std::string& name, std::uint32_t& type,
                    QByteArray& data) {
    data.resize(kFirstReadSize);
    for (int attempt = 0; attempt < 3; ++attempt) {
        auto size = static_cast<std::uint32_t>(data.size());
        const long result =
            reg::GetValue(root, path, name, &type, reinterpret_cast<std::uint8_t*>(data.data()), &size);
        if (result == reg::kSuccess) {
            data.resize(size);
            return true;
        }
        if (result != reg::kMoreData)
            return false;
        data.resize(size);
    }
    return false;
}

QString QuotedPath(const QString& path) {
    QString quoted = path.trimmed();
    if (!quoted.startsWith(QLatin1Char('"')))
        quoted.prepend(QLatin1Char('"'));
    if (!quoted.endsWith(QLatin1Char('"')) || quoted.size() == 1)
        quoted.append(QLatin1Char('"'));
    return quoted;
}

QString VerbCommand(const QString& quotedPath, const QString& switchText) {
    return quotedPath + switchText + QStringLiteral("\"%1\"");
}

}  // namespace

RegistryError::RegistryError(std::int32_t number, const QString& description)
    : std::runtime_error(description.toStdString()), number_(number), description_(description) {}

void cRegistry::SetMachine(const QString& name) {
    if (name.size() < 3)
        machine_.clear();
    else if (!name.startsWith(QLatin1String("\\\\")))
        machine_ = QStringLiteral("\\\\") + name;
    else
        machine_ = name;
}

bool cRegistry::KeyExists() const {
    OpenedKey key;
    return key.Open(Root(), sectionKey_, reg::kKeyQueryValue) == reg::kSuccess;
}

bool cRegistry::CreateKey() {
    OpenedKey key;
    if (key.Create(Root(), sectionKey_) != reg::kSuccess)
        throw RegistryError(kRegistryErrorKey,
                            QStringLiteral("Failed to create registry Key: '") + sectionKey_);
    return true;
}

QString cRegistry::DeleteKeyDescription() const {
    return QStringLiteral("Failed to delete registry Key: '") + QString::number(classKey_) +
           QStringLiteral("',Section: '") + sectionKey_;
}

bool cRegistry::DeleteKey() {
    // An empty path would name the root itself, which is never deleted.
    if (sectionKey_.isEmpty() || reg::DeleteKey(Root(), Utf8(sectionKey_)) != reg::kSuccess)
        throw RegistryError(kRegistryErrorKey, DeleteKeyDescription());
    return true;
}

bool cRegistry::DeleteValue() {
    OpenedKey key;
    if (key.Open(Root(), sectionKey_, reg::kKeyAllAccess) != reg::kSuccess) {
        throw RegistryError(kRegistryErrorKey, QStringLiteral("Failed to open key '") +
                                                   QString::number(classKey_) +
                                                   QStringLiteral("',Section: '") + sectionKey_ +
                                                   QStringLiteral("' for delete access"));
    }
    if (reg::DeleteValue(key.Get(), Utf8(valueKey_)) != reg::kSuccess)
        throw RegistryError(kRegistryErrorKey,
                            DeleteKeyDescription() + QStringLiteral("',Key: '") + valueKey_);
    return true;
}

SettingValue cRegistry::Value() {
    // Opening the key, reading and closing it again, in one read of the hive.
    std::uint32_t type = 0;
    QByteArray data;
    if (!QueryValueData(Root(), Utf8(sectionKey_), Utf8(valueKey_), type, data))
        return default_;
    valueType_ = static_cast<std::int32_t>(type);

    switch (type) {
        case reg::kRegSz:
        case reg::kRegMultiSz:
            return SettingValue(TextFromData(data));
        case reg::kRegExpandSz:
            return SettingValue(ExpandEnvironmentText(TextFromData(data)));
        case reg::kRegDword:
            return SettingValue(Int32FromData(data));
        case reg::kRegDwordBigEndian:
            return SettingValue(ReverseBytes(Int32FromData(data)));
        default:
            data.append('\0');  // elements 0 to n: the data and one zero byte
            return SettingValue(data);
    }
}

QString cRegistry::WriteDescription(const QString& valueText) const {
    return QStringLiteral("Failed to set registry value Key: '") + QString::number(classKey_) +
           QStringLiteral("',Section: '") + sectionKey_ + QStringLiteral("',Key: '") + valueKey_ +
           QStringLiteral("' to value: '") + valueText + QStringLiteral("'");
}

void cRegistry::SetValue(const SettingValue& value) {
    // What to write is settled before the registry is touched, so that a
    // refused write leaves no key behind.
    const QString valueText = value.ToText();
    switch (valueType_) {
        case REG_SZ:
        case REG_EXPAND_SZ: {
            QByteArray data = valueText.toUtf8();
            data.append('\0');
            WriteData(NeedsExpandableType(valueText) ? reg::kRegExpandSz : reg::kRegSz, data, valueText);
            return;
        }
        case REG_BINARY:
            if (!value.IsByteArray())
                throw RegistryError(kRegistryErrorKey, QString::fromLatin1(kRegistryErrorNoDescription));
            WriteData(reg::kRegBinary, value.ToBytes(), valueText);
            return;
        case REG_DWORD:
        case REG_DWORD_BIG_ENDIAN:
            if (value.IsInteger())
                WriteData(reg::kRegDword, DataFromInt32(value.ToInt()), valueText);
            return;
        default:
            throw RegistryError(kRegistryErrorSetValue, WriteDescription(valueText));
    }
}

void cRegistry::WriteData(std::uint32_t type, const QByteArray& data, const QString& valueText) {
    const std::string name = Utf8(valueKey_);
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.constData());
    const auto size = static_cast<std::uint32_t>(data.size());

    OpenedKey existing;
    if (existing.Open(Root(), sectionKey_, reg::kKeySetValue) == reg::kSuccess) {
        if (reg::SetValue(existing.Get(), name, type, bytes, size) != reg::kSuccess)
            throw RegistryError(kRegistryErrorSetValue, WriteDescription(valueText));
        return;
    }
    // The key is missing: create it and write in one transaction, so that a
    // failed write does not leave new keys behind.
    bool created = false;
    bool written = false;
    const bool committed = reg::InTransaction([&] {
        OpenedKey key;
        created = key.Create(Root(), sectionKey_) == reg::kSuccess;
        written = created && reg::SetValue(key.Get(), name, type, bytes, size) == reg::kSuccess;
        return written;
    });
    if (!created)
        throw RegistryError(kRegistryErrorKey, WriteDescription(valueText));
    if (!written || !committed)
        throw RegistryError(kRegistryErrorSetValue, WriteDescription(valueText));
}

bool cRegistry::EnumerateValues(OneBasedArray<QString>& sKeyNames, std::int32_t& iKeyCount) const {
    iKeyCount = 0;
    sKeyNames.Clear();
    const reg::ReadTransaction read;
    OpenedKey key;
    if (key.Open(Root(), sectionKey_, reg::kKeyQueryValue) != reg::kSuccess)
        return true;
    std::uint32_t longestName = 0;
    reg::QueryInfoKey(key.Get(), nullptr, nullptr, nullptr, &longestName);
    std::string buffer(longestName + 1, '\0');
    for (std::uint32_t index = 0;; ++index) {
        auto size = static_cast<std::uint32_t>(buffer.size());
        if (reg::EnumValue(key.Get(), index, buffer.data(), &size) != reg::kSuccess)
            break;
        sKeyNames.Append(QString::fromUtf8(buffer.data(), size));
        ++iKeyCount;
    }
    return true;
}

bool cRegistry::EnumerateSections(OneBasedArray<QString>& sSect, std::int32_t& iSectCount) const {
    iSectCount = 0;
    sSect.Clear();
    long result = reg::kNoMoreItems;
    try {
        const reg::ReadTransaction read;
        OpenedKey key;
        if (key.Open(Root(), sectionKey_, reg::kKeyEnumerateSubKeys) != reg::kSuccess)
            return true;
        std::array<char, kSectionNameBytes> buffer{};
        for (std::uint32_t index = 0;; ++index) {
            result = reg::EnumKey(key.Get(), index, buffer.data(), kSectionNameBytes);
            if (result != reg::kSuccess)
                break;
            ++iSectCount;
            sSect.Append(QString::fromUtf8(buffer.data()));
        }
    } catch (const std::exception& failure) {
        throw RegistryError(kRegistryErrorEnumerateSections, QString::fromUtf8(failure.what()));
    }
    // A name left out would go unnoticed by every caller, an export above all.
    if (result != reg::kNoMoreItems)
        throw RegistryError(kRegistryErrorEnumerateSections, EnumerateSectionsDescription(result));
    return true;
}

QString cRegistry::EnumerateSectionsDescription(long result) const {
    const QString reason =
        result == reg::kMoreData
            ? QStringLiteral("a key name is longer than %1 characters").arg(reg::kMaxKeyNameLength)
            : QStringLiteral("error %1").arg(result);
    return QStringLiteral("Failed to enumerate the keys of '") + sectionKey_ + QStringLiteral("': ") + reason;
}

void cRegistry::CreateEXEAssociation(const QString& sExePath, const QString& sClassName,
                                     const QString& sClassDescription, const QString& sAssociation,
                                     const QString& sOpenMenuText, bool bSupportPrint,
                                     const QString& sPrintMenuText, bool bSupportNew,
                                     const QString& sNewMenuText, bool bSupportInstall,
                                     const std::optional<QString>& sInstallMenuText,
                                     std::int32_t lDefaultIconIndex) {
    const QString path = QuotedPath(sExePath);
    valueType_ = REG_SZ;
    valueKey_.clear();
    const auto write = [this](const QString& section, const QString& text) {
        sectionKey_ = section;
        WriteClassValue(text);
    };
    const QString shell = sClassName + QStringLiteral("\\shell\\");

    write(QStringLiteral(".") + sAssociation, sClassName);
    write(sClassName, sClassDescription);
    write(shell + QStringLiteral("open"), sOpenMenuText);
    write(shell + QStringLiteral("open\\command"), VerbCommand(path, QStringLiteral(" ")));
    if (bSupportPrint) {
        write(shell + QStringLiteral("print"), sPrintMenuText);
        write(shell + QStringLiteral("print\\command"), VerbCommand(path, QStringLiteral(" /p ")));
    }
    if (bSupportInstall) {
        write(shell + QStringLiteral("add"),
              sInstallMenuText.value_or(QStringLiteral("&Install ") + sAssociation));
        write(shell + QStringLiteral("add\\command"), VerbCommand(path, QStringLiteral(" /a ")));
    }
    if (bSupportNew) {
        write(shell + QStringLiteral("new"), sNewMenuText);
        write(shell + QStringLiteral("new\\command"), VerbCommand(path, QStringLiteral(" /n ")));
    }
    if (lDefaultIconIndex > -1)
        write(sClassName + QStringLiteral("\\DefaultIcon"),
              path + QStringLiteral(",") + QString::number(lDefaultIconIndex));
}

void cRegistry::CreateAdditionalEXEAssociations(const QString& sClassName, const QStringList& vItems) {
    if (vItems.size() % 3 != 0) {
        throw RegistryError(kRegistryErrorAssociationItems,
                            QStringLiteral("Invalid parameter list passed to CreateAdditionalEXEAssociations "
                                           "- expected Name/Text/Command"));
    }
    classKey_ = HKEY_CLASSES_ROOT;
    sectionKey_ = sClassName;
    if (!KeyExists()) {
        throw RegistryError(
            kRegistryErrorAssociationClass,
            QStringLiteral("Error - attempt to create additional associations before class defined."));
    }
    valueType_ = REG_SZ;
    valueKey_.clear();
    for (qsizetype i = 0; i + 2 < vItems.size(); i += 3) {
        const QString verbKey = sClassName + QStringLiteral("\\shell\\") + vItems.at(i);
        sectionKey_ = verbKey;
        WriteClassValue(vItems.at(i + 1));
        sectionKey_ = verbKey + QStringLiteral("\\command");
        WriteClassValue(vItems.at(i + 2));
    }
}

SettingValue cRegistry::ValueEx(std::int32_t classKey, const QString& sectionKey, const QString& valueKey,
                                std::int32_t valueType, const SettingValue& defaultValue) {
    classKey_ = classKey;
    sectionKey_ = sectionKey;
    valueKey_ = valueKey;
    valueType_ = valueType;
    default_ = defaultValue;
    return Value();
}

void cRegistry::SetValueEx(std::int32_t classKey, const QString& sectionKey, const QString& valueKey,
                           std::int32_t valueType, const SettingValue& defaultValue,
                           const SettingValue& value) {
    classKey_ = classKey;
    sectionKey_ = sectionKey;
    valueKey_ = valueKey;
    valueType_ = valueType;
    default_ = defaultValue;
    if (valueType_ == REG_SZ && value.ToText().isEmpty())
        SetValue(default_);
    else
        SetValue(value);
}

bool cRegistry::DeleteKeyTree() {
    if (sectionKey_.isEmpty() || reg::DeleteKeyTree(Root(), Utf8(sectionKey_)) != reg::kSuccess)
        throw RegistryError(kRegistryErrorKey, DeleteKeyDescription());
    return true;
}

void cRegistry::WriteClassValue(const QString& text) {
    classKey_ = HKEY_CLASSES_ROOT;
    SetValue(SettingValue(text));
    classKey_ = HKEY_LOCAL_MACHINE;
    const QString section = sectionKey_;
    sectionKey_ = QStringLiteral("SOFTWARE\\Classes\\") + section;
    SetValue(SettingValue(text));
    sectionKey_ = section;
}

std::int32_t cRegistry::ReverseBytes(std::int32_t value) {
    const auto bits = static_cast<std::uint32_t>(value);
    return static_cast<std::int32_t>(((bits & 0xFFu) << 24) | ((bits & 0xFF00u) << 8) |
                                     ((bits >> 8) & 0xFF00u) | (bits >> 24));
}

QString cRegistry::ExpandEnvironmentText(const QString& text) {
    return QString::fromStdString(reg::ExpandEnvironmentStrings(Utf8(text)));
}

}  // namespace snapwire
