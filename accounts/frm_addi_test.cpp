// The additional-texts editor: loading an account's texts and font, placing,
// changing, ticking and deleting texts, the font, the prompt, the preview, what an
// upload draws, and opening from the account window.

#include "accounts/frm_addi.h"

#include "accounts/upload_settings_test.h"
#include "engine/frm_main.h"
#include "platform/capture/capture_control.h"
#include "platform/capture/device_list.h"
#include "platform/capture/frame_feed.h"
#include "platform/ui/modal_responder_for_tests.h"
#include "platform/ui/units.h"
#include "windows/frm_help.h"
#include "windows/modal_showing.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>

namespace snapwire::testing {
namespace {

using accounts::AdditionalText;

class AddiTest : public UploadSettingsTest {
  protected:
    void SetUp() override {
        UploadSettingsTest::SetUp();
        WriteSetting(QString(), QStringLiteral("FirstTime"), SettingValue(QStringLiteral("False")));
        StoreAccounts({"A", "B"});
        capture::FrameFeed::Enable();
        frame_ = QImage(320, 240, QImage::Format_RGB32);
        frame_.fill(QColor(40, 90, 160));
        capture::FrameFeed::Push(frame_);
        WriteSetting(QString(), QStringLiteral("Select the driver you want to use:"),
                     SettingValue(QString::fromLatin1(capture::kFrameFeedName)));
    }
    void TearDown() override {
        UploadSettingsTest::TearDown();
        capture::FrameFeed::Disable();
    }

    // The main window on the frame feed, showing the known frame. Its load leaves
    // the last account selected: the tests select account A.
    void ShowFrame(const QImage& frame) {
        ASSERT_TRUE(capture::FrameFeed::PushAndWait(*forms::frmMain().vcx, frame));
        LoadRow(1);
    }
    frmAddi& Editor() {
        ShowFrame(frame_);
        return forms::frmAddi();
    }

    static void StoreItem(const QString& account, int n, const AdditionalText& item) {
        const QString section = accounts::AdditionalTextSection(account, n);
        WriteSetting(section, QStringLiteral("Name"), SettingValue(item.Name));
        WriteSetting(section, QStringLiteral("X"), SettingValue(item.X));
        WriteSetting(section, QStringLiteral("Y"), SettingValue(item.Y));
        WriteSetting(section, QStringLiteral("Enabled"), SettingValue(item.Enabled));
    }
    static void StoreOneTwoThree() {
        StoreItem("A", 1, Text("one", 1, 1));
        StoreItem("A", 2, Text("two", 2, 2));
        StoreItem("A", 3, Text("three", 3, 3));
    }
    static AdditionalText StoredItem(const QString& account, int n) {
        const QString section = accounts::AdditionalTextSection(account, n);
        return {ReadSetting(section, QStringLiteral("Name")), ReadSetting(section, QStringLiteral("X")),
                ReadSetting(section, QStringLiteral("Y")),
                ReadSetting(section, QStringLiteral("Enabled")) == "True"};
    }
    static AdditionalText Text(const char* name, int x, int y, bool ticked = true) {
        return {QString::fromUtf8(name), QString::number(x), QString::number(y), ticked};
    }
    // A large, known font, so that every text leaves plenty of ink.
    static void StoreLargeFont(const QString& account) {
        accounts::TextFont font;
        font.FontName = QStringLiteral("DejaVu Sans");
        font.FontSize = 20;
        accounts::WriteTextFont(account, font);
    }

