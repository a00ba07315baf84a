#include "support/Solutions.h"

#include <algorithm>

// Start sticks that no entry of solution `solution` accepts: the ones to move.
static std::vector<int> sticksToMove(const Level& level, int solution) {
    std::vector<int> moved;
    for (int i = 0; i < level.stickCount; ++i) {
        bool matched = false;
        for (const StickPlacement& entry : level.solution(solution))
            matched = matched || stickMatchesPlacement(level.start[static_cast<size_t>(i)], entry);
        if (!matched) moved.push_back(i);
    }
    return moved;
}

std::vector<StickMove> movesToSolve(const Level& level, int solution) {
    const std::vector<int> moved = sticksToMove(level, solution);
    auto isMoved = [&](int k) { return std::find(moved.begin(), moved.end(), k) != moved.end(); };
    std::vector<StickPlacement> free;
    for (const StickPlacement& entry : level.solution(solution)) {
        bool taken = false;
        for (int k = 0; k < level.stickCount && !taken; ++k)
            taken = !isMoved(k) && stickMatchesPlacement(level.start[static_cast<size_t>(k)], entry);
        if (!taken) free.push_back(entry);
    }
    if (free.size() != moved.size()) return {};
    std::vector<StickMove> moves;
    for (int k : moved) {
        const float rotation = level.start[static_cast<size_t>(k)].rotation;
        auto place = std::find_if(free.begin(), free.end(),
                                  [&](const StickPlacement& e) { return e.rotation == rotation; });
        if (place == free.end()) return {};
        moves.push_back({k, *place});
        free.erase(place);
    }
    return moves;
}
