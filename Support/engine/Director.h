#pragma once
// The director: owns the drawing surface, sets the GL state and projection,
// runs the frame loop, keeps the scene stack and hands touches to the
// registered handlers.

#include "engine/Application.h"
#include "engine/CocosNode.h"
#include "engine/EAGLView.h"
#include "engine/Ref.h"
#include "platform/Clock.h"

#include <cstdint>
#include <vector>

class Scene;
class LabelAtlas;

enum {
    kColorFormat565 = 0,
    kColorFormat8888 = 1,
};
enum {
    kDepthFormatNone = 0,
    kDepthFormat16 = 1,
    kDepthFormat24 = 2,
};

class Director : public Ref, public EAGLTouchDelegate, public KeyEventsDelegate {
  public:
    // The director, created on first use.
    static Director* sharedDirector();
    // Makes the director a FastDirector; must come before any other use.
    static void useFastDirector();
    // Ends and drops the director (tests, program exit). The next use makes a new one.
    static void purgeSharedDirector();

    Director();
    ~Director() override;
    virtual bool init();

    // Surface.
    void setPixelFormat(int32_t format);
    int32_t pixelFormat() const { return pixelFormat_; }
    void setDepthBufferFormat(int32_t format);
    bool attachInWindow(Window* window);
    bool attachInView(View* view);
    bool attachInView(View* view, ccRect frame);
    bool isOpenGLAttached() const;
    bool detach();
    EAGLView* openGLView() const { return openGLView_.get(); }
    // The view's size; width and height swapped in landscape.
    ccSize winSize() const;
    // The view's size, never swapped.
    ccSize displaySize() const;
    // Pixels per point of the colour buffer (the window scale; 1 before a view is attached).
    float contentScaleFactor() const;
    // The colour buffer's size in pixels (displaySize() x contentScaleFactor()):
    // the size of anything that must be drawn at full resolution, such as an
    // offscreen target standing in for the screen.
    ccSize displaySizeInPixels() const;
    // A view point (origin top-left) in GL coordinates (origin bottom-left).
    cpVect convertCoordinate(cpVect p) const;

    // GL state.
    void setAlphaBlending(bool on);
    void setTexture2D(bool on);
    void setDepthTest(bool on);
    void set2Dprojection();
    void set3Dprojection();
    void setDefaultProjection();

    // Orientation.
    bool landscape() const { return landscape_; }
    void setLandscape(bool on);
    void applyLandscape();

    // Scenes.
    void runWithScene(Scene* scene);
    void replaceScene(Scene* scene);
    void pushScene(Scene* scene);
    void popScene();
    void end();
    Scene* runningScene() const { return runningScene_.get(); }
    Scene* nextScene() const { return nextScene_.get(); }
    const std::vector<RefPtr<Scene>>& scenes() const { return scenes_; }
    void setNextScene();

    // Frame loop.
    virtual void startAnimation();
    virtual void stopAnimation();
    double animationInterval() const { return animationInterval_; }
    virtual void setAnimationInterval(double seconds);
    bool isAnimating() const { return animationTimer_ != 0; }
    void pause();
    void resume();
    bool isPaused() const { return paused_; }
    // One frame. Where its pixels go, which is what a software rasteriser
    // spends an idle frame on:
    // 1. The view's framebuffer object is cleared. It has a depth buffer only
    //    when one was asked for (not by default): without one the depth test
    //    the projection turns on, and the depth clear, cost nothing.
    // 2. The scene draws into it; textured nodes through GLStateCache.
    // 3. The view presents it (EAGLView::swapBuffers): headless it only
    //    finishes the frame; with a window one textured pass copies it in
    //    (GLSurface::present) and the window is swapped.
    // The frame is not drawn straight into the window to save that pass: the
    // desktop's window has 8 bits a channel and no alpha, the view 5-6-5 (the
    // default) or RGBA with destination alpha, so the window would not show
    // the pixels that are read back (screenshots, golden pictures).
    void mainLoop();
    void calculateDeltaTime();
    float dt() const { return dt_; }
    // Frames run since the director was made.
    long totalFrames() const { return totalFrames_; }
    bool nextDeltaTimeZero() const { return nextDeltaTimeZero_; }
    void setNextDeltaTimeZero(bool b) { nextDeltaTimeZero_ = b; }

    // Touches.
    void addEventHandler(CocosNode* handler);
    void removeEventHandler(CocosNode* handler);
    const std::vector<RefPtr<CocosNode>>& eventHandlers() const { return eventHandlers_; }
    bool eventsEnabled() const { return eventsEnabled_; }
    void setEventsEnabled(bool b) { eventsEnabled_ = b; }
    void touchesBegan(TouchSet& touches, Event* event) override;
    void touchesMoved(TouchSet& touches, Event* event) override;
    void touchesEnded(TouchSet& touches, Event* event) override;
    void touchesCancelled(TouchSet& touches, Event* event) override;

    // Keys: offered to the running scene's visible nodes that take keys
    // (KeyEventsDelegate, e.g. a Layer), topmost first, until one acts on it.
    // Nothing while a transition runs or events are off. The director is the
    // application's key delegate from when a view is attached.
    bool keyDown(const KeyPress& key) override;

    // Frame-rate counter.
    bool displayFPS() const { return displayFPS_; }
    void setDisplayFPS(bool b) { displayFPS_ = b; }
    float frameRate() const { return frameRate_; }
    void showFPS();
    // The counter's text, drawn from "fps_images.png"; null before the view is attached.
    LabelAtlas* FPSLabel() const { return FPSLabel_.get(); }

  protected:
    // Reads the wall clock into `out`; raises "GetTimeOfDay" on failure.
    static void readClock(platform::TimeVal& out);
    // Lets the platform deliver every pending input event.
    static void deliverPendingInput();

    bool paused_ = false;
    platform::TimeVal lastUpdate_;

  private:
    enum class Phase { Began, Moved, Ended, Cancelled };
    void dispatch(Phase phase, TouchSet& touches, Event* event);
    void initOpenGLViewWithView(View* view, ccRect frame);
    void initGLDefaultValues();
    // The counter's label, made with the GL defaults.
    RefPtr<LabelAtlas> createFPSLabel();

    RefPtr<EAGLView> openGLView_;
    Application::TimerId animationTimer_ = 0;
    double animationInterval_ = 1.0 / 60;
    double oldAnimationInterval_ = 1.0 / 60;
    int32_t pixelFormat_ = kColorFormat565;
    int32_t depthBufferFormat_ = kDepthFormatNone;
    bool landscape_ = false;
    bool displayFPS_ = false;
    int32_t frames_ = 0;
    float accumDt_ = 0;
    float frameRate_ = 0;
    RefPtr<LabelAtlas> FPSLabel_;
    RefPtr<Scene> runningScene_;
    RefPtr<Scene> nextScene_;
    std::vector<RefPtr<CocosNode>> eventHandlers_;
    std::vector<RefPtr<Scene>> scenes_;
    float dt_ = 0;
    long totalFrames_ = 0;
    bool nextDeltaTimeZero_ = false;
    bool eventsEnabled_ = true;
};

// Runs frames back to back from a blocking loop instead of a timer.
class FastDirector : public Director {
  public:
    static Director* sharedDirector();

    void startAnimation() override;
    void stopAnimation() override;
    void setAnimationInterval(double seconds) override;
    bool isRunning() const { return isRunning_; }

  private:
    bool isRunning_ = false;
};
