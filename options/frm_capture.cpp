#include "options/frm_capture.h"

#include "engine/frm_main.h"
#include "engine/status_bar.h"
#include "engine/upload_cycle.h"
#include "options/frm_audio.h"
#include "options/movie_frame_rate.h"
#include "options/movie_rules.h"
#include "platform/capture/capture_control.h"
#include "platform/ui/common_dialogs.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_box.h"
#include "settings_store/c_registry.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"
#include "windows/frm_help.h"

#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>
#include <algorithm>
#include <limits>
#include <optional>

namespace snapwire {

namespace {

// The first movie goes to the user's home folder (the root of the system drive is not
// writable here).
QString DefaultMovieFile() {
    return QDir::homePath() + QStringLiteral("/capture.avi");
}

using upload::Skipping;

constexpr const char* kFilenameValue = "Capture Filename";
constexpr const char* kMovieFilter = "AVI files (*.avi)|*.avi|All fiels (*.*)|*.*";
constexpr int kMaxSecondsText = 99999;  // what five digits hold

bool NamesExistingFile(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

// The dialog's buttons act only when clicked: Enter in a box starts nothing.
QPushButton* NewButton(const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setAutoDefault(false);
    return button;
}

// The dialogs this one opens wait until they are closed; hidden first, so one that
// is open without blocking becomes modal.
void OpenModally(QDialog& dialog) {
    dialog.hide();
    dialog.exec();
}

}  // namespace

frmCapture::frmCapture() {
    setWindowTitle(QStringLiteral("Capture Movie"));
    BuildControls();
    ConnectHandlers();
}

frmCapture::~frmCapture() = default;

void frmCapture::BuildControls() {
    lblFilename = new QLabel(QStringLiteral("Filename:"), this);
    txtFilename = new QLineEdit(this);
    txtFilename->setMinimumWidth(240);
    cmdBrowse = NewButton("...", this);
    cmdBrowse->setFixedWidth(28);

    radCaptureuntil = new QRadioButton(QStringLiteral("Capture until I click 'Left Mouse Button'"), this);
    radCaptureuntil->setToolTip(QStringLiteral("You can also end capturing by pressing Escape key"));
    radCaptureuntil->setChecked(true);
    radCapturefor = new QRadioButton(QStringLiteral("Capture"), this);
    txtCapturefor = new QLineEdit(QStringLiteral("60"), this);
    txtCapturefor->setMaxLength(5);
    txtCapturefor->setFixedWidth(56);
    UpDown2 = new QSpinBox(this);
    UpDown2->setRange(0, 86400);
    UpDown2->setSingleStep(1);
    UpDown2->setValue(60);
    UpDown2->setFocusPolicy(Qt::NoFocus);  // the arrows only; the number is typed into the box
    UpDown2->setFixedWidth(20);
    lblSeconds = new QLabel(QStringLiteral("seconds"), this);
    chkCaptureAudio = new QCheckBox(QStringLiteral("Capture Audio"), this);
    chkCaptureAudio->setChecked(true);

    cmdAudioFormat = NewButton("Audio Format", this);
    cmdFrameSec = NewButton("Frames/Sec", this);
    cmdCompressor = NewButton("Compressor", this);
    cmdStartCapture = NewButton("&Start Capture", this);
    cmdCancel = NewButton("&Cancel", this);
    cmdHelp = NewButton("&Help", this);

    auto* fileRow = new QHBoxLayout;
    fileRow->addWidget(lblFilename);
    fileRow->addWidget(txtFilename, 1);
    fileRow->addWidget(cmdBrowse);
    auto* secondsRow = new QHBoxLayout;
    secondsRow->addWidget(radCapturefor);
    secondsRow->addWidget(txtCapturefor);
    secondsRow->addWidget(UpDown2);
    secondsRow->addWidget(lblSeconds);
    secondsRow->addStretch();
    auto* settingsRow = new QHBoxLayout;
    for (QPushButton* button : {cmdAudioFormat, cmdFrameSec, cmdCompressor}) settingsRow->addWidget(button);
    settingsRow->addStretch();
    auto* buttonRow = new QHBoxLayout;
    buttonRow->addStretch();
    for (QPushButton* button : {cmdStartCapture, cmdCancel, cmdHelp}) buttonRow->addWidget(button);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(fileRow);
    layout->addWidget(radCaptureuntil);
    layout->addLayout(secondsRow);
    layout->addWidget(chkCaptureAudio);
    layout->addLayout(settingsRow);
    layout->addLayout(buttonRow);
}

void frmCapture::ConnectHandlers() {
    // Change signals: a value set by code runs the same handling as the user's.
    connect(txtFilename, &QLineEdit::textChanged, this, [this] { txtFilename_Change(); });
    connect(txtCapturefor, &QLineEdit::textChanged, this, [this] { txtCapturefor_Change(); });
    connect(UpDown2, &QSpinBox::valueChanged, this, [this] { UpDown2_Change(); });
    connect(chkCaptureAudio, &QCheckBox::toggled, this, [this] { chkCaptureAudio_Click(); });
    connect(cmdBrowse, &QPushButton::clicked, this, [this] { cmdBrowse_Click(); });
    connect(cmdAudioFormat, &QPushButton::clicked, this, [this] { cmdAudioFormat_Click(); });
    connect(cmdFrameSec, &QPushButton::clicked, this, [this] { cmdFrameSec_Click(); });
    connect(cmdCompressor, &QPushButton::clicked, this, [this] { cmdCompressor_Click(); });
    connect(cmdStartCapture, &QPushButton::clicked, this, [this] { cmdStartCapture_Click(); });
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    txtCapturefor->installEventFilter(this);
}

// Only typed characters are screened; editing keys and pasting work as in any box,
// and the change handling corrects a pasted text that is no number.
bool frmCapture::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtCapturefor && event->type() == QEvent::KeyPress) {
        const QString typed = static_cast<QKeyEvent*>(event)->text();
        for (const QChar character : typed) {
            if (character.unicode() < 32 || character.unicode() == 127)
                continue;
            int keyAscii = character.unicode();
            txtCapturefor_KeyPress(keyAscii);
            if (keyAscii == 0)
                return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void frmCapture::Form_Load() {
    const QString stored = ReadSetting(QString(), QString::fromLatin1(kFilenameValue));
    dlgFileName_ = stored.isEmpty() ? DefaultMovieFile() : stored;
    txtFilename->setText(dlgFileName_);
}

// --- The movie file ---------------------------------------------------------------------

void frmCapture::txtFilename_Change() {
    try {
        WriteSetting(QString(), QString::fromLatin1(kFilenameValue), SettingValue(txtFilename->text()));
    } catch (const RegistryError&) {
        // The name still holds for this run.
    }
}

// A cancelled dialog leaves the box as it is: a name typed since is kept.
void frmCapture::cmdBrowse_Click() {
    const std::optional<ui::FileChoice> choice =
        ui::ShowSaveChoosingFilter(this, QStringLiteral("Capture to..."), QString::fromLatin1(kMovieFilter),
                                   dlgFileName_, QStringLiteral(".avi"));
    if (!choice || choice->path.isEmpty())
        return;
    dlgFileName_ = choice->path;
    txtFilename->setText(dlgFileName_);
}

// --- The length of the recording ------------------------------------------------------------

void frmCapture::txtCapturefor_KeyPress(int& KeyAscii) {
    const bool digit = KeyAscii >= '0' && KeyAscii <= '9';
    if (!digit && KeyAscii != 8)
        KeyAscii = 0;
}

// A correction sets the text again, which runs this handling for the new text (and
// its label); the up-down follows quietly, so what is being typed is not rewritten.
void frmCapture::txtCapturefor_Change() {
    const QString text = txtCapturefor->text();
    if (!text.isEmpty()) {
        const std::optional<double> number = ParseNumberText(text);
        if (!number) {
            txtCapturefor->setText(QString::number(UpDown2->value()));
            return;
        }
        if (*number < 0) {
            txtCapturefor->setText(QStringLiteral("0"));
            return;
        }
        if (*number > kMaxSecondsText) {
            txtCapturefor->setText(QString::number(kMaxSecondsText));
            return;
        }
        if (*number >= UpDown2->minimum() && *number <= UpDown2->maximum()) {
            const QSignalBlocker quiet(UpDown2);
            UpDown2->setValue(static_cast<int>(RoundHalfEven(*number)));
        }
    }
    lblSeconds->setText(options::SecondsCaption(text));
}

void frmCapture::UpDown2_Change() {
    txtCapturefor->setText(QString::number(UpDown2->value()));
}

// --- Sound, frame rate and compressor ----------------------------------------------------------

void frmCapture::chkCaptureAudio_Click() {
    Skipping([this] { forms::frmMain().vcx->SetCaptureSound(chkCaptureAudio->isChecked()); });
}

void frmCapture::cmdAudioFormat_Click() {
    OpenModally(forms::frmAudio());
}

void frmCapture::cmdFrameSec_Click() {
    OpenModally(forms::movieframerate());
}

void frmCapture::cmdCompressor_Click() {
    Skipping([] { forms::frmMain().vcx->ShowCompressorDialog(); });
}

void frmCapture::cmdHelp_Click() {
    ShowHelpTopic(QStringLiteral("CaptureMovie"));
}

void frmCapture::cmdCancel_Click() {
    hide();
}

// --- Start ---------------------------------------------------------------------------------------

// Every step is guarded: a step that fails is passed over and the next one runs, and
// the dialog closes whether or not the recording started. Only declining to
// overwrite an existing file keeps the dialog open. A recording until the click
// clears the time limit itself: a timed start that failed leaves the limit set,
// and no completion would clear it.
void frmCapture::cmdStartCapture_Click() {
    capture::CaptureControl* vcx = forms::frmMain().vcx;
    Skipping([vcx] { vcx->SetCaptureFrameRate(forms::movieframerate().sldFrameRate->value()); });
    const QString path = txtFilename->text();
    if (NamesExistingFile(path)) {
        if (!ConfirmOverwrite(path))
            return;
        QFile::remove(path);
    }
    Skipping([vcx, &path] { vcx->SetCaptureFile(path); });
    if (radCapturefor->isChecked())
        HandOverDuration();
    else
        Skipping([vcx] { vcx->SetCaptureTimeLimited(false); });
    Skipping([vcx] { vcx->SetLivePreview(true); });
    bool started = false;
    Skipping([vcx, &started] { started = vcx->BeginCapture(); });
    if (started)
        forms::frmMain().StatusBar1->SetPanelText(
            1, QStringLiteral("Capturing... (Click left mouse button to stop)"));
    hide();
}

bool frmCapture::ConfirmOverwrite(const QString& path) {
    return ui::MsgBox(options::OverwriteQuestion(path), ui::vbQuestion + ui::vbYesNo + ui::vbDefaultButton2,
                      QStringLiteral("File already exist")) == ui::vbYes;
}

// An empty seconds box leaves the control's seconds as they were.
void frmCapture::HandOverDuration() {
    capture::CaptureControl* vcx = forms::frmMain().vcx;
    Skipping([vcx] { vcx->SetCaptureTimeLimited(true); });
    const std::optional<double> seconds = ParseNumberText(txtCapturefor->text());
    if (!seconds)
        return;
    Skipping([vcx, &seconds] {
        vcx->SetCaptureSeconds(static_cast<int>(std::clamp<std::int64_t>(
            RoundHalfEven(*seconds), std::numeric_limits<int>::min(), std::numeric_limits<int>::max())));
    });
}

namespace forms {
snapwire::frmCapture& frmCapture() {
    static ui::FormSlot<snapwire::frmCapture> slot;
    return slot.Get();
}
}  // namespace forms

}  // namespace snapwire
