// Screens put together from the generated pictures the way the game places
// them, and a contact sheet of every picture: for judging the artwork on a
// 320 x 480 screen before the game's screens exist to show it.

#include "Drawing.h"
#include "Levels.h"
#include "ResourceGenerator.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <numbers>
#include <sstream>
#include <string>
#include <vector>

using namespace art;

namespace {

constexpr int kScreenW = 320, kScreenH = 480;

class Screen {
  public:
    Screen(const std::string& resources, uint32_t clear)
        : resources_(resources), canvas_(kScreenW, kScreenH) {
        setColor(canvas_.cr(), clear);
        cairo_paint(canvas_.cr());
    }

    // A sprite of `picture` centred at screen point (x, y), origin bottom-left.
    void sprite(const std::string& picture, double x, double y, double scale = 1, double rotation = 0) {
        cairo_surface_t* image = cairo_image_surface_create_from_png((resources_ + "/" + picture).c_str());
        if (cairo_surface_status(image) != CAIRO_STATUS_SUCCESS) {
            std::fprintf(stderr, "mock-up: cannot read %s\n", picture.c_str());
            ok_ = false;
        } else {
            cairo_t* cr = canvas_.cr();
            cairo_save(cr);
            cairo_translate(cr, x, kScreenH - y);
            cairo_rotate(cr, rotation * std::numbers::pi / 180);
            cairo_scale(cr, scale, scale);
            cairo_set_source_surface(cr, image, -cairo_image_surface_get_width(image) / 2.0,
                                     -cairo_image_surface_get_height(image) / 2.0);
            cairo_paint(cr);
            cairo_restore(cr);
        }
        cairo_surface_destroy(image);
    }

    void label(const std::string& text, double x, double y, double size, uint32_t rgb = 0xffffff) {
        selectFont(canvas_.cr(), size, false);
        setColor(canvas_.cr(), rgb);
        centredText(canvas_.cr(), text, x, kScreenH - y);
    }

    // Word-wrapped, centred lines in a box centred at (x, y).
    void textBox(const std::string& text, double x, double y, double width, double height, double size) {
        cairo_t* cr = canvas_.cr();
        selectFont(cr, size, false);
        std::vector<std::string> lines(1);
        std::istringstream words(text);
        for (std::string word; words >> word;) {
            std::string candidate = lines.back().empty() ? word : lines.back() + " " + word;
            if (!lines.back().empty() && textWidth(cr, candidate) > width)
                lines.push_back(word);
            else
                lines.back() = candidate;
        }
        cairo_font_extents_t fe;
        cairo_font_extents(cr, &fe);
        double top = kScreenH - y - height / 2;
        setColor(cr, 0xffffff);
        for (size_t i = 0; i < lines.size() && (i + 1) * fe.height <= height; ++i)
            centredText(cr, lines[i], x, top + i * fe.height + fe.ascent * 0.6);
    }

    bool save(const std::string& path) { return ok_ && canvas_.save(path); }

