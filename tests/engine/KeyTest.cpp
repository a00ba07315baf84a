// Key presses: from the platform through the application to the running scene's layers, topmost
// first, and what they leave to the application delegate.

#include "InputRecorder.h"
#include "support/EngineTest.h"

#include "engine/Application.h"

namespace {
class Delegate : public ApplicationDelegate {
  public:
    bool applicationKeyDown(Application*, const KeyPress& key) override {
        journal->push_back("app.key " + platform::describeKeyPress(key));
        return key.ctrl;
    }
    std::shared_ptr<Journal> journal = std::make_shared<Journal>();
};
} // namespace

using KeyTest = EngineTest;

TEST_F(KeyTest, TheTopmostVisibleLayerIsAskedFirstAndTheApplicationLast) {
    Delegate app;
    Application::sharedApplication().setDelegate(&app);
    auto layer = [&](std::string name, std::string takes) {
        return InputRecorder::make(std::move(name), app.journal, false, std::move(takes));
    };
    // Who was offered the key `text`, pressed once.
    auto press = [&](const std::string& text) {
        app.journal->clear();
        pressKey(text);
        return *app.journal;
    };
    RefPtr<Scene> scene = Scene::node();
    RefPtr<InputRecorder> above = layer("above", "R");
    RefPtr<InputRecorder> hidden = layer("hidden", "Escape");
    hidden->setVisible(false);
    scene->add(layer("below", "Escape"), 0);
    scene->add(above, 2);
    scene->add(hidden, 3);
    above->add(layer("inner", "Space"), 0);
    runScene(scene);
    step();

    EXPECT_EQ(press("R"), (Journal{"inner.key R", "above.key R"})) << "a child sits above its parent";
    EXPECT_EQ(press("Escape"), (Journal{"inner.key Escape", "above.key Escape", "below.key Escape"}));
    EXPECT_EQ(press("Ctrl+Q"),
              (Journal{"inner.key Ctrl+Q", "above.key Ctrl+Q", "below.key Ctrl+Q", "app.key Ctrl+Q"}));
    director()->setEventsEnabled(false); // as during a transition: only the application hears keys
    EXPECT_EQ(press("Escape"), (Journal{"app.key Escape"}));

    // Without a director keys still reach the application, and nothing points at the old one.
    Director::purgeSharedDirector();
    app.journal->clear();
    EXPECT_EQ(Application::sharedApplication().keyDelegate(), nullptr);
    EXPECT_TRUE(Application::sharedApplication().dispatchKey(KeyPress{"Z", true}));
    EXPECT_EQ(*app.journal, (Journal{"app.key Ctrl+Z"}));
}
