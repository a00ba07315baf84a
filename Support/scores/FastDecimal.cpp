#include "scores/FastDecimal.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

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

// Handled here: value = significand × 2^-shift with shift in 1..71 (about
// 2 × 10^-6 <= value < 2^52). Per shift: the scale k that brings value × 10^k
// into [10^16, 10^17) is `k`, or k - 1 from significand `limit` on. Found
// from the exponent alone, so the value is multiplied once.
constexpr int kMaxShift = 71;
struct Decade {
    uint64_t limit;
    int k;
    bool narrow;          // 10^k and the distances below fit 64 bits
    u128 unit, lowerUnit; // 10^k, 10^(k-1)
};
constexpr auto kDecades = [] {
    std::array<Decade, kMaxShift + 1> table{};
    u128 power = 1; // 10^k
    int k = 0;
    for (int shift = 1; shift <= kMaxShift; ++shift) {
        // The smallest k with 2^52 × 10^k >= 10^16 × 2^shift.
        const u128 least = ((u128{10000000000000000} << shift) + (u128{1} << 52) - 1) >> 52;
        while (power < least) power *= 10, ++k;
        const u128 limit = ((u128{100000000000000000} << shift) + power - 1) / power;
        // The distances are below 100 × 2^shift: 64 bits hold them from 1/16 on.
        table[shift] = {limit >> 53 ? ~uint64_t{0} : static_cast<uint64_t>(limit), k, shift <= 56 && k <= 19, power,
                        power / 10};
    }
    return table;
}();
static_assert(kDecades[kMaxShift].k <= 22); // so value × 10^k < 2^53 × 10^22 fits 128 bits

enum { kNo, kYes, kUnsure };

// The multiple of `Divisor` closest to `whole` + `rest` / 2^`shift` (the value
// scaled by 10^k): kYes when it reads back as the value (within half a unit
// in the last place, 2 × distance <= `unit`, the boundary itself only for an
// even significand), kUnsure when two are equally close.
template <uint64_t Divisor, class Wide>
int nearestReadingBack(uint64_t whole, Wide rest, int shift, Wide unit, bool even, uint64_t& out) {
    const uint64_t below = whole % Divisor;
    // Half a unit is below 11.2 steps of `whole`: most remainders rule the multiple out at once.
    if constexpr (Divisor > 24)
        if (below - 12 < Divisor - 24) return kNo;
    const Wide down = Wide{below} << shift | rest; // distance to the multiple below
    const Wide up = (Wide{Divisor} << shift) - down;
    if (down == up) return kUnsure;
    const bool roundUp = up < down;
    const Wide twice = (roundUp ? up : down) << 1;
    if (twice > unit || (twice == unit && !even)) return kNo;
    out = whole - below + (roundUp ? Divisor : 0);
    return kYes;
}

// `whole` rounded to the closest text of 15 digits when it reads back, else
// of 16, else of 17 digits, which always do; false when two are equally
// close. Any 15-digit text that reads back is the closest one, so shorter
// texts show up as its trailing zeros.
template <class Wide>
bool nearestDigits(uint64_t whole, Wide rest, int shift, Wide unit, bool even, uint64_t& rounded) {
    int answer = nearestReadingBack<100>(whole, rest, shift, unit, even, rounded);
    if (answer == kNo) answer = nearestReadingBack<10>(whole, rest, shift, unit, even, rounded);
    if (answer != kNo) return answer == kYes;
    const Wide half = Wide{1} << (shift - 1);
    if (rest == half) return false;
    rounded = whole + (rest > half);
    return true;
}

