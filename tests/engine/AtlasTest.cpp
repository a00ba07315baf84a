// Texture atlases, atlas nodes, character-map labels and the director's
// frame-rate counter drawn with one.

#include "engine/Errors.h"
#include "engine/LabelAtlas.h"
#include "engine/Layer.h"
#include "engine/TextureMgr.h"
#include "platform/System.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

#include <functional>

namespace {

// "name: reason" of the named exception `call` raises, or "" when it raises none.
std::string raised(const std::function<void()>& call) {
    try {
        call();
    } catch (const NamedException& e) {
        return e.name() + ": " + e.reason();
    }
    return "";
}

std::vector<GLushort> indicesOf(const TextureAtlas& atlas, uint32_t quad) {
    const GLushort* i = atlas.indices() + quad * 6;
    return {i, i + 6};
}

const RGBA kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255},
    kYellow{255, 255, 0, 255}, kCyan{0, 255, 255, 255}, kGrey{64, 64, 64, 255};

class AtlasTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        platform::setResourceDirectory(resources.path());
        // Six 8 x 8 tiles of one colour each, three to a row: 'a'..'f'.
        writePicture(resources.file("tiles.png"), 24, 16, [](int x, int y) {
            const RGBA colours[] = {kRed, kGreen, kBlue, kWhite, kYellow, kCyan};
            return colours[(y / 8) * 3 + x / 8];
        });
        writePicture(resources.file("square.png"), 256, 256, [](int, int) { return kWhite; });
        writePicture(resources.file("oblong.png"), 200, 100, [](int, int) { return kWhite; });
    }
    void show(CocosNode* node) {
        RefPtr<Scene> scene = Scene::node();
        scene->add(ColorLayer::layerWithColor(0x404040ff), -1);
        scene->add(node);
        runScene(scene);
        step();
    }
    ScratchDir resources;
};

} // namespace

