#include "platform/ui/common_dialogs.h"

#include <gtest/gtest.h>

#include <QFileDialog>
#include <QTemporaryDir>

#include "platform/ui/message_box.h"
#include "platform/ui/modal_responder_for_tests.h"

namespace snapwire::ui {
namespace {

class CommonDialogsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ResetDialogAnswersForTests();
        ResetMessageBoxesForTests();
    }
    void TearDown() override {
        ResetDialogAnswersForTests();
        ResetMessageBoxesForTests();
    }
};

TEST_F(CommonDialogsTest, ProgramFiltersBecomeQtFilters) {
    EXPECT_EQ(detail::ToQtFilter("Sound Files (*.wav)|*.wav"), "Sound Files (*.wav)");
    EXPECT_EQ(detail::ToQtFilter("Bitmap files (*.bmp)|*.bmp|JPEG files (*.jpg)|*.jpg"),
              "Bitmap files (*.bmp);;JPEG files (*.jpg)");
    EXPECT_EQ(detail::ToQtFilter("AVI files (*.avi)|*.avi|All fiels (*.*)|*.*"),
              "AVI files (*.avi);;All fiels (*)");
    EXPECT_EQ(detail::ToQtFilter("Pictures|*.jpg;*.jpeg"), "Pictures (*.jpg *.jpeg)");
    EXPECT_EQ(detail::ToQtFilter("Text (*.txt)|*.log"), "Text (*.txt) (*.log)");
    EXPECT_EQ(detail::ToQtFilter("Images (*.png *.jpg);;Any (*)"), "Images (*.png *.jpg);;Any (*)");
    EXPECT_EQ(detail::ToQtFilter(""), "");
}

TEST_F(CommonDialogsTest, QueuedAnswersStandInForThePickers) {
    AnswerNextFileDialog(QString("/tmp/beep.wav"));
    AnswerNextFileDialog(std::nullopt);
    AnswerNextFileDialog(QString("/tmp/pic.jpg"), 2);
    EXPECT_EQ(ShowOpen(nullptr, "Choose Sound...", "Sound Files (*.wav)|*.wav"), QString("/tmp/beep.wav"));
    EXPECT_EQ(ShowSave(nullptr, "Capture to...", "AVI files (*.avi)|*.avi"), std::nullopt);
    const std::optional<FileChoice> choice = ShowSaveChoosingFilter(
        nullptr, "t", "Bitmap files (*.bmp)|*.bmp|JPEG files (*.jpg)|*.jpg", "", "bmp");
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->path, "/tmp/pic.jpg");
    EXPECT_EQ(choice->filterIndex, 2);

    AnswerNextColorDialog(QColor(Qt::green));
    AnswerNextFontDialog(QFont("Tahoma", 8));
    AnswerNextFolderDialog(QString("/tmp"));
    AnswerNextFolderDialog(std::nullopt);
    EXPECT_EQ(ShowColor(nullptr, Qt::black), QColor(Qt::green));
    EXPECT_EQ(ShowFont(nullptr, QFont())->family(), "Tahoma");
    EXPECT_EQ(BrowseForFolder(nullptr, "Choose where to save picture locally"), QString("/tmp"));
    EXPECT_EQ(BrowseForFolder(nullptr, "again"), std::nullopt);
    EXPECT_EQ(UnansweredDialogCount(), 0);
}

TEST_F(CommonDialogsTest, UnansweredPickerCancelsAndCountsTheMiss) {
    SetAnsweringForTests(true);
    EXPECT_EQ(ShowColor(nullptr, Qt::red), std::nullopt);
    EXPECT_EQ(ShowOpen(nullptr, "t", ""), std::nullopt);
    EXPECT_EQ(UnansweredDialogCount(), 2);
}

TEST_F(CommonDialogsTest, RealSaveDialogReportsTheChosenFilterAndAddsTheDefaultExtension) {
    SetAnsweringForTests(false);
    QTemporaryDir dir;
    testing::RespondToNextModal<QFileDialog>([&](QFileDialog* dialog) {
        dialog->selectNameFilter("JPEG files (*.jpg)");
        dialog->selectFile(dir.filePath("capture"));
        static_cast<QDialog*>(dialog)->accept();  // QFileDialog's own accept() is protected
    });
    const std::optional<FileChoice> choice = ShowSaveChoosingFilter(
        nullptr, "Capture to...", "Bitmap files (*.bmp)|*.bmp|JPEG files (*.jpg)|*.jpg", dir.path(), ".bmp");
    ASSERT_TRUE(choice.has_value());
    EXPECT_EQ(choice->filterIndex, 2);
    EXPECT_EQ(choice->path, dir.filePath("capture.bmp"));

    testing::RespondToNextModal<QFileDialog>([](QFileDialog* dialog) { dialog->reject(); });
    EXPECT_EQ(ShowSave(nullptr, "Capture to...", "AVI files (*.avi)|*.avi", dir.path()), std::nullopt);
}

}  // namespace
}  // namespace snapwire::ui
