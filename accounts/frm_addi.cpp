// The additional-texts editor: its controls, its load step, the preview and the
// drawing onto an upload, and the window's slot.

#include "accounts/frm_addi.h"

#include "accounts/date_tokens.h"
#include "accounts/frm_upload_settings.h"
#include "engine/frm_main.h"
#include "platform/capture/capture_control.h"
#include "platform/ui/app_control.h"
#include "platform/ui/forms.h"
#include "platform/ui/message_box.h"
#include "platform/ui/units.h"
#include "settings_store/c_registry.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPolygon>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

namespace snapwire {

namespace {

constexpr int kDesignWidthTwips = 9225;  // 577 pixels of picture plus the border
constexpr int kDesignPictureWidth = 577;
constexpr int kControlsHeightTwips = 3430;
constexpr int kBorderWidthTwips = 570;
constexpr int kPromptMilliseconds = 1000;
constexpr int kArrowSize = 20;

QPushButton* NewButton(const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setAutoDefault(false);  // Enter in the text box places nothing and closes nothing
    return button;
}

// The two frames of the blinking arrow that points up at the picture.
QPixmap ArrowFrame(int lift) {
    QPixmap pixmap(kArrowSize, kArrowSize);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(200, 0, 0));
    const int top = 4 - lift;
    painter.drawPolygon(
        QPolygon({QPoint(10, top), QPoint(18, top + 8), QPoint(13, top + 8), QPoint(13, top + 15),
                  QPoint(7, top + 15), QPoint(7, top + 8), QPoint(2, top + 8)}));
    return pixmap;
}

QLabel* NewArrow(int lift, QWidget* parent) {
    auto* arrow = new QLabel(parent);
    arrow->setPixmap(ArrowFrame(lift));
    arrow->setFixedSize(kArrowSize, kArrowSize);
    arrow->hide();
    return arrow;
}

QString SelectedAccountName() {
    return forms::frmUploadSettings().ftps->SelectedText();
}

// The key of a font value that cannot be used: the same broken value is reported
// once by a window, a changed stored text again.
QString FontFailureKey(const QString& account, const accounts::FontReadFailure& failure) {
    return account.toLower() + QLatin1Char('\n') + failure.valueName + QLatin1Char('\n') + failure.storedText;
}

}  // namespace

namespace accounts {

QSize EditorSizeTwips(const QSize& picture, int currentWidthTwips) {
    const int height = picture.height() * ui::kTwipsPerPixel + kControlsHeightTwips;
    const int width = picture.width() > kDesignPictureWidth
                          ? picture.width() * ui::kTwipsPerPixel + kBorderWidthTwips
                          : currentWidthTwips;
    return {width, height};
}

}  // namespace accounts

// --- Construction ------------------------------------------------------------------------------

frmAddi::frmAddi() {
    setWindowTitle(QStringLiteral("Additional text"));
    BuildControls();
    ConnectHandlers();
    ui::DisableCloseButton(this);
    setFixedSize(ui::TwipsToPixels(kDesignWidthTwips), ui::TwipsToPixels(kControlsHeightTwips));
}

frmAddi::~frmAddi() = default;

