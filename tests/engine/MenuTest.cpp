// Menus and their items: layout, hit rectangles, following a finger, the
// callbacks, text, picture and toggle items, and how a menu looks.

#include "engine/Menu.h"
#include "engine/Errors.h"
#include "engine/MenuItem.h"
#include "engine/TextureMgr.h"
#include "platform/System.h"
#include "support/EngineTest.h"
#include "support/Recorder.h"
#include "support/TestPictures.h"

#include <functional>

namespace {

// An item of a given size that writes what the menu sends it into a journal.
class ProbeItem : public MenuItem {
  public:
    static RefPtr<ProbeItem> make(std::string name, ccSize size, std::shared_ptr<Journal> journal) {
        RefPtr<ProbeItem> item = construct<ProbeItem>([](ProbeItem& i) { return i.initWithTarget({}); });
        item->name_ = std::move(name);
        item->size_ = size;
        item->journal_ = std::move(journal);
        return item;
    }
    void selected() override { record("selected"); }
    void unselected() override { record("unselected"); }
    void activate() override { record("activate"); }
    ccSize contentSize() const override { return size_; }
    ccRect rect() const override { return rectOfSize(size_); }

  private:
    void record(const char* what) { journal_->push_back(name_ + "." + what); }
    std::string name_;
    ccSize size_;
    std::shared_ptr<Journal> journal_;
};

// Sits behind the menu and records the touches the menu passes on.
class Backstop : public Layer {
  public:
    bool init() override {
        if (!Layer::init()) return false;
        setIsTouchEnabled(true);
        return true;
    }
    bool ccTouchesBegan(TouchSet&, Event*) override { return record("behind.began"); }
    bool ccTouchesMoved(TouchSet&, Event*) override { return record("behind.moved"); }
    bool ccTouchesEnded(TouchSet&, Event*) override { return record("behind.ended"); }
    std::shared_ptr<Journal> journal;

  private:
    bool record(const char* what) {
        journal->push_back(what);
        return true;
    }
};

// Something menu callbacks call.
class Screen : public Layer {
  public:
    void withSender(Ref* sender) { calls.push_back(sender); }
    void withItem(MenuItem* item) { calls.push_back(item); }
    void withToggle(MenuItemToggle* toggle) {
        toggleIndices.push_back(toggle ? toggle->selectedIndex() : 99);
    }
    void plain() { calls.push_back(nullptr); }
    std::vector<Ref*> calls;
    std::vector<uint32_t> toggleIndices;
};

std::string raised(const std::function<void()>& call) {
    try {
        call();
    } catch (const NamedException& e) {
        return e.name() + ": " + e.reason();
    }
    return "";
}

class MenuTest : public EngineTest {
  protected:
    // A running scene of the backstop and `menu` in front of it.
    void run(Menu* menu) {
        scene = Scene::node();
        backstop = nodeOf<Backstop>();
        backstop->journal = journal;
        scene->add(backstop, 0);
        scene->add(menu, 1);
        runScene(scene);
        step();
    }
    // One finger phase at a screen point, delivered in the next frame.
    void down(float x, float y) { touchDown(viewPoint(cpv(x, y))), step(); }
    void move(float x, float y) { touchMove(viewPoint(cpv(x, y))), step(); }
    void up(float x, float y) { touchUp(viewPoint(cpv(x, y))), step(); }
    RefPtr<ProbeItem> probe(const char* name, float w, float h) {
        return ProbeItem::make(name, {w, h}, journal);
    }

    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
    RefPtr<Scene> scene;
    RefPtr<Backstop> backstop;
};

} // namespace

TEST_F(MenuTest, ItemsAlignInAColumnOrARowWithTheirIntegerTruncations) {
    RefPtr<Menu> three = Menu::menuWithItems({probe("a", 50, 40), probe("b", 50, 40), probe("c", 50, 40)});
    three->alignItemsVertically(); // total 130, from y = 65
    std::vector<cpVect> at;
    for (auto& child : three->children())
        at.push_back(child->position());
    EXPECT_EQ(at, (std::vector<cpVect>{{0, 45}, {0, 0}, {0, -45}}));

    RefPtr<Menu> two = Menu::menuWithItems({probe("a", 100, 30), probe("b", 50, 41)});
    two->alignItemsVertically(); // total 76, from y = 38
    EXPECT_EQ(two->children()[0]->position(), cpv(0, 23));
    EXPECT_EQ(two->children()[1]->position(), cpv(0, -17.5f));
    two->alignItemsHorizontally(); // total 155, from x = -77
    EXPECT_EQ(two->children()[0]->position(), cpv(-27, 0));
    EXPECT_EQ(two->children()[1]->position(), cpv(53, 0));

    RefPtr<Menu> odd = Menu::menuWithItems({probe("a", 20.5f, 20), probe("b", 10.5f, 10)});
    odd->alignItemsHorizontally(); // total trunc(-5 + 25.5) = 20, then trunc(20 + 15.5) = 35; x from -17
    EXPECT_EQ(odd->children()[0]->position(), cpv(-6.75f, 0));
    EXPECT_EQ(odd->children()[1]->position(), cpv(13.25f, 0))
        << "the cursor is cut from 8.5 to 8 after the first item";

    RefPtr<Menu> one = Menu::menuWithItems({probe("a", 10, 20)});
    one->alignItemsVertically();
    EXPECT_EQ(one->children()[0]->position(), cpv(0, 0));
}

