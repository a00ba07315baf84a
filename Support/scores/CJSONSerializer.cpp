#include "scores/CJSONSerializer.h"

#include "engine/Errors.h"

#include <array>
#include <charconv>
#include <cstring>
#include <cstdint>
#include <cmath>

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
class Writer {
  public:
    explicit Writer(std::string& out) : out_(out) {}
    ~Writer() { flush(); }
    void put(char c) {
        if (used_ == sizeof buffer_) flush();
        buffer_[used_++] = c;
    }
    void write(const char* p, size_t n) {
        if (n > sizeof buffer_ - used_) {
            flush();
            if (n > sizeof buffer_) {
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
    char buffer_[16384];
    size_t used_ = 0;
};

void writeNumber(Writer& w, double number) {
    char text[32];
    if (!std::isfinite(number)) {
        auto end = std::to_chars(text, text + sizeof text, number).ptr;
        ccRaise("NSGenericException", ("Could not serialize object '" + std::string(text, end) + "'").c_str());
    }
    char* end;
    if (number == std::trunc(number) && std::fabs(number) < 9007199254740992.0 && !(number == 0 && std::signbit(number)))
        end = std::to_chars(text, text + sizeof text, static_cast<int64_t>(number)).ptr; // whole numbers, quickly
    else
        end = std::to_chars(text, text + sizeof text, number).ptr; // the shortest text that reads back the same
    w.write(text, static_cast<size_t>(end - text));
}

void writeString(Writer& w, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    // Which bytes need an escape: the control characters, the quote, the backslash and the slash.
    static const auto escaped = [] {
        std::array<bool, 256> table{};
        for (int c = 0; c < 0x20; ++c) table[c] = true;
        table['"'] = table['\\'] = table['/'] = true;
        return table;
    }();
    w.put('"');
    size_t run = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (!escaped[c]) continue;
        w.write(text.data() + run, i - run);
        run = i + 1;
        switch (c) {
        case '"': w.write("\\\"", 2); break;
        case '\\': w.write("\\\\", 2); break;
        case '/': w.write("\\/", 2); break;
        case '\b': w.write("\\b", 2); break;
        case '\f': w.write("\\f", 2); break;
        case '\n': w.write("\\n", 2); break;
        case '\t': w.write("\\t", 2); break;
        default: { // carriage return and the other control characters
            char u[6] = {'\\', 'u', '0', '0', hex[c >> 4], hex[c & 0xF]};
            w.write(u, 6);
            break;
        }
        }
    }
    w.write(text.data() + run, text.size() - run);
    w.put('"');
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
        bool first = true;
        for (const JSONValue& element : value.asArray()) {
            if (!first) w.put(',');
            first = false;
            writeObject(w, element);
        }
        w.put(']');
        break;
    }
    case JSONValue::Type::Dictionary: {
        w.put('{');
        bool first = true;
        for (const auto& [key, element] : value.asDictionary()) {
            if (!first) w.put(',');
            first = false;
            writeString(w, key);
            w.put(':');
            writeObject(w, element);
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
