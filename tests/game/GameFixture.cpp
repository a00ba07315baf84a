#include "GameFixture.h"

void GameFixture::drag(cpVect from, cpVect to, int steps) {
    touchDown(viewPoint(from));
    step();
    for (int k = 1; k <= steps; ++k) {
        const float f = static_cast<float>(k) / static_cast<float>(steps);
        touchMove(viewPoint(k == steps ? to : cpvadd(from, cpvmult(cpvsub(to, from), f))));
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
    director()->runningScene() ? director()->pushScene(newPlayScreen()) : runScene(newPlayScreen());
    step();
    tap(cpv(160, 200)); // "Continue"
    wait(1.0f);         // the sticks fly to their places
    return shown<GameLayer>();
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
