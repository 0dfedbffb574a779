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

    // A stand-in for the program: a script that records its arguments in `marker`.
    QString MakeProgram(const QString& folder, const QString& marker) {
        EXPECT_TRUE(QDir().mkpath(folder));
        const QString path = folder + QStringLiteral("/snap wire");
        QFile script(path);
        EXPECT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\necho \"args:$#\" > \"$SNAPWIRE_TEST_MARKER\"\n");
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
    EXPECT_TRUE(EntryLines().contains(QStringLiteral("Exec=/opt/snap/snapwire")));

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
    EXPECT_EQ(DesktopExecValue(QStringLiteral("/usr/bin/snapwire")), QStringLiteral("/usr/bin/snapwire"));
    EXPECT_EQ(DesktopExecValue(QStringLiteral("/a b/snapwire")), QStringLiteral("\"/a b/snapwire\""));
    // A path with "%" is started through the shell, so that readers that look the
    // program up before expanding "%%" find one.
    EXPECT_EQ(DesktopExecValue(QStringLiteral("/100%/x")),
              QStringLiteral("/bin/sh -c \"exec \\\\\"\\\\$0\\\\\"\" /100%%/x"));
    // "$" is escaped inside the quotes, and that backslash is escaped again as a string value.
    EXPECT_EQ(DesktopExecValue(QStringLiteral("/$HOME/x")), QStringLiteral("\"/\\\\$HOME/x\""));
}

TEST_F(StartWithDesktopTest, EntryStartsTheProgramFromFoldersWithBlankPercentAndDollar) {
    const char* const folders[] = {
        "my apps/$HOME \"q\" `id` back\\slash",          // quoted and escaped only
        "my apps/100% $HOME \"q\" `id` back\\slash %u",  // with "%" as well
    };
    int run = 0;
    for (const char* folder : folders) {
        const QString marker = homeFile(QStringLiteral("started%1").arg(++run));
        const QString program = MakeProgram(homeFile(QString::fromUtf8(folder)), marker);
        ASSERT_TRUE(WriteAutostartEntry(program));
        ASSERT_TRUE(LaunchEntry(AutostartEntryPath())) << folder;
        // Started without arguments: "%u" in a folder name is no field code.
        EXPECT_EQ(WaitForMarker(marker), QStringLiteral("args:0")) << folder;
    }
}

}  // namespace
}  // namespace snapwire::options
