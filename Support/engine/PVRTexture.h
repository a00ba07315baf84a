#pragma once
// Reader of PowerVR texture files: checks the 52-byte header, splits the
// data into its mip-map levels and uploads them as a compressed GL texture.

#include "engine/Ref.h"
#include "platform/GL.h"

#include <cstdint>
#include <string>
#include <vector>

class PVRTexture : public Ref {
  public:
    static RefPtr<PVRTexture> pvrTextureWithContentsOfFile(const std::string& path);
    // Only "file:" URLs are read; any other gives none.
    static RefPtr<PVRTexture> pvrTextureWithContentsOfURL(const std::string& url);
    ~PVRTexture() override;

    // Reads, checks, splits and uploads the file; false leaves no GL texture behind.
    bool initWithContentsOfFile(const std::string& path);
    bool initWithContentsOfURL(const std::string& url);

    // Checks the header of a whole file and splits its data into levels.
    // A wrong tag or pixel type, or a file shorter than its header says, is
    // refused and leaves the levels held so far untouched.
    bool unpackPVRData(const std::vector<uint8_t>& file);
    // Uploads the levels into a new GL texture and lets go of them.
    bool createGLTexture();

    GLuint name() const { return name_; }
    uint32_t width() const { return width_; }
    uint32_t height() const { return height_; }
    GLenum internalFormat() const { return internalFormat_; }
    bool hasAlpha() const { return hasAlpha_; }
    // When true, the GL texture outlives the reader (a Texture2D took it).
    bool retainName() const { return retainName_; }
    void setRetainName(bool retain) { retainName_ = retain; }
    // The compressed levels, level 0 first, until they are uploaded.
    const std::vector<std::vector<uint8_t>>& imageData() const { return imageData_; }

    static constexpr size_t kHeaderSize = 52;

  private:
    std::vector<std::vector<uint8_t>> imageData_;
    GLuint name_ = 0;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    GLenum internalFormat_ = 0x8C02;
    bool hasAlpha_ = false;
    bool retainName_ = false;
};
