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
    if (!text.isEmpty() && ReadSetting(section, name) == text)
        return;
    WriteSetting(section, name, SettingValue(text));
}

}  // namespace snapwire
