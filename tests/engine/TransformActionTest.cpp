// Transform and fade actions on nodes of a running scene, with the values their single-precision
// arithmetic gives.

#include "ActionTestSupport.h"

#include "engine/Layer.h"

TEST_F(ActionTest, RotateToTurnsTheShorterWayWithOneCorrection) {
    struct Case {
        float from, to, turn;
    };
    for (Case c : {Case{350, 10, 20}, Case{0, 180, 180}, Case{0, -180, -180}, Case{10, 720, 350},
                   Case{720, 0, -360}}) {
        SCOPED_TRACE(platform::ccFormat("from %g to %g", c.from, c.to));
        node_->setRotation(c.from);
        node_->runAction(RotateTo::actionWithDuration(1, c.to));
        step(0.5f);
        EXPECT_FLOAT_EQ(node_->rotation(), c.from + c.turn / 2);
        step(0.5f);
        EXPECT_FLOAT_EQ(node_->rotation(), c.from + c.turn);
        step(0.5f);
    }
    auto reversed = as<RotateBy>(RotateBy::actionWithDuration(1, 90)->reverse());
    ASSERT_NE(reversed, nullptr);
    node_->setRotation(0);
    runToEnd(reversed, 0.5f);
    EXPECT_EQ(node_->rotation(), -90);
}

// A jump hops over its way; a JumpTo's destination stays as given: the same object run again, or
// copied after a start, still lands there.
TEST_F(ActionTest, JumpsHopOverTheirWayAndLandOnTheirDestination) {
    node_->runAction(JumpBy::actionWithDuration(1, cpv(100, 0), 50, 2));
    step(0.25f);
    EXPECT_EQ(node_->position(), cpv(25, 50));
    stepFrames(3, 0.25f);
    EXPECT_FLOAT_EQ(node_->position().x, 100);
    EXPECT_NEAR(node_->position().y, 0, 1e-4);

    RefPtr<JumpTo> jump = JumpTo::actionWithDuration(1, cpv(100, 40), 10, 1);
    runToEnd(jump, 0.5f);
    EXPECT_EQ(node_->position(), cpv(100, 40));
    node_->setPosition(cpv(-50, 0));
    runToEnd(jump, 0.5f);
    EXPECT_EQ(node_->position(), cpv(100, 40));
    node_->setPosition(cpv(7, 7));
    runToEnd(copyOf(jump.get()), 0.5f);
    EXPECT_EQ(node_->position(), cpv(100, 40));
    EXPECT_THROW(jump->reverse(), NamedException);
}

TEST_F(ActionTest, ScalesKeepTheirAxesApart) {
    node_->setScaleX(2);
    node_->setScaleY(3);
    node_->runAction(ScaleTo::actionWithDuration(1, 4));
    step(0.5f);
    EXPECT_EQ(node_->scaleX(), 3);
    EXPECT_EQ(node_->scaleY(), 3.5f);
    node_->stopAllActions();
    step(0);

    node_->setScale(1.5f);
    RefPtr<ScaleBy> twice = ScaleBy::actionWithDuration(1, 2);
    runToEnd(twice, 0.25f);
    EXPECT_EQ(node_->scale(), 3);
    runToEnd(twice->reverse(), 0.25f);
    EXPECT_EQ(node_->scale(), 1.5f);
}

TEST_F(ActionTest, BlinkAtItsEndFollowsTheSinglePrecisionRemainder) {
    std::vector<bool> visible; // after 1 to 8 blinks
    for (int32_t times = 1; times <= 8; ++times) {
        node_->setVisible(true);
        node_->runAction(Blink::actionWithDuration(1, times));
        step(1);
        step(1);
        visible.push_back(node_->visible());
    }
    EXPECT_EQ(visible, (std::vector<bool>{false, false, true, false, true, true, true, false}));
    node_->runAction(Blink::actionWithDuration(1, 0));
    for (int i = 0; i < 4; ++i) {
        node_->setVisible(true);
        step(0.25f);
        EXPECT_FALSE(node_->visible());
    }
}

TEST_F(ActionTest, FadesTruncateTheirOpacity) {
    RefPtr<ColorLayer> layer = ColorLayer::layerWithColor(0x00ff0000);
    scene_->add(layer);
    auto opacityAfter = [&](RefPtr<TimedAction> fade, uint8_t from, float seconds) {
        layer->setOpacity(from);
        layer->runAction(fade);
        step(seconds);
        int opacity = layer->opacity();
        layer->stopAllActions();
        step(0);
        return opacity;
    };
    EXPECT_EQ(opacityAfter(FadeIn::actionWithDuration(1), 0, 0.5f), 127);
    EXPECT_EQ(opacityAfter(FadeIn::actionWithDuration(1), 0, 1), 255);
    EXPECT_EQ(opacityAfter(FadeOut::actionWithDuration(1), 255, 1), 0);
    EXPECT_EQ(opacityAfter(FadeTo::actionWithDuration(1, 0), 255, 0.5f), 127);
    EXPECT_EQ(opacityAfter(FadeTo::actionWithDuration(1, 255), 0, 0.999f), 254);
    // FadeIn and FadeOut do not read the present opacity.
    EXPECT_EQ(opacityAfter(FadeOut::actionWithDuration(1), 10, 0.5f), 127);
    EXPECT_NE(as<FadeIn>(FadeOut::actionWithDuration(1)->reverse()), nullptr);
    EXPECT_THROW(FadeTo::actionWithDuration(1, 0)->reverse(), NamedException);

    // A node without an opacity is named in the log and left alone.
    runToEnd(FadeIn::actionWithDuration(1), 0.5f);
    EXPECT_TRUE(logged("FadeIn: the target node has no opacity; nothing will fade"));
}
