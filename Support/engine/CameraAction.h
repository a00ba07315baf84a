#pragma once
// Interval actions that move the target node's camera. OrbitCamera swings
// the eye around the camera's centre on a sphere, turning the node's picture
// in 3-D; the node's own transform is untouched.

#include "engine/IntervalAction.h"

class CameraAction : public IntervalAction {
  public:
    // Records the camera's centre, eye and up vector.
    void start() override;
    // Plays this very action backwards (not a copy).
    RefPtr<TimedAction> reverse() override;

  protected:
    float centerXOrig_ = 0, centerYOrig_ = 0, centerZOrig_ = 0;
    float eyeXOrig_ = 0, eyeYOrig_ = 0, eyeZOrig_ = 0;
    float upXOrig_ = 0, upYOrig_ = 0, upZOrig_ = 0;
};

// Radius in units of the default eye distance (Camera::getZEye), angles in
// degrees: the zenith from the camera's z axis, the azimuth in the x-y plane
// from the x axis. A radius or start angle of NaN means "as the camera
// stands when the action starts".
class OrbitCamera : public CameraAction {
  public:
    static RefPtr<OrbitCamera> actionWithDuration(float duration, float radius, float deltaRadius,
                                                  float angleZ, float deltaAngleZ, float angleX,
                                                  float deltaAngleX);
    bool initWithDuration(float duration, float radius, float deltaRadius, float angleZ, float deltaAngleZ,
                          float angleX, float deltaAngleX);

    void start() override;
    void update(float t) override;
    // The camera's present eye relative to its centre: radius in eye
    // distances, zenith and azimuth in radians.
    void sphericalRadius(float* radius, float* zenith, float* azimuth) const;
    // Carries the values a start filled in.
    RefPtr<Action> copy() const override;

    float radius() const { return radius_; }
    float angleZ() const { return angleZ_; }
    float angleX() const { return angleX_; }

  private:
    float radius_ = 0, deltaRadius_ = 0;
    float angleZ_ = 0, deltaAngleZ_ = 0;
    float angleX_ = 0, deltaAngleX_ = 0;
    float radZ_ = 0, radDeltaZ_ = 0;
    float radX_ = 0, radDeltaX_ = 0;
};
