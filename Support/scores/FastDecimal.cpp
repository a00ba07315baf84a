#include "scores/FastDecimal.h"

#include <cmath>
#include <cstring>
#include <limits>

namespace fastdecimal {

namespace {

__extension__ typedef unsigned __int128 u128;

// The x87 extended format: 64 significand bits, enough to hold any 19-digit
// number and any power of ten up to 10^27 exactly. Elsewhere the reading
// side always answers "not sure" and the callers take their exact routes.
constexpr bool kExtended = std::numeric_limits<long double>::digits == 64;

constexpr double kPowers[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
                              1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr long double kLongPowers[] = {
    1e0L,  1e1L,  1e2L,  1e3L,  1e4L,  1e5L,  1e6L,  1e7L,  1e8L,  1e9L,  1e10L, 1e11L, 1e12L, 1e13L,
    1e14L, 1e15L, 1e16L, 1e17L, 1e18L, 1e19L, 1e20L, 1e21L, 1e22L, 1e23L, 1e24L, 1e25L, 1e26L, 1e27L};
constexpr int kMaxLongPower = 27;

constexpr uint64_t kIntPowers[] = {1ull,
                                   10ull,
                                   100ull,
                                   1000ull,
                                   10000ull,
                                   100000ull,
                                   1000000ull,
                                   10000000ull,
                                   100000000ull,
                                   1000000000ull,
                                   10000000000ull,
                                   100000000000ull,
                                   1000000000000ull,
                                   10000000000000ull,
                                   100000000000000ull,
                                   1000000000000000ull,
                                   10000000000000000ull,
                                   100000000000000000ull,
                                   1000000000000000000ull,
                                   10000000000000000000ull};

// 10^n for n <= 22 (past 10^19 it needs more than 64 bits).
u128 power128(int n) { return n <= 19 ? u128{kIntPowers[n]} : u128{kIntPowers[19]} * kIntPowers[n - 19]; }

// 10^-n rounded to the extended format (a division would be exact, but slow).
constexpr long double kLongInversePowers[] = {
    1e0L,   1e-1L,  1e-2L,  1e-3L,  1e-4L,  1e-5L,  1e-6L,  1e-7L,  1e-8L,  1e-9L,
    1e-10L, 1e-11L, 1e-12L, 1e-13L, 1e-14L, 1e-15L, 1e-16L, 1e-17L, 1e-18L, 1e-19L,
    1e-20L, 1e-21L, 1e-22L, 1e-23L, 1e-24L, 1e-25L, 1e-26L, 1e-27L};

long double scaled(long double x, int exponent) {
    return exponent >= 0 ? x * kLongPowers[exponent] : x * kLongInversePowers[-exponent];
}

const char kDigitPairs[] = "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
                           "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
                           "8081828384858687888990919293949596979899";

void writePair(char* p, uint32_t n) { std::memcpy(p, kDigitPairs + n * 2, 2); }

// Exactly eight digits, leading zeros included.
void writeEight(char* p, uint32_t n) {
    uint32_t high = n / 10000, low = n % 10000;
    writePair(p, high / 100);
    writePair(p + 2, high % 100);
    writePair(p + 4, low / 100);
    writePair(p + 6, low % 100);
}

// The digits of `n` (below 10^18) right-aligned in 18 bytes at `p`, leading zeros included.
void writeEighteen(char* p, uint64_t n) {
    uint64_t top = n / 100000000;
    writePair(p, static_cast<uint32_t>(top / 100000000));
    writeEight(p + 2, static_cast<uint32_t>(top % 100000000));
    writeEight(p + 10, static_cast<uint32_t>(n % 100000000));
}

} // namespace

bool toDouble(uint64_t digits, int exponent, double& out) {
    if (digits == 0) {
        out = 0;
        return true;
    }
    // Both factors exact in a double: one rounding, so the right one.
    if (digits <= (uint64_t{1} << 53) && exponent >= -22 && exponent <= 22) {
        double d = static_cast<double>(digits);
        out = exponent < 0 ? d / kPowers[-exponent] : d * kPowers[exponent];
        return true;
    }
    if constexpr (!kExtended) return false;
    if (exponent < -kMaxLongPower || exponent > kMaxLongPower) return false;
    // At most two roundings to 64 bits (of 10^-n and of the product): within
    // two units of the last of those bits from the exact value. Then one to
    // 53 bits, wrong only when a point halfway between two doubles lies in
    // that reach: the 11 bits the last rounding drops then read 0x400 ± 2
    // (± 3 kept out, to be safe).
    long double x = scaled(static_cast<long double>(digits), exponent);
    uint64_t significand;
    std::memcpy(&significand, &x, sizeof significand);
    uint64_t dropped = significand & 0x7FF;
    if (dropped >= 0x3FD && dropped <= 0x403) return false;
    out = static_cast<double>(x);
    return true;
}

namespace {

enum { kNo, kYes, kUnsure };

// `whole` + `rest` / 2^`shift` (the exact value scaled by 10^k) rounded to a
// multiple of `Divisor`; kYes when that reads back as the value (within half
// a unit in the last place, 2 × distance <= `unit`, the boundary itself only
// for an even significand), kUnsure on an exact tie of the rounding.
template <uint64_t Divisor>
int roundedReadingBack(uint64_t whole, u128 rest, u128 scaled, int shift, u128 unit, uint64_t significand,
                       uint64_t& out) {
    uint64_t kept = whole / Divisor;
    if constexpr (Divisor == 1) {
        const u128 half = u128{1} << (shift - 1);
        if (rest == half) return kUnsure;
        kept += rest > half;
    } else {
        const uint64_t below = whole % Divisor;
        constexpr uint64_t half = Divisor / 2;
        if (below == half && rest == 0) return kUnsure;
        kept += below > half || (below == half && rest != 0);
    }
    const u128 text = u128{kept * Divisor} << shift;
    const u128 twice = (text > scaled ? text - scaled : scaled - text) * 2;
    if (twice > unit || (twice == unit && (significand & 1))) return kNo;
    out = kept * Divisor;
    return kYes;
}

// shortest() that also gives the number of digits.
bool shortestWithCount(double value, uint64_t& digits, int& exponent, int& count) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>(bits >> 52) & 0x7FF;
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    // value = significand × 2^-shift. Powers of two (whose interval of texts
    // reading back as them is narrower below), whole numbers from 2^52 on, and
    // values below about 2 × 10^-6 are left to the exact route, as are zero,
    // negative, infinite and NaN values.
    const int shift = 1075 - biased;
    if ((bits >> 63) || biased == 0 || fraction == 0 || shift < 1 || shift > 72) return false;
    const uint64_t significand = fraction | uint64_t{1} << 52;

