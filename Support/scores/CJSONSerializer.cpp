#include "scores/CJSONSerializer.h"

#include "engine/Errors.h"
#include "scores/FastDecimal.h"

#include <array>
#include <charconv>
#include <cstring>
#include <cstdint>
#include <cmath>
#include <iterator>

RefPtr<CJSONSerializer> CJSONSerializer::serializer() { return makeRef<CJSONSerializer>(); }

std::string CJSONSerializer::serializeObject(const JSONValue& value) {
    std::string out;
    appendObject(out, value);
    return out;
}

std::string CJSONSerializer::serializeNull(JSONNull) { return "null"; }

std::string CJSONSerializer::serializeNumber(const JSONValue& number) {
    if (number.isBoolean()) return number.asBoolean() ? "true" : "false";
    std::string out;
    appendNumber(out, number.asNumber());
    return out;
}

std::string CJSONSerializer::serializeString(std::string_view text) {
    std::string out;
    appendString(out, text);
    return out;
}

std::string CJSONSerializer::serializeArray(const JSONArray& array) {
    return serializeObject(JSONValue(array));
}

std::string CJSONSerializer::serializeDictionary(const JSONDictionary& dictionary) {
    return serializeObject(JSONValue(dictionary));
}

namespace {

// Output gathered in a small buffer and handed to the string in blocks.
// Short pieces are written straight into the buffer: `room` makes space.
class Writer {
  public:
    static constexpr size_t kCapacity = 16384;

    explicit Writer(std::string& out) : out_(out) {}
    ~Writer() { flush(); }
    // Space for `n` (at most kCapacity) bytes at the returned place; `advance` to the end written.
    char* room(size_t n) {
        if (kCapacity - used_ < n) flush();
        return buffer_ + used_;
    }
    void advance(char* end) { used_ = static_cast<size_t>(end - buffer_); }
    void put(char c) {
        if (used_ == kCapacity) flush();
        buffer_[used_++] = c;
    }
    void write(const char* p, size_t n) {
        if (n > kCapacity - used_) {
            flush();
            if (n > kCapacity) {
                out_.append(p, n);
                return;
            }
        }
        std::memcpy(buffer_ + used_, p, n);
        used_ += n;
    }
    void flush() {
        out_.append(buffer_, used_);
        used_ = 0;
    }

  private:
    std::string& out_;
    char buffer_[kCapacity];
    size_t used_ = 0;
};

// The longest number text: a sign and 17 digits with a point and an
// exponent, and the room writeShortest asks for.
constexpr size_t kLongestNumber = 48;

// `number` written at `text` (kLongestNumber bytes of room); returns the end.
char* writeNumberAt(char* text, double number) {
    if (std::fabs(number) < 9007199254740992.0 && static_cast<double>(static_cast<int64_t>(number)) == number &&
        !(number == 0 && std::signbit(number)))
        return std::to_chars(text, text + kLongestNumber, static_cast<int64_t>(number)).ptr; // whole numbers, quickly
    if (!std::isfinite(number)) {
        char shown[32];
        auto end = std::to_chars(shown, shown + sizeof shown, number).ptr;
        ccRaise("NSGenericException", ("Could not serialize object '" + std::string(shown, end) + "'").c_str());
    }
    if (char* end = fastdecimal::writeShortest(text, number)) return end;
    return std::to_chars(text, text + kLongestNumber, number).ptr; // the shortest text that reads back the same
}

void writeNumber(Writer& w, double number) { w.advance(writeNumberAt(w.room(kLongestNumber), number)); }

const char kHex[] = "0123456789abcdef";

// Which bytes need an escape: the control characters, the quote, the backslash and the slash.
const auto kEscaped = [] {
    std::array<bool, 256> table{};
    for (int c = 0; c < 0x20; ++c) table[c] = true;
    table['"'] = table['\\'] = table['/'] = true;
    return table;
}();

uint64_t loadEight(const char* p) {
    uint64_t block;
    std::memcpy(&block, p, 8);
    return block;
}

// Whether any of the eight bytes in `block` is one that kEscaped lists.
bool needsEscape(uint64_t block) {
    constexpr uint64_t kOnes = 0x0101010101010101, kHighs = 0x8080808080808080;
    auto hasZero = [](uint64_t x) { return (x - kOnes) & ~x & kHighs; };
    const uint64_t control = (block - kOnes * 0x20) & ~block & kHighs; // a byte below 0x20
    return control | hasZero(block ^ (kOnes * '"')) | hasZero(block ^ (kOnes * '\\')) | hasZero(block ^ (kOnes * '/'));
}

// The escape for `c` at `p`; returns the end.
char* writeEscape(char* p, unsigned char c) {
    p[0] = '\\';
    switch (c) {
    case '"':
    case '\\':
    case '/': p[1] = static_cast<char>(c); return p + 2;
    case '\b': p[1] = 'b'; return p + 2;
    case '\f': p[1] = 'f'; return p + 2;
    case '\n': p[1] = 'n'; return p + 2;
    case '\t': p[1] = 't'; return p + 2;
    default: // carriage return and the other control characters
        p[1] = 'u';
        p[2] = '0';
        p[3] = '0';
        p[4] = kHex[c >> 4];
        p[5] = kHex[c & 0xF];
        return p + 6;
    }
}

void writeString(Writer& w, std::string_view text) {
    constexpr size_t kWorstGrowth = 6; // a byte written as \u00XX
    if (text.size() <= (Writer::kCapacity - 2) / kWorstGrowth) {
        // Short texts (most keys and values) byte by byte, straight into the buffer.
        char* p = w.room(text.size() * kWorstGrowth + 2);
        *p++ = '"';
        const char* from = text.data();
        const char* const end = from + text.size();
        // Eight bytes at a time while none of them needs an escape.
        for (uint64_t block; end - from >= 8 && !needsEscape(block = loadEight(from)); from += 8, p += 8)
            std::memcpy(p, &block, 8);
        for (; from != end; ++from) {
            unsigned char c = static_cast<unsigned char>(*from);
            if (kEscaped[c])
                p = writeEscape(p, c);
            else
                *p++ = *from;
        }
        *p++ = '"';
        w.advance(p);
        return;
    }
    w.put('"');
    size_t run = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (!kEscaped[c]) continue;
        w.write(text.data() + run, i - run);
        run = i + 1;
        char escape[6];
        w.write(escape, static_cast<size_t>(writeEscape(escape, c) - escape));
    }
    w.write(text.data() + run, text.size() - run);
    w.put('"');
}

