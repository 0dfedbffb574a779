#pragma once

// The timestamp-format dialog. Its box holds the timestamp pattern of the account
// loaded into the upload settings window, whether or not it is on screen; the
// upload cycle reads it there and expands it with FormatTime.

#include <QDialog>
#include <QString>

class QLineEdit;

namespace snapwire {

class frmTimeFormat : public QDialog {
    Q_OBJECT
  public:
    frmTimeFormat();
    ~frmTimeFormat() override;

    void Form_Load();

    // The timestamp pattern expanded for this moment; empty for an empty pattern.
    QString FormatTime(const QString& TimeFormat) const;

    QLineEdit* txtTimeStamp = nullptr;
};

namespace forms {
snapwire::frmTimeFormat& frmTimeFormat();
}  // namespace forms

}  // namespace snapwire
