// Tile maps: the quads built from a TGA map in every kind, empty cells,
// changing a cell, the failures. (A whole map on screen is the gallery's.)

#include "engine/TileMapAtlas.h"
#include "Scenes.h"
#include "engine/Errors.h"
#include "platform/System.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

#include <functional>

namespace {

const RGBA kRed{255, 0, 0, 255}, kGreen{0, 255, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255},
    kGrey{64, 64, 64, 255};

// A raw 24-bit map, bottom row first; each cell's value is its red byte, green and blue are x and y.
std::vector<uint8_t> mapFile(int width, int height, const std::function<uint8_t(int x, int y)>& tile) {
    std::vector<uint8_t> file = {
        0, 0,  2, 0, 0, 0, 0, 0, 0, 0, 0, 0, static_cast<uint8_t>(width), 0, static_cast<uint8_t>(height),
        0, 24, 0};
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            file.insert(file.end(), {static_cast<uint8_t>(y), static_cast<uint8_t>(x), tile(x, y)});
    return file;
}

std::vector<float> floatsOf(const TileMapAtlas& map) {
    const TextureAtlas& atlas = *map.textureAtlas();
    const auto* t = reinterpret_cast<const float*>(atlas.texCoordinates());
    const auto* v = reinterpret_cast<const float*>(atlas.vertices());
    std::vector<float> all(t, t + atlas.totalQuads() * 8);
    all.insert(all.end(), v, v + atlas.totalQuads() * 12);
    return all;
}

class TileMapAtlasTest : public EngineTest {
  protected:
    // Four 8 x 8 tiles in a row: red, green, blue, white.
    void useScratchResources() {
        platform::setResourceDirectory(resources.path());
        writePicture(resources.file("tiles.png"), 32, 8, [](int x, int) {
            const RGBA colours[] = {kRed, kGreen, kBlue, kWhite};
            return colours[x / 8];
        });
    }
    ScratchDir resources;
};

} // namespace

TEST_F(TileMapAtlasTest, EveryKindOfMapGivesTheSameQuadsInColumnOrder) {
    RefPtr<TileMapAtlas> reference =
        TileMapAtlas::tileMapAtlasWithTileFile("tiles.png", "map-raw24.tga", 32, 32);
    ASSERT_NE(reference, nullptr);
    // 80 cells, 7 of them empty.
    EXPECT_EQ(reference->textureAtlas()->totalQuads(), 73u);
    EXPECT_EQ(reference->contentSize(), (ccSize{320, 256}));
    EXPECT_EQ(reference->tileAt({0, 0}), (ccRGBB{13, 7, 9}));
    EXPECT_EQ(reference->tileAt({9, 6}).r, 1 + (9 + 18) % 15);
    // Quads go up each column, then on to the next: quad 1 is cell (0, 1), quad 8 is cell (1, 0).
    const ccQuad3* v = reference->textureAtlas()->vertices();
    EXPECT_EQ((std::vector<float>{v[1].bl_x, v[1].bl_y, v[1].tr_x, v[1].tr_y}),
              (std::vector<float>{0, 32, 32, 64}));
    EXPECT_EQ((std::vector<float>{v[8].bl_x, v[8].bl_y}), (std::vector<float>{32, 0}));
    EXPECT_EQ(reference->atlasIndexAt({1, 3}), -1);
    EXPECT_EQ(reference->atlasIndexAt({1, 7}), 8 + 3) << "cell (1, 7) comes after (1, 0) (1, 1) (1, 2)";
    // Tile 13 of a 4 x 4 picture: column 1, row 3; bottom corners carry the larger t.
    const ccQuad2& t = reference->textureAtlas()->texCoordinates()[0];
    EXPECT_EQ((std::vector<float>{t.bl_x, t.bl_y, t.tr_x, t.tr_y}),
              (std::vector<float>{0.25f, 1, 0.5f, 0.75f}));

    for (const char* name : {"map-raw8.tga", "map-raw16.tga", "map-raw32.tga", "map-rle8.tga",
                             "map-rle16.tga", "map-rle24.tga", "map-rle32.tga"}) {
        RefPtr<TileMapAtlas> map = TileMapAtlas::tileMapAtlasWithTileFile("tiles.png", name, 32, 32);
        ASSERT_NE(map, nullptr) << name;
        EXPECT_EQ(floatsOf(*map), floatsOf(*reference)) << name;
        EXPECT_EQ(map->tileAt({5, 5}).r, reference->tileAt({5, 5}).r) << name;
    }
}

