#include "engine/PVRTexture.h"

#include "engine/Texture2D.h"
#include "platform/File.h"
#include "platform/Log.h"

#include <algorithm>

namespace {

const char gPVRTexIdentifier[4] = {'P', 'V', 'R', '!'};

enum : uint32_t {
    kPVRTextureFlagTypePVRTC2 = 24,
    kPVRTextureFlagTypePVRTC4 = 25,
};

// Header fields: unsigned 32-bit little-endian at these offsets.
enum HeaderOffset : size_t {
    kHeight = 4,
    kWidth = 8,
    kFlags = 16,
    kDataLength = 20,
    kAlphaMask = 40,
    kTag = 44,
};

uint32_t readLE32(const std::vector<uint8_t>& bytes, size_t offset) {
    return static_cast<uint32_t>(bytes[offset]) | static_cast<uint32_t>(bytes[offset + 1]) << 8 |
           static_cast<uint32_t>(bytes[offset + 2]) << 16 | static_cast<uint32_t>(bytes[offset + 3]) << 24;
}

// Compressed texture files are small; anything far larger is not one.
constexpr size_t kMaxFileSize = 64 << 20;

int hexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The path of a "file:" URL ("file:///a/b%20c.pvr" -> "/a/b c.pvr"); empty for any other URL.
std::string pathOfFileURL(const std::string& url) {
    std::string rest;
    if (url.rfind("file://localhost/", 0) == 0)
        rest = url.substr(16);
    else if (url.rfind("file:///", 0) == 0)
        rest = url.substr(7);
    else
        return {};
    std::string path;
    for (size_t i = 0; i < rest.size(); ++i) {
        if (rest[i] == '%' && i + 2 < rest.size() && hexValue(rest[i + 1]) >= 0 &&
            hexValue(rest[i + 2]) >= 0) {
            path += static_cast<char>(hexValue(rest[i + 1]) * 16 + hexValue(rest[i + 2]));
            i += 2;
        } else {
            path += rest[i];
        }
    }
    return path;
}

} // namespace

RefPtr<PVRTexture> PVRTexture::pvrTextureWithContentsOfFile(const std::string& path) {
    return construct<PVRTexture>([&](PVRTexture& t) { return t.initWithContentsOfFile(path); });
}

RefPtr<PVRTexture> PVRTexture::pvrTextureWithContentsOfURL(const std::string& url) {
    return construct<PVRTexture>([&](PVRTexture& t) { return t.initWithContentsOfURL(url); });
}

PVRTexture::~PVRTexture() {
    imageData_.clear();
    if (name_ && !retainName_) glDeleteTextures(1, &name_);
}

bool PVRTexture::initWithContentsOfFile(const std::string& path) {
    std::vector<uint8_t> file;
    bool readable = platform::readFile(path, kMaxFileSize, file) == platform::ReadFileResult::Ok;
    imageData_.clear();
    imageData_.reserve(10);
    name_ = 0;
    width_ = height_ = 0;
    internalFormat_ = kGLCompressedRGBAPVRTC4;
    hasAlpha_ = false;
    retainName_ = false;
    if (!readable) {
        platform::ccLogf("Cannot read the PVR file %s", path.c_str());
        return false;
    }
    return unpackPVRData(file) && createGLTexture();
}

bool PVRTexture::initWithContentsOfURL(const std::string& url) {
    std::string path = pathOfFileURL(url);
    if (path.empty()) return false;
    return initWithContentsOfFile(path);
}

bool PVRTexture::unpackPVRData(const std::vector<uint8_t>& file) {
    if (file.size() < kHeaderSize) {
        platform::ccLogf("PVR file of %zu bytes is shorter than its header", file.size());
        return false;
    }
    for (size_t i = 0; i < 4; ++i)
        if (file[kTag + i] != static_cast<uint8_t>(gPVRTexIdentifier[i])) return false;
    uint32_t pixelType = readLE32(file, kFlags) & 0xff;
    if (pixelType != kPVRTextureFlagTypePVRTC2 && pixelType != kPVRTextureFlagTypePVRTC4) return false;

    uint32_t width = readLE32(file, kWidth);
    uint32_t height = readLE32(file, kHeight);
    uint64_t dataLength = readLE32(file, kDataLength);
    if (dataLength > file.size() - kHeaderSize) {
        platform::ccLogf("PVR file is shorter than its header says (%zu bytes of level data, %llu declared)",
                         file.size() - kHeaderSize, static_cast<unsigned long long>(dataLength));
        return false;
    }
    // Split before anything is changed, so a refused file leaves the reader as it was.
    std::vector<std::vector<uint8_t>> levels;
    uint64_t offset = 0;
    uint64_t w = width, h = height;
    while (offset < dataLength) {
        uint64_t blocksAcross = pixelType == kPVRTextureFlagTypePVRTC4 ? w / 4 : w / 8;
        uint64_t blocksDown = h / 4;
        // A level has at least 2 x 2 blocks of 64 bits.
        uint64_t levelSize = std::max<uint64_t>(blocksAcross, 2) * std::max<uint64_t>(blocksDown, 2) * 8;
        if (levelSize > dataLength - offset) {
            platform::ccLogf("PVR file level %zu needs %llu bytes, %llu are left", levels.size(),
                             static_cast<unsigned long long>(levelSize),
                             static_cast<unsigned long long>(dataLength - offset));
            return false;
        }
        auto begin = file.begin() + static_cast<ptrdiff_t>(kHeaderSize + offset);
        levels.emplace_back(begin, begin + static_cast<ptrdiff_t>(levelSize));
        offset += levelSize;
        if (w == 1 && h == 1) {
            // The chain of levels ends at one pixel; more data is not a level of this texture.
            if (offset < dataLength)
                platform::ccLogf("PVR file has %llu bytes after its last level; they are ignored",
                                 static_cast<unsigned long long>(dataLength - offset));
            break;
        }
        w = std::max<uint64_t>(w / 2, 1);
        h = std::max<uint64_t>(h / 2, 1);
    }
    imageData_ = std::move(levels);
    internalFormat_ =
        pixelType == kPVRTextureFlagTypePVRTC4 ? kGLCompressedRGBAPVRTC4 : kGLCompressedRGBAPVRTC2;
    width_ = width;
    height_ = height;
    hasAlpha_ = readLE32(file, kAlphaMask) != 0;
    return true;
}

bool PVRTexture::createGLTexture() {
    GLsizei w = static_cast<GLsizei>(width_), h = static_cast<GLsizei>(height_);
    if (imageData_.empty()) return true; // nothing to upload, and no texture to set up
    if (name_) glDeleteTextures(1, &name_);
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_2D, name_);
    Texture2D::applyTexParameters();
    for (int i = 0; i < 16 && glGetError() != GL_NO_ERROR; ++i) {
    } // only this upload's errors count
    for (size_t i = 0; i < imageData_.size(); ++i) {
        const std::vector<uint8_t>& level = imageData_[i];
        glCompressedTexImage2D(GL_TEXTURE_2D, static_cast<GLint>(i), internalFormat_, w, h, 0,
                               static_cast<GLsizei>(level.size()), level.data());
        GLenum error = glGetError();
        if (error != GL_NO_ERROR) {
            platform::ccLogf("Error uploading compressed texture level: %d. glError: 0x%04X",
                             static_cast<int>(i), error);
            return false;
        }
        w = std::max<GLsizei>(w / 2, 1);
        h = std::max<GLsizei>(h / 2, 1);
    }
    imageData_.clear();
    return true;
}
