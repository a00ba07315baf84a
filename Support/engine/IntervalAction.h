#pragma once
// Actions that last a given time: the base that turns a node's frame times
// into a fraction of the duration, the composites (one after another, a
// number of times, two at once, a pause, played backwards), and the
// transform and fade actions that move, turn, scale, blink and fade a node.

#include "engine/Action.h"
#include "engine/cpVect.h"

#include <array>
#include <cstdint>
#include <initializer_list>

class IntervalAction : public TimedAction {
  public:
    static RefPtr<IntervalAction> actionWithDuration(float duration);
    // Always raises "IntervalActionInit": an interval action needs its duration.
    bool init() override;
    bool initWithDuration(float duration);

    float duration() const override { return duration_; }
    void setDuration(float d) { duration_ = d; }
    float elapsed() const { return elapsed_; }

    void start() override;
    // Adds `dt` and updates with the fraction of the duration reached,
    // capped at 1. An action of no length is complete at its first step
    // (t = 1), even one of zero seconds.
    void step(float dt) override;
    bool isDone() const override;
    RefPtr<Action> copy() const override;

    // The strength of an effect, for the amplitude wrappers (GridAction.h).
    // Only effects with an amplitude answer; here both raise
    // "IntervalAction (Amplitude)" / "Abstract class needs implementation".
    virtual void setAmplitudeRate(float rate);
    virtual float getAmplitudeRate();

  private:
    float duration_ = 0;
    float elapsed_ = 0;
};

// Two actions, one after the other.
class Sequence : public IntervalAction {
  public:
    static RefPtr<Sequence> actionOne(TimedAction* one, TimedAction* two);
    // Chains a list (ended by the first null, as a nil-terminated list is)
    // into left-nested sequences: ((a, b), c), d. Null for an empty list, the
    // action itself for a list of one.
    static RefPtr<TimedAction> actions(std::initializer_list<TimedAction*> list);
    bool initOne(TimedAction* one, TimedAction* two);

    // Gives both members our target; the first starts at the first update.
    void start() override;
    void update(float t) override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;
    // The member updated last (the first before any update).
    void prefetchMembers(int depth) const override;

    const std::array<RefPtr<TimedAction>, 2>& actions() const { return actions_; }
    float split() const { return split_; }

  private:
    std::array<RefPtr<TimedAction>, 2> actions_;
    float split_ = 0;
    int32_t last_ = -1;
};

// One action a number of times.
class Repeat : public IntervalAction {
  public:
    static RefPtr<Repeat> actionWithAction(TimedAction* action, uint32_t times);
    bool initWithAction(TimedAction* action, uint32_t times);

    void start() override;
    // Completes at most one run per update, even when a long step jumps
    // over several.
    void update(float t) override;
    bool isDone() const override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;

    TimedAction* other() const { return other_.get(); }
    uint32_t times() const { return times_; }
    int32_t total() const { return total_; }

  private:
    RefPtr<TimedAction> other_;
    uint32_t times_ = 0;
    int32_t total_ = 0;
};

// Two actions at once. The shorter is lengthened with a pause so that both
// last the same time. The members run on the target node as actions of
// their own, so they go on even if the spawn itself is stopped.
class Spawn : public IntervalAction {
  public:
    static RefPtr<Spawn> actionOne(TimedAction* one, TimedAction* two);
    // Like Sequence::actions: ((a, b), c), d.
    static RefPtr<TimedAction> actions(std::initializer_list<TimedAction*> list);
    bool initOne(TimedAction* one, TimedAction* two);

    // Runs both members on the target.
    void start() override;
    void update(float) override {}
    bool isDone() const override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;

    TimedAction* one() const { return one_.get(); }
    TimedAction* two() const { return two_.get(); }

  private:
    RefPtr<TimedAction> one_;
    RefPtr<TimedAction> two_;
};

// A pause.
class DelayTime : public IntervalAction {
  public:
    static RefPtr<DelayTime> actionWithDuration(float duration);
    void update(float) override {}
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;
};

// Plays another action backwards.
class ReverseTime : public IntervalAction {
  public:
    static RefPtr<ReverseTime> actionWithAction(TimedAction* action);
    bool initWithAction(TimedAction* action);

    void start() override;
    void stop() override;
    void update(float t) override;
    // A copy of the member.
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;

    TimedAction* other() const { return other_.get(); }

  private:
    RefPtr<TimedAction> other_;
};

// ---- transforms (angles in degrees, clockwise)

// Turns to an angle the shorter way round, from wherever the node stands.
class RotateTo : public IntervalAction {
  public:
    static RefPtr<RotateTo> actionWithDuration(float duration, float angle);
    bool initWithDuration(float duration, float angle);
    void start() override;
    void update(float t) override;
    RefPtr<Action> copy() const override;

  private:
    float angle_ = 0;
    float startAngle_ = 0;
    float turn_ = 0; // this run's turn; the target angle stays as given
};

