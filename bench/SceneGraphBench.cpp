// The frame loop's own cost: visiting a tree of nodes and ticking timers.

#include "engine/Layer.h"
#include "engine/Scene.h"
#include "Stage.h"

#include <benchmark/benchmark.h>

namespace {

RefPtr<Scene> treeOf(int count) {
    RefPtr<Scene> scene = Scene::node();
    RefPtr<CocosNode> parent = CocosNode::node();
    scene->add(parent);
    for (int i = 0; i < count; ++i) {
        RefPtr<CocosNode> n = CocosNode::node();
        n->setPosition(cpv(i % 320, i % 480));
        n->setRotation(static_cast<float>(i));
        n->setScale(1.5f);
        parent->add(n, i % 7 - 3);
    }
    return scene;
}
} // namespace

static void BM_VisitTree(benchmark::State& state) {
    Stage stage;
    RefPtr<Scene> scene = treeOf(static_cast<int>(state.range(0)));
    for (auto _ : state)
        scene->visit();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_VisitTree)->Arg(100)->Arg(1000);

static void BM_SchedulerTick(benchmark::State& state) {
    Stage stage;
    RefPtr<Scene> scene = treeOf(static_cast<int>(state.range(0)));
    for (auto& child : scene->children()[0]->children())
        child->schedule("tick", [](float) {});
    scene->onEnter();
    for (auto _ : state)
        Scheduler::sharedScheduler()->tick(1.0f / 60);
    scene->onExit();
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_SchedulerTick)->Arg(100)->Arg(1000);
