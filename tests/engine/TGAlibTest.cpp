// The TGA reader: every kind of file it takes decodes to the same pixels, and
// hostile or cut-short files give their status without reading or writing
// outside a buffer (the sanitizer run checks the latter).

#include "engine/TGAlib.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>

#include <array>
#include <cstring>
#include <string>
#include <vector>

namespace {

using Pixel = std::array<uint8_t, 4>; // r, g, b, a

struct Kind {
    uint8_t type;  // 2, 3 or 10
    uint8_t depth; // bits per pixel
    bool topLeft;
    std::string id;    // the image ID field
    int colourMap = 0; // entries of an (unused) 24-bit colour map before the pixels
};

std::vector<uint8_t> header(uint8_t type, uint8_t depth, int width, int height, uint8_t descriptor,
                            uint8_t idLength = 0, uint8_t colourMapType = 0, uint16_t colourMapLength = 0) {
    // clang-format off
    return {idLength, colourMapType, type, 0, 0,
            static_cast<uint8_t>(colourMapLength), static_cast<uint8_t>(colourMapLength >> 8),
            static_cast<uint8_t>(colourMapType ? 24 : 0), 0, 0, 0, 0,
            static_cast<uint8_t>(width), static_cast<uint8_t>(width >> 8),
            static_cast<uint8_t>(height), static_cast<uint8_t>(height >> 8), depth, descriptor};
    // clang-format on
}

// `pixels` bottom row first, as the reader gives them back (R, G, B(, A)); the
// file stores B, G, R(, A), and 8 and 16 bits as they are.
std::vector<uint8_t> encode(const Kind& kind, int width, int height, const std::vector<Pixel>& pixels) {
    std::vector<uint8_t> file = header(kind.type, kind.depth, width, height, kind.topLeft ? 0x20 : 0,
                                       static_cast<uint8_t>(kind.id.size()), kind.colourMap ? 1 : 0,
                                       static_cast<uint16_t>(kind.colourMap));
    file.insert(file.end(), kind.id.begin(), kind.id.end());
    file.insert(file.end(), static_cast<size_t>(kind.colourMap) * 3, 0xEE);
    std::vector<std::vector<uint8_t>> order;
    for (int row = 0; row < height; ++row) {
        const int y = kind.topLeft ? height - 1 - row : row;
        for (int x = 0; x < width; ++x) {
            const Pixel& p = pixels[static_cast<size_t>(y * width + x)];
            const Pixel bgra{p[2], p[1], p[0], p[3]};
            const uint8_t* from = kind.depth <= 16 ? p.data() : bgra.data();
            order.emplace_back(from, from + kind.depth / 8);
        }
    }
    if (kind.type != 10) {
        for (const auto& p : order)
            file.insert(file.end(), p.begin(), p.end());
        return file;
    }
    // Runs of equal pixels repeat, across rows too. (Literal packets are in the
    // generated tile maps, whose every kind the tile-map test compares.)
    for (size_t i = 0, run = 1; i < order.size(); i += run, run = 1) {
        while (i + run < order.size() && run < 128 && order[i + run] == order[i])
            ++run;
        file.push_back(static_cast<uint8_t>(0x80 | (run - 1)));
        file.insert(file.end(), order[i].begin(), order[i].end());
    }
    return file;
}

TGAImagePtr load(const std::vector<uint8_t>& bytes) {
    return TGAImagePtr(tgaLoadFromMemory(bytes.data(), bytes.size()));
}

std::string describe(const Kind& k) {
    return "type " + std::to_string(k.type) + ", " + std::to_string(k.depth) + " bits, " +
           (k.topLeft ? "top-left" : "bottom-left") + (k.id.empty() ? "" : ", with an ID") +
           (k.colourMap ? ", with a colour map" : "");
}

// 6 x 4 pixels: runs of four that cross rows, and single pixels among them.
std::vector<Pixel> picture() {
    const Pixel palette[] = {{200, 10, 20, 255}, {30, 180, 40, 128}, {50, 60, 170, 0}, {250, 240, 5, 77}};
    std::vector<Pixel> pixels;
    for (int i = 0; i < 24; ++i)
        pixels.push_back(i % 7 == 0 ? Pixel{static_cast<uint8_t>(i + 1), static_cast<uint8_t>(i * 9),
                                            static_cast<uint8_t>(255 - i), static_cast<uint8_t>(i * 3)}
                                    : palette[(i / 4) % 4]);
    return pixels;
}

} // namespace

TEST(TGAlib, EveryKindDecodesToTheSamePixelsBottomRowFirst) {
    const std::vector<Pixel> pixels = picture();
    for (uint8_t depth : {8, 16, 24, 32}) {
        std::vector<uint8_t> expected;
        for (const Pixel& p : pixels)
            expected.insert(expected.end(), p.begin(), p.begin() + depth / 8);
        const uint8_t raw = depth == 8 ? 3 : 2;
        for (const Kind& kind :
             {Kind{raw, depth, false, ""}, Kind{raw, depth, true, ""}, Kind{10, depth, false, ""},
              Kind{10, depth, true, ""}, Kind{raw, depth, false, "map of the north"},
              Kind{10, depth, true, "x", 4}, Kind{2, depth, false, "", 2}}) {
            SCOPED_TRACE(describe(kind));
            TGAImagePtr image = load(encode(kind, 6, 4, pixels));
            ASSERT_NE(image, nullptr);
            EXPECT_EQ((std::vector<int>{image->status, image->width, image->height, image->flipped}),
                      (std::vector<int>{TGA_OK, 6, 4, 0}));
            EXPECT_EQ(image->imageData, expected);
        }
    }
}

