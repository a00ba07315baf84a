#include "engine/ParticleSystems.h"

#include "engine/Director.h"
#include "engine/TextureMgr.h"

namespace {

// Where a preset's emission rate comes from: its count spread over a
// particle's life or over the emission's duration, or a fixed rate.
enum class Rate { CountPerLife, CountPerDuration, Fixed };

struct Preset {
    float duration;
    cpVect gravity;
    float angle, angleVar;
    float speed, speedVar;
    float radialAccel, radialAccelVar;
    float tangentialAccel, tangentialAccelVar;
    cpVect position;
    cpVect posVar;
    float life, lifeVar;
    float size, sizeVar;
    Rate rate;
    float fixedRate;
    bool additive;
    ccColorF startColor, startColorVar, endColor, endColorVar;
};

void apply(ParticleSystem& s, int32_t count, const Preset& p) {
    s.setDuration(p.duration);
    s.setGravity(p.gravity);
    s.setAngle(p.angle);
    s.setAngleVar(p.angleVar);
    s.setSpeed(p.speed);
    s.setSpeedVar(p.speedVar);
    s.setRadialAccel(p.radialAccel);
    s.setRadialAccelVar(p.radialAccelVar);
    s.setTangentialAccel(p.tangentialAccel);
    s.setTangentialAccelVar(p.tangentialAccelVar);
    s.setPosition(p.position);
    s.setPosVar(p.posVar);
    s.setLife(p.life);
    s.setLifeVar(p.lifeVar);
    s.setSize(p.size);
    s.setSizeVar(p.sizeVar);
    switch (p.rate) {
    case Rate::CountPerLife:
        s.setEmissionRate(static_cast<float>(count) / p.life);
        break;
    case Rate::CountPerDuration:
        s.setEmissionRate(static_cast<float>(count) / p.duration);
        break;
    case Rate::Fixed:
        s.setEmissionRate(p.fixedRate);
        break;
    }
    s.setStartColor(p.startColor);
    s.setStartColorVar(p.startColorVar);
    s.setEndColor(p.endColor);
    s.setEndColorVar(p.endColorVar);
}

ccSize winSize() {
    return Director::sharedDirector()->winSize();
}

} // namespace

// Every preset: its default count, then the base initialisation, the
// values of its table, the blending and the shared glow.
#define TV_PRESET(Name, defaultCount, values)                                                                \
    bool Name::init() {                                                                                      \
        return initWithTotalParticles(defaultCount);                                                         \
    }                                                                                                        \
    bool Name::initWithTotalParticles(int32_t count) {                                                       \
        if (!ParticleSystem::initWithTotalParticles(count)) return false;                                    \
        const Preset preset = values();                                                                      \
        apply(*this, count, preset);                                                                         \
        blendAdditive_ = preset.additive;                                                                    \
        texture_ = TextureMgr::sharedTextureMgr()->addImage("fire.png");                                     \
        return true;                                                                                         \
    }

