// Texture atlases, character-map labels and the frame-rate counter drawn with one.

#include "Scenes.h"
#include "engine/Errors.h"
#include "engine/LabelAtlas.h"
#include "platform/System.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

namespace {

std::vector<GLushort> indicesOf(const TextureAtlas& atlas, uint32_t quad) {
    return {atlas.indices() + quad * 6, atlas.indices() + quad * 6 + 6};
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
        writePlainPicture(resources.file("square.png"), 256, 256, kWhite);
        writePlainPicture(resources.file("oblong.png"), 200, 100, kWhite);
    }
    ScratchDir resources;
};

} // namespace

TEST_F(AtlasTest, AnAtlasKeepsItsIndexPatternAndStartsAfreshWhenResized) {
    RefPtr<TextureAtlas> atlas = TextureAtlas::textureAtlasWithFile("tiles.png", 10);
    EXPECT_EQ(indicesOf(*atlas, 0), (std::vector<GLushort>{0, 1, 2, 3, 2, 1}));
    ccQuad2 t{1, 2, 3, 4, 5, 6, 7, 8};
    ccQuad3 v{1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};
    atlas->updateQuadWithTexture(&t, &v, 9);
    atlas->updateQuadWithTexture(&t, &v, 0);
    EXPECT_THAT([&] { atlas->updateQuadWithTexture(&t, &v, 10); },
                Fails<AssertionFailure>("updateQuadWithTexture: Invalid index"));
    atlas->resizeCapacity(10); // the same capacity keeps the quads
    EXPECT_EQ(atlas->vertices()[9].tr_z, 12.0f);
    atlas->resizeCapacity(12); // another zeroes them all, also those below the old capacity
    EXPECT_EQ(atlas->vertices()[0].tr_z, 0.0f);
    EXPECT_EQ(indicesOf(*atlas, 11), (std::vector<GLushort>{44, 45, 46, 47, 46, 45}));

    // 16-bit indices address 16384 quads; more are refused.
    RefPtr<TextureAtlas> largest = TextureAtlas::textureAtlasWithFile("tiles.png", 16384);
    EXPECT_EQ(indicesOf(*largest, 16383), (std::vector<GLushort>{65532, 65533, 65534, 65535, 65534, 65533}));
    EXPECT_EQ(TextureAtlas::textureAtlasWithFile("tiles.png", 16385), nullptr);
    EXPECT_TRUE(logged("TextureAtlas: 16385 quads are more than 16-bit indices can address (16384 at most)"));
    EXPECT_THAT(
        [&] { largest->resizeCapacity(20000); },
        Fails<NamedException>("TextureAtlas:TooManyQuads: Texture Atlas. The capacity is above 16384 quads"));
    EXPECT_EQ(largest->totalQuads(), 16384u) << "a refused resize leaves the atlas as it was";
    // A label longer than that shows what fits.
    RefPtr<LabelAtlas> label = LabelAtlas::labelAtlasWithString("ab", "tiles.png", 8, 8, 'a');
    label->setString(std::string(20000, 'b'));
    EXPECT_EQ(label->textureAtlas()->totalQuads(), 16384u);
    showScene(sceneOf(0x404040ff, {label}));
}

TEST_F(AtlasTest, TilesAreCountedOnThePictureAndSteppedOnTheTexture) {
    auto layout = [](AtlasNode* a) -> std::vector<float> {
        return {float(a->itemsPerRow()), float(a->itemsPerColumn()), a->texStepX(), a->texStepY()};
    };
    RefPtr<AtlasNode> square = AtlasNode::atlasWithTileFile("square.png", 16, 24, 4);
    EXPECT_EQ(layout(square), (std::vector<float>{16, 10, 0.0625f, 0.09375f}));
    RefPtr<AtlasNode> oblong = AtlasNode::atlasWithTileFile("oblong.png", 20, 20, 1); // texture 256 x 128
    EXPECT_EQ(layout(oblong), (std::vector<float>{10, 5, 0.078125f, 0.15625f}));
    EXPECT_THAT([&] { square->contentSize(); },
                Fails<NamedException>("ContentSizeAbstract: ContentSize was not overriden"));
    // No picture, or no tile size: no tiles, nothing divides by zero, nothing is drawn.
    EXPECT_EQ(AtlasNode::atlasWithTileFile("square.png", 0, -3, 1)->itemsPerRow(), 0);
    RefPtr<LabelAtlas> blank = LabelAtlas::labelAtlasWithString("00", "missing.png", 16, 24, '0');
    EXPECT_EQ(blank->itemsPerRow(), 0);
    showScene(sceneOf(0x404040ff, {blank}));
    EXPECT_TRUE(colorNear(pixelAt(4, 4), kGrey));
}

