#pragma once
// The game's command-line options.

#include <string>
#include <vector>

struct CommandLine {
    int scale = 0; // 0: chosen from the display
    bool headless = false;
    long frames = 0; // 0: no limit
    std::string screenshot;
    std::string script;
    bool help = false;
};

struct CommandLineResult {
    CommandLine options;
    bool ok = true;
    std::string error;
};

CommandLineResult parseCommandLine(const std::vector<std::string>& args);
std::string usageText();
