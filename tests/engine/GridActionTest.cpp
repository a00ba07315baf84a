// Grid actions: effect formulas at chosen times, reuse, amplitude ramps, the
// tile effects' random orders. (How every effect looks is the contact sheet's.)

#include "support/EngineTest.h"

#include "engine/Errors.h"
#include "engine/Grid3DAction.h"
#include "engine/Random.h"
#include "engine/TiledGridAction.h"

#include <cmath>
#include <functional>
#include <set>

namespace {

class GridActionTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        node_ = CocosNode::node();
    }
    void TearDown() override {
        node_ = nullptr;
        EngineTest::TearDown();
    }
    // Starts `a` on the node and updates it to t once.
    void at(GridAction* a, float t) {
        a->setTarget(node_);
        a->start();
        a->update(t);
    }
    Grid3D* mesh() const { return dynamic_cast<Grid3D*>(node_->grid()); }
    TiledGrid3D* tiles() const { return dynamic_cast<TiledGrid3D*>(node_->grid()); }

    RefPtr<CocosNode> node_;
};

bool isOff(const ccQuad3& q) {
    const float* f = &q.bl_x;
    return std::all_of(f, f + 12, [](float v) { return v == 0; });
}

bool sameQuad(const ccQuad3& a, const ccQuad3& b) {
    const float *f = &a.bl_x, *g = &b.bl_x;
    return std::equal(f, f + 12, g);
}

constexpr float kPi = 3.1415927f;

} // namespace

// One vertex of a 2 x 2 or finer mesh on the 320 x 480 window, at a chosen t:
// where the formula of each effect puts it.
TEST_F(GridActionTest, MeshEffectsMoveVerticesAsTheirFormulasSay) {
    const float sin4 = std::sin(4.0f);
    const ccGridSize g{2, 2};
    const RefPtr<GridAction> ripple = Ripple3D::actionWithPosition(cpv(160, 240), 100, 1, 20, g, 1);
    const RefPtr<GridAction> liquid = Liquid::actionWithWaves(1, 10, g, 1);
    const RefPtr<GridAction> flipX = FlipX3D::actionWithDuration(1), flipY = FlipY3D::actionWithDuration(1);
    const auto waves = [&](bool h, bool v) { return Waves::actionWithWaves(1, 10, h, v, g, 1); };
    // clang-format off
    struct Case {
        const char* name;
        RefPtr<GridAction> action;
        float t;
        ccGridSize vertex;
        ccVertex3D expected;
    };
    const Case cases[] = {
        // The phase includes the position: not flat at t = 0.
        {"Waves3D t=0", Waves3D::actionWithWaves(2, 10, g, 1), 0, {1, 1}, {160, 240, sin4 * 10}},
        {"Waves3D quarter wave", Waves3D::actionWithWaves(1, 10, g, 1), 0.25f, {0, 0}, {0, 0, 10}},
        {"Ripple3D at its centre", ripple, 0.25f, {1, 1}, {160, 240, std::sin(kPi / 2 + 10) * 20}},
        {"Ripple3D beyond its radius", ripple, 0.25f, {2, 2}, {320, 480, 0}},
        {"Liquid keeps the border", liquid, 0.25f, {2, 1}, {320, 240, 0}},
        {"Liquid inside", liquid, 0.25f, {1, 1}, {160 + std::cos(1.6f) * 10, 240 + std::cos(2.4f) * 10, 0}},
        {"Waves vertical only", waves(false, true), 0.25f, {1, 1}, {160 + std::cos(2.4f) * 10, 240, 0}},
        {"Waves both, y from the new x", waves(true, true), 0.25f, {0, 0}, {10, std::cos(0.1f) * 10, 0}},
        {"Twirl centre", Twirl::actionWithPosition(cpv(160, 240), 1, 5, g, 1), 0.5f, {1, 1}, {160, 240, 0}},
        {"FlipX3D at the end", flipX, 1, {0, 1}, {320, 480, 0}},
        {"FlipX3D far edge at the end", flipX, 1, {1, 0}, {0, 0, 0}},
        // Half-way the near edge is lifted a quarter of the width, the far edge pushed back.
        {"FlipX3D half-way near", flipX, 0.5f, {0, 0}, {320 - 320 * std::cos(kPi / 4), 0, 80}},
        {"FlipX3D half-way far", flipX, 0.5f, {1, 1}, {320 * std::cos(kPi / 4), 480, -80}},
        {"FlipY3D at the end", flipY, 1, {1, 0}, {320, 480, 0}},
        {"FlipY3D half-way far", flipY, 0.5f, {0, 1}, {0, 480 * std::cos(kPi / 4), -120}},
        {"Shaky3D range 0", Shaky3D::actionWithRange(0, true, g, 1), 0.5f, {1, 1}, {160, 240, 0}},
        {"Shaky3D negative range", Shaky3D::actionWithRange(-4, true, g, 1), 0.5f, {2, 2}, {320, 480, 0}},
    };
    // clang-format on
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        node_ = CocosNode::node();
        at(c.action, c.t);
        ASSERT_NE(mesh(), nullptr);
        const ccVertex3D v = mesh()->vertex(c.vertex), e = c.expected;
        EXPECT_THAT((std::vector<float>{v.x, v.y, v.z}),
                    testing::Pointwise(testing::FloatNear(1e-3f), std::vector<float>{e.x, e.y, e.z}));
    }
}

