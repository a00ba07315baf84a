#pragma once
// A small reader of TGA images, as tile maps are stored: true-colour or grey
// pixels at 8, 16, 24 or 32 bits, raw (types 2 and 3) or run-length encoded
// (type 10). After loading, rows stand bottom-up and colour bytes are in
// R, G, B(, A) order; 16-bit pixels are kept as the file has them.
//
// Everything about the file is untrusted: sizes and depths are checked before
// anything is allocated, the buffer is cleared before decoding (a file that
// ends early leaves zero pixels behind), and no packet writes past the end.

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// Status values of a loaded image.
enum : int32_t {
    TGA_OK = 0,
    TGA_ERROR_FILE_OPEN = 1,
    TGA_ERROR_READING_FILE = 2,
    TGA_ERROR_INDEXED_COLOR = 3,
    TGA_ERROR_MEMORY = 4,
    TGA_ERROR_COMPRESSED_FILE = 5, // an image type (or size, or depth) that is not supported
};

struct sImageTGA {
    int32_t status = TGA_OK;
    uint8_t type = 0;
    uint8_t pixelDepth = 0;
    int16_t width = 0;
    int16_t height = 0;
    std::vector<uint8_t> imageData;
    int32_t flipped = 0; // 1 while the rows still stand top-down
};

// The largest pixel buffer a file may ask for; larger images are refused
// with TGA_ERROR_MEMORY rather than allocated on a header's word.
inline constexpr size_t kTGAMaxImageBytes = 64u << 20;

// The bytes being decoded and how far decoding has got.
struct TGASource {
    const uint8_t* bytes = nullptr;
    size_t size = 0;
    size_t position = 0;
    // Copies the next `count` bytes; false (nothing copied) when fewer remain.
    bool read(void* out, size_t count);
    bool skip(size_t count);
};

// The steps of loading. The header step also skips the image ID field and a
// colour map that may follow the header, so the pixels are read from their place.
bool tgaLoadHeader(TGASource& source, sImageTGA* info);
// Raw pixels. False when the data ends early (what was read is kept).
bool tgaLoadImageData(TGASource& source, sImageTGA* info);
// Run-length packets, until every pixel is written or the data ends (false).
bool tgaLoadRLEImageData(TGASource& source, sImageTGA* info);
// Swaps the rows top to bottom and clears `flipped`.
void tgaFlipImage(sImageTGA* info);

// Loads the file at `path`; the caller checks `status`. Never null.
sImageTGA* tgaLoad(const std::string& path);
// The same from bytes in memory (`size` of them at `bytes`).
sImageTGA* tgaLoadFromMemory(const uint8_t* bytes, size_t size);
// Frees the record and its pixels; null is ignored.
void tgaDestroy(sImageTGA* info);

struct TGADestroyer {
    void operator()(sImageTGA* info) const { tgaDestroy(info); }
};
using TGAImagePtr = std::unique_ptr<sImageTGA, TGADestroyer>;