    // value × 10^k in [10^16, 10^17) exactly, as a 128-bit fixed-point number
    // with `shift` fraction bits: 17 whole digits and the exact rest.
    int k = 16 - ((52 - shift) * 78913 >> 18); // floor(log10 2^(52 - shift)), so 10^(16-k) <= value
    if (k > 22) return false;
    const u128 one = u128{1} << shift;
    u128 scaled = static_cast<u128>(significand) * power128(k);
    if ((scaled >> shift) >= kIntPowers[17]) scaled = static_cast<u128>(significand) * power128(--k);
    const uint64_t whole = static_cast<uint64_t>(scaled >> shift);
    const u128 rest = scaled & (one - 1);
    // A text reads back as the value when it lies within half a unit in the
    // last place (a unit is 10^k here), the boundary itself only for an even significand.
    const u128 unit = power128(k);

    // Rounded to 15, 16 and then 17 digits (the closest such texts): the first
    // that reads back is the answer. Any 15-digit text that reads back is the
    // closest one, so shorter texts show up as its trailing zeros.
    int answer = roundedReadingBack<100>(whole, rest, scaled, shift, unit, significand, digits);
    if (answer == kNo) answer = roundedReadingBack<10>(whole, rest, scaled, shift, unit, significand, digits);
    if (answer == kNo) answer = roundedReadingBack<1>(whole, rest, scaled, shift, unit, significand, digits);
    if (answer != kYes) return false;
    exponent = -k;
    count = digits >= kIntPowers[17] ? 18 : 17;
    while (digits % 10 == 0) {
        digits /= 10;
        ++exponent;
        --count;
    }
    return true;
}

} // namespace

bool shortest(double value, uint64_t& digits, int& exponent) {
    int count;
    return shortestWithCount(value, digits, exponent, count);
}

char* writeShortest(char* out, double value) {
    if (value < 0) {
        *out++ = '-';
        value = -value;
    }
    uint64_t digits;
    int e, count;
    if (!shortestWithCount(value, digits, e, count)) return nullptr;
    char all[18];
    writeEighteen(all, digits);
    const char* first = all + 18 - count;

    const int scientificExponent = e + count - 1;
    const int absExponent = scientificExponent < 0 ? -scientificExponent : scientificExponent;
    const int scientificLength = count + (count > 1) + 2 + (absExponent >= 100 ? 3 : 2);
    const int fixedLength = e >= 0 ? count + e : (count + e > 0 ? count + 1 : 2 - e);
    if (fixedLength <= scientificLength) {
        if (e >= 0) {
            // Past 2^53 the fixed form shows the value's exact digits, not the shortest.
            if (value >= 9007199254740992.0) return nullptr;
            for (int i = 0; i < count; ++i) *out++ = first[i];
            for (int i = 0; i < e; ++i) *out++ = '0';
            return out;
        }
        if (count + e > 0) {
            const int before = count + e;
            for (int i = 0; i < before; ++i) *out++ = first[i];
            *out++ = '.';
            for (int i = before; i < count; ++i) *out++ = first[i];
            return out;
        }
        *out++ = '0';
        *out++ = '.';
        for (int i = 0; i < -e - count; ++i) *out++ = '0';
        for (int i = 0; i < count; ++i) *out++ = first[i];
        return out;
    }
    *out++ = first[0];
    if (count > 1) {
        *out++ = '.';
        for (int i = 1; i < count; ++i) *out++ = first[i];
    }
    *out++ = 'e';
    *out++ = scientificExponent < 0 ? '-' : '+';
    if (absExponent >= 100) *out++ = static_cast<char>('0' + absExponent / 100);
    writePair(out, static_cast<uint32_t>(absExponent % 100));
    return out + 2;
}

} // namespace fastdecimal
