#include "engine/Engine.h"

#include "engine/Application.h"
#include "engine/Director.h"
#include "engine/Scheduler.h"
#include "engine/TextureMgr.h"
#include "platform/Clock.h"
#include "platform/Sound.h"
#include "platform/Surface.h"

bool startEngine(bool headless, std::string* error) {
    return platform::initVideo(headless, error);
}

void endEngine() {
    TextureMgr::purgeSharedTextureMgr();
    Director::purgeSharedDirector();
    Scheduler::purgeSharedScheduler();
    Application::sharedApplication().reset();
    platform::setCurrentClock(nullptr);
    platform::shutdownSystemSounds();
    platform::shutdownVideo();
}
