#pragma once
// Pictures and folders the tests make themselves: PNG files of any colour
// type and bit depth written with libpng, RGBA pictures from a function and
// PVR texture files; and how far a picture is from the one expected.

#include "platform/Image.h"
#include "support/Scratch.h"

#include <gtest/gtest.h>

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

struct RGBA;

// One PNG as libpng writes it; `rows` are packed as PNG stores them.
struct RawPNG {
    int width = 0, height = 0, colorType = 0, bitDepth = 8;
    bool interlaced = false;
    std::vector<uint8_t> palette;      // r, g, b triples
    std::vector<uint8_t> paletteAlpha; // tRNS of a palette picture
    int transparentGrey = -1;          // tRNS of a grey picture
    std::vector<std::vector<uint8_t>> rows;
};
bool writeRawPNG(const std::string& path, const RawPNG& png);

// Pixel (x, y), top row 0, is colour(x, y), straight alpha.
platform::Bitmap makeBitmap(int width, int height, const std::function<RGBA(int x, int y)>& colour);
bool writePicture(const std::string& path, int width, int height,
                  const std::function<RGBA(int x, int y)>& colour);
// The same with every pixel `colour`.
bool writePlainPicture(const std::string& path, int width, int height, const RGBA& colour);

// A PVR file's header fields (by default 64 x 64 at PVRTC 4 bits per pixel).
struct PVRHeader {
    uint32_t width = 64, height = 64;
    uint32_t flags = 25; // PVRTC 4 bits per pixel
    uint32_t dataLength = 2816;
    uint32_t alphaMask = 0;
    char tag[4] = {'P', 'V', 'R', '!'};
};
// The 52-byte header and `dataBytes` bytes of level data (by default as many as declared).
std::vector<uint8_t> pvrFile(const PVRHeader& header, size_t dataBytes = SIZE_MAX);

// Whether `picture` has the size of `expected` and at most `badPixels` pixels
// whose colour weighted by coverage, or whose coverage, differs from it by
// more than `tolerance` (on opaque pictures: in some channel).
::testing::AssertionResult picturesMatch(const platform::Bitmap& picture, const platform::Bitmap& expected,
                                         int tolerance, int badPixels);
// The same for two PNG files; fails when either cannot be read.
::testing::AssertionResult pictureFilesMatch(const std::string& path, const std::string& expectedPath,
                                             int tolerance, int badPixels);
