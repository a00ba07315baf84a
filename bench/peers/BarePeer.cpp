// A bare SDL2 + GL ES 1.1 program, the peer of the game's start-up and idle
// figures; it links nothing but SDL2 and GL ES.
//   bare_peer frames N     window, context, N cleared and presented frames, exit
//   bare_peer idle SECONDS the same at 60 frames per second for SECONDS

#include <SDL.h>
#include <GLES/gl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

constexpr int kWidth = 320, kHeight = 480;

SDL_GLContext glesContext(SDL_Window*& window) {
    if (SDL_Init(SDL_INIT_VIDEO) != 0) std::exit(1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    window = SDL_CreateWindow("peer", 0, 0, kWidth, kHeight, SDL_WINDOW_OPENGL);
    SDL_GLContext context = window ? SDL_GL_CreateContext(window) : nullptr;
    if (!context) {
        std::fprintf(stderr, "%s\n", SDL_GetError());
        std::exit(1);
    }
    glViewport(0, 0, kWidth, kHeight);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrthof(0, kWidth, 0, kHeight, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    return context;
}

// A bare SDL2 + GL ES 1.1 program: window, context, `frames` cleared and presented frames.
void runFrames(int frames) {
    SDL_Window* window = nullptr;
    SDL_GLContext context = glesContext(window);
    for (int f = 0; f < frames; ++f) {
        glClear(GL_COLOR_BUFFER_BIT);
        SDL_GL_SwapWindow(window);
    }
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
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
    SDL_GL_DeleteContext(context);
    SDL_DestroyWindow(window);
    SDL_Quit();
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
