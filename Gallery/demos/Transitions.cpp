// Transitions: the running scene hands over to the next one with a
// choreography. Here a blue page "A" becomes an orange page "B".

#include "Demos.h"
#include "Gallery.h"

#include "engine/Director.h"
#include "engine/InstantAction.h"
#include "engine/IntervalAction.h"
#include "engine/Label.h"
#include "engine/Sprite.h"
#include "engine/Transition.h"

namespace {
// A page that reads at a glance: a colour, a big letter, a picture and a line of text.
RefPtr<Layer> page(uint32_t color, const std::string& letter, const std::string& text) {
    RefPtr<ColorLayer> layer = ColorLayer::layerWithColor(color);
    RefPtr<Label> big = Label::labelWithString(letter, "Helvetica-Bold", 180);
    big->setPosition(cpv(160, 270));
    layer->add(big);
    RefPtr<Label> line = Label::labelWithString(text, "Helvetica", 22);
    line->setPosition(cpv(160, 130));
    layer->add(line);
    for (int i = 0; i < 3; ++i) {
        RefPtr<Sprite> button = Sprite::spriteWithFile("kochak.png");
        button->setPosition(cpv(100 + 60 * i, 85));
        layer->add(button);
    }
    return layer;
}
} // namespace

RefPtr<Layer> transitionDemo(const std::string& className) {
    RefPtr<Layer> first = page(0x2a5db0ff, "A", "the first scene");
    RefPtr<Layer> second = page(0xd0682aff, "B", "the second scene");
    // Half a second on the first page, then the transition to a scene with the second.
    auto change = [className, second] {
        RefPtr<Scene> next = demoPage(second.get());
        RefPtr<TransitionScene> transition = TransitionScene::transitionNamed(className, 1.5f, next.get());
        Director::sharedDirector()->replaceScene(transition ? RefPtr<Scene>(transition) : next);
    };
    first->runAction(Sequence::actions({DelayTime::actionWithDuration(0.5f).get(),
                                        CallFunc::actionWithTarget(first.get(), change).get()})
                         .get());
    return first;
}
