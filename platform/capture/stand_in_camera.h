#pragma once

// Cameras for tests, which cannot reach a real one. A stand-in camera is listed after
// the Video4Linux cameras with the formats its caps describe (as the device monitor
// reports a real camera's), and its pictures take exactly the path a camera's take:
// only v4l2src is replaced by a test source that produces the chosen format. Like a
// camera it is opened by its node: a stand-in that is no longer set behaves as an
// unplugged camera, and one set on another node as a camera plugged in elsewhere.
// To check the program itself, SNAPWIRE_STAND_IN_CAMERAS may name a file of stand-ins,
// one a line as "name|node|serial|caps" (or "name|node|serial|bus path|caps"), read whenever the devices are
// listed: editing it plugs cameras in and out of the running program. Stand-ins set by a test replace it.

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
    QString node{};  // one made of the name when empty
    QString serial{};
    QString busPath{};
};

// Replaces the stand-ins; a capture control lists those set each time it reads its
// devices, and a connection uses the stand-in set on the node at the moment.
void SetStandInCameras(std::vector<StandInCamera> cameras);
std::vector<StandInCamera> StandInCameras();

// The pipeline fragment that takes v4l2src's place for the stand-in on that node.
QString StandInSource(const QString& node, const VideoFormat& format);

}  // namespace snapwire::capture
