#include "engine/Texture2D.h"

#include "engine/Application.h"
#include "engine/Errors.h"
#include "engine/GLStateCache.h"
#include "engine/PVRTexture.h"
#include "platform/Image.h"
#include "platform/Log.h"
#include "platform/Text.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace {

ccTexParams texParams = {GL_LINEAR, GL_LINEAR, GL_CLAMP_TO_EDGE, GL_CLAMP_TO_EDGE};
ccTexParams texParamsCopy = {0, 0, 0, 0};

// Pictures larger than this are halved until they fit.
constexpr uint32_t kMaxImageSide = 1024;

uint32_t powerOfTwoAtLeast(uint32_t v) {
    if (v == 1 || (v != 0 && (v & (v - 1)) == 0)) return v;
    uint32_t p = 1;
    while (p < v && p < 0x80000000u)
        p <<= 1;
    return p;
}

GLuint boundTexture() {
    GLint bound = 0;
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &bound);
    return static_cast<GLuint>(bound);
}

// The picture, scaled down by 2^halvings, as premultiplied RGBA rows at the
// top-left of a width x height buffer; the rest stays zero. Each halving
// averages 2 x 2 pixels, counting pixels beyond the picture as empty.
std::vector<uint8_t> placePicture(const platform::Bitmap& image, uint32_t width, uint32_t height,
                                  int halvings) {
    std::vector<uint8_t> out(static_cast<size_t>(width) * height * 4, 0);
    const uint32_t block = 1u << halvings;
    const uint32_t area = block * block;
    const uint32_t srcW = static_cast<uint32_t>(image.width), srcH = static_cast<uint32_t>(image.height);
    const uint32_t outW = std::min(width, (srcW + block - 1) / block);
    const uint32_t outH = std::min(height, (srcH + block - 1) / block);
    const bool needsPremultiply = image.hasAlpha && !image.premultiplied;
    if (halvings == 0) {
        // One picture pixel per texel (nearly every picture): rows are copied, not averaged.
        for (uint32_t y = 0; y < outH; ++y) {
            const uint8_t* src = image.pixel(0, static_cast<int>(y));
            uint8_t* dst = &out[static_cast<size_t>(y) * width * 4];
            if (!needsPremultiply) {
                std::memcpy(dst, src, static_cast<size_t>(outW) * 4);
                if (!image.hasAlpha)
                    for (uint32_t x = 0; x < outW; ++x)
                        dst[x * 4 + 3] = 255;
                continue;
            }
            for (uint32_t x = 0; x < outW; ++x, src += 4, dst += 4) {
                uint32_t a = src[3];
                for (int c = 0; c < 3; ++c)
                    dst[c] = static_cast<uint8_t>((src[c] * a + 127) / 255);
                dst[3] = static_cast<uint8_t>(a);
            }
        }
        return out;
    }
    for (uint32_t y = 0; y < outH; ++y) {
        for (uint32_t x = 0; x < outW; ++x) {
            uint32_t sum[4] = {0, 0, 0, 0};
            for (uint32_t sy = y * block; sy < std::min(srcH, (y + 1) * block); ++sy) {
                for (uint32_t sx = x * block; sx < std::min(srcW, (x + 1) * block); ++sx) {
                    const uint8_t* p = image.pixel(static_cast<int>(sx), static_cast<int>(sy));
                    uint32_t a = image.hasAlpha ? p[3] : 255;
                    for (int c = 0; c < 3; ++c)
                        sum[c] += needsPremultiply ? (p[c] * a + 127) / 255 : p[c];
                    sum[3] += a;
                }
            }
            uint8_t* q = &out[(static_cast<size_t>(y) * width + x) * 4];
            for (int c = 0; c < 4; ++c)
                q[c] = static_cast<uint8_t>((sum[c] + area / 2) / area);
        }
    }
    return out;
}

