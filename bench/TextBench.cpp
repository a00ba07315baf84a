// What a label pays when it re-renders its text: measuring and drawing a
// short text, and the same with the glyph cache emptied every time.

#include "platform/Text.h"

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

namespace {

const std::string kFont = "Marker Felt";

void renderLabel(const std::string& text, float size, std::vector<uint8_t>& buffer) {
    platform::TextExtent e = platform::measureText(text, kFont, size);
    int w = 1, h = 1;
    while (w < e.width)
        w *= 2;
    while (h < e.height)
        h *= 2;
    buffer.assign(static_cast<size_t>(w) * h, 0);
    platform::drawText(text, kFont, size, e.width, e.height, platform::TextAlignmentCenter, buffer.data(), w,
                       h);
}

void BM_RenderMoveCounter(benchmark::State& state) {
    std::vector<uint8_t> buffer;
    int moves = 0;
    for (auto _ : state) {
        renderLabel("Moves " + std::to_string(moves++ % 10), 24, buffer);
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(BM_RenderMoveCounter);

void BM_RenderMoveCounterColdCache(benchmark::State& state) {
    std::vector<uint8_t> buffer;
    for (auto _ : state) {
        platform::clearFontCache();
        renderLabel("Moves 3", 24, buffer);
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(BM_RenderMoveCounterColdCache);

void BM_RenderWrappedParagraph(benchmark::State& state) {
    const std::string text =
        "Logical game related to matches where you need to solve the tasks by manipulating "
        "with the sticks\n\nDesign & development";
    std::vector<uint8_t> buffer(512 * 512);
    for (auto _ : state) {
        platform::drawText(text, kFont, 22, 280, 300, platform::TextAlignmentCenter, buffer.data(), 512, 512);
        benchmark::DoNotOptimize(buffer.data());
    }
}
BENCHMARK(BM_RenderWrappedParagraph);

} // namespace
