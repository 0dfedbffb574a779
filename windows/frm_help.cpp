#include "windows/frm_help.h"

#include "platform/ui/message_box.h"
#include "platform/ui/units.h"
#include "windows/design_rect.h"
#include "windows/discardable_form.h"
#include "windows/help_pages.h"
#include "windows/help_pictures.h"
#include "windows/html_browser.h"
#include "windows/modal_showing.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHeaderView>
#include <QPushButton>
#include <QTreeWidget>
#include <QTreeWidgetItemIterator>
#include <QWindow>

namespace snapwire {

namespace {

// The design, in twips of the client area.
constexpr int kClientWidth = 6225;
constexpr int kClientHeight = 4545;
// Where the window opens, from the main window's top-left corner.
constexpr int kRightOfMainWindow = 2000;
constexpr int kBelowMainWindow = 600;

constexpr int kKeyRole = Qt::UserRole;

int Px(int twips) {
    return ui::TwipsToPixels(twips);
}

// Found by name rather than through its accessor, so the help never loads the
// main window; the main window exists whenever a Help button can be pressed.
const QWidget* MainWindow() {
    for (const QWidget* window : QApplication::topLevelWidgets()) {
        if (window->objectName() == QLatin1String("frmMain"))
            return window;
    }
    return nullptr;
}

void ExpandAncestors(QTreeWidgetItem* node) {
    for (QTreeWidgetItem* parent = node->parent(); parent != nullptr; parent = parent->parent())
        parent->setExpanded(true);
}

}  // namespace

frmHelp::frmHelp() : ImageList1(HelpNodePictures()) {
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Snapwire 2004 Help"));
    setFixedSize(Px(kClientWidth), Px(kClientHeight));

    tv1 = new QTreeWidget(this);
    tv1->setObjectName(QStringLiteral("tv1"));
    tv1->setGeometry(DesignRect(120, 120, 1980, 3855));
    tv1->setHeaderHidden(true);
    tv1->setColumnCount(1);
    tv1->setIconSize(QSize(12, 12));
    tv1->setSelectionMode(QAbstractItemView::SingleSelection);
    tv1->viewport()->installEventFilter(this);
    // The column is as wide as its longest caption, and scrolls: a column only as
    // wide as the tree would cut the deeper captions short. Steps as wide as the
    // node pictures keep most captions in view without scrolling.
    tv1->setIndentation(12);
    tv1->header()->setStretchLastSection(false);
    tv1->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);
    tv1->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);

    help_browser = new HtmlBrowser(this);
    help_browser->setObjectName(QStringLiteral("help_browser"));
    help_browser->setGeometry(DesignRect(2160, 120, 3960, 3855));

    cmdOK_Help = new QPushButton(QStringLiteral("&Close"), this);
    cmdOK_Help->setObjectName(QStringLiteral("cmdOK_Help"));
    cmdOK_Help->setGeometry(DesignRect(5040, 4080, 1095, 375));
    cmdOK_Help->setAutoDefault(false);

    // The selection, not the current item: a mouse press moves the current item
    // before it selects, and a node click reads the selected node.
    connect(tv1, &QTreeWidget::itemSelectionChanged, this, [this] {
        if (!selectingFromCode_)
            tv1_NodeClick();
    });
    connect(tv1, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
        if (item == selectedBeforePress_)
            tv1_NodeClick();
    });
    connect(cmdOK_Help, &QPushButton::clicked, this, [this] { cmdOK_Help_Click(); });
}

frmHelp::~frmHelp() = default;

void frmHelp::Form_Load() {
    PlaceBesideMainWindow();
    AddNodes();
    for (const char* root : {"general", "menus", "miscellaneous"})
        Node(QString::fromLatin1(root))->setExpanded(true);
    InstallHelpPages();
    help_browser->Navigate(HelpPagePath(QString::fromLatin1(kHelpStartPage)));
}

// Placed once, at load; the user may move it from there.
void frmHelp::PlaceBesideMainWindow() {
    if (const QWidget* main = MainWindow())
        move(main->pos() + QPoint(Px(kRightOfMainWindow), Px(kBelowMainWindow)));
}

