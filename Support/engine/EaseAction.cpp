#include "engine/EaseAction.h"

#include "engine/Errors.h"

#include <cmath>

// All curves in single precision, with the single-precision library functions.
namespace {
constexpr float kPi = 3.1415927f;
constexpr float kHalfPi = 1.5707964f;

void startInner(TimedAction* inner, CocosNode* target) {
    if (!inner) return;
    inner->setTarget(target);
    inner->start();
}

void updateInner(TimedAction* inner, float t) {
    if (inner) inner->update(t);
}

template <class T> RefPtr<T> easeAround(TimedAction* inner) {
    return construct<T>([&](T& e) { return e.initWithAction(inner); });
}

template <class T> RefPtr<T> easeAround(TimedAction* inner, float rate) {
    return construct<T>([&](T& e) { return e.initWithAction(inner, rate); });
}
} // namespace

// ---- EaseAction

RefPtr<EaseAction> EaseAction::actionWithAction(TimedAction* action) {
    return easeAround<EaseAction>(action);
}

bool EaseAction::initWithAction(TimedAction* action) {
    ccAssert(action != nullptr, "Ease: arguments must be non-nil");
    if (!initWithDuration(action->duration())) return false;
    other_ = action;
    return true;
}

void EaseAction::start() {
    IntervalAction::start();
    startInner(other_, target());
}

void EaseAction::update(float t) {
    updateInner(other_, t);
}

RefPtr<TimedAction> EaseAction::reverse() {
    return wrap(reverseOf(other_));
}

RefPtr<Action> EaseAction::copy() const {
    return wrap(copyOf(other_.get()));
}

RefPtr<EaseAction> EaseAction::wrap(TimedAction* inner) const {
    return easeAround<EaseAction>(inner);
}

// ---- EaseRateAction

RefPtr<EaseRateAction> EaseRateAction::actionWithAction(TimedAction* action, float rate) {
    return easeAround<EaseRateAction>(action, rate);
}

bool EaseRateAction::initWithAction(TimedAction* action, float rate) {
    if (!EaseAction::initWithAction(action)) return false;
    setRate(rate);
    return true;
}

RefPtr<TimedAction> EaseRateAction::reverse() {
    RefPtr<EaseAction> reversed = wrap(reverseOf(other_));
    static_cast<EaseRateAction*>(reversed.get())->setRate(1 / rate_);
    return reversed;
}

RefPtr<EaseAction> EaseRateAction::wrap(TimedAction* inner) const {
    return easeAround<EaseRateAction>(inner, rate_);
}

// ---- EaseIn, EaseOut, EaseInOut

RefPtr<EaseIn> EaseIn::actionWithAction(TimedAction* action, float rate) {
    return easeAround<EaseIn>(action, rate);
}

void EaseIn::update(float t) {
    updateInner(other_, std::pow(t, rate_));
}

RefPtr<EaseAction> EaseIn::wrap(TimedAction* inner) const {
    return easeAround<EaseIn>(inner, rate_);
}

RefPtr<EaseOut> EaseOut::actionWithAction(TimedAction* action, float rate) {
    return easeAround<EaseOut>(action, rate);
}

void EaseOut::update(float t) {
    updateInner(other_, std::pow(t, 1 / rate_));
}

RefPtr<EaseAction> EaseOut::wrap(TimedAction* inner) const {
    return easeAround<EaseOut>(inner, rate_);
}

RefPtr<EaseInOut> EaseInOut::actionWithAction(TimedAction* action, float rate) {
    return easeAround<EaseInOut>(action, rate);
}

void EaseInOut::update(float t) {
    float u = t * 2;
    float f;
    if (u < 1) {
        f = 0.5f * std::pow(u, rate_);
    } else if (std::trunc(rate_) == rate_) {
        // The second half's form depends on the rate's parity: for an even
        // rate (u - 2)^rate is positive, for an odd one negative.
        float sign = std::fmod(rate_, 2.0f) != 0 ? 1.0f : -1.0f;
        f = (sign * 0.5f) * (std::pow(u - 2, rate_) + 2 * sign);
    } else {
        // A fractional power of the negative u - 2 has no value; use the
        // mirror image of the first half, which the integer forms equal.
        f = 1 - 0.5f * std::pow(2 - u, rate_);
    }
    updateInner(other_, f);
}

RefPtr<TimedAction> EaseInOut::reverse() {
    return wrap(reverseOf(other_));
}

RefPtr<EaseAction> EaseInOut::wrap(TimedAction* inner) const {
    return easeAround<EaseInOut>(inner, rate_);
}

// ---- exponential

RefPtr<EaseExponentialIn> EaseExponentialIn::actionWithAction(TimedAction* action) {
    return easeAround<EaseExponentialIn>(action);
}

void EaseExponentialIn::update(float t) {
    updateInner(other_, t == 0 ? 0.0f : std::pow(2.0f, 10 * (t - 1)) - 0.001f);
}

RefPtr<TimedAction> EaseExponentialIn::reverse() {
    return EaseExponentialOut::actionWithAction(reverseOf(other_));
}

RefPtr<EaseAction> EaseExponentialIn::wrap(TimedAction* inner) const {
    return easeAround<EaseExponentialIn>(inner);
}

RefPtr<EaseExponentialOut> EaseExponentialOut::actionWithAction(TimedAction* action) {
    return easeAround<EaseExponentialOut>(action);
}

