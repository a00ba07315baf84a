#include "platform/Text.h"

#include "platform/Log.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <unordered_map>
#include <vector>

namespace platform {

namespace {

// Families of the handheld and what stands in for them here. The marker
// family is narrower than its stand-in: drawn at nine tenths of the size
// asked for, texts keep about the width the screens were laid out for.
struct FontAlias {
    const char* name;
    const char* family;
    const char* style; // null: the family's regular face
    float sizeScale = 1;
};
constexpr FontAlias kFontAliases[] = {
    {"Marker Felt", "Comic Neue", nullptr, 0.9f},    {"MarkerFelt-Thin", "Comic Neue", nullptr, 0.9f},
    {"MarkerFelt-Wide", "Comic Neue", "Bold", 0.9f}, {"Helvetica", "DejaVu Sans", nullptr},
    {"Helvetica-Bold", "DejaVu Sans", "Bold"},       {"Arial", "DejaVu Sans", nullptr},
    {"Courier", "DejaVu Sans Mono", nullptr},
};

float sizeScaleOf(const std::string& fontName) {
    for (const FontAlias& alias : kFontAliases)
        if (fontName == alias.name) return alias.sizeScale;
    return 1;
}
constexpr const char* kDefaultFamily = "sans-serif";

// Points above this are drawn at this size: nothing on a 320 x 480 screen needs more.
constexpr float kMaxPointSize = 512;
// Bytes of glyph pictures kept per face before its glyph cache starts afresh:
// a hundred glyphs at the largest size, thousands at text sizes.
constexpr size_t kMaxCachedGlyphBytes = 4 << 20;

using Fixed = long; // 26.6 fixed point, FreeType's unit for positions

struct Glyph {
    int width = 0;
    int rows = 0;
    int left = 0; // from the pen position to the bitmap's left edge, pixels
    int top = 0;  // from the baseline up to the bitmap's top row, pixels
    Fixed advance = 0;
    std::vector<uint8_t> coverage; // rows x width
};

struct Face {
    FT_Face face = nullptr;
    std::string family;
    Fixed charSize = -1;
    std::unordered_map<uint64_t, Glyph> glyphs; // (char size, glyph index)
    size_t glyphBytes = 0;                      // what `glyphs` holds, roughly

    ~Face() {
        if (face) FT_Done_Face(face);
    }
    bool setSize(float points) {
        Fixed size = static_cast<Fixed>(std::lround(points * 64));
        if (size == charSize) return true;
        if (FT_Set_Char_Size(face, 0, size, 72, 72) != 0) return false;
        charSize = size;
        return true;
    }
    const Glyph& glyph(FT_UInt index);
};

const Glyph& Face::glyph(FT_UInt index) {
    uint64_t key = (static_cast<uint64_t>(charSize) << 32) | index;
    if (auto it = glyphs.find(key); it != glyphs.end()) return it->second;
    if (glyphBytes >= kMaxCachedGlyphBytes) {
        glyphs.clear();
        glyphBytes = 0;
    }
    Glyph& g = glyphs[key];
    glyphBytes += sizeof(Glyph) + 32; // the entry and the map's node
    if (FT_Load_Glyph(face, index, FT_LOAD_DEFAULT) != 0) return g;
    FT_GlyphSlot slot = face->glyph;
    g.advance = slot->advance.x;
    if (slot->format != FT_GLYPH_FORMAT_BITMAP && FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return g;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY && bm.pixel_mode != FT_PIXEL_MODE_MONO) return g;
    g.width = static_cast<int>(bm.width);
    g.rows = static_cast<int>(bm.rows);
    g.left = slot->bitmap_left;
    g.top = slot->bitmap_top;
    g.coverage.resize(static_cast<size_t>(g.width) * g.rows);
    glyphBytes += g.coverage.size();
    for (int y = 0; y < g.rows; ++y) {
        const uint8_t* row = bm.buffer + static_cast<ptrdiff_t>(y) * bm.pitch;
        for (int x = 0; x < g.width; ++x) {
            uint8_t v =
                bm.pixel_mode == FT_PIXEL_MODE_GRAY ? row[x] : ((row[x / 8] >> (7 - x % 8)) & 1) * 255;
            g.coverage[static_cast<size_t>(y) * g.width + x] = v;
        }
    }
    return g;
}

class FontCache {
  public:
    static FontCache& shared() {
        static FontCache cache;
        return cache;
    }
    ~FontCache() {
        clear();
        if (library_) FT_Done_FreeType(library_);
    }

