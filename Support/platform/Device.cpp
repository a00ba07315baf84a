#include "platform/Device.h"

#include "platform/File.h"
#include "platform/Log.h"
#include "platform/UserDefaults.h"

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <mutex>
#include <random>

namespace fs = std::filesystem;

namespace platform {

namespace {

bool isIdentifier(const std::string& s) {
    if (s.size() != 32) return false;
    for (char c : s)
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'))) return false;
    return true;
}

std::string makeIdentifier() {
    std::random_device random; // the kernel's random source
    static const char hex[] = "0123456789abcdef";
    std::string id;
    for (int i = 0; i < 4; ++i) {
        uint32_t r = random();
        for (int k = 0; k < 4; ++k) {
            id += hex[(r >> (k * 8 + 4)) & 0xF];
            id += hex[(r >> (k * 8)) & 0xF];
        }
    }
    return id;
}

// Writes through a temporary file and a rename, so a crash leaves either no file or a whole one.
bool save(const std::string& path, const std::string& id, std::string& error) {
    std::error_code ec;
    fs::create_directories(fs::path(path).parent_path(), ec);
    if (ec) {
        error = ec.message();
        return false;
    }
    std::string temporary = path + ".tmp-" + std::to_string(getpid());
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out << id << '\n';
        out.flush();
        if (!out) {
            error = "cannot write " + temporary;
            fs::remove(temporary, ec);
            return false;
        }
    }
    fs::rename(temporary, path, ec);
    if (ec) {
        error = ec.message();
        fs::remove(temporary, ec);
        return false;
    }
    return true;
}

} // namespace

std::string Device::identifierFilePath() {
    std::string settings = UserDefaults::defaultFilePath();
    if (settings.empty()) return {};
    return (fs::path(settings).parent_path() / "device-id").string();
}

std::string Device::uniqueIdentifier() {
    static std::mutex mutex;
    static std::map<std::string, std::string> known; // by file path, for identifiers that could not be kept
    std::lock_guard<std::mutex> lock(mutex);
    std::string path = identifierFilePath();
    if (auto it = known.find(path); it != known.end()) return it->second;

    if (!path.empty()) {
        std::vector<uint8_t> bytes;
        if (readFile(path, 256, bytes) == ReadFileResult::Ok) {
            std::string text(bytes.begin(), bytes.end());
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == ' ')) text.pop_back();
            if (isIdentifier(text)) return text;
            ccLogf("Device identifier file %s is not an identifier; making a new one", path.c_str());
        }
    }
    std::string id = makeIdentifier();
    std::string error = "there is no settings folder";
    if (path.empty() || !save(path, id, error)) {
        ccLogf("Device identifier cannot be kept (%s); this run uses a new one", error.c_str());
        known[path] = id;
    }
    return id;
}

} // namespace platform
