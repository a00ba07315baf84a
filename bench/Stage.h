#pragma once
// What a benchmark that draws needs: the director attached to an offscreen
// 320 x 480 window, the resources next to the benchmarks, and everything
// purged again at the end.

#include "engine/Director.h"
#include "engine/Engine.h"
#include "platform/System.h"

#include <stdexcept>
#include <string>

struct Stage {
    RefPtr<Window> window;
    Stage() {
        std::string error;
        if (!startEngine(true, &error)) throw std::runtime_error(error);
        platform::setResourceDirectory(TV_BENCH_RESOURCE_DIR);
        window = makeRef<Window>(ccRectMake(0, 0, 320, 480));
        Director::sharedDirector()->attachInWindow(window);
    }
    ~Stage() {
        endEngine();
    }
    Stage(const Stage&) = delete;
    Stage& operator=(const Stage&) = delete;
};
