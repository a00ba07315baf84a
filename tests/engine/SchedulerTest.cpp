// Timers and the scheduler's deferred lists.

#include "ActionTestSupport.h"

#include "engine/Errors.h"
#include "engine/Scheduler.h"
#include "support/LogRecorder.h"

using ::testing::AllOf, ::testing::Each, ::testing::ElementsAre, ::testing::FloatNear, ::testing::HasSubstr;
using ::testing::IsSupersetOf, ::testing::Pair, ::testing::SizeIs, ::testing::StartsWith;

namespace {
struct Target : Ref {};

class SchedulerTest : public ::testing::Test {
  protected:
    void TearDown() override { Scheduler::purgeSharedScheduler(); }
    Scheduler* scheduler() { return Scheduler::sharedScheduler(); }
    RefPtr<Timer> timer(const char* name, float interval = 0) {
        auto record = [this, name](float dt) { calls.push_back({name, dt}); };
        return Timer::timerWithTarget(target, name, record, interval);
    }
    RefPtr<Target> target = makeRef<Target>();
    std::vector<std::pair<std::string, float>> calls;
};
} // namespace

TEST_F(SchedulerTest, ChangesDuringATickWaitForTheNextTick) {
    auto late = timer("late");
    RefPtr<Timer> victim = timer("victim");
    bool first = true;
    auto starter = Timer::timerWithTarget(target, "starter", [&](float) {
        calls.push_back({"starter", 0});
        if (std::exchange(first, false)) {
            scheduler()->scheduleTimer(late);
            scheduler()->unscheduleTimer(victim);
        }
    });
    scheduler()->scheduleTimer(starter);
    scheduler()->scheduleTimer(victim);
    scheduler()->tick(0.1f);
    // The victim, later in the list, still fires this tick; the new timer does not.
    EXPECT_EQ(calls, (decltype(calls){{"starter", 0}, {"victim", 0.1f}}));
    calls.clear();
    scheduler()->tick(0.1f);
    EXPECT_EQ(calls, (decltype(calls){{"starter", 0}, {"late", 0.1f}}));
}

TEST_F(SchedulerTest, MisuseRaisesNamedExceptions) {
    LogRecorder lines;
    auto t = timer("t");
    scheduler()->scheduleTimer(t);
    EXPECT_THAT(
        [&] { scheduler()->scheduleTimer(t); },
        Fails<NamedException>("SchedulerTimerAlreadyScheduled: Scheduler.scheduleTimer already scheduled"));
    EXPECT_THAT([&] { scheduler()->unscheduleTimer(timer("stranger")); },
                Fails<NamedException>("SchedulerTimerNotFound: Scheduler.unscheduleTimer not found"));
    EXPECT_THAT(lines, ElementsAre(AllOf(StartsWith("Scheduler.schedulerTimer: timer <Timer = "),
                                         HasSubstr("already scheduled")),
                                   "Scheduler.unscheduleTimer: timer not scheduled"));

    EXPECT_THAT([&] { makeRef<Timer>()->init(); },
                Fails<NamedException>("TimerInvalid: Invalid init for Timer. Use initWithTarget:sel:"));
    EXPECT_THROW(Scheduler(), AssertionFailure) << "a second scheduler";
}

TEST_F(SchedulerTest, IntervalsAccumulateRestartFromZeroAndOutliveTheirScheduler) {
    auto t = timer("t", 0.5f);
    scheduler()->scheduleTimer(t);
    for (int i = 0; i < 6; ++i)
        scheduler()->tick(0.2f);
    // Fires at the third tick with everything accumulated, then drifts: again at the sixth.
    EXPECT_THAT(calls, AllOf(SizeIs(2), Each(Pair("t", FloatNear(0.6f, 1e-6)))));

    // Outliving its scheduler, it can be scheduled in a fresh one: not "already scheduled".
    Scheduler::purgeSharedScheduler();
    scheduler()->scheduleTimer(t);
    scheduler()->tick(0.5f);
    EXPECT_EQ(calls.size(), 3u);
}

TEST_F(SchedulerTest, ScheduledTargetsStayAliveOnlyWhileScheduled) {
    WeakPtr<Target> watch(target.get());
    auto t = scheduler()->scheduleTarget(
        target, "t", [](float) {}, 0.25f);
    target = nullptr;
    EXPECT_TRUE(watch);
    scheduler()->tick(0.1f);
    scheduler()->unscheduleTimer(t);
    scheduler()->tick(0.1f);
    EXPECT_FALSE(watch) << "a timer the caller keeps does not keep its target";
    EXPECT_EQ(t->target(), nullptr);
    scheduler()->scheduleTimer(t);
    scheduler()->tick(1); // firing a timer whose target is gone calls nothing
}

