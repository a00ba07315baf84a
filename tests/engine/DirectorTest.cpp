// The director: singleton rules, attaching, projections, the scene stack,
// the frame loop's order, pause and resume, touch dispatch, the counter.

#include "support/EngineTest.h"
#include "support/Recorder.h"

#include "engine/Application.h"
#include "engine/Errors.h"
#include "engine/Engine.h"
#include "engine/Scheduler.h"
#include "engine/Sprite.h"
#include "support/TestPictures.h"
#include "platform/GL.h"
#include "platform/Log.h"
#include "platform/Surface.h"
#include "platform/System.h"

#include <array>
#include <chrono>
#include <cmath>

using DirectorTest = EngineTest;

namespace {
// A scene that records its life cycle and, through a timer, every tick.
RefPtr<RecordingNode<Scene>> recordingScene(const std::string& name, std::shared_ptr<Journal> journal) {
    auto scene = RecordingNode<Scene>::make(name, journal);
    scene->schedule("tick", [name, journal](float) { journal->push_back(name + ".tick"); });
    return scene;
}

// A touch handler that answers with `answer` and records what it saw.
class Handler : public Layer {
  public:
    static RefPtr<Handler> make(std::string name, std::shared_ptr<Journal> journal, bool answer) {
        auto h = nodeOf<Handler>();
        h->name = std::move(name);
        h->journal = std::move(journal);
        h->answer = answer;
        return h;
    }
    bool ccTouchesBegan(TouchSet& touches, Event*) override {
        cpVect p = Director::sharedDirector()->convertCoordinate(touches.anyObject()->locationInView());
        journal->push_back(name + ".began " + std::to_string(int(p.x)) + "," + std::to_string(int(p.y)));
        if (onBegan) onBegan();
        return answer;
    }
    bool ccTouchesEnded(TouchSet&, Event*) override {
        journal->push_back(name + ".ended");
        return answer;
    }
    std::string name;
    std::shared_ptr<Journal> journal;
    bool answer = false;
    std::function<void()> onBegan;
};

std::array<GLfloat, 16> matrix(GLenum which) {
    std::array<GLfloat, 16> m{};
    glGetFloatv(which, m.data());
    return m;
}
} // namespace

TEST_F(DirectorTest, TheFirstFrameTicksThenEntersAndDrawsTheScene) {
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
}

// Waiting an interval before the first frame would only hold the first picture
// back; the run loop draws it at once (a frame interval of 2 s shows the wait).
TEST_F(DirectorTest, TheRunLoopDrawsTheFirstFrameWithoutWaitingAnInterval) {
    director()->setAnimationInterval(2.0);
    runScene(Scene::node());
    auto start = std::chrono::steady_clock::now();
    Application::sharedApplication().run(nullptr, [&] { return director()->totalFrames() >= 1; });
    EXPECT_EQ(director()->totalFrames(), 1);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
}

// Each change, made between frames, one after the other from A running: what
// the next frame does, and how many scenes wait below.
TEST_F(DirectorTest, SceneChangesTakeEffectAtTheNextFrame) {
    auto journal = std::make_shared<Journal>();
    auto a = recordingScene("A", journal), b = recordingScene("B", journal), c = recordingScene("C", journal);
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
}

TEST_F(DirectorTest, PopOnAnEmptyStackEndsTheDirector) {
    auto journal = std::make_shared<Journal>();
    auto a = recordingScene("A", journal);
    EXPECT_THAT([&] { director()->popScene(); }, Fails<AssertionFailure>("A running Scene is needed"));
    EXPECT_THROW(director()->pushScene(a), AssertionFailure);
    runScene(a);
    step();
    journal->clear();
    director()->popScene();
    EXPECT_EQ(*journal, (Journal{"A.exit"}));
    EXPECT_EQ(director()->runningScene(), nullptr);
    EXPECT_FALSE(director()->isAnimating());
    EXPECT_FALSE(director()->isOpenGLAttached());
    EXPECT_FALSE(Application::sharedApplication().hasTimers()) << "nothing keeps the program running";
}

