// Scene transitions: when each hands over, what the scenes go through, touches
// while they run, failures, the class table. (How each looks is the contact sheet's.)

#include "InputRecorder.h"
#include "Scenes.h"
#include "support/EngineTest.h"

#include "engine/Errors.h"
#include "engine/Grid.h"
#include "engine/Scheduler.h"
#include "engine/Transition.h"

#include <cmath>
#include <limits>

namespace {

using testing::FloatNear;
using testing::Pointwise;

constexpr float kTick = 0.125f; // exact in binary: elapsed times add up without rounding

// A full-screen card of one colour with a smaller rectangle in its upper
// left, so that which way a scene moves or turns shows in the picture.
RefPtr<Scene> card(uint32_t back, uint32_t front) {
    RefPtr<ColorLayer> inner = ColorLayer::layerWithColor(front, 120, 160);
    inner->setPosition(cpv(40, 260));
    return sceneOf(back, {inner});
}

constexpr uint32_t kBlue = 0x2050c0ff, kYellow = 0xf0d020ff;
constexpr uint32_t kGreen = 0x30a040ff, kRed = 0xe03030ff;
const RGBA blue{0x20, 0x50, 0xc0, 255}, yellow{0xf0, 0xd0, 0x20, 255};
const RGBA green{0x30, 0xa0, 0x40, 255}, red{0xe0, 0x30, 0x30, 255};

// Untransformed, with a clean camera and no active grid.
bool atRest(Scene* s) {
    return s->position() == cpvzero && s->scaleX() == 1 && s->scaleY() == 1 && s->rotation() == 0 &&
           !s->camera()->dirty() && !(s->grid() && s->grid()->active());
}

std::vector<float> eyeOf(Scene* scene) {
    std::vector<float> eye(3);
    scene->camera()->eyeX(&eye[0], &eye[1], &eye[2]);
    return eye;
}

class TransitionTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        out_ = card(kBlue, kYellow);
        in_ = card(kGreen, kRed);
        runScene(out_);
        step(kTick);
    }
    // Shows `t` and steps until the director runs its incoming scene;
    // the number of ticks after the one that entered it.
    int runToEnd(TransitionScene* t, int limit = 200) {
        Scene* in = t->inScene();
        director()->replaceScene(t);
        step(kTick);
        int ticks = 0;
        while (director()->runningScene() != in && ticks < limit) {
            step(kTick);
            ++ticks;
        }
        return ticks;
    }

    RefPtr<Scene> out_, in_;
};

template <class T> RefPtr<TransitionScene> flipOf(float duration, Scene* scene, int32_t orientation) {
    return T::transitionWithDuration(duration, scene, orientation);
}

} // namespace

TEST_F(TransitionTest, FadeCoversAtTheHalfAndHandsOverOneTickAfterTheEnd) {
    RefPtr<FadeTransition> fade = FadeTransition::transitionWithDuration(1, in_, 0xAAFF0000);
    EXPECT_EQ(fade->RGBA(), 0xFF000000u) << "the top byte is dropped, alpha 0";
    director()->replaceScene(fade);
    step(kTick); // entered
    ASSERT_EQ(director()->runningScene(), fade.get());
    EXPECT_FALSE(in_->visible());

    stepFrames(4, kTick); // the half: all red, the scenes swapped below
    EXPECT_TRUE(in_->visible());
    EXPECT_FALSE(out_->visible());
    EXPECT_TRUE(colorNear(pixelAt(60, 400), {255, 0, 0, 255}, 2));

    stepFrames(3, kTick);
    EXPECT_EQ(fade->scheduledTimer("step"), nullptr) << "not finished before the end";
    step(kTick); // the end: clear again, finish has run
    EXPECT_NE(fade->scheduledTimer("step"), nullptr);
    EXPECT_TRUE(colorNear(pixelAt(300, 20), green));
    EXPECT_FALSE(director()->eventsEnabled());

    step(kTick); // the hand-over, drawn in the same frame
    EXPECT_EQ(director()->runningScene(), in_.get());
    EXPECT_TRUE(director()->eventsEnabled());
    EXPECT_EQ(fade->children().size(), 0u) << "scenes and colour layer gone";
    EXPECT_EQ(in_->parent(), nullptr);
    EXPECT_TRUE(colorNear(pixelAt(100, 340), red));

    // Run again once spent, it has nothing to show and keeps touches on.
    director()->replaceScene(fade);
    stepFrames(2, kTick);
    EXPECT_TRUE(logged("TransitionScene: run again after its hand-over; it has no scenes to show"));
    EXPECT_TRUE(director()->eventsEnabled());
}

