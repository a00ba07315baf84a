#pragma once
// Quick conversions between decimal digits and doubles for the JSON reader
// and writer. Each answers only when its answer is certainly the exact one
// (correctly rounded, or the shortest text that reads back the same); when it
// cannot be sure it says so, and the caller takes the slow, exact route.

#include <cstdint>

namespace fastdecimal {

// `digits` × 10^`exponent`, correctly rounded to the nearest double.
bool toDouble(uint64_t digits, int exponent, double& out);

// The fewest decimal digits that read back as `value` (finite, above zero;
// the closest such digits when there are several): `value` is close to
// `digits` × 10^`exponent`, and `digits` has no trailing zero.
bool shortest(double value, uint64_t& digits, int& exponent);

// Writes `value` as the standard library's shortest form writes it (fixed or
// scientific, whichever is shorter, fixed on a tie) and returns the end;
// nullptr when not sure. `out` has room for 48 bytes.
char* writeShortest(char* out, double value);

} // namespace fastdecimal
