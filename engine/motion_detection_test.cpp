// Motion detection in the main window, with frames fed by the test at 320 x 240.
// The 100 ms timer is set far apart so that only the test's own ticks run.

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QSlider>
#include <QTimer>
#include <vector>

#include "accounts/clock.h"
#include "accounts/frm_upload_settings.h"
#include "engine/frm_main.h"
#include "engine/log_writers.h"
#include "engine/main_toolbar.h"
#include "engine/main_window_test_fixture.h"
#include "engine/picture_box.h"
#include "engine/status_bar.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/device_list.h"
#include "platform/capture/frame_feed.h"
#include "platform/ui/sound.h"
#include "windows/log_windows.h"

namespace snapwire {
namespace {

constexpr int kWidth = 320;
constexpr int kHeight = 240;
constexpr int kHourMs = 3600 * 1000;
const QRgb kBase = qRgb(40, 60, 80);

QImage Frame(QRgb color = kBase) {
    QImage frame(kWidth, kHeight, QImage::Format_RGB32);
    frame.fill(color);
    return frame;
}

// The first `points` sample points (even x and y inside the frame, row by row)
// with their blue raised by 100.
QImage WithBlueRaised(int points, QImage frame = Frame()) {
    for (int y = 0; y < kHeight && points > 0; y += 2)
        for (int x = 0; x < kWidth && points > 0; x += 2, --points) {
            const QRgb pixel = frame.pixel(x, y);
            frame.setPixel(x, y, qRgb(qRed(pixel), qGreen(pixel), qBlue(pixel) + 100));
        }
    return frame;
}

struct MotionAccount {
    QString name;
    bool ticked = true;
    bool motionOn = true;
    std::vector<std::pair<const char*, QString>> values;
};

class MotionDetectionTest : public testing::MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        capture::FrameFeed::Enable();
        ui::SetSoundHandlerForTests([this](const ui::SoundRequest& request) { sounds_.push_back(request); });
    }
    void TearDown() override {
        MainWindowTest::TearDown();
        ui::SetSoundHandlerForTests({});
    }

    static void StoreAccounts(const std::vector<MotionAccount>& accounts) {
        for (std::size_t i = 0; i < accounts.size(); ++i) {
            const MotionAccount& account = accounts[i];
            WriteSetting(QString(), QStringLiteral("Account") + QString::number(i + 1),
                         SettingValue(account.name));
            WriteSetting(account.name, QStringLiteral("Name"), SettingValue(account.name));
            WriteSetting(account.name, QStringLiteral("Selected"),
                         SettingValue(account.ticked ? QStringLiteral("True") : QStringLiteral("False")));
            WriteSetting(account.name, QStringLiteral("Activate Motion"),
                         SettingValue(account.motionOn ? QStringLiteral("1") : QStringLiteral("0")));
            for (const auto& [name, text] : account.values)
                WriteSetting(account.name, QString::fromLatin1(name), SettingValue(text));
        }
    }

    // Loads the main window on the frame feed, showing `first`.
    frmMain& LoadWindow(const std::vector<MotionAccount>& accounts, const QImage& first = Frame()) {
        StoreAccounts(accounts);
        capture::FrameFeed::Push(first);
        StoreNotFirstRun();
        Store("TBMotionDetection", QStringLiteral("True"));  // button 5 shown
        Store("Select the driver you want to use:", QString::fromLatin1(capture::kFrameFeedName));
        frmMain& window = forms::frmMain();
        window.timMotion->setInterval(kHourMs);
        EXPECT_TRUE(capture::FrameFeed::PushAndWait(*window.vcx, first));
        return window;
    }

    // Starts motion detection with `reference`, then lets the camera show `next`.
    static void StartWith(frmMain& window, const QImage& reference, const QImage& next) {
        ASSERT_TRUE(capture::FrameFeed::PushAndWait(*window.vcx, reference));
        window.StartMotion();
        ASSERT_EQ(window.picMotion1, reference);
        ASSERT_TRUE(capture::FrameFeed::PushAndWait(*window.vcx, next));
    }

