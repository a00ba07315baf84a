// Sound files: any bytes decode to a short, finite sound or to a refusal.
#include "platform/SoundFile.h"

#include <cmath>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::SoundBuffer sound;
    if (platform::decodeSoundData(std::vector<uint8_t>(data, data + size), sound) != platform::DecodeResult::Ok)
        return 0;
    if (sound.channels < 1 || sound.rate < 1 || sound.samples.size() % size_t(sound.channels) != 0) std::abort();
    if (double(sound.frames()) > platform::kMaxSystemSoundSeconds * sound.rate + 1) std::abort();
    for (float v : sound.samples)
        if (!std::isfinite(v)) std::abort();
    return 0;
}
