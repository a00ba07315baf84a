#include "engine/Grid3DAction.h"

#include "engine/Errors.h"
#include "engine/Random.h"

#include <algorithm>
#include <cmath>

namespace {
constexpr float kPi = 3.1415927f;

ccGridSize at(int32_t i, int32_t j) {
    return {i, j};
}
} // namespace

int32_t gridRandomOffset(int32_t range) {
    if (range <= 0) return 0; // no shaking rather than a division by zero
    int64_t span = int64_t{range} * 2;
    return static_cast<int32_t>(Random::next() % span - range);
}

// ---- Waves3D

RefPtr<Waves3D> Waves3D::actionWithWaves(int32_t waves, float amplitude, ccGridSize gridSize,
                                         float duration) {
    return construct<Waves3D>(
        [&](Waves3D& a) { return a.initWithWaves(waves, amplitude, gridSize, duration); });
}

bool Waves3D::initWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    waves_ = waves;
    amplitude_ = amplitude;
    amplitudeRate_ = 1.0f;
    return true;
}

void Waves3D::update(float t) {
    for (int32_t i = 0; i <= gridSize_.x; ++i)
        for (int32_t j = 0; j <= gridSize_.y; ++j) {
            ccVertex3D v = originalVertex(at(i, j));
            v.z += std::sin(kPi * t * static_cast<float>(waves_) * 2 + (v.x + v.y) * 0.01f) * amplitude_ *
                   amplitudeRate_;
            setVertex(at(i, j), v);
        }
}

RefPtr<Action> Waves3D::copy() const {
    return actionWithWaves(waves_, amplitude_, gridSize_, duration());
}

// ---- FlipX3D, FlipY3D

RefPtr<FlipX3D> FlipX3D::actionWithDuration(float duration) {
    return construct<FlipX3D>([&](FlipX3D& a) { return a.initWithDuration(duration); });
}

bool FlipX3D::initWithDuration(float duration) {
    return initWithSize(ccGridSize{1, 1}, duration);
}

bool FlipX3D::initWithSize(ccGridSize gridSize, float duration) {
    if (gridSize.x != 1 || gridSize.y != 1) ccRaise("FlipX3D", "Grid size must be (1,1)");
    return Grid3DAction::initWithSize(gridSize, duration);
}

namespace {
// sin(pi t) is never negative for t in [0, 1]; with pi in single precision it
// is a hair below zero at t = 1, which the floor below would make a whole point.
float flipLift(float t) {
    return std::max(0.0f, std::sin(kPi * t));
}
} // namespace

void FlipX3D::update(float t) {
    flip(t, true);
}

// The edge nearer the origin lifts toward the viewer and swings over to where
// the far edge was; the far edge sinks and swings back. Along x the edges are
// the columns i = 0 and 1 of the 1 x 1 grid, along y the rows j = 0 and 1.
void FlipX3D::flip(float t, bool alongX) {
    auto coordinate = [alongX](ccVertex3D& v) -> float& { return alongX ? v.x : v.y; };
    auto corner = [alongX](int32_t edge, int32_t k) { return alongX ? at(edge, k) : at(k, edge); };
    ccVertex3D v00 = originalVertex(at(0, 0)), v11 = originalVertex(at(1, 1));
    const bool ascending = coordinate(v11) > coordinate(v00);
    const float m = ascending ? coordinate(v11) : coordinate(v00);
    const int32_t nearEdge = ascending ? 0 : 1, farEdge = 1 - nearEdge;
    const float d = m - m * std::cos(kPi * t / 2);
    const float dz = std::fabs(std::floor(m * flipLift(t) * 0.25f));
    for (int32_t k = 0; k <= 1; ++k) {
        ccVertex3D v = originalVertex(corner(nearEdge, k));
        coordinate(v) = d;
        v.z += dz;
        setVertex(corner(nearEdge, k), v);
        v = originalVertex(corner(farEdge, k));
        coordinate(v) -= d;
        v.z -= dz;
        setVertex(corner(farEdge, k), v);
    }
}

RefPtr<Action> FlipX3D::copy() const {
    return actionWithDuration(duration());
}

RefPtr<FlipY3D> FlipY3D::actionWithDuration(float duration) {
    return construct<FlipY3D>([&](FlipY3D& a) { return a.initWithDuration(duration); });
}

