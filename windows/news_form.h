#pragma once

// The news window: the maker's news page in a browser, with the program's version
// under it. Closing it discards it, so the next opening loads the page afresh.

#include <QDialog>

class QLabel;
class QPushButton;

namespace snapwire {

class HtmlBrowser;

class news_form : public QDialog {
  public:
    news_form();
    ~news_form() override;

    HtmlBrowser* news_browser = nullptr;
    QLabel* lblVer = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* Command1 = nullptr;

    void Form_Load();
    void cmdHelp_Click();
    void Command1_Click();

    bool IsDiscarded() const { return discarded_; }
    void reject() override;  // Esc closes and discards, as "&Close" does

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    bool discarded_ = false;
};

namespace forms {
snapwire::news_form& news_form();
}  // namespace forms

}  // namespace snapwire
