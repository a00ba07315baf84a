#include "engine/Director.h"

#include "engine/Errors.h"
#include "engine/GLStateCache.h"
#include "engine/LabelAtlas.h"
#include "engine/Layer.h"
#include "engine/Scene.h"
#include "engine/Scheduler.h"
#include "engine/glu.h"
#include "platform/GL.h"
#include "platform/Input.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unistd.h>

namespace {
std::recursive_mutex directorLock;
RefPtr<Director> theDirector;
Director* allocatedDirector = nullptr;

constexpr GLuint GL_DEPTH_COMPONENT16 = 0x81A5;
constexpr GLuint GL_DEPTH_COMPONENT24 = 0x81A6;
} // namespace

// ---- singleton

Director* Director::sharedDirector() {
    std::lock_guard<std::recursive_mutex> lock(directorLock);
    if (!theDirector) {
        theDirector = new Director();
        theDirector->init();
    }
    return theDirector.get();
}

Director* FastDirector::sharedDirector() {
    std::lock_guard<std::recursive_mutex> lock(directorLock);
    if (!theDirector) {
        theDirector = new FastDirector();
        theDirector->init();
    }
    return theDirector.get();
}

void Director::useFastDirector() {
    {
        std::lock_guard<std::recursive_mutex> lock(directorLock);
        ccAssert(allocatedDirector == nullptr,
                 "A Director was alloced. To use Fast Director this must be the first call to Director");
    }
    FastDirector::sharedDirector();
}

void Director::purgeSharedDirector() {
    std::lock_guard<std::recursive_mutex> lock(directorLock);
    if (!theDirector) return;
    Director* d = theDirector.get();
    d->stopAnimation();
    // Scenes leave while the director is still the shared one: their layers unregister from it.
    if (RefPtr<Scene> scene = d->runningScene_) {
        d->runningScene_ = nullptr;
        scene->onExit();
    }
    d->nextScene_ = nullptr;
    d->scenes_.clear();
    d->eventHandlers_.clear();
    d->FPSLabel_ = nullptr;
    theDirector = nullptr;
}

Director::Director() {
    std::lock_guard<std::recursive_mutex> lock(directorLock);
    ccAssert(allocatedDirector == nullptr, "Attempted to allocate a second instance of a singleton.");
    allocatedDirector = this;
}

Director::~Director() {
    stopAnimation();
    if (Application::sharedApplication().keyDelegate() == this) Application::sharedApplication().setKeyDelegate(nullptr);
    if (openGLView_) {
        openGLView_->setTouchDelegate(nullptr);
        openGLView_->removeFromSuperview();
    }
    std::lock_guard<std::recursive_mutex> lock(directorLock);
    if (allocatedDirector == this) allocatedDirector = nullptr;
}

bool Director::init() {
    animationInterval_ = oldAnimationInterval_ = 1.0 / 60;
    pixelFormat_ = kColorFormat565;
    depthBufferFormat_ = kDepthFormatNone;
    landscape_ = false;
    displayFPS_ = false;
    frames_ = 0;
    accumDt_ = 0;
    frameRate_ = 0;
    paused_ = false;
    eventHandlers_.reserve(8);
    scenes_.reserve(10);
    dt_ = 0;
    nextDeltaTimeZero_ = false;
    eventsEnabled_ = true;
    return true;
}

// ---- surface

void Director::setPixelFormat(int32_t format) {
    if (isOpenGLAttached())
        ccRaise("DirectorAlreadyInitialized",
                "Can't change the pixel format after the director was initialized");
    pixelFormat_ = format;
}

void Director::setDepthBufferFormat(int32_t format) {
    if (isOpenGLAttached())
        ccRaise("DirectorAlreadyInitialized",
                "Can't change the depth buffer format after the director was initialized");
    depthBufferFormat_ = format;
}

bool Director::attachInWindow(Window* window) {
    initOpenGLViewWithView(window, window ? window->frame() : ccRect{});
    return true;
}

bool Director::attachInView(View* view) {
    initOpenGLViewWithView(view, view ? view->frame() : ccRect{});
    return true;
}

bool Director::attachInView(View* view, ccRect frame) {
    initOpenGLViewWithView(view, frame);
    return true;
}

