#pragma once

// Cameras for tests, which cannot reach a real one. A stand-in camera is listed after
// the Video4Linux cameras with the formats its caps describe (as the device monitor
// reports a real camera's), and its pictures take exactly the path a camera's take:
// only v4l2src is replaced by a test source that produces the chosen format. A
// stand-in that is no longer set behaves as an unplugged camera: it cannot be opened.

#include <QString>
#include <vector>

#include "platform/capture/video_format.h"

namespace snapwire::capture {

struct StandInCamera {
    QString name;
    // What the camera offers, e.g. "video/x-raw, format=YUY2, width=640, height=480,
    // framerate={ 30/1, 15/1 }; image/jpeg, width=1280, height=720, framerate=30/1".
    QString caps;
    // Above 0: the stream fails after that many frames, as when the camera is unplugged.
    int failAfterFrames = 0;
};

// Replaces the stand-ins; a capture control lists those set when it first lists its
// devices, and a connection uses the stand-in of that name set at the moment.
void SetStandInCameras(std::vector<StandInCamera> cameras);
std::vector<StandInCamera> StandInCameras();

// The pipeline fragment that takes v4l2src's place for the stand-in of that name.
QString StandInSource(const QString& name, const VideoFormat& format);

}  // namespace snapwire::capture
