// A regression guard for the engine's own memory: scenes replaced, pushed and
// popped over and over leave nothing behind. Every round ends with the same
// counts of live nodes, actions, timers, textures and GL names as the first.

#include "engine/Grid3DAction.h"
#include "engine/IntervalAction.h"
#include "engine/Label.h"
#include "engine/Menu.h"
#include "engine/MenuItem.h"
#include "engine/ParticleSystems.h"
#include "engine/Scene.h"
#include "engine/Scheduler.h"
#include "engine/Sprite.h"
#include "engine/TextureMgr.h"
#include "engine/Transition.h"
#include "support/EngineTest.h"

namespace {

struct Counts {
    long nodes, actions, timers, textures, cachedTextures, glNames;
    friend bool operator==(const Counts&, const Counts&) = default;
};

std::ostream& operator<<(std::ostream& out, const Counts& c) {
    return out << "nodes " << c.nodes << ", actions " << c.actions << ", timers " << c.timers << ", textures "
               << c.textures << " (cached " << c.cachedTextures << "), GL texture names " << c.glNames;
}

// GL names are small integers handed out from 1; a name in use answers glIsTexture.
long liveTextureNames() {
    long n = 0;
    for (GLuint name = 1; name < 4096; ++name)
        n += glIsTexture(name) ? 1 : 0;
    return n;
}

Counts counts() {
    return {LiveCount<CocosNode>::live(),
            LiveCount<Action>::live(),
            LiveCount<Timer>::live(),
            LiveCount<Texture2D>::live(),
            static_cast<long>(TextureMgr::sharedTextureMgr()->textures().size()),
            liveTextureNames()};
}

// A screen with a bit of everything that holds memory: cached and own
// textures, running and repeating actions, a node's own timer, a menu, a
// particle system and a grid effect.
RefPtr<Scene> busyScene(int round) {
    RefPtr<Scene> scene = Scene::node();
    RefPtr<Sprite> sprite = Sprite::spriteWithFile("stick.png");
    sprite->setPosition(cpv(100, 100));
    sprite->runAction(RepeatForever::actionWithAction(RotateBy::actionWithDuration(1, 90)));
    scene->add(sprite);
    RefPtr<Label> label = Label::labelWithString("Round " + std::to_string(round), "Marker Felt", 24);
    label->setPosition(cpv(160, 400));
    label->schedule("tick", [](float) {});
    scene->add(label);
    RefPtr<MenuItemFont> item = MenuItemFont::itemFromString("Next", [](Ref*) {});
    scene->add(Menu::menuWithItems({item}));
    RefPtr<ParticleSystem> smoke = ParticleSmoke::node();
    scene->add(smoke);
    RefPtr<Layer> waving = Layer::node();
    waving->runAction(Waves3D::actionWithWaves(2, 10, ccGridSize{4, 6}, 1));
    scene->add(waving);
    return scene;
}

class MemoryTest : public EngineTest {};

} // namespace

TEST_F(MemoryTest, ScenesReplacedPushedAndPoppedLeaveNothingBehind) {
    runScene(busyScene(0));
    stepFrames(3);
    director()->replaceScene(busyScene(1));
    stepFrames(3);
    const Counts level = counts(); // one busy scene running, the cache warm
    ASSERT_GT(level.nodes, 0);

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
