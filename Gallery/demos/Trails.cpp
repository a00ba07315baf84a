// Trails: a motion streak leaves a fading ribbon behind a moving node; a
// ribbon is the strip itself, drawn through points given one by one, each
// with its own width.

#include "Demos.h"

#include "engine/Label.h"
#include "engine/MotionStreak.h"
#include "engine/Ribbon.h"
#include "engine/Sprite.h"

#include <cmath>

namespace {
RefPtr<Label> caption(const std::string& text) {
    RefPtr<Label> label = Label::labelWithString(text, "Helvetica", 14);
    label->setPosition(cpv(160, 405));
    return label;
}

// A figure of eight around the middle of the screen, `t` seconds along.
cpVect figureOfEight(float t) {
    return cpv(160 + 110 * std::sin(1.7f * t), 240 + 120 * std::sin(3.4f * t));
}
} // namespace

RefPtr<Layer> motionStreakDemo() {
    RefPtr<Layer> layer = ColorLayer::layerWithColor(0x181028ff);
    // A button with a streak at its centre: the streak records where it has been.
    RefPtr<Sprite> head = Sprite::spriteWithFile("kochak.png");
    head->setScale(0.5f);
    RefPtr<MotionStreak> streak = MotionStreak::streakWithFade(1.2f, 3, "streak.png", 24, 32, 0xffa020ff);
    if (!streak) return layer;
    streak->setPosition(figureOfEight(0));
    head->setPosition(streak->position());
    layer->add(streak);
    layer->add(head);

    // Until a finger comes down the streak flies a figure of eight; then it follows the finger.
    MotionStreak* trail = streak.get(); // the layer keeps both
    Sprite* button = head.get();
    auto touched = std::make_shared<bool>(false);
    float t = 0;
    layer->schedule("fly", [trail, button, touched, t](float dt) mutable {
        if (*touched) return;
        t += dt;
        trail->setPosition(figureOfEight(t));
        button->setPosition(trail->position());
    });
    layer->add(FingerLayer::layerWithCall([trail, button, touched](cpVect where, bool) {
        *touched = true;
        trail->setPosition(where);
        button->setPosition(where);
    }));
    layer->add(caption("drag a finger: the streak follows"));
    return layer;
}

RefPtr<Layer> ribbonDemo() {
    RefPtr<Layer> layer = ColorLayer::layerWithColor(0x102020ff);
    // Points along a wave that travels up the screen, the width swelling and thinning; each fades in 2 s.
    RefPtr<Ribbon> ribbon = Ribbon::ribbonWithWidth(30, "streak.png", 64, 0x40e0a0ff, 2);
    if (!ribbon) return layer;
    layer->add(ribbon);
    Ribbon* strip = ribbon.get(); // the layer keeps it
    float t = 0;
    layer->schedule("draw", [strip, t](float dt) mutable {
        t += dt;
        float y = 80 + 60 * t;
        cpVect point = cpv(160 + 100 * std::sin(2.5f * t), y);
        strip->addPointAt(point, 16 + 14 * std::sin(5 * t));
        strip->update(dt);
    });
    layer->add(caption("points with their own widths, fading"));
    return layer;
}
