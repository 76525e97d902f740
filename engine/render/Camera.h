#pragma once
// Cameras of engine scenes: an orbit around a target (distance, yaw, pitch within limits) with a
// perspective projection. Angles are radians unless the name says degrees. Y is up.

#include <cstdint>

#include "engine/render/RenderMath.h"

class Camera {
public:
    Camera();
    virtual ~Camera() = default;
    Camera(const Camera&) = default;
    Camera& operator=(const Camera&) = default;

    std::uint32_t id = 0;

    void SetLookAt(const Vector3f& eye, const Vector3f& target, const Vector3f& up, const Vector3f& axis);
    void SetProjectionParams(float width, float height, float fov, float aspect, float zNear, float zFar);
    // Field of view follows the distance linearly between two (distance, fov) points.
    void SetDistanceFov(float distance0, float fov0, float distance1, float fov1);
    void SetMinPitch(float pitch);
    void SetMaxPitch(float pitch);
    void SetMinDistance(float distance);
    void SetMaxDistance(float distance);
    void SetPitchDegrees(float degrees) { SetPitch(degrees * kDegrees); }
    void SetYawDegrees(float degrees) { SetYaw(degrees * kDegrees); }
    void SetYaw(float yaw);
    void SetPitch(float pitch);
    // Places the eye at a distance from the target, looking along direction.
    void Orbit(float distance, const Vector3f& direction);
    void SetDistance(float distance);
    float GetDistance() const { return distance_; }
    void RotateDegrees(float yawDegrees, float pitchDegrees) {
        Rotate(yawDegrees * kDegrees, pitchDegrees * kDegrees);
    }
    void Rotate(float yaw, float pitch);
    void MoveTargetTo(const Vector3f& target);

    const Vector3f& Eye() const { return eye_; }
    const Vector3f& Target() const { return target_; }
    float Yaw() const { return yaw_; }
    float Pitch() const { return pitch_; }
    float Fov() const { return fov_; }
    float Aspect() const { return aspect_; }
    void SetAspect(float heightOverWidth) { aspect_ = heightOverWidth; }
    float MinPitch() const { return minPitch_; }
    float MaxPitch() const { return maxPitch_; }
    float MinDistance() const { return minDistance_; }
    float MaxDistance() const { return maxDistance_; }

    Matrix4f View() const;
    Matrix4f Projection() const;

    static constexpr float kPi = 3.14159265358979f;
    static constexpr float kDegrees = kPi / 180.0f;

private:
    void UpdateEye();
    void UpdateFov();

    Vector3f eye_{0, 0, -10};
    Vector3f target_;
    Vector3f up_{0, 1, 0};
    Vector3f axis_{0, 1, 0};
    float yaw_ = 0, pitch_ = 0, distance_ = 10;
    float minPitch_ = -kPi / 2, maxPitch_ = kPi / 2;
    float minDistance_ = 0.1f, maxDistance_ = 100000.0f;
    float width_ = 1024, height_ = 768, fov_ = kPi / 4, aspect_ = 0.75f, near_ = 1, far_ = 10000;
    bool distanceFov_ = false;
    float fovDistance0_ = 0, fov0_ = 0, fovDistance1_ = 0, fov1_ = 0;
};

// The camera kind of screen views (previews copy it).
class ScreenCamera : public Camera {
public:
    ScreenCamera() = default;
    ScreenCamera(const ScreenCamera&) = default;
};
