// Start-up and the life-cycle events, through the application as the program runs it.

#include "TindervaleAppDelegate.h"
#include "support/EngineTest.h"

#include "engine/Application.h"
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

// What the launch shows, in a window taking touches, the installed and scripted runs of the program see.
TEST_F(AppDelegateTest, LaunchKeepsTheScreenOnFocusPausesAndClosingEndsTheRun) {
    Director* d = Director::sharedDirector();
    EXPECT_TRUE(app().isIdleTimerDisabled());
    frame();
    ASSERT_NE(d->runningScene(), nullptr);

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
