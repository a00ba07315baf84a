#include "platform/Surface.h"

#include "platform/Input.h"

#include <SDL2/SDL.h>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {
bool videoUp = false;
bool headlessVideo = false;

void setContextAttributes() {
    SDL_GL_ResetAttributes();
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 1);
    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
}
} // namespace

bool initVideo(bool headless, std::string* error) {
    if (videoUp) return true;
    const char* asked = SDL_getenv("SDL_VIDEODRIVER");
    if (!headless && !asked && !SDL_getenv("DISPLAY") && !SDL_getenv("WAYLAND_DISPLAY")) {
        if (error) *error = "no display available (neither DISPLAY nor WAYLAND_DISPLAY is set)";
        return false;
    }
    if (headless) SDL_SetHint(SDL_HINT_VIDEODRIVER, "offscreen");
    // Keep the desktop's compositor and screen saver out of our way only while we run.
    SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "0");
    SDL_SetHint(SDL_HINT_MOUSE_TOUCH_EVENTS, "0");
    SDL_SetHint(SDL_HINT_TOUCH_MOUSE_EVENTS, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
        if (error) *error = std::string("no display available (") + SDL_GetError() + ")";
        return false;
    }
    const char* driver = SDL_GetCurrentVideoDriver();
    bool offscreen = driver && (SDL_strcmp(driver, "offscreen") == 0 || SDL_strcmp(driver, "dummy") == 0);
    if (offscreen && !headless && !(asked && SDL_strcmp(asked, driver) == 0)) {
        // SDL falls back to drawing offscreen when it finds no display; a window was asked for.
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        if (error) *error = "no display available (SDL found no desktop to open a window on)";
        return false;
    }
    // Keep the GL library loaded from here to the end, not just while a window
    // exists: windows come and go (tests make one per case), the driver stays.
    // The profile must be known before loading, so that SDL picks the GL ES library.
    setContextAttributes();
    if (SDL_GL_LoadLibrary(nullptr) != 0) {
        if (error) *error = std::string("cannot load the OpenGL ES library (") + SDL_GetError() + ")";
        SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
        return false;
    }
    videoUp = true;
    headlessVideo = offscreen;
    return true;
}

void shutdownVideo() {
    if (!videoUp) return;
    // The GL library stays loaded until the process ends: its driver keeps a
    // few allocations for good, and unloading it early hides whose they are.
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    videoUp = false;
}

bool isHeadless() {
    return headlessVideo;
}

int largestScaleThatFits(int usableWidth, int usableHeight, int viewWidth, int viewHeight) {
    if (viewWidth <= 0 || viewHeight <= 0) return 1;
    return std::max(1, std::min(usableWidth / viewWidth, usableHeight / viewHeight));
}

int fittingScale(int viewWidth, int viewHeight) {
    if (!videoUp || headlessVideo) return 0;
    SDL_Rect usable;
    if (SDL_GetDisplayUsableBounds(0, &usable) != 0 || usable.w <= 0 || usable.h <= 0) return 0;
    return largestScaleThatFits(usable.w, usable.h, viewWidth, viewHeight);
}

int defaultScale() {
    int fit = fittingScale(320, 480);
    return fit > 0 ? fit : 1;
}

std::unique_ptr<GLSurface> GLSurface::create(int widthPoints, int heightPoints, int scale,
                                             std::string* error) {
    auto fail = [&](const char* what) -> std::unique_ptr<GLSurface> {
        if (error) *error = std::string(what) + ": " + SDL_GetError();
        return nullptr;
    };
    if (!videoUp) return fail("video is not initialised");
    setContextAttributes();

    std::unique_ptr<GLSurface> surface(new GLSurface);
    surface->scale_ = scale;
    surface->widthPoints_ = widthPoints;
    surface->heightPoints_ = heightPoints;
    surface->window_ =
        SDL_CreateWindow("Tindervale", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, widthPoints * scale,
                         heightPoints * scale, SDL_WINDOW_OPENGL | SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE);
    if (!surface->window_) return fail("cannot create the window");
    surface->context_ = SDL_GL_CreateContext(surface->window_);
    if (!surface->context_) return fail("cannot create an OpenGL ES 1.1 context");
    SDL_GL_SetSwapInterval(0); // the frame timer paces us
    loadGLExtensions();
    int windowWidth = 0, windowHeight = 0;
    SDL_GetWindowSize(surface->window_, &windowWidth, &windowHeight);
    setInputGeometry(static_cast<float>(widthPoints), static_cast<float>(heightPoints),
                     static_cast<float>(windowWidth), static_cast<float>(windowHeight));
    return surface;
}

GLSurface::~GLSurface() {
    if (context_) {
        if (SDL_GL_GetCurrentContext() == context_) SDL_GL_MakeCurrent(window_, nullptr);
        SDL_GL_DeleteContext(static_cast<SDL_GLContext>(context_));
    }
    if (window_) SDL_DestroyWindow(window_);
}

bool GLSurface::makeCurrent() {
    return SDL_GL_MakeCurrent(window_, static_cast<SDL_GLContext>(context_)) == 0;
}

