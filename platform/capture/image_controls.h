#pragma once

// A source's image controls (brightness, contrast, hue, saturation and the like),
// reached through GStreamer's colour-balance interface: Video4Linux cameras map
// their driver controls onto it, the test pattern gets them from videobalance.

#include <QString>
#include <vector>

typedef struct _GstElement GstElement;

namespace snapwire::capture {

struct ImageControl {
    QString label;
    int minimum = 0;
    int maximum = 0;
    int value = 0;
};

// The controls of the first element in the bin (or the element itself) that has any.
std::vector<ImageControl> ReadImageControls(GstElement* binOrElement);
// Sets one control by its label; unknown labels are ignored, values are clamped.
void SetImageControl(GstElement* binOrElement, const QString& label, int value);

}  // namespace snapwire::capture
