#pragma once
// The audio device: an SDL output whose callback mixes a SoundMixer's voices.
// Failures: logged here.

#include "platform/SoundMixer.h"

#include <cstdint>
#include <functional>

namespace platform {

class AudioOutput {
  public:
    ~AudioOutput() { close(); }

    // Opens the desktop's default output (SDL's dummy driver when running
    // headless, unless SDL_AUDIODRIVER says otherwise). False when there is
    // none, logged once here.
    bool open();
    // Stops the callback (waiting for the audio thread) and closes the device.
    void close();
    bool isOpen() const { return device_ != 0; }
    int rate() const { return rate_; }
    int channels() const { return channels_; }

    // Runs `change` on the mixer with the audio thread held off.
    void withMixer(const std::function<void(SoundMixer&)>& change);

  private:
    static void callback(void* self, uint8_t* stream, int length);

    uint32_t device_ = 0;
    bool subsystem_ = false;
    int rate_ = 0;
    int channels_ = 0;
    SoundMixer mixer_;
};

} // namespace platform
