#include "engine/CocosNode.h"

#include "engine/Errors.h"
#include "engine/GLStateCache.h"
#include "platform/GL.h"

#include <algorithm>

RefPtr<CocosNode> CocosNode::node() {
    return nodeOf<CocosNode>();
}

bool CocosNode::init() {
    rotation_ = 0;
    scaleX_ = scaleY_ = 1;
    position_ = cpvzero;
    parallaxRatioX_ = parallaxRatioY_ = 1;
    visible_ = true;
    camera_ = Camera::camera();
    grid_ = nullptr;
    zOrder_ = 0;
    relativeTransformAnchor_ = true;
    transformAnchor_ = cpvzero;
    isRunning_ = false;
    parent_ = nullptr;
    tag_ = kInvalidTag;
    return true;
}

CocosNode::~CocosNode() {
    camera_ = nullptr;
    grid_ = nullptr;
    for (auto& child : children_) {
        child->cleanup();
        child->parent_ = nullptr; // a child that lives on must not point at us
    }
    children_.clear();
    scheduledSelectors_.reset();
    releaseActions();
}

float CocosNode::scale() const {
    if (scaleX_ != scaleY_) ccRaise("CocosNode scale:", "scaleX is different from scaleY");
    return scaleX_;
}

void CocosNode::setScale(float s) {
    scaleX_ = scaleY_ = s;
}

float CocosNode::parallaxRatio() const {
    if (parallaxRatioX_ != parallaxRatioY_)
        ccRaise("CocosNode parallaxRatio:", "parallaxRatioX is different from parallaxRatioY");
    return parallaxRatioX_;
}

void CocosNode::setParallaxRatio(float r) {
    parallaxRatioX_ = parallaxRatioY_ = r;
}

// ---- children

CocosNode* CocosNode::add(CocosNode* child, int32_t z, int32_t tag) {
    ccAssert(child != nullptr, "Argument must be non-nil");
    if (children_.empty()) children_.reserve(4);
    insertChild(child, z);
    child->tag_ = tag;
    child->parent_ = this;
    if (isRunning_) child->onEnter();
    return this;
}

CocosNode* CocosNode::add(CocosNode* child, int32_t z) {
    ccAssert(child != nullptr, "Argument must be non-nil");
    return add(child, z, child->tag_);
}

CocosNode* CocosNode::add(CocosNode* child) {
    ccAssert(child != nullptr, "Argument must be non-nil");
    return add(child, child->zOrder_, child->tag_);
}

CocosNode* CocosNode::add(CocosNode* child, int32_t z, cpVect parallaxRatio) {
    ccAssert(child != nullptr, "Argument must be non-nil");
    child->parallaxRatioX_ = parallaxRatio.x;
    child->parallaxRatioY_ = parallaxRatio.y;
    return add(child, z, child->tag_);
}

void CocosNode::insertChild(CocosNode* child, int32_t z) {
    // After every sibling of the same z. The common case, z not below the last one's, needs no search.
    if (children_.empty() || children_.back()->zOrder_ <= z) {
        children_.emplace_back(child);
    } else {
        auto at = std::upper_bound(children_.begin(), children_.end(), z,
                                   [](int32_t value, const auto& c) { return value < c->zOrder_; });
        children_.insert(at, RefPtr<CocosNode>(child));
    }
    child->setZOrder(z);
}

void CocosNode::detachChild(CocosNode* child, bool cleanupChild) {
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it == children_.end()) return;
    RefPtr<CocosNode> keep(child);
    child->parent_ = nullptr;
    if (isRunning_) child->onExit();
    if (cleanupChild) {
        child->stopAllActions();
        child->cleanup();
    }
    // onExit may have changed the list: look the child up again.
    it = std::find(children_.begin(), children_.end(), child);
    if (it != children_.end()) children_.erase(it);
}

void CocosNode::remove(CocosNode* child) {
    ccAssert(child != nullptr, "Argument must be non-nil");
    detachChild(child, false);
}

void CocosNode::removeAndStop(CocosNode* child) {
    ccAssert(child != nullptr, "Argument must be non-nil");
    detachChild(child, true);
}

CocosNode* CocosNode::childByTag(int32_t tag) const {
    for (auto& c : children_)
        if (c->tag_ == tag) return c.get();
    return nullptr;
}

void CocosNode::removeByTag(int32_t tag) {
    ccAssert(tag != kInvalidTag, "Invalid tag");
    if (CocosNode* child = childByTag(tag)) remove(child);
}

void CocosNode::removeAndStopByTag(int32_t tag) {
    ccAssert(tag != kInvalidTag, "Invalid tag");
    if (CocosNode* child = childByTag(tag)) removeAndStop(child);
}

void CocosNode::removeAll() {
    // Work on a copy: a child's onExit must not disturb the walk.
    std::vector<RefPtr<CocosNode>> old;
    old.swap(children_);
    for (auto& child : old) {
        child->parent_ = nullptr;
        if (isRunning_) child->onExit();
    }
}

