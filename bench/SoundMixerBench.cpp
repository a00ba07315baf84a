// The mixer runs inside the audio callback: one device buffer must take a
// tiny fraction of its own playing time (1024 frames at 48 kHz = 21 ms).

#include "platform/SoundMixer.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

static void BM_MixDeviceBuffer(benchmark::State& state) {
    const size_t voices = static_cast<size_t>(state.range(0));
    auto tone = std::make_shared<platform::SoundBuffer>();
    tone->rate = 48000;
    tone->channels = 2;
    tone->samples.resize(48000 * 2);
    for (size_t i = 0; i < tone->samples.size(); ++i)
        tone->samples[i] = 0.1f * std::sin(static_cast<float>(i) * 0.01f);
    platform::SoundMixer mixer;
    std::vector<float> out(1024 * 2);
    for (auto _ : state) {
        if (mixer.playingVoices() < voices) {
            state.PauseTiming();
            while (mixer.playingVoices() < voices)
                mixer.play(1, tone);
            state.ResumeTiming();
        }
        mixer.mix(out.data(), 1024);
        benchmark::DoNotOptimize(out.data());
    }
}
BENCHMARK(BM_MixDeviceBuffer)->Arg(1)->Arg(8)->Arg(32);
