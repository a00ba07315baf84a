#include "engine/TileMapAtlas.h"

#include "engine/Errors.h"
#include "engine/TextureMgr.h"
#include "platform/Log.h"

RefPtr<TileMapAtlas> TileMapAtlas::tileMapAtlasWithTileFile(const std::string& tile,
                                                            const std::string& mapFile, int32_t tileWidth,
                                                            int32_t tileHeight) {
    return construct<TileMapAtlas>(
        [&](TileMapAtlas& t) { return t.initWithTileFile(tile, mapFile, tileWidth, tileHeight); });
}

bool TileMapAtlas::initWithTileFile(const std::string& tile, const std::string& mapFile, int32_t tileWidth,
                                    int32_t tileHeight) {
    loadTGAfile(mapFile);
    calculateItemsToRender();
    if (!AtlasNode::initWithTileFile(tile, tileWidth, tileHeight, itemsToRender_)) return false;
    posToAtlasIndex_ = std::make_unique<std::unordered_map<std::string, uint32_t>>();
    posToAtlasIndex_->reserve(static_cast<size_t>(itemsToRender_));
    updateAtlasValues();
    contentSize_ = {static_cast<float>(static_cast<int64_t>(tgaInfo_->width) * tileWidth),
                    static_cast<float>(static_cast<int64_t>(tgaInfo_->height) * tileHeight)};
    return true;
}

void TileMapAtlas::loadTGAfile(const std::string& file) {
    ccAssert(!file.empty(), "file must be non-nil");
    const std::string path = TextureMgr::sharedTextureMgr()->fullPathFromRelativePath(file);
    if (path.empty()) platform::ccLogf("Cannot find %s in the resources", file.c_str());
    tgaInfo_.reset(tgaLoad(path));
    if (!tgaInfo_ || tgaInfo_->status != TGA_OK) {
        tgaInfo_.reset();
        ccRaise("TileMapAtlasLoadTGA", "TileMapAtas cannot load TGA file");
    }
}

void TileMapAtlas::calculateItemsToRender() {
    ccAssert(tgaInfo_ != nullptr, "tgaInfo must be non-nil");
    itemsToRender_ = 0;
    const size_t step = tgaInfo_->pixelDepth / 8u;
    for (size_t i = 0; i < tgaInfo_->imageData.size(); i += step)
        if (tgaInfo_->imageData[i] != 0) ++itemsToRender_;
}

uint8_t* TileMapAtlas::cell(ccGridSize p) const {
    const size_t index =
        static_cast<size_t>(p.x) + static_cast<size_t>(p.y) * static_cast<size_t>(tgaInfo_->width);
    return const_cast<uint8_t*>(&tgaInfo_->imageData[index * (tgaInfo_->pixelDepth / 8u)]);
}

std::string TileMapAtlas::keyFor(ccGridSize p) {
    return platform::ccFormat("%d,%d", p.x, p.y);
}

ccRGBB TileMapAtlas::tileAt(ccGridSize position) const {
    ccAssert(tgaInfo_ != nullptr, "tgaInfo must not be nil");
    ccAssert(position.x >= 0 && position.x < tgaInfo_->width, "Invalid position.x");
    ccAssert(position.y >= 0 && position.y < tgaInfo_->height, "Invalid position.y");
    const uint8_t* c = cell(position);
    const unsigned size = tgaInfo_->pixelDepth / 8u;
    return {c[0], size >= 2 ? c[1] : uint8_t{0}, size >= 3 ? c[2] : uint8_t{0}};
}

void TileMapAtlas::setTile(ccRGBB tile, ccGridSize position) {
    ccAssert(tgaInfo_ != nullptr, "tgaInfo must not be nil");
    ccAssert(posToAtlasIndex_ != nullptr, "posToAtlasIndex must not be nil");
    ccAssert(position.x >= 0 && position.x < tgaInfo_->width, "Invalid position.x");
    ccAssert(position.y >= 0 && position.y < tgaInfo_->height, "Invalid position.y");
    ccAssert(tile.r != 0, "R component must be non 0");
    uint8_t* c = cell(position);
    // An empty cell has no quad to show a tile with.
    if (c[0] == 0) return;
    const unsigned size = tgaInfo_->pixelDepth / 8u;
    c[0] = tile.r;
    if (size >= 2) c[1] = tile.g;
    if (size >= 3) c[2] = tile.b;
    auto found = posToAtlasIndex_->find(keyFor(position));
    // Cells beyond the atlas's capacity were never given a quad.
    if (found != posToAtlasIndex_->end()) updateAtlasValueAt(position, tile, found->second);
}

int32_t TileMapAtlas::atlasIndexAt(ccGridSize position) const {
    if (!posToAtlasIndex_) return -1;
    auto found = posToAtlasIndex_->find(keyFor(position));
    return found == posToAtlasIndex_->end() ? -1 : static_cast<int32_t>(found->second);
}

void TileMapAtlas::releaseMap() {
    tgaInfo_.reset();
    posToAtlasIndex_.reset();
}

void TileMapAtlas::updateAtlasValues() {
    ccAssert(tgaInfo_ != nullptr, "tgaInfo must be non-nil");
    ccAssert(posToAtlasIndex_ != nullptr, "posToAtlasIndex must not be nil");
    const uint32_t capacity = textureAtlas_->totalQuads();
    uint32_t total = 0;
    for (int32_t x = 0; x < tgaInfo_->width; ++x) {
        for (int32_t y = 0; y < tgaInfo_->height && total < capacity; ++y) {
            const ccRGBB value = tileAt({x, y});
            if (value.r == 0) continue;
            updateAtlasValueAt({x, y}, value, total);
            (*posToAtlasIndex_)[keyFor({x, y})] = total;
            ++total;
        }
    }
}

void TileMapAtlas::updateAtlasValueAt(ccGridSize p, ccRGBB value, uint32_t index) {
    // Without tiles (no picture) every quad shows the first one.
    const int32_t column = itemsPerRow_ > 0 ? value.r % itemsPerRow_ : 0;
    const int32_t row = itemsPerRow_ > 0 ? value.r / itemsPerRow_ : 0;
    const float left = static_cast<float>(column) * texStepX_;
    const float top = static_cast<float>(row) * texStepY_;
    const float right = left + texStepX_;
    const float bottom = top + texStepY_;
    const ccQuad2 texCoords{left, bottom, right, bottom, left, top, right, top};

    auto at = [](int32_t cell, int32_t size) {
        return static_cast<float>(static_cast<int64_t>(cell) * size);
    };
    const float x0 = at(p.x, itemWidth_), x1 = at(p.x + 1, itemWidth_);
    const float y0 = at(p.y, itemHeight_), y1 = at(p.y + 1, itemHeight_);
    const ccQuad3 vertices{x0, y0, 0, x1, y0, 0, x0, y1, 0, x1, y1, 0};
    textureAtlas_->updateQuadWithTexture(&texCoords, &vertices, index);
}
