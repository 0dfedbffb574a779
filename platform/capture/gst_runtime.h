#pragma once

// Small helpers around the GStreamer C API: one-time initialisation and owning
// pointers, so that no code path has to remember an unref on every early return.

#include <gst/gst.h>

#include <QString>
#include <memory>

namespace snapwire::capture {

// Initialises GStreamer the first time it is called; later calls (from any thread)
// return at once.
void EnsureGstreamer();

struct GstObjectUnref {
    void operator()(void* object) const {
        if (object)
            gst_object_unref(object);
    }
};
template <typename T>
using GstObjectPtr = std::unique_ptr<T, GstObjectUnref>;

struct GstCapsUnref {
    void operator()(GstCaps* caps) const {
        if (caps)
            gst_caps_unref(caps);
    }
};
using GstCapsPtr = std::unique_ptr<GstCaps, GstCapsUnref>;

// The message of a GError, which is then freed; empty for null.
QString TakeErrorMessage(GError* error);

}  // namespace snapwire::capture
