// Sprites: blending, shared textures, display frames, animations, the
// memory warning, and a scene of sprites as it looks.

#include "engine/Sprite.h"
#include "TindervaleAppDelegate.h"
#include "engine/Errors.h"
#include "engine/Layer.h"
#include "engine/TextureMgr.h"
#include "platform/System.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

#include <cmath>

namespace {

const RGBA kRed{255, 0, 0, 255}, kWhite{255, 255, 255, 255};

class SpriteTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        platform::setResourceDirectory(resources.path());
        // A matchstick: a wooden body, a red head, soft (half-covered) long sides.
        writePicture(resources.file("stick.png"), 12, 100, [](int x, int y) {
            return RGBA{y < 16 ? 200 : 230, y < 16 ? 30 : 190, y < 16 ? 30 : 120,
                        x == 0 || x == 11 ? 128 : 255};
        });
        // A white disc whose edge fades out over three pixels.
        writePicture(resources.file("disc.png"), 64, 64, [](int x, int y) {
            float a = std::clamp((31.0f - std::hypot(x + 0.5f - 32, y + 0.5f - 32)) / 3.0f, 0.0f, 1.0f);
            return RGBA{255, 255, 255, static_cast<int>(std::lround(a * 255))};
        });
        writePicture(resources.file("arrow.png"), 80, 40, [](int x, int y) { // pointing right
            bool inked = x < 50 ? y >= 15 && y < 25 : std::abs(y - 20) < (80 - x) * 20 / 30;
            return inked ? RGBA{250, 220, 40, 255} : RGBA{0, 0, 0, 0};
        });
        writePicture(resources.file("block.png"), 100, 60, [](int x, int) { return x < 10 ? kRed : kWhite; });
        writePicture(resources.file("half.png"), 20, 20, [](int, int) { return RGBA{255, 255, 255, 128}; });
    }
    // Runs a scene of `background` colour holding `nodes` and draws one frame.
    void show(uint32_t background, std::initializer_list<CocosNode*> nodes) {
        RefPtr<Scene> scene = Scene::node();
        scene->add(ColorLayer::layerWithColor(background), -1);
        for (CocosNode* n : nodes)
            scene->add(n);
        runScene(scene);
        step();
    }
    ScratchDir resources;
};

RefPtr<Sprite> spriteAt(const char* file, cpVect p, float rotation = 0, float scale = 1) {
    RefPtr<Sprite> s = Sprite::spriteWithFile(file);
    s->setPosition(p), s->setRotation(rotation), s->setScale(scale);
    return s;
}

} // namespace

