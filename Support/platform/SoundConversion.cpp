#include "platform/SoundConversion.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cstdint>

namespace platform {

namespace {
SoundBuffer downmixToMono(const SoundBuffer& in) {
    SoundBuffer mono;
    mono.rate = in.rate;
    mono.channels = 1;
    size_t frames = in.frames();
    mono.samples.resize(frames);
    for (size_t f = 0; f < frames; ++f) {
        float sum = 0;
        for (int c = 0; c < in.channels; ++c)
            sum += in.samples[f * static_cast<size_t>(in.channels) + c];
        mono.samples[f] = sum / static_cast<float>(in.channels);
    }
    return mono;
}
} // namespace

bool convertSound(const SoundBuffer& in, int rate, int channels, SoundBuffer& out) {
    if (in.rate <= 0 || in.channels <= 0 || rate <= 0 || channels <= 0) return false;
    if (in.rate == rate && in.channels == channels) {
        out = in;
        return true;
    }
    // The one-shot converter, not SDL_AudioStream: the stream's resampler
    // drops the last few milliseconds of a sound.
    const SoundBuffer* source = &in;
    SoundBuffer mono;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, AUDIO_F32SYS, static_cast<Uint8>(in.channels), in.rate, AUDIO_F32SYS,
                          static_cast<Uint8>(channels), rate) < 0) {
        // A channel layout SDL does not map: fold it to mono and spread that.
        mono = downmixToMono(in);
        source = &mono;
        if (SDL_BuildAudioCVT(&cvt, AUDIO_F32SYS, 1, in.rate, AUDIO_F32SYS, static_cast<Uint8>(channels),
                              rate) < 0)
            return false;
    }
    const size_t bytes = source->samples.size() * sizeof(float);
    if (bytes > static_cast<size_t>(INT32_MAX / std::max(cvt.len_mult, 1))) return false;
    std::vector<float> work((bytes * static_cast<size_t>(cvt.len_mult) + sizeof(float) - 1) / sizeof(float) +
                            1);
    std::copy(source->samples.begin(), source->samples.end(), work.begin());
    cvt.buf = reinterpret_cast<Uint8*>(work.data());
    cvt.len = static_cast<int>(bytes);
    if (bytes > 0 && SDL_ConvertAudio(&cvt) != 0) return false;
    const size_t frameBytes = sizeof(float) * static_cast<size_t>(channels);
    const size_t outBytes =
        bytes > 0 ? static_cast<size_t>(std::max(cvt.len_cvt, 0)) / frameBytes * frameBytes : 0;
    work.resize(outBytes / sizeof(float));
    work.shrink_to_fit(); // the converter needed room for the worst case only while it ran
    out = SoundBuffer{rate, channels, std::move(work)};
    return true;
}

} // namespace platform
