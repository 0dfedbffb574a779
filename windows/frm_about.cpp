#include "windows/frm_about.h"

#include "platform/ui/fonts.h"
#include "platform/ui/message_box.h"
#include "settings_store/c_registry.h"
#include "windows/discardable_form.h"
#include "windows/link_opener.h"
#include "windows/maker_site.h"
#include "windows/program_version.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFileInfo>
#include <QFont>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QProcess>
#include <QPushButton>
#include <QUrl>

namespace snapwire {

namespace {

// Where Windows keeps the path of its system information program. Linux has no
// such program and no such keys: there the box says it is unavailable.
constexpr const char* kSysInfoPathKey = "SOFTWARE\\Microsoft\\Shared Tools\\MSINFO";
constexpr const char* kSysInfoPathValue = "PATH";
constexpr const char* kSysInfoFolderKey = "SOFTWARE\\Microsoft\\Shared Tools Location";
constexpr const char* kSysInfoFolderValue = "MSINFO";
constexpr const char* kSysInfoProgram = "/MSINFO32.EXE";

// The value is read into a buffer of this many bytes; a longer one cannot be read.
constexpr int kValueBufferBytes = 1024;
constexpr std::int32_t kTypeNotRead = -1;

std::function<bool(const QString&)>& ReplacedStarter() {
    static std::function<bool(const QString&)> starter;
    return starter;
}

QLabel* NewLabel(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    label->setWordWrap(true);
    return label;
}

// The mail and web labels look and feel like links.
void MakeLinkLike(QLabel* label) {
    QFont font = label->font();
    font.setUnderline(true);
    label->setFont(font);
    label->setStyleSheet(QStringLiteral("color: blue"));
    label->setCursor(Qt::PointingHandCursor);
}

void ShowSysInfoUnavailable() {
    ui::MsgBox(QStringLiteral("System Information Is Unavailable At This Time"), ui::vbOKOnly);
}

}  // namespace

bool StartProgram(const QString& path) {
    if (ReplacedStarter())
        return ReplacedStarter()(path);
    return !path.isEmpty() && QProcess::startDetached(path, {});
}

void SetProgramStarterForTests(std::function<bool(const QString&)> starter) {
    ReplacedStarter() = std::move(starter);
}

frmAbout::frmAbout() {
    setWindowTitle(QStringLiteral("About - Snapwire 2004"));
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setFont(ui::DesignFont());

    picIcon = new QLabel(this);
    picIcon->setPixmap(QApplication::windowIcon().pixmap(32, 32));
    picIcon->setFixedSize(32, 32);
    picIcon->setCursor(Qt::PointingHandCursor);
    lbl1 = NewLabel(QStringLiteral("Snapwire 2004, the webcam picture publisher, by ") +
                        QString::fromUtf8(kMakerName) + QLatin1Char('.'),
                    this);
    lblVersion = NewLabel(QString(), this);
    lblDisclaimer =
        NewLabel(QStringLiteral("This program is provided as it is, without warranty of any kind. "
                                "Use it at your own risk."),
                 this);
    lbl2 = NewLabel(QStringLiteral("Thanks to:"), this);
    lbl3 = NewLabel(QStringLiteral("The makers of Qt, GStreamer, libcurl and SQLite, on which this program "
                                   "is built."),
                    this);
    Label1 = NewLabel(QString::fromUtf8(kMakerMail), this);
    Label2 = NewLabel(QString::fromUtf8(kMakerWebSite), this);
    MakeLinkLike(Label1);
    MakeLinkLike(Label2);
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);

    auto* layout = new QGridLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(picIcon, 0, 0, Qt::AlignTop);
    int row = 0;
    for (QLabel* label : {lbl1, lblVersion, lblDisclaimer, lbl2, lbl3, Label1, Label2}) {
        label->setMinimumWidth(280);
        layout->addWidget(label, row++, 1);
    }
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(cmdSysInfo);
    buttons->addWidget(cmdOK);
    layout->addLayout(buttons, row, 0, 1, 2);

    for (QLabel* clickable : {picIcon, Label1, Label2}) clickable->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdSysInfo, &QPushButton::clicked, this, [this] { cmdSysInfo_Click(); });
}

frmAbout::~frmAbout() = default;

void frmAbout::Form_Load() {
    lblVersion->setText(QStringLiteral("Version ") + ProgramVersionText());
}

void frmAbout::cmdOK_Click() {
    hide();
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::picIcon_Click() {
    OpenLink(QUrl(QString::fromUtf8(kMakerWebSite)));
}

void frmAbout::Label1_Click() {
    OpenLink(QUrl(QStringLiteral("mailto:") + QString::fromUtf8(kMakerMail)));
}

void frmAbout::Label2_Click() {
    OpenLink(QUrl(QString::fromUtf8(kMakerWebSite)));
}

// Any failure on the way ends in the one message.
void frmAbout::StartSysInfo() {
    try {
        QString path;
        if (GetKeyValue(HKEY_LOCAL_MACHINE, QString::fromLatin1(kSysInfoPathKey),
                        QString::fromLatin1(kSysInfoPathValue), path)) {
            if (StartProgram(path))
                return;
        } else if (GetKeyValue(HKEY_LOCAL_MACHINE, QString::fromLatin1(kSysInfoFolderKey),
                               QString::fromLatin1(kSysInfoFolderValue), path)) {
            const QString program = path + QString::fromLatin1(kSysInfoProgram);
            if (QFileInfo(program).isFile() && StartProgram(program))
                return;
        }
    } catch (const std::exception&) {
        // Reported below like every other way of not finding the program.
    }
    ShowSysInfoUnavailable();
}

bool frmAbout::GetKeyValue(std::int32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef,
                           QString& KeyVal) {
    KeyVal.clear();
    cRegistry registry;
    registry.SetClassKey(KeyRoot);
    registry.SetSectionKey(KeyName);
    registry.SetValueKey(SubKeyRef);
    if (!registry.KeyExists())
        return false;
    registry.SetValueType(kTypeNotRead);
    const SettingValue value = registry.Value();
    if (registry.ValueType() == kTypeNotRead)
        return false;
    if (registry.ValueType() != REG_SZ)
        return true;
    const QString text = value.ToText();
    if (text.toUtf8().size() + 1 > kValueBufferBytes)
        return false;
    KeyVal = text;
    return true;
}

void frmAbout::reject() {
    cmdOK_Click();
}

void frmAbout::closeEvent(QCloseEvent* event) {
    discarded_ = true;
    QDialog::closeEvent(event);
}

bool frmAbout::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == picIcon)
            picIcon_Click();
        else if (watched == Label1)
            Label1_Click();
        else if (watched == Label2)
            Label2_Click();
    }
    return QDialog::eventFilter(watched, event);
}

namespace forms {
snapwire::frmAbout& frmAbout() {
    static ui::FormSlot<snapwire::frmAbout> slot;
    return UndiscardedForm(slot);
}
}  // namespace forms

}  // namespace snapwire
