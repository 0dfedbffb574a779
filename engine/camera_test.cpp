// The program on cameras as webcams really are, each played by a stand-in source in
// front of the pipeline a camera gets: the formats they send, a camera that is
// unplugged in the middle of a run, and cameras plugged in after start-up.

#include <gtest/gtest.h>

#include <QComboBox>
#include <QDialog>
#include <QImage>
#include <QPushButton>
#include <QStringList>

#include "engine/frm_main.h"
#include "engine/main_toolbar.h"
#include "engine/main_window_test_fixture.h"
#include "engine/picture_box.h"
#include "engine/picture_commands.h"
#include "options/frm_driver.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/capture_test_support.h"
#include "platform/capture/stand_in_camera.h"
#include "platform/ui/common_dialogs.h"

namespace snapwire {
namespace {

using capture::testing::WaitUntil;

// Every camera starts at 640 x 480, the size the program prefers.
struct CameraCase {
    const char* name;
    const char* caps;    // as the device monitor reports the camera
    const char* sizes;   // what the format dialog lists
    const char* chosen;  // the size chosen there
    QSize chosenSize;
};

void PrintTo(const CameraCase& camera, std::ostream* out) {
    *out << camera.name;
}

const QSize kStartSize(640, 480);
const CameraCase kCameras[] = {
    {"YUY2 camera",
     "video/x-raw, format=YUY2, width=640, height=480, framerate={ 30/1, 15/1 };"
     "video/x-raw, format=YUY2, width=320, height=240, framerate={ 30/1, 15/1 }",
     "320 x 240|640 x 480",
     "320 x 240",
     {320, 240}},
    {"MJPEG camera",
     "image/jpeg, width=640, height=480, framerate={ 30/1, 15/1 };"
     "image/jpeg, width=1280, height=720, framerate={ 30/1, 15/1 }",
     "640 x 480 (Motion-JPEG)|1280 x 720 (Motion-JPEG)",
     "1280 x 720 (Motion-JPEG)",
     {1280, 720}},
    {"NV12 camera",
     "video/x-raw, format=NV12, width=640, height=480, framerate=[ 1/1, 30/1 ];"
     "video/x-raw, format=NV12, width=320, height=240, framerate=[ 1/1, 30/1 ]",
     "320 x 240|640 x 480",
     "320 x 240",
     {320, 240}},
    {"Camera with Motion-JPEG above 640 x 480",
     "video/x-raw, format=YUY2, width=640, height=480, framerate={ 30/1, 15/1 };"
     "video/x-raw, format=YUY2, width=320, height=240, framerate={ 30/1, 15/1 };"
     "image/jpeg, width=640, height=480, framerate={ 30/1, 15/1 };"
     "image/jpeg, width=1280, height=720, framerate={ 30/1, 15/1 };"
     "image/jpeg, width=1920, height=1080, framerate={ 30/1, 15/1 }",
     "320 x 240|640 x 480|640 x 480 (Motion-JPEG)|1280 x 720 (Motion-JPEG)|1920 x 1080 (Motion-JPEG)",
     "1280 x 720 (Motion-JPEG)",
     {1280, 720}},
};

// The colour bars of the stand-in source are bright; a stopped picture is black.
bool ShowsAPicture(const QImage& image) {
    for (int y = 0; y < image.height(); y += 8)
        for (int x = 0; x < image.width(); x += 8)
            if (qGray(image.pixel(x, y)) > 100)
                return true;
    return false;
}

class CameraTest : public testing::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ui::ResetDialogAnswersForTests();
        StoreNotFirstRun();
    }
    void TearDown() override {
        ui::ResetDialogAnswersForTests();
        MainWindowTest::TearDown();
        capture::SetStandInCameras({});
    }

    frmMain& LoadWindowOn(const QString& camera) {
        Store("Select the driver you want to use:", camera);
        frmMain& window = forms::frmMain();
        EXPECT_TRUE(window.vcx->DeviceConnected());
        return window;
    }
    QString File(const char* name) const { return homeFile(QString::fromLatin1(name)); }
};

class CameraFormatTest : public CameraTest, public ::testing::WithParamInterface<CameraCase> {};

