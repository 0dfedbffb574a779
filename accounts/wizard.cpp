// The first-run wizard: its pages, paging, and the values it stores for "My Account".

#include "accounts/wizard.h"

#include "accounts/account_rules.h"
#include "accounts/frm_upload_settings.h"
#include "engine/frm_main.h"
#include "platform/ui/controls.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_box.h"
#include "platform/ui/test_answers.h"
#include "platform/ui/units.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFocusEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QSignalBlocker>
#include <QVBoxLayout>
#include <algorithm>
#include <exception>

namespace snapwire {

namespace {

// The only account the wizard edits.
const QString& WizardAccount() {
    static const QString name = QStringLiteral("My Account");
    return name;
}

constexpr int kPageCount = 4;
constexpr int kLeftOffsetTwips = 1500;
constexpr int kTopOffsetTwips = 1200;
constexpr int kPictureSize = 64;

std::function<void(Wizard&)>& WizardUser() {
    static std::function<void(Wizard&)> user;
    return user;
}

ui::FormSlot<Wizard>& WizardSlot() {
    static ui::FormSlot<Wizard> slot;
    return slot;
}

// A value that cannot be stored is lost quietly: the control keeps the user's entry.
// Copying the account's values in at activation stores nothing that already reads
// the same, so values holding environment references keep them.
void WriteWizardValue(const char* name, const QString& text) {
    try {
        WriteBoxText(WizardAccount(), QString::fromLatin1(name), text);
    } catch (const std::exception&) {
    }
}

QLabel* NewLabel(const char* caption, QWidget* parent) {
    auto* label = new QLabel(QString::fromUtf8(caption), parent);
    label->setWordWrap(true);
    return label;
}

// Enter in a text box must not page on or finish: only a click does.
QPushButton* NewButton(const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setAutoDefault(false);
    return button;
}

QLabel* NewPicture(QWidget* parent) {
    auto* picture = new QLabel(parent);
    picture->setPixmap(QIcon(QStringLiteral(":/snapwire/camera.svg")).pixmap(kPictureSize, kPictureSize));
    picture->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    return picture;
}

QFrame* NewPage(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::NoFrame);
    return frame;
}

// A page's text beside its picture.
QHBoxLayout* PageWithPicture(QFrame* page, QLayout* content, QLabel* picture) {
    auto* row = new QHBoxLayout(page);
    row->addLayout(content, 1);
    row->addWidget(picture, 0, Qt::AlignTop);
    return row;
}

void ShowWizardNow() {
    const std::function<void(snapwire::Wizard&)> user = WizardUser();
    if (!user && ui::detail::AnsweringForTests())
        return;  // nobody could close it
    snapwire::Wizard& wizard = forms::Wizard();
    if (wizard.isVisible())
        return;
    const QPointer<snapwire::Wizard> shown(&wizard);
    wizard.setModal(true);
    wizard.show();
    wizard.Form_Activate();
    if (wizard.isVisible()) {
        if (user) {
            user(wizard);
            if (shown)
                shown->hide();
        } else {
            wizard.exec();
        }
    }
    if (shown && shown->Skipped())
        forms::UnloadWizard();
}

}  // namespace

// --- Construction -------------------------------------------------------------------

Wizard::Wizard() {
    setWindowTitle(QStringLiteral("Wizard"));
    BuildControls();
    ConnectHandlers();
}

Wizard::~Wizard() = default;

void Wizard::BuildControls() {
    auto* pages = new QGridLayout;
    pages->setContentsMargins(0, 0, 0, 0);
    Frame1 = BuildWelcomePage();
    Frame2 = BuildIntervalPage();
    Frame3 = BuildFtpPage();
    Frame4 = BuildFinishPage();
    for (QFrame* frame : {Frame1, Frame2, Frame3, Frame4}) pages->addWidget(frame, 0, 0);

    cmdBack = NewButton("Back", this);
    cmdNext = NewButton("&Next", this);
    cmdSkip = NewButton("Skip Wizard", this);
    Picture1 = new QLabel(this);
    Picture1->setPixmap(QIcon(QStringLiteral(":/snapwire/camera.svg")).pixmap(24, 24));
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(Picture1);
    buttons->addStretch();
    buttons->addWidget(cmdBack);
    buttons->addWidget(cmdNext);
    buttons->addWidget(cmdSkip);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(pages, 1);
    layout->addLayout(buttons);
    resize(480, 340);
    ShowPage(1);
}

