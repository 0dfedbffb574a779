#include "options/movie_rules.h"

#include "settings_store/conversions.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <stdexcept>

namespace snapwire::options {

namespace {

constexpr int kDefaultFrameRate = 30;
constexpr int kMinFrameRate = 1;
constexpr int kMaxFrameRate = 100;

std::int32_t Fits32Bits(std::int64_t value) {
    if (value < std::numeric_limits<std::int32_t>::min() || value > std::numeric_limits<std::int32_t>::max())
        throw std::out_of_range("the value does not fit a sound format field");
    return static_cast<std::int32_t>(value);
}

}  // namespace

capture::SoundFormat PcmSoundFormat(bool mono, bool eightBits, const QString& frequencyText) {
    const int channels = mono ? 1 : 2;
    const int bytesPerSample = eightBits ? 1 : 2;
    const double frequency = LeadingNumber(frequencyText);
    capture::SoundFormat format;
    format.formatTag = 1;
    format.channels = channels;
    format.samplesPerSec = Fits32Bits(RoundHalfEven(frequency));
    format.avgBytesPerSec = Fits32Bits(RoundHalfEven(frequency * bytesPerSample * channels));
    format.blockAlign = bytesPerSample * channels;
    format.bitsPerSample = eightBits ? 8 : 16;
    return format;
}

int StoredFrameRate(const QString& stored) {
    const std::int64_t rate = LeadingInteger(stored);
    if (rate == 0)
        return kDefaultFrameRate;
    return static_cast<int>(std::clamp<std::int64_t>(rate, kMinFrameRate, kMaxFrameRate));
}

QString SecondsCaption(const QString& secondsText) {
    return secondsText == QLatin1String("1") ? QStringLiteral("second") : QStringLiteral("seconds");
}

QString OverwriteQuestion(const QString& path) {
    return QLatin1Char('\'') + path + QLatin1Char('\'') + QLatin1Char(' ') + QStringLiteral("already exist") +
           QLatin1Char('\r') + QLatin1Char('\r') + QStringLiteral("Overwrite?");
}

}  // namespace snapwire::options
