// A regression guard for the engine's own memory: scenes replaced, pushed and popped over and over
// leave the same counts of live nodes, actions, timers, textures and GL names after every round.

#include "engine/Grid3DAction.h"
#include "engine/IntervalAction.h"
#include "engine/Label.h"
#include "engine/Menu.h"
#include "engine/MenuItem.h"
#include "engine/ParticleSystems.h"
#include "engine/Scheduler.h"
#include "engine/Sprite.h"
#include "engine/TextureMgr.h"
#include "engine/Transition.h"
#include "support/EngineTest.h"

#include <map>

namespace {
std::map<std::string, long> counts() {
    long glNames = 0; // handed out from 1; a name in use answers glIsTexture
    for (GLuint name = 1; name < 4096; ++name)
        glNames += glIsTexture(name) ? 1 : 0;
    return {{"nodes", LiveCount<CocosNode>::live()},
            {"actions", LiveCount<Action>::live()},
            {"timers", LiveCount<Timer>::live()},
            {"textures", LiveCount<Texture2D>::live()},
            {"cached textures", static_cast<long>(TextureMgr::sharedTextureMgr()->textures().size())},
            {"GL texture names", glNames}};
}

// A bit of everything that holds memory: cached and own textures, running and repeating actions, a
// node's own timer, a menu, a particle system and a grid effect.
RefPtr<Scene> busyScene(int round) {
    RefPtr<Scene> scene = Scene::node();
    RefPtr<Sprite> sprite = Sprite::spriteWithFile("stick.png");
    sprite->runAction(RepeatForever::actionWithAction(RotateBy::actionWithDuration(1, 90)));
    scene->add(sprite);
    RefPtr<Label> label = Label::labelWithString("Round " + std::to_string(round), "Marker Felt", 24);
    label->schedule("tick", [](float) {});
    scene->add(label);
    scene->add(Menu::menuWithItems({MenuItemFont::itemFromString("Next", [](Ref*) {})}));
    scene->add(ParticleSmoke::node());
    RefPtr<Layer> waving = Layer::node();
    waving->runAction(Waves3D::actionWithWaves(2, 10, ccGridSize{4, 6}, 1));
    scene->add(waving);
    return scene;
}
} // namespace

using MemoryTest = EngineTest;

TEST_F(MemoryTest, ScenesReplacedPushedAndPoppedLeaveNothingBehind) {
    runScene(busyScene(0));
    stepFrames(3);
    director()->replaceScene(busyScene(1));
    stepFrames(3);
    const auto level = counts(); // one busy scene running, the cache warm
    ASSERT_GT(level.at("nodes"), 0);

    for (int round = 2; round < 300; ++round) {
        if (round % 3 == 0) {
            director()->pushScene(busyScene(round));
            stepFrames(2);
            director()->popScene();
        } else if (round % 20 == 1) {
            director()->replaceScene(FadeTransition::transitionWithDuration(0.05f, busyScene(round)));
            stepFrames(8);
        } else {
            director()->replaceScene(busyScene(round));
        }
        stepFrames(2);
        ASSERT_EQ(counts(), level) << "after round " << round;
    }
}
