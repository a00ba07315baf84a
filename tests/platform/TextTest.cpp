#include "platform/Text.h"
#include "support/LogRecorder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>

using namespace platform;

namespace {

const std::string kFont = "Marker Felt";

// Text drawn into a coverage buffer, and where its ink lies.
struct Drawn {
    int width, height;
    std::vector<uint8_t> pixels;
    bool inked(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] > 64; }
    bool rowInked(int y) const { return columns(y, y + 1).second >= 0; }
    int lineBands() const { // runs of inked rows: the text's lines
        int bands = 0;
        for (int y = 0; y < height; ++y)
            bands += rowInked(y) && (y == 0 || !rowInked(y - 1));
        return bands;
    }
    int lastRow() const {
        int y = height - 1;
        while (y >= 0 && !rowInked(y))
            --y;
        return y;
    }
    // First and last inked column of rows [y0, y1).
    std::pair<int, int> columns(int y0 = 0, int y1 = INT32_MAX) const {
        int first = width, last = -1;
        for (int y = y0; y < std::min(y1, height); ++y)
            for (int x = 0; x < width; ++x)
                if (inked(x, y)) first = std::min(first, x), last = std::max(last, x);
        return {first, last};
    }
};

// Draws into a buffer of the box's size unless another is given.
Drawn draw(const std::string& text, float boxW, float boxH, int32_t alignment = TextAlignmentLeft,
           float size = 24, int bufW = 0, int bufH = 0) {
    Drawn d{bufW ? bufW : static_cast<int>(boxW), bufH ? bufH : static_cast<int>(boxH), {}};
    d.pixels.assign(static_cast<size_t>(d.width) * d.height, 0);
    drawText(text, kFont, size, boxW, boxH, alignment, d.pixels.data(), d.width, d.height);
    return d;
}

// One line's height at 24 points (asked for when a test runs, not when the program starts).
int lineHeight() {
    return static_cast<int>(measureText("x", kFont, 24).height);
}

} // namespace

TEST(TextTest, FamilyNamesResolveThroughTheAliasTableAndFallBackWithOneLogLine) {
    LogRecorder log;
    EXPECT_EQ(resolvedFontFamily("Marker Felt"), "Comic Neue");
    EXPECT_EQ(resolvedFontFamily("DejaVu Sans"), "DejaVu Sans");
    EXPECT_TRUE(log.empty());
    EXPECT_FALSE(resolvedFontFamily("No Such Family 42").empty());
    EXPECT_GT(measureText("Hello", "No Such Family 42", 20).width, 0);
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("\"No Such Family 42\" not found"), std::string::npos) << log[0];
}

TEST(TextTest, MeasurementIsInWholePointsAndFitsItsOwnBox) {
    const int line = lineHeight();
    TextExtent one = measureText("Level 1", kFont, 24);
    EXPECT_EQ(one.width, std::floor(one.width));
    EXPECT_GT(one.width, 40);
    EXPECT_EQ(one.height, line);
    EXPECT_GE(line, 24);
    TextExtent two = measureText("Level 1\nMoves 3 to go", kFont, 24);
    EXPECT_NEAR(two.height, 2 * one.height, 1);
    EXPECT_EQ(two.width, measureText("Moves 3 to go", kFont, 24).width);
    EXPECT_EQ(measureText("", kFont, 24).width, 0);
    EXPECT_EQ(measureText("", kFont, 24).height, line);
    // A text drawn in the box it measured stays on one line (trailing spaces included).
    for (const char* text : {"Level 10", "Objective", "Level Complete", "Go Back  "}) {
        TextExtent e = measureText(text, kFont, 26);
        Drawn d = draw(text, e.width, e.height, TextAlignmentCenter, 26, static_cast<int>(e.width),
                       2 * static_cast<int>(e.height));
        EXPECT_EQ(d.lineBands(), 1) << text;
    }
}

