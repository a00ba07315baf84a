// Instant actions: visibility, place and callbacks, run directly and inside sequences.

#include "ActionTestSupport.h"

#include "engine/InstantAction.h"

namespace {
class Listener : public Ref {
  public:
    void reached() { ++calls; }
    void reachedBy(CocosNode* node) { nodes.push_back(node); }
    void reachedWith(CocosNode* node, void* data) {
        nodes.push_back(node);
        data_.push_back(data);
    }
    int calls = 0;
    std::vector<CocosNode*> nodes;
    std::vector<void*> data_;
};
} // namespace

TEST_F(ActionTest, InstantActionsTakeEffectInsideRunActionAndCallFuncKeepsItsTargetAlive) {
    RefPtr<Listener> listener = makeRef<Listener>();
    RefPtr<CallFunc> call = CallFunc::actionWithTarget(listener.get(), &Listener::reached);
    EXPECT_EQ(listener->retainCount(), 2u);
    RefPtr<CocosNode> detached = CocosNode::node();
    detached->runAction(call);
    EXPECT_EQ(listener->calls, 1);
    detached->runAction(Place::actionWithPosition(cpv(3, 4)));
    EXPECT_EQ(detached->position(), cpv(3, 4));
    detached->runAction(Hide::action());
    EXPECT_FALSE(detached->visible());
    detached->runAction(Show::action());
    EXPECT_TRUE(detached->visible());
    node_->runAction(ToggleVisibility::action());
    node_->runAction(ToggleVisibility::action());
    EXPECT_TRUE(node_->visible());
    stepFrames(3);
    EXPECT_EQ(node_->numberOfRunningActions(), 0);
    EXPECT_EQ(listener->calls, 1);

    RefPtr<CallFunc> copy = copyOf(call.get());
    WeakPtr<Listener> watched(listener.get());
    listener = nullptr;
    call = nullptr;
    detached = nullptr;
    ASSERT_NE(watched.get(), nullptr);
    copy->execute();
    EXPECT_EQ(watched->calls, 2);
    copy = nullptr;
    EXPECT_EQ(watched.get(), nullptr);

    // No object to call: nothing happens.
    int calls = 0;
    CallFunc::actionWithTarget(nullptr, [&] { ++calls; })->execute();
    EXPECT_EQ(calls, 0);
}

TEST_F(ActionTest, CallbacksPassTheRunningNodeAndTheirData) {
    RefPtr<Listener> listener = makeRef<Listener>();
    int payload = 0;
    // The node that runs the action, not the object called back.
    auto seq =
        Sequence::actions({CallFuncN::actionWithTarget(listener.get(), &Listener::reachedBy),
                           CallFuncND::actionWithTarget(listener.get(), &Listener::reachedWith, &payload),
                           DelayTime::actionWithDuration(1)});
    node_->runAction(RepeatForever::actionWithAction(seq));
    stepFrames(6, 0.5f); // fires at the first, third and fifth step
    EXPECT_THAT(listener->nodes, ::testing::AllOf(::testing::SizeIs(6), ::testing::Each(node_.get())));
    EXPECT_EQ(listener->data_, (std::vector<void*>{&payload, &payload, &payload}));

    auto direct = CallFuncND::actionWithTarget(
        listener, [&](CocosNode* n, void* d) { listener->reachedWith(n, d); }, &payload);
    direct->execute();
    EXPECT_EQ(listener->nodes.back(), nullptr); // not run by any node
}
