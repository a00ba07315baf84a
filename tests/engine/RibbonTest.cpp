// Ribbons and motion streaks: how points fill, join and recycle segments, how a
// strip fades, how a streak follows its node and lives no longer than its owners.

#include "Scenes.h"
#include "engine/MotionStreak.h"
#include "support/EngineTest.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

std::vector<float> pointVerts(const RibbonSegment& s, uint32_t i) {
    return {s.verts + i * 6, s.verts + i * 6 + 6};
}
std::vector<float> pointCoords(const RibbonSegment& s, uint32_t i) {
    return {s.coords + i * 4, s.coords + i * 4 + 4};
}

class RibbonTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        step(); // the director's first frame has no delta time worth the name; streaks start after it
    }
};

} // namespace

TEST_F(RibbonTest, PointsFillSegmentsOfFiftyThatJoinUp) {
    RefPtr<Ribbon> ribbon = Ribbon::ribbonWithWidth(20, "streak.png", 100, 0xffffffff, 1);
    ribbon->addPointAt(cpv(100, 100), 20);
    EXPECT_EQ(ribbon->segments()[0]->end, 0u) << "the first point only marks the start";
    ribbon->update(0.25f);
    ribbon->addPointAt(cpv(100, 150), 20);
    // The first point is written now, across the strip's new direction, then the second.
    const RibbonSegment& first = *ribbon->segments()[0];
    ASSERT_EQ(first.end, 2u);
    EXPECT_EQ(pointVerts(first, 0), (std::vector<float>{90, 100, 0, 110, 100, 0}));
    EXPECT_EQ(pointVerts(first, 1), (std::vector<float>{90, 150, 0, 110, 150, 0}));
    EXPECT_EQ(pointCoords(first, 1), (std::vector<float>{0, 0.5f, 1, 0.5f})) << "50 of a 100-point texture";

    // Points 3 to 50 fill the segment; the 51st starts a new one that repeats the 50th, so there is no gap.
    for (int i = 3; i <= 51; ++i)
        ribbon->addPointAt(cpv(100, 50 + 50.0f * static_cast<float>(i)), 20);
    ASSERT_EQ(ribbon->segments().size(), 2u);
    EXPECT_EQ(first.end, RibbonSegment::kCapacity);
    const RibbonSegment& second = *ribbon->segments()[1];
    ASSERT_EQ(second.end, 2u);
    EXPECT_EQ(pointVerts(second, 0), pointVerts(first, 49));
    EXPECT_EQ(pointCoords(second, 0), pointCoords(first, 49));
    EXPECT_EQ(pointVerts(second, 1), (std::vector<float>{90, 2600, 0, 110, 2600, 0}));
    EXPECT_FLOAT_EQ(ribbon->texVPos(), 25);

    // Edges turn with the direction: going right, the left edge is above.
    ribbon->addPointAt(cpv(200, 2600), 8);
    EXPECT_NEAR(ribbon->lastPoint1().y, 2604, 1e-3);
    EXPECT_NEAR(ribbon->lastPoint2().y, 2596, 1e-3);

    EXPECT_LT(ribbon->sideOfLine(cpv(200, 2604), cpv(100, 2600), cpv(200, 2600)), 0)
        << "left of the way it went";
}

