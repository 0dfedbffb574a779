// Publishing the cycle's picture: the copy into the account's local folder, the
// FTP transfer with its log lines, and the last-picture refresh.

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <optional>

#include "accounts/frm_upload_settings.h"
#include "engine/frm_main.h"
#include "engine/log_writers.h"
#include "engine/picture_composition.h"
#include "engine/upload_cycle.h"
#include "options/prco_form.h"
#include "platform/ftp/ftp_session.h"
#include "platform/ui/controls.h"
#include "platform/ui/message_box.h"
#include "windows/frm_last.h"

namespace snapwire {

namespace {

bool Ticked(const QCheckBox* box) {
    return ui::CheckValue(box) == 1;
}

bool IsSameFile(const QString& first, const QString& second) {
    const QString canonical = QFileInfo(first).canonicalFilePath();
    return !canonical.isEmpty() && canonical == QFileInfo(second).canonicalFilePath();
}

// Replaces a file of the target's name; a folder of that name stays and the copy fails.
// A target that is the source itself (the local folder is the program folder) fails
// too: removing it first would destroy the file the transfer is about to send.
bool CopyReplacing(const QString& source, const QString& target) {
    if (IsSameFile(source, target))
        return false;
    const QFileInfo existing(target);
    if (existing.exists() && (existing.isDir() || !QFile::remove(target)))
        return false;
    return QFile::copy(source, target);
}

// The local copy of one file. Names from patterns are checked first: a copy never
// leaves the account's folder, and an account without a folder copies nothing.
bool CopyIntoLocalFolder(const char* workingFile, const QString& name) {
    const std::optional<QString> target =
        upload::LocalCopyPath(forms::frmUploadSettings().txtLocallySource->text(), name);
    return target && CopyReplacing(upload::WorkingFilePath(workingFile), *target);
}

QString NotCopiedLine(const QString& name, const QString& folder) {
    return QStringLiteral("Couldn't copy '") + name + QStringLiteral("' to '") + folder + QStringLiteral("'");
}

// The failed call's error, with the server's reply when it sent one.
struct CallFailure {
    int error = 0;
    QString response;
};

CallFailure FailureOf(const ftp::FtpConnection& connection) {
    return {connection.LastError(), connection.LastResponse()};
}

}  // namespace

// The local copy: each operation that fails is skipped; the log entries record copies made.
void frmMain::CopyLocally(const upload::CycleValues& cycle) {
    const upload::UploadNames& names = cycle.names;
    upload::Skipping([&] {
        if (!CopyIntoLocalFolder(upload::kPublishedPicture, names.LocalName)) {
            LogFTP(NotCopiedLine(names.LocalName, names.LocalFolder));
            return;
        }
        LogUpload(cycle.StampText, names.LocalName, names.LocalFolder);
        if (cycle.Motion)
            LogMotion(cycle.StampText, cycle.PercentMotion, names.LocalName, names.LocalFolder);
    });
    const frmUploadSettings& account = forms::frmUploadSettings();
    if (!Ticked(account.chkTxtTime))
        return;
    upload::Skipping([&] {
        const QString timeName = account.UniqueFileName(account.txtTextTime->text());
        if (!CopyIntoLocalFolder(upload::kTimeTextFile, timeName))
            LogFTP(NotCopiedLine(timeName, names.LocalFolder));
    });
}

// The transfer: one connection, the picture, the optional time text file, and every
// step in the FTP log.
void frmMain::TransferByFtp(const upload::CycleValues& cycle) {
    const frmUploadSettings& account = forms::frmUploadSettings();
    const QString host = account.txtHostNameAddress->text();
    LogFTP(logs::TransferHeadLine());
    LogFTP(QStringLiteral("Connecting..."));
    if (hConnect) {
        hConnect->Close();
        hConnect.reset();
    }

    CallFailure connectFailure{ftp::kErrorInvalidHandle, QString()};
    if (hInternet_) {
        auto connection = std::make_unique<ftp::FtpConnection>(*hInternet_);
        if (connection->Connect(host, account.txtUserID->text(), account.txtPassword->text(),
                                Ticked(account.chkPassiveMode)))
            hConnect = std::move(connection);
        else
            connectFailure = FailureOf(*connection);
    }

    if (!hConnect) {
        LogFTP(QStringLiteral("Couldn't connect to server"));
        ReportInternetError(connectFailure.error, QStringLiteral("InternetConnect"), connectFailure.response);
        LogFTP(QStringLiteral("No picture uploaded"));
        if (!cycle.Auto)
            ui::MsgBox(
                QStringLiteral("Couldn't connect to server. Make sure you are connected and check your "
                               "FTP settings, username and password."),
                ui::vbCritical + ui::vbOKOnly);
        return;
    }

    LogFTP(QStringLiteral("Connected to ") + host);
    LogFTP(QStringLiteral("Uploading..."));
    const upload::UploadNames& names = cycle.names;
    if (!hConnect->PutFile(upload::WorkingFilePath(upload::kPublishedPicture),
                           upload::RemotePath(names.RemoteFolder, names.RemoteName))) {
        const CallFailure failure = FailureOf(*hConnect);
        LogFTP(QStringLiteral("Couldn't upload"));
        ReportInternetError(failure.error, QStringLiteral("FtpPutFile"), failure.response);
    } else {
        LogFTP(QStringLiteral("Picture uploaded!"));
        LogUpload(cycle.StampText, names.RemoteName, host);
        if (cycle.Motion)
            LogMotion(cycle.StampText, cycle.PercentMotion, names.RemoteName, host);
        if (Ticked(forms::prcoForm().chkSuc))
            ui::MsgBox(QStringLiteral("Picture uploaded successfully"), ui::vbInformation + ui::vbOKOnly);
    }
    if (Ticked(account.chkTxtTime))
        PutTimeTextFile(cycle);

    LogFTP(QStringLiteral("Disconnecting..."));
    if (hConnect)
        hConnect->Close();
    hConnect.reset();
    LogFTP(QStringLiteral("Disconnected\r\n"));
}

void frmMain::PutTimeTextFile(const upload::CycleValues& cycle) {
    const frmUploadSettings& account = forms::frmUploadSettings();
    LogFTP(QStringLiteral("Uploading Textfile"));
    const QString remotePath =
        upload::RemotePath(cycle.names.RemoteFolder, account.UniqueFileName(account.txtTextTime->text()));
    if (hConnect->PutFile(upload::WorkingFilePath(upload::kTimeTextFile), remotePath)) {
        LogFTP(QStringLiteral("Textfile uploaded"));
        return;
    }
    const CallFailure failure = FailureOf(*hConnect);
    LogFTP(QStringLiteral("Couldn't upload Textfile"));
    ReportInternetError(failure.error, QStringLiteral("FtpPutFile"), failure.response);
}

// A picture that cannot be loaded leaves the last-picture window as it was.
void frmMain::RefreshLastPicture(const upload::CycleValues& cycle) {
    forms::frmLast().ShowLastPicture(upload::WorkingFilePath(upload::kPublishedPicture), cycle.StampText);
}

}  // namespace snapwire
