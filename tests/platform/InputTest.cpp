// Desktop events turned into the handheld's: the mouse as one finger,
// touch-screen fingers, focus, low memory and closing; a window of any size
// with the picture letterboxed in it; keys.

#include "platform/Input.h"
#include "platform/Surface.h"

#include <SDL2/SDL.h>
#include <gtest/gtest.h>

#include <cmath>
#include <sstream>
#include <string>
#include <vector>

// Events are built with designated initializers: the fields left out are meant to be zero.
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"

namespace {
class InputTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(platform::initVideo(true, &error)) << error;
        platform::setInputGeometry(320, 480, 640, 960);
        SDL_FlushEvents(SDL_FIRSTEVENT, SDL_LASTEVENT);
        platform::clearInjectedInput();
        mouse(SDL_MOUSEBUTTONUP, 0, 0); // a button an earlier case left down
        drain();
    }
    void TearDown() override { platform::setInputGeometry(320, 480, 320, 480); }

    static void push(SDL_Event e) { SDL_PushEvent(&e); }
    void mouse(Uint32 type, int x, int y, Uint8 button = SDL_BUTTON_LEFT, Uint32 which = 0) {
        if (type == SDL_MOUSEMOTION)
            push({.motion = {.type = type, .which = which, .x = x, .y = y}});
        else
            push({.button = {.type = type, .which = which, .button = button, .x = x, .y = y}});
    }
    void window(Uint8 what, int data1 = 0, int data2 = 0) {
        push({.window = {.type = SDL_WINDOWEVENT, .event = what, .data1 = data1, .data2 = data2}});
    }
    void key(SDL_Keycode code, Uint16 mod = KMOD_NONE, Uint8 repeat = 0) {
        push({.key = {.type = SDL_KEYDOWN, .repeat = repeat, .keysym = {.sym = code, .mod = mod}}});
    }
    std::vector<platform::InputEvent> drain() {
        std::vector<platform::InputEvent> out;
        platform::InputEvent e;
        while (platform::pollInputEvent(e))
            out.push_back(e);
        return out;
    }
    // What came out, as "kind x,y #finger; " for touches and "kind; " for the rest.
    std::string drained() {
        static const char* const kinds[] = {"began",        "moved",      "ended", "cancelled", "focus lost",
                                            "focus gained", "low memory", "quit",  "key"};
        std::ostringstream out;
        for (const platform::InputEvent& e : drain()) {
            out << kinds[static_cast<int>(e.kind)];
            if (e.kind < platform::InputKind::TouchCancelled)
                out << " " << e.x << "," << e.y << " #" << e.finger;
            out << "; ";
        }
        return out.str();
    }
};
} // namespace

// The left button is one finger in view points; a finger on a touch screen is another, and the mouse
// events the system makes from it are not counted twice.
TEST_F(InputTest, TheLeftButtonAndEachTouchAreFingersInViewPoints) {
    mouse(SDL_MOUSEMOTION, 10, 10); // no button: no touch
    mouse(SDL_MOUSEBUTTONDOWN, 100, 61);
    mouse(SDL_MOUSEMOTION, 120, 80);
    mouse(SDL_MOUSEBUTTONDOWN, 0, 0, SDL_BUTTON_RIGHT); // other buttons are not fingers
    mouse(SDL_MOUSEBUTTONUP, 130, 90);
    mouse(SDL_MOUSEBUTTONUP, 130, 90); // an unmatched end is dropped
    mouse(SDL_MOUSEBUTTONDOWN, 100, 60, SDL_BUTTON_LEFT, SDL_TOUCH_MOUSEID);
    push({.tfinger = {.type = SDL_FINGERDOWN, .fingerId = 7, .x = 0.5f, .y = 0.25f}});
    // Window pixels divided by the scale; fingers come as fractions of the view.
    EXPECT_EQ(drained(), "began 50,30.5 #-1; moved 60,40 #-1; ended 65,45 #-1; began 160,120 #7; ");
}

TEST_F(InputTest, FocusMemoryAndClosingAfterWhatWasInjected) {
    mouse(SDL_MOUSEBUTTONDOWN, 10, 10);
    platform::InputEvent injected;
    injected.kind = platform::InputKind::LowMemory;
    platform::injectInputEvent(injected);
    window(SDL_WINDOWEVENT_FOCUS_LOST);
    window(SDL_WINDOWEVENT_FOCUS_GAINED);
    push({.type = SDL_APP_LOWMEMORY});
    window(SDL_WINDOWEVENT_CLOSE);
    EXPECT_EQ(drained(), "low memory; began 5,5 #-1; focus lost; cancelled; focus gained; low memory; quit; ")
        << "injected events come first; a finger down when the window loses focus is cancelled";
    // An uncovered window asks for its picture again, once; it is no input.
    window(SDL_WINDOWEVENT_EXPOSED);
    EXPECT_EQ(drained(), "");
    EXPECT_TRUE(platform::takeWindowRepaint());
    EXPECT_FALSE(platform::takeWindowRepaint());
}

