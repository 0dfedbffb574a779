#include "options/ok_help_row.h"

#include <QHBoxLayout>
#include <QPushButton>

namespace snapwire {

OkHelpRow NewOkHelpRow(QWidget* dialog) {
    OkHelpRow row;
    row.ok = new QPushButton(QStringLiteral("&OK"), dialog);
    row.ok->setDefault(true);
    row.help = new QPushButton(QStringLiteral("&Help"), dialog);
    row.layout = new QHBoxLayout;
    row.layout->addStretch();
    row.layout->addWidget(row.ok);
    row.layout->addWidget(row.help);
    return row;
}

}  // namespace snapwire
