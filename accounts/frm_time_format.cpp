#include "accounts/frm_time_format.h"

#include "accounts/date_tokens.h"
#include "platform/ui/app_control.h"
#include "platform/ui/forms.h"
#include "platform/ui/units.h"

#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace snapwire {

frmTimeFormat::frmTimeFormat() {
    setWindowTitle(QStringLiteral("Time format"));
    setWindowFlags(Qt::Tool | Qt::WindowTitleHint | Qt::CustomizeWindowHint);
    txtTimeStamp = new QLineEdit(QStringLiteral("%ST"), this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Format:"), this));
    layout->addWidget(txtTimeStamp);
    layout->addStretch();
    resize(ui::TwipsToPixels(3855), ui::TwipsToPixels(3255));
}

frmTimeFormat::~frmTimeFormat() = default;

void frmTimeFormat::Form_Load() {
    ui::DisableCloseButton(this);
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
