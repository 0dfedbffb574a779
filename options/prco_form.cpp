#include "options/prco_form.h"

#include "options/number_text.h"
#include "options/ok_help_row.h"
#include "platform/ui/app_control.h"
#include "platform/ui/controls.h"
#include "platform/ui/forms.h"
#include "platform/ui/units.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"

#include <QCheckBox>
#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSlider>
#include <QSpinBox>
#include <QTabBar>
#include <QVBoxLayout>

namespace snapwire {

namespace {

constexpr int kQualityPreviewSize = 96;  // the 32 x 32 sample shown three times as large
constexpr std::uint32_t kWhite = 16777215;

// The sample the quality preview encodes: a 32 x 32, 24-bit picture with smooth
// gradients and sharp edges, where JPEG losses show.
QImage MakeSamplePicture() {
    QImage image(32, 32, QImage::Format_RGB888);
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) image.setPixelColor(x, y, QColor(x * 8, y * 8, 255 - x * 4 - y * 4));
    }
    QPainter painter(&image);
    painter.fillRect(8, 8, 16, 6, Qt::white);
    painter.fillRect(12, 18, 8, 8, Qt::black);
    painter.setPen(Qt::yellow);
    painter.drawLine(0, 31, 31, 0);
    return image;
}

QCheckBox* NewCheckBox(const char* caption, QWidget* parent) {
    return new QCheckBox(QString::fromUtf8(caption), parent);
}

QLineEdit* NewNumberBox(int maxLength, QWidget* parent) {
    auto* box = new QLineEdit(parent);
    box->setMaxLength(maxLength);
    box->setFixedWidth(8 + 9 * maxLength);
    return box;
}

// The up-down arrows beside a number box; they never take the keyboard focus, so
// the number is typed into the box itself.
QSpinBox* NewUpDown(int maximum, QWidget* parent) {
    auto* upDown = new QSpinBox(parent);
    upDown->setRange(0, maximum);
    upDown->setSingleStep(1);
    upDown->setFocusPolicy(Qt::NoFocus);
    upDown->setFixedWidth(20);
    return upDown;
}

QFrame* NewFrame(QWidget* parent) {
    auto* frame = new QFrame(parent);
    frame->setFrameShape(QFrame::StyledPanel);
    frame->hide();
    return frame;
}

// Stored check values other than "1" (hand-edited ones included) read as clear.
int StoredCheckValue(const QString& text, int whenEmpty) {
    if (text.isEmpty())
        return whenEmpty;
    return LeadingInteger(text) == 1 ? 1 : 0;
}

}  // namespace

prcoForm::prcoForm() : samplePicture_(MakeSamplePicture()) {
    setWindowTitle(QStringLiteral("Program Configuration"));
    BuildControls();
    ConnectHandlers();
}

prcoForm::~prcoForm() = default;

void prcoForm::BuildControls() {
    TabStripConf = new QTabBar(this);
    for (const char* caption :
         {"Program Running", "Various Options", "Program Interface", "Premonition", "Picture"})
        TabStripConf->addTab(QString::fromUtf8(caption));
    // Even in Tahoma the five tabs are wider than the designed window: the window
    // widens to show them whole instead of shortening or scrolling them.
    TabStripConf->setUsesScrollButtons(false);
    TabStripConf->setElideMode(Qt::ElideNone);

    auto* pages = new QGridLayout;
    pages->setContentsMargins(0, 0, 0, 0);
    // Every page sits in the same place; the tab strip decides which one shows.
    frameProgram = BuildProgramFrame();
    frameVarious = BuildVariousFrame();
    frameBackground = BuildBackgroundFrame();
    frameSound = BuildSoundFrame();
    frameQuality = BuildQualityFrame();
    for (QFrame* frame : {frameProgram, frameVarious, frameBackground, frameSound, frameQuality})
        pages->addWidget(frame, 0, 0);

    const OkHelpRow buttons = NewOkHelpRow(this);
    Command1 = buttons.ok;
    cmdHelp = buttons.help;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(TabStripConf);
    layout->addLayout(pages, 1);
    layout->addLayout(buttons.layout);
}

QFrame* prcoForm::BuildProgramFrame() {
    QFrame* frame = NewFrame(this);
    chkSystray = NewCheckBox("Don't minimize program to Sys&tray", frame);
    chkMin = NewCheckBox("&Start program &minimized in Systray", frame);
    chkAutostart = NewCheckBox("&Autostart program at login", frame);
    chkClose = NewCheckBox("Close program after", frame);
    txtClose = NewNumberBox(7, frame);
    txtClose->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), txtClose));
    UpDownCloseAfterUploads = NewUpDown(9999999, frame);
    lblCloseuploads = new QLabel(frame);

    auto* closeRow = new QHBoxLayout;
    closeRow->addWidget(chkClose);
    closeRow->addWidget(txtClose);
    closeRow->addWidget(UpDownCloseAfterUploads);
    closeRow->addWidget(lblCloseuploads);
    closeRow->addStretch();
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(chkSystray);
    layout->addWidget(chkMin);
    layout->addWidget(chkAutostart);
    layout->addLayout(closeRow);
    layout->addStretch();
    return frame;
}

