// The gallery: a demo of every engine feature. Takes the game's options
// (through the same runner) and its own: --demo NAME, --contact-sheet DIR, --list.

#include "ContactSheet.h"
#include "Demo.h"
#include "GalleryDelegate.h"

#include "runner/CommandLine.h"
#include "runner/Runner.h"

#include <cstdio>
#include <iostream>

namespace {
const char* const kUsage = "Usage: gallery [options]\n"
                           "\n"
                           "The Tindervale engine's gallery: a small demo of every feature.\n"
                           "\n"
                           "Gallery options:\n"
                           "  --demo NAME        open the demo NAME instead of the list\n"
                           "  --contact-sheet DIR  write DIR/NAME.png for every demo at a fixed moment and\n"
                           "                     DIR/contact-sheet-N.png with them all (the same every run;\n"
                           "                     headless)\n"
                           "  --list             print the demos' names by group\n"
                           "\n";

int fail(const std::string& message) {
    std::fprintf(stderr, "gallery: %s (see --help)\n", message.c_str());
    return 2;
}
} // namespace

int main(int argc, char** argv) {
    // The gallery's own options come out first; the rest are the game's.
    std::string demo, sheetDir;
    bool list = false;
    std::vector<std::string> rest;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (a == "--demo" || a == "--contact-sheet") {
            if (i + 1 >= argc || !*argv[i + 1]) return fail(a + " needs a value");
            (a == "--demo" ? demo : sheetDir) = argv[++i];
        } else if (a == "--list") {
            list = true;
        } else {
            rest.push_back(a);
        }
    }
    CommandLineResult parsed = parseCommandLine(rest);
    if (!parsed.ok) return fail(parsed.error);
    CommandLine options = parsed.options;
    if (options.help) {
        std::cout << kUsage << optionsText();
        return 0;
    }
    if (list) {
        std::string group;
        for (const Demo& d : demos()) {
            if (d.group != group) std::cout << (group.empty() ? "" : "\n") << d.group << ":\n";
            group = d.group;
            std::cout << "  " << d.name << "\n";
        }
        return 0;
    }
    int first = -1;
    if (!demo.empty()) {
        first = demoIndex(demo);
        if (first < 0) return fail("no demo named \"" + demo + "\" (--list shows them)");
    }
    if (!sheetDir.empty()) {
        options.headless = true;
        if (!options.scale) options.scale = 1;
        return runWithDisplay("gallery", options, [&] { return writeContactSheet(sheetDir) ? 0 : 1; });
    }
    GalleryDelegate delegate(first);
    return runProgram("gallery", options, delegate);
}
