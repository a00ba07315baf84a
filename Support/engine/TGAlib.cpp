#include "engine/TGAlib.h"

#include "platform/File.h"
#include "platform/Log.h"

#include <algorithm>
#include <cstring>
#include <new>

namespace {

constexpr size_t kHeaderSize = 18;
// A run-length file may be a little larger than its pixels (one packet byte per 128).
constexpr size_t kMaxFileBytes = kTGAMaxImageBytes + kTGAMaxImageBytes / 64 + (64u << 10);

uint16_t little16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

size_t bytesPerPixel(const sImageTGA* info) {
    return info->pixelDepth / 8u;
}

size_t pixelCount(const sImageTGA* info) {
    return static_cast<size_t>(info->width) * static_cast<size_t>(info->height);
}

// Stored as B, G, R(, A): red goes first.
void toRGB(uint8_t* pixel, size_t size) {
    if (size >= 3) std::swap(pixel[0], pixel[2]);
}

// Whether the header describes something this reader decodes; sets the status when not.
bool checkHeader(sImageTGA* info) {
    if (info->type == 1) {
        platform::ccLog("TGA: colour-mapped images are not supported");
        info->status = TGA_ERROR_INDEXED_COLOR;
        return false;
    }
    if (info->type != 2 && info->type != 3 && info->type != 10) {
        platform::ccLogf("TGA: image type %u is not supported", info->type);
        info->status = TGA_ERROR_COMPRESSED_FILE;
        return false;
    }
    if (info->pixelDepth != 8 && info->pixelDepth != 16 && info->pixelDepth != 24 && info->pixelDepth != 32) {
        platform::ccLogf("TGA: %u bits per pixel are not supported", info->pixelDepth);
        info->status = TGA_ERROR_COMPRESSED_FILE;
        return false;
    }
    if (info->width <= 0 || info->height <= 0) {
        platform::ccLogf("TGA: an image of %d x %d pixels has nothing to read", info->width, info->height);
        info->status = TGA_ERROR_COMPRESSED_FILE;
        return false;
    }
    // At most 32767 x 32767 x 4 bytes: no overflow in 64 bits, compared before anything is allocated.
    if (static_cast<uint64_t>(pixelCount(info)) * bytesPerPixel(info) > kTGAMaxImageBytes) {
        platform::ccLogf("TGA: %d x %d pixels at %u bits are more than the reader takes", info->width, info->height,
               info->pixelDepth);
        info->status = TGA_ERROR_MEMORY;
        return false;
    }
    return true;
}

sImageTGA* decode(const uint8_t* bytes, size_t size) {
    sImageTGA* info = new (std::nothrow) sImageTGA();
    if (!info) return nullptr;
    TGASource source{bytes, size, 0};
    if (!tgaLoadHeader(source, info)) {
        platform::ccLog("TGA: the header is cut short");
        info->status = TGA_ERROR_READING_FILE;
        return info;
    }
    if (!checkHeader(info)) return info;
    // A run-length packet gives at most 128 pixels from its few bytes, so no
    // file holds more than 128 times its size in pixels: a header that claims
    // far more is not believed, and nothing is allocated for it.
    uint64_t need = static_cast<uint64_t>(pixelCount(info)) * bytesPerPixel(info);
    if (need > static_cast<uint64_t>(size - source.position) * 128 + (64u << 10)) {
        platform::ccLogf("TGA: %d x %d pixels cannot come from %zu bytes", info->width, info->height, size);
        info->status = TGA_ERROR_READING_FILE;
        return info;
    }
    try {
        // Cleared first: pixels a short file never reaches are empty, not leftovers.
        info->imageData.assign(pixelCount(info) * bytesPerPixel(info), 0);
    } catch (const std::bad_alloc&) {
        info->status = TGA_ERROR_MEMORY;
        return info;
    }
    bool complete = info->type == 10 ? tgaLoadRLEImageData(source, info) : tgaLoadImageData(source, info);
    // Running out of data is not a read error: the image is what was there.
    if (!complete)
        platform::ccLogf("TGA: the pixels end early; the rest of the %d x %d image is left empty", info->width,
               info->height);
    info->status = TGA_OK;
    if (info->flipped) tgaFlipImage(info);
    return info;
}

} // namespace

bool TGASource::read(void* out, size_t count) {
    if (count > size - position) return false;
    if (count) std::memcpy(out, bytes + position, count);
    position += count;
    return true;
}