TEST_F(GridActionTest, ShakingStaysWithinItsRangeInWholePointsAndShatteringIsOnce) {
    at(Shaky3D::actionWithRange(3, false, {4, 4}, 1), 0.5f);
    std::set<float> offsets;
    for (int32_t i = 0; i <= 4; ++i)
        for (int32_t j = 0; j <= 4; ++j) {
            ccVertex3D v = mesh()->vertex({i, j}), o = mesh()->originalVertex({i, j});
            for (float d : {v.x - o.x, v.y - o.y}) {
                EXPECT_TRUE(d == std::trunc(d) && d >= -3 && d < 3) << d;
                offsets.insert(d);
            }
            EXPECT_EQ(v.z, 0) << "no shaking in z unless asked";
        }
    EXPECT_GE(offsets.size(), 4u);

    // Tiles need a range to shake; shattered, they stay where they were thrown.
    at(ShakyTiles3D::actionWithRange(0, true, {2, 2}, 1), 0.5f);
    EXPECT_TRUE(sameQuad(tiles()->tile({1, 1}), tiles()->originalTile({1, 1}))) << "range 0: no shaking";
    at(ShatteredTiles3D::actionWithRange(-5, true, {2, 2}, 1), 0.5f);
    EXPECT_TRUE(sameQuad(tiles()->tile({1, 1}), tiles()->originalTile({1, 1}))) << "negative: no shaking";

    RefPtr<ShatteredTiles3D> shatter = ShatteredTiles3D::actionWithRange(20, false, {4, 4}, 1);
    at(shatter, 0.1f);
    std::vector<float> once = tiles()->vertices();
    EXPECT_NE(once, tiles()->originalVertices());
    shatter->update(0.9f);
    EXPECT_EQ(tiles()->vertices(), once) << "they stay where they were thrown";
}

TEST_F(GridActionTest, LensRecomputesOnlyWhenItMoves) {
    RefPtr<Lens3D> lens = Lens3D::actionWithPosition(cpv(160, 240), 200, {4, 4}, 1);
    at(lens, 0);
    EXPECT_EQ(mesh()->vertex({2, 2}).z, 0) << "no direction at the very centre";
    // 120 points above the centre: 80 / 200 of the radius left.
    EXPECT_NEAR(mesh()->vertex({2, 3}).z, std::exp(std::log(0.4f) * 0.7f) * 200 * 0.7f, 1e-3);

    mesh()->setVertex({2, 3}, {0, 0, 0});
    lens->update(0.5f);
    EXPECT_EQ(mesh()->vertex({2, 3}).z, 0) << "not moved: left as it is";
    lens->setPosition(cpv(160, 120));
    lens->update(0.5f);
    EXPECT_EQ(mesh()->vertex({2, 3}).y, 360) << "moved: everything again from the originals";
    EXPECT_EQ(mesh()->vertex({2, 3}).z, 0) << "now at the lens's edge";
    EXPECT_GT(mesh()->vertex({2, 2}).z, 0);
}

