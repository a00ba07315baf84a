// Interval actions and their composition: timing of sequences, repeats,
// spawns and reversed time, run on a node in a running scene.

#include "ActionTestSupport.h"

#include "engine/InstantAction.h"

// A long step ends at 1; a zero-length action completes at its first step, even a step of 0 s.
// (Steps in between are fractions of the duration: the node tests show that.)
TEST_F(ActionTest, IntervalActionsAndSequencesTurnFrameTimesIntoFractions) {
    for (auto [duration, dt] : {std::pair{1.0f, 3.0f}, {0.0f, 0.0f}}) {
        journal_.clear();
        EXPECT_EQ(runToEnd(probe("L", duration), dt), 2);
        EXPECT_EQ(journal_, (Journal{"L start", "L update 1", "L stop"}));
    }

    // A sequence runs its second member after the first has ended.
    journal_.clear();
    auto note = [this](const char* name = "callback") {
        return CallFunc::actionWithTarget(node_, [=, this] { journal_.push_back(name); });
    };
    RefPtr<TimedAction> seq = Sequence::actions({probe("A", 2), note()});
    node_->runAction(seq);
    stepFrames(4, 0.5f);
    EXPECT_EQ(journal_, (Journal{"A start", "A update 0.25", "A update 0.5", "A update 0.75", "A update 1",
                                 "A stop", "callback"}));
    EXPECT_TRUE(seq->isDone());

    // An instant action first fires at the first step, and the second member starts in that same step.
    journal_.clear();
    runToEnd(Sequence::actionOne(note(), probe("B", 1)), 0.25f);
    EXPECT_EQ(journal_, (Journal{"callback", "B start", "B update 0.25", "B update 0.5", "B update 0.75",
                                 "B update 1"}));

    // One long first frame past the split still completes the first member first.
    journal_.clear();
    node_->runAction(Sequence::actionOne(probe("A", 1), probe("B", 1)));
    step(1.5f);
    EXPECT_EQ(journal_, (Journal{"A start", "A update 1", "A stop", "B start", "B update 0.5"}));

    // Two members of no length both run, in order, at the first update.
    journal_.clear();
    node_->stopAllActions();
    EXPECT_EQ(runToEnd(Sequence::actionOne(note("first"), note("second")), 0), 2);
    EXPECT_EQ(journal_, (Journal{"first", "second"}));
}

TEST_F(ActionTest, SequenceListsChainLeftNestedAndReverseAndCompositesNeedTheirMembers) {
    RefPtr<Probe> a = probe("A", 1);
    EXPECT_EQ(Sequence::actions({a}).get(), a.get());
    EXPECT_EQ(Sequence::actions({nullptr, a}), nullptr);

    // A sequence as "(first second)", a probe as its name.
    std::function<std::string(Action*)> shape = [&](Action* action) -> std::string {
        if (auto* s = dynamic_cast<Sequence*>(action))
            return "(" + shape(s->actions()[0].get()) + " " + shape(s->actions()[1].get()) + ")";
        auto* p = dynamic_cast<Probe*>(action);
        return p ? p->name() : "?";
    };
    RefPtr<TimedAction> four =
        Sequence::actions({a, probe("B", 2), probe("C", 3), probe("D", 4), nullptr, a});
    EXPECT_EQ(shape(four), "(((A B) C) D)");
    EXPECT_EQ(shape(Sequence::actionOne(a, probe("B", 2))->reverse()), "(B' A')");

    const struct {
        std::function<void()> call;
        const char* message;
    } missing[] = {
        {[&] { Sequence::actionOne(nullptr, a); }, "Sequence: argument one must be non-nil"},
        {[&] { Sequence::actionOne(a, nullptr); }, "Sequence: argument two must be non-nil"},
        {[&] { Spawn::actionOne(nullptr, a); }, "Spawn: argument one must be non-nil"},
        {[&] { Spawn::actionOne(a, nullptr); }, "Spawn: argument two must be non-nil"},
    };
    for (const auto& c : missing)
        EXPECT_THAT(c.call, Fails<AssertionFailure>(c.message));
    EXPECT_THAT([] { makeRef<DelayTime>()->init(); },
                Fails<NamedException>("IntervalActionInit: Init not supported. Use InitWithDuration"));
    const auto noReverse =
        Fails<NamedException>("ReverseActionNotImplemented: Reverse Action not implemented");
    EXPECT_THAT([] { MoveTo::actionWithDuration(1, cpvzero)->reverse(); }, noReverse);
    EXPECT_THAT([&] { Sequence::actionOne(a, Show::action())->reverse(); }, noReverse);
}