bool TGASource::skip(size_t count) {
    if (count > size - position) return false;
    position += count;
    return true;
}

bool tgaLoadHeader(TGASource& source, sImageTGA* info) {
    uint8_t h[kHeaderSize];
    if (!source.read(h, sizeof h)) return false;
    const uint8_t idLength = h[0], colourMapType = h[1];
    info->type = h[2];
    const uint16_t colourMapLength = little16(h + 5);
    const uint8_t colourMapDepth = h[7];
    info->width = static_cast<int16_t>(little16(h + 12));
    info->height = static_cast<int16_t>(little16(h + 14));
    info->pixelDepth = h[16];
    info->flipped = (h[17] & 0x20) ? 1 : 0;
    // The image ID and a colour map (allowed, and unused, in true-colour files) stand before the pixels.
    if (!source.skip(idLength)) return false;
    if (colourMapType == 1 &&
        !source.skip(static_cast<size_t>(colourMapLength) * ((colourMapDepth + 7u) / 8u)))
        return false;
    return true;
}

bool tgaLoadImageData(TGASource& source, sImageTGA* info) {
    const size_t pixelSize = bytesPerPixel(info);
    size_t available = std::min(info->imageData.size(), source.size - source.position);
    // Whole pixels only: a pixel the file cuts in half stays empty.
    available -= available % pixelSize;
    source.read(info->imageData.data(), available);
    if (pixelSize >= 3)
        for (size_t i = 0; i + pixelSize <= available; i += pixelSize)
            toRGB(&info->imageData[i], pixelSize);
    return available == info->imageData.size();
}

bool tgaLoadRLEImageData(TGASource& source, sImageTGA* info) {
    const size_t pixelSize = bytesPerPixel(info);
    const size_t total = pixelCount(info);
    uint8_t pixel[4] = {};
    size_t pending = 0;
    bool repeating = false;
    for (size_t written = 0; written < total; ++written) {
        if (pending == 0) {
            uint8_t packet = 0;
            if (!source.read(&packet, 1)) return false;
            repeating = (packet & 0x80) != 0;
            pending = repeating ? packet - 128u : packet;
            if (!source.read(pixel, pixelSize)) return false;
            toRGB(pixel, pixelSize);
        } else {
            --pending;
            if (!repeating) {
                if (!source.read(pixel, pixelSize)) return false;
                toRGB(pixel, pixelSize);
            }
        }
        // A run longer than the image is cut at its last pixel.
        std::memcpy(&info->imageData[written * pixelSize], pixel, pixelSize);
    }
    return true;
}

void tgaFlipImage(sImageTGA* info) {
    const size_t rowSize = static_cast<size_t>(std::max<int16_t>(info->width, 0)) * bytesPerPixel(info);
    const int height = info->height;
    if (rowSize == 0 || height <= 0 || info->imageData.size() < rowSize * static_cast<size_t>(height)) return;
    std::vector<uint8_t> row;
    try {
        row.resize(rowSize);
    } catch (const std::bad_alloc&) {
        info->status = TGA_ERROR_MEMORY;
        return;
    }
    for (int y = 0; y < height / 2; ++y) {
        uint8_t* top = &info->imageData[static_cast<size_t>(y) * rowSize];
        uint8_t* bottom = &info->imageData[static_cast<size_t>(height - 1 - y) * rowSize];
        std::memcpy(row.data(), top, rowSize);
        std::memcpy(top, bottom, rowSize);
        std::memcpy(bottom, row.data(), rowSize);
    }
    info->flipped = 0;
}

sImageTGA* tgaLoad(const std::string& path) {
    std::vector<uint8_t> bytes;
    std::string error;
    platform::ReadFileResult result = platform::readFile(path, kMaxFileBytes, bytes, &error);
    if (result != platform::ReadFileResult::Ok) {
        platform::ccLogf("TGA: cannot read %s: %s", path.c_str(), error.c_str());
        sImageTGA* info = new (std::nothrow) sImageTGA();
        if (info)
            info->status =
                result == platform::ReadFileResult::TooLarge ? TGA_ERROR_MEMORY : TGA_ERROR_FILE_OPEN;
        return info;
    }
    return decode(bytes.data(), bytes.size());
}

sImageTGA* tgaLoadFromMemory(const uint8_t* bytes, size_t size) {
    return decode(size ? bytes : nullptr, bytes ? size : 0);
}

void tgaDestroy(sImageTGA* info) {
    delete info;
}
