#pragma once
// The fifteen puzzles, compiled in: counts, start layouts, accepted solutions
// and task texts, and the rule that judges a board against them. Plain data
// and functions with no engine behind them, so the resource generator can
// draw the objective pictures from the same layouts.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

// Where one stick lies: its centre in screen points (origin bottom-left) and
// its sprite rotation in degrees, clockwise positive.
struct StickPlacement {
    float x;
    float y;
    float rotation;
};

// Level indexes 0..9 are "Level 1".."Level 10", 10..14 "Bonus 1".."Bonus 5".
constexpr int kLevelCount = 15;
constexpr int kRegularLevelCount = 10;
// The board holds at most this many stick sprites and undo records.
constexpr int kMaxSticks = 24;
constexpr int kMaxMoves = 6;

// One puzzle as the board, the solution check and the objective screen read it.
struct Level {
    int32_t stickCount;
    int32_t solutionCount;
    // Moves the player is allowed, and must make, before the board is judged.
    int32_t moveCount;
    // stickCount placements; entry i is where stick i starts.
    std::span<const StickPlacement> start;
    // solutionCount layouts of stickCount placements each, one after another;
    // the order inside a layout means nothing.
    std::span<const StickPlacement> solutions;
    // UTF-8.
    std::string_view task;

    // Layout `index` (0-based); empty outside 0..solutionCount - 1.
    std::span<const StickPlacement> solution(int index) const;
};

// What the player calls a level: "Level 1".."Level 10", "Bonus 1".."Bonus 5".
std::string levelTitle(int levelIndex);

// The puzzle at `levelIndex`, or null outside 0..14 (a caller that can reach
// past the catalogue, like the board after the last bonus level, must check).
const Level* levelAt(int levelIndex);

// The catalogue's own tables: per level index {stick count, solution count,
// move count}, and the task texts.
extern const int32_t Base_level[kLevelCount][3];
extern const char* const LevelConditions[kLevelCount];

// Whether a stick lying at `stick` matches the solution entry `entry`: each
// coordinate difference, truncated toward zero, is at most 20 points, and the
// rotations are exactly equal.
bool stickMatchesPlacement(const StickPlacement& stick, const StickPlacement& entry);

// Whether every stick of `board` (stick i at board[i]) matches some entry of
// the level's solution `solutionIndex`. Several sticks may match one entry and
// entries may stay unmatched. A board without exactly stickCount sticks, or an
// index outside the level's solutions, passes nothing.
bool boardPassesSolution(std::span<const StickPlacement> board, const Level& level, int solutionIndex);

// Whether the board passes at least one of the level's solutions.
bool boardPassesAnySolution(std::span<const StickPlacement> board, const Level& level);
