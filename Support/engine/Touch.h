#pragma once
// Touches as the handheld reports them: one object per finger from the
// moment it comes down until it lifts, delivered in sets with an event.

#include "engine/Ref.h"
#include "engine/cpVect.h"

#include <vector>

class View;

enum class TouchPhase { Began, Moved, Stationary, Ended, Cancelled };

class Touch : public Ref {
  public:
    // The touch's position in `view`'s coordinates (points, origin top-left);
    // null means the touch's own view.
    cpVect locationInView(const View* view = nullptr) const;
    cpVect previousLocationInView(const View* view = nullptr) const;
    View* view() const;
    cpVect windowLocation() const { return location_; }
    TouchPhase phase() const { return phase_; }
    int tapCount() const { return tapCount_; }
    double timestamp() const { return timestamp_; }

    // Set by the application as the finger moves (location in window points).
    void update(TouchPhase phase, cpVect windowLocation, double timestamp);
    void setView(View* view);
    void setTapCount(int n) { tapCount_ = n; }

  private:
    RefPtr<Ref> view_; // the view the touch began in
    TouchPhase phase_ = TouchPhase::Began;
    cpVect location_;
    cpVect previous_;
    int tapCount_ = 1;
    double timestamp_ = 0;
};

// An unordered set of touches.
class TouchSet {
  public:
    TouchSet() = default;
    explicit TouchSet(std::vector<RefPtr<Touch>> touches) : touches_(std::move(touches)) {}
    // Any one member (the first), or null for an empty set.
    Touch* anyObject() const { return touches_.empty() ? nullptr : touches_.front().get(); }
    size_t count() const { return touches_.size(); }
    void add(Touch* t) { touches_.emplace_back(t); }
    auto begin() const { return touches_.begin(); }
    auto end() const { return touches_.end(); }

  private:
    std::vector<RefPtr<Touch>> touches_;
};

// The event a touch set arrives with.
class Event : public Ref {
  public:
    Event(double timestamp, TouchSet allTouches)
        : timestamp_(timestamp), allTouches_(std::move(allTouches)) {}
    double timestamp() const { return timestamp_; }
    const TouchSet& allTouches() const { return allTouches_; }

  private:
    double timestamp_;
    TouchSet allTouches_;
};
