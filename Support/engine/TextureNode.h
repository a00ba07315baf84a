#pragma once
// A node that draws one texture at its origin, tinted by an RGB colour and
// faded by an opacity.

#include "engine/CocosNode.h"
#include "engine/GLStateCache.h"
#include "engine/Texture2D.h"

#include <cstdint>

// For a `draw` of its own that wants the state a tinted, faded picture is
// drawn in, for as long as this object lives: arrays and texturing on, the
// tint as the colour, the blend function for the picture's alpha, the texture
// bound. Afterwards the state is the conventional one again.
class TintedDrawing {
  public:
    TintedDrawing(const Texture2D* texture, uint8_t r, uint8_t g, uint8_t b, uint8_t opacity) {
        GLStateCache::prepare(texture, {r, g, b, opacity});
    }
    ~TintedDrawing() { GLStateCache::restore(); }
    TintedDrawing(const TintedDrawing&) = delete;
    TintedDrawing& operator=(const TintedDrawing&) = delete;
};

class TextureNode : public CocosNode, public CocosNodeOpacity, public CocosNodeSize {
  public:
    bool drawsWithoutGL() const override { return typeid(*this) == typeid(TextureNode); }
    static RefPtr<TextureNode> node();
    bool init() override;

    // The node keeps the texture it shows alive: setting one takes a
    // reference to it and drops the one to the texture it replaces.
    Texture2D* texture() const { return texture_.get(); }
    void setTexture(Texture2D* texture) { texture_ = texture; }

    uint8_t opacity() const override { return opacity_; }
    void setOpacity(uint8_t opacity) override { opacity_ = opacity; }
    uint8_t r() const { return r_; }
    uint8_t g() const { return g_; }
    uint8_t b() const { return b_; }
    void setR(uint8_t r) { r_ = r; }
    void setG(uint8_t g) { g_ = g; }
    void setB(uint8_t b) { b_ = b; }
    void setRGB(uint8_t r, uint8_t g, uint8_t b);

    // The texture's content size; (0, 0) without a texture.
    ccSize contentSize() const override;
    // Through the GL state cache (engine/GLStateCache.h): a run of sprites
    // sharing texture, tint and blend function is one draw call.
    void draw() override;
    // A subclass that draws with GL calls of its own returns false.
    bool drawsThroughStateCache() const override { return true; }

  private:
    RefPtr<Texture2D> texture_;
    uint8_t opacity_ = 255;
    uint8_t r_ = 255;
    uint8_t g_ = 255;
    uint8_t b_ = 255;
};
