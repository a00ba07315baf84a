#pragma once
// Files the tests make and read: a scratch folder removed again at the end,
// a scratch settings home, and whole-file reading and writing.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class ScratchDir {
  public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    const std::string& path() const { return path_; }
    std::string file(const std::string& name) const { return path_ + "/" + name; }
    // Writes `bytes` to `name` (folders made as needed); returns the full path.
    std::string write(const std::string& name, const std::vector<uint8_t>& bytes) const;
    std::string write(const std::string& name, const std::string& text) const;

  private:
    std::string path_;
};

// Points the settings store at a fresh scratch folder for the life of the
// object (XDG_CONFIG_HOME), so no test ever reads or writes the user's own
// ~/.config. The shared store is forgotten on entry and on exit.
class ScratchConfigHome : public ScratchDir {
  public:
    ScratchConfigHome();
    ~ScratchConfigHome();
    // Where the game's store file lives inside it.
    std::string storeFile() const { return path() + "/tindervale/defaults.toml"; }

  private:
    std::optional<std::string> previous_;
};

// The whole file; empty when it cannot be read.
std::vector<uint8_t> readBytes(const std::string& path);
std::string readText(const std::string& path);
// Writes `text` to `path`, making its folders.
void writeText(const std::string& path, const std::string& text);