TEST_F(AtlasTest, ACharacterMapLabelPicksItsTilesBySignedByteOffsets) {
    platform::setResourceDirectory(TV_RESOURCE_DIR);
    RefPtr<LabelAtlas> label = LabelAtlas::labelAtlasWithString("00.0", "fps_images.png", 16, 24, '.');
    EXPECT_EQ(label->contentSize(), (ccSize{64, 24}));
    const float step = label->texStepX(); // 16 / 256
    auto left = [&](uint32_t i) { return label->textureAtlas()->texCoordinates()[i].bl_x / step; };
    EXPECT_EQ((std::vector<float>{left(0), left(1), left(2), left(3)}), (std::vector<float>{2, 2, 0, 2}));
    const ccQuad3& v = label->textureAtlas()->vertices()[3];
    EXPECT_EQ((std::vector<float>{v.bl_x, v.bl_y, v.tr_x, v.tr_y}), (std::vector<float>{48, 0, 64, 24}));
    label->setString("9-\xC8"); // '-' is one below the first tile; 200 - 46 is the signed byte -102
    EXPECT_EQ((std::vector<float>{left(0), left(1), left(2)}), (std::vector<float>{11, -1, -6}));
    EXPECT_EQ(label->textureAtlas()->texCoordinates()[2].tl_y, -8 * 0.75f);
}

TEST_F(AtlasTest, ACharacterMapLabelGrowsButNeverShrinksAndDrawsOnlyItsText) {
    RefPtr<LabelAtlas> label = LabelAtlas::labelAtlasWithString("abc", "tiles.png", 8, 8, 'a');
    label->setPosition(cpv(100, 100));
    label->setScale(2); // 16 x 16 points a tile, from the lower-left corner
    showScene(sceneOf(0x404040ff, {label}));
    auto expectRow = [&](std::vector<RGBA> colours) {
        for (int i = 0; i < 4; ++i)
            EXPECT_TRUE(colorNear(pixelAt(108 + 16 * i, 108), colours[static_cast<size_t>(i)]))
                << "tile " << i;
    };
    expectRow({kRed, kGreen, kBlue, kGrey});

    label->setString("e");
    EXPECT_EQ(label->textureAtlas()->totalQuads(), 3u);
    EXPECT_EQ(label->contentSize(), (ccSize{8, 8}));
    step();
    expectRow({kYellow, kGrey, kGrey, kGrey}); // tile 4 is on the second row

    label->setString("fdba");
    EXPECT_EQ(label->textureAtlas()->totalQuads(), 4u);
    label->setRGB(255, 0, 0);
    label->setOpacity(128);
    step(); // tinted red, half opaque over the grey: cyan and green turn black, white and red stay red
    expectRow({{32, 32, 32, 255}, {160, 32, 32, 255}, {32, 32, 32, 255}, {160, 32, 32, 255}});
    EXPECT_FALSE(glIsEnabled(GL_TEXTURE_2D) || glIsEnabled(GL_VERTEX_ARRAY) ||
                 glIsEnabled(GL_TEXTURE_COORD_ARRAY));
}

TEST_F(AtlasTest, TheFrameRateCounterShowsTheRateAtTheLowerLeftCorner) {
    LabelAtlas* counter = director()->FPSLabel();
    ASSERT_TRUE(counter);
    director()->setDisplayFPS(true);
    showScene(sceneOf(0x2a6f97ff, {}));
    EXPECT_EQ(counter->string(), "0.0");
    stepFrames(12);
    EXPECT_TRUE(matchesGolden("frame-rate-counter"));
    director()->setDisplayFPS(false);
    step();
    EXPECT_TRUE(colorNear(pixelAt(8, 12), {42, 111, 151, 255}));
}
