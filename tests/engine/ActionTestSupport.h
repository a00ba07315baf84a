#pragma once
// Shared by the action tests (and the node side of actions): a running scene with one plain node,
// and a probe action that writes every message it receives into a journal.

#include "support/EngineTest.h"

#include "engine/CocosNode.h"
#include "engine/Errors.h"
#include "engine/IntervalAction.h"
#include "platform/Log.h"

#include <functional>
#include <string>
#include <vector>

using Journal = std::vector<std::string>;

// `action` as a T (kept alive), or null when it is something else.
template <class T> RefPtr<T> as(const RefPtr<TimedAction>& action) {
    return RefPtr<T>(dynamic_cast<T*>(action.get()));
}

class Probe : public IntervalAction {
  public:
    static RefPtr<Probe> probe(Journal* journal, std::string name, float duration) {
        RefPtr<Probe> p = makeRef<Probe>();
        p->initWithDuration(duration);
        p->journal_ = journal;
        p->name_ = std::move(name);
        return p;
    }
    void start() override {
        IntervalAction::start();
        note("start");
    }
    void update(float t) override {
        lastT = t;
        note(platform::ccFormat("update %g", t));
        if (onUpdate) onUpdate();
    }
    void stop() override { note("stop"); }
    RefPtr<TimedAction> reverse() override { return probe(journal_, name_ + "'", duration()); }
    RefPtr<Action> copy() const override { return probe(journal_, name_, duration()); }

    const std::string& name() const { return name_; }
    float lastT = -1;
    std::function<void()> onUpdate;

  private:
    void note(const std::string& what) { journal_->push_back(name_ + " " + what); }
    Journal* journal_ = nullptr;
    std::string name_;
};

class ActionTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        scene_ = Scene::node();
        node_ = CocosNode::node();
        scene_->add(node_);
        runScene(scene_);
        step(); // enters the scene
    }

    RefPtr<Probe> probe(const std::string& name, float duration) {
        return Probe::probe(&journal_, name, duration);
    }
    // Runs `action` on the node and steps until it has left it (at most `limit` frames).
    int runToEnd(Action* action, float dt, int limit = 1000) {
        node_->runAction(action);
        int frames = 0;
        while (node_->numberOfRunningActions() > 0 && frames < limit) {
            step(dt);
            ++frames;
        }
        return frames;
    }

    RefPtr<Scene> scene_;
    RefPtr<CocosNode> node_;
    Journal journal_;
};
