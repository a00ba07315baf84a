// The GL state cache: runs of sprites become one draw call, every node that
// draws on its own still finds the conventional GL state, and a frame showing
// the picture already shown is kept.

#include "engine/GLStateCache.h"
#include "engine/Label.h"
#include "engine/Layer.h"
#include "engine/Sprite.h"
#include "engine/TextureMgr.h"
#include "platform/System.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

#include <SDL2/SDL.h>

#include <vector>

namespace {

// What a node drawing on its own finds: texturing, vertex and coordinate
// arrays on, the current colour, the blend source and destination.
using Seen = std::vector<float>;

Seen seenNow() {
    Seen s{float(glIsEnabled(GL_TEXTURE_2D)),
           float(glIsEnabled(GL_VERTEX_ARRAY)),
           float(glIsEnabled(GL_TEXTURE_COORD_ARRAY)),
           0,
           0,
           0,
           0};
    glGetFloatv(GL_CURRENT_COLOR, &s[3]);
    GLint blend[2] = {};
    glGetIntegerv(GL_BLEND_SRC, &blend[0]);
    glGetIntegerv(GL_BLEND_DST, &blend[1]);
    s.insert(s.end(), {float(blend[0]), float(blend[1])});
    return s;
}
const Seen kConventional{0, 0, 0, 1, 1, 1, 1, GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA};

class Probe : public CocosNode {
  public:
    std::vector<Seen> seen;
    void draw() override { seen.push_back(seenNow()); }
};

class GLStateCacheTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        platform::setResourceDirectory(resources.path());
        writePlainPicture(resources.file("a.png"), 8, 8, {255, 0, 0, 255});
        writePlainPicture(resources.file("b.png"), 8, 8, {0, 0, 255, 200});
    }
    // Draws one frame of `nodes` and gives the draw calls made for quads.
    uint64_t drawCallsFor(const std::vector<RefPtr<CocosNode>>& nodes) {
        RefPtr<Scene> scene = Scene::node();
        for (const auto& n : nodes)
            scene->add(n);
        showScene(scene);
        GLStateCache::redrawNextFrame(); // the same picture again: drawn only when asked
        uint64_t before = GLStateCache::drawCalls();
        step();
        return GLStateCache::drawCalls() - before;
    }
    static RefPtr<Sprite> sprite(const char* file, float x, float rotation = 0) {
        RefPtr<Sprite> s = Sprite::spriteWithFile(file);
        s->setPosition(cpv(x, 100));
        s->setRotation(rotation);
        return s;
    }
    ScratchDir resources;
};

} // namespace

TEST_F(GLStateCacheTest, RunsOfSpritesSharingTextureTintAndBlendAreOneDrawCall) {
    auto tinted = sprite("a.png", 60);
    tinted->setRGB(10, 20, 30);
    struct Case {
        const char* what;
        std::vector<RefPtr<CocosNode>> nodes;
        uint64_t calls;
    } cases[] = {
        {"three alike", {sprite("a.png", 10), sprite("a.png", 20), sprite("a.png", 30)}, 1},
        {"another texture between", {sprite("a.png", 10), sprite("b.png", 20), sprite("a.png", 30)}, 3},
        {"a tint of its own", {sprite("a.png", 10), tinted, sprite("a.png", 30)}, 3},
        {"a turned one draws alone", {sprite("a.png", 10), sprite("a.png", 20, 30), sprite("a.png", 30)}, 3},
        {"a node of its own between", {sprite("a.png", 10), makeRef<Probe>(), sprite("a.png", 30)}, 2},
    };
    for (auto& c : cases) {
        EXPECT_EQ(drawCallsFor(c.nodes), c.calls) << c.what;
        // The batch ends with the frame: the colour of the last sprite is on screen.
        EXPECT_EQ(pixelAt(30, 100).r, 255) << c.what;
    }
}

TEST_F(GLStateCacheTest, NodesDrawingOnTheirOwnFindTheConventionalStateAndLoneDrawsFinish) {
    RefPtr<Probe> first = makeRef<Probe>(), between = makeRef<Probe>();
    RefPtr<Texture2D> premultiplied = TextureMgr::sharedTextureMgr()->addImage("b.png");
    ASSERT_TRUE(premultiplied && premultiplied->hasPremultipliedAlpha()) << "the case that changes the blend";
    auto faded = sprite("b.png", 20);
    faded->setOpacity(100);
    auto child = sprite("a.png", 40);
    child->add(between); // drawn inside the sprite's visit, after the sprite
    drawCallsFor({first, faded, child});
    ASSERT_FALSE(first->seen.empty());
    ASSERT_FALSE(between->seen.empty());
    EXPECT_EQ(first->seen.back(), kConventional);
    EXPECT_EQ(between->seen.back(), kConventional);
    EXPECT_EQ(seenNow(), kConventional) << "at the end of the frame";
    // A draw outside any visit is finished at once.
    auto alone = sprite("a.png", 0);
    alone->draw();
    EXPECT_EQ(seenNow(), kConventional);
    EXPECT_EQ(pixelAt(2, 2).r, 255) << "drawn, not left pending";
}

