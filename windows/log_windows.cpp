#include "windows/log_windows.h"

#include "platform/ui/forms.h"

#include <QPlainTextEdit>
#include <QTextCursor>

namespace snapwire {

namespace {

constexpr LogWindowDesign kFtpLogDesign{"FTP Log", "LogFTP", "FTPLog.txt", "FTPLog"};
constexpr LogWindowDesign kUploadLogDesign{"Upload Log", "LogUpload", "UploadLog.txt", "UploadLog"};
constexpr LogWindowDesign kMotionLogDesign{"Motion Log", "LogMotion", "MotionLog.txt", "MotionLog"};

const std::vector<ListLogWindow::Column>& UploadLogColumns() {
    static const std::vector<ListLogWindow::Column> columns{
        {"kTime", "Time", 1700}, {"kName", "Name", 1150}, {"kDestination", "Destination", 1450}};
    return columns;
}

const std::vector<ListLogWindow::Column>& MotionLogColumns() {
    static const std::vector<ListLogWindow::Column> columns{{"kTime", "Time", 1700},
                                                            {"kMotion", "Motion", 700},
                                                            {"kUpload", "Upload", 900},
                                                            {"kDestination", "Destination", 1000}};
    return columns;
}

}  // namespace

FTPLog::FTPLog() : LogWindow(kFtpLogDesign), txtERR(new QPlainTextEdit) {
    txtERR->setReadOnly(true);
    // A box with only a vertical scroll bar: long server replies wrap at its width.
    txtERR->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    txtERR->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    txtERR->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    // One more block than lines: the text always ends with a line break, which
    // leaves an empty block behind the newest line.
    txtERR->setMaximumBlockCount(kMaxLinesInView + 1);
    SetView(txtERR);
}

FTPLog::~FTPLog() = default;

void FTPLog::AppendText(const QString& text) {
    // Inserted at the end rather than replacing the whole text, so a long log
    // costs no more per line than a short one.
    QTextCursor end(txtERR->document());
    end.movePosition(QTextCursor::End);
    end.insertText(text);
}

void FTPLog::ShowEnd() {
    txtERR->moveCursor(QTextCursor::End);
    txtERR->ensureCursorVisible();
}

void FTPLog::cmdReset_Click() {
    txtERR->clear();
}

frmUploadLog::frmUploadLog() : ListLogWindow(kUploadLogDesign, UploadLogColumns()) {
    lvUploadLog = list_;
}

frmUploadLog::~frmUploadLog() = default;

frmMotionLog::frmMotionLog() : ListLogWindow(kMotionLogDesign, MotionLogColumns()) {
    lvMotionLog = list_;
}

frmMotionLog::~frmMotionLog() = default;

namespace forms {
snapwire::FTPLog& FTPLog() {
    static ui::FormSlot<snapwire::FTPLog> slot;
    return slot.Get();
}
snapwire::frmUploadLog& frmUploadLog() {
    static ui::FormSlot<snapwire::frmUploadLog> slot;
    return slot.Get();
}
snapwire::frmMotionLog& frmMotionLog() {
    static ui::FormSlot<snapwire::frmMotionLog> slot;
    return slot.Get();
}
}  // namespace forms

}  // namespace snapwire
