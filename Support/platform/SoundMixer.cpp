#include "platform/SoundMixer.h"

#include <algorithm>

namespace platform {

void SoundMixer::play(uint32_t id, std::shared_ptr<const SoundBuffer> sound) {
    if (!sound || sound->channels != channels_ || sound->samples.empty()) return;
    if (voices_.size() >= kMaxVoices) voices_.erase(voices_.begin());
    voices_.push_back(Voice{id, std::move(sound), 0});
}

void SoundMixer::stop(uint32_t id) {
    std::erase_if(voices_, [id](const Voice& v) { return v.id == id; });
}

void SoundMixer::mix(float* out, size_t frames) {
    const size_t count = frames * static_cast<size_t>(channels_);
    std::fill(out, out + count, 0.0f);
    for (Voice& v : voices_) {
        const std::vector<float>& samples = v.sound->samples;
        size_t n = std::min(count, samples.size() - v.position);
        const float* from = samples.data() + v.position;
        for (size_t i = 0; i < n; ++i)
            out[i] += from[i];
        v.position += n;
    }
    std::erase_if(voices_, [](const Voice& v) { return v.position >= v.sound->samples.size(); });
    for (size_t i = 0; i < count; ++i)
        out[i] = std::clamp(out[i], -1.0f, 1.0f);
}

} // namespace platform
