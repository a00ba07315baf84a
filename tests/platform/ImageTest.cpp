#include "platform/Image.h"
#include "support/EngineTest.h"
#include "support/LogRecorder.h"
#include "support/TestPictures.h"

#include <png.h>

namespace {

// `png` with the size in its header changed to `width` x `height`, the header's
// checksum (CRC-32, polynomial 0xEDB88320) made right again.
std::vector<uint8_t> claimingSize(std::vector<uint8_t> png, uint32_t width, uint32_t height) {
    for (int i = 0; i < 4; ++i) {
        png[16 + i] = static_cast<uint8_t>(width >> (24 - 8 * i));
        png[20 + i] = static_cast<uint8_t>(height >> (24 - 8 * i));
    }
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 12; i < 29; ++i) {
        crc ^= png[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    for (int i = 0; i < 4; ++i)
        png[29 + i] = static_cast<uint8_t>(~crc >> (24 - 8 * i));
    return png;
}

// A case: the values a 7 x 5 picture is made of (pixel (x, y) shows value
// (x + 2y) mod count; odd sizes catch interlacing and bit-packing slips),
// each as stored and as it must decode (premultiplied).
struct Case {
    const char* name;
    int colorType, bitDepth;
    std::vector<std::vector<int>> stored;
    std::vector<RGBA> decoded;
    bool hasAlpha, isMask;
    std::vector<uint8_t> palette = {}, paletteAlpha = {};
    int transparentGrey = -1;
};

RawPNG encode(const Case& c, bool interlaced) {
    RawPNG png{7, 5, c.colorType, c.bitDepth, interlaced, c.palette, c.paletteAlpha, c.transparentGrey, {}};
    for (int y = 0; y < 5; ++y) {
        std::vector<uint8_t> row;
        int bit = 0;
        for (int x = 0; x < 7; ++x)
            for (int s : c.stored[(x + 2 * y) % c.stored.size()]) {
                if (c.bitDepth == 16) {
                    row.push_back(static_cast<uint8_t>(s >> 8)), row.push_back(static_cast<uint8_t>(s));
                    continue;
                }
                if (bit == 0) row.push_back(0);
                row.back() |= static_cast<uint8_t>(s << (8 - c.bitDepth - bit));
                bit = (bit + c.bitDepth) % 8;
            }
        png.rows.push_back(row);
    }
    return png;
}

const std::vector<uint8_t> kPalette = {255, 0, 0, 0, 0, 255, 20, 40, 60, 255, 255, 255};
const RGBA kRed{255, 0, 0, 255}, kBlue{0, 0, 255, 255}, kWhite{255, 255, 255, 255}, kBlack{0, 0, 0, 255};

std::vector<Case> cases() {
    const int kGrey = PNG_COLOR_TYPE_GRAY, kGreyA = PNG_COLOR_TYPE_GRAY_ALPHA, kRGB = PNG_COLOR_TYPE_RGB,
              kRGBA = PNG_COLOR_TYPE_RGB_ALPHA, kPal = PNG_COLOR_TYPE_PALETTE;
    return {
        {"grey1", kGrey, 1, {{0}, {1}}, {kBlack, kWhite}, false, true},
        {"grey2", kGrey, 2, {{0}, {1}, {3}}, {kBlack, {85, 85, 85, 255}, kWhite}, false, true},
        {"grey4", kGrey, 4, {{5}, {15}}, {{85, 85, 85, 255}, kWhite}, false, true},
        {"grey8", kGrey, 8, {{100}, {255}}, {{100, 100, 100, 255}, kWhite}, false, true},
        {"grey16", kGrey, 16, {{100 * 257}, {0}}, {{100, 100, 100, 255}, kBlack}, false, true},
        {"grey8 tRNS", kGrey, 8, {{100}, {200}}, {{0, 0, 0, 0}, {200, 200, 200, 255}}, true, false,
         {}, {}, 100},
        {"greyAlpha8", kGreyA, 8, {{200, 128}, {50, 255}, {255, 0}},
         {{100, 100, 100, 128}, {50, 50, 50, 255}, {0, 0, 0, 0}}, true, false},
        {"greyAlpha16", kGreyA, 16, {{200 * 257, 128 * 257}}, {{100, 100, 100, 128}}, true, false},
        {"rgb8", kRGB, 8, {{255, 0, 0}, {10, 20, 30}}, {kRed, {10, 20, 30, 255}}, false, false},
        {"rgb16", kRGB, 16, {{65535, 128 * 257, 0}}, {{255, 128, 0, 255}}, false, false},
        {"rgba8", kRGBA, 8, {{255, 0, 0, 128}, {0, 255, 0, 255}, {9, 9, 9, 0}},
         {{128, 0, 0, 128}, {0, 255, 0, 255}, {0, 0, 0, 0}}, true, false},
        {"rgba16", kRGBA, 16, {{65535, 0, 65535, 128 * 257}}, {{128, 0, 128, 128}}, true, false},
        {"palette1", kPal, 1, {{0}, {1}}, {kRed, kBlue}, false, false,
         {kPalette.begin(), kPalette.begin() + 6}},
        {"palette2 tRNS", kPal, 2, {{0}, {1}, {3}}, {kRed, {0, 0, 64, 64}, kWhite}, true, false,
         kPalette, {255, 64}},
        {"palette4", kPal, 4, {{2}, {3}}, {{20, 40, 60, 255}, kWhite}, false, false, kPalette},
        {"palette8 tRNS", kPal, 8, {{1}, {2}}, {{0, 0, 0, 0}, {20, 40, 60, 255}}, true, false,
         kPalette, {255, 0}},
    };
}

class DecodeTest : public ::testing::Test {
  protected:
    ScratchDir dir;
    LogRecorder log;
};

} // namespace

TEST_F(DecodeTest, EveryColourTypeAndBitDepthPlainAndInterlaced) {
    for (const Case& c : cases())
        for (bool interlaced : {false, true}) {
            std::string what = std::string(c.name) + (interlaced ? " interlaced" : "");
            ASSERT_TRUE(writeRawPNG(dir.file(what), encode(c, interlaced))) << what;
            platform::Bitmap b;
            ASSERT_TRUE(platform::decodePNG(dir.file(what), b)) << what;
            ASSERT_EQ(b.width * 10 + b.height, 75) << what;
            for (int y = 0; y < 5; ++y)
                for (int x = 0; x < 7; ++x) {
                    const uint8_t* p = b.pixel(x, y);
                    EXPECT_TRUE(
                        colorNear({p[0], p[1], p[2], p[3]}, c.decoded[(x + 2 * y) % c.decoded.size()], 1))
                        << what << " at " << x << "," << y;
                }
            EXPECT_EQ(b.hasAlpha, c.hasAlpha) << what;
            EXPECT_EQ(b.isMask, c.isMask) << what;
            EXPECT_EQ(b.bitsPerComponent, c.colorType == PNG_COLOR_TYPE_PALETTE ? 8 : c.bitDepth) << what;
        }
}

TEST_F(DecodeTest, BrokenFilesGiveNoPictureAndALogLine) {
    ASSERT_TRUE(writePicture(dir.file("good.png"), 40, 30, [](int x, int y) {
        return RGBA{x * 6, y * 8, 90, 200};
    }));
    std::vector<uint8_t> good = readBytes(dir.file("good.png"));
    platform::Bitmap b;
    EXPECT_FALSE(platform::decodePNG(dir.file("missing.png"), b));
    EXPECT_FALSE(platform::decodePNG(dir.write("empty.png", std::string()), b));
    EXPECT_FALSE(platform::decodePNG(dir.write("text.png", std::vector<uint8_t>{'h', 'i', '\n', 0, 0, 0, 0, 0, 0}), b));
    EXPECT_EQ(log, (std::vector<std::string>{"Cannot read " + dir.file("missing.png") + ": no such file",
                                             "Cannot read " + dir.file("empty.png") + ": the file is empty",
                                             "Cannot read " + dir.file("text.png") + ": not a PNG file"}));
    // Every cut short of the end fails cleanly (and, under the sanitizers, without reading past the cut).
    for (size_t length = 8; length + 12 < good.size(); length += 5) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(length));
        EXPECT_FALSE(platform::decodePNG(cut.data(), cut.size(), b, "cut")) << length;
        EXPECT_TRUE(b.pixels.empty());
    }
    std::vector<uint8_t> damaged = good;
    damaged[good.size() - 20] ^= 0x5a; // compressed data no longer matches its checksum
    EXPECT_FALSE(platform::decodePNG(damaged.data(), damaged.size(), b, "damaged"));

    // A header claiming 1048576 x 1048576 pixels is refused before memory is taken.
    std::vector<uint8_t> huge = claimingSize(good, 1 << 20, 1 << 20);
    log.clear();
    EXPECT_FALSE(platform::decodePNG(huge.data(), huge.size(), b, "huge"));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_EQ(log[0].rfind("Cannot read huge: ", 0), 0u);

    // 8000 x 8000 is a size we accept, but not from a file of a few hundred
    // bytes: no deflate stream that short holds it, so nothing is allocated for it.
    std::vector<uint8_t> liar = claimingSize(good, 8000, 8000);
    log.clear();
    EXPECT_FALSE(platform::decodePNG(liar.data(), liar.size(), b, "liar"));
    EXPECT_EQ(log, std::vector<std::string>{
                       "Cannot read liar: the file is far too small for the picture size it declares"});
}
