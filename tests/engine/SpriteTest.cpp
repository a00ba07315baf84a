#include "TindervaleAppDelegate.h"
#include "engine/Errors.h"
#include "engine/Layer.h"
#include "engine/Sprite.h"
#include "engine/TextureMgr.h"
#include "platform/System.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

#include <cmath>
#include <filesystem>

namespace {

// A matchstick: a wooden body with a red head, its long sides soft (half-covered columns).
RGBA stick(int x, int y) {
    RGBA c = y < 16 ? RGBA{200, 30, 30, 255} : RGBA{230, 190, 120, 255};
    if (x == 0 || x == 11) c.a = 128;
    return c;
}

// A white disc of radius 30 whose edge fades out over three pixels.
RGBA disc(int x, int y) {
    float d = std::hypot(x + 0.5f - 32, y + 0.5f - 32);
    float a = std::clamp((31.0f - d) / 3.0f, 0.0f, 1.0f);
    return {255, 255, 255, static_cast<int>(std::lround(a * 255))};
}

// An arrow pointing right: a bar and a head.
RGBA arrow(int x, int y) {
    bool bar = x < 50 && y >= 15 && y < 25;
    bool head = x >= 50 && std::abs(y - 20) < (80 - x) * 20 / 30;
    return bar || head ? RGBA{250, 220, 40, 255} : RGBA{0, 0, 0, 0};
}

class SpriteTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        platform::setResourceDirectory(resources.path());
        writePicture(resources.file("stick.png"), 12, 100, stick);
        writePicture(resources.file("disc.png"), 64, 64, disc);
        writePicture(resources.file("arrow.png"), 80, 40, arrow);
        writePicture(resources.file("block.png"), 100, 60, [](int x, int) {
            return x < 10 ? RGBA{255, 0, 0, 255} : RGBA{255, 255, 255, 255}; // red left edge
        });
        writePicture(resources.file("half.png"), 20, 20, [](int, int) { return RGBA{255, 255, 255, 128}; });
    }

    // Runs a scene of `background` colour holding `nodes`, and draws one frame.
    void show(uint32_t background, std::initializer_list<CocosNode*> nodes) {
        RefPtr<Scene> scene = Scene::node();
        scene->add(ColorLayer::layerWithColor(background), -1);
        for (CocosNode* n : nodes) scene->add(n);
        runScene(scene);
        step();
    }

    ScratchDir resources;
};

RefPtr<Sprite> spriteAt(const char* file, cpVect p) {
    RefPtr<Sprite> s = Sprite::spriteWithFile(file);
    s->setPosition(p);
    return s;
}

} // namespace

