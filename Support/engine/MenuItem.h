#pragma once
// Menu items: the children of a Menu. Each knows its hit rectangle, shows a
// selected state while a finger is on it and calls back when activated.
// MenuItemFont shows a text that zooms while selected; MenuItemImage shows
// one of three pictures; MenuItemToggle shows one of several items and steps
// to the next each time it is activated.
//
// A callback is a target plus an operation, called with the item:
//   MenuItemFont::itemFromString("Start Game", this, &MenuLayer::startGame);
// where startGame takes the sender (Ref*, CocosNode*, MenuItem* or a
// subclass the item really is) or nothing. The item holds no reference to
// its target: once the target is gone the callback does nothing. A plain
// function (a lambda) may stand alone, without a target.

#include "engine/Action.h"
#include "engine/CocosNode.h"
#include "engine/Label.h"
#include "engine/Sprite.h"

#include <concepts>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <string>
#include <type_traits>
#include <vector>

class MenuItem;
class MenuItemCallback;

// Anything callable with the item, other than a callback itself.
template <class F>
concept MenuItemFunction = std::invocable<F&, MenuItem*> && !std::same_as<F, MenuItemCallback>;

class MenuItemCallback {
  public:
    using Function = std::function<void(MenuItem* sender)>;

    // No callback.
    MenuItemCallback() = default;
    MenuItemCallback(std::nullptr_t) {}
    // A function of its own, always called.
    template <MenuItemFunction F> MenuItemCallback(F function) : function_(std::move(function)) {}
    // An operation on `target`, called only while the target lives. Null
    // target or operation: no callback.
    MenuItemCallback(Ref* target, Function operation);
    template <std::derived_from<Ref> T, class C, class S>
    MenuItemCallback(T* target, void (C::*method)(S*)) : MenuItemCallback(target, bind(target, method)) {}
    template <std::derived_from<Ref> T, class C> MenuItemCallback(T* target, void (C::*method)()) {
        if (target && method)
            *this = MenuItemCallback(target, Function([target, method](MenuItem*) { (target->*method)(); }));
    }

    explicit operator bool() const { return static_cast<bool>(function_); }
    Ref* target() const { return target_.get(); }
    // Calls the operation with `sender`; the target is kept alive for the call.
    void operator()(MenuItem* sender) const;

  private:
    // The sender goes to the method as the type it asks for; a sender of another class gives it null.
    template <class T, class C, class S> static Function bind(T* target, void (C::*method)(S*)) {
        if (!target || !method) return nullptr;
        return [target, method](MenuItem* sender) {
            if constexpr (std::is_convertible_v<MenuItem*, S*>)
                (target->*method)(sender);
            else
                (target->*method)(dynamic_cast<S*>(sender));
        };
    }

    WeakPtr<Ref> target_;
    bool hasTarget_ = false;
    Function function_;
};

class MenuItem : public CocosNode, public CocosNodeSize, public CocosNodeOpacity {
  public:
    bool drawsWithoutGL() const override { return typeid(*this) == typeid(MenuItem); }
    static RefPtr<MenuItem> itemWithTarget(MenuItemCallback callback);
    template <std::derived_from<Ref> T, class M> static RefPtr<MenuItem> itemWithTarget(T* target, M method) {
        return itemWithTarget(MenuItemCallback(target, method));
    }

    // Always raises "MenuItemInit".
    bool init() override;
    virtual bool initWithTarget(MenuItemCallback callback);

    // Sent by the menu while a finger is on the item, and when it leaves.
    virtual void selected() {}
    virtual void unselected() {}
    // Calls back when enabled.
    virtual void activate();

    bool isEnabled() const { return isEnabled_; }
    virtual void setIsEnabled(bool enabled) { isEnabled_ = enabled; }
    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override { opacity_ = opacity; }

    // Where the item answers touches, in its parent's space: a rectangle of
    // its size centred on its position (scale and rotation ignored). A bare
    // item is empty and never hit.
    virtual ccRect rect() const;
    ccSize contentSize() const override { return {}; }

    const MenuItemCallback& invocation() const { return invocation_; }

  protected:
    ccRect rectOfSize(ccSize size) const;

  private:
    MenuItemCallback invocation_;
    bool isEnabled_ = true;
    uint8_t opacity_ = 255;
};

// A text item. The font name and size are class-wide defaults read when an
// item is made.
class MenuItemFont : public MenuItem {
  public:
    bool drawsWithoutGL() const override { return typeid(*this) == typeid(MenuItemFont); }
    static void setFontSize(int32_t size);
    static int32_t fontSize();
    static void setFontName(const std::string& name);
    static const std::string& fontName();