TEST_F(TransitionTest, EachSceneSeesTheDocumentedEnterAndExitOrder) {
    auto journal = std::make_shared<Journal>();
    auto from = RecordingNode<Scene>::make("out", journal);
    auto to = RecordingNode<Scene>::make("in", journal);
    director()->replaceScene(from);
    step(kTick);
    journal->clear();

    EXPECT_GT(runToEnd(SlideInLTransition::transitionWithDuration(0.5f, to)), 0);
    Journal lifeCycle;
    for (auto& line : *journal)
        if (line.find(".draw") == std::string::npos) lifeCycle.push_back(line);
    EXPECT_EQ(lifeCycle, (Journal{"out.exit", "out.enter", "in.enter", "in.exit", "out.exit", "in.enter"}));
}

TEST_F(TransitionTest, TouchesAreDroppedFromConstructionUntilTheHandOver) {
    auto journal = std::make_shared<Journal>();
    out_->add(InputRecorder::make("out", journal, true));
    in_->add(InputRecorder::make("in", journal, true));
    auto tap = [&] {
        touchDown(cpv(160, 240));
        touchUp(cpv(160, 240));
        step(kTick);
    };
    RefPtr<TransitionScene> slide = SlideInBTransition::transitionWithDuration(0.5f, in_);
    tap(); // built, not yet shown: the outgoing scene still runs but hears nothing
    director()->replaceScene(slide);
    for (int i = 0; i < 5; ++i)
        tap();
    EXPECT_EQ(director()->runningScene(), slide.get()) << "finished, not yet handed over";
    tap(); // the touch comes before the tick that hands over: lost
    EXPECT_EQ(director()->runningScene(), in_.get());
    touchDown(cpv(160, 240));
    step(kTick);
    // Only the touch lines carry a point.
    std::erase_if(*journal, [](const std::string& line) { return line.find(' ') == std::string::npos; });
    EXPECT_EQ(*journal, Journal{"in.began 160,240"});
}

TEST_F(TransitionTest, ConstructionFailsBeforeAnythingChangesAndANaNDurationIsNoTime) {
    EXPECT_THAT([&] { TransitionScene::transitionWithDuration(1, out_); },
                Fails<NamedException>(
                    "TransitionWithInvalidScene: Incoming scene must be different from the outgoing scene"));
    EXPECT_EQ(out_->parent(), nullptr);
    EXPECT_THAT([&] { FadeTransition::transitionWithDuration(1, nullptr); },
                Fails<AssertionFailure>("Argument scene must be non-nil"));
    EXPECT_TRUE(director()->eventsEnabled());
    // A duration that is no time changes at once.
    RefPtr<TransitionScene> t =
        FlipYTransition::transitionWithDuration(std::numeric_limits<float>::quiet_NaN(), card(kBlue, kRed));
    EXPECT_EQ(t->duration(), 0);
    EXPECT_TRUE(logged("TransitionScene: duration nan is not a usable time; the change is made at once"));
    EXPECT_EQ(runToEnd(t), 2);

    // Nothing running, so nothing to change from: the incoming scene is
    // left as it was and touches stay on.
    director()->end();
    EXPECT_THAT([&] { SlideInTTransition::transitionWithDuration(1, in_); },
                Fails<AssertionFailure>("Argument must be non-nil"));
    EXPECT_TRUE(director()->eventsEnabled());
    EXPECT_EQ(in_->parent(), nullptr);
    EXPECT_EQ(in_->retainCount(), 1u);
}

