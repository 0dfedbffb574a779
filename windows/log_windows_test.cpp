#include "windows/log_windows.h"

#include "platform/ui/controls.h"
#include "platform/ui/forms.h"
#include "settings_store/program_settings.h"
#include "testsupport/window_test.h"
#include "windows/frm_help.h"
#include "windows/modal_showing.h"

#include <gtest/gtest.h>
#include <QCheckBox>
#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTreeView>
#include <QWindow>

namespace snapwire {
namespace {

class LogWindowsTest : public testing::WindowTest {
  protected:
    static QString Stored(const char* name) { return ReadSetting(QString(), QString::fromLatin1(name)); }
    static void Store(const char* name, const QString& text) {
        WriteSetting(QString(), QString::fromLatin1(name), SettingValue(text));
    }
    // The windows as a fresh start of the program finds them.
    static void Restart() { ui::UnloadAllForms(); }
};

struct WindowCase {
    const char* switchValue;
    const char* fileName;
    LogWindow& (*window)();
};

const WindowCase kWindows[] = {
    {"LogFTP", "FTPLog.txt", []() -> LogWindow& { return forms::FTPLog(); }},
    {"LogUpload", "UploadLog.txt", []() -> LogWindow& { return forms::frmUploadLog(); }},
    {"LogMotion", "MotionLog.txt", []() -> LogWindow& { return forms::frmMotionLog(); }},
};

TEST_F(LogWindowsTest, CaptionsViewsAndColumnsAreAsDesigned) {
    EXPECT_EQ(forms::FTPLog().windowTitle(), "FTP Log");
    EXPECT_EQ(forms::frmUploadLog().windowTitle(), "Upload Log");
    EXPECT_EQ(forms::frmMotionLog().windowTitle(), "Motion Log");

    const QAbstractItemModel* upload = forms::frmUploadLog().lvUploadLog->model();
    ASSERT_EQ(upload->columnCount(), 3);
    EXPECT_EQ(upload->headerData(0, Qt::Horizontal), "Time");
    EXPECT_EQ(upload->headerData(1, Qt::Horizontal), "Name");
    EXPECT_EQ(upload->headerData(2, Qt::Horizontal), "Destination");
    const QAbstractItemModel* motion = forms::frmMotionLog().lvMotionLog->model();
    ASSERT_EQ(motion->columnCount(), 4);
    EXPECT_EQ(motion->headerData(1, Qt::Horizontal), "Motion");
    EXPECT_EQ(motion->headerData(2, Qt::Horizontal), "Upload");
    EXPECT_EQ(motion->headerData(3, Qt::Horizontal, Qt::UserRole).toString(), "kDestination");

    const LogWindow& log = forms::frmUploadLog();
    EXPECT_EQ(log.chkLogToHardDrive->text(), "Log to hard drive");
    EXPECT_EQ(log.cmdHelp->text(), "&Help");
    EXPECT_EQ(log.cmdReset->text(), "&Clear");
    EXPECT_EQ(log.cmdClose->text(), "&Close");
}

// The help is the transient of the on-top log window that asked, which the
// window manager keeps in front of it; other Help buttons get it as before.
TEST_F(LogWindowsTest, HelpShowsEachWindowsOwnTopicModallyInFrontOfIt) {
    QStringList shownNodes;
    std::vector<const QWindow*> inFrontOf;
    SetModalShowingForTests([&](QDialog& help) {
        shownNodes << forms::frmHelp().SelectedKey();
        const QWindow* handle = help.windowHandle();
        inFrontOf.push_back(handle == nullptr ? nullptr : handle->transientParent());
    });
    for (const WindowCase& c : kWindows) {
        c.window().show();
        c.window().cmdHelp->click();
        EXPECT_EQ(inFrontOf.back(), c.window().windowHandle()) << c.switchValue;
    }
    ShowHelpTopic(QStringLiteral("Driver"));
    SetModalShowingForTests({});
    EXPECT_EQ(shownNodes, QStringList({"ftp_log", "upload_log", "motion_log", "driver"}));
    EXPECT_EQ(inFrontOf.back(), nullptr);
}

TEST_F(LogWindowsTest, LoadReadsTheSwitchesAndAbsentMeansOff) {
    Store("LogUpload", QStringLiteral("1"));
    Store("LogMotion", QStringLiteral("0"));
    EXPECT_FALSE(forms::FTPLog().LogsToHardDrive());
    EXPECT_TRUE(forms::frmUploadLog().LogsToHardDrive());
    EXPECT_FALSE(forms::frmMotionLog().LogsToHardDrive());
    // Loading an absent switch stores nothing.
    EXPECT_EQ(Stored("LogFTP"), "");
}

TEST_F(LogWindowsTest, TickingTheSwitchStoresItAtOnceAndTheNextStartReadsItBack) {
    for (const WindowCase& c : kWindows) {
        SCOPED_TRACE(c.switchValue);
        c.window().chkLogToHardDrive->click();
        EXPECT_EQ(Stored(c.switchValue), "1");
        EXPECT_TRUE(c.window().LogsToHardDrive());
    }
    Restart();
    for (const WindowCase& c : kWindows) {
        SCOPED_TRACE(c.switchValue);
        EXPECT_TRUE(c.window().LogsToHardDrive());
        c.window().chkLogToHardDrive->click();
        EXPECT_EQ(Stored(c.switchValue), "0");
    }
    Restart();
    for (const WindowCase& c : kWindows) EXPECT_FALSE(c.window().LogsToHardDrive()) << c.switchValue;
}

TEST_F(LogWindowsTest, TooltipsNameTheLogFilesInTheProgramFolder) {
    for (const WindowCase& c : kWindows) {
        const QString path = homeFile(QString::fromLatin1(c.fileName));
        EXPECT_EQ(c.window().chkLogToHardDrive->toolTip(), QStringLiteral("Logs to: ") + path);
        EXPECT_EQ(c.window().LogFilePath(), path);
    }
}

TEST_F(LogWindowsTest, LoadedWindowIsHiddenTopmostAndStandsInTheRightHalfOfTheScreen) {
    LogWindow& log = forms::frmMotionLog();
    EXPECT_FALSE(log.isVisible());
    EXPECT_TRUE(log.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(log.windowFlags().testFlag(Qt::Tool));

    log.show();
    const QRect screen = QGuiApplication::primaryScreen()->geometry();
    const QRect outer = log.frameGeometry();
    EXPECT_EQ(outer.left(), screen.width() / 2);
    // Centred by the size known at load; the frame the window system adds on
    // showing may move the centre by its own thickness.
    const int frame = outer.height() - log.height();
    EXPECT_NEAR(outer.center().y(), screen.center().y(), frame + 1);
    EXPECT_TRUE(log.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(LogWindowsTest, ResizingKeepsTheDesignMarginsAndSkipsImpossibleSizes) {
    frmUploadLog& log = forms::frmUploadLog();
    log.show();            // a hidden window gets its resize events when it is shown
    log.resize(329, 233);  // the design size: 4935 x 3495 twips
    EXPECT_EQ(log.lvUploadLog->geometry(), QRect(8, 8, 313, 185));
    EXPECT_EQ(log.chkLogToHardDrive->y(), 204);
    EXPECT_EQ(log.cmdHelp->pos(), QPoint(120, 200));
    EXPECT_EQ(log.cmdReset->pos(), QPoint(192, 200));
    EXPECT_EQ(log.cmdClose->pos(), QPoint(264, 200));

    log.resize(500, 400);
    EXPECT_EQ(log.lvUploadLog->geometry(), QRect(8, 8, 484, 352));
    EXPECT_EQ(log.cmdClose->geometry().right(), log.lvUploadLog->geometry().right());
    EXPECT_EQ(log.cmdClose->y(), 367);

    // Narrower than the margins: the view keeps its last width, the height still follows.
    log.setMinimumSize(0, 0);
    log.resize(10, 300);
    EXPECT_EQ(log.lvUploadLog->width(), 484);
    EXPECT_EQ(log.lvUploadLog->height(), 252);
    EXPECT_EQ(log.cmdClose->geometry().right(), log.lvUploadLog->geometry().right());
}

TEST_F(LogWindowsTest, ClosingHidesAndKeepsTheLog) {
    FTPLog& log = forms::FTPLog();
    log.AppendText(QStringLiteral("Connecting...\r\n"));
    log.show();
    EXPECT_FALSE(log.close());
    EXPECT_FALSE(log.isVisible());
    log.show();
    EXPECT_EQ(forms::FTPLog().txtERR->PlainText(), "Connecting...\n");

    log.cmdClose->click();
    EXPECT_FALSE(log.isVisible());
    EXPECT_EQ(&forms::FTPLog(), &log);
}

TEST_F(LogWindowsTest, ClearEmptiesTheViewButNotTheFile) {
    FTPLog& ftp = forms::FTPLog();
    ftp.chkLogToHardDrive->click();
    QFile file(ftp.LogFilePath());
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("kept\r\n");
    file.close();

    ftp.AppendText(QStringLiteral("Connecting...\r\n"));
    ftp.cmdReset->click();
    EXPECT_EQ(ftp.txtERR->PlainText(), "");
    ftp.AppendText(QStringLiteral("Disconnected\r\n"));
    EXPECT_EQ(ftp.txtERR->PlainText(), "Disconnected\n");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), "kept\r\n");

    frmMotionLog& motion = forms::frmMotionLog();
    motion.AddRow({"t", "7%", "", ""});
    motion.cmdReset->click();
    EXPECT_EQ(motion.RowCount(), 0);
}

// A long server reply wraps inside the box, as a text box with only a
// vertical scroll bar shows it, instead of running off its right edge.
TEST_F(LogWindowsTest, LongFtpLinesWrapWithinTheView) {
    FTPLog& ftp = forms::FTPLog();
    ftp.show();
    ftp.AppendText(QStringLiteral("Server: 550 ") + QStringLiteral("permission denied ").repeated(20) +
                   QStringLiteral("\r\n"));
    ftp.ShowEnd();
    QCoreApplication::processEvents();
    EXPECT_GT(ftp.txtERR->ScreenLines(0), 2);
    EXPECT_EQ(ftp.txtERR->ScreenLines(1), 1);
    EXPECT_FALSE(ftp.txtERR->horizontalScrollBar()->isVisible());
    EXPECT_TRUE(ftp.txtERR->verticalScrollBar()->isVisible());
    EXPECT_TRUE(ftp.txtERR->IsScrolledToEnd());
}

// Copying takes what the mouse selected, across log lines, not the whole log.
TEST_F(LogWindowsTest, FtpLogCopiesTheTextSelectedByDraggingOrSelectAll) {
    FTPLog& ftp = forms::FTPLog();
    ftp.show();
    ftp.AppendText(QStringLiteral("alpha beta\r\ngamma delta\r\n"));
    QCoreApplication::processEvents();
    LogTextView* view = ftp.txtERR;
    const QFontMetrics metrics(view->font());
    const int margin = 4;  // the gap a text box leaves between its frame and the text
    // Just past the start of "beta" in the first line, and of "ma" in the second.
    const QPoint from(margin + metrics.horizontalAdvance(QStringLiteral("alpha ")) + 1,
                      margin + metrics.lineSpacing() / 2);
    const QPoint to(margin + metrics.horizontalAdvance(QStringLiteral("gam")) + 1,
                    from.y() + metrics.lineSpacing());
    const auto mouse = [view](QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, view->viewport()->mapToGlobal(at), Qt::LeftButton, buttons,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(view->viewport(), &event);
    };
    const auto keys = [view](QKeySequence::StandardKey key) {
        const QKeyCombination combination = QKeySequence(key)[0];
        QKeyEvent event(QEvent::KeyPress, combination.key(), combination.keyboardModifiers());
        QCoreApplication::sendEvent(view, &event);
    };
    mouse(QEvent::MouseButtonPress, from, Qt::LeftButton);
    mouse(QEvent::MouseMove, to, Qt::LeftButton);
    mouse(QEvent::MouseButtonRelease, to, Qt::NoButton);
    keys(QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "beta\ngam");
    keys(QKeySequence::SelectAll);
    keys(QKeySequence::Copy);
    EXPECT_EQ(QGuiApplication::clipboard()->text(), "alpha beta\ngamma delta\n");
}

// A field may hold any character (a timestamp pattern the unit separator), and many.
TEST_F(LogWindowsTest, ListRowsKeepTheirFieldsWhateverTheyHold) {
    frmUploadLog& upload = forms::frmUploadLog();
    const QStringList row{QStringLiteral("Time\x1fX 05"), QStringLiteral("b\u00e4r\x1f").repeated(60),
                          QStringLiteral("ftp.example.org")};
    upload.AddRow(row);
    EXPECT_EQ(upload.RowTexts(0), row);
    EXPECT_EQ(upload.lvUploadLog->model()->index(0, 2).data().toString(), "ftp.example.org");
}

// Entries made while the window is hidden are in view, the newest current, once it opens.
TEST_F(LogWindowsTest, AHiddenListShowsItsNewestEntryWhenOpened) {
    frmMotionLog& motion = forms::frmMotionLog();
    for (int i = 1; i <= 300; ++i) {
        motion.AddRow({QString::number(i), "7%", "", ""});
        motion.SelectLastRow();
    }
    motion.show();
    QCoreApplication::processEvents();
    const QModelIndex newest = motion.lvMotionLog->model()->index(299, 0);
    EXPECT_EQ(motion.CurrentRow(), 299);
    EXPECT_TRUE(motion.lvMotionLog->viewport()->rect().contains(motion.lvMotionLog->visualRect(newest)));
}

TEST_F(LogWindowsTest, ViewsHoldABoundedNumberOfLinesAndKeepTheNewest) {
    frmMotionLog& motion = forms::frmMotionLog();
    for (int i = 1; i <= kMaxLinesInView + 5; ++i) motion.AddRow({QString::number(i), "7%", "", ""});
    motion.SelectLastRow();
    ASSERT_EQ(motion.RowCount(), kMaxLinesInView);
    EXPECT_EQ(motion.RowTexts(0).at(0), "6");
    EXPECT_EQ(motion.CurrentRow(), kMaxLinesInView - 1);
    EXPECT_EQ(motion.RowTexts(kMaxLinesInView - 1),
              QStringList({QString::number(kMaxLinesInView + 5), "7%", "", ""}));

    FTPLog& ftp = forms::FTPLog();
    for (int i = 1; i <= kMaxLinesInView + 5; ++i)
        ftp.AppendText(QString::number(i) + QStringLiteral("\r\n"));
    const QStringList lines = ftp.txtERR->PlainText().split(QLatin1Char('\n'));
    ASSERT_EQ(lines.size(), kMaxLinesInView + 1);  // the last line break leaves an empty last line
    EXPECT_EQ(lines.first(), "6");
    EXPECT_EQ(lines.at(lines.size() - 2), QString::number(kMaxLinesInView + 5));
    // Shown, it stands at the newest lines, a line of the log to a step of the scroll bar.
    ftp.show();
    ftp.ShowEnd();
    QCoreApplication::processEvents();
    EXPECT_TRUE(ftp.txtERR->IsScrolledToEnd());
    EXPECT_GT(ftp.txtERR->verticalScrollBar()->maximum(), kMaxLinesInView - 30);
}

}  // namespace
}  // namespace snapwire
