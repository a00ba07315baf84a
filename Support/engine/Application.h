#pragma once
// The application object: its delegate and life-cycle events, the key
// window, the main thread's repeating timers, and the delivery of pending
// input. run() is the program's main loop.

#include "engine/Ref.h"
#include "engine/Touch.h"
#include "engine/View.h"
#include "platform/Input.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class Application;

// A key press (its name and modifiers), as the platform reports it.
using KeyPress = platform::KeyPress;

// Takes key presses: answers true when it acted on the key (nobody else is
// asked then). The default passes every key on.
class KeyEventsDelegate {
  public:
    virtual ~KeyEventsDelegate() = default;
    virtual bool keyDown(const KeyPress&) { return false; }
};

// Status-bar orientations (the values the handheld uses).
enum InterfaceOrientation {
    kInterfaceOrientationPortrait = 1,
    kInterfaceOrientationLandscapeRight = 3,
};

class ApplicationDelegate {
  public:
    virtual ~ApplicationDelegate() = default;
    virtual void applicationDidFinishLaunching(Application*) {}
    virtual void applicationWillResignActive(Application*) {}
    virtual void applicationDidBecomeActive(Application*) {}
    virtual void applicationDidReceiveMemoryWarning(Application*) {}
    virtual void applicationWillTerminate(Application*) {}
    // A key nothing on the screen took (see Application::setKeyDelegate); true when handled.
    virtual bool applicationKeyDown(Application*, const KeyPress&) { return false; }
};

class Application {
  public:
    using TimerId = uint64_t;

    static Application& sharedApplication();

    // Launches the delegate and runs the main loop until terminate() is
    // called, the window is closed, no timer is left or `shouldStop` says so
    // (asked after every timer call). Returns the exit code.
    int run(ApplicationDelegate* delegate, std::function<bool()> shouldStop = nullptr);
    // Sets the delegate and tells it the application has launched.
    void launch(ApplicationDelegate* delegate);
    // Ends run() once the current callback returns.
    void terminate(int exitCode = 0);
    bool isTerminating() const { return terminating_; }
    int exitCode() const { return exitCode_; }

    ApplicationDelegate* delegate() const { return delegate_; }
    void setDelegate(ApplicationDelegate* d) { delegate_ = d; }
    // Keys go to the key delegate first (the director, which offers them to
    // the running scene), then to the application delegate.
    KeyEventsDelegate* keyDelegate() const { return keyDelegate_; }
    void setKeyDelegate(KeyEventsDelegate* d) { keyDelegate_ = d; }
    // Hands one key press round as above; true when someone took it.
    bool dispatchKey(const KeyPress& key);
    Window* keyWindow() const { return keyWindow_.get(); }
    void setKeyWindow(Window* w) { keyWindow_ = w; }

    // The window scale: pixels per point.
    int contentScale() const { return contentScale_; }
    void setContentScale(int scale) { contentScale_ = scale < 1 ? 1 : scale; }

    int statusBarOrientation() const { return statusBarOrientation_; }
    void setStatusBarOrientation(int o) { statusBarOrientation_ = o; }
    // The desktop has no status bar: its frame is empty.
    ccRect statusBarFrame() const { return ccRect{}; }

    void setIdleTimerDisabled(bool disabled);
    bool isIdleTimerDisabled() const { return idleTimerDisabled_; }
    bool openURL(const std::string& url);

    // A repeating timer on the main thread, first firing one period from now,
    // or after `firstDelaySeconds` when that is given (0: at the next turn of the loop).
    TimerId addTimer(double periodSeconds, std::function<void()> callback, double firstDelaySeconds = -1);
    void removeTimer(TimerId id);
    bool hasTimers() const { return !timers_.empty(); }
    // Fires every timer once, whatever its period (frames driven by a script or a test).
    void fireTimers();

    // Delivers one pending input event to the window or the delegate; false
    // when nothing was pending.
    bool deliverPendingInput();

    // Forgets windows, timers and touches (tests start each case afresh).
    void reset();

  private:
    struct TimerEntry {
        double period;
        double due; // seconds on the steady clock
        std::function<void()> callback;
    };

    void dispatchTouch(TouchPhase phase, int64_t finger, cpVect location, double timestamp);
    static double steadyNow();

    ApplicationDelegate* delegate_ = nullptr;
    KeyEventsDelegate* keyDelegate_ = nullptr; // weak
    RefPtr<Window> keyWindow_;
    int contentScale_ = 1;
    bool idleTimerDisabled_ = false;
    int statusBarOrientation_ = kInterfaceOrientationPortrait;
    bool terminating_ = false;
    int exitCode_ = 0;
    TimerId nextTimerId_ = 1;
    std::map<TimerId, TimerEntry> timers_;
    std::map<int64_t, RefPtr<Touch>> activeTouches_;
};
