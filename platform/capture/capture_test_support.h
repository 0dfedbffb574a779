#pragma once

// Helpers shared by the capture tests.

#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QProcess>
#include <QRandomGenerator>
#include <QThread>
#include <QTimer>
#include <functional>

#include "platform/capture/capture_control.h"
#include "platform/capture/device_list.h"
#include "platform/capture/frame_feed.h"
#include "platform/capture/stand_in_camera.h"
#include "testsupport/program_folder_test.h"

namespace snapwire::capture::testing {

// Runs the event loop until the condition holds; false when it does not within the time.
inline bool WaitUntil(const std::function<bool()>& condition, int timeoutMs = 5000) {
    QDeadlineTimer deadline(timeoutMs);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(2);
    }
    return true;
}

// Runs the event loop for the time given.
inline void Pump(int milliseconds) {
    WaitUntil([] { return false; }, milliseconds);
}

inline int IndexOfDevice(const CaptureControl& control, const QString& name) {
    for (int i = 0; i < control.DeviceCount(); ++i) {
        if (control.DeviceName(i) == name)
            return i;
    }
    return -1;
}

// Answers the next modal dialog as soon as it is shown.
inline void AnswerNextDialog(std::function<void(QDialog*)> answer) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, answer = std::move(answer)] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        answer(dialog);
    });
    poll->start(5);
}

// What gst-discoverer-1.0 says about a media file.
inline QString Discover(const QString& path) {
    QProcess discoverer;
    discoverer.start(QStringLiteral("gst-discoverer-1.0"), {path});
    discoverer.waitForFinished(30000);
    return QString::fromUtf8(discoverer.readAllStandardOutput());
}

// The "Duration:" the discoverer reports, in seconds; negative when there is none.
inline double DiscoveredSeconds(const QString& report) {
    const int at = report.indexOf(QLatin1String("Duration: "));
    if (at < 0)
        return -1;
    const QStringList parts = report.mid(at + 10, 17).trimmed().split(QLatin1Char(':'));
    if (parts.size() != 3)
        return -1;
    return parts[0].toDouble() * 3600 + parts[1].toDouble() * 60 + parts[2].toDouble();
}

// A picture of random pixels: every byte matters, and it compresses badly.
inline QImage NoisePicture(int width, int height, quint32 seed) {
    QImage image(width, height, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(image.scanLine(y));
        for (int x = 0; x < width; ++x) row[x] = 0xFF000000u | (random.generate() & 0xFFFFFFu);
    }
    return image;
}

// A fixture with a fresh program folder and a capture control whose device list
// holds the test pattern.
class CaptureTest : public snapwire::testing::ProgramFolderTest {
  protected:
    void SetUp() override {
        ProgramFolderTest::SetUp();
        qunsetenv("SNAPWIRE_NO_TEST_DEVICE");
        control_ = std::make_unique<CaptureControl>();
    }
    void TearDown() override {
        control_.reset();
        SetStandInCameras({});
        qunsetenv("SNAPWIRE_NO_TEST_DEVICE");
        ProgramFolderTest::TearDown();
    }

    void ConnectTestPattern() {
        control_->SetDeviceIndex(IndexOfDevice(*control_, QString::fromLatin1(kTestPatternName)));
        ASSERT_TRUE(control_->DeviceConnected());
    }

    CaptureControl& control() { return *control_; }

    std::unique_ptr<CaptureControl> control_;
};

// The same with the frame feed listed.
class FrameFeedCaptureTest : public CaptureTest {
  protected:
    void SetUp() override {
        FrameFeed::Enable();
        CaptureTest::SetUp();
    }
    void TearDown() override {
        CaptureTest::TearDown();
        FrameFeed::Disable();
    }

    void ConnectFeed() {
        const int feed = IndexOfDevice(control(), QString::fromLatin1(kFrameFeedName));
        ASSERT_GE(feed, 0);
        control().SetDeviceIndex(feed);
    }
};

}  // namespace snapwire::capture::testing
