#include "Drawing.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace art {

namespace {
int currentDensity = 1;
}

void setDensity(int d) {
    currentDensity = d < 1 ? 1 : d;
}

int density() {
    return currentDensity;
}

Canvas::Canvas(int width, int height)
    : width_(width), height_(height), density_(currentDensity),
      surface_(cairo_image_surface_create(CAIRO_FORMAT_ARGB32, width * density_, height * density_)),
      cr_(cairo_create(surface_)) {
    cairo_set_antialias(cr_, CAIRO_ANTIALIAS_GOOD);
    cairo_scale(cr_, density_, density_);
}

Canvas::~Canvas() {
    cairo_destroy(cr_);
    cairo_surface_destroy(surface_);
}

bool Canvas::save(const std::string& path) const {
    cairo_surface_flush(surface_);
    std::string file = path;
    if (density_ > 1) {
        size_t dot = file.rfind('.');
        file.insert(dot == std::string::npos ? file.size() : dot, "@" + std::to_string(density_) + "x");
    }
    cairo_status_t status = cairo_surface_write_to_png(surface_, file.c_str());
    if (status != CAIRO_STATUS_SUCCESS) {
        std::fprintf(stderr, "cannot write %s: %s\n", file.c_str(), cairo_status_to_string(status));
        return false;
    }
    return true;
}

void setColor(cairo_t* cr, uint32_t rgb, double alpha) {
    cairo_set_source_rgba(cr, ((rgb >> 16) & 0xff) / 255.0, ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0,
                          alpha);
}

void addStop(cairo_pattern_t* pattern, double offset, uint32_t rgb, double alpha) {
    cairo_pattern_add_color_stop_rgba(pattern, offset, ((rgb >> 16) & 0xff) / 255.0,
                                      ((rgb >> 8) & 0xff) / 255.0, (rgb & 0xff) / 255.0, alpha);
}

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius) {
    const double pi = std::numbers::pi;
    cairo_new_sub_path(cr);
    cairo_arc(cr, x + w - radius, y + radius, radius, -pi / 2, 0);
    cairo_arc(cr, x + w - radius, y + h - radius, radius, 0, pi / 2);
    cairo_arc(cr, x + radius, y + h - radius, radius, pi / 2, pi);
    cairo_arc(cr, x + radius, y + radius, radius, pi, 3 * pi / 2);
    cairo_close_path(cr);
}

void selectFont(cairo_t* cr, double size, bool bold) {
    cairo_select_font_face(cr, kFontFamily, CAIRO_FONT_SLANT_NORMAL,
                           bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, size);
}

double textWidth(cairo_t* cr, const std::string& text) {
    cairo_text_extents_t e;
    cairo_text_extents(cr, text.c_str(), &e);
    return e.x_advance;
}

void centredText(cairo_t* cr, const std::string& text, double cx, double cy) {
    cairo_text_extents_t e, capital;
    cairo_text_extents(cr, text.c_str(), &e);
    cairo_text_extents(cr, "H", &capital);
    cairo_move_to(cr, cx - (e.x_bearing + e.width / 2), cy + capital.height / 2);
    cairo_show_text(cr, text.c_str());
}

void shadowedText(cairo_t* cr, const std::string& text, double cx, double cy, uint32_t rgb, double shadow) {
    setColor(cr, 0x000000, 0.55);
    centredText(cr, text, cx + shadow * 0.6, cy + shadow);
    setColor(cr, rgb);
    centredText(cr, text, cx, cy);
}

namespace {

// Repeatable pseudo-random values from integer coordinates, so every run of
// the generator paints the same grain.
double lattice(int x, int y, uint32_t seed) {
    uint32_t h =
        static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xffffff) / double(0x1000000);
}

double smooth(double t) {
    return t * t * (3 - 2 * t);
}

double valueNoise(double x, double y, uint32_t seed) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = smooth(x - x0), fy = smooth(y - y0);
    const double a = lattice(x0, y0, seed), b = lattice(x0 + 1, y0, seed);
    const double c = lattice(x0, y0 + 1, seed), d = lattice(x0 + 1, y0 + 1, seed);
    return (a + (b - a) * fx) * (1 - fy) + (c + (d - c) * fx) * fy;
}

double fractalNoise(double x, double y, uint32_t seed, int octaves) {
    double sum = 0, amplitude = 0.5, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += amplitude * valueNoise(x, y, seed + i * 101);
        norm += amplitude;
        x *= 2.03;
        y *= 2.03;
        amplitude *= 0.5;
    }
    return sum / norm;
}

struct Rgb {
    double r, g, b;
};
Rgb mix(Rgb a, Rgb b, double t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

} // namespace

