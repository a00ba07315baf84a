// The GL state cache: runs of sprites become one draw call, and every node
// that draws on its own still finds the conventional GL state.

#include "engine/GLStateCache.h"
#include "engine/Layer.h"
#include "engine/Sprite.h"
#include "engine/TextureMgr.h"
#include "platform/System.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

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
        writePicture(resources.file("a.png"), 8, 8, [](int, int) { return RGBA{255, 0, 0, 255}; });
        writePicture(resources.file("b.png"), 8, 8, [](int, int) { return RGBA{0, 0, 255, 200}; });
    }
    // Draws one frame of `nodes` and gives the draw calls made for quads.
    uint64_t drawCallsFor(const std::vector<RefPtr<CocosNode>>& nodes) {
        RefPtr<Scene> scene = Scene::node();
        for (const auto& n : nodes)
            scene->add(n);
        showScene(scene);
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