TEST_F(ActionTest, RepeatCompletesOneRunPerUpdate) {
    RefPtr<Repeat> repeat = Repeat::actionWithAction(probe("P", 1), 3);
    EXPECT_EQ(runToEnd(repeat, 0.25f), 13);
    // The restarts at t just above 1/3 and 2/3; the rest of that step is not carried.
    EXPECT_EQ(journal_, (Journal{"P start", "P update 0.25", "P update 0.5", "P update 0.75", "P update 1",
                                 "P update 1", "P stop", "P start", "P update 0", "P update 0.5",
                                 "P update 0.75", "P update 1", "P update 1", "P stop", "P start",
                                 "P update 0", "P update 0.5", "P update 0.75", "P update 1"}));
    EXPECT_EQ(repeat->total(), 3);

    // No runs at all: zero length, one update with 1, done after it.
    journal_.clear();
    EXPECT_EQ(runToEnd(Repeat::actionWithAction(probe("N", 1), 0), 0.25f), 2);
    EXPECT_EQ(journal_, (Journal{"N start", "N update 1"}));

    // One long step counts only one run; the next steps complete the rest.
    journal_.clear();
    RefPtr<Repeat> jumped = Repeat::actionWithAction(probe("J", 1), 3);
    node_->runAction(jumped);
    step(10);
    EXPECT_EQ(jumped->total(), 1);
    step(10);
    EXPECT_FALSE(jumped->isDone());
    step(10);
    EXPECT_TRUE(jumped->isDone());
}

TEST_F(ActionTest, SpawnAndReverseTimeRunTheirMembersOnTheNode) {
    RefPtr<Spawn> spawn =
        Spawn::actionOne(MoveBy::actionWithDuration(1, cpv(100, 0)), RotateBy::actionWithDuration(3, 90));
    node_->runAction(spawn);
    EXPECT_EQ(node_->numberOfRunningActions(), 3);
    stepFrames(2, 0.5f);
    EXPECT_EQ(node_->position(), cpv(100, 0));
    EXPECT_FLOAT_EQ(node_->rotation(), 30);
    EXPECT_FALSE(spawn->isDone());
    stepFrames(4, 0.5f);
    EXPECT_TRUE(spawn->isDone());
    EXPECT_EQ(node_->rotation(), 90);
    step(0.5f);
    EXPECT_EQ(node_->numberOfRunningActions(), 0);

    // Reversed time plays its member backwards.
    RefPtr<MoveBy> move = MoveBy::actionWithDuration(1, cpv(100, 0));
    RefPtr<ReverseTime> backwards = ReverseTime::actionWithAction(move);
    node_->runAction(backwards);
    step(0.25f);
    EXPECT_EQ(node_->position(), cpv(175, 0));

    // Its reverse is a copy of the member, not another ReverseTime.
    RefPtr<TimedAction> forwards = backwards->reverse();
    EXPECT_NE(as<MoveBy>(forwards), nullptr);
    EXPECT_NE(forwards.get(), move.get());

    // stop reaches the member.
    journal_.clear();
    runToEnd(ReverseTime::actionWithAction(probe("P", 1)), 0.5f);
    EXPECT_EQ(journal_, (Journal{"P start", "P update 0.5", "P update 0", "P stop"}));
}
