#pragma once
// Small sound files for tests, written with libsndfile, and a recorder of
// what the game asks the sound service to play.

#include "platform/Sound.h"

#include <string>
#include <vector>

struct TestSound {
    enum Container { WAV, CAF };
    Container container = WAV;
    int rate = 22050;
    int channels = 1;
    double seconds = 0.25;
    double frequency = 440; // a sine tone
    float amplitude = 0.5f;
};

// Writes `sound` to `path`; false when libsndfile cannot.
bool writeTestSound(const std::string& path, const TestSound& sound = {});

// Records play requests while it lives.
class SoundRecorder {
  public:
    SoundRecorder();
    ~SoundRecorder();
    SoundRecorder(const SoundRecorder&) = delete;
    SoundRecorder& operator=(const SoundRecorder&) = delete;

    const std::vector<platform::SystemSoundEvent>& events() const { return events_; }
    // The sounds played, by file name without folder and extension ("Move").
    std::vector<std::string> playedNames() const;
    int vibrationCount() const;
    void clear() { events_.clear(); }

  private:
    std::vector<platform::SystemSoundEvent> events_;
    platform::SystemSoundObserver previous_;
};