void CocosNode::removeAndStopAll() {
    std::vector<RefPtr<CocosNode>> old;
    old.swap(children_);
    for (auto& child : old) {
        child->parent_ = nullptr;
        if (isRunning_) child->onExit();
    }
    for (auto& child : old)
        child->cleanup();
}

CocosNode* CocosNode::getByTag(int32_t tag) const {
    ccAssert(tag != kInvalidTag, "Invalid tag");
    return childByTag(tag);
}

void CocosNode::reorderChild(CocosNode* child, int32_t z) {
    ccAssert(child != nullptr, "Child must be non-nil");
    RefPtr<CocosNode> keep(child);
    auto it = std::find(children_.begin(), children_.end(), child);
    if (it != children_.end()) children_.erase(it);
    insertChild(child, z);
}

cpVect CocosNode::absolutePosition() const {
    cpVect p = position_;
    for (const CocosNode* n = parent_; n; n = n->parent_)
        p = cpvadd(p, n->position_);
    return p;
}

// ---- drawing

void CocosNode::visit() {
    if (!visible_) return;
    GLStateCache::VisitScope drawing; // the outermost visit leaves GL in the conventional state
    glPushMatrix();
    RefPtr<GridBase> grid = grid_;
    if (grid && grid->active()) {
        GLStateCache::stopRecording();
        GLStateCache::restore();
        grid->beforeDraw();
    }
    transform();
    // Walked by index, holding each child while it draws: a draw that changes
    // the tree (the game's boards update themselves in draw) cannot break the walk.
    size_t i = 0;
    for (; i < children_.size() && children_[i]->zOrder_ < 0; ++i)
        RefPtr<CocosNode>(children_[i])->visit();
    if (!drawsWithoutGL()) GLStateCache::stopRecording();
    if (!drawsThroughStateCache()) GLStateCache::restore();
    draw();
    for (i = 0; i < children_.size(); ++i)
        if (children_[i]->zOrder_ >= 0) RefPtr<CocosNode>(children_[i])->visit();
    if (grid && grid->active()) {
        GLStateCache::restore();
        grid->afterDraw(camera_.get());
    }
    glPopMatrix();
}

void CocosNode::transform() {
    if (!(grid_ && grid_->active()) && camera_) camera_->locate();

    cpVect offset = cpvzero;
    if ((parallaxRatioX_ != 1.0f || parallaxRatioY_ != 1.0f) && parent_) {
        offset.x = parent_->position_.x * parallaxRatioX_ - parent_->position_.x;
        offset.y = parent_->position_.y * parallaxRatioY_ - parent_->position_.y;
    }
    const cpVect& a = transformAnchor_;
    const cpVect& p = position_;
    bool anchored = a.x != 0.0f || a.y != 0.0f;

    if (relativeTransformAnchor_ && anchored) glTranslatef(offset.x - a.x, offset.y - a.y, 0);
    if (anchored)
        glTranslatef(offset.x + p.x + a.x, offset.y + p.y + a.y, 0);
    else if (p.x != 0.0f || p.y != 0.0f || offset.x != 0.0f || offset.y != 0.0f)
        glTranslatef(offset.x + p.x, offset.y + p.y, 0);
    if (rotation_ != 0.0f) glRotatef(-rotation_, 0, 0, 1);
    if (scaleX_ != 1.0f || scaleY_ != 1.0f) glScalef(scaleX_, scaleY_, 1);
    if (anchored) glTranslatef(offset.x - a.x, offset.y - a.y, 0);
}

// ---- life cycle

void CocosNode::onEnter() {
    isRunning_ = true;
    for (size_t i = 0; i < children_.size(); ++i)
        RefPtr<CocosNode>(children_[i])->onEnter();
    activateTimers();
}

void CocosNode::onExit() {
    isRunning_ = false;
    deactivateTimers();
    for (size_t i = 0; i < children_.size(); ++i)
        RefPtr<CocosNode>(children_[i])->onExit();
}

void CocosNode::cleanup() {
    releaseActions();
    scheduledSelectors_.reset();
}

void CocosNode::releaseActions() {
    ++actionsReleased_;
    ActionList running, toRemove, toAdd; // freed last to first, as the lists always were
    toAdd.swap(actionsToAdd_);
    toRemove.swap(actionsToRemove_);
    running.swap(actions_);
    // A step under way still holds raw pointers into these: they go when it ends.
    if (stepDepth_ > 0) {
        for (ActionList* list : {&toAdd, &toRemove, &running})
            retiredActions_.insert(retiredActions_.end(), list->begin(), list->end());
    }
}

// ---- actions

