#include "engine/IntervalAction.h"

#include "engine/CocosNode.h"
#include "engine/Errors.h"
#include "engine/Sprite.h"
#include "platform/Log.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {
constexpr float kPi = 3.1415927f;

// Builds the left-nested chain ((a, b), c), d of a list ended by the first null.
template <class Composite> RefPtr<TimedAction> chain(std::initializer_list<TimedAction*> list) {
    std::vector<TimedAction*> items;
    for (TimedAction* a : list) {
        if (!a) break;
        items.push_back(a);
    }
    if (items.empty()) return nullptr;
    RefPtr<TimedAction> result = items[0];
    for (size_t i = 1; i < items.size(); ++i)
        result = RefPtr<TimedAction>(Composite::actionOne(result, items[i]));
    return result;
}

// Opacity from a computed value: truncated toward zero, low 8 bits. Values
// at or below zero (or not a number) give 0 and huge ones saturate, as the
// handheld's float-to-unsigned conversion does, instead of being undefined.
uint8_t opacityFromValue(float v) {
    if (!(v > 0.0f)) return 0;
    if (v >= 4294967295.0f) return 0xff;
    return static_cast<uint8_t>(static_cast<uint32_t>(v));
}

CocosNodeOpacity* opacityOf(CocosNode* node) {
    return dynamic_cast<CocosNodeOpacity*>(node);
}

void checkOpacity(CocosNode* node, const char* who) {
    if (node && !opacityOf(node))
        platform::ccLogf("%s: the target node has no opacity; nothing will fade", who);
}
} // namespace

// ---- IntervalAction

RefPtr<IntervalAction> IntervalAction::actionWithDuration(float duration) {
    return construct<IntervalAction>([&](IntervalAction& a) { return a.initWithDuration(duration); });
}

bool IntervalAction::init() {
    ccRaise("IntervalActionInit", "Init not supported. Use InitWithDuration");
}

bool IntervalAction::initWithDuration(float duration) {
    if (!Action::init()) return false;
    duration_ = duration;
    elapsed_ = 0;
    return true;
}

void IntervalAction::start() {
    TimedAction::start();
    elapsed_ = 0;
}

void IntervalAction::step(float dt) {
    elapsed_ += dt;
    // Without a length (zero, or nonsense) the action is complete at once;
    // elapsed / duration would be 0/0 for a first step of dt 0.
    float t = 1.0f;
    if (duration_ > 0.0f) t = std::min(elapsed_ / duration_, 1.0f);
    update(t);
}

bool IntervalAction::isDone() const {
    return !(elapsed_ < duration_); // a NaN duration is done at once, as step treats it
}

RefPtr<Action> IntervalAction::copy() const {
    return actionWithDuration(duration_);
}

void IntervalAction::setAmplitudeRate(float) {
    ccRaise("IntervalAction (Amplitude)", "Abstract class needs implementation");
}

float IntervalAction::getAmplitudeRate() {
    ccRaise("IntervalAction (Amplitude)", "Abstract class needs implementation");
}

// ---- Sequence

RefPtr<Sequence> Sequence::actionOne(TimedAction* one, TimedAction* two) {
    return construct<Sequence>([&](Sequence& s) { return s.initOne(one, two); });
}

RefPtr<TimedAction> Sequence::actions(std::initializer_list<TimedAction*> list) {
    return chain<Sequence>(list);
}

bool Sequence::initOne(TimedAction* one, TimedAction* two) {
    ccAssert(one != nullptr, "Sequence: argument one must be non-nil");
    ccAssert(two != nullptr, "Sequence: argument two must be non-nil");
    if (!initWithDuration(one->duration() + two->duration())) return false;
    actions_ = {RefPtr<TimedAction>(one), RefPtr<TimedAction>(two)};
    return true;
}

void Sequence::start() {
    IntervalAction::start();
    actions_[0]->setTarget(target());
    actions_[1]->setTarget(target());
    // Two members of no length: both run, in order, at the first update.
    split_ = duration() > 0.0f ? actions_[0]->duration() / duration() : 0.0f;
    last_ = -1;
}

