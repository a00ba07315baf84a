#include "platform/SystemSound.h"

#include "platform/Log.h"
#include "platform/Surface.h"

#include <SDL2/SDL.h>
#include <fcntl.h>
#include <sndfile.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>

namespace platform {

// ---- decoding and conversion

int32_t decodeSoundFile(const std::string& path, SoundBuffer& out) {
    out = SoundBuffer{};
    if (path.empty() || path.find('\0') != std::string::npos) return kSystemSoundUnreadableFile;
    // Non-blocking so that a FIFO in the file's place cannot hang us.
    int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (fd < 0) return kSystemSoundUnreadableFile;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return kSystemSoundUnreadableFile;
    }
    SF_INFO info{};
    SNDFILE* file = sf_open_fd(fd, SFM_READ, &info, SF_FALSE);
    if (!file) {
        ::close(fd);
        return kSystemSoundUnsupportedFile;
    }
    auto finish = [&](int32_t status) {
        sf_close(file);
        ::close(fd);
        if (status != kSystemSoundNoError) out = SoundBuffer{};
        return status;
    };
    if (info.channels < 1 || info.channels > 8 || info.samplerate < 1 || info.samplerate > 192000)
        return finish(kSystemSoundUnsupportedFile);

    // The header's frame count is not trusted: read in blocks up to the limit.
    const size_t maxFrames = static_cast<size_t>(kMaxSystemSoundSeconds * info.samplerate);
    const size_t channels = static_cast<size_t>(info.channels);
    out.rate = info.samplerate;
    out.channels = info.channels;
    const size_t block = 4096;
    for (;;) {
        size_t have = out.samples.size() / channels;
        if (have > maxFrames) return finish(kSystemSoundTooLong);
        out.samples.resize((have + block) * channels);
        sf_count_t got = sf_readf_float(file, out.samples.data() + have * channels, block);
        if (got < 0) got = 0;
        out.samples.resize((have + static_cast<size_t>(got)) * channels);
        if (got == 0) break;
    }
    if (out.frames() > maxFrames) return finish(kSystemSoundTooLong);
    if (sf_error(file) != SF_ERR_NO_ERROR && out.samples.empty()) return finish(kSystemSoundUnsupportedFile);
    // Float files may carry anything; keep the mix finite.
    for (float& v : out.samples)
        if (!std::isfinite(v)) v = 0;
    out.samples.shrink_to_fit();
    return finish(kSystemSoundNoError);
}

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

// ---- mixing

void SoundMixer::play(SystemSoundID id, std::shared_ptr<const SoundBuffer> sound) {
    if (!sound || sound->channels != channels_ || sound->samples.empty()) return;
    if (voices_.size() >= kMaxVoices) voices_.erase(voices_.begin());
    voices_.push_back(Voice{id, std::move(sound), 0});
}