// Timers fire in the order they were scheduled (b, scheduled again, after c).
TEST_F(SchedulerTest, CancelledAdditionsKeepTheOrderOfTheRest) {
    auto a = timer("a"), b = timer("b"), c = timer("c");
    scheduler()->scheduleTimer(a);
    scheduler()->scheduleTimer(b);
    scheduler()->scheduleTimer(c);
    scheduler()->unscheduleTimer(b);
    scheduler()->scheduleTimer(b); // back, now after c
    scheduler()->unscheduleTimer(a);
    scheduler()->tick(0.1f);
    EXPECT_EQ(calls, (decltype(calls){{"c", 0.1f}, {"b", 0.1f}}));
    EXPECT_TRUE(scheduler()->methodsToAdd().empty());

    // Removals in one frame, in any order, a repeated one included.
    calls.clear();
    scheduler()->unscheduleTimer(c);
    scheduler()->unscheduleTimer(b);
    scheduler()->unscheduleTimer(c);
    scheduler()->scheduleTimer(b); // cancels b's removal only
    scheduler()->tick(0.1f);
    EXPECT_EQ(calls, (decltype(calls){{"b", 0.1f}}));
    EXPECT_THROW(scheduler()->unscheduleTimer(c), NamedException) << "c is gone";
}

using SchedulerWalkTest = EngineTest;

namespace {
// Names of the probes updated in `journal`, in order.
std::vector<std::string> updated(const Journal& journal) {
    std::vector<std::string> names;
    for (auto& line : journal)
        if (auto at = line.find(" update"); at != std::string::npos) names.push_back(line.substr(0, at));
    return names;
}
} // namespace

// The tick walks the action steps on plain pointers: whatever an action drops
// during a tick must stay reachable until the walk is past it, and nothing of
// it may be stepped from then on. Only nodes own their actions here, and only
// the scene owns the nodes.
TEST_F(SchedulerWalkTest, NodesAndActionsDroppedDuringATick) {
    Journal journal;
    RefPtr<Scene> scene = Scene::node();
    std::vector<CocosNode*> nodes;
    std::vector<Probe*> probes;
    std::vector<WeakPtr<CocosNode>> alive;
    for (int i = 0; i < 12; ++i) {
        RefPtr<CocosNode> node = CocosNode::node();
        RefPtr<Probe> probe = Probe::probe(&journal, "n" + std::to_string(i), 100);
        node->runAction(probe);
        scene->add(node);
        nodes.push_back(node.get());
        probes.push_back(probe.get());
        alive.emplace_back(node.get());
    }
    nodes[5]->runAction(Probe::probe(&journal, "n5b", 100));
    runScene(scene);
    stepFrames(2);
    journal.clear();
    probes[0]->onUpdate = [&] {
        for (int i = 8; i < 12; ++i)
            scene->removeAndStop(nodes[i]); // later nodes, gone with their actions
        nodes[2]->stopAction(probes[2]);    // a later node's action
    };
    // Both live on until their step is over.
    probes[5]->onUpdate = [&] {
        nodes[5]->cleanup(); // its own node, and with it itself
        journal.push_back(probes[5]->name() + " after cleanup");
    };
    probes[6]->onUpdate = [&] {
        scene->removeAndStop(nodes[6]); // its own node's last owner
        journal.push_back(probes[6]->name() + " after removal, actions " +
                          std::to_string(nodes[6]->numberOfRunningActions()));
    };
    step();
    probes[0]->onUpdate = nullptr;
    EXPECT_EQ(updated(journal), (std::vector<std::string>{"n0", "n1", "n3", "n4", "n5", "n6", "n7"}));
    EXPECT_THAT(journal, IsSupersetOf({"n5 after cleanup", "n6 after removal, actions 0"}));
    journal.clear();
    step();
    EXPECT_EQ(updated(journal), (std::vector<std::string>{"n0", "n1", "n3", "n4", "n7"}));
    for (int i = 0; i < 12; ++i)
        EXPECT_EQ(static_cast<bool>(alive[i]), i < 6 || i == 7) << "node " << i;
    EXPECT_EQ(nodes[2]->numberOfRunningActions(), 0);
    EXPECT_EQ(nodes[5]->numberOfRunningActions(), 0);
}
