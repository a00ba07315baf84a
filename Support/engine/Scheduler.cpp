#include "engine/Scheduler.h"

#include "engine/CocosNode.h"
#include "engine/Errors.h"
#include "platform/Log.h"

#include <algorithm>
#include <mutex>

RefPtr<Timer> Timer::timerWithTarget(Ref* target, const std::string& selector, TimerCall call) {
    return timerWithTarget(target, selector, std::move(call), 0);
}

RefPtr<Timer> Timer::timerWithTarget(Ref* target, const std::string& selector, TimerCall call,
                                     float interval) {
    return construct<Timer>(
        [&](Timer& t) { return t.initWithTarget(target, selector, std::move(call), interval); });
}

bool Timer::init() {
    ccRaise("TimerInvalid", "Invalid init for Timer. Use initWithTarget:sel:");
}

bool Timer::initWithTarget(Ref* target, const std::string& selector, TimerCall call) {
    return initWithTarget(target, selector, std::move(call), 0);
}

bool Timer::initWithTarget(Ref* target, const std::string& selector, TimerCall call, float interval) {
    if (!target || !call) ccRaise("TimerInvalid", "Invalid init for Timer. Use initWithTarget:sel:");
    target_ = target;
    selector_ = selector;
    call_ = std::move(call);
    interval_ = interval;
    elapsed_ = 0;
    return true;
}

void Timer::fire(float dt) {
    elapsed_ += dt;
    if (elapsed_ < interval_) return;
    if (heldTarget_) {
        // Fired by the scheduler's tick, which holds this timer and, through it, the target
        // until the tick is over: no references to take. A node's action step is
        // called directly rather than through the stored call.
        if (CocosNode* node = actionNode())
            node->step_(elapsed_);
        else
            call_(elapsed_);
        elapsed_ = 0;
        return;
    }
    {
        RefPtr<Ref> keep = target_.lock(); // the call may remove the target from everything else
        if (!keep) return;                 // nothing left to call
        RefPtr<Timer> self(this);
        call_(elapsed_);
        elapsed_ = 0;
    }
}

CocosNode* Timer::actionNode() const {
    // Only a node schedules an action step, with itself as the target.
    return stepsActions_ ? static_cast<CocosNode*>(heldTarget_.get()) : nullptr;
}

void Timer::setHeldByScheduler(bool held) {
    heldCount_ += held ? 1 : -1;
    if (heldCount_ > 0 && !heldTarget_) heldTarget_ = target_.lock();
    if (heldCount_ == 0) heldTarget_ = nullptr;
}

std::string Timer::description() const {
    return platform::ccFormat("<Timer = %p | target:%s selector:(%s)>", static_cast<const void*>(this),
                              target_ ? target_->description().c_str() : "nil", selector_.c_str());
}

namespace {
std::mutex schedulerLock;
RefPtr<Scheduler> theScheduler;
Scheduler* allocatedScheduler = nullptr;
} // namespace

Scheduler* Scheduler::sharedScheduler() {
    std::lock_guard<std::mutex> lock(schedulerLock);
    if (!theScheduler) theScheduler = new Scheduler();
    return theScheduler.get();
}

void Scheduler::purgeSharedScheduler() {
    RefPtr<Scheduler> old;
    {
        std::lock_guard<std::mutex> lock(schedulerLock);
        old.swap(theScheduler);
    }
}

Scheduler::Scheduler() {
    ccAssert(allocatedScheduler == nullptr, "Attempted to allocate a second instance of a singleton.");
    allocatedScheduler = this;
    scheduledMethods_.reserve(50);
    methodsToRemove_.reserve(20);
    methodsToAdd_.reserve(20);
}

Scheduler::~Scheduler() {
    // Let go of the targets first: a timer left in its node's map must not keep the node alive.
    std::vector<RefPtr<Timer>> held;
    held.swap(scheduledMethods_);
    for (auto& t : methodsToAdd_)
        if (t) held.push_back(t);
    methodsToAdd_.clear();
    for (auto& t : methodsToRemove_)
        t->pendingRemoval_ = false;
    methodsToRemove_.clear();
    for (auto& t : held) {
        t->pendingAddition_ = t->scheduled_ = false;
        t->setHeldByScheduler(false);
    }
    allocatedScheduler = nullptr;
}

void Scheduler::addPending(Timer* t) {
    t->pendingAddition_ = true;
    t->additionIndex_ = methodsToAdd_.size();
    methodsToAdd_.emplace_back(t);
    t->setHeldByScheduler(true);
}

