#pragma once

// Picture formats a capture device offers: frame size, frame rate and whether the
// device sends raw pixels or Motion-JPEG. The format dialog lists them and the
// device's source is asked for exactly the one chosen.

#include <QString>
#include <vector>

typedef struct _GstCaps GstCaps;

namespace snapwire::capture {

inline constexpr char kRawVideo[] = "video/x-raw";
inline constexpr char kJpegVideo[] = "image/jpeg";

struct VideoFormat {
    QString media = QString::fromLatin1(kRawVideo);
    int width = 0;
    int height = 0;
    int rateNumerator = 0;  // 0: the device's own rate
    int rateDenominator = 1;

    bool operator==(const VideoFormat&) const = default;
    bool IsJpeg() const { return media == QLatin1String(kJpegVideo); }
    bool SameSize(const VideoFormat& other) const {
        return media == other.media && width == other.width && height == other.height;
    }
    double FramesPerSecond() const;
    QString Caps() const;       // e.g. "video/x-raw,width=640,height=480,framerate=30/1"
    QString SizeLabel() const;  // e.g. "640 x 480" or "1280 x 720 (Motion-JPEG)"
    QString RateLabel() const;  // e.g. "30 fps" or "7.5 fps"
};

// Every concrete size and rate the caps allow, raw before Motion-JPEG, smaller
// sizes first, without repeats. Ranges are offered as the usual sizes and rates
// that fall inside them.
std::vector<VideoFormat> FormatsFromCaps(const GstCaps* caps);
std::vector<VideoFormat> FormatsFromCapsString(const QString& caps);

// The format a device starts with: raw 640 x 480 at the rate nearest 30 fps when
// offered, otherwise the largest size not above it (or the smallest there is).
// A default-constructed format (size 0) when nothing is offered.
VideoFormat PreferredFormat(const std::vector<VideoFormat>& offered);

}  // namespace snapwire::capture
