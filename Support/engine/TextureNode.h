#pragma once
// A node that draws one texture at its origin, tinted by an RGB colour and
// faded by an opacity.

#include "engine/CocosNode.h"
#include "engine/Texture2D.h"

#include <cstdint>

// The GL state a tinted, faded picture is drawn in, for as long as this
// object lives: vertex and texture arrays and texturing on, the tint as the
// colour. Pictures with premultiplied colour blend with (1, 1 - alpha) and a
// tint premultiplied by the opacity (blending them by their alpha again would
// darken every soft edge); the blend function is put back afterwards.
class TintedDrawing {
  public:
    TintedDrawing(const Texture2D* texture, uint8_t r, uint8_t g, uint8_t b, uint8_t opacity);
    ~TintedDrawing();
    TintedDrawing(const TintedDrawing&) = delete;
    TintedDrawing& operator=(const TintedDrawing&) = delete;

  private:
    bool premultiplied_;
    int blendSource_;
    int blendDestination_;
};

class TextureNode : public CocosNode, public CocosNodeOpacity, public CocosNodeSize {
  public:
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
    void draw() override;

  private:
    RefPtr<Texture2D> texture_;
    uint8_t opacity_ = 255;
    uint8_t r_ = 255;
    uint8_t g_ = 255;
    uint8_t b_ = 255;
};
