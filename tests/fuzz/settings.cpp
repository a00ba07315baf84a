// The settings file: whatever a player's defaults.toml holds, loading gives
// a usable store (a broken file is set aside), and the store writes a file
// it reads back to the same values.
#include "platform/UserDefaults.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const fs::path dir = [] {
        fs::path d = fs::temp_directory_path() / ("tv-fuzz-settings-" + std::to_string(getpid()));
        fs::create_directories(d);
        return d;
    }();
    const fs::path file = dir / "defaults.toml";
    {
        std::ofstream out(file, std::ios::binary | std::ios::trunc);
        out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    }
    {
        platform::UserDefaults store(file.string());
        int64_t level = store.integerForKey("LastAvailLevel");
        // Saving waits for the disk, so one input in sixteen takes the round trip.
        if (size % 16 == 0) {
            if (!store.setInteger(level, "LastAvailLevel")) std::abort();
            platform::UserDefaults again(file.string());
            if (again.integerForKey("LastAvailLevel") != level) std::abort();
        }
    }
    std::error_code ec;
    for (const auto& entry : fs::directory_iterator(dir, ec)) // files set aside pile up otherwise
        fs::remove(entry.path(), ec);
    return 0;
}
