#pragma once
// The engine's own random numbers. Grid effects and particles draw from this
// one generator rather than the C library's global rand(), which any other code
// may disturb; seeding it makes a run repeatable on every machine.

#include <cstdint>

namespace Random {

// Restarts the sequence; the same seed gives the same numbers everywhere.
void seed(uint32_t s);

// Uniform over 31 bits: 0 ... 2^31 - 1.
int32_t next();

// Uniform in [-1, 1): next() x 2^-30 - 1, computed in float.
float minus1To1();

}  // namespace Random