TEST_F(SpriteTest, ASpriteIsCentredOnItsPosition) {
    RefPtr<Sprite> s = spriteAt("block.png", cpv(160, 240));
    EXPECT_EQ(s->contentSize(), (ccSize{100, 60}));
    EXPECT_EQ(s->transformAnchor(), cpv(50, 30));
    show(0x000000ff, {s});
    EXPECT_TRUE(colorNear(pixelAt(112, 212), {255, 0, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(208, 268), {255, 255, 255, 255}));
    EXPECT_TRUE(colorNear(pixelAt(108, 240), {0, 0, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(212, 240), {0, 0, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(160, 208), {0, 0, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(160, 272), {0, 0, 0, 255}));
}

TEST_F(SpriteTest, RotationIsClockwiseAboutThePicturesCentreAndScaleGrowsFromIt) {
    RefPtr<Sprite> turned = spriteAt("block.png", cpv(100, 300));
    turned->setRotation(90); // the red left edge turns to the top
    RefPtr<Sprite> grown = spriteAt("block.png", cpv(220, 100));
    grown->setScale(0.5f);
    show(0x000000ff, {turned, grown});
    EXPECT_TRUE(colorNear(pixelAt(100, 346), {255, 0, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(100, 260), {255, 255, 255, 255}));
    EXPECT_TRUE(colorNear(pixelAt(100, 354), {0, 0, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(197, 100), {255, 0, 0, 255})); // 50 wide now: 195..245
    EXPECT_TRUE(colorNear(pixelAt(240, 112), {255, 255, 255, 255}));
    EXPECT_TRUE(colorNear(pixelAt(250, 100), {0, 0, 0, 255}));
}

TEST_F(SpriteTest, TintAndOpacityBlendWithTheBackgroundAndSoftEdgesStayBright) {
    RefPtr<Sprite> red = spriteAt("block.png", cpv(160, 100));
    red->setRGB(255, 0, 0);
    red->setOpacity(128);
    // Half-transparent white over green: a light green, not a dark one.
    RefPtr<Sprite> half = spriteAt("half.png", cpv(160, 300));
    show(0x00ff00ff, {red, half});
    EXPECT_TRUE(colorNear(pixelAt(180, 100), {128, 127, 0, 255}));
    EXPECT_TRUE(colorNear(pixelAt(160, 300), {128, 255, 128, 255}));
    // The director's blend function and the GL defaults are back after drawing.
    GLint source = 0, destination = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    glGetIntegerv(GL_BLEND_DST, &destination);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_EQ(destination, GL_ONE_MINUS_SRC_ALPHA);
    GLfloat colour[4];
    glGetFloatv(GL_CURRENT_COLOR, colour);
    EXPECT_EQ(colour[1], 1.0f);
    EXPECT_EQ(colour[3], 1.0f);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D));
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

TEST_F(SpriteTest, SpritesOfOneFileShareItsTextureAndHoldOneReferenceEach) {
    RefPtr<Sprite> a = Sprite::spriteWithFile("stick.png");
    Texture2D* t = a->texture();
    ASSERT_TRUE(t);
    EXPECT_EQ(t->retainCount(), 2u); // the cache and the sprite
    {
        RefPtr<Sprite> b = Sprite::spriteWithFile("stick.png");
        EXPECT_EQ(b->texture(), t);
        EXPECT_EQ(t->retainCount(), 3u);
    }
    EXPECT_EQ(t->retainCount(), 2u);
    RefPtr<Sprite> own = Sprite::spriteWithTexture(t);
    EXPECT_EQ(t->retainCount(), 3u);
    own = nullptr;
    EXPECT_EQ(t->retainCount(), 2u);

    RefPtr<Sprite> none = Sprite::spriteWithFile("missing.png");
    ASSERT_TRUE(none);
    EXPECT_EQ(none->texture(), nullptr);
    EXPECT_EQ(none->contentSize(), (ccSize{0, 0}));
    EXPECT_EQ(none->transformAnchor(), cpvzero);
    show(0x000000ff, {none}); // draws nothing, and does not fail
    EXPECT_TRUE(colorNear(pixelAt(0, 0), {0, 0, 0, 255}));
}

TEST_F(SpriteTest, EveryKindOfSourceMakesASprite) {
    platform::Bitmap picture = makeBitmap(30, 10, [](int, int) { return RGBA{0, 0, 255, 255}; });
    RefPtr<Sprite> fromMemory = Sprite::spriteWithCGImage(&picture);
    EXPECT_EQ(fromMemory->transformAnchor(), cpv(15, 5));
    EXPECT_EQ(fromMemory->texture(), TextureMgr::sharedTextureMgr()->addCGImage(&picture));

    resources.write("raw.pvrtc", std::vector<uint8_t>(32, 0));
    RefPtr<Sprite> compressed = Sprite::spriteWithPVRTCFile("raw.pvrtc", 2, false, 8);
    EXPECT_EQ(compressed->contentSize(), (ccSize{8, 8}));
    EXPECT_EQ(compressed->transformAnchor(), cpv(4, 4));
    while (glGetError() != GL_NO_ERROR) {
    }
    EXPECT_EQ(Sprite::spriteWithTexture(nullptr)->contentSize(), (ccSize{0, 0}));
    EXPECT_EQ(fromMemory->animations(), nullptr);
}

TEST_F(SpriteTest, DisplayFramesSwapTexturesAndTheirReferences) {
    Texture2D* first = TextureMgr::sharedTextureMgr()->addImage("stick.png");
    Texture2D* second = TextureMgr::sharedTextureMgr()->addImage("disc.png");
    RefPtr<Sprite> s = Sprite::spriteWithTexture(first);
    RefPtr<Animation> burn = Animation::animationWithName("burn", 0.1f, {first, second});
    s->addAnimation(burn);
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
    EXPECT_EQ(s->texture(), second);
    s->setDisplayFrame("no such animation", 0);
    EXPECT_EQ(s->texture(), nullptr);
    EXPECT_EQ(second->retainCount(), 2u);
}

TEST_F(SpriteTest, AnimationsAreKeptByNameTheLatestWinning) {
    RefPtr<Sprite> s = Sprite::spriteWithFile("stick.png");
    EXPECT_EQ(s->animations(), nullptr);
    RefPtr<Animation> one = Animation::animationWithName("walk", 0.1f, {"stick.png"});
    RefPtr<Animation> two = Animation::animationWithName("walk", 0.2f, {"disc.png"});
    s->addAnimation(one);
    s->addAnimation(two);
    ASSERT_TRUE(s->animations());
    EXPECT_EQ(s->animations()->size(), 1u);
    EXPECT_EQ(s->animations()->at("walk").get(), two.get());
    EXPECT_EQ(one->retainCount(), 1u);
    EXPECT_EQ(two->retainCount(), 2u);
}

TEST_F(SpriteTest, AnimationsLoadTheirFramesThroughTheCacheAndSkipMissingOnes) {
    RefPtr<Animation> a = Animation::animationWithName("a", 0.25f, {"stick.png", "missing.png", "disc.png"});
    EXPECT_EQ(a->name(), "a");
    EXPECT_EQ(a->delay(), 0.25f);
    ASSERT_EQ(a->frames().size(), 2u);
    EXPECT_EQ(a->frames()[0].get(), TextureMgr::sharedTextureMgr()->addImage("stick.png"));
    a->addFrame("arrow.png");
    a->addFrame("missing.png");
    a->addFrameWithTexture(nullptr);
    EXPECT_EQ(a->frames().size(), 3u);
    RefPtr<Animation> b = Animation::animationWithName("b", 0.1f, {a->frames()[2].get(), nullptr});
    EXPECT_EQ(b->frames().size(), 1u);
    b->setFrames({nullptr, a->frames()[0]});
    EXPECT_EQ(b->frames().size(), 1u);
    RefPtr<Animation> empty = construct<Animation>([](Animation& x) { return x.initWithName("e", 1); });
    EXPECT_TRUE(empty->frames().empty());
}

TEST_F(SpriteTest, AMemoryWarningEmptiesTheCacheButSpritesKeepDrawing) {
    RefPtr<Sprite> s = spriteAt("block.png", cpv(160, 240));
    Texture2D* before = s->texture();
    show(0x000000ff, {s});
    TindervaleAppDelegate delegate;
    delegate.applicationDidReceiveMemoryWarning(&Application::sharedApplication());
    EXPECT_TRUE(TextureMgr::sharedTextureMgr()->textures().empty());
    EXPECT_EQ(s->texture(), before);
    EXPECT_EQ(before->retainCount(), 1u);
    step();
    EXPECT_TRUE(colorNear(pixelAt(112, 240), {255, 0, 0, 255}));
    EXPECT_NE(Sprite::spriteWithFile("block.png")->texture(), before); // loaded afresh
}

TEST_F(SpriteTest, ASceneOfSpritesAndAWrappedText) {
    auto place = [](RefPtr<Sprite> s, float rotation, float scale, uint8_t r, uint8_t g, uint8_t b, uint8_t opacity) {
        s->setRotation(rotation);
        s->setScale(scale);
        s->setRGB(r, g, b);
        s->setOpacity(opacity);
        return s;
    };
    RefPtr<TextureNode> text = TextureNode::node();
    text->setTexture(construct<Texture2D>([](Texture2D& t) {
        return t.initWithString("Move 3 sticks to form 4 squares, or try the bonus levels", ccSize{280, 90}, 1,
                                "Marker Felt", 24);
    }));
    text->setPosition(cpv(20, 360));
    text->setRGB(255, 240, 200);
    show(0x2a6f97ff, {
                         place(spriteAt("stick.png", cpv(40, 250)), 0, 1, 255, 255, 255, 255),
                         place(spriteAt("stick.png", cpv(95, 250)), 30, 1, 255, 255, 255, 255),
                         place(spriteAt("stick.png", cpv(190, 250)), -60, 1.2f, 255, 255, 255, 255),
                         place(spriteAt("arrow.png", cpv(285, 250)), 90, 1, 255, 255, 255, 255),
                         place(spriteAt("disc.png", cpv(60, 110)), 0, 1, 255, 90, 90, 255),
                         place(spriteAt("disc.png", cpv(150, 110)), 0, 1, 255, 255, 255, 110),
                         place(spriteAt("disc.png", cpv(245, 110)), 0, 0.6f, 120, 255, 120, 255),
                         text,
                     });
    saveFrame("sprites-and-text");
    EXPECT_TRUE(matchesGolden("sprites-and-text"));
}
