#pragma once
// Pictures in memory and PNG files.

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// 8-bit RGBA pixels, top row first, rows packed (stride = 4 x width).
struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> pixels;

    uint8_t* pixel(int x, int y) { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
    const uint8_t* pixel(int x, int y) const { return &pixels[(static_cast<size_t>(y) * width + x) * 4]; }
};

// Writes `bitmap` as an 8-bit RGBA PNG; false (with a log line) on failure.
bool writePNG(const std::string& path, const Bitmap& bitmap);

} // namespace platform