void Scheduler::cancelRemoval(Timer* t) {
    // The order of removals does not matter: the last one takes the cancelled one's place.
    RefPtr<Timer> keep(t);
    size_t i = t->removalIndex_;
    if (i + 1 != methodsToRemove_.size()) {
        methodsToRemove_[i] = std::move(methodsToRemove_.back());
        methodsToRemove_[i]->removalIndex_ = i;
    }
    methodsToRemove_.pop_back();
    t->pendingRemoval_ = false;
}

void Scheduler::scheduleTimer(Timer* t) {
    if (t->pendingRemoval_) {
        cancelRemoval(t);
        return;
    }
    if (t->scheduled_ || t->pendingAddition_) {
        platform::ccLogf("Scheduler.schedulerTimer: timer %s already scheduled", t->description().c_str());
        ccRaise("SchedulerTimerAlreadyScheduled", "Scheduler.scheduleTimer already scheduled");
    }
    addPending(t);
}

void Scheduler::unscheduleTimer(Timer* t) {
    if (t->pendingAddition_) {
        // Left as a null entry, so the other additions keep their order.
        RefPtr<Timer> keep(t);
        t->pendingAddition_ = false;
        methodsToAdd_[t->additionIndex_] = nullptr;
        t->setHeldByScheduler(false);
        return;
    }
    if (!t->scheduled_ || t->pendingRemoval_) {
        if (!t->scheduled_) {
            platform::ccLog("Scheduler.unscheduleTimer: timer not scheduled");
            ccRaise("SchedulerTimerNotFound", "Scheduler.unscheduleTimer not found");
        }
        return; // already on its way out
    }
    t->pendingRemoval_ = true;
    t->removalIndex_ = methodsToRemove_.size();
    methodsToRemove_.emplace_back(t);
}

RefPtr<Timer> Scheduler::scheduleTarget(Ref* target, const std::string& selector, TimerCall call) {
    return scheduleTarget(target, selector, std::move(call), 0);
}

RefPtr<Timer> Scheduler::scheduleTarget(Ref* target, const std::string& selector, TimerCall call,
                                        float interval) {
    RefPtr<Timer> t = Timer::timerWithTarget(target, selector, std::move(call));
    t->setInterval(interval);
    addPending(t);
    return t;
}

void Scheduler::tick(float dt) {
    RefPtr<Scheduler> self(this);
    if (!methodsToRemove_.empty()) {
        // One pass over the list, however many go.
        for (auto& t : methodsToRemove_)
            t->scheduled_ = false;
        std::vector<RefPtr<Timer>> gone;
        std::erase_if(scheduledMethods_, [&gone](RefPtr<Timer>& t) {
            if (t->scheduled_) return false;
            gone.push_back(std::move(t));
            return true;
        });
        for (auto& t : methodsToRemove_)
            t->pendingRemoval_ = false;
        methodsToRemove_.clear();
        // Let go last: dropping a target may run its destructor.
        for (auto& t : gone)
            t->setHeldByScheduler(false);
    }
    if (!methodsToAdd_.empty()) {
        for (auto& t : methodsToAdd_) {
            if (!t) continue; // cancelled in the same frame
            t->pendingAddition_ = false;
            t->scheduled_ = true;
            scheduledMethods_.push_back(std::move(t)); // still held: it moves lists
        }
        methodsToAdd_.clear();
    }
    // Changes made while firing go to the pending lists, so the list does not
    // change under the walk; it holds every timer (and so every target) in it.
    for (size_t i = 0; i < scheduledMethods_.size(); ++i) {
        prefetchAhead(i);
        scheduledMethods_[i]->fire(dt);
    }
}

void Scheduler::prefetchAhead(size_t i) const {
    // Most timers are action steps, and each is a chain of objects (timer,
    // node, list of actions, action, its members) that would miss one after
    // the other. Each stage reads only what the stage before fetched, through
    // objects the list keeps alive; two timers between stages give each fetch
    // about one memory latency.
    constexpr size_t stages = 5, spacing = 2, timerAhead = (stages + 1) * spacing;
    const size_t n = scheduledMethods_.size();
    if (i + timerAhead < n) {
        const Timer* t = scheduledMethods_[i + timerAhead].get();
        __builtin_prefetch(&t->heldTarget_);
        __builtin_prefetch(&t->stepsActions_);
    }
    for (size_t stage = 0; stage < stages; ++stage) {
        size_t ahead = i + (stages - stage) * spacing;
        if (ahead >= n) continue;
        if (CocosNode* node = scheduledMethods_[ahead]->actionNode()) node->prefetchStep(static_cast<int>(stage));
    }
}
