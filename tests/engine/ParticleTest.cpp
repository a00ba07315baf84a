// Particle systems: emission arithmetic, removal, pushes from the origin, limits,
// and the two drawing paths. (How every preset looks is the contact sheet's.)

#include "support/EngineTest.h"
#include "support/TestPictures.h"

#include "engine/Errors.h"
#include "engine/ParticleSystems.h"
#include "engine/Random.h"

#include <climits>
#include <cmath>
#include <numbers>
#include <set>
#include <vector>

namespace {

// A system whose particles live long and start still at the emitter, so
// that only what a test sets moves them.
RefPtr<ParticleSystem> plainSystem(int32_t count, float rate, float duration = -1) {
    RefPtr<ParticleSystem> s = ParticleSystem::particleWithTotalParticles(count);
    s->setEmissionRate(rate);
    s->setDuration(duration);
    s->setLife(100);
    return s;
}

// Numbers each particle in the order it is born (in its size) and gives the
// listed ones no life.
class NumberedSystem : public ParticleSystem {
  public:
    void initParticle(sParticle* p) override {
        ParticleSystem::initParticle(p);
        p->size = static_cast<float>(born);
        p->life = dead.count(born) ? 0 : 10;
        ++born;
    }
    int born = 0;
    std::set<int> dead;
};

class ParticleTest : public EngineTest {
  protected:
    int windowScale() const override { return scale_; }
    int scale_ = 1;
    // Shows `system` alone after `steps` steps of `dt` (stepped directly:
    // drawing every one of them would only slow the test down).
    void show(ParticleSystem* system, int steps, float dt) {
        RefPtr<Scene> scene = Scene::node();
        scene->add(system);
        director()->runningScene() ? director()->replaceScene(scene) : runScene(scene);
        step(0);
        for (int i = 0; i < steps; ++i)
            system->step(dt);
        step(0);
    }
};

TEST_F(ParticleTest, CountsThatCannotBeHeldGiveNoSystemAndLimitsAreHeldToTheArrays) {
    EXPECT_THAT(
        [] { nodeOf<ParticleSystem>(); },
        Fails<NamedException>(
            "Particle.init: Particle.init shall not be called. Used initWithTotalParticles instead."));
    for (int32_t count : {0, -1, INT_MIN, INT_MAX}) {
        clearLog();
        EXPECT_FALSE(ParticleSystem::particleWithTotalParticles(count)) << count;
        EXPECT_FALSE(ParticleFire::particleWithTotalParticles(count)) << count;
        EXPECT_TRUE(logged("Particle system: not enough memory")) << count;
    }

    // A limit above the arrays is held to them.
    RefPtr<ParticleSystem> s = plainSystem(10, 1000);
    s->setTotalParticles(1000);
    EXPECT_EQ(s->totalParticles(), 10);
    EXPECT_TRUE(logged("Particle system: 1000 particles are more than the 10 it was made for; keeping 10"));
    s->step(1);
    EXPECT_EQ(s->particleCount(), 10);
    EXPECT_FALSE(s->addParticle());

    // Lowering the limit below the live count stops births without writing past it.
    s->setTotalParticles(5);
    EXPECT_TRUE(s->isFull());
    EXPECT_FALSE(s->addParticle());
    s->setTotalParticles(-3);
    EXPECT_EQ(s->totalParticles(), 0);
    s->step(1);
    EXPECT_EQ(s->particleCount(), 10);
}

// Each row: steps of `dt` from a fresh system; the live count and whether it
// still emits after each, and the counter at the end.
struct EmissionCase {
    const char* what;
    int32_t capacity;
    float rate;
    float duration;
    std::vector<float> dts;
    std::vector<int32_t> counts;
    std::vector<bool> active;
    float counterAtEnd;
    float elapsedAtEnd;
};

TEST_F(ParticleTest, EmissionArithmetic) {
    // clang-format off
    const EmissionCase cases[] = {
        {"0.25 s at 10/s: 0.25 -> 0.15 -> 0.05", 100, 10, -1, {0.25f}, {2}, {true}, 0.05f, 0.25f},
        {"a 60th at 100/s carries 0.006667", 100, 100, -1, {0.016667f, 0.016667f}, {1, 3}, {true, true},
         0.003334f, 0.033334f},
        {"duration 0.1 in 0.05 s steps stops in the third, after emitting",
         100, 25, 0.1f, {0.05f, 0.05f, 0.05f, 0.05f}, {1, 2, 3, 3}, {true, true, false, false}, 0, 0.1f},
        {"a full system emits nothing while its counter grows", 2, 10, -1, {1, 1}, {2, 2}, {true, true},
         1.8f, 2},
        {"no rate, no emission, no time", 100, 0, -1, {1}, {0}, {true}, 0, 0},
        {"duration 0 (the default) stops at the first step", 100, 10, 0, {0.45f, 0.45f}, {4, 4},
         {false, false}, 0, 0},
    };
    // clang-format on
    for (const EmissionCase& c : cases) {
        SCOPED_TRACE(c.what);
        RefPtr<ParticleSystem> s = plainSystem(c.capacity, c.rate, c.duration);
        for (size_t i = 0; i < c.dts.size(); ++i) {
            s->step(c.dts[i]);
            EXPECT_EQ(s->particleCount(), c.counts[i]) << "after step " << i + 1;
            EXPECT_EQ(s->active(), c.active[i]) << "after step " << i + 1;
        }
        EXPECT_NEAR(s->emitCounter(), c.counterAtEnd, 1e-5);
        EXPECT_NEAR(s->elapsed(), c.elapsedAtEnd, 1e-5);
    }
}

TEST_F(ParticleTest, StopAndResetLeaveLiveParticlesAlone) {
    RefPtr<ParticleSystem> s = plainSystem(10, 10, 5);
    s->step(0.35f);
    ASSERT_EQ(s->particleCount(), 3);
    s->resetSystem();
    EXPECT_EQ(s->elapsed(), 5);
    s->stopSystem();
    EXPECT_FALSE(s->active());
    s->step(1);
    EXPECT_EQ(s->particleCount(), 3); // no more are born; the live ones go on
}

TEST_F(ParticleTest, TheLastLiveRecordFillsAHoleAndIsMovedInTheSameStep) {
    const struct {
        std::set<int> dead;
        std::vector<int> order;
    } cases[] = {
        {{3}, {0, 1, 2, 9, 4, 5, 6, 7, 8}},
        {{9}, {0, 1, 2, 3, 4, 5, 6, 7, 8}},
        {{3, 9}, {0, 1, 2, 8, 4, 5, 6, 7}}, // the moved record is dead too: the index is looked at again
        {{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}, {}},
    };
    for (const auto& c : cases) {
        RefPtr<NumberedSystem> s = particleSystemOf<NumberedSystem>(10);
        s->dead = c.dead;
        s->setEmissionRate(1000);
        s->setDuration(-1);
        s->step(0.5f);
        ASSERT_EQ(s->particleCount(), static_cast<int32_t>(c.order.size()));
        ASSERT_EQ(s->particleIdx(), s->particleCount());
        for (size_t i = 0; i < c.order.size(); ++i) {
            EXPECT_EQ(s->particles()[i].size, static_cast<float>(c.order[i])) << "index " << i;
            EXPECT_EQ(s->vertices()[i].size, static_cast<float>(c.order[i])) << "index " << i;
            EXPECT_FLOAT_EQ(s->particles()[i].life, 9.5f) << "index " << i; // integrated once
        }
    }
}

TEST_F(ParticleTest, PushesComeFromTheNodesOriginAndNotAtIt) {
    // One still particle born at `source`; one step of 0.5 s.
    const struct {
        cpVect source;
        float radial, tangential;
        cpVect gravity;
        cpVect velocity;
    } cases[] = {
        {{0, 0}, 100, 100, {0, 0}, {0, 0}},    // at the origin: no direction to push along
        {{0, 0}, 100, 100, {0, -10}, {0, -5}}, // gravity still pulls
        {{10, 0}, 100, 0, {0, 0}, {50, 0}},
        {{10, 0}, -100, 0, {0, 0}, {-50, 0}},
        {{10, 0}, 0, 100, {0, 0}, {0, 50}}, // tangential: a quarter turn anticlockwise of radial
        {{0, 10}, 0, 100, {0, 0}, {-50, 0}},
        {{3, 4}, 50, 0, {0, 0}, {15, 20}}, // along the unit vector (0.6, 0.8)
    };
    for (const auto& c : cases) {
        RefPtr<ParticleSystem> s = plainSystem(1, 10);
        s->setSource(c.source);
        s->setRadialAccel(c.radial);
        s->setTangentialAccel(c.tangential);
        s->setGravity(c.gravity);
        s->step(0.5f);
        ASSERT_EQ(s->particleCount(), 1);
        const sParticle& p = s->particles()[0];
        // Semi-implicit: the new velocity moves the particle.
        const cpVect v = c.velocity, to = cpvadd(c.source, cpvmult(v, 0.5f));
        EXPECT_THAT((std::vector<float>{p.dir.x, p.dir.y, p.pos.x, p.pos.y}),
                    testing::Pointwise(testing::FloatNear(1e-4f), std::vector<float>{v.x, v.y, to.x, to.y}))
            << "source (" << c.source.x << ", " << c.source.y << ")";
    }
}

// The preset values are a transcript of their table and the contact sheet
// shows each; what it cannot show is the rate computed from another count.
TEST_F(ParticleTest, PresetsTakeTheirRateFromTheirCount) {
    EXPECT_FLOAT_EQ(ParticleFireworks::particleWithTotalParticles(300)->emissionRate(), 300 / 3.5f);
    EXPECT_FLOAT_EQ(ParticleExplosion::particleWithTotalParticles(70)->emissionRate(), 700);
    EXPECT_EQ(ParticleSnow::particleWithTotalParticles(5)->emissionRate(), 10);
}

// Both ways leave the usual GL state behind, the additive blend included.
TEST_F(ParticleTest, PointSpritesAndSquaresDrawTheSamePictureAndLeaveTheUsualGLState) {
    auto expectUsualState = [] {
        for (GLenum state : {GL_TEXTURE_2D, GL_POINT_SPRITE_OES, GL_VERTEX_ARRAY, GL_COLOR_ARRAY,
                             GL_TEXTURE_COORD_ARRAY, GL_POINT_SIZE_ARRAY_OES})
            EXPECT_FALSE(glIsEnabled(state)) << state;
        GLint blend[2] = {}, buffer = -1;
        glGetIntegerv(GL_BLEND_SRC, &blend[0]);
        glGetIntegerv(GL_BLEND_DST, &blend[1]);
        glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &buffer);
        EXPECT_THAT((std::vector<GLint>{blend[0], blend[1], buffer}),
                    testing::ElementsAre(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA, 0));
        EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    };
    Random::seed(11);
    RefPtr<ParticleGalaxy> s = ParticleGalaxy::node();
    ASSERT_TRUE(s->blendAdditive());
    s->setDrawPath(ParticleDrawPath::PointSprites);
    show(s, 90, 1.0f / 30);
    ASSERT_GT(s->particleCount(), 100);
    expectUsualState();
    std::vector<platform::Bitmap> frames{readFrame()};
    // A frame of no time: the same particles, drawn the other way.
    s->setDrawPath(ParticleDrawPath::Quads);
    step(0);
    expectUsualState();
    frames.push_back(readFrame());
    int lit = 0;
    for (size_t i = 0; i < frames[0].pixels.size(); i += 4)
        lit += frames[0].pixels[i] + frames[0].pixels[i + 1] + frames[0].pixels[i + 2] > 30;
    EXPECT_GT(lit, 5000) << "the galaxy is drawn";
    EXPECT_TRUE(picturesMatch(frames[1], frames[0], 16, lit / 100 - 1)) << "of " << lit << " lit pixels";
}

