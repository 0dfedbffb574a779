#include "windows/log_windows.h"

#include "platform/ui/forms.h"

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

// One more line than the view shows: the text always ends with a line break,
// which leaves an empty line behind the newest one.
FTPLog::FTPLog() : LogWindow(kFtpLogDesign), txtERR(new LogTextView(kMaxLinesInView + 1)) {
    SetView(txtERR);
}

FTPLog::~FTPLog() = default;

void FTPLog::AppendText(const QString& text) {
    txtERR->AppendText(text);
}

void FTPLog::ShowEnd() {
    txtERR->ScrollToEnd();
}

void FTPLog::cmdReset_Click() {
    txtERR->Clear();
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