// The closest text of 15 to 17 digits that reads back as `value`: value ×
// 10^k (17 digits) rounded (see nearestDigits); false when `value` is not
// handled here.
bool shortestDigits(double value, uint64_t& rounded, int& k) {
    uint64_t bits;
    std::memcpy(&bits, &value, sizeof bits);
    const int biased = static_cast<int>(bits >> 52) & 0x7FF;
    const uint64_t fraction = bits & ((uint64_t{1} << 52) - 1);
    // Powers of two (whose interval of texts reading back as them is narrower
    // below), whole numbers from 2^52 on, and values below about 2 × 10^-6 are
    // left to the exact route, as are zero, negative, infinite and NaN values.
    const int shift = 1075 - biased;
    if ((bits >> 63) || biased == 0 || fraction == 0 || shift < 1 || shift > kMaxShift) return false;
    const uint64_t significand = fraction | uint64_t{1} << 52;
    const Decade& decade = kDecades[shift];
    const bool lower = significand >= decade.limit;
    k = decade.k - lower;
    const u128 unit = lower ? decade.lowerUnit : decade.unit;
    const bool even = !(significand & 1);
    // value × 10^k in [10^16, 10^17) exactly, as a fixed-point number with
    // `shift` fraction bits: 17 whole digits and the exact rest. A text reads
    // back as the value when it lies within half a unit in the last place
    // (`unit` = 10^k here, 1.1 to 22.2 steps of the whole part).
    if (decade.narrow) {
        const u128 scaled = u128{static_cast<uint64_t>(unit)} * significand;
        const uint64_t low = static_cast<uint64_t>(scaled), high = static_cast<uint64_t>(scaled >> 64);
        return nearestDigits<uint64_t>(high << (64 - shift) | low >> shift, low & ((uint64_t{1} << shift) - 1), shift,
                                       static_cast<uint64_t>(unit), even, rounded);
    }
    const u128 scaled = unit * significand;
    return nearestDigits<u128>(static_cast<uint64_t>(scaled >> shift), scaled & ((u128{1} << shift) - 1), shift, unit,
                               even, rounded);
}

// The trailing zeros of `digits` (`count` of them, × 10^`exponent`) taken off.
void dropTrailingZeros(uint64_t& digits, int& exponent, int& count) {
    while (digits % 10 == 0) {
        digits /= 10;
        ++exponent;
        --count;
    }
}

} // namespace

bool shortest(double value, uint64_t& digits, int& exponent) {
    int k, count = 17;
    if (!shortestDigits(value, digits, k)) return false;
    exponent = -k;
    dropTrailingZeros(digits, exponent, count);
    return true;
}

namespace {

#if defined(__SSE2__)

// The 16 digits of `high` × 10^8 + `low` (both below 10^8, leading zeros
// included) as text, the first in the lowest byte: split into quarters, pairs
// and single digits side by side in one register.
__m128i sixteenDigits(uint64_t high, uint64_t low) {
    const __m128i halves = _mm_set_epi64x(static_cast<long long>(low), static_cast<long long>(high));
    // x / 10^4 = x × 0xD1B71759 >> 45 for x < 2^32
    const __m128i above = _mm_srli_epi64(_mm_mul_epu32(halves, _mm_set1_epi32(static_cast<int>(0xD1B71759))), 45);
    const __m128i below = _mm_sub_epi32(halves, _mm_mul_epu32(above, _mm_set1_epi32(10000)));
    const __m128i quarters = _mm_or_si128(above, _mm_slli_epi64(below, 32));
    // x / 100 = (x × 5243 >> 16) >> 3 for x < 10^4
    const __m128i hundreds = _mm_srli_epi16(_mm_mulhi_epu16(quarters, _mm_set1_epi16(5243)), 3);
    const __m128i pairs = _mm_or_si128(
        hundreds, _mm_slli_epi32(_mm_sub_epi16(quarters, _mm_mullo_epi16(hundreds, _mm_set1_epi16(100))), 16));
    // x / 10 = x × 6554 >> 16 for x < 100
    const __m128i tens = _mm_mulhi_epu16(pairs, _mm_set1_epi16(6554));
    const __m128i ones = _mm_sub_epi16(pairs, _mm_mullo_epi16(tens, _mm_set1_epi16(10)));
    return _mm_add_epi8(_mm_or_si128(tens, _mm_slli_epi16(ones, 8)), _mm_set1_epi8('0'));
}

// `all` (exactly 17 digits, trailing zeros not shown) with a point after the
// first `before` (1 to 16), the first digit alone and the other 16 from one
// register; nullptr when no digit would follow the point.
char* writeWithPoint(char* out, uint64_t all, int before) {
    // The first digit and the next eight found side by side, not one after the other.
    const uint64_t first = all / 10000000000000000, upper = all / 100000000;
    const __m128i text = sixteenDigits(upper - first * 100000000, all - upper * 100000000);
    const unsigned shown = ~_mm_movemask_epi8(_mm_cmpeq_epi8(text, _mm_set1_epi8('0'))) & 0xFFFF;
    const int count = 1 + std::bit_width(shown); // up to the last digit that is not 0
    if (count <= before) return nullptr;
    out[0] = static_cast<char>('0' + first);
    const __m128i place = _mm_setr_epi8(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    const __m128i point = _mm_set1_epi8(static_cast<char>(before - 1));
    const __m128i lead = _mm_cmpgt_epi8(point, place), dot = _mm_cmpeq_epi8(point, place);
    const __m128i moved = _mm_andnot_si128(lead, _mm_slli_si128(text, 1)); // the digits after the point, a byte on
    const __m128i joined = _mm_or_si128(_mm_and_si128(lead, text), moved);
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 1),
                     _mm_or_si128(_mm_andnot_si128(dot, joined), _mm_and_si128(dot, _mm_set1_epi8('.'))));
    out[17] = static_cast<char>(_mm_extract_epi16(text, 7) >> 8); // the last one, moved past the register
    return out + count + 1;
}

