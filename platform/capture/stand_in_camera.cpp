#include "platform/capture/stand_in_camera.h"

#include <QFile>
#include <QStringList>
#include <algorithm>
#include <mutex>

namespace snapwire::capture {

namespace {

struct StandIns {
    std::mutex mutex;
    std::vector<StandInCamera> cameras;
};

StandIns& State() {
    static StandIns state;
    return state;
}

// A stand-in is opened by its node, as a camera is; one set without gets a node of its own.
std::vector<StandInCamera> WithNodes(std::vector<StandInCamera> cameras) {
    for (StandInCamera& camera : cameras) {
        if (camera.node.isEmpty())
            camera.node = QStringLiteral("stand-in:") + camera.name;
    }
    return cameras;
}

// Lines "name|node|serial|caps" or "name|node|serial|bus path|caps"; a line that is not
// made so is skipped.
std::vector<StandInCamera> CamerasFromFile(const QString& path) {
    QFile file(path);
    std::vector<StandInCamera> cameras;
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return cameras;
    const QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    for (const QString& line : lines) {
        const QStringList fields = line.split(QLatin1Char('|'));
        if (fields.size() == 4)
            cameras.push_back({fields[0], fields[3], 0, fields[1], fields[2]});
        else if (fields.size() == 5)
            cameras.push_back({fields[0], fields[4], 0, fields[1], fields[2], fields[3]});
    }
    return WithNodes(std::move(cameras));
}

}  // namespace

void SetStandInCameras(std::vector<StandInCamera> cameras) {
    StandIns& state = State();
    std::lock_guard lock(state.mutex);
    state.cameras = WithNodes(std::move(cameras));
}

std::vector<StandInCamera> StandInCameras() {
    {
        StandIns& state = State();
        std::lock_guard lock(state.mutex);
        if (!state.cameras.empty())
            return state.cameras;
    }
    const QString file = qEnvironmentVariable("SNAPWIRE_STAND_IN_CAMERAS");
    return file.isEmpty() ? std::vector<StandInCamera>{} : CamerasFromFile(file);
}

QString StandInSource(const QString& node, const VideoFormat& format) {
    const std::vector<StandInCamera> cameras = StandInCameras();
    const auto camera =
        std::find_if(cameras.begin(), cameras.end(), [&](const auto& c) { return c.node == node; });
    if (camera == cameras.end())
        return QStringLiteral("v4l2src device=/dev/snapwire-unplugged-camera");
    // The caps filter lets through only what the camera offers, as its driver would.
    QString source = QStringLiteral("videotestsrc is-live=true pattern=smpte horizontal-speed=2");
    if (format.IsJpeg())
        source += QStringLiteral(" ! jpegenc");
    source += QStringLiteral(" ! capsfilter caps=\"%1\"").arg(camera->caps);
    if (camera->failAfterFrames > 0)
        source += QStringLiteral(" ! identity error-after=%1").arg(camera->failAfterFrames);
    return source;
}

}  // namespace snapwire::capture
