#include "GameScenes.h"

#include "GameLayer.h"
#include "Levels.h"
#include "Progress.h"

#include "engine/Application.h"
#include "engine/Director.h"
#include "engine/Label.h"
#include "engine/Menu.h"
#include "engine/MenuItem.h"
#include "engine/Sprite.h"
#include "engine/TextureMgr.h"
#include "platform/Log.h"

std::string transitions;

const char* const kMakerWebSite = "https://tindervale.example/";
const char* const kMakerHostName = "tindervale.example";

namespace {
// The platform's text alignment value for centred text.
constexpr int32_t kTextAlignmentCenter = 1;

RefPtr<Sprite> background() {
    RefPtr<Sprite> sprite = Sprite::spriteWithFile("Default.png");
    sprite->setPosition(cpv(160, 240));
    return sprite;
}

// A menu of one item at `position`.
RefPtr<Menu> menuAt(MenuItem* item, cpVect position) {
    RefPtr<Menu> menu = Menu::menuWithItems({item});
    menu->setPosition(position);
    return menu;
}

void switchParentTo(Layer* layer, uint32_t index) {
    if (auto* screen = dynamic_cast<MultiplexLayer*>(layer->parent())) screen->switchTo(index);
}
} // namespace

// ---- screens

RefPtr<Scene> sceneWithLayer(Layer* layer) {
    RefPtr<Scene> scene = Scene::node();
    scene->add(MultiplexLayer::layerWithLayers({layer}), 0);
    return scene;
}

RefPtr<Scene> newMainScreen() {
    // The main menu comes first: it sets the font every text item of the game uses.
    RefPtr<Layer> menu = MenuLayer::node();
    RefPtr<Scene> scene = Scene::node();
    scene->add(
        MultiplexLayer::layerWithLayers({menu.get(), OptionLayer::node().get(), LevelLayer::node().get(),
                                         GameLayer::node().get(), TaskLayer::node().get()}),
        0);
    return scene;
}

RefPtr<Scene> newPlayScreen() {
    RefPtr<Scene> scene = Scene::node();
    scene->add(MultiplexLayer::layerWithLayers({TaskLayer::node().get(), OptionLayer::node().get(),
                                                LevelLayer::node().get(), GameLayer::node().get(),
                                                MenuLayer::node().get()}),
               0);
    return scene;
}

std::string pathForResource(const std::string& name, const std::string& type) {
    // The texture cache's lookup keeps names from leaving the resources folder.
    std::string path = TextureMgr::sharedTextureMgr()->fullPathFromRelativePath(name + "." + type);
    if (path.empty()) platform::ccLogf("Cannot find %s.%s in the resources", name.c_str(), type.c_str());
    return path;
}

void registerGameTransitions() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    TransitionScene::registerClass<FlipXUpOver>("FlipXUpOver");
}

void replaceSceneWithTransition(const std::string& name, float duration, Scene* scene) {
    registerGameTransitions();
    RefPtr<TransitionScene> transition = TransitionScene::transitionNamed(name, duration, scene);
    if (transition)
        Director::sharedDirector()->replaceScene(transition);
    else
        Director::sharedDirector()->replaceScene(scene);
}

RefPtr<FlipXUpOver> FlipXUpOver::transitionWithDuration(float duration, Scene* scene) {
    return transitionOf<FlipXUpOver>(duration, scene, OrientationUpOver);
}

// ---- keys

bool isKey(const KeyPress& key, const char* name, bool ctrl) {
    return key.name == name && key.ctrl == ctrl && !key.alt;
}

bool pressItem(CocosNode* root, const std::string& text) {
    if (!root || !root->visible()) return false;
    if (auto* item = dynamic_cast<MenuItemFont*>(root)) {
        if (!item->isEnabled() || !item->label() || item->label()->string() != text) return false;
        RefPtr<MenuItemFont> keep(item); // its callback may take the screen down
        item->activate();
        return true;
    }
    std::vector<RefPtr<CocosNode>> children = root->children(); // a press may change them
    for (const RefPtr<CocosNode>& child : children)
        if (pressItem(child.get(), text)) return true;
    return false;
}

// ---- MessageLayer