TEST_F(MenuTest, AMenuSitsInTheMiddleOfTheScreenAndTakesItsItemsInOrder) {
    RefPtr<ProbeItem> a = probe("a", 10, 10), b = probe("b", 10, 10);
    RefPtr<Menu> menu = Menu::menuWithItems({a, b, nullptr, probe("c", 10, 10)});
    EXPECT_EQ(menu->position(), cpv(160, 240)); // no status bar on the desktop
    EXPECT_TRUE(menu->isTouchEnabled());
    EXPECT_EQ(menu->selectedItem(), -1);
    ASSERT_EQ(menu->children().size(), 2u) << "the list ends at the first null";
    EXPECT_EQ(menu->children()[1].get(), b.get());
    EXPECT_EQ(b->zOrder(), 1);

    director()->setLandscape(true);
    EXPECT_EQ(Menu::menuWithItems({probe("d", 1, 1)})->position(), cpv(240, 160));
    director()->setLandscape(false);

    EXPECT_EQ(raised([] { nodeOf<Menu>(); }), "MenuInit: Use initWithItems instead");
    try {
        Menu::menuWithItems({nullptr, a});
        FAIL() << "a menu without a first item was made";
    } catch (const AssertionFailure& e) {
        EXPECT_STREQ(e.what(), "Argument must be non-nil");
    }

    EXPECT_EQ(menu->opacity(), 0);
    RefPtr<MenuItemFont> text = MenuItemFont::itemFromString("Play");
    RefPtr<Menu> faded = Menu::menuWithItems({text, a});
    faded->setOpacity(128);
    EXPECT_EQ(faded->opacity(), 128);
    EXPECT_EQ(text->opacity(), 128);
    EXPECT_EQ(text->label()->opacity(), 128);
    EXPECT_EQ(a->opacity(), 128);
}

TEST_F(MenuTest, HitRectanglesAreCentredOnTheItemsWithTheLeftAndBottomEdgesInside) {
    RefPtr<ProbeItem> wide = probe("wide", 120, 40), small = probe("small", 20, 20);
    wide->setPosition(cpv(0, 45));
    wide->setScale(3); // scale does not enlarge the hit area
    EXPECT_EQ(wide->rect(), ccRectMake(-60, 25, 120, 40));
    RefPtr<Menu> menu = Menu::menuWithItems({wide, small});
    RefPtr<CocosNode> holder = CocosNode::node();
    holder->setPosition(cpv(-10, 5));
    holder->add(menu);
    // The menu's origin is (150, 245) on screen: wide spans x 90..210, y 270..310.
    int32_t index = -7;
    auto at = [&](float x, float y) { return menu->itemInPoint(cpv(x, 480 - y), &index); };
    EXPECT_EQ(at(90, 270), wide.get());
    EXPECT_EQ(index, 0);
    EXPECT_EQ(at(209.5f, 309.5f), wide.get());
    EXPECT_EQ(at(210, 290), nullptr) << "the right edge is outside";
    EXPECT_EQ(index, 1) << "the last item looked at";
    EXPECT_EQ(at(150, 310), nullptr) << "the top edge is outside";
    EXPECT_EQ(at(89.9f, 290), nullptr);
    EXPECT_EQ(at(150, 245), small.get());
    EXPECT_EQ(index, 1);

    small->setPosition(cpv(0, 45)); // overlapping: the first in the list wins
    EXPECT_EQ(at(150, 290), wide.get());
    EXPECT_EQ(MenuItem::itemWithTarget({})->rect().size, (ccSize{0, 0}));
    RefPtr<Menu> bare = Menu::menuWithItems({MenuItem::itemWithTarget({})});
    EXPECT_EQ(bare->itemInPoint(cpv(160, 240), &index), nullptr) << "a bare item is never hit";
}

