// Frame animation: a sprite shows the frames of a named animation one after
// another with Animate.

#include "Demos.h"

#include "engine/Action.h"
#include "engine/IntervalAction.h"
#include "engine/Label.h"
#include "engine/Sprite.h"

RefPtr<Layer> frameAnimationDemo() {
    RefPtr<Layer> layer = ColorLayer::layerWithColor(0x203030ff);

    // Ten matchsticks numbered 1 to 10, a fifth of a second each, over and over.
    RefPtr<Animation> count = Animation::animationWithName(
        "count", 0.2f,
        {"level_stick1.png", "level_stick2.png", "level_stick3.png", "level_stick4.png", "level_stick5.png",
         "level_stick6.png", "level_stick7.png", "level_stick8.png", "level_stick9.png",
         "level_stick10.png"});
    RefPtr<Sprite> stick = Sprite::spriteWithFile("level_stick1.png");
    stick->addAnimation(count.get());
    stick->setScale(2);
    stick->setPosition(cpv(100, 280));
    stick->runAction(RepeatForever::actionWithAction(Animate::actionWithAnimation(count.get()).get()));
    layer->add(stick);

    // Two frames, normal and lit, fast: a blinking stick.
    RefPtr<Animation> flash =
        Animation::animationWithName("flash", 0.15f, {"level_stick5.png", "level_stick5_.png"});
    RefPtr<Sprite> lit = Sprite::spriteWithFile("level_stick5.png");
    lit->setScale(2);
    lit->setPosition(cpv(220, 280));
    lit->runAction(RepeatForever::actionWithAction(Animate::actionWithAnimation(flash.get()).get()));
    layer->add(lit);

    // A frame picked by hand: setDisplayFrame shows frame 7 of "count" and stays there.
    RefPtr<Sprite> seven = Sprite::spriteWithFile("level_stick1.png");
    seven->addAnimation(count.get());
    seven->setDisplayFrame("count", 6);
    seven->setPosition(cpv(160, 130));
    layer->add(seven);

    struct Caption {
        const char* text;
        cpVect position;
    };
    for (const Caption& c : {Caption{"10 frames", cpv(100, 180)}, Caption{"2 frames", cpv(220, 180)},
                             Caption{"setDisplayFrame(\"count\", 6)", cpv(160, 80)}}) {
        RefPtr<Label> label = Label::labelWithString(c.text, "Helvetica", 13);
        label->setPosition(c.position);
        layer->add(label);
    }
    return layer;
}
