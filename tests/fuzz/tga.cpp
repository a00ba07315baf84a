// TGA tile maps: any bytes give a record whose pixels, when there are any,
// are exactly width x height x bytes per pixel.
#include "engine/TGAlib.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    sImageTGA* tga = tgaLoadFromMemory(data, size);
    if (!tga) std::abort();
    if (tga->status == TGA_OK && !tga->imageData.empty()) {
        size_t bytes = size_t(tga->width) * size_t(tga->height) * size_t(tga->pixelDepth / 8);
        if (tga->imageData.size() != bytes) std::abort();
    }
    tgaDestroy(tga);
    return 0;
}
