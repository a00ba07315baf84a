// PNG pictures: any bytes decode to a well-formed picture or to a refusal.
#include "platform/Image.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    platform::Bitmap bitmap;
    if (platform::decodePNG(data, size, bitmap, "fuzz input") && !bitmap.isWellFormed()) std::abort();
    return 0;
}
