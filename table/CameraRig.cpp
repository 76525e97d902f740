#include "table/CameraRig.h"

#include <algorithm>
#include <cmath>

namespace table {

namespace {

constexpr float kPi = 3.14159265f;
constexpr float kDegreesPerPixel = 0.25f;
constexpr float kZoomPerNotch = 0.9f;
constexpr float kTopPitch = 90.0f;
constexpr int kTopViewTicks = 100;
constexpr float kAfterShotSeconds = 1.0f;
constexpr int kShotZoomTicks = kTicksPerSecond;
constexpr float kShotZoomPitch = 60.0f;
// The table seen from above fills the picture but for this share on its tighter side; a frame the
// HUD leaves free is clear of the picture's edges already and keeps only what the rails' height adds.
constexpr float kFrameMargin = 1.15f;
constexpr float kHudFrameMargin = 1.04f;
constexpr float kMinAspect = 0.1f, kMaxAspect = 10.0f;
constexpr float kMinFovDegrees = 1.0f;
constexpr float kMaxFovDegrees = 170.0f;

float Radians(float degrees) {
    return degrees * kPi / 180.0f;
}

// Into [-180, 180).
float WrapYaw(float yaw) {
    if (!std::isfinite(yaw)) return 0.0f;
    float w = std::fmod(yaw + 180.0f, 360.0f);
    if (w < 0.0f) w += 360.0f;
    return w - 180.0f;
}

float Pick(float value, float current) {
    return value == kKeepValue || !std::isfinite(value) ? current : value;
}

int Ticks(float seconds) {
    if (!std::isfinite(seconds) || seconds <= 0.0f) return 0;
    return static_cast<int>(std::lround(std::min(seconds, 60.0f) * kTicksPerSecond));
}

float Lerp(float a, float b, float t) {
    return a + (b - a) * t;
}

Vector3f Lerp(const Vector3f& a, const Vector3f& b, float t) {
    return {Lerp(a.x, b.x, t), Lerp(a.y, b.y, t), Lerp(a.z, b.z, t)};
}

}  // namespace

CameraRig::CameraRig() {
    from_ = to_ = beforeTop_ = beforeShotZoom_ = view_;
}

void CameraRig::SetTableSize(float halfLength, float halfWidth) {
    if (!(halfLength > 0.0f && halfWidth > 0.0f && std::isfinite(halfLength) && std::isfinite(halfWidth)))
        return;
    if (halfLength == halfLength_ && halfWidth == halfWidth_) return;
    halfLength_ = halfLength;
    halfWidth_ = halfWidth;
    RefitTopView();
}

void CameraRig::SetViewAspect(float widthOverHeight) {
    if (!std::isfinite(widthOverHeight) || widthOverHeight <= 0.0f) return;
    widthOverHeight = std::clamp(widthOverHeight, kMinAspect, kMaxAspect);
    if (widthOverHeight == viewAspect_) return;
    viewAspect_ = widthOverHeight;
    RefitTopView();
}

void CameraRig::SetTopViewFrame(float left, float top, float right, float bottom) {
    const bool usable = std::isfinite(left) && std::isfinite(top) && std::isfinite(right) &&
                        std::isfinite(bottom) && left >= 0.0f && top >= 0.0f && right <= 1.0f &&
                        bottom <= 1.0f && left < right && top < bottom;
    const float frame[4] = {left, top, right, bottom};
    for (int i = 0; i < 4; ++i) frame_[i] = usable ? frame[i] : (i < 2 ? 0.0f : 1.0f);
    RefitTopView();
}

float CameraRig::HalfHeightSeen(float distance) const {
    return distance * std::tan(Radians(FieldOfViewAt(distance)) * 0.5f);
}

float CameraRig::DistanceShowing(float halfHeight) const {
    // The half height seen at a distance grows with it (also where the field of view follows the
    // distance), so halving finds the distance that shows it.
    float near = minDistance_, far = kMaxDistance;
    if (HalfHeightSeen(near) >= halfHeight) return near;
    if (HalfHeightSeen(far) <= halfHeight) return far;
    for (int round = 0; round < 40; ++round) {
        const float middle = (near + far) * 0.5f;
        (HalfHeightSeen(middle) < halfHeight ? near : far) = middle;
    }
    return far;
}

float CameraRig::TopViewDistance() const {
    // The long side runs across the screen: the frame's width holds the length, its height the width.
    const float width = frame_[2] - frame_[0], height = frame_[3] - frame_[1];
    const bool whole = width == 1.0f && height == 1.0f;
    const float needed = std::max(halfWidth_ / height, halfLength_ / (viewAspect_ * width)) *
                         (whole ? kFrameMargin : kHudFrameMargin);
    return DistanceShowing(needed);
}

Vector3f CameraRig::TopViewFocus(float distance) const {
    // Seen from above with +y up (and +x to the left), the picture's centre is the focus: the table's
    // centre stands off it by as much as the frame's centre stands off the picture's.
    const float halfHeight = HalfHeightSeen(distance);
    const float centreX = (frame_[0] + frame_[2]) * 0.5f - 0.5f;
    const float centreY = (frame_[1] + frame_[3]) * 0.5f - 0.5f;
    return {centreX * 2.0f * halfHeight * viewAspect_, centreY * 2.0f * halfHeight, 0.0f};
}

void CameraRig::RefitTopView() {
    if (!InTopView()) return;
    const float distance = TopViewDistance();
    if (Moving()) {
        to_.distance = distance;
        toFocus_ = TopViewFocus(distance);
    } else {
        view_.distance = distance;
        focus_ = TopViewFocus(distance);
    }
}

void CameraRig::ApplyOptions(const CameraOptions& options) {
    options_ = options;
    auto sensitivity = [](float v) { return std::isfinite(v) ? std::clamp(v, 0.1f, 3.0f) : 1.0f; };
    options_.horizontalSensitivity = sensitivity(options.horizontalSensitivity);
    options_.verticalSensitivity = sensitivity(options.verticalSensitivity);
    options_.shotSensitivity = sensitivity(options.shotSensitivity);
    options_.cameraMode = options.cameraMode >= 1 && options.cameraMode <= 3 ? options.cameraMode : 1;
    switch (options_.cameraMode) {
        case 2:
            SetCameraModeFlags(false, true, options_.shotZoom, false);
            break;
        case 3:
            SetCameraModeFlags(false, false, false, true);
            break;
        default:
            SetCameraModeFlags(false, false, options_.shotZoom, false);
            break;
    }
}

CameraView CameraRig::Reachable(const CameraView& v) const {
    CameraView r;
    r.distance = std::clamp(Pick(v.distance, view_.distance), minDistance_, kMaxDistance);
    r.pitch = std::clamp(Pick(v.pitch, view_.pitch), kMinPitch, kTopPitch);
    r.yaw = WrapYaw(Pick(v.yaw, view_.yaw));
    r.roll = WrapYaw(Pick(v.roll, view_.roll));
    return r;
}

void CameraRig::SetTargetView(float distance, float pitch, float yaw, float roll) {
    pending_ = {distance, pitch, yaw, roll};
}

void CameraRig::SetTargetFocus(const Vector3f& focus) {
    pendingFocus_ = focus;
    pendingFocusSet_ = true;
}

void CameraRig::BeginMove(int ticks) {
    from_ = view_;
    fromFocus_ = focus_;
    to_ = Reachable(pending_);
    toFocus_ = pendingFocusSet_ ? pendingFocus_ : focus_;
    pending_ = {kKeepValue, kKeepValue, kKeepValue, kKeepValue};
    pendingFocusSet_ = false;
    moveTick_ = 0;
    moveTicks_ = std::max(ticks, 0);
    if (moveTicks_ == 0) {
        view_ = to_;
        focus_ = toFocus_;
    }
}

void CameraRig::SetView(const CameraView& view, const Vector3f& focus) {
    view_ = Reachable(view);
    focus_ = focus;
    moveTicks_ = moveTick_ = 0;
}

void CameraRig::MoveCamera(float seconds, float distance, float pitch) {
    SetTargetView(distance, pitch, kKeepValue, kKeepValue);
    BeginMove(Ticks(seconds));
}

void CameraRig::TurnCameraToCueLine(const Vector3f& ball, float cueYaw, float cuePitch, float distance,
                                    float seconds, bool pitchFromCue, bool force) {
    if (InTopView()) return;
    camera_ = kCameraAim;
    SetTargetFocus(ball);
    SetTargetView(force || options_.turnZoom ? distance : kKeepValue, pitchFromCue ? cuePitch : kKeepValue,
                  cueYaw, kKeepValue);
    BeginMove(Ticks(seconds));
}

void CameraRig::SetTopView(bool on, const Vector3f& cueBall, float cueYaw) {
    if (on == InTopView()) return;
    if (on) {
        beforeTop_ = Moving() ? to_ : view_;
        if (shotZoomed_) {
            // A shot's overview is no aim view: the top view returns to the one before it.
            beforeTop_.distance = beforeShotZoom_.distance;
            beforeTop_.pitch = beforeShotZoom_.pitch;
            shotZoomed_ = false;
        }
        yawOffsetBeforeTop_ = std::isfinite(cueYaw) ? WrapYaw(beforeTop_.yaw - cueYaw) : 0.0f;
        camera_ = kCameraTop;
        // The long side runs across the screen: the screen's up is +y (yaw 90).
        const float distance = TopViewDistance();
        SetTargetFocus(TopViewFocus(distance));
        SetTargetView(distance, kTopPitch, 90.0f, 0.0f);
    } else {
        // The aim may have turned and the cue ball moved while the table was seen from above.
        camera_ = kCameraAim;
        SetTargetFocus(cueBall);
        SetTargetView(beforeTop_.distance, beforeTop_.pitch, WrapYaw(cueYaw + yawOffsetBeforeTop_),
                      beforeTop_.roll);
    }
    BeginMove(kTopViewTicks);
}

void CameraRig::ReturnBehindCue(const Vector3f& cueBall, float cueYaw, float seconds) {
    // A top view has no overview to leave (it ends one when it comes on).
    if (InTopView()) {
        yawOffsetBeforeTop_ = 0.0f;
        return;
    }
    camera_ = kCameraAim;
    SetTargetFocus(cueBall);
    if (shotZoomed_)
        SetTargetView(beforeShotZoom_.distance, beforeShotZoom_.pitch, cueYaw, kKeepValue);
    else
        SetTargetView(kKeepValue, kKeepValue, cueYaw, kKeepValue);
    shotZoomed_ = false;
    BeginMove(Ticks(seconds));
}

void CameraRig::SetCameraModeFlags(bool first, bool second, bool shotZoom, bool fixedView) {
    modeFirst_ = first || fixedView;
    modeSecond_ = second || first || fixedView;
    shotZoom_ = shotZoom && !fixedView;
    fixedView_ = fixedView;
}

void CameraRig::SetDistanceFov(float distance0, float fov0Degrees, float distance1, float fov1Degrees) {
    if (!std::isfinite(distance0) || !std::isfinite(distance1) || !std::isfinite(fov0Degrees) ||
        !std::isfinite(fov1Degrees))
        return;
    distanceFov_ = true;
    fovDistance0_ = distance0;
    fovDistance1_ = distance1;
    fov0_ = std::clamp(fov0Degrees, kMinFovDegrees, kMaxFovDegrees);
    fov1_ = std::clamp(fov1Degrees, kMinFovDegrees, kMaxFovDegrees);
}

float CameraRig::FieldOfViewDegrees() const {
    return FieldOfViewAt(view_.distance);
}

float CameraRig::FieldOfViewAt(float distance) const {
    if (!distanceFov_) return kDefaultFovDegrees;
    if (fovDistance1_ == fovDistance0_) return fov0_;
    const float t = std::clamp((distance - fovDistance0_) / (fovDistance1_ - fovDistance0_), 0.0f, 1.0f);
    return Lerp(fov0_, fov1_, t);
}

void CameraRig::SetMinDistance(float distance) {
    if (!std::isfinite(distance)) return;
    minDistance_ = std::clamp(distance, 1.0f, kMaxDistance);
    for (CameraView* v : {&view_, &from_, &to_}) v->distance = std::max(v->distance, minDistance_);
}

void CameraRig::Rotate(float yawDegrees, float pitchDegrees) {
    if (!std::isfinite(yawDegrees) || !std::isfinite(pitchDegrees)) return;
    auto turn = [&](CameraView& v) {
        v.yaw = WrapYaw(v.yaw + yawDegrees);
        v.pitch = std::clamp(v.pitch + pitchDegrees, kMinPitch, kMaxPitch);
    };
    turn(view_);
    if (Moving()) {
        turn(from_);
        turn(to_);
    }
}

void CameraRig::RotateByMouse(float dx, float dy) {
    if (InTopView() || !std::isfinite(dx) || !std::isfinite(dy)) return;
    const float h = options_.horizontalInverse ? -1.0f : 1.0f;
    const float v = options_.verticalInverse ? -1.0f : 1.0f;
    view_.yaw = WrapYaw(view_.yaw + dx * kDegreesPerPixel * options_.horizontalSensitivity * h);
    view_.pitch = std::clamp(view_.pitch + dy * kDegreesPerPixel * options_.verticalSensitivity * v,
                             kMinPitch, kMaxPitch);
    moveTicks_ = moveTick_ = 0;
}

void CameraRig::Zoom(float notches) {
    if (!std::isfinite(notches)) return;
    // A zoom on the way up to the top view ends the way there.
    if (InTopView() && Moving()) view_ = to_;
    view_.distance =
        std::clamp(view_.distance * std::pow(kZoomPerNotch, notches), minDistance_, kMaxDistance);
    moveTicks_ = moveTick_ = 0;
    // From above the table grows and shrinks round the frame's centre.
    if (InTopView()) focus_ = TopViewFocus(view_.distance);
}

void CameraRig::OnShotStarted(const Vector3f& cueBall) {
    shotZoomed_ = false;
    if (fixedView_ || InTopView()) return;
    if (modeSecond_) {
        SetTargetFocus(cueBall);
        BeginMove(0);
        return;
    }
    if (shotZoom_) {
        beforeShotZoom_ = view_;
        shotZoomed_ = true;
        SetTargetFocus(Vector3f{});
        SetTargetView(DistanceShowing(std::max(halfWidth_, halfLength_ / viewAspect_) * kFrameMargin),
                      kShotZoomPitch, kKeepValue, kKeepValue);
        BeginMove(kShotZoomTicks);
    }
}

void CameraRig::ResetView() {
    const CameraView start;
    view_.distance = std::max(start.distance, minDistance_);
    view_.pitch = start.pitch;
    view_.roll = start.roll;
    from_ = to_ = view_;
    fromFocus_ = toFocus_ = focus_;
    moveTicks_ = moveTick_ = 0;
    pending_ = {kKeepValue, kKeepValue, kKeepValue, kKeepValue};
    pendingFocusSet_ = false;
    shotZoomed_ = false;
    afterShot_ = false;
    SetSetUpFlag(true);
}

void CameraRig::TurnToHeading(float yawDegrees) {
    if (!std::isfinite(yawDegrees)) return;
    view_.yaw = from_.yaw = to_.yaw = WrapYaw(yawDegrees);
    headingHeld_ = setUp_;
}

void CameraRig::Tick(const Vector3f& cueBall, float cueYaw, bool shotRunning) {
    if (setUp_) {
        setUp_ = false;
        // Behind the cue ball (or at the heading set for it); a top view chosen before the first tick
        // keeps its own target.
        const float yaw = headingHeld_ ? view_.yaw : WrapYaw(cueYaw);
        headingHeld_ = false;
        if (!InTopView()) {
            focus_ = fromFocus_ = toFocus_ = cueBall;
            view_.yaw = from_.yaw = to_.yaw = yaw;
        } else if (Moving()) {
            // The way up starts behind the cue ball; a top view reached keeps its frame.
            focus_ = fromFocus_ = cueBall;
            view_.yaw = from_.yaw = yaw;
        }
    }
    if (afterShot_ && !shotRunning) {
        afterShot_ = false;
        if (!Moving() && !InTopView()) ReturnBehindCue(cueBall, cueYaw, kAfterShotSeconds);
        shotZoomed_ = false;
    }
    if (shotRunning && modeSecond_ && !fixedView_ && !InTopView()) {
        focus_ = toFocus_ = cueBall;
    }
    if (!Moving()) return;
    ++moveTick_;
    if (moveTick_ >= moveTicks_) {
        view_ = to_;
        focus_ = toFocus_;
        return;
    }
    const float t = static_cast<float>(moveTick_) / static_cast<float>(moveTicks_);
    const float s = t * t * (3.0f - 2.0f * t);
    view_.distance = Lerp(from_.distance, to_.distance, s);
    view_.pitch = Lerp(from_.pitch, to_.pitch, s);
    view_.yaw = WrapYaw(from_.yaw + WrapYaw(to_.yaw - from_.yaw) * s);
    view_.roll = WrapYaw(from_.roll + WrapYaw(to_.roll - from_.roll) * s);
    focus_ = Lerp(fromFocus_, toFocus_, s);
}

Vector3f CameraRig::Eye() const {
    const float p = Radians(view_.pitch), y = Radians(view_.yaw);
    const Vector3f back{-std::cos(p) * std::cos(y), -std::cos(p) * std::sin(y), std::sin(p)};
    return focus_ + back * view_.distance;
}

Vector3f CameraRig::Up() const {
    const float y = Radians(view_.yaw);
    // Looking (nearly) straight down, z is no up: the screen's up follows the yaw.
    Vector3f up = view_.pitch > 89.5f ? Vector3f{std::cos(y), std::sin(y), 0.0f} : Vector3f{0.0f, 0.0f, 1.0f};
    if (view_.roll != 0.0f) {
        const Vector3f forward = Normalize(focus_ - Eye());
        const Vector3f right = Normalize(Cross(up, forward));
        const Vector3f trueUp = Cross(forward, right);
        const float r = Radians(view_.roll);
        up = trueUp * std::cos(r) + right * std::sin(r);
    }
    return up;
}

Matrix4f CameraRig::ViewMatrix() const {
    return LookAtMatrix(Eye(), focus_, Up());
}

}  // namespace table
