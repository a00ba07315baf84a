#include "engine/InputScript.h"

#include "engine/Application.h"
#include "platform/Input.h"
#include "platform/Log.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <sstream>

namespace {

// Far beyond any screen, yet small enough that every later sum and
// conversion of a point stays exact and in range.
constexpr double kMaxCoordinate = 100000;
// About eleven days of virtual time: its frame count fits every counter.
constexpr double kMaxWaitSeconds = 1e6;

bool parseNumber(const std::string& word, double& out) {
    if (word.empty()) return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtod(word.c_str(), &end);
    return errno == 0 && *end == '\0' && std::isfinite(out);
}

bool parseCount(const std::string& word, long& out) {
    if (word.empty() || word[0] == '-' || word[0] == '+') return false;
    char* end = nullptr;
    errno = 0;
    out = std::strtol(word.c_str(), &end, 10);
    return errno == 0 && *end == '\0';
}

} // namespace

ScriptParseResult parseInputScript(std::string_view text) {
    ScriptParseResult result;
    std::istringstream lines{std::string(text)};
    std::string raw;
    int number = 0;
    auto fail = [&](const std::string& message) {
        result.ok = false;
        result.errorLine = number;
        result.error = message;
        result.commands.clear();
        return result;
    };
    while (std::getline(lines, raw)) {
        ++number;
        std::string line = raw.substr(0, raw.find('#'));
        std::istringstream in(line);
        std::vector<std::string> words;
        for (std::string w; in >> w;)
            words.push_back(w);
        if (words.empty()) continue;

        ScriptCommand c;
        c.line = number;
        const std::string& verb = words[0];
        size_t args = words.size() - 1;
        auto numbers = [&](size_t from, size_t n, float* out[]) {
            for (size_t i = 0; i < n; ++i) {
                double v;
                if (!parseNumber(words[from + i], v) || std::fabs(v) > kMaxCoordinate) return false;
                *out[i] = static_cast<float>(v);
            }
            return true;
        };
        if (verb == "wait") {
            if (args != 1 || !parseNumber(words[1], c.seconds) || c.seconds < 0 || c.seconds > kMaxWaitSeconds)
                return fail("wait takes one number of seconds, from 0 to 1000000");
            c.kind = ScriptCommand::Wait;
        } else if (verb == "frames") {
            if (args != 1 || !parseCount(words[1], c.count))
                return fail("frames takes one whole number, 0 or more");
            c.kind = ScriptCommand::Frames;
        } else if (verb == "down" || verb == "move" || verb == "up" || verb == "tap") {
            float* xy[] = {&c.x1, &c.y1};
            if (args != 2 || !numbers(1, 2, xy))
                return fail(verb + " takes two numbers: X Y, each from -100000 to 100000");
            c.kind = verb == "down"   ? ScriptCommand::Down
                     : verb == "move" ? ScriptCommand::Move
                     : verb == "up"   ? ScriptCommand::Up
                                      : ScriptCommand::Tap;
        } else if (verb == "drag") {
            float* xy[] = {&c.x1, &c.y1, &c.x2, &c.y2};
            if ((args != 4 && args != 5) || !numbers(1, 4, xy))
                return fail("drag takes four numbers from -100000 to 100000 and an optional step count: "
                            "X1 Y1 X2 Y2 [STEPS]");
            c.count = 10;
            if (args == 5 && (!parseCount(words[5], c.count) || c.count < 1))
                return fail("drag's step count must be a whole number, 1 or more");
            c.kind = ScriptCommand::Drag;
        } else if (verb == "screenshot") {
            // The path is the rest of the line, so it may hold spaces.
            size_t from = line.find_first_not_of(" \t", line.find(verb) + verb.size());
            size_t to = line.find_last_not_of(" \t\r");
            if (args == 0 || from == std::string::npos) return fail("screenshot takes a file path");
            c.kind = ScriptCommand::Screenshot;
            c.path = line.substr(from, to - from + 1);
        } else if (verb == "key") {
            if (args != 1 || !platform::parseKeyPress(words[1], c.key))
                return fail("key takes one key name, such as Escape, Enter, Space, R or Ctrl+Z");
            c.kind = ScriptCommand::Key;
        } else if (verb == "quit") {
            if (args != 0) return fail("quit takes nothing");
            c.kind = ScriptCommand::Quit;
        } else {
            return fail("unknown command \"" + verb + "\"");
        }
        result.commands.push_back(c);
    }
    return result;
}

