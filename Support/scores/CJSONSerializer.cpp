#include "scores/CJSONSerializer.h"

#include "engine/Errors.h"

#include <array>
#include <charconv>
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

void CJSONSerializer::appendNumber(std::string& out, double number) {
    if (!std::isfinite(number)) {
        char text[32];
        auto end = std::to_chars(text, text + sizeof text, number).ptr;
        ccRaise("NSGenericException", ("Could not serialize object '" + std::string(text, end) + "'").c_str());
    }
    char text[32];
    char* end;
    if (number == std::trunc(number) && std::fabs(number) < 9007199254740992.0 && !(number == 0 && std::signbit(number)))
        end = std::to_chars(text, text + sizeof text, static_cast<int64_t>(number)).ptr; // whole numbers, quickly
    else
        end = std::to_chars(text, text + sizeof text, number).ptr; // the shortest text that reads back the same
    out.append(text, end);
}

void CJSONSerializer::appendString(std::string& out, std::string_view text) {
    static const char hex[] = "0123456789abcdef";
    out += '"';
    size_t run = 0;
    // Which bytes need an escape: the control characters, the quote, the backslash and the slash.
    static const auto escaped = [] {
        std::array<bool, 256> table{};
        for (int c = 0; c < 0x20; ++c) table[c] = true;
        table['"'] = table['\\'] = table['/'] = true;
        return table;
    }();
    for (size_t i = 0; i < text.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(text[i]);
        if (!escaped[c]) continue;
        out.append(text.data() + run, i - run);
        run = i + 1;
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '/': out += "\\/"; break;
        case '\b': out += "\\b"; break;
        case '\f': out += "\\f"; break;
        case '\n': out += "\\n"; break;
        case '\t': out += "\\t"; break;
        default: // carriage return and the other control characters
            out += "\\u00";
            out += hex[c >> 4];
            out += hex[c & 0xF];
            break;
        }
    }
    out.append(text.data() + run, text.size() - run);
    out += '"';
}

void CJSONSerializer::appendObject(std::string& out, const JSONValue& value) {
    switch (value.type()) {
    case JSONValue::Type::Null: out += "null"; break;
    case JSONValue::Type::Boolean: out += value.asBoolean() ? "true" : "false"; break;
    case JSONValue::Type::Number: appendNumber(out, value.asNumber()); break;
    case JSONValue::Type::String: appendString(out, value.asString()); break;
    case JSONValue::Type::Array: {
        out += '[';
        bool first = true;
        for (const JSONValue& element : value.asArray()) {
            if (!first) out += ',';
            first = false;
            appendObject(out, element);
        }
        out += ']';
        break;
    }
    case JSONValue::Type::Dictionary: {
        out += '{';
        bool first = true;
        for (const auto& [key, element] : value.asDictionary()) {
            if (!first) out += ',';
            first = false;
            appendString(out, key);
            out += ':';
            appendObject(out, element);
        }
        out += '}';
        break;
    }
    }
}
