#pragma once
// A node that draws a texture atlas made from a picture cut into equal
// tiles (items), tinted and faded. What goes into each quad is up to the
// subclasses: they write their quads in updateAtlasValues and say how large
// they are in contentSize.

#include "engine/CocosNode.h"
#include "engine/TextureAtlas.h"

#include <cstdint>
#include <string>

class AtlasNode : public CocosNode, public CocosNodeOpacity, public CocosNodeSize {
  public:
    static RefPtr<AtlasNode> atlasWithTileFile(const std::string& tileFile, int32_t tileWidth,
                                               int32_t tileHeight, int32_t itemsToRender);
    // False when the atlas cannot be made (a negative or too large quad count).
    virtual bool initWithTileFile(const std::string& tileFile, int32_t tileWidth, int32_t tileHeight,
                                  int32_t itemsToRender);

    // Tiles across and down the picture (its content size); 0 without a picture or a tile size.
    void calculateMaxItems();
    // One tile's size in texture coordinates (of the power-of-two texture).
    void calculateTexCoordsSteps();

    // Raises "AtlasNode:Abstract": subclasses write their quads here.
    virtual void updateAtlasValues();
    // Raises "ContentSizeAbstract": subclasses give their size.
    ccSize contentSize() const override;
    // Through the GL state cache (engine/GLStateCache.h).
    void draw() override;
    // A subclass that draws with GL calls of its own returns false.
    bool drawsThroughStateCache() const override { return true; }

    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override { opacity_ = opacity; }
    void setRGB(uint8_t r, uint8_t g, uint8_t b);
    uint8_t r() const { return r_; }
    uint8_t g() const { return g_; }
    uint8_t b() const { return b_; }

    TextureAtlas* textureAtlas() const { return textureAtlas_.get(); }
    int32_t itemsPerRow() const { return itemsPerRow_; }
    int32_t itemsPerColumn() const { return itemsPerColumn_; }
    float texStepX() const { return texStepX_; }
    float texStepY() const { return texStepY_; }
    int32_t itemWidth() const { return itemWidth_; }
    int32_t itemHeight() const { return itemHeight_; }

  protected:
    // Draws the first `count` quads with the node's tint and opacity.
    void drawQuads(uint32_t count);

    RefPtr<TextureAtlas> textureAtlas_;
    int32_t itemsPerRow_ = 0;
    int32_t itemsPerColumn_ = 0;
    float texStepX_ = 0;
    float texStepY_ = 0;
    int32_t itemWidth_ = 0;
    int32_t itemHeight_ = 0;
    uint8_t opacity_ = 255;
    uint8_t r_ = 255;
    uint8_t g_ = 255;
    uint8_t b_ = 255;
};