TEST_F(MenuTest, AFingerSelectsWhatItIsOnAndActivatesWhatItIsLiftedFrom) {
    RefPtr<ProbeItem> top = probe("top", 100, 40), bottom = probe("bottom", 100, 40);
    RefPtr<Menu> menu = Menu::menuWithItems({top, bottom});
    menu->alignItemsVertically(); // top spans y 245..285, bottom 200..240 on screen
    run(menu);

    // Down on one item, moved onto another and lifted there.
    down(160, 260);
    EXPECT_EQ(menu->selectedItem(), 0);
    move(170, 270); // still on the same item: nothing changes, and the menu declines
    move(160, 220);
    up(160, 220);
    EXPECT_EQ(*journal, (Journal{"top.selected", "behind.moved", "top.unselected", "bottom.selected",
                                 "bottom.unselected", "bottom.activate"}));
    EXPECT_EQ(menu->selectedItem(), 1) << "left pointing at the item after a successful lift";

    // Moved off every item and lifted outside: nothing is activated, and the lift goes on behind.
    journal->clear();
    down(160, 260);
    move(160, 100);
    EXPECT_EQ(menu->selectedItem(), -1);
    up(160, 100);
    EXPECT_EQ(*journal, (Journal{"top.selected", "top.unselected", "behind.moved", "behind.ended"}));

    // Started outside: the menu declines; moving on and lifting there activates the item.
    journal->clear();
    down(20, 20);
    move(160, 230);
    up(160, 230);
    EXPECT_EQ(*journal, (Journal{"behind.began", "bottom.selected", "bottom.unselected", "bottom.activate"}));

    // An item removed while selected is not sent anything more.
    journal->clear();
    down(160, 230);
    menu->remove(bottom);
    move(160, 100);
    up(160, 100);
    EXPECT_EQ(*journal, (Journal{"bottom.selected", "behind.moved", "behind.ended"}));
}

TEST_F(MenuTest, ATextItemZoomsWhileTouchedAndSnapsBackBeforeItCallsBack) {
    RefPtr<Screen> screen = nodeOf<Screen>();
    float scaleDuringCall = 0;
    RefPtr<MenuItemFont> play = MenuItemFont::itemFromString("Play", screen.get(), &Screen::withItem);
    RefPtr<MenuItemFont> quit =
        MenuItemFont::itemFromString("Quit", [&](MenuItem* sender) { scaleDuringCall = sender->scaleX(); });
    ccSize size = play->contentSize();
    EXPECT_EQ(play->transformAnchor(), cpv(size.width * 0.5f, size.height * 0.5f));
    EXPECT_EQ(play->rect(), ccRectMake(-size.width * 0.5f, -size.height * 0.5f, size.width, size.height));
    RefPtr<Menu> menu = Menu::menuWithItems({play, quit});
    menu->alignItemsHorizontally();
    run(menu);
    cpVect quitAt = cpvadd(menu->position(), quit->position());

    down(quitAt.x, quitAt.y);
    stepFrames(3, 0.05f);
    EXPECT_FLOAT_EQ(quit->scaleX(), 1.2f);
    ASSERT_TRUE(quit->zoomAction());
    up(quitAt.x, quitAt.y); // unselected starts the way back, activate cuts it short
    EXPECT_EQ(scaleDuringCall, 1.0f);
    EXPECT_EQ(quit->numberOfRunningActions(), 0);
    EXPECT_EQ(quit->zoomAction(), nullptr);

    cpVect playAt = cpvadd(menu->position(), play->position());
    down(playAt.x, playAt.y);
    up(playAt.x, playAt.y);
    EXPECT_EQ(screen->calls, std::vector<Ref*>{play.get()});

    // Disabled: grey, no zoom, no call.
    play->setIsEnabled(false);
    EXPECT_EQ(play->label()->r(), 126);
    EXPECT_EQ(play->label()->b(), 126);
    down(playAt.x, playAt.y);
    stepFrames(3, 0.05f);
    EXPECT_EQ(play->scaleX(), 1.0f);
    EXPECT_EQ(play->zoomAction(), nullptr);
    up(playAt.x, playAt.y);
    EXPECT_EQ(screen->calls.size(), 1u);
    play->setIsEnabled(true);
    EXPECT_EQ(play->label()->g(), 255);

    play->setString("Play again");
    EXPECT_GT(play->contentSize().width, size.width);
    EXPECT_EQ(play->transformAnchor().x, play->contentSize().width * 0.5f);
    EXPECT_EQ(raised([] { MenuItemFont::itemFromString(""); }),
              "MenuItemInvalid: Can't create a MenuItem without value");
    EXPECT_EQ(raised([] { nodeOf<MenuItem>(); }), "MenuItemInit: Init not supported. Use InitFromString");
}

