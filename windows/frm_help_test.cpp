#include "windows/frm_help.h"

#include "platform/ui/modal_responder_for_tests.h"
#include "platform/ui/units.h"
#include "windows/help_pages.h"
#include "windows/help_test_support.h"
#include "windows/maker_site.h"

#include <gtest/gtest.h>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMouseEvent>
#include <QPushButton>
#include <QRegularExpression>
#include <QScrollBar>
#include <QStyleOptionViewItem>
#include <QTreeWidgetItemIterator>
#include <functional>

namespace snapwire {
namespace {

using testing::HelpWindowTest;

// The tree as the help's table of contents gives it: key, caption, parent, picture.
struct ExpectedNode {
    const char* key;
    const char* caption;
    const char* parent;
    int picture;
};

const ExpectedNode kExpectedTree[] = {
    {"general", "General", "", 1},
    {"get_started", "Get Started", "general", 2},
    {"cameras", "Cameras", "general", 2},
    {"menus", "Menus", "", 1},
    {"file", "File", "menus", 1},
    {"capture_image", "Capture Image", "file", 2},
    {"capture_movie", "Capture Movie", "file", 2},
    {"movie_frame_rate", "Movie Frame Rate", "capture_movie", 2},
    {"movie_compressor", "Movie Compressor", "capture_movie", 2},
    {"audio_format", "Audio Format", "capture_movie", 2},
    {"export_settings", "Export Settings", "file", 2},
    {"view", "View", "menus", 1},
    {"last_picture", "Last Picture", "view", 2},
    {"last_timestamp", "Last Timestamp", "view", 2},
    {"size_window_to_picture", "Size Window to Picture", "view", 2},
    {"motion_preview", "Motion Preview", "view", 2},
    {"logs", "Logs", "view", 1},
    {"upload_log", "Upload Log", "logs", 2},
    {"motion_log", "Motion Log", "logs", 2},
    {"ftp_log", "FTP Log", "logs", 2},
    {"configuration", "Configuration", "menus", 1},
    {"upload_settings", "Upload Settings", "configuration", 1},
    {"ftp", "FTP", "upload_settings", 2},
    {"destination", "Destination", "upload_settings", 2},
    {"unique_filenames", "Unique filenames", "destination", 2},
    {"interval", "Interval", "upload_settings", 2},
    {"picture", "Picture", "upload_settings", 2},
    {"add_additional_text", "Add additional text", "picture", 2},
    {"time_format", "Time format", "picture", 2},
    {"motion", "Motion", "upload_settings", 2},
    {"program_configuration", "Program Configuration", "configuration", 1},
    {"program_running", "Program Running", "program_configuration", 2},
    {"various_options", "Various Options", "program_configuration", 2},
    {"program_interface", "Program Interface", "program_configuration", 2},
    {"premonition", "Premonition", "program_configuration", 2},
    {"picturequality", "Picture", "program_configuration", 2},
    {"camera", "Camera", "configuration", 1},
    {"driver", "Driver", "camera", 2},
    {"format", "Format", "camera", 2},
    {"display", "Display", "camera", 2},
    {"source", "Source", "camera", 2},
    {"help", "Help", "menus", 1},
    {"news", "News", "help", 2},
    {"miscellaneous", "Miscellaneous", "", 1},
    {"news_online", "News", "miscellaneous", 3},
    {"bug_report", "Bug report", "miscellaneous", 3},
    {"faq", "FAQ", "miscellaneous", 3},
};

// The Help buttons' topic keys: the page shown, the node marked, whether that node is opened.
struct ExpectedTopic {
    const char* key;
    const char* page;
    const char* node;
    bool expanded;
};

const ExpectedTopic kExpectedTopics[] = {
    {"UploadSettings", "UploadSettings.htm", "upload_settings", true},
    {"ProgramConfiguration", "ProgramConfiguration.htm", "program_configuration", true},
    {"CaptureMovie", "CaptureMovie.htm", "capture_movie", true},
    {"MovieFrameRate", "MovieFrameRate.htm", "movie_frame_rate", false},
    {"AudioFormat", "AudioFormat.htm", "audio_format", false},
    {"Driver", "Driver.htm", "driver", false},
    {"News", "News.htm", "news", false},
    {"TimeFormat", "TimeFormat.htm", "time_format", false},
    {"UniqueFilenames", "UniqueFilenames.htm", "unique_filenames", false},
    {"AddAdditionalText", "AddAdditionalText.htm", "add_additional_text", false},
    {"UploadLog", "UploadLog.htm", "upload_log", false},
    {"MotionLog", "MotionLog.htm", "motion_log", false},
    {"FTPLog", "FTPLog.htm", "ftp_log", false},
};

QString Page(const char* file) {
    return HelpPagePath(QString::fromLatin1(file));
}

QTreeWidgetItem* NodeOf(const char* key) {
    return forms::frmHelp().Node(QString::fromLatin1(key));
}

bool AncestorsExpanded(const QTreeWidgetItem* node) {
    for (const QTreeWidgetItem* parent = node->parent(); parent != nullptr; parent = parent->parent()) {
        if (!parent->isExpanded())
            return false;
    }
    return true;
}

// A user's click on a node: press and release of the left button over it.
void ClickNode(QTreeWidgetItem* node) {
    QTreeWidget* tree = node->treeWidget();
    tree->scrollToItem(node);
    const QPoint at = tree->visualItemRect(node).center();
    for (QEvent::Type type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, tree->viewport()->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(tree->viewport(), &event);
    }
}

// Counts the times a window is raised above the others.
class RaiseCounter : public QObject {
  public:
    explicit RaiseCounter(QWidget* window) { window->installEventFilter(this); }
    int count = 0;

