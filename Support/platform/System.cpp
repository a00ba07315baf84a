#include "platform/System.h"

#include <SDL2/SDL.h>

#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace platform {

uint64_t physicalMemory() {
    const int megabytes = SDL_GetSystemRAM();
    return megabytes > 0 ? uint64_t(megabytes) << 20 : 0;
}

bool openURL(const std::string& url) {
    return SDL_OpenURL(url.c_str()) == 0;
}

void setScreenSaverEnabled(bool enabled) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    if (enabled)
        SDL_EnableScreenSaver();
    else
        SDL_DisableScreenSaver();
}

namespace {
std::string& chosenDirectory() {
    static std::string dir;
    return dir;
}

std::string findResourceDirectory() {
    std::error_code ec;
    fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    if (!ec) {
#ifdef TV_RELATIVE_RESOURCES
        // An installed copy: the share folder beside the executable's, wherever it was installed.
        fs::path installed = (exe.parent_path() / TV_RELATIVE_RESOURCES).lexically_normal();
        if (fs::is_directory(installed, ec)) return installed.string();
#endif
        fs::path dir = exe.parent_path();
        for (int up = 0; up < 4 && !dir.empty(); ++up, dir = dir.parent_path()) {
            if (fs::is_directory(dir / "Resources", ec)) return (dir / "Resources").string();
            if (dir == dir.root_path()) break;
        }
    }
#ifdef TV_INSTALLED_RESOURCES
    return TV_INSTALLED_RESOURCES;
#else
    return "Resources";
#endif
}
} // namespace

std::string resourceDirectory() {
    if (chosenDirectory().empty()) chosenDirectory() = findResourceDirectory();
    return chosenDirectory();
}

void setResourceDirectory(const std::string& directory) {
    chosenDirectory() = directory;
}

} // namespace platform
