// JSON: any bytes (in any of the encodings the reader detects) read as a
// value or fail with an error code; a value read writes back and reads again
// as the same value.
#include "scores/CJSONDeserializer.h"
#include "scores/CJSONSerializer.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    JSONError error;
    std::optional<JSONValue> value = CJSONDeserializer::deserializer()->deserialize(text, &error);
    if (!value) return 0;
    std::string written = CJSONSerializer::serializer()->serializeObject(*value);
    std::optional<JSONValue> again = CJSONDeserializer::deserializer()->deserialize(written, &error);
    if (!again || !(*again == *value)) std::abort();
    return 0;
}
