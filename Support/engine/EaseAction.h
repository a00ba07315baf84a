#pragma once
// Wrappers that change how the time of an inner action passes: each starts
// the inner action and hands it a reshaped fraction f(t) of its own time.
// They never send the inner action step or stop; their own clock decides
// when they are done.

#include "engine/IntervalAction.h"

// The plain wrapper (f(t) = t) and the base of the easing curves.
class EaseAction : public IntervalAction {
  public:
    static RefPtr<EaseAction> actionWithAction(TimedAction* action);
    virtual bool initWithAction(TimedAction* action);

    void start() override;
    void update(float t) override;
    // The same class around the inner action's reverse.
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;

    TimedAction* other() const { return other_.get(); }

  protected:
    // A new wrapper of this class (with this rate, where there is one) around `inner`.
    virtual RefPtr<EaseAction> wrap(TimedAction* inner) const;

    RefPtr<TimedAction> other_;
};

// A curve with a parameter.
class EaseRateAction : public EaseAction {
  public:
    static RefPtr<EaseRateAction> actionWithAction(TimedAction* action, float rate);
    bool initWithAction(TimedAction* action, float rate);
    using EaseAction::initWithAction;

    float rate() const { return rate_; }
    void setRate(float r) { rate_ = r; }

    // The same class around the inner action's reverse, rate 1 / rate.
    RefPtr<TimedAction> reverse() override;

  protected:
    RefPtr<EaseAction> wrap(TimedAction* inner) const override;

    float rate_ = 0;
};

// f(t) = t^rate
class EaseIn : public EaseRateAction {
  public:
    static RefPtr<EaseIn> actionWithAction(TimedAction* action, float rate);
    void update(float t) override;

  protected:
    RefPtr<EaseAction> wrap(TimedAction* inner) const override;
};

// f(t) = t^(1/rate)
class EaseOut : public EaseRateAction {
  public:
    static RefPtr<EaseOut> actionWithAction(TimedAction* action, float rate);
    void update(float t) override;

  protected:
    RefPtr<EaseAction> wrap(TimedAction* inner) const override;
};

// t^rate over the first half, its mirror image over the second.
class EaseInOut : public EaseRateAction {
  public:
    static RefPtr<EaseInOut> actionWithAction(TimedAction* action, float rate);
    void update(float t) override;
    // Keeps the rate.
    RefPtr<TimedAction> reverse() override;

  protected:
    RefPtr<EaseAction> wrap(TimedAction* inner) const override;
};

class EaseExponentialIn : public EaseAction {
  public:
    static RefPtr<EaseExponentialIn> actionWithAction(TimedAction* action);
    // Ends at 0.999, not 1.
    void update(float t) override;
    RefPtr<TimedAction> reverse() override;

  protected:
    RefPtr<EaseAction> wrap(TimedAction* inner) const override;
};

class EaseExponentialOut : public EaseAction {
  public:
    static RefPtr<EaseExponentialOut> actionWithAction(TimedAction* action);
    void update(float t) override;
    RefPtr<TimedAction> reverse() override;

  protected:
    RefPtr<EaseAction> wrap(TimedAction* inner) const override;
};

// Never reaches exactly 0 or 1.
class EaseExponentialInOut : public EaseAction {
  public:
    static RefPtr<EaseExponentialInOut> actionWithAction(TimedAction* action);
    void update(float t) override;

  protected:
    RefPtr<EaseAction> wrap(TimedAction* inner) const override;
};

class EaseSineIn : public EaseAction {
  public:
    static RefPtr<EaseSineIn> actionWithAction(TimedAction* action);
    void update(float t) override;
    RefPtr<TimedAction> reverse() override;

  protected:
    RefPtr<EaseAction> wrap(TimedAction* inner) const override;
};

class EaseSineOut : public EaseAction {
  public:
    static RefPtr<EaseSineOut> actionWithAction(TimedAction* action);
    void update(float t) override;
    RefPtr<TimedAction> reverse() override;

  protected:
    RefPtr<EaseAction> wrap(TimedAction* inner) const override;
};

class EaseSineInOut : public EaseAction {
  public:
    static RefPtr<EaseSineInOut> actionWithAction(TimedAction* action);
    void update(float t) override;

  protected:
    RefPtr<EaseAction> wrap(TimedAction* inner) const override;
};

// f(t) = t^rate.
class Accelerate : public IntervalAction {
  public:
    static RefPtr<Accelerate> actionWithAction(TimedAction* action, float rate);
    bool initWithAction(TimedAction* action, float rate);

    float rate() const { return rate_; }
    void setRate(float r) { rate_ = r; }

    void start() override;
    void update(float t) override;
    // Rate 1 / rate.
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;

    TimedAction* other() const { return other_.get(); }

  private:
    RefPtr<TimedAction> other_;
    float rate_ = 0;
};

// Slow, fast, slow: a logistic curve.
class AccelDeccel : public IntervalAction {
  public:
    static RefPtr<AccelDeccel> actionWithAction(TimedAction* action);
    bool initWithAction(TimedAction* action);

    void start() override;
    void update(float t) override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;

    TimedAction* other() const { return other_.get(); }

  private:
    RefPtr<TimedAction> other_;
};

// Plays the inner action `speed` times as fast. The pace comes only from
// the duration fixed at construction; setting the speed later changes only
// the copies made afterwards.
class Speed : public IntervalAction {
  public:
    static RefPtr<Speed> actionWithAction(TimedAction* action, float speed);
    bool initWithAction(TimedAction* action, float speed);

    float speed() const { return speed_; }
    void setSpeed(float s) { speed_ = s; }

    void start() override;
    void update(float t) override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;

    TimedAction* other() const { return other_.get(); }

  private:
    RefPtr<TimedAction> other_;
    float speed_ = 1;
};
