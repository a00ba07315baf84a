// A bare SDL2 + GL ES 1.1 program, the peer of the game's start-up and idle
// figures; it links nothing but SDL2 and GL ES.
//   bare_peer frames N     window, context, N cleared and presented frames, exit
//   bare_peer picture N    the same, each frame also drawing one screen-sized textured
//                          picture with the engine's blending and depth test, finished
//                          before it is presented: what any program that shows a
//                          picture pays the software rasteriser on its first frame
//   bare_peer idle SECONDS the same at 60 frames per second for SECONDS

#include "PeerWindow.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

using peer::glesContext;
using peer::kHeight;
using peer::kWidth;

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

// The same, each frame showing one screen-sized picture (made in code: no image library).
void runPicture(int frames) {
    SDL_Window* window = nullptr;
    SDL_GLContext context = glesContext(window);
    std::vector<unsigned char> pixels(512 * 512 * 4);
    for (size_t i = 0; i < pixels.size(); ++i)
        pixels[i] = static_cast<unsigned char>(i * 7);
    GLuint texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA, 512, 512, 0, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
    glEnable(GL_BLEND);
    glBlendFunc(GL_ONE, GL_ONE_MINUS_SRC_ALPHA);
    glEnable(GL_DEPTH_TEST);
    glDepthFunc(GL_LEQUAL);
    const GLfloat vertices[] = {0, 0, kWidth, 0, 0, kHeight, kWidth, kHeight};
    const GLfloat coords[] = {0, 0, 0.625f, 0, 0, 0.9375f, 0.625f, 0.9375f};
    for (int f = 0; f < frames; ++f) {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        glEnable(GL_TEXTURE_2D);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_TEXTURE_COORD_ARRAY);
        glVertexPointer(2, GL_FLOAT, 0, vertices);
        glTexCoordPointer(2, GL_FLOAT, 0, coords);
        glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
        glDisableClientState(GL_VERTEX_ARRAY);
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisable(GL_TEXTURE_2D);
        glFinish();
        SDL_GL_SwapWindow(window);
    }
    glDeleteTextures(1, &texture);
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
    else if (mode == "picture")
        runPicture(std::atoi(argv[2]));
    else if (mode == "idle")
        runIdle(std::atof(argv[2]));
    else
        return 2;
    return 0;
}
