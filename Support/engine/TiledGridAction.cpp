#include "engine/TiledGridAction.h"

#include "engine/CocosNode.h"
#include "engine/Director.h"
#include "engine/Grid3DAction.h"
#include "engine/Random.h"

#include <cmath>

namespace {
constexpr float kPi = 3.1415927f;

constexpr float ccQuad3::*kCornerX[4] = {&ccQuad3::bl_x, &ccQuad3::br_x, &ccQuad3::tl_x, &ccQuad3::tr_x};
constexpr float ccQuad3::*kCornerY[4] = {&ccQuad3::bl_y, &ccQuad3::br_y, &ccQuad3::tl_y, &ccQuad3::tr_y};
constexpr float ccQuad3::*kCornerZ[4] = {&ccQuad3::bl_z, &ccQuad3::br_z, &ccQuad3::tl_z, &ccQuad3::tr_z};

ccGridSize at(int32_t i, int32_t j) {
    return {i, j};
}

// The random draws of the shaky tiles, in their order: the four x, the four
// y, then (when asked) the four z.
void shake(ccQuad3& q, int32_t range, bool z) {
    for (auto corner : kCornerX)
        q.*corner += static_cast<float>(gridRandomOffset(range));
    for (auto corner : kCornerY)
        q.*corner += static_cast<float>(gridRandomOffset(range));
    if (z)
        for (auto corner : kCornerZ)
            q.*corner += static_cast<float>(gridRandomOffset(range));
}

void shuffleArray(std::vector<int32_t>& array, int32_t count) {
    for (int32_t k = count - 1; k >= 0; --k) {
        auto j = static_cast<int32_t>(Random::next() % (k + 1));
        std::swap(array[static_cast<size_t>(k)], array[static_cast<size_t>(j)]);
    }
}

// 0, 1, ... count - 1 in shuffled order; the generator is seeded first
// unless the seed is -1, which continues its sequence.
std::vector<int32_t> shuffledOrder(int32_t seed, int32_t count) {
    if (seed != -1) Random::seed(static_cast<uint32_t>(seed));
    std::vector<int32_t> order(static_cast<size_t>(count));
    for (int32_t k = 0; k < count; ++k)
        order[static_cast<size_t>(k)] = k;
    shuffleArray(order, count);
    return order;
}
} // namespace

// ---- ShakyTiles3D

RefPtr<ShakyTiles3D> ShakyTiles3D::actionWithRange(int32_t range, bool shakeZ, ccGridSize gridSize,
                                                   float duration) {
    return construct<ShakyTiles3D>(
        [&](ShakyTiles3D& a) { return a.initWithRange(range, shakeZ, gridSize, duration); });
}

bool ShakyTiles3D::initWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    randrange_ = range;
    shakeZ_ = shakeZ;
    return true;
}

void ShakyTiles3D::update(float) {
    for (int32_t i = 0; i < gridSize_.x; ++i)
        for (int32_t j = 0; j < gridSize_.y; ++j) {
            ccQuad3 q = originalTile(at(i, j));
            shake(q, randrange_, shakeZ_);
            setTile(at(i, j), q);
        }
}

RefPtr<Action> ShakyTiles3D::copy() const {
    return actionWithRange(randrange_, shakeZ_, gridSize_, duration());
}

// ---- ShatteredTiles3D

RefPtr<ShatteredTiles3D> ShatteredTiles3D::actionWithRange(int32_t range, bool shatterZ, ccGridSize gridSize,
                                                           float duration) {
    return construct<ShatteredTiles3D>(
        [&](ShatteredTiles3D& a) { return a.initWithRange(range, shatterZ, gridSize, duration); });
}

bool ShatteredTiles3D::initWithRange(int32_t range, bool shatterZ, ccGridSize gridSize, float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    randrange_ = range;
    once_ = false;
    shatterZ_ = shatterZ;
    return true;
}

void ShatteredTiles3D::update(float) {
    if (once_) return;
    for (int32_t i = 0; i < gridSize_.x; ++i)
        for (int32_t j = 0; j < gridSize_.y; ++j) {
            ccQuad3 q = originalTile(at(i, j));
            shake(q, randrange_, shatterZ_);
            setTile(at(i, j), q);
        }
    once_ = true;
}

RefPtr<Action> ShatteredTiles3D::copy() const {
    return actionWithRange(randrange_, shatterZ_, gridSize_, duration());
}

// ---- ShuffleTiles

