// An idle frame of the game, as the director runs it: the main menu and a
// level's board standing still. The figure that matters is the counter
// "allocs/frame" (heap allocations per frame, from AllocationCounter), which
// should be 0. Such frames show the picture already shown, so they are kept,
// not drawn: the time is the engine's own work per frame.

#include "AllocationCounter.h"
#include "GameScenes.h"
#include "Stage.h"
#include "engine/Layer.h"
#include "engine/Scene.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>

namespace {
// The game's settings go to a scratch folder, never to the user's.
void scratchSettings() {
    static std::string dir = (std::filesystem::temp_directory_path() / "tindervale-bench-config").string();
    std::filesystem::create_directories(dir);
    setenv("XDG_CONFIG_HOME", dir.c_str(), 1);
}
} // namespace

static void BM_IdleFrame(benchmark::State& state) {
    scratchSettings();
    Stage stage;
    registerGameTransitions();
    Director* director = Director::sharedDirector();
    RefPtr<Scene> scene = state.range(0) == 0 ? newMainScreen() : newPlayScreen();
    director->runWithScene(scene);
    if (state.range(0) == 1) {
        director->mainLoop();
        // The board of the current level, as "Continue" shows it.
        static_cast<MultiplexLayer*>(scene->children()[0].get())->switchTo(3);
    }
    // Past every entrance animation (the sticks fly in for a second of real time).
    auto settled = std::chrono::steady_clock::now() + std::chrono::milliseconds(1500);
    while (std::chrono::steady_clock::now() < settled)
        director->mainLoop();
    uint64_t before = heapAllocations();
    for (auto _ : state)
        director->mainLoop();
    state.counters["allocs/frame"] =
        static_cast<double>(heapAllocations() - before) / static_cast<double>(state.iterations());
    director->end();
    director->mainLoop();
}
BENCHMARK(BM_IdleFrame)->Arg(0)->Arg(1)->ArgName("board")->Unit(benchmark::kMicrosecond);
