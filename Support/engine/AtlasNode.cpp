#include "engine/AtlasNode.h"

#include "engine/Errors.h"
#include "engine/GLStateCache.h"
#include "engine/TextureNode.h"
#include "platform/GL.h"

RefPtr<AtlasNode> AtlasNode::atlasWithTileFile(const std::string& tileFile, int32_t tileWidth,
                                               int32_t tileHeight, int32_t itemsToRender) {
    return construct<AtlasNode>(
        [&](AtlasNode& n) { return n.initWithTileFile(tileFile, tileWidth, tileHeight, itemsToRender); });
}

bool AtlasNode::initWithTileFile(const std::string& tileFile, int32_t tileWidth, int32_t tileHeight,
                                 int32_t itemsToRender) {
    if (!CocosNode::init()) return false;
    if (itemsToRender < 0) return false;
    textureAtlas_ = TextureAtlas::textureAtlasWithFile(tileFile, static_cast<uint32_t>(itemsToRender));
    if (!textureAtlas_) return false;
    itemWidth_ = tileWidth;
    itemHeight_ = tileHeight;
    opacity_ = r_ = g_ = b_ = 255;
    calculateMaxItems();
    calculateTexCoordsSteps();
    return true;
}

void AtlasNode::calculateMaxItems() {
    Texture2D* texture = textureAtlas_ ? textureAtlas_->texture() : nullptr;
    ccSize s = texture ? texture->contentSize() : ccSize{};
    // A tile size of 0 or less cuts the picture into no tiles rather than dividing by it.
    itemsPerColumn_ = itemHeight_ > 0 ? static_cast<int32_t>(s.height / static_cast<float>(itemHeight_)) : 0;
    itemsPerRow_ = itemWidth_ > 0 ? static_cast<int32_t>(s.width / static_cast<float>(itemWidth_)) : 0;
}

void AtlasNode::calculateTexCoordsSteps() {
    Texture2D* texture = textureAtlas_ ? textureAtlas_->texture() : nullptr;
    uint32_t wide = texture ? texture->pixelsWide() : 0;
    uint32_t high = texture ? texture->pixelsHigh() : 0;
    // Tiles are given in points; a dense picture has more pixels per tile.
    float scale = texture ? texture->contentScale() : 1;
    texStepX_ = wide ? static_cast<float>(itemWidth_) * scale / static_cast<float>(wide) : 0;
    texStepY_ = high ? static_cast<float>(itemHeight_) * scale / static_cast<float>(high) : 0;
}

void AtlasNode::updateAtlasValues() {
    ccRaise("AtlasNode:Abstract", "updateAtlasValue not overriden");
}

ccSize AtlasNode::contentSize() const {
    ccRaise("ContentSizeAbstract", "ContentSize was not overriden");
}

void AtlasNode::setRGB(uint8_t r, uint8_t g, uint8_t b) {
    r_ = r;
    g_ = g;
    b_ = b;
}

void AtlasNode::draw() {
    drawQuads(textureAtlas_ ? textureAtlas_->totalQuads() : 0);
}

void AtlasNode::drawQuads(uint32_t count) {
    if (!textureAtlas_) return;
    GLStateCache::prepare(textureAtlas_->texture(), {r_, g_, b_, opacity_});
    textureAtlas_->drawNumberOfQuads(count);
    GLStateCache::drawn();
}