    static frmUploadSettings& Accounts() { return forms::frmUploadSettings(); }
    static QString Panel2(frmMain& window) { return window.StatusBar1->PanelText(2); }
    static QImage ShownPicture(frmMain& window) { return window.picMotion->Picture().toImage(); }

    int Beeps() const {
        int beeps = 0;
        for (const ui::SoundRequest& sound : sounds_) beeps += sound.path.isEmpty() ? 1 : 0;
        return beeps;
    }

    std::vector<ui::SoundRequest> sounds_;
};

const std::pair<const char*, QString> kBeep{"Motion Beep", QStringLiteral("1")};

// --- Starting and stopping --------------------------------------------------------------

TEST_F(MotionDetectionTest, TheFirstAccountWithMotionOnStartsItTickedOrNot) {
    frmMain& window = LoadWindow({{QStringLiteral("Off"), true, false, {}},
                                  {QStringLiteral("Unticked"), false, true, {}},
                                  {QStringLiteral("Later"), true, true, {}}});

    EXPECT_TRUE(window.timMotion->isActive());
    EXPECT_TRUE(window.Toolbar1->Buttons(5)->isChecked());
    EXPECT_TRUE(window.vcx->isHidden());
    EXPECT_FALSE(window.picMotion->isHidden());
    EXPECT_EQ(Accounts().ftps->SelectedRow(), 2);
    EXPECT_EQ(window.mMotionWidth, kWidth);
    EXPECT_EQ(window.mMotionHeight, kHeight);
    EXPECT_EQ(Panel2(window), QString());
}

TEST_F(MotionDetectionTest, WithoutAnAccountThatWantsItNothingStarts) {
    frmMain& window =
        LoadWindow({{QStringLiteral("A"), true, false, {}}, {QStringLiteral("B"), true, false, {}}});

    EXPECT_FALSE(window.timMotion->isActive());
    EXPECT_FALSE(window.Toolbar1->Buttons(5)->isChecked());
    EXPECT_FALSE(window.vcx->isHidden());
    EXPECT_TRUE(window.picMotion->isHidden());
    EXPECT_EQ(Accounts().ftps->SelectedRow(), 2);  // the walk leaves the last one loaded
    EXPECT_EQ(Panel2(window), QStringLiteral("320 x 240"));
}

TEST_F(MotionDetectionTest, TheToolbarButtonStartsAndStopsDetection) {
    frmMain& window = LoadWindow({{QStringLiteral("A"), true, false, {}}});
    QAction* button = window.Toolbar1->Buttons(5);
    ASSERT_TRUE(button->isEnabled());

    button->trigger();
    EXPECT_TRUE(window.timMotion->isActive());
    EXPECT_TRUE(window.vcx->isHidden());
    EXPECT_FALSE(window.picMotion->isHidden());
    EXPECT_EQ(window.picMotion->size(), QSize(kWidth, kHeight));

    window.StatusBar1->SetPanelText(2, QStringLiteral("Motion Detected 5%"));
    button->trigger();
    EXPECT_FALSE(button->isChecked());
    EXPECT_FALSE(window.timMotion->isActive());
    EXPECT_FALSE(window.vcx->isHidden());
    EXPECT_TRUE(window.picMotion->isHidden());
    EXPECT_EQ(Panel2(window), QString());
}

// --- What counts as motion --------------------------------------------------------------

TEST_F(MotionDetectionTest, IdenticalFramesGiveNoMotionAndClearThePanel) {
    frmMain& window = LoadWindow({{QStringLiteral("A"), true, true, {kBeep}}});
    StartWith(window, Frame(), Frame());
    window.StatusBar1->SetPanelText(2, QStringLiteral("Motion Detected 9%"));

    window.timMotion_Timer();

    EXPECT_EQ(Panel2(window), QString());
    EXPECT_FALSE(window.StatusBar1->PanelHasPicture(2));
    EXPECT_EQ(Beeps(), 0);
    EXPECT_EQ(window.mMotionCount, 0);
    EXPECT_TRUE(QFile::exists(homeFile(QStringLiteral("Motion.bmp"))));
}

