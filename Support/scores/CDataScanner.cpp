#include "scores/CDataScanner.h"

#include "engine/Errors.h"
#include "scores/FastDecimal.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <clocale>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <locale.h>

// ---- character sets and UTF-8

size_t decodeUTF8(const uint8_t* p, const uint8_t* end, char32_t& c) {
    uint8_t b = p[0];
    if (b < 0x80) {
        c = b;
        return 1;
    }
    size_t n;
    char32_t min;
    if ((b & 0xE0) == 0xC0) {
        n = 2, c = b & 0x1F, min = 0x80;
    } else if ((b & 0xF0) == 0xE0) {
        n = 3, c = b & 0x0F, min = 0x800;
    } else if ((b & 0xF8) == 0xF0) {
        n = 4, c = b & 0x07, min = 0x10000;
    } else {
        return 0;
    }
    if (static_cast<size_t>(end - p) < n) return 0;
    for (size_t i = 1; i < n; ++i) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        c = (c << 6) | (p[i] & 0x3F);
    }
    // Overlong forms, surrogates and values past U+10FFFF are not UTF-8.
    if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return n;
}

void appendCodePoint(std::string& out, char32_t c) {
    if ((c >= 0xD800 && c <= 0xDFFF) || c > 0x10FFFF) c = 0xFFFD;
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

void appendValidUTF8(std::string& out, std::string_view bytes) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(bytes.data());
    const uint8_t* end = p + bytes.size();
    while (p < end) {
        const uint8_t* run = p;
        while (p < end && *p < 0x80) ++p;
        out.append(reinterpret_cast<const char*>(run), static_cast<size_t>(p - run));
        while (p < end && *p >= 0x80) {
            char32_t c;
            size_t n = decodeUTF8(p, end, c);
            if (n == 0) {
                appendCodePoint(out, 0xFFFD);
                ++p;
            } else {
                out.append(reinterpret_cast<const char*>(p), n);
                p += n;
            }
        }
    }
}

CharacterSet CharacterSet::characterSetWithCharactersInString(std::string_view utf8) {
    CharacterSet set;
    const uint8_t* p = reinterpret_cast<const uint8_t*>(utf8.data());
    const uint8_t* end = p + utf8.size();
    while (p < end) {
        char32_t c;
        size_t n = decodeUTF8(p, end, c);
        if (n == 0) {
            ++p;
            continue;
        }
        set.addCharacter(c);
        p += n;
    }
    return set;
}

const CharacterSet& CharacterSet::linebreaksCharacterSet() {
    static const CharacterSet set = [] {
        CharacterSet s;
        for (char32_t c : {0x0A, 0x0C, 0x0D, 0x85, 0x2028, 0x2029}) s.addCharacter(c);
        return s;
    }();
    return set;
}

bool CharacterSet::characterIsMember(char32_t c) const {
    if (c < 0x80) return ascii_[c];
    return std::find(others_.begin(), others_.end(), c) != others_.end();
}

void CharacterSet::addCharacter(char32_t c) {
    if (c < 0x80)
        ascii_[c] = true;
    else if (!characterIsMember(c))
        others_.push_back(c);
}

// ---- CDataScanner

RefPtr<CDataScanner> CDataScanner::scannerWithData(std::string_view data) {
    RefPtr<CDataScanner> scanner = makeRef<CDataScanner>();
    scanner->init();
    scanner->setData(data);
    return scanner;
}

CDataScanner::CDataScanner() { init(); }

bool CDataScanner::init() {
    // "+" belongs to a number too: servers write exponents as 1e+5.
    doubleCharacters_ = CharacterSet::characterSetWithCharactersInString("0123456789eE-.+");
    defaultDoubleCharacters_ = true;
    return true;
}

void CDataScanner::setData(std::string_view data) {
    if (isSameData(data)) return;
    given_ = data;
    owned_.assign(data);
    useBytes(owned_);
}

void CDataScanner::useBytes(std::string_view bytes) {
    start_ = reinterpret_cast<const uint8_t*>(bytes.data());
    length_ = bytes.size();
    end_ = start_ + length_;
    current_ = start_;
}

void CDataScanner::setScanLocation(size_t n) { current_ = start_ + std::min(n, length_); }

bool CDataScanner::scanUTF8String(const char* s, std::string* out) {
    return scanString(std::string_view(s), out);
}

bool CDataScanner::scanString(std::string_view text, std::string* out) {
    if (static_cast<size_t>(end_ - current_) < text.size()) return false;
    if (std::memcmp(current_, text.data(), text.size()) != 0) return false;
    current_ += text.size();
    if (out) *out = text;
    return true;
}

bool CDataScanner::scanCharactersFromSet(const CharacterSet& set, std::string* out) {
    return scanWhile([&set](uint8_t b) { return set.byteIsMember(b); }, out);
}

bool CDataScanner::scanUpToCharactersFromSet(const CharacterSet& set, std::string* out) {
    return scanWhile([&set](uint8_t b) { return !set.byteIsMember(b); }, out);
}

bool CDataScanner::scanUpToString(std::string_view text, std::string* out) {
    if (text.empty()) return false;
    // The search stops at a zero byte, as in a C string.
    const uint8_t* limit = static_cast<const uint8_t*>(std::memchr(current_, 0, static_cast<size_t>(end_ - current_)));
    if (!limit) limit = end_;
    std::string_view haystack(reinterpret_cast<const char*>(current_), static_cast<size_t>(limit - current_));
    size_t at = haystack.find(text);
    if (at == std::string_view::npos) return false;
    if (out) {
        out->clear();
        appendValidUTF8(*out, haystack.substr(0, at));
    }
    current_ += at;
    return true;
}