// Without ReuseGrid every effect starts from the plain picture on a grid of its
// own. (With it, the next starts from the last one's shape: the contact sheet's
// ReuseGrid picture shows that.)
TEST_F(GridActionTest, EachEffectHasAFreshGridUnlessReusedAndStopGridSwitchesItOff) {
    RefPtr<Scene> scene = Scene::node();
    runScene(scene);
    step();
    const ccGridSize size{2, 2};
    auto waves = [&] { return Waves3D::actionWithWaves(1, 10, size, 0.25f); };
    scene->runAction(Sequence::actions({waves(), waves()}));
    step(0.125f);
    GridBase* firstGrid = scene->grid();
    step(0.25f);
    EXPECT_NE(scene->grid(), firstGrid) << "a fresh grid at the second start";
    EXPECT_EQ(dynamic_cast<Grid3D*>(scene->grid())->originalVertex({0, 0}).z, 0);
    stepFrames(4, 0.125f);

    // Asked to reuse a grid of another size or kind: refused.
    scene->runAction(ReuseGrid::actionWithTimes(1));
    step();
    for (RefPtr<GridAction> other : std::vector<RefPtr<GridAction>>{
             Waves3D::actionWithWaves(1, 10, {3, 3}, 1), ShakyTiles3D::actionWithRange(1, false, size, 1)}) {
        other->setTarget(scene);
        EXPECT_THAT([&] { other->start(); }, Fails<NamedException>("GridBase: Cannot reuse grid"));
    }

    // StopGrid switches the grid off and leaves it attached; an inactive grid takes no reuse.
    at(Waves3D::actionWithWaves(1, 10, {2, 2}, 1), 0.5f);
    GridBase* grid = node_->grid();
    node_->runAction(StopGrid::action());
    EXPECT_EQ(node_->grid(), grid);
    EXPECT_FALSE(grid->active());
    node_->runAction(ReuseGrid::actionWithTimes(2));
    EXPECT_EQ(grid->reuseGrid(), 0);
}

TEST_F(GridActionTest, AmplitudeWrappersRampTheStrength) {
    struct Case {
        const char* name;
        std::function<RefPtr<AmplitudeAction>(IntervalAction*)> wrap;
        float rate;
        std::vector<float> times, rates;
    };
    auto accelDeccel = [](IntervalAction* a) { return AccelDeccelAmplitude::actionWithAction(a, 1); };
    const Case cases[] = {
        // clang-format off
        {"AccelDeccel", accelDeccel, 1, {0, 0.25f, 0.5f, 0.75f, 1}, {0, 0.5f, 1, 0.5f, 0}},
        {"AccelDeccel rate 2", accelDeccel, 2, {0.25f, 0.5f}, {0.25f, 1}},
        {"Accel", [](IntervalAction* a) { return AccelAmplitude::actionWithAction(a, 1); }, 2,
         {0, 0.5f, 1}, {0, 0.25f, 1}},
        {"Deccel", [](IntervalAction* a) { return DeccelAmplitude::actionWithAction(a, 1); }, 2,
         {0, 0.25f, 1}, {1, 0.5625f, 0}},
        // clang-format on
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RefPtr<WavesTiles3D> effect = WavesTiles3D::actionWithWaves(1, 10, {2, 2}, 1);
        RefPtr<AmplitudeAction> wrapper = c.wrap(effect);
        wrapper->setRate(c.rate);
        wrapper->setTarget(node_);
        wrapper->start();
        for (size_t k = 0; k < c.times.size(); ++k) {
            wrapper->update(c.times[k]);
            EXPECT_FLOAT_EQ(effect->getAmplitudeRate(), c.rates[k]) << "t = " << c.times[k];
        }
        // The effect is drawn at that strength.
        EXPECT_NEAR(tiles()->tile({0, 0}).bl_z, std::sin(2 * kPi * c.times.back()) * 10 * c.rates.back(),
                    1e-3);
        RefPtr<TimedAction> back = wrapper->reverse();
        EXPECT_EQ(typeid(*back), typeid(*wrapper));
        EXPECT_FLOAT_EQ(copyOf(wrapper.get())->rate(), c.rate);
    }
    // Only effects with an amplitude can be ramped.
    RefPtr<AccelAmplitude> wrong =
        AccelAmplitude::actionWithAction(MoveBy::actionWithDuration(1, cpv(1, 1)), 1);
    wrong->setTarget(node_);
    wrong->start();
    const auto abstract =
        Fails<NamedException>("IntervalAction (Amplitude): Abstract class needs implementation");
    EXPECT_THAT([&] { wrong->update(0.5f); }, abstract);
    EXPECT_THAT([] { FlipX3D::actionWithDuration(1)->getAmplitudeRate(); }, abstract);
}