void SoundMixer::stop(SystemSoundID id) {
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

// ---- the service

namespace {

// What a file was when it was decoded: a registration of the same unchanged
// file shares the decoded samples instead of decoding them again.
struct FileStamp {
    off_t size = -1;
    timespec modified{};
    bool operator==(const FileStamp& o) const {
        return size == o.size && modified.tv_sec == o.modified.tv_sec && modified.tv_nsec == o.modified.tv_nsec;
    }
};

FileStamp stampOf(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return {};
    return FileStamp{st.st_size, st.st_mtim};
}

struct RegisteredSound {
    std::string path;
    FileStamp stamp;
    std::shared_ptr<const SoundBuffer> source;
    std::shared_ptr<const SoundBuffer> output; // in the device's format, made when first needed
    bool conversionFailed = false;
};

enum class DeviceState { NotTried, Open, Unavailable };

struct SoundService {
    std::map<SystemSoundID, RegisteredSound> sounds;
    // Clear of the small ids the handheld reserves (the vibration among them).
    SystemSoundID nextID = 0x1000;

    DeviceState device = DeviceState::NotTried;
    bool audioSubsystem = false;
    SDL_AudioDeviceID deviceID = 0;
    SDL_AudioSpec spec{};
    SoundMixer mixer;

    DeviceState rumble = DeviceState::NotTried;
    bool hapticSubsystem = false;
    SDL_Haptic* haptic = nullptr;

    bool exitHookInstalled = false;
    SystemSoundObserver observer;
};

SoundService& service() {
    // Built before the exit hook is installed, so the hook runs before its destructor.
    static SoundService s;
    return s;
}

void shutdownAtExit() {
    shutdownSystemSounds();
}

void installExitHook(SoundService& s) {
    if (s.exitHookInstalled) return;
    s.exitHookInstalled = true;
    std::atexit(shutdownAtExit);
}

void audioCallback(void* userdata, Uint8* stream, int length) {
    auto* s = static_cast<SoundService*>(userdata);
    size_t frameBytes = sizeof(float) * static_cast<size_t>(s->spec.channels);
    s->mixer.mix(reinterpret_cast<float*>(stream), static_cast<size_t>(length) / frameBytes);
}

void openDevice(SoundService& s) {
    s.device = DeviceState::Unavailable;
    installExitHook(s);
    // Headless runs make no noise; an explicit SDL_AUDIODRIVER still wins.
    if (isHeadless()) SDL_SetHint(SDL_HINT_AUDIODRIVER, "dummy");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        ccLogf("No audio output (%s); sounds are silent", SDL_GetError());
        return;
    }
    s.audioSubsystem = true;
    SDL_AudioSpec want{};
    want.freq = 48000;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = audioCallback;
    want.userdata = &s;
    s.deviceID = SDL_OpenAudioDevice(nullptr, 0, &want, &s.spec,
                                     SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE);
    if (s.deviceID == 0) {
        ccLogf("No audio output (%s); sounds are silent", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        s.audioSubsystem = false;
        return;
    }
    s.mixer.setChannels(s.spec.channels);
    s.device = DeviceState::Open;
    SDL_PauseAudioDevice(s.deviceID, 0);
}

// The sound in the device's format, converted once.
std::shared_ptr<const SoundBuffer> outputFor(SoundService& s, RegisteredSound& sound) {
    if (sound.output && sound.output->rate == s.spec.freq && sound.output->channels == s.spec.channels)
        return sound.output;
    if (sound.conversionFailed) return nullptr;
    auto converted = std::make_shared<SoundBuffer>();
    if (!convertSound(*sound.source, s.spec.freq, s.spec.channels, *converted)) {
        sound.conversionFailed = true;
        ccLogf("Cannot convert %s to the audio output's format; it stays silent", sound.path.c_str());
        return nullptr;
    }
    sound.output = std::move(converted);
    return sound.output;
}

void probeRumble(SoundService& s) {
    s.rumble = DeviceState::Unavailable;
    installExitHook(s);
    if (isHeadless()) {
        ccLog("Vibration is left out: running headless");
        return;
    }
    if (SDL_InitSubSystem(SDL_INIT_HAPTIC) != 0) {
        ccLogf("Vibration is left out: no haptic support (%s)", SDL_GetError());
        return;
    }
    s.hapticSubsystem = true;
    for (int i = 0; i < SDL_NumHaptics(); ++i) {
        SDL_Haptic* h = SDL_HapticOpen(i);
        if (!h) continue;
        if (SDL_HapticRumbleSupported(h) == SDL_TRUE && SDL_HapticRumbleInit(h) == 0) {
            s.haptic = h;
            s.rumble = DeviceState::Open;
            return;
        }
        SDL_HapticClose(h);
    }
    ccLog("Vibration is left out: no device here can rumble");
    SDL_QuitSubSystem(SDL_INIT_HAPTIC);
    s.hapticSubsystem = false;
}

void notify(SoundService& s, const SystemSoundEvent& event) {
    if (s.observer) s.observer(event);
}

} // namespace

int32_t createSystemSound(const std::string& path, SystemSoundID* outID) {
    if (!outID) return kSystemSoundBadArgument;
    SoundService& s = service();
    RegisteredSound sound;
    sound.path = path;
    sound.stamp = stampOf(path);
    // Every board registers the same few files: share what an earlier registration decoded.
    auto same = std::find_if(s.sounds.begin(), s.sounds.end(), [&](const auto& entry) {
        return entry.second.path == path && sound.stamp.size >= 0 && entry.second.stamp == sound.stamp;
    });
    if (same != s.sounds.end()) {
        sound.source = same->second.source;
        sound.output = same->second.output;
        sound.conversionFailed = same->second.conversionFailed;
    } else {
        auto decoded = std::make_shared<SoundBuffer>();
        int32_t status = decodeSoundFile(path, *decoded);
        if (status != kSystemSoundNoError) return status;
        sound.source = std::move(decoded);
    }
    if (s.device == DeviceState::NotTried) openDevice(s);
    SystemSoundID id = s.nextID++;
    RegisteredSound& registered = s.sounds[id] = std::move(sound);
    // Converting now keeps playing cheap.
    if (s.device == DeviceState::Open) outputFor(s, registered);
    *outID = id;
    return kSystemSoundNoError;
}

void playSystemSound(SystemSoundID id) {
    SoundService& s = service();
    if (id == kSystemSoundID_Vibrate) {
        notify(s, SystemSoundEvent{id, {}, true});
        if (s.rumble == DeviceState::NotTried) probeRumble(s);
        if (s.rumble == DeviceState::Open && SDL_HapticRumblePlay(s.haptic, 0.75f, 400) != 0)
            ccLogf("Vibration failed: %s", SDL_GetError());
        return;
    }
    auto it = s.sounds.find(id);
    if (it == s.sounds.end()) {
        ccLogf("System sound %u is not registered; nothing plays", id);
        return;
    }
    notify(s, SystemSoundEvent{id, it->second.path, false});
    if (s.device == DeviceState::NotTried) openDevice(s);
    if (s.device != DeviceState::Open) return;
    std::shared_ptr<const SoundBuffer> output = outputFor(s, it->second);
    if (!output) return;
    SDL_LockAudioDevice(s.deviceID);
    s.mixer.play(id, std::move(output));
    SDL_UnlockAudioDevice(s.deviceID);
}

int32_t disposeSystemSound(SystemSoundID id) {
    SoundService& s = service();
    auto it = s.sounds.find(id);
    if (it == s.sounds.end()) return kSystemSoundUnknownID;
    if (s.device == DeviceState::Open) {
        SDL_LockAudioDevice(s.deviceID);
        s.mixer.stop(id);
        SDL_UnlockAudioDevice(s.deviceID);
    }
    s.sounds.erase(it);
    return kSystemSoundNoError;
}

void shutdownSystemSounds() {
    SoundService& s = service();
    if (s.deviceID != 0) SDL_CloseAudioDevice(s.deviceID); // waits for the audio thread
    s.deviceID = 0;
    s.mixer.stopAll();
    if (s.audioSubsystem) SDL_QuitSubSystem(SDL_INIT_AUDIO);
    s.audioSubsystem = false;
    s.device = DeviceState::NotTried;
    if (s.haptic) SDL_HapticClose(s.haptic);
    s.haptic = nullptr;
    if (s.hapticSubsystem) SDL_QuitSubSystem(SDL_INIT_HAPTIC);
    s.hapticSubsystem = false;
    s.rumble = DeviceState::NotTried;
    // Registrations stay; they are converted again if the output comes back.
    for (auto& [id, sound] : s.sounds) {
        sound.output.reset();
        sound.conversionFailed = false;
    }
}

SystemSoundOutputState systemSoundOutputState() {
    SoundService& s = service();
    SystemSoundOutputState state;
    if (s.device != DeviceState::Open) return state;
    state.open = true;
    state.rate = s.spec.freq;
    state.channels = s.spec.channels;
    SDL_LockAudioDevice(s.deviceID);
    state.playingVoices = static_cast<int>(s.mixer.playingVoices());
    SDL_UnlockAudioDevice(s.deviceID);
    return state;
}

SystemSoundObserver setSystemSoundObserver(SystemSoundObserver observer) {
    SoundService& s = service();
    SystemSoundObserver old = std::move(s.observer);
    s.observer = std::move(observer);
    return old;
}

// ---- recorder

SystemSoundRecorder::SystemSoundRecorder() {
    previous_ = setSystemSoundObserver([this](const SystemSoundEvent& e) {
        events_.push_back(e);
        if (previous_) previous_(e);
    });
}

SystemSoundRecorder::~SystemSoundRecorder() {
    setSystemSoundObserver(std::move(previous_));
}

std::vector<std::string> SystemSoundRecorder::playedNames() const {
    std::vector<std::string> names;
    for (const SystemSoundEvent& e : events_)
        if (!e.vibration) names.push_back(std::filesystem::path(e.path).stem().string());
    return names;
}

int SystemSoundRecorder::vibrationCount() const {
    return static_cast<int>(
        std::count_if(events_.begin(), events_.end(), [](const auto& e) { return e.vibration; }));
}

} // namespace platform
