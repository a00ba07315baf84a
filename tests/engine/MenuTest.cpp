// Menus and their items: layout, hit rectangles, following a finger, the
// callbacks, and text, picture and toggle items.

#include "InputRecorder.h"

#include "engine/Errors.h"
#include "engine/Menu.h"
#include "engine/MenuItem.h"
#include "platform/System.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

namespace {

// An item of a given size that writes what the menu sends it into a journal.
class ProbeItem : public MenuItem {
  public:
    void selected() override { journal->push_back(name + ".selected"); }
    void unselected() override { journal->push_back(name + ".unselected"); }
    void activate() override { journal->push_back(name + ".activate"); }
    ccSize contentSize() const override { return size; }
    ccRect rect() const override { return rectOfSize(size); }
    std::string name;
    ccSize size;
    std::shared_ptr<Journal> journal;
};

// What menu callbacks call.
class Screen : public Layer {
  public:
    void withSender(Ref* sender) { calls.push_back(sender); }
    void withItem(MenuItem* item) { calls.push_back(item); }
    void withToggle(MenuItemToggle* toggle) {
        calls.push_back(toggle), indices.push_back(toggle->selectedIndex());
    }
    void plain() { calls.push_back(nullptr); }
    std::vector<Ref*> calls;
    std::vector<uint32_t> indices;
};

class MenuTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        platform::setResourceDirectory(resources.path());
        for (auto [name, fill] : {std::pair{"go.png", RGBA{40, 160, 60, 255}},
                                  {"go-pressed.png", kYellow},
                                  {"go-disabled.png", RGBA{90, 90, 90, 255}}})
            writePicture(resources.file(name), 120, 44, [fill](int x, int y) {
                return x < 3 || y < 3 || x >= 117 || y >= 41 ? RGBA{255, 255, 255, 255} : fill;
            });
    }
    // Runs `menu` in front of a layer that takes every touch the menu passes on, over a dark background.
    void run(Menu* menu) {
        RefPtr<Scene> scene = Scene::node();
        scene->add(ColorLayer::layerWithColor(0x2a3b4cff), -1);
        scene->add(InputRecorder::make("behind", journal, true), 0);
        scene->add(menu, 1);
        showScene(scene);
        journal->clear();
    }
    // One finger phase at a screen point, delivered in the next frame.
    void down(cpVect p) { touchDown(viewPoint(p)), step(); }
    void move(cpVect p) { touchMove(viewPoint(p)), step(); }
    void up(cpVect p) { touchUp(viewPoint(p)), step(); }
    RefPtr<ProbeItem> probe(const char* name, float w, float h) {
        RefPtr<ProbeItem> item = construct<ProbeItem>([](ProbeItem& i) { return i.initWithTarget({}); });
        item->name = name, item->size = {w, h}, item->journal = journal;
        return item;
    }
    static std::vector<cpVect> positions(Menu* menu) {
        std::vector<cpVect> at;
        for (auto& child : menu->children())
            at.push_back(child->position());
        return at;
    }

    static constexpr RGBA kYellow{250, 200, 40, 255};
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    ScratchDir resources;
};

} // namespace

