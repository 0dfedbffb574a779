// The upload settings window: its controls, pages and the wiring of its handlers.

#include "accounts/frm_upload_settings.h"

#include "accounts/account_rules.h"
#include "accounts/clock.h"
#include "accounts/date_tokens.h"
#include "accounts/frm_time_format.h"
#include "platform/ui/app_control.h"
#include "platform/ui/controls.h"
#include "platform/ui/forms.h"
#include "platform/ui/units.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateEdit>
#include <QEvent>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTabBar>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace snapwire {

namespace {

QCheckBox* NewCheckBox(const char* caption, QWidget* parent, const char* toolTip = nullptr) {
    auto* box = new QCheckBox(QString::fromUtf8(caption), parent);
    if (toolTip)
        box->setToolTip(QString::fromUtf8(toolTip));
    return box;
}

// No button of this window answers Enter: Enter in a text box must neither add an
// account nor close the window.
QPushButton* NewButton(const char* caption, QWidget* parent, const char* toolTip = nullptr) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setAutoDefault(false);
    if (toolTip)
        button->setToolTip(QString::fromUtf8(toolTip));
    return button;
}

QLabel* NewLabel(const char* caption, QWidget* parent) {
    return new QLabel(QString::fromUtf8(caption), parent);
}

QFrame* NewPage(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    return frame;
}

// Keys that type a character the seconds box does not take: anything printable but
// a digit. Backspace, Delete, editing shortcuts and navigation pass.
bool TypesNonDigit(const QKeyEvent* key) {
    const QString text = key->text();
    if (text.isEmpty())
        return false;
    for (QChar c : text) {
        if (c.isPrint() && !c.isDigit())
            return true;
    }
    return false;
}

}  // namespace

// --- Construction -------------------------------------------------------------------

frmUploadSettings::frmUploadSettings() {
    setWindowTitle(QStringLiteral("Upload Settings"));
    BuildControls();
    ConnectHandlers();
}

frmUploadSettings::~frmUploadSettings() = default;

void frmUploadSettings::BuildControls() {
    ftps = new accounts::AccountList(this);
    cmdAdd = NewButton("&Add", this);
    cmdRemove = NewButton("&Remove", this);
    Command1 = NewButton("&OK", this);
    cmdHelp = NewButton("&Help", this);

    TabStripFTP = new QTabBar(this);
    for (const char* caption : {"&FTP", "&Destination", "&Interval", "&Picture", "&Motion"})
        TabStripFTP->addTab(QString::fromUtf8(caption));
    auto* pages = new QGridLayout;
    pages->setContentsMargins(0, 0, 0, 0);
    // Every page sits in the same place; the tab strip decides which one shows.
    Frame1 = BuildFtpPage();
    Frame3 = BuildDestinationPage();
    Frame2 = BuildIntervalPage();
    frametimestamp = BuildPicturePage();
    frameMotion = BuildMotionPage();
    for (QFrame* frame : {Frame1, Frame3, Frame2, frametimestamp, frameMotion}) pages->addWidget(frame, 0, 0);

    auto* listButtons = new QHBoxLayout;
    listButtons->addWidget(cmdAdd);
    listButtons->addWidget(cmdRemove);
    auto* listColumn = new QVBoxLayout;
    listColumn->addWidget(NewLabel("My Accounts:", this));
    listColumn->addWidget(ftps, 1);
    listColumn->addLayout(listButtons);

    auto* pageColumn = new QVBoxLayout;
    pageColumn->addWidget(TabStripFTP);
    pageColumn->addLayout(pages, 1);

    auto* body = new QHBoxLayout;
    body->addLayout(listColumn, 2);
    body->addLayout(pageColumn, 3);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(Command1);
    buttons->addWidget(cmdHelp);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(body, 1);
    layout->addLayout(buttons);
    resize(720, 360);
}

