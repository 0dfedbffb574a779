#pragma once

// The timestamp-format dialog. Its box holds the timestamp pattern of the account
// loaded into the upload settings window, whether or not it is on screen; the
// upload cycle reads it there and expands it with FormatTime. While the pattern
// changes, the upload settings window's sample strip shows what it gives.
//
// Created hidden at first use, shown modally by the upload settings window, left
// only through OK (which stores the pattern under the selected account), and kept
// until the program ends.

#include <QDialog>
#include <QString>

class QLabel;
class QLineEdit;
class QPushButton;

namespace snapwire {

class frmTimeFormat : public QDialog {
    Q_OBJECT
  public:
    frmTimeFormat();
    ~frmTimeFormat() override;

    void Form_Load();

    // The timestamp pattern expanded for this moment; empty for an empty pattern.
    QString FormatTime(const QString& TimeFormat) const;

    QLabel* lblTSFormat = nullptr;
    QLineEdit* txtTimeStamp = nullptr;

    QPushButton* cmdYear = nullptr;
    QPushButton* cmdMonth = nullptr;
    QPushButton* cmdDay = nullptr;
    QPushButton* cmdHour = nullptr;
    QPushButton* cmdMinute = nullptr;
    QPushButton* cmdSecond = nullptr;
    QPushButton* cmdAMPM = nullptr;
    QPushButton* cmdWeekday = nullptr;
    QPushButton* cmdSystemStandard = nullptr;
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdHelp = nullptr;

    void txtTimeStamp_Change();
    void cmdYear_Click();
    void cmdMonth_Click();
    void cmdDay_Click();
    void cmdHour_Click();
    void cmdMinute_Click();
    void cmdSecond_Click();
    void cmdAMPM_Click();
    void cmdWeekday_Click();
    void cmdSystemStandard_Click();
    void cmdOK_Click();
    void cmdHelp_Click();

  private:
    void BuildControls();
    void ConnectHandlers();
    void PlaceBelowScreenCentre();
    void WriteTimeFormat();
};

namespace forms {
snapwire::frmTimeFormat& frmTimeFormat();
}  // namespace forms

}  // namespace snapwire
