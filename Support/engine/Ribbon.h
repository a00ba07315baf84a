#pragma once
// A textured strip through a series of points, each with its own width,
// fading out point by point over time. The points are kept in fixed-size
// segments of 50; a segment whose points have all faded is recycled for
// later points instead of freed, so adding a point never allocates once the
// ribbon has its segments.

#include "engine/CocosNode.h"
#include "engine/Texture2D.h"

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class RibbonSegment {
  public:
    static constexpr uint32_t kCapacity = 50;

    // Empty again: no points, not finished.
    void reset();
    // Draws the visible points as one triangle strip. With `curTime` exactly 0
    // the strip takes the colour (r, g, b, a) as a whole; otherwise each point
    // fades with its age over `fadeTime`, and faded points are skipped from
    // then on. The caller has enabled the vertex and texture-coordinate arrays.
    // `premultiplied`: the texture's colour is multiplied by its alpha, so the
    // point colours are too.
    void draw(float curTime, float fadeTime, uint8_t r, uint8_t g, uint8_t b, uint8_t a,
              bool premultiplied = false);

    // Per point: the left and right edge (x, y, z), their texture coordinates
    // (0, v) and (1, v), their colours, and when the point was added.
    float verts[kCapacity * 6] = {};
    float coords[kCapacity * 4] = {};
    uint8_t colors[kCapacity * 8] = {};
    float creationTime[kCapacity] = {};
    bool finished = false;
    uint32_t end = 0;   // points written
    uint32_t begin = 0; // first point still visible
};

class Ribbon : public CocosNode {
  public:
    // `width` of the strip, its texture `image` (from the texture cache),
    // the strip `length` over which the texture runs once, the colour as
    // 0xRRGGBBAA, and the seconds a point takes to fade out.
    static RefPtr<Ribbon> ribbonWithWidth(float width, const std::string& image, float length, uint32_t color,
                                          float fade);
    bool initWithWidth(float width, const std::string& image, float length, uint32_t color, float fade);

    // The first point only marks the start: the strip is drawn from the second on.
    void addPointAt(cpVect location, float width);
    // Advances the ribbon's clock by `delta`.
    void update(float delta);
    void draw() override;

    // `point` turned about the origin by `rotation` radians.
    cpVect rotatePoint(cpVect point, float rotation) const;
    // Positive on one side of the line through l1 and l2, negative on the other.
    float sideOfLine(cpVect p, cpVect l1, cpVect l2) const;

    Texture2D* texture() const { return texture_.get(); }
    uint32_t color() const { return color_; }
    float curTime() const { return curTime_; }
    float fadeTime() const { return fadeTime_; }
    float texVPos() const { return texVPos_; }
    cpVect lastLocation() const { return lastLocation_; }
    cpVect lastPoint1() const { return lastPoint1_; }
    cpVect lastPoint2() const { return lastPoint2_; }
    // Segments in drawing order (never empty), and finished ones kept for reuse.
    const std::vector<std::unique_ptr<RibbonSegment>>& segments() const { return segments_; }
    const std::vector<std::unique_ptr<RibbonSegment>>& spareSegments() const { return spareSegments_; }

  private:
    // Writes one point at the segment's end.
    void writePoint(RibbonSegment& segment, cpVect left, cpVect right, float v, float time);

    cpVect lastPoint1_;
    cpVect lastPoint2_;
    cpVect lastLocation_;
    uint32_t color_ = 0xffffffff;
    RefPtr<Texture2D> texture_;
    float textureLength_ = 1;
    std::vector<std::unique_ptr<RibbonSegment>> segments_;
    std::vector<std::unique_ptr<RibbonSegment>> spareSegments_;
    float texVPos_ = 0;
    float curTime_ = 0;
    float fadeTime_ = 0;
    float delta_ = 0;
    float lastWidth_ = 0;
    bool pastFirstPoint_ = false;
};