void Director::initOpenGLViewWithView(View* view, ccRect frame) {
    ccAssert(view != nullptr, "Argument must be non-nil");
    if (isOpenGLAttached())
        ccRaise("kccException_OpenGLViewAlreadyAttached",
                "Can't re-attach the OpenGL View, because it is already attached. Detach it first.");
    Application::sharedApplication().setKeyDelegate(this);
    if (openGLView_) {
        openGLView_->setFrame(frame);
    } else {
        const std::string& format =
            pixelFormat_ == kColorFormat8888 ? kEAGLColorFormatRGBA8 : kEAGLColorFormatRGB565;
        GLuint depth = depthBufferFormat_ == kDepthFormat16   ? GL_DEPTH_COMPONENT16
                       : depthBufferFormat_ == kDepthFormat24 ? GL_DEPTH_COMPONENT24
                                                              : 0;
        RefPtr<EAGLView> glView = makeRef<EAGLView>();
        if (!glView->initWithFrame(frame, format, depth, false))
            ccRaise("kccException_OpenGLViewCantInit", "Could not alloc and init the OpenGL View.");
        openGLView_ = glView;
        openGLView_->setAutoresizesEAGLSurface(true);
        openGLView_->setTouchDelegate(this);
    }
    openGLView_->setUserInteractionEnabled(view->isUserInteractionEnabled());
    eventsEnabled_ = view->isUserInteractionEnabled();
    openGLView_->setMultipleTouchEnabled(view->isMultipleTouchEnabled());
    view->addSubview(openGLView_);
    if (!isOpenGLAttached()) ccRaise("kccException_OpenGLViewCantAttach", "Can't attach the OpenGL View.");
    initGLDefaultValues();
}

void Director::initGLDefaultValues() {
    ccAssert(openGLView_ != nullptr, "_openGLView must be initialized");
    setAlphaBlending(true);
    setDepthTest(true);
    setDefaultProjection();
    glClearColor(0, 0, 0, 1);
    FPSLabel_ = createFPSLabel();
}

RefPtr<LabelAtlas> Director::createFPSLabel() {
    return LabelAtlas::labelAtlasWithString("00.0", "fps_images.png", 16, 24, '.');
}

bool Director::isOpenGLAttached() const {
    return openGLView_ && openGLView_->superview() != nullptr;
}

bool Director::detach() {
    if (!isOpenGLAttached())
        ccRaise("kccException_OpenGLViewNotAttached",
                "Can't detach the OpenGL View, because it is not attached. Attach it first.");
    openGLView_->removeFromSuperview();
    if (isOpenGLAttached())
        ccRaise("kccException_OpenGLViewCantDetach",
                "Can't detach the OpenGL View, it is still attached to the superview.");
    return true;
}

ccSize Director::displaySize() const {
    return openGLView_ ? openGLView_->frame().size : ccSize{};
}

ccSize Director::winSize() const {
    ccSize s = displaySize();
    return landscape_ ? ccSize{s.height, s.width} : s;
}

cpVect Director::convertCoordinate(cpVect p) const {
    if (landscape_) return cpv(p.y, p.x);
    float h = displaySize().height;
    // Whole points, as the handheld's integer conversion gave; trunc keeps a
    // point far off the screen (or not a number) out of undefined behaviour.
    return cpv(p.x, std::trunc(h - p.y));
}

// ---- GL state

void Director::setAlphaBlending(bool on) {
    if (on) {
        glEnable(GL_BLEND);
        glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    } else {
        glDisable(GL_BLEND);
    }
}

void Director::setTexture2D(bool on) {
    if (on)
        glEnable(GL_TEXTURE_2D);
    else
        glDisable(GL_TEXTURE_2D);
}

void Director::setDepthTest(bool on) {
    if (on) {
        glClearDepthf(1.0f);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
    } else {
        glDisable(GL_DEPTH_TEST);
    }
}

float Director::contentScaleFactor() const {
    return openGLView_ ? static_cast<float>(openGLView_->contentScale()) : 1.0f;
}

ccSize Director::displaySizeInPixels() const {
    return openGLView_ ? openGLView_->pixelSize() : displaySize();
}

void Director::set2Dprojection() {
    ccSize s = displaySize();
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    glOrthof(0, s.width, 0, s.height, -1, 1);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
}

void Director::set3Dprojection() {
    ccSize s = displaySize();
    int scale = openGLView_ ? openGLView_->contentScale() : 1;
    glViewport(0, 0, static_cast<GLsizei>(s.width) * scale, static_cast<GLsizei>(s.height) * scale);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    gluPerspective(60, s.width / s.height, 0.5f, 1500.0f);
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    gluLookAt(s.width / 2, s.height / 2, Camera::getZEye(), s.width / 2, s.height / 2, 0, 0, 1, 0);
}

void Director::setDefaultProjection() {
    set3Dprojection();
}

// ---- keys

