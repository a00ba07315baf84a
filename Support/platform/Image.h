#pragma once
// Pictures in memory and PNG files.
// Failures: logged here (see Log.h).

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// 8-bit RGBA pixels, top row first, rows packed (stride = 4 x width).
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    // How the picture was stored; textures choose their pixel format from it.
    // A frame read back or a picture put together in code keeps the defaults.
    bool premultiplied = false; // colour already multiplied by alpha
    bool hasAlpha = true;       // false: every alpha byte is 255 and means nothing
    bool isMask = false;        // grey without alpha: the grey level (in every channel) is coverage
    int bitsPerComponent = 8;   // of the source; the pixels here are always 8-bit

    uint8_t* pixel(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
    const uint8_t* pixel(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
    // Sizes are positive and the pixels are exactly width x height x 4 bytes.
    bool isWellFormed() const;
};

// Pictures larger than this on either side are refused when decoding.
inline constexpr int kMaxDecodedImageSide = 8192;

// Decodes a PNG file (any colour type, bit depth and interlacing) into 8-bit
// RGBA with premultiplied alpha, top row first. False, with a log line
// naming the reason, when the file is missing, empty, truncated or corrupt.
bool decodePNG(const std::string& path, Bitmap& out);
// The same for a PNG held in memory; `what` names it in log lines.
bool decodePNG(const uint8_t* data, size_t size, Bitmap& out, const std::string& what);

// Writes `bitmap` as an 8-bit RGBA PNG; false (with a log line) on failure.
bool writePNG(const std::string& path, const Bitmap& bitmap);

} // namespace platform
