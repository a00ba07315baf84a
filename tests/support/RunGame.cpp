#include "support/RunGame.h"

#include <cstdio>
#include <sys/wait.h>

namespace {
// Appends ` 'word'` to `command`, quoted for the shell.
void appendQuoted(std::string& command, const std::string& word) {
    command.append(" '");
    for (char c : word)
        command.append(c == '\'' ? "'\\''" : std::string(1, c));
    command.push_back('\'');
}
} // namespace

RunResult runGame(const std::vector<std::string>& args, const std::vector<std::string>& environment) {
    return runExecutable(TV_GAME_EXECUTABLE, args, environment);
}

RunResult runExecutable(const std::string& executable, const std::vector<std::string>& args,
                        const std::vector<std::string>& environment) {
    std::string command = "env";
    for (const std::string& e : environment)
        appendQuoted(command, e);
    appendQuoted(command, executable);
    for (const std::string& a : args)
        appendQuoted(command, a);
    command.append(" 2>&1");
    RunResult result;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return result;
    char buffer[512];
    while (size_t n = fread(buffer, 1, sizeof buffer, pipe))
        result.output.append(buffer, n);
    int status = pclose(pipe);
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return result;
}