TEST_F(MenuTest, TheFontDefaultsApplyToItemsMadeAfterwards) {
    EXPECT_EQ(MenuItemFont::fontSize(), 32);
    EXPECT_EQ(MenuItemFont::fontName(), "Marker Felt");
    RefPtr<MenuItemFont> before = MenuItemFont::itemFromString("Options");
    MenuItemFont::setFontSize(24);
    MenuItemFont::setFontName("DejaVu Sans Mono");
    RefPtr<MenuItemFont> after = MenuItemFont::itemFromString("Options");
    ccSize expected = Label::labelWithString("Options", "DejaVu Sans Mono", 24)->contentSize();
    EXPECT_EQ(after->contentSize(), expected);
    EXPECT_EQ(before->contentSize(), Label::labelWithString("Options", "Marker Felt", 32)->contentSize());
    MenuItemFont::setFontSize(32);
    MenuItemFont::setFontName("Marker Felt");
}

TEST_F(MenuTest, CallbacksReachTheirTargetOnlyWhileItLives) {
    RefPtr<Screen> screen = nodeOf<Screen>();
    RefPtr<MenuItem> bySender = MenuItem::itemWithTarget(screen.get(), &Screen::withSender);
    RefPtr<MenuItem> plain = MenuItem::itemWithTarget(screen.get(), &Screen::plain);
    RefPtr<MenuItem> none = MenuItem::itemWithTarget({});
    EXPECT_EQ(bySender->invocation().target(), screen.get());
    EXPECT_EQ(screen->retainCount(), 1u) << "an item holds no reference to its target";
    bySender->activate();
    plain->activate();
    none->activate();
    EXPECT_EQ(screen->calls, (std::vector<Ref*>{bySender.get(), nullptr}));
    bySender->setIsEnabled(false);
    bySender->activate();
    EXPECT_EQ(screen->calls.size(), 2u);

    // A target that lets go of itself from inside its callback lives until the call returns.
    RefPtr<MenuItem> lastWord = MenuItem::itemWithTarget(screen.get(), [&](MenuItem*) {
        Screen* s = screen.get();
        screen = nullptr;
        s->calls.push_back(nullptr);
    });
    lastWord->activate();
    EXPECT_FALSE(screen);
    plain->activate(); // the target is gone: nothing happens
    lastWord->activate();
    EXPECT_FALSE(MenuItem::itemWithTarget(static_cast<Screen*>(nullptr), &Screen::plain)->invocation());
}

TEST_F(MenuTest, AToggleCyclesThroughItsItemsAndCallsBackWithTheNewIndex) {
    RefPtr<Screen> screen = nodeOf<Screen>();
    RefPtr<MenuItemFont> on = MenuItemFont::itemFromString("Sound: On", screen.get(), &Screen::withItem);
    RefPtr<MenuItemFont> off = MenuItemFont::itemFromString("Sound: Off");
    RefPtr<MenuItemToggle> toggle =
        MenuItemToggle::itemWithTarget(screen.get(), &Screen::withToggle, {on, off, nullptr, on});
    ASSERT_EQ(toggle->subItems().size(), 2u);
    EXPECT_EQ(toggle->selectedIndex(), 0u);
    EXPECT_EQ(toggle->getByTag(MenuItemToggle::kCurrentItemTag), on.get());
    EXPECT_EQ(toggle->children().size(), 1u);

    toggle->setPosition(cpv(10, 20));
    toggle->activate();
    EXPECT_EQ(toggle->selectedIndex(), 1u);
    EXPECT_EQ(toggle->getByTag(MenuItemToggle::kCurrentItemTag), off.get());
    EXPECT_EQ(toggle->children().size(), 1u);
    ccSize offSize = off->contentSize();
    EXPECT_EQ(toggle->contentSize(), offSize);
    EXPECT_EQ(toggle->rect(), ccRectMake(10 - offSize.width * 0.5f, 20 - offSize.height * 0.5f, offSize.width,
                                         offSize.height))
        << "the shown item's size, centred on the toggle";
    toggle->activate();
    EXPECT_EQ(toggle->selectedIndex(), 0u);
    EXPECT_EQ(screen->toggleIndices, (std::vector<uint32_t>{1, 0}));
    EXPECT_TRUE(screen->calls.empty()) << "the items' own callbacks are not called";

    toggle->setSelectedIndex(1);
    EXPECT_EQ(toggle->getByTag(MenuItemToggle::kCurrentItemTag), off.get());
    EXPECT_EQ(screen->toggleIndices.size(), 2u) << "no callback";
    EXPECT_THROW(toggle->setSelectedIndex(2), AssertionFailure);
    EXPECT_EQ(toggle->selectedIndex(), 1u);

    toggle->setIsEnabled(false);
    EXPECT_FALSE(on->isEnabled());
    EXPECT_EQ(off->label()->r(), 126);
    toggle->activate();
    EXPECT_EQ(toggle->selectedIndex(), 1u);
    toggle->setOpacity(40);
    EXPECT_EQ(on->opacity(), 40);
    EXPECT_THROW(MenuItemToggle::itemWithTarget({}, {}), AssertionFailure);
}

