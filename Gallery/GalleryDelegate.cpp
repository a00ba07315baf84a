#include "GalleryDelegate.h"

#include "Gallery.h"

#include "engine/Director.h"

void GalleryDelegate::applicationDidFinishLaunching(Application*) {
    window_ = makeRef<Window>(ccRectMake(0, 0, 320, 480));
    window_->setUserInteractionEnabled(true);
    Director::sharedDirector()->attachInWindow(window_);
    window_->makeKeyAndVisible();
    if (firstDemo_ >= 0)
        Gallery::shared()->showDemo(firstDemo_);
    else
        Director::sharedDirector()->runWithScene(Gallery::listScene());
}

void GalleryDelegate::applicationWillResignActive(Application*) {
    Director::sharedDirector()->pause();
}

void GalleryDelegate::applicationDidBecomeActive(Application*) {
    Director::sharedDirector()->resume();
}

void GalleryDelegate::applicationWillTerminate(Application*) {
    Gallery::purgeShared();
}

bool GalleryDelegate::applicationKeyDown(Application*, const KeyPress& key) {
    if (key.ctrl || key.alt) return false;
    Gallery* gallery = Gallery::shared();
    if (gallery->current() < 0) return false; // the list has no keys of its own
    if (key.name == "Left")
        gallery->keyPressed(Gallery::Key::Left);
    else if (key.name == "Right")
        gallery->keyPressed(Gallery::Key::Right);
    else if (key.name == "Escape")
        gallery->keyPressed(Gallery::Key::Escape);
    else
        return false;
    return true;
}
