// The game's pictures. Sizes are in points, one pixel per point: each
// picture is sized for where the screens put it.

#include "Drawing.h"
#include "Levels.h"
#include "ResourceGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <string>

using namespace art;

namespace {

constexpr double kDegrees = std::numbers::pi / 180;
constexpr double kStickLength = 96; // a stick's length on the board

// The board's stick: upright, head at the top, 96 long. Thin, as the board
// lays sticks end to end and side by side.
bool stick(const std::string& dir) {
    Canvas c(12, 96);
    drawMatch(c.cr(), 6, 48, 0, {93, 6.5, 10, 16});
    return c.save(dir + "/stick.png");
}

// The button of level index 9, inside the glass at the screen centre.
bool kochak(const std::string& dir) {
    Canvas c(44, 44);
    drawButton(c.cr(), 22, 22, 43);
    return c.save(dir + "/kochak.png");
}

// The table the menus sit on, with the game's name burnt into the wood at the
// top, dim enough that the white texts stay in front.
bool background(const std::string& dir) {
    Canvas c(320, 480);
    paintWoodTable(c);
    cairo_t* cr = c.cr();
    selectFont(cr, 34, true);
    setColor(cr, 0xe0b07a, 0.22);
    centredText(cr, "Tindervale", 160, 39);
    setColor(cr, 0x0a0402, 0.8);
    centredText(cr, "Tindervale", 160, 38);
    return c.save(dir + "/Default.png");
}

// Level buttons stand 30 apart, the newest open one at 1.2 times: a match
// whose head carries the number; a locked one is grey with a padlock.
bool levelButtons(const std::string& dir) {
    for (int n = 1; n <= kRegularLevelCount; ++n) {
        for (bool locked : {false, true}) {
            Canvas c(26, 80);
            cairo_t* cr = c.cr();
            drawMatch(cr, 13, 40.5, 0, {79, 9, 24, 24}, locked ? MatchLook::Locked : MatchLook::Fresh);
            if (locked) {
                drawPadlock(cr, 13, 13.5, 13);
            } else {
                selectFont(cr, n < 10 ? 16 : 14, true);
                shadowedText(cr, std::to_string(n), 13, 13, 0xffffff, 1.2);
            }
            char name[32];
            std::snprintf(name, sizeof name, "/level_stick%d%s.png", n, locked ? "_" : "");
            if (!c.save(dir + name)) return false;
        }
    }
    return true;
}

// Bonus buttons stand 60 apart: an open matchbox with a star, or a closed
// grey one with a padlock.
bool bonusButtons(const std::string& dir) {
    for (bool locked : {false, true}) {
        Canvas c(52, 44);
        cairo_t* cr = c.cr();
        if (!locked) {
            // The drawer pushed up, match heads showing.
            roundedRect(cr, 7, 5, 38, 16, 2);
            setColor(cr, 0xe9d2a2);
            cairo_fill(cr);
            const double lift[] = {0.5, 0, 1.2, 0.3, 0.9, 0};
            for (int i = 0; i < 6; ++i)
                drawMatch(cr, 11.2 + i * 5.9, 16 + lift[i], 0, {22, 3, 5.4, 7});
        }
        // The sleeve.
        const double top = locked ? 10 : 16;
        roundedRect(cr, 3, top, 46, 42 - top, 4);
        cairo_pattern_t* sleeve = cairo_pattern_create_linear(0, top, 0, 42);
        addStop(sleeve, 0, locked ? 0x8a8d92 : 0x3d7be0);
        addStop(sleeve, 1, locked ? 0x4b4e53 : 0x17408c);
        cairo_set_source(cr, sleeve);
        cairo_fill_preserve(cr);
        cairo_pattern_destroy(sleeve);
        setColor(cr, 0x000000, 0.45);
        cairo_set_line_width(cr, 1.2);
        cairo_stroke(cr);
        // Striking strip along the top edge.
        setColor(cr, locked ? 0x3a3a3a : 0x5a3a22);
        cairo_rectangle(cr, 5, top + 2, 42, 3);
        cairo_fill(cr);
        // Label.
        const double labelY = (top + 5 + 42) / 2;
        cairo_arc(cr, 26, labelY, 10.5, 0, 2 * std::numbers::pi);
        setColor(cr, locked ? 0xbfc2c6 : 0xfff4d6);
        cairo_fill(cr);
        if (locked) {
            drawPadlock(cr, 26, labelY, 13);
        } else {
            // A five-pointed star.
            cairo_new_path(cr);
            for (int i = 0; i < 10; ++i) {
                const double r = i % 2 ? 3.8 : 9;
                const double a = -std::numbers::pi / 2 + i * std::numbers::pi / 5;
                cairo_line_to(cr, 26 + r * std::cos(a), labelY + 0.6 + r * std::sin(a));
            }
            cairo_close_path(cr);
            setColor(cr, 0xf2a81d);
            cairo_fill_preserve(cr);
            setColor(cr, 0xa8560a);
            cairo_set_line_width(cr, 0.9);
            cairo_stroke(cr);
        }
        if (!c.save(dir + (locked ? "/bonus_.png" : "/bonus.png"))) return false;
    }
    return true;
}

// The objective pictures: a small slate in a wooden frame with the puzzle's
// start layout on it, and its title. Shown at 1.2 times left of the task text.
bool objectivePicture(const std::string& dir, int levelIndex) {
    const Level& level = *levelAt(levelIndex);
    Canvas c(100, 106);
    cairo_t* cr = c.cr();

    roundedRect(cr, 1, 1, 98, 104, 7);
    cairo_pattern_t* frame = cairo_pattern_create_linear(0, 0, 100, 106);
    addStop(frame, 0, 0xd9a766);
    addStop(frame, 1, 0x8a5526);
    cairo_set_source(cr, frame);
    cairo_fill(cr);
    cairo_pattern_destroy(frame);
    roundedRect(cr, 6, 6, 88, 94, 3);
    cairo_pattern_t* slate = cairo_pattern_create_linear(0, 6, 0, 100);
    addStop(slate, 0, 0x31443c);
    addStop(slate, 1, 0x1f2c27);
    cairo_set_source(cr, slate);
    cairo_fill(cr);
    cairo_pattern_destroy(slate);

    // Fit the figure's ends (not just the centres) into the slate above the title.
    double left = 1e9, right = -1e9, bottom = 1e9, top = -1e9;
    for (const StickPlacement& p : level.start) {
        const double a = p.rotation * kDegrees;
        const double dx = std::sin(a) * kStickLength / 2, dy = std::cos(a) * kStickLength / 2;
        left = std::min({left, p.x - std::abs(dx)});
        right = std::max({right, p.x + std::abs(dx)});
        bottom = std::min({bottom, p.y - std::abs(dy)});
        top = std::max({top, p.y + std::abs(dy)});
    }
    const double areaX = 11, areaY = 11, areaW = 78, areaH = 70;
    const double scale = std::min({areaW / (right - left), areaH / (top - bottom), 0.42});
    const double ox = areaX + (areaW - (right - left) * scale) / 2;
    const double oy = areaY + (areaH - (top - bottom) * scale) / 2;
    auto toPicture = [&](double x, double y) {
        return std::pair{ox + (x - left) * scale, oy + (top - y) * scale};
    };

    const double width = std::max(2.4, 8 * scale);
    const MatchShape shape{kStickLength * scale * 0.93, width, width * 1.55, width * 2.3};
    if (levelIndex == 9) {
        auto [bx, by] = toPicture(160, 240);
        drawButton(cr, bx, by, 44 * scale);
    }
    for (const StickPlacement& p : level.start) {
        auto [x, y] = toPicture(p.x, p.y);
        drawMatch(cr, x, y, p.rotation * kDegrees, shape);
    }

    selectFont(cr, 13, true);
    setColor(cr, 0xf4f1e8, 0.92);
    centredText(cr, levelTitle(levelIndex), 50, 90);

    char name[32];
    std::snprintf(name, sizeof name, "/level%d.png", levelIndex + 1);
    return c.save(dir + name);
}

// The first screen: the table, the game's name, and the sound question on a
// panel above where the Yes and No buttons stand, at (110, 250) and (210, 250).
bool message(const std::string& dir) {
    Canvas c(320, 480);
    cairo_t* cr = c.cr();
    paintWoodTable(c);
    // Picture y = 480 - screen y.
    selectFont(cr, 46, true);
    shadowedText(cr, "Tindervale", 160, 78, 0xfff3dc, 2.5);
    const MatchShape match{64, 6, 9.5, 15};
    drawMatch(cr, 54, 132, -90 * kDegrees, match);
    drawMatch(cr, 266, 132, 90 * kDegrees, match);
    selectFont(cr, 16, false);
    shadowedText(cr, "matchstick puzzles", 160, 132, 0xe8cfa4);

    roundedRect(cr, 24, 150, 272, 160, 18);
    setColor(cr, 0x120a05, 0.72);
    cairo_fill_preserve(cr);
    setColor(cr, 0xf2d6a8, 0.55);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    selectFont(cr, 27, true);
    shadowedText(cr, "Do you want sound?", 160, 184, 0xffffff);
    selectFont(cr, 15, false);
    shadowedText(cr, "You can change it later in Options", 160, 284, 0xe8d8bf);
    return c.save(dir + "/Message.png");
}

bool answerButton(const std::string& path, const std::string& text, uint32_t light, uint32_t dark) {
    Canvas c(84, 40);
    cairo_t* cr = c.cr();
    roundedRect(cr, 2, 2, 80, 36, 13);
    cairo_pattern_t* fill = cairo_pattern_create_linear(0, 2, 0, 38);
    addStop(fill, 0, light);
    addStop(fill, 1, dark);
    cairo_set_source(cr, fill);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(fill);
    setColor(cr, 0x000000, 0.5);
    cairo_set_line_width(cr, 1.5);
    cairo_stroke(cr);
    roundedRect(cr, 5, 4, 74, 14, 8);
    setColor(cr, 0xffffff, 0.18);
    cairo_fill(cr);
    selectFont(cr, 22, true);
    shadowedText(cr, text, 42, 20, 0xffffff, 1.3);
    return c.save(path);
}

// The help button in the bottom-right corner: info1.png normally, info.png
// while pressed.
bool infoButtons(const std::string& dir) {
    for (bool pressed : {false, true}) {
        Canvas c(32, 32);
        cairo_t* cr = c.cr();
        cairo_arc(cr, 16, 16, 13.5, 0, 2 * std::numbers::pi);
        setColor(cr, pressed ? 0xfff1d6 : 0x1a0f08, pressed ? 1.0 : 0.45);
        cairo_fill_preserve(cr);
        setColor(cr, pressed ? 0xe0a04a : 0xffffff);
        cairo_set_line_width(cr, 2.2);
        cairo_stroke(cr);
        selectFont(cr, 20, true);
        setColor(cr, pressed ? 0x5a2e0e : 0xffffff);
        centredText(cr, "i", 16, 16.5);
        if (!c.save(dir + (pressed ? "/info.png" : "/info1.png"))) return false;
    }
    return true;
}

// The frame-rate counter's characters: 16 x 24 tiles in one row, in
// character-code order from '.': ". / 0 1 2 3 4 5 6 7 8 9".
bool frameRateCharacters(const std::string& dir) {
    constexpr int kTileWidth = 16, kTileHeight = 24;
    const std::string characters = "./0123456789";
    Canvas c(kTileWidth * static_cast<int>(characters.size()), kTileHeight);
    cairo_t* cr = c.cr();
    selectFont(cr, 19, true);
    for (size_t i = 0; i < characters.size(); ++i) {
        const std::string ch(1, characters[i]);
        cairo_text_extents_t e;
        cairo_text_extents(cr, ch.c_str(), &e);
        const double x = i * kTileWidth + (kTileWidth - e.width) / 2 - e.x_bearing;
        const double baseline = 19;
        cairo_move_to(cr, x, baseline);
        cairo_text_path(cr, ch.c_str());
        setColor(cr, 0x000000, 0.85);
        cairo_set_line_width(cr, 2.6);
        cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
        cairo_stroke_preserve(cr);
        setColor(cr, 0xffffff);
        cairo_fill(cr);
    }
    return c.save(dir + "/fps_images.png");
}

// The particles' glow: white at the centre fading smoothly to transparent at
// the edge (cairo keeps colour premultiplied, the game premultiplies on load).
bool fireGlow(const std::string& dir) {
    constexpr int kSide = 32;
    Canvas c(kSide, kSide);
    cairo_t* cr = c.cr();
    const double r = kSide / 2.0;
    cairo_pattern_t* glow = cairo_pattern_create_radial(r, r, 0, r, r, r);
    for (int i = 0; i <= 16; ++i) {
        const double t = i / 16.0;
        addStop(glow, t, 0xffffff, (1 - t * t) * (1 - t * t));
    }
    cairo_set_source(cr, glow);
    cairo_paint(cr);
    cairo_pattern_destroy(glow);
    return c.save(dir + "/fire.png");
}

// The program's icon, for the window and the desktop: a matchstick lying
// across a square of the table's wood with rounded corners. Drawn on a
// 64-unit square and written at the sizes desktops ask for.
bool icon(const std::string& dir, int size) {
    Canvas wood(size, size);
    paintWoodTable(wood);
    Canvas c(size, size);
    cairo_t* cr = c.cr();
    const double k = size / 64.0;
    roundedRect(cr, 2 * k, 2 * k, 60 * k, 60 * k, 10 * k);
    cairo_set_source_surface(cr, wood.surface(), 0, 0);
    cairo_fill_preserve(cr);
    cairo_scale(cr, k, k);
    setColor(cr, 0x0a0402, 0.9);
    cairo_set_line_width(cr, 2);
    cairo_stroke(cr);
    drawMatch(cr, 32, 32, 45 * kDegrees, {52, 5, 9, 13});
    return c.save(dir + "/icon-" + std::to_string(size) + ".png");
}

} // namespace

// The icon sizes written (desktops pick among them; the window uses the 64).
const int kIconSizes[] = {16, 32, 48, 64, 128, 256};

bool writePictures(const std::string& dir) {
    // The icons are drawn for each size; the denser drawings are of the game's pictures only.
    bool iconsOk = true;
    if (density() == 1)
        for (int size : kIconSizes)
            iconsOk = iconsOk && icon(dir, size);
    bool ok = iconsOk && stick(dir) && kochak(dir) && background(dir) && levelButtons(dir) && bonusButtons(dir) &&
              message(dir) && answerButton(dir + "/BtnYes.png", "Yes", 0x6fcf6a, 0x2a7a2e) &&
              answerButton(dir + "/BtnNo.png", "No", 0xec6a5c, 0x9e2418) && infoButtons(dir) &&
              frameRateCharacters(dir) && fireGlow(dir);
    for (int i = 0; ok && i < kLevelCount; ++i)
        ok = objectivePicture(dir, i);
    return ok;
}