void frmHelp::AddNodes() {
    for (const HelpNode& node : HelpNodes()) {
        auto* item = new QTreeWidgetItem({QString::fromUtf8(node.caption)});
        item->setData(0, kKeyRole, QString::fromLatin1(node.key));
        item->setIcon(0, ImageList1.at(static_cast<std::size_t>(node.picture - 1)));
        if (QTreeWidgetItem* parent = Node(QString::fromLatin1(node.parent)))
            parent->addChild(item);
        else
            tv1->addTopLevelItem(item);
    }
}

QTreeWidgetItem* frmHelp::Node(const QString& key) const {
    if (key.isEmpty())
        return nullptr;
    for (QTreeWidgetItemIterator it(tv1); *it != nullptr; ++it) {
        if (NodeKey(*it) == key)
            return *it;
    }
    return nullptr;
}

QString frmHelp::NodeKey(const QTreeWidgetItem* node) const {
    return node == nullptr ? QString() : node->data(0, kKeyRole).toString();
}

QString frmHelp::SelectedKey() const {
    const QList<QTreeWidgetItem*> selected = tv1->selectedItems();
    return selected.isEmpty() ? QString() : NodeKey(selected.first());
}

void frmHelp::tv1_NodeClick() {
    const HelpNode* node = FindHelpNode(SelectedKey());
    if (node != nullptr)
        help_browser->Navigate(HelpNodeAddress(*node));
}

void frmHelp::cmdOK_Help_Click() {
    hide();
}

void frmHelp::ShowTopic(const HelpTopic& topic) {
    help_browser->Navigate(HelpPagePath(QString::fromLatin1(topic.page)));
    QTreeWidgetItem* node = Node(QString::fromLatin1(topic.node));
    if (node == nullptr)
        return;
    if (topic.expandNode)
        node->setExpanded(true);
    SelectNode(node);
}

// Selecting a node from code shows it (its branches open) but is no click: the
// page stays the one the router chose.
void frmHelp::SelectNode(QTreeWidgetItem* node) {
    selectingFromCode_ = true;
    ExpandAncestors(node);
    tv1->setCurrentItem(node);
    node->setSelected(true);
    tv1->scrollToItem(node);
    selectingFromCode_ = false;
}

// A window that stays on top covers a help window of the ordinary layer, modal
// and active as it is. Made the transient of the window that asked, the help is
// kept in front of it, in its layer, by the window manager. Staying on top itself
// would take new window flags, and with them a new native window that the window
// system places a title bar higher. Afterwards the Help menu and the dialogs find
// the help as before.
void frmHelp::ShowModallyInFrontOf(const QWidget* from) {
    QWindow* owner = from == nullptr ? nullptr : from->window()->windowHandle();
    if (owner == nullptr) {
        ShowModally(*this);
        return;
    }
    winId();  // the window handle that carries the transient parent
    windowHandle()->setTransientParent(owner);
    ShowModally(*this);
    if (QWindow* handle = windowHandle())
        handle->setTransientParent(nullptr);
}

void frmHelp::closeEvent(QCloseEvent* event) {
    discarded_ = true;
    QDialog::closeEvent(event);
}

// Shown again, the window would keep its old place in the stacking order, under
// the dialog whose Help button asked for it, where no window manager raises it.
void frmHelp::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    raise();
    activateWindow();
}

bool frmHelp::eventFilter(QObject* watched, QEvent* event) {
    if (watched == tv1->viewport() && event->type() == QEvent::MouseButtonPress) {
        const QList<QTreeWidgetItem*> selected = tv1->selectedItems();
        selectedBeforePress_ = selected.isEmpty() ? nullptr : selected.first();
    }
    return QDialog::eventFilter(watched, event);
}

void ShowHelpTopic(const QString& topic, const QWidget* from) {
    const HelpTopic* known = FindHelpTopic(topic);
    if (known == nullptr)
        ui::MsgBox(QStringLiteral("Error finding that help file!"), ui::vbCritical);
    snapwire::frmHelp& help = forms::frmHelp();
    if (known != nullptr)
        help.ShowTopic(*known);
    // A window already open without blocking (from the Help menu) becomes modal
    // only when it is shown afresh.
    help.hide();
    help.ShowModallyInFrontOf(from);
}

namespace forms {
snapwire::frmHelp& frmHelp() {
    static ui::FormSlot<snapwire::frmHelp> slot;
    return UndiscardedForm(slot);
}
}  // namespace forms

}  // namespace snapwire
