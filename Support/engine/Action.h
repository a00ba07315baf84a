#pragma once
// Actions change one node over time. A node runs an action by giving it
// itself as target and starting it; then, while the node runs, it steps the
// action every frame until the action says it is done.

#include "engine/Ref.h"

class CocosNode;

class Action : public Ref {
  public:
    // The node the action works on. The node owns its running actions; the
    // link back is weak so that a node dropped with an action still attached
    // is freed together with the action instead of keeping both alive.
    CocosNode* target() const { return target_.get(); }
    virtual void setTarget(CocosNode* node);

    // Records the starting state; called again for every run.
    virtual void start() {}
    // Sent once when the action has ended.
    virtual void stop() {}
    virtual bool isDone() const { return true; }
    // Advances by `dt` seconds.
    virtual void step(float dt);

  private:
    WeakPtr<CocosNode> target_;
};
