// The publishing steps of the cycle against a real FTP server on loopback: both
// transfer modes, the time text file, folders, every kind of failure with its log
// lines and message, the local copy and its guards, and the working files.

#include <gtest/gtest.h>

#include <QTemporaryDir>

#include "engine/upload_test_fixture.h"
#include "windows/frm_last.h"

namespace snapwire {
namespace {

using testing::FtpTestServer;

int CountStartingWith(const QStringList& lines, const QString& start) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(),
                                          [&](const QString& line) { return line.startsWith(start); }));
}

class TransferTest : public testing::UploadTest {
  protected:
    // One ticked account on the test server; the logs go to their files.
    frmMain& LoadWithServer(FtpTestServer::Options options = {}) {
        StartServer(options);
        StoreServerAccount(1, QStringLiteral("Cam"));
        frmMain& window = LoadWindow();
        LogToFiles();
        return window;
    }
};

TEST_F(TransferTest, PassiveAndActiveUploadsArriveByteForByteWithTheirLogLines) {
    frmMain& window = LoadWithServer();
    SetOption(Options().chkKeepUpload, true);

    window.mnuupload_now_Click();
    const QByteArray published = ProgramFileBytes("webcam.jpg");
    ASSERT_TRUE(published.startsWith("\xFF\xD8")) << "no JPEG was kept";
    EXPECT_EQ(ServerFile(QStringLiteral("webcam.jpg")), published);
    EXPECT_TRUE(server_->commands().contains(QStringLiteral("PASV")));
    EXPECT_EQ(FtpLogLines(),
              TransferLines(QStringLiteral("127.0.0.1"), {QStringLiteral("Picture uploaded!")}));
    EXPECT_EQ(UploadLogRow(0),
              (QStringList{Stamp(), QStringLiteral("webcam.jpg"), QStringLiteral("127.0.0.1")}));
    EXPECT_EQ(ProgramFileBytes("UploadLog.txt"), Stamp().toLatin1() + "\twebcam.jpg\t127.0.0.1\r\n");
    EXPECT_TRUE(ShownPrompts().isEmpty());

    StoreValue(QStringLiteral("Cam"), "FTPPassiveMode", QStringLiteral("0"));
    QFile::remove(server_->rootFile(QStringLiteral("webcam.jpg")));
    window.mnuupload_now_Click();
    EXPECT_EQ(CountStartingWith(server_->commands(), QStringLiteral("PORT 127,0,0,1,")), 1);
    EXPECT_EQ(ServerFile(QStringLiteral("webcam.jpg")), ProgramFileBytes("webcam.jpg"));
    EXPECT_EQ(UploadLogRows(), 2);
}

TEST_F(TransferTest, TimeTextFileGoesIntoTheFolderUnderItsPattern) {
    StartServer();
    ASSERT_TRUE(QDir(server_->root()).mkdir(QStringLiteral("cam")));
    StoreServerAccount(1, QStringLiteral("Cam"));
    StoreValue(QStringLiteral("Cam"), "Initial Remote Site Folder:", QStringLiteral("cam"));
    StoreValue(QStringLiteral("Cam"), "TextTime", QStringLiteral("1"));
    StoreValue(QStringLiteral("Cam"), "TextTimeName", QStringLiteral("%N-%YYYY%TT%DD.txt"));
    frmMain& window = LoadWindow();
    LogToFiles();

    window.mnuupload_now_Click();
    EXPECT_TRUE(server_->commands().contains(QStringLiteral("STOR cam/webcam.jpg")));
    EXPECT_EQ(ServerFile(QStringLiteral("cam/webcam-20340622.txt")), Stamp().toLatin1() + "\r\n");
    EXPECT_FALSE(ServerFile(QStringLiteral("cam/webcam.jpg")).isEmpty());
    EXPECT_EQ(FtpLogLines(),
              TransferLines(QStringLiteral("127.0.0.1"),
                            {QStringLiteral("Picture uploaded!"), QStringLiteral("Uploading Textfile"),
                             QStringLiteral("Textfile uploaded")}));
}

