#include "Gallery.h"

#include "engine/Director.h"
#include "engine/Label.h"
#include "engine/Menu.h"
#include "engine/MenuItem.h"

#include <algorithm>

namespace {
RefPtr<Gallery>& instance() {
    static RefPtr<Gallery> gallery;
    return gallery;
}

constexpr float kWidth = 320, kHeight = 480;
// Rows of the list on one page, and their height.
constexpr int kRowsPerPage = 16;
constexpr float kRowHeight = 22;
const char* const kFont = "Helvetica";
const char* const kBoldFont = "Helvetica-Bold";

RefPtr<Label> label(const std::string& text, const char* font, float size, cpVect position) {
    RefPtr<Label> l = Label::labelWithString(text, font, size);
    l->setPosition(position);
    return l;
}

RefPtr<MenuItemFont> textItem(const std::string& text, int32_t size, MenuItemCallback callback,
                              cpVect position) {
    MenuItemFont::setFontName(kFont);
    MenuItemFont::setFontSize(size);
    RefPtr<MenuItemFont> item = MenuItemFont::itemFromString(text, std::move(callback));
    item->setPosition(position);
    return item;
}

// A menu of `items` (at least one), placed where each item says.
RefPtr<Menu> menuOf(const std::vector<RefPtr<MenuItem>>& items) {
    RefPtr<Menu> menu = Menu::menuWithItems({items.front().get()});
    for (size_t i = 1; i < items.size(); ++i)
        menu->add(items[i], static_cast<int32_t>(i));
    menu->setPosition(cpvzero);
    return menu;
}

// One row of the list: a group's heading or a demo.
struct Row {
    std::string group; // a heading when `demo` is -1
    int demo = -1;
};

std::vector<std::vector<Row>> listPages() {
    std::vector<std::vector<Row>> pages(1);
    std::string group;
    const std::vector<Demo>& list = demos();
    for (size_t i = 0; i < list.size(); ++i) {
        bool heading = list[i].group != group;
        // A heading never ends a page on its own.
        if (static_cast<int>(pages.back().size()) + (heading ? 2 : 1) > kRowsPerPage) pages.emplace_back();
        if (heading || pages.back().empty()) pages.back().push_back({list[i].group, -1});
        group = list[i].group;
        pages.back().push_back({"", static_cast<int>(i)});
    }
    return pages;
}

// The list of demos, one page of it, with arrows to the other pages.
class ListLayer : public Layer {
  public:
    static RefPtr<ListLayer> layerWithPage(int page) {
        return construct<ListLayer>([page](ListLayer& l) { return l.initWithPage(page); });
    }