    // An empty text raises "MenuItemInvalid".
    static RefPtr<MenuItemFont> itemFromString(const std::string& value, MenuItemCallback callback = {});
    template <std::derived_from<Ref> T, class M>
    static RefPtr<MenuItemFont> itemFromString(const std::string& value, T* target, M method) {
        return itemFromString(value, MenuItemCallback(target, method));
    }
    virtual bool initFromString(const std::string& value, MenuItemCallback callback);

    // Sets the label's text and centres the anchor on it again.
    void setString(const std::string& string);
    Label* label() const { return label_.get(); }
    void setLabel(Label* label) { label_ = label; }
    // The selection zoom running now, if any.
    Action* zoomAction() const { return zoomAction_.get(); }

    ccRect rect() const override;
    ccSize contentSize() const override;
    // The label, centred on the item's position.
    void draw() override;
    void setOpacity(uint8_t opacity) override;
    // Disabled items are grey.
    void setIsEnabled(bool enabled) override;
    // Zooms to 1.2 / back to 1.0 in a tenth of a second (enabled items only).
    void selected() override;
    void unselected() override;
    // Snaps back to scale 1 and calls back (enabled items only).
    void activate() override;

  private:
    void zoomTo(float scale);

    RefPtr<Label> label_;
    RefPtr<Action> zoomAction_;
};

// A picture item: one picture when normal, one while selected, one when
// disabled (the normal one when there is none).
class MenuItemImage : public MenuItem {
  public:
    bool drawsWithoutGL() const override { return typeid(*this) == typeid(MenuItemImage); }
    static RefPtr<MenuItemImage> itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                     MenuItemCallback callback = {});
    // An empty `disabled` name: no disabled picture.
    static RefPtr<MenuItemImage> itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                     const std::string& disabled,
                                                     MenuItemCallback callback = {});
    template <std::derived_from<Ref> T, class M>
    static RefPtr<MenuItemImage> itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                     T* target, M method) {
        return itemFromNormalImage(normal, selected, MenuItemCallback(target, method));
    }
    template <std::derived_from<Ref> T, class M>
    static RefPtr<MenuItemImage> itemFromNormalImage(const std::string& normal, const std::string& selected,
                                                     const std::string& disabled, T* target, M method) {
        return itemFromNormalImage(normal, selected, disabled, MenuItemCallback(target, method));
    }
    virtual bool initFromNormalImage(const std::string& normal, const std::string& selected,
                                     const std::string& disabled, MenuItemCallback callback);

    Sprite* normalImage() const { return normalImage_.get(); }
    Sprite* selectedImage() const { return selectedImage_.get(); }
    Sprite* disabledImage() const { return disabledImage_.get(); }
    bool isSelected() const { return selected_; }

    // Recorded whether enabled or not.
    void selected() override { selected_ = true; }
    void unselected() override { selected_ = false; }
    ccRect rect() const override;
    ccSize contentSize() const override;
    // The picture for the state, centred on the item's position.
    void draw() override;
    void setOpacity(uint8_t opacity) override;

  private:
    bool selected_ = false;
    RefPtr<Sprite> normalImage_;
    RefPtr<Sprite> selectedImage_;
    RefPtr<Sprite> disabledImage_;
};

// Shows one of its items (as its child under kCurrentItemTag) and steps to
// the next, wrapping, each time it is activated; then calls its own
// callback, which can read selectedIndex. The items' own callbacks are not called.
class MenuItemToggle : public MenuItem {
  public:
    bool drawsWithoutGL() const override { return typeid(*this) == typeid(MenuItemToggle); }
    static constexpr int32_t kCurrentItemTag = 0x1234567;

    // At least one item; the list ends at the first null.
    static RefPtr<MenuItemToggle> itemWithTarget(MenuItemCallback callback,
                                                 std::initializer_list<MenuItem*> items);
    template <std::derived_from<Ref> T, class M>
    static RefPtr<MenuItemToggle> itemWithTarget(T* target, M method,
                                                 std::initializer_list<MenuItem*> items) {
        return itemWithTarget(MenuItemCallback(target, method), items);
    }
    virtual bool initWithTarget(MenuItemCallback callback, std::initializer_list<MenuItem*> items);

    uint32_t selectedIndex() const { return selectedIndex_; }
    // Shows item `index` without calling back; an index outside the items is an assertion failure.
    void setSelectedIndex(uint32_t index);
    MenuItem* selectedItem() const { return subItems_[selectedIndex_].get(); }
    const std::vector<RefPtr<MenuItem>>& subItems() const { return subItems_; }

    void selected() override;
    void unselected() override;
    void activate() override;
    void setIsEnabled(bool enabled) override;
    void setOpacity(uint8_t opacity) override;
    // The shown item's size, centred on the toggle's position.
    ccRect rect() const override;
    ccSize contentSize() const override;

  private:
    using MenuItem::initWithTarget;
    void show(uint32_t index);

    uint32_t selectedIndex_ = 0;
    std::vector<RefPtr<MenuItem>> subItems_;
};
