// generate-resources: writes every picture and sound of the game into a
// folder (normally the source tree's Resources/). See tools/README.md.

#include "Drawing.h"
#include "ResourceGenerator.h"

#include <cairo.h>
#include <fontconfig/fontconfig.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <string>

namespace {

const char* const kUsage = "Usage: generate-resources OUTPUT_DIR [--contact-sheet FILE]\n"
                           "Writes the game's pictures and sounds into OUTPUT_DIR; with --contact-sheet,\n"
                           "also every picture side by side into the PNG file FILE.\n";

// The pictures' text must come out in the game's face; any other face would
// quietly change every picture with text in it.
bool fontAvailable() {
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(art::kFontFamily));
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcChar8* family = nullptr;
    bool found = match && FcPatternGetString(match, FC_FAMILY, 0, &family) == FcResultMatch &&
                 std::strcmp(reinterpret_cast<const char*>(family), art::kFontFamily) == 0;
    if (match) FcPatternDestroy(match);
    FcPatternDestroy(pattern);
    return found;
}

bool makeDirectory(const std::string& dir) {
    std::error_code error;
    std::filesystem::create_directories(dir, error);
    if (error) std::fprintf(stderr, "cannot make %s: %s\n", dir.c_str(), error.message().c_str());
    return !error;
}

int run(int argc, char** argv) {
    std::string output, sheet;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--contact-sheet" && i + 1 < argc)
            sheet = argv[++i];
        else if (arg == "--help" || arg == "-h") {
            std::fputs(kUsage, stdout);
            return 0;
        } else if (output.empty() && !arg.starts_with("-"))
            output = arg;
        else {
            std::fputs(kUsage, stderr);
            return 2;
        }
    }
    if (output.empty()) {
        std::fputs(kUsage, stderr);
        return 2;
    }
    if (!fontAvailable()) {
        std::fprintf(stderr, "the font \"%s\" is not installed (Debian package fonts-comic-neue)\n",
                     art::kFontFamily);
        return 1;
    }
    if (!makeDirectory(output) || !writePictures(output) || !writeSounds(output)) return 1;
    // Tile maps count their tiles in the picture's own pixels: one density only.
    if (!writeTileMaps(output)) return 1;
    // Every picture again at twice the density, for scaled windows.
    art::setDensity(2);
    bool dense = writePictures(output);
    art::setDensity(1);
    if (!dense) return 1;
    if (!sheet.empty() && !writeContactSheet(output, sheet)) return 1;
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    int status = run(argc, argv);
    // Hand back cairo's and fontconfig's caches so leak checkers see a clean exit.
    cairo_debug_reset_static_data();
    FcFini();
    return status;
}
