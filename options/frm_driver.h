#pragma once

// The capture driver dialog. Choosing an entry connects that driver at once; OK
// stores its name, which the main window's load selects again at the next start.
// The main window's load fills the list; this dialog never does.

#include <QDialog>

class QComboBox;
class QGroupBox;
class QPushButton;

namespace snapwire {

class frmDriver : public QDialog {
    Q_OBJECT
  public:
    frmDriver();
    ~frmDriver() override;

    void Form_Load();

    QGroupBox* Frame1 = nullptr;
    QComboBox* cbDriver = nullptr;  // entry i is driver index i
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdHelp = nullptr;

    void cbDriver_Click();
    void cmdOK_Click();
    void cmdHelp_Click();

  private:
    void RestoreDriver(int previousIndex);
};

namespace forms {
snapwire::frmDriver& frmDriver();
}  // namespace forms

}  // namespace snapwire