namespace {
// The visible nodes under `node` that take keys, topmost (highest z, drawn last) first.
void collectKeyTakers(CocosNode* node, std::vector<RefPtr<CocosNode>>& out) {
    if (!node->visible()) return;
    const auto& children = node->children();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        collectKeyTakers(it->get(), out);
    if (dynamic_cast<KeyEventsDelegate*>(node)) out.push_back(node);
}
} // namespace

bool Director::keyDown(const KeyPress& key) {
    if (!eventsEnabled_ || !runningScene_ || nextScene_) return false;
    std::vector<RefPtr<CocosNode>> takers;
    collectKeyTakers(runningScene_.get(), takers);
    for (const RefPtr<CocosNode>& node : takers) {
        if (!node->isRunning()) continue; // an earlier taker's work may have removed it
        if (dynamic_cast<KeyEventsDelegate*>(node.get())->keyDown(key)) return true;
    }
    return false;
}

// ---- orientation

void Director::setLandscape(bool on) {
    if (on == landscape_) return;
    landscape_ = on;
    Application::sharedApplication().setStatusBarOrientation(on ? kInterfaceOrientationLandscapeRight
                                                                : kInterfaceOrientationPortrait);
}

void Director::applyLandscape() {
    if (!landscape_) return;
    glTranslatef(160, 240, 0);
    glRotatef(-90, 0, 0, 1);
    glTranslatef(-240, -160, 0);
}

// ---- scenes

void Director::runWithScene(Scene* scene) {
    ccAssert(scene != nullptr, "Argument must be non-nil");
    ccAssert(runningScene_ == nullptr,
             "You can't run an scene if another Scene is running. Use replaceScene or pushScene instead");
    replaceScene(scene);
    startAnimation();
}

void Director::replaceScene(Scene* scene) {
    ccAssert(scene != nullptr, "Argument must be non-nil");
    nextScene_ = scene;
}

void Director::pushScene(Scene* scene) {
    ccAssert(scene != nullptr, "Argument must be non-nil");
    ccAssert(runningScene_ != nullptr, "A running Scene is needed");
    scenes_.push_back(runningScene_);
    nextScene_ = scene;
}

void Director::popScene() {
    ccAssert(runningScene_ != nullptr, "A running Scene is needed");
    if (scenes_.empty()) {
        end();
        return;
    }
    nextScene_ = scenes_.back();
    scenes_.pop_back();
}

void Director::end() {
    RefPtr<Director> self(this);
    std::vector<RefPtr<Scene>>().swap(scenes_);
    if (RefPtr<Scene> scene = runningScene_) {
        scene->onExit();
        runningScene_ = nullptr;
    }
    stopAnimation();
    detach();
}

void Director::setNextScene() {
    RefPtr<Scene> next = nextScene_;
    if (RefPtr<Scene> old = runningScene_) {
        old->onExit();
        runningScene_ = nullptr;
    }
    next->onEnter();
    runningScene_ = next;
    if (nextScene_ == next) nextScene_ = nullptr;
}

// ---- frame loop

void Director::readClock(platform::TimeVal& out) {
    if (!platform::currentClock().now(out)) ccRaise("GetTimeOfDay", "GetTimeOfDay abnormal error");
}

void Director::deliverPendingInput() {
    Application& app = Application::sharedApplication();
    while (!app.isTerminating() && app.deliverPendingInput()) {
    }
}

void Director::startAnimation() {
    readClock(lastUpdate_);
    Application& app = Application::sharedApplication();
    if (animationTimer_) app.removeTimer(animationTimer_);
    // Before the first scene is shown nothing is gained by waiting an interval:
    // that frame comes at once and the picture is up one interval sooner. A
    // restart (pause, resume, a new interval) keeps its wait.
    double firstDelay = runningScene_ ? animationInterval_ : 0;
    animationTimer_ = app.addTimer(animationInterval_, [this] { mainLoop(); }, firstDelay);
}

void Director::stopAnimation() {
    if (animationTimer_) Application::sharedApplication().removeTimer(animationTimer_);
    animationTimer_ = 0;
}

void Director::setAnimationInterval(double seconds) {
    animationInterval_ = seconds;
    if (animationTimer_) {
        stopAnimation();
        startAnimation();
    }
}

void Director::pause() {
    if (paused_) return;
    oldAnimationInterval_ = animationInterval_;
    setAnimationInterval(1.0 / 4);
    paused_ = true;
}

