#include "SoundEffect.h"

#include "platform/Log.h"
#include "platform/Sound.h"

#include <filesystem>
#include <optional>

namespace {
// The desktop's file URL: the path made absolute. None where it names no place.
std::optional<std::filesystem::path> fileURLWithPath(const std::string& path) {
    if (path.empty() || path.find('\0') != std::string::npos) return std::nullopt;
    std::error_code ec;
    std::filesystem::path absolute = std::filesystem::absolute(path, ec);
    if (ec) return std::nullopt;
    return absolute;
}
} // namespace

RefPtr<SoundEffect> SoundEffect::soundEffectWithContentsOfFile(const std::string& path) {
    if (path.empty()) return nullptr;
    return construct<SoundEffect>([&](SoundEffect& s) { return s.initWithContentsOfFile(path); });
}

bool SoundEffect::initWithContentsOfFile(const std::string& path) {
    std::optional<std::filesystem::path> url = fileURLWithPath(path);
    if (!url) {
        platform::ccLogf("NSURL is nil for path: %s", path.c_str());
        return false;
    }
    platform::SystemSoundID id = 0;
    int32_t status = platform::createSystemSound(url->string(), &id);
    if (status != platform::kSystemSoundNoError) {
        platform::ccLogf("Error %d loading sound at path: %s", status, path.c_str());
        return false;
    }
    _soundID = id;
    registered_ = true;
    return true;
}

SoundEffect::~SoundEffect() {
    if (registered_) platform::disposeSystemSound(_soundID);
}

void SoundEffect::play() {
    if (registered_) platform::playSystemSound(_soundID);
}
