#pragma once
// The scene-graph node: a transform, children ordered by z, a tag, a camera,
// an optional grid, running actions and scheduled timers.

#include "engine/Action.h"
#include "engine/Camera.h"
#include "engine/Grid.h"
#include "engine/Ref.h"
#include "engine/Scheduler.h"
#include "engine/cpVect.h"

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

// Nodes whose drawing has an opacity (0 transparent .. 255 opaque).
class CocosNodeOpacity {
  public:
    virtual ~CocosNodeOpacity() = default;
    virtual uint8_t opacity() const = 0;
    virtual void setOpacity(uint8_t opacity) = 0;
};

// Nodes with a size of their own, in points.
class CocosNodeSize {
  public:
    virtual ~CocosNodeSize() = default;
    virtual ccSize contentSize() const = 0;
};

class CocosNode : public Ref {
  public:
    static RefPtr<CocosNode> node();
    virtual bool init();
    ~CocosNode() override;

    // Transform.
    float rotation() const { return rotation_; }
    void setRotation(float degrees) { rotation_ = degrees; }
    float scaleX() const { return scaleX_; }
    void setScaleX(float s) { scaleX_ = s; }
    float scaleY() const { return scaleY_; }
    void setScaleY(float s) { scaleY_ = s; }
    // Raises "CocosNode scale:" when the two components differ.
    float scale() const;
    void setScale(float s);
    cpVect position() const { return position_; }
    virtual void setPosition(cpVect p) { position_ = p; }
    float parallaxRatioX() const { return parallaxRatioX_; }
    void setParallaxRatioX(float r) { parallaxRatioX_ = r; }
    float parallaxRatioY() const { return parallaxRatioY_; }
    void setParallaxRatioY(float r) { parallaxRatioY_ = r; }
    // Raises "CocosNode parallaxRatio:" when the two components differ.
    float parallaxRatio() const;
    void setParallaxRatio(float r);
    bool relativeTransformAnchor() const { return relativeTransformAnchor_; }
    void setRelativeTransformAnchor(bool b) { relativeTransformAnchor_ = b; }
    cpVect transformAnchor() const { return transformAnchor_; }
    void setTransformAnchor(cpVect a) { transformAnchor_ = a; }
    bool visible() const { return visible_; }
    void setVisible(bool v) { visible_ = v; }

    Camera* camera() const { return camera_.get(); }
    void setCamera(Camera* c) { camera_ = c; }
    GridBase* grid() const { return grid_.get(); }
    void setGrid(GridBase* g) { grid_ = g; }

    // Tree.
    int32_t zOrder() const { return zOrder_; }
    int32_t tag() const { return tag_; }
    void setTag(int32_t t) { tag_ = t; }
    CocosNode* parent() const { return parent_; }
    void setParent(CocosNode* p) { parent_ = p; }
    const std::vector<RefPtr<CocosNode>>& children() const { return children_; }
    bool isRunning() const { return isRunning_; }

    CocosNode* add(CocosNode* child, int32_t z, int32_t tag);
    CocosNode* add(CocosNode* child, int32_t z);
    CocosNode* add(CocosNode* child);
    CocosNode* add(CocosNode* child, int32_t z, cpVect parallaxRatio);
    void remove(CocosNode* child);
    void removeByTag(int32_t tag);
    void removeAndStop(CocosNode* child);
    void removeAndStopByTag(int32_t tag);
    void removeAll();
    void removeAndStopAll();
    CocosNode* getByTag(int32_t tag) const;
    void reorderChild(CocosNode* child, int32_t z);
    // Own position plus every ancestor's position.
    cpVect absolutePosition() const;