TEST_F(MenuTest, AMenuSitsInTheMiddleAlignsItsItemsWithIntegerTruncationsAndFadesThem) {
    RefPtr<Menu> three = Menu::menuWithItems(
        {probe("a", 50, 40), probe("b", 50, 40), probe("c", 50, 40), nullptr, probe("not taken", 1, 1)});
    EXPECT_EQ(three->position(), cpv(160, 240)); // no status bar on the desktop
    three->alignItemsVertically();               // total 130, from y = 65; the list ends at the first null
    EXPECT_EQ(positions(three), (std::vector<cpVect>{{0, 45}, {0, 0}, {0, -45}}));
    RefPtr<Menu> two = Menu::menuWithItems({probe("a", 100, 30), probe("b", 50, 41)});
    two->alignItemsVertically(); // total 76, from y = 38
    EXPECT_EQ(positions(two), (std::vector<cpVect>{{0, 23}, {0, -17.5f}}));
    two->alignItemsHorizontally(); // total 155, from x = -77
    EXPECT_EQ(positions(two), (std::vector<cpVect>{{-27, 0}, {53, 0}}));
    RefPtr<Menu> odd = Menu::menuWithItems({probe("a", 20.5f, 20), probe("b", 10.5f, 10)});
    odd->alignItemsHorizontally(); // total 20 then 35, x from -17; the cursor is cut from 8.5 to 8
    EXPECT_EQ(positions(odd), (std::vector<cpVect>{{-6.75f, 0}, {13.25f, 0}}));

    director()->setLandscape(true);
    EXPECT_EQ(Menu::menuWithItems({probe("d", 1, 1)})->position(), cpv(240, 160));
    director()->setLandscape(false);
    RefPtr<MenuItemFont> text = MenuItemFont::itemFromString("Play");
    RefPtr<ProbeItem> plain = probe("e", 10, 10);
    RefPtr<Menu> faded = Menu::menuWithItems({text, plain});
    faded->setOpacity(128);
    EXPECT_EQ(std::vector<int>({faded->opacity(), text->label()->opacity(), plain->opacity()}),
              std::vector<int>({128, 128, 128}));
}

TEST_F(MenuTest, MenusAndItemsRefuseWhatTheyCannotShow) {
    RefPtr<MenuItemToggle> toggle = MenuItemToggle::itemWithTarget({}, {probe("a", 1, 1), probe("b", 1, 1)});
    const struct {
        std::function<void()> call;
        const char* message;
    } assertions[] = {
        {[] { Menu::menuWithItems({nullptr}); }, "Argument must be non-nil"},
        {[] { MenuItemToggle::itemWithTarget({}, {nullptr}); }, "Argument must be non-nil"},
        {[&] { toggle->setSelectedIndex(2); }, "MenuItemToggle: index out of range"},
    };
    for (const auto& a : assertions)
        EXPECT_THAT(a.call, Fails<AssertionFailure>(a.message));
    EXPECT_THAT([] { nodeOf<Menu>(); }, Fails<NamedException>("MenuInit: Use initWithItems instead"));
    EXPECT_THAT([] { MenuItemFont::itemFromString(""); },
                Fails<NamedException>("MenuItemInvalid: Can't create a MenuItem without value"));
}

TEST_F(MenuTest, HitRectanglesAreCentredOnTheItemsWithTheLeftAndBottomEdgesInside) {
    RefPtr<ProbeItem> wide = probe("wide", 120, 40), small = probe("small", 20, 20);
    wide->setPosition(cpv(0, 45));
    wide->setScale(3); // scale does not enlarge the hit area
    RefPtr<Menu> menu = Menu::menuWithItems({wide, small});
    RefPtr<CocosNode> outer = CocosNode::node(), holder = CocosNode::node();
    outer->setPosition(cpv(-4, 2));
    holder->setPosition(cpv(-6, 3));
    holder->setRotation(45); // the ancestors' positions add up, their rotations play no part
    outer->add(holder);
    holder->add(menu); // the menu's origin is (150, 245): wide spans x 90..210, y 270..310
    int32_t index = -7;
    auto at = [&](float x, float y) { return menu->itemInPoint(cpv(x, 480 - y), &index); };
    EXPECT_EQ(at(90, 270), wide.get());
    EXPECT_EQ(index, 0);
    EXPECT_EQ(at(209.5f, 309.5f), wide.get());
    EXPECT_EQ(at(210, 290), nullptr) << "the right edge is outside";
    EXPECT_EQ(index, 1) << "the last item looked at";
    EXPECT_EQ(at(150, 310), nullptr) << "the top edge is outside";
    EXPECT_EQ(at(150, 245), small.get());
    small->setPosition(cpv(0, 45)); // overlapping: the first in the list wins
    EXPECT_EQ(at(150, 290), wide.get());
    EXPECT_EQ(Menu::menuWithItems({MenuItem::itemWithTarget({})})->itemInPoint(cpv(160, 240), &index),
              nullptr)
        << "a bare item is never hit";
}

