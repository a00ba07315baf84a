#include "engine/TextureMgr.h"

#include "engine/Application.h"
#include "engine/Errors.h"
#include "platform/File.h"
#include "platform/Image.h"
#include "platform/Log.h"
#include "platform/System.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <mutex>
#include <vector>

namespace fs = std::filesystem;

namespace {
std::recursive_mutex textureMgrLock;
RefPtr<TextureMgr> theTextureMgr;
TextureMgr* allocatedTextureMgr = nullptr;

bool hasPVRSuffix(const std::string& name) {
    if (name.size() < 4) return false;
    std::string suffix = name.substr(name.size() - 4);
    std::transform(suffix.begin(), suffix.end(), suffix.begin(),
                   [](unsigned char c) { return std::tolower(c); });
    return suffix == ".pvr";
}

// Raw PVRTC files hold one level; anything far larger is not one.
constexpr size_t kMaxRawFileSize = 64 << 20;
} // namespace

// ---- singleton

TextureMgr* TextureMgr::sharedTextureMgr() {
    std::lock_guard<std::recursive_mutex> lock(textureMgrLock);
    if (!theTextureMgr) {
        theTextureMgr = new TextureMgr();
        theTextureMgr->init();
    }
    return theTextureMgr.get();
}

void TextureMgr::purgeSharedTextureMgr() {
    RefPtr<TextureMgr> old;
    {
        std::lock_guard<std::recursive_mutex> lock(textureMgrLock);
        old.swap(theTextureMgr);
    }
}

TextureMgr::TextureMgr() {
    std::lock_guard<std::recursive_mutex> lock(textureMgrLock);
    ccAssert(allocatedTextureMgr == nullptr, "Attempted to allocate a second instance of a singleton.");
    allocatedTextureMgr = this;
}

TextureMgr::~TextureMgr() {
    textures_.clear();
    std::lock_guard<std::recursive_mutex> lock(textureMgrLock);
    if (allocatedTextureMgr == this) allocatedTextureMgr = nullptr;
}

bool TextureMgr::init() {
    textures_.clear();
    return true;
}

// ---- adding

Texture2D* TextureMgr::cached(const std::string& key) const {
    auto it = textures_.find(key);
    return it == textures_.end() ? nullptr : it->second.get();
}

Texture2D* TextureMgr::addImage(const std::string& fileName) {
    ccAssert(!fileName.empty(), "TextureMgr: fileimage MUST not be nill");
    if (Texture2D* texture = cached(fileName)) return texture;
    std::string path = fullPathFromRelativePath(fileName);
    if (path.empty()) platform::ccLogf("Cannot find %s in the resources", fileName.c_str());
    if (hasPVRSuffix(fileName)) return path.empty() ? nullptr : addPVRTCImage(path);

    platform::Bitmap image;
    float scale = 1;
    bool decoded = false;
    // A denser drawing for a scaled window, where there is one; sizes stay in points.
    for (int density = std::min(Application::sharedApplication().contentScale(), kMaxDensity);
         density > 1 && !decoded && !path.empty(); --density) {
        std::string variant = fullPathFromRelativePath(densityVariantName(fileName, density));
        if (!variant.empty() && platform::decodePNG(variant, image)) {
            decoded = true;
            scale = static_cast<float>(density);
        }
    }
    if (!decoded) decoded = !path.empty() && platform::decodePNG(path, image);
    RefPtr<Texture2D> texture =
        construct<Texture2D>([&](Texture2D& t) { return t.initWithImage(decoded ? &image : nullptr, scale); });
    if (!texture) return nullptr;
    textures_[fileName] = texture;
    return texture.get();
}

Texture2D* TextureMgr::addPVRTCImage(const std::string& path) {
    ccAssert(!path.empty(), "TextureMgr: fileimage MUST not be nill");
    if (Texture2D* texture = cached(path)) return texture;
    RefPtr<Texture2D> texture = construct<Texture2D>([&](Texture2D& t) { return t.initWithPVRTCFile(path); });
    if (!texture) return nullptr;
    textures_[path] = texture;
    return texture.get();
}

Texture2D* TextureMgr::addPVRTCImage(const std::string& fileName, int32_t bpp, bool hasAlpha, int32_t width) {
    ccAssert(!fileName.empty(), "TextureMgr: fileimage MUST not be nill");
    ccAssert(bpp == 2 || bpp == 4, "TextureMgr: bpp must be either 2 or 4");
    if (Texture2D* texture = cached(fileName)) return texture;
    std::string path = fullPathFromRelativePath(fileName);
    std::vector<uint8_t> data;
    if (path.empty() || platform::readFile(path, kMaxRawFileSize, data) != platform::ReadFileResult::Ok) {
        platform::ccLogf("Cannot read the PVRTC file %s", fileName.c_str());
        return nullptr;
    }
    RefPtr<Texture2D> texture = construct<Texture2D>(
        [&](Texture2D& t) { return t.initWithPVRTCData(data.data(), 0, bpp, hasAlpha, width, data.size()); });
    if (!texture) return nullptr;
    textures_[fileName] = texture;
    return texture.get();
}

std::string TextureMgr::keyForImage(const platform::Bitmap* image) {
    return platform::ccFormat("%08llX", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(image)));
}

Texture2D* TextureMgr::addCGImage(const platform::Bitmap* image) {
    ccAssert(image != nullptr, "TextureMgr: image MUST not be nill");
    std::string key = keyForImage(image);
    if (Texture2D* texture = cached(key)) return texture;
    RefPtr<Texture2D> texture = construct<Texture2D>([&](Texture2D& t) { return t.initWithImage(image); });
    if (!texture) return nullptr;
    textures_[key] = texture;
    return texture.get();
}

// ---- removing

void TextureMgr::removeTexture(Texture2D* texture) {
    ccAssert(texture != nullptr, "TextureMgr: tex MUST not be nill");
    RefPtr<Texture2D> keep(texture); // the last key may hold the last reference
    std::erase_if(textures_, [texture](const auto& entry) { return entry.second.get() == texture; });
}

void TextureMgr::removeAllTextures() {
    // Textures may go while the map is cleared: clear a moved-out copy.
    std::map<std::string, RefPtr<Texture2D>> old;
    old.swap(textures_);
}

// ---- resources

std::string TextureMgr::densityVariantName(const std::string& fileName, int density) {
    size_t slash = fileName.rfind('/');
    size_t dot = fileName.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) dot = fileName.size();
    return fileName.substr(0, dot) + "@" + std::to_string(density) + "x" + fileName.substr(dot);
}

std::string TextureMgr::fullPathFromRelativePath(const std::string& path) const {
    std::vector<std::string> components;
    size_t start = 0;
    while (start <= path.size()) {
        size_t slash = path.find('/', start);
        if (slash == std::string::npos) slash = path.size();
        std::string part = path.substr(start, slash - start);
        if (part == "..") return {}; // never outside the resources
        if (!part.empty() && part != ".") components.push_back(part);
        start = slash + 1;
    }
    if (components.empty()) return {};
    fs::path full = platform::resourceDirectory();
    for (const std::string& part : components)
        full /= part;
    std::error_code error;
    if (!fs::is_regular_file(full, error)) return {};
    return full.string();
}
