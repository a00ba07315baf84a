// The gallery: every demo runs, the arrows and the list lead where they say,
// a demo that runs out starts again, and the contact sheet is the same on
// every run and the same as the one in docs/.

#include "Gallery.h"
#include "ContactSheet.h"
#include "Demo.h"
#include "GalleryDelegate.h"
#include "demos/Demos.h"

#include "engine/Application.h"
#include "engine/Grid.h"
#include "engine/MotionStreak.h"
#include "engine/Particle.h"
#include "engine/TileMapAtlas.h"
#include "engine/Transition.h"
#include "platform/GL.h"
#include "support/EngineTest.h"
#include "support/RunGame.h"
#include "support/Scratch.h"
#include "support/TestPictures.h"

#include <filesystem>
#include <future>
#include <iterator>

namespace fs = std::filesystem;

namespace {
class GalleryTest : public EngineTest {
  protected:
    void TearDown() override {
        Gallery::purgeShared();
        EngineTest::TearDown();
    }
    Gallery* gallery() const { return Gallery::shared(); }
    // The on-screen arrows and the way back of a demo page.
    static constexpr cpVect kPrevious = {40, 30}, kList = {160, 30}, kNext = {280, 30};
};

class EveryDemo : public GalleryTest, public ::testing::WithParamInterface<std::string> {};

// The first node of class T in the tree under `node` (itself included) that `wanted`, if given, accepts.
template <class T> T* find(CocosNode* node, bool (*wanted)(T*) = nullptr) {
    if (auto* t = dynamic_cast<T*>(node); t && (!wanted || wanted(t))) return t;
    for (const RefPtr<CocosNode>& child : node->children())
        if (T* t = find<T>(child.get(), wanted)) return t;
    return nullptr;
}
} // namespace

// What each demo draws is held to the contact sheet in docs/ (below).
TEST_P(EveryDemo, RunsTwoSecondsWithoutAGLErrorOrALogLine) {
    int index = demoIndex(GetParam());
    ASSERT_GE(index, 0);
    gallery()->showDemo(index);
    stepFrames(120);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    EXPECT_EQ(gallery()->current(), index);
    EXPECT_TRUE(logLines().empty()) << "first: " << logLines().front();
}

