#include "platform/AudioOutput.h"

#include "platform/Log.h"
#include "platform/Surface.h"

#include <SDL2/SDL.h>

namespace platform {

bool AudioOutput::open() {
    if (isOpen()) return true;
    // Headless runs make no noise; an explicit SDL_AUDIODRIVER still wins.
    if (isHeadless()) SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        ccLogf("No audio output (%s); sounds are silent", SDL_GetError());
        return false;
    }
    subsystem_ = true;
    SDL_AudioSpec want{}, got{};
    want.freq = 48000;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = callback;
    want.userdata = this;
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &got,
                                  SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (device_ == 0) {
        ccLogf("No audio output (%s); sounds are silent", SDL_GetError());
        close();
        return false;
    }
    rate_ = got.freq;
    channels_ = got.channels;
    mixer_.setChannels(channels_);
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void AudioOutput::close() {
    if (device_ != 0) SDL_CloseAudioDevice(device_); // waits for the audio thread
    device_ = 0;
    mixer_.stopAll();
    if (subsystem_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    subsystem_ = false;
}

void AudioOutput::withMixer(const std::function<void(SoundMixer&)>& change) {
    if (!isOpen()) return;
    SDL_LockAudioDevice(device_);
    change(mixer_);
    SDL_UnlockAudioDevice(device_);
}

void AudioOutput::callback(void* self, uint8_t* stream, int length) {
    auto* output = static_cast<AudioOutput*>(self);
    size_t frameBytes = sizeof(float) * static_cast<size_t>(output->channels_);
    output->mixer_.mix(reinterpret_cast<float*>(stream), static_cast<size_t>(length) / frameBytes);
}

} // namespace platform