void Sequence::update(float t) {
    int32_t found;
    float local;
    if (t >= split_) {
        found = 1;
        local = split_ == 1.0f ? 1.0f : (t - split_) / (1.0f - split_);
    } else {
        found = 0;
        local = split_ != 0.0f ? t / split_ : 1.0f;
    }
    // The first update already lies past the split: complete the first member.
    if (last_ == -1 && found == 1) {
        actions_[0]->start();
        actions_[0]->update(1.0f);
        actions_[0]->stop();
    }
    if (found != last_) {
        if (last_ != -1) {
            actions_[last_]->update(1.0f);
            actions_[last_]->stop();
        }
        actions_[found]->start();
    }
    actions_[found]->update(local);
    last_ = found;
}

void Sequence::prefetchMembers(int depth) const {
    const TimedAction* member = actions_[last_ == 1 ? 1 : 0].get();
    if (!member) return;
    if (depth == 0)
        prefetchAction(member);
    else
        member->prefetchMembers(depth - 1);
}

RefPtr<TimedAction> Sequence::reverse() {
    return actionOne(actions_[1]->reverse(), actions_[0]->reverse());
}

RefPtr<Action> Sequence::copy() const {
    return actionOne(copyOf(actions_[0].get()), copyOf(actions_[1].get()));
}

// ---- Repeat

RefPtr<Repeat> Repeat::actionWithAction(TimedAction* action, uint32_t times) {
    return construct<Repeat>([&](Repeat& r) { return r.initWithAction(action, times); });
}

bool Repeat::initWithAction(TimedAction* action, uint32_t times) {
    float d = action ? action->duration() : 0.0f;
    if (!initWithDuration(d * static_cast<float>(times))) return false;
    other_ = action;
    times_ = times;
    total_ = 0;
    return true;
}

void Repeat::start() {
    total_ = 0;
    IntervalAction::start();
    if (!other_) return;
    other_->setTarget(target());
    other_->start();
}

void Repeat::update(float t) {
    if (!other_) return;
    float x = static_cast<float>(times_) * t;
    float r = std::fmod(x, 1.0f);
    if (x > static_cast<float>(total_ + 1)) {
        other_->update(1.0f);
        ++total_;
        other_->stop();
        other_->start();
        other_->update(0.0f);
        return;
    }
    if (t == 1.0f) {
        r = 1.0f;
        // Set, not counted up: a second update with 1 must not overshoot, or
        // the repeat would never be done.
        total_ = static_cast<int32_t>(times_);
    } else if (x == static_cast<float>(total_ + 1)) {
        // Exactly at the end of a run the remainder is 0, which would throw
        // the member back to its start for a frame; it is at its end.
        r = 1.0f;
    }
    other_->update(std::min(r, 1.0f));
}

bool Repeat::isDone() const {
    return total_ == static_cast<int32_t>(times_);
}

RefPtr<TimedAction> Repeat::reverse() {
    return actionWithAction(reverseOf(other_), times_);
}

RefPtr<Action> Repeat::copy() const {
    return actionWithAction(copyOf(other_.get()), times_);
}

// ---- Spawn

RefPtr<Spawn> Spawn::actionOne(TimedAction* one, TimedAction* two) {
    return construct<Spawn>([&](Spawn& s) { return s.initOne(one, two); });
}

RefPtr<TimedAction> Spawn::actions(std::initializer_list<TimedAction*> list) {
    return chain<Spawn>(list);
}

bool Spawn::initOne(TimedAction* one, TimedAction* two) {
    ccAssert(one != nullptr, "Spawn: argument one must be non-nil");
    ccAssert(two != nullptr, "Spawn: argument two must be non-nil");
    float d1 = one->duration();
    float d2 = two->duration();
    if (!initWithDuration(std::max(d1, d2))) return false;
    one_ = one;
    two_ = two;
    if (d1 > d2)
        two_ = RefPtr<TimedAction>(Sequence::actionOne(two, DelayTime::actionWithDuration(d1 - d2)));
    else if (d1 < d2)
        one_ = RefPtr<TimedAction>(Sequence::actionOne(one, DelayTime::actionWithDuration(d2 - d1)));
    return true;
}

