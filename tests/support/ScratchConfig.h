#pragma once
// Points the settings store at a fresh temporary folder for the life of the
// object (XDG_CONFIG_HOME), so no test ever reads or writes the user's own
// ~/.config. The shared store is forgotten on entry and on exit.

#include <string>

class ScratchConfigHome {
  public:
    ScratchConfigHome();
    ~ScratchConfigHome();
    ScratchConfigHome(const ScratchConfigHome&) = delete;
    ScratchConfigHome& operator=(const ScratchConfigHome&) = delete;

    // The folder XDG_CONFIG_HOME names.
    const std::string& path() const { return path_; }
    // Where the game's store file lives inside it.
    std::string storeFile() const { return path_ + "/tindervale/defaults.toml"; }

  private:
    std::string path_;
    std::string previous_;
    bool hadPrevious_ = false;
};
