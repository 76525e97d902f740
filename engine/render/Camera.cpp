#include "engine/render/Camera.h"

#include <algorithm>
#include <cmath>

Camera::Camera() {
    UpdateEye();
}

void Camera::SetLookAt(const Vector3f& eye, const Vector3f& target, const Vector3f& up,
                       const Vector3f& axis) {
    target_ = target;
    up_ = up;
    axis_ = axis;
    Vector3f d = target - eye;
    float length = Length(d);
    distance_ = std::clamp(length, minDistance_, maxDistance_);
    if (length > 0) {
        d = d * (1.0f / length);
        pitch_ = std::clamp(std::asin(std::clamp(-d.y, -1.0f, 1.0f)), minPitch_, maxPitch_);
        yaw_ = std::atan2(d.x, d.z);
    }
    UpdateEye();
}

void Camera::SetProjectionParams(float width, float height, float fov, float aspect, float zNear,
                                 float zFar) {
    width_ = width;
    height_ = height;
    fov_ = fov;
    aspect_ = aspect;
    near_ = zNear;
    far_ = zFar;
    UpdateFov();
}

void Camera::SetDistanceFov(float distance0, float fov0, float distance1, float fov1) {
    distanceFov_ = true;
    fovDistance0_ = distance0;
    fov0_ = fov0;
    fovDistance1_ = distance1;
    fov1_ = fov1;
    UpdateFov();
}

void Camera::SetMinPitch(float pitch) {
    minPitch_ = std::clamp(pitch, -kPi / 2, kPi / 2);
    SetPitch(pitch_);
}

void Camera::SetMaxPitch(float pitch) {
    maxPitch_ = std::clamp(pitch, -kPi / 2, kPi / 2);
    SetPitch(pitch_);
}

void Camera::SetMinDistance(float distance) {
    minDistance_ = std::max(distance, 0.1f);
    SetDistance(distance_);
}

void Camera::SetMaxDistance(float distance) {
    maxDistance_ = std::max(distance, 0.1f);
    SetDistance(distance_);
}

void Camera::SetYaw(float yaw) {
    yaw_ = yaw;
    UpdateEye();
}

void Camera::SetPitch(float pitch) {
    pitch_ = std::clamp(pitch, minPitch_, std::max(minPitch_, maxPitch_));
    UpdateEye();
}

void Camera::Orbit(float distance, const Vector3f& direction) {
    Vector3f d = Normalize(direction);
    distance_ = std::clamp(distance, minDistance_, std::max(minDistance_, maxDistance_));
    pitch_ = std::clamp(std::asin(std::clamp(-d.y, -1.0f, 1.0f)), minPitch_, maxPitch_);
    yaw_ = std::atan2(d.x, d.z);
    UpdateEye();
}

void Camera::SetDistance(float distance) {
    distance_ = std::clamp(distance, minDistance_, std::max(minDistance_, maxDistance_));
    UpdateEye();
    UpdateFov();
}

void Camera::Rotate(float yaw, float pitch) {
    yaw_ += yaw;
    SetPitch(pitch_ + pitch);
}

void Camera::MoveTargetTo(const Vector3f& target) {
    target_ = target;
    UpdateEye();
}

void Camera::UpdateEye() {
    Vector3f d{std::cos(pitch_) * std::sin(yaw_), -std::sin(pitch_), std::cos(pitch_) * std::cos(yaw_)};
    eye_ = target_ - d * distance_;
}

void Camera::UpdateFov() {
    if (!distanceFov_ || fovDistance1_ == fovDistance0_) return;
    float t = std::clamp((distance_ - fovDistance0_) / (fovDistance1_ - fovDistance0_), 0.0f, 1.0f);
    fov_ = fov0_ + (fov1_ - fov0_) * t;
}

Matrix4f Camera::View() const {
    Vector3f up = up_;
    if (Length(Cross(up, target_ - eye_)) < 1e-6f) up = {0, 0, 1};
    return LookAtMatrix(eye_, target_, up);
}

// The aspect is height / width (the scene manager's setter); the projection takes width / height.
Matrix4f Camera::Projection() const {
    float widthOverHeight = aspect_ > 0 ? 1.0f / aspect_ : (height_ > 0 ? width_ / height_ : 1.0f);
    return PerspectiveMatrix(fov_, widthOverHeight, near_, far_);
}
