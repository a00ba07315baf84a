#pragma once
// Many textured quads sharing one texture, drawn with a single indexed draw
// call. The texture coordinates, vertices and triangle indices live in
// client memory, one entry per quad, for a fixed number of quads.

#include "engine/Ref.h"
#include "engine/Texture2D.h"
#include "engine/cpVect.h"
#include "platform/GL.h"

#include <cstdint>
#include <string>
#include <vector>

class TextureAtlas : public Ref {
  public:
    // 16-bit indices address 4 x 16384 corners: larger atlases are refused.
    static constexpr uint32_t kMaxQuads = 16384;

    // The texture comes from the shared texture cache. Null (after a log
    // line) when the capacity is above kMaxQuads or memory runs out.
    static RefPtr<TextureAtlas> textureAtlasWithFile(const std::string& file, uint32_t capacity);
    bool initWithFile(const std::string& file, uint32_t capacity);

    // Quad k is the triangles (4k, 4k+1, 4k+2) and (4k+3, 4k+2, 4k+1).
    void initIndices();
    // Copies both quads into slot `index`; an index at or above the capacity
    // is an assertion failure.
    void updateQuadWithTexture(const ccQuad2* texCoords, const ccQuad3* vertices, uint32_t index);
    // A new capacity: every quad is zero afterwards. Raises
    // "TextureAtlas:NoMemory" when memory runs out (the atlas is then empty)
    // and "TextureAtlas:TooManyQuads" above kMaxQuads (the atlas is unchanged).
    void resizeCapacity(uint32_t capacity);

    // The caller has enabled the vertex and texture-coordinate arrays and
    // texturing, and set the colour.
    void drawQuads();
    // The first `count` quads (no more than the capacity); nothing without a texture.
    void drawNumberOfQuads(uint32_t count);

    Texture2D* texture() const { return texture_.get(); }
    void setTexture(Texture2D* texture) { texture_ = texture; }
    uint32_t totalQuads() const { return totalQuads_; }
    const ccQuad2* texCoordinates() const { return texCoordinates_.data(); }
    const ccQuad3* vertices() const { return vertices_.data(); }
    const GLushort* indices() const { return indices_.data(); }

  private:
    // Sizes the three arrays for `capacity` quads, zeroed; false when memory runs out.
    bool allocate(uint32_t capacity);

    uint32_t totalQuads_ = 0;
    std::vector<ccQuad2> texCoordinates_;
    std::vector<ccQuad3> vertices_;
    std::vector<GLushort> indices_;
    RefPtr<Texture2D> texture_;
};
