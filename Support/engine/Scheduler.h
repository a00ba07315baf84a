#pragma once
// Timers and the scheduler that fires them once per frame.

#include "engine/Ref.h"

#include <functional>
#include <string>
#include <vector>

class CocosNode;

// A scheduled operation: the name it is known by and the call itself, which
// receives the time accumulated since it last fired.
using TimerCall = std::function<void(float dt)>;

class Timer : public Ref {
  public:
    static RefPtr<Timer> timerWithTarget(Ref* target, const std::string& selector, TimerCall call);
    static RefPtr<Timer> timerWithTarget(Ref* target, const std::string& selector, TimerCall call,
                                         float interval);

    // Always raises "TimerInvalid": a timer needs a target and a selector.
    bool init();
    bool initWithTarget(Ref* target, const std::string& selector, TimerCall call);
    bool initWithTarget(Ref* target, const std::string& selector, TimerCall call, float interval);

    // Adds `dt`; calls the selector with the accumulated time once the interval is reached.
    void fire(float dt);

    float interval() const { return interval_; }
    void setInterval(float i) { interval_ = i; }
    float elapsed() const { return elapsed_; }
    // The target, or null once it is gone.
    Ref* target() const { return target_.get(); }
    const std::string& selector() const { return selector_; }

    std::string description() const override;

  private:
    [[no_unique_address]] LiveCount<Timer> liveCount_;
    friend class Scheduler;
    friend class CocosNode;
    // The target is kept alive while the scheduler holds the timer, so a
    // node and the timers in its own map do not keep each other alive.
    void setHeldByScheduler(bool held);
    // The node whose actions this timer steps, while the scheduler holds it
    // (null for every other timer).
    CocosNode* actionNode() const;

    // What the tick reads of every timer comes first, on one cache line.
    RefPtr<Ref> heldTarget_;
    float interval_ = 0;
    float elapsed_ = 0;
    // A node's action step: `fire` calls the node directly, not `call_`.
    bool stepsActions_ = false;

    // Where the timer stands with the scheduler, so that scheduling and
    // unscheduling need no search of its lists.
    bool pendingAddition_ = false;
    size_t additionIndex_ = 0; // its place in methodsToAdd while pending
    bool scheduled_ = false;   // in scheduledMethods
    bool pendingRemoval_ = false;
    size_t removalIndex_ = 0; // its place in methodsToRemove while pending

    WeakPtr<Ref> target_;
    int heldCount_ = 0;
    std::string selector_;
    TimerCall call_;
};

class Scheduler : public Ref {
  public:
    static Scheduler* sharedScheduler();
    // Drops the scheduler and every timer it holds (tests, program exit).
    static void purgeSharedScheduler();

    Scheduler();
    ~Scheduler() override;

    void scheduleTimer(Timer* t);
    void unscheduleTimer(Timer* t);
    RefPtr<Timer> scheduleTarget(Ref* target, const std::string& selector, TimerCall call);
    RefPtr<Timer> scheduleTarget(Ref* target, const std::string& selector, TimerCall call, float interval);

    // Applies the pending removals and additions, then fires every scheduled timer.
    void tick(float dt);

    const std::vector<RefPtr<Timer>>& scheduledMethods() const { return scheduledMethods_; }
    // An addition cancelled in the same frame leaves a null entry here until the next tick.
    const std::vector<RefPtr<Timer>>& methodsToAdd() const { return methodsToAdd_; }
    // In no particular order: removals do not depend on it.
    const std::vector<RefPtr<Timer>>& methodsToRemove() const { return methodsToRemove_; }

  private:
    void addPending(Timer* t);
    // Fetches the objects the walk will reach a few timers from `i` into the cache.
    void prefetchAhead(size_t i) const;
    void cancelRemoval(Timer* t);

    // The lists keep their capacity from tick to tick: an idle frame allocates nothing.
    std::vector<RefPtr<Timer>> scheduledMethods_;
    std::vector<RefPtr<Timer>> methodsToRemove_;
    std::vector<RefPtr<Timer>> methodsToAdd_;
};
