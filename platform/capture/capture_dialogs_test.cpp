#include "platform/capture/capture_dialogs.h"

#include <gtest/gtest.h>

#include <QComboBox>
#include <QFileInfo>
#include <QSlider>

#include "platform/capture/capture_test_support.h"
#include "platform/capture/frame_feed.h"

namespace snapwire::capture {
namespace {

using testing::AnswerNextDialog;
using testing::WaitUntil;

std::vector<VideoFormat> TwoSizes() {
    return FormatsFromCapsString(
        QStringLiteral("video/x-raw,width=320,height=240,framerate={15/1,30/1};"
                       "video/x-raw,width=640,height=480,framerate={5/1,15/1,30/1};"
                       "image/jpeg,width=1280,height=720,framerate=30/1"));
}

TEST(FormatDialogTest, OffersEachSizeOnceWithItsRates) {
    const auto offered = TwoSizes();
    FormatDialog dialog(offered, VideoFormat{QStringLiteral("video/x-raw"), 640, 480, 15, 1});
    auto* sizes = dialog.findChild<QComboBox*>(QStringLiteral("cboFrameSize"));
    auto* rates = dialog.findChild<QComboBox*>(QStringLiteral("cboFrameRate"));
    ASSERT_TRUE(sizes && rates);
    ASSERT_EQ(sizes->count(), 3);
    EXPECT_EQ(sizes->itemText(2), QStringLiteral("1280 x 720 (Motion-JPEG)"));
    EXPECT_EQ(sizes->currentText(), QStringLiteral("640 x 480"));
    EXPECT_EQ(rates->count(), 3);
    EXPECT_EQ(rates->currentText(), QStringLiteral("15 fps"));

    sizes->setCurrentIndex(0);
    EXPECT_EQ(rates->count(), 2);
    EXPECT_EQ(dialog.SelectedFormat().width, 320);
    EXPECT_EQ(dialog.SelectedFormat().rateNumerator, 15) << "the rate chosen before stays when offered";
    sizes->setCurrentIndex(2);
    EXPECT_TRUE(dialog.SelectedFormat().IsJpeg());
}

TEST(SourceDialogTest, AppliesAtOnceAndCancelRestores) {
    std::map<QString, int> device{{QStringLiteral("BRIGHTNESS"), 0}};
    SourceDialog dialog({ImageControl{QStringLiteral("BRIGHTNESS"), -1000, 1000, 0}},
                        [&](const QString& label, int value) { device[label] = value; });
    auto* slider = dialog.findChild<QSlider*>(QStringLiteral("BRIGHTNESS"));
    ASSERT_TRUE(slider);
    slider->setValue(500);
    EXPECT_EQ(device[QStringLiteral("BRIGHTNESS")], 500);
    dialog.reject();
    EXPECT_EQ(device[QStringLiteral("BRIGHTNESS")], 0);
    EXPECT_EQ(SourceDialog::Caption(QStringLiteral("BRIGHTNESS")), QStringLiteral("Brightness"));
}

double MeanGray(const QImage& image) {
    double sum = 0;
    for (int y = 0; y < image.height(); y += 8)
        for (int x = 0; x < image.width(); x += 8) sum += qGray(image.pixel(x, y));
    return sum / ((image.height() / 8) * (image.width() / 8));
}

class DriverDialogTest : public testing::CaptureTest {};

TEST_F(DriverDialogTest, TheFormatDialogChangesTheFrameSize) {
    ConnectTestPattern();
    ASSERT_TRUE(control().HasFormatDialog());
    AnswerNextDialog([](QDialog* dialog) {
        auto* sizes = dialog->findChild<QComboBox*>(QStringLiteral("cboFrameSize"));
        sizes->setCurrentIndex(sizes->findText(QStringLiteral("320 x 240")));
        dialog->accept();
    });
    control().ShowFormatDialog();
    EXPECT_TRUE(control().DeviceConnected());
    EXPECT_EQ(control().GetCaptureStatus().width, 320);
    EXPECT_EQ(control().GetCaptureStatus().height, 240);

    AnswerNextDialog([](QDialog* dialog) { dialog->reject(); });
    control().ShowFormatDialog();
    EXPECT_EQ(control().GetCaptureStatus().width, 320) << "cancel changes nothing";
}

TEST_F(DriverDialogTest, TheSourceDialogAdjustsThePicture) {
    EXPECT_TRUE(control().HasSourceDialog()) << "known before connecting";
    ConnectTestPattern();
    ASSERT_TRUE(control().HasSourceDialog());
    const double normal = MeanGray(control().CurrentFrame());

    double brightened = 0;
    AnswerNextDialog([&](QDialog* dialog) {
        auto* brightness = dialog->findChild<QSlider*>(QStringLiteral("BRIGHTNESS"));
        ASSERT_TRUE(brightness);
        brightness->setValue(brightness->maximum() / 2);
        WaitUntil([&] { return MeanGray(control().CurrentFrame()) > normal + 50; }, 3000);
        brightened = MeanGray(control().CurrentFrame());
        dialog->reject();
    });
    control().ShowSourceDialog();
    EXPECT_GT(brightened, normal + 50);
    EXPECT_TRUE(WaitUntil([&] { return MeanGray(control().CurrentFrame()) < normal + 10; }, 3000))
        << "cancel restores the picture";
}

TEST_F(DriverDialogTest, DisplayDialogIsNotAvailable) {
    ConnectTestPattern();
    EXPECT_FALSE(control().HasDisplayDialog());
    try {
        control().ShowDisplayDialog();
        ADD_FAILURE() << "there is no display dialog";
    } catch (const CaptureError& error) {
        EXPECT_EQ(error.number(), kErrorNotAvailable);
    }
}

// Records one second of the picture, which the frame feed repeats meanwhile.
qint64 RecordOneSecond(CaptureControl& control, const QImage& picture, const QString& path) {
    int completed = 0;
    auto connection = QObject::connect(&control, &CaptureControl::CaptureCompleted, [&] { ++completed; });
    QTimer repeat;
    QObject::connect(&repeat, &QTimer::timeout, [&] { FrameFeed::Push(picture); });
    repeat.start(20);
    control.SetCaptureFile(path);
    control.SetCaptureTimeLimited(true);
    control.SetCaptureSeconds(1);
    control.SetCaptureFrameRate(10);
    control.SetCaptureSound(false);
    EXPECT_TRUE(control.BeginCapture());
    EXPECT_TRUE(WaitUntil([&] { return completed > 0; }, 5000));
    QObject::disconnect(connection);
    return QFileInfo(path).size();
}

// The movie quality shows in the file size of a detailed picture.
class CompressorTest : public testing::FrameFeedCaptureTest {};

TEST_F(CompressorTest, TheCompressorDialogSetsTheMovieQuality) {
    ConnectFeed();
    const QImage detailed = testing::NoisePicture(320, 240, 3);
    ASSERT_TRUE(FrameFeed::PushAndWait(control(), detailed));
    const auto chooseQuality = [](int quality) {
        return [quality](QDialog* dialog) {
            auto* compressors = dialog->findChild<QComboBox*>(QStringLiteral("cboCompressor"));
            ASSERT_TRUE(compressors);
            EXPECT_EQ(compressors->currentText(), QStringLiteral("Motion-JPEG"));
            dialog->findChild<QSlider*>(QStringLiteral("sldQuality"))->setValue(quality);
            dialog->accept();
        };
    };
    AnswerNextDialog(chooseQuality(5));
    control().ShowCompressorDialog();
    const qint64 coarse = RecordOneSecond(control(), detailed, homeFile(QStringLiteral("coarse.avi")));
    AnswerNextDialog(chooseQuality(100));
    control().ShowCompressorDialog();
    const qint64 fine = RecordOneSecond(control(), detailed, homeFile(QStringLiteral("fine.avi")));
    EXPECT_GT(coarse, 0);
    EXPECT_LT(coarse * 2, fine);
}

}  // namespace
}  // namespace snapwire::capture