namespace {

// duration, gravity, angle ± var, speed ± var, radial ± var, tangential ± var,
// position, posVar, life ± var, size ± var, rate (and a fixed one), additive,
// start colour ± var, end colour ± var.
// clang-format off

Preset fireworks() {
    return {-1, {0, -90}, 90, 20, 180, 50, 0, 0, 0, 0, {160, 160}, {0, 0}, 3.5f, 1, 8, 2,
            Rate::CountPerLife, 0, false,
            {0.5f, 0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, 0.5f, 0.1f}, {0.1f, 0.1f, 0.1f, 0.2f}, {0.1f, 0.1f, 0.1f, 0.2f}};
}

Preset fire() {
    return {-1, {0, 0}, 90, 10, 60, 20, 0, 0, 0, 0, {160, 60}, {40, 20}, 3, 0.25f, 100, 10,
            Rate::CountPerLife, 0, true,
            {0.76f, 0.25f, 0.12f, 1.0f}, {0, 0, 0, 0}, {0, 0, 0, 1.0f}, {0, 0, 0, 0}};
}

Preset sun() {
    return {-1, {0, 0}, 90, 360, 20, 5, 0, 0, 0, 0, {160, 240}, {0, 0}, 1, 0.5f, 30, 10,
            Rate::CountPerLife, 0, true,
            {0.76f, 0.25f, 0.12f, 1.0f}, {0, 0, 0, 0}, {0, 0, 0, 1.0f}, {0, 0, 0, 0}};
}

Preset galaxy() {
    return {-1, {0, 0}, 90, 360, 60, 10, -80, 0, 80, 0, {160, 240}, {0, 0}, 4, 1, 37, 10,
            Rate::CountPerLife, 0, true,
            {0.12f, 0.25f, 0.76f, 1.0f}, {0, 0, 0, 0}, {0, 0, 0, 1.0f}, {0, 0, 0, 0}};
}

Preset flower() {
    return {-1, {0, 0}, 90, 360, 80, 10, -60, 0, 15, 0, {160, 240}, {0, 0}, 4, 1, 30, 10,
            Rate::CountPerLife, 0, true,
            {0.5f, 0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, 0.5f, 0.5f}, {0, 0, 0, 1.0f}, {0, 0, 0, 0}};
}

Preset meteor() {
    return {-1, {-200, 200}, 90, 360, 15, 5, 0, 0, 0, 0, {160, 240}, {0, 0}, 2, 1, 60, 10,
            Rate::CountPerLife, 0, true,
            {0.2f, 0.4f, 0.7f, 1.0f}, {0, 0, 0.2f, 0.1f}, {0, 0, 0, 1.0f}, {0, 0, 0, 0}};
}

Preset spiral() {
    return {-1, {0, 0}, 90, 0, 150, 0, -380, 0, 45, 0, {160, 240}, {0, 0}, 12, 0, 20, 0,
            Rate::CountPerLife, 0, false,
            {0.5f, 0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, 0.5f, 0}, {0.5f, 0.5f, 0.5f, 1.0f}, {0.5f, 0.5f, 0.5f, 0}};
}

Preset explosion() {
    return {0.1f, {0, -100}, 90, 360, 70, 40, 0, 0, 0, 0, {160, 240}, {0, 0}, 5, 2, 15, 10,
            Rate::CountPerDuration, 0, false,
            {0.7f, 0.1f, 0.2f, 1.0f}, {0.5f, 0.5f, 0.5f, 0}, {0.5f, 0.5f, 0.5f, 0}, {0.5f, 0.5f, 0.5f, 0}};
}

Preset smoke() {
    return {-1, {0, 0}, 90, 5, 25, 10, 0, 0, 0, 0, {160, 0}, {20, 0}, 4, 1, 60, 10,
            Rate::CountPerLife, 0, false,
            {0.8f, 0.8f, 0.8f, 1.0f}, {0.02f, 0.02f, 0.02f, 0}, {0, 0, 0, 1.0f}, {0, 0, 0, 0}};
}

Preset snow() {
    const ccSize w = winSize();
    return {-1, {0, -1}, -90, 5, 5, 1, 0, 1, 0, 1, {w.width * 0.5f, w.height + 10}, {w.width * 0.5f, 0},
            45, 15, 10, 5, Rate::Fixed, 10, false,
            {1.0f, 1.0f, 1.0f, 1.0f}, {0, 0, 0, 0}, {1.0f, 1.0f, 1.0f, 0}, {0, 0, 0, 0}};
}

Preset rain() {
    const ccSize w = winSize();
    return {-1, {10, -10}, -90, 5, 130, 30, 0, 1, 0, 1, {w.width * 0.5f, w.height}, {w.width * 0.5f, 0},
            4.5f, 0, 4, 2, Rate::Fixed, 20, false,
            {0.7f, 0.8f, 1.0f, 1.0f}, {0, 0, 0, 0}, {0.7f, 0.8f, 1.0f, 0.5f}, {0, 0, 0, 0}};
}

// clang-format on

} // namespace

TV_PRESET(ParticleFireworks, 1500, fireworks)
TV_PRESET(ParticleFire, 250, fire)
TV_PRESET(ParticleSun, 350, sun)
TV_PRESET(ParticleGalaxy, 200, galaxy)
TV_PRESET(ParticleFlower, 250, flower)
TV_PRESET(ParticleMeteor, 150, meteor)
TV_PRESET(ParticleSpiral, 500, spiral)
TV_PRESET(ParticleExplosion, 700, explosion)
TV_PRESET(ParticleSmoke, 200, smoke)
TV_PRESET(ParticleSnow, 700, snow)
TV_PRESET(ParticleRain, 1000, rain)
