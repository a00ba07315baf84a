#pragma once
// The command-line options every program of the project takes (the game, the gallery).

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
// The whole --help text of the game.
std::string usageText();
// Its "Options:" part onwards, for programs that add options of their own.
std::string optionsText();