QFrame* frmUploadSettings::BuildFtpPage() {
    QFrame* frame = NewPage(this);
    txtHostNameAddress = new QLineEdit(frame);
    txtUserID = new QLineEdit(frame);
    txtPassword = new QLineEdit(frame);
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
    rem_pass =
        NewCheckBox("Remember my &password", frame, "Password will be stored in the computers registry");
    chkPassiveMode = NewCheckBox("Passive mode", frame, "May be needed behind certain firewalls");

    auto* grid = new QGridLayout(frame);
    grid->addWidget(NewLabel("Host Name/Address:", frame), 0, 0);
    grid->addWidget(txtHostNameAddress, 0, 1);
    grid->addWidget(NewLabel("User ID:", frame), 1, 0);
    grid->addWidget(txtUserID, 1, 1);
    grid->addWidget(NewLabel("Password:", frame), 2, 0);
    grid->addWidget(txtPassword, 2, 1);
    grid->addWidget(rem_pass, 3, 1);
    grid->addWidget(chkPassiveMode, 4, 1);
    grid->setRowStretch(5, 1);
    return frame;
}

QFrame* frmUploadSettings::BuildDestinationPage() {
    QFrame* frame = NewPage(this);
    txtFolder = new QLineEdit(frame);
    txtFilename = new QLineEdit(QStringLiteral("webcam"), frame);
    txtFileExtension = new QLineEdit(QStringLiteral(".jpg"), frame);
    txtFileExtension->setReadOnly(true);
    txtFileExtension->setFixedWidth(48);
    cmdUnique = NewButton("Uni&que filenames...", frame, "If you want to keep more than 1 uploaded picture");
    chkLocally = NewCheckBox("&Save picture locally to:", frame);
    txtLocallySource = new QLineEdit(frame);
    cmdBrowse = NewButton("&Browse...", frame);
    chkOnlylo = NewCheckBox("&Only locally", frame, "No FTP-Settings required if checked");
    chkOnlylo->setEnabled(false);  // follows chkLocally

    auto* nameRow = new QHBoxLayout;
    nameRow->addWidget(txtFilename, 1);
    nameRow->addWidget(txtFileExtension);
    auto* localRow = new QHBoxLayout;
    localRow->addWidget(txtLocallySource, 1);
    localRow->addWidget(cmdBrowse);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(NewLabel("Folder:", frame));
    layout->addWidget(txtFolder);
    layout->addWidget(NewLabel("Destination filename:", frame));
    layout->addLayout(nameRow);
    layout->addWidget(cmdUnique, 0, Qt::AlignLeft);
    layout->addWidget(chkLocally);
    layout->addLayout(localRow);
    layout->addWidget(chkOnlylo);
    layout->addStretch();
    return frame;
}

QFrame* frmUploadSettings::BuildIntervalPage() {
    QFrame* frame = NewPage(this);
    Combo = new QComboBox(frame);
    for (const accounts::IntervalChoice& choice : accounts::IntervalChoices())
        Combo->addItem(QString::fromLatin1(choice.label), choice.milliseconds);
    Combo->setCurrentIndex(-1);  // nothing chosen until an account is loaded
    txtmSec = new QLineEdit(frame);
    txtmSec->setFixedWidth(80);
    lblmSec = NewLabel("Seconds", frame);
    chkBetween = NewCheckBox("&Only Between:", frame);
    const QDateTime now = Clock::Now();
    DTPicker1 = new QDateEdit(now.date(), frame);
    DTPicker2 = new QDateEdit(now.date(), frame);
    DTPicker3 = new QTimeEdit(QTime(now.time().hour(), now.time().minute(), now.time().second()), frame);
    DTPicker4 = new QTimeEdit(DTPicker3->time(), frame);
    for (QDateEdit* picker : {DTPicker1, DTPicker2}) {
        picker->setCalendarPopup(true);
        picker->setMinimumDate(QDate(1601, 1, 1));
    }
    for (QTimeEdit* picker : {DTPicker3, DTPicker4}) picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));

    auto* grid = new QGridLayout(frame);
    grid->addWidget(NewLabel("Upload image every:", frame), 0, 0, 1, 3);
    grid->addWidget(Combo, 1, 0);
    grid->addWidget(txtmSec, 1, 1);
    grid->addWidget(lblmSec, 1, 2);
    grid->addWidget(chkBetween, 2, 0, 1, 3);
    grid->addWidget(DTPicker1, 3, 0);
    grid->addWidget(NewLabel("and", frame), 3, 1);
    grid->addWidget(DTPicker2, 3, 2);
    grid->addWidget(DTPicker3, 4, 0);
    grid->addWidget(NewLabel("and", frame), 4, 1);
    grid->addWidget(DTPicker4, 4, 2);
    grid->setRowStretch(5, 1);
    return frame;
}