// Words wrap in the box and a word too long breaks where it must; each line
// is aligned; line feeds start lines and lines below the box are left out.
TEST(TextTest, WordsWrapLinesAlignAndLinesBelowTheBoxAreLeftOut) {
    const int line = lineHeight();
    std::string text = "Move 3 sticks to form 4 squares";
    EXPECT_EQ(draw(text, 600, 100).lineBands(), 1);
    Drawn narrow = draw(text, 120, 300, TextAlignmentLeft, 24, 200, 300);
    EXPECT_GE(narrow.lineBands(), 3);
    EXPECT_LT(narrow.columns().second, 120);
    Drawn word = draw("Abcdefghijklmnopqrstuvwxyz", 60, 300, TextAlignmentLeft, 24, 100, 300);
    EXPECT_GE(word.lineBands(), 3);
    EXPECT_LT(word.columns().second, 60);

    EXPECT_LE(draw("Hi", 200, 40, TextAlignmentLeft).columns().first, 4);
    auto centre = draw("Hi", 200, 40, TextAlignmentCenter).columns();
    EXPECT_NEAR((centre.first + centre.second) / 2, 100, 4);
    Drawn right = draw("Level\nComplete", 200, 3 * line, TextAlignmentRight);
    EXPECT_GE(right.columns(0, line).second, 194);
    EXPECT_GE(right.columns(line, 2 * line).second, 194);

    EXPECT_EQ(draw("A\n\nB", 100, 4 * line).lineBands(), 2);
    Drawn cut = draw("One\nTwo\nThree\nFour", 100, 2.5f * line, TextAlignmentLeft, 24, 100, 5 * line);
    EXPECT_EQ(cut.lineBands(), 2);
    EXPECT_LT(cut.lastRow(), 2 * line);
    // A box lower than a line still shows the first line, cut at the box.
    Drawn low = draw("Tall", 100, line / 2.0f, TextAlignmentLeft, 24, 100, 2 * line);
    EXPECT_EQ(low.lineBands(), 1);
    EXPECT_LT(low.lastRow(), line / 2);
}

TEST(TextTest, Utf8ApostrophesDrawAndBadInputDrawsNothingOutOfBounds) {
    const int line = lineHeight();
    // U+2019 is a small mark high in the line; a missing glyph would be a tall box.
    Drawn apostrophe = draw("\xE2\x80\x99", 40, line);
    EXPECT_GE(apostrophe.lastRow(), 0);
    EXPECT_LT(apostrophe.lastRow(), line / 2);
    EXPECT_GT(measureText("it\xE2\x80\x99s", kFont, 24).width, measureText("its", kFont, 24).width);

    // Broken UTF-8 and boxes larger than their buffers are the text-layout fuzz corpus's.
    float nan = std::numeric_limits<float>::quiet_NaN();
    for (float size : {0.0f, -12.0f, nan}) {
        EXPECT_EQ(measureText("x", kFont, size).width, 0);
        EXPECT_EQ(draw("xyz", 50, 50, TextAlignmentLeft, size).lastRow(), -1);
    }
    EXPECT_EQ(draw("xyz", nan, 50, TextAlignmentLeft, 24, 50, 50).lastRow(), -1);
    drawText("x", kFont, 24, 10, 10, TextAlignmentLeft, nullptr, 10, 10);
}

TEST(TextTest, TheGlyphCacheIsBoundedInBytes) {
    // Thousands of distinct characters at a large size would otherwise keep
    // hundreds of megabytes of glyph pictures.
    platform::clearFontCache();
    std::string text;
    for (char32_t c = 0x100; c < 0x290; ++c) { // Latin Extended, Greek, Cyrillic: distinct glyphs
        text += static_cast<char>(0xC0 | (c >> 6));
        text += static_cast<char>(0x80 | (c & 0x3F));
    }
    size_t peak = 0;
    for (size_t part = 0; part < text.size(); part += 100) {
        platform::measureText(std::string_view(text).substr(part, 100), "Helvetica", 250);
        peak = std::max(peak, platform::glyphCacheBytes());
    }
    EXPECT_GT(peak, 1u << 20) << "the cache is in use";
    EXPECT_LE(peak, 5u << 20);
    platform::clearFontCache();
    EXPECT_EQ(platform::glyphCacheBytes(), 0u);
}
