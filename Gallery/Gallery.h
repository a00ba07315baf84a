#pragma once
// The gallery around the demos: the list of demos by group, the page a demo
// runs on (its title, arrows to the previous and next demo, the way back to
// the list), and the clock that starts a demo again when it has run out.

#include "Demo.h"

#include "engine/Scene.h"
#include "engine/Scheduler.h"

class Gallery : public Ref {
  public:
    // The one gallery (made on first use); purgeShared drops it (tests, program exit).
    static Gallery* shared();
    static void purgeShared();

    // Scenes: the list (page `page` of it) and the demo at `index`.
    static RefPtr<Scene> listScene(int page = 0);
    // Shows demo `index` (wrapping around the list) as the running scene.
    void showDemo(int index);
    void showList();
    void next() { showDemo(current_ + 1); }
    void previous() { showDemo(current_ - 1); }

    // The keys the gallery answers (the application delegate hands them on):
    // left/right: previous/next demo, Escape: back to the list.
    enum class Key { Left, Right, Escape };
    void keyPressed(Key key);

    // A scene showing `content` as a page of the open demo: the title, the
    // arrows and the way back on top. For demos that change scenes themselves.
    RefPtr<Scene> page(Layer* content);

    // The demo open now; -1 on the list.
    int current() const { return current_; }

  private:
    // Starts the open demo again once it has run its length.
    void tick(float dt);
    void startClock();
    void stopClock();

    int current_ = -1;
    float elapsed_ = 0;
    RefPtr<Timer> timer_;
};

// Shorthand for demos: Gallery::shared()->page(content).
RefPtr<Scene> demoPage(Layer* content);
