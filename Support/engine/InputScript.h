#pragma once
// Input scripts: a plain-text list of touches, waits and screenshots that
// drives a run exactly like a player would, on virtual time.
//
//   wait S | frames N | down X Y | move X Y | up X Y | tap X Y
//   drag X1 Y1 X2 Y2 [STEPS] | key NAME | screenshot PATH | quit
//
// NAME is a key as parseKeyPress reads it: "Escape", "Ctrl+Z", "Enter".
//
// Points are screen points with the origin at the bottom left. '#' starts a
// comment; blank lines are ignored.

#include "platform/Clock.h"
#include "platform/Input.h"

#include <functional>
#include <string>
#include <string_view>
#include <vector>

struct ScriptCommand {
    enum Kind { Wait, Frames, Down, Move, Up, Tap, Drag, Screenshot, Quit, Key };
    Kind kind = Quit;
    int line = 0;
    double seconds = 0; // wait
    long count = 0;     // frames, drag steps
    float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string path; // screenshot
    platform::KeyPress key;
};

struct ScriptParseResult {
    std::vector<ScriptCommand> commands;
    bool ok = true;
    int errorLine = 0;
    std::string error;
};

// Parses a whole script; on the first bad line gives its number and what is wrong.
ScriptParseResult parseInputScript(std::string_view text);

// Runs parsed commands: every frame advances `clock` by exactly 1/60 s and
// fires the application's frame timer once; touches are queued as pending
// input for the next frame.
class InputScriptRunner {
  public:
    static constexpr double kFrameSeconds = 1.0 / 60;

    InputScriptRunner(platform::VirtualClock& clock, float viewHeight,
                      std::function<bool(const std::string&)> screenshot);
    // Runs until the commands end, `quit`, the application terminates, or `frameLimit` frames (0 = none) ran.
    void run(const std::vector<ScriptCommand>& commands, long frameLimit = 0);
    long framesRun() const { return frames_; }

  private:
    // Runs one frame; false when the run must stop.
    bool frame();
    void touch(platform::InputKind kind, float x, float y);

    platform::VirtualClock& clock_;
    float viewHeight_;
    std::function<bool(const std::string&)> screenshot_;
    long frames_ = 0;
    long frameLimit_ = 0;
    bool stopped_ = false;
};