  protected:
    bool eventFilter(QObject* /*watched*/, QEvent* event) override {
        if (event->type() == QEvent::ZOrderChange)
            ++count;
        return false;
    }
};

TEST_F(HelpWindowTest, LoadBuildsTheTreeOpensTheRootsAndShowsTheStartPage) {
    frmHelp& help = forms::frmHelp();
    EXPECT_EQ(help.windowTitle(), "Snapwire 2004 Help");
    EXPECT_EQ(help.size(), QSize(ui::TwipsToPixels(6225), ui::TwipsToPixels(4545)));
    EXPECT_EQ(help.cmdOK_Help->text(), "&Close");

    QTreeWidgetItemIterator it(help.tv1);
    for (const ExpectedNode& expected : kExpectedTree) {
        SCOPED_TRACE(expected.key);
        ASSERT_NE(*it, nullptr);
        const QTreeWidgetItem* node = *it;
        EXPECT_EQ(help.NodeKey(node), expected.key);
        EXPECT_EQ(node->text(0), expected.caption);
        EXPECT_EQ(help.NodeKey(node->parent()), expected.parent);
        EXPECT_EQ(node->icon(0).cacheKey(), help.ImageList1.at(expected.picture - 1).cacheKey());
        // Only the roots are open, so their children show and deeper branches stay shut.
        EXPECT_EQ(node->isExpanded(), node->parent() == nullptr);
        ++it;
    }
    EXPECT_EQ(*it, nullptr) << "more nodes than the table of contents holds";

    EXPECT_EQ(help.help_browser->LocationURL(), Page("Start.htm"));
    EXPECT_FALSE(help.help_browser->ShowsErrorPage());
    EXPECT_TRUE(help.SelectedKey().isEmpty());
}

TEST_F(HelpWindowTest, EveryTopicShowsItsPageMarksItsNodeAndShowsTheWindowModally) {
    for (const ExpectedTopic& topic : kExpectedTopics) {
        SCOPED_TRACE(topic.key);
        ui::UnloadAllForms();  // each topic as the first Help button pressed after start
        showings.clear();

        ShowHelpTopic(QString::fromLatin1(topic.key));

        frmHelp& help = forms::frmHelp();
        ASSERT_EQ(showings.size(), 1u);
        EXPECT_EQ(showings[0].window, &help);
        EXPECT_EQ(showings[0].helpPage, Page(topic.page));
        EXPECT_EQ(showings[0].helpSelectedKey, topic.node);
        EXPECT_FALSE(help.help_browser->ShowsErrorPage());

        const QTreeWidgetItem* node = NodeOf(topic.node);
        EXPECT_TRUE(node->isSelected());
        EXPECT_TRUE(AncestorsExpanded(node)) << "the marked node must be in view";
        if (node->childCount() > 0) {
            EXPECT_EQ(node->isExpanded(), topic.expanded);
        }
        // The roots stay open as the load left them.
        EXPECT_TRUE(NodeOf("miscellaneous")->isExpanded());
    }
    EXPECT_TRUE(ui::ShownBoxes().empty());
}

TEST_F(HelpWindowTest, AnUnknownOrMiscasedKeySaysSoAndShowsTheWindowAsItStood) {
    ui::AnswerNextMessageBox(ui::vbOK);
    ShowHelpTopic(QStringLiteral("ftplog"));
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_EQ(ui::ShownBoxes()[0].prompt, "Error finding that help file!");
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbCritical);
    EXPECT_EQ(ui::ShownBoxes()[0].title, ui::kProgramTitle);
    ASSERT_EQ(showings.size(), 1u);
    EXPECT_EQ(showings[0].helpPage, Page("Start.htm"));  // its start page on first use
    EXPECT_TRUE(showings[0].helpSelectedKey.isEmpty());