    // Drawing.
    virtual void draw() {}
    // True only for nodes whose `draw` goes through the GL state cache alone
    // (engine/GLStateCache.h); every other node's `draw` finds GL in the
    // conventional state.
    virtual bool drawsThroughStateCache() const { return false; }
    // True when `draw` makes no GL calls of its own: it draws nothing, or only
    // through the state cache, so the frame can go on being recorded around it
    // (GLStateCache.h). Each class answers for itself alone, since a subclass
    // may draw on its own (a sprite with an outline of its own, say); a
    // subclass that does not says so again.
    virtual bool drawsWithoutGL() const { return typeid(*this) == typeid(CocosNode); }
    virtual void visit();
    virtual void transform();

    // Life cycle.
    virtual void onEnter();
    virtual void onExit();
    virtual void cleanup();

    // Actions.
    Action* runAction(Action* action);
    void stopAction(Action* action);
    void stopAllActions();
    int32_t numberOfRunningActions() const;
    // The per-frame action step, called through the node's "step_" timer.
    void step_(float dt);
    // Fetches into the cache what `step_` will read, in stages the scheduler
    // issues a few timers ahead of its walk, each stage reading only what the
    // one before fetched: 0 the node, 1 its list of actions and its weak
    // pointers' block (the actions' link to it), 2 its first action, 3 and
    // up that action's members, one level further down per stage.
    void prefetchStep(int stage) const {
        if (stage == 0) {
            __builtin_prefetch(this);
            __builtin_prefetch(&stepDepth_);
        } else if (actions_.empty()) {
            return;
        } else if (stage == 1) {
            __builtin_prefetch(actions_.data());
            prefetchWeakControl();
        } else if (stage == 2) {
            prefetchAction(actions_.front().get());
        } else {
            actions_.front()->prefetchMembers(stage - 3);
        }
    }

    // Timers, keyed by selector name.
    void schedule(const std::string& selector, TimerCall call);
    void schedule(const std::string& selector, TimerCall call, float interval);
    void unschedule(const std::string& selector);
    void activateTimers();
    void deactivateTimers();
    // The timer under `selector`, or null.
    Timer* scheduledTimer(const std::string& selector) const;

  private:
    [[no_unique_address]] LiveCount<CocosNode> liveCount_;
    using ActionList = std::vector<RefPtr<Action>>;
    using TimerMap = std::map<std::string, RefPtr<Timer>>;

    void insertChild(CocosNode* child, int32_t z);
    // schedule's work; `stepsActions` marks the timer of step_, which the
    // timer calls directly.
    void addTimer(const std::string& selector, TimerCall call, float interval, bool stepsActions);
    void setZOrder(int32_t z) { zOrder_ = z; }
    void detachChild(CocosNode* child, bool cleanupChild);
    void releaseActions();
    CocosNode* childByTag(int32_t tag) const;

    float rotation_ = 0;
    float scaleX_ = 1;
    float scaleY_ = 1;
    cpVect position_;
    // The action lists sit beside the position: the per-frame step reads both.
    ActionList actions_;
    ActionList actionsToRemove_;
    ActionList actionsToAdd_;
    // Counts the releases of the action lists, so that a step sees its node
    // cleaned up under it.
    uint32_t actionsReleased_ = 0;
    // Steps under way on this node. While one is, actions it may still reach
    // are parked in retiredActions_ rather than freed.
    uint32_t stepDepth_ = 0;
    float parallaxRatioX_ = 1;
    float parallaxRatioY_ = 1;
    bool visible_ = true;
    RefPtr<Camera> camera_;
    RefPtr<GridBase> grid_;
    int32_t zOrder_ = 0;
    bool relativeTransformAnchor_ = true;
    cpVect transformAnchor_;
    std::vector<RefPtr<CocosNode>> children_;
    bool isRunning_ = false;
    CocosNode* parent_ = nullptr; // weak: the parent holds us
    int32_t tag_ = kInvalidTag;
    std::unique_ptr<TimerMap> scheduledSelectors_;
    ActionList retiredActions_;
};

// Creates a node of class T with its plain initialiser.
template <class T = CocosNode> RefPtr<T> nodeOf() {
    return construct<T>([](T& n) { return n.init(); });
}
