#pragma once

// The writers of the upload, motion and FTP logs: each entry goes to its log
// window and, while that window's "Log to hard drive" box is ticked, to its file
// in the program folder. The main window's LogUpload, LogMotion, LogFTP and
// ReportInternetError hand their arguments on to these.

#include <QString>

namespace snapwire::logs {

// Lines of the log files, without their line end; fields are written as passed.
QString UploadLogLine(const QString& Time, const QString& Name, const QString& Destination);
QString MotionLogLine(const QString& Time, const QString& PercentMotion, const QString& Upload,
                      const QString& Destination);

// The current date and time in the general date form (short date, blank, long
// time), as the motion log and the FTP log's transfer heads write it.
QString LogTimeNow();
// "---[" + LogTimeNow() + "]---": the FTP log line that opens each transfer.
QString TransferHeadLine();

// Appends `line` + CR LF to the file, creating it when missing and never
// truncating it; false when the file cannot be opened or written.
bool AppendLogLine(const QString& filePath, const QString& line);

// A published picture: a row in the upload log (and a line in "UploadLog.txt").
void LogUpload(const QString& Time, const QString& Name, const QString& Destination);
// A motion event; Upload and Destination are empty when nothing was published.
void LogMotion(const QString& Time, const QString& PercentMotion, const QString& Upload,
               const QString& Destination);
// One line of the FTP log (and of "FTPLog.txt").
void LogFTP(const QString& LogLine);

// A failed internet call: when the server answered with an error reply
// (ftp::kErrorExtended), "Server: " and that reply, as the server sent it, become
// an FTP log line; a name the connection refused to send (ftp::kErrorInvalidParameter)
// gives its words on why as a line; other errors add nothing. Operation names the
// failed call for the reader and is written nowhere.
void ReportInternetError(int ErrorCode, const QString& Operation, const QString& lastResponse);

}  // namespace snapwire::logs
