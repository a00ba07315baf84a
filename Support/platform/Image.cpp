#include "platform/Image.h"

#include "platform/File.h"
#include "platform/Log.h"

#include <png.h>

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <memory>

namespace platform {

bool Bitmap::isWellFormed() const {
    return width > 0 && height > 0 &&
           pixels.size() == static_cast<size_t>(width) * static_cast<size_t>(height) * 4;
}

namespace {

// Everything libpng's callbacks touch. Plain data only: libpng leaves its
// error path with longjmp, which must not skip any destructor.
struct PngSource {
    const uint8_t* data;
    size_t size;
    size_t offset;
    char error[200];
};

void readFromMemory(png_structp png, png_bytep out, png_size_t length) {
    auto* source = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > source->size - source->offset) png_error(png, "the file ends too early");
    std::memcpy(out, source->data + source->offset, length);
    source->offset += length;
}

void onPngError(png_structp png, png_const_charp message) {
    auto* source = static_cast<PngSource*>(png_get_error_ptr(png));
    std::snprintf(source->error, sizeof source->error, "%s", message ? message : "unknown error");
    png_longjmp(png, 1);
}

void onPngWarning(png_structp, png_const_charp) {}

struct PngHeader {
    png_uint_32 width;
    png_uint_32 height;
    int bitDepth;
    int colorType;
    int channels;         // as stored
    int interlace;
    bool hasTransparency; // a tRNS chunk
    size_t rowBytes;      // after the transformations
};

// Deflate never expands data by more than 1032 : 1, so a file of `fileSize`
// bytes cannot hold more picture than this; a header that claims more is a
// lie, and believing it would allocate for pixels that are not there.
bool fileCanHold(const PngHeader& h, size_t fileSize) {
    uint64_t rowBits = uint64_t(h.width) * uint64_t(h.channels) * uint64_t(h.bitDepth);
    uint64_t rawBytes = uint64_t(h.height) * (1 + (rowBits + 7) / 8); // a filter byte per row
    if (h.interlace != PNG_INTERLACE_NONE) rawBytes = rawBytes + rawBytes / 2 + 64; // more, shorter rows
    return rawBytes <= uint64_t(fileSize) * 1040 + 1024;
}

// Reads the header and sets up the conversion to 8-bit RGBA. The setjmp
// lives in this frame, which holds no object with a destructor.
bool readPngHeader(png_structp png, png_infop info, PngHeader* header) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_set_user_limits(png, kMaxDecodedImageSide, kMaxDecodedImageSide);
    png_read_info(png, info);
    png_get_IHDR(png, info, &header->width, &header->height, &header->bitDepth, &header->colorType,
                 &header->interlace, nullptr, nullptr);
    header->channels = png_get_channels(png, info);
    header->hasTransparency = png_get_valid(png, info, PNG_INFO_tRNS) != 0;

    if (header->colorType == PNG_COLOR_TYPE_PALETTE) png_set_palette_to_rgb(png);
    if (header->colorType == PNG_COLOR_TYPE_GRAY && header->bitDepth < 8) png_set_expand_gray_1_2_4_to_8(png);
    if (header->hasTransparency) png_set_tRNS_to_alpha(png);
    if (header->bitDepth == 16) png_set_scale_16(png);
    if (!(header->colorType & PNG_COLOR_MASK_COLOR)) png_set_gray_to_rgb(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    header->rowBytes = png_get_rowbytes(png, info);
    return true;
}

// Reads every row; `rows` points into a buffer the caller owns.
bool readPngRows(png_structp png, png_bytepp rows) {
    if (setjmp(png_jmpbuf(png))) return false;
    png_read_image(png, rows);
    return true;
}

void premultiply(Bitmap& bitmap) {
    for (size_t i = 0; i < bitmap.pixels.size(); i += 4) {
        unsigned a = bitmap.pixels[i + 3];
        if (a == 255) continue;
        for (int c = 0; c < 3; ++c)
            bitmap.pixels[i + c] = static_cast<uint8_t>((bitmap.pixels[i + c] * a + 127) / 255);
    }
}

} // namespace

