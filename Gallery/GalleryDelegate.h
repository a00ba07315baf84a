#pragma once
// The gallery's application delegate: makes the window, attaches the
// director and opens on the list of demos, or on one demo; it hands the
// gallery's keys to the gallery.

#include "engine/Application.h"
#include "engine/View.h"

class GalleryDelegate : public ApplicationDelegate {
  public:
    // `firstDemo` -1: open on the list.
    explicit GalleryDelegate(int firstDemo = -1) : firstDemo_(firstDemo) {}

    void applicationDidFinishLaunching(Application* app) override;
    void applicationWillResignActive(Application* app) override;
    void applicationDidBecomeActive(Application* app) override;
    void applicationWillTerminate(Application* app) override;
    // Left and right: the previous and next demo; Escape: back to the list.
    bool applicationKeyDown(Application* app, const KeyPress& key) override;

  private:
    int firstDemo_;
    RefPtr<Window> window_;
};
