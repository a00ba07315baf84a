#include "platform/Input.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <deque>
#include <utility>

namespace platform {

namespace {
std::deque<InputEvent> injected;
float viewWidth = 320, viewHeight = 480;
float windowWidth = 320, windowHeight = 480;
bool mouseDown = false;
bool windowRepaint = false;

// A window point in view points through the letterbox.
bool toView(float wx, float wy, bool clamp, InputEvent& out) {
    return windowToView(letterbox(windowWidth, windowHeight, viewWidth, viewHeight), wx, wy, clamp, out.x,
                        out.y);
}

// The names keys go by here, and the SDL keys they are.
struct NamedKey {
    const char* name;
    SDL_Keycode code;
};
const NamedKey kKeyNames[] = {
    {"Escape", SDLK_ESCAPE}, {"Backspace", SDLK_BACKSPACE}, {"Return", SDLK_RETURN},
    {"Return", SDLK_KP_ENTER}, {"Space", SDLK_SPACE},        {"Tab", SDLK_TAB},
    {"Delete", SDLK_DELETE},  {"Left", SDLK_LEFT},           {"Right", SDLK_RIGHT},
    {"Up", SDLK_UP},          {"Down", SDLK_DOWN},           {"Home", SDLK_HOME},
    {"End", SDLK_END},        {"PageUp", SDLK_PAGEUP},       {"PageDown", SDLK_PAGEDOWN},
};

std::string keyName(SDL_Keycode code) {
    for (const NamedKey& k : kKeyNames)
        if (k.code == code) return k.name;
    if (code >= SDLK_a && code <= SDLK_z) return std::string(1, static_cast<char>('A' + (code - SDLK_a)));
    if (code >= SDLK_0 && code <= SDLK_9) return std::string(1, static_cast<char>('0' + (code - SDLK_0)));
    if (code >= SDLK_F1 && code <= SDLK_F12) return "F" + std::to_string(code - SDLK_F1 + 1);
    return {};
}

void toggleFullscreen(Uint32 windowID) {
    SDL_Window* window = SDL_GetWindowFromID(windowID);
    if (!window) return;
    bool full = (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN) != 0;
    SDL_SetWindowFullscreen(window, full ? 0 : SDL_WINDOW_FULLSCREEN_DESKTOP);
}

// Translates one SDL event; false when it means nothing to us.
bool translate(const SDL_Event& e, InputEvent& out) {
    out.timestamp = e.common.timestamp / 1000.0;
    switch (e.type) {
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
        if (e.button.button != SDL_BUTTON_LEFT || e.button.which == SDL_TOUCH_MOUSEID) return false;
        bool down = e.type == SDL_MOUSEBUTTONDOWN;
        if (down == mouseDown) return false; // no unmatched phases
        // A press on the bars touches nothing; a release anywhere ends the touch.
        if (!toView(static_cast<float>(e.button.x), static_cast<float>(e.button.y), !down, out)) return false;
        mouseDown = down;
        out.kind = down ? InputKind::TouchBegan : InputKind::TouchEnded;
        out.finger = kMouseFinger;
        return true;
    }
    case SDL_MOUSEMOTION:
        if (!mouseDown || e.motion.which == SDL_TOUCH_MOUSEID) return false;
        out.kind = InputKind::TouchMoved;
        out.finger = kMouseFinger;
        toView(static_cast<float>(e.motion.x), static_cast<float>(e.motion.y), true, out);
        return true;
    case SDL_KEYDOWN: {
        const Uint16 mod = e.key.keysym.mod;
        const SDL_Keycode code = e.key.keysym.sym;
        // The window's own keys: fullscreen on and off.
        if (code == SDLK_F11 || ((mod & KMOD_ALT) && (code == SDLK_RETURN || code == SDLK_KP_ENTER))) {
            if (!e.key.repeat) toggleFullscreen(e.key.windowID);
            return false;
        }
        if (e.key.repeat) return false; // one press, one action
        out.key = KeyPress{keyName(code), (mod & KMOD_CTRL) != 0, (mod & KMOD_ALT) != 0, (mod & KMOD_SHIFT) != 0};
        if (out.key.name.empty()) return false;
        out.kind = InputKind::KeyDown;
        return true;
    }
    case SDL_FINGERDOWN:
    case SDL_FINGERMOTION:
    case SDL_FINGERUP:
        out.kind = e.type == SDL_FINGERDOWN ? InputKind::TouchBegan
                   : e.type == SDL_FINGERUP ? InputKind::TouchEnded
                                            : InputKind::TouchMoved;
        out.finger = static_cast<int64_t>(e.tfinger.fingerId);
        // A finger coming down on the bars touches nothing (its later phases find no touch).
        return toView(e.tfinger.x * windowWidth, e.tfinger.y * windowHeight, e.type != SDL_FINGERDOWN, out);
    case SDL_WINDOWEVENT:
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_LOST) {
            out.kind = InputKind::FocusLost;
            if (mouseDown) { // the button may come up elsewhere: end the touch as cancelled
                mouseDown = false;
                InputEvent cancel;
                cancel.kind = InputKind::TouchCancelled;
                cancel.finger = kMouseFinger;
                cancel.timestamp = out.timestamp;
                injected.push_back(cancel);
            }
            return true;
        }
        if (e.window.event == SDL_WINDOWEVENT_FOCUS_GAINED) {
            out.kind = InputKind::FocusGained;
            return true;
        }
        if (e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
            windowWidth = static_cast<float>(e.window.data1);
            windowHeight = static_cast<float>(e.window.data2);
            windowRepaint = true;
            return false;
        }
        if (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN ||
            e.window.event == SDL_WINDOWEVENT_RESTORED || e.window.event == SDL_WINDOWEVENT_MAXIMIZED) {
            windowRepaint = true;
            return false;
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

bool takeWindowRepaint() {
    return std::exchange(windowRepaint, false);
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

void setInputGeometry(float widthPoints, float heightPoints, float windowW, float windowH) {
    viewWidth = widthPoints;
    viewHeight = heightPoints;
    windowWidth = windowW;
    windowHeight = windowH;
}

Letterbox letterbox(float windowW, float windowH, float viewW, float viewH) {
    Letterbox box;
    if (!(windowW > 0 && windowH > 0 && viewW > 0 && viewH > 0)) return box;
    box.scale = std::min(windowW / viewW, windowH / viewH);
    box.width = viewW * box.scale;
    box.height = viewH * box.scale;
    box.x = (windowW - box.width) / 2;
    box.y = (windowH - box.height) / 2;
    return box;
}

bool windowToView(const Letterbox& box, float windowX, float windowY, bool clamp, float& viewX, float& viewY) {
    if (!(box.scale > 0)) return false;
    float x = (windowX - box.x) / box.scale, y = (windowY - box.y) / box.scale;
    float w = box.width / box.scale, h = box.height / box.scale;
    bool inside = x >= 0 && y >= 0 && x < w && y < h;
    if (!inside && !clamp) return false;
    viewX = std::clamp(x, 0.0f, w);
    viewY = std::clamp(y, 0.0f, h);
    return true;
}

bool parseKeyPress(const std::string& text, KeyPress& out) {
    KeyPress key;
    std::string rest = text;
    auto lower = [](std::string v) {
        std::transform(v.begin(), v.end(), v.begin(), [](unsigned char c) { return std::tolower(c); });
        return v;
    };
    for (;;) {
        size_t plus = rest.find('+');
        if (plus == std::string::npos || plus + 1 == rest.size()) break; // "Ctrl++" is not a key here
        std::string mod = lower(rest.substr(0, plus));
        if (mod == "ctrl" || mod == "control")
            key.ctrl = true;
        else if (mod == "alt")
            key.alt = true;
        else if (mod == "shift")
            key.shift = true;
        else
            return false;
        rest = rest.substr(plus + 1);
    }
    std::string name = lower(rest);
    if (name == "enter") name = "return";
    if (name == "esc") name = "escape";
    for (const NamedKey& k : kKeyNames)
        if (lower(k.name) == name) key.name = k.name;
    if (key.name.empty() && name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0])))
        key.name = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(name[0]))));
    if (key.name.empty() && name.size() >= 2 && name.size() <= 3 && name[0] == 'f') {
        int n = std::atoi(name.c_str() + 1);
        if (n >= 1 && n <= 12 && name == "f" + std::to_string(n)) key.name = "F" + std::to_string(n);
    }
    if (key.name.empty()) return false;
    out = key;
    return true;
}

std::string describeKeyPress(const KeyPress& key) {
    return std::string(key.ctrl ? "Ctrl+" : "") + (key.alt ? "Alt+" : "") + (key.shift ? "Shift+" : "") +
           key.name;
}

} // namespace platform