RefPtr<MessageLayer> MessageLayer::node() {
    return nodeOf<MessageLayer>();
}

void MessageLayer::onEnter() {
    Layer::onEnter();
    RefPtr<Sprite> dialog = Sprite::spriteWithFile("Message.png");
    dialog->setPosition(cpv(160, 240));
    add(dialog, 0);
    RefPtr<MenuItemImage> yes =
        MenuItemImage::itemFromNormalImage("BtnYes.png", "BtnYes.png", this, &MessageLayer::BtnYes);
    yes->setPosition(cpv(110, 250));
    RefPtr<MenuItemImage> no =
        MenuItemImage::itemFromNormalImage("BtnNo.png", "BtnNo.png", this, &MessageLayer::BtnNo);
    no->setPosition(cpv(210, 250));
    RefPtr<Menu> menu = Menu::menuWithItems({yes.get(), no.get()});
    menu->setPosition(cpvzero);
    add(menu);
}

void MessageLayer::onExit() {
    removeAll();
    Layer::onExit();
}

bool MessageLayer::keyDown(const KeyPress& key) {
    if (!isKey(key, "Return") && !isKey(key, "Space")) return false;
    BtnYes(nullptr);
    return true;
}

void MessageLayer::BtnYes(Ref*) {
    progress::setSoundOn(true);
    Director::sharedDirector()->pushScene(newMainScreen());
}

void MessageLayer::BtnNo(Ref*) {
    progress::setSoundOn(false);
    Director::sharedDirector()->pushScene(newMainScreen());
}

// ---- MenuLayer

RefPtr<MenuLayer> MenuLayer::node() {
    return nodeOf<MenuLayer>();
}

bool MenuLayer::init() {
    if (!Layer::init()) return false;
    add(background(), 0);
    MenuItemFont::setFontSize(32);
    MenuItemFont::setFontName("Marker Felt");
    RefPtr<Menu> menu =
        Menu::menuWithItems({MenuItemFont::itemFromString("Start Game", this, &MenuLayer::startGame).get(),
                             MenuItemFont::itemFromString("Options", this, &MenuLayer::options).get(),
                             MenuItemFont::itemFromString("Quit", this, &MenuLayer::quit).get()});
    menu->setPosition(cpv(160, 240));
    menu->alignItemsVertically();
    add(menu);
    RefPtr<Menu> info = menuAt(
        MenuItemImage::itemFromNormalImage("info1.png", "info.png", this, &MenuLayer::help), cpv(300, 20));
    info->alignItemsVertically();
    add(info);
    return true;
}

void MenuLayer::startGame(Ref*) {
    Director::sharedDirector()->pushScene(sceneWithLayer(LevelLayer::node()));
}

void MenuLayer::options(Ref*) {
    switchParentTo(this, 1);
}

void MenuLayer::help(Ref*) {
    RefPtr<Scene> scene = sceneWithLayer(HelpLayer::node());
    transitions = "FlipXUpOver";
    replaceSceneWithTransition(transitions, 1.2f, scene);
}

void MenuLayer::quit(Ref*) {
    Director::sharedDirector()->popScene();
    Application::sharedApplication().terminate();
}

// ---- HelpLayer

RefPtr<HelpLayer> HelpLayer::node() {
    return nodeOf<HelpLayer>();
}

bool HelpLayer::init() {
    if (!Layer::init()) return false;
    add(background(), 0);
    MenuItemFont::setFontSize(28);
    add(menuAt(MenuItemFont::itemFromString("Go Back", this, &HelpLayer::GoBack), cpv(260, 15)));
    add(menuAt(MenuItemFont::itemFromString(kMakerHostName, this, &HelpLayer::onOurWebSite), cpv(160, 200)));
    return true;
}

void HelpLayer::onEnter() {
    Layer::onEnter();
    RefPtr<Label> text = Label::labelWithString("Logical game related to matches where you need to solve the "
                                                "tasks by manipulating with the sticks\n\n"
                                                "Design & development by VORNE",
                                                ccSize{280, 300}, kTextAlignmentCenter, "Marker Felt", 22);
    text->setPosition(cpv(160, 240));
    add(text);
}

bool HelpLayer::keyDown(const KeyPress& key) {
    return isKey(key, "Escape") && pressItem(this, "Go Back");
}