InputScriptRunner::InputScriptRunner(platform::VirtualClock& clock, float viewHeight,
                                     std::function<bool(const std::string&)> screenshot)
    : clock_(clock), viewHeight_(viewHeight), screenshot_(std::move(screenshot)) {}

bool InputScriptRunner::frame() {
    Application& app = Application::sharedApplication();
    if (stopped_ || app.isTerminating() || !app.hasTimers() || (frameLimit_ > 0 && frames_ >= frameLimit_)) {
        stopped_ = true;
        return false;
    }
    clock_.advance(kFrameSeconds);
    app.fireTimers();
    ++frames_;
    return true;
}

void InputScriptRunner::touch(platform::InputKind kind, float x, float y) {
    if (stopped_) return; // nobody would take it
    platform::InputEvent e;
    e.kind = kind;
    e.finger = platform::kMouseFinger;
    e.x = x;
    e.y = viewHeight_ - y; // scripts count from the bottom, views from the top
    e.timestamp = static_cast<double>(frames_) * kFrameSeconds;
    platform::injectInputEvent(e);
}

void InputScriptRunner::run(const std::vector<ScriptCommand>& commands, long frameLimit) {
    frameLimit_ = frameLimit;
    using platform::InputKind;
    const InputKind began = InputKind::TouchBegan, moved = InputKind::TouchMoved,
                    ended = InputKind::TouchEnded;
    for (const ScriptCommand& c : commands) {
        switch (c.kind) {
        case ScriptCommand::Wait: {
            // Enough whole frames to cover the time; a hair of rounding is not a frame.
            long n = static_cast<long>(std::ceil(c.seconds / kFrameSeconds - 1e-6));
            for (long i = 0; i < n && frame(); ++i) {
            }
            break;
        }
        case ScriptCommand::Frames:
            for (long i = 0; i < c.count && frame(); ++i) {
            }
            break;
        case ScriptCommand::Down:
        case ScriptCommand::Move:
        case ScriptCommand::Up:
            touch(c.kind == ScriptCommand::Down   ? began
                  : c.kind == ScriptCommand::Move ? moved
                                                  : ended,
                  c.x1, c.y1);
            frame();
            break;
        case ScriptCommand::Tap:
            touch(began, c.x1, c.y1);
            frame();
            touch(ended, c.x1, c.y1);
            frame();
            break;
        case ScriptCommand::Drag:
            touch(began, c.x1, c.y1);
            frame();
            for (long k = 1; k <= c.count && !stopped_; ++k) {
                float f = static_cast<float>(k) / static_cast<float>(c.count);
                float x = k == c.count ? c.x2 : c.x1 + (c.x2 - c.x1) * f;
                float y = k == c.count ? c.y2 : c.y1 + (c.y2 - c.y1) * f;
                touch(moved, x, y);
                frame();
            }
            touch(ended, c.x2, c.y2);
            frame();
            break;
        case ScriptCommand::Key: {
            platform::InputEvent e;
            e.kind = InputKind::KeyDown;
            e.key = c.key;
            e.timestamp = static_cast<double>(frames_) * kFrameSeconds;
            platform::injectInputEvent(e);
            frame();
            break;
        }
        case ScriptCommand::Screenshot:
            if (screenshot_ && !screenshot_(c.path))
                platform::ccLogf("script line %d: could not write %s", c.line, c.path.c_str());
            break;
        case ScriptCommand::Quit:
            stopped_ = true;
            break;
        }
        if (stopped_) break;
    }
}
