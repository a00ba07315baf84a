#include "runner/CommandLine.h"

#include <cerrno>
#include <climits>
#include <cstdlib>

namespace {
bool positive(const std::string& text, long& out) {
    if (text.empty() || text[0] == '-' || text[0] == '+') return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == '\0' && out >= 1;
}
} // namespace

std::string usageText() {
    return "Usage: tindervale [options]\n"
           "\n"
           "Tindervale: move the matchsticks to solve the puzzles.\n"
           "\n" +
           optionsText();
}

std::string optionsText() {
    return "Options:\n"
           "  --scale N          window scale, a whole number from 1 to 16 (default: the\n"
           "                     largest that fits the display); the game is 320 x 480 points\n"
           "  --headless         run without a window (offscreen, same drawing)\n"
           "  --frames N         end after N frames\n"
           "  --screenshot PATH  at the end, write the last frame as a PNG picture\n"
           "  --script FILE      drive the run from an input script; time becomes virtual,\n"
           "                     1/60 s per frame\n"
           "  --help             show this text\n"
           "\n"
           "Keys: F11 or Alt+Enter fullscreen; Escape back; Ctrl+Z or Backspace undo;\n"
           "R replay; Enter or Space continue; Ctrl+Q quit. The window may be resized.\n"
           "\n"
           "Input scripts: one command per line, '#' starts a comment. Points count from\n"
           "the bottom-left corner of the 320 x 480 screen.\n"
           "  wait S             run frames for S seconds\n"
           "  frames N           run N frames\n"
           "  down X Y | move X Y | up X Y   one touch phase, then one frame\n"
           "  tap X Y            down, frame, up, frame\n"
           "  drag X1 Y1 X2 Y2 [STEPS]       down, STEPS moves (default 10), up\n"
           "  key NAME           press a key (Escape, Enter, Space, Backspace, R, Ctrl+Z,\n"
           "                     Ctrl+Q, ...), then one frame\n"
           "  screenshot PATH    write the current frame as a PNG picture\n"
           "  quit               end the run\n";
}

CommandLineResult parseCommandLine(const std::vector<std::string>& args) {
    CommandLineResult r;
    auto fail = [&](const std::string& message) {
        r.ok = false;
        r.error = message;
        return r;
    };
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) return false;
            out = args[++i];
            return true;
        };
        std::string v;
        long n = 0;
        if (a == "--help" || a == "-h") {
            r.options.help = true;
        } else if (a == "--headless") {
            r.options.headless = true;
        } else if (a == "--scale") {
            if (!value(v)) return fail("--scale needs a value");
            if (!positive(v, n) || n > 16)
                return fail("--scale must be a whole number from 1 to 16, not \"" + v + "\"");
            r.options.scale = static_cast<int>(n);
        } else if (a == "--frames") {
            if (!value(v)) return fail("--frames needs a value");
            if (!positive(v, n)) return fail("--frames must be a whole number, 1 or more, not \"" + v + "\"");
            r.options.frames = n;
        } else if (a == "--screenshot") {
            if (!value(v) || v.empty()) return fail("--screenshot needs a file path");
            r.options.screenshot = v;
        } else if (a == "--script") {
            if (!value(v) || v.empty()) return fail("--script needs a file path");
            r.options.script = v;
        } else {
            return fail("unknown option \"" + a + "\"");
        }
    }
    return r;
}
