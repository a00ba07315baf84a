#include "GameFixture.h"

#include "engine/TextureMgr.h"

#include <cmath>

void GameFixture::SetUp() {
    EngineTest::SetUp();
    registerGameTransitions();
}

void GameFixture::wait(float seconds) {
    int frames = static_cast<int>(std::ceil(seconds * 60 - 1e-4f));
    stepFrames(frames);
}

void GameFixture::tap(cpVect screen) {
    touchDown(viewPoint(screen));
    step();
    touchUp(viewPoint(screen));
    step();
}

void GameFixture::drag(cpVect from, cpVect to, int steps) {
    touchDown(viewPoint(from));
    step();
    for (int k = 1; k <= steps; ++k) {
        float f = static_cast<float>(k) / static_cast<float>(steps);
        touchMove(
            viewPoint(k == steps ? to : cpv(from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f)));
        step();
    }
    touchUp(viewPoint(to));
    step();
}

Layer* GameFixture::shownLayer() const {
    Scene* scene = director()->runningScene();
    if (!scene || scene->children().empty()) return nullptr;
    auto* screen = dynamic_cast<MultiplexLayer*>(scene->children()[0].get());
    if (!screen || screen->children().empty()) return nullptr;
    return dynamic_cast<Layer*>(screen->children()[0].get());
}

GameLayer* GameFixture::playLevel(int levelIndex) {
    progress::setCurrentLevel(levelIndex);
    if (!director()->runningScene())
        runScene(newPlayScreen());
    else
        director()->pushScene(newPlayScreen());
    step();
    tap(cpv(160, 200)); // "Continue"
    wait(1.0f);         // the sticks fly to their places
    return shown<GameLayer>();
}

std::string GameFixture::textOf(Label* label) {
    return label ? label->string() : std::string();
}

bool GameFixture::shows(Sprite* sprite, const std::string& picture) {
    return sprite && sprite->texture() &&
           sprite->texture() == TextureMgr::sharedTextureMgr()->addImage(picture);
}

MenuItemFont* GameFixture::findItem(CocosNode* root, const std::string& text) {
    if (!root) return nullptr;
    if (auto* item = dynamic_cast<MenuItemFont*>(root);
        item && item->label() && item->label()->string() == text)
        return item;
    for (auto& child : root->children())
        if (MenuItemFont* found = findItem(child, text)) return found;
    return nullptr;
}