TEST(TGAlib, HostileHeadersAreRefusedWithTheirStatus) {
    auto file = [](std::vector<uint8_t> head, size_t extra) {
        head.insert(head.end(), extra, 0x42);
        return head;
    };
    struct Case {
        const char* what;
        std::vector<uint8_t> bytes;
        int32_t status;
    };
    std::vector<uint8_t> shortHeader = header(2, 24, 2, 2, 0);
    shortHeader.pop_back();
    const Case cases[] = {
        {"no bytes at all", {}, TGA_ERROR_READING_FILE},
        {"a header one byte short", shortHeader, TGA_ERROR_READING_FILE},
        {"an ID field longer than the file", file(header(2, 24, 2, 2, 0, 200), 12), TGA_ERROR_READING_FILE},
        {"a colour map past the end", file(header(2, 24, 2, 2, 0, 0, 1, 300), 12), TGA_ERROR_READING_FILE},
        {"a colour-mapped image", file(header(1, 8, 2, 2, 0, 0, 1, 0), 4), TGA_ERROR_INDEXED_COLOR},
        {"run-length grey", file(header(11, 8, 2, 2, 0), 8), TGA_ERROR_COMPRESSED_FILE},
        {"no image", file(header(0, 24, 2, 2, 0), 12), TGA_ERROR_COMPRESSED_FILE},
        {"15 bits per pixel", file(header(2, 15, 2, 2, 0), 12), TGA_ERROR_COMPRESSED_FILE},
        {"0 bits per pixel", file(header(2, 0, 2, 2, 0), 12), TGA_ERROR_COMPRESSED_FILE},
        {"64 bits per pixel", file(header(2, 64, 2, 2, 0), 64), TGA_ERROR_COMPRESSED_FILE},
        {"width 0", file(header(2, 24, 0, 2, 0), 12), TGA_ERROR_COMPRESSED_FILE},
        {"height 0", file(header(10, 24, 2, 0, 0), 12), TGA_ERROR_COMPRESSED_FILE},
        {"a negative width", file(header(2, 24, 0xFFFF, 2, 0), 12), TGA_ERROR_COMPRESSED_FILE},
        {"a negative height", file(header(2, 32, 2, 0x8000, 0x20), 12), TGA_ERROR_COMPRESSED_FILE},
        {"32767 x 32767 at 32 bits", file(header(10, 32, 0x7FFF, 0x7FFF, 0), 5), TGA_ERROR_MEMORY},
        // Within the limit, but no file of a few bytes holds 64 MB of pixels: nothing is allocated.
        {"4000 x 4000 from 5 bytes", file(header(10, 32, 4000, 4000, 0), 5), TGA_ERROR_READING_FILE},
    };
    for (const Case& c : cases) {
        TGAImagePtr image = load(c.bytes);
        ASSERT_NE(image, nullptr) << c.what;
        EXPECT_EQ(image->status, c.status) << c.what;
        EXPECT_TRUE(image->imageData.empty()) << c.what;
    }

    ScratchDir dir;
    EXPECT_EQ(TGAImagePtr(tgaLoad(dir.file("missing.tga")))->status, TGA_ERROR_FILE_OPEN);
    EXPECT_EQ(TGAImagePtr(tgaLoad(dir.path()))->status, TGA_ERROR_FILE_OPEN) << "a folder";
    EXPECT_EQ(TGAImagePtr(tgaLoadFromMemory(nullptr, 100))->status, TGA_ERROR_READING_FILE);
}

// A file that ends early is what was there: the pixels it never reached are
// zero, never left over from memory, and packets never write past the image.
TEST(TGAlib, CutShortFilesAndOverlongRunsStayInsideTheImage) {
    const std::vector<Pixel> pixels = picture();
    for (const Kind& kind :
         {Kind{2, 24, false, ""}, Kind{2, 32, true, ""}, Kind{10, 24, false, ""}, Kind{10, 32, true, "id"}}) {
        SCOPED_TRACE(describe(kind));
        const std::vector<uint8_t> whole = encode(kind, 6, 4, pixels);
        for (size_t cut : {size_t{1}, size_t{5}, size_t{23}, (whole.size() - 18) / 2}) {
            const std::vector<uint8_t> part(whole.begin(), whole.end() - static_cast<long>(cut));
            TGAImagePtr image = load(part);
            EXPECT_EQ(image->status, TGA_OK) << "cut " << cut;
            ASSERT_EQ(image->imageData.size(), 6u * 4 * kind.depth / 8);
            // The last stored pixel (a bottom-left file's top right) is never reached.
            const size_t last = kind.topLeft ? 5 : 23;
            for (size_t b = 0; b < kind.depth / 8u; ++b)
                EXPECT_EQ(image->imageData[last * kind.depth / 8 + b], 0) << "cut " << cut;
        }
    }
    // A repeated run of 128 and a literal run of 128 in a 2 x 2 image: four pixels, no more.
    std::vector<uint8_t> run = header(10, 32, 2, 2, 0);
    run.insert(run.end(), {0xFF, 1, 2, 3, 4});
    TGAImagePtr repeated = load(run);
    EXPECT_EQ(repeated->status, TGA_OK);
    EXPECT_EQ(repeated->imageData, (std::vector<uint8_t>{3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4, 3, 2, 1, 4}));
    std::vector<uint8_t> literal = header(10, 8, 2, 2, 0x20);
    literal.push_back(0x7F);
    for (int i = 0; i < 128; ++i)
        literal.push_back(static_cast<uint8_t>(i + 1));
    TGAImagePtr literals = load(literal);
    EXPECT_EQ(literals->imageData, (std::vector<uint8_t>{3, 4, 1, 2})) << "top-left rows turned bottom-up";
}
