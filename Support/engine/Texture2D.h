#pragma once
// A GL texture and the size of the picture inside it. Pictures and texts are
// put into textures with power-of-two sides, the picture in the top-left
// part; maxS / maxT say how much of the texture is picture. The class also
// holds the filter and wrap settings every new texture is made with.

#include "engine/Ref.h"
#include "engine/cpVect.h"
#include "platform/GL.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace platform {
struct Bitmap;
}

enum Texture2DPixelFormat : int32_t {
    Texture2DPixelFormatNone = 0, // compressed textures
    Texture2DPixelFormatRGBA8888 = 1,
    Texture2DPixelFormatRGB565 = 2,
    Texture2DPixelFormatA8 = 3,
};

struct ccTexParams {
    uint32_t minFilter;
    uint32_t magFilter;
    uint32_t wrapS;
    uint32_t wrapT;
    friend bool operator==(const ccTexParams&, const ccTexParams&) = default;
};

// PVRTC formats (the GL_IMG_texture_compression_pvrtc values).
inline constexpr GLenum kGLCompressedRGBPVRTC4 = 0x8C00;
inline constexpr GLenum kGLCompressedRGBPVRTC2 = 0x8C01;
inline constexpr GLenum kGLCompressedRGBAPVRTC4 = 0x8C02;
inline constexpr GLenum kGLCompressedRGBAPVRTC2 = 0x8C03;

class Texture2D : public Ref {
  public:
    ~Texture2D() override;

    // Uploads uncompressed pixels (null: storage left undefined). The texture
    // bound before is bound again afterwards. A format other than RGBA8888,
    // RGB565 or A8 is an assertion failure.
    // `contentSize` is in points; `scale` pixels per point of the data (2 for
    // a picture drawn at twice the density).
    bool initWithData(const void* data, int32_t pixelFormat, uint32_t pixelsWide, uint32_t pixelsHigh,
                      ccSize contentSize, float scale = 1);
    // A decoded picture; null or empty logs "Image is Null" and fails. Sides
    // above 1024 are halved (both together) until they fit. A picture drawn
    // at `scale` pixels per point keeps its size in points (a halving lowers
    // the scale first).
    bool initWithImage(const platform::Bitmap* image, float scale = 1);
    // Text word-wrapped in a box of `dimensions` points, as an A8 texture
    // rasterised at the window's pixels per point (its content size stays in points).
    bool initWithString(const std::string& string, ccSize dimensions, int32_t alignment,
                        const std::string& fontName, float fontSize);
    // Text on one line, in a box of its own measured size, centred.
    bool initWithString(const std::string& string, const std::string& fontName, float fontSize);
    // One level of PVRTC data, `length` pixels square. `dataSize` is how many
    // bytes `data` holds: data shorter than the level needs is refused.
    bool initWithPVRTCData(const void* data, int32_t level, int32_t bpp, bool hasAlpha, int32_t length,
                           size_t dataSize);
    // A PVR file read by PVRTexture. When the file cannot be used the texture
    // has GL name 0 and size 0 x 0.
    bool initWithPVRTCFile(const std::string& path);

    GLuint name() const { return name_; }
    ccSize contentSize() const { return size_; }
    uint32_t pixelsWide() const { return width_; }
    uint32_t pixelsHigh() const { return height_; }
    int32_t pixelFormat() const { return format_; }
    float maxS() const { return maxS_; }
    float maxT() const { return maxT_; }
    // Pixels per point of the picture (1 but for high-density variants and texts).
    float contentScale() const { return scale_; }
    // Colour already multiplied by alpha (textures made from pictures):
    // such a texture blends with (1, 1 - source alpha).
    bool hasPremultipliedAlpha() const { return premultipliedAlpha_; }
    // Stands for what the texture shows: no two textures share one, and it
    // changes when something draws into the texture. A grabber says so itself;
    // GL calls of one's own that change the pixels call `contentChanged`, or a
    // frame showing the texture may be kept with its old picture.
    uint64_t serial() const { return serial_; }
    void contentChanged();

    // Drawing: the caller has enabled the vertex and texture-coordinate arrays
    // and GL_TEXTURE_2D. The picture's lower-left corner goes to `point`.
    void drawAtPoint(cpVect point) const;
    void drawInRect(ccRect rect) const;

    // Filter and wrap settings, applied to every texture as it is made.
    static void setTexParameters(const ccTexParams* params);
    static ccTexParams texParameters();
    // Applies the settings to the texture bound now.
    static void applyTexParameters();
    static void setAliasTexParameters();
    static void setAntiAliasTexParameters();
    // One saved copy: a second save overwrites the first.
    static void saveTexParameters();
    static void restoreTexParameters();

    std::string description() const override;

  private:
    static uint64_t nextSerial();

    [[no_unique_address]] LiveCount<Texture2D> liveCount_;
    GLuint name_ = 0;
    uint64_t serial_ = nextSerial();
    ccSize size_;
    uint32_t width_ = 0;
    uint32_t height_ = 0;
    int32_t format_ = Texture2DPixelFormatNone;
    float maxS_ = 0;
    float maxT_ = 0;
    float scale_ = 1;
    bool premultipliedAlpha_ = false;
};

// A colour of the platform's kind: 2 components (grey, alpha) or 4 (red,
// green, blue, alpha), each 0..1.
class Color {
  public:
    static Color grey(float white, float alpha) { return Color(2, {white, alpha, 0, 0}); }
    static Color rgba(float r, float g, float b, float a) { return Color(4, {r, g, b, a}); }

    const float* components() const { return components_; }

    // Makes this colour the current GL colour / the GL clear colour.
    void setOpenGLColor() const;
    void setOpenGLClearColor() const;

  private:
    struct Four {
        float c0, c1, c2, c3;
    };
    Color(int count, Four c) : count_(count), components_{c.c0, c.c1, c.c2, c.c3} {}
    // The four values GL takes.
    void glComponents(float out[4]) const;

    int count_;
    float components_[4];
};