void paintWoodTable(Canvas& canvas) {
    const int w = canvas.width(), h = canvas.height(), d = canvas.density();
    cairo_surface_flush(canvas.surface());
    unsigned char* data = cairo_image_surface_get_data(canvas.surface());
    const int stride = cairo_image_surface_get_stride(canvas.surface());
    const Rgb dark{0.105, 0.058, 0.034}, light{0.300, 0.178, 0.098};
    const int plankWidth = 80;
    // Pixel by pixel, in points: a dense canvas samples the same wood more finely.
    for (int py = 0; py < h * d; ++py) {
        for (int px = 0; px < w * d; ++px) {
            const double x = static_cast<double>(px) / d, y = static_cast<double>(py) / d;
            const int plank = static_cast<int>(x) / plankWidth;
            const double local = x - plank * plankWidth;
            // Planks are butted end to end at staggered heights; each board
            // has its own grain and tone.
            const int jointAt = 90 + static_cast<int>(lattice(plank, 7, 11) * 300);
            const int board = plank * 2 + (y >= jointAt ? 1 : 0);
            const uint32_t seed = 17 + board * 31;
            // Grain runs along the board: long, gently bent lines.
            const double warp = fractalNoise(x * 0.03, y * 0.004, seed, 4);
            const double rings =
                0.5 + 0.5 * std::sin(local * (0.3 + 0.2 * lattice(board, 2, 9)) + warp * 10.0 + board * 1.7);
            const double fibres = fractalNoise(x * 0.9, y * 0.02, seed + 7, 3);
            const double t = 0.15 + 0.5 * rings * rings * rings + 0.4 * fibres;
            Rgb c = mix(dark, light, std::clamp(t, 0.0, 1.0));
            const double tone = 0.86 + 0.2 * lattice(board, 0, 5);
            // Seams between planks and at the joints: a dark groove with a
            // faint lit edge.
            double seam = 1.0;
            const double fromJoint = y - jointAt;
            if (local < 1.0 || (fromJoint >= 0 && fromJoint < 1))
                seam = 0.3;
            else if (local < 2.0 || (fromJoint >= 1 && fromJoint < 2))
                seam = 1.2;
            // A warm light over the middle, falling off towards the corners.
            const double dx = (x - w * 0.5) / (w * 0.75), dy = (y - h * 0.42) / (h * 0.7);
            const double glow = std::clamp(1.15 - 0.75 * (dx * dx + dy * dy), 0.35, 1.15);
            const double k = tone * seam * glow;
            unsigned char* p = data + py * stride + px * 4;
            p[0] = static_cast<unsigned char>(std::clamp(c.b * k, 0.0, 1.0) * 255 + 0.5);
            p[1] = static_cast<unsigned char>(std::clamp(c.g * k, 0.0, 1.0) * 255 + 0.5);
            p[2] = static_cast<unsigned char>(std::clamp(c.r * k, 0.0, 1.0) * 255 + 0.5);
            p[3] = 255;
        }
    }
    cairo_surface_mark_dirty(canvas.surface());
}

void drawMatch(cairo_t* cr, double cx, double cy, double angle, const MatchShape& s, MatchLook look) {
    const bool locked = look == MatchLook::Locked;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    cairo_rotate(cr, angle);
    const double top = -s.length / 2, foot = s.length / 2;
    const double headCentre = top + s.headLength / 2;
    const double hw = s.width / 2;

    // The shaft: squared pine, lit from the left.
    cairo_pattern_t* wood = cairo_pattern_create_linear(-hw, 0, hw, 0);
    if (locked) {
        addStop(wood, 0, 0x6c6a66);
        addStop(wood, 0.35, 0x9a968f);
        addStop(wood, 1, 0x55524e);
    } else {
        addStop(wood, 0, 0xd9ae6c);
        addStop(wood, 0.35, 0xf6dca6);
        addStop(wood, 1, 0xad7a3f);
    }
    cairo_rectangle(cr, -hw, headCentre, s.width, foot - headCentre);
    cairo_set_source(cr, wood);
    cairo_fill(cr);
    cairo_pattern_destroy(wood);
    // End grain at the foot.
    setColor(cr, locked ? 0x45423f : 0x8c5f2c, 0.9);
    cairo_rectangle(cr, -hw, foot - std::max(0.8, s.width * 0.12), s.width, std::max(0.8, s.width * 0.12));
    cairo_fill(cr);

    // The head: a glossy bead, wider than the shaft.
    const double rx = s.headWidth / 2, ry = s.headLength / 2;
    cairo_save(cr);
    cairo_translate(cr, 0, headCentre);
    cairo_scale(cr, rx, ry);
    cairo_arc(cr, 0, 0, 1, 0, 2 * std::numbers::pi);
    cairo_restore(cr);
    cairo_pattern_t* head = cairo_pattern_create_radial(-rx * 0.35, headCentre - ry * 0.4, 0, 0, headCentre,
                                                        std::max(rx, ry) * 1.05);
    if (locked) {
        addStop(head, 0, 0x8a8a8a);
        addStop(head, 0.45, 0x4a4a4c);
        addStop(head, 1, 0x1c1c1e);
    } else {
        addStop(head, 0, 0xff8a66);
        addStop(head, 0.4, 0xd8301c);
        addStop(head, 1, 0x6e0c06);
    }
    cairo_set_source(cr, head);
    cairo_fill(cr);
    cairo_pattern_destroy(head);
    cairo_restore(cr);
}

