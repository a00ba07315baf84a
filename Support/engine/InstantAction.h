#pragma once
// Actions that do their whole work when started and are done at once: they
// mark points in a chain (show, hide, place, call back).

#include "engine/Action.h"
#include "engine/cpVect.h"

#include <functional>
#include <type_traits>

class InstantAction : public TimedAction {
  public:
    static RefPtr<InstantAction> action();
    bool init() override;

    float duration() const override { return 0; }
    // The effect happens in start, in subclasses; a step only completes.
    void step(float dt) override;
    void update(float) override {}
    bool isDone() const override { return true; }
    // No instant action can be reversed: reverse raises "ReverseActionNotImplemented".
    RefPtr<Action> copy() const override;
};

class Show : public InstantAction {
  public:
    static RefPtr<Show> action();
    void start() override;
    RefPtr<Action> copy() const override;
};

class Hide : public InstantAction {
  public:
    static RefPtr<Hide> action();
    void start() override;
    RefPtr<Action> copy() const override;
};

class ToggleVisibility : public InstantAction {
  public:
    static RefPtr<ToggleVisibility> action();
    void start() override;
    RefPtr<Action> copy() const override;
};

class Place : public InstantAction {
  public:
    static RefPtr<Place> actionWithPosition(cpVect position);
    bool initWithPosition(cpVect position);
    void start() override;
    RefPtr<Action> copy() const override;

  private:
    cpVect position_;
};

// Calls back an object: the target it keeps alive (distinct from the node
// that runs the action) and the operation to call on it.
class CallFunc : public InstantAction {
  public:
    using Selector = std::function<void()>;
    static RefPtr<CallFunc> actionWithTarget(Ref* target, Selector selector);
    // The method `method` of `target`.
    template <class T, class C> static RefPtr<CallFunc> actionWithTarget(T* target, void (C::*method)()) {
        static_assert(std::is_base_of_v<C, T>);
        return actionWithTarget(target, Selector([target, method] { (target->*method)(); }));
    }
    bool initWithTarget(Ref* target, Selector selector);

    // Sends itself execute.
    void start() override;
    // Calls the operation; nothing when there is no target to call.
    void execute();
    RefPtr<Action> copy() const override;

    Ref* targetCallback() const { return targetCallback_.get(); }

  protected:
    // Every callback form is stored as one call of (running node, data).
    using Invocation = std::function<void(CocosNode* node, void* data)>;
    bool initWithTarget(Ref* target, Invocation invocation, void* data);
    // A new T calling the same object in the same way.
    template <class T> RefPtr<T> copyCall() const {
        return construct<T>([this](T& t) {
            return static_cast<CallFunc&>(t).initWithTarget(targetCallback_, invocation_, data_);
        });
    }

    RefPtr<Ref> targetCallback_;
    Invocation invocation_;
    void* data_ = nullptr; // passed through unchanged, never owned
};

// Calls back with the node that runs the action.
class CallFuncN : public CallFunc {
  public:
    using Selector = std::function<void(CocosNode* node)>;
    static RefPtr<CallFuncN> actionWithTarget(Ref* target, Selector selector);
    template <class T, class C>
    static RefPtr<CallFuncN> actionWithTarget(T* target, void (C::*method)(CocosNode*)) {
        static_assert(std::is_base_of_v<C, T>);
        return actionWithTarget(target,
                                Selector([target, method](CocosNode* node) { (target->*method)(node); }));
    }
    bool initWithTarget(Ref* target, Selector selector);
    RefPtr<Action> copy() const override;
};

// Calls back with the node that runs the action and a pointer given at
// construction.
class CallFuncND : public CallFuncN {
  public:
    using Selector = std::function<void(CocosNode* node, void* data)>;
    static RefPtr<CallFuncND> actionWithTarget(Ref* target, Selector selector, void* data);
    template <class T, class C>
    static RefPtr<CallFuncND> actionWithTarget(T* target, void (C::*method)(CocosNode*, void*), void* data) {
        static_assert(std::is_base_of_v<C, T>);
        return actionWithTarget(
            target, Selector([target, method](CocosNode* node, void* d) { (target->*method)(node, d); }),
            data);
    }
    bool initWithTarget(Ref* target, Selector selector, void* data);
    RefPtr<Action> copy() const override;

    void* data() const { return data_; }
};
