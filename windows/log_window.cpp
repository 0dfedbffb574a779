#include "windows/log_window.h"

#include "platform/paths.h"
#include "platform/ui/app_control.h"
#include "platform/ui/controls.h"
#include "platform/ui/fonts.h"
#include "platform/ui/units.h"
#include "settings_store/c_registry.h"
#include "settings_store/program_settings.h"
#include "windows/design_rect.h"
#include "windows/frm_help.h"
#include "windows/log_list_model.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QFont>
#include <QGuiApplication>
#include <QHeaderView>
#include <QPushButton>
#include <QScreen>
#include <QTreeView>

namespace snapwire {

namespace {

// The design, in twips of the client area.
constexpr int kClientWidth = 4935;
constexpr int kClientHeight = 3495;
constexpr int kViewLeft = 120;
constexpr int kViewTop = 120;
constexpr int kViewWidth = 4695;
constexpr int kViewHeight = 2775;
constexpr int kSwitchLeft = 120;
constexpr int kSwitchTop = 3060;
constexpr int kSwitchWidth = 1575;
constexpr int kSwitchHeight = 255;
constexpr int kButtonTop = 3000;
constexpr int kButtonWidth = 855;
constexpr int kButtonHeight = 375;
constexpr int kHelpLeft = 1800;
constexpr int kResetLeft = 2880;
constexpr int kCloseLeft = 3960;

// The view keeps the design's margins as the window is sized: 120 twips on the
// left, right and top, and 720 twips below it for the switch and the buttons.
constexpr int kViewWidthAllowance = kClientWidth - kViewWidth;
constexpr int kViewHeightAllowance = kClientHeight - kViewHeight;
constexpr int kSwitchBelowView = kSwitchTop - (kViewTop + kViewHeight);
constexpr int kButtonsBelowView = kButtonTop - (kViewTop + kViewHeight);
constexpr int kRightEdge = kViewLeft + kViewWidth;

int Px(int twips) {
    return ui::TwipsToPixels(twips);
}

}  // namespace

LogWindow::LogWindow(const LogWindowDesign& design) : design_(design) {
    setWindowFlags(Qt::Tool | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setWindowTitle(QString::fromUtf8(design_.caption));
    setFont(ui::DesignFont());
    resize(Px(kClientWidth), Px(kClientHeight));

    chkLogToHardDrive = new QCheckBox(QStringLiteral("Log to hard drive"), this);
    chkLogToHardDrive->setGeometry(DesignRect(kSwitchLeft, kSwitchTop, kSwitchWidth, kSwitchHeight));
    cmdHelp = new QPushButton(QStringLiteral("&Help"), this);
    cmdHelp->setGeometry(DesignRect(kHelpLeft, kButtonTop, kButtonWidth, kButtonHeight));
    cmdReset = new QPushButton(QStringLiteral("&Clear"), this);
    cmdReset->setGeometry(DesignRect(kResetLeft, kButtonTop, kButtonWidth, kButtonHeight));
    cmdClose = new QPushButton(QStringLiteral("&Close"), this);
    cmdClose->setGeometry(DesignRect(kCloseLeft, kButtonTop, kButtonWidth, kButtonHeight));

    // The change signal, so the load's setting of the box is stored like a click.
    connect(chkLogToHardDrive, &QCheckBox::stateChanged, this, [this] { chkLogToHardDrive_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdReset, &QPushButton::clicked, this, [this] { cmdReset_Click(); });
    connect(cmdClose, &QPushButton::clicked, this, [this] { cmdClose_Click(); });
}

LogWindow::~LogWindow() = default;

void LogWindow::SetView(QWidget* view) {
    view_ = view;
    view_->setParent(this);
    view_->setGeometry(DesignRect(kViewLeft, kViewTop, kViewWidth, kViewHeight));
    view_->lower();
}

void LogWindow::Form_Load() {
    ReadSwitch();
    chkLogToHardDrive->setToolTip(QStringLiteral("Logs to: ") + LogFilePath());
    // Topmost from the first load on, shown or not.
    ui::OnTop(this);
    PlaceOnScreen();
}

void LogWindow::ReadSwitch() {
    QString stored;
    try {
        stored = ReadSetting(QString(), QString::fromUtf8(design_.switchValue));
    } catch (const RegistryError&) {
        // An unreadable switch is off.
    }
    ui::SetCheckValue(chkLogToHardDrive, SettingValue(stored).ToInt() == 1 ? 1 : 0);
}

// Vertically centred, with the left edge at the middle of the screen, so the log
// stands in the right half of the screen beside the main window.
void LogWindow::PlaceOnScreen() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (screen == nullptr)
        return;
    const QRect area = screen->geometry();
    const QSize outer = frameGeometry().size();
    move(area.left() + area.width() / 2, area.top() + area.height() / 2 - outer.height() / 2);
}

// Sizes that would be negative are skipped: the control keeps its last size,
// and the later steps work from the view as it stands.
void LogWindow::Form_Resize() {
    if (view_ == nullptr)
        return;
    const int viewWidth = width() - Px(kViewWidthAllowance);
    if (viewWidth >= 0)
        view_->resize(viewWidth, view_->height());
    const int viewHeight = height() - Px(kViewHeightAllowance);
    if (viewHeight >= 0)
        view_->resize(view_->width(), viewHeight);

    const int bottom = view_->y() + view_->height();
    const int right = view_->x() + view_->width();
    chkLogToHardDrive->move(chkLogToHardDrive->x(), bottom + Px(kSwitchBelowView));
    const int buttonTop = bottom + Px(kButtonsBelowView);
    cmdHelp->move(right - Px(kRightEdge - kHelpLeft), buttonTop);
    cmdReset->move(right - Px(kRightEdge - kResetLeft), buttonTop);
    cmdClose->move(right - Px(kRightEdge - kCloseLeft), buttonTop);
}

void LogWindow::chkLogToHardDrive_Click() {
    try {
        WriteSetting(QString(), QString::fromUtf8(design_.switchValue),
                     SettingValue::CheckBox(ui::CheckValue(chkLogToHardDrive) == 1));
    } catch (const RegistryError&) {
        // The box keeps its new value for this run; only the next start forgets it.
    }
}

void LogWindow::cmdHelp_Click() {
    ShowHelpTopic(QString::fromUtf8(design_.helpTopic), this);
}

void LogWindow::cmdClose_Click() {
    hide();
}

bool LogWindow::LogsToHardDrive() const {
    return ui::CheckValue(chkLogToHardDrive) == 1;
}

QString LogWindow::LogFilePath() const {
    return platform::ProgramFile(QString::fromUtf8(design_.fileName));
}

void LogWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

// The log lives in the window for the whole run: a close request only hides it.
void LogWindow::closeEvent(QCloseEvent* event) {
    event->ignore();
    hide();
}

// --- Lists ---------------------------------------------------------------------------

namespace {

std::vector<LogListModel::Column> ModelColumns(const std::vector<ListLogWindow::Column>& columns) {
    std::vector<LogListModel::Column> modelColumns;
    for (const ListLogWindow::Column& column : columns)
        modelColumns.push_back({QString::fromUtf8(column.key), QString::fromUtf8(column.header)});
    return modelColumns;
}

}  // namespace

ListLogWindow::ListLogWindow(const LogWindowDesign& design, const std::vector<Column>& columns)
    : LogWindow(design), list_(new QTreeView) {
    rows_ = new LogListModel(ModelColumns(columns), kMaxLinesInView, list_);
    list_->setModel(rows_);
    list_->setRootIsDecorated(false);
    list_->setUniformRowHeights(true);
    list_->setAllColumnsShowFocus(true);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    for (int column = 0; column < static_cast<int>(columns.size()); ++column)
        list_->setColumnWidth(column, Px(columns[column].widthTwips));
    SetView(list_);
}

void ListLogWindow::AddRow(const QStringList& texts) {
    rows_->AppendRow(texts);
}

// A hidden list is not laid out anew for every entry, which costs more the longer
// the log grows: it scrolls to its current row when it is shown, and its full-row
// focus needs no repaint until then.
void ListLogWindow::SelectLastRow() {
    const int count = rows_->rowCount();
    if (count == 0)
        return;
    const QModelIndex last = rows_->index(count - 1, 0);
    if (list_->isVisible()) {
        list_->setCurrentIndex(last);
        list_->scrollTo(last);
        return;
    }
    list_->setAllColumnsShowFocus(false);
    list_->setCurrentIndex(last);
    list_->setAllColumnsShowFocus(true);
}

void ListLogWindow::cmdReset_Click() {
    rows_->Clear();
}

int ListLogWindow::RowCount() const {
    return rows_->rowCount();
}

QStringList ListLogWindow::RowTexts(int row) const {
    return rows_->RowTexts(row);
}

int ListLogWindow::CurrentRow() const {
    const QModelIndex current = list_->currentIndex();
    return current.isValid() ? current.row() : -1;
}

}  // namespace snapwire