// A click at the visible centre of a button lands on it at every window size
// and shape; a click on the bars lands nowhere.
TEST_F(InputTest, ClicksGoThroughTheLetterboxAtEveryWindowSizeAndNeverLandOnTheBars) {
    const float buttonX = 260, buttonY = 465; // a button near the bottom-right corner, view points
    const std::pair<int, int> windows[] = {{640, 960},  {320, 480}, {1920, 1080},
                                           {500, 1400}, {333, 333}, {1001, 1503}};
    for (auto [width, height] : windows) {
        SCOPED_TRACE(std::to_string(width) + " x " + std::to_string(height));
        window(SDL_WINDOWEVENT_SIZE_CHANGED, width, height);
        platform::Letterbox box = platform::letterbox(width, height, 320, 480);
        EXPECT_NEAR(box.width / box.height, 320.0 / 480.0, 0.01) << "the picture keeps its shape";
        EXPECT_TRUE(box.width <= width + 0.01f && box.height <= height + 0.01f) << "and stays whole";
        EXPECT_TRUE(std::abs(box.width - width) < 0.01f || std::abs(box.height - height) < 0.01f)
            << "as large as fits";
        // Where a player sees the button, and a point on a bar (if there is one).
        int x = static_cast<int>(std::lround(box.x + buttonX * box.scale));
        int y = static_cast<int>(std::lround(box.y + buttonY * box.scale));
        mouse(SDL_MOUSEBUTTONDOWN, x, y);
        mouse(SDL_MOUSEBUTTONUP, x, y);
        auto events = drain();
        ASSERT_EQ(events.size(), 2u);
        EXPECT_NEAR(events[0].x, buttonX, 1.0f / box.scale + 0.01f);
        EXPECT_NEAR(events[0].y, buttonY, 1.0f / box.scale + 0.01f);
        if (box.x >= 2 || box.y >= 2) {
            int barX = box.x >= 2 ? 0 : x, barY = box.y >= 2 ? 0 : y;
            mouse(SDL_MOUSEBUTTONDOWN, barX, barY);
            mouse(SDL_MOUSEMOTION, x, y);
            mouse(SDL_MOUSEBUTTONUP, x, y);
            EXPECT_EQ(drained(), "") << "a press on a bar starts no touch";
        }
    }
    // A touch dragged onto a bar stays at the picture's edge.
    window(SDL_WINDOWEVENT_SIZE_CHANGED, 1000, 960); // bars left and right, 180 wide
    mouse(SDL_MOUSEBUTTONDOWN, 500, 480);
    mouse(SDL_MOUSEMOTION, 5, 480);
    mouse(SDL_MOUSEBUTTONUP, 990, 2000);
    EXPECT_EQ(drained(), "began 160,240 #-1; moved 0,240 #-1; ended 320,480 #-1; ");
}

TEST_F(InputTest, ScaleChoiceFitsTheUsableArea) {
    std::vector<int> scales;
    for (auto [width, height] : std::vector<std::pair<int, int>>{
             {1920, 1050}, {1280, 994}, {1366, 738}, {3840, 2100}, {639, 2000}, {100, 100}, {0, 0}})
        scales.push_back(platform::largestScaleThatFits(width, height, 320, 480));
    EXPECT_EQ(scales, (std::vector<int>{2, 2, 1, 4, 1, 1, 1}));
}

TEST_F(InputTest, KeysAreNamedAndTheWindowKeepsItsOwn) {
    key(SDLK_ESCAPE);
    key(SDLK_z, KMOD_LCTRL);
    key(SDLK_z, KMOD_LCTRL, 1); // held down: one press only
    key(SDLK_RETURN, KMOD_LALT); // fullscreen, not a key for the game
    key(SDLK_F11);
    key(SDLK_KP_ENTER);
    key(SDLK_CAPSLOCK); // no name here: not passed on
    std::vector<std::string> names;
    for (auto& e : drain())
        names.push_back(e.kind == platform::InputKind::KeyDown ? platform::describeKeyPress(e.key) : "?");
    EXPECT_EQ(names, (std::vector<std::string>{"Escape", "Ctrl+Z", "Return"}));
}

TEST_F(InputTest, KeyNamesAsScriptsWriteThem) {
    struct Case {
        const char* text;
        const char* read; // as described back; null: refused
    };
    for (Case c : {Case{"Escape", "Escape"}, Case{"esc", "Escape"}, Case{"Enter", "Return"},
                   Case{"ctrl+z", "Ctrl+Z"}, Case{"Control+Shift+Left", "Ctrl+Shift+Left"},
                   Case{"Alt+F11", "Alt+F11"}, Case{"r", "R"}, Case{"7", "7"}, Case{"F13", nullptr},
                   Case{"Ctrl+", nullptr}, Case{"Hyper+Z", nullptr}, Case{"", nullptr}, Case{"Ctrl++", nullptr},
                   Case{"Escapes", nullptr}}) {
        platform::KeyPress k;
        const bool ok = platform::parseKeyPress(c.text, k);
        EXPECT_EQ(ok ? platform::describeKeyPress(k) : "refused", c.read ? c.read : "refused") << c.text;
    }
}
