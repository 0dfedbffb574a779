#pragma once

// The About box: the product, its version, the maker's mail and web links, and a
// button that starts the system's information program where there is one. OK
// hides the box; its close box discards it, so the next opening loads it afresh.

#include <QDialog>
#include <QString>
#include <cstdint>
#include <functional>

class QLabel;
class QPushButton;

namespace snapwire {

class frmAbout : public QDialog {
  public:
    frmAbout();
    ~frmAbout() override;

    QLabel* picIcon = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lbl1 = nullptr;
    QLabel* lblDisclaimer = nullptr;
    QLabel* lbl2 = nullptr;
    QLabel* lbl3 = nullptr;
    QLabel* Label1 = nullptr;  // the maker's mail address
    QLabel* Label2 = nullptr;  // the maker's web site
    QPushButton* cmdOK = nullptr;
    QPushButton* cmdSysInfo = nullptr;

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();
    void picIcon_Click();
    void Label1_Click();
    void Label2_Click();

    // Starts the system information program, or says that it is unavailable.
    void StartSysInfo();
    // Reads the text value `SubKeyRef` of `KeyRoot`\`KeyName` into `KeyVal`; false
    // (and `KeyVal` empty) when the key or value cannot be read. A value that is
    // not text reads as true with an empty `KeyVal`: it holds no usable path.
    bool GetKeyValue(std::int32_t KeyRoot, const QString& KeyName, const QString& SubKeyRef, QString& KeyVal);

    bool IsDiscarded() const { return discarded_; }
    void reject() override;  // Esc presses OK

  protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    bool discarded_ = false;
};

// Starts the program at `path` in a window of its own; false when it cannot be started.
bool StartProgram(const QString& path);
// Replaces the starter; an empty function brings back the real one.
void SetProgramStarterForTests(std::function<bool(const QString&)> starter);

namespace forms {
snapwire::frmAbout& frmAbout();
}  // namespace forms

}  // namespace snapwire
