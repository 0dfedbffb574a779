#pragma once

// A capture device whose pictures a test supplies, frame by frame.
//
// When enabled (FrameFeed::Enable(), or SNAPWIRE_FRAME_FEED=1 in the environment)
// capture controls list a device named "Snapwire Frame Feed" after the cameras and
// before the test pattern; enable it before the control is first asked for its
// devices. Its source is an appsrc that plays the pushed images through the same
// conversion and sink as a camera's pictures, so an RGB32 image comes out of
// CurrentFrame() bit for bit. On connecting, the feed starts with the image pushed
// last (a black 640 x 480 picture when nothing has been pushed yet). Pushed images
// may change size; the frame size then follows them. The feed serves one connected
// control at a time (the one that connected last). A movie recorded from the feed
// gets frames only while pictures are being pushed.

#include <QImage>
#include <QString>

typedef struct _GstElement GstElement;

namespace snapwire::capture {

class CaptureControl;

class FrameFeed {
  public:
    static void Enable();
    static void Disable();
    static bool IsEnabled();

    // Makes the image the feed's current frame (converted to RGB32).
    static void Push(const QImage& image);
    // Pushes the image and runs the event loop until the control's CurrentFrame() is
    // exactly that image; false when it is not within the time given.
    static bool PushAndWait(const CaptureControl& control, const QImage& image, int timeoutMs = 5000);

    // Used by the capture pipeline.
    static QString SourceDescription();
    static void Attach(GstElement* pipeline);  // no-op for pipelines without the feed's source
    static void Detach(GstElement* pipeline);
};

}  // namespace snapwire::capture