bool GLSurface::isCurrent() const {
    return SDL_GL_GetCurrentContext() == context_;
}

bool GLSurface::clearCurrent() {
    return SDL_GL_MakeCurrent(SDL_GL_GetCurrentWindow(), nullptr) == 0;
}

void GLSurface::show() {
    if (!headlessVideo) SDL_ShowWindow(window_);
}

void GLSurface::setIcon(const uint8_t* rgba, int width, int height) {
    SDL_Surface* icon = SDL_CreateRGBSurfaceWithFormatFrom(const_cast<uint8_t*>(rgba), width, height, 32,
                                                           width * 4, SDL_PIXELFORMAT_RGBA32);
    if (!icon) return;
    SDL_SetWindowIcon(window_, icon);
    SDL_FreeSurface(icon);
}

bool GLSurface::present(GLuint texture, float maxS, float maxT) {
    if (headlessVideo) {
        // Nobody looks at an offscreen window, but without a swap nothing
        // else makes the driver finish the frame and let go of its commands.
        glFinish();
        return true;
    }
    int w = 0, h = 0;
    SDL_GL_GetDrawableSize(window_, &w, &h);
    Letterbox box = letterbox(static_cast<float>(w), static_cast<float>(h), static_cast<float>(widthPoints_),
                              static_cast<float>(heightPoints_));

    GLint framebuffer = 0, viewport[4], boundTexture = 0, envMode = 0;
    glGetIntegerv(GL_FRAMEBUFFER_BINDING_OES, &framebuffer);
    glGetIntegerv(GL_VIEWPORT, viewport);
    glGetIntegerv(GL_TEXTURE_BINDING_2D, &boundTexture);
    glGetTexEnviv(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, &envMode);
    GLboolean blend = glIsEnabled(GL_BLEND), depth = glIsEnabled(GL_DEPTH_TEST),
              tex = glIsEnabled(GL_TEXTURE_2D), scissor = glIsEnabled(GL_SCISSOR_TEST);

    GLfloat clearColor[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    // The picture's box, in whole pixels from the bottom-left.
    int boxX = static_cast<int>(std::lround(box.x)), boxW = static_cast<int>(std::lround(box.width));
    int boxH = static_cast<int>(std::lround(box.height));
    int boxY = h - boxH - static_cast<int>(std::lround(box.y));
    glBindFramebufferOES(GL_FRAMEBUFFER_OES, 0);
    glDisable(GL_SCISSOR_TEST);
    if (boxX > 0 || boxY > 0 || boxW < w || boxH < h) {
        // Bars only where the picture leaves room: a cleared window it covers whole is a wasted fill.
        glViewport(0, 0, w, h);
        glClearColor(0, 0, 0, 1);
        glClear(GL_COLOR_BUFFER_BIT);
        glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    }
    glViewport(boxX, boxY, boxW, boxH);
    glDisable(GL_BLEND);
    glDisable(GL_DEPTH_TEST);
    glEnable(GL_TEXTURE_2D);
    glBindTexture(GL_TEXTURE_2D, texture);
    // Pixel for pixel, every window pixel's centre is a texel's centre, where
    // linear filtering gives that texel alone: the nearest texel is the same
    // pixel at less cost. Scaled, the picture is filtered.
    GLint filter = boxW == widthPoints_ * scale_ && boxH == heightPoints_ * scale_ ? GL_NEAREST : GL_LINEAR;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, filter);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, filter);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_REPLACE);
    glMatrixMode(GL_PROJECTION);
    glPushMatrix();
    glLoadIdentity();
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();

    const GLfloat vertices[] = {-1, -1, 1, -1, -1, 1, 1, 1};
    const GLfloat coords[] = {0, 0, maxS, 0, 0, maxT, maxS, maxT};
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_TEXTURE_COORD_ARRAY);
    glVertexPointer(2, GL_FLOAT, 0, vertices);
    glTexCoordPointer(2, GL_FLOAT, 0, coords);
    glDrawArrays(GL_TRIANGLE_STRIP, 0, 4);
    glDisableClientState(GL_VERTEX_ARRAY);
    glDisableClientState(GL_TEXTURE_COORD_ARRAY);
    SDL_GL_SwapWindow(window_);

    glPopMatrix();
    glMatrixMode(GL_PROJECTION);
    glPopMatrix();
    glMatrixMode(GL_MODELVIEW);
    glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, envMode);
    glBindTexture(GL_TEXTURE_2D, static_cast<GLuint>(boundTexture));
    (tex ? glEnable : glDisable)(GL_TEXTURE_2D);
    (blend ? glEnable : glDisable)(GL_BLEND);
    (depth ? glEnable : glDisable)(GL_DEPTH_TEST);
    (scissor ? glEnable : glDisable)(GL_SCISSOR_TEST);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
    glBindFramebufferOES(GL_FRAMEBUFFER_OES, static_cast<GLuint>(framebuffer));
    return true;
}

bool GLSurface::presentDefault() {
    if (headlessVideo)
        glFinish();
    else
        SDL_GL_SwapWindow(window_);
    return true;
}

} // namespace platform
