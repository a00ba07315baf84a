// Timers and the scheduler's deferred lists.

#include "support/EngineTest.h"

#include "engine/Errors.h"
#include "engine/Scheduler.h"
#include "platform/Log.h"

namespace {
struct Target : Ref {};

class SchedulerTest : public ::testing::Test {
  protected:
    void TearDown() override { Scheduler::purgeSharedScheduler(); }
    Scheduler* scheduler() { return Scheduler::sharedScheduler(); }
    RefPtr<Timer> timer(const char* name, float interval = 0) {
        return Timer::timerWithTarget(
            target, name,
            [this, name](float dt) {
                calls.push_back({name, dt});
            },
            interval);
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
    std::vector<std::string> lines;
    platform::setLogSink([&](std::string_view l) { lines.emplace_back(l); });
    auto t = timer("t");
    scheduler()->scheduleTimer(t);
    EXPECT_THAT(
        [&] { scheduler()->scheduleTimer(t); },
        Fails<NamedException>("SchedulerTimerAlreadyScheduled: Scheduler.scheduleTimer already scheduled"));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].rfind("Scheduler.schedulerTimer: timer <Timer = ", 0), 0u) << lines[0];
    EXPECT_NE(lines[0].find("already scheduled"), std::string::npos);

    EXPECT_THAT([&] { scheduler()->unscheduleTimer(timer("stranger")); },
                Fails<NamedException>("SchedulerTimerNotFound: Scheduler.unscheduleTimer not found"));
    EXPECT_EQ(lines.back(), "Scheduler.unscheduleTimer: timer not scheduled");
    platform::setLogSink(nullptr);

    EXPECT_THAT([&] { makeRef<Timer>()->init(); },
                Fails<NamedException>("TimerInvalid: Invalid init for Timer. Use initWithTarget:sel:"));
    EXPECT_THROW(Scheduler(), AssertionFailure) << "a second scheduler";
}

TEST_F(SchedulerTest, IntervalsAccumulateAndRestartFromZero) {
    auto t = timer("t", 0.5f);
    scheduler()->scheduleTimer(t);
    for (int i = 0; i < 6; ++i)
        scheduler()->tick(0.2f);
    // Fires at the third tick with everything accumulated, then drifts: again at the sixth.
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_NEAR(calls[0].second, 0.6f, 1e-6);
    EXPECT_NEAR(calls[1].second, 0.6f, 1e-6);
}

TEST_F(SchedulerTest, ScheduledTargetsStayAliveOnlyWhileScheduled) {
    WeakPtr<Target> watch(target.get());
    auto t = scheduler()->scheduleTarget(
        target, "t", [](float) {}, 0.25f);
    EXPECT_EQ(t->interval(), 0.25f);
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

TEST_F(SchedulerTest, ATimerOutlivingItsSchedulerCanBeScheduledAgain) {
    auto t = timer("t");
    scheduler()->scheduleTimer(t);
    scheduler()->tick(0.1f);
    Scheduler::purgeSharedScheduler();
    scheduler()->scheduleTimer(t); // a fresh scheduler: not "already scheduled"
    scheduler()->tick(0.1f);
    EXPECT_EQ(calls.size(), 2u);
}
