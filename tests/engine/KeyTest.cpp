// Key presses: from the platform through the application to the running scene's layers, topmost
// first, and what they leave to the application delegate.

#include "support/EngineTest.h"

#include "engine/Application.h"
#include "engine/Layer.h"
#include "platform/Input.h"

#include <string>
#include <vector>

namespace {
using Strings = std::vector<std::string>;
Strings taken;

// Takes the keys named `takes`, noting every key it is offered.
class KeyLayer : public Layer {
  public:
    static RefPtr<KeyLayer> layer(std::string name, std::string takes) {
        RefPtr<KeyLayer> l = nodeOf<KeyLayer>();
        l->name_ = std::move(name);
        l->takes_ = std::move(takes);
        return l;
    }
    bool keyDown(const KeyPress& key) override {
        taken.push_back(name_ + ":" + platform::describeKeyPress(key));
        return key.name == takes_;
    }

  private:
    std::string name_, takes_;
};

class Delegate : public ApplicationDelegate {
  public:
    bool applicationKeyDown(Application*, const KeyPress& key) override {
        taken.push_back("app:" + platform::describeKeyPress(key));
        return key.ctrl;
    }
};

class KeyTest : public EngineTest {
  protected:
    void SetUp() override {
        EngineTest::SetUp();
        Application::sharedApplication().setDelegate(&delegate_);
    }
    // Who was offered the key `text`, pressed once.
    Strings press(const std::string& text) {
        taken.clear();
        platform::InputEvent e;
        e.kind = platform::InputKind::KeyDown;
        EXPECT_TRUE(platform::parseKeyPress(text, e.key));
        platform::injectInputEvent(e);
        step();
        return taken;
    }
    Delegate delegate_;
};
} // namespace

TEST_F(KeyTest, TheTopmostVisibleLayerIsAskedFirstAndTheApplicationLast) {
    RefPtr<Scene> scene = Scene::node();
    RefPtr<KeyLayer> above = KeyLayer::layer("above", "R");
    RefPtr<KeyLayer> hidden = KeyLayer::layer("hidden", "Escape");
    hidden->setVisible(false);
    scene->add(KeyLayer::layer("below", "Escape"), 0);
    scene->add(above, 2);
    scene->add(hidden, 3);
    above->add(KeyLayer::layer("inner", "Space"), 0);
    runScene(scene);
    step();

    EXPECT_EQ(press("R"), (Strings{"inner:R", "above:R"})) << "a child sits above its parent";
    EXPECT_EQ(press("Escape"), (Strings{"inner:Escape", "above:Escape", "below:Escape"}));
    EXPECT_EQ(press("Ctrl+Q"), (Strings{"inner:Ctrl+Q", "above:Ctrl+Q", "below:Ctrl+Q", "app:Ctrl+Q"}));
    director()->setEventsEnabled(false); // as during a transition: only the application hears keys
    EXPECT_EQ(press("Escape"), (Strings{"app:Escape"}));

    // Without a director keys still reach the application, and nothing points at the old one.
    taken.clear();
    Director::purgeSharedDirector();
    EXPECT_EQ(Application::sharedApplication().keyDelegate(), nullptr);
    EXPECT_TRUE(Application::sharedApplication().dispatchKey(KeyPress{"Z", true}));
    EXPECT_EQ(taken, (Strings{"app:Ctrl+Z"}));
}
