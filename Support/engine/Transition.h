#pragma once
// Transitions: scenes that stand in for the running scene while the screen
// changes to the next one. A transition holds both scenes as children,
// animates them with ordinary actions and, when done, hands the incoming
// scene to the director. Touches are off from the moment a transition is
// built until it hands over.
//
// The game picks transitions by class name, so every class here is also
// registered in a table from name to factory; classes defined elsewhere
// (the game's own) register themselves there too.

#include "engine/Scene.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class IntervalAction;

// The fade's colour layer.
constexpr int32_t kSceneFade = static_cast<int32_t>(0xFADEFADEu);

// Which way an oriented transition turns.
enum : int32_t {
    OrientationLeftOver = 0,
    OrientationRightOver = 1,
    OrientationUpOver = 0,
    OrientationDownOver = 1,
};

class TransitionScene;
using TransitionFactory = std::function<RefPtr<TransitionScene>(float duration, Scene* scene)>;

class TransitionScene : public Scene {
  public:
    static RefPtr<TransitionScene> transitionWithDuration(float duration, Scene* scene);
    // Takes the director's running scene as the outgoing one and switches
    // touches off. Raises "TransitionWithInvalidScene" when `scene` is the
    // running scene and fails "Argument must be non-nil" when none runs,
    // both before anything changes. A duration that is negative or not a
    // finite number is taken as 0 (logged).
    virtual bool initWithDuration(float duration, Scene* scene);

    // Incoming scene above the outgoing one.
    virtual void addScenes();
    void hideOutShowIn();
    // Resets both scenes and schedules the hand-over for the next tick, so
    // that it happens outside the action step that called finish.
    void finish();
    // The one-shot hand-over: the director replaces us by the incoming
    // scene, touches come back on, and both scenes leave us.
    void step(float dt);

    // Touches off while we run (again, should we come back from the scene stack).
    void onEnter() override;
    // Leaving before the hand-over drops the choreography and rests the scenes.
    void onExit() override;

    float duration() const { return duration_; }
    Scene* inScene() const { return inScene_; }
    Scene* outScene() const { return outScene_; }

    // ---- the table of transition classes by name

    // Registers (or replaces) the factory for `name`.
    static void registerClass(const std::string& name, TransitionFactory factory);
    template <class T> static void registerClass(const std::string& name) {
        registerClass(name, factoryOf<T>());
    }
    // The factory of class T: its transitionWithDuration.
    template <class T> static TransitionFactory factoryOf() {
        return [](float d, Scene* s) { return RefPtr<TransitionScene>(T::transitionWithDuration(d, s)); };
    }
    // The factory registered under `name`; empty when there is none.
    static TransitionFactory classNamed(const std::string& name);
    // A transition of the class named `name`; null with a log line when no
    // class has that name.
    static RefPtr<TransitionScene> transitionNamed(const std::string& name, float duration, Scene* scene);
    static std::vector<std::string> registeredClassNames();

  protected:
    float duration_ = 0;
    // Owned through the child list; cleared when the scenes leave us.
    Scene* inScene_ = nullptr;
    Scene* outScene_ = nullptr;
};

// The usual factory: a T made with its initialiser.
template <class T> RefPtr<T> transitionOf(float duration, Scene* scene) {
    return construct<T>([&](T& t) { return t.initWithDuration(duration, scene); });
}

class OrientedTransitionScene : public TransitionScene {
  public:
    static RefPtr<OrientedTransitionScene> transitionWithDuration(float duration, Scene* scene);
    static RefPtr<OrientedTransitionScene> transitionWithDuration(float duration, Scene* scene,
                                                                  int32_t orientation);
    using TransitionScene::initWithDuration;
    virtual bool initWithDuration(float duration, Scene* scene, int32_t orientation);

    int32_t orientation() const { return orientation_; }

  protected:
    int32_t orientation_ = OrientationLeftOver;
};

template <class T> RefPtr<T> transitionOf(float duration, Scene* scene, int32_t orientation) {
    return construct<T>([&](T& t) { return t.initWithDuration(duration, scene, orientation); });
}

