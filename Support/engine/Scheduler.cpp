#include "engine/Scheduler.h"

#include "engine/Errors.h"
#include "platform/Log.h"

#include <algorithm>
#include <mutex>

namespace {
bool contains(const std::vector<RefPtr<Timer>>& list, Timer* t) {
    return std::find(list.begin(), list.end(), t) != list.end();
}
} // namespace

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
    if (elapsed_ >= interval_) {
        RefPtr<Ref> keep = target_.lock(); // the call may remove the target from everything else
        if (!keep) return;                 // nothing left to call
        RefPtr<Timer> self(this);
        call_(elapsed_);
        elapsed_ = 0;
    }
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
    held.insert(held.end(), methodsToAdd_.begin(), methodsToAdd_.end());
    methodsToAdd_.clear();
    methodsToRemove_.clear();
    for (auto& t : held)
        t->setHeldByScheduler(false);
    allocatedScheduler = nullptr;
}

void Scheduler::addTo(std::vector<RefPtr<Timer>>& list, Timer* t) {
    list.emplace_back(t);
    if (&list != &methodsToRemove_) t->setHeldByScheduler(true);
}

void Scheduler::removeFrom(std::vector<RefPtr<Timer>>& list, Timer* t) {
    RefPtr<Timer> keep(t);
    auto it = std::remove(list.begin(), list.end(), t);
    long removed = list.end() - it;
    list.erase(it, list.end());
    if (&list != &methodsToRemove_)
        for (long i = 0; i < removed; ++i)
            t->setHeldByScheduler(false);
}

void Scheduler::scheduleTimer(Timer* t) {
    if (contains(methodsToRemove_, t)) {
        removeFrom(methodsToRemove_, t);
        return;
    }
    if (contains(scheduledMethods_, t) || contains(methodsToAdd_, t)) {
        platform::ccLogf("Scheduler.schedulerTimer: timer %s already scheduled", t->description().c_str());
        ccRaise("SchedulerTimerAlreadyScheduled", "Scheduler.scheduleTimer already scheduled");
    }
    addTo(methodsToAdd_, t);
}

void Scheduler::unscheduleTimer(Timer* t) {
    if (contains(methodsToAdd_, t)) {
        removeFrom(methodsToAdd_, t);
        return;
    }
    if (!contains(scheduledMethods_, t)) {
        platform::ccLog("Scheduler.unscheduleTimer: timer not scheduled");
        ccRaise("SchedulerTimerNotFound", "Scheduler.unscheduleTimer not found");
    }
    addTo(methodsToRemove_, t);
}

RefPtr<Timer> Scheduler::scheduleTarget(Ref* target, const std::string& selector, TimerCall call) {
    return scheduleTarget(target, selector, std::move(call), 0);
}

RefPtr<Timer> Scheduler::scheduleTarget(Ref* target, const std::string& selector, TimerCall call,
                                        float interval) {
    RefPtr<Timer> t = Timer::timerWithTarget(target, selector, std::move(call));
    t->setInterval(interval);
    addTo(methodsToAdd_, t);
    return t;
}

void Scheduler::tick(float dt) {
    RefPtr<Scheduler> self(this);
    if (!methodsToRemove_.empty()) {
        std::vector<RefPtr<Timer>> removals;
        removals.swap(methodsToRemove_);
        for (auto& t : removals)
            removeFrom(scheduledMethods_, t);
    }
    if (!methodsToAdd_.empty()) {
        std::vector<RefPtr<Timer>> additions;
        additions.swap(methodsToAdd_);
        for (auto& t : additions)
            scheduledMethods_.push_back(t); // still held: it moves lists
    }
    // Changes made while firing go to the pending lists, so indexes stay valid.
    for (size_t i = 0; i < scheduledMethods_.size(); ++i) {
        RefPtr<Timer> t = scheduledMethods_[i];
        t->fire(dt);
    }
}