TEST_F(TransferTest, WrongPasswordIsLoggedWithTheServersReplyAndReportedForAManualCycle) {
    frmMain& window = LoadWithServer();
    StoreValue(QStringLiteral("Cam"), "Password:", QStringLiteral("not the password"));

    window.mnuupload_now_Click();
    // The reply to the refused login alone, with its own line end after "Server: ".
    EXPECT_EQ(FtpLogLines().mid(1),
              (QStringList{QStringLiteral("Connecting..."), QStringLiteral("Couldn't connect to server"),
                           QStringLiteral("Server: 530 Authentication failed."), QString(),
                           QStringLiteral("No picture uploaded")}));
    EXPECT_EQ(ShownPrompts(), QStringList{QString::fromLatin1(kConnectMessage)});
    EXPECT_EQ(ui::ShownBoxes().front().style, ui::vbCritical + ui::vbOKOnly);
    EXPECT_EQ(UploadLogRows(), 0);
}

TEST_F(TransferTest, UnknownHostAndStoppedServerLogNoServerLine) {
    LoadWithServer();
    frmMain& window = forms::frmMain();
    const QStringList failed{QStringLiteral("Connecting..."), QStringLiteral("Couldn't connect to server"),
                             QStringLiteral("No picture uploaded")};

    StoreValue(QStringLiteral("Cam"), "Host Name/Adress:", QStringLiteral("no-such-host.invalid"));
    window.mnuupload_now_Click();
    EXPECT_EQ(FtpLogLines().mid(1), failed);

    StoreValue(QStringLiteral("Cam"), "Host Name/Adress:", QStringLiteral("127.0.0.1"));
    PointAtPort(testing::UnusedLocalPort());
    window.mnuupload_now_Click();
    EXPECT_EQ(FtpLogLines().mid(5), failed);
    EXPECT_EQ(ShownPrompts(),
              (QStringList{QString::fromLatin1(kConnectMessage), QString::fromLatin1(kConnectMessage)}));
}

TEST_F(TransferTest, AnAutomaticCycleFailsSilentlyApartFromTheLog) {
    frmMain& window = LoadWithServer();
    PointAtPort(testing::UnusedLocalPort());
    int tim = 1;
    window.Timers(tim);
    EXPECT_EQ(FtpLogLines().mid(1, 2),
              (QStringList{QStringLiteral("Connecting..."), QStringLiteral("Couldn't connect to server")}));
    EXPECT_TRUE(ShownPrompts().isEmpty());
}

TEST_F(TransferTest, ARefusedStoreLogsTheReplyAndNoUpload) {
    frmMain& window = LoadWithServer({.readOnly = true});
    window.mnuupload_now_Click();
    EXPECT_EQ(FtpLogLines(),
              TransferLines(QStringLiteral("127.0.0.1"),
                            {QStringLiteral("Couldn't upload"),
                             QStringLiteral("Server: 550 Not enough privileges."), QString()}));
    EXPECT_EQ(UploadLogRows(), 0);
    EXPECT_TRUE(ShownPrompts().isEmpty());
}

// The time text file must not go up over a second login the log never shows.
TEST_F(TransferTest, AServerDroppingThePicturesPutLeavesTheTimeTextFileUnsent) {
    frmMain& window = LoadWithServer({.uploads = FtpTestServer::Options::Uploads::DropFirst});
    StoreValue(QStringLiteral("Cam"), "TextTime", QStringLiteral("1"));
    window.mnuupload_now_Click();
    EXPECT_EQ(FtpLogLines(),
              TransferLines(QStringLiteral("127.0.0.1"),
                            {QStringLiteral("Couldn't upload"), QStringLiteral("Uploading Textfile"),
                             QStringLiteral("Couldn't upload Textfile")}));
    EXPECT_EQ(CountStartingWith(server_->commands(), QStringLiteral("USER")), 1);
    EXPECT_TRUE(ServerFile(QStringLiteral("time.txt")).isEmpty());
}

// Sent, such a name would take the connection down with it, and the time text file.
TEST_F(TransferTest, ANameWithAControlCharacterIsRefusedWithItsReasonAndTheTimeTextFileStillGoesUp) {
    frmMain& window = LoadWithServer();
    StoreValue(QStringLiteral("Cam"), "TextTime", QStringLiteral("1"));
    StoreValue(QStringLiteral("Cam"), "Destination filename:", QStringLiteral("cam\tone"));
    window.mnuupload_now_Click();
    EXPECT_EQ(FtpLogLines().mid(4, 4),
              (QStringList{"Couldn't upload",
                           "The file name \"cam?one.jpg\" cannot be sent to the server: it holds the control "
                           "character 0x09.",
                           "Uploading Textfile", "Textfile uploaded"}));
}

TEST_F(TransferTest, SuccessMessageOnlyWhenAsked) {
    frmMain& window = LoadWithServer();
    SetOption(Options().chkSuc, true);
    window.mnuupload_now_Click();
    EXPECT_EQ(ShownPrompts(), QStringList{QStringLiteral("Picture uploaded successfully")});
}

