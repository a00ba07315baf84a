#pragma once
// Test doubles that write what happens to them into a shared journal.

#include "engine/CocosNode.h"
#include "engine/Layer.h"

#include <memory>
#include <string>
#include <vector>

using Journal = std::vector<std::string>;

// A node that records onEnter, onExit, cleanup and draw under its name.
template <class Base = CocosNode> class RecordingNode : public Base {
  public:
    static RefPtr<RecordingNode> make(std::string name, std::shared_ptr<Journal> journal) {
        RefPtr<RecordingNode> n = nodeOf<RecordingNode>();
        n->name_ = std::move(name);
        n->journal_ = std::move(journal);
        return n;
    }
    void onEnter() override {
        record("enter");
        Base::onEnter();
    }
    void onExit() override {
        record("exit");
        Base::onExit();
    }
    void cleanup() override {
        record("cleanup");
        Base::cleanup();
    }
    void draw() override { record("draw"); }
    const std::string& name() const { return name_; }

  protected:
    void record(const std::string& what) {
        if (journal_) journal_->push_back(name_ + "." + what);
    }
    std::string name_;
    std::shared_ptr<Journal> journal_;
};
