// Grid effects: moving a mesh's vertices each frame, and drawing a scene
// through a grid (capture into the render target, then the mesh).

#include "Stage.h"
#include "engine/Grid3DAction.h"
#include "engine/Layer.h"
#include "engine/Scene.h"
#include "engine/TiledGridAction.h"

#include <benchmark/benchmark.h>

static void BM_Waves3DUpdate(benchmark::State& state) {
    Stage stage;
    auto side = static_cast<int32_t>(state.range(0));
    RefPtr<CocosNode> node = CocosNode::node();
    RefPtr<Waves3D> waves = Waves3D::actionWithWaves(2, 20, {side, side}, 1);
    waves->setTarget(node);
    waves->start();
    float t = 0;
    for (auto _ : state) {
        waves->update(t);
        t = t < 1 ? t + 0.01f : 0;
    }
    state.SetItemsProcessed(state.iterations() * (side + 1) * (side + 1));
}
BENCHMARK(BM_Waves3DUpdate)->Arg(16)->Arg(64);

static void BM_FadeOutTilesUpdate(benchmark::State& state) {
    Stage stage;
    RefPtr<CocosNode> node = CocosNode::node();
    RefPtr<FadeOutTRTiles> fade = FadeOutTRTiles::actionWithSize({8, 12}, 1);
    fade->setTarget(node);
    fade->start();
    float t = 0;
    for (auto _ : state) {
        fade->update(t);
        t = t < 1 ? t + 0.01f : 0;
    }
}
BENCHMARK(BM_FadeOutTilesUpdate);

static void BM_VisitThroughGrid(benchmark::State& state) {
    Stage stage;
    RefPtr<Scene> scene = Scene::node();
    scene->add(ColorLayer::layerWithColor(0x204080ff));
    scene->add(ColorLayer::layerWithColor(0xe0c020ff, 160, 240));
    RefPtr<Grid3D> grid = Grid3D::gridWithSize({15, 10});
    scene->setGrid(grid);
    grid->setActive(true);
    for (auto _ : state) {
        scene->visit();
        glFinish();
    }
}
BENCHMARK(BM_VisitThroughGrid);