    // The face for a font name; null when no font at all can be loaded.
    Face* faceFor(const std::string& fontName);

    void clear() {
        byName_.clear();
        byFile_.clear();
    }
    size_t glyphBytes() const {
        size_t total = 0;
        for (const auto& [key, face] : byFile_)
            total += face->glyphBytes;
        return total;
    }

  private:
    FontCache() {
        if (FT_Init_FreeType(&library_) != 0) {
            library_ = nullptr;
            ccLog("Cannot start FreeType: text will not be drawn");
        }
    }
    // The best installed match for a family, and whether it really is that family.
    Face* match(const char* family, const char* style, bool* exact);
    Face* open(const std::string& file, int index);

    FT_Library library_ = nullptr;
    std::map<std::string, Face*> byName_;                 // font name -> face (null: none)
    std::map<std::string, std::unique_ptr<Face>> byFile_; // "file#index" -> face
};

Face* FontCache::open(const std::string& file, int index) {
    std::string key = file + "#" + std::to_string(index);
    if (auto it = byFile_.find(key); it != byFile_.end()) return it->second.get();
    auto face = std::make_unique<Face>();
    if (FT_New_Face(library_, file.c_str(), index, &face->face) != 0) {
        face->face = nullptr;
        ccLogf("Cannot load the font file %s", file.c_str());
        return nullptr;
    }
    if (face->face->family_name) face->family = face->face->family_name;
    Face* result = face.get();
    byFile_[key] = std::move(face);
    return result;
}

Face* FontCache::match(const char* family, const char* style, bool* exact) {
    *exact = false;
    if (!FcInit()) return nullptr;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return nullptr;
    FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
    if (style) FcPatternAddString(pattern, FC_STYLE, reinterpret_cast<const FcChar8*>(style));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* found = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!found) return nullptr;