namespace {
class MenuPictureTest : public MenuTest {
  protected:
    void SetUp() override {
        MenuTest::SetUp();
        platform::setResourceDirectory(resources.path());
        auto button = [&](const char* name, RGBA fill) {
            writePicture(resources.file(name), 120, 44, [fill](int x, int y) {
                bool edge = x < 3 || y < 3 || x >= 117 || y >= 41;
                return edge ? RGBA{255, 255, 255, 255} : fill;
            });
        };
        button("go.png", {40, 160, 60, 255});
        button("go-pressed.png", {250, 200, 40, 255});
        button("go-disabled.png", {90, 90, 90, 255});
    }
    ScratchDir resources;
};
} // namespace

TEST_F(MenuPictureTest, APictureItemShowsThePictureOfItsState) {
    RefPtr<MenuItemImage> plain = MenuItemImage::itemFromNormalImage("go.png", "go-pressed.png");
    RefPtr<MenuItemImage> full =
        MenuItemImage::itemFromNormalImage("go.png", "go-pressed.png", "go-disabled.png");
    EXPECT_EQ(plain->contentSize(), (ccSize{120, 44}));
    EXPECT_EQ(plain->transformAnchor(), cpv(60, 22));
    EXPECT_EQ(plain->disabledImage(), nullptr);
    RefPtr<Menu> menu = Menu::menuWithItems({plain, full});
    menu->alignItemsVertically(); // plain centred at (160, 264.5), full at (160, 215.5)
    run(menu);
    const RGBA green{40, 160, 60, 255}, yellow{250, 200, 40, 255}, grey{90, 90, 90, 255};
    EXPECT_TRUE(colorNear(pixelAt(160, 264), green));

    down(160, 264);
    EXPECT_TRUE(plain->isSelected());
    EXPECT_TRUE(colorNear(pixelAt(160, 264), yellow));
    up(160, 264);
    EXPECT_TRUE(colorNear(pixelAt(160, 264), green));

    plain->setIsEnabled(false);
    full->setIsEnabled(false);
    step();
    EXPECT_TRUE(colorNear(pixelAt(160, 264), green)) << "no disabled picture: the normal one";
    EXPECT_TRUE(colorNear(pixelAt(160, 215), grey));
    down(160, 215);
    EXPECT_TRUE(full->isSelected()) << "recorded even when disabled";
    EXPECT_TRUE(colorNear(pixelAt(160, 215), grey));

    menu->setOpacity(0);
    EXPECT_EQ(full->disabledImage()->opacity(), 0);
    EXPECT_EQ(full->selectedImage()->opacity(), 0);

    RefPtr<MenuItemImage> missing = MenuItemImage::itemFromNormalImage("nothing.png", "nothing.png");
    EXPECT_EQ(missing->rect().size, (ccSize{0, 0}));
}

TEST_F(MenuPictureTest, AMenuOfATextAPictureAndAToggle) {
    RefPtr<Scene> screen = Scene::node();
    screen->add(ColorLayer::layerWithColor(0x2a3b4cff), -1);
    RefPtr<MenuItemFont> start = MenuItemFont::itemFromString("Start Game");
    RefPtr<MenuItemFont> locked = MenuItemFont::itemFromString("Bonus Levels");
    locked->setIsEnabled(false);
    RefPtr<MenuItemImage> go = MenuItemImage::itemFromNormalImage("go.png", "go-pressed.png");
    RefPtr<MenuItemToggle> sound = MenuItemToggle::itemWithTarget(
        {}, {MenuItemFont::itemFromString("Sound: On"), MenuItemFont::itemFromString("Sound: Off")});
    sound->activate();
    RefPtr<Menu> menu = Menu::menuWithItems({start, locked, go, sound});
    menu->alignItemsVertically();
    screen->add(menu);
    runScene(screen);
    step();
    touchDown(viewPoint(cpvadd(menu->position(), go->position())));
    step();
    saveFrame("menu-text-picture-toggle");
    EXPECT_TRUE(matchesGolden("menu-text-picture-toggle"));
}
