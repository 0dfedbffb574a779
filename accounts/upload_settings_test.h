#pragma once

// Fixture of the upload settings window tests: a fresh program folder and hive,
// boxes and pickers answered, a clock standing still, and helpers that store and
// read account values the way the window does.

#include "accounts/clock.h"
#include "accounts/frm_upload_settings.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/controls.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_box.h"
#include "settings_store/c_registry.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"
#include "testsupport/default_locale.h"
#include "testsupport/window_test.h"

#include <QCoreApplication>
#include <QLocale>
#include <QPushButton>
#include <QStringList>
#include <memory>

namespace snapwire::testing {

class UploadSettingsTest : public WindowTest {
  protected:
    // Thursday, 22 June 2034, 14:30:05: a year that a two-digit form would misread.
    static QDateTime Moment() { return QDateTime(QDate(2034, 6, 22), QTime(14, 30, 5)); }

    void SetUp() override {
        WindowTest::SetUp();
        ui::ResetDialogAnswersForTests();
        clock_ = std::make_unique<ScopedClockForTests>(Moment());
    }
    void TearDown() override {
        WindowTest::TearDown();
        clock_.reset();
        ui::ResetDialogAnswersForTests();
    }

    static frmUploadSettings& Window() { return forms::frmUploadSettings(); }

    static void Store(const QString& account, const char* name, const QString& text) {
        WriteSetting(account, QString::fromUtf8(name), SettingValue(text));
    }
    static QString Stored(const QString& account, const char* name) {
        return ReadSetting(account, QString::fromUtf8(name));
    }
    // Lists the accounts as the root values "Account1" ... name them.
    static void StoreAccounts(const QStringList& names) {
        for (int i = 0; i < names.size(); ++i)
            Store(QString(), ("Account" + std::to_string(i + 1)).c_str(), names[i]);
    }
    static QStringList ValueNames(const QString& account) {
        cRegistry registry;
        registry.SetClassKey(HKEY_LOCAL_MACHINE);
        registry.SetSectionKey(ProgramSectionKey(account));
        OneBasedArray<QString> names;
        std::int32_t count = 0;
        registry.EnumerateValues(names, count);
        QStringList list(names.Items().begin(), names.Items().end());
        list.sort();
        return list;
    }
    static bool KeyExists(const QString& section) {
        cRegistry registry;
        registry.SetClassKey(HKEY_LOCAL_MACHINE);
        registry.SetSectionKey(ProgramSectionKey(section));
        return registry.KeyExists();
    }
    // Selects a row from code and loads it, as the engine does.
    static void LoadRow(int row) {
        Window().ftps->Select(row);
        Window().ValdItem();
    }
    // A click into a box, or on a button (which takes the focus on the press), in its active window.
    static bool FocusOn(QWidget* widget) {
        widget->window()->activateWindow();
        QCoreApplication::processEvents();
        widget->setFocus(Qt::MouseFocusReason);
        return widget->hasFocus();
    }
    static void ClickWithTheMouse(QPushButton* button) {
        if (FocusOn(button))
            button->click();
    }
    static QStringList ShownPrompts() {
        QStringList prompts;
        for (const ui::ShownBox& box : ui::ShownBoxes()) prompts << box.prompt;
        return prompts;
    }

  private:
    ScopedDefaultLocale savedLocale_;
    std::unique_ptr<ScopedClockForTests> clock_;
};

}  // namespace snapwire::testing
