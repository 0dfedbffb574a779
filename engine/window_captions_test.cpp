// Every window of the program, every page of it: no caption may be cut off by its
// control (label, button, check box, option, tab, frame title).

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOption>
#include <QTabBar>
#include <QToolButton>
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "accounts/frm_addi.h"
#include "accounts/frm_time_format.h"
#include "accounts/frm_unique.h"
#include "accounts/frm_upload_settings.h"
#include "accounts/wizard.h"
#include "engine/main_window_test_fixture.h"
#include "options/frm_audio.h"
#include "options/frm_capture.h"
#include "options/frm_driver.h"
#include "options/movie_frame_rate.h"
#include "options/prco_form.h"
#include "platform/capture/capture_dialogs.h"
#include "windows/frm_about.h"
#include "windows/frm_help.h"
#include "windows/frm_last.h"
#include "windows/log_windows.h"
#include "windows/news_form.h"

namespace snapwire {
namespace {

using testing::MainWindowTest;

// The captions a control shows: its text, its tabs' texts or its frame title.
QStringList Captions(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control))
        return {label->text()};
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return {button->text()};
    if (const auto* frame = qobject_cast<const QGroupBox*>(control))
        return {frame->title()};
    QStringList captions;
    if (const auto* tabs = qobject_cast<const QTabBar*>(control)) {
        for (int i = 0; i < tabs->count(); ++i) captions << tabs->tabText(i);
    }
    return captions;
}

// The caption as drawn: "&&" shows one "&", a single "&" marks the access key.
int CaptionWidth(const QWidget* control, QString caption) {
    caption.replace(QStringLiteral("&&"), QStringLiteral("\x01")).remove(u'&').replace(u'\x01', u'&');
    return QFontMetrics(control->font()).horizontalAdvance(caption);
}

// Room for the caption inside a button, check box or option, as the style lays it out.
int CaptionRoom(const QAbstractButton* button) {
    QStyleOptionButton option;
    option.initFrom(button);
    option.text = button->text();
    option.icon = button->icon();
    option.iconSize = button->iconSize();
    QStyle::SubElement contents = QStyle::SE_PushButtonContents;
    if (qobject_cast<const QCheckBox*>(button) != nullptr)
        contents = QStyle::SE_CheckBoxContents;
    else if (qobject_cast<const QRadioButton*>(button) != nullptr)
        contents = QStyle::SE_RadioButtonContents;
    const int room = button->style()->subElementRect(contents, &option, button).width();
    return button->icon().isNull() ? room : room - button->iconSize().width() - 4;
}

int TitleRight(const QGroupBox* frame) {
    QStyleOptionGroupBox option;
    option.initFrom(frame);
    option.text = frame->title();
    option.lineWidth = 1;
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    return frame->style()
               ->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, frame)
               .right() +
           1;
}

// What the control needs to show its captions whole, against what it has (a height
// for a label that wraps, a width otherwise).
std::pair<int, int> NeededAndRoom(const QWidget* control) {
    if (const auto* label = qobject_cast<const QLabel*>(control)) {
        if (label->wordWrap())
            return {label->heightForWidth(label->width()), label->height()};
        return {label->sizeHint().width(), label->width()};
    }
    if (const auto* tool = qobject_cast<const QToolButton*>(control)) {
        if (tool->toolButtonStyle() == Qt::ToolButtonIconOnly)
            return {0, 0};
        return {tool->sizeHint().width(), tool->width()};
    }
    if (const auto* button = qobject_cast<const QAbstractButton*>(control))
        return {CaptionWidth(button, button->text()), CaptionRoom(button)};
    if (const auto* frame = qobject_cast<const QGroupBox*>(control))
        return {TitleRight(frame), frame->width()};
    // Tabs that do not all fit are shortened or scrolled.
    return {control->sizeHint().width(), control->width()};
}

// A description of every cut-off caption among the visible controls of `window`.
std::vector<std::string> CutCaptions(QWidget* window) {
    std::vector<std::string> cut;
    for (const QWidget* control : window->findChildren<QWidget*>()) {
        const QString captions = Captions(control).join(u'|');
        if (captions.isEmpty() || !control->isVisibleTo(window))
            continue;
        const auto [needed, room] = NeededAndRoom(control);
        if (needed > room)
            cut.push_back(QStringLiteral("%1 / %2 \"%3\": needs %4 px, has %5")
                              .arg(window->windowTitle(),
                                   QString::fromLatin1(control->metaObject()->className()), captions)
                              .arg(needed)
                              .arg(room)
                              .toStdString());
    }
    return cut;
}

void Settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    QCoreApplication::processEvents();
}

// The frames placed one over another in a window, of which its tab strip or its
// buttons show one at a time.
std::vector<QFrame*> Pages(QWidget* window) {
    std::vector<QFrame*> pages;
    for (QFrame* frame : window->findChildren<QFrame*>(Qt::FindDirectChildrenOnly)) {
        if (frame->metaObject() == &QFrame::staticMetaObject)
            pages.push_back(frame);
    }
    return pages;
}

// Shows `window` without blocking and checks it as it stands and on each of its pages.
std::vector<std::string> CheckWindow(QWidget* window) {
    window->show();
    Settle();
    std::vector<std::string> cut = CutCaptions(window);
    const std::vector<QFrame*> pages = Pages(window);
    std::vector<bool> shown;
    for (QFrame* page : pages) shown.push_back(page->isVisible());
    for (QFrame* page : pages) {
        for (QFrame* other : pages) other->setVisible(other == page);
        Settle();
        for (std::string& line : CutCaptions(window)) cut.push_back(std::move(line));
    }
    for (std::size_t i = 0; i < pages.size(); ++i) pages[i]->setVisible(shown[i]);
    window->hide();
    std::sort(cut.begin(), cut.end());
    cut.erase(std::unique(cut.begin(), cut.end()), cut.end());
    return cut;
}

// Every window a user can meet, each loaded as the program loads it.
class EveryWindowTest : public MainWindowTest {
  protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        StoreNotFirstRun();
        forms::StartUp();
        windows = {&forms::frmMain(),
                   &forms::frmUploadSettings(),
                   &forms::frmUnique(),
                   &forms::frmTimeFormat(),
                   &forms::frmAddi(),
                   &forms::Wizard(),
                   &forms::prcoForm(),
                   &forms::frmCapture(),
                   &forms::movieframerate(),
                   &forms::frmAudio(),
                   &forms::frmDriver(),
                   &forms::frmUploadLog(),
                   &forms::frmMotionLog(),
                   &forms::FTPLog(),
                   &forms::frmLast(),
                   &forms::frmHelp(),
                   &forms::frmAbout(),
                   &forms::news_form(),
                   &format_,
                   &source_,
                   &compressor_};
    }

    std::vector<QWidget*> windows;

  private:
    capture::FormatDialog format_{{}, capture::VideoFormat{}};
    capture::SourceDialog source_{{capture::ImageControl{QStringLiteral("brightness"), -100, 100, 0}},
                                  [](const QString&, int) {}};
    capture::CompressorDialog compressor_{75};
};

std::string Lines(const std::vector<std::string>& lines) {
    std::string all;
    for (const std::string& line : lines) all += line + "\n";
    return all;
}

TEST_F(EveryWindowTest, NoCaptionIsWiderThanItsControl) {
    // The program runs in either style, as the visual-style option chooses.
    const QString ownStyle = QApplication::style()->name();
    std::vector<std::string> cut;
    for (const char* style : {"Windows", "Fusion"}) {
        QApplication::setStyle(QString::fromLatin1(style));
        for (QWidget* window : windows) {
            for (std::string& line : CheckWindow(window)) cut.push_back(style + (": " + line));
        }
    }
    QApplication::setStyle(ownStyle);
    EXPECT_TRUE(cut.empty()) << Lines(cut);
}

// What a user reads speaks of this desktop, not of another system.
TEST_F(EveryWindowTest, NoCaptionOrToolTipNamesWindows) {
    std::vector<std::string> found;
    for (QWidget* window : windows) {
        for (const QWidget* control : window->findChildren<QWidget*>()) {
            const QStringList texts = Captions(control) << control->toolTip();
            for (const QString& text : texts) {
                if (text.contains(QLatin1String("Windows")))
                    found.push_back(text.toStdString());
            }
        }
    }
    EXPECT_TRUE(found.empty()) << Lines(found);
}

}  // namespace
}  // namespace snapwire
