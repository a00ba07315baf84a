#pragma once
// A scene of nodes over a full-screen colour, for the tests that look at a frame.

#include "engine/Layer.h"
#include "engine/Scene.h"

#include <initializer_list>

inline RefPtr<Scene> sceneOf(uint32_t background, std::initializer_list<CocosNode*> nodes) {
    RefPtr<Scene> scene = Scene::node();
    scene->add(ColorLayer::layerWithColor(background), -1);
    for (CocosNode* n : nodes)
        scene->add(n);
    return scene;
}
