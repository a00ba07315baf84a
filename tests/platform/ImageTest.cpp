#include "platform/Image.h"
#include "platform/Log.h"
#include "support/EngineTest.h"
#include "support/TestPictures.h"

#include <gtest/gtest.h>
#include <png.h>

#include <string>
#include <vector>

namespace {

// PNG's chunk checksum (CRC-32, reflected, polynomial 0xEDB88320).
uint32_t crc32Of(const uint8_t* data, size_t size) {
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
    }
    return ~crc;
}

// Packs samples of `bitDepth` bits into a PNG row (most significant bits first, 16-bit big-endian).
std::vector<uint8_t> packRow(const std::vector<int>& samples, int bitDepth) {
    std::vector<uint8_t> row;
    if (bitDepth == 16) {
        for (int s : samples) row.push_back(static_cast<uint8_t>(s >> 8)), row.push_back(static_cast<uint8_t>(s));
        return row;
    }
    int bit = 0;
    for (int s : samples) {
        if (bit == 0) row.push_back(0);
        row.back() |= static_cast<uint8_t>(s << (8 - bitDepth - bit));
        bit = (bit + bitDepth) % 8;
    }
    return row;
}

// The 7 x 5 test picture (odd sizes catch interlacing and packing slips):
// pixel (x, y) shows value number (x + 2y) % count of a case's list.
constexpr int kW = 7, kH = 5;
int valueIndex(int x, int y, int count) { return (x + 2 * y) % count; }

struct Case {
    const char* name;
    int colorType;
    int bitDepth;
    std::vector<std::vector<int>> samples; // each value's samples as stored
    std::vector<RGBA> expected;           // each value decoded, premultiplied
    bool hasAlpha;
    bool isMask;
};

RawPNG encode(const Case& c, bool interlaced) {
    RawPNG png;
    png.width = kW, png.height = kH, png.colorType = c.colorType, png.bitDepth = c.bitDepth;
    png.interlaced = interlaced;
    for (int y = 0; y < kH; ++y) {
        std::vector<int> row;
        for (int x = 0; x < kW; ++x) {
            const auto& s = c.samples[valueIndex(x, y, static_cast<int>(c.samples.size()))];
            row.insert(row.end(), s.begin(), s.end());
        }
        png.rows.push_back(packRow(row, c.bitDepth));
    }
    return png;
}

std::vector<Case> directCases() {
    return {
        {"grey1", PNG_COLOR_TYPE_GRAY, 1, {{0}, {1}}, {{0, 0, 0, 255}, {255, 255, 255, 255}}, false, true},
        {"grey2", PNG_COLOR_TYPE_GRAY, 2, {{0}, {1}, {3}}, {{0, 0, 0, 255}, {85, 85, 85, 255}, {255, 255, 255, 255}},
         false, true},
        {"grey4", PNG_COLOR_TYPE_GRAY, 4, {{5}, {15}}, {{85, 85, 85, 255}, {255, 255, 255, 255}}, false, true},
        {"grey8", PNG_COLOR_TYPE_GRAY, 8, {{100}, {255}}, {{100, 100, 100, 255}, {255, 255, 255, 255}}, false, true},
        {"grey16", PNG_COLOR_TYPE_GRAY, 16, {{100 * 257}, {0}}, {{100, 100, 100, 255}, {0, 0, 0, 255}}, false, true},
        {"greyAlpha8", PNG_COLOR_TYPE_GRAY_ALPHA, 8, {{200, 128}, {50, 255}, {255, 0}},
         {{100, 100, 100, 128}, {50, 50, 50, 255}, {0, 0, 0, 0}}, true, false},
        {"greyAlpha16", PNG_COLOR_TYPE_GRAY_ALPHA, 16, {{200 * 257, 128 * 257}},
         {{100, 100, 100, 128}}, true, false},
        {"rgb8", PNG_COLOR_TYPE_RGB, 8, {{255, 0, 0}, {10, 20, 30}}, {{255, 0, 0, 255}, {10, 20, 30, 255}}, false,
         false},
        {"rgb16", PNG_COLOR_TYPE_RGB, 16, {{65535, 128 * 257, 0}}, {{255, 128, 0, 255}}, false, false},
        {"rgba8", PNG_COLOR_TYPE_RGB_ALPHA, 8, {{255, 0, 0, 128}, {0, 255, 0, 255}, {9, 9, 9, 0}},
         {{128, 0, 0, 128}, {0, 255, 0, 255}, {0, 0, 0, 0}}, true, false},
        {"rgba16", PNG_COLOR_TYPE_RGB_ALPHA, 16, {{65535, 0, 65535, 128 * 257}}, {{128, 0, 128, 128}}, true, false},
    };
}

class DecodeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setLogSink([this](std::string_view line) { log.emplace_back(line); });
    }
    void TearDown() override { setLogSink(nullptr); }

    void expectPixels(const platform::Bitmap& b, const Case& c, const std::string& what) {
        ASSERT_EQ(b.width, kW) << what;
        ASSERT_EQ(b.height, kH) << what;
        for (int y = 0; y < kH; ++y)
            for (int x = 0; x < kW; ++x) {
                const uint8_t* p = b.pixel(x, y);
                RGBA got{p[0], p[1], p[2], p[3]};
                EXPECT_TRUE(colorNear(got, c.expected[valueIndex(x, y, static_cast<int>(c.expected.size()))], 1))
                    << what << " at " << x << "," << y;
            }
        EXPECT_EQ(b.hasAlpha, c.hasAlpha) << what;
        EXPECT_EQ(b.isMask, c.isMask) << what;
        EXPECT_TRUE(b.premultiplied) << what;
    }

    ScratchDir dir;
    std::vector<std::string> log;
};

} // namespace

TEST_F(DecodeTest, EveryColourTypeAndBitDepthPlainAndInterlaced) {
    for (const Case& c : directCases()) {
        for (bool interlaced : {false, true}) {
            std::string what = std::string(c.name) + (interlaced ? " interlaced" : "");
            std::string path = dir.file(what + ".png");
            ASSERT_TRUE(writeRawPNG(path, encode(c, interlaced))) << what;
            platform::Bitmap b;
            ASSERT_TRUE(platform::decodePNG(path, b)) << what;
            expectPixels(b, c, what);
            EXPECT_EQ(b.bitsPerComponent, c.bitDepth) << what;
        }
    }
}

TEST_F(DecodeTest, PalettesOfEveryDepthWithAndWithoutTransparency) {
    const std::vector<uint8_t> palette = {255, 0, 0, 0, 0, 255, 20, 40, 60, 255, 255, 255};
    for (int depth : {1, 2, 4, 8}) {
        for (bool transparent : {false, true}) {
            int colours = depth == 1 ? 2 : 4;
            Case c{"palette", PNG_COLOR_TYPE_PALETTE, depth, {}, {}, transparent, false};
            for (int i = 0; i < colours; ++i) {
                c.samples.push_back({i});
                int a = transparent && i == 1 ? 64 : 255;
                auto pre = [a](int v) { return (v * a + 127) / 255; };
                c.expected.push_back({pre(palette[i * 3]), pre(palette[i * 3 + 1]), pre(palette[i * 3 + 2]), a});
            }
            RawPNG png = encode(c, false);
            png.palette.assign(palette.begin(), palette.begin() + colours * 3);
            if (transparent) png.paletteAlpha = {255, 64};
            std::string what = "palette" + std::to_string(depth) + (transparent ? " with tRNS" : "");
            ASSERT_TRUE(writeRawPNG(dir.file(what + ".png"), png)) << what;
            platform::Bitmap b;
            ASSERT_TRUE(platform::decodePNG(dir.file(what + ".png"), b)) << what;
            expectPixels(b, c, what);
            EXPECT_EQ(b.bitsPerComponent, 8) << what; // palette entries are 8-bit colours
        }
    }
}

