#include "Demos.h"

#include "engine/Director.h"

RefPtr<FingerLayer> FingerLayer::layerWithCall(FingerCall call) {
    RefPtr<FingerLayer> layer = nodeOf<FingerLayer>();
    if (!layer) return nullptr;
    layer->call_ = std::move(call);
    layer->setIsTouchEnabled(true);
    return layer;
}

bool FingerLayer::follow(TouchSet& touches, bool down) {
    Touch* touch = touches.anyObject();
    if (!touch || !call_) return false;
    // The view's points (origin top left) turned into the scene's (origin bottom left).
    call_(Director::sharedDirector()->convertCoordinate(touch->locationInView(touch->view())), down);
    return true;
}
