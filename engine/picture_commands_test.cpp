#include "engine/picture_commands.h"

#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QSlider>

#include "engine/picture_box.h"
#include "engine/upload_test_fixture.h"
#include "platform/capture/frame_files.h"
#include "platform/ui/common_dialogs.h"

namespace snapwire {
namespace {

using testing::UploadTest;

class PictureCommandTest : public UploadTest {
  protected:
    void SetUp() override {
        UploadTest::SetUp();
        ui::ResetDialogAnswersForTests();
    }
    void TearDown() override {
        pictures::SetPrinterOutputForTests(QString());
        EXPECT_EQ(ui::UnansweredDialogCount(), 0);
        EXPECT_EQ(ui::UnansweredBoxCount(), 0);
        ui::ResetDialogAnswersForTests();
        UploadTest::TearDown();
    }

    QString File(const char* name) const { return homeFile(QString::fromLatin1(name)); }
    static QByteArray Bytes(const QString& path) {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    static void WriteBytes(const QString& path, const QByteArray& bytes) {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(bytes);
    }
    // The JPEG the capture control writes of the frame at that quality.
    QByteArray JpegOfFrame(int quality) const {
        const QString path = File("reference.jpg");
        EXPECT_TRUE(capture::WriteJpeg(frame_, path, quality));
        const QByteArray bytes = Bytes(path);
        QFile::remove(path);
        return bytes;
    }
};

// --- Save ---------------------------------------------------------------------------------------

TEST_F(PictureCommandTest, FilterDecidesTheFormatAndTheDialogKeepsTheNameWithoutExtension) {
    frmMain& window = LoadWindow(320, 240);
    Options().Slider1->setValue(35);
    window.motion_preview->trigger();  // the user's live video off
    ASSERT_FALSE(window.vcx->LivePreview());

    ui::AnswerNextFileDialog(File("pic.jpg"), pictures::kBitmapFilter);
    window.save_image_capture_Click();
    EXPECT_EQ(Bytes(File("pic.jpg")), capture::EncodeBitmap24(frame_));
    EXPECT_EQ(window.dlg.FileName(), File("pic"));
    EXPECT_EQ(window.picLastCapture->Picture().toImage().convertToFormat(QImage::Format_RGB32), frame_);
    // On again after the save, while the menu's check mark stays as the user left it.
    EXPECT_TRUE(window.vcx->LivePreview());
    EXPECT_FALSE(window.motion_preview->isChecked());

    ui::AnswerNextFileDialog(File("shot.bmp"), pictures::kJpegFilter);
    window.save_image_capture_Click();
    EXPECT_EQ(Bytes(File("shot.bmp")), JpegOfFrame(35));
    EXPECT_NE(JpegOfFrame(35), JpegOfFrame(75));
    EXPECT_EQ(window.dlg.FileName(), File("shot"));
    EXPECT_TRUE(ShownPrompts().isEmpty());
}

TEST_F(PictureCommandTest, CancelledDialogEndsQuietlyWithThePreviewOn) {
    frmMain& window = LoadWindow();
    const QString openedWith = window.dlg.FileName();
    EXPECT_TRUE(openedWith.endsWith(QStringLiteral("/capture")));
    window.vcx->SetLivePreview(false);

    ui::AnswerNextFileDialog(std::nullopt);
    window.save_image_capture_Click();
    ui::AnswerNextFileDialog(QString());  // no name is as good as a cancel
    window.save_image_capture_Click();

    EXPECT_TRUE(ShownPrompts().isEmpty());
    EXPECT_EQ(window.dlg.FileName(), openedWith);
    EXPECT_TRUE(window.vcx->LivePreview());
    EXPECT_EQ(QDir(home()).entryList({QStringLiteral("*.bmp"), QStringLiteral("*.jpg")}), QStringList());
}

TEST_F(PictureCommandTest, ExistingFileIsReplacedOnlyWhenTheUserSaysSo) {
    frmMain& window = LoadWindow();
    const QString path = File("old.bmp");
    WriteBytes(path, "keep me");
    const QString openedWith = window.dlg.FileName();

    // No brings the dialog back; here it is cancelled then.
    ui::AnswerNextFileDialog(path, pictures::kBitmapFilter);
    ui::AnswerNextMessageBox(ui::vbNo);
    ui::AnswerNextFileDialog(std::nullopt);
    window.save_image_capture_Click();
    EXPECT_EQ(Bytes(path), QByteArray("keep me"));
    EXPECT_EQ(window.dlg.FileName(), openedWith);
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    const ui::ShownBox& question = ui::ShownBoxes().front();
    EXPECT_EQ(question.prompt, QStringLiteral("'") + path + QStringLiteral("' already exist\r\rOverwrite?"));
    EXPECT_EQ(question.title, QStringLiteral("File already exist"));
    EXPECT_EQ(question.style, ui::vbYesNo + ui::vbQuestion + ui::vbDefaultButton2);

    // No, then another name that is free: saved there without a question.
    ui::ClearShownBoxes();
    ui::AnswerNextFileDialog(path, pictures::kBitmapFilter);
    ui::AnswerNextMessageBox(ui::vbNo);
    ui::AnswerNextFileDialog(File("new.bmp"), pictures::kBitmapFilter);
    window.save_image_capture_Click();
    EXPECT_EQ(Bytes(path), QByteArray("keep me"));
    EXPECT_EQ(Bytes(File("new.bmp")), capture::EncodeBitmap24(frame_));
    EXPECT_EQ(ui::ShownBoxes().size(), 1u);

    ui::AnswerNextFileDialog(path, pictures::kBitmapFilter);
    ui::AnswerNextMessageBox(ui::vbYes);
    window.save_image_capture_Click();
    EXPECT_EQ(Bytes(path), capture::EncodeBitmap24(frame_));
    EXPECT_EQ(window.dlg.FileName(), File("old"));
}

// Saves to `path` by `filter` with the live video off; the one box that follows is
// acknowledged, and the live video must be back on.
ui::ShownBox SaveReportingOneBox(frmMain& window, const QString& path, int filter) {
    ui::ClearShownBoxes();
    window.vcx->SetLivePreview(false);
    ui::AnswerNextFileDialog(path, filter);
    ui::AnswerNextMessageBox(ui::vbOK);
    window.save_image_capture_Click();
    EXPECT_TRUE(window.vcx->LivePreview());
    EXPECT_EQ(ui::ShownBoxes().size(), 1u);
    return ui::ShownBoxes().empty() ? ui::ShownBox{} : ui::ShownBoxes().front();
}

TEST_F(PictureCommandTest, FailedWritesAreReportedAndThePreviewComesBack) {
    frmMain& window = LoadWindow();
    const ui::ShownBox jpeg = SaveReportingOneBox(window, File("missing/a.jpg"), pictures::kJpegFilter);
    EXPECT_EQ(jpeg.prompt, QStringLiteral("Failed to save JPEG file"));
    EXPECT_EQ(jpeg.title, QString::fromLatin1(ui::kProgramTitle));
    EXPECT_EQ(jpeg.style, ui::vbCritical + ui::vbOKOnly);

    const ui::ShownBox bitmap = SaveReportingOneBox(window, File("missing/a.bmp"), pictures::kBitmapFilter);
    EXPECT_EQ(bitmap.title, QStringLiteral("Error saving image"));
    EXPECT_EQ(bitmap.style, ui::vbCritical + ui::vbOKOnly);
    EXPECT_TRUE(bitmap.prompt.contains(File("missing/a.bmp"))) << bitmap.prompt.toStdString();

    // Without a frame there is no picture to save.
    window.vcx->SetDeviceConnected(false);
    const ui::ShownBox none = SaveReportingOneBox(window, File("none.bmp"), pictures::kBitmapFilter);
    EXPECT_EQ(none.title, QStringLiteral("Error saving image"));
    EXPECT_EQ(none.prompt, QStringLiteral("There is no picture from the capture device"));
    EXPECT_FALSE(QFile::exists(File("none.bmp")));
}

// --- Print --------------------------------------------------------------------------------------

TEST_F(PictureCommandTest, PrintsTheFrameAndKeepsPrintBmpOnlyWhenAsked) {
    frmMain& window = LoadWindow(320, 240);
    const QString page = File("page.pdf");
    pictures::SetPrinterOutputForTests(page);

    SetOption(Options().chkPrint, true);
    window.mnuPrint_Click();
    EXPECT_TRUE(Bytes(page).startsWith("%PDF"));
    EXPECT_TRUE(Bytes(page).contains("/Width 320")) << "the frame is on the page";
    EXPECT_EQ(ProgramFileBytes("print.bmp"), capture::EncodeBitmap24(frame_));
    EXPECT_EQ(window.picPrint->size(), QSize(320, 240));

    QFile::remove(page);
    SetOption(Options().chkPrint, false);
    window.mnuPrint->trigger();
    EXPECT_TRUE(Bytes(page).startsWith("%PDF"));
    EXPECT_FALSE(ProgramFileExists("print.bmp"));
    EXPECT_TRUE(ShownPrompts().isEmpty());
}

TEST_F(PictureCommandTest, FrameThatCannotBeWrittenIsReportedAndNoEarlierPictureIsPrinted) {
    frmMain& window = LoadWindow();
    const QString page = File("page.pdf");
    pictures::SetPrinterOutputForTests(page);
    SetOption(Options().chkPrint, true);
    window.mnuPrint_Click();
    ASSERT_TRUE(ProgramFileExists("print.bmp"));
    QFile::remove(page);

    window.vcx->SetDeviceConnected(false);
    ui::AnswerNextMessageBox(ui::vbOK);
    window.mnuPrint_Click();
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_EQ(ui::ShownBoxes()[0].prompt,
              QStringLiteral("Print Error: There is no picture from the capture device"));
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbInformation + ui::vbOKOnly);
    EXPECT_EQ(ui::ShownBoxes()[0].title, QString::fromLatin1(ui::kProgramTitle));
    EXPECT_FALSE(QFile::exists(page));
    EXPECT_EQ(ProgramFileBytes("print.bmp"), capture::EncodeBitmap24(frame_));  // kept, as ticked
}

// --- Copy and wiring -------------------------------------------------------------------------------

TEST_F(PictureCommandTest, CopyPutsTheFrameOnTheClipboardAndReportsNothing) {
    frmMain& window = LoadWindow(160, 120);
    QGuiApplication::clipboard()->clear();
    window.mnuCopytoClipboard->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->image().convertToFormat(QImage::Format_RGB32), frame_);

    QGuiApplication::clipboard()->setText(QStringLiteral("earlier"));
    window.vcx->SetDeviceConnected(false);
    window.mnuCopytoClipboard_Click();
    EXPECT_EQ(QGuiApplication::clipboard()->text(), QStringLiteral("earlier"));
    EXPECT_TRUE(ShownPrompts().isEmpty());
}

TEST_F(PictureCommandTest, MenuItemAndToolbarButtonStartTheSave) {
    frmMain& window = LoadWindow();
    ui::AnswerNextFileDialog(File("menu.bmp"), pictures::kBitmapFilter);
    window.save_image_capture->trigger();
    EXPECT_TRUE(QFile::exists(File("menu.bmp")));

    ui::AnswerNextFileDialog(File("button.bmp"), pictures::kBitmapFilter);
    window.Toolbar1_ButtonClick(window.Toolbar1->Buttons(1));
    EXPECT_TRUE(QFile::exists(File("button.bmp")));
}

}  // namespace
}  // namespace snapwire