    Face* face = nullptr;
    FcChar8* file = nullptr;
    int index = 0;
    if (FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch && file) {
        FcPatternGetInteger(found, FC_INDEX, 0, &index);
        face = open(reinterpret_cast<const char*>(file), index);
    }
    // Fontconfig always offers something; it is only a match when the family is the one asked for.
    FcChar8* name = nullptr;
    for (int i = 0; FcPatternGetString(found, FC_FAMILY, i, &name) == FcResultMatch; ++i)
        if (FcStrCmpIgnoreCase(name, reinterpret_cast<const FcChar8*>(family)) == 0) *exact = true;
    FcPatternDestroy(found);
    return face;
}

Face* FontCache::faceFor(const std::string& fontName) {
    if (auto it = byName_.find(fontName); it != byName_.end()) return it->second;
    Face* face = nullptr;
    if (library_) {
        const char* family = fontName.c_str();
        const char* style = nullptr;
        for (const FontAlias& alias : kFontAliases)
            if (fontName == alias.name) {
                family = alias.family;
                style = alias.style;
            }
        bool exact = false;
        face = fontName.empty() ? nullptr : match(family, style, &exact);
        if (!exact) {
            face = match(kDefaultFamily, nullptr, &exact);
            ccLogf("Font \"%s\" not found; using the default face (%s)", fontName.c_str(),
                   face ? face->family.c_str() : "none available");
        }
    }
    byName_[fontName] = face;
    return face;
}

// ---- text

std::u32string decodeUTF8(std::string_view s) {
    std::u32string out;
    out.reserve(s.size());
    size_t i = 0;
    while (i < s.size()) {
        auto byte = [&](size_t k) { return static_cast<uint8_t>(s[k]); };
        uint8_t b = byte(i);
        int length = b < 0x80 ? 1 : (b >> 5) == 0x6 ? 2 : (b >> 4) == 0xE ? 3 : (b >> 3) == 0x1E ? 4 : 0;
        char32_t c = length == 1 ? b : length == 2 ? b & 0x1F : length == 3 ? b & 0x0F : b & 0x07;
        bool valid = length > 0 && i + length <= s.size();
        for (int k = 1; valid && k < length; ++k) {
            if ((byte(i + k) & 0xC0) != 0x80) valid = false;
            c = (c << 6) | (byte(i + k) & 0x3F);
        }
        static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
        if (valid && (c < kSmallest[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF))) valid = false;
        if (!valid) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        out.push_back(c);
        i += length;
    }
    return out;
}

struct Line {
    size_t begin = 0;
    size_t end = 0;  // one past the last glyph drawn
    Fixed width = 0; // without trailing spaces
};

// A text ready to be laid out: glyphs and their advances (kerning included).
struct ShapedText {
    std::vector<FT_UInt> glyphs;
    std::vector<Fixed> advances;
    std::vector<bool> isSpace;
    std::vector<bool> isLineFeed;
};

ShapedText shape(Face& face, std::string_view utf8) {
    ShapedText t;
    std::u32string chars = decodeUTF8(utf8);
    bool kerning = FT_HAS_KERNING(face.face);
    FT_UInt previous = 0;
    for (char32_t c : chars) {
        if (c == '\r' || (c < 0x20 && c != '\n' && c != '\t')) continue;
        bool lineFeed = c == '\n';
        if (c == '\t') c = ' ';
        FT_UInt index = lineFeed ? 0 : FT_Get_Char_Index(face.face, c);
        Fixed advance = lineFeed ? 0 : face.glyph(index).advance;
        if (kerning && previous && index) {
            FT_Vector delta{};
            if (FT_Get_Kerning(face.face, previous, index, FT_KERNING_DEFAULT, &delta) == 0 &&
                !t.advances.empty())
                t.advances.back() += delta.x;
        }
        previous = lineFeed ? 0 : index;
        t.glyphs.push_back(index);
        t.advances.push_back(advance);
        t.isSpace.push_back(c == ' ');
        t.isLineFeed.push_back(lineFeed);
    }
    return t;
}

Line finishLine(const ShapedText& t, size_t begin, size_t end) {
    Line line{begin, end, 0};
    size_t last = end;
    while (last > begin && t.isSpace[last - 1])
        --last;
    for (size_t i = begin; i < last; ++i)
        line.width += t.advances[i];
    return line;
}

// Breaks the text into lines no wider than `maxWidth` (26.6; negative: no limit).
std::vector<Line> layOut(const ShapedText& t, Fixed maxWidth) {
    std::vector<Line> lines;
    size_t n = t.glyphs.size();
    size_t pos = 0;
    bool startOfParagraph = true;
    while (true) {
        size_t begin = pos;
        if (!startOfParagraph) {
            while (begin < n && t.isSpace[begin])
                ++begin; // a wrapped line starts at its word
            if (begin == n) break;
            if (t.isLineFeed[begin]) { // only spaces were left: the paragraph is done
                pos = begin + 1;
                startOfParagraph = true;
                continue;
            }
        }
        size_t i = begin;
        size_t lastSpace = SIZE_MAX;
        Fixed width = 0;
        size_t next = SIZE_MAX;
        for (; i < n && !t.isLineFeed[i]; ++i) {
            if (maxWidth >= 0 && width + t.advances[i] > maxWidth && i > begin) {
                if (t.isSpace[i])
                    next = i;
                else if (lastSpace != SIZE_MAX)
                    next = lastSpace + 1, i = lastSpace;
                else
                    next = i; // one word wider than the box: break inside it
                break;
            }
            if (t.isSpace[i]) lastSpace = i;
            width += t.advances[i];
        }
        if (next != SIZE_MAX) {
            lines.push_back(finishLine(t, begin, i));
            pos = next;
            startOfParagraph = false;
            continue;
        }
        lines.push_back(finishLine(t, begin, i));
        if (i >= n) break;
        pos = i + 1; // past the line feed
        startOfParagraph = true;
    }
    return lines;
}

Fixed lineHeightOf(const Face& face) {
    Fixed h = face.face->size->metrics.height;
    return h > 0 ? h : face.face->size->metrics.ascender - face.face->size->metrics.descender;
}

Face* faceAtSize(const std::string& fontName, float pointSize) {
    if (!std::isfinite(pointSize) || pointSize <= 0) return nullptr;
    Face* face = FontCache::shared().faceFor(fontName);
    if (!face || !face->setSize(std::min(pointSize * sizeScaleOf(fontName), kMaxPointSize))) return nullptr;
    return face;
}

float ceilPoints(Fixed v) {
    return static_cast<float>((v + 63) / 64);
}

} // namespace

