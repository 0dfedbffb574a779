#pragma once

// Fixture of the option window tests: the window fixture (fresh program folder and
// hive, message boxes answered, windows unloaded afterwards), plus answered pickers
// and the desktop's autostart folder inside the test's folder.

#include "platform/ui/common_dialogs.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_box.h"
#include "settings_store/program_settings.h"
#include "testsupport/window_test.h"

#include <QStringList>

namespace snapwire::testing {

class OptionsWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        savedConfigHome_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", homeFile(QStringLiteral("config")).toUtf8());
        ui::ResetDialogAnswersForTests();
    }
    void TearDown() override {
        EXPECT_EQ(ui::UnansweredBoxCount(), 0) << "a message box the test did not expect";
        EXPECT_EQ(ui::UnansweredDialogCount(), 0) << "a picker the test did not expect";
        WindowTest::TearDown();
        ui::ResetDialogAnswersForTests();
        qputenv("XDG_CONFIG_HOME", savedConfigHome_);
    }

    static QString Stored(const char* name) { return ReadSetting(QString(), QString::fromUtf8(name)); }
    static void Store(const char* name, const QString& text) {
        WriteSetting(QString(), QString::fromUtf8(name), SettingValue(text));
    }
    static QStringList ShownPrompts() {
        QStringList prompts;
        for (const ui::ShownBox& box : ui::ShownBoxes()) prompts << box.prompt;
        return prompts;
    }

  private:
    QByteArray savedConfigHome_;
};

}  // namespace snapwire::testing
