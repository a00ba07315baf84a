#pragma once
// The process-wide texture cache: every picture is loaded once and shared.
// Keys are the file name as given, the full path of ".pvr" files reached
// through addImage, or the address of an in-memory bitmap. The cache holds
// one reference per texture; callers that keep a texture take their own.

#include "engine/Ref.h"
#include "engine/Texture2D.h"

#include <cstdint>
#include <map>
#include <string>

namespace platform {
struct Bitmap;
}

class TextureMgr : public Ref {
  public:
    // The cache, created on first use.
    static TextureMgr* sharedTextureMgr();
    // Drops the cache and the textures only it holds (tests, program exit).
    static void purgeSharedTextureMgr();

    // A second instance is an assertion failure.
    TextureMgr();
    ~TextureMgr() override;
    bool init();

    // The texture of a picture file in the resources; none (after a log line)
    // when it cannot be found or decoded. In a scaled window the picture's
    // denser drawing ("name@2x.png") is used when there is one, at the same
    // size in points. Names ending in ".pvr" (any case)
    // are read as PVR files and cached under their full path.
    Texture2D* addImage(const std::string& fileName);
    // A PVR file at a full path. A file that cannot be used gives a texture
    // with GL name 0 and size 0 x 0.
    Texture2D* addPVRTCImage(const std::string& path);
    // A headerless file of raw PVRTC data: one square level of `width` pixels.
    Texture2D* addPVRTCImage(const std::string& fileName, int32_t bpp, bool hasAlpha, int32_t width);
    // A picture in memory, cached under its address ("%08X").
    Texture2D* addCGImage(const platform::Bitmap* image);

    // Removes every key under which `texture` is cached.
    void removeTexture(Texture2D* texture);
    // Forgets every texture; nodes showing one keep it alive.
    void removeAllTextures();

    // The file `path` names in the resources (sub-directories allowed), or
    // empty when there is none. Paths never leave the resources folder.
    std::string fullPathFromRelativePath(const std::string& path) const;

    // "dir/name@2x.png" for "dir/name.png" at density 2.
    static std::string densityVariantName(const std::string& fileName, int density);
    // The densest drawings the resources carry.
    static constexpr int kMaxDensity = 2;

    const std::map<std::string, RefPtr<Texture2D>>& textures() const { return textures_; }
    // The key an in-memory picture is cached under.
    static std::string keyForImage(const platform::Bitmap* image);

  private:
    Texture2D* cached(const std::string& key) const;

    std::map<std::string, RefPtr<Texture2D>> textures_;
};
