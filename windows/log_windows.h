#pragma once

// The three log windows. The log writers add the lines; these windows show them
// and hold the switches that send them to the log files as well.

#include "windows/log_text_view.h"
#include "windows/log_window.h"

namespace snapwire {

// One line of text per FTP step.
class FTPLog : public LogWindow {
  public:
    FTPLog();
    ~FTPLog() override;

    LogTextView* txtERR = nullptr;

    // Adds text at the end of txtERR (a line brings its own CR LF); the oldest
    // lines go once the box holds kMaxLinesInView.
    void AppendText(const QString& text);
    // Puts the caret at the end, so the newest line is in view.
    void ShowEnd();
    // Empties the text box; the log file is not touched.
    void cmdReset_Click() override;
};

// One row per published picture: Time, Name, Destination.
class frmUploadLog : public ListLogWindow {
  public:
    frmUploadLog();
    ~frmUploadLog() override;

    QTreeView* lvUploadLog = nullptr;
};

// One row per motion event: Time, Motion, Upload, Destination.
class frmMotionLog : public ListLogWindow {
  public:
    frmMotionLog();
    ~frmMotionLog() override;

    QTreeView* lvMotionLog = nullptr;
};

namespace forms {
snapwire::FTPLog& FTPLog();
snapwire::frmUploadLog& frmUploadLog();
snapwire::frmMotionLog& frmMotionLog();
}  // namespace forms

}  // namespace snapwire
