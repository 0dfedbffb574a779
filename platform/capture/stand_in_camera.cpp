#include "platform/capture/stand_in_camera.h"

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

}  // namespace

void SetStandInCameras(std::vector<StandInCamera> cameras) {
    StandIns& state = State();
    std::lock_guard lock(state.mutex);
    state.cameras = std::move(cameras);
}

std::vector<StandInCamera> StandInCameras() {
    StandIns& state = State();
    std::lock_guard lock(state.mutex);
    return state.cameras;
}

QString StandInSource(const QString& name, const VideoFormat& format) {
    const std::vector<StandInCamera> cameras = StandInCameras();
    const auto camera =
        std::find_if(cameras.begin(), cameras.end(), [&](const auto& c) { return c.name == name; });
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
