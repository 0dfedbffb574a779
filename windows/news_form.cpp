#include "windows/news_form.h"

#include "platform/ui/fonts.h"
#include "platform/ui/units.h"
#include "windows/design_rect.h"
#include "windows/discardable_form.h"
#include "windows/frm_help.h"
#include "windows/html_browser.h"
#include "windows/maker_site.h"
#include "windows/program_version.h"

#include <QCloseEvent>
#include <QFont>
#include <QLabel>
#include <QPushButton>

namespace snapwire {

namespace {

// The design, in twips of the client area.
constexpr int kClientWidth = 4530;
constexpr int kClientHeight = 4290;

}  // namespace

news_form::news_form() {
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("News"));
    setFont(ui::DesignFont());
    setFixedSize(ui::TwipsToPixels(kClientWidth), ui::TwipsToPixels(kClientHeight));

    news_browser = new HtmlBrowser(this);
    news_browser->setObjectName(QStringLiteral("news_browser"));
    news_browser->setGeometry(DesignRect(120, 120, 4275, 3255));
    lblVer = new QLabel(this);
    lblVer->setGeometry(DesignRect(120, 3480, 4335, 255));
    cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    cmdHelp->setGeometry(DesignRect(2280, 3855, 975, 375));
    cmdHelp->setAutoDefault(false);
    Command1 = new QPushButton(QStringLiteral("&Close"), this);
    Command1->setGeometry(DesignRect(3360, 3855, 1095, 375));
    Command1->setAutoDefault(false);

    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
}

news_form::~news_form() = default;

void news_form::Form_Load() {
    news_browser->Navigate(QString::fromUtf8(kMakerNewsPage));
    lblVer->setText(QStringLiteral("Snapwire, Version: ") + ProgramVersionText());
}

void news_form::cmdHelp_Click() {
    ShowHelpTopic(QStringLiteral("News"));
}

void news_form::Command1_Click() {
    close();
}

// Every way out discards the window: the next opening loads the page again.
void news_form::reject() {
    discarded_ = true;
    QDialog::reject();
}

void news_form::closeEvent(QCloseEvent* event) {
    discarded_ = true;
    QDialog::closeEvent(event);
}

namespace forms {
snapwire::news_form& news_form() {
    static ui::FormSlot<snapwire::news_form> slot;
    return UndiscardedForm(slot);
}
}  // namespace forms

}  // namespace snapwire
