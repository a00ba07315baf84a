#pragma once
// Actions change one node over time. A node runs an action by giving it
// itself as target and starting it; then, while the node runs, it steps the
// action every frame until the action says it is done.
//
// Copies are new, unstarted actions without a target, so a copy can run on
// any node; composites copy the actions they contain.

#include "engine/Ref.h"

class CocosNode;

class Action : public Ref {
  public:
    static RefPtr<Action> action();
    virtual bool init() { return true; }

    // The node the action works on. The node owns its running actions; the
    // link back is weak so that a node dropped with an action still attached
    // is freed together with the action instead of keeping both alive.
    CocosNode* target() const { return target_.get(); }
    virtual void setTarget(CocosNode* node);

    // Records the starting state and resets per-run counters; composites
    // start the same object again for every run.
    virtual void start() {}
    // Sent once when the action has ended.
    virtual void stop() {}
    virtual bool isDone() const { return true; }
    // Advances by `dt` seconds.
    virtual void step(float dt);
    // Applies the fraction `t` of the action's own time (0 start, 1 end).
    virtual void update(float t);

    // A new, unstarted action of the same class. This plain one keeps the target.
    virtual RefPtr<Action> copy() const;

    // Fetches into the cache the members the next `step` goes to, `depth`
    // levels further down (0: the members themselves). The scheduler calls it
    // a few nodes ahead of its walk, once this action is in the cache.
    virtual void prefetchMembers(int) const {}

  private:
    [[no_unique_address]] LiveCount<Action> liveCount_;
    WeakPtr<CocosNode> target_;
};

// An action that takes a known time (an interval action) or none (an instant
// action): what composites are made of. It may offer the inverse change.
class TimedAction : public Action {
  public:
    virtual float duration() const = 0;
    // A new action playing the inverse change. Raises
    // "ReverseActionNotImplemented" where there is none.
    virtual RefPtr<TimedAction> reverse();
};

// Fetches an action object (most are a little over one cache line) into the cache.
inline void prefetchAction(const Action* action) {
    __builtin_prefetch(action);
    __builtin_prefetch(reinterpret_cast<const char*>(action) + 64);
}

// The reverse of `action`; null for null.
inline RefPtr<TimedAction> reverseOf(TimedAction* action) {
    return action ? action->reverse() : nullptr;
}

// A copy of `action` typed as its own class (every copy keeps the class);
// null for null.
template <class T> RefPtr<T> copyOf(const T* action) {
    if (!action) return nullptr;
    RefPtr<Action> copy = action->copy();
    return RefPtr<T>(dynamic_cast<T*>(copy.get()));
}

// Runs another action again and again, never ending by itself.
class RepeatForever : public Action {
  public:
    static RefPtr<RepeatForever> actionWithAction(TimedAction* action);
    bool initWithAction(TimedAction* action);

    // Gives the inner action our target and starts it.
    void start() override;
    // Steps the inner action and starts it again once it is done; the time
    // beyond its end is not carried into the next run.
    void step(float dt) override;
    bool isDone() const override { return false; }

    RefPtr<RepeatForever> reverse();
    RefPtr<Action> copy() const override;
    void prefetchMembers(int depth) const override;

    TimedAction* other() const { return other_.get(); }

  private:
    RefPtr<TimedAction> other_;
};