QFrame* Wizard::BuildWelcomePage() {
    QFrame* page = NewPage(this);
    lblWelcome = NewLabel("Welcome to Snapwire 2004", page);
    QFont heading = lblWelcome->font();
    heading.setBold(true);
    heading.setPointSizeF(heading.pointSizeF() * 1.5);
    lblWelcome->setFont(heading);
    lblWizard = NewLabel("This Wizard will lead you through some easy steps to set up your settings", page);
    lblCamRunning = NewLabel("In just a few minutes you will have your own online webcam", page);
    // The access key of "Click &Next to continue..." is drawn underlined; it belongs to cmdNext.
    lblContinue = NewLabel("Click <u>N</u>ext to continue...", page);
    lblContinue->setTextFormat(Qt::RichText);
    auto* layout = new QVBoxLayout(page);
    for (QLabel* label : {lblWelcome, lblWizard, lblCamRunning}) layout->addWidget(label);
    layout->addStretch();
    layout->addWidget(lblContinue);
    return page;
}

QFrame* Wizard::BuildIntervalPage() {
    QFrame* page = NewPage(this);
    lblUpload = NewLabel("I want my picture to upload every:", page);
    frameEvery = new QGroupBox(QStringLiteral("Upload:"), page);
    Combo = new QComboBox(frameEvery);
    for (const accounts::IntervalChoice& choice : accounts::IntervalChoices())
        Combo->addItem(QString::fromLatin1(choice.label), choice.milliseconds);
    Combo->setCurrentIndex(-1);  // filled from the account at activation
    auto* every = new QVBoxLayout(frameEvery);
    every->addWidget(Combo);
    chkTimeStamp = new QCheckBox(QStringLiteral("Add a Timestamp to my picture"), page);
    bgpic1 = NewPicture(page);

    auto* content = new QVBoxLayout;
    content->addWidget(lblUpload);
    content->addWidget(frameEvery);
    content->addWidget(chkTimeStamp);
    content->addStretch();
    PageWithPicture(page, content, bgpic1);
    return page;
}

QFrame* Wizard::BuildFtpPage() {
    QFrame* page = NewPage(this);
    lblFTP = NewLabel("Now enter your FTP settings.", page);
    frameFTP = new QGroupBox(QStringLiteral("FTP:"), page);
    lblHost = NewLabel("Host Name/Adress:", frameFTP);
    txtHostNameAddress = new QLineEdit(frameFTP);
    lblUser = NewLabel("User ID:", frameFTP);
    txtUserID = new QLineEdit(frameFTP);
    lblPass = NewLabel("Password:", frameFTP);
    txtPassword = new QLineEdit(frameFTP);
    txtPassword->setEchoMode(QLineEdit::Password);
    txtPassword->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));  // "*"
    lblInitial = NewLabel("Folder:", frameFTP);
    txtFolder = new QLineEdit(frameFTP);
    rem_pass = new QCheckBox(QStringLiteral("Remember my password"), frameFTP);
    ui::SetCheckValue(rem_pass, 1);  // as an account that has not said otherwise
    auto* grid = new QGridLayout(frameFTP);
    const std::pair<QLabel*, QLineEdit*> rows[] = {
        {lblHost, txtHostNameAddress}, {lblUser, txtUserID}, {lblPass, txtPassword}, {lblInitial, txtFolder}};
    int row = 0;
    for (const auto& [label, box] : rows) {
        grid->addWidget(label, row, 0);
        grid->addWidget(box, row, 1);
        ++row;
    }
    grid->addWidget(rem_pass, row, 1);
    lblFolder = NewLabel("You can leave 'Folder' blank if you like.", page);
    bgpic2 = NewPicture(page);

    auto* content = new QVBoxLayout;
    content->addWidget(lblFTP);
    content->addWidget(frameFTP);
    content->addWidget(lblFolder);
    content->addStretch();
    PageWithPicture(page, content, bgpic2);
    return page;
}

