#pragma once

// The first-run wizard: four pages that set up the default account "My Account"
// (how often to upload, and the FTP server, user, password and folder). Every
// entry is stored in that account's key at once, as the user types or clicks;
// there is no Cancel. "Finish" hides the wizard and starts the upload timers;
// "Skip Wizard" (or closing the window) unloads it, so the next use loads it afresh.
//
// The main window shows it modally at the end of its first start and from the
// menu item "Wizard...", both through ShowWizard.

#include <QDialog>
#include <QPoint>
#include <QSize>
#include <functional>

class QCheckBox;
class QComboBox;
class QFrame;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace snapwire {

class Wizard : public QDialog {
    Q_OBJECT
  public:
    Wizard();
    ~Wizard() override;

    void Form_Load();
    // Runs each time the wizard is shown: back to page 1, and "My Account" loaded
    // into the account window and copied into the wizard's controls. When that
    // account is no longer the first of the list, the wizard says so and hides.
    void Form_Activate();

    // Set by "Skip Wizard": the wizard is unloaded once its showing has ended.
    bool Skipped() const { return skipped_; }
    // The visible page, 1 to 4.
    int Page() const;

    // --- Pages ----------------------------------------------------------------------
    QFrame* Frame1 = nullptr;
    QLabel* lblWelcome = nullptr;
    QLabel* lblWizard = nullptr;
    QLabel* lblCamRunning = nullptr;
    QLabel* lblContinue = nullptr;

    QFrame* Frame2 = nullptr;
    QLabel* lblUpload = nullptr;
    QGroupBox* frameEvery = nullptr;
    QComboBox* Combo = nullptr;  // item data: the interval in milliseconds
    QCheckBox* chkTimeStamp = nullptr;
    QLabel* bgpic1 = nullptr;

    QFrame* Frame3 = nullptr;
    QLabel* lblFTP = nullptr;
    QGroupBox* frameFTP = nullptr;
    QLabel* lblHost = nullptr;
    QLineEdit* txtHostNameAddress = nullptr;
    QLabel* lblUser = nullptr;
    QLineEdit* txtUserID = nullptr;
    QLabel* lblPass = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLabel* lblInitial = nullptr;
    QLineEdit* txtFolder = nullptr;
    QCheckBox* rem_pass = nullptr;
    QLabel* lblFolder = nullptr;
    QLabel* bgpic2 = nullptr;

    QFrame* Frame4 = nullptr;
    QLabel* lblFinish = nullptr;
    QGroupBox* Frame5 = nullptr;  // "Tip:"
    QLabel* lblTheTip = nullptr;
    QLabel* lblTheTip2 = nullptr;
    QLabel* bgpic3 = nullptr;

    // --- Buttons ----------------------------------------------------------------------
    QPushButton* cmdBack = nullptr;
    QPushButton* cmdNext = nullptr;  // "&Next", on the last page "&Finish"
    QPushButton* cmdSkip = nullptr;
    QLabel* Picture1 = nullptr;

    // --- Handlers ---------------------------------------------------------------------
    void cmdNext_Click();
    void cmdBack_Click();
    void cmdSkip_Click();
    void Combo_Click();
    void chkTimeStamp_Click();
    void txtHostNameAddress_Change();
    void txtUserID_Change();
    void txtPassword_Change();
    void txtFolder_Change();
    void txtFolder_LostFocus();
    void rem_pass_Click();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;  // Escape: the wizard has no Cancel
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void BuildControls();
    QFrame* BuildWelcomePage();
    QFrame* BuildIntervalPage();
    QFrame* BuildFtpPage();
    QFrame* BuildFinishPage();
    void ConnectHandlers();
    void ShowPage(int page);
    void CopyAccountValues();

    bool skipped_ = false;
};

// Shows the wizard modally. Its activation loads "My Account" into the account
// window, which a running upload cycle reads: while a cycle runs or another account
// is being loaded, the wizard waits until that has ended. A wizard that is open
// already is left as it is.
void ShowWizard();

namespace accounts {
// The wizard's place on a screen of the given size, in pixels: its left edge
// 100 pixels (1500 twips) right of the point one window width left of the screen's
// centre, its top 80 pixels (1200 twips) above the point a quarter of its height
// above the centre; kept on the screen.
QPoint WizardTopLeft(const QSize& screen, const QSize& window);
}  // namespace accounts

namespace forms {
// The loaded wizard; a skipped one is unloaded first, so it loads afresh.
snapwire::Wizard& Wizard();
bool WizardLoaded();
void UnloadWizard();
}  // namespace forms

// --- Test hook ----------------------------------------------------------------------
// Stands in for the user while the wizard is shown: ShowWizard shows and activates
// the wizard, then calls `user` with it in place of waiting until it is closed; the
// showing ends when `user` returns. Empty: the real modal showing, except while tests
// answer message boxes (ui::SetAnsweringForTests, always on offscreen), where nobody
// could close it: there ShowWizard shows nothing at all.
void SetWizardUserForTests(std::function<void(Wizard&)> user);

}  // namespace snapwire
