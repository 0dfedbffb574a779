#include "windows/help_pages.h"

#include "platform/paths.h"
#include "windows/html_browser.h"
#include "windows/maker_site.h"

#include <QDir>
#include <QFile>
#include <QSaveFile>

namespace snapwire {

namespace {

// Where the pages are built into the program.
constexpr const char* kBuiltInFolder = ":/snapwire/help";

constexpr HelpNode kNodes[] = {
    {"general", "General", "", 1, "Start.htm"},
    {"get_started", "Get Started", "general", 2, "GetStarted.htm"},
    {"cameras", "Cameras", "general", 2, "Cameras.htm"},
    {"menus", "Menus", "", 1, "Menus.htm"},
    {"file", "File", "menus", 1, "File.htm"},
    {"capture_image", "Capture Image", "file", 2, "CaptureImage.htm"},
    {"capture_movie", "Capture Movie", "file", 2, "CaptureMovie.htm"},
    {"movie_frame_rate", "Movie Frame Rate", "capture_movie", 2, "MovieFrameRate.htm"},
    {"movie_compressor", "Movie Compressor", "capture_movie", 2, "MovieCompressor.htm"},
    {"audio_format", "Audio Format", "capture_movie", 2, "AudioFormat.htm"},
    {"export_settings", "Export Settings", "file", 2, "ExportSettings.htm"},
    {"view", "View", "menus", 1, "View.htm"},
    {"last_picture", "Last Picture", "view", 2, "LastPicture.htm"},
    {"last_timestamp", "Last Timestamp", "view", 2, "LastTimestamp.htm"},
    {"size_window_to_picture", "Size Window to Picture", "view", 2, "SizeWindowToPicture.htm"},
    {"motion_preview", "Motion Preview", "view", 2, "MotionPreview.htm"},
    {"logs", "Logs", "view", 1, "Logs.htm"},
    {"upload_log", "Upload Log", "logs", 2, "UploadLog.htm"},
    {"motion_log", "Motion Log", "logs", 2, "MotionLog.htm"},
    {"ftp_log", "FTP Log", "logs", 2, "FTPLog.htm"},
    {"configuration", "Configuration", "menus", 1, "Configuration.htm"},
    {"upload_settings", "Upload Settings", "configuration", 1, "UploadSettings.htm"},
    {"ftp", "FTP", "upload_settings", 2, "FTP.htm"},
    {"destination", "Destination", "upload_settings", 2, "Destination.htm"},
    {"unique_filenames", "Unique filenames", "destination", 2, "UniqueFilenames.htm"},
    {"interval", "Interval", "upload_settings", 2, "Interval.htm"},
    {"picture", "Picture", "upload_settings", 2, "Picture.htm"},
    {"add_additional_text", "Add additional text", "picture", 2, "AddAdditionalText.htm"},
    {"time_format", "Time format", "picture", 2, "TimeFormat.htm"},
    {"motion", "Motion", "upload_settings", 2, "Motion.htm"},
    {"program_configuration", "Program Configuration", "configuration", 1, "ProgramConfiguration.htm"},
    {"program_running", "Program Running", "program_configuration", 2, "ProgramRunning.htm"},
    {"various_options", "Various Options", "program_configuration", 2, "VariousOptions.htm"},
    {"program_interface", "Program Interface", "program_configuration", 2, "ProgramInterface.htm"},
    {"premonition", "Premonition", "program_configuration", 2, "Premonition.htm"},
    {"picturequality", "Picture", "program_configuration", 2, "PictureQuality.htm"},
    {"camera", "Camera", "configuration", 1, "Camera.htm"},
    {"driver", "Driver", "camera", 2, "Driver.htm"},
    {"format", "Format", "camera", 2, "Format.htm"},
    {"display", "Display", "camera", 2, "Display.htm"},
    {"source", "Source", "camera", 2, "Source.htm"},
    {"help", "Help", "menus", 1, "Help.htm"},
    {"news", "News", "help", 2, "News.htm"},
    {"miscellaneous", "Miscellaneous", "", 1, "Miscellaneous.htm"},
    {"news_online", "News", "miscellaneous", 3, kMakerNewsPage},
    {"bug_report", "Bug report", "miscellaneous", 3, kMakerBugReportPage},
    {"faq", "FAQ", "miscellaneous", 3, kMakerFaqPage},
};

constexpr HelpTopic kTopics[] = {
    {"UploadSettings", "UploadSettings.htm", "upload_settings", true},
    {"ProgramConfiguration", "ProgramConfiguration.htm", "program_configuration", true},
    {"CaptureMovie", "CaptureMovie.htm", "capture_movie", true},
    {"MovieFrameRate", "MovieFrameRate.htm", "movie_frame_rate", false},
    {"AudioFormat", "AudioFormat.htm", "audio_format", false},
    {"Driver", "Driver.htm", "driver", false},
    {"News", "News.htm", "news", false},
    {"TimeFormat", "TimeFormat.htm", "time_format", false},
    {"UniqueFilenames", "UniqueFilenames.htm", "unique_filenames", false},
    {"AddAdditionalText", "AddAdditionalText.htm", "add_additional_text", false},
    {"UploadLog", "UploadLog.htm", "upload_log", false},
    {"MotionLog", "MotionLog.htm", "motion_log", false},
    {"FTPLog", "FTPLog.htm", "ftp_log", false},
};

template <typename Entry>
const Entry* FindByKey(std::span<const Entry> entries, const QString& key) {
    for (const Entry& entry : entries) {
        if (key == QLatin1String(entry.key))
            return &entry;
    }
    return nullptr;
}

bool HoldsSameBytes(const QString& path, const QByteArray& content) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.size() == content.size() && file.readAll() == content;
}

}  // namespace

std::span<const HelpNode> HelpNodes() {
    return kNodes;
}

std::span<const HelpTopic> HelpTopics() {
    return kTopics;
}

const HelpNode* FindHelpNode(const QString& key) {
    return FindByKey(HelpNodes(), key);
}

const HelpTopic* FindHelpTopic(const QString& key) {
    return FindByKey(HelpTopics(), key);
}

QString HelpFolder() {
    return platform::ProgramFile(QStringLiteral("Help/HTML"));
}

QString HelpPagePath(const QString& pageFile) {
    return HelpFolder() + QLatin1Char('/') + pageFile;
}

QString HelpNodeAddress(const HelpNode& node) {
    const QString page = QString::fromUtf8(node.page);
    return HtmlBrowser::IsWebAddress(page) ? page : HelpPagePath(page);
}

QStringList BuiltInHelpPages() {
    return QDir(QString::fromLatin1(kBuiltInFolder)).entryList(QDir::Files, QDir::Name);
}

void InstallHelpPages() {
    if (!QDir().mkpath(HelpFolder()))
        return;
    for (const QString& page : BuiltInHelpPages()) {
        QFile builtIn(QString::fromLatin1(kBuiltInFolder) + QLatin1Char('/') + page);
        if (!builtIn.open(QIODevice::ReadOnly))
            continue;
        const QByteArray content = builtIn.readAll();
        const QString target = HelpPagePath(page);
        if (HoldsSameBytes(target, content))
            continue;
        QSaveFile copy(target);
        if (copy.open(QIODevice::WriteOnly) && copy.write(content) == content.size())
            copy.commit();
    }
}

}  // namespace snapwire
