// What the board pays for setting its counters every frame: a label renders
// and uploads a new texture, a character-map label only rewrites its quads.

#include "engine/Director.h"
#include "engine/Label.h"
#include "engine/LabelAtlas.h"
#include "engine/Scheduler.h"
#include "engine/TextureMgr.h"
#include "platform/Surface.h"
#include "platform/System.h"

#include <benchmark/benchmark.h>

#include <string>

namespace {
// A director attached to an offscreen 320 x 480 window, resources next to the benchmarks.
struct Stage {
    RefPtr<Window> window;
    Stage() {
        std::string error;
        if (!platform::initVideo(true, &error)) throw std::runtime_error(error);
        platform::setResourceDirectory(TV_BENCH_RESOURCE_DIR);
        window = makeRef<Window>(ccRectMake(0, 0, 320, 480));
        Director::sharedDirector()->attachInWindow(window);
    }
    ~Stage() {
        TextureMgr::purgeSharedTextureMgr();
        Director::purgeSharedDirector();
        Scheduler::purgeSharedScheduler();
    }
};
} // namespace

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