void frmAddi::BuildControls() {
    picFrame = new accounts::PreviewBox(this);

    frmTexts = new QGroupBox(QStringLiteral("Texts:"), this);
    lstvText = new accounts::TextList(frmTexts);
    auto* textsLayout = new QVBoxLayout(frmTexts);
    textsLayout->addWidget(lstvText);

    frmAddNew = new QGroupBox(QStringLiteral("Add New/Change:"), this);
    lblText = new QLabel(QStringLiteral("Text:"), frmAddNew);
    txtText = new QLineEdit(frmAddNew);
    lblLocation = new QLabel(QStringLiteral("Location:"), frmAddNew);
    txtX = new QLineEdit(frmAddNew);
    lblx = new QLabel(QStringLiteral("x"), frmAddNew);
    txtY = new QLineEdit(frmAddNew);
    chkChange = new QCheckBox(QStringLiteral("&Change"), frmAddNew);
    lblClickToAdd = new QLabel(QStringLiteral("Click on picture to add"), frmAddNew);
    lblClickToAdd->hide();
    picArrowNew0 = NewArrow(0, frmAddNew);
    picArrowNew1 = NewArrow(3, frmAddNew);
    timerArrowNew = new QTimer(this);
    timerArrowNew->setInterval(kPromptMilliseconds);

    auto* location = new QHBoxLayout;
    location->addWidget(txtX);
    location->addWidget(lblx);
    location->addWidget(txtY);
    auto* prompt = new QHBoxLayout;
    prompt->addWidget(lblClickToAdd);
    prompt->addWidget(picArrowNew0);
    prompt->addWidget(picArrowNew1);
    prompt->addStretch();
    auto* addLayout = new QGridLayout(frmAddNew);
    addLayout->addWidget(lblText, 0, 0);
    addLayout->addWidget(txtText, 0, 1);
    addLayout->addWidget(lblLocation, 1, 0);
    addLayout->addLayout(location, 1, 1);
    addLayout->addWidget(chkChange, 2, 1);
    addLayout->addLayout(prompt, 3, 0, 1, 2);

    cmdDelete = NewButton("De&lete", this);
    cmdFont = NewButton("&Font", this);
    cmdRefresh = NewButton("&Refresh", this);
    cmdHelp = NewButton("&Help", this);
    cmdDone = NewButton("&Done", this);
    auto* buttons = new QVBoxLayout;
    for (QPushButton* button : {cmdDelete, cmdFont, cmdRefresh, cmdHelp, cmdDone}) buttons->addWidget(button);
    buttons->addStretch();

    auto* controls = new QHBoxLayout;
    controls->addWidget(frmTexts, 3);
    controls->addWidget(frmAddNew, 3);
    controls->addLayout(buttons);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(picFrame, 0, Qt::AlignLeft | Qt::AlignTop);
    layout->addLayout(controls, 1);
}

// Change signals, so that a change made from code runs the same handling as the user's.
void frmAddi::ConnectHandlers() {
    connect(txtText, &QLineEdit::textChanged, this, [this] { txtText_Change(); });
    connect(timerArrowNew, &QTimer::timeout, this, [this] { timerArrowNew_Timer(); });
    connect(chkChange, &QCheckBox::stateChanged, this, [this] { chkChange_Click(); });
    connect(lstvText, &accounts::TextList::ItemClick, this, [this](int row) { lstvText_ItemClick(row); });
    connect(lstvText, &accounts::TextList::ItemCheck, this, [this](int row) { lstvText_ItemCheck(row); });
    connect(picFrame, &accounts::PreviewBox::MouseDown, this,
            [this](Qt::MouseButton button, QPointF at) { picFrame_MouseDown(button, at.x(), at.y()); });
    connect(picFrame, &accounts::PreviewBox::MouseMove, this,
            [this](Qt::MouseButtons buttons, QPointF at) { picFrame_MouseMove(buttons, at.x(), at.y()); });
    connect(picFrame, &accounts::PreviewBox::MouseUp, this,
            [this](Qt::MouseButton button, QPointF at) { picFrame_MouseUp(button, at.x(), at.y()); });
    connect(cmdDelete, &QPushButton::clicked, this, [this] { cmdDelete_Click(); });
    connect(cmdFont, &QPushButton::clicked, this, [this] { cmdFont_Click(); });
    connect(cmdRefresh, &QPushButton::clicked, this, [this] { cmdRefresh_Click(); });
    connect(cmdHelp, &QPushButton::clicked, this, [this] { cmdHelp_Click(); });
    connect(cmdDone, &QPushButton::clicked, this, [this] { cmdDone_Click(); });
    txtText->installEventFilter(this);
}

// --- Loading -----------------------------------------------------------------------------------

