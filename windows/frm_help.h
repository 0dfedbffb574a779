#pragma once

// The help window: a tree of topics beside a browser showing the help pages. The
// Help buttons of the dialogs reach it through ShowHelpTopic, which marks their
// topic and shows the window modally; the main window's Help menu shows it without
// blocking. "&Close" only hides it, keeping page, branches and place; its close
// box discards it, so the next use loads it afresh beside the main window.

#include <QDialog>
#include <QIcon>
#include <QString>
#include <array>

class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace snapwire {

class HtmlBrowser;
struct HelpTopic;

class frmHelp : public QDialog {
  public:
    frmHelp();
    ~frmHelp() override;

    QTreeWidget* tv1 = nullptr;
    HtmlBrowser* help_browser = nullptr;
    QPushButton* cmdOK_Help = nullptr;
    // The node pictures, by the 1-based index the tree's nodes carry: 1 a closed
    // book, 2 a help page, 3 a globe.
    std::array<QIcon, 3> ImageList1;

    void Form_Load();
    void tv1_NodeClick();
    void cmdOK_Help_Click();

    // The router's part: shows the topic's page and marks its node.
    void ShowTopic(const HelpTopic& topic);
    // Shows the window modally in front of `from`, the window that asked for it.
    void ShowModallyInFrontOf(const QWidget* from);

    QTreeWidgetItem* Node(const QString& key) const;
    QString NodeKey(const QTreeWidgetItem* node) const;
    QString SelectedKey() const;

    // True once the close box has closed the window: its next use loads a new one.
    bool IsDiscarded() const { return discarded_; }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void AddNodes();
    void PlaceBesideMainWindow();
    void SelectNode(QTreeWidgetItem* node);

    bool discarded_ = false;
    bool selectingFromCode_ = false;
    // The node that was selected when the mouse went down: a click on it selects
    // nothing new, yet shows its page again.
    const QTreeWidgetItem* selectedBeforePress_ = nullptr;
};

// Shows the help page of `topic` (a key of the Help buttons) in the help window,
// modally; an unknown key shows "Error finding that help file!" and then the
// window as it stands. `from`, when given, is the window whose Help button asked:
// the help stands in front of it even when it stays on top.
void ShowHelpTopic(const QString& topic, const QWidget* from = nullptr);

namespace forms {
snapwire::frmHelp& frmHelp();
}  // namespace forms

}  // namespace snapwire