TEST_F(GridActionTest, TileOrdersAreRepeatableForASeedAndShufflingEndsAsAPermutation) {
    auto orderOf = [&](int32_t seed) {
        RefPtr<TurnOffTiles> t = TurnOffTiles::actionWithSeed(seed, {2, 2}, 1);
        at(t, 0);
        return t->tilesOrder();
    };
    std::vector<int32_t> first = orderOf(5);
    Random::next(); // other users of the generator in between
    EXPECT_EQ(orderOf(5), first);
    // Seed -1 continues the sequence where it stands.
    Random::seed(5);
    EXPECT_EQ(orderOf(-1), first);
    // The grid-action factory gives seed 0: the same order every time.
    RefPtr<TurnOffTiles> plain = TurnOffTiles::actionWithSize({2, 2}, 1);
    at(plain, 0);
    EXPECT_EQ(plain->tilesOrder(), orderOf(0));

    // Half-way on 4 x 4: exactly 8 tiles off, the first 8 of the order.
    RefPtr<TurnOffTiles> half = TurnOffTiles::actionWithSeed(7, {4, 4}, 1);
    at(half, 0.5f);
    for (int32_t k = 0; k < 16; ++k) {
        int32_t p = half->tilesOrder()[static_cast<size_t>(k)];
        EXPECT_EQ(isOff(tiles()->tile({p / 4, p % 4})), k < 8) << "tile " << p;
    }
    half->update(1);
    EXPECT_TRUE(isOff(tiles()->tile({3, 3})));

    RefPtr<ShuffleTiles> shuffle = ShuffleTiles::actionWithSeed(3, {4, 3}, 1);
    at(shuffle, 1);
    std::set<std::pair<float, float>> covered;
    for (int32_t i = 0; i < 4; ++i)
        for (int32_t j = 0; j < 3; ++j) {
            int32_t p = shuffle->tilesOrder()[static_cast<size_t>(i * 3 + j)];
            ccQuad3 q = tiles()->tile({i, j});
            EXPECT_TRUE(sameQuad(q, tiles()->originalTile({p / 3, p % 3}))) << "tile " << i << ", " << j;
            covered.insert({q.bl_x, q.bl_y});
        }
    EXPECT_EQ(covered.size(), 12u) << "every cell covered once";
}

// The copies keep their class and settings, so effects go into composites.
TEST_F(GridActionTest, CopiesAndReversesKeepTheEffectAndFlipsNeedAOneByOneGrid) {
    RefPtr<Twirl> twirl = copyOf(Twirl::actionWithPosition(cpv(1, 2), 3, 4, {5, 6}, 1).get());
    EXPECT_EQ(twirl->position(), cpv(1, 2));
    EXPECT_EQ(twirl->gridSize(), (ccGridSize{5, 6}));
    RefPtr<SplitCols> split = SplitCols::actionWithCols(3, 0.5f);
    RefPtr<TimedAction> back = split->reverse();
    auto* reversed = dynamic_cast<ReverseTime*>(back.get());
    ASSERT_NE(reversed, nullptr);
    EXPECT_EQ(reversed->other(), split.get()) << "the same object, played backwards";
    const auto refused = Fails<NamedException>("FlipX3D: Grid size must be (1,1)");
    EXPECT_THAT([] { makeRef<FlipX3D>()->initWithSize({2, 1}, 1); }, refused);
    EXPECT_THAT([] { FlipY3D::actionWithDuration(1)->initWithSize({1, 2}, 1); }, refused);
}