void Spawn::start() {
    IntervalAction::start();
    CocosNode* node = target();
    if (!node) return;
    node->runAction(one_);
    node->runAction(two_);
}

bool Spawn::isDone() const {
    return one_->isDone() && two_->isDone();
}

RefPtr<TimedAction> Spawn::reverse() {
    return actionOne(one_->reverse(), two_->reverse());
}

RefPtr<Action> Spawn::copy() const {
    return actionOne(copyOf(one_.get()), copyOf(two_.get()));
}

// ---- DelayTime

RefPtr<DelayTime> DelayTime::actionWithDuration(float duration) {
    return construct<DelayTime>([&](DelayTime& a) { return a.initWithDuration(duration); });
}

RefPtr<TimedAction> DelayTime::reverse() {
    return actionWithDuration(duration());
}

RefPtr<Action> DelayTime::copy() const {
    return actionWithDuration(duration());
}

// ---- ReverseTime

RefPtr<ReverseTime> ReverseTime::actionWithAction(TimedAction* action) {
    return construct<ReverseTime>([&](ReverseTime& r) { return r.initWithAction(action); });
}

bool ReverseTime::initWithAction(TimedAction* action) {
    if (!initWithDuration(action ? action->duration() : 0.0f)) return false;
    other_ = action;
    return true;
}

void ReverseTime::start() {
    IntervalAction::start();
    if (!other_) return;
    other_->setTarget(target());
    other_->start();
}

void ReverseTime::stop() {
    if (other_) other_->stop();
    IntervalAction::stop();
}

void ReverseTime::update(float t) {
    if (other_) other_->update(1.0f - t);
}

RefPtr<TimedAction> ReverseTime::reverse() {
    return copyOf(other_.get());
}

RefPtr<Action> ReverseTime::copy() const {
    return actionWithAction(copyOf(other_.get()));
}

// ---- RotateTo, RotateBy

RefPtr<RotateTo> RotateTo::actionWithDuration(float duration, float angle) {
    return construct<RotateTo>([&](RotateTo& a) { return a.initWithDuration(duration, angle); });
}

bool RotateTo::initWithDuration(float duration, float angle) {
    if (!IntervalAction::initWithDuration(duration)) return false;
    angle_ = angle;
    return true;
}

void RotateTo::start() {
    IntervalAction::start();
    CocosNode* node = target();
    startAngle_ = node ? node->rotation() : 0.0f;
    // One correction each way at most: the current rotation is not reduced first.
    turn_ = angle_ - startAngle_;
    if (turn_ > 180) turn_ -= 360;
    if (turn_ < -180) turn_ += 360;
}

void RotateTo::update(float t) {
    if (CocosNode* node = target()) node->setRotation(startAngle_ + turn_ * t);
}

RefPtr<Action> RotateTo::copy() const {
    return actionWithDuration(duration(), angle_);
}

RefPtr<RotateBy> RotateBy::actionWithDuration(float duration, float angle) {
    return construct<RotateBy>([&](RotateBy& a) { return a.initWithDuration(duration, angle); });
}

bool RotateBy::initWithDuration(float duration, float angle) {
    if (!IntervalAction::initWithDuration(duration)) return false;
    angle_ = angle;
    return true;
}

void RotateBy::start() {
    IntervalAction::start();
    CocosNode* node = target();
    startAngle_ = node ? node->rotation() : 0.0f;
}

void RotateBy::update(float t) {
    if (CocosNode* node = target()) node->setRotation(startAngle_ + angle_ * t);
}

RefPtr<TimedAction> RotateBy::reverse() {
    return actionWithDuration(duration(), -angle_);
}