// Red in bits 15-11, green in 10-5, blue in 4-0.
std::vector<uint16_t> toRGB565(const std::vector<uint8_t>& rgba) {
    std::vector<uint16_t> out(rgba.size() / 4);
    for (size_t i = 0; i < out.size(); ++i) {
        const uint8_t* p = &rgba[i * 4];
        out[i] = static_cast<uint16_t>(((p[0] >> 3) << 11) | ((p[1] >> 2) << 5) | (p[2] >> 3));
    }
    return out;
}

// The largest side of a text box: what GL takes, and no more than a text on this screen can need.
float maxTextBoxSide() {
    GLint max = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &max);
    return static_cast<float>(std::clamp(max, 64, 4096));
}

} // namespace

uint64_t Texture2D::nextSerial() {
    static uint64_t last = 0;
    return ++last;
}

void Texture2D::contentChanged() {
    serial_ = nextSerial();
}

Texture2D::~Texture2D() {
    GLStateCache::forgetTexture(name_); // also when it has no name: a recorded frame may point at it
    if (name_) glDeleteTextures(1, &name_);
}

// ---- raw pixels

bool Texture2D::initWithData(const void* data, int32_t pixelFormat, uint32_t pixelsWide, uint32_t pixelsHigh,
                             ccSize contentSize, float scale) {
    if (!(scale > 0)) scale = 1;
    GLenum format = 0, type = 0;
    switch (pixelFormat) {
    case Texture2DPixelFormatRGBA8888:
        format = GL_RGBA, type = GL_UNSIGNED_BYTE;
        break;
    case Texture2DPixelFormatRGB565:
        format = GL_RGB, type = GL_UNSIGNED_SHORT_5_6_5;
        break;
    case Texture2DPixelFormatA8:
        format = GL_ALPHA, type = GL_UNSIGNED_BYTE;
        break;
    default:
        ccAssert(false, ""); // checked before anything is made, so nothing is left behind
    }
    GLuint previous = boundTexture();
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_2D, name_);
    applyTexParameters();
    // Rows are packed: 1- and 2-pixel-wide textures must not be read as 4-byte aligned.
    GLint alignment = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &alignment);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, static_cast<GLint>(format), static_cast<GLsizei>(pixelsWide),
                 static_cast<GLsizei>(pixelsHigh), 0, format, type, data);
    glPixelStorei(GL_UNPACK_ALIGNMENT, alignment);
    glBindTexture(GL_TEXTURE_2D, previous);

    size_ = contentSize;
    width_ = pixelsWide;
    height_ = pixelsHigh;
    format_ = pixelFormat;
    scale_ = scale;
    maxS_ = pixelsWide ? contentSize.width * scale / static_cast<float>(pixelsWide) : 0;
    maxT_ = pixelsHigh ? contentSize.height * scale / static_cast<float>(pixelsHigh) : 0;
    return true;
}

// ---- pictures

bool Texture2D::initWithImage(const platform::Bitmap* image, float scale) {
    if (!image || !image->isWellFormed()) {
        platform::ccLog("Image is Null");
        return false;
    }
    int32_t pixelFormat = image->isMask                 ? Texture2DPixelFormatA8
                          : image->hasAlpha             ? Texture2DPixelFormatRGBA8888
                          : image->bitsPerComponent > 7 ? Texture2DPixelFormatRGBA8888
                                                        : Texture2DPixelFormatRGB565;
    if (!(scale >= 1)) scale = 1;
    ccSize content{static_cast<float>(image->width) / scale, static_cast<float>(image->height) / scale};
    uint32_t width = powerOfTwoAtLeast(static_cast<uint32_t>(image->width));
    uint32_t height = powerOfTwoAtLeast(static_cast<uint32_t>(image->height));
    int halvings = 0;
    while (width > kMaxImageSide || height > kMaxImageSide) {
        // Both sides together, so the picture keeps its shape; never below one pixel.
        width = std::max(1u, width / 2);
        height = std::max(1u, height / 2);
        if (scale >= 2) {
            scale *= 0.5f; // a dense picture gives up density before size
        } else {
            content.width *= 0.5f;
            content.height *= 0.5f;
        }
        ++halvings;
    }
    std::vector<uint8_t> rgba = placePicture(*image, width, height, halvings);
    premultipliedAlpha_ = pixelFormat != Texture2DPixelFormatA8;
    switch (pixelFormat) {
    case Texture2DPixelFormatRGB565: {
        std::vector<uint16_t> packed = toRGB565(rgba);
        return initWithData(packed.data(), pixelFormat, width, height, content, scale);
    }
    case Texture2DPixelFormatA8: {
        // A mask's grey level is its coverage.
        std::vector<uint8_t> alpha(rgba.size() / 4);
        for (size_t i = 0; i < alpha.size(); ++i)
            alpha[i] = rgba[i * 4];
        return initWithData(alpha.data(), pixelFormat, width, height, content, scale);
    }
    default:
        return initWithData(rgba.data(), pixelFormat, width, height, content, scale);
    }
}