TEST_F(MenuTest, AFingerSelectsWhatItIsOnAndActivatesWhatItIsLiftedFrom) {
    RefPtr<ProbeItem> top = probe("top", 100, 40), bottom = probe("bottom", 100, 40);
    RefPtr<Menu> menu = Menu::menuWithItems({top, bottom});
    menu->alignItemsVertically(); // top spans y 245..285, bottom 200..240 on screen
    run(menu);
    const cpVect onTop{160, 260}, alsoOnTop{170, 270}, onBottom{160, 220}, offBoth{160, 100};

    down(onTop);
    EXPECT_EQ(menu->selectedItem(), 0);
    move(alsoOnTop); // on the same item: nothing changes, and the menu declines
    move(onBottom);
    up(onBottom);
    EXPECT_EQ(menu->selectedItem(), 1) << "left pointing at the item after a successful lift";
    down(onTop), move(offBoth), up(offBoth); // moved off every item and lifted outside: nothing activated
    EXPECT_EQ(menu->selectedItem(), -1);
    down(offBoth), move(onBottom), up(onBottom); // started outside, lifted on an item: activated
    down(onBottom);
    menu->remove(bottom); // removed while selected: sent nothing more
    move(offBoth), up(offBoth);
    EXPECT_EQ(*journal, (Journal{"top.selected", "behind.moved 170,270", "top.unselected", "bottom.selected",
                                 "bottom.unselected", "bottom.activate", "top.selected", "top.unselected",
                                 "behind.moved 160,100", "behind.ended 160,100", "behind.began 160,100",
                                 "bottom.selected", "bottom.unselected", "bottom.activate", "bottom.selected",
                                 "behind.moved 160,100", "behind.ended 160,100"}));
}

TEST_F(MenuTest, ATextItemZoomsWhileTouchedSnapsBackBeforeItCallsBackAndIsGreyWhenDisabled) {
    RefPtr<Screen> screen = nodeOf<Screen>();
    float scaleDuringCall = 0;
    RefPtr<MenuItemFont> play = MenuItemFont::itemFromString("Play", screen.get(), &Screen::withItem);
    RefPtr<MenuItemFont> quit =
        MenuItemFont::itemFromString("Quit", [&](MenuItem* sender) { scaleDuringCall = sender->scaleX(); });
    RefPtr<Menu> menu = Menu::menuWithItems({play, quit});
    menu->alignItemsHorizontally();
    run(menu);
    cpVect quitAt = cpvadd(menu->position(), quit->position()),
           playAt = cpvadd(menu->position(), play->position());

    down(quitAt);
    stepFrames(3, 0.05f);
    EXPECT_FLOAT_EQ(quit->scaleX(), 1.2f);
    up(quitAt); // unselected starts the way back, activate cuts it short
    EXPECT_EQ(scaleDuringCall, 1.0f);
    down(playAt), up(playAt);
    EXPECT_EQ(screen->calls, std::vector<Ref*>{play.get()});

    play->setIsEnabled(false); // greyed (the toggle below checks the grey), no zoom, no call
    down(playAt);
    stepFrames(3, 0.05f);
    EXPECT_EQ(play->scaleX(), 1.0f);
    up(playAt);
    EXPECT_EQ(screen->calls.size(), 1u);
}

TEST_F(MenuTest, CallbacksReachTheirTargetOnlyWhileItLives) {
    RefPtr<Screen> screen = nodeOf<Screen>();
    RefPtr<MenuItem> bySender = MenuItem::itemWithTarget(screen.get(), &Screen::withSender);
    RefPtr<MenuItem> plain = MenuItem::itemWithTarget(screen.get(), &Screen::plain);
    EXPECT_EQ(screen->retainCount(), 1u) << "an item holds no reference to its target";
    bySender->activate();
    plain->activate();
    EXPECT_EQ(screen->calls, (std::vector<Ref*>{bySender.get(), nullptr}));
    // A target that lets go of itself inside its callback lives until the call returns.
    RefPtr<MenuItem> lastWord = MenuItem::itemWithTarget(screen.get(), [&](MenuItem*) {
        Screen* s = screen.get();
        screen = nullptr;
        s->calls.push_back(nullptr);
    });
    lastWord->activate();
    plain->activate(); // the target is gone: nothing happens
    EXPECT_FALSE(MenuItem::itemWithTarget(static_cast<Screen*>(nullptr), &Screen::plain)->invocation());
}

