#pragma once
// The fixture every engine and game test uses: a real GL ES 1.1 context
// offscreen, the director in a 320 x 480 window, a virtual clock, touches,
// frame read-back and golden pictures (tests/golden, written only with
// TV_UPDATE_GOLDEN=1 in the environment: look at them before committing).

#include "engine/Director.h"
#include "engine/Engine.h"
#include "engine/Scene.h"
#include "platform/Clock.h"
#include "platform/Image.h"
#include "support/Scratch.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

struct RGBA {
    int r = 0, g = 0, b = 0, a = 0;
    friend bool operator==(const RGBA&, const RGBA&) = default;
};
std::ostream& operator<<(std::ostream& os, const RGBA& c);

// Whether every channel of `actual` is within `tolerance` of `expected`.
::testing::AssertionResult colorNear(const RGBA& actual, const RGBA& expected, int tolerance = 8);

// Matches a call that throws E with exactly `message` (a NamedException's
// is "name: reason"): EXPECT_THAT([&] { ... }, Fails<AssertionFailure>("..."));
template <class E> auto Fails(const std::string& message) {
    return ::testing::ThrowsMessage<E>(::testing::StrEq(message));
}

// Whether golden pictures are being written rather than compared (TV_UPDATE_GOLDEN=1).
bool updatingGoldens();
// tests/golden/NAME.png
std::string goldenFile(const std::string& name);

// Reads a PNG written by writePNG (8-bit RGBA) back; false when it cannot.
bool readTestPNG(const std::string& path, platform::Bitmap& out);

class EngineTest : public ::testing::Test {
  protected:
    void SetUp() override;
    void TearDown() override;

    Director* director() const { return Director::sharedDirector(); }
    // Pixels per point of the test's window (fixtures for dense drawing raise it).
    virtual int windowScale() const { return 1; }

    // Runs `scene` as the first scene; it is entered at the next frame.
    void runScene(Scene* scene);
    // Shows `scene` in place of the running one (or first) and draws a frame.
    void showScene(Scene* scene);
    // Runs one frame of exactly `dt` seconds (the director's own frame: input,
    // tick, scene switch, drawing).
    void step(float dt = 1.0f / 60);
    void stepFrames(int n, float dt = 1.0f / 60);

    // Queue one finger's phase at a view point (points, origin top-left);
    // it is delivered at the start of the next frame.
    void touchDown(cpVect viewPoint);
    void touchMove(cpVect viewPoint);
    void touchUp(cpVect viewPoint);
    // The same in screen points (origin bottom-left).
    static cpVect viewPoint(cpVect screenPoint) { return cpv(screenPoint.x, 480 - screenPoint.y); }
    // A finger at a screen point: down, frame, up, frame.
    void tap(cpVect screenPoint);
    // Presses the key `text` names ("Ctrl+Z", as key scripts name them) and draws a frame.
    void pressKey(const std::string& text);

    // The frame as drawn, top row first.
    platform::Bitmap readFrame() const;
    // The colour at screen point (x, y), origin bottom-left.
    RGBA pixelAt(int x, int y) const;
    // Writes the frame next to the test binaries (for looking at it).
    std::string saveFrame(const std::string& name) const;
    // Compares the frame with tests/golden/NAME.png: at most `badPixels`
    // pixels may differ by more than `tolerance` in some channel.
    ::testing::AssertionResult matchesGolden(const std::string& name, int tolerance = 12,
                                             int badPixels = 40) const;

    // Log lines written since the test began.
    const std::vector<std::string>& logLines() const { return logLines_; }
    bool logged(const std::string& line) const;
    void clearLog() { logLines_.clear(); }

    platform::VirtualClock clock_;
    RefPtr<Window> window_;
    // The settings store of this test alone.
    ScratchConfigHome configHome_;

  private:
    std::vector<std::string> logLines_;
};
