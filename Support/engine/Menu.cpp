#include "engine/Menu.h"

#include "engine/Application.h"
#include "engine/Director.h"
#include "engine/Errors.h"

#include <cstdint>

namespace {
constexpr float kPadding = 5;

// Left and bottom edges are inside, right and top edges outside.
bool rectContains(const ccRect& r, cpVect p) {
    return p.x >= r.origin.x && p.x < r.origin.x + r.size.width && p.y >= r.origin.y &&
           p.y < r.origin.y + r.size.height;
}
} // namespace

RefPtr<Menu> Menu::menuWithItems(std::initializer_list<MenuItem*> items) {
    return construct<Menu>([&](Menu& m) { return m.initWithItems(items); });
}

bool Menu::init() {
    ccRaise("MenuInit", "Use initWithItems instead");
}

bool Menu::initWithItems(std::initializer_list<MenuItem*> items) {
    ccAssert(items.size() > 0 && *items.begin() != nullptr, "Argument must be non-nil");
    if (!Layer::init()) return false;
    Director* director = Director::sharedDirector();
    ccSize s = director->winSize();
    // The middle of the screen below the status bar (the desktop has none).
    ccRect bar = Application::sharedApplication().statusBarFrame();
    float thickness = director->landscape() ? bar.size.width : bar.size.height;
    setPosition(cpv(s.width * 0.5f, (s.height - thickness) * 0.5f));
    setIsTouchEnabled(true);
    selectedItem_ = -1;
    int32_t z = 0;
    for (MenuItem* item : items) {
        if (!item) break; // the list ends at the first null
        add(item, z++);
    }
    return true;
}

// ---- hit test

MenuItem* Menu::itemAt(int32_t index) const {
    if (index < 0 || static_cast<size_t>(index) >= children().size()) return nullptr;
    return dynamic_cast<MenuItem*>(children()[static_cast<size_t>(index)].get());
}

MenuItem* Menu::itemInPoint(cpVect viewPoint, int32_t* index) const {
    cpVect point = Director::sharedDirector()->convertCoordinate(viewPoint);
    cpVect offset = absolutePosition();
    int32_t k = 0;
    for (auto& child : children()) {
        if (index) *index = k;
        if (auto* item = dynamic_cast<MenuItem*>(child.get())) {
            ccRect r = item->rect();
            r.origin = cpvadd(r.origin, offset);
            if (rectContains(r, point)) return item;
        }
        ++k;
    }
    return nullptr;
}

MenuItem* Menu::itemUnder(const TouchSet& touches, int32_t* index) const {
    Touch* touch = touches.anyObject();
    if (!touch) return nullptr;
    return itemInPoint(touch->locationInView(touch->view()), index);
}

// ---- touches

void Menu::dropSelection() {
    if (selectedItem_ == -1) return;
    RefPtr<MenuItem> item = itemAt(selectedItem_);
    selectedItem_ = -1;
    if (item) item->unselected();
}

bool Menu::ccTouchesBegan(TouchSet& touches, Event*) {
    int32_t index = -1;
    RefPtr<MenuItem> item = itemUnder(touches, &index);
    if (!item) return false;
    item->selected();
    selectedItem_ = index;
    return true;
}

bool Menu::ccTouchesMoved(TouchSet& touches, Event*) {
    int32_t index = -1;
    RefPtr<MenuItem> item = itemUnder(touches, &index);
    if (!item) {
        dropSelection();
        return false;
    }
    if (index == selectedItem_) return false;
    dropSelection();
    item->selected();
    selectedItem_ = index;
    return true;
}

bool Menu::ccTouchesEnded(TouchSet& touches, Event*) {
    // The callback may take the menu out of its scene: it stays alive until we return.
    RefPtr<Menu> self(this);
    int32_t index = -1;
    RefPtr<MenuItem> item = itemUnder(touches, &index);
    if (!item) {
        dropSelection();
        return false;
    }
    item->unselected();
    item->activate();
    return true;
}

// ---- layout

void Menu::alignItemsVertically() {
    int32_t total = -static_cast<int32_t>(kPadding);
    for (auto& child : children())
        if (auto* item = dynamic_cast<MenuItem*>(child.get()))
            total = static_cast<int32_t>(static_cast<float>(total) + (item->contentSize().height + kPadding));
    auto y = static_cast<float>(total / 2);
    for (auto& child : children()) {
        if (auto* item = dynamic_cast<MenuItem*>(child.get())) {
            float height = item->contentSize().height;
            item->setPosition(cpv(0, y - height * 0.5f));
            y -= height + kPadding;
        }
    }
}

void Menu::alignItemsHorizontally() {
    int32_t total = -static_cast<int32_t>(kPadding);
    for (auto& child : children())
        if (auto* item = dynamic_cast<MenuItem*>(child.get()))
            total = static_cast<int32_t>(static_cast<float>(total) + (item->contentSize().width + kPadding));
    int32_t x = -total / 2;
    for (auto& child : children()) {
        if (auto* item = dynamic_cast<MenuItem*>(child.get())) {
            float width = item->contentSize().width;
            item->setPosition(cpv(static_cast<float>(x) + width * 0.5f, 0));
            x = static_cast<int32_t>(static_cast<float>(x) + (width + kPadding));
        }
    }
}

// ---- opacity

void Menu::setOpacity(uint8_t opacity) {
    opacity_ = opacity;
    for (auto& child : children())
        if (auto* o = dynamic_cast<CocosNodeOpacity*>(child.get())) o->setOpacity(opacity);
}
