// The scheduler at scale: N nodes each running RepeatForever(Sequence(MoveBy,
// MoveBy)), against a plain loop doing the same arithmetic on an array.
// BM_ActionTick: one tick (items = nodes, so "ns per node" is 1e9 / items/s).
// BM_ActionSetUp: entering a scene of N such nodes (linear, not quadratic).

#include "Stage.h"
#include "engine/IntervalAction.h"
#include "engine/Scene.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {
RefPtr<Scene> movingNodes(int64_t count) {
    RefPtr<Scene> scene = Scene::node();
    for (int64_t i = 0; i < count; ++i) {
        RefPtr<CocosNode> n = CocosNode::node();
        n->runAction(RepeatForever::actionWithAction(Sequence::actionOne(
            MoveBy::actionWithDuration(1, cpv(10, 0)).get(), MoveBy::actionWithDuration(1, cpv(-10, 0)).get())));
        scene->add(n);
    }
    return scene;
}
} // namespace

static void BM_ActionTick(benchmark::State& state) {
    Stage stage;
    RefPtr<Scene> scene = movingNodes(state.range(0));
    scene->onEnter();
    Scheduler* scheduler = Scheduler::sharedScheduler();
    scheduler->tick(0); // the pending additions move in
    for (auto _ : state)
        scheduler->tick(1.0f / 60);
    state.SetItemsProcessed(state.iterations() * state.range(0));
    scene->onExit();
}
BENCHMARK(BM_ActionTick)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

// The same motion without the engine: two moves of 1 s, back and forth.
static void BM_PlainLoop(benchmark::State& state) {
    struct Mover {
        float x, y, elapsed, startX;
        int phase;
    };
    std::vector<Mover> movers(static_cast<size_t>(state.range(0)), Mover{0, 0, 0, 0, 0});
    const float dt = 1.0f / 60;
    for (auto _ : state) {
        for (auto& m : movers) {
            m.elapsed += dt;
            if (m.elapsed >= 1) {
                m.elapsed = 0;
                m.phase ^= 1;
                m.startX = m.x;
            }
            float t = m.elapsed;
            m.x = m.startX + (m.phase ? -10.0f : 10.0f) * t;
        }
        benchmark::DoNotOptimize(movers.data());
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_PlainLoop)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond);

static void BM_ActionSetUp(benchmark::State& state) {
    Stage stage;
    for (auto _ : state) {
        state.PauseTiming();
        RefPtr<Scene> scene = movingNodes(state.range(0));
        state.ResumeTiming();
        scene->onEnter();
        Scheduler::sharedScheduler()->tick(0);
        state.PauseTiming();
        scene->onExit();
        Scheduler::sharedScheduler()->tick(0);
        scene = nullptr;
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(BM_ActionSetUp)->Arg(10000)->Arg(100000)->Arg(1000000)->Unit(benchmark::kMillisecond)->Iterations(1);
