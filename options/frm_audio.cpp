#include "options/frm_audio.h"

#include "engine/frm_main.h"
#include "options/movie_rules.h"
#include "platform/capture/capture_control.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_box.h"
#include "settings_store/c_registry.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"
#include "windows/frm_help.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>
#include <exception>

namespace snapwire {

namespace {

constexpr const char* kFrequencies[] = {"8000",  "11025", "12000", "16000", "22050",
                                        "24000", "32000", "44100", "48000"};

QString Stored(const char* name) {
    return ReadSetting(QString(), QString::fromLatin1(name));
}

void Store(const char* name, const SettingValue& value) {
    try {
        WriteSetting(QString(), QString::fromLatin1(name), value);
    } catch (const RegistryError&) {
        // A choice that cannot be stored is simply not there at the next opening.
    }
}

void ShowIllegalValue() {
    ui::MsgBox(QStringLiteral("Illegal value"), ui::vbCritical + ui::vbOKOnly);
}

ui::FormSlot<snapwire::frmAudio>& AudioSlot() {
    static ui::FormSlot<snapwire::frmAudio> slot;
    return slot;
}

// A closed dialog is destroyed once its own handlers have returned.
void UnloadIfClosed() {
    ui::FormSlot<snapwire::frmAudio>& slot = AudioSlot();
    if (slot.IsLoaded() && slot.Get().IsClosed())
        slot.Unload();
}

}  // namespace

frmAudio::frmAudio() {
    setWindowTitle(QStringLiteral("Audio format settings"));
    fraChannels = new QGroupBox(this);
    Option1 = new QRadioButton(QStringLiteral("Mono"), fraChannels);
    Option2 = new QRadioButton(QStringLiteral("Stereo"), fraChannels);
    Option2->setChecked(true);
    auto* channels = new QVBoxLayout(fraChannels);
    channels->addWidget(Option1);
    channels->addWidget(Option2);

    fraBits = new QGroupBox(this);
    Option3 = new QRadioButton(QStringLiteral("16 bits"), fraBits);
    Option3->setChecked(true);
    Option4 = new QRadioButton(QStringLiteral("8 bits"), fraBits);
    auto* bits = new QVBoxLayout(fraBits);
    bits->addWidget(Option3);
    bits->addWidget(Option4);

    lblFrequency = new QLabel(QStringLiteral("Frequency (Hz):"), this);
    text2 = new QComboBox(this);
    text2->setEditable(true);
    text2->setInsertPolicy(QComboBox::NoInsert);
    for (const char* frequency : kFrequencies) text2->addItem(QString::fromLatin1(frequency));
    text2->setCurrentText(QStringLiteral("44100"));

    OKButton = new QPushButton(QStringLiteral("&OK"), this);
    OKButton->setDefault(true);
    CancelButton = new QPushButton(QStringLiteral("&Cancel"), this);
    cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    auto* buttons = new QVBoxLayout;
    buttons->addWidget(OKButton);
    buttons->addWidget(CancelButton);
    buttons->addWidget(cmdHelp);
    buttons->addStretch();

    auto* choices = new QGridLayout;
    choices->addWidget(fraChannels, 0, 0);
    choices->addWidget(fraBits, 0, 1);
    choices->addWidget(lblFrequency, 1, 0);
    choices->addWidget(text2, 1, 1);
    auto* layout = new QHBoxLayout(this);
    layout->addLayout(choices, 1);
    layout->addLayout(buttons);

    connect(OKButton, &QPushButton::clicked, this, [this] { OKButton_Click(); });
    connect(CancelButton, &QPushButton::clicked, this, [this] { CancelButton_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
}

frmAudio::~frmAudio() = default;

void frmAudio::Form_Load() {
    ReadStoredChoices();
    try {
        HandOverSoundFormat();
        ShowReportedFormat();
    } catch (const std::exception&) {
        ShowIllegalValue();
    }
}

void frmAudio::ReadStoredChoices() {
    const std::pair<const char*, QRadioButton*> options[] = {
        {"AudioMono", Option1},
        {"AudioStereo", Option2},
        {"Audio8bits", Option4},
        {"Audio16bits", Option3},
    };
    // Setting "False" on an option that is not selected leaves its group as it is.
    for (const auto& [name, option] : options) {
        const QString text = Stored(name);
        if (!text.isEmpty())
            option->setChecked(TextIsTrue(text));
    }
    const QString frequency = Stored("AudioFreq");
    if (!frequency.isEmpty())
        text2->setCurrentText(frequency);
}

void frmAudio::HandOverSoundFormat() {
    forms::frmMain().vcx->SetSoundFormat(
        options::PcmSoundFormat(Option1->isChecked(), Option4->isChecked(), text2->currentText()));
}

void frmAudio::ShowReportedFormat() {
    const capture::SoundFormat reported = forms::frmMain().vcx->GetSoundFormat();
    text2->setCurrentText(QString::number(reported.samplesPerSec));
    (reported.channels == 1 ? Option1 : Option2)->setChecked(true);
    (reported.bitsPerSample == 8 ? Option4 : Option3)->setChecked(true);
}

void frmAudio::OKButton_Click() {
    StoreChoices();
    try {
        HandOverSoundFormat();
    } catch (const std::exception&) {
        // Stays open, so that the user can choose another format.
        ShowIllegalValue();
        return;
    }
    CloseDialog();
}

void frmAudio::StoreChoices() {
    Store("AudioMono", SettingValue(Option1->isChecked()));
    Store("AudioStereo", SettingValue(Option2->isChecked()));
    Store("Audio8bits", SettingValue(Option4->isChecked()));
    Store("Audio16bits", SettingValue(Option3->isChecked()));
    Store("AudioFreq", SettingValue(text2->currentText()));
}

void frmAudio::CancelButton_Click() {
    CloseDialog();
}

void frmAudio::reject() {
    CloseDialog();
}

void frmAudio::cmdHelp_Click() {
    ShowHelpTopic(QStringLiteral("AudioFormat"));
}

void frmAudio::CloseDialog() {
    closed_ = true;
    hide();  // also ends a modal showing
    QTimer::singleShot(0, QCoreApplication::instance(), [] { UnloadIfClosed(); });
}

namespace forms {
snapwire::frmAudio& frmAudio() {
    UnloadIfClosed();
    return AudioSlot().Get();
}
}  // namespace forms

}  // namespace snapwire
