// Particle systems with 10,000 live particles: the step alone (emission and
// integration), a whole frame (step, upload of the two buffers, drawing,
// finished by the GL), and the allocations a step makes, which must be none.

#include "AllocationCounter.h"
#include "Stage.h"
#include "engine/ParticleSystems.h"
#include "engine/Random.h"
#include "engine/TextureMgr.h"
#include "platform/GL.h"

#include <benchmark/benchmark.h>


namespace {

constexpr int kParticles = 10000;

// Fireworks of 10,000 particles that all live for the whole run, spread over
// the screen and pushed by gravity and by radial and tangential accelerations.
RefPtr<ParticleSystem> fullSystem() {
    Random::seed(1);
    RefPtr<ParticleSystem> s = ParticleFireworks::particleWithTotalParticles(kParticles);
    s->setEmissionRate(1e6f);
    s->setPosition(cpv(160, 240));
    s->setPosVar(cpv(150, 200));
    s->setAngleVar(360);
    s->setSpeed(20);
    s->setRadialAccel(-10);
    s->setTangentialAccel(10);
    s->setGravity(cpv(0, -1));
    s->setLife(1e6f);
    s->step(0.1f);
    return s;
}

void report(benchmark::State& state, ParticleSystem& s, long allocationsBefore) {
    const double perStep = double(long(heapAllocations()) - allocationsBefore) / double(state.iterations());
    state.counters["allocs/step"] = perStep;
    state.counters["live"] = s.particleCount();
    state.SetItemsProcessed(state.iterations() * s.particleCount());
}

} // namespace

// Emission and integration only: ns per particle is the time per item.
static void BM_ParticleStepOnly(benchmark::State& state) {
    Stage stage;
    RefPtr<ParticleSystem> s = fullSystem();
    if (s->particleCount() != kParticles) state.SkipWithError("the system did not fill");
    const long before = long(heapAllocations());
    for (auto _ : state) {
        s->advance(1.0f / 60);
        benchmark::DoNotOptimize(s->vertices());
    }
    report(state, *s, before);
    state.counters["ns/particle"] = benchmark::Counter(
        double(state.iterations()) * kParticles, benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_ParticleStepOnly)->Unit(benchmark::kMicrosecond);

// A frame: step (with the upload), draw, and the GL done with it.
static void BM_ParticleFrame(benchmark::State& state) {
    Stage stage;
    RefPtr<ParticleSystem> s = fullSystem();
    const auto path = static_cast<ParticleDrawPath>(state.range(0));
    s->setDrawPath(path);
    s->draw(); // the squares' array is made at the first drawing
    glFinish();
    // The GL driver may allocate as it pleases (llvmpipe compiles code with
    // C++): the steps' own allocations are counted apart from the frame's.
    const long before = long(heapAllocations());
    long inSteps = 0;
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        const long stepStart = long(heapAllocations());
        s->step(1.0f / 60);
        inSteps += long(heapAllocations()) - stepStart;
        s->visit();
        glFinish();
    }
    report(state, *s, before);
    state.counters["allocs/step"] = double(inSteps) / double(state.iterations());
    state.counters["allocs/frame"] = double(long(heapAllocations()) - before) / double(state.iterations());
    state.SetLabel(path == ParticleDrawPath::PointSprites ? "point sprites" : "squares");
}
BENCHMARK(BM_ParticleFrame)
    ->Arg(int(ParticleDrawPath::PointSprites))
    ->Arg(int(ParticleDrawPath::Quads))
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime(); // llvmpipe draws on threads of its own
