#include "platform/Sound.h"

#include "platform/AudioOutput.h"
#include "platform/Log.h"
#include "platform/SoundConversion.h"
#include "platform/SoundFile.h"
#include "platform/Vibration.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <memory>

namespace platform {

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
    AudioOutput output;
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

void openDevice(SoundService& s) {
    installExitHook(s);
    s.device = s.output.open() ? DeviceState::Open : DeviceState::Unavailable;
}

// The sound in the device's format, converted once.
std::shared_ptr<const SoundBuffer> outputFor(SoundService& s, RegisteredSound& sound) {
    if (sound.output && sound.output->rate == s.output.rate() && sound.output->channels == s.output.channels())
        return sound.output;
    if (sound.conversionFailed) return nullptr;
    auto converted = std::make_shared<SoundBuffer>();
    if (!convertSound(*sound.source, s.output.rate(), s.output.channels(), *converted)) {
        sound.conversionFailed = true;
        ccLogf("Cannot convert %s to the audio output's format; it stays silent", sound.path.c_str());
        return nullptr;
    }
    sound.output = std::move(converted);
    return sound.output;
}

void notify(SoundService& s, const SystemSoundEvent& event) {
    if (s.observer) s.observer(event);
}

} // namespace

SystemSoundStatus createSystemSound(const std::string& path, SystemSoundID* outID) {
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
        switch (decodeSoundFile(path, *decoded)) {
        case DecodeResult::Ok:
            break;
        case DecodeResult::Unreadable:
            return kSystemSoundUnreadableFile;
        case DecodeResult::Unsupported:
            return kSystemSoundUnsupportedFile;
        case DecodeResult::TooLong:
            return kSystemSoundTooLong;
        }
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
        installExitHook(s);
        vibrate();
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
    s.output.withMixer([&](SoundMixer& mixer) { mixer.play(id, std::move(output)); });
}

SystemSoundStatus disposeSystemSound(SystemSoundID id) {
    SoundService& s = service();
    auto it = s.sounds.find(id);
    if (it == s.sounds.end()) return kSystemSoundUnknownID;
    s.output.withMixer([id](SoundMixer& mixer) { mixer.stop(id); });
    s.sounds.erase(it);
    return kSystemSoundNoError;
}

void shutdownSystemSounds() {
    SoundService& s = service();
    s.output.close();
    s.device = DeviceState::NotTried;
    shutdownVibration();
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
    state.rate = s.output.rate();
    state.channels = s.output.channels();
    s.output.withMixer(
        [&](SoundMixer& mixer) { state.playingVoices = static_cast<int>(mixer.playingVoices()); });
    return state;
}

SystemSoundObserver setSystemSoundObserver(SystemSoundObserver observer) {
    SoundService& s = service();
    SystemSoundObserver old = std::move(s.observer);
    s.observer = std::move(observer);
    return old;
}

} // namespace platform
