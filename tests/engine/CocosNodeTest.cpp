// The node: child order, tags, transforms, the life cycle, and the node side
// of actions and timers.

#include "ActionTestSupport.h"
#include "support/EngineTest.h"
#include "support/Recorder.h"

#include "engine/Errors.h"
#include "platform/GL.h"

#include <array>
#include <cmath>

using NodeTest = EngineTest;

namespace {
std::vector<std::string> names(const CocosNode* parent) {
    std::vector<std::string> out;
    for (auto& c : parent->children())
        out.push_back(static_cast<RecordingNode<>*>(c.get())->name());
    return out;
}

// Where one node's transform, run from the identity, takes the local point (x, y), to 1/1000.
std::pair<float, float> placed(CocosNode* node, float x, float y) {
    std::array<GLfloat, 16> m{};
    glMatrixMode(GL_MODELVIEW);
    glPushMatrix();
    glLoadIdentity();
    node->transform();
    glGetFloatv(GL_MODELVIEW_MATRIX, m.data());
    glPopMatrix();
    auto round = [](float v) { return std::round(v * 1000) / 1000; };
    return {round(m[0] * x + m[4] * y + m[12]), round(m[1] * x + m[5] * y + m[13])};
}
} // namespace

TEST_F(NodeTest, ChildrenAreKeptInZOrderDrawnAroundTheParentAndFoundByTag) {
    auto journal = std::make_shared<Journal>();
    auto parent = RecordingNode<>::make("P", journal);
    const std::pair<const char*, int> kids[] = {{"a", 0}, {"b", -1}, {"c", 0}, {"d", 2}, {"e", -1}};
    for (auto [name, z] : kids)
        parent->add(RecordingNode<>::make(name, journal), z);
    EXPECT_EQ(names(parent), (std::vector<std::string>{"b", "e", "a", "c", "d"}));

    parent->visit();
    EXPECT_EQ(*journal, (Journal{"b.draw", "e.draw", "P.draw", "a.draw", "c.draw", "d.draw"}));

    parent->reorderChild(parent->children()[0], 5); // b moves to the end, keeping tag and parent
    EXPECT_EQ(names(parent), (std::vector<std::string>{"e", "a", "c", "d", "b"}));
    EXPECT_EQ(parent->children().back()->parent(), parent.get());

    journal->clear(); // an invisible node skips its whole subtree
    parent->setVisible(false);
    parent->visit();
    EXPECT_TRUE(journal->empty());

    // Tags find the first child in z order.
    auto tagged = CocosNode::node(), late = CocosNode::node(), early = CocosNode::node();
    tagged->add(late, 3, 7);
    tagged->add(early, 1, 7);
    EXPECT_EQ(tagged->getByTag(7), early.get());
    EXPECT_EQ(tagged->getByTag(8), nullptr);
    tagged->removeByTag(7);
    EXPECT_EQ(tagged->getByTag(7), late.get());
    EXPECT_EQ(early->parent(), nullptr);
    tagged->removeByTag(99); // nobody carries it: nothing happens
    EXPECT_EQ(tagged->children().size(), 1u);
}

TEST_F(NodeTest, PreconditionsAndScaleExceptions) {
    auto node = CocosNode::node();
    const auto never = [](float) {};
    const struct {
        std::function<void()> call;
        std::string message;
    } assertions[] = {
        {[&] { node->add(nullptr); }, "Argument must be non-nil"},
        {[&] { node->reorderChild(nullptr, 1); }, "Child must be non-nil"},
        {[&] { node->getByTag(kInvalidTag); }, "Invalid tag"},
        {[&] { node->removeByTag(kInvalidTag); }, "Invalid tag"},
        {[&] { node->schedule("tick", never, -1); }, "Arguemnt must be positive"},
        {[&] { node->schedule("tick", never, NAN); }, "Arguemnt must be positive"},
    };
    for (const auto& a : assertions)
        EXPECT_THAT(a.call, Fails<AssertionFailure>(a.message));

    node->setScaleX(2);
    EXPECT_THAT([&] { (void)node->scale(); },
                Fails<NamedException>("CocosNode scale:: scaleX is different from scaleY"));
    node->setParallaxRatioX(0.5f);
    EXPECT_THAT(
        [&] { (void)node->parallaxRatio(); },
        Fails<NamedException>("CocosNode parallaxRatio:: parallaxRatioX is different from parallaxRatioY"));
}