TEST_F(DirectorTest, PauseStopsTicksButNotDrawingAndResumeStartsWithZeroDt) {
    auto journal = std::make_shared<Journal>();
    auto a = recordingScene("A", journal);
    runScene(a);
    step();
    director()->pause();
    director()->pause();
    EXPECT_EQ(director()->animationInterval(), 0.25);
    journal->clear();
    step(0.25f);
    EXPECT_EQ(*journal, (Journal{"A.draw"}));
    director()->resume();
    EXPECT_DOUBLE_EQ(director()->animationInterval(), 1.0 / 60);
    EXPECT_FALSE(director()->isPaused());
    step(0.5f);
    EXPECT_EQ(director()->dt(), 0.0f) << "the first frame after resume";
    step(0.5f);
    EXPECT_EQ(director()->dt(), 0.5f);
}

TEST_F(DirectorTest, DeltaTimeComesFromTheClock) {
    runScene(Scene::node());
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

TEST_F(DirectorTest, CoordinatesAndSizes) {
    cpVect p = director()->convertCoordinate(cpv(100.0f, 30.7f));
    EXPECT_EQ(p, cpv(100, 449));
    EXPECT_EQ(director()->winSize(), (ccSize{320, 480}));
    director()->setLandscape(true);
    EXPECT_EQ(Application::sharedApplication().statusBarOrientation(), kInterfaceOrientationLandscapeRight);
    EXPECT_EQ(director()->winSize(), (ccSize{480, 320}));
    EXPECT_EQ(director()->displaySize(), (ccSize{320, 480}));
    EXPECT_EQ(director()->convertCoordinate(cpv(100.5f, 30.7f)), cpv(30.7f, 100.5f));
    director()->setLandscape(false);
    EXPECT_EQ(Application::sharedApplication().statusBarOrientation(), kInterfaceOrientationPortrait);
}

TEST_F(DirectorTest, TheDefaultProjectionShowsOnePointPerUnit) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    EXPECT_EQ(viewport[2], 320);
    EXPECT_EQ(viewport[3], 480);
    EXPECT_NEAR(Camera::getZEye(), 415.0095f, 1e-3);
    // The plane z = 0 maps (0, 0) and (320, 480) to the corners of the viewport.
    auto proj = matrix(GL_PROJECTION_MATRIX);
    auto mv = matrix(GL_MODELVIEW_MATRIX);
    auto project = [&](float x, float y) {
        float e[4], c[4];
        for (int r = 0; r < 4; ++r)
            e[r] = mv[r] * x + mv[4 + r] * y + mv[12 + r];
        for (int r = 0; r < 4; ++r)
            c[r] = proj[r] * e[0] + proj[4 + r] * e[1] + proj[8 + r] * e[2] + proj[12 + r] * e[3];
        return cpv((c[0] / c[3] + 1) * 160, (c[1] / c[3] + 1) * 240);
    };
    cpVect lo = project(0, 0), hi = project(320, 480), mid = project(160, 240);
    EXPECT_NEAR(mid.x, 160, 1e-3);
    EXPECT_NEAR(mid.y, 240, 1e-3);
    EXPECT_NEAR(lo.y, 0, 1.0);
    EXPECT_NEAR(hi.y, 480, 1.0);
    EXPECT_NEAR(hi.x - lo.x, 320, 1.0);

    director()->set2Dprojection();
    auto ortho = matrix(GL_PROJECTION_MATRIX);
    EXPECT_FLOAT_EQ(ortho[0], 2.0f / 320);
    EXPECT_FLOAT_EQ(ortho[5], 2.0f / 480);
}

TEST_F(DirectorTest, SurfaceRulesAndTheirExceptions) {
    EXPECT_THAT(
        [&] { director()->setPixelFormat(kColorFormat8888); },
        Fails<NamedException>(
            "DirectorAlreadyInitialized: Can't change the pixel format after the director was initialized"));
    EXPECT_THAT(
        [&] { director()->setDepthBufferFormat(kDepthFormat16); },
        Fails<NamedException>("DirectorAlreadyInitialized: Can't change the depth buffer format after the "
                              "director was initialized"));
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
    EXPECT_THROW(director()->setPixelFormat(kColorFormat565), NamedException) << "attached again";
}

