#include "options/movie_frame_rate.h"

#include "options/movie_rules.h"
#include "options/ok_help_row.h"
#include "platform/ui/app_control.h"
#include "platform/ui/forms.h"
#include "settings_store/c_registry.h"
#include "settings_store/conversions.h"
#include "settings_store/program_settings.h"
#include "windows/frm_help.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <optional>

namespace snapwire {

namespace {

constexpr const char* kFrameRateValue = "FrameRate";

}  // namespace

movieframerate::movieframerate() {
    setWindowTitle(QStringLiteral("Movie Frame Rate"));
    frameMovie = new QGroupBox(QStringLiteral("Frame Rate:"), this);
    txtFrameRate = new QLineEdit(QStringLiteral("30"), frameMovie);
    txtFrameRate->setFixedWidth(48);
    sldFrameRate = new QSlider(Qt::Horizontal, frameMovie);
    sldFrameRate->setRange(1, 100);
    sldFrameRate->setValue(30);
    sldFrameRate->setTickPosition(QSlider::TicksBelow);
    sldFrameRate->setTickInterval(10);
    auto* frameLayout = new QHBoxLayout(frameMovie);
    frameLayout->addWidget(txtFrameRate);
    frameLayout->addWidget(sldFrameRate, 1);

    const OkHelpRow buttons = NewOkHelpRow(this);
    Command1 = buttons.ok;
    cmdHelp = buttons.help;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(frameMovie);
    layout->addLayout(buttons.layout);

    connect(sldFrameRate, &QSlider::valueChanged, this, [this] { sldFrameRate_Change(); });
    connect(txtFrameRate, &QLineEdit::textChanged, this, [this] { txtFrameRate_Change(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
}

movieframerate::~movieframerate() = default;

void movieframerate::Form_Load() {
    ui::DisableCloseButton(this);
    sldFrameRate->setValue(
        options::StoredFrameRate(ReadSetting(QString(), QString::fromLatin1(kFrameRateValue))));
}

void movieframerate::sldFrameRate_Change() {
    txtFrameRate->setText(QString::number(sldFrameRate->value()));
}

// The slider follows the box quietly, so the text being typed is not rewritten
// under the cursor ("030" stays "030").
void movieframerate::txtFrameRate_Change() {
    const std::optional<double> typed = ParseNumberText(txtFrameRate->text());
    if (!typed) {
        txtFrameRate->setText(QString::number(sldFrameRate->value()));
        return;
    }
    const std::int64_t rate = RoundHalfEven(*typed);
    if (rate < sldFrameRate->minimum() || rate > sldFrameRate->maximum())
        return;  // the slider keeps its value, the box its text
    const QSignalBlocker quiet(sldFrameRate);
    sldFrameRate->setValue(static_cast<int>(rate));
}

void movieframerate::Command1_Click() {
    try {
        WriteSetting(QString(), QString::fromLatin1(kFrameRateValue),
                     SettingValue(IntText(sldFrameRate->value())));
    } catch (const RegistryError&) {
        // The rate still holds for this run; only the next start falls back to 30.
    }
    hide();
}

void movieframerate::cmdHelp_Click() {
    ShowHelpTopic(QStringLiteral("MovieFrameRate"));
}

namespace forms {
snapwire::movieframerate& movieframerate() {
    static ui::FormSlot<snapwire::movieframerate> slot;
    return slot.Get();
}
}  // namespace forms

}  // namespace snapwire