RefPtr<ShuffleTiles> ShuffleTiles::actionWithSeed(int32_t seed, ccGridSize gridSize, float duration) {
    return construct<ShuffleTiles>([&](ShuffleTiles& a) { return a.initWithSeed(seed, gridSize, duration); });
}

bool ShuffleTiles::initWithSeed(int32_t seed, ccGridSize gridSize, float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    seed_ = seed;
    return true;
}

void ShuffleTiles::shuffle(std::vector<int32_t>& array, int32_t count) {
    shuffleArray(array, count);
}

void ShuffleTiles::start() {
    TiledGrid3DAction::start();
    tilesCount_ = gridSize_.x * gridSize_.y;
    tilesOrder_ = shuffledOrder(seed_, tilesCount_);
    tiles_.clear();
    tiles_.reserve(static_cast<size_t>(tilesCount_));
    for (int32_t i = 0; i < gridSize_.x; ++i)
        for (int32_t j = 0; j < gridSize_.y; ++j)
            tiles_.push_back(Tile{cpv(static_cast<float>(i), static_cast<float>(j)), getDelta(at(i, j))});
}

ccGridSize ShuffleTiles::getDelta(ccGridSize pos) const {
    int32_t p = tilesOrder_[static_cast<size_t>(pos.x * gridSize_.y + pos.y)];
    return {p / gridSize_.y - pos.x, p % gridSize_.y - pos.y};
}

void ShuffleTiles::placeTile(ccGridSize pos, const Tile& tile) {
    TiledGrid3D* grid = tiledGrid();
    if (!grid) return;
    cpVect step = grid->step();
    ccQuad3 q = grid->originalTile(pos);
    // Whole points only, truncated toward zero.
    float dx = std::trunc(tile.position.x * step.x), dy = std::trunc(tile.position.y * step.y);
    for (auto corner : kCornerX)
        q.*corner += dx;
    for (auto corner : kCornerY)
        q.*corner += dy;
    grid->setTile(pos, q);
}

void ShuffleTiles::update(float t) {
    size_t k = 0;
    for (int32_t i = 0; i < gridSize_.x; ++i)
        for (int32_t j = 0; j < gridSize_.y; ++j) {
            if (k >= tiles_.size()) return; // updated without a start
            Tile& tile = tiles_[k++];
            tile.position = cpv(static_cast<float>(tile.delta.x) * t, static_cast<float>(tile.delta.y) * t);
            placeTile(at(i, j), tile);
        }
}

RefPtr<Action> ShuffleTiles::copy() const {
    return actionWithSeed(seed_, gridSize_, duration());
}

// ---- TurnOffTiles

RefPtr<TurnOffTiles> TurnOffTiles::actionWithSize(ccGridSize gridSize, float duration) {
    return actionWithSeed(0, gridSize, duration);
}

RefPtr<TurnOffTiles> TurnOffTiles::actionWithSeed(int32_t seed, ccGridSize gridSize, float duration) {
    return construct<TurnOffTiles>([&](TurnOffTiles& a) { return a.initWithSeed(seed, gridSize, duration); });
}

bool TurnOffTiles::initWithSeed(int32_t seed, ccGridSize gridSize, float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    seed_ = seed;
    return true;
}

void TurnOffTiles::shuffle(std::vector<int32_t>& array, int32_t count) {
    shuffleArray(array, count);
}

void TurnOffTiles::start() {
    TiledGrid3DAction::start();
    tilesCount_ = gridSize_.x * gridSize_.y;
    tilesOrder_ = shuffledOrder(seed_, tilesCount_);
}

void TurnOffTiles::turnOnTile(ccGridSize pos) {
    setTile(pos, originalTile(pos));
}

void TurnOffTiles::turnOffTile(ccGridSize pos) {
    setTile(pos, ccQuad3{});
}

void TurnOffTiles::update(float t) {
    auto off = static_cast<int32_t>(static_cast<float>(tilesCount_) * t);
    for (int32_t k = 0; k < static_cast<int32_t>(tilesOrder_.size()); ++k) {
        int32_t p = tilesOrder_[static_cast<size_t>(k)];
        ccGridSize pos = at(p / gridSize_.y, p % gridSize_.y);
        if (k < off)
            turnOffTile(pos);
        else
            turnOnTile(pos);
    }
}

RefPtr<Action> TurnOffTiles::copy() const {
    return actionWithSeed(seed_, gridSize_, duration());
}

// ---- WavesTiles3D

