// The editor's handlers: placing a text by clicking on the picture, change mode,
// ticks, deleting, the font, and the prompt that points at the picture.

#include "accounts/frm_addi.h"

#include "platform/ui/common_dialogs.h"
#include "platform/ui/controls.h"
#include "platform/ui/message_box.h"
#include "platform/ui/units.h"
#include "settings_store/c_registry.h"
#include "settings_store/conversions.h"
#include "windows/frm_help.h"

#include <QCheckBox>
#include <QEvent>
#include <QFocusEvent>
#include <QFontDatabase>
#include <QLabel>
#include <QLineEdit>
#include <QTimer>
#include <cmath>

namespace snapwire {

namespace {

// The pixel under the pointer, counted from 1.
QString PointerText(double position) {
    return IntText(std::lround(position) + 1);
}

double PixelOf(const QLineEdit* box) {
    return ParseNumberText(box->text()).value_or(0);
}

}  // namespace

bool frmAddi::eventFilter(QObject* watched, QEvent* event) {
    if (watched == txtText) {
        if (event->type() == QEvent::KeyRelease)
            txtText_KeyUp();
        else if (event->type() == QEvent::FocusOut &&
                 ui::FocusLeavesControl(static_cast<QFocusEvent*>(event)))
            txtText_LostFocus();
    }
    return QDialog::eventFilter(watched, event);
}

bool frmAddi::ChangeMode() const {
    return chkChange->checkState() == Qt::Checked;
}

// --- The prompt --------------------------------------------------------------------------------

void frmAddi::txtText_Change() {
    if (!txtText->text().isEmpty() && !timerArrowNew->isActive())
        timerArrowNew->start();
}

void frmAddi::timerArrowNew_Timer() {
    lblClickToAdd->show();
    const bool firstShown = !picArrowNew0->isHidden();
    picArrowNew0->setVisible(!firstShown);
    picArrowNew1->setVisible(firstShown);
}

void frmAddi::StopPrompt() {
    lblClickToAdd->hide();
    picArrowNew0->hide();
    picArrowNew1->hide();
    timerArrowNew->stop();
}

void frmAddi::txtText_LostFocus() {
    StopPrompt();
}

// --- Placing a text on the picture -------------------------------------------------------------

void frmAddi::ShowPointerPosition(double X, double Y) {
    txtX->setText(PointerText(X));
    txtY->setText(PointerText(Y));
}

// In change mode the press takes the selected text off the list; the release puts
// it back where the pointer is. Without a text to put back nothing is taken off,
// which would otherwise leave the list one short of what is stored.
// The press also shows where it happened: a text placed without a move before the
// release must not take a position typed into the boxes.
void frmAddi::picFrame_MouseDown(Qt::MouseButton Button, double X, double Y) {
    Q_UNUSED(Button);
    ShowPointerPosition(X, Y);
    if (ChangeMode() && lstvText->Count() > 0 && !txtText->text().isEmpty())
        lstvText->RemoveRow(lstvText->SelectedRow());
}

void frmAddi::picFrame_MouseMove(Qt::MouseButtons Button, double X, double Y) {
    ShowPointerPosition(X, Y);
    if (!(Button & Qt::LeftButton))
        return;
    RedrawPreview();
    accounts::DrawTextAt(picFrame->Image(), FormatTime(txtText->text()), PixelOf(txtX), PixelOf(txtY), cdat);
    picFrame->update();
}

void frmAddi::picFrame_MouseUp(Qt::MouseButton Button, double X, double Y) {
    Q_UNUSED(Button);
    Q_UNUSED(X);
    Q_UNUSED(Y);
    if (txtText->text().isEmpty())
        return;
    lstvText->AddRow({txtText->text(), txtX->text(), txtY->text(), true});
    SaveTexts();
    RedrawPreview();
    lstvText->Select(lstvText->Count());
    txtText->clear();
    StopPrompt();
    chkChange->setCheckState(Qt::Unchecked);
}

// --- Change mode -------------------------------------------------------------------------------

void frmAddi::CopySelectedRowToBoxes() {
    const int row = lstvText->SelectedRow();
    if (row < 1)
        return;
    txtText->setText(lstvText->Text(row));
    txtX->setText(lstvText->Cell(row, QStringLiteral("keyX")));
    txtY->setText(lstvText->Cell(row, QStringLiteral("keyY")));
}

void frmAddi::chkChange_Click() {
    if (!ChangeMode()) {
        txtText->clear();
        txtX->clear();
        txtY->clear();
        StopPrompt();
        return;
    }
    if (lstvText->Count() == 0)
        chkChange->setCheckState(Qt::Unchecked);
    else
        CopySelectedRowToBoxes();
}

void frmAddi::lstvText_ItemClick(int row) {
    Q_UNUSED(row);
    if (ChangeMode())
        CopySelectedRowToBoxes();
}

// An emptied box changes nothing: a stored text without a name would end the
// stored list there and hide every text after it.
void frmAddi::txtText_KeyUp() {
    const int row = lstvText->SelectedRow();
    if (!ChangeMode() || row < 1 || lstvText->Text(row).isEmpty() || txtText->text().isEmpty())
        return;
    lstvText->SetText(row, txtText->text());
    RedrawPreview();
    SaveTexts();
}

void frmAddi::lstvText_ItemCheck(int row) {
    Q_UNUSED(row);
    RedrawPreview();
    SaveTexts();
}

// --- Buttons -----------------------------------------------------------------------------------

void frmAddi::cmdDelete_Click() {
    chkChange->setCheckState(Qt::Unchecked);
    lstvText->RemoveRow(lstvText->SelectedRow());
    picFrame->SetPicture(CameraFrame());
    if (HasAccount()) {
        try {
            accounts::DeleteNamedItemKeys(editedAccount_, lstvText->Count() + 1);
        } catch (const RegistryError&) {
            // The rows are written again below; a key left over beyond them is never read.
        }
    }
    SaveTexts();
    RedrawPreview();
}

// The font dialog has no colour choice here: the colour dialog follows a chosen font.
void frmAddi::cmdFont_Click() {
    if (QFontDatabase::families().isEmpty()) {
        ui::MsgBox(QStringLiteral("No fonts found."), ui::vbOKOnly);
    } else if (const std::optional<QFont> font = ui::ShowFont(this, cdat.ToFont())) {
        cdat.SetFont(*font);
        if (const std::optional<QColor> color = ui::ShowColor(this, ui::ColorFromBgr(cdat.Color)))
            cdat.Color = ui::BgrFromColor(*color);
    }
    picFrame->Cls();
    RedrawPreview();
    if (!HasAccount())
        return;
    try {
        accounts::WriteTextFont(editedAccount_, cdat);
    } catch (const RegistryError&) {
        // The values written before the failure stay.
    }
}

void frmAddi::cmdRefresh_Click() {
    picFrame->SetPicture(CameraFrame());
    RedrawPreview();
}

void frmAddi::cmdHelp_Click() {
    ShowHelpTopic(QStringLiteral("AddAdditionalText"));
}

void frmAddi::cmdDone_Click() {
    hide();  // ends the modal showing, whose opener unloads the editor
}

}  // namespace snapwire
