// Desktop events turned into the handheld's: the mouse as one finger,
// touch-screen fingers, focus, low memory and closing.

#include "platform/Input.h"
#include "platform/Surface.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <vector>

namespace {
class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(platform::initVideo(true, &error)) << error;
        platform::setInputGeometry(320, 480, 2);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        platform::clearInjectedInput();
    }
    void TearDown() override { platform::setInputGeometry(320, 480, 1); }

    void mouse(Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT, Uint32 which = 0) {
        SDL_Event e{};
        e.type = type;
        if (type == SDL_MOUSEMOTION) {
            e.motion.x = x;
            e.motion.y = y;
            e.motion.which = which;
        } else {
            e.button.x = x;
            e.button.y = y;
            e.button.button = button;
            e.button.which = which;
        }
        SDL_PushEvent(&e);
    }
    void window(Uint8 what) {
        SDL_Event e{};
        e.type = SDL_WINDOWEVENT;
        e.window.event = what;
        SDL_PushEvent(&e);
    }
    std::vector<platform::InputEvent> drain() {
        std::vector<platform::InputEvent> out;
        platform::InputEvent e;
        while (platform::pollInputEvent(e))
            out.push_back(e);
        return out;
    }
};
} // namespace

TEST_F(InputTest, TheLeftButtonIsOneFingerInViewPoints) {
    mouse(SDL_MOUSEMOTION, 10, 10); // no button: no touch
    mouse(SDL_MOUSEBUTTONDOWN, 100, 61);
    mouse(SDL_MOUSEMOTION, 120, 80);
    mouse(SDL_MOUSEBUTTONDOWN, 0, 0, SDL_BUTTON_RIGHT); // other buttons are not fingers
    mouse(SDL_MOUSEBUTTONUP, 130, 90);
    mouse(SDL_MOUSEBUTTONUP, 130, 90); // an unmatched end is dropped
    auto events = drain();
    ASSERT_EQ(events.size(), 3u);
    EXPECT_EQ(events[0].kind, platform::InputKind::TouchBegan);
    EXPECT_EQ(events[0].x, 50.0f) << "window pixels divided by the scale";
    EXPECT_EQ(events[0].y, 30.5f);
    EXPECT_EQ(events[1].kind, platform::InputKind::TouchMoved);
    EXPECT_EQ(events[2].kind, platform::InputKind::TouchEnded);
    EXPECT_EQ(events[2].x, 65.0f);
    for (auto& e : events)
        EXPECT_EQ(e.finger, platform::kMouseFinger);
}

TEST_F(InputTest, MouseEventsMadeFromTouchesAreNotCountedTwice) {
    mouse(SDL_MOUSEBUTTONDOWN, 100, 60, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID);
    SDL_Event finger{};
    finger.type = SDL_FINGERDOWN;
    finger.tfinger.fingerId = 7;
    finger.tfinger.x = 0.5f;
    finger.tfinger.y = 0.25f;
    SDL_PushEvent(&finger);
    auto events = drain();
    ASSERT_EQ(events.size(), 1u);
    EXPECT_EQ(events[0].finger, 7);
    EXPECT_EQ(events[0].x, 160.0f) << "fingers come as fractions of the view";
    EXPECT_EQ(events[0].y, 120.0f);
}

TEST_F(InputTest, FocusMemoryAndClosing) {
    mouse(SDL_MOUSEBUTTONDOWN, 10, 10);
    window(SDL_WINDOWEVENT_FOCUS_LOST);
    window(SDL_WINDOWEVENT_FOCUS_GAINED);
    SDL_Event low{};
    low.type = SDL_APP_LOWMEMORY;
    SDL_PushEvent(&low);
    window(SDL_WINDOWEVENT_CLOSE);
    auto events = drain();
    std::vector<platform::InputKind> kinds;
    for (auto& e : events)
        kinds.push_back(e.kind);
    using K = platform::InputKind;
    EXPECT_EQ(kinds, (std::vector<K>{K::TouchBegan, K::FocusLost, K::TouchCancelled, K::FocusGained,
                                     K::LowMemory, K::Quit}))
        << "a finger down when the window loses focus is cancelled";
}

TEST_F(InputTest, InjectedEventsComeFirst) {
    mouse(SDL_MOUSEBUTTONDOWN, 10, 10);
    platform::InputEvent quit;
    quit.kind = platform::InputKind::Quit;
    platform::injectInputEvent(quit);
    auto events = drain();
    ASSERT_EQ(events.size(), 2u);
    EXPECT_EQ(events[0].kind, platform::InputKind::Quit);
}
