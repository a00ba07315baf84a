// The director: singleton rules, attaching, the scene stack, the frame loop's order, pause and
// resume, touch dispatch, and a second lifetime of the engine in one process.

#include "InputRecorder.h"
#include "support/EngineTest.h"
#include "support/LogRecorder.h"

#include "engine/Application.h"
#include "engine/Engine.h"
#include "engine/Errors.h"
#include "engine/Scheduler.h"
#include "engine/Sprite.h"
#include "platform/Surface.h"

#include <chrono>

using DirectorTest = EngineTest;

namespace {
// A scene that records its life cycle and, through a timer, every tick.
RefPtr<RecordingNode<Scene>> recordingScene(const std::string& name, std::shared_ptr<Journal> journal) {
    auto scene = RecordingNode<Scene>::make(name, journal);
    scene->schedule("tick", [name, journal](float) { journal->push_back(name + ".tick"); });
    return scene;
}
} // namespace

TEST_F(DirectorTest, TheOneDirectorsFirstFrameEntersAndDrawsTheScene) {
    auto journal = std::make_shared<Journal>();
    auto scene = recordingScene("S", journal);
    runScene(scene);
    EXPECT_EQ(director()->runningScene(), nullptr) << "entered only at the first frame";
    EXPECT_TRUE(director()->isAnimating());
    step();
    EXPECT_EQ(*journal, (Journal{"S.enter", "S.draw"}));
    step();
    EXPECT_EQ(journal->back(), "S.draw");
    EXPECT_EQ((*journal)[2], "S.tick") << "its timers fire from the second frame";
    EXPECT_THAT(
        [&] { director()->runWithScene(Scene::node()); },
        Fails<AssertionFailure>(
            "You can't run an scene if another Scene is running. Use replaceScene or pushScene instead"));
    EXPECT_THAT([&] { Director second; },
                Fails<AssertionFailure>("Attempted to allocate a second instance of a singleton."));
    EXPECT_THAT([&] { Director::useFastDirector(); },
                Fails<AssertionFailure>(
                    "A Director was alloced. To use Fast Director this must be the first call to Director"));
}

