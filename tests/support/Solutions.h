#pragma once
// How to solve a level: which sticks to move where, worked out from the
// catalogue with the game's own matching rule.

#include "Levels.h"

#include <vector>

struct StickMove {
    int stick;            // index of the stick in the start layout
    StickPlacement place; // the free place of the solution it goes to (same rotation)
};

// The moves that turn the start layout into solution `solution`: each stick to
// move goes to a free place of its own rotation, and every free place is
// filled. Empty when that cannot be done.
std::vector<StickMove> movesToSolve(const Level& level, int solution);