    static void Mouse(QWidget* target, QEvent::Type type, QPointF at, Qt::MouseButton button,
                      Qt::MouseButtons buttons) {
        QMouseEvent event(type, at, target->mapToGlobal(at), button, buttons, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }
    static void MoveTo(frmAddi& editor, QPointF at, Qt::MouseButtons held = Qt::NoButton) {
        Mouse(editor.picFrame, QEvent::MouseMove, at, Qt::NoButton, held);
    }
    static void Click(frmAddi& editor, QPointF at) {
        MoveTo(editor, at);
        Mouse(editor.picFrame, QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        Mouse(editor.picFrame, QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    }
    static void KeyUp(frmAddi& editor) {
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QApplication::sendEvent(editor.txtText, &release);
    }
    // The preview as the renderer would draw the list onto the bare picture.
    static QImage Expected(frmAddi& editor) {
        QImage picture = editor.picFrame->Picture();
        accounts::DrawTickedTexts(picture, editor.lstvText->Items(), editor.cdat);
        return picture;
    }
    static bool PromptOff(frmAddi& editor) {
        return !editor.timerArrowNew->isActive() && editor.lblClickToAdd->isHidden() &&
               editor.picArrowNew0->isHidden() && editor.picArrowNew1->isHidden();
    }

    QImage frame_;
};

// --- Loading -------------------------------------------------------------------------------

TEST_F(AddiTest, LoadShowsTheAccountsTextsOnTheCameraPictureAndLoadingAgainAddsNoCopies) {
    StoreItem("A", 1, Text("Hello", 10, 20));
    StoreItem("A", 2, {QStringLiteral("Hidden"), FloatText(12.5), QStringLiteral("5"), false});
    StoreItem("B", 1, Text("Other account", 0, 0));
    StoreLargeFont("A");
    frmAddi& editor = Editor();

    ASSERT_EQ(editor.lstvText->Count(), 2);
    EXPECT_EQ(editor.lstvText->Item(1), Text("Hello", 10, 20));
    EXPECT_EQ(editor.lstvText->Item(2), Text("Hidden", 12, 5, false));
    EXPECT_EQ(editor.lstvText->SelectedRow(), 1);
    EXPECT_EQ(editor.cdat.FontName, QStringLiteral("DejaVu Sans"));
    EXPECT_EQ(editor.picFrame->Picture(), frame_);
    EXPECT_NE(editor.picFrame->Image(), frame_);
    EXPECT_EQ(editor.picFrame->Image(), Expected(editor));

    editor.Form_Load();  // as every upload does
    EXPECT_EQ(editor.lstvText->Count(), 2);
}

TEST_F(AddiTest, WithoutTextsThePreviewIsTheBarePicture) {
    frmAddi& editor = Editor();
    EXPECT_EQ(editor.lstvText->Count(), 0);
    EXPECT_EQ(editor.picFrame->Image(), frame_);
    EXPECT_EQ(editor.cdat, accounts::TextFont());
}

TEST_F(AddiTest, WindowGrowsWithAPictureWiderThanItsDesign) {
    EXPECT_EQ(accounts::EditorSizeTwips(QSize(640, 480), 9225), QSize(10170, 480 * 15 + 3430));
    EXPECT_EQ(accounts::EditorSizeTwips(QSize(320, 240), 9225), QSize(9225, 240 * 15 + 3430));
    EXPECT_EQ(accounts::EditorSizeTwips(QSize(577, 0), 9225).width(), 9225);

    frmAddi& editor = Editor();
    EXPECT_EQ(editor.width(), ui::TwipsToPixels(9225));
    EXPECT_EQ(editor.height(), ui::TwipsToPixels(240 * 15 + 3430));
    QImage wide(640, 480, QImage::Format_RGB32);
    wide.fill(Qt::darkGreen);
    ShowFrame(wide);
    editor.Form_Load();
    EXPECT_EQ(editor.width(), ui::TwipsToPixels(10170));
    EXPECT_EQ(editor.picFrame->size(), QSize(640, 480));
}

TEST_F(AddiTest, ABrokenFontValueIsReportedOnceAndLeavesTheRestAtTheirDefaults) {
    const QString key = accounts::TextFontSection("A");
    WriteSetting(key, QStringLiteral("Font Bold"), SettingValue(QStringLiteral("False")));
    WriteSetting(key, QStringLiteral("Font Size"), SettingValue(QStringLiteral("huge")));
    WriteSetting(key, QStringLiteral("Color"), SettingValue(QStringLiteral("65280")));
    frmAddi& editor = Editor();

    ASSERT_EQ(ui::ShownBoxes().size(), 1u);
    EXPECT_EQ(ui::ShownBoxes()[0].prompt, QStringLiteral("Type mismatch"));
    EXPECT_EQ(ui::ShownBoxes()[0].title, QStringLiteral("Font/Additional/Registry Error"));
    EXPECT_EQ(ui::ShownBoxes()[0].style, ui::vbCritical + ui::vbOKOnly);
    EXPECT_FALSE(editor.cdat.FontBold);
    EXPECT_EQ(editor.cdat.FontSize, 10.0f);
    EXPECT_EQ(editor.cdat.Color, 255u);

    editor.Form_Load();  // every upload loads again: no box each time
    EXPECT_EQ(ui::ShownBoxes().size(), 1u);
}

// --- Placing a text ------------------------------------------------------------------------

TEST_F(AddiTest, ClickingThePictureAtItsCornerStoresTheTextAtOneOne) {
    frmAddi& editor = Editor();
    editor.txtText->setText(QStringLiteral("Cam %HH"));
    EXPECT_TRUE(editor.timerArrowNew->isActive());
    EXPECT_EQ(editor.timerArrowNew->interval(), 1000);

    MoveTo(editor, QPointF(0, 0));
    EXPECT_EQ(editor.txtX->text(), QStringLiteral("1"));
    EXPECT_EQ(editor.txtY->text(), QStringLiteral("1"));
    Click(editor, QPointF(0, 0));

    ASSERT_EQ(editor.lstvText->Count(), 1);
    EXPECT_EQ(editor.lstvText->Item(1), Text("Cam %HH", 1, 1));
    EXPECT_EQ(StoredItem("A", 1), Text("Cam %HH", 1, 1));
    EXPECT_EQ(ReadSetting(accounts::AdditionalTextSection("A", 1), QStringLiteral("Enabled")),
              QStringLiteral("True"));
    EXPECT_EQ(editor.lstvText->SelectedRow(), 1);
    EXPECT_TRUE(editor.txtText->text().isEmpty());
    EXPECT_TRUE(PromptOff(editor));
    EXPECT_NE(editor.picFrame->Image(), frame_);
    EXPECT_EQ(editor.picFrame->Image(), Expected(editor));
}

TEST_F(AddiTest, ThePlacedTextTakesThePressPositionNotATypedOne) {
    frmAddi& editor = Editor();
    editor.txtText->setText(QStringLiteral("Here"));
    editor.txtX->setText(QStringLiteral("not a number"));
    Mouse(editor.picFrame, QEvent::MouseButtonPress, QPointF(30, 40), Qt::RightButton, Qt::RightButton);
    Mouse(editor.picFrame, QEvent::MouseButtonRelease, QPointF(30, 40), Qt::RightButton, Qt::NoButton);
    EXPECT_EQ(StoredItem("A", 1), Text("Here", 31, 41));
}

TEST_F(AddiTest, ReleasingWithoutATextAddsNothing) {
    frmAddi& editor = Editor();
    Click(editor, QPointF(5, 5));
    EXPECT_EQ(editor.lstvText->Count(), 0);
    EXPECT_TRUE(ReadSetting(accounts::AdditionalTextSection("A", 1), QStringLiteral("Name")).isEmpty());
}

TEST_F(AddiTest, DraggingPreviewsTheNewTextWhereTheButtonWouldLeaveIt) {
    StoreLargeFont("A");
    frmAddi& editor = Editor();
    editor.txtText->setText(QStringLiteral("Dragged"));
    MoveTo(editor, QPointF(49, 59), Qt::LeftButton);

    QImage expected = frame_;
    accounts::DrawTextAt(expected, QStringLiteral("Dragged"), 50, 60, editor.cdat);
    EXPECT_EQ(editor.picFrame->Image(), expected);
    MoveTo(editor, QPointF(10, 10));  // without the button: only the position changes
    EXPECT_EQ(editor.txtX->text(), QStringLiteral("11"));
    EXPECT_EQ(editor.picFrame->Image(), expected);
}

TEST_F(AddiTest, ThePromptBlinksUntilTheTextBoxIsLeft) {
    frmAddi& editor = Editor();
    editor.txtText->setText(QStringLiteral("x"));
    EXPECT_TRUE(editor.lblClickToAdd->isHidden());  // the first tick shows it
    editor.timerArrowNew_Timer();
    EXPECT_FALSE(editor.lblClickToAdd->isHidden());
    EXPECT_FALSE(editor.picArrowNew0->isHidden());
    EXPECT_TRUE(editor.picArrowNew1->isHidden());
    editor.timerArrowNew_Timer();
    EXPECT_TRUE(editor.picArrowNew0->isHidden());
    EXPECT_FALSE(editor.picArrowNew1->isHidden());

    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(editor.txtText, &out);
    EXPECT_TRUE(PromptOff(editor));
}

// --- Changing, ticking, deleting -----------------------------------------------------------

TEST_F(AddiTest, ChangeModeOnAnEmptyListUnticksItself) {
    frmAddi& editor = Editor();
    editor.chkChange->setCheckState(Qt::Checked);
    EXPECT_EQ(editor.chkChange->checkState(), Qt::Unchecked);
}

TEST_F(AddiTest, ChangeModeRenamesTheSelectedTextAndMovesItToTheEnd) {
    StoreOneTwoThree();
    frmAddi& editor = Editor();
    editor.lstvText->Select(2);
    editor.chkChange->setCheckState(Qt::Checked);
    EXPECT_EQ(editor.txtText->text(), QStringLiteral("two"));
    EXPECT_EQ(editor.txtX->text(), QStringLiteral("2"));

    editor.txtText->setText(QStringLiteral("TWO"));
    KeyUp(editor);
    EXPECT_EQ(editor.lstvText->Text(2), QStringLiteral("TWO"));
    EXPECT_EQ(StoredItem("A", 2).Name, QStringLiteral("TWO"));

    // An emptied box would end the stored list at this text: the text stays.
    editor.txtText->clear();
    KeyUp(editor);
    EXPECT_EQ(StoredItem("A", 2).Name, QStringLiteral("TWO"));
    editor.txtText->setText(QStringLiteral("TWO"));

    Click(editor, QPointF(99, 49));
    ASSERT_EQ(editor.lstvText->Count(), 3);
    EXPECT_EQ(StoredItem("A", 1), Text("one", 1, 1));
    EXPECT_EQ(StoredItem("A", 2), Text("three", 3, 3));
    EXPECT_EQ(StoredItem("A", 3), Text("TWO", 100, 50));
    EXPECT_EQ(editor.chkChange->checkState(), Qt::Unchecked);
    EXPECT_TRUE(editor.txtX->text().isEmpty());
}

TEST_F(AddiTest, PressingInChangeModeWithAnEmptiedBoxTakesNoTextOffTheList) {
    StoreItem("A", 1, Text("one", 1, 1));
    StoreItem("A", 2, Text("two", 2, 2));
    frmAddi& editor = Editor();
    editor.chkChange->setCheckState(Qt::Checked);
    editor.txtText->clear();
    Click(editor, QPointF(5, 5));
    editor.lstvText->topLevelItem(0)->setCheckState(0, Qt::Unchecked);  // any later save
    EXPECT_EQ(accounts::ReadAdditionalTexts("A"),
              (std::vector<AdditionalText>{Text("one", 1, 1, false), Text("two", 2, 2)}));
}

TEST_F(AddiTest, TickingARowStoresItAndRedrawsThePreview) {
    StoreItem("A", 1, Text("one", 10, 10));
    frmAddi& editor = Editor();
    ASSERT_NE(editor.picFrame->Image(), frame_);
    editor.lstvText->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(ReadSetting(accounts::AdditionalTextSection("A", 1), QStringLiteral("Enabled")),
              QStringLiteral("False"));
    EXPECT_EQ(editor.picFrame->Image(), frame_);
    editor.lstvText->topLevelItem(0)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(ReadSetting(accounts::AdditionalTextSection("A", 1), QStringLiteral("Enabled")),
              QStringLiteral("True"));
    EXPECT_NE(editor.picFrame->Image(), frame_);
}

TEST_F(AddiTest, DeletingTheMiddleOfThreeLeavesTwoKeysInOrder) {
    StoreOneTwoThree();
    frmAddi& editor = Editor();
    editor.lstvText->Select(2);
    editor.chkChange->setCheckState(Qt::Checked);
    editor.cmdDelete->click();

    EXPECT_EQ(editor.chkChange->checkState(), Qt::Unchecked);
    EXPECT_EQ(StoredItem("A", 1), Text("one", 1, 1));
    EXPECT_EQ(StoredItem("A", 2), Text("three", 3, 3));
    EXPECT_FALSE(KeyExists(accounts::AdditionalTextSection("A", 3)));
    EXPECT_EQ(editor.lstvText->SelectedRow(), 2);
    EXPECT_EQ(editor.picFrame->Image(), Expected(editor));

    editor.cmdDelete->click();
    editor.cmdDelete->click();
    EXPECT_EQ(editor.lstvText->Count(), 0);
    EXPECT_FALSE(KeyExists(accounts::AdditionalTextSection("A", 1)));
    EXPECT_EQ(editor.picFrame->Image(), frame_);
}

// --- Font ----------------------------------------------------------------------------------

TEST_F(AddiTest, AChosenFontAndColourAreStoredAndDrawn) {
    StoreItem("A", 1, Text("one", 10, 10));
    frmAddi& editor = Editor();
    QFont chosen(QStringLiteral("DejaVu Serif"));
    chosen.setPointSize(14);
    chosen.setBold(false);
    chosen.setItalic(true);
    ui::AnswerNextFontDialog(chosen);
    ui::AnswerNextColorDialog(QColor(0, 0, 255));
    editor.cmdFont->click();

    const QString key = accounts::TextFontSection("A");
    EXPECT_EQ(ReadSetting(key, QStringLiteral("Font Name")), QStringLiteral("DejaVu Serif"));
    EXPECT_EQ(ReadSetting(key, QStringLiteral("Font Size")), QStringLiteral("14"));
    EXPECT_EQ(ReadSetting(key, QStringLiteral("Font Bold")), QStringLiteral("False"));
    EXPECT_EQ(ReadSetting(key, QStringLiteral("Font Italic")), QStringLiteral("True"));
    EXPECT_EQ(ReadSetting(key, QStringLiteral("Color")), QStringLiteral("16711680"));
    EXPECT_EQ(editor.picFrame->Image(), Expected(editor));
    EXPECT_EQ(ui::UnansweredDialogCount(), 0);
}

TEST_F(AddiTest, CancellingTheFontStoresTheFontItOpenedWith) {
    frmAddi& editor = Editor();
    ui::AnswerNextFontDialog(std::nullopt);
    editor.cmdFont->click();
    EXPECT_EQ(ui::UnansweredDialogCount(), 0);  // no colour asked after a cancel
    accounts::TextFont stored;
    stored.FontName.clear();
    EXPECT_FALSE(accounts::ReadTextFont("A", stored));
    EXPECT_EQ(stored, accounts::TextFont());
    EXPECT_EQ(ReadSetting(accounts::TextFontSection("A"), QStringLiteral("Color")), QStringLiteral("255"));
}

// --- Uploads -------------------------------------------------------------------------------

TEST_F(AddiTest, AnUploadDrawsTheTickedTextsOfTheAccountSelectedAtThatMoment) {
    StoreItem("A", 1, Text("Alpha", 5, 5));
    StoreItem("B", 1, Text("Beta", 5, 5));
    StoreItem("B", 2, Text("Unticked", 5, 60, false));
    ShowFrame(frame_);

    QImage forA = frame_;
    forms::frmAddiReloaded().AddTextsToUpload(forA);
    QImage expectedA = frame_;
    accounts::DrawTextAt(expectedA, QStringLiteral("Alpha"), 5, 5, accounts::TextFont());
    EXPECT_EQ(forA, expectedA);

    LoadRow(2);
    StoreItem("B", 1, Text("Beta now", 5, 5));  // stored after the last load
    QImage forB = frame_;
    forms::frmAddiReloaded().AddTextsToUpload(forB);
    QImage expectedB = frame_;
    accounts::DrawTextAt(expectedB, QStringLiteral("Beta now"), 5, 5, accounts::TextFont());
    EXPECT_EQ(forB, expectedB);
    EXPECT_TRUE(forms::frmAddi().picFrame->Picture().isNull());  // the hidden window keeps no frame
}

TEST_F(AddiTest, AnUploadWhileTheEditorIsOpenLeavesItOnItsAccount) {
    StoreItem("A", 1, Text("Alpha", 5, 5));
    StoreItem("B", 1, Text("Beta", 5, 5));
    frmAddi& editor = Editor();
    editor.show();
    LoadRow(2);
    QImage upload = frame_;
    forms::frmAddiReloaded().AddTextsToUpload(upload);
    QImage expected = frame_;
    accounts::DrawTextAt(expected, QStringLiteral("Beta"), 5, 5, accounts::TextFont());
    EXPECT_EQ(upload, expected);

    EXPECT_EQ(editor.lstvText->Text(1), QStringLiteral("Alpha"));
    editor.lstvText->topLevelItem(0)->setCheckState(0, Qt::Unchecked);
    EXPECT_EQ(StoredItem("A", 1), Text("Alpha", 5, 5, false));
    EXPECT_EQ(StoredItem("B", 1), Text("Beta", 5, 5));
}

// --- Opening from the account window --------------------------------------------------------

TEST_F(AddiTest, TheAccountWindowOpensAFreshEditorAndDoneUnloadsIt) {
    StoreItem("A", 1, Text("Alpha", 5, 5));
    frmAddi& stale = Editor();  // an upload left one loaded
    stale.lstvText->Clear();
    ASSERT_TRUE(Window().cmdAddi->isEnabled());

    int rowsShown = -1;
    bool wasModal = false;
    bool pictureShown = false;
    ui::testing::RespondToNextModal<frmAddi>([&](frmAddi* shown) {
        rowsShown = shown->lstvText->Count();
        pictureShown = shown->picFrame->Picture() == frame_;
        wasModal = shown->isModal();
        shown->cmdDone->click();
    });
    Window().cmdAddi->click();
    EXPECT_EQ(rowsShown, 1);
    EXPECT_TRUE(pictureShown);
    EXPECT_TRUE(wasModal);
    EXPECT_FALSE(forms::frmAddiLoaded());
}

TEST_F(AddiTest, HelpShowsTheAdditionalTextTopicModally) {
    frmAddi& editor = Editor();
    QString shownNode;
    SetModalShowingForTests([&shownNode](QDialog&) { shownNode = forms::frmHelp().SelectedKey(); });
    editor.cmdHelp->click();
    SetModalShowingForTests({});
    EXPECT_EQ(shownNode, QStringLiteral("add_additional_text"));
}

}  // namespace
}  // namespace snapwire::testing
