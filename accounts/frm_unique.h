#pragma once

// The unique-filename dialog: how the loaded account's pictures are named on the
// server and in the local folder. Its controls hold the naming settings of the
// account loaded into the upload settings window, whether or not it is on screen;
// the upload cycle reads them there.

#include <QDialog>
#include <QString>

class QCheckBox;
class QLineEdit;
class QRadioButton;

namespace snapwire {

class frmUnique : public QDialog {
    Q_OBJECT
  public:
    frmUnique();
    ~frmUnique() override;

    void Form_Load();

    // The file-name pattern expanded for this moment, "%N" being the account's base
    // name, followed by the picture extension (".jpg" alone for an empty pattern).
    QString UniqueFileName(const QString& TimeFormat) const;

    // --- The account's naming settings ----------------------------------------------
    QRadioButton* optDisabled = nullptr;
    QRadioButton* optAuto = nullptr;
    QRadioButton* optCustom = nullptr;
    QCheckBox* chkFTP = nullptr;
    QCheckBox* chkLocally = nullptr;
    QLineEdit* txtKeep = nullptr;
    QLineEdit* txtKeep2 = nullptr;
    QLineEdit* txtCustomFormat = nullptr;

  private:
    void BuildControls();
};

namespace accounts {
// Sets an option button as the program's stored flags do: true selects it (and
// clears the others of its group); false clears it, which may leave the group with
// none selected.
void SetOptionValue(QRadioButton* button, bool selected);
}  // namespace accounts

namespace forms {
snapwire::frmUnique& frmUnique();
}  // namespace forms

}  // namespace snapwire