// Waiting an interval before the first frame would only hold the first picture
// back; the run loop draws it at once (a frame interval of 30 s shows the wait).
TEST_F(DirectorTest, TheRunLoopDrawsTheFirstFrameWithoutWaitingAnInterval) {
    director()->setAnimationInterval(30.0);
    runScene(Scene::node());
    auto start = std::chrono::steady_clock::now();
    Application::sharedApplication().run(nullptr, [&] { return director()->totalFrames() >= 1; });
    EXPECT_EQ(director()->totalFrames(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(10));
}

// Each change, made between frames, one after the other from A running: what
// the next frame does, and how many scenes wait below.
TEST_F(DirectorTest, SceneChangesTakeEffectAtTheNextFrameAndPoppingTheLastEndsTheDirector) {
    auto journal = std::make_shared<Journal>();
    auto a = recordingScene("A", journal), b = recordingScene("B", journal), c = recordingScene("C", journal);
    EXPECT_THAT([&] { director()->popScene(); }, Fails<AssertionFailure>("A running Scene is needed"));
    EXPECT_THROW(director()->pushScene(a), AssertionFailure);
    runScene(a);
    step();
    const struct {
        const char* what;
        std::function<void()> change;
        Journal frame;
        size_t waiting;
    } cases[] = {
        {"push then pop re-enters the running scene",
         [&] { director()->pushScene(b), director()->popScene(); },
         {"A.tick", "A.exit", "A.enter", "A.draw"},
         0},
        {"push suspends", [&] { director()->pushScene(b); }, {"A.tick", "A.exit", "B.enter", "B.draw"}, 1},
        {"pop resumes", [&] { director()->popScene(); }, {"B.tick", "B.exit", "A.enter", "A.draw"}, 0},
        {"only the last pending scene is entered",
         [&] { director()->replaceScene(b), director()->replaceScene(c); },
         {"A.tick", "A.exit", "C.enter", "C.draw"},
         0},
    };
    for (const auto& row : cases) {
        journal->clear();
        row.change();
        step();
        EXPECT_EQ(*journal, row.frame) << row.what;
        EXPECT_EQ(director()->scenes().size(), row.waiting) << row.what;
    }

    // Popping the last scene ends the director.
    journal->clear();
    director()->popScene();
    EXPECT_EQ(*journal, (Journal{"C.exit"}));
    EXPECT_EQ(director()->runningScene(), nullptr);
    EXPECT_FALSE(director()->isAnimating());
    EXPECT_FALSE(director()->isOpenGLAttached());
    EXPECT_FALSE(Application::sharedApplication().hasTimers()) << "nothing keeps the program running";
}

TEST_F(DirectorTest, DeltaTimeComesFromTheClockAndPauseStopsTicksButNotDrawing) {
    auto journal = std::make_shared<Journal>();
    runScene(recordingScene("A", journal));
    step();
    director()->pause();
    director()->pause();
    journal->clear();
    step(0.25f);
    EXPECT_EQ(*journal, (Journal{"A.draw"}));
    director()->resume();
    EXPECT_DOUBLE_EQ(director()->animationInterval(), 1.0 / 60) << "not the paused rate";
    step(0.5f);
    EXPECT_EQ(director()->dt(), 0.0f) << "the first frame after resume";
    step(0.1f);
    EXPECT_EQ(director()->dt(), 0.1f);
    director()->setNextDeltaTimeZero(true);
    step(0.1f);
    EXPECT_EQ(director()->dt(), 0.0f);
    clock_.advance(-2); // the clock was set back
    step(0.1f);
    EXPECT_EQ(director()->dt(), 0.0f);
    clock_.setFailing(true);
    EXPECT_THAT([&] { step(); }, Fails<NamedException>("GetTimeOfDay: GetTimeOfDay abnormal error"));
    clock_.setFailing(false);
}

TEST_F(DirectorTest, CoordinatesSizesAndSurfaceRules) {
    director()->setLandscape(true);
    EXPECT_EQ(Application::sharedApplication().statusBarOrientation(), kInterfaceOrientationLandscapeRight);
    EXPECT_EQ(director()->winSize(), (ccSize{480, 320}));
    EXPECT_EQ(director()->displaySize(), (ccSize{320, 480}));
    EXPECT_EQ(director()->convertCoordinate(cpv(100.5f, 30.7f)), cpv(30.7f, 100.5f));
    director()->setLandscape(false);
    EXPECT_EQ(Application::sharedApplication().statusBarOrientation(), kInterfaceOrientationPortrait);
    // Far off the screen without overflow, and in whole points cut towards zero.
    EXPECT_EQ(director()->convertCoordinate(cpv(5, 3e9f)), cpv(5, 480 - 3e9f));
    EXPECT_EQ(director()->convertCoordinate(cpv(5, 479.75f)), cpv(5, 0));

    EXPECT_THAT(
        [&] { director()->setPixelFormat(kColorFormat8888); },
        Fails<NamedException>(
            "DirectorAlreadyInitialized: Can't change the pixel format after the director was initialized"));
    EXPECT_THROW(director()->setDepthBufferFormat(kDepthFormat16), NamedException);
    EXPECT_THAT([&] { director()->attachInWindow(window_); },
                Fails<NamedException>("kccException_OpenGLViewAlreadyAttached: Can't re-attach the OpenGL "
                                      "View, because it is already attached. Detach it first."));
    EXPECT_TRUE(director()->detach());
    EXPECT_THAT([&] { director()->detach(); },
                Fails<NamedException>("kccException_OpenGLViewNotAttached: Can't detach the OpenGL View, "
                                      "because it is not attached. Attach it first."));
    // Re-attaching keeps the view and gives it the new frame.
    EAGLView* view = director()->openGLView();
    auto other = makeRef<View>(ccRectMake(0, 0, 320, 480));
    other->setUserInteractionEnabled(false);
    director()->attachInView(other);
    EXPECT_EQ(director()->openGLView(), view);
    EXPECT_EQ(view->superview(), other.get());
    EXPECT_FALSE(director()->eventsEnabled()) << "copied from the view";
}

TEST_F(DirectorTest, TouchesGoToTheNewestHandlerFirstUntilOneTakesThem) {
    auto journal = std::make_shared<Journal>();
    auto older = InputRecorder::make("older", journal, false);
    auto middle = InputRecorder::make("middle", journal, true);
    auto newest = InputRecorder::make("newest", journal, false);
    director()->addEventHandler(older);
    director()->addEventHandler(middle);
    director()->addEventHandler(newest);
    runScene(Scene::node());
    touchDown(cpv(100, 30.7f));
    step(); // the middle one takes it

    // A handler leaving during dispatch does not disturb this touch's round.
    newest->onBegan = [&] { director()->removeEventHandler(newest); };
    middle->answer = false;
    touchUp(cpv(100, 30.7f));
    touchDown(cpv(10, 10));
    step();

    // With events off, touches are lost rather than queued.
    director()->setEventsEnabled(false);
    touchUp(cpv(10, 10));
    step();
    director()->setEventsEnabled(true);
    step();
    EXPECT_EQ(*journal, (Journal{"newest.began 100,449", "middle.began 100,449", "newest.ended 100,449",
                                 "middle.ended 100,449", "older.ended 100,449", "newest.began 10,470",
                                 "middle.began 10,470", "older.began 10,470"}));
    EXPECT_THAT([&] { director()->addEventHandler(nullptr); },
                Fails<AssertionFailure>("Director.AddEventHandler: Node must be non nil"));
    EXPECT_THROW(director()->removeEventHandler(nullptr), AssertionFailure);
}

TEST(FastDirectorTest, RunsFramesBackToBackUntilStoppedFromInside) {
    std::string error;
    ASSERT_TRUE(startEngine(true, &error)) << error;
    Director::useFastDirector();
    Director* d = Director::sharedDirector();
    ASSERT_NE(dynamic_cast<FastDirector*>(d), nullptr);
    auto window = makeRef<Window>(ccRectMake(0, 0, 320, 480));
    d->attachInWindow(window);
    LogRecorder lines;
    d->setAnimationInterval(0.5);
    EXPECT_EQ(lines, std::vector<std::string>{"FastDirectory doesn't support setAnimationInterval, yet"});
    EXPECT_DOUBLE_EQ(d->animationInterval(), 1.0 / 60);

    auto scene = Scene::node();
    int ticks = 0;
    scene->schedule("count", [&](float) {
        if (++ticks == 5) d->stopAnimation();
    });
    d->runWithScene(scene); // blocks until the fifth tick
    EXPECT_EQ(ticks, 5);
    EXPECT_EQ(d->totalFrames(), 6);
    endEngine();
}

// Two lifetimes of the engine in one process: the second draws the same picture the same, so nothing
// (a cached texture whose GL name died with the first context) leaks from the first.
TEST_F(DirectorTest, TheEngineCanEndAndStartAgainInOneProcess) {
    for (int lifetime = 1; lifetime <= 2; ++lifetime) {
        auto scene = Scene::node();
        auto sprite = Sprite::spriteWithFile("stick.png");
        sprite->setPosition(cpv(160, 240));
        scene->add(sprite);
        showScene(scene);
        EXPECT_EQ(pixelAt(160, 240), (RGBA{222, 186, 132, 255})) << "the stick's wood, lifetime " << lifetime;
        TearDown();
        SetUp();
    }
}
