#include <gtest/gtest.h>

#include <QFile>
#include <QKeyEvent>
#include <QPainter>
#include <QTemporaryDir>
#include <QThread>
#include <algorithm>
#include <atomic>
#include <cstdlib>

#include "platform/capture/capture_test_support.h"
#include "platform/capture/frame_pipeline.h"
#include "platform/capture/movie_recorder.h"
#include "platform/capture/sound_format.h"

namespace snapwire::capture {
namespace {

using testing::Discover;
using testing::DiscoveredSeconds;
using testing::WaitUntil;

TEST(SoundFormatTest, ReportsTheFormatThatWillBeRecorded) {
    const SoundFormat stereo = CheckedSoundFormat({1, 2, 44100, 176400, 4, 16});
    EXPECT_EQ(stereo.avgBytesPerSec, 176400);
    EXPECT_EQ(stereo.blockAlign, 4);

    // Inconsistent derived fields are corrected, not refused.
    const SoundFormat mono = CheckedSoundFormat({1, 1, 11025, 999, 7, 8});
    EXPECT_EQ(mono.samplesPerSec, 11025);
    EXPECT_EQ(mono.avgBytesPerSec, 11025);
    EXPECT_EQ(mono.blockAlign, 1);
    EXPECT_EQ(mono.bitsPerSample, 8);
}

TEST(SoundFormatTest, RefusesWhatCannotBeRecorded) {
    const SoundFormat refused[] = {
        {2, 1, 11025, 11025, 1, 8},     // not PCM
        {1, 3, 11025, 33075, 3, 8},     // three channels
        {1, 1, 11025, 16538, 2, 12},    // 12 bits
        {1, 2, 0, 0, 4, 16},            // no rate ("Hz" without a number)
        {1, 2, 192000, 768000, 4, 16},  // more than the movie file holds
    };
    for (const SoundFormat& format : refused) {
        try {
            CheckedSoundFormat(format);
            ADD_FAILURE() << "accepted " << format.channels << " channels, " << format.samplesPerSec << " Hz";
        } catch (const CaptureError& error) {
            EXPECT_EQ(error.number(), kErrorInvalidValue);
        }
    }
}

class MovieCaptureTest : public testing::CaptureTest {
  protected:
    void SetUp() override {
        qputenv("SNAPWIRE_TEST_AUDIO", "1");
        CaptureTest::SetUp();
    }
    void TearDown() override {
        CaptureTest::TearDown();
        qunsetenv("SNAPWIRE_TEST_AUDIO");
    }

