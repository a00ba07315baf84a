#include "engine/Application.h"

#include "platform/Input.h"
#include "platform/System.h"

#include <algorithm>
#include <chrono>

Application& Application::sharedApplication() {
    static Application app;
    return app;
}

double Application::steadyNow() {
    using namespace std::chrono;
    return duration<double>(steady_clock::now().time_since_epoch()).count();
}

void Application::launch(ApplicationDelegate* delegate) {
    delegate_ = delegate;
    terminating_ = false;
    if (delegate_) delegate_->applicationDidFinishLaunching(this);
}

int Application::run(ApplicationDelegate* delegate, std::function<bool()> shouldStop) {
    launch(delegate);
    while (!terminating_ && !timers_.empty() && !(shouldStop && shouldStop())) {
        double now = steadyNow();
        auto next = std::min_element(timers_.begin(), timers_.end(),
                                     [](auto& a, auto& b) { return a.second.due < b.second.due; });
        if (next->second.due <= now) {
            TimerEntry& t = next->second;
            // A late timer fires once and then keeps its rhythm from now.
            t.due = std::max(t.due + t.period, now);
            auto callback = t.callback; // the callback may remove or re-add its timer
            callback();
            continue;
        }
        platform::waitForInput(next->second.due - now);
        while (!terminating_ && deliverPendingInput()) {
        }
    }
    if (delegate_) delegate_->applicationWillTerminate(this);
    return exitCode_;
}

void Application::terminate(int exitCode) {
    terminating_ = true;
    exitCode_ = exitCode;
}

void Application::setIdleTimerDisabled(bool disabled) {
    idleTimerDisabled_ = disabled;
    platform::setScreenSaverEnabled(!disabled);
}

bool Application::openURL(const std::string& url) {
    return platform::openURL(url);
}

Application::TimerId Application::addTimer(double periodSeconds, std::function<void()> callback,
                                          double firstDelaySeconds) {
    TimerId id = nextTimerId_++;
    double firstDelay = firstDelaySeconds >= 0 ? firstDelaySeconds : periodSeconds;
    timers_[id] = TimerEntry{periodSeconds, steadyNow() + firstDelay, std::move(callback)};
    return id;
}

void Application::removeTimer(TimerId id) {
    timers_.erase(id);
}

void Application::fireTimers() {
    std::vector<TimerId> ids;
    for (auto& [id, t] : timers_)
        ids.push_back(id);
    for (TimerId id : ids) {
        auto it = timers_.find(id);
        if (it == timers_.end()) continue; // removed by an earlier callback
        auto callback = it->second.callback;
        callback();
    }
}

bool Application::deliverPendingInput() {
    platform::InputEvent e;
    if (!platform::pollInputEvent(e)) return false;
    switch (e.kind) {
    case platform::InputKind::TouchBegan:
        dispatchTouch(TouchPhase::Began, e.finger, cpv(e.x, e.y), e.timestamp);
        break;
    case platform::InputKind::TouchMoved:
        dispatchTouch(TouchPhase::Moved, e.finger, cpv(e.x, e.y), e.timestamp);
        break;
    case platform::InputKind::TouchEnded:
        dispatchTouch(TouchPhase::Ended, e.finger, cpv(e.x, e.y), e.timestamp);
        break;
    case platform::InputKind::TouchCancelled:
        dispatchTouch(TouchPhase::Cancelled, e.finger, cpv(e.x, e.y), e.timestamp);
        break;
    case platform::InputKind::FocusLost:
        if (delegate_) delegate_->applicationWillResignActive(this);
        break;
    case platform::InputKind::FocusGained:
        if (delegate_) delegate_->applicationDidBecomeActive(this);
        break;
    case platform::InputKind::LowMemory:
        if (delegate_) delegate_->applicationDidReceiveMemoryWarning(this);
        break;
    case platform::InputKind::Quit:
        terminate(0);
        break;
    case platform::InputKind::KeyDown:
        dispatchKey(e.key);
        break;
    }
    return true;
}

bool Application::dispatchKey(const KeyPress& key) {
    if (keyDelegate_ && keyDelegate_->keyDown(key)) return true;
    return delegate_ && delegate_->applicationKeyDown(this, key);
}

void Application::dispatchTouch(TouchPhase phase, int64_t finger, cpVect location, double timestamp) {
    RefPtr<Touch> touch;
    auto found = activeTouches_.find(finger);
    if (phase == TouchPhase::Began) {
        if (found != activeTouches_.end()) return; // a finger cannot come down twice
        if (!keyWindow_) return;
        View* view = keyWindow_->hitTest(location);
        if (!view) return;
        touch = makeRef<Touch>();
        touch->setView(view);
        activeTouches_[finger] = touch;
    } else {
        if (found == activeTouches_.end()) return; // no matching began: nothing to report
        touch = found->second;
        if (phase == TouchPhase::Ended || phase == TouchPhase::Cancelled) activeTouches_.erase(found);
        // A cancelled touch keeps its last known place.
        if (phase == TouchPhase::Cancelled) location = touch->windowLocation();
    }
    touch->update(phase, location, timestamp);

    TouchSet touches;
    touches.add(touch);
    TouchSet all;
    for (auto& [id, t] : activeTouches_)
        all.add(t);
    if (phase == TouchPhase::Ended || phase == TouchPhase::Cancelled) all.add(touch);
    RefPtr<Event> event = makeRef<Event>(timestamp, all);

    RefPtr<View> view = touch->view();
    switch (phase) {
    case TouchPhase::Began:
        view->touchesBegan(touches, event);
        break;
    case TouchPhase::Moved:
    case TouchPhase::Stationary:
        view->touchesMoved(touches, event);
        break;
    case TouchPhase::Ended:
        view->touchesEnded(touches, event);
        break;
    case TouchPhase::Cancelled:
        view->touchesCancelled(touches, event);
        break;
    }
}

void Application::reset() {
    timers_.clear();
    activeTouches_.clear();
    keyWindow_ = nullptr;
    delegate_ = nullptr;
    keyDelegate_ = nullptr;
    terminating_ = false;
    exitCode_ = 0;
    platform::clearInjectedInput();
}