// ---- text

bool Texture2D::initWithString(const std::string& string, ccSize dimensions, int32_t alignment,
                               const std::string& fontName, float fontSize) {
    // Drawn at the window's density; the box stays in points.
    const float scale = static_cast<float>(Application::sharedApplication().contentScale());
    // A box GL cannot hold is cut down to what it can; nonsense sizes are empty.
    float maxSide = maxTextBoxSide() / scale;
    auto side = [&](float v) {
        if (!(v > 0)) return 0.0f;
        if (v > maxSide) {
            platform::ccLogf("Text box side %g is too large; using %g", static_cast<double>(v),
                             static_cast<double>(maxSide));
            return maxSide;
        }
        return v;
    };
    dimensions = {side(dimensions.width), side(dimensions.height)};
    uint32_t width = powerOfTwoAtLeast(static_cast<uint32_t>(std::ceil(dimensions.width * scale)));
    uint32_t height = powerOfTwoAtLeast(static_cast<uint32_t>(std::ceil(dimensions.height * scale)));
    std::vector<uint8_t> coverage(static_cast<size_t>(width) * height, 0);
    platform::drawText(string, fontName, fontSize * scale, dimensions.width * scale, dimensions.height * scale,
                       alignment, coverage.data(), static_cast<int>(width), static_cast<int>(height));
    return initWithData(coverage.data(), Texture2DPixelFormatA8, width, height, dimensions, scale);
}

bool Texture2D::initWithString(const std::string& string, const std::string& fontName, float fontSize) {
    // Measured as drawn, so the dense raster never wraps where the plain one would not.
    const float scale = static_cast<float>(Application::sharedApplication().contentScale());
    platform::TextExtent extent = platform::measureText(string, fontName, fontSize * scale);
    return initWithString(string, ccSize{std::ceil(extent.width / scale), std::ceil(extent.height / scale)},
                          platform::TextAlignmentCenter, fontName, fontSize);
}

// ---- compressed data

bool Texture2D::initWithPVRTCData(const void* data, int32_t level, int32_t bpp, bool hasAlpha, int32_t length,
                                  size_t dataSize) {
    if (!data || length <= 0 || (bpp != 2 && bpp != 4)) {
        platform::ccLogf("Cannot make a PVRTC texture of side %d at %d bits per pixel", length, bpp);
        return false;
    }
    int64_t imageSize = static_cast<int64_t>(length) * length * bpp / 8;
    imageSize = std::max<int64_t>(imageSize, 32); // the smallest PVRTC level: 2 x 2 blocks
    if (static_cast<uint64_t>(imageSize) > dataSize) {
        platform::ccLogf("PVRTC data too short: %zu bytes where a %d x %d level needs %lld", dataSize, length,
                         length, static_cast<long long>(imageSize));
        return false;
    }
    GLenum format = hasAlpha ? (bpp == 4 ? kGLCompressedRGBAPVRTC4 : kGLCompressedRGBAPVRTC2)
                             : (bpp == 4 ? kGLCompressedRGBPVRTC4 : kGLCompressedRGBPVRTC2);
    GLuint previous = boundTexture();
    glGenTextures(1, &name_);
    glBindTexture(GL_TEXTURE_2D, name_);
    applyTexParameters();
    glCompressedTexImage2D(GL_TEXTURE_2D, level, format, length, length, 0, static_cast<GLsizei>(imageSize),
                           data);
    glBindTexture(GL_TEXTURE_2D, previous);

    width_ = height_ = static_cast<uint32_t>(length);
    size_ = {static_cast<float>(length), static_cast<float>(length)};
    maxS_ = maxT_ = 1.0f;
    format_ = Texture2DPixelFormatNone;
    return true;
}

