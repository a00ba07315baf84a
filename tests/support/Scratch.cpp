#include "support/Scratch.h"

#include "platform/UserDefaults.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace fs = std::filesystem;

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "tindervale-test-XXXXXX").string();
    char* made = mkdtemp(pattern.data());
    if (!made) throw std::runtime_error("cannot make a scratch folder in " + fs::temp_directory_path().string());
    path_ = made;
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    if (!path_.empty()) fs::remove_all(path_, ignored);
}

std::string ScratchDir::write(const std::string& name, const std::vector<uint8_t>& bytes) const {
    return write(name, std::string(bytes.begin(), bytes.end()));
}

std::string ScratchDir::write(const std::string& name, const std::string& text) const {
    std::string full = file(name);
    writeText(full, text);
    return full;
}

ScratchConfigHome::ScratchConfigHome() {
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) previous_ = old;
    setenv("XDG_CONFIG_HOME", path().c_str(), 1);
    platform::UserDefaults::resetStandardUserDefaults();
}

ScratchConfigHome::~ScratchConfigHome() {
    platform::UserDefaults::resetStandardUserDefaults();
    if (previous_)
        setenv("XDG_CONFIG_HOME", previous_->c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
}

std::vector<uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

std::string readText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeText(const std::string& path, const std::string& text) {
    fs::path p = path;
    if (p.has_parent_path()) fs::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << text;
}