QFrame* prcoForm::BuildVariousFrame() {
    QFrame* frame = NewFrame(this);
    chkKeepUpload = NewCheckBox("&Keep uploaded picture in program folder", frame);
    chkSuc = NewCheckBox("&Show message after successful upload", frame);
    chkPrint = NewCheckBox("Keep &printed picture in program folder", frame);
    chkMotion = NewCheckBox("Turn 'Motion Preview' on &while uploading", frame);
    auto* layout = new QVBoxLayout(frame);
    for (QCheckBox* box : {chkKeepUpload, chkSuc, chkPrint, chkMotion}) layout->addWidget(box);
    layout->addStretch();
    return frame;
}

QFrame* prcoForm::BuildBackgroundFrame() {
    QFrame* frame = NewFrame(this);
    chkXPStyle = NewCheckBox("Use &XP Style", frame);
    chkXPStyle->setToolTip(QStringLiteral("Takes effect the next time the program starts"));
    txtPicSource = new QLineEdit(frame);
    cmdPictureBrowse = new QPushButton(QStringLiteral("..."), frame);
    cmdPictureBrowse->setFixedWidth(28);
    piccolor = new QLabel(frame);
    piccolor->setFixedSize(40, 20);
    piccolor->setFrameShape(QFrame::Box);
    piccolor->setAutoFillBackground(true);
    piccolor->setCursor(Qt::PointingHandCursor);

    auto* grid = new QGridLayout;
    grid->addWidget(new QLabel(QStringLiteral("Picture:"), frame), 0, 0);
    grid->addWidget(txtPicSource, 0, 1);
    grid->addWidget(cmdPictureBrowse, 0, 2);
    grid->addWidget(new QLabel(QStringLiteral("Color:"), frame), 1, 0);
    grid->addWidget(piccolor, 1, 1, Qt::AlignLeft);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(chkXPStyle);
    layout->addWidget(new QLabel(QStringLiteral("Program background:"), frame));
    layout->addLayout(grid);
    layout->addStretch();
    return frame;
}

QFrame* prcoForm::BuildSoundFrame() {
    QFrame* frame = NewFrame(this);
    chkAsk = NewCheckBox("&Ask every time before uploading", frame);
    chkSound = NewCheckBox("&Play sound ", frame);
    txtSound = NewNumberBox(2, frame);
    UpDown1 = NewUpDown(10, frame);
    lblSound = new QLabel(frame);
    txtSoundSource = new QLineEdit(frame);
    cmdSoundBrowse = new QPushButton(QStringLiteral("..."), frame);
    cmdSoundBrowse->setFixedWidth(28);
    lblBeep = new QLabel(
        QStringLiteral(
            "If you don't specify a .wav file, you will only hear a single beep when 'Play sound' is "
            "checked"),
        frame);
    lblBeep->setWordWrap(true);

    auto* soundRow = new QHBoxLayout;
    soundRow->addWidget(chkSound);
    soundRow->addWidget(txtSound);
    soundRow->addWidget(UpDown1);
    soundRow->addWidget(lblSound);
    soundRow->addStretch();
    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(txtSoundSource);
    fileRow->addWidget(cmdSoundBrowse);
    auto* layout = new QVBoxLayout(frame);
    layout->addWidget(chkAsk);
    layout->addLayout(soundRow);
    layout->addWidget(new QLabel(QStringLiteral("Sound File:"), frame));
    layout->addLayout(fileRow);
    layout->addWidget(lblBeep);
    layout->addStretch();
    return frame;
}

QFrame* prcoForm::BuildQualityFrame() {
    QFrame* frame = NewFrame(this);
    txtQuality = NewNumberBox(3, frame);
    Slider1 = new QSlider(Qt::Horizontal, frame);
    Slider1->setRange(0, 100);
    Slider1->setTickPosition(QSlider::TicksBelow);
    Slider1->setTickInterval(10);
    picPictureLoad = new QLabel(frame);
    picPictureLoad->setPixmap(QPixmap::fromImage(samplePicture_));
    picPictureLoad->hide();
    picPicture = new QLabel(frame);
    picPicture->setFixedSize(kQualityPreviewSize, kQualityPreviewSize);
    picPicture->setScaledContents(true);
    picPicture->setPixmap(QPixmap::fromImage(samplePicture_));

    auto* qualityRow = new QHBoxLayout;
    qualityRow->addWidget(new QLabel(QStringLiteral("Image Quality (JPEG):"), frame));
    qualityRow->addWidget(txtQuality);
    qualityRow->addStretch();
    auto* ends = new QHBoxLayout;
    ends->addWidget(new QLabel(QStringLiteral("Smallest file"), frame));
    ends->addStretch();
    ends->addWidget(new QLabel(QStringLiteral("Best quality"), frame));
    auto* layout = new QVBoxLayout(frame);
    layout->addLayout(qualityRow);
    layout->addWidget(Slider1);
    layout->addLayout(ends);
    layout->addWidget(picPicture, 0, Qt::AlignHCenter);
    layout->addWidget(picPictureLoad);
    layout->addStretch();
    return frame;
}

