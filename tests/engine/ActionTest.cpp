// RepeatForever and the copy contract every action class keeps (the protocol
// between a node and its actions is in CocosNodeTest).

#include "ActionTestSupport.h"

#include "engine/CameraAction.h"
#include "engine/EaseAction.h"
#include "engine/InstantAction.h"

#include <typeinfo>

TEST_F(ActionTest, RepeatForeverRestartsItsInnerActionWithoutCarryingTime) {
    RefPtr<Probe> inner = probe("P", 1);
    RefPtr<RepeatForever> forever = RepeatForever::actionWithAction(inner);
    node_->runAction(forever);
    stepFrames(4, 0.6f);
    EXPECT_EQ(journal_, (Journal{"P start", "P update 0.6", "P update 1", "P start", "P update 0.6",
                                 "P update 1", "P start"}));
    stepFrames(100, 0.6f);
    EXPECT_EQ(node_->numberOfRunningActions(), 1);
    EXPECT_EQ(std::count(journal_.begin(), journal_.end(), "P stop"), 0);

    auto reversed = forever->reverse();
    ASSERT_NE(reversed->other(), nullptr);
    EXPECT_EQ(static_cast<Probe*>(reversed->other())->name(), "P'");
    EXPECT_NE(copyOf(forever.get())->other(), inner.get()) << "a copy, even of a running one, shares nothing";
}

// Every class copies into its own class, unstarted and without a target,
// with members copied rather than shared.
TEST_F(ActionTest, EveryActionCopiesIntoItsOwnClass) {
    auto move = [] { return MoveBy::actionWithDuration(1, cpv(5, 5)); };
    int calls = 0;
    RefPtr<Ref> callee = CocosNode::node();
    // clang-format off
    std::vector<RefPtr<TimedAction>> actions = {
        IntervalAction::actionWithDuration(1), Sequence::actionOne(move(), DelayTime::actionWithDuration(1)),
        Repeat::actionWithAction(move(), 3), Spawn::actionOne(move(), RotateBy::actionWithDuration(2, 90)),
        DelayTime::actionWithDuration(1), ReverseTime::actionWithAction(move()),
        RotateTo::actionWithDuration(1, 90), RotateBy::actionWithDuration(1, 90),
        MoveTo::actionWithDuration(1, cpv(5, 5)), move(), JumpBy::actionWithDuration(1, cpv(5, 5), 10, 2),
        JumpTo::actionWithDuration(1, cpv(5, 5), 10, 2), ScaleTo::actionWithDuration(1, 2, 3),
        ScaleBy::actionWithDuration(1, 2, 3), Blink::actionWithDuration(1, 3), FadeIn::actionWithDuration(1),
        FadeOut::actionWithDuration(1), FadeTo::actionWithDuration(1, 10), InstantAction::action(),
        Show::action(), Hide::action(), ToggleVisibility::action(), Place::actionWithPosition(cpv(1, 2)),
        CallFunc::actionWithTarget(callee, [&] { ++calls; }),
        CallFuncN::actionWithTarget(callee, [&](CocosNode*) { ++calls; }),
        CallFuncND::actionWithTarget(callee, [&](CocosNode*, void*) { ++calls; }, &calls),
        EaseAction::actionWithAction(move()), EaseRateAction::actionWithAction(move(), 2),
        EaseIn::actionWithAction(move(), 2), EaseOut::actionWithAction(move(), 2),
        EaseInOut::actionWithAction(move(), 2), EaseExponentialIn::actionWithAction(move()),
        EaseExponentialOut::actionWithAction(move()), EaseExponentialInOut::actionWithAction(move()),
        EaseSineIn::actionWithAction(move()), EaseSineOut::actionWithAction(move()),
        EaseSineInOut::actionWithAction(move()), Accelerate::actionWithAction(move(), 2),
        AccelDeccel::actionWithAction(move()), Speed::actionWithAction(move(), 2),
        OrbitCamera::actionWithDuration(1, 1, 0, 0, 90, 0, 0)};
    // clang-format on
    const auto type = [](const Action& a) -> const std::type_info& { return typeid(a); };
    for (auto& action : actions) {
        node_->runAction(action);
        RefPtr<Action> copy = action->copy();
        SCOPED_TRACE(type(*action).name());
        EXPECT_EQ(type(*copy), type(*action));
        EXPECT_EQ(copy->target(), nullptr);
        EXPECT_EQ(static_cast<TimedAction*>(copy.get())->duration(), action->duration());
    }
    EXPECT_EQ(calls, 3); // the three callbacks ran when started, not when copied

    auto* ease = static_cast<EaseIn*>(actions[28].get());
    auto easeCopy = copyOf(ease);
    EXPECT_NE(easeCopy->other(), ease->other());
    EXPECT_EQ(easeCopy->rate(), 2);
    auto* sequence = static_cast<Sequence*>(actions[1].get());
    EXPECT_NE(copyOf(sequence)->actions()[0], sequence->actions()[0]);
}