#else

// The eight digits of `n` (below 10^8, leading zeros included) as text, the
// first in the lowest byte: split into halves, quarters and single digits
// side by side in one register.
uint64_t eightDigits(uint32_t n) {
    uint64_t v = n / 10000 | uint64_t{n % 10000} << 32;
    const uint64_t hundreds = (v * 5243 >> 19) & 0x0000007F0000007F; // x / 100 for x < 10^4
    v = hundreds | (v - hundreds * 100) << 16;
    const uint64_t tens = (v * 103 >> 10) & 0x000F000F000F000F; // x / 10 for x < 100
    v = tens | (v - tens * 10) << 8;
    return v | 0x3030303030303030;
}

// `all` (exactly 17 digits, trailing zeros not shown) with a point after the
// first `before` (1 to 16); nullptr when no digit would follow the point.
char* writeWithPoint(char* out, uint64_t all, int before) {
    uint64_t shown = all;
    int count = 17, exponent = 0;
    dropTrailingZeros(shown, exponent, count);
    if (count <= before) return nullptr;
    const uint64_t first = all / 10000000000000000, rest = all - first * 10000000000000000;
    const u128 text = eightDigits(static_cast<uint32_t>(rest / 100000000)) |
                      u128{eightDigits(static_cast<uint32_t>(rest % 100000000))} << 64;
    out[0] = static_cast<char>('0' + first);
    std::memcpy(out + 1, &text, 16);
    out[before] = '.';
    const u128 after = text >> (8 * (before - 1)); // the digits after the point
    std::memcpy(out + before + 1, &after, 16);
    return out + count + 1;
}

#endif

// `digits` (`count` of them, no trailing zero) × 10^`e` in the standard
// library's shortest form, all but a point among the digits (writeWithPoint).
char* writeOtherForms(char* out, uint64_t digits, int e, int count) {
    // The digits right-aligned in the first 18 bytes; the pieces are copied
    // in whole blocks of 16 or 24, so a block may reach past them.
    char all[48] = {};
    writeEighteen(all, digits);
    const char* first = all + 18 - count;

    const int scientificExponent = e + count - 1;
    const int absExponent = scientificExponent < 0 ? -scientificExponent : scientificExponent;
    const int scientificLength = count + (count > 1) + 2 + (absExponent >= 100 ? 3 : 2);
    const int fixedLength = e >= 0 ? count + e : (count + e > 0 ? count + 1 : 2 - e);
    if (fixedLength <= scientificLength) {
        if (e >= 0) { // a whole number below 2^52: at most 16 digits
            std::memcpy(out, first, 16);
            std::memset(out + count, '0', 16);
            return out + count + e;
        }
        // A few zeros after the point (the fixed form is no longer beyond three).
        std::memcpy(out, "0.000000", 8);
        std::memcpy(out + 2 - e - count, first, 24);
        return out + fixedLength;
    }
    out[0] = first[0];
    if (count > 1) {
        out[1] = '.';
        std::memcpy(out + 2, first + 1, 16);
        out += count + 1;
    } else {
        ++out;
    }
    *out++ = 'e';
    *out++ = scientificExponent < 0 ? '-' : '+';
    if (absExponent >= 100) *out++ = static_cast<char>('0' + absExponent / 100);
    writePair(out, static_cast<uint32_t>(absExponent % 100));
    return out + 2;
}

} // namespace

char* writeShortest(char* out, double value) {
    *out = '-';
    out += std::signbit(value);
    uint64_t digits;
    int k;
    if (!shortestDigits(std::fabs(value), digits, k)) return nullptr;
    // The common case, from 1 on: a point among the digits, at a place known from the scale alone.
    if (k <= 16 && digits < kIntPowers[17])
        if (char* end = writeWithPoint(out, digits, 17 - k)) return end;
    int e = -k, count = 17 + (digits >= kIntPowers[17]); // rounded up to 10^17
    dropTrailingZeros(digits, e, count);
    return writeOtherForms(out, digits, e, count);
}

} // namespace fastdecimal