RefPtr<WavesTiles3D> WavesTiles3D::actionWithWaves(int32_t waves, float amplitude, ccGridSize gridSize,
                                                   float duration) {
    return construct<WavesTiles3D>(
        [&](WavesTiles3D& a) { return a.initWithWaves(waves, amplitude, gridSize, duration); });
}

bool WavesTiles3D::initWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    waves_ = waves;
    amplitude_ = amplitude;
    amplitudeRate_ = 1.0f;
    return true;
}

void WavesTiles3D::update(float t) {
    for (int32_t i = 0; i < gridSize_.x; ++i)
        for (int32_t j = 0; j < gridSize_.y; ++j) {
            ccQuad3 q = originalTile(at(i, j));
            float h = std::sin(kPi * t * static_cast<float>(waves_) * 2 + (q.bl_x + q.bl_y) * 0.01f) *
                      amplitude_ * amplitudeRate_;
            for (auto corner : kCornerZ)
                q.*corner = h;
            setTile(at(i, j), q);
        }
}

RefPtr<Action> WavesTiles3D::copy() const {
    return actionWithWaves(waves_, amplitude_, gridSize_, duration());
}

// ---- JumpTiles3D

RefPtr<JumpTiles3D> JumpTiles3D::actionWithJumps(int32_t jumps, float amplitude, ccGridSize gridSize,
                                                 float duration) {
    return construct<JumpTiles3D>(
        [&](JumpTiles3D& a) { return a.initWithJumps(jumps, amplitude, gridSize, duration); });
}

bool JumpTiles3D::initWithJumps(int32_t jumps, float amplitude, ccGridSize gridSize, float duration) {
    if (!initWithSize(gridSize, duration)) return false;
    jumps_ = jumps;
    amplitude_ = amplitude;
    amplitudeRate_ = 1.0f;
    return true;
}

void JumpTiles3D::update(float t) {
    float jumps = static_cast<float>(jumps_);
    float s1 = std::sin(kPi * t * jumps * 2) * amplitude_ * amplitudeRate_;
    float s2 = std::sin(kPi * (1 + t * jumps * 2)) * amplitude_ * amplitudeRate_;
    for (int32_t i = 0; i < gridSize_.x; ++i)
        for (int32_t j = 0; j < gridSize_.y; ++j) {
            ccQuad3 q = originalTile(at(i, j));
            float lift = (i + j) % 2 != 0 ? s2 : s1;
            for (auto corner : kCornerZ)
                q.*corner += lift;
            setTile(at(i, j), q);
        }
}

RefPtr<Action> JumpTiles3D::copy() const {
    return actionWithJumps(jumps_, amplitude_, gridSize_, duration());
}

// ---- SplitRows, SplitCols

RefPtr<SplitRows> SplitRows::actionWithRows(int32_t rows, float duration) {
    return construct<SplitRows>([&](SplitRows& a) { return a.initWithRows(rows, duration); });
}

bool SplitRows::initWithRows(int32_t rows, float duration) {
    return initWithSize(ccGridSize{1, rows}, duration);
}

void SplitRows::start() {
    TiledGrid3DAction::start();
    winSize_ = Director::sharedDirector()->winSize();
}

void SplitRows::update(float t) {
    for (int32_t j = 0; j < gridSize_.y; ++j) {
        ccQuad3 q = originalTile(at(0, j));
        float direction = j % 2 != 0 ? 1.0f : -1.0f;
        float d = direction * winSize_.width * t;
        for (auto corner : kCornerX)
            q.*corner += d;
        setTile(at(0, j), q);
    }
}

RefPtr<Action> SplitRows::copy() const {
    return actionWithRows(gridSize_.y, duration());
}

RefPtr<SplitCols> SplitCols::actionWithCols(int32_t cols, float duration) {
    return construct<SplitCols>([&](SplitCols& a) { return a.initWithCols(cols, duration); });
}

bool SplitCols::initWithCols(int32_t cols, float duration) {
    return initWithSize(ccGridSize{cols, 1}, duration);
}

void SplitCols::start() {
    TiledGrid3DAction::start();
    winSize_ = Director::sharedDirector()->winSize();
}

void SplitCols::update(float t) {
    for (int32_t i = 0; i < gridSize_.x; ++i) {
        ccQuad3 q = originalTile(at(i, 0));
        float direction = i % 2 != 0 ? 1.0f : -1.0f;
        float d = direction * winSize_.height * t;
        for (auto corner : kCornerY)
            q.*corner += d;
        setTile(at(i, 0), q);
    }
}

RefPtr<Action> SplitCols::copy() const {
    return actionWithCols(gridSize_.x, duration());
}