void Director::resume() {
    if (!paused_) return;
    setAnimationInterval(oldAnimationInterval_);
    readClock(lastUpdate_);
    paused_ = false;
    // The time spent inactive is not game time: the first frame after resume has dt 0.
    dt_ = 0;
    nextDeltaTimeZero_ = true;
}

void Director::calculateDeltaTime() {
    platform::TimeVal now;
    readClock(now);
    if (nextDeltaTimeZero_) {
        dt_ = 0;
        nextDeltaTimeZero_ = false;
    } else {
        dt_ = static_cast<float>(now.seconds - lastUpdate_.seconds) +
              static_cast<float>(now.microseconds - lastUpdate_.microseconds) / 1000000.0f;
        dt_ = std::max(0.0f, dt_);
    }
    lastUpdate_ = now;
}

void Director::mainLoop() {
    RefPtr<Director> self(this); // a frame may end the director
    deliverPendingInput();
    if (Application::sharedApplication().isTerminating()) return;
    if (platform::takeWindowRepaint()) GLStateCache::redrawNextFrame();
    // The clear, or the start of a recording: a frame showing what the view
    // already shows is neither drawn nor presented again (GLStateCache.h).
    GLStateCache::beginFrame();
    calculateDeltaTime();
    if (!paused_) Scheduler::sharedScheduler()->tick(dt_);
    if (nextScene_) setNextScene();
    glPushMatrix();
    applyLandscape();
    if (RefPtr<Scene> scene = runningScene_) scene->visit();
    if (displayFPS_) showFPS();
    glPopMatrix();
    if (GLStateCache::endFrame() && openGLView_) openGLView_->swapBuffers();
    ++totalFrames_;
}

void Director::showFPS() {
    frames_++;
    accumDt_ += dt_;
    if (static_cast<double>(accumDt_) > 0.1) {
        frameRate_ = static_cast<float>(frames_) / accumDt_;
        frames_ = 0;
        accumDt_ = 0;
    }
    if (!FPSLabel_) return;
    // Drawn where the matrix stands, without a visit: the screen's lower-left corner.
    FPSLabel_->setString(platform::ccFormat("%.1f", static_cast<double>(frameRate_)));
    FPSLabel_->draw();
}

// ---- touches

void Director::addEventHandler(CocosNode* handler) {
    ccAssert(handler != nullptr, "Director.AddEventHandler: Node must be non nil");
    eventHandlers_.insert(eventHandlers_.begin(), RefPtr<CocosNode>(handler));
}

void Director::removeEventHandler(CocosNode* handler) {
    ccAssert(handler != nullptr, "Director.removeEventHandler: Node must be non nil");
    eventHandlers_.erase(std::remove(eventHandlers_.begin(), eventHandlers_.end(), handler),
                         eventHandlers_.end());
}

void Director::dispatch(Phase phase, TouchSet& touches, Event* event) {
    if (!eventsEnabled_) return;
    std::vector<RefPtr<CocosNode>> handlers = eventHandlers_;
    for (auto& node : handlers) {
        auto* handler = dynamic_cast<TouchEventsDelegate*>(node.get());
        if (!handler) continue;
        bool handled = false;
        switch (phase) {
        case Phase::Began:
            handled = handler->ccTouchesBegan(touches, event);
            break;
        case Phase::Moved:
            handled = handler->ccTouchesMoved(touches, event);
            break;
        case Phase::Ended:
            handled = handler->ccTouchesEnded(touches, event);
            break;
        case Phase::Cancelled:
            handled = handler->ccTouchesCancelled(touches, event);
            break;
        }
        if (handled) return;
    }
}

void Director::touchesBegan(TouchSet& touches, Event* event) {
    dispatch(Phase::Began, touches, event);
}
void Director::touchesMoved(TouchSet& touches, Event* event) {
    dispatch(Phase::Moved, touches, event);
}
void Director::touchesEnded(TouchSet& touches, Event* event) {
    dispatch(Phase::Ended, touches, event);
}
void Director::touchesCancelled(TouchSet& touches, Event* event) {
    dispatch(Phase::Cancelled, touches, event);
}

// ---- FastDirector

void FastDirector::startAnimation() {
    readClock(lastUpdate_);
    isRunning_ = true;
    RefPtr<Director> self(this);
    Application& app = Application::sharedApplication();
    while (isRunning_ && !app.isTerminating()) {
        if (paused_) usleep(250000);
        mainLoop();
        deliverPendingInput();
    }
}

void FastDirector::stopAnimation() {
    isRunning_ = false;
}

void FastDirector::setAnimationInterval(double) {
    platform::ccLog("FastDirectory doesn't support setAnimationInterval, yet");
}
