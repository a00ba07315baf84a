#include "platform/SoundFile.h"

#include "platform/File.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <cstring>

namespace platform {

namespace {

// No short sound needs more: 30 s of 96 kHz stereo in 32-bit samples is 23 MB.
constexpr size_t kMaxFileSize = 32 << 20;

// libsndfile reads the bytes already in memory through these.
struct MemoryFile {
    const std::vector<uint8_t>& bytes;
    sf_count_t position = 0;
    sf_count_t size() const { return static_cast<sf_count_t>(bytes.size()); }
};

sf_count_t memoryLength(void* user) {
    return static_cast<MemoryFile*>(user)->size();
}

sf_count_t memorySeek(sf_count_t offset, int whence, void* user) {
    auto* f = static_cast<MemoryFile*>(user);
    sf_count_t base = whence == SEEK_CUR ? f->position : whence == SEEK_END ? f->size() : 0;
    if (offset < -base || offset > f->size() - base) return -1;
    return f->position = base + offset;
}

sf_count_t memoryRead(void* to, sf_count_t count, void* user) {
    auto* f = static_cast<MemoryFile*>(user);
    sf_count_t n = std::clamp<sf_count_t>(count, 0, f->size() - f->position);
    if (n > 0) std::memcpy(to, f->bytes.data() + f->position, static_cast<size_t>(n));
    f->position += n;
    return n;
}

sf_count_t memoryWrite(const void*, sf_count_t, void*) {
    return 0;
}

sf_count_t memoryTell(void* user) {
    return static_cast<MemoryFile*>(user)->position;
}

} // namespace

DecodeResult decodeSoundFile(const std::string& path, SoundBuffer& out) {
    out = SoundBuffer{};
    std::vector<uint8_t> bytes;
    switch (readFile(path, kMaxFileSize, bytes)) {
    case ReadFileResult::Ok:
        break;
    case ReadFileResult::TooLarge:
        return DecodeResult::TooLong;
    default:
        return DecodeResult::Unreadable;
    }
    return decodeSoundData(bytes, out);
}

DecodeResult decodeSoundData(const std::vector<uint8_t>& bytes, SoundBuffer& out) {
    out = SoundBuffer{};
    if (bytes.size() > kMaxFileSize) return DecodeResult::TooLong;
    MemoryFile memory{bytes};
    SF_VIRTUAL_IO io{memoryLength, memorySeek, memoryRead, memoryWrite, memoryTell};
    SF_INFO info{};
    SNDFILE* file = sf_open_virtual(&io, SFM_READ, &info, &memory);
    if (!file) return DecodeResult::Unsupported;
    auto finish = [&](DecodeResult result) {
        sf_close(file);
        if (result != DecodeResult::Ok) out = SoundBuffer{};
        return result;
    };
    if (info.channels < 1 || info.channels > 8 || info.samplerate < 1 || info.samplerate > 192000)
        return finish(DecodeResult::Unsupported);

    // The header's frame count is not trusted: read in blocks up to the limit.
    const size_t maxFrames = static_cast<size_t>(kMaxSystemSoundSeconds * info.samplerate);
    const size_t channels = static_cast<size_t>(info.channels);
    out.rate = info.samplerate;
    out.channels = info.channels;
    const size_t block = 4096;
    for (;;) {
        size_t have = out.samples.size() / channels;
        if (have > maxFrames) return finish(DecodeResult::TooLong);
        out.samples.resize((have + block) * channels);
        sf_count_t got = sf_readf_float(file, out.samples.data() + have * channels, block);
        if (got < 0) got = 0;
        out.samples.resize((have + static_cast<size_t>(got)) * channels);
        if (got == 0) break;
    }
    if (out.frames() > maxFrames) return finish(DecodeResult::TooLong);
    if (sf_error(file) != SF_ERR_NO_ERROR && out.samples.empty()) return finish(DecodeResult::Unsupported);
    // Float files may carry anything; keep the mix finite.
    for (float& v : out.samples)
        if (!std::isfinite(v)) v = 0;
    out.samples.shrink_to_fit();
    return finish(DecodeResult::Ok);
}

} // namespace platform
