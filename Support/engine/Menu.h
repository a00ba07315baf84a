#pragma once
// A touch layer whose children are menu items. It lays them out in a column
// or a row, shows the item under the finger as selected and activates the
// item the finger is lifted over. Touches that miss every item are declined,
// so layers behind the menu can take them.

#include "engine/Layer.h"
#include "engine/MenuItem.h"

#include <cstdint>
#include <initializer_list>

class Menu : public Layer, public CocosNodeOpacity {
  public:
    bool drawsWithoutGL() const override { return typeid(*this) == typeid(Menu); }
    // The items, in order (z 0, 1, 2, ...); the list ends at the first null,
    // and a null first item is an assertion failure.
    static RefPtr<Menu> menuWithItems(std::initializer_list<MenuItem*> items);
    // Always raises "MenuInit".
    bool init() override;
    virtual bool initWithItems(std::initializer_list<MenuItem*> items);

    bool ccTouchesBegan(TouchSet& touches, Event* event) override;
    bool ccTouchesMoved(TouchSet& touches, Event* event) override;
    bool ccTouchesEnded(TouchSet& touches, Event* event) override;

    // The first item whose rectangle holds `viewPoint` (view coordinates,
    // origin top-left), or null. `index` receives the index of the last
    // child looked at.
    MenuItem* itemInPoint(cpVect viewPoint, int32_t* index) const;

    // A column centred on the menu's origin, top to bottom, 5 points apart.
    void alignItemsVertically();
    // A row centred on the menu's origin, left to right, 5 points apart.
    void alignItemsHorizontally();

    // 0 until set; setting it sets every item's opacity.
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override;
    // The child shown as selected last; -1 for none.
    int32_t selectedItem() const { return selectedItem_; }

  private:
    // The item at child index `index`, or null.
    MenuItem* itemAt(int32_t index) const;
    // Tells the selected item it is no longer selected and forgets it.
    void dropSelection();
    MenuItem* itemUnder(const TouchSet& touches, int32_t* index) const;

    int32_t selectedItem_ = -1;
    uint8_t opacity_ = 0;
};
