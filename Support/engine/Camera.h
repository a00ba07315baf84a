#pragma once
// A node's camera: a look-at view for the node's subtree. Until one of its
// values is set it does nothing at all.

#include "engine/Ref.h"

class Camera : public Ref {
  public:
    static RefPtr<Camera> camera();
    Camera();

    // Back to the director's default view; no longer dirty.
    void restore();
    // The eye's distance from the plane z = 0 that makes one unit one point.
    static float getZEye();

    void setEyeX(float x, float y, float z);
    void setCenterX(float x, float y, float z);
    void setUpX(float x, float y, float z);
    void eyeX(float* x, float* y, float* z) const;
    void centerX(float* x, float* y, float* z) const;
    void upX(float* x, float* y, float* z) const;

    bool dirty() const { return dirty_; }
    void setDirty(bool d) { dirty_ = d; }

    // Replaces the modelview matrix with the camera's view, when dirty.
    void locate();

    std::string description() const override;

  private:
    float eyeX_, eyeY_, eyeZ_;
    float centerX_, centerY_, centerZ_;
    float upX_, upY_, upZ_;
    bool dirty_ = false;
};
