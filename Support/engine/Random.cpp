#include "engine/Random.h"

namespace Random {

namespace {
// xorshift64*: small, fast, and the same on every platform; never seeded by
// the system, so an unseeded run is repeatable too.
uint64_t state = 0x9E3779B97F4A7C15ull;
}  // namespace

void seed(uint32_t s) {
    // Spread the seed over the state; zero would be a fixed point.
    state = (uint64_t(s) << 32 | s) ^ 0x9E3779B97F4A7C15ull;
    if (state == 0) state = 1;
}

int32_t next() {
    state ^= state >> 12;
    state ^= state << 25;
    state ^= state >> 27;
    return int32_t((state * 0x2545F4914F6CDD1Dull) >> 33);
}

float minus1To1() { return float(next()) * (1.0f / 1073741824.0f) - 1.0f; }

}  // namespace Random