QFrame* Wizard::BuildFinishPage() {
    QFrame* page = NewPage(this);
    lblFinish = NewLabel(
        "The wizard now has all the necessary information. Click 'Finish' to exit the wizard.", page);
    Frame5 = new QGroupBox(QStringLiteral("Tip:"), page);
    lblTheTip = NewLabel(
        "To change any of this information press 'Back', or enter the wizard at a later "
        "time from the 'File' menu.",
        Frame5);
    lblTheTip2 = NewLabel(
        "You can of course change all this information and a lot of more in the "
        "'Configuration' menu.",
        Frame5);
    auto* tips = new QVBoxLayout(Frame5);
    tips->addWidget(lblTheTip);
    tips->addWidget(lblTheTip2);
    bgpic3 = NewPicture(page);

    auto* content = new QVBoxLayout;
    content->addWidget(lblFinish);
    content->addWidget(Frame5);
    content->addStretch();
    PageWithPicture(page, content, bgpic3);
    return page;
}

// Change signals: copying the account's values in at activation runs the same
// handling as the user's typing. The interval and timestamp copies are made with
// their signals blocked, so only the user's choice stores those two.
void Wizard::ConnectHandlers() {
    connect(cmdNext, &QPushButton::clicked, this, [this] { cmdNext_Click(); });
    connect(cmdBack, &QPushButton::clicked, this, [this] { cmdBack_Click(); });
    connect(cmdSkip, &QPushButton::clicked, this, [this] { cmdSkip_Click(); });
    connect(Combo, &QComboBox::currentIndexChanged, this, [this] { Combo_Click(); });
    connect(chkTimeStamp, &QCheckBox::stateChanged, this, [this] { chkTimeStamp_Click(); });
    connect(rem_pass, &QCheckBox::stateChanged, this, [this] { rem_pass_Click(); });
    connect(txtHostNameAddress, &QLineEdit::textChanged, this, [this] { txtHostNameAddress_Change(); });
    connect(txtUserID, &QLineEdit::textChanged, this, [this] { txtUserID_Change(); });
    connect(txtPassword, &QLineEdit::textChanged, this, [this] { txtPassword_Change(); });
    connect(txtFolder, &QLineEdit::textChanged, this, [this] { txtFolder_Change(); });
    txtFolder->installEventFilter(this);
}

bool Wizard::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtFolder && event->type() == QEvent::FocusOut &&
        ui::FocusLeavesControl(static_cast<QFocusEvent*>(event)))
        txtFolder_LostFocus();
    return QDialog::eventFilter(watched, event);
}

// --- Load and activation ------------------------------------------------------------

void Wizard::Form_Load() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    move(screen->geometry().topLeft() +
         accounts::WizardTopLeft(screen->geometry().size(), frameGeometry().size()));
}

void Wizard::Form_Activate() {
    ShowPage(1);
    frmUploadSettings& account = forms::frmUploadSettings();
    if (account.ftps->Text(1) != WizardAccount()) {
        ui::MsgBox(QStringLiteral("The Wizard changes the account \"My Account\". This account appears to be "
                                  "removed."),
                   ui::vbExclamation + ui::vbOKOnly);
        hide();
        return;
    }
    account.ftps->Select(1);
    account.ValdItem();
    CopyAccountValues();
}

// In this order; the four boxes and the remember box store what they receive (the
// password only while the wizard's own remember box is ticked at that moment).
void Wizard::CopyAccountValues() {
    const frmUploadSettings& account = forms::frmUploadSettings();
    {
        const QSignalBlocker quiet(Combo);
        Combo->setCurrentIndex(accounts::IntervalIndexOfLabel(account.Combo->currentText()));
    }
    txtHostNameAddress->setText(account.txtHostNameAddress->text());
    txtUserID->setText(account.txtUserID->text());
    txtPassword->setText(account.txtPassword->text());
    txtFolder->setText(account.txtFolder->text());
    ui::SetCheckValue(rem_pass, ui::CheckValue(account.rem_pass));
    const QSignalBlocker quiet(chkTimeStamp);
    ui::SetCheckValue(chkTimeStamp, ui::CheckValue(account.Check1));
}

// --- Paging ---------------------------------------------------------------------------

