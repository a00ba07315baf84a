#pragma once
// The game's screens. Most are layers of a MultiplexLayer that shows one of
// them at a time; two five-layer stacks are built again and again:
//
//   index  main screen    play screen
//     0    MenuLayer      TaskLayer
//     1    OptionLayer    OptionLayer
//     2    LevelLayer     LevelLayer
//     3    GameLayer      GameLayer
//     4    TaskLayer      MenuLayer
//
// and the layers switch among themselves by those fixed indexes.

#include "engine/Layer.h"
#include "engine/Scene.h"
#include "engine/Transition.h"

#include <array>
#include <string>

class MenuItemImage;
class MenuItemToggle;
class Menu;

// The class name of the transition for the next help-screen change (also
// written by the board's "Next level").
extern std::string transitions;

// The web site the help screen opens, and the name it shows for it.
extern const char* const kMakerWebSite;
extern const char* const kMakerHostName;

// A new scene holding a MultiplexLayer of one layer.
RefPtr<Scene> sceneWithLayer(Layer* layer);
// A new main screen (main menu first) and a new play screen (objective first).
RefPtr<Scene> newMainScreen();
RefPtr<Scene> newPlayScreen();
// The path of a resource file of the game, by name and type ("Move", "caf");
// empty (logged) when there is none.
std::string pathForResource(const std::string& name, const std::string& type);
// Presses the shown, enabled text button reading `text` under `root` as a
// touch would; false when there is none.
bool pressItem(CocosNode* root, const std::string& text);
// Whether `key` is the plain key `name` (with Ctrl when `ctrl`, never with Alt).
bool isKey(const KeyPress& key, const char* name, bool ctrl = false);

// Makes the game's own transition classes known by name (once).
void registerGameTransitions();
// Replaces the running scene through the transition class named `name`;
// without such a class the scene is replaced at once.
void replaceSceneWithTransition(const std::string& name, float duration, Scene* scene);

// The sound question of the first scene.
class MessageLayer : public Layer {
  public:
    bool drawsWithoutGL() const override { return true; }
    static RefPtr<MessageLayer> node();
    bool keyDown(const KeyPress& key) override;
    void onEnter() override;
    void onExit() override;
    void BtnYes(Ref* sender);
    void BtnNo(Ref* sender);
};

// The main menu: "Start Game", "Options", "Quit" and the info button.
class MenuLayer : public Layer {
  public:
    bool drawsWithoutGL() const override { return true; }
    static RefPtr<MenuLayer> node();
    bool init() override;
    void startGame(Ref* sender);
    void options(Ref* sender);
    void help(Ref* sender);
    void quit(Ref* sender);
};

// The about text, the web-site button and "Go Back".
class HelpLayer : public Layer {
  public:
    bool drawsWithoutGL() const override { return true; }
    static RefPtr<HelpLayer> node();
    bool keyDown(const KeyPress& key) override;
    bool init() override;
    void onEnter() override;
    void GoBack(Ref* sender);
    void onOurWebSite(Ref* sender);
};

// The sound toggle, "Reset to Defaults" and "Done".
class OptionLayer : public Layer {
  public:
    bool drawsWithoutGL() const override { return true; }
    static RefPtr<OptionLayer> node();
    bool keyDown(const KeyPress& key) override;
    bool init() override;
    void onEnter() override;
    void sound(Ref* sender);
    void reset(Ref* sender);
    void GoBack(Ref* sender);
    MenuItemToggle* soundToggle() const { return sound_.get(); }

  private:
    RefPtr<MenuItemToggle> sound_;
};

// Level selection: ten level buttons and five bonus buttons, locked or not
// by the stored progress.
class LevelLayer : public Layer {
  public:
    bool drawsWithoutGL() const override { return true; }
    static RefPtr<LevelLayer> node();
    bool keyDown(const KeyPress& key) override;
    void onEnter() override;
    void onExit() override;

    void play1(Ref*), play2(Ref*), play3(Ref*), play4(Ref*), play5(Ref*);
    void play6(Ref*), play7(Ref*), play8(Ref*), play9(Ref*), play10(Ref*);
    void playBonus1(Ref*), playBonus2(Ref*), playBonus3(Ref*), playBonus4(Ref*), playBonus5(Ref*);
    // Opens the play screen for the chosen level.
    void play();
    void GoBack(Ref* sender);

    // The level buttons as last built, and the menu of all fifteen buttons.
    const std::array<RefPtr<MenuItemImage>, 10>& levelButtons() const { return stick_; }
    Menu* buttons() const { return stickMenu_.get(); }

  private:
    void playLevel(int32_t n);
    void playBonus(int32_t n);

    int32_t currlevel_ = 0;
    int32_t lastAvailLevel_ = 0;
    std::array<RefPtr<MenuItemImage>, 10> stick_;
    RefPtr<Menu> stickMenu_;
};

// The objective: the level's picture, its task and "Continue".
class TaskLayer : public Layer {
  public:
    bool drawsWithoutGL() const override { return true; }
    static RefPtr<TaskLayer> node();
    bool keyDown(const KeyPress& key) override;
    void onEnter() override;
    void onExit() override;
    void Continue(Ref* sender);
    int32_t currlevel() const { return currlevel_; }

  private:
    int32_t currlevel_ = 0;
};

// The game's own flip: a FlipXTransition always turning "up over".
class FlipXUpOver : public FlipXTransition {
  public:
    static RefPtr<FlipXUpOver> transitionWithDuration(float duration, Scene* scene);
};