    bool initWithPage(int page) {
        if (!Layer::init()) return false;
        std::vector<std::vector<Row>> pages = listPages();
        int count = static_cast<int>(pages.size());
        page = std::clamp(page, 0, count - 1);
        add(label("Tindervale gallery", kBoldFont, 24, cpv(kWidth / 2, kHeight - 24)));

        std::vector<RefPtr<MenuItem>> items;
        float y = kHeight - 62;
        for (const Row& row : pages[page]) {
            if (row.demo < 0) {
                // Left-aligned in a box across the screen.
                RefPtr<Label> heading =
                    Label::labelWithString(row.group, ccSize{kWidth - 40, 20}, 0, kBoldFont, 16);
                heading->setPosition(cpv(kWidth / 2, y));
                heading->setRGB(255, 200, 80);
                add(heading);
            } else {
                int index = row.demo;
                RefPtr<MenuItemFont> item = textItem(
                    demos()[index].name, 18, [index](MenuItem*) { Gallery::shared()->showDemo(index); },
                    cpv(kWidth / 2, y));
                items.push_back(item);
            }
            y -= kRowHeight;
        }
        if (count > 1) {
            auto turnTo = [](int p) {
                return [p](MenuItem*) { Director::sharedDirector()->replaceScene(Gallery::listScene(p)); };
            };
            items.push_back(textItem("<", 36, turnTo((page + count - 1) % count), cpv(40, 30)));
            items.push_back(textItem(">", 36, turnTo((page + 1) % count), cpv(kWidth - 40, 30)));
            add(label("page " + std::to_string(page + 1) + " of " + std::to_string(count), kFont, 14,
                      cpv(kWidth / 2, 30)));
        }
        if (!items.empty()) add(menuOf(items));
        return true;
    }
};

// What a demo page shows over the demo: its title and group, the arrows, the way back.
RefPtr<Layer> chrome(const Demo& demo) {
    RefPtr<Layer> layer = Layer::node();
    layer->add(ColorLayer::layerWithColor(0x00000090, kWidth, 60));
    RefPtr<ColorLayer> top = ColorLayer::layerWithColor(0x00000090, kWidth, 52);
    top->setPosition(cpv(0, kHeight - 52));
    layer->add(top);
    layer->add(label(demo.name, kBoldFont, 20, cpv(kWidth / 2, kHeight - 20)));
    layer->add(label(demo.group, kFont, 13, cpv(kWidth / 2, kHeight - 42)));

    Gallery* gallery = Gallery::shared();
    RefPtr<MenuItemFont> previous =
        textItem("<", 36, MenuItemCallback(gallery, &Gallery::previous), cpv(40, 30));
    RefPtr<MenuItemFont> list =
        textItem("List", 20, MenuItemCallback(gallery, &Gallery::showList), cpv(kWidth / 2, 30));
    RefPtr<MenuItemFont> next =
        textItem(">", 36, MenuItemCallback(gallery, &Gallery::next), cpv(kWidth - 40, 30));
    layer->add(menuOf({previous, list, next}));
    return layer;
}
} // namespace

Gallery* Gallery::shared() {
    RefPtr<Gallery>& g = instance();
    if (!g) g = makeRef<Gallery>();
    return g.get();
}

void Gallery::purgeShared() {
    if (RefPtr<Gallery>& g = instance()) {
        g->stopClock();
        g = nullptr;
    }
}

RefPtr<Scene> Gallery::listScene(int page) {
    RefPtr<Scene> scene = Scene::node();
    scene->add(ListLayer::layerWithPage(page));
    return scene;
}

RefPtr<Scene> Gallery::page(Layer* content) {
    RefPtr<Scene> scene = Scene::node();
    scene->add(content, 0);
    if (current_ >= 0) scene->add(chrome(demos()[current_]), 100);
    return scene;
}

void Gallery::showDemo(int index) {
    int count = static_cast<int>(demos().size());
    if (count == 0) return;
    current_ = ((index % count) + count) % count;
    RefPtr<Scene> scene = page(demos()[current_].make().get());
    Director* director = Director::sharedDirector();
    if (director->runningScene())
        director->replaceScene(scene);
    else
        director->runWithScene(scene);
    startClock();
}

void Gallery::showList() {
    stopClock();
    int page = 0;
    if (current_ >= 0) {
        std::vector<std::vector<Row>> pages = listPages();
        for (size_t p = 0; p < pages.size(); ++p)
            for (const Row& row : pages[p])
                if (row.demo == current_) page = static_cast<int>(p);
    }
    current_ = -1;
    Director::sharedDirector()->replaceScene(listScene(page));
}

void Gallery::keyPressed(Key key) {
    switch (key) {
    case Key::Left:
        if (current_ >= 0) previous();
        break;
    case Key::Right:
        if (current_ >= 0) next();
        break;
    case Key::Escape:
        if (current_ >= 0) showList();
        break;
    }
}

void Gallery::startClock() {
    elapsed_ = 0;
    if (!timer_)
        timer_ =
            Scheduler::sharedScheduler()->scheduleTarget(this, "restart", [this](float dt) { tick(dt); });
}

void Gallery::stopClock() {
    if (timer_) Scheduler::sharedScheduler()->unscheduleTimer(timer_.get());
    timer_ = nullptr;
}

void Gallery::tick(float dt) {
    if (current_ < 0) return;
    elapsed_ += dt;
    if (elapsed_ >= demos()[current_].length) showDemo(current_);
}

RefPtr<Scene> demoPage(Layer* content) {
    return Gallery::shared()->page(content);
}
