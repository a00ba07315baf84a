#include "scores/CJSONScanner.h"

#include <cstring>
#include <span>
#include <tuple>
#include <utility>

const char* const kJSONScannerErrorDomain = "CJSONScannerErrorDomain";

namespace {

enum class Encoding { UTF8, UTF16LE, UTF16BE, UTF32LE, UTF32BE };

Encoding detectEncoding(std::string_view data) {
    if (data.size() < 4) return Encoding::UTF8;
    auto b = [&](size_t i) { return static_cast<uint8_t>(data[i]); };
    if (b(0) != 0 && b(1) == 0 && b(3) == 0) return b(2) != 0 ? Encoding::UTF16LE : Encoding::UTF32LE;
    if (b(0) == 0 && b(2) == 0 && b(3) != 0) return b(1) != 0 ? Encoding::UTF16BE : Encoding::UTF32BE;
    return Encoding::UTF8;
}

std::string toUTF8(std::string_view data, Encoding encoding) {
    const uint8_t* p = reinterpret_cast<const uint8_t*>(data.data());
    size_t n = data.size();
    std::string out;
    out.reserve(n);
    if (encoding == Encoding::UTF32LE || encoding == Encoding::UTF32BE) {
        bool le = encoding == Encoding::UTF32LE;
        size_t i = 0;
        for (; i + 4 <= n; i += 4) {
            char32_t c = le ? (char32_t(p[i]) | char32_t(p[i + 1]) << 8 | char32_t(p[i + 2]) << 16 |
                               char32_t(p[i + 3]) << 24)
                            : (char32_t(p[i + 3]) | char32_t(p[i + 2]) << 8 | char32_t(p[i + 1]) << 16 |
                               char32_t(p[i]) << 24);
            appendCodePoint(out, c);
        }
        if (i < n) appendCodePoint(out, 0xFFFD);
        return out;
    }
    bool le = encoding == Encoding::UTF16LE;
    auto unit = [&](size_t i) -> char32_t {
        return le ? (char32_t(p[i]) | char32_t(p[i + 1]) << 8) : (char32_t(p[i + 1]) | char32_t(p[i]) << 8);
    };
    size_t i = 0;
    while (i + 2 <= n) {
        char32_t c = unit(i);
        i += 2;
        if (c >= 0xD800 && c <= 0xDBFF && i + 2 <= n) {
            char32_t low = unit(i);
            if (low >= 0xDC00 && low <= 0xDFFF) {
                c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
                i += 2;
            }
        }
        appendCodePoint(out, c); // a lone surrogate becomes U+FFFD
    }
    if (i < n) appendCodePoint(out, 0xFFFD);
    return out;
}

int hexValue(uint8_t c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// Four hexadecimal digits at `p` (which has at least `available` bytes), or -1.
int32_t readHex4(const uint8_t* p, size_t available) {
    if (available < 4) return -1;
    int32_t v = 0;
    for (int i = 0; i < 4; ++i) {
        int h = hexValue(p[i]);
        if (h < 0) return -1;
        v = v << 4 | h;
    }
    return v;
}

} // namespace

const char* CJSONScanner::messageForCode(int code) {
    switch (code) {
    case -1: return "Could not scan dictionary. Dictionary that does not start with '{' character.";
    case -2: return "Could not scan dictionary. Failed to scan a key.";
    case -3: return "Could not scan dictionary. Key was not terminated with a ':' character.";
    case -4: return "Could not scan dictionary. Failed to scan a value.";
    case -5: return "Could not scan dictionary. Key value pairs not delimited with a ',' character.";
    case -6: return "Could not scan dictionary. Dictionary not terminated by a '}' character.";
    case -7: return "Could not scan array. Array not started by a '{' character.";
    case -8: return "Could not scan array. Could not scan a value.";
    case -9:
    case -10: return "Could not scan array. Array not terminated by a ']' character.";
    case -11: return "Could not scan string constant. String not started by a '\"' character.";
    case -12: return "Could not scan string constant. Unicode character could not be decoded.";
    case -13: return "Could not scan string constant. Unknown escape code.";
    case -14: return "Could not scan number constant.";
    case -15: return "Could not scan string constant. String not terminated by a '\"' character.";
    case -16: return "Could not scan value. Unexpected character.";
    case -17: return "Could not scan value. Arrays and dictionaries nested too deeply.";
    default: return "";
    }
}

namespace {
thread_local std::vector<JSONValue> pendingValues;
thread_local std::vector<JSONDictionary::Entry> pendingEntries;
} // namespace

CJSONScanner::CJSONScanner() : values_(pendingValues), entries_(pendingEntries) {}

RefPtr<CJSONScanner> CJSONScanner::scannerWithData(std::string_view data) {
    RefPtr<CJSONScanner> scanner = makeRef<CJSONScanner>();
    scanner->init();
    scanner->setData(data);
    return scanner;
}

RefPtr<CJSONScanner> CJSONScanner::scannerBorrowingData(std::string_view data) {
    RefPtr<CJSONScanner> scanner = makeRef<CJSONScanner>();
    scanner->init();
    scanner->load(data, false);
    return scanner;
}

void CJSONScanner::setData(std::string_view data) {
    if (isSameData(data)) return;
    load(data, true);
}

void CJSONScanner::load(std::string_view data, bool copy) {
    given_ = data;
    Encoding encoding = detectEncoding(data);
    if (encoding != Encoding::UTF8) {
        owned_ = toUTF8(data, encoding);
        useBytes(owned_);
    } else if (copy) {
        owned_.assign(data);
        useBytes(owned_);
    } else {
        owned_.clear();
        useBytes(data);
    }
}

bool CJSONScanner::fail(JSONError* error, int code, const uint8_t* restoreTo) {
    if (restoreTo) current_ = restoreTo;
    if (error) *error = JSONError{kJSONScannerErrorDomain, code, messageForCode(code)};
    return false;
}

bool CJSONScanner::scanJSONObject(JSONValue* out, JSONError* error) {
    JSONValue value;
    auto put = [&](auto&& made) { value = JSONValue(std::forward<decltype(made)>(made)); };
    if (!scanValue(put, error)) return false;
    if (out) *out = std::move(value);
    return true;
}

// Hands the value to `put` as what a JSONValue is made of (a number, a text,
// a container...), so that it is made in its place, never moved there.
template <class Put> bool CJSONScanner::scanValue(Put&& put, JSONError* error) {
    skipWhitespace();
    if (current_ >= end_) return fail(error, -16, nullptr);
    switch (*current_) {
    case '{': {
        JSONDictionary dictionary;
        if (!scanDictionaryInto(dictionary, error)) return false;
        put(std::move(dictionary));
        return true;
    }
    case '[': {
        JSONArray array;
        if (!scanArrayInto(array, error)) return false;
        put(std::move(array));
        return true;
    }
    case '"':
    case '\'': {
        std::string_view text;
        if (!scanStringView(scratch_, text, error)) return false;
        put(text);
        return true;
    }
    case 't':
        if (!scanString("true", nullptr)) return fail(error, -16, nullptr);
        put(true);
        return true;
    case 'f':
        if (!scanString("false", nullptr)) return fail(error, -16, nullptr);
        put(false);
        return true;
    case 'n':
        if (!scanString("null", nullptr)) return fail(error, -16, nullptr);
        put(kJSONNull);
        return true;
    default:
        if (*current_ == '-' || (*current_ >= '0' && *current_ <= '9')) {
            double number;
            if (!scanNumber(&number)) return fail(error, -14, nullptr);
            put(number);
            return true;
        }
        return fail(error, -16, nullptr);
    }
}

bool CJSONScanner::scanJSONDictionary(JSONDictionary* out, JSONError* error) {
    JSONDictionary dictionary;
    if (!scanDictionaryInto(dictionary, error)) return false;
    if (out) *out = std::move(dictionary);
    return true;
}

bool CJSONScanner::scanDictionaryInto(JSONDictionary& out, JSONError* error) {
    const uint8_t* start = current_;
    if (!scanCharacter('{')) return fail(error, -1, nullptr);
    if (depth_ >= kJSONMaxDepth) return fail(error, -17, start);
    ++depth_;
    const size_t base = entries_.size();
    std::string key;
    bool ok = [&] {
        while (currentCharacter() != '}') {
            skipWhitespace();
            if (currentCharacter() == '}') break;
            std::string_view keyText;
            if (!scanStringView(key, keyText, error)) return fail(error, -2, start);
            skipWhitespace();
            if (!scanCharacter(':')) return fail(error, -3, start);
            // `keyText` stays as it is meanwhile: it shows the data or `key`.
            auto put = [&](auto&& made) {
                entries_.emplace_back(std::piecewise_construct, std::forward_as_tuple(keyText),
                                      std::forward_as_tuple(std::forward<decltype(made)>(made)));
            };
            if (!scanValue(put, error)) return fail(error, -4, start);
            skipWhitespace();
            if (scanCharacter(',')) {
                skipWhitespace();
                if (currentCharacter() == '}') break;
            } else {
                if (currentCharacter() == '}') break;
                return fail(error, -5, start);
            }
        }
        if (!scanCharacter('}')) return fail(error, -6, start);
        return true;
    }();
    if (ok) out = JSONDictionary::withEntries(std::span(entries_).subspan(base));
    entries_.resize(base);
    --depth_;
    return ok;
}

bool CJSONScanner::scanJSONArray(JSONArray* out, JSONError* error) {
    JSONArray array;
    if (!scanArrayInto(array, error)) return false;
    if (out) *out = std::move(array);
    return true;
}

bool CJSONScanner::scanArrayInto(JSONArray& out, JSONError* error) {
    const uint8_t* start = current_;
    if (!scanCharacter('[')) return fail(error, -7, nullptr);
    if (depth_ >= kJSONMaxDepth) return fail(error, -17, start);
    ++depth_;
    const size_t base = values_.size();
    bool ok = [&] {
        for (;;) {
            skipWhitespace();
            if (currentCharacter() == ']') break;
            auto put = [&](auto&& made) { values_.emplace_back(std::forward<decltype(made)>(made)); };
            if (!scanValue(put, error)) return fail(error, -8, start);
            skipWhitespace();
            if (scanCharacter(',')) continue;
            skipWhitespace();
            if (currentCharacter() == ']') break;
            return fail(error, -9, start);
        }
        skipWhitespace();
        if (!scanCharacter(']')) return fail(error, -10, start);
        return true;
    }();
    if (ok) out = JSONArray::withValues(std::span(values_).subspan(base));
    values_.resize(base);
    --depth_;
    return ok;
}

bool CJSONScanner::scanJSONStringConstant(std::string* out, JSONError* error) {
    std::string scratch;
    std::string_view text;
    if (!scanStringView(scratch, text, error)) return false;
    if (out) *out = text;
    return true;
}

bool CJSONScanner::scanStringView(std::string& scratch, std::string_view& text, JSONError* error) {
    const uint8_t* start = current_;
    skipWhitespace();
    if (!scanCharacter('"')) return fail(error, -11, start);

    // Most strings are valid UTF-8 without escapes: hand out the data itself.
    const uint8_t* p = current_;
    for (;;) {
        while (p < end_ && *p != '"' && *p != '\\' && *p < 0x80) ++p;
        if (p >= end_ || *p < 0x80) break;
        char32_t c;
        size_t n = decodeUTF8(p, end_, c);
        if (n == 0) break;
        p += n;
    }
    if (p < end_ && *p == '"') {
        text = {reinterpret_cast<const char*>(current_), static_cast<size_t>(p - current_)};
        current_ = p + 1;
        return true;
    }

    scratch.clear();
    for (;;) {
        const uint8_t* run = current_;
        while (current_ < end_ && *current_ != '"' && *current_ != '\\') ++current_;
        appendValidUTF8(scratch, {reinterpret_cast<const char*>(run), static_cast<size_t>(current_ - run)});
        if (current_ >= end_) return fail(error, -15, start);
        if (*current_++ == '"') break;
        if (current_ >= end_) return fail(error, -15, start);
        switch (uint8_t c = *current_++) {
        case '"':
        case '\\':
        case '/': scratch += static_cast<char>(c); break;
        case 'b': scratch += '\b'; break;
        case 'f': scratch += '\f'; break;
        case 'n': scratch += '\n'; break;
        case 'r': scratch += '\r'; break;
        case 't': scratch += '\t'; break;
        case 'u': {
            int32_t unit = readHex4(current_, static_cast<size_t>(end_ - current_));
            if (unit < 0) return fail(error, -12, start);
            current_ += 4;
            char32_t code = static_cast<char32_t>(unit);
            // A high surrogate followed by an escaped low one makes one character;
            // any other surrogate becomes U+FFFD.
            if (code >= 0xD800 && code <= 0xDBFF && end_ - current_ >= 6 && current_[0] == '\\' &&
                current_[1] == 'u') {
                int32_t low = readHex4(current_ + 2, 4);
                if (low >= 0xDC00 && low <= 0xDFFF) {
                    code = 0x10000 + ((code - 0xD800) << 10) + (static_cast<char32_t>(low) - 0xDC00);
                    current_ += 6;
                }
            }
            appendCodePoint(scratch, code);
            break;
        }
        default: return fail(error, -13, start);
        }
    }
    text = scratch;
    return true;
}

bool CJSONScanner::scanJSONNumberConstant(double* out, JSONError* error) {
    if (!scanNumber(out)) return fail(error, -14, nullptr);
    return true;
}

bool CJSONScanner::scanNotQuoteCharactersIntoString(std::string* out) {
    return scanWhile([](uint8_t b) { return b != '"' && b != '\\'; }, out);
}
