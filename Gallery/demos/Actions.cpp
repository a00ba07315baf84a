// Actions change a node over time; ease curves change how that time flows.

#include "Demos.h"

#include "engine/Action.h"
#include "engine/EaseAction.h"
#include "engine/IntervalAction.h"
#include "engine/Label.h"
#include "engine/Sprite.h"

#include <utility>
#include <vector>

namespace {
RefPtr<Label> caption(const std::string& text, cpVect position, float size = 13) {
    RefPtr<Label> label = Label::labelWithString(text, "Helvetica", size);
    label->setPosition(position);
    return label;
}

// There and back again, for ever.
RefPtr<Action> backAndForth(TimedAction* action) {
    return RepeatForever::actionWithAction(Sequence::actions({action, action->reverse().get()}).get());
}
} // namespace

RefPtr<Layer> actionsDemo() {
    RefPtr<Layer> layer = ColorLayer::layerWithColor(0x20303cff);
    // One action per cell of a 3 x 3 grid, each on its own button.
    std::vector<std::pair<std::string, RefPtr<Action>>> cells = {
        {"MoveBy", backAndForth(MoveBy::actionWithDuration(1, cpv(50, 0)).get())},
        {"JumpBy", RepeatForever::actionWithAction(JumpBy::actionWithDuration(1.5f, cpv(0, 0), 40, 2).get())},
        {"RotateBy", RepeatForever::actionWithAction(RotateBy::actionWithDuration(2, 360).get())},
        {"ScaleTo",
         RepeatForever::actionWithAction(Sequence::actions({ScaleTo::actionWithDuration(1, 1.8f).get(),
                                                            ScaleTo::actionWithDuration(1, 1).get()})
                                             .get())},
        {"Blink", RepeatForever::actionWithAction(Blink::actionWithDuration(2, 5).get())},
        {"FadeOut", backAndForth(FadeOut::actionWithDuration(1).get())},
        {"Sequence", RepeatForever::actionWithAction(
                         Sequence::actions({MoveBy::actionWithDuration(0.5f, cpv(0, 40)).get(),
                                            RotateBy::actionWithDuration(0.5f, 180).get(),
                                            MoveBy::actionWithDuration(0.5f, cpv(0, -40)).get()})
                             .get())},
        {"Spawn", backAndForth(Spawn::actions({MoveBy::actionWithDuration(1, cpv(40, 30)).get(),
                                               RotateBy::actionWithDuration(1, 90).get()})
                                   .get())},
        {"Speed", RepeatForever::actionWithAction(
                      Speed::actionWithAction(RotateBy::actionWithDuration(2, 360).get(), 3).get())},
    };
    for (size_t i = 0; i < cells.size(); ++i) {
        cpVect centre = cpv(60 + 100 * (i % 3), 360 - 120 * (i / 3));
        RefPtr<Sprite> button = Sprite::spriteWithFile("kochak.png");
        button->setPosition(centre);
        layer->add(button);
        button->runAction(cells[i].second.get());
        layer->add(caption(cells[i].first, cpv(centre.x, centre.y - 42)));
    }
    return layer;
}

RefPtr<Layer> easeCurvesDemo() {
    RefPtr<Layer> layer = ColorLayer::layerWithColor(0x1c2a1cff);
    // The same move from left to right, one row per curve: who arrives first, who overshoots the middle.
    using Ease = RefPtr<TimedAction> (*)(TimedAction*);
    std::vector<std::pair<std::string, Ease>> curves = {
        {"linear", [](TimedAction* a) { return RefPtr<TimedAction>(a); }},
        {"EaseIn 3", [](TimedAction* a) { return RefPtr<TimedAction>(EaseIn::actionWithAction(a, 3)); }},
        {"EaseOut 3", [](TimedAction* a) { return RefPtr<TimedAction>(EaseOut::actionWithAction(a, 3)); }},
        {"EaseInOut 3",
         [](TimedAction* a) { return RefPtr<TimedAction>(EaseInOut::actionWithAction(a, 3)); }},
        {"EaseExponentialIn",
         [](TimedAction* a) { return RefPtr<TimedAction>(EaseExponentialIn::actionWithAction(a)); }},
        {"EaseExponentialOut",
         [](TimedAction* a) { return RefPtr<TimedAction>(EaseExponentialOut::actionWithAction(a)); }},
        {"EaseExponentialInOut",
         [](TimedAction* a) { return RefPtr<TimedAction>(EaseExponentialInOut::actionWithAction(a)); }},
        {"EaseSineIn", [](TimedAction* a) { return RefPtr<TimedAction>(EaseSineIn::actionWithAction(a)); }},
        {"EaseSineOut", [](TimedAction* a) { return RefPtr<TimedAction>(EaseSineOut::actionWithAction(a)); }},
        {"EaseSineInOut",
         [](TimedAction* a) { return RefPtr<TimedAction>(EaseSineInOut::actionWithAction(a)); }},
        {"Accelerate 2",
         [](TimedAction* a) { return RefPtr<TimedAction>(Accelerate::actionWithAction(a, 2)); }},
        {"AccelDeccel", [](TimedAction* a) { return RefPtr<TimedAction>(AccelDeccel::actionWithAction(a)); }},
    };
    for (size_t i = 0; i < curves.size(); ++i) {
        float y = 400 - 28 * static_cast<float>(i);
        // The curve's name on the left, its track on the right.
        RefPtr<Label> name = Label::labelWithString(curves[i].first, ccSize{130, 14}, 0, "Helvetica", 11);
        name->setPosition(cpv(72, y));
        layer->add(name);
        RefPtr<Sprite> button = Sprite::spriteWithFile("kochak.png");
        button->setScale(0.45f);
        button->setPosition(cpv(152, y));
        layer->add(button);
        RefPtr<MoveTo> move = MoveTo::actionWithDuration(2, cpv(300, y));
        RefPtr<TimedAction> eased = curves[i].second(move.get());
        button->runAction(Sequence::actions({eased.get(), DelayTime::actionWithDuration(2).get()}).get());
    }
    return layer;
}
