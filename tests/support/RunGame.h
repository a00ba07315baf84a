#pragma once
// Running the game's executable the way a person does, from a shell, and
// reading what it printed.

#include <string>
#include <vector>

struct RunResult {
    int code = -1;      // the exit code; -1 when the game did not exit normally
    std::string output; // stdout and stderr together
};

// Runs the game with `args`. `environment` holds arguments for env(1) put
// before it ("NAME=value", or "-u" and "NAME" to take a variable away). Every
// word is quoted, so paths with spaces work.
RunResult runGame(const std::vector<std::string>& args, const std::vector<std::string>& environment = {});
// The same for another program of the project (the gallery).
RunResult runExecutable(const std::string& executable, const std::vector<std::string>& args,
                        const std::vector<std::string>& environment = {});