bool Texture2D::initWithPVRTCFile(const std::string& path) {
    if (RefPtr<PVRTexture> pvr = PVRTexture::pvrTextureWithContentsOfFile(path)) {
        pvr->setRetainName(true); // the GL texture is ours from here on
        name_ = pvr->name();
        width_ = pvr->width();
        height_ = pvr->height();
        size_ = {static_cast<float>(width_), static_cast<float>(height_)};
    }
    maxS_ = maxT_ = 1.0f;
    format_ = Texture2DPixelFormatNone;
    return true;
}

// ---- drawing

void Texture2D::drawAtPoint(cpVect point) const {
    // In points: a dense picture covers as much of the screen as a plain one.
    float w = static_cast<float>(width_) * maxS_ / scale_;
    float h = static_cast<float>(height_) * maxT_ / scale_;
    drawInRect(ccRectMake(point.x, point.y, w, h));
}

void Texture2D::drawInRect(ccRect rect) const {
    // t = maxT is the picture's bottom row: the first rows in memory are its top.
    const GLfloat coordinates[] = {0, maxT_, maxS_, maxT_, 0, 0, maxS_, 0};
    const float x = rect.origin.x, y = rect.origin.y, w = rect.size.width, h = rect.size.height;
    const GLfloat vertices[] = {x, y, 0, x + w, y, 0, x, y + h, 0, x + w, y + h, 0};
    glBindTexture(GL_TEXTURE_2D, name_);
    glVertexPointer(3, GL_FLOAT, 0, vertices);
    glTexCoordPointer(2, GL_FLOAT, 0, coordinates);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
}

// ---- filter settings

void Texture2D::setTexParameters(const ccTexParams* params) {
    ccAssert(params != nullptr, "Argument must be non-nil");
    texParams = *params;
}

ccTexParams Texture2D::texParameters() {
    return texParams;
}

void Texture2D::applyTexParameters() {
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, static_cast<GLint>(texParams.minFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, static_cast<GLint>(texParams.magFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, static_cast<GLint>(texParams.wrapS));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, static_cast<GLint>(texParams.wrapT));
}

void Texture2D::setAliasTexParameters() {
    texParams.minFilter = texParams.magFilter = GL_NEAREST;
}

void Texture2D::setAntiAliasTexParameters() {
    texParams.minFilter = texParams.magFilter = GL_LINEAR;
}

void Texture2D::saveTexParameters() {
    texParamsCopy = texParams;
}

void Texture2D::restoreTexParameters() {
    texParams = texParamsCopy;
}

std::string Texture2D::description() const {
    return platform::ccFormat("<%s = %08llX | Name = %u | Dimensions = %ux%u | Coordinates = (%.2f, %.2f)>",
                              "Texture2D", static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(this)),
                              name_, width_, height_, static_cast<double>(maxS_), static_cast<double>(maxT_));
}

// ---- colours

void Color::glComponents(float out[4]) const {
    if (count_ == 2) {
        out[0] = out[1] = out[2] = components_[0];
        out[3] = components_[1];
    } else {
        std::copy_n(components_, 4, out);
    }
}

void Color::setOpenGLColor() const {
    float c[4];
    glComponents(c);
    glColor4f(c[0], c[1], c[2], c[3]);
}

void Color::setOpenGLClearColor() const {
    float c[4];
    glComponents(c);
    glClearColor(c[0], c[1], c[2], c[3]);
}