QFrame* frmUploadSettings::BuildPicturePage() {
    QFrame* frame = NewPage(this);
    Check1 = NewCheckBox("Add Timestam&p to picture", frame, "Adds a stamp with the upload time");
    picUnder = new accounts::PictureSample(frame);
    picUnder->setToolTip(QStringLiteral("Timestamp Preview"));
    picUnder->setFixedHeight(24);
    picUnder->SetBackColor(accounts::kDefaultBackColor);
    picUnder->SetForeColor(accounts::kDefaultForeColor);
    QFont stripFont(QString::fromLatin1(accounts::kDefaultFontName));
    stripFont.setPointSizeF(accounts::kDefaultFontSize);
    stripFont.setBold(true);
    picUnder->setFont(stripFont);
    CommonDialog1.Font = stripFont;
    Command3 = NewButton("&Font", frame, "Font in timestamp");
    Command4 = NewButton("&Background color", frame, "Background color for timestamp");
    Command5 = NewButton("&Text color", frame, "Text color in timestamp");
    cmdTimeFormat = NewButton("Tim&e format...", frame, "Change the Time format");
    chkTxtTime = NewCheckBox("Upload a te&xtfile with time", frame,
                             "With time in a text file, you can implant it into a ASP or PHP page");
    txtTextTime = new QLineEdit(QStringLiteral("time.txt"), frame);
    cmdAddi = NewButton("Add additiona&l text...", frame, "Add text to the picture");

    auto* styleRow = new QHBoxLayout;
    for (QPushButton* button : {Command3, Command4, Command5}) styleRow->addWidget(button);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(Check1);
    layout->addWidget(picUnder);
    layout->addLayout(styleRow);
    layout->addWidget(cmdTimeFormat, 0, Qt::AlignLeft);
    layout->addWidget(chkTxtTime);
    layout->addWidget(txtTextTime);
    layout->addWidget(cmdAddi, 0, Qt::AlignLeft);
    layout->addStretch();
    return frame;
}

QFrame* frmUploadSettings::BuildMotionPage() {
    QFrame* frame = NewPage(this);
    chkActMot = NewCheckBox("A&ctivate Motion Detection", frame);
    chkUploadOnMotion = NewCheckBox("Upload On &Motion", frame, "Upload when motion is detected");
    chkUploadOnMotion->setEnabled(false);  // follows chkActMot
    chkBeep = NewCheckBox("&Beep On Motion", frame, "Play a short beep sound when motion is detected");
    chkSound = NewCheckBox("&Sound On Motion", frame, "Play a sound when motion is detected");
    cmdSoundBrowse = NewButton("...", frame, "Browse Sound");
    cmdSoundBrowse->setFixedWidth(28);
    chkShowMotion = NewCheckBox("Sho&w Motions", frame, "Show the motions in color");
    piccolor = new accounts::PictureSample(frame);
    piccolor->setFixedSize(40, 20);
    piccolor->SetBackColor(accounts::kDefaultMotionColor);
    sldSens = new QSlider(Qt::Horizontal, frame);
    sldSens->setRange(0, 100);
    sldSens->setValue(accounts::kDefaultSensitivity);
    ComMotSndSrc.DialogTitle = QStringLiteral("Choose Sound...");
    ComMotSndSrc.Filter = QStringLiteral("Sound Files (*.wav)|*.wav");
    ComCol.Color = accounts::kDefaultMotionColor;

    auto* soundRow = new QHBoxLayout;
    soundRow->addWidget(chkSound);
    soundRow->addWidget(cmdSoundBrowse);
    soundRow->addStretch();
    auto* colorRow = new QHBoxLayout;
    colorRow->addWidget(chkShowMotion);
    colorRow->addWidget(piccolor);
    colorRow->addStretch();
    auto* scale = new QHBoxLayout;
    scale->addWidget(NewLabel("Low", frame));
    scale->addStretch();
    scale->addWidget(NewLabel("Medium", frame));
    scale->addStretch();
    scale->addWidget(NewLabel("High", frame));
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(chkActMot);
    layout->addWidget(chkUploadOnMotion);
    layout->addWidget(chkBeep);
    layout->addLayout(soundRow);
    layout->addLayout(colorRow);
    layout->addWidget(NewLabel("Sensitivty:", frame));
    layout->addWidget(sldSens);
    layout->addLayout(scale);
    layout->addStretch();
    return frame;
}