bool decodePNG(const uint8_t* data, size_t size, Bitmap& out, const std::string& what) {
    out = Bitmap{};
    auto fail = [&](const char* reason) {
        ccLogf("Cannot read %s: %s", what.c_str(), reason);
        out = Bitmap{};
        return false;
    };
    if (!data || size == 0) return fail("the file is empty");
    if (size < 8 || png_sig_cmp(data, 0, 8) != 0) return fail("not a PNG file");

    PngSource source{data, size, 0, {}};
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &source, onPngError, onPngWarning);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return fail("out of memory");
    }
    // Frees libpng's state on every way out of this function.
    struct Reader {
        png_structp png;
        png_infop info;
        ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
    } reader{png, info};
    png_set_read_fn(png, &source, readFromMemory);

    PngHeader header{};
    if (!readPngHeader(png, info, &header)) return fail(source.error);
    if (!fileCanHold(header, size)) return fail("the file is far too small for the picture size it declares");
    size_t width = header.width, height = header.height;
    if (width == 0 || height == 0 || header.rowBytes != width * 4) return fail("unexpected pixel layout");

    Bitmap bitmap;
    bitmap.width = static_cast<int>(width);
    bitmap.height = static_cast<int>(height);
    bitmap.pixels.resize(width * height * 4);
    std::vector<png_bytep> rows(height);
    for (size_t y = 0; y < height; ++y)
        rows[y] = bitmap.pixels.data() + y * width * 4;
    if (!readPngRows(png, rows.data())) return fail(source.error);

    bitmap.hasAlpha = (header.colorType & PNG_COLOR_MASK_ALPHA) || header.hasTransparency;
    bitmap.isMask = header.colorType == PNG_COLOR_TYPE_GRAY && !header.hasTransparency;
    bitmap.bitsPerComponent = header.colorType == PNG_COLOR_TYPE_PALETTE ? 8 : header.bitDepth;
    if (bitmap.hasAlpha) premultiply(bitmap);
    bitmap.premultiplied = true;
    out = std::move(bitmap);
    return true;
}

bool decodePNG(const std::string& path, Bitmap& out) {
    out = Bitmap{};
    // A picture we could make a texture of is far smaller than this.
    constexpr size_t kMaxFileSize = 256 << 20;
    std::vector<uint8_t> bytes;
    std::string error;
    if (readFile(path, kMaxFileSize, bytes, &error) != ReadFileResult::Ok) {
        ccLogf("Cannot read %s: %s", path.c_str(), error.c_str());
        return false;
    }
    return decodePNG(bytes.data(), bytes.size(), out, path);
}

namespace {
// libpng's error path jumps back here: this frame holds nothing that needs destroying.
bool encodeRGBA(FILE* file, int width, int height, png_bytep* rows) {
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, static_cast<png_uint_32>(width), static_cast<png_uint_32>(height), 8,
                 PNG_COLOR_TYPE_RGBA, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}
} // namespace

bool writePNG(const std::string& path, const Bitmap& bitmap) {
    if (!bitmap.isWellFormed()) {
        ccLogf("Cannot write %s: empty or malformed picture", path.c_str());
        return false;
    }
    // PNG keeps colour and alpha apart.
    const Bitmap* picture = &bitmap;
    Bitmap straight;
    if (bitmap.premultiplied && bitmap.hasAlpha) {
        straight = bitmap;
        for (size_t i = 0; i < straight.pixels.size(); i += 4) {
            unsigned a = straight.pixels[i + 3];
            if (a == 0 || a == 255) continue;
            for (int c = 0; c < 3; ++c)
                straight.pixels[i + c] =
                    static_cast<uint8_t>(std::min(255u, (straight.pixels[i + c] * 255u + a / 2) / a));
        }
        picture = &straight;
    }
    std::unique_ptr<FILE, int (*)(FILE*)> file(std::fopen(path.c_str(), "wb"), std::fclose);
    if (!file) {
        ccLogf("Cannot write %s: cannot open the file", path.c_str());
        return false;
    }
    std::vector<png_bytep> rows(static_cast<size_t>(picture->height));
    for (int y = 0; y < picture->height; ++y)
        rows[static_cast<size_t>(y)] = const_cast<png_bytep>(picture->pixel(0, y));
    if (!encodeRGBA(file.get(), picture->width, picture->height, rows.data())) {
        ccLogf("Cannot write %s: PNG encoding failed", path.c_str());
        return false;
    }
    return std::fflush(file.get()) == 0;
}

} // namespace platform
