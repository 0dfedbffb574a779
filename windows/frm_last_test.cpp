#include "windows/frm_last.h"

#include "platform/ui/forms.h"
#include "testsupport/window_test.h"

#include <gtest/gtest.h>
#include <QAction>
#include <QCoreApplication>
#include <QImage>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

namespace snapwire {
namespace {

class LastPictureTest : public testing::WindowTest {
  protected:
    // A camera frame of width x height with a 20-pixel timestamp strip below it.
    QString WritePicture(const char* name, int width, int height) {
        QImage picture(width, height + kStripHeight, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        QPainter(&picture).fillRect(0, height, width, kStripHeight, Qt::black);
        const QString path = homeFile(QString::fromLatin1(name));
        EXPECT_TRUE(picture.save(path, "JPEG"));
        return path;
    }
    static constexpr int kStripHeight = 20;
};

TEST_F(LastPictureTest, BeforeAnyUploadTheWindowIsEmptyAtItsDesignSize) {
    frmLast& last = forms::frmLast();
    EXPECT_EQ(last.windowTitle(), "No Last Picture");
    EXPECT_EQ(last.size(), QSize(287, 227));  // 4305 x 3405 twips
    EXPECT_TRUE(last.Picture().isNull());
    EXPECT_FALSE(last.mnuPAlwaysOnTop->isChecked());
    EXPECT_FALSE(last.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_EQ(last.grab().toImage().pixelColor(100, 100), QColor(Qt::white));
}

TEST_F(LastPictureTest, RefreshShowsTheWholePictureWithItsStripAndDoesNotShowTheWindow) {
    const QString path = WritePicture("webcam.jpg", 320, 240);
    frmLast& last = forms::frmLast();
    ASSERT_TRUE(last.ShowLastPicture(path, QStringLiteral("05.03.2024 15:04:05")));
    EXPECT_FALSE(last.isVisible());
    EXPECT_EQ(last.windowTitle(), "05.03.2024 15:04:05");
    EXPECT_EQ(last.size(), QSize(320, 240 + kStripHeight));
    EXPECT_EQ(last.Picture().size(), QSize(320, 240 + kStripHeight));

    // The strip's last row is inside the window, not cut off.
    const QImage shown = last.grab().toImage();
    EXPECT_LT(shown.pixelColor(160, 240 + kStripHeight - 1).lightness(), 40);
    EXPECT_GT(shown.pixelColor(160, 100).blue(), 200);
}

TEST_F(LastPictureTest, APictureThatCannotBeLoadedLeavesTheWindowAsItWas) {
    frmLast& last = forms::frmLast();
    ASSERT_TRUE(last.ShowLastPicture(WritePicture("webcam.jpg", 160, 120), QStringLiteral("first")));
    EXPECT_FALSE(last.ShowLastPicture(homeFile(QStringLiteral("missing.jpg")), QStringLiteral("second")));
    EXPECT_EQ(last.windowTitle(), "first");
    EXPECT_EQ(last.size(), QSize(160, 120 + kStripHeight));
    EXPECT_FALSE(last.Picture().isNull());
}

TEST_F(LastPictureTest, AnEmptyStampGivesAnEmptyCaption) {
    frmLast& last = forms::frmLast();
    ASSERT_TRUE(last.ShowLastPicture(WritePicture("webcam.jpg", 64, 48), QString()));
    EXPECT_EQ(last.windowTitle(), "");
}

TEST_F(LastPictureTest, AlwaysOnTopTogglesTheTopmostStateAndItsCheckMark) {
    frmLast& last = forms::frmLast();
    last.show();
    last.mnuPAlwaysOnTop->trigger();
    EXPECT_TRUE(last.mnuPAlwaysOnTop->isChecked());
    EXPECT_TRUE(last.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    EXPECT_TRUE(last.isVisible());

    last.mnuPAlwaysOnTop->trigger();
    EXPECT_FALSE(last.mnuPAlwaysOnTop->isChecked());
    EXPECT_FALSE(last.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

TEST_F(LastPictureTest, MouseButtonsPopUpTheMenu) {
    frmLast& last = forms::frmLast();
    last.show();
    for (const Qt::MouseButton button : {Qt::LeftButton, Qt::RightButton}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(10, 10), last.mapToGlobal(QPointF(10, 10)),
                          button, button, Qt::NoModifier);
        QCoreApplication::sendEvent(&last, &press);
        EXPECT_TRUE(last.mnuPopup->isVisible());
        last.mnuPopup->hide();
    }
}

TEST_F(LastPictureTest, ClosingHidesAndKeepsPictureCaptionAndTopmostState) {
    frmLast& last = forms::frmLast();
    ASSERT_TRUE(last.ShowLastPicture(WritePicture("webcam.jpg", 64, 48), QStringLiteral("stamp")));
    last.show();
    last.mnuPAlwaysOnTop->trigger();
    EXPECT_FALSE(last.close());
    EXPECT_FALSE(last.isVisible());

    frmLast& again = forms::frmLast();
    again.show();
    EXPECT_EQ(&again, &last);
    EXPECT_EQ(again.windowTitle(), "stamp");
    EXPECT_FALSE(again.Picture().isNull());
    EXPECT_TRUE(again.windowFlags().testFlag(Qt::WindowStaysOnTopHint));
}

}  // namespace
}  // namespace snapwire