TEST_F(DecodeTest, GreyWithATransparentLevelHasAlphaAndIsNoMask) {
    Case c{"grey tRNS", PNG_COLOR_TYPE_GRAY, 8, {{100}, {200}}, {{0, 0, 0, 0}, {200, 200, 200, 255}}, true, false};
    RawPNG png = encode(c, false);
    png.transparentGrey = 100;
    ASSERT_TRUE(writeRawPNG(dir.file("t.png"), png));
    platform::Bitmap b;
    ASSERT_TRUE(platform::decodePNG(dir.file("t.png"), b));
    expectPixels(b, c, "grey tRNS");
}

TEST_F(DecodeTest, BrokenFilesGiveNoPictureAndALogLine) {
    ASSERT_TRUE(writePicture(dir.file("good.png"), 40, 30, [](int x, int y) { return RGBA{x * 6, y * 8, 90, 200}; }));
    std::vector<uint8_t> good = readBytes(dir.file("good.png"));
    ASSERT_GT(good.size(), 100u);

    platform::Bitmap b;
    EXPECT_FALSE(platform::decodePNG(dir.file("missing.png"), b));
    EXPECT_FALSE(platform::decodePNG(dir.write("empty.png", {}), b));
    EXPECT_FALSE(platform::decodePNG(dir.write("text.png", {'h', 'e', 'l', 'l', 'o', '\n', 0, 0, 0}), b));
    EXPECT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0], "Cannot read " + dir.file("missing.png") + ": no such file");

    // Every cut of the file short of its end (the image data is in the middle) fails cleanly.
    size_t cuts = 0;
    for (size_t length = 0; length + 12 < good.size(); length += 7, ++cuts) {
        std::vector<uint8_t> cut(good.begin(), good.begin() + static_cast<ptrdiff_t>(length));
        EXPECT_FALSE(platform::decodePNG(cut.data(), cut.size(), b, "cut")) << length;
        EXPECT_EQ(b.width, 0);
        EXPECT_TRUE(b.pixels.empty());
    }
    EXPECT_EQ(log.size(), 3u + cuts);

    // A damaged byte in the compressed data: its checksum no longer matches.
    std::vector<uint8_t> damaged = good;
    damaged[good.size() - 20] ^= 0x5a;
    EXPECT_FALSE(platform::decodePNG(damaged.data(), damaged.size(), b, "damaged"));
}

TEST_F(DecodeTest, AbsurdSizesAreRefusedBeforeAnyMemoryIsTaken) {
    ASSERT_TRUE(writePicture(dir.file("one.png"), 1, 1, [](int, int) { return RGBA{1, 2, 3, 255}; }));
    std::vector<uint8_t> bytes = readBytes(dir.file("one.png"));
    // IHDR's width and height start at byte 16; its checksum covers bytes 12..28.
    for (int i = 0; i < 8; ++i) bytes[16 + i] = i % 4 == 1 ? 0x10 : 0; // 1048576 x 1048576
    uint32_t crc = crc32Of(&bytes[12], 17);
    for (int i = 0; i < 4; ++i) bytes[29 + i] = static_cast<uint8_t>(crc >> (24 - 8 * i));
    platform::Bitmap b;
    EXPECT_FALSE(platform::decodePNG(bytes.data(), bytes.size(), b, "huge"));
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("huge"), std::string::npos);
}

TEST_F(DecodeTest, WritingAPremultipliedPictureStoresStraightColour) {
    platform::Bitmap b = makeBitmap(2, 1, [](int x, int) { return x ? RGBA{100, 50, 0, 128} : RGBA{0, 0, 0, 0}; });
    b.premultiplied = true;
    ASSERT_TRUE(platform::writePNG(dir.file("w.png"), b));
    platform::Bitmap back;
    ASSERT_TRUE(readTestPNG(dir.file("w.png"), back));
    const uint8_t* p = back.pixel(1, 0);
    EXPECT_TRUE(colorNear({p[0], p[1], p[2], p[3]}, {199, 100, 0, 128}, 1));
}
