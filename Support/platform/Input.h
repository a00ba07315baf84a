#pragma once
// Input from the desktop, translated into the handheld's terms: the left
// mouse button is one finger, touch-screen fingers are fingers, window focus
// is the application becoming (in)active, keys are named key presses. The
// window may have any size: the view's picture is letterboxed in it, and
// window points map to view points through the same box.
// Failures: none; pollInputEvent is false when nothing is pending.

#include <cstdint>
#include <string>

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
    KeyDown,
};

// A key press: the key's name ("Escape", "Backspace", "Return", "Space", "Z",
// "Left", "F1", ...) and the modifiers held with it.
struct KeyPress {
    std::string name;
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    friend bool operator==(const KeyPress&, const KeyPress&) = default;
};

// Reads "Escape", "ctrl+z", "Ctrl+Shift+Left", "Enter" (= "Return"), "Esc":
// modifiers joined with '+', names in any case. False when it names no key
// this program knows.
bool parseKeyPress(const std::string& text, KeyPress& out);
// "Ctrl+Z": the form parseKeyPress reads.
std::string describeKeyPress(const KeyPress& key);

struct InputEvent {
    InputKind kind = InputKind::Quit;
    int64_t finger = 0; // identifies one finger from began to ended
    float x = 0;        // view points, origin top-left
    float y = 0;
    double timestamp = 0; // seconds
    KeyPress key;         // KeyDown
};

// Where a view of viewWidth x viewHeight points is shown in a window of the
// given size: as large as fits whole, centred, with bars on the other sides.
struct Letterbox {
    float x = 0, y = 0;          // the picture's top-left corner in the window
    float width = 0, height = 0; // its size in the window
    float scale = 1;             // window units per view point
};
Letterbox letterbox(float windowWidth, float windowHeight, float viewWidth, float viewHeight);
// A window point in view points (origin top-left). False for a point on the
// bars, unless `clamp`, which moves it to the picture's nearest edge.
bool windowToView(const Letterbox& box, float windowX, float windowY, bool clamp, float& viewX, float& viewY);

// The finger id of the mouse.
inline constexpr int64_t kMouseFinger = -1;

// Takes the next pending event, injected ones first; false when none is pending.
bool pollInputEvent(InputEvent& out);
// Whether the window was shown, uncovered or resized since the last call:
// its picture must then be presented again, even if it did not change.
bool takeWindowRepaint();
// Queues an event as if it came from the desktop (input scripts, tests).
void injectInputEvent(const InputEvent& event);
// Drops every injected event not yet taken.
void clearInjectedInput();
// Waits until input is pending or `seconds` have passed.
void waitForInput(double seconds);
// The view's size in points and the window's size (in the window system's
// units), for converting window coordinates. A resized window updates the
// latter by itself.
void setInputGeometry(float widthPoints, float heightPoints, float windowWidth, float windowHeight);

} // namespace platform