TEST_F(TransitionTest, FlipsTurnEachCameraAQuarterTheWayTheOrientationSays) {
    // Where each eye is a quarter into its turn (zenith 45 one way or the
    // other): x, y offsets from the centre, at h from the plane.
    const float h = std::sqrt(0.5f) * Camera::getZEye();
    const float a = std::sqrt(0.5f) * h; // the angular flips' azimuth of 45 splits the offset
    struct Case {
        const char* name;
        RefPtr<TransitionScene> (*make)(float, Scene*, int32_t);
        int32_t orientation;
        cpVect outEye, inEye;
    } const cases[] = {
        // Right over: out 0 -> 90, in 270 -> 360; left over: out 0 -> -90, in 90 -> 0.
        {"FlipX right", flipOf<FlipXTransition>, OrientationRightOver, cpv(h, 0), cpv(-h, 0)},
        {"FlipX left", flipOf<FlipXTransition>, OrientationLeftOver, cpv(-h, 0), cpv(h, 0)},
        // Down over: out 0 -> -90, in 90 -> 0, in the y-z plane; up over the other way.
        {"FlipY down", flipOf<FlipYTransition>, OrientationDownOver, cpv(0, -h), cpv(0, h)},
        {"FlipY up", flipOf<FlipYTransition>, OrientationUpOver, cpv(0, h), cpv(0, -h)},
        // Tilted: the outgoing camera at azimuth 45, the incoming one at -45.
        {"FlipAngular right", flipOf<FlipAngularTransition>, OrientationRightOver, cpv(a, a), cpv(-a, a)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RefPtr<Scene> to = card(kGreen, kRed);
        RefPtr<Scene> from = RefPtr<Scene>(director()->runningScene());
        director()->replaceScene(c.make(1, to, c.orientation));
        step(kTick);
        EXPECT_FALSE(to->visible());
        stepFrames(2, kTick);
        EXPECT_THAT(eyeOf(from), Pointwise(FloatNear(0.05f), {160 + c.outEye.x, 240 + c.outEye.y, h}));
        EXPECT_FALSE(to->camera()->dirty()) << "the incoming camera waits for the half";
        stepFrames(4, kTick);
        EXPECT_FALSE(from->visible());
        EXPECT_TRUE(to->visible());
        EXPECT_THAT(eyeOf(to), Pointwise(FloatNear(0.05f), {160 + c.inEye.x, 240 + c.inEye.y, h}));
        stepFrames(3, kTick);
        ASSERT_EQ(director()->runningScene(), to.get());
    }
}

// Every class the table knows, found by its name and run one after the other: each hands over in its
// time, a duration of a fraction of a tick included, and leaves both scenes at rest (no grid left on),
// the outgoing one hidden.
TEST_F(TransitionTest, EveryClassFoundByNameHandsOverInItsTimeAndLeavesBothScenesAtRest) {
    for (const std::string& name : TransitionScene::registeredClassNames()) {
        SCOPED_TRACE(name);
        RefPtr<Scene> from = RefPtr<Scene>(director()->runningScene());
        RefPtr<Scene> to = card(kGreen, kRed);
        RefPtr<TransitionScene> t = TransitionScene::transitionNamed(name, 1, to);
        ASSERT_NE(t, nullptr);
        WeakPtr<TransitionScene> gone(t.get());
        EXPECT_EQ(runToEnd(t), 9) << "one tick after the eight of its duration";
        t = nullptr;
        // Actions that lag behind their chain must not undo the rest.
        stepFrames(3, kTick);
        EXPECT_EQ(gone.get(), nullptr) << "nothing keeps the transition alive";
        EXPECT_EQ(std::tuple(atRest(to), atRest(from), from->visible(), director()->eventsEnabled()),
                  std::tuple(true, true, false, true));
        EXPECT_TRUE(colorNear(pixelAt(300, 20), green));
        EXPECT_TRUE(colorNear(pixelAt(100, 340), red));
    }
    EXPECT_EQ(runToEnd(FadeTransition::transitionWithDuration(1.2f, in_)), 11)
        << "1.2 s is 9.6 ticks: finished in the tenth, handed over in the eleventh";
    // An unknown name builds nothing and says so. (A class from outside the engine, found by its name, is
    // the game's flip to its help screen.)
    EXPECT_EQ(TransitionScene::transitionNamed("NoSuchTransition", 1, card(kBlue, kRed)), nullptr);
    EXPECT_TRUE(logged("TransitionScene: no transition class named \"NoSuchTransition\""));
}

// Half-way a grid runs; a split swaps the scenes at its half, when every column is a full height away.
// (That each switches its grid off at the end is checked for every class above.)
TEST_F(TransitionTest, TileTransitionsRunAGridAndSplitsSwapAtTheHalf) {
    for (const char* name :
         {"TurnOffTilesTransition", "SplitColsTransition", "SplitRowsTransition", "FadeTRTransition",
          "FadeBLTransition", "FadeUpTransition", "FadeDownTransition"}) {
        SCOPED_TRACE(name);
        RefPtr<Scene> from = RefPtr<Scene>(director()->runningScene());
        RefPtr<Scene> to = card(kGreen, kRed);
        RefPtr<TransitionScene> t = TransitionScene::transitionNamed(name, 1, to);
        bool split = std::string(name).rfind("Split", 0) == 0;
        // Tiles and fades put the outgoing scene on top, to be seen through.
        EXPECT_EQ(from->zOrder(), split ? 0 : 1);
        EXPECT_EQ(to->zOrder(), split ? 1 : 0);
        director()->replaceScene(t);
        stepFrames(3, kTick);
        EXPECT_EQ(to->visible(), !split);
        stepFrames(2, kTick);
        GridBase* grid = split ? t->grid() : from->grid();
        ASSERT_NE(grid, nullptr);
        EXPECT_TRUE(grid->active());
        EXPECT_EQ(from->visible(), !split);
        EXPECT_EQ(static_cast<bool>(colorNear(pixelAt(160, 240), {0, 0, 0, 255})), split)
            << "black only there";
        stepFrames(5, kTick);
        ASSERT_EQ(director()->runningScene(), to.get());
    }
}

// A scene left by pushing a transition is seen again when it is popped back.
TEST_F(TransitionTest, PushedWithATransitionAndPoppedTheSceneIsShownAndATransitionLeftHalfWayLetsGo) {
    director()->pushScene(FadeTransition::transitionWithDuration(1, in_));
    stepFrames(10, kTick);
    ASSERT_EQ(director()->runningScene(), in_.get());
    director()->popScene();
    step(kTick);
    ASSERT_EQ(director()->runningScene(), out_.get());
    EXPECT_TRUE(colorNear(pixelAt(300, 20), blue));
    EXPECT_TRUE(colorNear(pixelAt(100, 340), yellow));

    // Replaced (not pushed), the outgoing scene is left hidden as before.
    RefPtr<Scene> next = card(kGreen, kRed);
    EXPECT_EQ(runToEnd(FadeUpTransition::transitionWithDuration(1, next)), 9);
    EXPECT_FALSE(out_->visible());

    // Replaced before it hands over, a transition is not kept alive by its own choreography, nor does it
    // leave touches off for good, nor the scenes half-way.
    RefPtr<TransitionScene> t = RotoZoomTransition::transitionWithDuration(1, in_);
    WeakPtr<TransitionScene> gone(t.get());
    director()->replaceScene(t);
    t = nullptr;
    stepFrames(4, kTick);
    director()->replaceScene(card(kBlue, kRed));
    step(kTick);
    EXPECT_EQ(gone.get(), nullptr);
    EXPECT_TRUE(director()->eventsEnabled());
    EXPECT_TRUE(atRest(in_));
}