void HelpLayer::GoBack(Ref*) {
    replaceSceneWithTransition(transitions, 1.2f, newMainScreen());
}

void HelpLayer::onOurWebSite(Ref*) {
    if (!Application::sharedApplication().openURL(kMakerWebSite))
        platform::ccLogf("Cannot open %s", kMakerWebSite);
}

// ---- OptionLayer

RefPtr<OptionLayer> OptionLayer::node() {
    return nodeOf<OptionLayer>();
}

bool OptionLayer::init() {
    if (!Layer::init()) return false;
    add(background(), 0);
    MenuItemFont::setFontSize(28);
    RefPtr<MenuItemFont> done = MenuItemFont::itemFromString("Done", this, &OptionLayer::GoBack);
    RefPtr<MenuItemFont> reset = MenuItemFont::itemFromString("Reset to Defaults", this, &OptionLayer::reset);
    sound_ = MenuItemToggle::itemWithTarget(
        this, &OptionLayer::sound,
        {MenuItemFont::itemFromString("Sound Off").get(), MenuItemFont::itemFromString("Sound On").get()});
    RefPtr<Menu> menu = Menu::menuWithItems({sound_.get(), reset.get(), done.get()});
    menu->setPosition(cpv(160, 320));
    menu->alignItemsVertically();
    add(menu);
    return true;
}

void OptionLayer::onEnter() {
    Layer::onEnter();
    if (progress::soundOn()) sound_->setSelectedIndex(1);
}

void OptionLayer::sound(Ref*) {
    uint32_t index = sound_->selectedIndex();
    progress::setSoundOn(index == 1);
    platform::ccLogf("selected item: %s index:%u", sound_->selectedItem()->description().c_str(), index);
}

void OptionLayer::reset(Ref*) {
    progress::setLastAvailLevel(0);
}

bool OptionLayer::keyDown(const KeyPress& key) {
    return isKey(key, "Escape") && pressItem(this, "Done");
}

void OptionLayer::GoBack(Ref*) {
    switchParentTo(this, 0);
}

// ---- LevelLayer

RefPtr<LevelLayer> LevelLayer::node() {
    return nodeOf<LevelLayer>();
}

void LevelLayer::onEnter() {
    Layer::onEnter();
    lastAvailLevel_ = progress::lastAvailLevel();
    add(background(), 0);
    MenuItemFont::setFontSize(28);
    add(menuAt(MenuItemFont::itemFromString("Main Menu", this, &LevelLayer::GoBack), cpv(160, 15)));

    // The callbacks by number, as the buttons are made in a loop.
    using Callback = void (LevelLayer::*)(Ref*);
    static const Callback bonusCallbacks[5] = {&LevelLayer::playBonus1, &LevelLayer::playBonus2,
                                               &LevelLayer::playBonus3, &LevelLayer::playBonus4,
                                               &LevelLayer::playBonus5};
    static const Callback levelCallbacks[10] = {
        &LevelLayer::play1, &LevelLayer::play2, &LevelLayer::play3, &LevelLayer::play4, &LevelLayer::play5,
        &LevelLayer::play6, &LevelLayer::play7, &LevelLayer::play8, &LevelLayer::play9, &LevelLayer::play10};
    std::array<RefPtr<MenuItemImage>, 5> bonus;
    for (int i = 0; i < 5; ++i) {
        const char* picture = i < lastAvailLevel_ / 2 ? "bonus.png" : "bonus_.png";
        bonus[static_cast<size_t>(i)] =
            MenuItemImage::itemFromNormalImage(picture, picture, this, bonusCallbacks[i]);
        bonus[static_cast<size_t>(i)]->setPosition(cpv(static_cast<float>(40 + 60 * i), 170));
    }
    for (int i = 1; i <= 10; ++i) {
        std::string picture =
            platform::ccFormat(i - 1 <= lastAvailLevel_ ? "level_stick%d.png" : "level_stick%d_.png", i);
        RefPtr<MenuItemImage>& item = stick_[static_cast<size_t>(i - 1)];
        item = MenuItemImage::itemFromNormalImage(picture, picture, this, levelCallbacks[i - 1]);
        if (i - 1 == lastAvailLevel_) item->setScale(1.2f); // the newest unlocked level stands out
        item->setPosition(cpv(static_cast<float>(30 * i), 300));
    }
    stickMenu_ = Menu::menuWithItems({stick_[0].get(), stick_[1].get(), stick_[2].get(), stick_[3].get(),
                                      stick_[4].get(), stick_[5].get(), stick_[6].get(), stick_[7].get(),
                                      stick_[8].get(), stick_[9].get(), bonus[0].get(), bonus[1].get(),
                                      bonus[2].get(), bonus[3].get(), bonus[4].get()});
    stickMenu_->setPosition(cpvzero);
    add(stickMenu_);
}

