#pragma once
// The entry point for reading JSON: bytes in (UTF-8, or UTF-16/32 of either
// byte order), a value out, or none and an error.

#include "engine/Ref.h"
#include "scores/JSONValue.h"

#include <optional>
#include <string_view>

// The domain of the reader's own errors (no data to read: code -1).
extern const char* const kJSONDeserializerErrorDomain; // "CJSONDeserializerErrorDomain"

class CJSONDeserializer : public Ref {
  public:
    static RefPtr<CJSONDeserializer> deserializer();

    // The dictionary the data holds, or none (with `error` set where given).
    std::optional<JSONDictionary> deserializeAsDictionary(std::string_view data, JSONError* error);
    // Any JSON value the data holds, or none.
    std::optional<JSONValue> deserialize(std::string_view data, JSONError* error);
};

// Group NSDictionary_JSONExtensions: deserialize() of a new deserializer.
std::optional<JSONValue> dictionaryWithJSONData(std::string_view data, JSONError* error);
