#pragma once
// Turns values back into JSON text (UTF-8, no white space).
//
// The output is always valid JSON: every control character is escaped, and a
// number that JSON cannot express (NaN, the infinities) raises
// NSGenericException "Could not serialize object '...'" instead.

#include "engine/Ref.h"
#include "scores/JSONValue.h"

#include <string>
#include <string_view>

class CJSONSerializer : public Ref {
  public:
    static RefPtr<CJSONSerializer> serializer();

    std::string serializeObject(const JSONValue& value);
    std::string serializeNull(JSONNull);
    // A number, or a boolean ("true" / "false").
    std::string serializeNumber(const JSONValue& number);
    std::string serializeString(std::string_view text);
    std::string serializeArray(const JSONArray& array);
    std::string serializeDictionary(const JSONDictionary& dictionary);

    // Appending forms of the above, for writing large documents in one buffer.
    static void appendObject(std::string& out, const JSONValue& value);
    static void appendString(std::string& out, std::string_view text);
    static void appendNumber(std::string& out, double number);
};