TEST_F(TileMapAtlasTest, EmptyCellsHaveNoQuadAndStayEmpty) {
    useScratchResources();
    resources.write("empty.tga", mapFile(4, 3, [](int, int) { return uint8_t{0}; }));
    RefPtr<TileMapAtlas> empty = TileMapAtlas::tileMapAtlasWithTileFile("tiles.png", "empty.tga", 8, 8);
    EXPECT_EQ(empty->textureAtlas()->totalQuads(), 0u);
    EXPECT_EQ(empty->contentSize(), (ccSize{32, 24}));
    empty->setScale(4);
    showScene(sceneOf(0x404040ff, {empty}));
    EXPECT_TRUE(colorNear(pixelAt(16, 16), kGrey));

    // A diagonal of tiles 1, 2, 3 in a 3 x 3 map.
    resources.write("diagonal.tga",
                    mapFile(3, 3, [](int x, int y) { return x == y ? uint8_t(x + 1) : uint8_t{0}; }));
    RefPtr<TileMapAtlas> map = TileMapAtlas::tileMapAtlasWithTileFile("tiles.png", "diagonal.tga", 8, 8);
    ASSERT_EQ(map->textureAtlas()->totalQuads(), 3u);
    const std::vector<float> before = floatsOf(*map);
    map->setTile({3, 50, 60}, {0, 1});
    EXPECT_EQ(floatsOf(*map), before) << "an empty cell cannot be filled";
    EXPECT_EQ(map->tileAt({0, 1}), (ccRGBB{0, 0, 1}));
    map->setTile({3, 50, 60}, {1, 1});
    EXPECT_EQ(map->tileAt({1, 1}), (ccRGBB{3, 50, 60}));
    // Only quad 1's texture coordinates change: tile 3 instead of tile 2, a quarter further right.
    std::vector<float> expected = before;
    for (size_t i = 8; i < 16; i += 2)
        expected[i] += 0.25f;
    EXPECT_EQ(floatsOf(*map), expected);
    map->setPosition(cpv(100, 100));
    map->setScale(4);
    showScene(sceneOf(0x404040ff, {map}));
    // Released, the map draws on from its quads: cell (1, 1) shows white (was blue).
    map->releaseMap();
    EXPECT_EQ(map->tgaInfo(), nullptr);
    step();
    EXPECT_TRUE(colorNear(pixelAt(116, 116), kGreen));
    EXPECT_TRUE(colorNear(pixelAt(148, 148), kWhite));
}

TEST_F(TileMapAtlasTest, MisuseFailsWithItsMessageBeforeTouchingTheMap) {
    useScratchResources();
    resources.write("map.tga", mapFile(3, 2, [](int, int) { return uint8_t{1}; }));
    resources.write("broken.tga",
                    std::vector<uint8_t>{0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 2, 0, 15, 0});
    RefPtr<TileMapAtlas> map = TileMapAtlas::tileMapAtlasWithTileFile("tiles.png", "map.tga", 8, 8);
    RefPtr<TileMapAtlas> released = TileMapAtlas::tileMapAtlasWithTileFile("tiles.png", "map.tga", 8, 8);
    released->releaseMap();
    const struct {
        const char* message;
        std::function<void()> call;
    } cases[] = {
        // clang-format off
        {"Invalid position.x", [&] { map->tileAt({3, 0}); }},
        {"Invalid position.x", [&] { map->tileAt({-1, 0}); }},
        {"Invalid position.y", [&] { map->tileAt({2, -5}); }},
        {"Invalid position.x", [&] { map->setTile({1, 0, 0}, {100000, 0}); }},
        {"Invalid position.y", [&] { map->setTile({1, 0, 0}, {0, 2}); }},
        {"Invalid position.y", [&] { map->setTile({1, 0, 0}, {0, INT32_MIN}); }},
        {"R component must be non 0", [&] { map->setTile({0, 1, 1}, {0, 0}); }},
        {"tgaInfo must not be nil", [&] { released->tileAt({0, 0}); }},
        {"tgaInfo must not be nil", [&] { released->setTile({1, 0, 0}, {0, 0}); }},
        {"file must be non-nil", [&] { TileMapAtlas::tileMapAtlasWithTileFile("tiles.png", "", 8, 8); }},
        // clang-format on
    };
    for (const auto& c : cases)
        EXPECT_THAT(c.call, Fails<AssertionFailure>(c.message));
    EXPECT_EQ(map->tileAt({2, 1}), (ccRGBB{1, 2, 1})) << "the map is untouched";

    for (const char* name : {"broken.tga", "missing.tga", "../map.tga"})
        EXPECT_THAT([&] { TileMapAtlas::tileMapAtlasWithTileFile("tiles.png", name, 8, 8); },
                    Fails<NamedException>("TileMapAtlasLoadTGA: TileMapAtas cannot load TGA file"))
            << name;
}
