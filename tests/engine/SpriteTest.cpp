// Sprites: blending, shared textures, display frames, animations, the memory
// warning. (Scenes of sprites are the game's and the gallery's pictures.)

#include "engine/Sprite.h"
#include "Scenes.h"
#include "TindervaleAppDelegate.h"
#include "engine/Errors.h"
#include "engine/TextureMgr.h"
#include "platform/System.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

namespace {

class SpriteTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        platform::setResourceDirectory(resources.path());
        writePlainPicture(resources.file("stick.png"), 12, 100, {230, 190, 120, 255});
        writePlainPicture(resources.file("disc.png"), 64, 64, {255, 255, 255, 255});
        writePlainPicture(resources.file("half.png"), 20, 20, {255, 255, 255, 128});
    }
    ScratchDir resources;
};

} // namespace

// (That the GL state is put back after sprites is GLStateCacheTest's.)
TEST_F(SpriteTest, TintAndOpacityBlendWithTheBackgroundAndSoftEdgesStayBright) {
    RefPtr<Sprite> red = Sprite::spriteWithFile("disc.png"), half = Sprite::spriteWithFile("half.png");
    red->setPosition(cpv(160, 100));
    red->setRGB(255, 0, 0);
    red->setOpacity(128);
    half->setPosition(cpv(160, 300)); // white at half alpha
    showScene(sceneOf(0x00ff00ff, {red, half}));
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
    // A memory warning empties the cache; sprites keep theirs (the board test sees them drawn on).
    TindervaleAppDelegate().applicationDidReceiveMemoryWarning(&Application::sharedApplication());
    EXPECT_TRUE(TextureMgr::sharedTextureMgr()->textures().empty());
    EXPECT_EQ(t->retainCount(), 1u);

    platform::Bitmap picture = makeBitmap(30, 10, [](int, int) { return RGBA{0, 0, 255, 255}; });
    EXPECT_EQ(Sprite::spriteWithCGImage(&picture)->transformAnchor(), cpv(15, 5));
    resources.write("raw.pvrtc", std::vector<uint8_t>(32, 0));
    EXPECT_EQ(Sprite::spriteWithPVRTCFile("raw.pvrtc", 2, false, 8)->transformAnchor(), cpv(4, 4));
    while (glGetError() != GL_NO_ERROR) {
    }
    RefPtr<Sprite> none = Sprite::spriteWithFile("missing.png");
    EXPECT_EQ(none->texture(), nullptr);
    EXPECT_EQ(none->contentSize(), (ccSize{0, 0}));
    showScene(sceneOf(0x000000ff, {none})); // draws nothing, and does not fail
}

TEST_F(SpriteTest, DisplayFramesSwapTexturesAndTheirReferences) {
    Texture2D* first = TextureMgr::sharedTextureMgr()->addImage("stick.png");
    Texture2D* second = TextureMgr::sharedTextureMgr()->addImage("disc.png");
    RefPtr<Sprite> s = Sprite::spriteWithTexture(first);
    s->addAnimation(Animation::animationWithName("burn", 0.1f, {"disc.png"}));
    s->addAnimation(Animation::animationWithName("burn", 0.1f, {first, second})); // replaces the first one
    ASSERT_EQ(s->animations()->size(), 1u);
    // Held by the cache, the animation and (the first) the sprite.
    EXPECT_EQ(std::pair(first->retainCount(), second->retainCount()), std::pair(3u, 2u));

    s->setDisplayFrame("burn", 0); // already shown: nothing changes
    EXPECT_EQ(first->retainCount(), 3u);
    s->setDisplayFrame("burn", 1);
    EXPECT_EQ(s->texture(), second);
    EXPECT_EQ(std::pair(first->retainCount(), second->retainCount()), std::pair(2u, 3u));
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
    a->addFrame("half.png");
    a->addFrame("missing.png");
    a->addFrameWithTexture(nullptr);
    a->setFrames({nullptr, a->frames()[2], a->frames()[0]});
    EXPECT_EQ(a->frames().size(), 2u);
}
