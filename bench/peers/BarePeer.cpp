// A bare SDL2 + GL ES 1.1 program, the peer of the game's start-up and idle
// figures; it links nothing but SDL2 and GL ES.
//   bare_peer frames N     window, context, N cleared and presented frames, exit
//   bare_peer idle SECONDS the same at 60 frames per second for SECONDS

#include "PeerWindow.h"

#include <cstdlib>
#include <string>

namespace {

using peer::glesContext;

// A bare SDL2 + GL ES 1.1 program: window, context, `frames` cleared and presented frames.
void runFrames(int frames) {
    SDL_Window* window = nullptr;
    SDL_GLContext context = glesContext(window);
    for (int f = 0; f < frames; ++f) {
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
    }
    peer::closeWindow(window, context);
}

// The same at 60 frames per second for `seconds`: the idle peer.
void runIdle(double seconds) {
    SDL_Window* window = nullptr;
    SDL_GLContext context = glesContext(window);
    Uint64 start = SDL_GetTicks64(), frame = 0;
    while (SDL_GetTicks64() - start < static_cast<Uint64>(seconds * 1000)) {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
        }
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
        ++frame;
        Uint64 due = start + frame * 1000 / 60, now = SDL_GetTicks64();
        if (due > now) SDL_Delay(static_cast<Uint32>(due - now));
    }
    peer::closeWindow(window, context);
}

} // namespace

int main(int argc, char** argv) {
    std::string mode = argc == 3 ? argv[1] : "";
    if (mode == "frames")
        runFrames(std::atoi(argv[2]));
    else if (mode == "idle")
        runIdle(std::atof(argv[2]));
    else
        return 2;
    return 0;
}
