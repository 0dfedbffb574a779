#include <gtest/gtest.h>
#include <QApplication>
#include <QTemporaryDir>

// Every test executable gets a real (offscreen) application object, so widgets,
// timers and the event loop behave as in the program, and a program folder of its
// own, so no test can touch a user's settings. Fixtures give each test a fresh one.
int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("SNAPWIRE_HOME", home.path().toUtf8());
    // Autostart entries and other per-user configuration stay inside the test folder too.
    qputenv("XDG_CONFIG_HOME", (home.path() + QStringLiteral("/config")).toUtf8());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