// Change signals, not click signals: loading a value runs the same handling as the
// user's change, and only when the value really changes.
void frmUploadSettings::ConnectHandlers() {
    connect(cmdAdd, &QPushButton::clicked, this, [this] { cmdAdd_Click(); });
    connect(cmdRemove, &QPushButton::clicked, this, [this] { cmdRemove_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(ftps, &accounts::AccountList::RowClicked, this, [this] { ftps_ItemClick(); });
    connect(TabStripFTP, &QTabBar::currentChanged, this, [this] { TabStripFTP_Click(); });
    connect(cmdUnique, &QPushButton::clicked, this, [this] { cmdUnique_Click(); });
    connect(cmdTimeFormat, &QPushButton::clicked, this, [this] { cmdTimeFormat_Click(); });
    connect(cmdAddi, &QPushButton::clicked, this, [this] { cmdAddi_Click(); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });
    connect(cmdSoundBrowse, &QPushButton::clicked, this, [this] { cmdSoundBrowse_Click(); });
    connect(Command3, &QPushButton::clicked, this, [this] { Command3_Click(); });
    connect(Command4, &QPushButton::clicked, this, [this] { Command4_Click(); });
    connect(Command5, &QPushButton::clicked, this, [this] { Command5_Click(); });
    connect(piccolor, &accounts::PictureSample::Click, this, [this] { piccolor_Click(); });
    connect(picUnder, &accounts::PictureSample::Click, this, [this] { picUnder_Click(); });
    connect(chkSound, &QCheckBox::released, this, [this] { chkSound_MouseUp(); });
    for (QWidget* watched : {static_cast<QWidget*>(txtFolder), static_cast<QWidget*>(txtLocallySource),
                             static_cast<QWidget*>(txtmSec)})
        watched->installEventFilter(this);
    ConnectPageHandlers();
}

// Counted, because a change that stores nothing (a password not remembered) still
// makes the controls differ from the account as last loaded.
void frmUploadSettings::Changed(void (frmUploadSettings::*handler)()) {
    NoteControlChange();
    (this->*handler)();
}

void frmUploadSettings::ConnectPageHandlers() {
    const std::pair<QLineEdit*, void (frmUploadSettings::*)()> texts[] = {
        {txtHostNameAddress, &frmUploadSettings::txtHostNameAddress_Change},
        {txtUserID, &frmUploadSettings::txtUserID_Change},
        {txtPassword, &frmUploadSettings::txtPassword_Change},
        {txtFolder, &frmUploadSettings::txtFolder_Change},
        {txtFilename, &frmUploadSettings::txtFilename_Change},
        {txtLocallySource, &frmUploadSettings::txtLocallySource_Change},
        {txtTextTime, &frmUploadSettings::txtTextTime_Change},
        {txtmSec, &frmUploadSettings::txtmSec_Change},
    };
    for (const auto& [box, handler] : texts)
        connect(box, &QLineEdit::textChanged, this, [this, handler = handler] { Changed(handler); });

    const std::pair<QCheckBox*, void (frmUploadSettings::*)()> checks[] = {
        {rem_pass, &frmUploadSettings::rem_pass_Click},
        {chkPassiveMode, &frmUploadSettings::chkPassiveMode_Click},
        {chkLocally, &frmUploadSettings::chkLocally_Click},
        {chkOnlylo, &frmUploadSettings::chkOnlylo_Click},
        {chkBetween, &frmUploadSettings::chkBetween_Click},
        {Check1, &frmUploadSettings::Check1_Click},
        {chkTxtTime, &frmUploadSettings::chkTxtTime_Click},
        {chkActMot, &frmUploadSettings::chkActMot_Click},
        {chkUploadOnMotion, &frmUploadSettings::chkUploadOnMotion_Click},
        {chkBeep, &frmUploadSettings::chkBeep_Click},
        {chkSound, &frmUploadSettings::chkSound_Click},
        {chkShowMotion, &frmUploadSettings::chkShowMotion_Click},
    };
    for (const auto& [box, handler] : checks)
        connect(box, &QCheckBox::stateChanged, this, [this, handler = handler] { Changed(handler); });

    connect(Combo, &QComboBox::currentIndexChanged, this,
            [this] { Changed(&frmUploadSettings::Combo_Click); });
    connect(DTPicker1, &QDateEdit::dateChanged, this,
            [this] { Changed(&frmUploadSettings::DTPicker1_Change); });
    connect(DTPicker2, &QDateEdit::dateChanged, this,
            [this] { Changed(&frmUploadSettings::DTPicker2_Change); });
    connect(DTPicker3, &QTimeEdit::timeChanged, this,
            [this] { Changed(&frmUploadSettings::DTPicker3_Change); });
    connect(DTPicker4, &QTimeEdit::timeChanged, this,
            [this] { Changed(&frmUploadSettings::DTPicker4_Change); });
    connect(sldSens, &QSlider::valueChanged, this, [this] { Changed(&frmUploadSettings::sldSens_Change); });
}

bool frmUploadSettings::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::FocusOut && ui::FocusLeavesControl(static_cast<QFocusEvent*>(event))) {
        if (watched == txtFolder)
            txtFolder_LostFocus();
        else if (watched == txtLocallySource)
            txtLocallySource_LostFocus();
    }
    if (watched == txtmSec && event->type() == QEvent::KeyPress &&
        TypesNonDigit(static_cast<QKeyEvent*>(event)))
        return true;
    return QDialog::eventFilter(watched, event);
}

