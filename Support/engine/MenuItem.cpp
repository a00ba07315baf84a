#include "engine/MenuItem.h"

#include "engine/Errors.h"
#include "engine/IntervalAction.h"

// ---- MenuItemCallback

MenuItemCallback::MenuItemCallback(Ref* target, Function operation) {
    if (!target || !operation) return;
    target_ = target;
    hasTarget_ = true;
    function_ = std::move(operation);
}

void MenuItemCallback::operator()(MenuItem* sender) const {
    if (!function_) return;
    if (!hasTarget_) {
        function_(sender);
        return;
    }
    // The target may let go of itself (or of the menu) from inside the call.
    RefPtr<Ref> target = target_.lock();
    if (target) function_(sender);
}

// ---- MenuItem

RefPtr<MenuItem> MenuItem::itemWithTarget(MenuItemCallback callback) {
    return construct<MenuItem>([&](MenuItem& i) { return i.initWithTarget(std::move(callback)); });
}

bool MenuItem::init() {
    ccRaise("MenuItemInit", "Init not supported. Use InitFromString");
}

bool MenuItem::initWithTarget(MenuItemCallback callback) {
    if (!CocosNode::init()) return false;
    invocation_ = std::move(callback);
    isEnabled_ = true;
    opacity_ = 255;
    return true;
}

void MenuItem::activate() {
    if (!isEnabled_) return;
    RefPtr<MenuItem> self(this);
    invocation_(this);
}

ccRect MenuItem::rect() const {
    return {};
}

ccRect MenuItem::rectOfSize(ccSize size) const {
    cpVect p = position();
    return ccRectMake(p.x - size.width * 0.5f, p.y - size.height * 0.5f, size.width, size.height);
}

// ---- MenuItemFont

namespace {
int32_t defaultFontSize = 32;
std::string& defaultFontName() {
    static std::string name = "Marker Felt";
    return name;
}
constexpr float kZoomDuration = 0.1f;
} // namespace

void MenuItemFont::setFontSize(int32_t size) {
    defaultFontSize = size;
}
int32_t MenuItemFont::fontSize() {
    return defaultFontSize;
}
void MenuItemFont::setFontName(const std::string& name) {
    defaultFontName() = name;
}
const std::string& MenuItemFont::fontName() {
    return defaultFontName();
}

RefPtr<MenuItemFont> MenuItemFont::itemFromString(const std::string& value, MenuItemCallback callback) {
    return construct<MenuItemFont>(
        [&](MenuItemFont& i) { return i.initFromString(value, std::move(callback)); });
}

bool MenuItemFont::initFromString(const std::string& value, MenuItemCallback callback) {
    if (!MenuItem::initWithTarget(std::move(callback))) return false;
    if (value.empty()) ccRaise("MenuItemInvalid", "Can't create a MenuItem without value");
    label_ = Label::labelWithString(value, fontName(), static_cast<float>(fontSize()));
    label_->setOpacity(opacity());
    ccSize s = label_->contentSize();
    setTransformAnchor(cpv(s.width * 0.5f, s.height * 0.5f));
    return true;
}

void MenuItemFont::setString(const std::string& string) {
    if (!label_) return;
    label_->setString(string);
    ccSize s = label_->contentSize();
    setTransformAnchor(cpv(s.width * 0.5f, s.height * 0.5f));
}

ccSize MenuItemFont::contentSize() const {
    return label_ ? label_->contentSize() : ccSize{};
}

ccRect MenuItemFont::rect() const {
    return rectOfSize(contentSize());
}

void MenuItemFont::draw() {
    if (label_) label_->draw();
}

void MenuItemFont::setOpacity(uint8_t opacity) {
    MenuItem::setOpacity(opacity);
    if (label_) label_->setOpacity(opacity);
}

void MenuItemFont::setIsEnabled(bool enabled) {
    if (label_) {
        if (enabled)
            label_->setRGB(255, 255, 255);
        else
            label_->setRGB(126, 126, 126);
    }
    MenuItem::setIsEnabled(enabled);
}

void MenuItemFont::zoomTo(float scale) {
    stopAction(zoomAction_);
    zoomAction_ = ScaleTo::actionWithDuration(kZoomDuration, scale);
    runAction(zoomAction_);
}

void MenuItemFont::selected() {
    if (isEnabled()) zoomTo(1.2f);
}

void MenuItemFont::unselected() {
    if (isEnabled()) zoomTo(1.0f);
}

void MenuItemFont::activate() {
    if (!isEnabled()) return;
    stopAllActions();
    zoomAction_ = nullptr;
    setScale(1.0f);
    MenuItem::activate();
}

