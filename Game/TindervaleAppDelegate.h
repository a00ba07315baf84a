#pragma once
// The application delegate: makes the window, attaches the director, shows
// the first scene and passes the life-cycle events on to the engine.

#include "engine/Application.h"
#include "engine/View.h"

class Scene;

class TindervaleAppDelegate : public ApplicationDelegate {
  public:
    void applicationDidFinishLaunching(Application* app) override;
    void applicationWillResignActive(Application* app) override;
    void applicationDidBecomeActive(Application* app) override;
    void applicationDidReceiveMemoryWarning(Application* app) override;
    // Ctrl+Q quits, from any screen, as the main menu's "Quit" does.
    bool applicationKeyDown(Application* app, const KeyPress& key) override;

    Window* window() const { return window_.get(); }

    // The scene the game opens with.
    static RefPtr<Scene> firstScene();

  private:
    RefPtr<Window> window_;
};
