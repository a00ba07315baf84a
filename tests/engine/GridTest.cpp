// Grids and the frame grabber: reuse, the sizes refused, the render target at
// each window scale. (The array layouts the contact sheet's pictures show.)

#include "support/EngineTest.h"

#include "engine/Errors.h"
#include "engine/Grid.h"
#include "engine/GridAction.h"
#include "engine/Layer.h"
#include "engine/Scheduler.h"
#include "engine/TextureMgr.h"

#include <algorithm>

namespace {

// A quarter of the window in each of four colours.
RefPtr<Scene> quarters() {
    RefPtr<Scene> scene = Scene::node();
    const uint32_t colours[4] = {0xd02020ff, 0x20a040ff, 0x2040d0ff, 0xe0c020ff};
    for (int k = 0; k < 4; ++k) {
        RefPtr<ColorLayer> layer = ColorLayer::layerWithColor(colours[k], 160, 240);
        layer->setPosition(cpv(static_cast<float>(k % 2) * 160, static_cast<float>(k / 2) * 240));
        scene->add(layer);
    }
    return scene;
}

const RGBA red{0xd0, 0x20, 0x20, 255}, green{0x20, 0xa0, 0x40, 255}, yellow{0xe0, 0xc0, 0x20, 255};

using GridTest = EngineTest;

class DenseGridTest : public EngineTest {
  protected:
    int windowScale() const override { return 2; }
};

} // namespace

TEST_F(GridTest, ReuseMakesTheCurrentShapeTheOriginalOnlyWhenAsked) {
    RefPtr<Grid3D> mesh = Grid3D::gridWithSize({2, 2});
    RefPtr<TiledGrid3D> tiles = TiledGrid3D::gridWithSize({2, 2});
    EXPECT_EQ(mesh->texture()->pixelsWide(), 512u);
    EXPECT_EQ(mesh->texture()->pixelFormat(), Texture2DPixelFormatRGB565) << "the director's default format";
    mesh->setVertex({1, 1}, {1, 2, 3});
    tiles->setTile({0, 0}, ccQuad3{});

    mesh->reuse();
    tiles->reuse();
    EXPECT_EQ(mesh->originalVertex({1, 1}).z, 0) << "reuseGrid 0: nothing copied";
    EXPECT_EQ(tiles->originalTile({0, 0}).tr_x, 160);

    mesh->setReuseGrid(2);
    tiles->setReuseGrid(2);
    mesh->reuse();
    tiles->reuse();
    EXPECT_EQ(mesh->originalVertex({1, 1}).z, 3);
    EXPECT_EQ(tiles->originalTile({0, 0}).tr_x, 0);
    EXPECT_EQ(mesh->reuseGrid(), 1);
    EXPECT_EQ(tiles->reuseGrid(), 1);
}

// 16-bit indices address 65536 vertices: 255 x 255 cells of a mesh, 128 x 128 tiles.
TEST_F(GridTest, SizesTheIndicesCannotAddressAreRefused) {
    const auto refused = Fails<AssertionFailure>(kGridSizeMessage);
    struct Case {
        ccGridSize size;
        bool meshFits, tilesFit;
    } const cases[] = {
        {{1, 1}, true, true},     {{0, 4}, false, false},    {{4, 0}, false, false},
        {{-2, -3}, false, false}, {{255, 255}, true, false}, {{256, 255}, false, false},
        {{128, 128}, true, true}, {{128, 129}, true, false}, {{65536, 65536}, false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.size.x << " x " << c.size.y);
        EXPECT_EQ(Grid3D::sizeFits(c.size), c.meshFits);
        EXPECT_EQ(TiledGrid3D::sizeFits(c.size), c.tilesFit);
        if (!c.meshFits) {
            EXPECT_THAT([&] { Grid3D::gridWithSize(c.size); }, refused);
            EXPECT_THAT([&] { Grid3DAction::actionWithSize(c.size, 1); }, refused);
        }
        if (!c.tilesFit) {
            EXPECT_THAT([&] { TiledGrid3D::gridWithSize(c.size); }, refused);
            EXPECT_THAT([&] { TiledGrid3DAction::actionWithSize(c.size, 1); }, refused);
        }
    }
    RefPtr<Grid3D> largest = Grid3D::gridWithSize({255, 255});
    EXPECT_EQ(*std::max_element(largest->indices().begin(), largest->indices().end()), 65535);
}

TEST_F(GridTest, TheAbstractPartsAndTheGrabberSayWhatIsWrong) {
    const auto abstract = Fails<NamedException>("GridBase: Abstract class needs implementation");
    RefPtr<GridBase> base = makeRef<GridBase>();
    ASSERT_TRUE(base->initWithSize({2, 2}));
    EXPECT_THAT([&] { base->blit(); }, abstract);
    EXPECT_THAT([&] { base->reuse(); }, abstract);
    RefPtr<GridAction> plain = GridAction::actionWithSize({2, 2}, 1);
    RefPtr<CocosNode> node = CocosNode::node();
    EXPECT_THAT([&] { node->runAction(plain); }, abstract) << "a plain grid action makes no grid";

    // An alpha-only texture cannot be drawn into.
    RefPtr<Texture2D> mask = makeRef<Texture2D>();
    std::vector<uint8_t> zeros(64 * 64, 0);
    ASSERT_TRUE(mask->initWithData(zeros.data(), Texture2DPixelFormatA8, 64, 64, {64, 64}));
    EXPECT_THAT([&] { Grabber::grabber()->grab(mask); },
                Fails<NamedException>("Frame Grabber: Could not attach texture to framebuffer"));
}

// Undistorted, the mesh puts the captured picture back where it was. At
// window scale 2 the target is the next power of two that holds the
// picture's pixels, so the captured picture is as sharp as the screen.
TEST_F(DenseGridTest, TheRenderTargetFollowsTheWindowScale) {
    RefPtr<Grid3D> grid = Grid3D::gridWithSize({2, 2});
    EXPECT_EQ(grid->texture()->pixelsWide(), 1024u);
    EXPECT_EQ(grid->step(), cpv(160, 240)) << "cells stay in points";

    RefPtr<Scene> scene = quarters();
    runScene(scene);
    step();
    scene->setGrid(grid);
    grid->setActive(true);
    step();
    ASSERT_EQ(readFrame().width, 640);
    EXPECT_TRUE(colorNear(pixelAt(480, 720), yellow));
    // The edge between the halves stays where it was, to the pixel.
    EXPECT_TRUE(colorNear(pixelAt(318, 240), red));
    EXPECT_TRUE(colorNear(pixelAt(321, 240), green));
}