namespace {

constexpr uint64_t kTens[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};

// Adds the run of decimal digits at `p` to `digits` (up to eight at a time
// while eight bytes remain) and returns its end. `digits` may wrap for long
// runs: the caller counts the digits. Always inlined, so that `digits` stays
// in a register.
[[gnu::always_inline]] inline const uint8_t* scanDigits(const uint8_t* p, const uint8_t* end,
                                                         uint64_t& digits) {
    if constexpr (std::endian::native == std::endian::little) {
        while (end - p >= 8) {
            uint64_t chunk;
            std::memcpy(&chunk, p, 8);
            // Non-zero in each byte that is not within '0' ... '9'. A carry of
            // the addition only reaches bytes after such a byte.
            const uint64_t other = ((chunk & 0xF0F0F0F0F0F0F0F0) ^ 0x3030303030303030) |
                                   (((chunk + 0x0606060606060606) & 0xF0F0F0F0F0F0F0F0) ^ 0x3030303030303030);
            const int n = other ? std::countr_zero(other) / 8 : 8;
            if (n == 0) break;
            // The n digits to the top, zero bytes (read as leading zeros) below;
            // then pairs, fours and all eight combined by multiplication.
            if (n < 8) chunk <<= 8 * (8 - n);
            chunk = (chunk & 0x0F0F0F0F0F0F0F0F) * 2561 >> 8;
            chunk = (chunk & 0x00FF00FF00FF00FF) * 6553601 >> 16;
            chunk = (chunk & 0x0000FFFF0000FFFF) * 42949672960001 >> 32;
            digits = digits * kTens[n] + static_cast<uint32_t>(chunk);
            p += n;
            if (n < 8) return p;
        }
    }
    while (p < end && *p >= '0' && *p <= '9') digits = digits * 10 + static_cast<uint64_t>(*p++ - '0');
    return p;
}

} // namespace

bool CDataScanner::scanNumber(double* out) {
    const char* first = reinterpret_cast<const char*>(current_);
    const char* last = reinterpret_cast<const char*>(end_);
    if (defaultDoubleCharacters_) {
        // What a decimal number can be made of is exactly the default set, as
        // long as the text starts with a digit or a point (not "inf" or "nan").
        const uint8_t* p = current_;
        bool negative = p < end_ && *p == '-';
        if (negative) ++p;
        if (p >= end_ || !((*p >= '0' && *p <= '9') || *p == '.')) return false;
        // The plain shapes (digits, a fraction, an exponent) with up to 19
        // digits in all go the quick way when it is sure of the result.
        uint64_t digits = 0;
        int count = 0;
        const uint8_t* wholeStart = p;
        p = scanDigits(p, end_, digits);
        count = static_cast<int>(p - wholeStart);
        int fractionCount = 0;
        bool plain = count > 0;
        if (plain && p < end_ && *p == '.') {
            const uint8_t* fractionStart = ++p;
            p = scanDigits(p, end_, digits);
            fractionCount = static_cast<int>(p - fractionStart);
            plain = fractionCount > 0;
        }
        int exponent = 0;
        if (plain && p < end_ && (*p == 'e' || *p == 'E')) {
            ++p;
            bool negativeExponent = p < end_ && *p == '-';
            if (p < end_ && (*p == '-' || *p == '+')) ++p;
            const uint8_t* exponentStart = p;
            while (p < end_ && isDigit(*p)) {
                if (exponent < 100000) exponent = exponent * 10 + (*p - '0');
                ++p;
            }
            plain = p > exponentStart;
            if (negativeExponent) exponent = -exponent;
        }
        double value;
        if (plain && count + fractionCount <= 19 && fastdecimal::toDouble(digits, exponent - fractionCount, value)) {
            current_ = p;
            if (out) *out = negative ? -value : value;
            return true;
        }
    } else {
        const uint8_t* runEnd = current_;
        while (runEnd < end_ && doubleCharacters_.byteIsMember(*runEnd)) ++runEnd;
        last = reinterpret_cast<const char*>(runEnd);
    }
    if (first == last) return false;
    double value = 0;
    auto [ptr, ec] = std::from_chars(first, last, value);
    if (ptr == first || !std::isfinite(value)) return false;
    if (ec == std::errc::result_out_of_range) {
        // Too small rounds to zero; too large is no number we can hold.
        static locale_t cLocale = newlocale(LC_NUMERIC_MASK, "C", nullptr);
        std::string text(first, ptr);
        value = strtod_l(text.c_str(), nullptr, cLocale);
        if (std::isinf(value)) return false;
    }
    current_ = reinterpret_cast<const uint8_t*>(ptr);
    if (out) *out = value;
    return true;
}

std::string CDataScanner::remainingString() const {
    std::string out;
    appendValidUTF8(out, {reinterpret_cast<const char*>(current_), static_cast<size_t>(end_ - current_)});
    return out;
}

bool CDataScanner::scanCStyleComment(std::string* out) {
    if (!scanString("/*", nullptr)) return false;
    std::string text;
    if (!scanUpToString("*/", &text))
        ccRaise("NSGenericException", "Started to scan a C style comment but it wasn't terminated.");
    if (text.find("/*") != std::string::npos) ccRaise("NSGenericException", "C style comments should not be nested.");
    if (!scanString("*/", nullptr)) ccRaise("NSGenericException", "C style comment did not end correctly.");
    if (out) *out = std::move(text);
    return true;
}

bool CDataScanner::scanCPlusPlusStyleComment(std::string* out) {
    if (!scanString("//", nullptr)) return false;
    std::string text;
    scanUpToCharactersFromSet(CharacterSet::linebreaksCharacterSet(), &text);
    scanCharactersFromSet(CharacterSet::linebreaksCharacterSet(), nullptr);
    if (out) *out = std::move(text);
    return true;
}