TEST_F(AtlasTest, AnAtlasKeepsItsIndexPatternAndStartsAfreshWhenResized) {
    RefPtr<TextureAtlas> atlas = TextureAtlas::textureAtlasWithFile("tiles.png", 10);
    ASSERT_TRUE(atlas);
    EXPECT_EQ(atlas->totalQuads(), 10u);
    EXPECT_EQ(atlas->texture(), TextureMgr::sharedTextureMgr()->addImage("tiles.png"));
    EXPECT_EQ(indicesOf(*atlas, 0), (std::vector<GLushort>{0, 1, 2, 3, 2, 1}));
    EXPECT_EQ(indicesOf(*atlas, 9), (std::vector<GLushort>{36, 37, 38, 39, 38, 37}));
    EXPECT_EQ(atlas->vertices()[9].tr_y, 0.0f);

    ccQuad2 t{1, 2, 3, 4, 5, 6, 7, 8};
    ccQuad3 v{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    atlas->updateQuadWithTexture(&t, &v, 9);
    EXPECT_EQ(atlas->texCoordinates()[9].tr_y, 8.0f);
    EXPECT_EQ(atlas->vertices()[9].tr_z, 12.0f);
    try {
        atlas->updateQuadWithTexture(&t, &v, 10);
        FAIL() << "slot 10 of 10 was written";
    } catch (const AssertionFailure& e) {
        EXPECT_STREQ(e.what(), "updateQuadWithTexture: Invalid index");
    }

    atlas->resizeCapacity(10); // the same capacity keeps the quads
    EXPECT_EQ(atlas->vertices()[9].tr_z, 12.0f);
    atlas->updateQuadWithTexture(&t, &v, 0);
    atlas->resizeCapacity(12); // any other zeroes them all, also those below the old capacity
    EXPECT_EQ(atlas->totalQuads(), 12u);
    EXPECT_EQ(atlas->vertices()[0].tr_z, 0.0f);
    EXPECT_EQ(atlas->texCoordinates()[9].tr_y, 0.0f);
    EXPECT_EQ(indicesOf(*atlas, 11), (std::vector<GLushort>{44, 45, 46, 47, 46, 45}));
    atlas->resizeCapacity(0);
    EXPECT_EQ(atlas->totalQuads(), 0u);
}

TEST_F(AtlasTest, SixteenBitIndicesLimitAnAtlasTo16384Quads) {
    RefPtr<TextureAtlas> largest = TextureAtlas::textureAtlasWithFile("tiles.png", 16384);
    ASSERT_TRUE(largest);
    EXPECT_EQ(indicesOf(*largest, 16383), (std::vector<GLushort>{65532, 65533, 65534, 65535, 65534, 65533}));

    EXPECT_EQ(TextureAtlas::textureAtlasWithFile("tiles.png", 16385), nullptr);
    EXPECT_TRUE(logged("TextureAtlas: 16385 quads are more than 16-bit indices can address (16384 at most)"));
    EXPECT_EQ(raised([&] { largest->resizeCapacity(20000); }),
              "TextureAtlas:TooManyQuads: Texture Atlas. The capacity is above 16384 quads");
    EXPECT_EQ(largest->totalQuads(), 16384u) << "a refused resize leaves the atlas as it was";

    // A label longer than that shows what fits instead of failing.
    RefPtr<LabelAtlas> label = LabelAtlas::labelAtlasWithString("ab", "tiles.png", 8, 8, 'a');
    label->setString(std::string(20000, 'b'));
    EXPECT_EQ(label->textureAtlas()->totalQuads(), 16384u);
    EXPECT_TRUE(logged("LabelAtlas: only the first 16384 of 20000 characters are shown"));
    show(label); // draws the 16384 quads it has, no more
}

TEST_F(AtlasTest, TilesAreCountedOnThePictureAndSteppedOnTheTexture) {
    RefPtr<AtlasNode> square = AtlasNode::atlasWithTileFile("square.png", 16, 24, 4);
    EXPECT_EQ(square->itemsPerRow(), 16);
    EXPECT_EQ(square->itemsPerColumn(), 10); // 256 / 24 = 10.67
    EXPECT_EQ(square->texStepX(), 0.0625f);
    EXPECT_EQ(square->texStepY(), 0.09375f);
    EXPECT_EQ(square->opacity(), 255);
    EXPECT_EQ(square->textureAtlas()->totalQuads(), 4u);

    RefPtr<AtlasNode> oblong = AtlasNode::atlasWithTileFile("oblong.png", 20, 20, 1); // texture 256 x 128
    EXPECT_EQ(oblong->itemsPerRow(), 10);
    EXPECT_EQ(oblong->itemsPerColumn(), 5);
    EXPECT_EQ(oblong->texStepX(), 0.078125f);
    EXPECT_EQ(oblong->texStepY(), 0.15625f);

    EXPECT_EQ(raised([&] { square->updateAtlasValues(); }),
              "AtlasNode:Abstract: updateAtlasValue not overriden");
    EXPECT_EQ(raised([&] { square->contentSize(); }), "ContentSizeAbstract: ContentSize was not overriden");

    // No picture, or no tile size: no tiles, and nothing divides by zero.
    RefPtr<AtlasNode> missing = AtlasNode::atlasWithTileFile("missing.png", 16, 24, 2);
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->itemsPerRow(), 0);
    EXPECT_EQ(missing->texStepX(), 0.0f);
    EXPECT_EQ(AtlasNode::atlasWithTileFile("square.png", 0, -3, 1)->itemsPerRow(), 0);
    EXPECT_EQ(AtlasNode::atlasWithTileFile("square.png", 16, 16, -1), nullptr);
    RefPtr<LabelAtlas> blank = LabelAtlas::labelAtlasWithString("00", "missing.png", 16, 24, '0');
    show(blank); // draws nothing
    EXPECT_TRUE(colorNear(pixelAt(4, 4), kGrey));
}

TEST_F(AtlasTest, ACharacterMapLabelPicksItsTilesBySignedByteOffsets) {
    platform::setResourceDirectory(TV_RESOURCE_DIR);
    RefPtr<LabelAtlas> label = LabelAtlas::labelAtlasWithString("00.0", "fps_images.png", 16, 24, '.');
    EXPECT_EQ(label->contentSize(), (ccSize{64, 24}));
    EXPECT_EQ(label->transformAnchor(), cpvzero);
    const float step = label->texStepX(); // 16 / 256
    ASSERT_EQ(step, 0.0625f);
    auto left = [&](uint32_t i) { return label->textureAtlas()->texCoordinates()[i].bl_x; };
    EXPECT_EQ(left(0), 2 * step);
    EXPECT_EQ(left(1), 2 * step);
    EXPECT_EQ(left(2), 0 * step);
    EXPECT_EQ(left(3), 2 * step);
    const ccQuad2& t = label->textureAtlas()->texCoordinates()[0];
    EXPECT_EQ((std::vector<float>{t.bl_y, t.br_x, t.tl_y, t.tr_x}),
              (std::vector<float>{0.75f, 3 * step, 0, 3 * step}));
    const ccQuad3& v = label->textureAtlas()->vertices()[3];
    EXPECT_EQ((std::vector<float>{v.bl_x, v.bl_y, v.br_x, v.tl_y, v.tr_x, v.tr_y}),
              (std::vector<float>{48, 0, 64, 24, 64, 24}));

    label->setString("9-");
    EXPECT_EQ(left(0), 11 * step);
    EXPECT_EQ(left(1), -1 * step) << "one below the map's first tile";
    label->setString("\xC8"); // 200 - 46 = 154, a signed byte of -102: column -6, row -8
    EXPECT_EQ(left(0), -6 * step);
    EXPECT_EQ(label->textureAtlas()->texCoordinates()[0].tl_y, -8 * 0.75f);
}