// Containers are walked with their values fetched ahead: the heap part of
// the value two on, and the elements or entries of the next one.
void fetchContents(const JSONValue& value) {
    if (value.isArray()) {
        const JSONArray& array = value.asArray();
        if (array.size()) __builtin_prefetch(&*array.begin());
    } else if (value.isDictionary()) {
        const auto& entries = value.asDictionary().entries();
        if (!entries.empty()) __builtin_prefetch(entries.data());
    }
}

void writeObject(Writer& w, const JSONValue& value) {
    switch (value.type()) {
    case JSONValue::Type::Null: w.write("null", 4); break;
    case JSONValue::Type::Boolean:
        if (value.asBoolean())
            w.write("true", 4);
        else
            w.write("false", 5);
        break;
    case JSONValue::Type::Number: writeNumber(w, value.asNumber()); break;
    case JSONValue::Type::String: writeString(w, value.asString()); break;
    case JSONValue::Type::Array: {
        w.put('[');
        const JSONArray& array = value.asArray();
        const auto begin = array.begin(), end = array.end();
        for (auto it = begin; it != end; ++it) {
            const auto next = std::next(it);
            if (next != end) {
                if (std::next(next) != end) std::next(next)->prefetch();
                fetchContents(*next);
            }
            if (it->isNumber()) { // the common element: written here, with the comma before it
                char* p = w.room(kLongestNumber + 1);
                *p = ',';
                w.advance(writeNumberAt(p + (it != begin), it->numberOr(0)));
                continue;
            }
            if (it != begin) w.put(',');
            writeObject(w, *it);
        }
        w.put(']');
        break;
    }
    case JSONValue::Type::Dictionary: {
        w.put('{');
        const auto& entries = value.asDictionary().entries();
        for (size_t i = 0; i < entries.size(); ++i) {
            if (i + 2 < entries.size()) entries[i + 2].second.prefetch();
            if (i + 1 < entries.size()) fetchContents(entries[i + 1].second);
            if (i) w.put(',');
            writeString(w, entries[i].first);
            w.put(':');
            writeObject(w, entries[i].second);
        }
        w.put('}');
        break;
    }
    }
}

} // namespace

void CJSONSerializer::appendNumber(std::string& out, double number) {
    Writer w(out);
    writeNumber(w, number);
}

void CJSONSerializer::appendString(std::string& out, std::string_view text) {
    Writer w(out);
    writeString(w, text);
}

void CJSONSerializer::appendObject(std::string& out, const JSONValue& value) {
    Writer w(out);
    writeObject(w, value);
}
