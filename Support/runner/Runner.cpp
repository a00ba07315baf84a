#include "runner/Runner.h"

#include "engine/Application.h"
#include "engine/Director.h"
#include "engine/Engine.h"
#include "engine/Errors.h"
#include "engine/InputScript.h"
#include "engine/Scheduler.h"
#include "engine/TextureMgr.h"
#include "platform/Clock.h"
#include "platform/Image.h"
#include "platform/Log.h"
#include "platform/Surface.h"
#include "platform/System.h"

#include <cstdio>
#include <fstream>
#include <sstream>

bool writeScreenshot(const std::string& path) {
    EAGLView* view = Director::sharedDirector()->openGLView();
    if (!view) {
        platform::ccLogf("Cannot write %s: there is no picture to save", path.c_str());
        return false;
    }
    return platform::writePNG(path, view->readPixels());
}

namespace {

int runDelegate(const CommandLine& options, ApplicationDelegate& delegate,
                const std::vector<ScriptCommand>* script) {
    Application& app = Application::sharedApplication();
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

// The window scale: the one asked for, or the largest that fits the display;
// a window never gets larger than the display's usable area.
int chooseScale(const std::string& program, int asked) {
    int fit = platform::fittingScale(320, 480); // 0: no limit (headless)
    if (asked == 0) return fit > 0 ? fit : 1;
    if (fit > 0 && asked > fit) {
        std::fprintf(stderr, "%s: --scale %d does not fit the display; using %d\n", program.c_str(), asked, fit);
        return fit;
    }
    return asked;
}

} // namespace

int runWithDisplay(const std::string& program, const CommandLine& options, const std::function<int()>& body) {
    // Without its pictures a program would only draw black.
    if (TextureMgr::sharedTextureMgr()->fullPathFromRelativePath("Default.png").empty()) {
        std::fprintf(stderr, "%s: cannot find the resources (looked in %s); reinstall the program\n",
                     program.c_str(), platform::resourceDirectory().c_str());
        TextureMgr::purgeSharedTextureMgr();
        return 1;
    }
    std::string error;
    if (!startEngine(options.headless, &error)) {
        std::fprintf(stderr, "%s: %s; run with --headless to run without a window\n", program.c_str(),
                     error.c_str());
        return 2;
    }
    Application::sharedApplication().setContentScale(chooseScale(program, options.scale));
    int code = 1;
    try {
        code = body();
    } catch (const NamedException& e) {
        platform::ccLogf("Uncaught exception %s: %s", e.name().c_str(), e.reason().c_str());
    } catch (const AssertionFailure& e) {
        platform::ccLogf("Assertion failure: %s", e.what());
    }
    endEngine();
    return code;
}

int runProgram(const std::string& program, const CommandLine& options, ApplicationDelegate& delegate) {
    ScriptParseResult script;
    if (!options.script.empty()) {
        std::ifstream in(options.script, std::ios::binary);
        if (!in) {
            std::fprintf(stderr, "%s: cannot read the script %s\n", program.c_str(), options.script.c_str());
            return 2;
        }
        std::ostringstream text;
        text << in.rdbuf();
        script = parseInputScript(text.str());
        if (!script.ok) {
            std::fprintf(stderr, "%s: %s:%d: %s\n", program.c_str(), options.script.c_str(), script.errorLine,
                         script.error.c_str());
            return 2;
        }
    }
    return runWithDisplay(program, options, [&] {
        return runDelegate(options, delegate, options.script.empty() ? nullptr : &script.commands);
    });
}