TEST_F(MotionDetectionTest, BlueChangedOn192SamplePointsIsOnePercentAnd191IsNone) {
    frmMain& window = LoadWindow({{QStringLiteral("A"), true, true, {kBeep}}});
    StartWith(window, Frame(), WithBlueRaised(192));

    window.timMotion_Timer();
    EXPECT_EQ(Panel2(window), QStringLiteral("Motion Detected 1%"));
    EXPECT_TRUE(window.StatusBar1->PanelHasPicture(2));
    EXPECT_EQ(Beeps(), 1);

    StartWith(window, Frame(), WithBlueRaised(191));
    window.timMotion_Timer();
    EXPECT_EQ(Panel2(window), QString());
    EXPECT_FALSE(window.StatusBar1->PanelHasPicture(2));
    EXPECT_EQ(Beeps(), 1);
}

TEST_F(MotionDetectionTest, RedWeighsLeastAndSensitivityHundredCountsOneLevel) {
    frmMain& window = LoadWindow({{QStringLiteral("A"), true, true, {kBeep}}});
    StartWith(window, Frame(qRgb(0, 60, 80)), Frame(qRgb(255, 60, 80)));
    window.timMotion_Timer();
    EXPECT_EQ(Panel2(window), QString());

    WriteSetting(QStringLiteral("A"), QStringLiteral("Sensitivity"), SettingValue(QStringLiteral("100")));
    StartWith(window, Frame(qRgb(0, 60, 80)), Frame(qRgb(1, 60, 80)));
    window.timMotion_Timer();
    // Every sample point inside the frame: the column and row on the far edges lie
    // outside both pictures and do not count, or the ratio would pass 1.
    EXPECT_EQ(Panel2(window), QStringLiteral("Motion Detected 100%"));
    EXPECT_EQ(Beeps(), 1);
}

