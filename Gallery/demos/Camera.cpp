// The orbit camera swings a node's eye around it on a sphere, turning its
// picture in 3-D; the node's own position, scale and rotation stay as they are.

#include "Demos.h"

#include "engine/Action.h"
#include "engine/CameraAction.h"
#include "engine/IntervalAction.h"
#include "engine/Label.h"
#include "engine/Sprite.h"

namespace {
RefPtr<Sprite> picture(const std::string& file, cpVect position, const std::string& text, Layer* layer) {
    RefPtr<Sprite> sprite = Sprite::spriteWithFile(file);
    sprite->setPosition(position);
    layer->add(sprite);
    RefPtr<Label> label = Label::labelWithString(text, "Helvetica", 12);
    label->setPosition(cpv(position.x, position.y - 70));
    layer->add(label);
    return sprite;
}
} // namespace

RefPtr<Layer> orbitCameraDemo() {
    RefPtr<Layer> layer = ColorLayer::layerWithColor(0x302040ff);
    // A full turn about the vertical axis: the azimuth goes round, the zenith stays at 90 degrees.
    RefPtr<Sprite> spin = picture("level1.png", cpv(90, 320), "azimuth 0 -> 360", layer.get());
    spin->runAction(
        RepeatForever::actionWithAction(OrbitCamera::actionWithDuration(2, 1, 0, 0, 360, 0, 0).get()).get());
    // Tipping over the horizontal axis: the zenith goes round instead.
    RefPtr<Sprite> tip = picture("level2.png", cpv(230, 320), "zenith 0 -> 360", layer.get());
    tip->runAction(
        RepeatForever::actionWithAction(OrbitCamera::actionWithDuration(2, 1, 0, 0, 360, 90, 0).get()).get());
    // Moving away and back: the radius grows to three eye distances, then returns.
    RefPtr<Sprite> away = picture("level3.png", cpv(160, 150), "radius 1 -> 3 and back", layer.get());
    RefPtr<OrbitCamera> out = OrbitCamera::actionWithDuration(1, 1, 2, 0, 45, 0, 0);
    away->runAction(
        RepeatForever::actionWithAction(Sequence::actions({out.get(), out->reverse().get()}).get()));
    return layer;
}
