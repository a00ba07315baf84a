#pragma once
// Small drawing helpers over cairo shared by the generator's pictures and
// its contact sheet: a canvas that owns its surface, colours, text in the
// game's face, wood and matchsticks.

#include <cairo.h>

#include <cstdint>
#include <string>

namespace art {

// The face every text in the pictures uses (the game's stand-in for "Marker Felt").
inline constexpr const char* kFontFamily = "Comic Neue";

// Pixels per point of the canvases made from now on: pictures are drawn in
// points, and a denser drawing is saved as "name@2x.png" beside "name.png".
void setDensity(int density);
int density();

// An ARGB32 surface with its context; pixels start transparent. Its size is
// in points; the surface has density() pixels per point.
class Canvas {
  public:
    Canvas(int width, int height);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    cairo_t* cr() const { return cr_; }
    cairo_surface_t* surface() const { return surface_; }
    int width() const { return width_; }
    int height() const { return height_; }

    int density() const { return density_; }

    // Writes the canvas as a PNG (a dense one under its variant name); false
    // (with a message on stderr) on failure.
    bool save(const std::string& path) const;

  private:
    int width_;
    int height_;
    int density_;
    cairo_surface_t* surface_;
    cairo_t* cr_;
};

// 0xRRGGBB with an alpha.
void setColor(cairo_t* cr, uint32_t rgb, double alpha = 1.0);
void addStop(cairo_pattern_t* pattern, double offset, uint32_t rgb, double alpha = 1.0);

void roundedRect(cairo_t* cr, double x, double y, double w, double h, double radius);

void selectFont(cairo_t* cr, double size, bool bold);
// Advance width of `text` in the current font.
double textWidth(cairo_t* cr, const std::string& text);
// Draws `text` centred on (cx, cy): horizontally on its ink, vertically on
// the height of a capital, so that words of one size line up.
void centredText(cairo_t* cr, const std::string& text, double cx, double cy);
// The same with a soft dark shadow under it, in `rgb`.
void shadowedText(cairo_t* cr, const std::string& text, double cx, double cy, uint32_t rgb,
                  double shadow = 1.5);

// Dark walnut planks, filling the canvas: the background the white texts of
// the menus sit on.
void paintWoodTable(Canvas& canvas);

enum class MatchLook { Fresh, Locked };

// A matchstick centred at (cx, cy), `angle` radians clockwise from upright
// (head up); `length` from the head's top to the foot.
struct MatchShape {
    double length;
    double width;
    double headWidth;
    double headLength;
};
void drawMatch(cairo_t* cr, double cx, double cy, double angle, const MatchShape& shape,
               MatchLook look = MatchLook::Fresh);

// A four-hole sewing button of diameter `size` centred at (cx, cy).
void drawButton(cairo_t* cr, double cx, double cy, double size);

// A small padlock centred at (cx, cy), `size` tall.
void drawPadlock(cairo_t* cr, double cx, double cy, double size);

} // namespace art