TEST_F(MenuTest, AToggleCyclesThroughItsItemsAndCallsBackWithTheNewIndex) {
    RefPtr<Screen> screen = nodeOf<Screen>();
    RefPtr<MenuItemFont> on = MenuItemFont::itemFromString("Sound: On", screen.get(), &Screen::withItem);
    RefPtr<MenuItemFont> off = MenuItemFont::itemFromString("Sound: Off");
    RefPtr<MenuItemToggle> toggle =
        MenuItemToggle::itemWithTarget(screen.get(), &Screen::withToggle, {on, off, nullptr, on});
    ASSERT_EQ(toggle->subItems().size(), 2u);
    auto shown = [&] { return toggle->getByTag(MenuItemToggle::kCurrentItemTag); };
    toggle->setPosition(cpv(10, 20));
    toggle->activate();
    EXPECT_EQ(shown(), off.get());
    EXPECT_EQ(toggle->children().size(), 1u);
    ccSize s = off->contentSize();
    EXPECT_EQ(toggle->rect(), ccRectMake(10 - s.width * 0.5f, 20 - s.height * 0.5f, s.width, s.height))
        << "the shown item's size, centred on the toggle";
    toggle->activate();
    EXPECT_EQ(screen->indices, (std::vector<uint32_t>{1, 0}));
    EXPECT_EQ(screen->calls, (std::vector<Ref*>{toggle.get(), toggle.get()}))
        << "not the items' own callbacks";

    toggle->setSelectedIndex(1);
    EXPECT_EQ(shown(), off.get());
    EXPECT_EQ(screen->calls.size(), 2u) << "no callback";
    toggle->setIsEnabled(false);
    toggle->setOpacity(40);
    EXPECT_EQ(off->label()->r(), 126);
    EXPECT_EQ(on->opacity(), 40);
    toggle->activate();
    EXPECT_EQ(toggle->selectedIndex(), 1u);
}

// (How a menu of text, toggle and picture items looks is the gallery's contact sheet.)
TEST_F(MenuTest, APictureItemShowsThePictureOfEachStateInItsPlace) {
    RefPtr<MenuItemImage> go = MenuItemImage::itemFromNormalImage("go.png", "go-pressed.png");
    RefPtr<Menu> menu = Menu::menuWithItems({go});
    run(menu);
    const cpVect goAt = menu->position(); // the picture spans x 100..220, y 218..262
    const RGBA green{40, 160, 60, 255}, white{255, 255, 255, 255}, back{0x2a, 0x3b, 0x4c, 255};
    EXPECT_TRUE(colorNear(pixelAt(160, 240), green));
    down(goAt); // pressed: the same size in the same place
    for (auto [x, y, colour] :
         {std::tuple{160, 240, kYellow}, {101, 219, white}, {218, 260, white}, {98, 240, back}})
        EXPECT_TRUE(colorNear(pixelAt(x, y), colour)) << x << ", " << y;
    up(goAt);
    EXPECT_TRUE(colorNear(pixelAt(160, 240), green));

    go->setIsEnabled(false);
    down(goAt);
    EXPECT_TRUE(go->isSelected()) << "recorded even when disabled";
    EXPECT_TRUE(colorNear(pixelAt(160, 240), green)) << "no disabled picture: the normal one";
    RefPtr<MenuItemImage> full =
        MenuItemImage::itemFromNormalImage("go.png", "go-pressed.png", "go-disabled.png");
    full->setIsEnabled(false);
    full->setPosition(cpv(0, -200));
    menu->add(full);
    step();
    EXPECT_TRUE(colorNear(pixelAt(160, 40), RGBA{90, 90, 90, 255}));
    EXPECT_EQ(MenuItemImage::itemFromNormalImage("nothing.png", "nothing.png")->rect().size, (ccSize{0, 0}));
}
