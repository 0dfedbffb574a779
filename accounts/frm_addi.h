#pragma once

// The additional-texts editor "Additional text": the user places texts by clicking
// on the live camera picture; every change is stored at once under the account of
// the account window's selected row. The upload cycle uses the same window, hidden,
// to read the account's texts and font afresh and draw them onto the picture.
//
// Opened from the account window as a fresh instance, shown modally, unloaded when
// the user is done. A hidden instance the upload cycle loaded stays until then.

#include "accounts/addi_controls.h"
#include "accounts/additional_texts.h"

#include <QDialog>
#include <QImage>
#include <QSet>
#include <QSize>
#include <QString>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTimer;

namespace snapwire {

class frmAddi : public QDialog {
    Q_OBJECT
  public:
    frmAddi();
    ~frmAddi() override;

    // The load step: the current camera frame into the preview, the window sized to
    // it, the texts and the font of the selected account, the preview redrawn. Also
    // run by every upload. While the editor is on screen an upload's load only reads
    // what that upload draws: the editor stays on the account the user is editing.
    void Form_Load();

    // Draws the ticked texts the last load read onto the picture an upload prepares.
    void AddTextsToUpload(QImage& picCapture) const;

    // The text pattern expanded for this moment; empty for an empty pattern.
    QString FormatTime(const QString& TimeFormat) const;

    // Replaces the list's rows with the stored items.
    void LoadTexts();
    // Writes rows 1 to count into item keys 1 to count.
    void SaveTexts();

    // --- Controls --------------------------------------------------------------------------
    QGroupBox* frmTexts = nullptr;
    accounts::TextList* lstvText = nullptr;
    QGroupBox* frmAddNew = nullptr;
    QLabel* lblText = nullptr;
    QLineEdit* txtText = nullptr;
    QLabel* lblLocation = nullptr;
    QLineEdit* txtX = nullptr;
    QLabel* lblx = nullptr;
    QLineEdit* txtY = nullptr;
    QCheckBox* chkChange = nullptr;
    QLabel* lblClickToAdd = nullptr;
    QLabel* picArrowNew0 = nullptr;
    QLabel* picArrowNew1 = nullptr;
    QTimer* timerArrowNew = nullptr;  // 1000 ms, off until a text is typed
    accounts::PreviewBox* picFrame = nullptr;
    QPushButton* cmdDelete = nullptr;
    QPushButton* cmdFont = nullptr;
    QPushButton* cmdRefresh = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdDone = nullptr;
    // The account's text font and colour, as the font dialog keeps them.
    accounts::TextFont cdat;

    // --- Handlers --------------------------------------------------------------------------
    void txtText_Change();
    void txtText_KeyUp();
    void txtText_LostFocus();
    void timerArrowNew_Timer();
    void picFrame_MouseDown(Qt::MouseButton Button, double X, double Y);
    void picFrame_MouseMove(Qt::MouseButtons Button, double X, double Y);
    void picFrame_MouseUp(Qt::MouseButton Button, double X, double Y);
    void chkChange_Click();
    void lstvText_ItemClick(int row);
    void lstvText_ItemCheck(int row);
    void cmdDelete_Click();
    void cmdFont_Click();
    void cmdRefresh_Click();
    void cmdHelp_Click();
    void cmdDone_Click();

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    void ConnectHandlers();

    static QImage CameraFrame();  // the capture control's current frame
    void SizeToPicture();
    void LoadFont(const QString& account, accounts::TextFont& font);
    void RedrawPreview();
    void StopPrompt();
    void ShowPointerPosition(double X, double Y);
    void CopySelectedRowToBoxes();
    bool ChangeMode() const;
    bool HasAccount() const { return !editedAccount_.isEmpty(); }

    // The account the editor's list and font belong to and its saves go to.
    QString editedAccount_;
    // What the next upload draws: the texts and font of the last load.
    std::vector<accounts::AdditionalText> uploadTexts_;
    accounts::TextFont uploadFont_;
    // Font values already reported by this window (see LoadFont).
    QSet<QString> reportedFontFailures_;
};

namespace accounts {

// The editor's size in twips for a preview picture: the picture's height plus room
// for the controls; wider than the design width only for a picture wider than 577
// pixels, otherwise `currentWidthTwips`.
QSize EditorSizeTwips(const QSize& picture, int currentWidthTwips);

// The account window's "Add additional text...": a fresh editor for the selected
// account, shown modally and unloaded when it closes. Nothing opens without a
// selected account.
void OpenAdditionalTextsEditor();

}  // namespace accounts

namespace forms {
// The editor; the first touch loads it (hidden).
snapwire::frmAddi& frmAddi();
// The editor as an upload needs it: loaded at first touch, otherwise loaded again.
snapwire::frmAddi& frmAddiReloaded();
bool frmAddiLoaded();
// Destroys the editor; the next touch loads a fresh one.
void UnloadfrmAddi();
}  // namespace forms

}  // namespace snapwire
