#include "engine/log_writers.h"

#include "accounts/clock.h"
#include "platform/ftp/ftp_session.h"
#include "platform/ui/app_control.h"
#include "settings_store/conversions.h"
#include "windows/log_windows.h"

#include <QFile>

namespace snapwire::logs {

namespace {

// The server's reply is read into a buffer of this many characters.
constexpr int kLastResponseBufferLength = 2048;

const QChar kTab = QLatin1Char('\t');

// A log file that cannot be written never stops the engine: the entry is in
// the window all the same.
void AppendIfLogging(const LogWindow& window, const QString& line) {
    if (window.LogsToHardDrive())
        AppendLogLine(window.LogFilePath(), line);
}

}  // namespace

QString UploadLogLine(const QString& Time, const QString& Name, const QString& Destination) {
    return Time + kTab + Name + kTab + Destination;
}

QString MotionLogLine(const QString& Time, const QString& PercentMotion, const QString& Upload,
                      const QString& Destination) {
    return Time + kTab + PercentMotion + kTab + Upload + kTab + Destination;
}

QString LogTimeNow() {
    return GeneralDateText(Clock::Now());
}

QString TransferHeadLine() {
    return QStringLiteral("---[") + LogTimeNow() + QStringLiteral("]---");
}

bool AppendLogLine(const QString& filePath, const QString& line) {
    QFile file(filePath);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Append))
        return false;
    const QByteArray bytes = line.toLocal8Bit() + QByteArrayLiteral("\r\n");
    return file.write(bytes) == bytes.size();
}

void LogUpload(const QString& Time, const QString& Name, const QString& Destination) {
    frmUploadLog& log = forms::frmUploadLog();
    log.AddRow({Time, Name, Destination});
    AppendIfLogging(log, UploadLogLine(Time, Name, Destination));
    log.SelectLastRow();
    ui::DoEvents();
}

void LogMotion(const QString& Time, const QString& PercentMotion, const QString& Upload,
               const QString& Destination) {
    frmMotionLog& log = forms::frmMotionLog();
    log.AddRow({Time, PercentMotion, Upload, Destination});
    AppendIfLogging(log, MotionLogLine(Time, PercentMotion, Upload, Destination));
    log.SelectLastRow();
    ui::DoEvents();
}

void LogFTP(const QString& LogLine) {
    FTPLog& log = forms::FTPLog();
    log.AppendText(LogLine + QStringLiteral("\r\n"));
    AppendIfLogging(log, LogLine);
    log.ShowEnd();
    ui::DoEvents();
}

void ReportInternetError(int ErrorCode, const QString& Operation, const QString& lastResponse) {
    Q_UNUSED(Operation)
    if (ErrorCode == ftp::kErrorExtended)
        LogFTP(QStringLiteral("Server: ") + lastResponse.left(kLastResponseBufferLength));
    else if (ErrorCode == ftp::kErrorInvalidParameter && !lastResponse.isEmpty())
        LogFTP(lastResponse);
}

}  // namespace snapwire::logs
