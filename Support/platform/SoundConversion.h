#pragma once
// Sounds brought to the audio output's format: resampled, and channels
// mapped (a layout SDL does not know is folded to mono first).
// Failures: worded by the caller (see Log.h).

#include "platform/SoundFile.h"

namespace platform {

// Converts `in` to `rate` and `channels`; false when it cannot.
bool convertSound(const SoundBuffer& in, int rate, int channels, SoundBuffer& out);

} // namespace platform
