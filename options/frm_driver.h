#pragma once

// The capture driver dialog. Choosing an entry connects that driver at once; OK
// stores its name (and what identifies a camera beyond it), which the main window's
// load selects again at the next start. The main window's load fills the list first;
// the dialog lists the devices again whenever it is shown or its list is opened, so
// that cameras plugged in or unplugged since can be chosen.

#include <QDialog>

class QComboBox;
class QGroupBox;
class QPushButton;

namespace snapwire {

// Beside the stored driver name: what identifies that camera (empty for other drivers).
inline constexpr char kDriverIdentityValue[] = "DriverIdentity";

class frmDriver : public QDialog {
    Q_OBJECT
  public:
    frmDriver();
    ~frmDriver() override;

    void Form_Load();
    // Lists the capture control's devices, entry `selected` selected, without connecting
    // any; the one entry "<none>" when there are none, and then false.
    bool ListDrivers(int selected);

    QGroupBox* Frame1 = nullptr;
    QComboBox* cbDriver = nullptr;  // entry i is driver index i
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdHelp = nullptr;

    void cbDriver_Click();
    void cmdOK_Click();
    void cmdHelp_Click();

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void RestoreDriver(int previousIndex);
    void ListDriversAgain();
};

namespace forms {
snapwire::frmDriver& frmDriver();
}  // namespace forms

}  // namespace snapwire