// ---- fade-outs

namespace {
template <class T> RefPtr<T> fadeOf(ccGridSize gridSize, float duration) {
    return construct<T>([&](T& a) { return a.initWithSize(gridSize, duration); });
}
} // namespace

RefPtr<FadeOutTRTiles> FadeOutTRTiles::actionWithSize(ccGridSize gridSize, float duration) {
    return fadeOf<FadeOutTRTiles>(gridSize, duration);
}

void FadeOutTRTiles::update(float t) {
    for (int32_t i = 0; i < gridSize_.x; ++i)
        for (int32_t j = 0; j < gridSize_.y; ++j) {
            float d = testFunc(at(i, j), t);
            if (d == 0.0f)
                turnOffTile(at(i, j));
            else if (d < 1.0f)
                transformTile(at(i, j), d);
            else
                turnOnTile(at(i, j));
        }
}

float FadeOutTRTiles::testFunc(ccGridSize pos, float t) const {
    float n = static_cast<float>(gridSize_.x) * t + static_cast<float>(gridSize_.y) * t;
    if (n == 0.0f) return 1.0f;
    return std::pow(static_cast<float>(pos.x + pos.y) / n, 6.0f);
}

void FadeOutTRTiles::transformTile(ccGridSize pos, float distance) {
    TiledGrid3D* grid = tiledGrid();
    if (!grid) return;
    ccQuad3 q = grid->originalTile(pos);
    cpVect step = grid->step();
    float h = 1 - distance;
    float hx = h * step.x / 2, hy = h * step.y / 2;
    q.bl_x += hx;
    q.bl_y += hy;
    q.br_x -= hx;
    q.br_y += hy;
    q.tl_x += hx;
    q.tl_y -= hy;
    q.tr_x -= hx;
    q.tr_y -= hy;
    grid->setTile(pos, q);
}

void FadeOutTRTiles::turnOnTile(ccGridSize pos) {
    setTile(pos, originalTile(pos));
}

void FadeOutTRTiles::turnOffTile(ccGridSize pos) {
    setTile(pos, ccQuad3{});
}

RefPtr<Action> FadeOutTRTiles::copy() const {
    return actionWithSize(gridSize_, duration());
}

RefPtr<FadeOutBLTiles> FadeOutBLTiles::actionWithSize(ccGridSize gridSize, float duration) {
    return fadeOf<FadeOutBLTiles>(gridSize, duration);
}

float FadeOutBLTiles::testFunc(ccGridSize pos, float t) const {
    if (pos.x + pos.y == 0) return 1.0f;
    float n = static_cast<float>(gridSize_.x) * (1 - t) + static_cast<float>(gridSize_.y) * (1 - t);
    return std::pow(n / static_cast<float>(pos.x + pos.y), 6.0f);
}

RefPtr<Action> FadeOutBLTiles::copy() const {
    return actionWithSize(gridSize_, duration());
}

RefPtr<FadeOutUpTiles> FadeOutUpTiles::actionWithSize(ccGridSize gridSize, float duration) {
    return fadeOf<FadeOutUpTiles>(gridSize, duration);
}

float FadeOutUpTiles::testFunc(ccGridSize pos, float t) const {
    float n = static_cast<float>(gridSize_.y) * t;
    if (n == 0.0f) return 1.0f;
    return std::pow(static_cast<float>(pos.y) / n, 6.0f);
}

void FadeOutUpTiles::transformTile(ccGridSize pos, float distance) {
    TiledGrid3D* grid = tiledGrid();
    if (!grid) return;
    ccQuad3 q = grid->originalTile(pos);
    float hy = (1 - distance) * grid->step().y / 2;
    q.bl_y += hy;
    q.br_y += hy;
    q.tl_y -= hy;
    q.tr_y -= hy;
    grid->setTile(pos, q);
}

RefPtr<Action> FadeOutUpTiles::copy() const {
    return actionWithSize(gridSize_, duration());
}

RefPtr<FadeOutDownTiles> FadeOutDownTiles::actionWithSize(ccGridSize gridSize, float duration) {
    return fadeOf<FadeOutDownTiles>(gridSize, duration);
}

float FadeOutDownTiles::testFunc(ccGridSize pos, float t) const {
    if (pos.y == 0) return 1.0f;
    return std::pow(static_cast<float>(gridSize_.y) * (1 - t) / static_cast<float>(pos.y), 6.0f);
}

RefPtr<Action> FadeOutDownTiles::copy() const {
    return actionWithSize(gridSize_, duration());
}