class RotateBy : public IntervalAction {
  public:
    static RefPtr<RotateBy> actionWithDuration(float duration, float angle);
    bool initWithDuration(float duration, float angle);
    void start() override;
    void update(float t) override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;

  private:
    float angle_ = 0;
    float startAngle_ = 0;
};

class MoveTo : public IntervalAction {
  public:
    static RefPtr<MoveTo> actionWithDuration(float duration, cpVect position);
    virtual bool initWithDuration(float duration, cpVect position);
    void start() override;
    void update(float t) override;
    RefPtr<Action> copy() const override;

  protected:
    cpVect endPosition_;
    cpVect startPosition_;
    cpVect delta_;
};

// Moves by an offset from wherever the node stands.
class MoveBy : public MoveTo {
  public:
    static RefPtr<MoveBy> actionWithDuration(float duration, cpVect offset);
    bool initWithDuration(float duration, cpVect offset) override;
    void start() override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;
};

// Moves by an offset in `jumps` hops of `height` points.
class JumpBy : public IntervalAction {
  public:
    static RefPtr<JumpBy> actionWithDuration(float duration, cpVect position, float height, int32_t jumps);
    bool initWithDuration(float duration, cpVect position, float height, int32_t jumps);
    void start() override;
    void update(float t) override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;

  protected:
    cpVect position_; // as given: the offset, or JumpTo's destination
    cpVect startPosition_;
    cpVect delta_;
    float height_ = 0;
    int32_t jumps_ = 0;
};

// Hops to a destination. Like MoveTo it has no inverse.
class JumpTo : public JumpBy {
  public:
    static RefPtr<JumpTo> actionWithDuration(float duration, cpVect position, float height, int32_t jumps);
    void start() override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;
};

class ScaleTo : public IntervalAction {
  public:
    static RefPtr<ScaleTo> actionWithDuration(float duration, float scale);
    static RefPtr<ScaleTo> actionWithDuration(float duration, float scaleX, float scaleY);
    bool initWithDuration(float duration, float scale);
    bool initWithDuration(float duration, float scaleX, float scaleY);
    void start() override;
    // Writes the two axes separately, so different scales stay apart.
    void update(float t) override;
    RefPtr<Action> copy() const override;

  protected:
    float startScaleX_ = 1, startScaleY_ = 1;
    float endScaleX_ = 1, endScaleY_ = 1;
    float deltaX_ = 0, deltaY_ = 0;
};

// Multiplies each axis by its own factor.
class ScaleBy : public ScaleTo {
  public:
    static RefPtr<ScaleBy> actionWithDuration(float duration, float scale);
    static RefPtr<ScaleBy> actionWithDuration(float duration, float scaleX, float scaleY);
    void start() override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;
};

// Shows and hides the node `times` times.
class Blink : public IntervalAction {
  public:
    static RefPtr<Blink> actionWithDuration(float duration, int32_t blinks);
    bool initWithDuration(float duration, int32_t blinks);
    void update(float t) override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;

  private:
    int32_t times_ = 0;
};

// ---- fades (the target must have an opacity; CocosNodeOpacity)

class FadeIn : public IntervalAction {
  public:
    static RefPtr<FadeIn> actionWithDuration(float duration);
    void start() override;
    void update(float t) override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;
};

class FadeOut : public IntervalAction {
  public:
    static RefPtr<FadeOut> actionWithDuration(float duration);
    void start() override;
    void update(float t) override;
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;
};

class FadeTo : public IntervalAction {
  public:
    static RefPtr<FadeTo> actionWithDuration(float duration, uint8_t opacity);
    bool initWithDuration(float duration, uint8_t opacity);
    void start() override;
    void update(float t) override;
    RefPtr<Action> copy() const override;

  private:
    uint8_t toOpacity_ = 0;
    uint8_t fromOpacity_ = 0;
};

// ---- frame animation

class Animation;
class Texture2D;

// Shows the frames of an animation on a textured node (a sprite, a label),
// each for an equal share of the duration (frames × delay). The frame list
// is read at every update, so frames added later count.
class Animate : public IntervalAction {
  public:
    static RefPtr<Animate> actionWithAnimation(Animation* animation);
    static RefPtr<Animate> actionWithAnimation(Animation* animation, bool restoreOriginalFrame);
    bool initWithAnimation(Animation* animation);
    bool initWithAnimation(Animation* animation, bool restoreOriginalFrame);

    // Records the texture the target shows now.
    void start() override;
    // Puts the recorded texture back, when asked to.
    void stop() override;
    void update(float t) override;
    RefPtr<Action> copy() const override;

    Animation* animation() const { return animation_.get(); }
    bool restoreOriginalFrame() const { return restoreOriginalFrame_; }
    Texture2D* origFrame() const { return origFrame_.get(); }

  private:
    RefPtr<Animation> animation_;
    bool restoreOriginalFrame_ = true;
    RefPtr<Texture2D> origFrame_;
};