// Through a colour: a layer of it becomes opaque, the scenes swap under
// it, and it clears again.
class FadeTransition : public TransitionScene {
  public:
    static RefPtr<FadeTransition> transitionWithDuration(float duration, Scene* scene);
    // `rgb` is 0xRRGGBB; the top byte is dropped.
    static RefPtr<FadeTransition> transitionWithDuration(float duration, Scene* scene, uint32_t rgb);
    // Black.
    bool initWithDuration(float duration, Scene* scene) override;
    bool initWithDuration(float duration, Scene* scene, uint32_t rgb);

    void onEnter() override;
    // Also takes the colour layer away.
    void onExit() override;

    // The fade colour, 0xRRGGBBAA with alpha 0.
    uint32_t RGBA() const { return RGBA_; }

  private:
    uint32_t RGBA_ = 0;
};

// Flips turn the outgoing scene a quarter turn away, then the incoming one
// a quarter turn in; the zoom flips also shrink and grow them.

// About the vertical axis.
class FlipXTransition : public OrientedTransitionScene {
  public:
    static RefPtr<FlipXTransition> transitionWithDuration(float duration, Scene* scene);
    static RefPtr<FlipXTransition> transitionWithDuration(float duration, Scene* scene, int32_t orientation);
    void onEnter() override;
};

// About the horizontal axis.
class FlipYTransition : public OrientedTransitionScene {
  public:
    static RefPtr<FlipYTransition> transitionWithDuration(float duration, Scene* scene);
    static RefPtr<FlipYTransition> transitionWithDuration(float duration, Scene* scene, int32_t orientation);
    void onEnter() override;
};

// About a tilted axis.
class FlipAngularTransition : public OrientedTransitionScene {
  public:
    static RefPtr<FlipAngularTransition> transitionWithDuration(float duration, Scene* scene);
    static RefPtr<FlipAngularTransition> transitionWithDuration(float duration, Scene* scene,
                                                                int32_t orientation);
    void onEnter() override;
};

// The flips again, with the scenes shrinking away and growing in.
class ZoomFlipXTransition : public OrientedTransitionScene {
  public:
    static RefPtr<ZoomFlipXTransition> transitionWithDuration(float duration, Scene* scene);
    static RefPtr<ZoomFlipXTransition> transitionWithDuration(float duration, Scene* scene,
                                                              int32_t orientation);
    void onEnter() override;
};

class ZoomFlipYTransition : public OrientedTransitionScene {
  public:
    static RefPtr<ZoomFlipYTransition> transitionWithDuration(float duration, Scene* scene);
    static RefPtr<ZoomFlipYTransition> transitionWithDuration(float duration, Scene* scene,
                                                              int32_t orientation);
    void onEnter() override;
};

class ZoomFlipAngularTransition : public OrientedTransitionScene {
  public:
    static RefPtr<ZoomFlipAngularTransition> transitionWithDuration(float duration, Scene* scene);
    static RefPtr<ZoomFlipAngularTransition> transitionWithDuration(float duration, Scene* scene,
                                                                    int32_t orientation);
    void onEnter() override;
};

// The incoming scene moves in from the left over the outgoing one.
class MoveInLTransition : public TransitionScene {
  public:
    static RefPtr<MoveInLTransition> transitionWithDuration(float duration, Scene* scene);
    void onEnter() override;
    // Places the incoming scene off screen.
    virtual void initScenes();
    // The movement (a MoveTo to the origin).
    virtual RefPtr<IntervalAction> action();
};

class MoveInRTransition : public MoveInLTransition {
  public:
    static RefPtr<MoveInRTransition> transitionWithDuration(float duration, Scene* scene);
    void initScenes() override;
};

class MoveInTTransition : public MoveInLTransition {
  public:
    static RefPtr<MoveInTTransition> transitionWithDuration(float duration, Scene* scene);
    void initScenes() override;
};

class MoveInBTransition : public MoveInLTransition {
  public:
    static RefPtr<MoveInBTransition> transitionWithDuration(float duration, Scene* scene);
    void initScenes() override;
};