// --- Local copy ----------------------------------------------------------------------------

class LocalCopyTest : public TransferTest {
  protected:
    void SetUp() override {
        TransferTest::SetUp();
        ASSERT_TRUE(folder_.isValid());
    }
    // Copies only, into folder_ (or the folder text given).
    frmMain& LoadCopyingLocally(const QString& folderText, bool onlyLocally = true) {
        StoreServerAccount(1, QStringLiteral("Cam"));
        StoreValue(QStringLiteral("Cam"), "Locally", QStringLiteral("1"));
        StoreValue(QStringLiteral("Cam"), "Only Locally",
                   onlyLocally ? QStringLiteral("1") : QStringLiteral("0"));
        StoreValue(QStringLiteral("Cam"), "LocallySource", folderText);
        frmMain& window = LoadWindow();
        LogToFiles();
        return window;
    }
    QTemporaryDir folder_;
};

TEST_F(LocalCopyTest, OnlyLocallyCopiesAndSendsNothing) {
    frmMain& window = LoadCopyingLocally(folder_.path());
    SetOption(Options().chkKeepUpload, true);
    window.mnuupload_now_Click();

    QFile copy(folder_.filePath(QStringLiteral("webcam.jpg")));
    ASSERT_TRUE(copy.open(QIODevice::ReadOnly));
    EXPECT_EQ(copy.readAll(), ProgramFileBytes("webcam.jpg"));
    EXPECT_EQ(UploadLogRow(0),
              (QStringList{Stamp(), QStringLiteral("webcam.jpg"), folder_.path() + QStringLiteral("/")}));
    EXPECT_TRUE(FtpLogLines().isEmpty());
}

TEST_F(LocalCopyTest, LocallyAndFtpBothPublishWithAnEntryEach) {
    StartServer();
    frmMain& window = LoadCopyingLocally(folder_.path(), false);
    window.mnuupload_now_Click();
    EXPECT_TRUE(QFile::exists(folder_.filePath(QStringLiteral("webcam.jpg"))));
    EXPECT_FALSE(ServerFile(QStringLiteral("webcam.jpg")).isEmpty());
    ASSERT_EQ(UploadLogRows(), 2);
    EXPECT_EQ(UploadLogRow(0)[2], folder_.path() + QStringLiteral("/"));
    EXPECT_EQ(UploadLogRow(1)[2], QStringLiteral("127.0.0.1"));
}

TEST_F(LocalCopyTest, AFailedCopyLeavesNoUploadEntry) {
    frmMain& window = LoadCopyingLocally(folder_.filePath(QStringLiteral("no such folder")));
    window.mnuupload_now_Click();
    EXPECT_EQ(UploadLogRows(), 0);
    EXPECT_EQ(FtpLogLines(),
              QStringList{QStringLiteral("Couldn't copy 'webcam.jpg' to '") +
                          folder_.filePath(QStringLiteral("no such folder")) + QStringLiteral("/'")});
}

TEST_F(LocalCopyTest, NamesThatWouldLeaveTheFolderCopyNothing) {
    const QString inner = folder_.filePath(QStringLiteral("inner"));
    ASSERT_TRUE(QDir().mkpath(inner));
    StoreValue(QStringLiteral("Cam"), "UniqueCustom", QStringLiteral("True"));
    StoreValue(QStringLiteral("Cam"), "UniqueCustomFormat", QStringLiteral("../escaped"));
    StoreValue(QStringLiteral("Cam"), "TextTime", QStringLiteral("1"));
    StoreValue(QStringLiteral("Cam"), "TextTimeName", QStringLiteral(".."));
    frmMain& window = LoadCopyingLocally(inner);
    window.mnuupload_now_Click();

    EXPECT_EQ(QDir(folder_.path()).entryList(QDir::Files), QStringList());
    EXPECT_EQ(QDir(inner).entryList(QDir::Files), QStringList());
    EXPECT_EQ(UploadLogRows(), 0);
    EXPECT_EQ(
        FtpLogLines(),
        (QStringList{QStringLiteral("Couldn't copy '../escaped.jpg' to '") + inner + QStringLiteral("/'"),
                     QStringLiteral("Couldn't copy '..' to '") + inner + QStringLiteral("/'")}));
}

