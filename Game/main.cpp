// The program: reads the options, brings up the display and runs the game.

#include "CommandLine.h"
#include "TindervaleAppDelegate.h"

#include "engine/Application.h"
#include "engine/Director.h"
#include "engine/Engine.h"
#include "engine/Errors.h"
#include "engine/InputScript.h"
#include "platform/Clock.h"
#include "platform/Image.h"
#include "platform/Log.h"
#include "platform/Surface.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

namespace {

bool writeScreenshot(const std::string& path) {
    EAGLView* view = Director::sharedDirector()->openGLView();
    if (!view) {
        platform::ccLogf("Cannot write %s: there is no picture to save", path.c_str());
        return false;
    }
    return platform::writePNG(path, view->readPixels());
}

int runGame(const CommandLine& options, const std::vector<ScriptCommand>* script) {
    Application& app = Application::sharedApplication();
    TindervaleAppDelegate delegate;
    platform::VirtualClock virtualClock;
    if (script) {
        platform::setCurrentClock(&virtualClock);
        app.launch(&delegate);
        InputScriptRunner runner(virtualClock, Director::sharedDirector()->displaySize().height,
                                 writeScreenshot);
        runner.run(*script, options.frames);
    } else {
        long limit = options.frames;
        app.run(&delegate,
                [limit] { return limit > 0 && Director::sharedDirector()->totalFrames() >= limit; });
    }
    bool shotOk = options.screenshot.empty() || writeScreenshot(options.screenshot);
    return app.exitCode() != 0 ? app.exitCode() : shotOk ? 0 : 1;
}

} // namespace

int main(int argc, char** argv) {
    CommandLineResult parsed = parseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.ok) {
        std::fprintf(stderr, "tindervale: %s (see --help)\n", parsed.error.c_str());
        return 2;
    }
    const CommandLine& options = parsed.options;
    if (options.help) {
        std::cout << usageText();
        return 0;
    }

    ScriptParseResult script;
    if (!options.script.empty()) {
        std::ifstream in(options.script, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "tindervale: cannot read the script %s\n", options.script.c_str());
            return 2;
        }
        std::ostringstream text;
        text << in.rdbuf();
        script = parseInputScript(text.str());
        if (!script.ok) {
            std::fprintf(stderr, "tindervale: %s:%d: %s\n", options.script.c_str(), script.errorLine,
                         script.error.c_str());
            return 2;
        }
    }

    std::string error;
    if (!startEngine(options.headless, &error)) {
        std::fprintf(stderr, "tindervale: %s; run with --headless to play without a window\n", error.c_str());
        return 2;
    }
    Application::sharedApplication().setContentScale(options.scale ? options.scale
                                                                   : platform::defaultScale());

    int code = 1;
    try {
        code = runGame(options, options.script.empty() ? nullptr : &script.commands);
    } catch (const NamedException& e) {
        platform::ccLogf("Uncaught exception %s: %s", e.name().c_str(), e.reason().c_str());
    } catch (const AssertionFailure& e) {
        platform::ccLogf("Assertion failure: %s", e.what());
    }
    endEngine();
    return code;
}
