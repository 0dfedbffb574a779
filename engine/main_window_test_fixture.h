#pragma once

// Shared by the engine's window tests: a fresh program folder and hive per test,
// answered message boxes, a recorded end of program, and the tray and popup-menu
// seams put back after every test.

#include <QString>
#include <optional>
#include <ostream>

#include "engine/frm_main.h"
#include "engine/menu_items.h"
#include "engine/start_up.h"
#include "platform/capture/frame_feed.h"
#include "settings_store/program_settings.h"
#include "testsupport/window_test.h"

// Readable values in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace snapwire::testing {

class MainWindowTest : public WindowTest {
  protected:
    void SetUp() override {
        WindowTest::SetUp();
        ResetSeams();
    }
    void TearDown() override {
        WindowTest::TearDown();
        ResetSeams();
    }

    static QString Stored(const char* name) { return ReadSetting(QString(), QString::fromLatin1(name)); }
    static void Store(const char* name, const QString& text) {
        WriteSetting(QString(), QString::fromLatin1(name), SettingValue(text));
    }
    static void StoreNotFirstRun() { Store("FirstTime", QStringLiteral("False")); }

  private:
    static void ResetSeams() {
        qunsetenv("SNAPWIRE_NO_TEST_DEVICE");
        capture::FrameFeed::Disable();
        SetTrayAvailableForTests(std::nullopt);
        SetPopupMenuHandlerForTests({});
        DeleteTrayIcon();
    }
};

}  // namespace snapwire::testing
