// The level catalogue's own claims, checked for every puzzle, and the edges of
// the rule that judges a board.

#include "Levels.h"
#include "support/Solutions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <limits>
#include <regex>
#include <set>
#include <string>
#include <vector>

namespace {

std::vector<StickPlacement> startBoard(const Level& level) {
    return {level.start.begin(), level.start.end()};
}

std::string where(int levelIndex, int solution) {
    return "level index " + std::to_string(levelIndex) + ", solution " + std::to_string(solution + 1);
}

} // namespace

// Fifteen levels with whole layouts; task texts name the move count and only Level 10's leaves ASCII.
// Each solution is a whole figure: the moved sticks (exactly the move count) fill its free places one to
// one, each onto a place of its own rotation (sticks never turn, so no solution has a rotation the start
// lacks), and the board made that way passes; the start passes none.
TEST(LevelCatalogue, FifteenWholeLevelsNameTheirMoveCountAndAreSolvedByMovingThatManySticks) {
    EXPECT_EQ(levelAt(-1), nullptr);
    EXPECT_EQ(levelAt(kLevelCount), nullptr);
    const std::regex moveCount("Move ([0-9]) sticks");
    const std::set<float> allowed = {0.0f, 90.0f, 30.0f, -30.0f};
    for (int i = 0; i < kLevelCount; ++i) {
        ASSERT_NE(levelAt(i), nullptr) << i;
        const Level& level = *levelAt(i);
        EXPECT_EQ(level.start.size(), static_cast<size_t>(level.stickCount)) << i;
        EXPECT_TRUE(level.solution(-1).empty());
        EXPECT_TRUE(level.solution(level.solutionCount).empty());
        EXPECT_EQ(level.solution(level.solutionCount - 1).size(), static_cast<size_t>(level.stickCount));
        const std::string task(level.task);
        std::smatch m;
        ASSERT_TRUE(std::regex_search(task, m, moveCount)) << task;
        EXPECT_EQ(std::stoi(m[1]), level.moveCount) << task;
        const bool ascii = std::all_of(task.begin(), task.end(), [](unsigned char c) { return c < 0x80; });
        EXPECT_EQ(ascii, i != 9) << task;

        EXPECT_FALSE(boardPassesAnySolution(startBoard(level), level)) << "level index " << i;
        for (const StickPlacement& p : level.start)
            EXPECT_TRUE(allowed.count(p.rotation)) << "level index " << i << " rotation " << p.rotation;
        for (int s = 0; s < level.solutionCount; ++s) {
            const std::vector<StickMove> moves = movesToSolve(level, s);
            ASSERT_EQ(moves.size(), static_cast<size_t>(level.moveCount)) << where(i, s);
            std::vector<StickPlacement> board = startBoard(level);
            for (const StickMove& m : moves)
                board[static_cast<size_t>(m.stick)] = m.place;
            EXPECT_TRUE(boardPassesSolution(board, level, s)) << where(i, s);
            EXPECT_TRUE(boardPassesAnySolution(board, level)) << where(i, s);
        }
    }
    EXPECT_EQ(levelAt(12)->stickCount, kMaxSticks);
    EXPECT_NE(std::string(levelAt(9)->task).find("it\xE2\x80\x99s shape"), std::string::npos);
}

// Differences are truncated, so anything short of 21 points matches; rotations
// must be exactly equal; odd positions miss without harm.
TEST(MatchingRule, ShortOf21PointsAndTheSameRotation) {
    const float nan = std::numeric_limits<float>::quiet_NaN(), inf = std::numeric_limits<float>::infinity();
    struct Case {
        StickPlacement stick, entry;
        bool matches;
    };
    const StickPlacement upright{160, 240, 90}, flat{160, 240, 0};
    for (const Case& c : {
             Case{{160 - 20.9f, 240, 90}, upright, true},
             Case{{160 + 20.9f, 240 - 20.9f, 90}, upright, true},
             Case{{160 - 21, 240, 90}, upright, false},
             Case{{160, 240 + 21, 90}, upright, false},
             Case{{160 + 21, 240 + 21, 90}, upright, false},
             Case{{136, 361, 30}, {136, 361.52f, 30}, true}, // put back by undo at truncated coordinates
             Case{{136, 361.52f, 330}, {136, 361.52f, -30}, false},
             Case{flat, upright, false},
             Case{{160, 240, 30.0001f}, {160, 240, 30}, false},
             Case{{nan, 240, 0}, flat, false},
             Case{{160, inf, 0}, flat, false},
             Case{{3e38f, -3e38f, 0}, flat, false},
             Case{{160, 240, nan}, flat, false},
         })
        EXPECT_EQ(stickMatchesPlacement(c.stick, c.entry), c.matches)
            << c.stick.x << ", " << c.stick.y << ", " << c.stick.rotation;
}

// Boards of the glass (4 sticks, 2 moves; solution 1 moves sticks 0 and 2).
TEST(MatchingRule, SticksMayShareAPlaceButNotMixSolutionsAndTheBoardMustBeWhole) {
    const Level& level = *levelAt(9);
    struct Case {
        const char* what;
        std::vector<std::pair<int, StickPlacement>> moved;
        bool passesFirst, passesSecond;
    };
    const Case cases[] = {
        {"solution 1", {{0, {256, 144, 0}}, {2, {208, 192, 90}}}, true, false},
        {"two sticks on one place", {{0, {208, 240, 0}}, {2, {208, 192, 90}}}, true, false},
        {"places of both solutions", {{0, {256, 144, 0}}, {2, {112, 192, 90}}, {1, {64, 144, 0}}}, false,
         false},
    };
    for (const Case& c : cases) {
        std::vector<StickPlacement> board = startBoard(level);
        for (const auto& [stick, place] : c.moved)
            board[static_cast<size_t>(stick)] = place;
        EXPECT_EQ(boardPassesSolution(board, level, 0), c.passesFirst) << c.what;
        EXPECT_EQ(boardPassesSolution(board, level, 1), c.passesSecond) << c.what;
        EXPECT_EQ(boardPassesAnySolution(board, level), c.passesFirst || c.passesSecond) << c.what;
    }
    const std::span<const StickPlacement> solution = level.solution(1);
    std::vector<StickPlacement> board(solution.begin(), solution.end());
    EXPECT_TRUE(boardPassesSolution(board, level, 1));
    EXPECT_FALSE(boardPassesSolution(board, level, 2));
    EXPECT_FALSE(boardPassesSolution(board, level, -1));
    EXPECT_FALSE(boardPassesSolution(std::span(board).first(3), level, 1));
    board.push_back(board.back());
    EXPECT_FALSE(boardPassesAnySolution(board, level));
    EXPECT_FALSE(boardPassesAnySolution({}, level));
}
