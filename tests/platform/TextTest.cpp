#include "platform/Log.h"
#include "platform/Text.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

using namespace platform;

namespace {

const std::string kFont = "Marker Felt";

// A coverage buffer with the text drawn into it, and where its ink is.
struct Drawn {
    int width, height;
    std::vector<uint8_t> pixels;
    Drawn(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h, 0) {}
    bool inked(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x] > 64; }
    bool rowInked(int y, int x0 = 0, int x1 = -1) const {
        for (int x = x0; x < (x1 < 0 ? width : x1); ++x)
            if (inked(x, y)) return true;
        return false;
    }
    // Groups of consecutive inked rows: the text's lines.
    int lineBands() const {
        int bands = 0;
        for (int y = 0; y < height; ++y)
            if (rowInked(y) && (y == 0 || !rowInked(y - 1))) ++bands;
        return bands;
    }
    int firstInkedColumn() const {
        for (int x = 0; x < width; ++x)
            for (int y = 0; y < height; ++y)
                if (inked(x, y)) return x;
        return -1;
    }
    int lastInkedColumn() const {
        for (int x = width - 1; x >= 0; --x)
            for (int y = 0; y < height; ++y)
                if (inked(x, y)) return x;
        return -1;
    }
    int lastInkedRow() const {
        for (int y = height - 1; y >= 0; --y)
            if (rowInked(y)) return y;
        return -1;
    }
};

Drawn draw(const std::string& text, float boxW, float boxH, int32_t alignment, float size = 24, int bufW = 0,
           int bufH = 0) {
    Drawn d(bufW ? bufW : static_cast<int>(boxW), bufH ? bufH : static_cast<int>(boxH));
    drawText(text, kFont, size, boxW, boxH, alignment, d.pixels.data(), d.width, d.height);
    return d;
}

float lineHeight(float size = 24) { return measureText("x", kFont, size).height; }

class TextTest : public ::testing::Test {
  protected:
    void SetUp() override {
        setLogSink([this](std::string_view line) { log.emplace_back(line); });
    }
    void TearDown() override { setLogSink(nullptr); }
    std::vector<std::string> log;
};

} // namespace

TEST_F(TextTest, FamilyNamesResolveThroughTheAliasTableAndFallBackOnce) {
    EXPECT_EQ(resolvedFontFamily("Marker Felt"), "Comic Neue");
    EXPECT_EQ(resolvedFontFamily("DejaVu Sans"), "DejaVu Sans");
    EXPECT_TRUE(log.empty());

    std::string fallback = resolvedFontFamily("No Such Family 42");
    EXPECT_FALSE(fallback.empty());
    ASSERT_EQ(log.size(), 1u);
    EXPECT_NE(log[0].find("\"No Such Family 42\" not found"), std::string::npos) << log[0];
    // The fallback draws, and the name is not looked up (or logged) again.
    EXPECT_GT(measureText("Hello", "No Such Family 42", 20).width, 0);
    EXPECT_EQ(log.size(), 1u);
}

TEST_F(TextTest, MeasurementIsInWholePointsAndHonoursLineFeeds) {
    TextExtent one = measureText("Level 1", kFont, 24);
    EXPECT_GT(one.width, 40);
    EXPECT_EQ(one.width, std::floor(one.width));
    EXPECT_EQ(one.height, std::floor(one.height));
    EXPECT_GE(one.height, 24);
    EXPECT_LE(one.height, 40);

    TextExtent two = measureText("Level 1\nMoves 3 to go", kFont, 24);
    EXPECT_NEAR(two.height, 2 * one.height, 1);
    EXPECT_EQ(two.width, measureText("Moves 3 to go", kFont, 24).width);

    TextExtent empty = measureText("", kFont, 24);
    EXPECT_EQ(empty.width, 0);
    EXPECT_EQ(empty.height, one.height);
    EXPECT_GT(measureText("Level 1", kFont, 48).width, one.width * 1.8f);
}

TEST_F(TextTest, AMeasuredTextFitsItsOwnBoxOnOneLine) {
    for (const char* text : {"Level 10", "Moves 0", "Objective", "Level Complete", "Go Back  "}) {
        TextExtent e = measureText(text, kFont, 26);
        Drawn d = draw(text, e.width, e.height, TextAlignmentCenter, 26, static_cast<int>(e.width),
                       static_cast<int>(e.height) * 2);
        EXPECT_EQ(d.lineBands(), 1) << text;
        EXPECT_LT(d.lastInkedRow(), static_cast<int>(e.height)) << text;
    }
}

