#pragma once
// Effects on a continuous mesh (Grid3D): waves, ripples, a lens, liquid,
// a twirl, shaking and page-like flips. Every effect computes the frame's
// shape from the original vertices, so its picture depends only on t.

#include "engine/GridAction.h"

// Waves running over the picture toward and away from the viewer.
class Waves3D : public WithAmplitude<Grid3DAction> {
  public:
    static RefPtr<Waves3D> actionWithWaves(int32_t waves, float amplitude, ccGridSize gridSize,
                                           float duration);
    bool initWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;

  private:
    int32_t waves_ = 0;
};

// Turns the picture over about its vertical centre line (a 1 x 1 grid).
class FlipX3D : public Grid3DAction {
  public:
    static RefPtr<FlipX3D> actionWithDuration(float duration);
    bool initWithDuration(float duration);
    // Any size but 1 x 1 raises "FlipX3D" / "Grid size must be (1,1)".
    bool initWithSize(ccGridSize gridSize, float duration) override;
    void update(float t) override;
    RefPtr<Action> copy() const override;

  protected:
    void flip(float t, bool alongX);
};

// The same about the horizontal centre line.
class FlipY3D : public FlipX3D {
  public:
    static RefPtr<FlipY3D> actionWithDuration(float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;
};

// A lens over the picture at `position`; t does not matter, only moving the lens.
class Lens3D : public Grid3DAction {
  public:
    static RefPtr<Lens3D> actionWithPosition(cpVect position, float radius, ccGridSize gridSize,
                                             float duration);
    bool initWithPosition(cpVect position, float radius, ccGridSize gridSize, float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;

    cpVect position() const { return position_; }
    void setPosition(cpVect p) { position_ = p; }
    float lensEffect() const { return lensEffect_; }
    void setLensEffect(float e) { lensEffect_ = e; }

  private:
    cpVect position_;
    float radius_ = 0;
    float lensEffect_ = 0.7f;
    cpVect lastPosition_ = cpv(-1, -1);
};

// Rings spreading from `position`, fading out toward `radius`.
class Ripple3D : public WithAmplitude<Grid3DAction> {
  public:
    static RefPtr<Ripple3D> actionWithPosition(cpVect position, float radius, int32_t waves, float amplitude,
                                               ccGridSize gridSize, float duration);
    bool initWithPosition(cpVect position, float radius, int32_t waves, float amplitude, ccGridSize gridSize,
                          float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;

    cpVect position() const { return position_; }
    void setPosition(cpVect p) { position_ = p; }

  private:
    cpVect position_;
    float radius_ = 0;
    int32_t waves_ = 0;
};

// Every vertex jumps by a random whole number of points in [-range, range).
// A range of 0 or less does not shake.
class Shaky3D : public Grid3DAction {
  public:
    static RefPtr<Shaky3D> actionWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration);
    bool initWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;

  private:
    int32_t randrange_ = 0;
    bool shakeZ_ = false;
};

// The inside of the picture sways in both directions; the border stays.
class Liquid : public WithAmplitude<Grid3DAction> {
  public:
    static RefPtr<Liquid> actionWithWaves(int32_t waves, float amplitude, ccGridSize gridSize,
                                          float duration);
    bool initWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;

  private:
    int32_t waves_ = 0;
};

// Waves in the picture's plane: sideways (vertical waves) and/or up and down
// (horizontal waves).
class Waves : public WithAmplitude<Grid3DAction> {
  public:
    static RefPtr<Waves> actionWithWaves(int32_t waves, float amplitude, bool horizontal, bool vertical,
                                         ccGridSize gridSize, float duration);
    bool initWithWaves(int32_t waves, float amplitude, bool horizontal, bool vertical, ccGridSize gridSize,
                       float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;

  private:
    int32_t waves_ = 0;
    bool vertical_ = false;
    bool horizontal_ = false;
};

// The picture twists about `position`, more the further a cell lies from the
// grid's centre.
class Twirl : public WithAmplitude<Grid3DAction> {
  public:
    static RefPtr<Twirl> actionWithPosition(cpVect position, int32_t twirls, float amplitude,
                                            ccGridSize gridSize, float duration);
    bool initWithPosition(cpVect position, int32_t twirls, float amplitude, ccGridSize gridSize,
                          float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;

    cpVect position() const { return position_; }
    void setPosition(cpVect p) { position_ = p; }

  private:
    cpVect position_;
    int32_t twirls_ = 0;
};

// A whole-number random offset in [-range, range) from the engine's
// generator; 0 without drawing when range is 0 or less.
int32_t gridRandomOffset(int32_t range);