TEST_F(NodeTest, TransformPlacesTheAnchorAtThePositionAndParallaxOffsetsIt) {
    auto node = CocosNode::node();
    node->setPosition(cpv(10, 20));
    node->setTransformAnchor(cpv(5, 5));
    const struct {
        bool relative;
        float rotation, scaleX, scaleY, x, y;
        std::pair<float, float> placed;
    } cases[] = {
        {true, 0, 1, 1, 0, 0, {5, 15}}, // the anchor (5, 5) lands on the position
        {false, 0, 1, 1, 0, 0, {10, 20}},
        {true, 90, 1, 1, 5, 5, {10, 20}}, // clockwise on screen about the anchor: +x turns to -y
        {true, 90, 1, 1, 15, 5, {10, 10}},
        {true, 0, 2, 3, 6, 6, {12, 23}}, // scale pivots about the anchor too
    };
    for (const auto& c : cases) {
        node->setRelativeTransformAnchor(c.relative);
        node->setRotation(c.rotation);
        node->setScaleX(c.scaleX);
        node->setScaleY(c.scaleY);
        EXPECT_EQ(placed(node, c.x, c.y), c.placed) << "rotation " << c.rotation << ", scale " << c.scaleX;
    }

    auto parent = CocosNode::node();
    parent->setPosition(cpv(100, 50));
    auto child = CocosNode::node();
    parent->add(child, 0, cpv(0.5f, 2.0f));
    child->setPosition(cpv(10, 10));
    // O = (100*0.5-100, 50*2-50) = (-50, 50); no anchor: origin at P + O.
    EXPECT_EQ(placed(child, 0, 0), std::pair(-40.f, 60.f));
    // With an anchor the offset enters all three translations: A lands at P + 3 O.
    child->setTransformAnchor(cpv(4, 4));
    EXPECT_EQ(placed(child, 4, 4), std::pair(10.f - 150, 10.f + 150));
    // Without a parent there is no parallax.
    auto orphan = CocosNode::node();
    orphan->setParallaxRatio(0.5f);
    orphan->setPosition(cpv(10, 10));
    EXPECT_EQ(placed(orphan, 0, 0), std::pair(10.f, 10.f));
}

TEST_F(NodeTest, EnteringAndLeavingFollowTheTree) {
    auto journal = std::make_shared<Journal>();
    auto root = RecordingNode<>::make("root", journal);
    auto a = RecordingNode<>::make("a", journal);
    root->add(a);
    root->onEnter();
    auto b = RecordingNode<>::make("b", journal);
    root->add(b); // added to a running parent: entered at once
    EXPECT_TRUE(b->isRunning());
    root->removeAndStop(a);
    EXPECT_FALSE(a->isRunning());
    EXPECT_EQ(a->parent(), nullptr);
    root->add(a);
    root->removeAll(); // exits without cleanup
    EXPECT_TRUE(root->children().empty());
    root->add(a);
    root->add(b);
    root->removeAndStopAll(); // every exit, then every cleanup
    EXPECT_EQ(*journal,
              (Journal{"root.enter", "a.enter", "b.enter", "a.exit", "a.cleanup", "a.enter", "b.exit",
                       "a.exit", "a.enter", "b.enter", "a.exit", "b.exit", "a.cleanup", "b.cleanup"}));
}