// A tick may keep the account it loaded before, but never past a write of another program.
TEST_F(MotionDetectionTest, AValueAnotherProgramWritesBetweenTicksCountsAtTheNextTick) {
    frmMain& window = LoadWindow({{QStringLiteral("A"), true, true, {}}});
    StartWith(window, Frame(), WithBlueRaised(400));
    window.timMotion_Timer();
    ASSERT_EQ(Panel2(window), QStringLiteral("Motion Detected 2%"));
    ASSERT_EQ(Beeps(), 0);

    QFile script(homeFile(QStringLiteral("beep.reg")));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write(
        "Windows Registry Editor Version 5.00\n\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Snapwire\\A]\n"
        "\"Motion Beep\"=\"1\"\n");
    script.close();
    QProcess tool;
    tool.start(QStringLiteral(SNAPWIRE_REG_TOOL), {QStringLiteral("import"), script.fileName()});
    ASSERT_TRUE(tool.waitForFinished(30000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();

    StartWith(window, Frame(), WithBlueRaised(400));
    window.timMotion_Timer();
    EXPECT_EQ(Beeps(), 1);
}

TEST_F(MotionDetectionTest, ChangedPointsArePaintedInTheAccountColorOnlyWhenShown) {
    frmMain& window =
        LoadWindow({{QStringLiteral("A"), true, true, {{"Motion Color", QStringLiteral("255")}}}});
    Accounts().chkShowMotion->setChecked(true);
    StartWith(window, Frame(), WithBlueRaised(400));

    window.timMotion_Timer();
    QImage shown = ShownPicture(window);
    EXPECT_EQ(shown.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(2, 0), qRgb(255, 0, 0));
    EXPECT_EQ(shown.pixel(1, 0), kBase);
    EXPECT_EQ(shown.pixel(0, 10), kBase);  // beyond the 400 changed points
    EXPECT_EQ(Panel2(window), QStringLiteral("Motion Detected 2%"));

    Accounts().chkShowMotion->setChecked(false);
    StartWith(window, Frame(), WithBlueRaised(400));
    window.timMotion_Timer();
    shown = ShownPicture(window);
    EXPECT_EQ(shown.pixel(0, 0), qRgb(40, 60, 180));  // counted and reported, not painted
    EXPECT_EQ(Panel2(window), QStringLiteral("Motion Detected 2%"));
}

// --- No qualifying account ----------------------------------------------------------------

TEST_F(MotionDetectionTest, WithoutAQualifyingAccountMotionIsPaintedGreenAndLogged) {
    const ScopedClockForTests clock(QDateTime(QDate(2024, 3, 5), QTime(15, 4, 5)));
    // Motion on but not ticked: the tick skips it.
    frmMain& window = LoadWindow({{QStringLiteral("A"), false, true, {kBeep}}});
    frmMotionLog& log = forms::frmMotionLog();
    if (!log.LogsToHardDrive())
        log.chkLogToHardDrive->click();
    StartWith(window, Frame(), WithBlueRaised(1344));

    window.timMotion_Timer();

    EXPECT_EQ(Panel2(window), QStringLiteral("Motion Detected 7%"));
    EXPECT_EQ(ShownPicture(window).pixel(0, 0), qRgb(0, 200, 0));
    EXPECT_EQ(Beeps(), 0);
    QFile file(homeFile(QStringLiteral("MotionLog.txt")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(QString::fromLocal8Bit(file.readAll()), logs::LogTimeNow() + QStringLiteral("\t7%\t\t\r\n"));
    ASSERT_EQ(log.RowCount(), 1);
    EXPECT_EQ(log.RowTexts(0).at(1), QStringLiteral("7%"));
}

TEST_F(MotionDetectionTest, AnEmptyAccountListStillChecksOnce) {
    frmMain& window = LoadWindow({{QStringLiteral("A"), true, false, {}}});
    Accounts().ftps->RemoveRow(1);
    window.Toolbar1->Buttons(5)->trigger();
    StartWith(window, Frame(), WithBlueRaised(192));

    window.timMotion_Timer();
    EXPECT_EQ(Panel2(window), QStringLiteral("Motion Detected 1%"));
    EXPECT_EQ(forms::frmMotionLog().RowCount(), 1);
}

// --- Several accounts ----------------------------------------------------------------------

TEST_F(MotionDetectionTest, EachQualifyingAccountChecksAgainstTheFrameThePreviousCheckLeft) {
    frmMain& window = LoadWindow({{QStringLiteral("A"), true, true, {kBeep}},
                                  {QStringLiteral("Off"), true, false, {kBeep}},
                                  {QStringLiteral("B"), true, true, {kBeep}}});
    const QImage before = Frame();
    const QImage moved = WithBlueRaised(2000);
    StartWith(window, before, moved);
    // The camera turns back between the accounts: only a check against the frame
    // the first check left sees that as motion.
    QTimer::singleShot(0, &window,
                       [&] { EXPECT_TRUE(capture::FrameFeed::PushAndWait(*window.vcx, before)); });

    window.timMotion_Timer();

    EXPECT_EQ(Beeps(), 2);
    EXPECT_EQ(window.picMotion1, before);
    EXPECT_EQ(Accounts().ftps->SelectedRow(), 3);
    EXPECT_EQ(forms::frmMotionLog().RowCount(), 0);
}

TEST_F(MotionDetectionTest, AccountsRemovedDuringTheWalkEndIt) {
    frmMain& window = LoadWindow({{QStringLiteral("A"), true, true, {kBeep}},
                                  {QStringLiteral("B"), true, true, {kBeep}},
                                  {QStringLiteral("C"), true, true, {kBeep}}});
    StartWith(window, Frame(), WithBlueRaised(2000));
    QTimer::singleShot(0, &window, [] {
        Accounts().ftps->RemoveRow(3);
        Accounts().ftps->RemoveRow(2);
        WriteSetting(QStringLiteral("A"), QStringLiteral("Sensitivity"), SettingValue(QStringLiteral("80")));
    });

    window.timMotion_Timer();

    EXPECT_EQ(Accounts().ftps->Count(), 1);
    EXPECT_EQ(Accounts().ftps->SelectedRow(), 1);
    EXPECT_EQ(Accounts().sldSens->value(), 50);  // nothing was loaded once the rows had gone
    EXPECT_EQ(Beeps(), 1);
    EXPECT_EQ(forms::frmMotionLog().RowCount(), 0);
}

TEST_F(MotionDetectionTest, StoppingDuringTheWalkEndsItEvenWhenStartedAgain) {
    frmMain& window = LoadWindow({{QStringLiteral("A"), true, true, {}},
                                  {QStringLiteral("B"), true, true, {}},
                                  {QStringLiteral("C"), true, true, {}}});
    StartWith(window, Frame(), Frame());
    QTimer::singleShot(0, &window, [&] { window.StopMotion(); });
    window.timMotion_Timer();
    EXPECT_EQ(Accounts().ftps->SelectedRow(), 1);

    window.StartMotion();
    QTimer::singleShot(0, &window, [&] {
        window.StopMotion();
        window.StartMotion();
    });
    window.timMotion_Timer();
    EXPECT_EQ(Accounts().ftps->SelectedRow(), 1);
}

TEST_F(MotionDetectionTest, ATickDuringATickDoesNothing) {
    const QString sound = homeFile(QStringLiteral("ding.wav"));
    frmMain& window = LoadWindow(
        {{QStringLiteral("A"), true, true, {{"Motion Sound", QStringLiteral("1")}, {"MotionSndSrc", sound}}},
         {QStringLiteral("B"), true, true, {}}});
    StartWith(window, Frame(), WithBlueRaised(2000));
    int rowDuringSound = -1;
    ui::SetSoundHandlerForTests([&](const ui::SoundRequest& request) {
        sounds_.push_back(request);
        if (rowDuringSound != -1)
            return;
        rowDuringSound = 0;
        window.timMotion_Timer();  // due while the sound plays
        rowDuringSound = Accounts().ftps->SelectedRow();
    });

    window.timMotion_Timer();

    ASSERT_EQ(sounds_.size(), 1u);
    EXPECT_EQ(sounds_[0].path, sound);
    EXPECT_TRUE(sounds_[0].wait);
    EXPECT_EQ(rowDuringSound, 1);
    EXPECT_EQ(Accounts().ftps->SelectedRow(), 2);
}

// --- Checks that cannot compare -------------------------------------------------------------

TEST_F(MotionDetectionTest, ACheckWithoutItsFrameFileKeepsTheReferenceAndTriesAgain) {
    frmMain& window = LoadWindow({{QStringLiteral("A"), true, true, {kBeep}}});
    const QImage before = Frame();
    StartWith(window, before, WithBlueRaised(192));
    ASSERT_TRUE(QDir(home()).mkdir(QStringLiteral("Motion.bmp")));  // cannot be written
    window.StatusBar1->SetPanelText(2, QStringLiteral("unchanged"));

    window.timMotion_Timer();
    EXPECT_EQ(window.picMotion1, before);
    EXPECT_EQ(Panel2(window), QStringLiteral("unchanged"));
    EXPECT_EQ(Beeps(), 0);

    ASSERT_TRUE(QDir(home()).rmdir(QStringLiteral("Motion.bmp")));
    window.timMotion_Timer();
    EXPECT_EQ(Panel2(window), QStringLiteral("Motion Detected 1%"));
    EXPECT_EQ(Beeps(), 1);
}

TEST_F(MotionDetectionTest, ACheckWithoutAFrameSizeComparesNothing) {
    frmMain& window = LoadWindow({{QStringLiteral("A"), true, true, {kBeep}}});
    StartWith(window, Frame(), WithBlueRaised(192));
    window.mMotionWidth = 0;
    window.mMotionHeight = 0;

    window.timMotion_Timer();
    EXPECT_FALSE(QFile::exists(homeFile(QStringLiteral("Motion.bmp"))));
    EXPECT_EQ(window.picMotion1, Frame());
    EXPECT_EQ(Beeps(), 0);
}

}  // namespace
}  // namespace snapwire
