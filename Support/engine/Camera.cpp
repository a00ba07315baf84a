#include "engine/Camera.h"

#include "engine/Director.h"
#include "engine/glu.h"
#include "platform/GL.h"
#include "platform/Log.h"

RefPtr<Camera> Camera::camera() {
    return makeRef<Camera>();
}

Camera::Camera() {
    restore();
}

void Camera::restore() {
    ccSize s = Director::sharedDirector()->displaySize();
    eyeX_ = s.width / 2;
    eyeY_ = s.height / 2;
    eyeZ_ = getZEye();
    centerX_ = s.width / 2;
    centerY_ = s.height / 2;
    centerZ_ = 0.0f;
    upX_ = 0.0f;
    upY_ = 1.0f;
    upZ_ = 0.0f;
    dirty_ = false;
}

float Camera::getZEye() {
    return Director::sharedDirector()->displaySize().height / 1.1566f;
}

void Camera::setEyeX(float x, float y, float z) {
    eyeX_ = x;
    eyeY_ = y;
    eyeZ_ = z;
    dirty_ = true;
}

void Camera::setCenterX(float x, float y, float z) {
    centerX_ = x;
    centerY_ = y;
    centerZ_ = z;
    dirty_ = true;
}

void Camera::setUpX(float x, float y, float z) {
    upX_ = x;
    upY_ = y;
    upZ_ = z;
    dirty_ = true;
}

void Camera::eyeX(float* x, float* y, float* z) const {
    *x = eyeX_;
    *y = eyeY_;
    *z = eyeZ_;
}

void Camera::centerX(float* x, float* y, float* z) const {
    *x = centerX_;
    *y = centerY_;
    *z = centerZ_;
}

void Camera::upX(float* x, float* y, float* z) const {
    *x = upX_;
    *y = upY_;
    *z = upZ_;
}

void Camera::locate() {
    if (!dirty_) return;
    glLoadIdentity();
    bool landscape = Director::sharedDirector()->landscape();
    if (landscape) glRotatef(-90, 0, 0, 1);
    gluLookAt(eyeX_, eyeY_, eyeZ_, centerX_, centerY_, centerZ_, upX_, upY_, upZ_);
    if (landscape) glTranslatef(-80, 80, 0);
}

std::string Camera::description() const {
    return platform::ccFormat("<Camera = %p | center = (%.2f,%.2f,%.2f)>", static_cast<const void*>(this),
                              centerX_, centerY_, centerZ_);
}