TEST_F(DirectorTest, ThereIsOnlyOneDirector) {
    EXPECT_THAT([&] { Director second; },
                Fails<AssertionFailure>("Attempted to allocate a second instance of a singleton."));
    EXPECT_THAT([&] { Director::useFastDirector(); },
                Fails<AssertionFailure>(
                    "A Director was alloced. To use Fast Director this must be the first call to Director"));
}

TEST_F(DirectorTest, TouchesGoToTheNewestHandlerFirstUntilOneTakesThem) {
    auto journal = std::make_shared<Journal>();
    auto older = Handler::make("older", journal, false);
    auto middle = Handler::make("middle", journal, true);
    auto newest = Handler::make("newest", journal, false);
    director()->addEventHandler(older);
    director()->addEventHandler(middle);
    director()->addEventHandler(newest);
    runScene(Scene::node());
    touchDown(cpv(100, 30.7f));
    step();
    EXPECT_EQ(*journal, (Journal{"newest.began 100,449", "middle.began 100,449"}));

    // A handler leaving during dispatch does not disturb this touch's round.
    journal->clear();
    newest->onBegan = [&] { director()->removeEventHandler(newest); };
    middle->answer = false;
    touchUp(cpv(100, 30.7f));
    touchDown(cpv(10, 10));
    step();
    EXPECT_EQ(*journal, (Journal{"newest.ended", "middle.ended", "older.ended", "newest.began 10,470",
                                 "middle.began 10,470", "older.began 10,470"}));
    EXPECT_EQ(director()->eventHandlers().size(), 2u);

    // With events off, touches are lost rather than queued.
    journal->clear();
    director()->setEventsEnabled(false);
    touchUp(cpv(10, 10));
    step();
    director()->setEventsEnabled(true);
    step();
    EXPECT_TRUE(journal->empty());
    EXPECT_THAT([&] { director()->addEventHandler(nullptr); },
                Fails<AssertionFailure>("Director.AddEventHandler: Node must be non nil"));
    EXPECT_THROW(director()->removeEventHandler(nullptr), AssertionFailure);
}

TEST_F(DirectorTest, TheFrameRateCounterAveragesOverATenthOfASecond) {
    director()->setDisplayFPS(true);
    runScene(Scene::node());
    stepFrames(3, 0.03125f); // 0.09375 s: not more than 0.1 yet
    EXPECT_EQ(director()->frameRate(), 0.0f);
    step(0.03125f);
    EXPECT_EQ(director()->frameRate(), 32.0f);
    stepFrames(14, 1.0f / 60);
    EXPECT_NEAR(director()->frameRate(), 60.0f, 0.05f);
}

TEST(FastDirectorTest, RunsFramesBackToBackUntilStoppedFromInside) {
    std::string error;
    ASSERT_TRUE(startEngine(true, &error)) << error;
    Director::useFastDirector();
    Director* d = Director::sharedDirector();
    ASSERT_NE(dynamic_cast<FastDirector*>(d), nullptr);
    auto window = makeRef<Window>(ccRectMake(0, 0, 320, 480));
    d->attachInWindow(window);
    std::vector<std::string> lines;
    platform::setLogSink([&](std::string_view l) { lines.emplace_back(l); });
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
    platform::setLogSink(nullptr);
    endEngine();
}

// Two lifetimes of the engine in one process, as a test run has them: the
// second draws the same picture the same, so nothing (a cached texture whose
// GL name died with the first context) leaks from the first.
TEST_F(DirectorTest, TheEngineCanEndAndStartAgainInOneProcess) {
    ScratchDir resources;
    writePicture(resources.file("red.png"), 32, 32, [](int, int) { return RGBA{255, 0, 0, 255}; });
    RGBA seen[2];
    for (RGBA& colour : seen) {
        platform::setResourceDirectory(resources.path());
        auto scene = Scene::node();
        auto sprite = Sprite::spriteWithFile("red.png");
        sprite->setPosition(cpv(160, 240));
        scene->add(sprite);
        runScene(scene);
        step();
        colour = pixelAt(160, 240);
        TearDown();
        SetUp();
    }
    EXPECT_EQ(seen[0], (RGBA{255, 0, 0, 255}));
    EXPECT_EQ(seen[1], seen[0]);
}
