// The program: reads the options, brings up the display and runs the game.

#include "TindervaleAppDelegate.h"

#include "runner/CommandLine.h"
#include "runner/Runner.h"

#include <cstdio>
#include <iostream>

int main(int argc, char** argv) {
    CommandLineResult parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok) {
        std::fprintf(stderr, "tindervale: %s (see --help)\n", parsed.error.c_str());
        return 2;
    }
    if (parsed.options.help) {
        std::cout << usageText();
        return 0;
    }
    TindervaleAppDelegate delegate;
    return runProgram("tindervale", parsed.options, delegate);
}