    ShowHelpTopic(QStringLiteral("Driver"));
    ui::AnswerNextMessageBox(ui::vbOK);
    ShowHelpTopic(QStringLiteral("Nothing"));
    ASSERT_EQ(showings.size(), 3u);
    EXPECT_EQ(showings[2].helpPage, Page("Driver.htm"));
    EXPECT_EQ(showings[2].helpSelectedKey, "driver");
    EXPECT_EQ(ui::ShownBoxes().size(), 2u);
}

TEST_F(HelpWindowTest, OpensBesideTheMainWindowAndStaysWhereItIsAfterClose) {
    QWidget mainWindow;
    mainWindow.setObjectName(QStringLiteral("frmMain"));
    mainWindow.move(100, 80);

    ShowHelpTopic(QStringLiteral("UploadLog"));
    frmHelp& help = forms::frmHelp();
    const QPoint expected(100 + ui::TwipsToPixels(2000), 80 + ui::TwipsToPixels(600));
    EXPECT_EQ(help.pos(), expected);

    // "&Close" hides it; the next Help button reuses it where it stands.
    mainWindow.move(300, 300);
    help.show();
    help.cmdOK_Help->click();
    EXPECT_FALSE(help.isVisible());
    ShowHelpTopic(QStringLiteral("MotionLog"));
    EXPECT_EQ(&forms::frmHelp(), &help);
    EXPECT_EQ(help.pos(), expected);
}

TEST_F(HelpWindowTest, CloseKeepsPageAndBranchesWhileTheCloseBoxDiscardsTheWindow) {
    ShowHelpTopic(QStringLiteral("TimeFormat"));
    frmHelp& help = forms::frmHelp();
    help.setProperty("first", true);
    NodeOf("camera")->setExpanded(true);  // the user opens a branch
    help.show();
    help.cmdOK_Help->click();

    ShowHelpTopic(QStringLiteral("Driver"));
    EXPECT_TRUE(forms::frmHelp().property("first").toBool());
    EXPECT_TRUE(NodeOf("camera")->isExpanded());
    EXPECT_TRUE(NodeOf("picture")->isExpanded());  // opened to show the earlier topic

    help.show();
    help.close();  // the close box
    frmHelp& fresh = forms::frmHelp();
    EXPECT_FALSE(fresh.property("first").toBool());
    EXPECT_EQ(fresh.help_browser->LocationURL(), Page("Start.htm"));
    EXPECT_FALSE(NodeOf("camera")->isExpanded());
    EXPECT_TRUE(NodeOf("menus")->isExpanded());
}

TEST_F(HelpWindowTest, ClickingANodeShowsItsPageAndTheWebNodesShowTheirAddress) {
    frmHelp& help = forms::frmHelp();
    help.show();

    ClickNode(NodeOf("menus"));
    EXPECT_EQ(help.help_browser->LocationURL(), Page("Menus.htm"));
    NodeOf("view")->setExpanded(true);
    ClickNode(NodeOf("logs"));
    EXPECT_EQ(help.help_browser->LocationURL(), Page("Logs.htm"));
    ClickNode(NodeOf("news"));
    EXPECT_EQ(help.help_browser->LocationURL(), Page("News.htm"));

    ClickNode(NodeOf("news_online"));
    EXPECT_EQ(help.help_browser->LocationURL(), QString::fromLatin1(kMakerNewsPage));
    ClickNode(NodeOf("faq"));
    EXPECT_EQ(help.help_browser->LocationURL(), QString::fromLatin1(kMakerFaqPage));
    ClickNode(NodeOf("bug_report"));
    EXPECT_EQ(help.help_browser->LocationURL(), QString::fromLatin1(kMakerBugReportPage));
    EXPECT_TRUE(help.help_browser->toPlainText().contains(QString::fromLatin1(kMakerBugReportPage)));
    EXPECT_TRUE(openedLinks.empty()) << "a node click shows the address; it starts no browser";
    Q_EMIT help.help_browser->anchorClicked(QUrl(QString::fromLatin1(kMakerBugReportPage)));
    ASSERT_EQ(openedLinks.size(), 1u);
    EXPECT_EQ(openedLinks[0], QUrl(QString::fromLatin1(kMakerBugReportPage)));

    // Clicking the node that is already selected shows its page again.
    help.help_browser->Navigate(Page("FTP.htm"));
    ClickNode(NodeOf("bug_report"));
    EXPECT_EQ(help.help_browser->LocationURL(), QString::fromLatin1(kMakerBugReportPage));
    EXPECT_TRUE(ui::ShownBoxes().empty());
}

TEST_F(HelpWindowTest, TheRealModalShowingWaitsUntilCloseIsPressed) {
    SetModalShowingForTests({});
    bool wasModal = false;
    ui::testing::RespondToNextModal<QDialog>([&wasModal](QDialog* window) {
        wasModal = window == &forms::frmHelp() && window->isModal();
        forms::frmHelp().cmdOK_Help->click();
    });
    ShowHelpTopic(QStringLiteral("AudioFormat"));
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(forms::frmHelp().isVisible());
    // Shown from the Help menu afterwards, it does not block.
    forms::frmHelp().show();
    EXPECT_FALSE(forms::frmHelp().isModal());
}

TEST_F(HelpWindowTest, AHelpButtonWhileTheWindowIsOpenFromTheMenuShowsItAfreshModally) {
    frmHelp& help = forms::frmHelp();
    help.show();
    ShowHelpTopic(QStringLiteral("MovieFrameRate"));
    ASSERT_EQ(showings.size(), 1u);
    EXPECT_EQ(showings[0].window, &help);
    EXPECT_FALSE(showings[0].visibleBefore);
    EXPECT_EQ(showings[0].helpPage, Page("MovieFrameRate.htm"));
}

TEST_F(HelpWindowTest, AHelpButtonRaisesAndActivatesTheWindowOverItsDialog) {
    frmHelp& help = forms::frmHelp();
    help.show();
    help.cmdOK_Help->click();
    QDialog dialog;  // opened after the help window, so it stands above it
    dialog.show();
    SetModalShowingForTests([](QDialog& window) { window.show(); });
    const RaiseCounter raised(&help);

    ShowHelpTopic(QStringLiteral("Driver"));
    QCoreApplication::processEvents();
    EXPECT_GT(raised.count, 0);
    EXPECT_EQ(QApplication::activeWindow(), &help);
}

TEST_F(HelpWindowTest, EveryCaptionOfTheTreeCanBeReadWhole) {
    frmHelp& help = forms::frmHelp();
    help.tv1->expandAll();
    help.show();
    QCoreApplication::processEvents();
    QTreeWidget* tree = help.tv1;
    QStyleOptionViewItem option;
    option.initFrom(tree);
    option.decorationSize = tree->iconSize();
    option.features = QStyleOptionViewItem::HasDisplay | QStyleOptionViewItem::HasDecoration;
    const int scrollable = tree->horizontalScrollBar()->maximum() + tree->viewport()->width();
    std::function<void(const QModelIndex&)> check = [&](const QModelIndex& parent) {
        for (int row = 0; row < tree->model()->rowCount(parent); ++row) {
            const QModelIndex node = tree->model()->index(row, 0, parent);
            SCOPED_TRACE(node.data().toString().toStdString());
            const QRect shown = tree->visualRect(node);
            EXPECT_GE(shown.width(), tree->itemDelegate()->sizeHint(option, node).width());
            EXPECT_LE(shown.right() + tree->horizontalScrollBar()->value(), scrollable);
            check(node);
        }
    };
    check(QModelIndex());
}

// --- The pages --------------------------------------------------------------------------------

TEST_F(HelpWindowTest, EveryLocalPageOfTheTreeIsInstalledAndShows) {
    frmHelp& help = forms::frmHelp();
    QStringList treePages;
    for (const HelpNode& node : HelpNodes()) {
        const QString address = HelpNodeAddress(node);
        if (HtmlBrowser::IsWebAddress(address))
            continue;
        SCOPED_TRACE(node.page);
        treePages << QString::fromLatin1(node.page);
        EXPECT_TRUE(QFile::exists(address));
        help.help_browser->Navigate(address);
        EXPECT_FALSE(help.help_browser->ShowsErrorPage());
        EXPECT_GT(help.help_browser->toPlainText().size(), 100) << "a page with next to nothing on it";
        EXPECT_FALSE(help.help_browser->toPlainText().contains(QLatin1String("Windows")))
            << "a page that speaks of another system than this desktop";
    }
    treePages.sort();
    EXPECT_EQ(treePages, BuiltInHelpPages()) << "a page that no node shows, or a node without its page";
}

TEST_F(HelpWindowTest, LinksBetweenPagesLeadToPagesThatExist) {
    const QStringList pages = BuiltInHelpPages();
    const QRegularExpression link(QStringLiteral("href=\"([^\"#:]+)\""));
    for (const QString& page : pages) {
        QFile file(QStringLiteral(":/snapwire/help/") + page);
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(file.readAll());
        for (const QRegularExpressionMatch& match : link.globalMatch(text)) {
            EXPECT_TRUE(pages.contains(match.captured(1)))
                << page.toStdString() << " links to " << match.captured(1).toStdString();
        }
    }
}

TEST_F(HelpWindowTest, FollowingALinkShowsTheLinkedPage) {
    frmHelp& help = forms::frmHelp();
    Q_EMIT help.help_browser->anchorClicked(QUrl(QStringLiteral("GetStarted.htm")));
    EXPECT_EQ(help.help_browser->LocationURL(), Page("GetStarted.htm"));
    EXPECT_TRUE(help.help_browser->toPlainText().contains(QStringLiteral("Get Started")));
    EXPECT_TRUE(openedLinks.empty());
}

TEST_F(HelpWindowTest, AMissingPageGetsTheBrowsersErrorPageAndNoMessage) {
    forms::frmHelp();
    ASSERT_TRUE(QFile::remove(Page("Driver.htm")));
    ShowHelpTopic(QStringLiteral("Driver"));
    EXPECT_TRUE(forms::frmHelp().help_browser->ShowsErrorPage());
    EXPECT_EQ(forms::frmHelp().SelectedKey(), "driver");
    EXPECT_TRUE(ui::ShownBoxes().empty());
    ASSERT_EQ(showings.size(), 1u);
}

TEST_F(HelpWindowTest, PagesOfAnOlderVersionAreReplacedWhileOtherFilesStay) {
    ASSERT_TRUE(QDir().mkpath(HelpFolder()));
    auto write = [](const QString& path, const QByteArray& content) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(content);
    };
    write(Page("Start.htm"), "<p>The start page of an older version of the program.</p>");
    write(Page("MyNotes.htm"), "<p>My own notes.</p>");

    forms::frmHelp();
    QFile builtIn(QStringLiteral(":/snapwire/help/Start.htm"));
    ASSERT_TRUE(builtIn.open(QIODevice::ReadOnly));
    QFile start(Page("Start.htm"));
    ASSERT_TRUE(start.open(QIODevice::ReadOnly));
    EXPECT_EQ(start.readAll(), builtIn.readAll());
    QFile notes(Page("MyNotes.htm"));
    ASSERT_TRUE(notes.open(QIODevice::ReadOnly));
    EXPECT_EQ(notes.readAll(), "<p>My own notes.</p>");
    EXPECT_TRUE(QFileInfo(Page("GetStarted.htm")).isWritable());
}

}  // namespace
}  // namespace snapwire