void FlipY3D::update(float t) {
    flip(t, false);
}

RefPtr<Action> FlipY3D::copy() const {
    return actionWithDuration(duration());
}

// ---- Lens3D

RefPtr<Lens3D> Lens3D::actionWithPosition(cpVect position, float radius, ccGridSize gridSize,
                                          float duration) {
    return construct<Lens3D>(
        [&](Lens3D& a) { return a.initWithPosition(position, radius, gridSize, duration); });
}

bool Lens3D::initWithPosition(cpVect position, float radius, ccGridSize gridSize, float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    position_ = position;
    radius_ = radius;
    lensEffect_ = 0.7f;
    lastPosition_ = cpv(-1, -1);
    return true;
}

void Lens3D::update(float) {
    if (position_ == lastPosition_) return;
    for (int32_t i = 0; i <= gridSize_.x; ++i)
        for (int32_t j = 0; j <= gridSize_.y; ++j) {
            ccVertex3D v = originalVertex(at(i, j));
            cpVect d = cpvsub(position_, cpv(v.x, v.y));
            float r = cpvlength(d);
            if (r < radius_) {
                float p = (radius_ - r) / radius_;
                if (p == 0.0f) p = 0.001f;
                float n = std::exp(std::log(p) * lensEffect_) * radius_;
                if (cpvlength(d) > 0) v.z += cpvlength(cpvmult(cpvnormalize(d), n)) * lensEffect_;
            }
            setVertex(at(i, j), v);
        }
    lastPosition_ = position_;
}

RefPtr<Action> Lens3D::copy() const {
    return actionWithPosition(position_, radius_, gridSize_, duration());
}

// ---- Ripple3D

RefPtr<Ripple3D> Ripple3D::actionWithPosition(cpVect position, float radius, int32_t waves, float amplitude,
                                              ccGridSize gridSize, float duration) {
    return construct<Ripple3D>([&](Ripple3D& a) {
        return a.initWithPosition(position, radius, waves, amplitude, gridSize, duration);
    });
}

bool Ripple3D::initWithPosition(cpVect position, float radius, int32_t waves, float amplitude,
                                ccGridSize gridSize, float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    position_ = position;
    radius_ = radius;
    waves_ = waves;
    amplitude_ = amplitude;
    amplitudeRate_ = 1.0f;
    return true;
}

void Ripple3D::update(float t) {
    for (int32_t i = 0; i <= gridSize_.x; ++i)
        for (int32_t j = 0; j <= gridSize_.y; ++j) {
            ccVertex3D v = originalVertex(at(i, j));
            float r = cpvlength(cpvsub(position_, cpv(v.x, v.y)));
            if (r < radius_) {
                float inside = radius_ - r;
                float fade = (inside / radius_) * (inside / radius_);
                v.z += std::sin(kPi * t * static_cast<float>(waves_) * 2 + inside * 0.1f) * amplitude_ *
                       amplitudeRate_ * fade;
            }
            setVertex(at(i, j), v);
        }
}

RefPtr<Action> Ripple3D::copy() const {
    return actionWithPosition(position_, radius_, waves_, amplitude_, gridSize_, duration());
}

// ---- Shaky3D

RefPtr<Shaky3D> Shaky3D::actionWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration) {
    return construct<Shaky3D>([&](Shaky3D& a) { return a.initWithRange(range, shakeZ, gridSize, duration); });
}

bool Shaky3D::initWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    randrange_ = range;
    shakeZ_ = shakeZ;
    return true;
}

void Shaky3D::update(float) {
    for (int32_t i = 0; i <= gridSize_.x; ++i)
        for (int32_t j = 0; j <= gridSize_.y; ++j) {
            ccVertex3D v = originalVertex(at(i, j));
            v.x += static_cast<float>(gridRandomOffset(randrange_));
            v.y += static_cast<float>(gridRandomOffset(randrange_));
            if (shakeZ_) v.z += static_cast<float>(gridRandomOffset(randrange_));
            setVertex(at(i, j), v);
        }
}

RefPtr<Action> Shaky3D::copy() const {
    return actionWithRange(randrange_, shakeZ_, gridSize_, duration());
}

// ---- Liquid