TEST_F(RibbonTest, FadedPointsAreSkippedAndFadedSegmentsReused) {
    RefPtr<Ribbon> ribbon = Ribbon::ribbonWithWidth(10, "streak.png", 50, 0x102030ff, 0.5f);
    ribbon->addPointAt(cpv(0, 0), 10);
    ribbon->update(0.1f);
    ribbon->addPointAt(cpv(0, 10), 10); // points made at 0 and 0.1
    ribbon->update(0.45f);              // ages 0.55 and 0.45 of 0.5
    ribbon->draw();
    const RibbonSegment& segment = *ribbon->segments()[0];
    EXPECT_EQ(segment.begin, 1u) << "the older point has faded";
    EXPECT_EQ((std::vector<int>{segment.colors[0], segment.colors[1], segment.colors[2], segment.colors[3]}),
              (std::vector<int>{0, 0, 0, 0}));
    // The newer one is at 10 % (255 - 0.9 * 255, truncated); the picture's colour is premultiplied.
    EXPECT_EQ(segment.colors[8 + 3], 25);
    EXPECT_EQ(segment.colors[8 + 2], (0x30 * 25 + 127) / 255);

    // Fill the segment, let every point fade: two draws later it is finished, and the next point reuses it.
    for (int i = 2; i < 50; ++i)
        ribbon->addPointAt(cpv(0, 10.0f * static_cast<float>(i)), 10);
    ASSERT_EQ(segment.end, 50u);
    ribbon->update(1);
    ribbon->draw();
    EXPECT_EQ(segment.begin, 50u);
    EXPECT_FALSE(segment.finished);
    ribbon->draw();
    EXPECT_TRUE(segment.finished);
    const RibbonSegment* reused = &segment;
    ribbon->addPointAt(cpv(0, 600), 10);
    ASSERT_EQ(ribbon->segments().size(), 1u);
    EXPECT_EQ(ribbon->segments()[0].get(), reused);
    EXPECT_TRUE(ribbon->spareSegments().empty());
    EXPECT_EQ((std::vector<uint32_t>{reused->begin, reused->end}), (std::vector<uint32_t>{0, 2}));
    EXPECT_FALSE(reused->finished);
}

TEST_F(RibbonTest, BeforeItsFirstUpdateARibbonIsOneColourAlphaIncluded) {
    // A quarter-opaque green strip across the screen, over black.
    RefPtr<Ribbon> ribbon = Ribbon::ribbonWithWidth(40, "streak.png", 64, 0x00ff0040, 1);
    ribbon->addPointAt(cpv(40, 240), 40);
    ribbon->addPointAt(cpv(280, 240), 40);
    showScene(sceneOf(0x000000ff, {ribbon}));
    EXPECT_TRUE(colorNear(pixelAt(160, 240), RGBA{0, 64, 0, 255}, 6));
    EXPECT_TRUE(colorNear(pixelAt(160, 300), RGBA{0, 0, 0, 255}));
    // Once its clock runs each point has its own alpha, from its age alone: a quarter of the fade is 191.
    ribbon->update(0.25f);
    step();
    EXPECT_TRUE(colorNear(pixelAt(160, 240), RGBA{0, 191, 0, 255}, 6));
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    EXPECT_EQ(source, GL_SRC_ALPHA) << "the blend function is put back";
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
}

TEST_F(RibbonTest, AStreakRecordsAPointOnlyPastItsThreshold) {
    RefPtr<MotionStreak> streak = MotionStreak::streakWithFade(1, 10, "streak.png", 8, 32, 0xffffffff);
    streak->setPosition(cpv(100, 100));
    std::vector<float> recorded;
    for (int frame = 0; frame < 8; ++frame) {
        step(); // not in any scene: the streak runs from its creation on
        recorded.push_back(streak->lastLocation().x);
        streak->setPosition(cpv(streak->position().x + 4, 100));
    }
    // From (0, 0) to 100 is far enough; then every third move of 4 passes 10.
    EXPECT_EQ(recorded, (std::vector<float>{100, 100, 100, 112, 112, 112, 124, 124}));
    EXPECT_EQ(streak->ribbon()->position(), cpv(-128, -100)) << "points drawn where they were in the world";
    EXPECT_EQ(streak->ribbon()->segments()[0]->end, 3u);
    EXPECT_NEAR(streak->ribbon()->curTime(), 8.0f / 60, 1e-5);
}

// (In a scene a streak is a node like any other: the scene's letting go of its nodes is the node tests'.)
TEST_F(RibbonTest, AStreakItsOwnersDropIsFreedAndNoLongerCalled) {
    RefPtr<Timer> timer;
    WeakPtr<MotionStreak> gone;
    {
        RefPtr<MotionStreak> streak = MotionStreak::streakWithFade(1, 1, "streak.png", 8, 32, 0xffffffff);
        timer = streak->timer();
        gone = streak.get();
        stepFrames(2);
    }
    EXPECT_EQ(gone.get(), nullptr) << "its own timer keeps a streak alive";
    step();
    const auto& timers = Scheduler::sharedScheduler()->scheduledMethods();
    EXPECT_EQ(std::find(timers.begin(), timers.end(), timer), timers.end());
}