// (That the GL state is put back after sprites is GLStateCacheTest's.)
TEST_F(SpriteTest, TintAndOpacityBlendWithTheBackgroundAndSoftEdgesStayBright) {
    RefPtr<Sprite> red = spriteAt("block.png", cpv(160, 100));
    red->setRGB(255, 0, 0);
    red->setOpacity(128);
    RefPtr<Sprite> half = spriteAt("half.png", cpv(160, 300)); // white at half alpha
    show(0x00ff00ff, {red, half});
    EXPECT_TRUE(colorNear(pixelAt(180, 100), {128, 127, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(160, 300), {128, 255, 128, 255})); // a light green, not a dark one
}

TEST_F(SpriteTest, SpritesShareTheirFilesTextureHoldingOneReferenceEach) {
    RefPtr<Sprite> a = Sprite::spriteWithFile("stick.png");
    Texture2D* t = a->texture();
    EXPECT_EQ(t->retainCount(), 2u); // the cache and the sprite
    RefPtr<Sprite> b = Sprite::spriteWithFile("stick.png");
    EXPECT_EQ(b->texture(), t);
    EXPECT_EQ(t->retainCount(), 3u);
    b = Sprite::spriteWithTexture(t);
    EXPECT_EQ(t->retainCount(), 3u);
    b = nullptr;
    EXPECT_EQ(t->retainCount(), 2u);

    platform::Bitmap picture = makeBitmap(30, 10, [](int, int) { return RGBA{0, 0, 255, 255}; });
    EXPECT_EQ(Sprite::spriteWithCGImage(&picture)->transformAnchor(), cpv(15, 5));
    resources.write("raw.pvrtc", std::vector<uint8_t>(32, 0));
    EXPECT_EQ(Sprite::spriteWithPVRTCFile("raw.pvrtc", 2, false, 8)->transformAnchor(), cpv(4, 4));
    while (glGetError() != GL_NO_ERROR) {
    }
    RefPtr<Sprite> none = Sprite::spriteWithFile("missing.png");
    EXPECT_EQ(none->texture(), nullptr);
    EXPECT_EQ(none->contentSize(), (ccSize{0, 0}));
    show(0x000000ff, {none}); // draws nothing, and does not fail
}

TEST_F(SpriteTest, DisplayFramesSwapTexturesAndTheirReferences) {
    Texture2D* first = TextureMgr::sharedTextureMgr()->addImage("stick.png");
    Texture2D* second = TextureMgr::sharedTextureMgr()->addImage("disc.png");
    RefPtr<Sprite> s = Sprite::spriteWithTexture(first);
    s->addAnimation(Animation::animationWithName("burn", 0.1f, {"disc.png"}));
    s->addAnimation(Animation::animationWithName("burn", 0.1f, {first, second})); // replaces the first one
    ASSERT_EQ(s->animations()->size(), 1u);
    EXPECT_EQ(first->retainCount(), 3u); // cache, animation, sprite
    EXPECT_EQ(second->retainCount(), 2u);

    s->setDisplayFrame("burn", 0); // already shown: nothing changes
    EXPECT_EQ(first->retainCount(), 3u);
    s->setDisplayFrame("burn", 1);
    EXPECT_EQ(s->texture(), second);
    EXPECT_EQ(first->retainCount(), 2u);
    EXPECT_EQ(second->retainCount(), 3u);
    EXPECT_EQ(s->transformAnchor(), cpv(6, 50)); // still the first picture's centre
    EXPECT_THROW(s->setDisplayFrame("burn", 2), AssertionFailure);
    EXPECT_THROW(s->setDisplayFrame("burn", -1), AssertionFailure);
    s->setDisplayFrame("no such animation", 0);
    EXPECT_EQ(s->texture(), nullptr);
    EXPECT_EQ(second->retainCount(), 2u);
}

TEST_F(SpriteTest, AnimationsLoadTheirFramesThroughTheCacheAndLeaveOutMissingOnes) {
    RefPtr<Animation> a = Animation::animationWithName("a", 0.25f, {"stick.png", "missing.png", "disc.png"});
    ASSERT_EQ(a->frames().size(), 2u);
    EXPECT_EQ(a->frames()[0].get(), TextureMgr::sharedTextureMgr()->addImage("stick.png"));
    a->addFrame("arrow.png");
    a->addFrame("missing.png");
    a->addFrameWithTexture(nullptr);
    a->setFrames({nullptr, a->frames()[2], a->frames()[0]});
    EXPECT_EQ(a->frames().size(), 2u);
}

TEST_F(SpriteTest, AMemoryWarningEmptiesTheCacheButSpritesKeepDrawing) {
    RefPtr<Sprite> s = spriteAt("block.png", cpv(160, 240));
    Texture2D* before = s->texture();
    show(0x000000ff, {s});
    TindervaleAppDelegate().applicationDidReceiveMemoryWarning(&Application::sharedApplication());
    EXPECT_TRUE(TextureMgr::sharedTextureMgr()->textures().empty());
    EXPECT_EQ(before->retainCount(), 1u);
    step();
    EXPECT_TRUE(colorNear(pixelAt(112, 240), kRed));
    EXPECT_NE(Sprite::spriteWithFile("block.png")->texture(), before); // loaded afresh
}

TEST_F(SpriteTest, ASceneOfSpritesAndAWrappedText) {
    auto tinted = [](RefPtr<Sprite> s, uint8_t r, uint8_t g, uint8_t b, uint8_t opacity) {
        s->setRGB(r, g, b), s->setOpacity(opacity);
        return s;
    };
    RefPtr<TextureNode> text = TextureNode::node();
    text->setTexture(construct<Texture2D>([](Texture2D& t) {
        return t.initWithString("Move 3 sticks to form 4 squares, or try the bonus levels", ccSize{280, 90},
                                1, "Marker Felt", 24);
    }));
    text->setPosition(cpv(20, 360));
    text->setRGB(255, 240, 200);
    show(0x2a6f97ff,
         {spriteAt("stick.png", cpv(40, 250)), spriteAt("stick.png", cpv(95, 250), 30),
          spriteAt("stick.png", cpv(190, 250), -60, 1.2f), spriteAt("arrow.png", cpv(285, 250), 90),
          tinted(spriteAt("disc.png", cpv(60, 110)), 255, 90, 90, 255),
          tinted(spriteAt("disc.png", cpv(150, 110)), 255, 255, 255, 110),
          tinted(spriteAt("disc.png", cpv(245, 110), 0, 0.6f), 120, 255, 120, 255), text});
    saveFrame("sprites-and-text");
    EXPECT_TRUE(matchesGolden("sprites-and-text"));
}
