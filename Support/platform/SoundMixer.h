#pragma once
// The voices now playing, summed into the audio output's buffer.
// Failures: none.

#include "platform/SoundFile.h"

#include <cstdint>
#include <memory>
#include <vector>

namespace platform {

// Not locked: the caller keeps it away from the audio callback while changing it.
class SoundMixer {
  public:
    // More plays at once than this drop the oldest.
    static constexpr size_t kMaxVoices = 32;

    void setChannels(int channels) { channels_ = channels; }
    // Starts a voice of `sound` (already in the output's format) under `id`.
    void play(uint32_t id, std::shared_ptr<const SoundBuffer> sound);
    void stop(uint32_t id);
    void stopAll() { voices_.clear(); }
    // Writes `frames` frames (all channels) to `out`, clipped to [-1, 1].
    void mix(float* out, size_t frames);
    size_t playingVoices() const { return voices_.size(); }

  private:
    struct Voice {
        uint32_t id;
        std::shared_ptr<const SoundBuffer> sound;
        size_t position; // in samples
    };
    int channels_ = 2;
    std::vector<Voice> voices_;
};

} // namespace platform
