#pragma once

// Where an upload cycle's picture goes and under which names: the remote folder and
// name on the FTP server, the local folder and name of the local copy. The account
// picks one of three naming schemes; the numbered scheme keeps its two counters in
// the account's key, so numbering survives restarts and each account counts on its
// own.
//
// Everything here works on plain values; the cycle fills them from the loaded
// account's controls (CurrentNamingSettings in engine/cycle_settings.h).

#include <QString>
#include <cstdint>
#include <optional>

namespace snapwire::upload {

// The naming scheme: frmUnique.optDisabled, optAuto or optCustom.
enum class NamingScheme { Disabled, Numbered, Custom };

struct NamingSettings {
    NamingScheme scheme = NamingScheme::Disabled;
    QString baseName = QStringLiteral("webcam");  // frmUploadSettings.txtFilename
    QString extension = QStringLiteral(".jpg");   // frmUploadSettings.txtFileExtension
    QString customFormat;                         // frmUnique.txtCustomFormat
    bool keepRemote = false;                      // frmUnique.chkFTP: keep only N remote numbers
    QString keepRemoteCount;                      // frmUnique.txtKeep: N
    bool keepLocal = false;                       // frmUnique.chkLocally: keep only N local numbers
    QString keepLocalCount;                       // frmUnique.txtKeep2: N
    QString remoteFolderText;                     // frmUploadSettings.txtFolder
    QString localFolderText;                      // frmUploadSettings.txtLocallySource
};

// The next numbers of the numbered scheme, held by the main window between cycles
// and stored per account as "KeepNrUpload" and "KeepNrUploadLocal".
struct NumberingCounters {
    std::int32_t KeepNrUpload = 1;
    std::int32_t KeepNrUploadLocal = 1;
};

inline constexpr std::int32_t kHighestPictureNumber = 9999999;

struct UploadNames {
    QString RemoteFolder;  // "" or the folder text followed by "/"
    QString LocalFolder;   // the folder text followed by "/"
    QString RemoteName;
    QString LocalName;
};

// "" for an empty folder text (files go to the connection's initial folder),
// otherwise the text followed by "/".
QString RemoteFolderFor(const QString& folderText);
// The folder text followed by "/", an empty text included.
QString LocalFolderFor(const QString& folderText);
// The remote path of a file: the remote folder immediately followed by the name,
// with every run of "/" made one ("/pub/" + "/" + "webcam.jpg" is "/pub/webcam.jpg").
QString RemotePath(const QString& remoteFolder, const QString& name);

// The names of one cycle. In the numbered scheme the account's counters are read
// into `counters`, used, advanced and written back under the account's key before
// this returns, so a cycle that is refused afterwards still skips a number. A
// counter that cannot be read keeps the value `counters` holds; reading and
// writing each stop at their first failure. Nothing is stored for an empty
// account name.
UploadNames MakeUploadNames(const NamingSettings& settings, const QString& accountName,
                            NumberingCounters& counters);

// Names made from patterns are used as they come, so they are checked before use.
// A local name may not leave the folder it is written to: it must not be empty,
// "." or "..", nor hold "/", "\" or a NUL character. (Remote names are checked by
// the FTP layer, which refuses a line break or NUL in a command line.)
bool IsSafeLocalFileName(const QString& name);

// The full path of a local copy, or nothing when no copy may be written: the
// account has no local folder (a copy would land in the file system's root) or the
// name is not safe.
std::optional<QString> LocalCopyPath(const QString& localFolderText, const QString& name);

}  // namespace snapwire::upload