TEST_F(AtlasTest, ACharacterMapLabelGrowsButNeverShrinksAndDrawsOnlyItsText) {
    RefPtr<LabelAtlas> label = LabelAtlas::labelAtlasWithString("abc", "tiles.png", 8, 8, 'a');
    EXPECT_EQ(label->itemsPerRow(), 3); // from the 24-pixel picture, stepped on the 32-pixel texture
    EXPECT_EQ(label->texStepX(), 0.25f);
    label->setPosition(cpv(100, 100));
    label->setScale(2); // 16 x 16 points a tile, from the lower-left corner
    show(label);
    EXPECT_TRUE(colorNear(pixelAt(108, 108), kRed));
    EXPECT_TRUE(colorNear(pixelAt(124, 108), kGreen));
    EXPECT_TRUE(colorNear(pixelAt(140, 108), kBlue));
    EXPECT_TRUE(colorNear(pixelAt(156, 108), kGrey));

    label->setString("e");
    EXPECT_EQ(label->textureAtlas()->totalQuads(), 3u);
    EXPECT_EQ(label->contentSize(), (ccSize{8, 8}));
    step();
    EXPECT_TRUE(colorNear(pixelAt(108, 108), kYellow)) << "tile 4: second row";
    EXPECT_TRUE(colorNear(pixelAt(124, 108), kGrey)) << "the quads left from the longer text are not drawn";

    label->setString("fdba");
    EXPECT_EQ(label->textureAtlas()->totalQuads(), 4u);
    label->setRGB(255, 0, 0);
    label->setOpacity(128);
    step();
    // Tinted red and half opaque over the grey: cyan and green turn black, white and red stay red.
    EXPECT_TRUE(colorNear(pixelAt(108, 108), {32, 32, 32, 255}));
    EXPECT_TRUE(colorNear(pixelAt(124, 108), {160, 32, 32, 255}));
    EXPECT_TRUE(colorNear(pixelAt(140, 108), {32, 32, 32, 255}));
    EXPECT_TRUE(colorNear(pixelAt(156, 108), {160, 32, 32, 255}));
    GLint source = 0;
    glGetIntegerv(GL_BLEND_SRC, &source);
    EXPECT_EQ(source, GL_SRC_ALPHA);
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_VERTEX_ARRAY) ||
                 glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

TEST_F(AtlasTest, TheFrameRateCounterShowsTheRateAtTheLowerLeftCorner) {
    platform::setResourceDirectory(TV_RESOURCE_DIR);
    LabelAtlas* counter = director()->FPSLabel();
    ASSERT_TRUE(counter);
    EXPECT_EQ(counter->string(), "00.0");
    EXPECT_EQ(counter->itemWidth(), 16);
    EXPECT_EQ(counter->itemHeight(), 24);
    EXPECT_EQ(counter->mapStartChar(), '.');

    RefPtr<Scene> scene = Scene::node();
    scene->add(ColorLayer::layerWithColor(0x2a6f97ff));
    director()->setDisplayFPS(true);
    runScene(scene);
    step();
    EXPECT_EQ(counter->string(), "0.0");
    stepFrames(12);
    EXPECT_EQ(counter->string(), "60.0");
    EXPECT_EQ(counter->textureAtlas()->totalQuads(), 4u);
    saveFrame("frame-rate-counter");
    EXPECT_TRUE(matchesGolden("frame-rate-counter"));

    director()->setDisplayFPS(false);
    step();
    EXPECT_TRUE(colorNear(pixelAt(8, 12), {42, 111, 151, 255}));
}
