#include "support/TestSounds.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <numbers>
#include <vector>

bool writeTestSound(const std::string& path, const TestSound& sound) {
    SF_INFO info{};
    info.samplerate = sound.rate;
    info.channels = sound.channels;
    info.format = (sound.container == TestSound::CAF ? SF_FORMAT_CAF : SF_FORMAT_WAV) | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) return false;
    const sf_count_t frames = static_cast<sf_count_t>(sound.seconds * sound.rate);
    std::vector<float> samples(static_cast<size_t>(frames) * static_cast<size_t>(sound.channels));
    for (sf_count_t f = 0; f < frames; ++f) {
        float v = sound.amplitude * static_cast<float>(std::sin(2 * std::numbers::pi * sound.frequency *
                                                                static_cast<double>(f) / sound.rate));
        for (int c = 0; c < sound.channels; ++c)
            samples[static_cast<size_t>(f) * sound.channels + c] = v;
    }
    bool ok = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && ok;
}

SoundRecorder::SoundRecorder() {
    previous_ = platform::setSystemSoundObserver([this](const platform::SystemSoundEvent& e) {
        events_.push_back(e);
        if (previous_) previous_(e);
    });
}

SoundRecorder::~SoundRecorder() {
    platform::setSystemSoundObserver(std::move(previous_));
}

std::vector<std::string> SoundRecorder::playedNames() const {
    std::vector<std::string> names;
    for (const platform::SystemSoundEvent& e : events_)
        if (!e.vibration) names.push_back(std::filesystem::path(e.path).stem().string());
    return names;
}

int SoundRecorder::vibrationCount() const {
    return static_cast<int>(
        std::count_if(events_.begin(), events_.end(), [](const auto& e) { return e.vibration; }));
}