TEST_F(NodeTest, ActionsStartAtOnceAndStepOnlyWhileRunning) {
    Journal journal;
    auto scene = Scene::node();
    auto node = CocosNode::node();
    auto action = Probe::probe(&journal, "A", 0.75f);
    node->runAction(action);
    EXPECT_EQ(journal, (Journal{"A start"}));
    EXPECT_EQ(action->target(), node.get());
    EXPECT_EQ(node->numberOfRunningActions(), 1);

    runScene(scene);
    step(0.1f);
    EXPECT_EQ(journal.size(), 1u) << "not stepped before the node runs";

    scene->add(node); // between frames: the step timer fires from the next tick on
    step(0.25f);
    step(0.5f);
    EXPECT_EQ(journal, (Journal{"A start", "A update 0.333333", "A update 1", "A stop"}));
    EXPECT_EQ(node->numberOfRunningActions(), 1) << "a finished action leaves at the following tick";
    EXPECT_NE(node->scheduledTimer("step_"), nullptr);
    step(0.1f); // ...which also unschedules the step when no action is left
    EXPECT_EQ(node->numberOfRunningActions(), 0);
    EXPECT_EQ(node->scheduledTimer("step_"), nullptr);
    EXPECT_EQ(journal.size(), 4u) << "stop is sent once";
}

TEST_F(NodeTest, StoppedActionsAreDroppedWithoutStopAndANodeDroppedWithARunningOneIsFreed) {
    Journal journal;
    auto scene = Scene::node();
    RefPtr<CocosNode> node = CocosNode::node();
    scene->add(node);
    runScene(scene);
    step();

    auto pending = Probe::probe(&journal, "P", 100);
    node->runAction(pending);
    node->stopAction(pending); // still waiting to be added: gone at once
    EXPECT_EQ(node->numberOfRunningActions(), 0);

    auto running = Probe::probe(&journal, "R", 100);
    node->runAction(running);
    stepFrames(3);
    node->stopAction(running);
    EXPECT_EQ(node->numberOfRunningActions(), 1) << "counted until the next tick";
    node->stopAction(running); // twice is harmless
    step();
    node->runAction(Probe::probe(&journal, "S", 100));
    step();
    node->stopAllActions();
    step();
    EXPECT_EQ(node->numberOfRunningActions(), 0);
    EXPECT_EQ(journal, (Journal{"P start", "R start", "R update 0.00016666", "R update 0.00033333",
                                "R update 0.0005", "S start", "S update 0.00016667"}))
        << "P is started, never updated; no stop for any";

    WeakPtr<CocosNode> watch(node.get());
    auto action = Probe::probe(&journal, "A", 1000);
    node->runAction(action);
    node->schedule("tick", [](float) {});
    stepFrames(2);
    scene->remove(node);
    node = nullptr;
    EXPECT_TRUE(watch) << "the scheduler holds it until its timers leave";
    step();
    EXPECT_FALSE(watch) << "neither its actions nor its timers keep it alive";
    // The action outlived its node: its target reads empty and stepping it is harmless.
    EXPECT_EQ(action->target(), nullptr);
    action->step(0.25f);
}

TEST_F(NodeTest, TimersFollowTheNodesLifeCycle) {
    auto scene = Scene::node();
    auto node = CocosNode::node();
    std::vector<float> fired;
    node->schedule(
        "tick", [&](float dt) { fired.push_back(dt); }, 0.25f);
    node->schedule(
        "tick", [&](float) { fired.push_back(-1); }, 0); // same name: the first stays
    EXPECT_EQ(node->scheduledTimer("tick")->interval(), 0.25f);
    scene->add(node);
    runScene(scene);
    stepFrames(4, 0.1f); // enters at frame 1, fires from frame 2 on: 0.1, 0.2, 0.3 -> fire
    EXPECT_EQ(fired, std::vector<float>{0.3f});
    scene->remove(node);
    stepFrames(5, 0.1f);
    EXPECT_EQ(fired.size(), 1u) << "a node that left does not tick";
    scene->add(node);
    stepFrames(3, 0.1f);
    EXPECT_EQ(fired.size(), 2u) << "its timer resumes with the time it had";
    node->unschedule("tick");
    node->unschedule("never scheduled");
    stepFrames(5, 0.1f);
    EXPECT_EQ(fired.size(), 2u);
}
