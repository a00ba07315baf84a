#pragma once
// The window and its OpenGL ES 1.1 context. One window per program; the
// engine draws into a framebuffer object of its own and hands its colour
// texture here to be shown.
// Failures: worded by the caller (see Log.h).

#include "platform/GL.h"

#include <cstdint>
#include <memory>
#include <string>

struct SDL_Window;

namespace platform {

// Brings up the video subsystem: SDL's offscreen driver when `headless`,
// else the desktop's. False, with a one-line reason, when there is no display.
bool initVideo(bool headless, std::string* error);
void shutdownVideo();
bool isHeadless();
// The largest whole scale (at least 1) at which a view of viewWidth x
// viewHeight points fits in usableWidth x usableHeight pixels.
int largestScaleThatFits(int usableWidth, int usableHeight, int viewWidth, int viewHeight);
// The largest whole scale at which a 320 x 480 window fits the desktop's
// usable area (1 headless or when that area is unknown).
int defaultScale();
// The largest scale at which a window of that many points fits the desktop,
// or 0 when there is no limit (headless, or the area is unknown).
int fittingScale(int viewWidth, int viewHeight);

class GLSurface {
  public:
    // A window of the given size in points (pixels = points x scale) with a
    // current GL ES 1.1 context; null with a reason on failure.
    static std::unique_ptr<GLSurface> create(int widthPoints, int heightPoints, int scale,
                                             std::string* error);
    ~GLSurface();
    GLSurface(const GLSurface&) = delete;
    GLSurface& operator=(const GLSurface&) = delete;

    bool makeCurrent();
    bool isCurrent() const;
    static bool clearCurrent();
    void* context() const { return context_; }

    int scale() const { return scale_; }
    void show();
    // The window's icon: RGBA pixels, straight alpha, top row first.
    void setIcon(const uint8_t* rgba, int width, int height);

    // Draws `texture` (its lower-left maxS x maxT part holds the frame) into
    // the window, as large as fits whole, centred between black bars, and
    // presents it. The engine's GL state is kept. Headless, it only makes
    // sure the frame's drawing is done, so that commands never pile up.
    // Pixel for pixel (the usual case) that is one unblended, unfiltered pass
    // and no clear; scaled or letterboxed, the bars are cleared and the
    // picture filtered.
    bool present(GLuint texture, float maxS, float maxT);
    // Presents the window's own back buffer (when there are no framebuffer objects).
    bool presentDefault();

  private:
    GLSurface() = default;
    SDL_Window* window_ = nullptr;
    void* context_ = nullptr;
    int scale_ = 1;
    int widthPoints_ = 0;
    int heightPoints_ = 0;
};

} // namespace platform
