#pragma once
// One short sound file registered as a system sound, played any number of
// times, fire-and-forget. The registration lasts as long as the object.

#include "engine/Ref.h"

#include <cstdint>
#include <string>

class SoundEffect : public Ref {
  public:
    // None for a missing (empty) path, or when the file cannot be registered.
    static RefPtr<SoundEffect> soundEffectWithContentsOfFile(const std::string& path);
    // Registers the file. A path that names no file location (empty, or with
    // a NUL byte, or not resolvable against the working folder) logs "NSURL
    // is nil for path: ..."; a file that cannot be decoded logs "Error N
    // loading sound at path: ...". False in both cases.
    virtual bool initWithContentsOfFile(const std::string& path);
    ~SoundEffect() override;

    // Starts the sound and returns at once.
    void play();

    uint32_t soundID() const { return _soundID; }

  private:
    uint32_t _soundID = 0;
    bool registered_ = false;
};