namespace {

// A node of the game's kind: no GL of its own, but its draw relabels a label
// drawn before it (the old text's texture goes while the frame is recorded).
class Relabel : public CocosNode {
  public:
    RefPtr<Label> label;
    std::string text;
    bool drawsWithoutGL() const override { return true; }
    void draw() override { label->setString(text); }
};

// A sprite that covers its picture with a green patch of GL calls of its own.
class PatchedSprite : public Sprite {
  public:
    RefPtr<ColorLayer> patch = ColorLayer::layerWithColor(0x00FF00FF, 8, 8);
    void draw() override {
        Sprite::draw();
        GLStateCache::restore();
        patch->draw();
    }
};

} // namespace

TEST_F(GLStateCacheTest, FramesShowingThePictureShownAreKeptAndEveryChangeIsDrawn) {
    RefPtr<Scene> scene = Scene::node();
    auto moving = sprite("a.png", 60);
    RefPtr<Label> label = Label::labelWithString("one", "Arial", 24);
    label->setPosition(cpv(160, 300));
    RefPtr<Relabel> relabel = makeRef<Relabel>();
    relabel->label = label;
    relabel->text = "one";
    scene->add(label, -1); // drawn before the node that relabels it
    scene->add(relabel);
    scene->add(moving);
    showScene(scene);
    auto framesKept = [&](int frames) {
        uint64_t kept = GLStateCache::keptFrames();
        stepFrames(frames);
        return GLStateCache::keptFrames() - kept;
    };
    step();
    platform::Bitmap shown = readFrame();
    uint64_t calls = GLStateCache::drawCalls();
    EXPECT_EQ(framesKept(5), 5u);
    EXPECT_EQ(GLStateCache::drawCalls(), calls) << "nothing drawn for a kept frame";
    EXPECT_EQ(readFrame().pixels, shown.pixels);

    moving->setPosition(cpv(200, 100));
    EXPECT_EQ(framesKept(1), 0u) << "a node moved";
    EXPECT_EQ(pixelAt(200, 100).r, 255);
    EXPECT_EQ(pixelAt(60, 100).r, 0);
    relabel->text = "two";
    EXPECT_EQ(framesKept(2), 0u) << "the new text is made in one frame's draw, shown in the next";
    EXPECT_EQ(framesKept(2), 2u);
    platform::Bitmap two = readFrame();
    glClearColor(0, 0, 1, 1);
    EXPECT_EQ(framesKept(1), 0u) << "another clear colour";
    EXPECT_EQ(pixelAt(300, 400).b, 255);
    GLStateCache::redrawNextFrame();
    EXPECT_EQ(framesKept(1), 0u) << "asked for";
    SDL_Event exposed{};
    exposed.type = SDL_WINDOWEVENT;
    exposed.window.event = SDL_WINDOWEVENT_EXPOSED;
    SDL_PushEvent(&exposed);
    EXPECT_EQ(framesKept(1), 0u) << "the window uncovered";
    scene->visit();
    EXPECT_EQ(framesKept(1), 0u) << "drawn into outside a frame";
    glClearColor(0, 0, 0, 1);
    EXPECT_EQ(framesKept(2), 1u);
    EXPECT_EQ(readFrame().pixels, two.pixels);

    // A node with GL calls of its own ends the recording: every frame is drawn,
    // and what a sprite of its own kind adds by hand is on it.
    auto patched = makeRef<PatchedSprite>();
    ASSERT_TRUE(patched->initWithFile("a.png"));
    patched->setPosition(cpv(100, 200));
    scene->add(patched);
    EXPECT_EQ(framesKept(40), 0u);
    EXPECT_EQ(pixelAt(100, 200), (RGBA{0, 255, 0, 255}));
}

TEST_F(GLStateCacheTest, AFrameRecordedThenDrawnPartWayShowsWhatDrawingAsItGoesShows) {
    // Sprites, a turned one, a layer drawing on its own between them, and
    // sprites again: the recorded part is drawn before the layer.
    RefPtr<Scene> scene = Scene::node();
    scene->add(sprite("a.png", 20));
    scene->add(sprite("b.png", 30, 30));
    scene->add(ColorLayer::layerWithColor(0x00FF0080, 64, 200));
    scene->add(sprite("a.png", 40));
    showScene(scene);
    platform::Bitmap recorded = readFrame();
    glClear(GL_COLOR_BUFFER_BIT);
    scene->visit(); // drawn as it goes, outside the director's frames
    EXPECT_EQ(readFrame().pixels, recorded.pixels);
}
