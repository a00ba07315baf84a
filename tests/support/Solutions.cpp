#include "support/Solutions.h"

#include <algorithm>

std::vector<StickMove> movesToSolve(const Level& level, int solution) {
    const std::span<const StickPlacement> entries = level.solution(solution);
    auto fits = [&](int k, const StickPlacement& entry) {
        return stickMatchesPlacement(level.start[static_cast<size_t>(k)], entry);
    };
    // Start sticks that no entry accepts move; entries that no staying stick fills are free.
    std::vector<int> moved, staying;
    for (int k = 0; k < level.stickCount; ++k) {
        auto fitsK = [&](const StickPlacement& entry) { return fits(k, entry); };
        (std::any_of(entries.begin(), entries.end(), fitsK) ? staying : moved).push_back(k);
    }
    std::vector<StickPlacement> free;
    for (const StickPlacement& entry : entries)
        if (std::none_of(staying.begin(), staying.end(), [&](int k) { return fits(k, entry); }))
            free.push_back(entry);
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
