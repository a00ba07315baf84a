// What the board pays for setting its counters every frame: a label renders
// and uploads a new texture, a character-map label only rewrites its quads.

#include "engine/Label.h"
#include "engine/LabelAtlas.h"
#include "Stage.h"

#include <benchmark/benchmark.h>

#include <string>

static void BM_LabelSetString(benchmark::State& state) {
    Stage stage;
    RefPtr<Label> label = Label::labelWithString("Moves 0", "Marker Felt", 24);
    int moves = 0;
    for (auto _ : state) {
        label->setString("Moves " + std::to_string(moves++ % 10));
        benchmark::DoNotOptimize(label->texture());
    }
}
BENCHMARK(BM_LabelSetString);

static void BM_LabelSetStringAndDraw(benchmark::State& state) {
    Stage stage;
    RefPtr<Label> label = Label::labelWithString("Level 1", "Marker Felt", 32);
    int level = 0;
    for (auto _ : state) {
        label->setString("Level " + std::to_string(level++ % 15 + 1));
        label->draw();
    }
    glFinish();
}
BENCHMARK(BM_LabelSetStringAndDraw);

static void BM_LabelAtlasSetString(benchmark::State& state) {
    Stage stage;
    RefPtr<LabelAtlas> label = LabelAtlas::labelAtlasWithString("00.0", "fps_images.png", 16, 24, '.');
    int frame = 0;
    for (auto _ : state) {
        label->setString(std::to_string(frame++ % 100) + ".0");
        benchmark::DoNotOptimize(label->textureAtlas()->vertices());
    }
}
BENCHMARK(BM_LabelAtlasSetString);
