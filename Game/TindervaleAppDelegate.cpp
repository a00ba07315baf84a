#include "TindervaleAppDelegate.h"

#include "engine/Director.h"
#include "engine/Layer.h"
#include "engine/Scene.h"
#include "engine/TextureMgr.h"

#include <cstdlib>
#include <string_view>

// The main screen's bounds in points.
static const ccRect kMainScreenBounds = ccRectMake(0, 0, 320, 480);

namespace {
// A stand-in first screen until the game's own screens exist: a dark field
// with a slowly turning square, so that a run shows the engine at work.
class PlaceholderLayer : public Layer {
  public:
    bool init() override {
        if (!Layer::init()) return false;
        add(ColorLayer::layerWithColor(0x1d2b3aff), -1);
        square_ = ColorLayer::layerWithColor(0xf2a541ff, 100, 100);
        square_->setRelativeTransformAnchor(true);
        square_->setTransformAnchor(cpv(50, 50));
        square_->setPosition(cpv(160, 240));
        add(square_, 0);
        schedule("turn", [this](float dt) { square_->setRotation(square_->rotation() + 45 * dt); });
        return true;
    }

  private:
    RefPtr<ColorLayer> square_;
};
} // namespace

RefPtr<Scene> TindervaleAppDelegate::firstScene() {
    RefPtr<Scene> scene = Scene::node();
    RefPtr<Layer> placeholder = nodeOf<PlaceholderLayer>();
    scene->add(MultiplexLayer::layerWithLayers({placeholder.get()}), 0);
    return scene;
}

void TindervaleAppDelegate::applicationDidFinishLaunching(Application* app) {
    window_ = makeRef<Window>(kMainScreenBounds);
    window_->setUserInteractionEnabled(true);
    app->setIdleTimerDisabled(true);
    Director::sharedDirector()->attachInWindow(window_);
    // A developer's switch, not a player's option: TV_SHOW_FPS=1 shows the frame-rate counter.
    if (const char* fps = std::getenv("TV_SHOW_FPS"); fps && std::string_view(fps) == "1")
        Director::sharedDirector()->setDisplayFPS(true);
    RefPtr<Scene> scene = firstScene();
    window_->makeKeyAndVisible();
    Director::sharedDirector()->runWithScene(scene);
}

void TindervaleAppDelegate::applicationWillResignActive(Application*) { Director::sharedDirector()->pause(); }

void TindervaleAppDelegate::applicationDidBecomeActive(Application*) { Director::sharedDirector()->resume(); }

void TindervaleAppDelegate::applicationDidReceiveMemoryWarning(Application*) {
    // Nodes keep the textures they show; the rest are loaded again when next asked for.
    TextureMgr::sharedTextureMgr()->removeAllTextures();
}
