#include "accounts/frm_unique.h"

#include "accounts/date_tokens.h"
#include "accounts/frm_upload_settings.h"
#include "platform/ui/app_control.h"
#include "platform/ui/forms.h"
#include "platform/ui/units.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

namespace snapwire {

namespace {

constexpr int kKeepCountLength = 4;

QLineEdit* NewKeepBox(QWidget* parent) {
    auto* box = new QLineEdit(QStringLiteral("10"), parent);
    box->setMaxLength(kKeepCountLength);
    box->setFixedWidth(ui::TwipsToPixels(480));
    return box;
}

}  // namespace

frmUnique::frmUnique() {
    setWindowTitle(QStringLiteral("Unique Filenames"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    BuildControls();
}

frmUnique::~frmUnique() = default;

void frmUnique::BuildControls() {
    optDisabled = new QRadioButton(QStringLiteral("Disabled"), this);
    optAuto = new QRadioButton(QStringLiteral("Automatic - Numbered"), this);
    optCustom = new QRadioButton(QStringLiteral("Custom - Date"), this);
    optDisabled->setChecked(true);
    chkFTP = new QCheckBox(QStringLiteral("Keep only"), this);
    chkLocally = new QCheckBox(QStringLiteral("Keep only"), this);
    txtKeep = NewKeepBox(this);
    txtKeep2 = NewKeepBox(this);
    txtCustomFormat = new QLineEdit(QStringLiteral("%N%YYYY%TT%DD_%HH%MM%SS"), this);

    auto* keep = new QGridLayout;
    keep->addWidget(chkFTP, 0, 0);
    keep->addWidget(txtKeep, 0, 1);
    keep->addWidget(new QLabel(QStringLiteral("uploads"), this), 0, 2);
    keep->addWidget(chkLocally, 1, 0);
    keep->addWidget(txtKeep2, 1, 1);
    keep->addWidget(new QLabel(QStringLiteral("locally"), this), 1, 2);
    keep->setColumnStretch(3, 1);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(optDisabled);
    layout->addWidget(optAuto);
    layout->addLayout(keep);
    layout->addWidget(optCustom);
    layout->addWidget(txtCustomFormat);
    layout->addStretch();
    resize(ui::TwipsToPixels(3855), ui::TwipsToPixels(6255));
}

void frmUnique::Form_Load() {
    ui::DisableCloseButton(this);
}

QString frmUnique::UniqueFileName(const QString& TimeFormat) const {
    const frmUploadSettings& settings = forms::frmUploadSettings();
    return accounts::UniqueFileNameFor(TimeFormat, settings.txtFilename->text(),
                                       settings.txtFileExtension->text());
}

namespace accounts {

void SetOptionValue(QRadioButton* button, bool selected) {
    if (selected) {
        button->setChecked(true);
        return;
    }
    // An exclusive button cannot be cleared by itself; the group may end with none.
    const bool exclusive = button->autoExclusive();
    button->setAutoExclusive(false);
    button->setChecked(false);
    button->setAutoExclusive(exclusive);
}

}  // namespace accounts

namespace forms {
snapwire::frmUnique& frmUnique() {
    static ui::FormSlot<snapwire::frmUnique> slot;
    return slot.Get();
}
}  // namespace forms

}  // namespace snapwire
