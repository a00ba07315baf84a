#pragma once
// Short sounds played fire-and-forget, and the vibration.
//
// A sound file (anything libsndfile reads: WAV, CAF, AIFF, FLAC, Ogg, ...)
// is decoded once into memory and registered under an id. Playing an id
// returns at once; plays overlap freely, mixed in the audio device's
// callback. The device is opened on first use; with no device, or when
// running headless, playback is silent but registration still works.
// Playing kSystemSoundID_Vibrate rumbles a haptic device where there is one.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace platform {

using SystemSoundID = uint32_t;
// Playing this id vibrates instead of making a sound.
constexpr SystemSoundID kSystemSoundID_Vibrate = 0xFFF;

// Results of registering and disposing (0 is success).
enum SystemSoundStatus : int32_t {
    kSystemSoundNoError = 0,
    kSystemSoundUnreadableFile = 1,  // missing, not a regular file, or not readable
    kSystemSoundUnsupportedFile = 2, // not sound data that can be decoded
    kSystemSoundTooLong = 3,         // longer than kMaxSystemSoundSeconds
    kSystemSoundBadArgument = 4,
    kSystemSoundUnknownID = 5,
};
// System sounds are short; this bounds the memory one can take.
constexpr double kMaxSystemSoundSeconds = 30;

// Decodes and registers the sound file at `path`; its id goes to `outID`.
int32_t createSystemSound(const std::string& path, SystemSoundID* outID);
// Starts playing `id` (or vibrates) and returns at once.
void playSystemSound(SystemSoundID id);
// Stops the sound's plays and forgets it.
int32_t disposeSystemSound(SystemSoundID id);
// Closes the audio and haptic devices. Also runs at exit, before static
// destruction, so the audio thread never outlives what it reads.
void shutdownSystemSounds();

// What the audio output is doing, for tests and diagnostics.
struct SystemSoundOutputState {
    bool open = false;
    int rate = 0;
    int channels = 0;
    int playingVoices = 0;
};
SystemSoundOutputState systemSoundOutputState();

// Every play request, whether or not anything can be heard.
struct SystemSoundEvent {
    SystemSoundID id = 0;
    std::string path; // the file registered under `id`; empty for the vibration
    bool vibration = false;
};
using SystemSoundObserver = std::function<void(const SystemSoundEvent&)>;
// Installs `observer` (an empty function removes it); returns the previous one.
SystemSoundObserver setSystemSoundObserver(SystemSoundObserver observer);

// Records play requests while it lives.
class SystemSoundRecorder {
  public:
    SystemSoundRecorder();
    ~SystemSoundRecorder();
    SystemSoundRecorder(const SystemSoundRecorder&) = delete;
    SystemSoundRecorder& operator=(const SystemSoundRecorder&) = delete;

    const std::vector<SystemSoundEvent>& events() const { return events_; }
    // The sounds played, by file name without folder and extension ("Move").
    std::vector<std::string> playedNames() const;
    int vibrationCount() const;
    void clear() { events_.clear(); }

  private:
    std::vector<SystemSoundEvent> events_;
    SystemSoundObserver previous_;
};

// Interleaved float samples.
struct SoundBuffer {
    int rate = 0;
    int channels = 0;
    std::vector<float> samples;
    size_t frames() const { return channels > 0 ? samples.size() / static_cast<size_t>(channels) : 0; }
};

// Decodes a whole sound file; a SystemSoundStatus.
int32_t decodeSoundFile(const std::string& path, SoundBuffer& out);
// Resamples and remaps channels; false when it cannot.
bool convertSound(const SoundBuffer& in, int rate, int channels, SoundBuffer& out);

// Sums the voices now playing into the output. Not locked: the caller keeps
// it away from the audio callback while changing it.
class SoundMixer {
  public:
    // More plays at once than this drop the oldest.
    static constexpr size_t kMaxVoices = 32;

    void setChannels(int channels) { channels_ = channels; }
    void play(SystemSoundID id, std::shared_ptr<const SoundBuffer> sound);
    void stop(SystemSoundID id);
    void stopAll() { voices_.clear(); }
    // Writes `frames` frames (all channels) to `out`, clipped to [-1, 1].
    void mix(float* out, size_t frames);
    size_t playingVoices() const { return voices_.size(); }

  private:
    struct Voice {
        SystemSoundID id;
        std::shared_ptr<const SoundBuffer> sound;
        size_t position; // in samples
    };
    int channels_ = 2;
    std::vector<Voice> voices_;
};

} // namespace platform