RefPtr<Action> RotateBy::copy() const {
    return actionWithDuration(duration(), angle_);
}

// ---- MoveTo, MoveBy

RefPtr<MoveTo> MoveTo::actionWithDuration(float duration, cpVect position) {
    return construct<MoveTo>([&](MoveTo& a) { return a.initWithDuration(duration, position); });
}

bool MoveTo::initWithDuration(float duration, cpVect position) {
    if (!IntervalAction::initWithDuration(duration)) return false;
    endPosition_ = position;
    return true;
}

void MoveTo::start() {
    IntervalAction::start();
    CocosNode* node = target();
    startPosition_ = node ? node->position() : cpvzero;
    delta_ = cpvsub(endPosition_, startPosition_);
}

void MoveTo::update(float t) {
    if (CocosNode* node = target())
        node->setPosition(cpv(startPosition_.x + delta_.x * t, startPosition_.y + delta_.y * t));
}

RefPtr<Action> MoveTo::copy() const {
    return actionWithDuration(duration(), endPosition_);
}

RefPtr<MoveBy> MoveBy::actionWithDuration(float duration, cpVect offset) {
    return construct<MoveBy>([&](MoveBy& a) { return a.initWithDuration(duration, offset); });
}

bool MoveBy::initWithDuration(float duration, cpVect offset) {
    if (!MoveTo::initWithDuration(duration, offset)) return false;
    delta_ = offset;
    return true;
}

void MoveBy::start() {
    // The offset stays as given; only the starting point is recorded.
    IntervalAction::start();
    CocosNode* node = target();
    startPosition_ = node ? node->position() : cpvzero;
}

RefPtr<TimedAction> MoveBy::reverse() {
    return actionWithDuration(duration(), cpv(-delta_.x, -delta_.y));
}

RefPtr<Action> MoveBy::copy() const {
    return actionWithDuration(duration(), delta_);
}

// ---- JumpBy, JumpTo

RefPtr<JumpBy> JumpBy::actionWithDuration(float duration, cpVect position, float height, int32_t jumps) {
    return construct<JumpBy>(
        [&](JumpBy& a) { return a.initWithDuration(duration, position, height, jumps); });
}

bool JumpBy::initWithDuration(float duration, cpVect position, float height, int32_t jumps) {
    if (!IntervalAction::initWithDuration(duration)) return false;
    position_ = position;
    delta_ = position;
    height_ = height;
    jumps_ = jumps;
    return true;
}

void JumpBy::start() {
    IntervalAction::start();
    CocosNode* node = target();
    startPosition_ = node ? node->position() : cpvzero;
    delta_ = position_;
}

void JumpBy::update(float t) {
    CocosNode* node = target();
    if (!node) return;
    float hop = height_ * std::fabs(std::sin(t * kPi * static_cast<float>(jumps_)));
    node->setPosition(cpv(startPosition_.x + delta_.x * t, startPosition_.y + delta_.y * t + hop));
}

RefPtr<TimedAction> JumpBy::reverse() {
    return actionWithDuration(duration(), cpv(-position_.x, -position_.y), height_, jumps_);
}

RefPtr<Action> JumpBy::copy() const {
    return actionWithDuration(duration(), position_, height_, jumps_);
}

RefPtr<JumpTo> JumpTo::actionWithDuration(float duration, cpVect position, float height, int32_t jumps) {
    return construct<JumpTo>(
        [&](JumpTo& a) { return a.initWithDuration(duration, position, height, jumps); });
}

void JumpTo::start() {
    JumpBy::start();
    // The offset of this run; the destination stays as given, so a second
    // run jumps to the same place again.
    delta_ = cpvsub(position_, startPosition_);
}

RefPtr<TimedAction> JumpTo::reverse() {
    return IntervalAction::reverse();
}

RefPtr<Action> JumpTo::copy() const {
    return actionWithDuration(duration(), position_, height_, jumps_);
}

// ---- ScaleTo, ScaleBy

