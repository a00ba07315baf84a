// The game's three sounds, synthesised: a wooden tick for a move, a bright
// arpeggio for a solved level and a short fanfare for the last level.
// Written as 16-bit PCM in CAF files.

#include "ResourceGenerator.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <vector>

namespace {

constexpr int kRate = 44100;
constexpr double kTwoPi = 2 * std::numbers::pi;

using Samples = std::vector<double>;

// A fixed-seed generator, so the noise is the same on every run.
class Noise {
  public:
    double next() {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / double(1 << 24) * 2 - 1;
    }

  private:
    uint32_t state_ = 0x2545f491u;
};

// A struck, bell-like note: a few harmonics, each dying away faster than the
// one below, with a soft attack so it does not click.
void addNote(Samples& out, double start, double frequency, double duration, double gain) {
    const struct {
        double ratio, level, decay;
    } partials[] = {{1, 1.0, 2.6}, {2, 0.35, 4.5}, {3, 0.12, 7.0}, {4.2, 0.05, 11.0}};
    const size_t first = static_cast<size_t>(start * kRate);
    const size_t count = static_cast<size_t>(duration * kRate);
    out.resize(std::max(out.size(), first + count), 0.0);
    for (size_t i = 0; i < count; ++i) {
        const double t = double(i) / kRate;
        const double attack = std::min(1.0, t / 0.006);
        const double release = std::min(1.0, (duration - t) / 0.03);
        double v = 0;
        for (const auto& p : partials)
            v += p.level * std::exp(-p.decay * t) * std::sin(kTwoPi * frequency * p.ratio * t);
        out[first + i] += gain * attack * release * v;
    }
}

// Scales the sound to `peak` and writes it; false with a message on failure.
bool writeCaf(const std::string& path, Samples samples, double peak) {
    double loudest = 0;
    for (double s : samples)
        loudest = std::max(loudest, std::abs(s));
    std::vector<short> pcm(samples.size());
    for (size_t i = 0; i < samples.size(); ++i)
        pcm[i] = static_cast<short>(std::lround(std::clamp(samples[i] / loudest * peak, -1.0, 1.0) * 32767));

    SF_INFO info{};
    info.samplerate = kRate;
    info.channels = 1;
    info.format = SF_FORMAT_CAF | SF_FORMAT_PCM_16;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!file) {
        std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), sf_strerror(nullptr));
        return false;
    }
    const sf_count_t written = sf_write_short(file, pcm.data(), static_cast<sf_count_t>(pcm.size()));
    const bool ok = written == static_cast<sf_count_t>(pcm.size());
    if (!ok) std::fprintf(stderr, "cannot write %s: %s\n", path.c_str(), sf_strerror(file));
    sf_close(file);
    return ok;
}

// A stick put down on the table: a short filtered knock with a hollow tone.
Samples move() {
    Samples out(static_cast<size_t>(0.11 * kRate));
    Noise noise;
    double low = 0;
    for (size_t i = 0; i < out.size(); ++i) {
        const double t = double(i) / kRate;
        low += 0.18 * (noise.next() - low);
        const double knock = low * std::exp(-t / 0.006) * 2.2;
        const double body = std::sin(kTwoPi * 620 * t) * std::exp(-t / 0.018) +
                            0.5 * std::sin(kTwoPi * 1370 * t) * std::exp(-t / 0.009);
        const double fade = std::min({1.0, t / 0.0008, (0.11 - t) / 0.01});
        out[i] = (knock + body) * fade;
    }
    return out;
}

// C major rising: C5 E5 G5 C6.
Samples success() {
    Samples out;
    const double notes[] = {523.25, 659.26, 783.99, 1046.50};
    for (int i = 0; i < 4; ++i)
        addNote(out, i * 0.11, notes[i], 0.9 - i * 0.05, i == 3 ? 0.9 : 0.7);
    return out;
}

// A quick run up to a held C major chord with a little shimmer on top.
Samples win() {
    Samples out;
    const double run[] = {392.00, 523.25, 659.26, 783.99};
    for (int i = 0; i < 4; ++i)
        addNote(out, i * 0.09, run[i], 0.5, 0.6);
    const double chord[] = {523.25, 659.26, 783.99, 1046.50, 1318.51};
    for (int i = 0; i < 5; ++i)
        addNote(out, 0.4 + i * 0.012, chord[i], 1.6, i == 4 ? 0.35 : 0.6);
    addNote(out, 0.85, 1567.98, 0.9, 0.25);
    addNote(out, 1.0, 2093.00, 0.9, 0.2);
    return out;
}

} // namespace

bool writeSounds(const std::string& dir) {
    return writeCaf(dir + "/Move.caf", move(), 0.7) && writeCaf(dir + "/Success.caf", success(), 0.8) &&
           writeCaf(dir + "/Win.caf", win(), 0.85);
}
