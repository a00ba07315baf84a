// A contact sheet of the generated pictures, for judging the artwork side by
// side (the game itself shows them in place: run it with --script and
// --screenshot).

#include "Drawing.h"
#include "ResourceGenerator.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

using namespace art;

// Every picture on a checkerboard (so transparency shows), with its name.
bool writeContactSheet(const std::string& res, const std::string& out) {
    std::vector<std::filesystem::path> pictures;
    for (const auto& entry : std::filesystem::directory_iterator(res))
        // Denser drawings look the same as their plain ones: one of each is enough.
        if (entry.path().extension() == ".png" && entry.path().stem().string().find('@') == std::string::npos)
            pictures.push_back(entry.path());
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
    return sheet.save(out);
}

