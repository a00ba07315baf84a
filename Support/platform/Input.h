#pragma once
// Input from the desktop, translated into the handheld's terms: the left
// mouse button is one finger, touch-screen fingers are fingers, window focus
// is the application becoming (in)active.
// Failures: none; pollInputEvent is false when nothing is pending.

#include <cstdint>

namespace platform {

enum class InputKind {
    TouchBegan,
    TouchMoved,
    TouchEnded,
    TouchCancelled,
    FocusLost,
    FocusGained,
    LowMemory,
    Quit,
};

struct InputEvent {
    InputKind kind = InputKind::Quit;
    int64_t finger = 0; // identifies one finger from began to ended
    float x = 0;        // view points, origin top-left
    float y = 0;
    double timestamp = 0; // seconds
};

// The finger id of the mouse.
inline constexpr int64_t kMouseFinger = -1;

// Takes the next pending event, injected ones first; false when none is pending.
bool pollInputEvent(InputEvent& out);
// Queues an event as if it came from the desktop (input scripts, tests).
void injectInputEvent(const InputEvent& event);
// Drops every injected event not yet taken.
void clearInjectedInput();
// Waits until input is pending or `seconds` have passed.
void waitForInput(double seconds);
// The view's size in points and its scale, for converting window coordinates.
void setInputGeometry(float widthPoints, float heightPoints, int scale);

} // namespace platform
