#include "engine/View.h"

#include "engine/Application.h"

#include <algorithm>

View::~View() {
    // Subviews that live on must not point at us.
    for (auto& child : subviews_)
        child->superview_ = nullptr;
}

void View::setFrame(ccRect frame) {
    bool resized = frame.size != frame_.size;
    frame_ = frame;
    if (resized) layoutSubviews();
}

void View::addSubview(View* view) {
    if (!view || view == this) return;
    RefPtr<View> keep(view);
    view->removeFromSuperview();
    subviews_.emplace_back(view);
    view->superview_ = this;
    if (Window* w = window(); w && w->isVisible()) view->notifyMovedToWindow();
}

void View::removeFromSuperview() {
    if (!superview_) return;
    RefPtr<View> keep(this);
    auto& siblings = superview_->subviews_;
    siblings.erase(std::remove(siblings.begin(), siblings.end(), this), siblings.end());
    superview_ = nullptr;
}

Window* View::window() const {
    const View* v = this;
    while (v->superview_)
        v = v->superview_;
    return dynamic_cast<Window*>(const_cast<View*>(v));
}

cpVect View::originInWindow() const {
    cpVect origin = cpvzero;
    for (const View* v = this; v && v->superview_; v = v->superview_)
        origin = cpvadd(origin, v->frame_.origin);
    return origin;
}

void View::notifyMovedToWindow() {
    didMoveToWindow();
    for (auto& child : subviews_)
        child->notifyMovedToWindow();
}

View* View::hitTest(cpVect point) {
    if (!userInteractionEnabled_) return nullptr;
    cpVect local = cpvsub(point, frame_.origin);
    if (dynamic_cast<Window*>(this)) local = point;
    // Edges count as inside: a scripted touch at the very bottom (y = 0) still lands.
    if (local.x < 0 || local.y < 0 || local.x > frame_.size.width || local.y > frame_.size.height)
        return nullptr;
    for (auto it = subviews_.rbegin(); it != subviews_.rend(); ++it)
        if (View* hit = (*it)->hitTest(local)) return hit;
    return this;
}

void Window::makeKeyAndVisible() {
    Application::sharedApplication().setKeyWindow(this);
    if (visible_) return;
    visible_ = true;
    notifyMovedToWindow();
}

bool Window::isKeyWindow() const {
    return Application::sharedApplication().keyWindow() == this;
}

View* Touch::view() const {
    return static_cast<View*>(view_.get());
}

void Touch::setView(View* view) {
    view_ = view;
}

cpVect Touch::locationInView(const View* view) const {
    const View* v = view ? view : this->view();
    return v ? cpvsub(location_, v->originInWindow()) : location_;
}

cpVect Touch::previousLocationInView(const View* view) const {
    const View* v = view ? view : this->view();
    return v ? cpvsub(previous_, v->originInWindow()) : previous_;
}

void Touch::update(TouchPhase phase, cpVect windowLocation, double timestamp) {
    previous_ = phase == TouchPhase::Began ? windowLocation : location_;
    location_ = windowLocation;
    phase_ = phase;
    timestamp_ = timestamp;
}