INSTANTIATE_TEST_SUITE_P(Gallery, EveryDemo, ::testing::ValuesIn([] {
                             std::vector<std::string> names;
                             for (const Demo& d : demos())
                                 names.push_back(d.name);
                             return names;
                         }()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

TEST_F(GalleryTest, ListsEveryRegisteredTransitionAndEveryGroupOnce) {
    for (const std::string& name : TransitionScene::registeredClassNames())
        EXPECT_GE(demoIndex(name), 0) << name;
    // A group's demos stand together, so the list shows each group under one heading.
    std::set<std::string> seen;
    std::string group;
    for (const Demo& d : demos()) {
        if (d.group != group) {
            EXPECT_TRUE(seen.insert(d.group).second) << d.group << " is split";
        }
        group = d.group;
        EXPECT_GT(d.length, d.pictureAt) << d.name;
    }
}

TEST_F(GalleryTest, TouchesOpenADemoAndTheArrowsWalkTheListRoundAndBack) {
    runScene(Gallery::listScene());
    step();
    tap(cpv(160, 480 - 84)); // the first demo's row
    step();
    EXPECT_EQ(gallery()->current(), 0);
    const int last = static_cast<int>(demos().size()) - 1;
    for (auto [where, expected] :
         {std::pair{kNext, 1}, {kPrevious, 0}, {kPrevious, last}, {kNext, 0}, {kList, -1}}) {
        // A transition demo takes touches away while it changes scenes; wait until it is on its second page.
        stepFrames(150);
        tap(where);
        step();
        EXPECT_EQ(gallery()->current(), expected);
    }
    // The keys, as the application hands them to the gallery's delegate, do the same.
    GalleryDelegate keys;
    auto press = [&keys, this](const KeyPress& key) { // whether taken, and the demo shown after
        const bool taken = keys.applicationKeyDown(&Application::sharedApplication(), key);
        return std::pair(taken, gallery()->current());
    };
    EXPECT_EQ(press({"Right"}), std::pair(false, -1)) << "keys on the list do not open demos";
    gallery()->showDemo(3);
    EXPECT_EQ(press({"Right"}), std::pair(true, 4));
    EXPECT_EQ(press({"Left"}), std::pair(true, 3));
    EXPECT_EQ(press({"Up"}), std::pair(false, 3));
    EXPECT_EQ(press({"Left", true}), std::pair(false, 3)) << "Ctrl+Left is not the gallery's";
    EXPECT_EQ(press({"Escape"}), std::pair(true, -1));
    // A key in the middle of a transition (touches are off then) leaves touches working on the next demo.
    gallery()->showDemo(demoIndex("FadeTransition"));
    stepFrames(60);
    ASSERT_FALSE(director()->eventsEnabled());
    press({"Right"});
    stepFrames(2);
    EXPECT_TRUE(director()->eventsEnabled());
    tap(kNext);
    EXPECT_EQ(gallery()->current(), demoIndex("FadeTransition") + 2);
    stepFrames(2);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

TEST_F(GalleryTest, AFingerMovesTheEmitterChangesTheTileUnderItAndLeadsTheStreak) {
    // A point off the middle, where a flipped or unscaled coordinate shows.
    const cpVect finger = cpv(230, 150);
    gallery()->showDemo(demoIndex("ParticleFire"));
    step();
    touchDown(viewPoint(finger));
    step();
    auto* fire = find<ParticleSystem>(director()->runningScene());
    ASSERT_TRUE(fire);
    EXPECT_EQ(fire->position(), finger);
    touchUp(viewPoint(finger));

    gallery()->showDemo(demoIndex("TileMapAtlas"));
    stepFrames(10);
    auto* map = find<TileMapAtlas>(director()->runningScene());
    ASSERT_TRUE(map);
    // The cell under the finger, from the map's place and scale as drawn (tiles of 32).
    const cpVect local = cpvmult(cpvsub(finger, map->position()), 1 / (32 * map->scale()));
    const ccGridSize cell{static_cast<int32_t>(local.x), static_cast<int32_t>(local.y)};
    const uint8_t before = map->tileAt(cell).r;
    ASSERT_NE(before, 0) << "the finger should land on a tile";
    touchDown(viewPoint(finger));
    step();
    EXPECT_EQ(map->tileAt(cell).r, before % 15 + 1);
    touchMove(viewPoint(cpvadd(finger, cpv(2, 2)))); // the same cell: left as it is
    step();
    EXPECT_EQ(map->tileAt(cell).r, before % 15 + 1);
    touchUp(viewPoint(finger));

    gallery()->showDemo(demoIndex("MotionStreak"));
    stepFrames(5);
    touchDown(viewPoint(finger));
    step();
    touchMove(viewPoint(cpv(100, 300)));
    stepFrames(5);
    auto* streak = find<MotionStreak>(director()->runningScene());
    ASSERT_TRUE(streak);
    EXPECT_EQ(streak->lastLocation(), cpv(100, 300)) << "the streak stays with the finger";
    touchUp(viewPoint(cpv(100, 300)));
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

// Which preset or effect a demo shows is seen on the contact sheet; its last moment is not: the
// ReuseGrid chain ends with StopGrid, and a demo that runs out starts again.
TEST_F(GalleryTest, ADemoRunsItsChainToTheEndAndThenStartsAgain) {
    gallery()->showDemo(demoIndex("ReuseGrid"));
    stepFrames(60);
    CocosNode* page =
        find<CocosNode>(director()->runningScene(), [](CocosNode* n) { return n->grid() != nullptr; });
    ASSERT_TRUE(page);
    EXPECT_TRUE(page->grid()->active());
    stepFrames(150);
    EXPECT_FALSE(page->grid()->active());
    EXPECT_TRUE(logLines().empty()) << logLines().front();

    // The transition demo's pages: blue "A", then orange "B".
    const RGBA blue{0x2a, 0x5d, 0xb0, 255}, orange{0xd0, 0x68, 0x2a, 255};
    int fade = demoIndex("FadeTransition");
    gallery()->showDemo(fade);
    stepFrames(21); // a third of a second
    EXPECT_TRUE(colorNear(pixelAt(20, 300), blue));
    stepFrames(129); // two and a half seconds: the transition is over
    EXPECT_TRUE(colorNear(pixelAt(20, 300), orange));
    EXPECT_FALSE(dynamic_cast<TransitionScene*>(director()->runningScene()));
    // Past its length it is back on its first page, and still the same demo.
    stepFrames(static_cast<int>(demos()[fade].length * 60) - 150 + 10);
    EXPECT_TRUE(colorNear(pixelAt(20, 300), blue));
    EXPECT_EQ(gallery()->current(), fade);
    // And it goes on: the transition comes again.
    stepFrames(60);
    EXPECT_TRUE(dynamic_cast<TransitionScene*>(director()->runningScene()));
}

// Runs the gallery's --contact-sheet twice and compares: two runs give the
// same files, and the sheets are the ones in docs/gallery. With
// TV_UPDATE_GOLDEN=1 the sheets in docs/gallery are written instead.
TEST(GalleryContactSheet, IsTheSameOnEveryRunAndTheSameAsTheOneInDocs) {
    ScratchDir first, second;
    const fs::path one = first.path(), two = second.path();
    // The two runs side by side: each draws every demo, the longest part of the test suite.
    auto sheet = [](const fs::path& dir) {
        return runExecutable(TV_GALLERY_EXECUTABLE, {"--contact-sheet", dir.string()},
                             {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"});
    };
    std::future<RunResult> running = std::async(std::launch::async, sheet, two);
    RunResult a = sheet(one), b = running.get();
    ASSERT_EQ(std::pair(a.code, b.code), std::pair(0, 0)) << a.output << b.output;
    const int pages = static_cast<int>(demos().size() + 11) / 12;
    std::vector<std::string> files;
    for (const Demo& d : demos())
        files.push_back(d.name + ".png");
    for (int p = 0; p < pages; ++p)
        files.push_back(contactSheetFileName(p));
    EXPECT_EQ(static_cast<size_t>(std::distance(fs::directory_iterator(one), {})), files.size());
    for (const std::string& f : files) {
        std::string made = readText(one / f);
        EXPECT_FALSE(made.empty()) << f;
        EXPECT_TRUE(made == readText(two / f)) << f << " differs between two runs";
    }

    fs::path docs = fs::path(TV_DOCS_DIR) / "gallery";
    if (updatingGoldens()) {
        fs::create_directories(docs);
        for (const auto& entry : fs::directory_iterator(docs))
            if (entry.path().filename().string().starts_with("contact-sheet-")) fs::remove(entry.path());
        for (int p = 0; p < pages; ++p)
            fs::copy_file(one / contactSheetFileName(p), docs / contactSheetFileName(p));
        std::printf("contact sheets written to %s: look at them before committing\n", docs.c_str());
    }
    EXPECT_FALSE(fs::exists(docs / contactSheetFileName(pages))) << "docs/gallery has a page too many";
    for (int p = 0; p < pages; ++p) {
        const std::string name = contactSheetFileName(p);
        platform::Bitmap made, committed;
        ASSERT_TRUE(readTestPNG(one / name, made)) << name;
        ASSERT_TRUE(readTestPNG(docs / name, committed))
            << "docs/gallery/" << name << " is missing; make it with TV_UPDATE_GOLDEN=1";
        EXPECT_TRUE(picturesMatch(made, committed, 8, made.width * made.height / 750))
            << "docs/gallery/" << name << " is stale: run this test with TV_UPDATE_GOLDEN=1, look, commit";
    }
}

TEST(GalleryCommandLine, TakesTheGameOptionsAndItsOwn) {
    const std::vector<std::string> env = {"SDL_VIDEODRIVER=offscreen", "SDL_AUDIODRIVER=dummy"};
    RunResult help = runExecutable(TV_GALLERY_EXECUTABLE, {"--help"});
    EXPECT_EQ(help.code, 0);
    for (const char* option : {"--demo", "--contact-sheet", "--headless", "--frames", "--scale", "--script"})
        EXPECT_NE(help.output.find(option), std::string::npos) << option;

    RunResult list = runExecutable(TV_GALLERY_EXECUTABLE, {"--list"});
    EXPECT_EQ(list.code, 0);
    for (const Demo& d : demos())
        EXPECT_NE(list.output.find("  " + d.name + "\n"), std::string::npos) << d.name;

    ScratchDir dir;
    fs::path shot = dir.file("menus shot.png");
    RunResult one = runExecutable(
        TV_GALLERY_EXECUTABLE,
        {"--headless", "--scale", "1", "--demo", "Menus", "--frames", "5", "--screenshot", shot.string()},
        env);
    EXPECT_EQ(one.code, 0) << one.output;
    platform::Bitmap picture;
    EXPECT_TRUE(readTestPNG(shot.string(), picture));
    EXPECT_EQ(picture.width, 320);

    // Bad options exit with 2 (the game's own are the game's tests'); a folder that cannot be made
    // fails with a clear line, nothing drawn.
    struct Bad {
        std::vector<std::string> args;
        int code;
        const char* says;
    };
    for (const Bad& bad : {Bad{{"--demo", "NoSuchDemo", "--headless"}, 2, "no demo named \"NoSuchDemo\""},
                           Bad{{"--demo"}, 2, "--demo needs a value"}, Bad{{"--bogus"}, 2, "unknown option"},
                           Bad{{"--contact-sheet"}, 2, "--contact-sheet needs a value"},
                           Bad{{"--contact-sheet", (shot / "in").string()}, 1, "Cannot make the folder"}}) {
        RunResult r = runExecutable(TV_GALLERY_EXECUTABLE, bad.args, env);
        EXPECT_EQ(r.code, bad.code) << bad.says;
        EXPECT_NE(r.output.find(bad.says), std::string::npos) << r.output;
    }
}

TEST(GalleryReadme, NamesEveryDemoAndShowsEveryContactSheetPage) {
    std::string readme = readText(fs::path(TV_DOCS_DIR).parent_path() / "README.md");
    ASSERT_FALSE(readme.empty());
    for (const Demo& d : demos())
        EXPECT_NE(readme.find(d.name), std::string::npos) << d.name << " is not in README.md";
    for (int p = 0; p < static_cast<int>(demos().size() + 11) / 12; ++p) {
        std::string page = "docs/gallery/" + contactSheetFileName(p);
        EXPECT_NE(readme.find("(" + page + ")"), std::string::npos) << page << " is not shown in README.md";
    }
}
