#pragma once
// A node that leaves a fading ribbon behind itself as it moves: every frame
// it adds its world position to the ribbon once it has moved more than a
// threshold since the last point. The ribbon is its child, placed so that
// points given in world coordinates are drawn where they were.
//
// The streak is called every frame from the moment it is made, in a scene
// or not. The scheduler's timer does not keep it alive: a streak its owners
// drop is destroyed, and its timer is taken off the scheduler then.

#include "engine/CocosNode.h"
#include "engine/Ribbon.h"

#include <cstdint>
#include <string>

class MotionStreak : public CocosNode {
  public:
    // `fade` seconds a point takes to fade, `minSeg` the distance in points
    // the streak must move before a new point is recorded, the texture
    // `image`, the strip `width`, the texture's `length` along the strip and
    // the colour as 0xRRGGBBAA.
    static RefPtr<MotionStreak> streakWithFade(float fade, float minSeg, const std::string& image,
                                               float width, float length, uint32_t color);
    bool initWithFade(float fade, float minSeg, const std::string& image, float width, float length,
                      uint32_t color);
    ~MotionStreak() override;

    // The per-frame step: follows the streak's world position.
    void update(float dt);

    Ribbon* ribbon() const { return ribbon_.get(); }
    float segThreshold() const { return segThreshold_; }
    float width() const { return width_; }
    cpVect lastLocation() const { return lastLocation_; }
    // The timer that calls update every frame.
    Timer* timer() const { return timer_.get(); }

  private:
    RefPtr<Ribbon> ribbon_;
    float fadeTime_ = 0;
    float segThreshold_ = 0;
    uint32_t color_ = 0xffffffff;
    std::string path_;
    float width_ = 0;
    float textureLength_ = 0;
    cpVect lastLocation_;
    // The scheduler keeps the timer's target alive; the target is this small
    // object, not the streak, and the call reaches the streak through a weak link.
    RefPtr<Ref> timerTarget_;
    RefPtr<Timer> timer_;
    WeakPtr<Scheduler> scheduler_;
};