TEST_P(CameraFormatTest, FramesReachEveryUseOfThePicture) {
    const CameraCase& camera = GetParam();
    capture::SetStandInCameras({{QString::fromLatin1(camera.name), QString::fromLatin1(camera.caps)}});
    frmMain& window = LoadWindowOn(QString::fromLatin1(camera.name));
    ASSERT_EQ(window.vcx->CurrentFrame().size(), kStartSize);
    EXPECT_TRUE(ShowsAPicture(window.vcx->grab().toImage()));

    ui::AnswerNextFileDialog(File("still.bmp"), pictures::kBitmapFilter);
    window.save_image_capture_Click();
    ui::AnswerNextFileDialog(File("still.jpg"), pictures::kJpegFilter);
    window.save_image_capture_Click();
    EXPECT_EQ(QImage(File("still.bmp")).size(), kStartSize);
    EXPECT_TRUE(ShowsAPicture(QImage(File("still.jpg"))));

    window.StartMotion();
    window.timMotion_Timer();
    EXPECT_EQ(QImage(File("Motion.bmp")).size(), kStartSize);
    EXPECT_EQ(window.picMotion->Picture().size(), kStartSize);
    window.StopMotion();

    QStringList listed;
    capture::testing::AnswerNextDialog([&](QDialog* dialog) {
        auto* sizes = dialog->findChild<QComboBox*>(QStringLiteral("cboFrameSize"));
        for (int i = 0; i < sizes->count(); ++i) listed << sizes->itemText(i);
        sizes->setCurrentIndex(sizes->findText(QString::fromLatin1(camera.chosen)));
        dialog->accept();
    });
    window.vformat_Click();
    EXPECT_EQ(listed.join(QLatin1Char('|')), QString::fromLatin1(camera.sizes));
    ASSERT_EQ(window.vcx->CurrentFrame().size(), camera.chosenSize);
    EXPECT_EQ(window.vcx->size(), camera.chosenSize);

    window.vcx->SetCaptureFile(File("movie.avi"));
    window.vcx->SetCaptureSound(false);
    ASSERT_TRUE(window.vcx->BeginCapture());
    ASSERT_TRUE(WaitUntil([&] { return window.vcx->GetCaptureStatus().framesCaptured >= 3; }));
    window.vcx->EndCapture();
    ASSERT_TRUE(WaitUntil([&] { return !window.vcx->GetCaptureStatus().capturing; }));
    const QString movie = capture::testing::Discover(File("movie.avi"));
    EXPECT_TRUE(movie.contains(QStringLiteral("Width: %1").arg(camera.chosenSize.width())) &&
                movie.contains(QStringLiteral("Height: %1").arg(camera.chosenSize.height())))
        << movie.toStdString();
}

INSTANTIATE_TEST_SUITE_P(Webcams, CameraFormatTest, ::testing::ValuesIn(kCameras));

TEST_F(CameraTest, AnUnpluggedCameraStopsThePictureAndConnectsAgainWhenItIsBack) {
    const QString name = QStringLiteral("Camera unplugged");
    const QString caps = QString::fromLatin1(kCameras[0].caps);
    capture::SetStandInCameras({{name, caps, 10}});
    frmMain& window = LoadWindowOn(name);
    ASSERT_TRUE(WaitUntil([&] { return !window.vcx->DeviceConnected(); }));
    EXPECT_TRUE(window.vcx->CurrentFrame().isNull());
    EXPECT_FALSE(ShowsAPicture(window.vcx->grab().toImage()));

    // Picture commands and the upload cycle find no picture, as without a device.
    ui::ClearShownBoxes();
    window.mnuPrint_Click();
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_EQ(ui::ShownBoxes()[0].prompt,
              QStringLiteral("Print Error: There is no picture from the capture device"));
    ui::ClearShownBoxes();
    window.upload_now(false, false, QStringLiteral("-1"));
    EXPECT_TRUE(ui::ShownBoxes().empty());
    EXPECT_FALSE(QFile::exists(File("ic.bmp")));

    // Choosing the driver again while it is away says so; once it is back, it connects.
    capture::SetStandInCameras({});
    QComboBox* drivers = forms::frmDriver().cbDriver;
    const int entry = drivers->findText(name);
    ASSERT_EQ(drivers->currentIndex(), entry);
    Q_EMIT drivers->activated(entry);
    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_EQ(ui::ShownBoxes()[0].prompt, QStringLiteral("Could not connect to driver!"));
    EXPECT_FALSE(window.vcx->DeviceConnected());

    capture::SetStandInCameras({{name, caps}});
    Q_EMIT drivers->activated(entry);
    EXPECT_TRUE(window.vcx->DeviceConnected());
    EXPECT_EQ(window.vcx->CurrentFrame().size(), QSize(640, 480));
    EXPECT_EQ(ui::ShownBoxes().size(), 1u);
}

