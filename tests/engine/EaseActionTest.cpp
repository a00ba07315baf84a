// Ease and rate wrappers: the time their inner action receives at the
// points where the curves are known, their reverses, and Speed.

#include "ActionTestSupport.h"

#include "engine/EaseAction.h"

#include <functional>
#include <typeinfo>

namespace {
using Wrap = std::function<RefPtr<TimedAction>(TimedAction*)>;

struct CurvePoint {
    const char* name;
    Wrap wrap;
    float t;
    float expected;
};

template <class T> Wrap plain() {
    return [](TimedAction* a) { return T::actionWithAction(a); };
}
template <class T> Wrap rated(float rate) {
    return [rate](TimedAction* a) { return T::actionWithAction(a, rate); };
}
} // namespace

TEST_F(ActionTest, EaseCurvesGiveTheirInnerActionTheKnownTimes) {
    const CurvePoint points[] = {
        {"EaseIn 2", rated<EaseIn>(2), 0.5f, 0.25f},
        {"EaseOut 2", rated<EaseOut>(2), 0.25f, 0.5f},
        {"EaseInOut 2", rated<EaseInOut>(2), 0.25f, 0.125f},
        {"EaseInOut 2", rated<EaseInOut>(2), 0.75f, 0.875f},
        {"EaseInOut 3", rated<EaseInOut>(3), 0.75f, 0.9375f},
        {"EaseInOut 3", rated<EaseInOut>(3), 1, 1},
        {"EaseInOut 2.5", rated<EaseInOut>(2.5f), 0.75f, 0.9116117f},
        {"EaseExponentialIn", plain<EaseExponentialIn>(), 0, 0},
        {"EaseExponentialIn", plain<EaseExponentialIn>(), 1, 0.999f},
        {"EaseExponentialOut", plain<EaseExponentialOut>(), 0, 0},
        {"EaseExponentialOut", plain<EaseExponentialOut>(), 1, 1},
        {"EaseExponentialInOut", plain<EaseExponentialInOut>(), 0, 0.00048828125f},
        {"EaseExponentialInOut", plain<EaseExponentialInOut>(), 1, 0.99951171875f},
        {"EaseSineIn", plain<EaseSineIn>(), 0.5f, 0.29289323f},
        {"EaseSineOut", plain<EaseSineOut>(), 0.5f, 0.70710677f},
        {"EaseSineInOut", plain<EaseSineInOut>(), 0.5f, 0.5f},
        {"AccelDeccel", plain<AccelDeccel>(), 0, 0.0024726f},
        {"AccelDeccel", plain<AccelDeccel>(), 0.5f, 0.5f},
        {"AccelDeccel", plain<AccelDeccel>(), 1, 0.9975274f},
        {"Accelerate 3", rated<Accelerate>(3), 0.5f, 0.125f},
        {"EaseAction", plain<EaseAction>(), 0.75f, 0.75f},
    };
    for (const CurvePoint& p : points) {
        SCOPED_TRACE(platform::ccFormat("%s at t = %g", p.name, p.t));
        RefPtr<Probe> inner = probe("P", 1);
        node_->runAction(p.wrap(inner));
        step(p.t);
        EXPECT_NEAR(inner->lastT, p.expected, 1e-6f);
        node_->stopAllActions();
        step(0);
    }
}

TEST_F(ActionTest, EaseReversesPickTheirMirrorCurve) {
    auto move = [] { return MoveBy::actionWithDuration(1, cpv(10, 0)); };
    struct Case {
        RefPtr<TimedAction> action;
        const std::type_info& reversed;
    };
    const Case cases[] = {
        {EaseIn::actionWithAction(move(), 2), typeid(EaseIn)},
        {EaseOut::actionWithAction(move(), 2), typeid(EaseOut)},
        {EaseInOut::actionWithAction(move(), 2), typeid(EaseInOut)},
        {EaseExponentialIn::actionWithAction(move()), typeid(EaseExponentialOut)},
        {EaseExponentialOut::actionWithAction(move()), typeid(EaseExponentialIn)},
        {EaseExponentialInOut::actionWithAction(move()), typeid(EaseExponentialInOut)},
        {EaseSineIn::actionWithAction(move()), typeid(EaseSineOut)},
        {EaseSineOut::actionWithAction(move()), typeid(EaseSineIn)},
        {EaseSineInOut::actionWithAction(move()), typeid(EaseSineInOut)},
        {AccelDeccel::actionWithAction(move()), typeid(AccelDeccel)},
    };
    const auto type = [](const Action& a) -> const std::type_info& { return typeid(a); };
    for (const Case& c : cases)
        EXPECT_EQ(type(*c.action->reverse()), c.reversed) << type(*c.action).name();
    EXPECT_EQ(as<EaseOut>(EaseOut::actionWithAction(move(), 2)->reverse())->rate(), 0.5f);
    EXPECT_EQ(as<EaseInOut>(EaseInOut::actionWithAction(move(), 3)->reverse())->rate(), 3);

    // Reversed, the move runs back to where it began.
    runToEnd(EaseIn::actionWithAction(move(), 2), 0.25f);
    runToEnd(EaseIn::actionWithAction(move(), 2)->reverse(), 0.25f);
    EXPECT_FLOAT_EQ(node_->position().x, 0);

    // A wrapper never stops its inner action.
    runToEnd(EaseSineOut::actionWithAction(probe("P", 1)), 0.5f);
    EXPECT_EQ(journal_, (Journal{"P start", "P update 0.707107", "P update 1"}));
}

TEST_F(ActionTest, SpeedChangesOnlyTheDuration) {
    RefPtr<Probe> inner = probe("P", 2);
    RefPtr<Speed> fast = Speed::actionWithAction(inner, 2);
    node_->runAction(fast);
    step(0.5f);
    EXPECT_EQ(inner->lastT, 0.5f);
    step(0.5f);
    EXPECT_TRUE(fast->isDone());
    EXPECT_EQ(inner->lastT, 1);

    fast->setSpeed(4);
    EXPECT_EQ(fast->duration(), 1);

    // Speed 0 holds the inner action at its start for ever.
    RefPtr<Probe> held = probe("H", 1);
    node_->runAction(Speed::actionWithAction(held, 0));
    stepFrames(10, 0.5f);
    EXPECT_EQ(held->lastT, 0);
    EXPECT_EQ(node_->numberOfRunningActions(), 1);
    // A zero-length inner action stays zero-length.
    EXPECT_EQ(Speed::actionWithAction(DelayTime::actionWithDuration(0), 0)->duration(), 0);

    EXPECT_THROW(Speed::actionWithAction(nullptr, 1), AssertionFailure);
}
