#pragma once
// A rectangular map of tiles drawn in one batch. The map is a TGA image in
// the resources: each pixel is one cell, and its first (red) byte picks the
// tile from the tile picture, 0 meaning an empty cell. Cell (0, 0) is the
// bottom-left one. Each non-empty cell has one quad of the atlas; empty
// cells have none, so they cannot be filled later.

#include "engine/AtlasNode.h"
#include "engine/TGAlib.h"

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>

// A cell's value: r picks the tile; g and b are kept in the map but not drawn.
struct ccRGBB {
    uint8_t r = 0;
    uint8_t g = 0;
    uint8_t b = 0;
    friend bool operator==(const ccRGBB&, const ccRGBB&) = default;
};

class TileMapAtlas : public AtlasNode {
  public:
    // Raises "TileMapAtlasLoadTGA" when the map cannot be loaded; null when
    // the atlas cannot hold that many tiles.
    static RefPtr<TileMapAtlas> tileMapAtlasWithTileFile(const std::string& tile, const std::string& mapFile,
                                                         int32_t tileWidth, int32_t tileHeight);
    using AtlasNode::initWithTileFile;
    bool initWithTileFile(const std::string& tile, const std::string& mapFile, int32_t tileWidth,
                          int32_t tileHeight);

    // The value of the cell at `position`; outside the map an assertion failure.
    ccRGBB tileAt(ccGridSize position) const;
    // Gives a non-empty cell a new value and redraws its quad; an empty cell stays empty.
    void setTile(ccRGBB tile, ccGridSize position);
    // Frees the map and the cell index once the map will not be read or changed again;
    // drawing goes on from the atlas.
    void releaseMap();

    void updateAtlasValues() override;
    // (map width x tile width, map height x tile height).
    ccSize contentSize() const override { return contentSize_; }

    const sImageTGA* tgaInfo() const { return tgaInfo_.get(); }
    int32_t itemsToRender() const { return itemsToRender_; }
    // The quad that draws cell (x, y), or -1 when it has none (or the index is released).
    int32_t atlasIndexAt(ccGridSize position) const;

  private:
    void loadTGAfile(const std::string& file);
    void calculateItemsToRender();
    void updateAtlasValueAt(ccGridSize position, ccRGBB value, uint32_t index);
    // The first byte of cell (x, y) in the map; the position is checked by the caller.
    uint8_t* cell(ccGridSize position) const;
    static std::string keyFor(ccGridSize position);

    TGAImagePtr tgaInfo_;
    std::unique_ptr<std::unordered_map<std::string, uint32_t>> posToAtlasIndex_;
    int32_t itemsToRender_ = 0;
    ccSize contentSize_;
};
