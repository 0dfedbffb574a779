#include "platform/capture/video_format.h"

#include <gst/gst.h>

#include <algorithm>
#include <cmath>
#include <tuple>
#include <utility>

#include "platform/capture/gst_runtime.h"

namespace snapwire::capture {

namespace {

// What cameras usually offer when they describe their sizes and rates as ranges.
constexpr std::pair<int, int> kCommonSizes[] = {{160, 120},  {176, 144},  {320, 240},  {352, 288},
                                                {640, 480},  {800, 600},  {1024, 768}, {1280, 720},
                                                {1280, 960}, {1920, 1080}};
constexpr int kCommonRates[] = {5, 10, 15, 20, 25, 30, 50, 60};
constexpr int kPreferredWidth = 640;
constexpr int kPreferredHeight = 480;
constexpr double kPreferredRate = 30.0;

bool Allows(const GValue* field, const GValue* candidate) {
    GValue common = G_VALUE_INIT;
    if (!gst_value_intersect(&common, field, candidate))
        return false;
    g_value_unset(&common);
    return true;
}

bool AllowsInt(const GValue* field, int value) {
    GValue candidate = G_VALUE_INIT;
    g_value_init(&candidate, G_TYPE_INT);
    g_value_set_int(&candidate, value);
    const bool allowed = Allows(field, &candidate);
    g_value_unset(&candidate);
    return allowed;
}

bool AllowsFraction(const GValue* field, int numerator, int denominator) {
    GValue candidate = G_VALUE_INIT;
    g_value_init(&candidate, GST_TYPE_FRACTION);
    gst_value_set_fraction(&candidate, numerator, denominator);
    const bool allowed = Allows(field, &candidate);
    g_value_unset(&candidate);
    return allowed;
}

// The single values a field names outright (one value, or the items of a list).
template <typename Visit>
void ForEachExplicitValue(const GValue* field, Visit visit) {
    if (GST_VALUE_HOLDS_LIST(field)) {
        for (guint i = 0; i < gst_value_list_get_size(field); ++i) visit(gst_value_list_get_value(field, i));
    } else {
        visit(field);
    }
}

std::vector<std::pair<int, int>> SizesAllowed(const GValue* widthField, const GValue* heightField) {
    std::vector<int> widths, heights;
    ForEachExplicitValue(widthField, [&](const GValue* v) {
        if (G_VALUE_HOLDS_INT(v))
            widths.push_back(g_value_get_int(v));
    });
    ForEachExplicitValue(heightField, [&](const GValue* v) {
        if (G_VALUE_HOLDS_INT(v))
            heights.push_back(g_value_get_int(v));
    });
    std::vector<std::pair<int, int>> sizes;
    for (int w : widths)
        for (int h : heights) sizes.emplace_back(w, h);
    for (auto [w, h] : kCommonSizes) {
        if (AllowsInt(widthField, w) && AllowsInt(heightField, h))
            sizes.emplace_back(w, h);
    }
    return sizes;
}

std::vector<std::pair<int, int>> RatesAllowed(const GValue* rateField) {
    std::vector<std::pair<int, int>> rates;
    if (!rateField) {
        rates.emplace_back(0, 1);
        return rates;
    }
    ForEachExplicitValue(rateField, [&](const GValue* v) {
        if (GST_VALUE_HOLDS_FRACTION(v))
            rates.emplace_back(gst_value_get_fraction_numerator(v), gst_value_get_fraction_denominator(v));
    });
    for (int rate : kCommonRates) {
        if (AllowsFraction(rateField, rate, 1))
            rates.emplace_back(rate, 1);
    }
    return rates;
}

void AppendFormatsOf(const GstStructure* structure, std::vector<VideoFormat>& formats) {
    const QString media = QString::fromUtf8(gst_structure_get_name(structure));
    if (media != QLatin1String(kRawVideo) && media != QLatin1String(kJpegVideo))
        return;
    const GValue* widthField = gst_structure_get_value(structure, "width");
    const GValue* heightField = gst_structure_get_value(structure, "height");
    if (!widthField || !heightField)
        return;
    const auto rates = RatesAllowed(gst_structure_get_value(structure, "framerate"));
    for (auto [width, height] : SizesAllowed(widthField, heightField)) {
        if (width <= 0 || height <= 0)
            continue;
        for (auto [numerator, denominator] : rates)
            formats.push_back(VideoFormat{media, width, height, numerator, denominator});
    }
}

auto SortKey(const VideoFormat& f) {
    return std::make_tuple(f.IsJpeg(), f.width * f.height, f.width, f.FramesPerSecond());
}

}  // namespace

double VideoFormat::FramesPerSecond() const {
    return rateDenominator > 0 ? double(rateNumerator) / rateDenominator : 0.0;
}

QString VideoFormat::Caps() const {
    QString caps = QStringLiteral("%1,width=%2,height=%3").arg(media).arg(width).arg(height);
    if (rateNumerator > 0)
        caps += QStringLiteral(",framerate=%1/%2").arg(rateNumerator).arg(rateDenominator);
    return caps;
}

QString VideoFormat::SizeLabel() const {
    QString label = QStringLiteral("%1 x %2").arg(width).arg(height);
    if (IsJpeg())
        label += QStringLiteral(" (Motion-JPEG)");
    return label;
}

QString VideoFormat::RateLabel() const {
    if (rateNumerator <= 0)
        return QStringLiteral("variable");
    return QStringLiteral("%1 fps").arg(FramesPerSecond(), 0, 'g', 4);
}

std::vector<VideoFormat> FormatsFromCaps(const GstCaps* caps) {
    std::vector<VideoFormat> formats;
    if (!caps || gst_caps_is_any(caps))
        return formats;
    for (guint i = 0; i < gst_caps_get_size(caps); ++i)
        AppendFormatsOf(gst_caps_get_structure(caps, i), formats);
    std::stable_sort(formats.begin(), formats.end(),
                     [](const VideoFormat& a, const VideoFormat& b) { return SortKey(a) < SortKey(b); });
    formats.erase(std::unique(formats.begin(), formats.end()), formats.end());
    return formats;
}

std::vector<VideoFormat> FormatsFromCapsString(const QString& caps) {
    EnsureGstreamer();
    GstCapsPtr parsed(gst_caps_from_string(caps.toUtf8().constData()));
    return FormatsFromCaps(parsed.get());
}

VideoFormat PreferredFormat(const std::vector<VideoFormat>& offered) {
    if (offered.empty())
        return VideoFormat{};
    const bool anyRaw =
        std::any_of(offered.begin(), offered.end(), [](const auto& f) { return !f.IsJpeg(); });
    std::vector<VideoFormat> candidates;
    std::copy_if(offered.begin(), offered.end(), std::back_inserter(candidates),
                 [&](const auto& f) { return f.IsJpeg() != anyRaw; });
    // Sorted by area: the last one not above the preferred size, else the smallest.
    const VideoFormat* size = &candidates.front();
    for (const auto& f : candidates) {
        if (f.width * f.height <= kPreferredWidth * kPreferredHeight)
            size = &f;
    }
    for (const auto& f : candidates) {
        if (f.width == kPreferredWidth && f.height == kPreferredHeight)
            size = &f;
    }
    const VideoFormat* best = size;
    for (const auto& f : candidates) {
        if (f.SameSize(*size) && std::abs(f.FramesPerSecond() - kPreferredRate) <
                                     std::abs(best->FramesPerSecond() - kPreferredRate))
            best = &f;
    }
    return *best;
}

}  // namespace snapwire::capture
