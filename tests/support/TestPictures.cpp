#include "support/TestPictures.h"

#include "support/EngineTest.h"

#include <png.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

bool writeRawPNG(const std::string& path, const RawPNG& spec) {
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(png);
    std::vector<png_bytep> rows;
    for (auto& row : spec.rows)
        rows.push_back(const_cast<png_bytep>(row.data()));
    std::vector<png_color> palette;
    for (size_t i = 0; i + 2 < spec.palette.size(); i += 3)
        palette.push_back({spec.palette[i], spec.palette[i + 1], spec.palette[i + 2]});
    png_color_16 grey{};
    grey.gray = static_cast<png_uint_16>(spec.transparentGrey);
    if (!file || setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, spec.width, spec.height, spec.bitDepth, spec.colorType,
                 spec.interlaced ? PNG_INTERLACE_ADAM7 : PNG_INTERLACE_NONE, 0, 0);
    if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
    if (!spec.paletteAlpha.empty())
        png_set_tRNS(png, info, spec.paletteAlpha.data(), static_cast<int>(spec.paletteAlpha.size()),
                     nullptr);
    if (spec.transparentGrey >= 0) png_set_tRNS(png, info, nullptr, 0, &grey);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

platform::Bitmap makeBitmap(int width, int height, const std::function<RGBA(int x, int y)>& colour) {
    platform::Bitmap b;
    b.width = width, b.height = height;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            RGBA c = colour(x, y);
            for (int v : {c.r, c.g, c.b, c.a})
                b.pixels.push_back(static_cast<uint8_t>(v));
        }
    return b;
}

bool writePicture(const std::string& path, int width, int height,
                  const std::function<RGBA(int x, int y)>& colour) {
    return platform::writePNG(path, makeBitmap(width, height, colour));
}

bool writePlainPicture(const std::string& path, int width, int height, const RGBA& colour) {
    return writePicture(path, width, height, [colour](int, int) { return colour; });
}

std::vector<uint8_t> pvrFile(const PVRHeader& h, size_t dataBytes) {
    std::vector<uint8_t> file(52, 0);
    auto put = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            file[at + i] = static_cast<uint8_t>(v >> (8 * i));
    };
    put(4, h.height), put(8, h.width), put(16, h.flags), put(20, h.dataLength), put(40, h.alphaMask);
    std::memcpy(&file[44], h.tag, 4);
    for (size_t i = 0; i < (dataBytes == SIZE_MAX ? h.dataLength : dataBytes); ++i)
        file.push_back(uint8_t(i * 7));
    return file;
}

::testing::AssertionResult picturesMatch(const platform::Bitmap& picture, const platform::Bitmap& expected,
                                         int tolerance, int badPixels) {
    if (picture.width != expected.width || picture.height != expected.height)
        return ::testing::AssertionFailure() << "the picture is " << picture.width << "x" << picture.height
                                             << ", not " << expected.width << "x" << expected.height;
    const std::vector<uint8_t>& a = picture.pixels;
    const std::vector<uint8_t>& b = expected.pixels;
    int bad = 0, worst = 0;
    for (size_t i = 0; i < a.size(); i += 4) {
        // Colour under no coverage is not seen: it counts as much as it covers.
        int d = std::abs(a[i + 3] - b[i + 3]);
        for (int c = 0; c < 3; ++c)
            d = std::max(d, std::abs(a[i + c] * a[i + 3] - b[i + c] * b[i + 3]) / 255);
        worst = std::max(worst, d);
        if (d > tolerance) ++bad;
    }
    if (bad > badPixels)
        return ::testing::AssertionFailure()
               << bad << " pixels differ by more than " << tolerance << " (worst " << worst << ")";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult pictureFilesMatch(const std::string& path, const std::string& expectedPath,
                                             int tolerance, int badPixels) {
    platform::Bitmap picture, expected;
    if (!readTestPNG(path, picture)) return ::testing::AssertionFailure() << "cannot read " << path;
    if (!readTestPNG(expectedPath, expected))
        return ::testing::AssertionFailure() << "cannot read " << expectedPath;
    return picturesMatch(picture, expected, tolerance, badPixels);
}
