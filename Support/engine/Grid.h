#pragma once
// A distortion grid through which a node can be drawn. The node draws
// through an active grid: the grid captures the node's drawing before it and
// draws the captured picture through its mesh after it.

#include "engine/Ref.h"

class Camera;

class GridBase : public Ref {
  public:
    bool active() const { return active_; }
    virtual void setActive(bool a) { active_ = a; }

    virtual void beforeDraw() {}
    virtual void afterDraw(Camera*) {}

  private:
    bool active_ = false;
};
