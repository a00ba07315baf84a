#include "platform/Image.h"

#include "platform/Log.h"

#include <png.h>

#include <cstdio>
#include <memory>

namespace platform {

bool writePNG(const std::string& path, const Bitmap& bitmap) {
    if (bitmap.width <= 0 || bitmap.height <= 0 ||
        bitmap.pixels.size() != static_cast<size_t>(bitmap.width) * bitmap.height * 4) {
        ccLogf("Cannot write %s: empty or malformed picture", path.c_str());
        return false;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) {
        ccLogf("Cannot write %s: cannot open the file", path.c_str());
        return false;
    }
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        ccLogf("Cannot write %s: out of memory", path.c_str());
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(bitmap.height));
    for (int y = 0; y < bitmap.height; ++y)
        rows[static_cast<size_t>(y)] = const_cast<png_bytep>(bitmap.pixel(0, y));
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        ccLogf("Cannot write %s: PNG encoding failed", path.c_str());
        return false;
    }
    png_init_io(png, file.get());
    png_set_IHDR(png, info, static_cast<png_uint_32>(bitmap.width), static_cast<png_uint_32>(bitmap.height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows.data());
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return std::fflush(file.get()) == 0;
}

} // namespace platform
