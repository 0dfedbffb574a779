// Motion detection together with the upload cycle: the motion upload with its log
// entries, and a motion tick that falls due while a cycle runs.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QTimer>

#include "engine/picture_box.h"
#include "engine/upload_test_fixture.h"

namespace snapwire {
namespace {

constexpr int kHourMs = 3600 * 1000;

class MotionUploadTest : public testing::UploadTest {
  protected:
    void StoreMotionAccount(int number, const QString& name) {
        StoreServerAccount(number, name);
        StoreValue(name, "Activate Motion", QStringLiteral("1"));
        StoreValue(name, "Upload On Motion", QStringLiteral("1"));
        StoreValue(name, "Motion Beep", QStringLiteral("1"));
        StoreValue(name, "Motion Sound", QStringLiteral("1"));
        StoreValue(name, "MotionSndSrc", SoundFile());
    }
    frmMain& LoadQuietWindow() {
        frmMain& window = LoadWindow();
        window.timMotion->setInterval(kHourMs);  // only the test's own ticks run
        SetOption(Options().chkAsk, false);
        SetOption(Options().chkSound, false);
        LogToFiles();
        return window;
    }
    // The loaded frame with the blue of the first `points` sample points raised by 90.
    QImage Moved(int points) const {
        QImage moved = frame_;
        for (int y = 0; y < moved.height() && points > 0; y += 2)
            for (int x = 0; x < moved.width() && points > 0; x += 2, --points) {
                const QRgb pixel = moved.pixel(x, y);
                moved.setPixel(x, y, qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel) + 90));
            }
        return moved;
    }
    QString SoundFile() const { return homeFile(QStringLiteral("ding.wav")); }
    static QStringList MotionLogRow(int row) { return forms::frmMotionLog().RowTexts(row); }
};

TEST_F(MotionUploadTest, BeepSoundAndUploadFollowInOrderAndTheUploadWritesBothLogs) {
    StartServer();
    StoreMotionAccount(1, QStringLiteral("Cam"));
    frmMain& window = LoadQuietWindow();
    window.StartMotion();
    const QImage moved = Moved(1344);  // 7%
    ASSERT_TRUE(capture::FrameFeed::PushAndWait(*window.vcx, moved));
    // The camera moves on while the sound plays: that frame becomes the reference.
    const QImage later = Moved(3000);
    int uploadsWhenTheSoundPlayed = -1;
    onSound_ = [&] {
        if (sounds_.back().path.isEmpty())
            return;
        uploadsWhenTheSoundPlayed = UploadLogRows();
        EXPECT_TRUE(capture::FrameFeed::PushAndWait(*window.vcx, later));
    };

    window.timMotion_Timer();

    ASSERT_EQ(sounds_.size(), 2u);
    EXPECT_TRUE(sounds_[0].path.isEmpty());  // the beep first
    EXPECT_EQ(sounds_[1].path, SoundFile());
    EXPECT_TRUE(sounds_[1].wait);
    EXPECT_EQ(uploadsWhenTheSoundPlayed, 0);
    EXPECT_FALSE(ServerFile(QStringLiteral("webcam.jpg")).isEmpty());
    EXPECT_EQ(UploadLogRow(0),
              (QStringList{Stamp(), QStringLiteral("webcam.jpg"), QStringLiteral("127.0.0.1")}));
    EXPECT_EQ(MotionLogRows(), 1);
    EXPECT_EQ(MotionLogRow(0), (QStringList{Stamp(), QStringLiteral("7%"), QStringLiteral("webcam.jpg"),
                                            QStringLiteral("127.0.0.1")}));
    EXPECT_EQ(ProgramFileBytes("MotionLog.txt"),
              (Stamp() + QStringLiteral("\t7%\twebcam.jpg\t127.0.0.1\r\n")).toLocal8Bit());
    EXPECT_EQ(window.StatusBar1->PanelText(2), QStringLiteral("Motion Detected 7%"));
    EXPECT_EQ(window.picMotion1, later);
}

TEST_F(MotionUploadTest, AMotionTickDuringACycleRunsOnceItEndsUnlessDetectionStops) {
    StartServer();
    StoreServerAccount(1, QStringLiteral("Cam"));
    StoreMotionAccount(2, QStringLiteral("Watch"));
    frmMain& window = LoadQuietWindow();
    ASSERT_TRUE(window.timMotion->isActive());
    window.StartMotion();
    ASSERT_TRUE(capture::FrameFeed::PushAndWait(*window.vcx, Moved(5000)));
    LoadRow(1);
    int rowAfterTick = -1;
    bool cycleWasRunning = false;
    // Runs at the cycle's first yield.
    QTimer::singleShot(0, &window, [&] {
        cycleWasRunning = window.CycleRunning();
        window.timMotion_Timer();
        rowAfterTick = Account().ftps->SelectedRow();
    });

    window.upload_now(true, false, QStringLiteral("-1"));

    ASSERT_TRUE(cycleWasRunning);
    EXPECT_EQ(rowAfterTick, 1);
    EXPECT_FALSE(ProgramFileExists("Motion.bmp"));
    EXPECT_TRUE(sounds_.empty());
    EXPECT_EQ(MotionLogRows(), 0);

    // The tick runs once the cycle has ended; stopping detection drops a tick held back.
    QCoreApplication::processEvents();
    EXPECT_EQ(MotionLogRows(), 1);
    ASSERT_TRUE(QFile::remove(homeFile(QStringLiteral("Motion.bmp"))));
    QTimer::singleShot(0, &window, [&] {
        window.timMotion_Timer();
        window.StopMotion();
        window.StartMotion();
    });
    window.upload_now(true, false, QStringLiteral("-1"));
    QCoreApplication::processEvents();
    EXPECT_FALSE(ProgramFileExists("Motion.bmp"));
}

}  // namespace
}  // namespace snapwire
