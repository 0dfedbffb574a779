// An upload cycle publishes the frame with the account's ticked additional texts
// drawn on it, as stored when the cycle runs.

#include <gtest/gtest.h>

#include <QSlider>
#include <QTemporaryDir>

#include "accounts/additional_texts.h"
#include "engine/upload_test_fixture.h"

namespace snapwire {
namespace {

class AdditionalTextsCycleTest : public testing::UploadTest {
  protected:
    // An account that only copies into folder_, keeping the published picture at
    // the best quality, with its texts in a large red font.
    frmMain& LoadCopyingAccount() {
        EXPECT_TRUE(folder_.isValid());
        StoreAccount(1, QStringLiteral("Cam"), true);
        StoreValue(QStringLiteral("Cam"), "Locally", QStringLiteral("1"));
        StoreValue(QStringLiteral("Cam"), "Only Locally", QStringLiteral("1"));
        StoreValue(QStringLiteral("Cam"), "LocallySource", folder_.path());
        accounts::TextFont font;
        font.FontName = QStringLiteral("DejaVu Sans");
        font.FontSize = 28;
        font.Color = 0x000000FF;  // red
        accounts::WriteTextFont(QStringLiteral("Cam"), font);
        frmMain& window = LoadWindow();
        SetOption(Options().chkKeepUpload, true);
        Options().Slider1->setValue(100);
        return window;
    }
    static void StoreText(int n, const QString& text, int x, int y, bool ticked) {
        const QString section = accounts::AdditionalTextSection(QStringLiteral("Cam"), n);
        StoreValue(section, "Name", text);
        StoreValue(section, "X", QString::number(x));
        StoreValue(section, "Y", QString::number(y));
        StoreValue(section, "Enabled", ticked ? QStringLiteral("True") : QStringLiteral("False"));
    }
    // Pixels of the published picture inside the area that are clearly red (the
    // frame is a dark blue; the JPEG blurs only the edges of the strokes).
    QImage Published() const { return QImage(folder_.filePath(QStringLiteral("webcam.jpg"))); }
    static int RedPixels(const QImage& picture, const QRect& area) {
        int count = 0;
        for (int y = area.top(); y <= area.bottom(); ++y) {
            for (int x = area.left(); x <= area.right(); ++x) {
                const QColor pixel = picture.pixelColor(x, y);
                if (pixel.red() > 200 && pixel.green() < 80 && pixel.blue() < 80)
                    ++count;
            }
        }
        return count;
    }

    QTemporaryDir folder_;
};

TEST_F(AdditionalTextsCycleTest, TheComposedPictureCarriesTheTickedTextWhereItIsPlaced) {
    frmMain& window = LoadCopyingAccount();
    StoreText(1, QStringLiteral("%HH"), 20, 30, true);  // stored after the account was loaded
    StoreText(2, QStringLiteral("WWW"), 20, 150, false);
    window.mnuupload_now_Click();

    const QImage picture = Published();
    ASSERT_EQ(picture.size(), QSize(320, 240));
    EXPECT_GT(RedPixels(picture, QRect(20, 30, 80, 40)), 60);   // "14" in the text's place
    EXPECT_EQ(RedPixels(picture, QRect(0, 0, 320, 30)), 0);     // nothing above its top
    EXPECT_EQ(RedPixels(picture, QRect(0, 0, 20, 240)), 0);     // nothing left of its left edge
    EXPECT_EQ(RedPixels(picture, QRect(0, 100, 320, 140)), 0);  // the unticked text is not drawn
}

TEST_F(AdditionalTextsCycleTest, WithoutTicksThePictureIsTheFrame) {
    frmMain& window = LoadCopyingAccount();
    StoreText(1, QStringLiteral("WWW"), 20, 30, false);
    window.mnuupload_now_Click();
    const QImage picture = Published();
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(RedPixels(picture, picture.rect()), 0);
}

}  // namespace
}  // namespace snapwire