void LevelLayer::onExit() {
    removeAll();
    Layer::onExit();
}

void LevelLayer::playLevel(int32_t n) {
    currlevel_ = n - 1;
    if (currlevel_ > lastAvailLevel_) return; // locked
    progress::setCurrentLevel(currlevel_);
    play();
}

void LevelLayer::playBonus(int32_t n) {
    lastAvailLevel_ = progress::lastAvailLevel();
    currlevel_ = 9 + n;
    if (currlevel_ - 10 >= lastAvailLevel_ / 2) return; // locked
    progress::setCurrentLevel(currlevel_);
    play();
}

void LevelLayer::play1(Ref*) {
    playLevel(1);
}
void LevelLayer::play2(Ref*) {
    playLevel(2);
}
void LevelLayer::play3(Ref*) {
    playLevel(3);
}
void LevelLayer::play4(Ref*) {
    playLevel(4);
}
void LevelLayer::play5(Ref*) {
    playLevel(5);
}
void LevelLayer::play6(Ref*) {
    playLevel(6);
}
void LevelLayer::play7(Ref*) {
    playLevel(7);
}
void LevelLayer::play8(Ref*) {
    playLevel(8);
}
void LevelLayer::play9(Ref*) {
    playLevel(9);
}
void LevelLayer::play10(Ref*) {
    playLevel(10);
}
void LevelLayer::playBonus1(Ref*) {
    playBonus(1);
}
void LevelLayer::playBonus2(Ref*) {
    playBonus(2);
}
void LevelLayer::playBonus3(Ref*) {
    playBonus(3);
}
void LevelLayer::playBonus4(Ref*) {
    playBonus(4);
}
void LevelLayer::playBonus5(Ref*) {
    playBonus(5);
}

void LevelLayer::play() {
    Director::sharedDirector()->pushScene(newPlayScreen());
}

bool LevelLayer::keyDown(const KeyPress& key) {
    return isKey(key, "Escape") && pressItem(this, "Main Menu");
}

void LevelLayer::GoBack(Ref*) {
    Director::sharedDirector()->pushScene(newMainScreen());
}

// ---- TaskLayer

RefPtr<TaskLayer> TaskLayer::node() {
    return nodeOf<TaskLayer>();
}

void TaskLayer::onEnter() {
    Layer::onEnter();
    add(background(), 0);
    RefPtr<Label> heading = Label::labelWithString("Objective", "Marker Felt", 26);
    heading->setPosition(cpv(160, 400));
    add(heading);
    MenuItemFont::setFontSize(32);
    add(menuAt(MenuItemFont::itemFromString("Continue", this, &TaskLayer::Continue), cpv(160, 200)));

    currlevel_ = progress::currentLevel();
    RefPtr<Sprite> picture = Sprite::spriteWithFile(platform::ccFormat("level%d.png", currlevel_ + 1));
    picture->setPosition(cpv(70, 320));
    picture->setScale(1.2f);
    add(picture, 0);
    RefPtr<Label> task = Label::labelWithString(LevelConditions[currlevel_], ccSize{180, 200},
                                                kTextAlignmentCenter, "Marker Felt", 22);
    task->setPosition(cpv(220, 260));
    add(task);
}

void TaskLayer::onExit() {
    removeAll();
    Layer::onExit();
}

bool TaskLayer::keyDown(const KeyPress& key) {
    return (isKey(key, "Return") || isKey(key, "Space")) && pressItem(this, "Continue");
}

void TaskLayer::Continue(Ref*) {
    switchParentTo(this, 3);
}
