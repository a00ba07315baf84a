#pragma once
// Tile effects: grid actions on a TiledGrid3D, where every cell is a quad of
// its own that can be moved, lifted, shrunk, hidden or swapped. Several are
// the building blocks of the tile transitions.

#include "engine/GridAction.h"

#include <vector>

// Every tile's corners jump by random whole numbers of points in
// [-range, range) each frame. A range of 0 or less does not shake.
class ShakyTiles3D : public TiledGrid3DAction {
  public:
    static RefPtr<ShakyTiles3D> actionWithRange(int32_t range, bool shakeZ, ccGridSize gridSize,
                                                float duration);
    bool initWithRange(int32_t range, bool shakeZ, ccGridSize gridSize, float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;

  private:
    int32_t randrange_ = 0;
    bool shakeZ_ = false;
};

// As ShakyTiles3D, once: the tiles stay where the first update threw them.
class ShatteredTiles3D : public TiledGrid3DAction {
  public:
    static RefPtr<ShatteredTiles3D> actionWithRange(int32_t range, bool shatterZ, ccGridSize gridSize,
                                                    float duration);
    bool initWithRange(int32_t range, bool shatterZ, ccGridSize gridSize, float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;

  private:
    int32_t randrange_ = 0;
    bool once_ = false;
    bool shatterZ_ = false;
};

// Tiles slide to the cells of a shuffled order; at t = 1 the picture is a
// permutation of its cells. A seed other than -1 makes the order repeatable.
class ShuffleTiles : public TiledGrid3DAction {
  public:
    // How far one tile travels, in cells, and where it is on the way.
    struct Tile {
        cpVect position;
        ccGridSize delta;
    };

    static RefPtr<ShuffleTiles> actionWithSeed(int32_t seed, ccGridSize gridSize, float duration);
    bool initWithSeed(int32_t seed, ccGridSize gridSize, float duration);
    void start() override;
    void update(float t) override;
    RefPtr<Action> copy() const override;

    // Fisher-Yates from the end, drawing from the engine's generator.
    static void shuffle(std::vector<int32_t>& array, int32_t count);
    ccGridSize getDelta(ccGridSize pos) const;
    void placeTile(ccGridSize pos, const Tile& tile);

    const std::vector<int32_t>& tilesOrder() const { return tilesOrder_; }

  private:
    int32_t seed_ = -1;
    int32_t tilesCount_ = 0;
    std::vector<int32_t> tilesOrder_;
    std::vector<Tile> tiles_;
};

// Tiles disappear one by one in a shuffled order: the share t of them is off.
class TurnOffTiles : public TiledGrid3DAction {
  public:
    // Seed 0.
    static RefPtr<TurnOffTiles> actionWithSize(ccGridSize gridSize, float duration);
    static RefPtr<TurnOffTiles> actionWithSeed(int32_t seed, ccGridSize gridSize, float duration);
    bool initWithSeed(int32_t seed, ccGridSize gridSize, float duration);
    void start() override;
    void update(float t) override;
    RefPtr<Action> copy() const override;

    // As ShuffleTiles::shuffle.
    static void shuffle(std::vector<int32_t>& array, int32_t count);
    void turnOnTile(ccGridSize pos);
    void turnOffTile(ccGridSize pos);
    const std::vector<int32_t>& tilesOrder() const { return tilesOrder_; }

  private:
    int32_t seed_ = 0;
    int32_t tilesCount_ = 0;
    std::vector<int32_t> tilesOrder_;
};

// Flat tiles bobbing up and down as wholes.
class WavesTiles3D : public WithAmplitude<TiledGrid3DAction> {
  public:
    static RefPtr<WavesTiles3D> actionWithWaves(int32_t waves, float amplitude, ccGridSize gridSize,
                                                float duration);
    bool initWithWaves(int32_t waves, float amplitude, ccGridSize gridSize, float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;

  private:
    int32_t waves_ = 0;
};

// Neighbouring tiles jump in opposite directions.
class JumpTiles3D : public WithAmplitude<TiledGrid3DAction> {
  public:
    static RefPtr<JumpTiles3D> actionWithJumps(int32_t jumps, float amplitude, ccGridSize gridSize,
                                               float duration);
    bool initWithJumps(int32_t jumps, float amplitude, ccGridSize gridSize, float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;

  private:
    int32_t jumps_ = 0;
};

// Rows slide a window's width out, odd rows right, even rows left.
class SplitRows : public TiledGrid3DAction {
  public:
    static RefPtr<SplitRows> actionWithRows(int32_t rows, float duration);
    bool initWithRows(int32_t rows, float duration);
    void start() override;
    void update(float t) override;
    RefPtr<Action> copy() const override;

  private:
    ccSize winSize_;
};

// Columns slide a window's height out, odd columns up, even columns down.
class SplitCols : public TiledGrid3DAction {
  public:
    static RefPtr<SplitCols> actionWithCols(int32_t cols, float duration);
    bool initWithCols(int32_t cols, float duration);
    void start() override;
    void update(float t) override;
    RefPtr<Action> copy() const override;

  private:
    ccSize winSize_;
};

// Tiles shrink away in a sweep from the bottom-left corner to the top-right.
class FadeOutTRTiles : public TiledGrid3DAction {
  public:
    static RefPtr<FadeOutTRTiles> actionWithSize(ccGridSize gridSize, float duration);
    void update(float t) override;
    RefPtr<Action> copy() const override;

    // Above 1 the tile is whole, at 0 it is gone, between it shrinks.
    virtual float testFunc(ccGridSize pos, float t) const;
    virtual void transformTile(ccGridSize pos, float distance);
    void turnOnTile(ccGridSize pos);
    void turnOffTile(ccGridSize pos);
};

// From the top-right corner to the bottom-left.
class FadeOutBLTiles : public FadeOutTRTiles {
  public:
    static RefPtr<FadeOutBLTiles> actionWithSize(ccGridSize gridSize, float duration);
    float testFunc(ccGridSize pos, float t) const override;
    RefPtr<Action> copy() const override;
};

// From the bottom row up; tiles shrink toward their horizontal centre line.
class FadeOutUpTiles : public FadeOutTRTiles {
  public:
    static RefPtr<FadeOutUpTiles> actionWithSize(ccGridSize gridSize, float duration);
    float testFunc(ccGridSize pos, float t) const override;
    void transformTile(ccGridSize pos, float distance) override;
    RefPtr<Action> copy() const override;
};

// From the top row down.
class FadeOutDownTiles : public FadeOutUpTiles {
  public:
    static RefPtr<FadeOutDownTiles> actionWithSize(ccGridSize gridSize, float duration);
    float testFunc(ccGridSize pos, float t) const override;
    RefPtr<Action> copy() const override;
};
