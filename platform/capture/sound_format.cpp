#include "platform/capture/sound_format.h"

namespace snapwire::capture {

namespace {

[[noreturn]] void Refuse(const QString& why) {
    throw CaptureError(kErrorInvalidValue, why);
}

}  // namespace

SoundFormat CheckedSoundFormat(const SoundFormat& asked) {
    if (asked.formatTag != 1)
        Refuse(QStringLiteral("Only PCM sound (format tag 1) can be recorded"));
    if (asked.channels != 1 && asked.channels != 2)
        Refuse(QStringLiteral("Sound can be recorded in 1 or 2 channels, not %1").arg(asked.channels));
    if (asked.bitsPerSample != 8 && asked.bitsPerSample != 16)
        Refuse(QStringLiteral("Sound can be recorded with 8 or 16 bits, not %1").arg(asked.bitsPerSample));
    if (asked.samplesPerSec < kMinimumSampleRate || asked.samplesPerSec > kMaximumSampleRate)
        Refuse(QStringLiteral("Sound can be recorded at %1 to %2 samples a second, not %3")
                   .arg(kMinimumSampleRate)
                   .arg(kMaximumSampleRate)
                   .arg(asked.samplesPerSec));
    SoundFormat used = asked;
    used.blockAlign = asked.channels * asked.bitsPerSample / 8;
    used.avgBytesPerSec = asked.samplesPerSec * used.blockAlign;
    return used;
}

QString SoundCaps(const SoundFormat& format) {
    return QStringLiteral("audio/x-raw,format=%1,rate=%2,channels=%3,layout=interleaved")
        .arg(format.bitsPerSample == 8 ? QStringLiteral("U8") : QStringLiteral("S16LE"))
        .arg(format.samplesPerSec)
        .arg(format.channels);
}

}  // namespace snapwire::capture
