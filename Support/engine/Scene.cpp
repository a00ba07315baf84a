#include "engine/Scene.h"

#include "engine/Director.h"

RefPtr<Scene> Scene::node() {
    return nodeOf<Scene>();
}

bool Scene::init() {
    if (!CocosNode::init()) return false;
    ccSize s = Director::sharedDirector()->winSize();
    setRelativeTransformAnchor(false);
    setTransformAnchor(cpv(s.width / 2, s.height / 2));
    return true;
}