// --- Load and pages -------------------------------------------------------------------

void frmUploadSettings::Form_Load() {
    ui::DisableCloseButton(this);
    TabStripFTP->setCurrentIndex(0);
    TabStripFTP_Click();
    DrawTimestampSample();
    ReadAccountList();
    if (ftps->Count() == 0)
        CreateDefaultAccount();
    ftps->Select(1);
    ValdItem();
}

void frmUploadSettings::TabStripFTP_Click() {
    QFrame* const frames[] = {Frame1, Frame3, Frame2, frametimestamp, frameMotion};
    const int selected = TabStripFTP->currentIndex();
    for (int i = 0; i < 5; ++i) frames[i]->setVisible(i == selected);
}

void frmUploadSettings::DrawTimestampSample() {
    picUnder->Cls();
    picUnder->Print(accounts::TimestampTextFor(forms::frmTimeFormat().txtTimeStamp->text()));
}

QString frmUploadSettings::UniqueFileName(const QString& TimeFormat) const {
    return accounts::UniqueFileNameFor(TimeFormat, txtFilename->text());
}

namespace forms {
snapwire::frmUploadSettings& frmUploadSettings() {
    static ui::FormSlot<snapwire::frmUploadSettings> slot;
    return slot.Get();
}
}  // namespace forms

}  // namespace snapwire
