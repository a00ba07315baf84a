#include "platform/Input.h"

#include <SDL2/SDL.h>

#include <deque>

namespace platform {

namespace {
std::deque<InputEvent> injected;
float viewWidth = 320, viewHeight = 480;
int viewScale = 1;
bool mouseDown = false;

// Translates one SDL event; false when it means nothing to us.
bool translate(const SDL_Event& e, InputEvent& out) {
    out.timestamp = e.common.timestamp / 1000.0;
    switch (e.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (e.button.button != SDL_BUTTON_LEFT || e.button.which == SDL_TOUCH_MOUSEID) return false;
        if ((e.type == SDL_MOUSEBUTTONDOWN) == mouseDown) return false; // no unmatched phases
        mouseDown = e.type == SDL_MOUSEBUTTONDOWN;
        out.kind = mouseDown ? InputKind::TouchBegan : InputKind::TouchEnded;
        out.finger = kMouseFinger;
        out.x = static_cast<float>(e.button.x) / viewScale;
        out.y = static_cast<float>(e.button.y) / viewScale;
        return true;
    case SDL_MOUSEMOTION:
        if (!mouseDown || e.motion.which == SDL_TOUCH_MOUSEID) return false;
        out.kind = InputKind::TouchMoved;
        out.finger = kMouseFinger;
        out.x = static_cast<float>(e.motion.x) / viewScale;
        out.y = static_cast<float>(e.motion.y) / viewScale;
        return true;
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION:
    case SDL_FINGERUP:
        out.kind = e.type == SDL_FINGERDOWN ? InputKind::TouchBegan
                   : e.type == SDL_FINGERUP ? InputKind::TouchEnded
                                            : InputKind::TouchMoved;
        out.finger = static_cast<int64_t>(e.tfinger.fingerId);
        out.x = e.tfinger.x * viewWidth;
        out.y = e.tfinger.y * viewHeight;
        return true;
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            out.kind = InputKind::FocusLost;
            if (mouseDown) { // the button may come up elsewhere: end the touch as cancelled
                mouseDown = false;
                injected.push_back({InputKind::TouchCancelled, kMouseFinger, 0, 0, out.timestamp});
            }
            return true;
        }
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            out.kind = InputKind::FocusGained;
            return true;
        }
        if (e.window.event == SDL_WINDOWEVENT_CLOSE) {
            out.kind = InputKind::Quit;
            return true;
        }
        return false;
    case SDL_APP_LOWMEMORY:
        out.kind = InputKind::LowMemory;
        return true;
    case SDL_QUIT:
        out.kind = InputKind::Quit;
        return true;
    default:
        return false;
    }
}
} // namespace

bool pollInputEvent(InputEvent& out) {
    for (;;) {
        if (!injected.empty()) {
            out = injected.front();
            injected.pop_front();
            return true;
        }
        if (!SDL_WasInit(SDL_INIT_EVENTS)) return false;
        SDL_Event e;
        if (!SDL_PollEvent(&e)) return false;
        if (translate(e, out)) return true;
    }
}

void injectInputEvent(const InputEvent& event) {
    injected.push_back(event);
}

void clearInjectedInput() {
    injected.clear();
}

void waitForInput(double seconds) {
    if (!injected.empty()) return;
    int ms = seconds <= 0 ? 0 : static_cast<int>(seconds * 1000.0 + 0.5);
    if (!SDL_WasInit(SDL_INIT_EVENTS)) {
        SDL_Delay(static_cast<Uint32>(ms));
        return;
    }
    // Wait without taking the event: it is delivered by pollInputEvent.
    if (SDL_WaitEventTimeout(nullptr, ms) == 0) return;
}

void setInputGeometry(float widthPoints, float heightPoints, int scale) {
    viewWidth = widthPoints;
    viewHeight = heightPoints;
    viewScale = scale < 1 ? 1 : scale;
}

} // namespace platform
