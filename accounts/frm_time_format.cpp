#include "accounts/frm_time_format.h"

#include "accounts/date_tokens.h"
#include "accounts/frm_upload_settings.h"
#include "accounts/pattern_dialog.h"
#include "platform/ui/app_control.h"
#include "platform/ui/forms.h"
#include "platform/ui/units.h"
#include "windows/design_rect.h"
#include "windows/frm_help.h"

#include <QApplication>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <algorithm>

namespace snapwire {

namespace {

constexpr int kDesignWidth = 3855;
constexpr int kDesignHeight = 3255;
constexpr int kBelowCentreTwips = 2600;
constexpr int kTokenRows[] = {1080, 1560, 2040};

}  // namespace

frmTimeFormat::frmTimeFormat() {
    accounts::SetUpPatternDialog(this, QStringLiteral("Time format"), kDesignWidth, kDesignHeight);
    BuildControls();
    ConnectHandlers();
}

frmTimeFormat::~frmTimeFormat() = default;

// Controls are made in their tab order.
void frmTimeFormat::BuildControls() {
    lblTSFormat = new QLabel(QStringLiteral("Format:"), this);
    lblTSFormat->setGeometry(DesignRect(240, 240, 615, 255));
    txtTimeStamp = new QLineEdit(QStringLiteral("%ST"), this);
    txtTimeStamp->setGeometry(DesignRect(240, 600, 3375, 285));

    cmdYear = accounts::NewTokenButton("Year", 0, kTokenRows[0], this);
    cmdMonth = accounts::NewTokenButton("Month", 1, kTokenRows[0], this);
    cmdDay = accounts::NewTokenButton("Day", 2, kTokenRows[0], this);
    cmdHour = accounts::NewTokenButton("Hour", 0, kTokenRows[1], this);
    cmdMinute = accounts::NewTokenButton("Minute", 1, kTokenRows[1], this);
    cmdSecond = accounts::NewTokenButton("Second", 2, kTokenRows[1], this);
    cmdAMPM = accounts::NewTokenButton("AM/PM", 0, kTokenRows[2], this);
    cmdWeekday = accounts::NewTokenButton("Weekday", 1, kTokenRows[2], this);

    cmdSystemStandard = new QPushButton(QStringLiteral("System &Standard"), this);
    cmdSystemStandard->setFont(QApplication::font(cmdSystemStandard));  // the window's standard font
    cmdSystemStandard->setGeometry(DesignRect(240, 2640, 1455, 375));
    cmdOK = new QPushButton(QStringLiteral("&OK"), this);
    cmdOK->setGeometry(DesignRect(2760, 2640, 855, 375));
    cmdOK->setDefault(true);
    cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    cmdHelp->setGeometry(DesignRect(1800, 2640, 855, 375));
}

// The change signal, so that loading an account redraws the sample as the user's
// edit does.
void frmTimeFormat::ConnectHandlers() {
    connect(txtTimeStamp, &QLineEdit::textChanged, this, [this] { txtTimeStamp_Change(); });
    accounts::ConnectClickHandlers(this, {{cmdYear, &frmTimeFormat::cmdYear_Click},
                                          {cmdMonth, &frmTimeFormat::cmdMonth_Click},
                                          {cmdDay, &frmTimeFormat::cmdDay_Click},
                                          {cmdHour, &frmTimeFormat::cmdHour_Click},
                                          {cmdMinute, &frmTimeFormat::cmdMinute_Click},
                                          {cmdSecond, &frmTimeFormat::cmdSecond_Click},
                                          {cmdAMPM, &frmTimeFormat::cmdAMPM_Click},
                                          {cmdWeekday, &frmTimeFormat::cmdWeekday_Click},
                                          {cmdSystemStandard, &frmTimeFormat::cmdSystemStandard_Click},
                                          {cmdOK, &frmTimeFormat::cmdOK_Click},
                                          {cmdHelp, &frmTimeFormat::cmdHelp_Click}});
}

void frmTimeFormat::Form_Load() {
    ui::DisableCloseButton(this);
    PlaceBelowScreenCentre();
}

// Centred across the screen and a little below its middle, out of the way of the
// sample strip the user watches while editing. Placed once: a window the user has
// moved stays where it was put. It is kept on the screen's free area, so that
// its OK button can always be reached.
void frmTimeFormat::PlaceBelowScreenCentre() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    winId();  // the frame's size is known once the window exists
    const QRect whole = screen->geometry();
    const QSize size = frameGeometry().size();
    int left = whole.left() + whole.width() / 2 - size.width() / 2;
    int top = whole.top() + whole.height() / 2 - size.height() / 2 + ui::TwipsToPixels(kBelowCentreTwips);
    const QRect free = screen->availableGeometry();
    left = std::clamp(left, free.left(), std::max(free.left(), free.right() + 1 - size.width()));
    top = std::clamp(top, free.top(), std::max(free.top(), free.bottom() + 1 - size.height()));
    move(left, top);
}

// The sample is a snapshot of the moment of the change; it does not follow the clock.
void frmTimeFormat::txtTimeStamp_Change() {
    forms::frmUploadSettings().DrawTimestampSample();
}

void frmTimeFormat::cmdYear_Click() {
    accounts::InsertToken(txtTimeStamp, QStringLiteral("%YYYY"));
}

void frmTimeFormat::cmdMonth_Click() {
    accounts::InsertToken(txtTimeStamp, QStringLiteral("%TT"));
}

void frmTimeFormat::cmdDay_Click() {
    accounts::InsertToken(txtTimeStamp, QStringLiteral("%DD"));
}

void frmTimeFormat::cmdHour_Click() {
    accounts::InsertToken(txtTimeStamp, QStringLiteral("%HH"));
}

void frmTimeFormat::cmdMinute_Click() {
    accounts::InsertToken(txtTimeStamp, QStringLiteral("%MM"));
}

void frmTimeFormat::cmdSecond_Click() {
    accounts::InsertToken(txtTimeStamp, QStringLiteral("%SS"));
}

void frmTimeFormat::cmdAMPM_Click() {
    accounts::InsertToken(txtTimeStamp, QStringLiteral("%A"));
}

void frmTimeFormat::cmdWeekday_Click() {
    accounts::InsertToken(txtTimeStamp, QStringLiteral("%W"));
}

void frmTimeFormat::cmdSystemStandard_Click() {
    txtTimeStamp->setText(QStringLiteral("%ST"));
}

void frmTimeFormat::cmdOK_Click() {
    WriteTimeFormat();
    hide();
}

void frmTimeFormat::WriteTimeFormat() {
    accounts::WriteToSelectedAccount({{"TimeFormat", SettingValue(txtTimeStamp->text())}});
}

void frmTimeFormat::cmdHelp_Click() {
    ShowHelpTopic(QStringLiteral("TimeFormat"));
}

QString frmTimeFormat::FormatTime(const QString& TimeFormat) const {
    return accounts::FormatTimeFor(TimeFormat);
}

namespace forms {
snapwire::frmTimeFormat& frmTimeFormat() {
    static ui::FormSlot<snapwire::frmTimeFormat> slot;
    return slot.Get();
}
}  // namespace forms

}  // namespace snapwire