void drawButton(cairo_t* cr, double cx, double cy, double size) {
    const double r = size / 2;
    const double pi = std::numbers::pi;
    cairo_save(cr);
    cairo_translate(cr, cx, cy);
    // Rim.
    cairo_pattern_t* rim = cairo_pattern_create_linear(-r, -r, r, r);
    addStop(rim, 0, 0x7fb2ff);
    addStop(rim, 0.5, 0x2f66d0);
    addStop(rim, 1, 0x112a66);
    cairo_arc(cr, 0, 0, r - 0.5, 0, 2 * pi);
    cairo_set_source(cr, rim);
    cairo_fill(cr);
    cairo_pattern_destroy(rim);
    // Dished centre, lit from the other side.
    cairo_pattern_t* dish = cairo_pattern_create_linear(-r, -r, r, r);
    addStop(dish, 0, 0x1b3f8f);
    addStop(dish, 1, 0x4f8ae8);
    cairo_arc(cr, 0, 0, r * 0.74, 0, 2 * pi);
    cairo_set_source(cr, dish);
    cairo_fill(cr);
    cairo_pattern_destroy(dish);
    // Four holes with a little shadow on their lower edge.
    const double hole = r * 0.13, spread = r * 0.26;
    for (int i = 0; i < 4; ++i) {
        const double hx = (i % 2 ? spread : -spread), hy = (i / 2 ? spread : -spread);
        setColor(cr, 0x9cc4ff, 0.7);
        cairo_arc(cr, hx + hole * 0.25, hy + hole * 0.3, hole, 0, 2 * pi);
        cairo_fill(cr);
        setColor(cr, 0x06122e);
        cairo_arc(cr, hx, hy, hole, 0, 2 * pi);
        cairo_fill(cr);
    }
    // Sheen.
    cairo_pattern_t* sheen =
        cairo_pattern_create_radial(-r * 0.35, -r * 0.45, 0, -r * 0.35, -r * 0.45, r * 0.6);
    addStop(sheen, 0, 0xffffff, 0.45);
    addStop(sheen, 1, 0xffffff, 0);
    cairo_arc(cr, 0, 0, r - 0.5, 0, 2 * pi);
    cairo_set_source(cr, sheen);
    cairo_fill(cr);
    cairo_pattern_destroy(sheen);
    cairo_restore(cr);
}

void drawPadlock(cairo_t* cr, double cx, double cy, double size) {
    const double bodyW = size * 0.78, bodyH = size * 0.56;
    const double bodyTop = cy + size / 2 - bodyH;
    const double shackleR = bodyW * 0.3;
    cairo_save(cr);
    // Shackle.
    cairo_set_line_width(cr, size * 0.13);
    setColor(cr, 0x1a1a1a, 0.8);
    cairo_arc(cr, cx, bodyTop, shackleR, std::numbers::pi, 0);
    cairo_line_to(cr, cx + shackleR, bodyTop + 1);
    cairo_move_to(cr, cx - shackleR, bodyTop + 1);
    cairo_line_to(cr, cx - shackleR, bodyTop);
    cairo_set_line_width(cr, size * 0.2);
    cairo_stroke_preserve(cr);
    cairo_set_line_width(cr, size * 0.11);
    setColor(cr, 0xd9dde3);
    cairo_stroke(cr);
    // Body.
    roundedRect(cr, cx - bodyW / 2, bodyTop, bodyW, bodyH, size * 0.1);
    cairo_pattern_t* metal = cairo_pattern_create_linear(0, bodyTop, 0, bodyTop + bodyH);
    addStop(metal, 0, 0xffe08a);
    addStop(metal, 1, 0xb07a12);
    cairo_set_source(cr, metal);
    cairo_fill_preserve(cr);
    cairo_pattern_destroy(metal);
    setColor(cr, 0x3a2a06, 0.9);
    cairo_set_line_width(cr, std::max(0.8, size * 0.06));
    cairo_stroke(cr);
    // Keyhole.
    setColor(cr, 0x2a1c02);
    cairo_arc(cr, cx, bodyTop + bodyH * 0.42, size * 0.07, 0, 2 * std::numbers::pi);
    cairo_fill(cr);
    cairo_rectangle(cr, cx - size * 0.03, bodyTop + bodyH * 0.42, size * 0.06, bodyH * 0.32);
    cairo_fill(cr);
    cairo_restore(cr);
}

} // namespace art
