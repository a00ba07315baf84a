#include "platform/Vibration.h"

#include "platform/Log.h"
#include "platform/Surface.h"

#include <SDL2/SDL.h>

namespace platform {

namespace {
enum class Rumble { NotTried, Open, Unavailable };
Rumble state = Rumble::NotTried;
bool subsystem = false;
SDL_Haptic* haptic = nullptr;

void probe() {
    state = Rumble::Unavailable;
    if (isHeadless()) {
        ccLog("Vibration is left out: running headless");
        return;
    }
    if (SDL_InitSubSystem(SDL_INIT_HAPTIC) != 0) {
        ccLogf("Vibration is left out: no haptic support (%s)", SDL_GetError());
        return;
    }
    subsystem = true;
    for (int i = 0; i < SDL_NumHaptics(); ++i) {
        SDL_Haptic* h = SDL_HapticOpen(i);
        if (!h) continue;
        if (SDL_HapticRumbleSupported(h) == SDL_TRUE && SDL_HapticRumbleInit(h) == 0) {
            haptic = h;
            state = Rumble::Open;
            return;
        }
        SDL_HapticClose(h);
    }
    ccLog("Vibration is left out: no device here can rumble");
    shutdownVibration();
    state = Rumble::Unavailable;
}
} // namespace

void vibrate() {
    if (state == Rumble::NotTried) probe();
    if (state == Rumble::Open && SDL_HapticRumblePlay(haptic, 0.75f, 400) != 0)
        ccLogf("Vibration failed: %s", SDL_GetError());
}

void shutdownVibration() {
    if (haptic) SDL_HapticClose(haptic);
    haptic = nullptr;
    if (subsystem) SDL_QuitSubSystem(SDL_INIT_HAPTIC);
    subsystem = false;
    state = Rumble::NotTried;
}

} // namespace platform