RefPtr<ScaleTo> ScaleTo::actionWithDuration(float duration, float scale) {
    return construct<ScaleTo>([&](ScaleTo& a) { return a.initWithDuration(duration, scale); });
}

RefPtr<ScaleTo> ScaleTo::actionWithDuration(float duration, float scaleX, float scaleY) {
    return construct<ScaleTo>([&](ScaleTo& a) { return a.initWithDuration(duration, scaleX, scaleY); });
}

bool ScaleTo::initWithDuration(float duration, float scale) {
    return initWithDuration(duration, scale, scale);
}

bool ScaleTo::initWithDuration(float duration, float scaleX, float scaleY) {
    if (!IntervalAction::initWithDuration(duration)) return false;
    endScaleX_ = scaleX;
    endScaleY_ = scaleY;
    return true;
}

void ScaleTo::start() {
    IntervalAction::start();
    CocosNode* node = target();
    startScaleX_ = node ? node->scaleX() : 1.0f;
    startScaleY_ = node ? node->scaleY() : 1.0f;
    deltaX_ = endScaleX_ - startScaleX_;
    deltaY_ = endScaleY_ - startScaleY_;
}

void ScaleTo::update(float t) {
    CocosNode* node = target();
    if (!node) return;
    node->setScaleX(startScaleX_ + deltaX_ * t);
    node->setScaleY(startScaleY_ + deltaY_ * t);
}

RefPtr<Action> ScaleTo::copy() const {
    return actionWithDuration(duration(), endScaleX_, endScaleY_);
}

RefPtr<ScaleBy> ScaleBy::actionWithDuration(float duration, float scale) {
    return construct<ScaleBy>([&](ScaleBy& a) { return a.initWithDuration(duration, scale); });
}

RefPtr<ScaleBy> ScaleBy::actionWithDuration(float duration, float scaleX, float scaleY) {
    return construct<ScaleBy>([&](ScaleBy& a) { return a.initWithDuration(duration, scaleX, scaleY); });
}

void ScaleBy::start() {
    ScaleTo::start();
    deltaX_ = startScaleX_ * endScaleX_ - startScaleX_;
    deltaY_ = startScaleY_ * endScaleY_ - startScaleY_;
}

RefPtr<TimedAction> ScaleBy::reverse() {
    return actionWithDuration(duration(), 1 / endScaleX_, 1 / endScaleY_);
}

RefPtr<Action> ScaleBy::copy() const {
    return actionWithDuration(duration(), endScaleX_, endScaleY_);
}

// ---- Blink

RefPtr<Blink> Blink::actionWithDuration(float duration, int32_t blinks) {
    return construct<Blink>([&](Blink& a) { return a.initWithDuration(duration, blinks); });
}

bool Blink::initWithDuration(float duration, int32_t blinks) {
    if (!IntervalAction::initWithDuration(duration)) return false;
    times_ = blinks;
    return true;
}

void Blink::update(float t) {
    CocosNode* node = target();
    if (!node) return;
    // No blinks: an infinite slice, and the node stays hidden.
    float slice = 1.0f / static_cast<float>(times_);
    float m = std::fmod(t, slice);
    node->setVisible(m > slice / 2);
}

RefPtr<TimedAction> Blink::reverse() {
    return actionWithDuration(duration(), times_);
}

RefPtr<Action> Blink::copy() const {
    return actionWithDuration(duration(), times_);
}

// ---- fades

RefPtr<FadeIn> FadeIn::actionWithDuration(float duration) {
    return construct<FadeIn>([&](FadeIn& a) { return a.initWithDuration(duration); });
}

void FadeIn::start() {
    IntervalAction::start();
    checkOpacity(target(), "FadeIn");
}

void FadeIn::update(float t) {
    if (CocosNodeOpacity* o = opacityOf(target())) o->setOpacity(opacityFromValue(255 * t));
}

RefPtr<TimedAction> FadeIn::reverse() {
    return FadeOut::actionWithDuration(duration());
}