TEST_F(TextTest, WordsWrapInTheBoxAndALongWordBreaksWhereItMust) {
    std::string text = "Move 3 sticks to form 4 squares";
    Drawn wide = draw(text, 600, 100, TextAlignmentLeft);
    EXPECT_EQ(wide.lineBands(), 1);
    Drawn narrow = draw(text, 120, 300, TextAlignmentLeft, 24, 200, 300);
    EXPECT_GE(narrow.lineBands(), 3);
    EXPECT_LT(narrow.lastInkedColumn(), 120);

    Drawn word = draw("Abcdefghijklmnopqrstuvwxyz", 60, 300, TextAlignmentLeft, 24, 100, 300);
    EXPECT_GE(word.lineBands(), 3);
    EXPECT_LT(word.lastInkedColumn(), 60);
}

TEST_F(TextTest, LinesAlignLeftCentreOrRight) {
    Drawn left = draw("Hi", 200, 40, TextAlignmentLeft);
    Drawn centre = draw("Hi", 200, 40, TextAlignmentCenter);
    Drawn right = draw("Hi", 200, 40, TextAlignmentRight);
    EXPECT_LE(left.firstInkedColumn(), 4);
    EXPECT_GE(right.lastInkedColumn(), 194);
    int middle = (centre.firstInkedColumn() + centre.lastInkedColumn()) / 2;
    EXPECT_NEAR(middle, 100, 4);
    // Each line of a wrapped paragraph is aligned on its own.
    Drawn lines = draw("Level\nComplete", 200, 80, TextAlignmentRight);
    int h = static_cast<int>(lineHeight());
    int firstLineEnd = -1, secondLineEnd = -1;
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 2 * h && y < 80; ++y)
            if (lines.inked(x, y)) (y < h ? firstLineEnd : secondLineEnd) = x;
    EXPECT_GE(firstLineEnd, 194);
    EXPECT_GE(secondLineEnd, 194);
}

TEST_F(TextTest, LineFeedsStartLinesAndLinesBelowTheBoxAreLeftOut) {
    int h = static_cast<int>(lineHeight());
    EXPECT_EQ(draw("A\nB", 100, 4 * h, TextAlignmentLeft).lineBands(), 2);
    EXPECT_EQ(draw("A\n\nB", 100, 4 * h, TextAlignmentLeft).lineBands(), 2);

    // Two and a half lines of room: two whole lines show, nothing below them.
    Drawn cut = draw("One\nTwo\nThree\nFour", 100, 2.5f * h, TextAlignmentLeft, 24, 100, 5 * h);
    EXPECT_EQ(cut.lineBands(), 2);
    EXPECT_LT(cut.lastInkedRow(), 2 * h);
    // A box lower than one line still shows the first line, cut at the box.
    Drawn low = draw("Tall", 100, h / 2.0f, TextAlignmentLeft, 24, 100, 2 * h);
    EXPECT_EQ(low.lineBands(), 1);
    EXPECT_LT(low.lastInkedRow(), h / 2);
}

TEST_F(TextTest, Utf8TextDrawsTypographicApostrophes) {
    int h = static_cast<int>(lineHeight());
    // U+2019 is a small mark high in the line; a missing glyph would be a tall box.
    Drawn apostrophe = draw("\xE2\x80\x99", 40, h, TextAlignmentLeft);
    ASSERT_GE(apostrophe.lastInkedRow(), 0);
    EXPECT_LT(apostrophe.lastInkedRow(), h / 2);
    EXPECT_GT(measureText("it\xE2\x80\x99s", kFont, 24).width, measureText("its", kFont, 24).width);
    // Broken UTF-8 draws without reading past the text.
    for (std::string broken : {"\xE2\x80", "\xFF\xFE", "ab\xC3", "\xF4\x90\x80\x80", "\xED\xA0\x80"})
        draw(broken, 100, h, TextAlignmentLeft);
}

TEST_F(TextTest, NonsenseSizesAndSmallBuffersDrawNothingOutOfBounds) {
    float nan = std::numeric_limits<float>::quiet_NaN();
    for (float size : {0.0f, -12.0f, nan}) {
        EXPECT_EQ(measureText("x", kFont, size).width, 0);
        EXPECT_EQ(draw("xyz", 50, 50, TextAlignmentLeft, size).lastInkedRow(), -1);
    }
    EXPECT_EQ(draw("xyz", nan, 50, TextAlignmentLeft, 24, 50, 50).lastInkedRow(), -1);
    // A box larger than the buffer: drawing stops at the buffer's edges.
    Drawn small = draw("Wide text that goes on\nand on\nand on", 400, 400, TextAlignmentRight, 40, 16, 16);
    EXPECT_EQ(small.pixels.size(), 256u);
    drawText("x", kFont, 24, 10, 10, TextAlignmentLeft, nullptr, 10, 10);
}