void frmAddi::Form_Load() {
    const QString account = SelectedAccountName();
    // An upload while the user edits: only what the upload draws follows the row
    // the upload selected, so that no edit lands under another account.
    if (isVisible()) {
        uploadTexts_ = account.isEmpty() ? std::vector<accounts::AdditionalText>{}
                                         : accounts::ReadAdditionalTexts(account);
        LoadFont(account, uploadFont_);
        return;
    }
    editedAccount_ = account;
    picFrame->SetPicture(CameraFrame());
    SizeToPicture();
    LoadTexts();
    LoadFont(editedAccount_, cdat);
    RedrawPreview();
    uploadTexts_ = lstvText->Items();
    uploadFont_ = cdat;
}

QImage frmAddi::CameraFrame() {
    const capture::CaptureControl* vcx = forms::frmMain().vcx;
    return vcx ? vcx->CurrentFrame() : QImage();
}

void frmAddi::SizeToPicture() {
    const QSize twips = accounts::EditorSizeTwips(picFrame->Picture().size(), ui::PixelsToTwips(width()));
    setFixedSize(ui::TwipsToPixels(twips.width()), ui::TwipsToPixels(twips.height()));
}

void frmAddi::LoadTexts() {
    lstvText->Clear();
    if (!HasAccount())
        return;
    for (const accounts::AdditionalText& item : accounts::ReadAdditionalTexts(editedAccount_))
        lstvText->AddRow(item);
}

// Each load starts from the defaults, so that values after a broken one are the
// defaults rather than what another account's load left behind. Every upload runs
// the load step of the hidden window: a broken value is reported by it once, not
// at every upload; the editor the user opens reports it afresh.
void frmAddi::LoadFont(const QString& account, accounts::TextFont& font) {
    font = accounts::TextFont();
    if (account.isEmpty())
        return;
    const std::optional<accounts::FontReadFailure> failure = accounts::ReadTextFont(account, font);
    if (!failure)
        return;
    const QString key = FontFailureKey(account, *failure);
    if (reportedFontFailures_.contains(key))
        return;
    reportedFontFailures_.insert(key);
    ui::MsgBox(failure->description, ui::vbCritical + ui::vbOKOnly,
               QStringLiteral("Font/Additional/Registry Error"));
}

void frmAddi::SaveTexts() {
    if (!HasAccount())
        return;
    try {
        accounts::WriteAdditionalTexts(editedAccount_, lstvText->Items());
    } catch (const RegistryError&) {
        // The list keeps the change; the next save tries again.
    }
}

// --- Drawing -----------------------------------------------------------------------------------

void frmAddi::RedrawPreview() {
    picFrame->Cls();
    accounts::DrawTickedTexts(picFrame->Image(), lstvText->Items(), cdat);
    picFrame->update();
}

void frmAddi::AddTextsToUpload(QImage& picCapture) const {
    accounts::DrawTickedTexts(picCapture, uploadTexts_, uploadFont_);
}

QString frmAddi::FormatTime(const QString& TimeFormat) const {
    return accounts::FormatTimeFor(TimeFormat);
}

// --- The window's slot -------------------------------------------------------------------------

namespace {
ui::FormSlot<snapwire::frmAddi>& Slot() {
    static ui::FormSlot<snapwire::frmAddi> slot;
    return slot;
}
}  // namespace

namespace forms {

snapwire::frmAddi& frmAddi() {
    return Slot().Get();
}

snapwire::frmAddi& frmAddiReloaded() {
    const bool wasLoaded = Slot().IsLoaded();
    snapwire::frmAddi& editor = Slot().Get();
    if (wasLoaded)
        editor.Form_Load();
    // The user always edits in a fresh instance, so a hidden one serves uploads only
    // and need not keep a camera frame for its preview.
    if (!editor.isVisible())
        editor.picFrame->ReleasePicture();
    return editor;
}

bool frmAddiLoaded() {
    return Slot().IsLoaded();
}

void UnloadfrmAddi() {
    Slot().Unload();
}

}  // namespace forms

namespace accounts {

void OpenAdditionalTextsEditor() {
    if (forms::frmUploadSettings().ftps->SelectedRow() < 1)
        return;
    forms::UnloadfrmAddi();
    forms::frmAddi().exec();
    forms::UnloadfrmAddi();  // "Done" only hides it; nothing else leaves the editor
}

}  // namespace accounts

}  // namespace snapwire