TEST_F(ParticleTest, PointSizesAreInPicturePixelsAtEveryWindowScale) {
    std::vector<int> widths;
    for (int scale : {1, 2}) {
        if (scale != scale_) { // a new director on a window of that scale
            TearDown();
            scale_ = scale;
            SetUp();
        }
        for (ParticleDrawPath path : {ParticleDrawPath::PointSprites, ParticleDrawPath::Quads}) {
            // One still white particle of size 40 in the middle of the screen.
            RefPtr<ParticleSystem> s = plainSystem(1, 10);
            s->setPosition(cpv(160, 240));
            s->setSize(40);
            s->setStartColor({1, 1, 1, 1});
            s->setEndColor({1, 1, 1, 1});
            s->setDrawPath(path);
            show(s, 1, 0.5f);
            EXPECT_EQ(s->vertices()[0].size, 40.0f * scale);
            // The lit run (brighter than a tenth) across the middle row, in points.
            const platform::Bitmap frame = readFrame();
            int lit = 0;
            for (int x = 0; x < frame.width; ++x)
                lit += frame.pixel(x, frame.height / 2)[0] > 25;
            widths.push_back(lit / (frame.width / 320));
        }
    }
    for (int w : widths) {
        EXPECT_GT(w, 20) << "the glow covers most of its 40 points";
        EXPECT_NEAR(w, widths[0], 3);
    }
}

} // namespace
