// The engine's tile-map and trail resources (the game uses neither; tests and
// demos do): a picture of numbered tiles, one small map written as a TGA file
// in every kind the engine reads, and a soft strip texture for motion streaks.

#include "Drawing.h"
#include "ResourceGenerator.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <numbers>
#include <string>
#include <vector>

using namespace art;

namespace {

constexpr int kTile = 32;       // tile side in pixels
constexpr int kTilesAcross = 4; // 4 x 4 tiles, numbered 0..15 left to right, top to bottom
constexpr int kMapWidth = 10, kMapHeight = 8;

// 16 tiles of distinct hues, each with its number, so a tile drawn in the
// wrong place or the wrong way up shows.
bool tilePicture(const std::string& dir) {
    Canvas c(kTile * kTilesAcross, kTile * kTilesAcross);
    cairo_t* cr = c.cr();
    for (int n = 0; n < kTilesAcross * kTilesAcross; ++n) {
        const double x = (n % kTilesAcross) * kTile, y = (n / kTilesAcross) * kTile;
        // Hues around the circle, alternating light and dark so neighbours differ.
        const double hue = n * 2 * std::numbers::pi / 16;
        const double light = n % 2 ? 0.45 : 0.7;
        auto channel = [&](double shift) { return light + 0.3 * std::cos(hue + shift); };
        cairo_rectangle(cr, x, y, kTile, kTile);
        cairo_set_source_rgb(cr, channel(0), channel(2 * std::numbers::pi / 3),
                             channel(4 * std::numbers::pi / 3));
        cairo_fill(cr);
        cairo_rectangle(cr, x + 1, y + 1, kTile - 2, kTile - 2);
        setColor(cr, 0x000000, 0.5);
        cairo_set_line_width(cr, 2);
        cairo_stroke(cr);
        // A corner mark at the tile's top left: a tile turned or mirrored shows it.
        cairo_rectangle(cr, x + 3, y + 3, 6, 6);
        setColor(cr, 0xffffff);
        cairo_fill(cr);
        selectFont(cr, 15, true);
        shadowedText(cr, std::to_string(n), x + kTile / 2.0 + 2, y + kTile / 2.0 + 2, 0xffffff, 1.2);
    }
    return c.save(dir + "/tiles.png");
}

// Cell (x, y), y = 0 the bottom row: its tile (0 = empty). Two rows of one
// ground tile (long runs for the run-length files), then tiles of every
// number; an L of empty cells and an empty top-right corner make the map's
// orientation plain.
int tileAt(int x, int y) {
    if (y < 2) return 13;
    if ((x == 1 && y >= 3 && y <= 6) || (y == 3 && x >= 1 && x <= 3) || (x == 9 && y == 7)) return 0;
    return 1 + (x + 3 * y) % 15;
}

struct MapKind {
    const char* name;
    uint8_t type; // 2 colour, 3 grey, 10 run-length colour
    uint8_t depth;
    bool topLeft;   // rows stored top first
    const char* id; // the image ID field after the header
};

// One pixel as the file stores it: colour as B, G, R(, A), the tile in red;
// green and blue are not drawn and carry fixed values (7, 9).
std::vector<uint8_t> pixel(int depth, int x, int y) {
    const auto t = static_cast<uint8_t>(tileAt(x, y));
    switch (depth) {
    case 8:
        return {t};
    case 16:
        return {t, 0};
    case 24:
        return {9, 7, t};
    default:
        return {9, 7, t, 255};
    }
}

// Run-length packets: runs of equal pixels repeat, everything else goes literally, at most 128 a packet.
std::vector<uint8_t> encodeRLE(const std::vector<std::vector<uint8_t>>& pixels) {
    std::vector<uint8_t> out;
    size_t i = 0;
    while (i < pixels.size()) {
        size_t run = 1;
        while (i + run < pixels.size() && run < 128 && pixels[i + run] == pixels[i])
            ++run;
        if (run >= 2) {
            out.push_back(static_cast<uint8_t>(0x80 + run - 1));
            out.insert(out.end(), pixels[i].begin(), pixels[i].end());
            i += run;
            continue;
        }
        size_t literal = 1;
        while (i + literal < pixels.size() && literal < 128 &&
               !(i + literal + 1 < pixels.size() && pixels[i + literal] == pixels[i + literal + 1]))
            ++literal;
        out.push_back(static_cast<uint8_t>(literal - 1));
        for (size_t k = 0; k < literal; ++k)
            out.insert(out.end(), pixels[i + k].begin(), pixels[i + k].end());
        i += literal;
    }
    return out;
}

bool writeMap(const std::string& dir, const MapKind& kind) {
    const std::string id = kind.id;
    std::vector<uint8_t> file = {
        static_cast<uint8_t>(id.size()),
        0,
        kind.type,
        0,
        0,
        0,
        0,
        0,
        0,
        0,
        0,
        0,
        kMapWidth,
        0,
        kMapHeight,
        0,
        kind.depth,
        static_cast<uint8_t>((kind.topLeft ? 0x20 : 0) | (kind.depth == 32 ? 8 : 0))};
    file.insert(file.end(), id.begin(), id.end());
    std::vector<std::vector<uint8_t>> pixels;
    for (int row = 0; row < kMapHeight; ++row) {
        const int y = kind.topLeft ? kMapHeight - 1 - row : row;
        for (int x = 0; x < kMapWidth; ++x)
            pixels.push_back(pixel(kind.depth, x, y));
    }
    if (kind.type == 10) {
        const std::vector<uint8_t> packed = encodeRLE(pixels);
        file.insert(file.end(), packed.begin(), packed.end());
    } else {
        for (const auto& p : pixels)
            file.insert(file.end(), p.begin(), p.end());
    }
    const std::string path = dir + "/" + kind.name;
    std::FILE* out = std::fopen(path.c_str(), "wb");
    bool ok = out && std::fwrite(file.data(), 1, file.size(), out) == file.size();
    if (out && std::fclose(out) != 0) ok = false;
    if (!ok) std::fprintf(stderr, "cannot write %s\n", path.c_str());
    return ok;
}

// The strip a motion streak draws: white, opaque along the middle and soft
// towards both edges (s runs across the strip, t along it).
bool streakTexture(const std::string& dir) {
    Canvas c(32, 32);
    cairo_t* cr = c.cr();
    cairo_pattern_t* across = cairo_pattern_create_linear(0, 0, 32, 0);
    addStop(across, 0, 0xffffff, 0);
    addStop(across, 0.3, 0xffffff, 0.85);
    addStop(across, 0.5, 0xffffff, 1);
    addStop(across, 0.7, 0xffffff, 0.85);
    addStop(across, 1, 0xffffff, 0);
    cairo_set_source(cr, across);
    cairo_paint(cr);
    cairo_pattern_destroy(across);
    return c.save(dir + "/streak.png");
}

} // namespace

bool writeTileMaps(const std::string& dir) {
    const MapKind kinds[] = {
        {"map-raw8.tga", 3, 8, false, ""},
        {"map-raw16.tga", 2, 16, false, ""},
        {"map-raw24.tga", 2, 24, false, "Tindervale tile map"},
        {"map-raw32.tga", 2, 32, true, ""},
        {"map-rle8.tga", 10, 8, false, ""},
        {"map-rle16.tga", 10, 16, true, ""},
        {"map-rle24.tga", 10, 24, true, "Tindervale tile map"},
        {"map-rle32.tga", 10, 32, false, ""},
    };
    if (!tilePicture(dir) || !streakTexture(dir)) return false;
    for (const MapKind& kind : kinds)
        if (!writeMap(dir, kind)) return false;
    return true;
}
