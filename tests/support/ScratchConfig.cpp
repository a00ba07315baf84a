#include "support/ScratchConfig.h"

#include "platform/UserDefaults.h"

#include <cstdlib>
#include <filesystem>
#include <stdexcept>
#include <vector>

namespace fs = std::filesystem;

ScratchConfigHome::ScratchConfigHome() {
    std::string pattern = (fs::temp_directory_path() / "tindervale-config-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("cannot make a temporary config folder");
    path_ = buffer.data();
    if (const char* old = std::getenv("XDG_CONFIG_HOME")) {
        hadPrevious_ = true;
        previous_ = old;
    }
    setenv("XDG_CONFIG_HOME", path_.c_str(), 1);
    platform::UserDefaults::resetStandardUserDefaults();
}

ScratchConfigHome::~ScratchConfigHome() {
    platform::UserDefaults::resetStandardUserDefaults();
    if (hadPrevious_)
        setenv("XDG_CONFIG_HOME", previous_.c_str(), 1);
    else
        unsetenv("XDG_CONFIG_HOME");
    std::error_code ec;
    fs::remove_all(path_, ec);
}
