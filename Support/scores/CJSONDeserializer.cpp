#include "scores/CJSONDeserializer.h"

#include "scores/CJSONScanner.h"

const char* const kJSONDeserializerErrorDomain = "CJSONDeserializerErrorDomain";

namespace {

bool noData(std::string_view data, JSONError* error) {
    if (!data.empty()) return false;
    if (error) *error = JSONError{kJSONDeserializerErrorDomain, -1, {}};
    return true;
}

} // namespace

RefPtr<CJSONDeserializer> CJSONDeserializer::deserializer() { return makeRef<CJSONDeserializer>(); }

std::optional<JSONDictionary> CJSONDeserializer::deserializeAsDictionary(std::string_view data, JSONError* error) {
    if (noData(data, error)) return std::nullopt;
    RefPtr<CJSONScanner> scanner = CJSONScanner::scannerBorrowingData(data);
    JSONDictionary dictionary;
    if (!scanner->scanJSONDictionary(&dictionary, error)) return std::nullopt;
    return dictionary;
}

std::optional<JSONValue> CJSONDeserializer::deserialize(std::string_view data, JSONError* error) {
    if (noData(data, error)) return std::nullopt;
    RefPtr<CJSONScanner> scanner = CJSONScanner::scannerBorrowingData(data);
    JSONValue value;
    if (!scanner->scanJSONObject(&value, error)) return std::nullopt;
    return value;
}

std::optional<JSONValue> dictionaryWithJSONData(std::string_view data, JSONError* error) {
    return CJSONDeserializer::deserializer()->deserialize(data, error);
}
