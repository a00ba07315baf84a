#include "engine/CameraAction.h"

#include "engine/Camera.h"
#include "engine/CocosNode.h"

#include <cmath>

namespace {
constexpr double kPiDouble = 3.141592653589793;

// The quotient in single precision, the product with pi in double.
float degreesToRadians(float a) {
    return static_cast<float>(static_cast<double>(a / 180.0f) * kPiDouble);
}
float radiansToDegrees(float r) {
    return static_cast<float>(static_cast<double>(r) / kPiDouble * 180.0);
}

Camera* cameraOf(CocosNode* node) {
    return node ? node->camera() : nullptr;
}
} // namespace

// ---- CameraAction

void CameraAction::start() {
    IntervalAction::start();
    Camera* camera = cameraOf(target());
    if (!camera) return;
    camera->centerX(&centerXOrig_, &centerYOrig_, &centerZOrig_);
    camera->eyeX(&eyeXOrig_, &eyeYOrig_, &eyeZOrig_);
    camera->upX(&upXOrig_, &upYOrig_, &upZOrig_);
}

RefPtr<TimedAction> CameraAction::reverse() {
    return ReverseTime::actionWithAction(this);
}

// ---- OrbitCamera

RefPtr<OrbitCamera> OrbitCamera::actionWithDuration(float duration, float radius, float deltaRadius,
                                                    float angleZ, float deltaAngleZ, float angleX,
                                                    float deltaAngleX) {
    return construct<OrbitCamera>([&](OrbitCamera& o) {
        return o.initWithDuration(duration, radius, deltaRadius, angleZ, deltaAngleZ, angleX, deltaAngleX);
    });
}

bool OrbitCamera::initWithDuration(float duration, float radius, float deltaRadius, float angleZ,
                                   float deltaAngleZ, float angleX, float deltaAngleX) {
    if (!IntervalAction::initWithDuration(duration)) return false;
    radius_ = radius;
    deltaRadius_ = deltaRadius;
    angleZ_ = angleZ;
    deltaAngleZ_ = deltaAngleZ;
    angleX_ = angleX;
    deltaAngleX_ = deltaAngleX;
    radDeltaZ_ = degreesToRadians(deltaAngleZ);
    radDeltaX_ = degreesToRadians(deltaAngleX);
    return true;
}

void OrbitCamera::start() {
    CameraAction::start();
    float r, zenith, azimuth;
    sphericalRadius(&r, &zenith, &azimuth);
    if (std::isnan(radius_)) radius_ = r;
    if (std::isnan(angleZ_)) angleZ_ = radiansToDegrees(zenith);
    if (std::isnan(angleX_)) angleX_ = radiansToDegrees(azimuth);
    radZ_ = degreesToRadians(angleZ_);
    radX_ = degreesToRadians(angleX_);
}

void OrbitCamera::update(float t) {
    Camera* camera = cameraOf(target());
    if (!camera) return;
    float r = (radius_ + deltaRadius_ * t) * Camera::getZEye();
    float za = radZ_ + radDeltaZ_ * t;
    float xa = radX_ + radDeltaX_ * t;
    float x = r * (std::sin(za) * std::cos(xa)) + centerXOrig_;
    float y = r * (std::sin(za) * std::sin(xa)) + centerYOrig_;
    float z = r * std::cos(za) + centerZOrig_;
    camera->setEyeX(x, y, z);
}

void OrbitCamera::sphericalRadius(float* radius, float* zenith, float* azimuth) const {
    float ex = 0, ey = 0, ez = 0, cx = 0, cy = 0, cz = 0;
    if (Camera* camera = cameraOf(target())) {
        camera->eyeX(&ex, &ey, &ez);
        camera->centerX(&cx, &cy, &cz);
    }
    float x = ex - cx, y = ey - cy, z = ez - cz;
    float r = std::sqrt(x * x + y * y + z * z);
    float s = std::sqrt(x * x + y * y);
    if (s == 0.0f) s = 1e-8f;
    if (r == 0.0f) r = 1e-8f;
    *zenith = std::acos(z / r);
    if (x < 0)
        *azimuth = 3.1415927f - std::asin(y / s);
    else
        *azimuth = std::asin(y / s);
    *radius = r / Camera::getZEye();
}

RefPtr<Action> OrbitCamera::copy() const {
    return actionWithDuration(duration(), radius_, deltaRadius_, angleZ_, deltaAngleZ_, angleX_,
                              deltaAngleX_);
}