std::string resolvedFontFamily(const std::string& fontName) {
    Face* face = FontCache::shared().faceFor(fontName);
    return face ? face->family : std::string();
}

TextExtent measureText(std::string_view text, const std::string& fontName, float pointSize) {
    Face* face = faceAtSize(fontName, pointSize);
    if (!face) return {};
    ShapedText shaped = shape(*face, text);
    std::vector<Line> lines = layOut(shaped, -1);
    Fixed width = 0;
    for (const Line& line : lines) {
        Fixed w = 0; // trailing spaces count when measuring
        for (size_t i = line.begin; i < line.end; ++i)
            w += shaped.advances[i];
        width = std::max(width, w);
    }
    return {ceilPoints(width), ceilPoints(lineHeightOf(*face) * static_cast<Fixed>(lines.size()))};
}

void drawText(std::string_view text, const std::string& fontName, float pointSize, float boxWidth,
              float boxHeight, int32_t alignment, uint8_t* coverage, int stride, int rows) {
    if (!coverage || stride <= 0 || rows <= 0) return;
    if (!(boxWidth > 0) || !(boxHeight > 0)) return; // also NaN
    Face* face = faceAtSize(fontName, pointSize);
    if (!face) return;
    // Pixels outside both the box and the buffer are never written.
    int clipWidth = std::min(stride, static_cast<int>(std::min(boxWidth, 1e6f)));
    int clipHeight = std::min(rows, static_cast<int>(std::min(boxHeight, 1e6f)));
    Fixed maxWidth = static_cast<Fixed>(std::min(boxWidth, 1e6f) * 64);
    Fixed boxHeightFixed = static_cast<Fixed>(std::min(boxHeight, 1e6f) * 64);

    ShapedText shaped = shape(*face, text);
    std::vector<Line> lines = layOut(shaped, maxWidth);
    Fixed lineHeight = lineHeightOf(*face);
    Fixed ascender = face->face->size->metrics.ascender;
    for (size_t n = 0; n < lines.size(); ++n) {
        Fixed top = lineHeight * static_cast<Fixed>(n);
        // Only whole lines are shown, but the first one always (clipped to the box).
        if (n > 0 && top + lineHeight > boxHeightFixed) break;
        const Line& line = lines[n];
        Fixed pen = alignment == TextAlignmentCenter  ? (maxWidth - line.width) / 2
                    : alignment == TextAlignmentRight ? maxWidth - line.width
                                                      : 0;
        pen = (std::max<Fixed>(pen, 0) + 32) & ~63; // whole pixels keep the glyphs crisp
        int baseline = static_cast<int>((top + ascender + 32) >> 6);
        for (size_t i = line.begin; i < line.end; ++i) {
            const Glyph& g = face->glyph(shaped.glyphs[i]);
            int x0 = static_cast<int>(pen >> 6) + g.left;
            int y0 = baseline - g.top;
            for (int y = std::max(0, -y0); y < g.rows && y0 + y < clipHeight; ++y) {
                uint8_t* out = coverage + static_cast<ptrdiff_t>(y0 + y) * stride;
                const uint8_t* in = &g.coverage[static_cast<size_t>(y) * g.width];
                for (int x = std::max(0, -x0); x < g.width && x0 + x < clipWidth; ++x)
                    out[x0 + x] = std::max(out[x0 + x], in[x]);
            }
            pen += shaped.advances[i];
        }
    }
}

void clearFontCache() {
    FontCache::shared().clear();
}

size_t glyphCacheBytes() {
    return FontCache::shared().glyphBytes();
}

} // namespace platform