  private:
    std::string resources_;
    Canvas canvas_;
    bool ok_ = true;
};

bool messageScreen(const std::string& res, const std::string& out) {
    Screen s(res, 0x000000);
    s.sprite("Message.png", 160, 240);
    s.sprite("BtnYes.png", 110, 250);
    s.sprite("BtnNo.png", 210, 250);
    return s.save(out + "/message.png");
}

bool mainMenu(const std::string& res, const std::string& out) {
    Screen s(res, 0x000000);
    s.sprite("Default.png", 160, 240);
    s.label("Start Game", 160, 282, 32);
    s.label("Options", 160, 240, 32);
    s.label("Quit", 160, 198, 32);
    s.sprite("info1.png", 300, 20);
    return s.save(out + "/main-menu.png");
}

bool levelSelection(const std::string& res, const std::string& out, int lastAvailLevel) {
    Screen s(res, 0x000000);
    s.sprite("Default.png", 160, 240);
    s.label("Main Menu", 160, 15, 28);
    for (int i = 0; i < 5; ++i)
        s.sprite(i < lastAvailLevel / 2 ? "bonus.png" : "bonus_.png", 40 + 60 * i, 170);
    for (int i = 1; i <= 10; ++i) {
        const bool open = i - 1 <= lastAvailLevel;
        s.sprite("level_stick" + std::to_string(i) + (open ? "" : "_") + ".png", 30 * i, 300,
                 i - 1 == lastAvailLevel ? 1.2 : 1);
    }
    return s.save(out + "/levels-" + std::to_string(lastAvailLevel) + ".png");
}

bool objective(const std::string& res, const std::string& out, int levelIndex) {
    Screen s(res, 0x000000);
    s.sprite("Default.png", 160, 240);
    s.label("Objective", 160, 400, 26);
    s.label("Continue", 160, 200, 32);
    s.sprite("level" + std::to_string(levelIndex + 1) + ".png", 70, 320, 1.2);
    s.textBox(std::string(levelAt(levelIndex)->task), 220, 260, 180, 200, 22);
    return s.save(out + "/objective-" + std::to_string(levelIndex + 1) + ".png");
}

bool board(const std::string& res, const std::string& out, int levelIndex) {
    const Level& level = *levelAt(levelIndex);
    Screen s(res, 0x000000);
    s.label("Main Menu", 80, 15, 26, 0xff0000);
    s.label("Mission Objective", 150, 460, 21, 0xff0000);
    s.label("Replay", 260, 15, 26, 0xff0000);
    s.label("Undo", 180, 15, 26);
    if (levelIndex == 9) s.sprite("kochak.png", 160, 240);
    for (const StickPlacement& p : level.start)
        s.sprite("stick.png", p.x, p.y, 1, p.rotation);
    char title[32];
    std::snprintf(title, sizeof title, levelIndex < kRegularLevelCount ? "Level %d" : "Bonus %d",
                  levelIndex < kRegularLevelCount ? levelIndex + 1 : levelIndex - 9);
    s.label(title, 40, 460, 24);
    s.label("Moves " + std::to_string(level.moveCount), 270, 460, 24);
    return s.save(out + "/board-" + std::to_string(levelIndex + 1) + ".png");
}

// Every picture on a checkerboard (so transparency shows), with its name.
bool contactSheet(const std::string& res, const std::string& out) {
    std::vector<std::filesystem::path> pictures;
    for (const auto& entry : std::filesystem::directory_iterator(res))
        if (entry.path().extension() == ".png") pictures.push_back(entry.path());
    std::sort(pictures.begin(), pictures.end());
    const int cell = 140, columns = 8;
    const int rows = (static_cast<int>(pictures.size()) + columns - 1) / columns;
    Canvas sheet(cell * columns, cell * rows);
    cairo_t* cr = sheet.cr();
    for (int y = 0; y < sheet.height(); y += 10)
        for (int x = 0; x < sheet.width(); x += 10) {
            setColor(cr, ((x + y) / 10) % 2 ? 0x8a8a8a : 0x6e6e6e);
            cairo_rectangle(cr, x, y, 10, 10);
            cairo_fill(cr);
        }
    for (size_t i = 0; i < pictures.size(); ++i) {
        cairo_surface_t* image = cairo_image_surface_create_from_png(pictures[i].c_str());
        const double w = cairo_image_surface_get_width(image), h = cairo_image_surface_get_height(image);
        const double scale = std::min(1.0, std::min((cell - 10) / w, (cell - 26) / h));
        const double cx = (i % columns) * cell + cell / 2.0, cy = (i / columns) * cell + (cell - 16) / 2.0;
        cairo_save(cr);
        cairo_translate(cr, cx - w * scale / 2, cy - h * scale / 2);
        cairo_scale(cr, scale, scale);
        cairo_set_source_surface(cr, image, 0, 0);
        cairo_paint(cr);
        cairo_restore(cr);
        cairo_surface_destroy(image);
        selectFont(cr, 11, false);
        setColor(cr, 0xffffff);
        centredText(cr, pictures[i].filename().string(), cx, (i / columns + 1) * cell - 8);
    }
    return sheet.save(out + "/contact-sheet.png");
}

} // namespace

bool writeMockups(const std::string& res, const std::string& out) {
    bool ok = messageScreen(res, out) && mainMenu(res, out) && contactSheet(res, out);
    for (int last : {0, 3, 10})
        ok = ok && levelSelection(res, out, last);
    for (int i : {0, 3, 9, 14})
        ok = ok && objective(res, out, i);
    for (int i = 0; ok && i < kLevelCount; ++i)
        ok = board(res, out, i);
    return ok;
}