    QString MoviePath() { return homeFile(QStringLiteral("capture.avi")); }
};

TEST_F(MovieCaptureTest, RefusesSettingsItCannotUse) {
    EXPECT_THROW(control().SetCaptureFrameRate(0), CaptureError);
    EXPECT_THROW(control().SetCaptureFrameRate(101), CaptureError);
    EXPECT_THROW(control().SetCaptureSeconds(-1), CaptureError);
    EXPECT_EQ(control().CaptureFrameRate(), 30);

    control().SetSoundFormat({1, 2, 22050, 88200, 4, 16});
    EXPECT_THROW(control().SetSoundFormat({1, 2, 0, 0, 4, 16}), CaptureError);
    const SoundFormat kept = control().GetSoundFormat();
    EXPECT_EQ(kept.samplesPerSec, 22050);
    EXPECT_EQ(kept.channels, 2);
}

TEST_F(MovieCaptureTest, DoesNotBeginWhatCannotBeRecorded) {
    control().SetCaptureFile(MoviePath());
    EXPECT_FALSE(control().BeginCapture()) << "no device connected";

    ConnectTestPattern();
    control().SetCaptureFile(QString());
    EXPECT_FALSE(control().BeginCapture()) << "no file";
    control().SetCaptureFile(homeFile(QStringLiteral("no/such/folder.avi")));
    EXPECT_FALSE(control().BeginCapture()) << "the file cannot be written";
    control().SetCaptureFile(MoviePath());
    control().SetCaptureTimeLimited(true);
    control().SetCaptureSeconds(0);
    EXPECT_FALSE(control().BeginCapture()) << "nothing to record";
    EXPECT_FALSE(control().GetCaptureStatus().capturing);
    // The picture goes on after the refusals.
    const QImage before = control().CurrentFrame();
    EXPECT_TRUE(WaitUntil([&] { return control().CurrentFrame() != before; }, 3000));
}

TEST_F(MovieCaptureTest, TimeLimitedCaptureWithSoundEndsByItself) {
    ConnectTestPattern();
    control().SetCaptureFile(MoviePath());
    control().SetCaptureTimeLimited(true);
    control().SetCaptureSeconds(2);
    control().SetCaptureFrameRate(15);
    control().SetCaptureSound(true);
    control().SetSoundFormat({1, 1, 22050, 44100, 2, 16});

    QThread* completedOn = nullptr;
    int completions = 0;
    QObject::connect(&control(), &CaptureControl::CaptureCompleted, [&] {
        ++completions;
        completedOn = QThread::currentThread();
    });
    ASSERT_TRUE(control().BeginCapture());
    EXPECT_TRUE(control().GetCaptureStatus().capturing);
    EXPECT_FALSE(control().BeginCapture()) << "one capture at a time";

    // Stills and the moving picture go on while the movie is written.
    const QImage before = control().CurrentFrame();
    EXPECT_TRUE(WaitUntil([&] { return control().CurrentFrame() != before; }, 3000));
    control().SaveFrameAsBitmap(homeFile(QStringLiteral("ic.bmp")));
    EXPECT_TRUE(QFile::exists(homeFile(QStringLiteral("ic.bmp"))));

    ASSERT_TRUE(WaitUntil([&] { return completions > 0; }, 10000))
        << control().GetCaptureStatus().framesCaptured;
    testing::Pump(300);
    EXPECT_EQ(completions, 1);
    EXPECT_EQ(completedOn, QCoreApplication::instance()->thread());

    const CaptureStatus status = control().GetCaptureStatus();
    EXPECT_FALSE(status.capturing);
    EXPECT_EQ(status.width, 640);
    EXPECT_EQ(status.framesCaptured, 30);
    EXPECT_GE(status.framesDropped, 0);
    EXPECT_NEAR(status.elapsedMs, 2000, 100);

    const QString report = Discover(MoviePath());
    EXPECT_NEAR(DiscoveredSeconds(report), 2.0, 0.25) << report.toStdString();
    EXPECT_TRUE(report.contains(QLatin1String("Audio Video Interleave"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QLatin1String("video #"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QLatin1String("JPEG")));
    EXPECT_TRUE(report.contains(QLatin1String("Frame rate: 15/1")));
    EXPECT_TRUE(report.contains(QLatin1String("Raw 16-bit PCM audio"))) << report.toStdString();
    EXPECT_TRUE(report.contains(QLatin1String("Sample rate: 22050")));
}

TEST_F(MovieCaptureTest, EscapeEndsAnOpenEndedCaptureWithoutSound) {
    ConnectTestPattern();
    control().SetCaptureFile(MoviePath());
    control().SetCaptureSound(false);
    int completed = 0;
    QObject::connect(&control(), &CaptureControl::CaptureCompleted, [&] { ++completed; });
    ASSERT_TRUE(control().BeginCapture());
    testing::Pump(700);
    EXPECT_EQ(completed, 0);

    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QCoreApplication::sendEvent(&control(), &escape);
    ASSERT_TRUE(WaitUntil([&] { return completed > 0; }, 5000));
    EXPECT_GT(control().GetCaptureStatus().framesCaptured, 5);

    const QString report = Discover(MoviePath());
    EXPECT_GT(DiscoveredSeconds(report), 0.3) << report.toStdString();
    EXPECT_TRUE(report.contains(QLatin1String("video #")));
    EXPECT_FALSE(report.contains(QLatin1String("audio #"))) << report.toStdString();
}

TEST_F(MovieCaptureTest, DisconnectingCompletesTheMovie) {
    ConnectTestPattern();
    control().SetCaptureFile(MoviePath());
    int completed = 0;
    QObject::connect(&control(), &CaptureControl::CaptureCompleted, [&] { ++completed; });
    ASSERT_TRUE(control().BeginCapture());
    testing::Pump(500);
    control().SetDeviceConnected(false);
    EXPECT_FALSE(control().GetCaptureStatus().capturing);
    ASSERT_TRUE(WaitUntil([&] { return completed > 0; }, 2000));
    testing::Pump(100);
    EXPECT_EQ(completed, 1);
    EXPECT_GT(DiscoveredSeconds(Discover(MoviePath())), 0.2);
}

class MovieColourTest : public testing::FrameFeedCaptureTest {};

TEST_F(MovieColourTest, MovieFramesHaveTheColoursOfTheStill) {
    const QRgb colours[] = {qRgb(255, 0, 0),     qRgb(0, 255, 0), qRgb(0, 0, 255),
                            qRgb(255, 255, 255), qRgb(0, 0, 0),   qRgb(128, 128, 128)};
    constexpr int kBlock = 32;
    QImage fed(kBlock * int(std::size(colours)), kBlock, QImage::Format_RGB32);
    QPainter painter(&fed);
    for (int i = 0; i < int(std::size(colours)); ++i)
        painter.fillRect(i * kBlock, 0, kBlock, kBlock, QColor(colours[i]));
    painter.end();
    ConnectFeed();
    ASSERT_TRUE(FrameFeed::PushAndWait(control(), fed));
    control().SaveFrameAsBitmap(homeFile(QStringLiteral("still.bmp")));
    const QImage still(homeFile(QStringLiteral("still.bmp")));

    const QString movie = homeFile(QStringLiteral("colours.avi"));
    control().SetCaptureFile(movie);
    control().SetCaptureSound(false);
    ASSERT_TRUE(control().BeginCapture());
    ASSERT_TRUE(WaitUntil([&] {
        FrameFeed::Push(fed);
        return control().GetCaptureStatus().framesCaptured >= 3;
    }));
    control().EndCapture();
    ASSERT_TRUE(WaitUntil([&] { return !control().GetCaptureStatus().capturing; }));

    FramePipeline player;
    player.Start(QStringLiteral("filesrc location=\"%1\" ! avidemux ! jpegdec").arg(movie),
                 std::chrono::seconds(5));
    const QImage decoded = player.LatestFrame();
    ASSERT_EQ(decoded.size(), still.size());
    for (int i = 0; i < int(std::size(colours)); ++i) {
        const QPoint centre(i * kBlock + kBlock / 2, kBlock / 2);
        const QRgb seen = decoded.pixel(centre), expected = still.pixel(centre);
        EXPECT_LE(std::max({std::abs(qRed(seen) - qRed(expected)), std::abs(qGreen(seen) - qGreen(expected)),
                            std::abs(qBlue(seen) - qBlue(expected))}),
                  3)
            << "block " << i << ": " << std::hex << seen << " for " << expected;
    }
}

TEST(MovieRecorderTest, RecordsWithoutSoundWhenTheSoundSourceCannotBeOpened) {
    FramePipeline pipeline;
    pipeline.Start(QStringLiteral("videotestsrc is-live=true ! video/x-raw,format=BGRx,width=160,height=120,"
                                  "framerate=30/1"),
                   std::chrono::seconds(5));
    QTemporaryDir folder;
    RecordingSettings settings;
    settings.path = folder.filePath(QStringLiteral("quiet.avi"));
    settings.framesPerSecond = 10;
    settings.secondsLimit = 1;
    settings.sound = true;
    settings.soundSource = QStringLiteral("pulsesrc server=unix:/nonexistent/snapwire");
    MovieRecorder recorder(pipeline.Pipeline(), pipeline.Tee(), settings);
    std::atomic<bool> limitReached{false};
    recorder.SetLimitReachedHandler([&] { limitReached = true; });
    QString reason;
    ASSERT_TRUE(recorder.Start(&reason)) << reason.toStdString();
    EXPECT_FALSE(recorder.HasSound());
    ASSERT_TRUE(WaitUntil([&] { return limitReached.load(); }, 5000));
    recorder.RequestStop();
    ASSERT_TRUE(recorder.WaitUntilFinished(std::chrono::seconds(3)));
    EXPECT_EQ(recorder.Counts().frames, 10);
    recorder.Detach();

    const QString report = Discover(settings.path);
    EXPECT_NEAR(DiscoveredSeconds(report), 1.0, 0.15) << report.toStdString();
    EXPECT_TRUE(report.contains(QLatin1String("video #")));
    EXPECT_FALSE(report.contains(QLatin1String("audio #")));
}

TEST(MovieRecorderTest, WaitsForItsPictureProbeBeforeItIsFreed) {
    FramePipeline pipeline;
    pipeline.Start(QStringLiteral("videotestsrc is-live=true ! video/x-raw,format=BGRx"),
                   std::chrono::seconds(5));
    QTemporaryDir folder;
    RecordingSettings settings;
    settings.path = folder.filePath(QStringLiteral("held.avi"));
    auto recorder = std::make_unique<MovieRecorder>(pipeline.Pipeline(), pipeline.Tee(), settings);
    enum Seen { kNothing, kAlive, kFreed };
    std::atomic<bool> held{false}, freed{false};
    std::atomic<Seen> seen{kNothing};
    recorder->SetStopProbePauseForTests([&] {
        held = true;
        QThread::msleep(200);  // the recorder is being freed meanwhile
        seen = freed ? kFreed : kAlive;
    });
    QString reason;
    ASSERT_TRUE(recorder->Start(&reason)) << reason.toStdString();
    recorder->RequestStop();
    ASSERT_TRUE(WaitUntil([&] { return held.load(); }));
    recorder.reset();
    freed = true;
    ASSERT_TRUE(WaitUntil([&] { return seen != kNothing; }));
    EXPECT_EQ(seen, kAlive) << "freed while its probe was inside it";
}

}  // namespace
}  // namespace snapwire::capture
