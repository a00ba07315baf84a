// PVR texture files: the header check and the split into levels (no GL needed).
#include "engine/PVRTexture.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    RefPtr<PVRTexture> pvr = makeRef<PVRTexture>();
    std::vector<uint8_t> file(data, data + size);
    if (pvr->unpackPVRData(file)) {
        size_t total = 0;
        for (const auto& level : pvr->imageData())
            total += level.size();
        if (total > size) std::abort(); // levels are slices of the file
    }
    return 0;
}
