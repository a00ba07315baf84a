#pragma once
// Rectangular views in a window, as the handheld's user-interface kit has
// them: a frame in the superview's coordinates (points, origin top-left),
// a tree of subviews, and flags for touch handling.

#include "engine/Ref.h"
#include "engine/Touch.h"
#include "engine/cpVect.h"

#include <vector>

class Window;

class View : public Ref {
  public:
    View() = default;
    explicit View(ccRect frame) : frame_(frame) {}
    ~View() override;

    ccRect frame() const { return frame_; }
    virtual void setFrame(ccRect frame);
    // The frame's size with origin (0, 0).
    ccRect bounds() const { return ccRect{cpvzero, frame_.size}; }

    View* superview() const { return superview_; }
    const std::vector<RefPtr<View>>& subviews() const { return subviews_; }
    void addSubview(View* view);
    void removeFromSuperview();
    // The window at the root of this view's tree, or null.
    Window* window() const;
    // The view's origin in window coordinates.
    cpVect originInWindow() const;

    bool isUserInteractionEnabled() const { return userInteractionEnabled_; }
    void setUserInteractionEnabled(bool b) { userInteractionEnabled_ = b; }
    bool isMultipleTouchEnabled() const { return multipleTouchEnabled_; }
    void setMultipleTouchEnabled(bool b) { multipleTouchEnabled_ = b; }
    bool isOpaque() const { return opaque_; }
    void setOpaque(bool b) { opaque_ = b; }

    // Called when the size changes and when asked; views lay out their content here.
    virtual void layoutSubviews() {}
    // Called when the view enters a window, or its window is shown.
    virtual void didMoveToWindow() {}

    // Touch entry, called by the application for the view a touch began in.
    virtual void touchesBegan(TouchSet&, Event*) {}
    virtual void touchesMoved(TouchSet&, Event*) {}
    virtual void touchesEnded(TouchSet&, Event*) {}
    virtual void touchesCancelled(TouchSet&, Event*) {}

    // The front-most view under `point` (superview coordinates) that takes touches.
    View* hitTest(cpVect point);

  protected:
    void notifyMovedToWindow();

  private:
    ccRect frame_;
    View* superview_ = nullptr; // weak: the superview holds us
    std::vector<RefPtr<View>> subviews_;
    bool userInteractionEnabled_ = true;
    bool multipleTouchEnabled_ = false;
    bool opaque_ = false;
};

class Window : public View {
  public:
    using View::View;
    void makeKeyAndVisible();
    bool isVisible() const { return visible_; }
    bool isKeyWindow() const;

  private:
    friend class View;
    bool visible_ = false;
};