// Plugged in after start-up, a camera is offered where the driver is chosen; the one
// chosen is found at the next start by its serial, though a twin now has its node.
TEST_F(CameraTest, ACameraPluggedInLaterIsOfferedAndFoundAgainByItsSerial) {
    frmMain& window = LoadWindowOn(QString::fromLatin1(capture::kTestPatternName));
    const QString name = QStringLiteral("Desk camera");
    capture::StandInCamera wide{name, QString::fromLatin1(kCameras[0].caps), 0, QStringLiteral("/dev/video0"),
                                QStringLiteral("A")};
    capture::StandInCamera small{name, QString::fromLatin1(kCameras[0].caps).section(QLatin1Char(';'), 1), 0,
                                 QStringLiteral("/dev/video2"), QStringLiteral("B")};
    capture::SetStandInCameras({small, wide});
    window.Toolbar1_ButtonMenuClick(window.Toolbar1->ButtonMenuByKey(QStringLiteral("Driver")));
    frmDriver& dialog = forms::frmDriver();
    const int first = dialog.cbDriver->findText(name);
    ASSERT_GE(first, 0);
    EXPECT_EQ(dialog.cbDriver->currentText(), QString::fromLatin1(capture::kTestPatternName));
    dialog.cbDriver->setCurrentIndex(first + 1);
    EXPECT_EQ(window.vcx->CurrentFrame().size(), kStartSize);
    dialog.cmdOK->click();

    ui::UnloadAllForms();
    wide.node.swap(small.node);
    capture::SetStandInCameras({small, wide});
    EXPECT_EQ(forms::frmMain().vcx->CurrentFrame().size(), kStartSize);
}

// Identical cameras report one serial (maker and model): only their ports tell them
// apart, and the one chosen is never taken for its twin while it is away.
TEST_F(CameraTest, AnUnpluggedCameraIsNotTakenForItsIdenticalTwin) {
    frmMain& window = LoadWindowOn(QString::fromLatin1(capture::kTestPatternName));
    const QString name = QStringLiteral("USB Camera"), caps = QString::fromLatin1(kCameras[0].caps);
    const capture::StandInCamera x{name, caps, 0, "/dev/video0", "046d_0825", "usb-0:1"};
    capture::StandInCamera y{name, caps.section(';', 1), 10, "/dev/video2", "046d_0825", "usb-0:2"};
    capture::SetStandInCameras({x, y});
    window.Toolbar1_ButtonMenuClick(window.Toolbar1->ButtonMenuByKey(QStringLiteral("Driver")));
    frmDriver& dialog = forms::frmDriver();
    const int yEntry = dialog.cbDriver->findText(name) + 1;
    dialog.cbDriver->setCurrentIndex(yEntry);
    ASSERT_TRUE(WaitUntil([&] { return !window.vcx->DeviceConnected(); })) << "unplugged";
    capture::SetStandInCameras({x});
    Q_EMIT dialog.cbDriver->activated(yEntry);
    EXPECT_FALSE(window.vcx->DeviceConnected()) << "its twin is connected in its place";
    dialog.cmdOK->click();

    // At the next start with only the twin plugged in, the stored camera is away.
    ui::UnloadAllForms();
    ui::ClearShownBoxes();
    EXPECT_FALSE(forms::frmMain().vcx->DeviceConnected());
    EXPECT_EQ(ui::ShownBoxes().at(0).prompt, QStringLiteral("Couldn't connect to capture device!"));
    y.failAfterFrames = 0;
    capture::SetStandInCameras({x, y});
    forms::frmMain().vcx->SetDeviceConnected(true);
    EXPECT_EQ(forms::frmMain().vcx->CurrentFrame().size(), QSize(320, 240));
}

}  // namespace
}  // namespace snapwire
