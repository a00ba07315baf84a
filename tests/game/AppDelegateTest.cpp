// Start-up and the life-cycle events, through the application as the program runs it.

#include "TindervaleAppDelegate.h"
#include "support/EngineTest.h"

#include "engine/Application.h"
#include "engine/Layer.h"
#include "engine/Engine.h"
#include "platform/Input.h"
#include "platform/Surface.h"

namespace {
class AppDelegateTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(startEngine(true, &error)) << error;
        app().reset();
        platform::setCurrentClock(&clock);
        app().launch(&delegate);
    }
    void TearDown() override { endEngine(); }
    static Application& app() { return Application::sharedApplication(); }
    void frame() {
        clock.advance(1.0 / 60);
        app().fireTimers();
    }
    void send(platform::InputKind kind) {
        platform::InputEvent e;
        e.kind = kind;
        platform::injectInputEvent(e);
    }
    platform::VirtualClock clock;
    TindervaleAppDelegate delegate;
};
} // namespace

TEST_F(AppDelegateTest, LaunchShowsTheFirstSceneFocusPausesAndClosingEndsTheRun) {
    Director* d = Director::sharedDirector();
    EXPECT_TRUE(d->isOpenGLAttached());
    EXPECT_EQ(delegate.window()->frame(), ccRectMake(0, 0, 320, 480));
    EXPECT_TRUE(delegate.window()->isVisible());
    EXPECT_TRUE(delegate.window()->isUserInteractionEnabled());
    EXPECT_TRUE(app().isIdleTimerDisabled());
    EXPECT_FALSE(d->landscape());
    EXPECT_FALSE(d->displayFPS());
    frame();
    ASSERT_NE(d->runningScene(), nullptr);
    ASSERT_EQ(d->runningScene()->children().size(), 1u);
    EXPECT_NE(dynamic_cast<MultiplexLayer*>(d->runningScene()->children()[0].get()), nullptr);

    send(platform::InputKind::FocusLost);
    frame();
    EXPECT_TRUE(d->isPaused());
    EXPECT_EQ(d->animationInterval(), 0.25);
    send(platform::InputKind::FocusGained);
    frame();
    EXPECT_FALSE(d->isPaused());
    EXPECT_EQ(d->dt(), 0.0f);
    frame();
    EXPECT_NEAR(d->dt(), 1.0f / 60, 1e-6);
    send(platform::InputKind::Quit);
    frame();
    EXPECT_TRUE(app().isTerminating());
    EXPECT_EQ(app().exitCode(), 0);
}