// The incoming scene pushes the outgoing one out, from the left.
class SlideInLTransition : public TransitionScene {
  public:
    static RefPtr<SlideInLTransition> transitionWithDuration(float duration, Scene* scene);
    void onEnter() override;
    virtual void initScenes();
    // The movement both scenes make (a MoveBy).
    virtual RefPtr<IntervalAction> action();
};

class SlideInRTransition : public SlideInLTransition {
  public:
    static RefPtr<SlideInRTransition> transitionWithDuration(float duration, Scene* scene);
    void initScenes() override;
    RefPtr<IntervalAction> action() override;
};

class SlideInTTransition : public SlideInLTransition {
  public:
    static RefPtr<SlideInTTransition> transitionWithDuration(float duration, Scene* scene);
    void initScenes() override;
    RefPtr<IntervalAction> action() override;
};

class SlideInBTransition : public SlideInLTransition {
  public:
    static RefPtr<SlideInBTransition> transitionWithDuration(float duration, Scene* scene);
    void initScenes() override;
    RefPtr<IntervalAction> action() override;
};

// The outgoing scene shrinks away while the incoming one grows.
class ShrinkGrowTransition : public TransitionScene {
  public:
    static RefPtr<ShrinkGrowTransition> transitionWithDuration(float duration, Scene* scene);
    void onEnter() override;
};

// The outgoing scene spins away to nothing; the incoming one spins back.
class RotoZoomTransition : public TransitionScene {
  public:
    static RefPtr<RotoZoomTransition> transitionWithDuration(float duration, Scene* scene);
    void onEnter() override;
};

// The outgoing scene shrinks and jumps off to the left; the incoming one
// jumps in from the right and grows.
class JumpZoomTransition : public TransitionScene {
  public:
    static RefPtr<JumpZoomTransition> transitionWithDuration(float duration, Scene* scene);
    void onEnter() override;
};

// ---- tile-grid transitions: the picture is cut into tiles that vanish,
// shrink away or slide apart. Every chain ends by switching its grid off.

// The outgoing scene (on top) loses its tiles one by one in a fixed shuffled order.
class TurnOffTilesTransition : public TransitionScene {
  public:
    static RefPtr<TurnOffTilesTransition> transitionWithDuration(float duration, Scene* scene);
    // Outgoing scene above the incoming one.
    void addScenes() override;
    void onEnter() override;
};

// Columns slide apart, out goes the outgoing scene, then the incoming one
// comes together; the whole transition is drawn through the grid.
class SplitColsTransition : public TransitionScene {
  public:
    static RefPtr<SplitColsTransition> transitionWithDuration(float duration, Scene* scene);
    void onEnter() override;
    // Also drops its own choreography when left before the hand-over.
    void onExit() override;
    // One half of the split.
    virtual RefPtr<IntervalAction> action();
};

// The same with rows sliding sideways.
class SplitRowsTransition : public SplitColsTransition {
  public:
    static RefPtr<SplitRowsTransition> transitionWithDuration(float duration, Scene* scene);
    RefPtr<IntervalAction> action() override;
};

// The outgoing scene's tiles shrink away in a sweep toward the top-right corner.
class FadeTRTransition : public TransitionScene {
  public:
    static RefPtr<FadeTRTransition> transitionWithDuration(float duration, Scene* scene);
    void addScenes() override;
    void onEnter() override;
    // The tile fade for the whole duration.
    virtual RefPtr<IntervalAction> actionWithSize(ccGridSize size);
};

// Toward the bottom-left corner.
class FadeBLTransition : public FadeTRTransition {
  public:
    static RefPtr<FadeBLTransition> transitionWithDuration(float duration, Scene* scene);
    RefPtr<IntervalAction> actionWithSize(ccGridSize size) override;
};

// From the bottom row up.
class FadeUpTransition : public FadeTRTransition {
  public:
    static RefPtr<FadeUpTransition> transitionWithDuration(float duration, Scene* scene);
    RefPtr<IntervalAction> actionWithSize(ccGridSize size) override;
};

// From the top row down.
class FadeDownTransition : public FadeTRTransition {
  public:
    static RefPtr<FadeDownTransition> transitionWithDuration(float duration, Scene* scene);
    RefPtr<IntervalAction> actionWithSize(ccGridSize size) override;
};
