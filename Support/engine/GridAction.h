#pragma once
// Grid actions: interval actions that give their target a grid when they
// start and move its vertices as their time runs. Also the wrappers that ramp
// an effect's strength, and the two instant actions that switch a grid off
// or hand its shape on to the next effect.

#include "engine/Grid.h"
#include "engine/InstantAction.h"
#include "engine/IntervalAction.h"

class GridAction : public IntervalAction {
  public:
    static RefPtr<GridAction> actionWithSize(ccGridSize gridSize, float duration);
    // A size the grid cannot have is an assertion failure (kGridSizeMessage).
    virtual bool initWithSize(ccGridSize gridSize, float duration);

    ccGridSize gridSize() const { return gridSize_; }
    void setGridSize(ccGridSize s) { gridSize_ = s; }

    // A new grid of gridSize; abstract here (raises "GridBase").
    virtual RefPtr<GridBase> grid();
    // Whether the target's `grid` is of the kind this action makes.
    virtual bool isGridOfMyKind(const GridBase* grid) const;
    // Whether a grid of this action's kind can have `size`.
    virtual bool gridSizeFits(ccGridSize size) const;

    // Gives the target a fresh active grid, or reuses the one it has when
    // asked to (raising "GridBase" / "Cannot reuse grid" when it cannot).
    void start() override;
    // The same object played backwards.
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;

  protected:
    ccGridSize gridSize_;
};

class Grid3DAction : public GridAction {
  public:
    static RefPtr<Grid3DAction> actionWithSize(ccGridSize gridSize, float duration);
    RefPtr<GridBase> grid() override;
    bool isGridOfMyKind(const GridBase* grid) const override;
    bool gridSizeFits(ccGridSize size) const override;
    RefPtr<Action> copy() const override;

    // The target's grid, passed through.
    ccVertex3D vertex(ccGridSize pos) const;
    ccVertex3D originalVertex(ccGridSize pos) const;
    void setVertex(ccGridSize pos, ccVertex3D vertex);

  protected:
    // The target's grid; null when it has none of this kind.
    Grid3D* grid3D() const;
};

class TiledGrid3DAction : public GridAction {
  public:
    static RefPtr<TiledGrid3DAction> actionWithSize(ccGridSize gridSize, float duration);
    RefPtr<GridBase> grid() override;
    bool isGridOfMyKind(const GridBase* grid) const override;
    bool gridSizeFits(ccGridSize size) const override;
    RefPtr<Action> copy() const override;

    ccQuad3 tile(ccGridSize pos) const;
    ccQuad3 originalTile(ccGridSize pos) const;
    void setTile(ccGridSize pos, const ccQuad3& coords);

  protected:
    TiledGrid3D* tiledGrid() const;
};

// The strength of a waving effect: its amplitude, and the rate the amplitude
// wrappers below set from the time.
template <class Effect> class WithAmplitude : public Effect {
  public:
    float amplitude() const { return amplitude_; }
    void setAmplitude(float a) { amplitude_ = a; }
    float amplitudeRate() const { return amplitudeRate_; }
    void setAmplitudeRate(float r) override { amplitudeRate_ = r; }
    float getAmplitudeRate() override { return amplitudeRate_; }

  protected:
    float amplitude_ = 0;
    float amplitudeRate_ = 1.0f;
};

// ---- amplitude wrappers: set the wrapped effect's amplitude rate from the
// time, then update it. The wrapped action must have an amplitude.

class AmplitudeAction : public IntervalAction {
  public:
    bool initWithAction(IntervalAction* action, float duration);
    float rate() const { return rate_; }
    void setRate(float r) { rate_ = r; }
    IntervalAction* other() const { return other_.get(); }

    void start() override;
    void update(float t) override;
    // The same kind of wrapper around the inner reverse, rate back at 1.
    RefPtr<TimedAction> reverse() override;
    RefPtr<Action> copy() const override;

  protected:
    virtual float amplitudeAt(float t) const = 0;
    virtual RefPtr<AmplitudeAction> make(IntervalAction* action, float duration) const = 0;

    float rate_ = 1.0f;
    RefPtr<IntervalAction> other_;
};

// Full strength in the middle: (2t, folded back after the middle) ^ rate.
class AccelDeccelAmplitude : public AmplitudeAction {
  public:
    static RefPtr<AccelDeccelAmplitude> actionWithAction(IntervalAction* action, float duration);

  protected:
    float amplitudeAt(float t) const override;
    RefPtr<AmplitudeAction> make(IntervalAction* action, float duration) const override;
};

// t ^ rate
class AccelAmplitude : public AmplitudeAction {
  public:
    static RefPtr<AccelAmplitude> actionWithAction(IntervalAction* action, float duration);

  protected:
    float amplitudeAt(float t) const override;
    RefPtr<AmplitudeAction> make(IntervalAction* action, float duration) const override;
};

// (1 - t) ^ rate
class DeccelAmplitude : public AmplitudeAction {
  public:
    static RefPtr<DeccelAmplitude> actionWithAction(IntervalAction* action, float duration);

  protected:
    float amplitudeAt(float t) const override;
    RefPtr<AmplitudeAction> make(IntervalAction* action, float duration) const override;
};

// ---- instant grid actions

// Switches the target's grid off: the node is drawn plainly again.
class StopGrid : public InstantAction {
  public:
    static RefPtr<StopGrid> action();
    void start() override;
    RefPtr<Action> copy() const override;
};

// The next `times` grid actions on the target continue from its grid's shape.
class ReuseGrid : public InstantAction {
  public:
    static RefPtr<ReuseGrid> actionWithTimes(int32_t times);
    bool initWithTimes(int32_t times);
    void start() override;
    RefPtr<Action> copy() const override;

    int32_t times() const { return t_; }

  private:
    int32_t t_ = 0;
};
