#include "TindervaleAppDelegate.h"

#include "GameScenes.h"

#include "engine/Director.h"
#include "engine/Scene.h"
#include "engine/TextureMgr.h"
#include "platform/Image.h"

#include <cstdlib>
#include <string_view>

// The main screen's bounds in points.
static const ccRect kMainScreenBounds = ccRectMake(0, 0, 320, 480);

// The desktop's picture of the game for its window.
static void setWindowIcon() {
    EAGLView* view = Director::sharedDirector()->openGLView();
    std::string path = TextureMgr::sharedTextureMgr()->fullPathFromRelativePath("icon-64.png");
    platform::Bitmap icon;
    if (view && !path.empty() && platform::decodePNG(path, icon)) view->setWindowIcon(icon);
}

// The sound question, in a scene of its own.
RefPtr<Scene> TindervaleAppDelegate::firstScene() {
    return sceneWithLayer(MessageLayer::node());
}

void TindervaleAppDelegate::applicationDidFinishLaunching(Application* app) {
    window_ = makeRef<Window>(kMainScreenBounds);
    window_->setUserInteractionEnabled(true);
    app->setIdleTimerDisabled(true);
    Director::sharedDirector()->attachInWindow(window_);
    registerGameTransitions();
    // A developer's switch, not a player's option: TV_SHOW_FPS=1 shows the frame-rate counter.
    if (const char* fps = std::getenv("TV_SHOW_FPS"); fps && std::string_view(fps) == "1")
        Director::sharedDirector()->setDisplayFPS(true);
    RefPtr<Scene> scene = firstScene();
    window_->makeKeyAndVisible();
    setWindowIcon();
    Director::sharedDirector()->runWithScene(scene);
}

bool TindervaleAppDelegate::applicationKeyDown(Application* app, const KeyPress& key) {
    if (key.name != "Q" || !key.ctrl || key.alt) return false;
    Director* director = Director::sharedDirector();
    if (!director->scenes().empty()) director->popScene();
    app->terminate();
    return true;
}

void TindervaleAppDelegate::applicationWillResignActive(Application*) {
    Director::sharedDirector()->pause();
}

void TindervaleAppDelegate::applicationDidBecomeActive(Application*) {
    Director::sharedDirector()->resume();
}

void TindervaleAppDelegate::applicationDidReceiveMemoryWarning(Application*) {
    // Nodes keep the textures they show; the rest are loaded again when next asked for.
    TextureMgr::sharedTextureMgr()->removeAllTextures();
}
