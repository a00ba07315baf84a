#pragma once
// Text to pixels: fonts looked up by family name, text measured on one line
// or word-wrapped and aligned in a box, drawn as 8-bit coverage (0 = empty,
// 255 = fully inked). Sizes are in points, drawn at one pixel per point.
// Failures: logged here (see Log.h).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// Where lines sit in their box (the values the engine's callers pass).
enum TextAlignment : int32_t {
    TextAlignmentLeft = 0,
    TextAlignmentCenter = 1,
    TextAlignmentRight = 2,
};

struct TextExtent {
    float width = 0;
    float height = 0;
};

// The family `fontName` is drawn with: the name itself when installed, its
// stand-in for the handheld's families ("Marker Felt" -> "Comic Neue"), else
// the default face (logged once per name). Empty when no font can be loaded.
std::string resolvedFontFamily(const std::string& fontName);

// The size of UTF-8 `text` set without wrapping (a line feed starts a new
// line), rounded up to whole points. An empty text is one empty line high.
TextExtent measureText(std::string_view text, const std::string& fontName, float pointSize);

// Draws UTF-8 `text` into `coverage` (`stride` bytes per row, `rows` rows,
// top row first), laid out from the top-left inside a box of boxWidth x
// boxHeight points: words wrap at the box's width (a word wider than the box
// is broken where it must), line feeds start new lines, lines are aligned
// left, centred or right, and lines that do not fit the box's height are left
// out. Nothing is drawn outside the box or the buffer.
void drawText(std::string_view text, const std::string& fontName, float pointSize, float boxWidth,
              float boxHeight, int32_t alignment, uint8_t* coverage, int stride, int rows);

// Lets go of every loaded face and rendered glyph (they are kept between
// calls because labels may re-render their text every frame).
void clearFontCache();
// What the rendered glyphs kept for reuse take, in bytes; bounded per face.
size_t glyphCacheBytes();

} // namespace platform