void prcoForm::ConnectHandlers() {
    // Change signals, not click signals: code that sets a value runs the same handling
    // as the user, and only when the value really changes.
    connect(chkMin, &QCheckBox::stateChanged, this, [this] { chkMin_Click(); });
    connect(chkSystray, &QCheckBox::stateChanged, this, [this] { chkSystray_Click(); });
    connect(chkClose, &QCheckBox::stateChanged, this, [this] { chkClose_Click(); });
    connect(chkXPStyle, &QCheckBox::stateChanged, this, [this] { chkXPStyle_Click(); });
    connect(txtClose, &QLineEdit::textChanged, this, [this] { txtClose_Change(); });
    connect(txtSound, &QLineEdit::textChanged, this, [this] { txtSound_Change(); });
    connect(txtQuality, &QLineEdit::textChanged, this, [this] { txtQuality_Change(); });
    connect(Slider1, &QSlider::valueChanged, this, [this] { Slider1_Change(); });
    connect(UpDownCloseAfterUploads, &QSpinBox::valueChanged, this,
            [this] { UpDownCloseAfterUploads_Change(); });
    connect(UpDown1, &QSpinBox::valueChanged, this, [this] { UpDown1_Change(); });
    connect(TabStripConf, &QTabBar::currentChanged, this, [this] { TabStripConf_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdPictureBrowse, &QPushButton::clicked, this, [this] { cmdPictureBrowse_Click(); });
    connect(cmdSoundBrowse, &QPushButton::clicked, this, [this] { cmdSoundBrowse_Click(); });
    txtClose->installEventFilter(this);
    piccolor->installEventFilter(this);
}

bool prcoForm::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtClose && event->type() == QEvent::FocusOut)
        txtClose_LostFocus();
    if (watched == piccolor && event->type() == QEvent::MouseButtonRelease &&
        static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        piccolor_Click();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void prcoForm::Form_Load() {
    ui::DisableCloseButton(this);
    resize(ui::TwipsToPixels(5280), ui::TwipsToPixels(4845));
    frameProgram->setVisible(true);
    ReadOptions();
    lblSound->setText(options::SecondsLabel(txtSound->text()));
    lblCloseuploads->setText(options::UploadsLabel(txtClose->text()));
}

// The order matters: a check box's handling may change another box read before it
// ("Min" wins over "Systray"; "Close" fills an empty count before "Close#" is read),
// and the quality box's handling loads the main window, whose load reads "Min".
void prcoForm::ReadOptions() {
    auto text = [](const char* name) { return ReadSetting(QString(), QString::fromUtf8(name)); };

    const std::pair<const char*, QCheckBox*> checks[] = {
        {"Systray", chkSystray}, {"Motion", chkMotion}, {"Autostart", chkAutostart},
        {"Min", chkMin},         {"Print", chkPrint},   {"Suc", chkSuc},
        {"Sound", chkSound},     {"Close", chkClose},   {"Ask", chkAsk},
    };
    for (const auto& [name, box] : checks) ui::SetCheckValue(box, StoredCheckValue(text(name), 0));
    ui::SetCheckValue(chkKeepUpload, StoredCheckValue(text("Keep"), 1));
    ui::SetCheckValue(chkXPStyle, StoredCheckValue(text("XPStyle"), 0));

    const QString quality = text("Image Quality (JPEG):");
    txtQuality->setText(quality.isEmpty() ? QStringLiteral("100") : quality);
    Slider1->setValue(static_cast<int>(std::clamp<std::int64_t>(LeadingInteger(txtQuality->text()), 0, 100)));

    txtPicSource->setText(text("BGPic"));
    txtSound->setText(text("SoundSec"));
    txtSoundSource->setText(text("SoundSrc"));
    const QString closeCount = text("Close#");
    txtClose->setText(closeCount.isEmpty() ? QStringLiteral("1") : closeCount);

    const QString color = text("ProgramBGColor");
    comColColor_ = color.isEmpty() ? kWhite : static_cast<std::uint32_t>(LeadingInteger(color));
    ShowColorSample(comColColor_);
}

void prcoForm::ShowColorSample(std::uint32_t color) {
    QPalette palette = piccolor->palette();
    palette.setColor(QPalette::Window, ui::ColorFromBgr(color));
    piccolor->setPalette(palette);
}

namespace forms {
snapwire::prcoForm& prcoForm() {
    static ui::FormSlot<snapwire::prcoForm> slot;
    return slot.Get();
}
}  // namespace forms

}  // namespace snapwire
