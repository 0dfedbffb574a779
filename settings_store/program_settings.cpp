#include "settings_store/program_settings.h"

#include "settings_store/c_registry.h"

namespace snapwire {

namespace {

cRegistry ProgramRegistry(const QString& section, const QString& name) {
    cRegistry registry;
    registry.SetClassKey(HKEY_LOCAL_MACHINE);
    registry.SetSectionKey(ProgramSectionKey(section));
    registry.SetValueType(REG_SZ);
    registry.SetValueKey(name);
    return registry;
}

}  // namespace

QString ProgramSectionKey(const QString& section) {
    const QString root = QString::fromLatin1(kProgramKey);
    return section.isEmpty() ? root : root + QLatin1Char('\\') + section;
}

QString ReadSetting(const QString& section, const QString& name) {
    return ProgramRegistry(section, name).Value().ToText();
}

void WriteSetting(const QString& section, const QString& name, const SettingValue& value) {
    ProgramRegistry(section, name).SetValue(value);
}

void WriteBoxText(const QString& section, const QString& name, const QString& text) {
    const SettingValue stored = ProgramRegistry(section, name).Value();
    if (!stored.IsEmpty() && stored.ToText() == text)
        return;
    WriteSetting(section, name, SettingValue(text));
}

bool ReadsExpandedAs(const QString& section, const QString& name, const QString& text) {
    cRegistry registry = ProgramRegistry(section, name);
    const SettingValue stored = registry.Value();
    return registry.ValueType() == REG_EXPAND_SZ && stored.ToText() == text;
}

}  // namespace snapwire
