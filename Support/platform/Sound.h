#pragma once
// Short sounds played fire-and-forget, and the vibration.
//
// A sound file is decoded once into memory (SoundFile) and registered under
// an id. Playing an id returns at once; plays overlap freely, mixed in the
// audio device's callback (AudioOutput, SoundMixer). The device is opened on
// first use; with no device, or when running headless, playback is silent
// but registration still works. Playing kSystemSoundID_Vibrate rumbles a
// haptic device where there is one (Vibration).
// Failures: create and dispose hand back a status for the caller to word (see
// Log.h); play has nothing to return and logs here.

#include <cstdint>
#include <functional>
#include <string>

namespace platform {

using SystemSoundID = uint32_t;
// Playing this id vibrates instead of making a sound.
constexpr SystemSoundID kSystemSoundID_Vibrate = 0xFFF;

// Results of registering and disposing (0 is success): the game logs the number.
enum SystemSoundStatus : int32_t {
    kSystemSoundNoError = 0,
    kSystemSoundUnreadableFile = 1,  // missing, not a regular file, or not readable
    kSystemSoundUnsupportedFile = 2, // not sound data that can be decoded
    kSystemSoundTooLong = 3,         // longer than kMaxSystemSoundSeconds
    kSystemSoundBadArgument = 4,
    kSystemSoundUnknownID = 5,
};

// Decodes and registers the sound file at `path`; its id goes to `outID`.
SystemSoundStatus createSystemSound(const std::string& path, SystemSoundID* outID);
// Starts playing `id` (or vibrates) and returns at once.
void playSystemSound(SystemSoundID id);
// Stops the sound's plays and forgets it.
SystemSoundStatus disposeSystemSound(SystemSoundID id);
// Closes the audio and haptic devices. Also runs at exit, before static
// destruction, so the audio thread never outlives what it reads.
void shutdownSystemSounds();

// What the audio output is doing, for diagnostics.
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

} // namespace platform
