#include "windows/frm_about.h"

#include "settings_store/c_registry.h"
#include "windows/help_test_support.h"
#include "windows/maker_site.h"
#include "windows/news_form.h"
#include "windows/program_version.h"

#include <gtest/gtest.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>

namespace snapwire {
namespace {

constexpr const char* kPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kUnavailable = "System Information Is Unavailable At This Time";

class AboutAndNewsTest : public testing::HelpWindowTest {
  protected:
    void SetUp() override {
        HelpWindowTest::SetUp();
        SetProgramStarterForTests([this](const QString& path) {
            startedPrograms.push_back(path);
            return startSucceeds;
        });
    }
    void TearDown() override {
        SetProgramStarterForTests({});
        HelpWindowTest::TearDown();
    }

    static void StoreMachineValue(const char* key, const char* name, const SettingValue& value,
                                  std::int32_t type = REG_SZ) {
        cRegistry registry;
        registry.SetClassKey(HKEY_LOCAL_MACHINE);
        registry.SetSectionKey(QString::fromLatin1(key));
        registry.SetValueKey(QString::fromLatin1(name));
        registry.SetValueType(type);
        registry.SetValue(value);
    }
    static void PressSysInfo() {
        ui::AnswerNextMessageBox(ui::vbOK);  // for the message, when it comes
        forms::frmAbout().cmdSysInfo->click();
    }
    static bool SaidUnavailable() {
        return ui::ShownBoxes().size() == 1 && ui::ShownBoxes()[0].prompt == kUnavailable &&
               ui::ShownBoxes()[0].style == ui::vbOKOnly;
    }
    static void ClickLabel(QLabel* label) {
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(2, 2), label->mapToGlobal(QPointF(2, 2)),
                            Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(label, &release);
    }