Action* CocosNode::runAction(Action* action) {
    ccAssert(action != nullptr, "Argument must be non-nil");
    RefPtr<Action> keep(action);
    action->setTarget(this);
    action->start();
    actionsToAdd_.emplace_back(action);
    addTimer("step_", [this](float dt) { step_(dt); }, 0, true);
    return action;
}

void CocosNode::stopAction(Action* action) {
    if (!action) return;
    auto has = [action](auto& list) { return std::find(list.begin(), list.end(), action) != list.end(); };
    if (has(actionsToRemove_)) return;
    if (auto it = std::find(actionsToAdd_.begin(), actionsToAdd_.end(), action); it != actionsToAdd_.end()) {
        actionsToAdd_.erase(it);
        return;
    }
    if (has(actions_)) actionsToRemove_.emplace_back(action);
}

void CocosNode::stopAllActions() {
    actionsToAdd_.clear();
    for (auto& a : actions_)
        if (std::find(actionsToRemove_.begin(), actionsToRemove_.end(), a) == actionsToRemove_.end())
            actionsToRemove_.push_back(a);
}

int32_t CocosNode::numberOfRunningActions() const {
    return static_cast<int32_t>(actionsToAdd_.size() + actions_.size());
}

void CocosNode::step_(float dt) {
    // A step inside a step (an action stepping its own node) must not free
    // what the outer walk is on: park the running actions first.
    if (stepDepth_ > 0) retiredActions_.insert(retiredActions_.end(), actions_.begin(), actions_.end());
    if (!actionsToRemove_.empty()) {
        for (auto& gone : actionsToRemove_)
            std::erase(actions_, gone);
        actionsToRemove_.clear();
    }
    if (!actionsToAdd_.empty()) {
        actions_.insert(actions_.end(), actionsToAdd_.begin(), actionsToAdd_.end());
        actionsToAdd_.clear();
    }
    if (actions_.empty()) {
        unschedule("step_");
        return;
    }
    // No references are taken per action: the list holds each one, and a
    // cleanup during the walk parks the list instead of freeing it.
    struct Stepping {
        CocosNode& node;
        explicit Stepping(CocosNode& n) : node(n) { ++node.stepDepth_; }
        ~Stepping() {
            if (--node.stepDepth_ == 0 && !node.retiredActions_.empty()) ActionList().swap(node.retiredActions_);
        }
    } stepping(*this);
    const uint32_t released = actionsReleased_;
    // The walk is over this frame's list; changes wait in the pending lists.
    for (size_t i = 0; i < actions_.size(); ++i) {
        Action* action = actions_[i].get();
        action->step(dt);
        if (actionsReleased_ != released) return; // cleaned up during the step
        if (action->isDone()) {
            action->stop();
            if (actionsReleased_ != released) return;
            actionsToRemove_.emplace_back(action);
        }
    }
}

// ---- timers

void CocosNode::schedule(const std::string& selector, TimerCall call) {
    schedule(selector, std::move(call), 0);
}

void CocosNode::schedule(const std::string& selector, TimerCall call, float interval) {
    addTimer(selector, std::move(call), interval, false);
}

void CocosNode::addTimer(const std::string& selector, TimerCall call, float interval, bool stepsActions) {
    ccAssert(!selector.empty() && call != nullptr, "Argument must be non-nil");
    ccAssert(interval >= 0, "Arguemnt must be positive"); // NaN fails too
    if (!scheduledSelectors_) scheduledSelectors_ = std::make_unique<TimerMap>();
    if (scheduledSelectors_->count(selector)) return;
    RefPtr<Timer> timer = Timer::timerWithTarget(this, selector, std::move(call), interval);
    timer->stepsActions_ = stepsActions;
    if (isRunning_) Scheduler::sharedScheduler()->scheduleTimer(timer);
    (*scheduledSelectors_)[selector] = timer;
}

void CocosNode::unschedule(const std::string& selector) {
    ccAssert(!selector.empty(), "Argument must be non-nil");
    if (!scheduledSelectors_) return;
    auto it = scheduledSelectors_->find(selector);
    if (it == scheduledSelectors_->end()) return;
    RefPtr<Timer> timer = it->second;
    scheduledSelectors_->erase(it);
    if (isRunning_) Scheduler::sharedScheduler()->unscheduleTimer(timer);
}

void CocosNode::activateTimers() {
    if (!scheduledSelectors_) return;
    for (auto& [name, timer] : *scheduledSelectors_)
        Scheduler::sharedScheduler()->scheduleTimer(timer);
}

void CocosNode::deactivateTimers() {
    if (!scheduledSelectors_) return;
    for (auto& [name, timer] : *scheduledSelectors_)
        Scheduler::sharedScheduler()->unscheduleTimer(timer);
}

Timer* CocosNode::scheduledTimer(const std::string& selector) const {
    if (!scheduledSelectors_) return nullptr;
    auto it = scheduledSelectors_->find(selector);
    return it == scheduledSelectors_->end() ? nullptr : it->second.get();
}