// ---- MenuItemImage

RefPtr<MenuItemImage> MenuItemImage::itemFromNormalImage(const std::string& normal,
                                                         const std::string& selected,
                                                         MenuItemCallback callback) {
    return itemFromNormalImage(normal, selected, std::string(), std::move(callback));
}

RefPtr<MenuItemImage> MenuItemImage::itemFromNormalImage(const std::string& normal,
                                                         const std::string& selected,
                                                         const std::string& disabled,
                                                         MenuItemCallback callback) {
    return construct<MenuItemImage>([&](MenuItemImage& i) {
        return i.initFromNormalImage(normal, selected, disabled, std::move(callback));
    });
}

bool MenuItemImage::initFromNormalImage(const std::string& normal, const std::string& selected,
                                        const std::string& disabled, MenuItemCallback callback) {
    if (!MenuItem::initWithTarget(std::move(callback))) return false;
    normalImage_ = Sprite::spriteWithFile(normal);
    selectedImage_ = Sprite::spriteWithFile(selected);
    if (!disabled.empty()) disabledImage_ = Sprite::spriteWithFile(disabled);
    for (Sprite* image : {normalImage_.get(), selectedImage_.get(), disabledImage_.get()})
        if (image) image->setOpacity(opacity());
    ccSize s = contentSize();
    setTransformAnchor(cpv(s.width * 0.5f, s.height * 0.5f));
    return true;
}

ccSize MenuItemImage::contentSize() const {
    return normalImage_ ? normalImage_->contentSize() : ccSize{};
}

ccRect MenuItemImage::rect() const {
    return rectOfSize(contentSize());
}

void MenuItemImage::draw() {
    Sprite* image = isEnabled() ? (selected_ ? selectedImage_.get() : normalImage_.get())
                                : (disabledImage_ ? disabledImage_.get() : normalImage_.get());
    if (image) image->draw();
}

void MenuItemImage::setOpacity(uint8_t opacity) {
    MenuItem::setOpacity(opacity);
    for (Sprite* image : {normalImage_.get(), selectedImage_.get(), disabledImage_.get()})
        if (image) image->setOpacity(opacity);
}

// ---- MenuItemToggle

RefPtr<MenuItemToggle> MenuItemToggle::itemWithTarget(MenuItemCallback callback,
                                                      std::initializer_list<MenuItem*> items) {
    return construct<MenuItemToggle>(
        [&](MenuItemToggle& t) { return t.initWithTarget(std::move(callback), items); });
}

bool MenuItemToggle::initWithTarget(MenuItemCallback callback, std::initializer_list<MenuItem*> items) {
    ccAssert(items.size() > 0 && *items.begin() != nullptr, "Argument must be non-nil");
    if (!MenuItem::initWithTarget(std::move(callback))) return false;
    selectedIndex_ = 0;
    subItems_.clear();
    subItems_.reserve(2);
    // The list ends at the first null, as a nil-terminated list does.
    for (MenuItem* item : items) {
        if (!item) break;
        subItems_.emplace_back(item);
    }
    add(subItems_[0], 0, kCurrentItemTag);
    return true;
}

void MenuItemToggle::show(uint32_t index) {
    removeByTag(kCurrentItemTag);
    selectedIndex_ = index;
    add(subItems_[index], 0, kCurrentItemTag);
}

void MenuItemToggle::setSelectedIndex(uint32_t index) {
    ccAssert(index < subItems_.size(), "MenuItemToggle: index out of range");
    if (index != selectedIndex_) show(index);
}

void MenuItemToggle::selected() {
    selectedItem()->selected();
}

void MenuItemToggle::unselected() {
    selectedItem()->unselected();
}

void MenuItemToggle::activate() {
    if (!isEnabled()) return;
    uint32_t next = selectedIndex_ + 1;
    show(next >= subItems_.size() ? 0 : next);
    MenuItem::activate();
}

void MenuItemToggle::setIsEnabled(bool enabled) {
    MenuItem::setIsEnabled(enabled);
    for (auto& item : subItems_)
        item->setIsEnabled(enabled);
}

void MenuItemToggle::setOpacity(uint8_t opacity) {
    MenuItem::setOpacity(opacity);
    for (auto& item : subItems_)
        item->setOpacity(opacity);
}

ccRect MenuItemToggle::rect() const {
    return rectOfSize(selectedItem()->rect().size);
}

ccSize MenuItemToggle::contentSize() const {
    return selectedItem()->contentSize();
}
