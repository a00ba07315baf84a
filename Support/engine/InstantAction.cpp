#include "engine/InstantAction.h"

#include "engine/CocosNode.h"

namespace {
template <class T> RefPtr<T> plain() {
    return construct<T>([](T& a) { return a.init(); });
}
} // namespace

RefPtr<InstantAction> InstantAction::action() {
    return plain<InstantAction>();
}

bool InstantAction::init() {
    return TimedAction::init();
}

void InstantAction::step(float) {
    update(1.0f);
}

RefPtr<Action> InstantAction::copy() const {
    return action();
}

// ---- visibility and place

RefPtr<Show> Show::action() {
    return plain<Show>();
}

void Show::start() {
    InstantAction::start();
    if (CocosNode* node = target()) node->setVisible(true);
}

RefPtr<Action> Show::copy() const {
    return action();
}

RefPtr<Hide> Hide::action() {
    return plain<Hide>();
}

void Hide::start() {
    InstantAction::start();
    if (CocosNode* node = target()) node->setVisible(false);
}

RefPtr<Action> Hide::copy() const {
    return action();
}

RefPtr<ToggleVisibility> ToggleVisibility::action() {
    return plain<ToggleVisibility>();
}

void ToggleVisibility::start() {
    InstantAction::start();
    if (CocosNode* node = target()) node->setVisible(!node->visible());
}

RefPtr<Action> ToggleVisibility::copy() const {
    return action();
}

RefPtr<Place> Place::actionWithPosition(cpVect position) {
    return construct<Place>([&](Place& a) { return a.initWithPosition(position); });
}

bool Place::initWithPosition(cpVect position) {
    if (!InstantAction::init()) return false;
    position_ = position;
    return true;
}

void Place::start() {
    InstantAction::start();
    if (CocosNode* node = target()) node->setPosition(position_);
}

RefPtr<Action> Place::copy() const {
    return actionWithPosition(position_);
}

// ---- callbacks

RefPtr<CallFunc> CallFunc::actionWithTarget(Ref* target, Selector selector) {
    return construct<CallFunc>([&](CallFunc& a) { return a.initWithTarget(target, std::move(selector)); });
}

bool CallFunc::initWithTarget(Ref* target, Selector selector) {
    Invocation call;
    if (selector) call = [s = std::move(selector)](CocosNode*, void*) { s(); };
    return initWithTarget(target, std::move(call), nullptr);
}

bool CallFunc::initWithTarget(Ref* target, Invocation invocation, void* data) {
    if (!InstantAction::init()) return false;
    targetCallback_ = target;
    invocation_ = std::move(invocation);
    data_ = data;
    return true;
}

void CallFunc::start() {
    InstantAction::start();
    execute();
}

void CallFunc::execute() {
    if (!targetCallback_ || !invocation_) return;
    // The call may drop the last other reference to this action (a callback
    // that stops its node's actions, say): stay alive until it returns.
    RefPtr<CallFunc> self(this);
    invocation_(target(), data_);
}

RefPtr<Action> CallFunc::copy() const {
    return copyCall<CallFunc>();
}

RefPtr<CallFuncN> CallFuncN::actionWithTarget(Ref* target, Selector selector) {
    return construct<CallFuncN>([&](CallFuncN& a) { return a.initWithTarget(target, std::move(selector)); });
}

bool CallFuncN::initWithTarget(Ref* target, Selector selector) {
    Invocation call;
    if (selector) call = [s = std::move(selector)](CocosNode* node, void*) { s(node); };
    return CallFunc::initWithTarget(target, std::move(call), nullptr);
}

RefPtr<Action> CallFuncN::copy() const {
    return copyCall<CallFuncN>();
}

RefPtr<CallFuncND> CallFuncND::actionWithTarget(Ref* target, Selector selector, void* data) {
    return construct<CallFuncND>(
        [&](CallFuncND& a) { return a.initWithTarget(target, std::move(selector), data); });
}

bool CallFuncND::initWithTarget(Ref* target, Selector selector, void* data) {
    return CallFunc::initWithTarget(target, Invocation(std::move(selector)), data);
}

RefPtr<Action> CallFuncND::copy() const {
    return copyCall<CallFuncND>();
}