int Wizard::Page() const {
    const QFrame* const frames[] = {Frame1, Frame2, Frame3, Frame4};
    for (int page = 1; page <= kPageCount; ++page) {
        if (!frames[page - 1]->isHidden())
            return page;
    }
    return 1;
}

void Wizard::ShowPage(int page) {
    QFrame* const frames[] = {Frame1, Frame2, Frame3, Frame4};
    for (int i = 1; i <= kPageCount; ++i) frames[i - 1]->setVisible(i == page);
    cmdBack->setVisible(page > 1);
    cmdNext->setText(page == kPageCount ? QStringLiteral("&Finish") : QStringLiteral("&Next"));
}

void Wizard::cmdNext_Click() {
    const int page = Page();
    if (page < kPageCount) {
        ShowPage(page + 1);
        return;
    }
    hide();
    forms::frmMain().StartTimer();
}

void Wizard::cmdBack_Click() {
    const int page = Page();
    if (page > 1)
        ShowPage(page - 1);
}

// Closing the window keeps the focus in the folder box, which then never loses it;
// a box the focus has left (a click on the button takes it) was trimmed then.
void Wizard::cmdSkip_Click() {
    if (focusWidget() == txtFolder)
        txtFolder_LostFocus();
    skipped_ = true;
    hide();
}

// Closing the window leaves it as "Skip Wizard" does.
void Wizard::closeEvent(QCloseEvent* event) {
    cmdSkip_Click();
    event->accept();
}

void Wizard::reject() {}

// --- Values of "My Account" -----------------------------------------------------------

void Wizard::Combo_Click() {
    if (Combo->currentIndex() >= 0)
        WriteWizardValue("Upload image every:", Combo->currentText());
}

void Wizard::chkTimeStamp_Click() {
    WriteWizardValue("Enable timestamp", IntText(ui::CheckValue(chkTimeStamp)));
}

void Wizard::txtHostNameAddress_Change() {
    WriteWizardValue("Host Name/Adress:", txtHostNameAddress->text());
}

void Wizard::txtUserID_Change() {
    WriteWizardValue("User ID:", txtUserID->text());
}

void Wizard::txtPassword_Change() {
    if (ui::CheckValue(rem_pass) == 1)
        WriteWizardValue("Password:", txtPassword->text());
}

void Wizard::txtFolder_Change() {
    WriteWizardValue("Initial Remote Site Folder:", txtFolder->text());
}

// A box that shows the stored references expanded was not edited: trimming the
// expansion would store it as plain text in place of the references.
void Wizard::txtFolder_LostFocus() {
    if (!ReadsExpandedAs(WizardAccount(), QStringLiteral("Initial Remote Site Folder:"), txtFolder->text()))
        txtFolder->setText(accounts::TrimRemoteFolder(txtFolder->text()));
}

void Wizard::rem_pass_Click() {
    const int remember = ui::CheckValue(rem_pass);
    WriteWizardValue("Remember password", IntText(remember));
    if (remember == 0)
        WriteWizardValue("Password:", QString());
}

// --- Showing ----------------------------------------------------------------------------

void ShowWizard() {
    forms::frmMain().RunWhenAccountFree(QStringLiteral("Wizard"), [] { ShowWizardNow(); });
}

void SetWizardUserForTests(std::function<void(Wizard&)> user) {
    WizardUser() = std::move(user);
}

namespace accounts {
QPoint WizardTopLeft(const QSize& screen, const QSize& window) {
    const int left = screen.width() / 2 - window.width() + ui::TwipsToPixels(kLeftOffsetTwips);
    const int top = screen.height() / 2 - window.height() / 4 - ui::TwipsToPixels(kTopOffsetTwips);
    return QPoint(std::clamp(left, 0, std::max(0, screen.width() - window.width())),
                  std::clamp(top, 0, std::max(0, screen.height() - window.height())));
}
}  // namespace accounts

namespace forms {
snapwire::Wizard& Wizard() {
    ui::FormSlot<snapwire::Wizard>& slot = WizardSlot();
    if (slot.IsLoaded() && slot.Get().Skipped())
        slot.Unload();
    return slot.Get();
}

bool WizardLoaded() {
    return WizardSlot().IsLoaded();
}

void UnloadWizard() {
    WizardSlot().Unload();
}
}  // namespace forms

}  // namespace snapwire
