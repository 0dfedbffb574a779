#include "platform/capture/image_controls.h"

#include <gst/video/colorbalance.h>

#include <algorithm>

#include "platform/capture/gst_runtime.h"

namespace snapwire::capture {

namespace {

GstObjectPtr<GstElement> FindColorBalance(GstElement* binOrElement) {
    if (!binOrElement)
        return nullptr;
    if (GST_IS_COLOR_BALANCE(binOrElement))
        return GstObjectPtr<GstElement>(GST_ELEMENT(gst_object_ref(binOrElement)));
    if (GST_IS_BIN(binOrElement))
        return GstObjectPtr<GstElement>(
            gst_bin_get_by_interface(GST_BIN(binOrElement), GST_TYPE_COLOR_BALANCE));
    return nullptr;
}

template <typename Visit>
void ForEachChannel(GstElement* binOrElement, Visit visit) {
    auto element = FindColorBalance(binOrElement);
    if (!element)
        return;
    GstColorBalance* balance = GST_COLOR_BALANCE(element.get());
    for (const GList* item = gst_color_balance_list_channels(balance); item; item = item->next)
        visit(balance, GST_COLOR_BALANCE_CHANNEL(item->data));
}

}  // namespace

std::vector<ImageControl> ReadImageControls(GstElement* binOrElement) {
    std::vector<ImageControl> controls;
    ForEachChannel(binOrElement, [&](GstColorBalance* balance, GstColorBalanceChannel* channel) {
        if (channel->max_value <= channel->min_value)
            return;
        controls.push_back(ImageControl{QString::fromUtf8(channel->label), channel->min_value,
                                        channel->max_value, gst_color_balance_get_value(balance, channel)});
    });
    return controls;
}

void SetImageControl(GstElement* binOrElement, const QString& label, int value) {
    ForEachChannel(binOrElement, [&](GstColorBalance* balance, GstColorBalanceChannel* channel) {
        if (QString::fromUtf8(channel->label) == label)
            gst_color_balance_set_value(balance, channel,
                                        std::clamp(value, channel->min_value, channel->max_value));
    });
}

}  // namespace snapwire::capture
