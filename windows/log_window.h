#pragma once

// The common design of the upload, motion and FTP log windows: a log view over a
// "Log to hard drive" switch and the Help, Clear and Close buttons. The switch is
// stored the moment it changes and is read by the log writers straight from the
// box. The windows keep their content while hidden; closing only hides them.

#include <QString>
#include <QStringList>
#include <QWidget>
#include <vector>

class QCheckBox;
class QPushButton;
class QTreeView;

namespace snapwire {

class LogListModel;

// What tells the three windows apart.
struct LogWindowDesign {
    const char* caption;      // "FTP Log"
    const char* switchValue;  // registry value of the switch below "Software\Snapwire"
    const char* fileName;     // the log file in the program folder
    const char* helpTopic;    // the window's help topic key
};

// The views hold at most this many lines; the log files keep every line, so a
// program left logging motion for weeks does not eat the memory.
inline constexpr int kMaxLinesInView = 5000;

class LogWindow : public QWidget {
  public:
    ~LogWindow() override;

    QCheckBox* chkLogToHardDrive = nullptr;
    QPushButton* cmdHelp = nullptr;
    QPushButton* cmdReset = nullptr;
    QPushButton* cmdClose = nullptr;

    void Form_Load();
    void Form_Resize();
    void chkLogToHardDrive_Click();
    void cmdHelp_Click();
    virtual void cmdReset_Click() = 0;
    void cmdClose_Click();

    // The switch as the log writers read it: ticked (1) means append to the file.
    bool LogsToHardDrive() const;
    // The full path of this window's log file.
    QString LogFilePath() const;

  protected:
    explicit LogWindow(const LogWindowDesign& design);
    // Places the window's log view (`txtERR`, `lvUploadLog` or `lvMotionLog`).
    void SetView(QWidget* view);

    void resizeEvent(QResizeEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    void ReadSwitch();
    void PlaceOnScreen();

    const LogWindowDesign design_;
    QWidget* view_ = nullptr;
};

// A log window whose view is a list in report view, one row per event.
class ListLogWindow : public LogWindow {
  public:
    struct Column {
        const char* key;
        const char* header;
        int widthTwips;
    };

    // Appends a row (first text as the row, the others as its columns); the
    // oldest rows go once the list holds kMaxLinesInView.
    void AddRow(const QStringList& texts);
    // Selects the newest row and scrolls it into view.
    void SelectLastRow();
    // Empties the list, as the FTP log's Clear empties its text; the file stays.
    void cmdReset_Click() override;

    int RowCount() const;
    // The texts of a row, one a column; empty past the last row.
    QStringList RowTexts(int row) const;
    // The selected row, -1 for none.
    int CurrentRow() const;

  protected:
    ListLogWindow(const LogWindowDesign& design, const std::vector<Column>& columns);

    QTreeView* list_ = nullptr;

  private:
    LogListModel* rows_ = nullptr;
};

}  // namespace snapwire
