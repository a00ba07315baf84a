// Text: labels drawn with the platform's fonts, a label atlas drawn from a
// picture of characters, and menus of text, picture and toggle items.

#include "Demos.h"

#include "engine/Action.h"
#include "engine/IntervalAction.h"
#include "engine/Label.h"
#include "engine/LabelAtlas.h"
#include "engine/Menu.h"
#include "engine/MenuItem.h"

#include <cstdio>

RefPtr<Layer> labelsDemo() {
    RefPtr<Layer> layer = ColorLayer::layerWithColor(0x283040ff);
    const char* fonts[] = {"Marker Felt", "Helvetica", "Helvetica-Bold", "Courier"};
    float y = 400;
    for (const char* font : fonts) {
        RefPtr<Label> label = Label::labelWithString(font, font, 26);
        label->setPosition(cpv(160, y));
        layer->add(label);
        y -= 40;
    }
    // A box 220 points wide: the text wraps, aligned left, centred and right.
    const char* texts[] = {"This longer text wraps in its box, aligned left.",
                           "This longer text wraps in its box, centred.",
                           "This longer text wraps in its box, aligned right."};
    for (int32_t alignment = 0; alignment < 3; ++alignment) {
        RefPtr<Label> label =
            Label::labelWithString(texts[alignment], ccSize{220, 40}, alignment, "Helvetica", 15);
        label->setPosition(cpv(160, 225 - 48 * static_cast<float>(alignment)));
        label->setRGB(alignment == 0 ? 255 : 160, alignment == 1 ? 255 : 160, alignment == 2 ? 255 : 160);
        layer->add(label);
    }
    // Digits cut from a picture, counting up: what the frame-rate counter uses.
    RefPtr<LabelAtlas> counter = LabelAtlas::labelAtlasWithString("00.0", "fps_images.png", 16, 24, '.');
    counter->setPosition(cpv(128, 70));
    layer->add(counter);
    float seconds = 0;
    LabelAtlas* shown = counter.get();
    layer->schedule("count", [shown, seconds](float dt) mutable {
        seconds += dt;
        char text[16];
        std::snprintf(text, sizeof text, "%04.1f", seconds);
        shown->setString(text);
    });
    return layer;
}

RefPtr<Layer> menusDemo() {
    RefPtr<Layer> layer = ColorLayer::layerWithColor(0x302828ff);
    RefPtr<Label> chosen = Label::labelWithString("Touch an item", "Helvetica", 16);
    chosen->setPosition(cpv(160, 90));
    layer->add(chosen);
    Label* shown = chosen.get(); // the layer keeps it
    auto say = [shown](const std::string& text) {
        return [shown, text](MenuItem*) { shown->setString(text); };
    };

    MenuItemFont::setFontName("Marker Felt");
    MenuItemFont::setFontSize(30);
    RefPtr<MenuItemFont> start = MenuItemFont::itemFromString("Start Game", say("Start Game chosen"));
    RefPtr<MenuItemFont> options = MenuItemFont::itemFromString("Options", say("Options chosen"));
    RefPtr<MenuItemFont> disabled = MenuItemFont::itemFromString("Disabled", say("never"));
    disabled->setIsEnabled(false);
    MenuItemFont::setFontSize(22);
    RefPtr<MenuItemToggle> sound = MenuItemToggle::itemWithTarget(
        [shown](MenuItem* sender) {
            auto* toggle = static_cast<MenuItemToggle*>(sender);
            shown->setString(toggle->selectedIndex() == 0 ? "Sound on" : "Sound off");
        },
        {MenuItemFont::itemFromString("Sound: on").get(), MenuItemFont::itemFromString("Sound: off").get()});
    RefPtr<MenuItemImage> yes =
        MenuItemImage::itemFromNormalImage("BtnYes.png", "BtnNo.png", say("Picture item"));
    RefPtr<Menu> menu =
        Menu::menuWithItems({start.get(), options.get(), disabled.get(), sound.get(), yes.get()});
    menu->alignItemsVertically();
    menu->setPosition(cpv(160, 280));
    layer->add(menu);

    // A second menu, in a row, its items breathing.
    MenuItemFont::setFontSize(20);
    RefPtr<MenuItemFont> one = MenuItemFont::itemFromString("One", say("One"));
    RefPtr<MenuItemFont> two = MenuItemFont::itemFromString("Two", say("Two"));
    RefPtr<MenuItemFont> three = MenuItemFont::itemFromString("Three", say("Three"));
    RefPtr<Menu> row = Menu::menuWithItems({one.get(), two.get(), three.get()});
    row->alignItemsHorizontally();
    row->setPosition(cpv(160, 140));
    for (MenuItemFont* item : {one.get(), two.get(), three.get()})
        item->runAction(
            RepeatForever::actionWithAction(Sequence::actions({ScaleTo::actionWithDuration(1, 1.15f).get(),
                                                               ScaleTo::actionWithDuration(1, 1).get()})
                                                .get())
                .get());
    layer->add(row);
    return layer;
}
