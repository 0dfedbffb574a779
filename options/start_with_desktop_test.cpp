#include "options/start_with_desktop.h"

#include "settings_store/c_registry.h"
#include "testsupport/program_folder_test.h"

#include <gio/gdesktopappinfo.h>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace snapwire::options {
namespace {

class StartWithDesktopTest : public testing::ProgramFolderTest {
  protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        savedConfigHome_ = qgetenv("XDG_CONFIG_HOME");
        qputenv("XDG_CONFIG_HOME", homeFile(QStringLiteral("config")).toUtf8());
    }
    void TearDown() override {
        qputenv("XDG_CONFIG_HOME", savedConfigHome_);
        qunsetenv("SNAPWIRE_TEST_MARKER");
        ProgramFolderTest::TearDown();
    }

    static QString RunValue() {
        cRegistry reg;
        reg.SetClassKey(HKEY_LOCAL_MACHINE);
        reg.SetSectionKey(QString::fromLatin1(kRunKey));
        reg.SetValueKey(QString::fromLatin1(kRunValueName));
        return reg.Value().ToText();
    }

    // A stand-in for the program: a script that records its arguments and its
    // program folder in `marker`.
    QString MakeProgram(const QString& folder, const QString& marker) {
        EXPECT_TRUE(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/snap wire");
        QFile script(path);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"args:$# home:$SNAPWIRE_HOME\" > \"$SNAPWIRE_TEST_MARKER\"\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        qputenv("SNAPWIRE_TEST_MARKER", marker.toUtf8());
        return path;
    }

    // Starts the entry the way the desktop's session starter does.
    static bool LaunchEntry(const QString& entryPath) {
        GDesktopAppInfo* info = g_desktop_app_info_new_from_filename(entryPath.toUtf8().constData());
        if (info == nullptr)
            return false;  // the entry does not parse, or its program cannot be found
        GError* error = nullptr;
        const bool launched = g_app_info_launch(G_APP_INFO(info), nullptr, nullptr, &error);
        if (error != nullptr)
            g_error_free(error);
        g_object_unref(info);
        return launched;
    }

    static QStringList EntryLines() {
        QFile file(AutostartEntryPath());
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    }

    static QString WaitForMarker(const QString& marker) {
        QDeadlineTimer deadline(20000);
        while (!deadline.hasExpired()) {
            QFile file(marker);
            if (file.open(QIODevice::ReadOnly)) {
                const QString text = QString::fromUtf8(file.readAll()).trimmed();
                if (!text.isEmpty())
                    return text;
            }
            QThread::msleep(20);
        }
        return QString();
    }

  private:
    QByteArray savedConfigHome_;
};

TEST_F(StartWithDesktopTest, TickedWritesRunValueAndEntryClearRemovesBothOnce) {
    UpdateStartWithDesktop(true, QStringLiteral("/opt/snap/snapwire"));
    EXPECT_EQ(RunValue(), home() + QStringLiteral("/Snapwire.exe"));
    EXPECT_EQ(AutostartEntryPath(), homeFile(QStringLiteral("config/autostart/snapwire.desktop")));
    EXPECT_TRUE(EntryLines().contains(QStringLiteral("Exec=/usr/bin/env SNAPWIRE_HOME=") + home() +
                                      QStringLiteral(" /opt/snap/snapwire")));

    UpdateStartWithDesktop(false, QStringLiteral("/opt/snap/snapwire"));
    EXPECT_EQ(RunValue(), QString());
    EXPECT_FALSE(QFileInfo::exists(AutostartEntryPath()));

    // With the value already gone the desktop's folder is not touched: an entry the
    // user made there by hand stays.
    ASSERT_TRUE(WriteAutostartEntry(QStringLiteral("/usr/bin/true")));
    UpdateStartWithDesktop(false, QStringLiteral("/opt/snap/snapwire"));
    EXPECT_TRUE(QFileInfo::exists(AutostartEntryPath()));
}

TEST_F(StartWithDesktopTest, ExecValueQuotesAndEscapesByTheDesktopEntryRules) {
    const QString folder = QStringLiteral("/home/u/cam");
    EXPECT_EQ(DesktopExecValue(QStringLiteral("/usr/bin/snapwire"), folder),
              QStringLiteral("/usr/bin/env SNAPWIRE_HOME=/home/u/cam /usr/bin/snapwire"));
    EXPECT_EQ(DesktopExecValue(QStringLiteral("/a b/snapwire"), QStringLiteral("/my cam")),
              QStringLiteral("/usr/bin/env \"SNAPWIRE_HOME=/my cam\" \"/a b/snapwire\""));
    EXPECT_EQ(DesktopExecValue(QStringLiteral("/100%/x"), folder),
              QStringLiteral("/usr/bin/env SNAPWIRE_HOME=/home/u/cam /100%%/x"));
    // "$" is escaped inside the quotes, and that backslash is escaped again as a string value.
    EXPECT_EQ(DesktopExecValue(QStringLiteral("/$HOME/x"), folder),
              QStringLiteral("/usr/bin/env SNAPWIRE_HOME=/home/u/cam \"/\\\\$HOME/x\""));
}

// The entry starts the program with the program folder it was written with, whatever
// the session's environment holds.
TEST_F(StartWithDesktopTest, EntryStartsTheProgramFromFoldersWithBlankPercentAndDollar) {
    const char* const folders[] = {
        "my apps/$HOME \"q\" `id` back\\slash",          // quoted and escaped only
        "my apps/100% $HOME \"q\" `id` back\\slash %u",  // with "%" as well
    };
    int run = 0;
    for (const char* folder : folders) {
        const QString marker = homeFile(QStringLiteral("started%1").arg(++run));
        const QString programFolder = homeFile(QString::fromUtf8(folder));
        const QString program = MakeProgram(programFolder, marker);
        qputenv("SNAPWIRE_HOME", programFolder.toUtf8());
        ASSERT_TRUE(WriteAutostartEntry(program));
        qputenv("SNAPWIRE_HOME", home().toUtf8());
        ASSERT_TRUE(LaunchEntry(AutostartEntryPath())) << folder;
        // Started without arguments: "%u" in a folder name is no field code.
        EXPECT_EQ(WaitForMarker(marker), QStringLiteral("args:0 home:") + programFolder) << folder;
    }
}

}  // namespace
}  // namespace snapwire::options