RefPtr<Liquid> Liquid::actionWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration) {
    return construct<Liquid>(
        [&](Liquid& a) { return a.initWithWaves(waves, amplitude, gridSize, duration); });
}

bool Liquid::initWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    waves_ = waves;
    amplitude_ = amplitude;
    amplitudeRate_ = 1.0f;
    return true;
}

void Liquid::update(float t) {
    float w = kPi * t * static_cast<float>(waves_) * 2;
    float rate = amplitude_ * amplitudeRate_;
    for (int32_t i = 1; i < gridSize_.x; ++i)
        for (int32_t j = 1; j < gridSize_.y; ++j) {
            ccVertex3D v = originalVertex(at(i, j));
            float x = v.x, y = v.y;
            v.x = x + std::sin(w + x * 0.01f) * rate;
            v.y = y + std::sin(w + y * 0.01f) * rate;
            setVertex(at(i, j), v);
        }
}

RefPtr<Action> Liquid::copy() const {
    return actionWithWaves(waves_, amplitude_, gridSize_, duration());
}

// ---- Waves

RefPtr<Waves> Waves::actionWithWaves(int32_t waves, float amplitude, bool horizontal, bool vertical,
                                     ccGridSize gridSize, float duration) {
    return construct<Waves>([&](Waves& a) {
        return a.initWithWaves(waves, amplitude, horizontal, vertical, gridSize, duration);
    });
}

bool Waves::initWithWaves(int32_t waves, float amplitude, bool horizontal, bool vertical, ccGridSize gridSize,
                          float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    waves_ = waves;
    amplitude_ = amplitude;
    amplitudeRate_ = 1.0f;
    horizontal_ = horizontal;
    vertical_ = vertical;
    return true;
}

void Waves::update(float t) {
    float w = kPi * t * static_cast<float>(waves_) * 2;
    float rate = amplitude_ * amplitudeRate_;
    for (int32_t i = 0; i <= gridSize_.x; ++i)
        for (int32_t j = 0; j <= gridSize_.y; ++j) {
            ccVertex3D v = originalVertex(at(i, j));
            if (vertical_) v.x += std::sin(w + v.y * 0.01f) * rate;
            if (horizontal_) v.y += std::sin(w + v.x * 0.01f) * rate;
            setVertex(at(i, j), v);
        }
}

RefPtr<Action> Waves::copy() const {
    return actionWithWaves(waves_, amplitude_, horizontal_, vertical_, gridSize_, duration());
}

// ---- Twirl

RefPtr<Twirl> Twirl::actionWithPosition(cpVect position, int32_t twirls, float amplitude, ccGridSize gridSize,
                                        float duration) {
    return construct<Twirl>(
        [&](Twirl& a) { return a.initWithPosition(position, twirls, amplitude, gridSize, duration); });
}

bool Twirl::initWithPosition(cpVect position, int32_t twirls, float amplitude, ccGridSize gridSize,
                             float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    position_ = position;
    twirls_ = twirls;
    amplitude_ = amplitude;
    amplitudeRate_ = 1.0f;
    return true;
}

void Twirl::update(float t) {
    const cpVect c = position_;
    const float rate = amplitude_ * amplitudeRate_;
    const float turn = std::cos(kPi * t * static_cast<float>(twirls_) * 2 + kPi / 2);
    for (int32_t i = 0; i <= gridSize_.x; ++i)
        for (int32_t j = 0; j <= gridSize_.y; ++j) {
            ccVertex3D v = originalVertex(at(i, j));
            // The distance from the grid's centre, in cells.
            cpVect cells = cpv(static_cast<float>(i) - static_cast<float>(gridSize_.x) * 0.5f,
                               static_cast<float>(j) - static_cast<float>(gridSize_.y) * 0.5f);
            float a = 0.1f * rate * cpvlength(cells) * turn;
            float dx = v.x - c.x, dy = v.y - c.y;
            v.x = c.x + std::sin(a) * dy + std::cos(a) * dx;
            v.y = c.y + std::cos(a) * dy - std::sin(a) * dx;
            setVertex(at(i, j), v);
        }
}

RefPtr<Action> Twirl::copy() const {
    return actionWithPosition(position_, twirls_, amplitude_, gridSize_, duration());
}