void EaseExponentialOut::update(float t) {
    updateInner(other_, t == 1 ? 1.0f : 1 - std::pow(2.0f, -10 * t));
}

RefPtr<TimedAction> EaseExponentialOut::reverse() {
    return EaseExponentialIn::actionWithAction(reverseOf(other_));
}

RefPtr<EaseAction> EaseExponentialOut::wrap(TimedAction* inner) const {
    return easeAround<EaseExponentialOut>(inner);
}

RefPtr<EaseExponentialInOut> EaseExponentialInOut::actionWithAction(TimedAction* action) {
    return easeAround<EaseExponentialInOut>(action);
}

void EaseExponentialInOut::update(float t) {
    float u = t * 2;
    float f;
    if (u < 1)
        f = 0.5f * std::pow(2.0f, 10 * (u - 1));
    else
        f = 0.5f * (2 - std::pow(2.0f, -10 * (u - 1)));
    updateInner(other_, f);
}

RefPtr<EaseAction> EaseExponentialInOut::wrap(TimedAction* inner) const {
    return easeAround<EaseExponentialInOut>(inner);
}

// ---- sine

RefPtr<EaseSineIn> EaseSineIn::actionWithAction(TimedAction* action) {
    return easeAround<EaseSineIn>(action);
}

void EaseSineIn::update(float t) {
    updateInner(other_, 1 - std::cos(t * kHalfPi));
}

RefPtr<TimedAction> EaseSineIn::reverse() {
    return EaseSineOut::actionWithAction(reverseOf(other_));
}

RefPtr<EaseAction> EaseSineIn::wrap(TimedAction* inner) const {
    return easeAround<EaseSineIn>(inner);
}

RefPtr<EaseSineOut> EaseSineOut::actionWithAction(TimedAction* action) {
    return easeAround<EaseSineOut>(action);
}

void EaseSineOut::update(float t) {
    updateInner(other_, std::sin(t * kHalfPi));
}

RefPtr<TimedAction> EaseSineOut::reverse() {
    return EaseSineIn::actionWithAction(reverseOf(other_));
}

RefPtr<EaseAction> EaseSineOut::wrap(TimedAction* inner) const {
    return easeAround<EaseSineOut>(inner);
}

RefPtr<EaseSineInOut> EaseSineInOut::actionWithAction(TimedAction* action) {
    return easeAround<EaseSineInOut>(action);
}

void EaseSineInOut::update(float t) {
    updateInner(other_, -0.5f * (std::cos(kPi * t) - 1));
}

RefPtr<EaseAction> EaseSineInOut::wrap(TimedAction* inner) const {
    return easeAround<EaseSineInOut>(inner);
}

// ---- Accelerate

RefPtr<Accelerate> Accelerate::actionWithAction(TimedAction* action, float rate) {
    return easeAround<Accelerate>(action, rate);
}

bool Accelerate::initWithAction(TimedAction* action, float rate) {
    ccAssert(action != nullptr, "Accelerate: argument action must be non-nil");
    if (!initWithDuration(action->duration())) return false;
    other_ = action;
    rate_ = rate;
    return true;
}

void Accelerate::start() {
    IntervalAction::start();
    startInner(other_, target());
}

void Accelerate::update(float t) {
    updateInner(other_, std::pow(t, rate_));
}

RefPtr<TimedAction> Accelerate::reverse() {
    return actionWithAction(reverseOf(other_), 1 / rate_);
}

RefPtr<Action> Accelerate::copy() const {
    return actionWithAction(copyOf(other_.get()), rate_);
}

// ---- AccelDeccel

RefPtr<AccelDeccel> AccelDeccel::actionWithAction(TimedAction* action) {
    return easeAround<AccelDeccel>(action);
}

bool AccelDeccel::initWithAction(TimedAction* action) {
    ccAssert(action != nullptr, "AccelDeccel: argument action must be non-nil");
    if (!initWithDuration(action->duration())) return false;
    other_ = action;
    return true;
}

void AccelDeccel::start() {
    IntervalAction::start();
    startInner(other_, target());
}

void AccelDeccel::update(float t) {
    updateInner(other_, 1 / (1 + std::exp(-(t - 0.5f) * 12)));
}

RefPtr<TimedAction> AccelDeccel::reverse() {
    return actionWithAction(reverseOf(other_));
}

RefPtr<Action> AccelDeccel::copy() const {
    return actionWithAction(copyOf(other_.get()));
}

// ---- Speed

RefPtr<Speed> Speed::actionWithAction(TimedAction* action, float speed) {
    return construct<Speed>([&](Speed& s) { return s.initWithAction(action, speed); });
}

bool Speed::initWithAction(TimedAction* action, float speed) {
    ccAssert(action != nullptr, "Speed: argument action must be non-nil");
    // Speed 0 makes the duration infinite: the wrapper holds its inner
    // action at the start and never ends. An inner action of no length
    // stays of no length at any speed (0 / 0 would be no number at all).
    float d = action->duration() / speed;
    if (std::isnan(d)) d = 0;
    if (!initWithDuration(d)) return false;
    other_ = action;
    speed_ = speed;
    return true;
}

void Speed::start() {
    IntervalAction::start();
    startInner(other_, target());
}

void Speed::update(float t) {
    updateInner(other_, t);
}

RefPtr<TimedAction> Speed::reverse() {
    return actionWithAction(reverseOf(other_), speed_);
}

RefPtr<Action> Speed::copy() const {
    return actionWithAction(copyOf(other_.get()), speed_);
}