RefPtr<Action> FadeIn::copy() const {
    return actionWithDuration(duration());
}

RefPtr<FadeOut> FadeOut::actionWithDuration(float duration) {
    return construct<FadeOut>([&](FadeOut& a) { return a.initWithDuration(duration); });
}

void FadeOut::start() {
    IntervalAction::start();
    checkOpacity(target(), "FadeOut");
}

void FadeOut::update(float t) {
    if (CocosNodeOpacity* o = opacityOf(target())) o->setOpacity(opacityFromValue(255 * (1 - t)));
}

RefPtr<TimedAction> FadeOut::reverse() {
    return FadeIn::actionWithDuration(duration());
}

RefPtr<Action> FadeOut::copy() const {
    return actionWithDuration(duration());
}

RefPtr<FadeTo> FadeTo::actionWithDuration(float duration, uint8_t opacity) {
    return construct<FadeTo>([&](FadeTo& a) { return a.initWithDuration(duration, opacity); });
}

bool FadeTo::initWithDuration(float duration, uint8_t opacity) {
    if (!IntervalAction::initWithDuration(duration)) return false;
    toOpacity_ = opacity;
    return true;
}

void FadeTo::start() {
    IntervalAction::start();
    checkOpacity(target(), "FadeTo");
    CocosNodeOpacity* o = opacityOf(target());
    fromOpacity_ = o ? o->opacity() : 0;
}

void FadeTo::update(float t) {
    CocosNodeOpacity* o = opacityOf(target());
    if (!o) return;
    int32_t difference = static_cast<int32_t>(toOpacity_) - static_cast<int32_t>(fromOpacity_);
    o->setOpacity(opacityFromValue(static_cast<float>(fromOpacity_) + static_cast<float>(difference) * t));
}

RefPtr<Action> FadeTo::copy() const {
    return actionWithDuration(duration(), toOpacity_);
}

// ---- Animate

RefPtr<Animate> Animate::actionWithAnimation(Animation* animation) {
    return actionWithAnimation(animation, true);
}

RefPtr<Animate> Animate::actionWithAnimation(Animation* animation, bool restoreOriginalFrame) {
    return construct<Animate>(
        [&](Animate& a) { return a.initWithAnimation(animation, restoreOriginalFrame); });
}

bool Animate::initWithAnimation(Animation* animation) {
    return initWithAnimation(animation, true);
}

bool Animate::initWithAnimation(Animation* animation, bool restoreOriginalFrame) {
    ccAssert(animation != nullptr, "Animate: argument Animation must be non-nil");
    if (!initWithDuration(static_cast<float>(animation->frames().size()) * animation->delay())) return false;
    animation_ = animation;
    restoreOriginalFrame_ = restoreOriginalFrame;
    origFrame_ = nullptr;
    return true;
}

void Animate::start() {
    IntervalAction::start();
    auto* node = dynamic_cast<TextureNode*>(target());
    origFrame_ = node ? node->texture() : nullptr;
}

void Animate::stop() {
    if (restoreOriginalFrame_)
        if (auto* node = dynamic_cast<TextureNode*>(target())) node->setTexture(origFrame_);
    IntervalAction::stop();
}

void Animate::update(float t) {
    auto* node = dynamic_cast<TextureNode*>(target());
    const auto& frames = animation_->frames();
    if (!node || frames.empty()) return; // nothing to show on, or nothing to show
    auto n = static_cast<uint32_t>(frames.size());
    float slice = 1.0f / static_cast<float>(n);
    // t stays within 0..1; the guard keeps a stray value from becoming an undefined conversion.
    uint32_t index = t > 0 ? static_cast<uint32_t>(std::min(t / slice, static_cast<float>(n))) : 0;
    if (index >= n) index = n - 1;
    if (node->texture() != frames[index].get()) node->setTexture(frames[index]);
}

RefPtr<Action> Animate::copy() const {
    return actionWithAnimation(animation_, restoreOriginalFrame_);
}
