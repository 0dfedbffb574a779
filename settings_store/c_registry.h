#pragma once

// The program's one way into the registry for its own configuration. A caller
// makes a fresh object per task, sets root key, key path, value name and value
// type, reads or assigns Value, and drops the object. No key stays open between
// calls. Reads never raise for a missing key or value (they give Default);
// other failures raise RegistryError, which callers treat by their own rule
// (skip the step, or end the stretch of work).
//
// Texts are UTF-8 in the hive: a stored text's size is its byte length plus one.
// Machine is kept but not acted upon: the program works on the local registry only.

#include "platform/registry/registry.h"
#include "settings_store/one_based_array.h"
#include "settings_store/setting_value.h"

#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <stdexcept>

namespace snapwire {

// Predefined root keys, as 32-bit signed handles.
inline constexpr std::int32_t HKEY_CLASSES_ROOT = static_cast<std::int32_t>(reg::kClassesRoot);
inline constexpr std::int32_t HKEY_CURRENT_USER = static_cast<std::int32_t>(reg::kCurrentUser);
inline constexpr std::int32_t HKEY_LOCAL_MACHINE = static_cast<std::int32_t>(reg::kLocalMachine);
inline constexpr std::int32_t HKEY_USERS = static_cast<std::int32_t>(reg::kUsers);

// Value type codes.
inline constexpr std::int32_t REG_SZ = 1;
inline constexpr std::int32_t REG_EXPAND_SZ = 2;
inline constexpr std::int32_t REG_BINARY = 3;
inline constexpr std::int32_t REG_DWORD = 4;
inline constexpr std::int32_t REG_DWORD_BIG_ENDIAN = 5;
inline constexpr std::int32_t REG_MULTI_SZ = 7;

// Error numbers raised by cRegistry. The large ones are the object-error base
// -2147221504 plus 1048 plus 26001, 26002, 26004 and 26005.
inline constexpr std::int32_t kRegistryErrorKey = 26001;
inline constexpr std::int32_t kRegistryErrorSetValue = -2147194455;
inline constexpr std::int32_t kRegistryErrorEnumerateSections = -2147194454;
inline constexpr std::int32_t kRegistryErrorAssociationItems = -2147194452;
inline constexpr std::int32_t kRegistryErrorAssociationClass = -2147194451;

// The source of every registry error: the executable's name and the class.
inline constexpr const char* kRegistryErrorSource = "Snapwire.cRegistry";
// The description of an error that has none of its own.
inline constexpr const char* kRegistryErrorNoDescription = "Application-defined or object-defined error";

class RegistryError : public std::runtime_error {
  public:
    RegistryError(std::int32_t number, const QString& description);

    std::int32_t Number() const { return number_; }
    QString Source() const { return QString::fromLatin1(kRegistryErrorSource); }
    QString Description() const { return description_; }

  private:
    std::int32_t number_;
    QString description_;
};

class cRegistry {
  public:
    // A name of fewer than 3 characters clears it; "\\" is put in front when missing.
    QString Machine() const { return machine_; }
    void SetMachine(const QString& name);

    // True when SectionKey opens for querying values.
    bool KeyExists() const;

    // Creates SectionKey and every missing key above it. Raises 26001.
    bool CreateKey();

    // Deletes SectionKey; a key that still has sub-keys is refused. Raises 26001.
    bool DeleteKey();

    // Deletes the value ValueKey of SectionKey. Raises 26001.
    bool DeleteValue();

    // The value ValueKey of SectionKey, or Default when it cannot be read.
    // Sets ValueType to the type found.
    SettingValue Value();
    // Writes the value by ValueType, creating missing keys. Raises 26001 or
    // kRegistryErrorSetValue; a failed write leaves the registry as it was.
    void SetValue(const SettingValue& value);

    // Value names of SectionKey, from index 1. Always true; a missing key gives none.
    bool EnumerateValues(OneBasedArray<QString>& sKeyNames, std::int32_t& iKeyCount) const;
    // Sub-key names of SectionKey, from index 1: every name the hive accepts. True;
    // a missing key gives none. A name that cannot be read (longer than the hive
    // accepts, or the hive failing) raises kRegistryErrorEnumerateSections.
    bool EnumerateSections(OneBasedArray<QString>& sSect, std::int32_t& iSectCount) const;

    // File-type association: the extension's key, the class key and its verbs,
    // each written under HKEY_CLASSES_ROOT and HKEY_LOCAL_MACHINE\SOFTWARE\Classes.
    // An install-menu text left out is "&Install " followed by the extension.
    void CreateEXEAssociation(const QString& sExePath, const QString& sClassName,
                              const QString& sClassDescription, const QString& sAssociation,
                              const QString& sOpenMenuText = QStringLiteral("&Open"),
                              bool bSupportPrint = false,
                              const QString& sPrintMenuText = QStringLiteral("&Print"),
                              bool bSupportNew = false, const QString& sNewMenuText = QStringLiteral("&New"),
                              bool bSupportInstall = false,
                              const std::optional<QString>& sInstallMenuText = std::nullopt,
                              std::int32_t lDefaultIconIndex = -1);
    // Further verbs of an existing class: items in threes (verb, menu text, command).
    void CreateAdditionalEXEAssociations(const QString& sClassName, const QStringList& vItems);

    // The object's state.
    std::int32_t ValueType() const { return valueType_; }
    void SetValueType(std::int32_t type) { valueType_ = type; }
    std::int32_t ClassKey() const { return classKey_; }
    void SetClassKey(std::int32_t key) { classKey_ = key; }
    QString SectionKey() const { return sectionKey_; }
    void SetSectionKey(const QString& section) { sectionKey_ = section; }
    QString ValueKey() const { return valueKey_; }
    SettingValue ValueEx(std::int32_t classKey, const QString& sectionKey, const QString& valueKey,
                         std::int32_t valueType, const SettingValue& defaultValue);
    // Writes `defaultValue` instead when the type is REG_SZ and the new value's text is "".
    void SetValueEx(std::int32_t classKey, const QString& sectionKey, const QString& valueKey,
                    std::int32_t valueType, const SettingValue& defaultValue, const SettingValue& value);
    void SetValueKey(const QString& name) { valueKey_ = name; }
    SettingValue Default() const { return default_; }
    void SetDefault(const SettingValue& value) { default_ = value; }

    // Our addition for removing a whole account: deletes SectionKey with every
    // key below it (nothing else, not even keys whose names merely start alike).
    // Raises 26001 as DeleteKey does; an empty SectionKey is refused.
    bool DeleteKeyTree();

  private:
    void WriteClassValue(const QString& text);
    static std::int32_t ReverseBytes(std::int32_t value);
    static QString ExpandEnvironmentText(const QString& text);

    reg::HKey Root() const { return static_cast<reg::HKey>(classKey_); }
    QString WriteDescription(const QString& valueText) const;
    QString DeleteKeyDescription() const;
    QString EnumerateSectionsDescription(long result) const;
    void WriteData(std::uint32_t type, const QByteArray& data, const QString& valueText);

    std::int32_t classKey_ = 0;
    QString sectionKey_;
    QString valueKey_;
    SettingValue default_;
    std::int32_t valueType_ = 0;
    QString machine_;
};

}  // namespace snapwire