    std::vector<QString> startedPrograms;
    bool startSucceeds = true;
};

TEST(ProgramVersion, ThreeNumbersWithoutLeadingZeros) {
    EXPECT_EQ(VersionText(4, 0, 6), "4.0.6");
    EXPECT_EQ(VersionText(10, 12, 0), "10.12.0");
    EXPECT_TRUE(
        QRegularExpression(QStringLiteral("^\\d+\\.\\d+\\.\\d+$")).match(ProgramVersionText()).hasMatch());
}

// --- About box -----------------------------------------------------------------------------

TEST_F(AboutAndNewsTest, AboutShowsTheVersionAndItsLinksOpenMailAndWebSite) {
    frmAbout& about = forms::frmAbout();
    EXPECT_EQ(about.windowTitle(), "About - Snapwire 2004");
    EXPECT_EQ(about.lblVersion->text(), QStringLiteral("Version ") + ProgramVersionText());
    EXPECT_EQ(about.cmdSysInfo->text(), "&System Info...");
    EXPECT_TRUE(about.cmdOK->isDefault());

    ClickLabel(about.Label1);
    ClickLabel(about.Label2);
    ClickLabel(about.picIcon);
    const QUrl site(QString::fromLatin1(kMakerWebSite));
    ASSERT_EQ(openedLinks.size(), 3u);
    EXPECT_EQ(openedLinks[0], QUrl(QStringLiteral("mailto:") + QString::fromLatin1(kMakerMail)));
    EXPECT_EQ(openedLinks[1], site);
    EXPECT_EQ(openedLinks[2], site);
}

TEST_F(AboutAndNewsTest, OkAndEscapeHideTheAboutBoxWhileItsCloseBoxDiscardsIt) {
    frmAbout& about = forms::frmAbout();
    about.setProperty("first", true);
    about.show();
    about.cmdOK->click();
    EXPECT_FALSE(about.isVisible());
    about.show();
    about.reject();  // Escape
    EXPECT_FALSE(about.isVisible());
    EXPECT_TRUE(forms::frmAbout().property("first").toBool());

    about.show();
    about.close();
    EXPECT_FALSE(forms::frmAbout().property("first").toBool());
}

TEST_F(AboutAndNewsTest, WithoutTheSystemInformationKeysOnlyTheMessageComes) {
    // As on every Linux system: the keys that name the program are not there.
    PressSysInfo();
    EXPECT_TRUE(SaidUnavailable());
    EXPECT_TRUE(startedPrograms.empty());
}

TEST_F(AboutAndNewsTest, TheProgramNamedByThePathValueIsStarted) {
    StoreMachineValue(kPathKey, "PATH", SettingValue("/opt/tools/msinfo32"));
    PressSysInfo();
    ASSERT_EQ(startedPrograms.size(), 1u);
    EXPECT_EQ(startedPrograms[0], "/opt/tools/msinfo32");
    EXPECT_TRUE(ui::ShownBoxes().empty());

    // A program that cannot be started gives the message; the folder value is not tried.
    startSucceeds = false;
    StoreMachineValue(kFolderKey, "MSINFO", SettingValue(home()));
    QFile(home() + QStringLiteral("/MSINFO32.EXE")).open(QIODevice::WriteOnly);
    PressSysInfo();
    EXPECT_EQ(startedPrograms.size(), 2u);
    EXPECT_TRUE(SaidUnavailable());
}

TEST_F(AboutAndNewsTest, TheFolderValueStartsItsProgramOnlyWhenTheFileIsThere) {
    StoreMachineValue(kFolderKey, "MSINFO", SettingValue(home()));
    PressSysInfo();
    EXPECT_TRUE(SaidUnavailable());
    EXPECT_TRUE(startedPrograms.empty());

    ui::ClearShownBoxes();
    QFile program(home() + QStringLiteral("/MSINFO32.EXE"));
    ASSERT_TRUE(program.open(QIODevice::WriteOnly));
    program.close();
    PressSysInfo();
    ASSERT_EQ(startedPrograms.size(), 1u);
    EXPECT_EQ(startedPrograms[0], program.fileName());
    EXPECT_TRUE(ui::ShownBoxes().empty());
}

TEST_F(AboutAndNewsTest, ValuesThatHoldNoUsablePathEndInTheMessage) {
    SetProgramStarterForTests({});  // the real starter: nothing here can be started
    frmAbout& about = forms::frmAbout();
    QString value = QStringLiteral("stale");

    StoreMachineValue(kPathKey, "PATH", SettingValue(std::int32_t{7}), REG_DWORD);
    EXPECT_TRUE(
        about.GetKeyValue(HKEY_LOCAL_MACHINE, QString::fromLatin1(kPathKey), QStringLiteral("PATH"), value));
    EXPECT_TRUE(value.isEmpty());
    PressSysInfo();
    EXPECT_TRUE(SaidUnavailable());

    ui::ClearShownBoxes();
    StoreMachineValue(kPathKey, "PATH", SettingValue(home() + QStringLiteral("/no such program")));
    PressSysInfo();
    EXPECT_TRUE(SaidUnavailable());

    // Longer than the 1024-byte buffer the value is read into: not readable.
    StoreMachineValue(kPathKey, "PATH", SettingValue(QString(1024, QLatin1Char('x'))));
    EXPECT_FALSE(
        about.GetKeyValue(HKEY_LOCAL_MACHINE, QString::fromLatin1(kPathKey), QStringLiteral("PATH"), value));
    StoreMachineValue(kPathKey, "PATH", SettingValue(QString(1023, QLatin1Char('x'))));
    EXPECT_TRUE(
        about.GetKeyValue(HKEY_LOCAL_MACHINE, QString::fromLatin1(kPathKey), QStringLiteral("PATH"), value));
    EXPECT_EQ(value.size(), 1023);
    EXPECT_FALSE(
        about.GetKeyValue(HKEY_LOCAL_MACHINE, QString::fromLatin1(kPathKey), QStringLiteral("Other"), value));
    EXPECT_TRUE(value.isEmpty());
}

// --- News window ---------------------------------------------------------------------------

TEST_F(AboutAndNewsTest, NewsShowsTheNewsPageAndTheVersion) {
    news_form& news = forms::news_form();
    EXPECT_EQ(news.windowTitle(), "News");
    EXPECT_EQ(news.news_browser->LocationURL(), QString::fromLatin1(kMakerNewsPage));
    EXPECT_EQ(news.lblVer->text(), QStringLiteral("Snapwire, Version: ") + ProgramVersionText());
    EXPECT_EQ(news.cmdHelp->text(), "&Help");
    EXPECT_EQ(news.Command1->text(), "&Close");

    // The page can only be read in the web browser: its address is the way there.
    EXPECT_TRUE(openedLinks.empty());
    Q_EMIT news.news_browser->anchorClicked(QUrl(QString::fromLatin1(kMakerNewsPage)));
    ASSERT_EQ(openedLinks.size(), 1u);
    EXPECT_EQ(openedLinks[0], QUrl(QString::fromLatin1(kMakerNewsPage)));
}

TEST_F(AboutAndNewsTest, NewsHelpButtonOpensTheNewsTopic) {
    forms::news_form().cmdHelp->click();
    ASSERT_EQ(showings.size(), 1u);
    EXPECT_EQ(showings[0].window, &forms::frmHelp());
    EXPECT_EQ(showings[0].helpSelectedKey, "news");
    EXPECT_TRUE(showings[0].helpPage.endsWith(QStringLiteral("/Help/HTML/News.htm")));
}

TEST_F(AboutAndNewsTest, ClosingTheNewsWindowLoadsThePageAgainAtTheNextOpening) {
    news_form& news = forms::news_form();
    news.news_browser->Navigate(QString::fromLatin1(kMakerFaqPage));
    news.show();
    news.Command1->click();
    EXPECT_FALSE(news.isVisible());
    EXPECT_EQ(forms::news_form().news_browser->LocationURL(), QString::fromLatin1(kMakerNewsPage));

    forms::news_form().news_browser->Navigate(QString::fromLatin1(kMakerFaqPage));
    forms::news_form().show();
    forms::news_form().reject();  // Escape
    EXPECT_EQ(forms::news_form().news_browser->LocationURL(), QString::fromLatin1(kMakerNewsPage));
}

}  // namespace
}  // namespace snapwire
