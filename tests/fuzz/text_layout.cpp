// Text layout: any UTF-8 (valid or not) in any box, at any size, stays inside
// the buffer it is drawn into. The first bytes choose the font, size, box and
// alignment; the rest is the text.
#include "platform/Text.h"

#include <cmath>
#include <cstring>
#include <vector>

namespace {
float takeFloat(const uint8_t*& data, size_t& size) {
    float v = 0;
    if (size >= sizeof v) {
        std::memcpy(&v, data, sizeof v);
        data += sizeof v;
        size -= sizeof v;
    }
    return v;
}
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const kFonts[] = {"Marker Felt", "Helvetica", "Courier", "No Such Font"};
    if (size < 1) return 0;
    const char* font = kFonts[data[0] % 4];
    int alignment = static_cast<int8_t>(data[0]) >> 2;
    ++data;
    --size;
    // Sizes: odd values as they come, plain ones kept small so that the
    // fuzzer spends its time on layout rather than on rasterising huge glyphs.
    float pointSize = takeFloat(data, size);
    if (std::isfinite(pointSize) && std::fabs(pointSize) > 64) pointSize = std::fmod(pointSize, 64.f);
    float boxWidth = takeFloat(data, size);
    float boxHeight = takeFloat(data, size);
    std::string_view text(reinterpret_cast<const char*>(data), size);

    platform::measureText(text, font, pointSize);
    constexpr int kWidth = 61, kRows = 37; // odd sizes, so row strides matter
    std::vector<uint8_t> coverage(kWidth * kRows);
    platform::drawText(text, font, pointSize, boxWidth, boxHeight, alignment, coverage.data(), kWidth, kRows);
    return 0;
}
