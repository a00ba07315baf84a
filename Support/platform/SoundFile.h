#pragma once
// Sound files decoded into memory: anything libsndfile reads (WAV, CAF,
// AIFF, FLAC, Ogg, ...), read through the safe file reader.
// Failures: worded by the caller (see Log.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// Interleaved float samples.
struct SoundBuffer {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;
    size_t frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

// Short sounds only; this bounds the memory one can take.
constexpr double kMaxSystemSoundSeconds = 30;

enum class DecodeResult {
    Ok,
    Unreadable,  // missing, not a regular file, or not readable
    Unsupported, // not sound data that can be decoded
    TooLong,     // longer than kMaxSystemSoundSeconds (or a file too large to be a short sound)
};

// Decodes the whole file at `path`; logs nothing (the caller words the line).
DecodeResult decodeSoundFile(const std::string& path, SoundBuffer& out);
// The same for a file's bytes already in memory.
DecodeResult decodeSoundData(const std::vector<uint8_t>& bytes, SoundBuffer& out);

} // namespace platform
