// Key presses: from the platform through the application to the running
// scene's layers, topmost first, and what they leave to the application
// delegate.

#include "support/EngineTest.h"

#include "engine/Application.h"
#include "engine/Layer.h"
#include "platform/Input.h"

#include <string>
#include <vector>

namespace {
std::vector<std::string> taken;

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
        taken.clear();
        Application::sharedApplication().setDelegate(&delegate_);
    }
    void press(const std::string& text) {
        platform::InputEvent e;
        e.kind = platform::InputKind::KeyDown;
        ASSERT_TRUE(platform::parseKeyPress(text, e.key));
        platform::injectInputEvent(e);
        step();
    }
    Delegate delegate_;
};
} // namespace

TEST_F(KeyTest, TheTopmostVisibleLayerIsAskedFirstAndTheApplicationLast) {
    RefPtr<Scene> scene = Scene::node();
    RefPtr<KeyLayer> below = KeyLayer::layer("below", "Escape");
    RefPtr<KeyLayer> above = KeyLayer::layer("above", "R");
    RefPtr<KeyLayer> hidden = KeyLayer::layer("hidden", "Escape");
    hidden->setVisible(false);
    scene->add(below, 0);
    scene->add(above, 2);
    scene->add(hidden, 3);
    above->add(KeyLayer::layer("inner", "Space"), 0);
    runScene(scene);
    step();

    press("R");
    EXPECT_EQ(taken, (std::vector<std::string>{"inner:R", "above:R"})) << "a child sits above its parent";
    taken.clear();
    press("Escape");
    EXPECT_EQ(taken, (std::vector<std::string>{"inner:Escape", "above:Escape", "below:Escape"}));
    taken.clear();
    press("Ctrl+Q");
    EXPECT_EQ(taken, (std::vector<std::string>{"inner:Ctrl+Q", "above:Ctrl+Q", "below:Ctrl+Q", "app:Ctrl+Q"}));
}

TEST_F(KeyTest, WhileEventsAreOffOnlyTheApplicationHearsKeys) {
    RefPtr<Scene> scene = Scene::node();
    scene->add(KeyLayer::layer("layer", "Escape"));
    runScene(scene);
    step();
    director()->setEventsEnabled(false); // as during a transition
    press("Escape");
    EXPECT_EQ(taken, (std::vector<std::string>{"app:Escape"}));
}

TEST_F(KeyTest, WithoutADirectorKeysGoToTheApplication) {
    Director::purgeSharedDirector();
    EXPECT_EQ(Application::sharedApplication().keyDelegate(), nullptr) << "no dangling key delegate";
    KeyPress ctrlZ{"Z", true};
    EXPECT_TRUE(Application::sharedApplication().dispatchKey(ctrlZ));
    EXPECT_EQ(taken, (std::vector<std::string>{"app:Ctrl+Z"}));
}