// A local folder that is the program folder would make the copy replace its own
// source: the picture must survive to be sent, and no copy is logged.
TEST_F(LocalCopyTest, ACopyOntoItsOwnSourceLeavesThePictureForTheTransfer) {
    StartServer();
    StoreValue(QStringLiteral("Cam"), "TextTime", QStringLiteral("1"));
    frmMain& window = LoadCopyingLocally(home(), false);
    window.mnuupload_now_Click();

    EXPECT_TRUE(ServerFile(QStringLiteral("webcam.jpg")).startsWith("\xFF\xD8"));
    EXPECT_EQ(ServerFile(QStringLiteral("time.txt")), Stamp().toLatin1() + "\r\n");
    ASSERT_EQ(UploadLogRows(), 1);
    EXPECT_EQ(UploadLogRow(0)[2], QStringLiteral("127.0.0.1"));
    const QStringList lines = FtpLogLines();
    ASSERT_GE(lines.size(), 2);
    EXPECT_EQ(lines.mid(0, 2),
              (QStringList{QStringLiteral("Couldn't copy 'webcam.jpg' to '") + home() + QStringLiteral("/'"),
                           QStringLiteral("Couldn't copy 'time.txt' to '") + home() + QStringLiteral("/'")}));
}

TEST_F(LocalCopyTest, AnEmptyFolderCopiesNothing) {
    frmMain& window = LoadCopyingLocally(QString());
    window.mnuupload_now_Click();
    EXPECT_EQ(UploadLogRows(), 0);
    EXPECT_FALSE(QFile::exists(QStringLiteral("/webcam.jpg")));
    EXPECT_EQ(FtpLogLines(), QStringList{QStringLiteral("Couldn't copy 'webcam.jpg' to '/'")});
}

// --- Working files ---------------------------------------------------------------------------

TEST_F(TransferTest, WorkingFilesGoAndThePictureStaysOnlyWithKeep) {
    frmMain& window = LoadWithServer();
    StoreValue(QStringLiteral("Cam"), "TextTime", QStringLiteral("1"));
    SetOption(Options().chkKeepUpload, false);
    window.mnuupload_now_Click();
    for (const char* name : {"ic.bmp", "pu.bmp", "pic.bmp", "time.txt", "webcam.jpg"})
        EXPECT_FALSE(ProgramFileExists(name)) << name;
    EXPECT_FALSE(ServerFile(QStringLiteral("time.txt")).isEmpty());

    SetOption(Options().chkKeepUpload, true);
    window.mnuupload_now_Click();
    for (const char* name : {"ic.bmp", "pu.bmp", "pic.bmp", "time.txt"})
        EXPECT_FALSE(ProgramFileExists(name)) << name;
    EXPECT_TRUE(ProgramFileExists("webcam.jpg"));
}

TEST_F(TransferTest, TheLastPictureWindowShowsWhatWasPublished) {
    frmMain& window = LoadWithServer();
    window.mnuupload_now_Click();
    const frmLast& last = forms::frmLast();
    EXPECT_FALSE(last.isVisible());
    EXPECT_EQ(last.windowTitle(), Stamp());
    EXPECT_EQ(last.Picture().width(), frame_.width());
    EXPECT_GT(last.Picture().height(), frame_.height());  // the strip is part of the picture
}

// A JPEG that cannot be written must not publish an older picture kept from before.
TEST_F(TransferTest, AFailedJpegPublishesNothingButTheCycleStillEnds) {
    frmMain& window = LoadWithServer();
    StoreValue(QStringLiteral("Cam"), "TextTime", QStringLiteral("1"));
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("webcam.jpg")));  // the JPEG writer cannot write there
    const QString statusBefore = window.StatusBar1->PanelText(1);

    window.mnuupload_now_Click();
    EXPECT_EQ(ShownPrompts(), QStringList{QStringLiteral("Failed to save JPEG file")});
    EXPECT_TRUE(server_->commands().isEmpty());
    EXPECT_TRUE(FtpLogLines().isEmpty());
    EXPECT_EQ(UploadLogRows(), 0);
    EXPECT_FALSE(ProgramFileExists("time.txt"));
    for (const char* name : {"ic.bmp", "pu.bmp", "pic.bmp"}) EXPECT_FALSE(ProgramFileExists(name)) << name;
    EXPECT_EQ(forms::frmLast().windowTitle(), QStringLiteral("No Last Picture"));
    EXPECT_EQ(window.antalUpload, 1);
    EXPECT_EQ(window.StatusBar1->PanelText(1), statusBefore);
}

}  // namespace
}  // namespace snapwire
