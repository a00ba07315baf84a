#pragma once
// What every program of the project does between reading its options and
// exiting: reads the input script, brings the display up, runs its
// application delegate (on virtual time under a script), writes the
// screenshot, and tears everything down again. Exceptions that reach the top
// are logged and give a non-zero exit code.

#include "runner/CommandLine.h"

#include <functional>
#include <string>

class ApplicationDelegate;

// Runs `delegate` as `options` say; `program` prefixes the messages on
// stderr. Returns the exit code (2 for a bad script or no display).
int runProgram(const std::string& program, const CommandLine& options, ApplicationDelegate& delegate);

// For programs with a loop of their own: the display is brought up as
// `options` say, `body` runs with top-level exceptions caught and logged, and
// the display and sounds are shut down. Returns body's result (1 after an
// exception, 2 when the display cannot be brought up).
int runWithDisplay(const std::string& program, const CommandLine& options, const std::function<int()>& body);

// Writes the director's current frame as a PNG picture; false (logged) when it cannot.
bool writeScreenshot(const std::string& path);

