#include "engine/Action.h"

#include "engine/CocosNode.h"
#include "engine/Errors.h"
#include "platform/Log.h"

RefPtr<Action> Action::action() {
    return construct<Action>([](Action& a) { return a.init(); });
}

void Action::setTarget(CocosNode* node) {
    target_ = node;
}

void Action::step(float) {
    platform::ccLog("[Action step]. override me");
}

void Action::update(float) {
    platform::ccLog("[Action update]. override me");
}

RefPtr<Action> Action::copy() const {
    RefPtr<Action> copy = action();
    copy->setTarget(target());
    return copy;
}

RefPtr<TimedAction> TimedAction::reverse() {
    ccRaise("ReverseActionNotImplemented", "Reverse Action not implemented");
}

// ---- RepeatForever

RefPtr<RepeatForever> RepeatForever::actionWithAction(TimedAction* action) {
    return construct<RepeatForever>([&](RepeatForever& r) { return r.initWithAction(action); });
}

bool RepeatForever::initWithAction(TimedAction* action) {
    if (!Action::init()) return false;
    other_ = action;
    return true;
}

void RepeatForever::start() {
    Action::start();
    if (!other_) return;
    other_->setTarget(target());
    other_->start();
}

void RepeatForever::step(float dt) {
    if (!other_) return;
    other_->step(dt);
    if (other_->isDone()) other_->start();
}

void RepeatForever::prefetchMembers(int depth) const {
    if (!other_) return;
    if (depth == 0)
        prefetchAction(other_.get());
    else
        other_->prefetchMembers(depth - 1);
}

RefPtr<RepeatForever> RepeatForever::reverse() {
    return actionWithAction(reverseOf(other_));
}

RefPtr<Action> RepeatForever::copy() const {
    return actionWithAction(copyOf(other_.get()));
}
