#include "options/frm_driver.h"

#include "engine/frm_main.h"
#include "options/options_window_test.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/device_list.h"
#include "platform/capture/frame_feed.h"
#include "windows/frm_help.h"
#include "windows/modal_showing.h"

#include <QComboBox>
#include <QGroupBox>
#include <QPushButton>

namespace snapwire {
namespace {

using testing::OptionsWindowTest;

class FrmDriverTest : public OptionsWindowTest {
  protected:
    // Two drivers: the test's frame feed first, then the test pattern.
    void SetUp() override {
        OptionsWindowTest::SetUp();
        capture::FrameFeed::Enable();
    }
    void TearDown() override {
        OptionsWindowTest::TearDown();
        capture::FrameFeed::Disable();
    }

    // The main window's load fills the driver list and connects the stored driver.
    static frmDriver& LoadedDialog() {
        forms::frmMain();
        return forms::frmDriver();
    }
};

TEST_F(FrmDriverTest, ListsTheCaptureDriversInTheirOrder) {
    frmDriver& dialog = LoadedDialog();
    capture::CaptureControl* vcx = forms::frmMain().vcx;
    ASSERT_GT(vcx->DeviceCount(), 0);  // at least the test pattern
    ASSERT_EQ(dialog.cbDriver->count(), vcx->DeviceCount());
    for (int i = 0; i < vcx->DeviceCount(); ++i) EXPECT_EQ(dialog.cbDriver->itemText(i), vcx->DeviceName(i));
    EXPECT_EQ(dialog.Frame1->title(), QStringLiteral("Select the driver you want to use:"));
}

TEST_F(FrmDriverTest, ChoosingAnEntryConnectsThatDriverAtOnce) {
    frmDriver& dialog = LoadedDialog();
    capture::CaptureControl* vcx = forms::frmMain().vcx;
    const int feed = dialog.cbDriver->findText(QString::fromLatin1(capture::kFrameFeedName));
    const int pattern = dialog.cbDriver->findText(QString::fromLatin1(capture::kTestPatternName));
    ASSERT_GE(feed, 0);
    ASSERT_GE(pattern, 0);

    dialog.cbDriver->setCurrentIndex(pattern);
    EXPECT_EQ(vcx->DeviceIndex(), pattern);
    EXPECT_TRUE(vcx->DeviceConnected());

    // The picture comes from the chosen driver before OK.
    QImage picture(64, 48, QImage::Format_RGB32);
    picture.fill(QColor(12, 34, 56));
    dialog.cbDriver->setCurrentIndex(feed);
    EXPECT_EQ(vcx->DeviceIndex(), feed);
    EXPECT_TRUE(capture::FrameFeed::PushAndWait(*vcx, picture));
    EXPECT_TRUE(ui::ShownBoxes().empty());
    EXPECT_EQ(Stored("Select the driver you want to use:"), QString());
}

TEST_F(FrmDriverTest, ADriverThatFailsLeavesThePreviousOneConnectedAndSelected) {
    frmDriver& dialog = LoadedDialog();
    capture::CaptureControl* vcx = forms::frmMain().vcx;
    const int pattern = dialog.cbDriver->findText(QString::fromLatin1(capture::kTestPatternName));
    dialog.cbDriver->setCurrentIndex(pattern);
    // An entry the capture control cannot connect.
    dialog.cbDriver->addItem(QStringLiteral("Unplugged Camera"));

    ui::AnswerNextMessageBox(ui::vbOK);
    dialog.cbDriver->setCurrentIndex(dialog.cbDriver->count() - 1);

    ASSERT_EQ(ShownPrompts(), QStringList(QStringLiteral("Could not connect to driver!")));
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbCritical + ui::vbOKOnly);
    EXPECT_EQ(dialog.cbDriver->currentIndex(), pattern);
    EXPECT_EQ(vcx->DeviceIndex(), pattern);
    EXPECT_TRUE(vcx->DeviceConnected());
}

TEST_F(FrmDriverTest, OkStoresTheNameShownAndHides) {
    frmDriver& dialog = LoadedDialog();
    const int last = dialog.cbDriver->count() - 1;
    dialog.cbDriver->setCurrentIndex(last);
    dialog.show();
    dialog.cmdOK->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(Stored("Select the driver you want to use:"), dialog.cbDriver->itemText(last));

    // The next start selects the stored entry again.
    ui::UnloadAllForms();
    EXPECT_EQ(LoadedDialog().cbDriver->currentIndex(), last);
}

TEST_F(FrmDriverTest, HelpShowsTheDriverTopicModally) {
    QString shownNode;
    SetModalShowingForTests([&shownNode](QDialog&) { shownNode = forms::frmHelp().SelectedKey(); });
    forms::frmDriver().cmdHelp->click();
    SetModalShowingForTests({});
    EXPECT_EQ(shownNode, "driver");
}

TEST_F(FrmDriverTest, OnlyOkLeavesTheDialog) {
    frmDriver& dialog = LoadedDialog();
    dialog.show();
    dialog.close();
    EXPECT_TRUE(dialog.isVisible());
    dialog.cmdOK_Click();
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace snapwire
