// A tile map: a TGA picture whose pixels pick tiles from a tile picture, all
// drawn in one batch. Here it is shown larger than the screen and scrolled
// across; touching a tile changes it with setTile.

#include "Demos.h"

#include "engine/Action.h"
#include "engine/IntervalAction.h"
#include "engine/Label.h"
#include "engine/TileMapAtlas.h"

#include <cmath>
#include <memory>

namespace {
constexpr float kTile = 32;     // the tiles' side in tiles.png
constexpr float kScale = 1.25f; // 10 x 8 tiles of 40 points: wider than the screen

// The next tile after `tile`, going round 1 ... 15 (0 is an empty cell).
ccRGBB nextTile(ccRGBB tile) {
    tile.r = static_cast<uint8_t>(tile.r % 15 + 1);
    return tile;
}
} // namespace

RefPtr<Layer> tileMapDemo() {
    RefPtr<Layer> layer = ColorLayer::layerWithColor(0x203020ff);
    RefPtr<TileMapAtlas> map = TileMapAtlas::tileMapAtlasWithTileFile("tiles.png", "map-rle24.tga", 32, 32);
    if (!map) return layer;
    map->setScale(kScale);
    map->setPosition(cpv(0, 66));
    layer->add(map);
    // Across to the far edge and back.
    float overhang = map->contentSize().width * kScale - 320;
    RefPtr<MoveBy> across = MoveBy::actionWithDuration(3, cpv(-overhang, 0));
    map->runAction(Sequence::actions({across.get(), across->reverse().get()}).get());

    TileMapAtlas* shown = map.get(); // the layer keeps it
    const ccGridSize cells{static_cast<int32_t>(map->tgaInfo()->width),
                           static_cast<int32_t>(map->tgaInfo()->height)};
    // The cell under a point of the screen, if the point is on the map.
    auto cellAt = [shown, cells](cpVect where, ccGridSize& cell) {
        cpVect local = cpvmult(cpvsub(where, shown->position()), 1 / (kScale * kTile));
        cell = {static_cast<int32_t>(std::floor(local.x)), static_cast<int32_t>(std::floor(local.y))};
        return cell.x >= 0 && cell.y >= 0 && cell.x < cells.x && cell.y < cells.y;
    };
    // A finger changes each cell it comes onto; empty cells have no quad and stay empty.
    auto last = std::make_shared<ccGridSize>(ccGridSize{-1, -1});
    layer->add(FingerLayer::layerWithCall([shown, cellAt, last](cpVect where, bool down) {
        ccGridSize cell;
        if (!cellAt(where, cell) || (!down && cell == *last)) return;
        *last = cell;
        shown->setTile(nextTile(shown->tileAt(cell)), cell);
    }));
    // Meanwhile a marker walks along the ground row, changing one cell every fifth of a second.
    int step = 0;
    layer->schedule(
        "walk",
        [shown, cells, step](float) mutable {
            ccGridSize cell{step++ % cells.x, 1};
            shown->setTile(nextTile(shown->tileAt(cell)), cell);
        },
        0.2f);

    RefPtr<Label> label = Label::labelWithString("touch a tile to change it", "Helvetica", 14);
    label->setPosition(cpv(160, 405));
    layer->add(label);
    return layer;
}
