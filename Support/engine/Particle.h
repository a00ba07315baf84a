#pragma once
// The particle system: a node that emits, moves and draws up to a fixed
// number of small textured points (fire, smoke, snow, explosions). Every
// array is allocated once at creation; particles come and go without
// allocating, a dead one replaced by the last live one.

#include "engine/CocosNode.h"
#include "engine/Texture2D.h"
#include "engine/cpVect.h"
#include "platform/GL.h"

#include <cstdint>
#include <memory>
#include <vector>

// Position and point size of one drawn particle, as GL reads them.
struct ccPointSprite {
    float x = 0, y = 0, size = 0;
};

// One particle, 16 floats.
struct sParticle {
    cpVect pos;            // in the system node's space, points
    cpVect dir;            // velocity, points per second
    float radialAccel;     // away from the node's origin (negative: towards it)
    float tangentialAccel; // perpendicular to the radial direction
    ccColorF color;        // now
    ccColorF deltaColor;   // change per second
    float size;            // point size in pixels at window scale 1
    float life;            // seconds left
};

// How the points reach the screen: GL point sprites with a size per point,
// or (where the GL lacks them, or for a size above its largest point) one
// textured square per particle. Both give the same picture.
enum class ParticleDrawPath { PointSprites, Quads };

class ParticleSystem : public CocosNode {
  public:
    // A system of the plain kind with `count` records; none (after a log
    // line) for a count of 0 or less or one whose arrays cannot be had.
    static RefPtr<ParticleSystem> particleWithTotalParticles(int32_t count);

    ParticleSystem();
    ~ParticleSystem() override;
    // Raises "Particle.init": a system needs its count.
    bool init() override;
    virtual bool initWithTotalParticles(int32_t count);

    // Emission, integration and the upload of the two GL buffers; scheduled
    // every frame while the node runs.
    void step(float dt);
    // The first two parts of step (no GL), and the last.
    void advance(float dt);
    void uploadBuffers();
    void draw() override;

    bool addParticle();
    virtual void initParticle(sParticle* particle);
    bool isFull() const { return particleCount_ >= totalParticles_; }
    void stopSystem();
    void resetSystem();

    bool active() const { return active_; }
    float duration() const { return duration_; }
    void setDuration(float d) { duration_ = d; }
    cpVect gravity() const { return gravity_; }
    void setGravity(cpVect g) { gravity_ = g; }
    cpVect source() const { return source_; }
    void setSource(cpVect s) { source_ = s; }
    cpVect posVar() const { return posVar_; }
    void setPosVar(cpVect v) { posVar_ = v; }
    float angle() const { return angle_; }
    void setAngle(float a) { angle_ = a; }
    float angleVar() const { return angleVar_; }
    void setAngleVar(float v) { angleVar_ = v; }
    float speed() const { return speed_; }
    void setSpeed(float s) { speed_ = s; }
    float speedVar() const { return speedVar_; }
    void setSpeedVar(float v) { speedVar_ = v; }
    float tangentialAccel() const { return tangentialAccel_; }
    void setTangentialAccel(float a) { tangentialAccel_ = a; }
    float tangentialAccelVar() const { return tangentialAccelVar_; }
    void setTangentialAccelVar(float v) { tangentialAccelVar_ = v; }
    float radialAccel() const { return radialAccel_; }
    void setRadialAccel(float a) { radialAccel_ = a; }
    float radialAccelVar() const { return radialAccelVar_; }
    void setRadialAccelVar(float v) { radialAccelVar_ = v; }
    float size() const { return size_; }
    void setSize(float s) { size_ = s; }
    float sizeVar() const { return sizeVar_; }
    void setSizeVar(float v) { sizeVar_ = v; }
    float life() const { return life_; }
    void setLife(float l) { life_ = l; }
    float lifeVar() const { return lifeVar_; }
    void setLifeVar(float v) { lifeVar_ = v; }
    ccColorF startColor() const { return startColor_; }
    void setStartColor(ccColorF c) { startColor_ = c; }
    ccColorF startColorVar() const { return startColorVar_; }
    void setStartColorVar(ccColorF c) { startColorVar_ = c; }
    ccColorF endColor() const { return endColor_; }
    void setEndColor(ccColorF c) { endColor_ = c; }
    ccColorF endColorVar() const { return endColorVar_; }
    void setEndColorVar(ccColorF c) { endColorVar_ = c; }
    float emissionRate() const { return emissionRate_; }
    void setEmissionRate(float r) { emissionRate_ = r; }
    int32_t totalParticles() const { return totalParticles_; }
    // The arrays keep the size they were made with: a value above it is
    // held to it (with a log line), one below 0 to 0.
    void setTotalParticles(int32_t count);
    int32_t particleCount() const { return particleCount_; }

    // For inspection (tests, tools): the live records, what the last step
    // wrote for drawing, and the emitter's inner state.
    const sParticle* particles() const { return particles_.get(); }
    const ccPointSprite* vertices() const { return vertices_.get(); }
    const ccColorF* colors() const { return colors_.get(); }
    int32_t particleIdx() const { return particleIdx_; }
    float elapsed() const { return elapsed_; }
    float emitCounter() const { return emitCounter_; }
    bool blendAdditive() const { return blendAdditive_; }
    Texture2D* texture() const { return texture_.get(); }
    int32_t capacity() const { return capacity_; }

    ParticleDrawPath drawPath() const { return drawPath_; }
    // Tests choose the path; the default is point sprites where the GL has them.
    void setDrawPath(ParticleDrawPath path) { drawPath_ = path; }

  protected:
    int32_t id_ = 0; // unused, kept with the record layout
    bool active_ = false;
    float duration_ = 0;
    float elapsed_ = 0;
    cpVect gravity_;
    cpVect source_;
    cpVect posVar_;
    float angle_ = 0, angleVar_ = 0;
    float speed_ = 0, speedVar_ = 0;
    float tangentialAccel_ = 0, tangentialAccelVar_ = 0;
    float radialAccel_ = 0, radialAccelVar_ = 0;
    float size_ = 0, sizeVar_ = 0;
    float life_ = 0, lifeVar_ = 0;
    ccColorF startColor_, startColorVar_;
    ccColorF endColor_, endColorVar_;
    int32_t totalParticles_ = 0;
    int32_t particleCount_ = 0;
    bool blendAdditive_ = false;
    bool colorModulate_ = false; // unused
    float emissionRate_ = 0;
    float emitCounter_ = 0;
    RefPtr<Texture2D> texture_;
    GLuint verticesID_ = 0;
    GLuint colorsID_ = 0;
    int32_t particleIdx_ = 0;

  private:
    // One corner of a square drawn in place of a point.
    struct QuadVertex {
        float x, y, s, t;
        ccColorF color;
    };
    void drawPoints();
    void drawQuads();

    int32_t capacity_ = 0; // records allocated at creation
    std::unique_ptr<sParticle[]> particles_;
    std::unique_ptr<ccPointSprite[]> vertices_;
    std::unique_ptr<ccColorF[]> colors_;
    std::vector<QuadVertex> quads_; // made at the first drawing as squares, then reused
    ParticleDrawPath drawPath_ = ParticleDrawPath::PointSprites;
    float largestPointSize_ = 0; // pixels, as the GL reports it
};

// A system of class T with `count` records, or none.
template <class T> RefPtr<T> particleSystemOf(int32_t count) {
    return construct<T>([count](T& s) { return s.initWithTotalParticles(count); });
}
