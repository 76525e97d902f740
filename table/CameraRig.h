#pragma once
// The camera rig of the table world: a view (distance, pitch, yaw, roll around a focus point on
// the table) that moves over update ticks toward a target view, the aim view behind the cue
// ball (camera 2), the top view (camera 3), the camera mode flags, the after-shot and set-up
// flags, and the options that drive them. Positions are in table coordinates (cm, x along the
// long side, z up); angles in degrees: yaw 0 looks along +x, pitch is the angle above the bed.
// The rig is plain state: the world calls it under its own lock.

#include <cstdint>

#include "engine/core/Math.h"
#include "table/TableConstants.h"

namespace table {

struct CameraView {
    float distance = 300.0f;  // from the focus, cm
    float pitch = 30.0f;      // degrees above the bed
    float yaw = 0.0f;         // degrees; 0 looks along +x
    float roll = 0.0f;        // degrees
    bool operator==(const CameraView&) const = default;
};

// The control options of the options store that the rig reads.
struct CameraOptions {
    int cameraMode = 1;                  // "cameramode" 1..3: 1 normal, 2 follows the cue ball, 3 fixed
    bool shotZoom = true;                // "shotzoom": zoom out after the strike
    bool turnZoom = true;                // "turnzoom": zoom in when the player gets the turn
    float horizontalSensitivity = 1.0f;  // "horizentalsensitive" / 100
    float verticalSensitivity = 1.0f;    // "verticalsensitive" / 100
    float shotSensitivity = 1.0f;        // "shotsensitive" / 100 (read by the aiming code)
    bool horizontalInverse = false;
    bool verticalInverse = false;
};

class CameraRig {
public:
    // Limits of the views a person can reach by hand.
    static constexpr float kMinDistance = 20.0f;
    static constexpr float kMaxDistance = 900.0f;
    static constexpr float kMinPitch = 2.0f;
    static constexpr float kMaxPitch = 89.0f;
    // The field of view of a rig without a distance-dependent one (degrees).
    static constexpr float kDefaultFovDegrees = 45.0f;

    CameraRig();

    // The table's half sizes (cm, out to the rails' outer edge); the top view and the overview
    // frame them. A top view on shows the new table whole.
    void SetTableSize(float halfLength, float halfWidth);
    // Width / height of the picture the views are drawn into; a top view on is framed again.
    void SetViewAspect(float widthOverHeight);
    // The part of the picture the top view shows the table in, as shares of its width and height
    // (y down): the room the HUD leaves free. A rectangle that is empty, outside the picture or not
    // finite stands for the whole picture. A top view on is framed again.
    void SetTopViewFrame(float left, float top, float right, float bottom);
    // Copies the options and sets the camera mode flags from "cameramode" and "shotzoom".
    void ApplyOptions(const CameraOptions& options);
    const CameraOptions& Options() const { return options_; }

    // The current camera: kCameraAim, kCameraTop or kCameraFree.
    int CurrentCamera() const { return camera_; }
    const CameraView& View() const { return view_; }
    const Vector3f& Focus() const { return focus_; }
    float GetYawDegrees() const { return view_.yaw; }
    float GetPitchDegrees() const { return view_.pitch; }

    // Target of the next move; kKeepValue (-100000.0) keeps the current value of a field.
    void SetTargetView(float distance, float pitch, float yaw, float roll);
    // Target focus point of the next move (the current one when not called since the last move).
    void SetTargetFocus(const Vector3f& focus);
    // Starts the move to the target over `ticks` update ticks; 0 (or less) jumps at once.
    void BeginMove(int ticks);
    bool Moving() const { return moveTick_ < moveTicks_; }
    // Sets the view and focus at once, ending a move.
    void SetView(const CameraView& view, const Vector3f& focus);

    // World-level moves (seconds x 200 ticks; kKeepValue keeps a value).
    void MoveCamera(float seconds, float distance, float pitch);
    // Turns behind the cue line onto `ball` unless in top view: yaw = `cueYaw`; the distance is
    // taken when `force` or the turn-zoom option is on; the pitch becomes `cuePitch` with
    // `pitchFromCue`. Over seconds x 200 ticks.
    void TurnCameraToCueLine(const Vector3f& ball, float cueYaw, float cuePitch, float distance,
                             float seconds, bool pitchFromCue, bool force);
    // Top view on: camera 3 above the table, framing the whole table in the top view's frame. Off: back
    // behind the cue ball at `cueBall` along the aim `cueYaw` (plus the turn a right-button drag had given
    // the aim view), at the distance and pitch the aim view had.
    void SetTopView(bool on, const Vector3f& cueBall, float cueYaw);
    bool InTopView() const { return camera_ == kCameraTop; }
    // The distance at which a view straight down frames the whole table in the top view's frame.
    float TopViewDistance() const;
    // The focus of the top view at that distance: the table's centre shows at the frame's centre.
    Vector3f TopViewFocus(float distance) const;
    // Back behind the cue ball along `cueYaw` over `seconds`, leaving a shot's overview for the
    // distance and pitch before it; in top view only the view it returns to changes.
    void ReturnBehindCue(const Vector3f& cueBall, float cueYaw, float seconds);

    // Camera mode flags: the second is also set by the first; the fixed view sets both and
    // clears the shot zoom.
    void SetCameraModeFlags(bool first, bool second, bool shotZoom, bool fixedView);
    bool FirstModeFlag() const { return modeFirst_; }
    bool SecondModeFlag() const { return modeSecond_; }
    bool ShotZoomFlag() const { return shotZoom_; }
    bool FixedViewFlag() const { return fixedView_; }
    // Aim view: camera 2 with the three view flags (both mode flags and the fixed view) clear.
    bool InAimView() const { return camera_ == kCameraAim && !modeFirst_ && !modeSecond_ && !fixedView_; }

    // Set by scenes when the balls came to rest. The next Tick without a running shot clears it,
    // leaves a follow or shot-zoom view and, unless a move is under way or the top view is on,
    // turns back behind the cue ball over 1 s.
    void SetAfterShotFlag(bool on) { afterShot_ = on; }
    bool AfterShotFlag() const { return afterShot_; }
    // Set by scenes on entering; the next Tick puts the focus on the cue ball and the yaw behind it
    // at once (a move under way keeps its distance and pitch).
    void SetSetUpFlag(bool on) {
        setUp_ = on;
        headingHeld_ = false;
    }
    bool SetUpFlag() const { return setUp_; }
    // The aim view a table starts with: the starting distance and pitch, no move, shot overview or
    // after-shot return pending, and the set-up flag set (behind the cue ball at the next Tick). The
    // top view and the mode flags stay as they are.
    void ResetView();

    // Field of view that follows the distance: linear between (distance0, fov0) and (distance1,
    // fov1), degrees, held beyond the two points. Non-finite values are ignored; equal distances
    // give fov0 everywhere.
    void SetDistanceFov(float distance0, float fov0Degrees, float distance1, float fov1Degrees);
    // The vertical field of view for the current distance, degrees.
    float FieldOfViewDegrees() const;
    // The nearest a view comes to its focus (moves, zoom and set views), within 1 cm and
    // kMaxDistance; a closer view moves out at once.
    void SetMinDistance(float distance);
    float MinDistance() const { return minDistance_; }
    // Turns the view by degrees of yaw and pitch; a move under way keeps the turn to its end.
    void Rotate(float yawDegrees, float pitchDegrees);
    // Faces a heading (yaw, degrees) at once, a move under way included; a set-up pending for the
    // next Tick then moves only the focus onto the cue ball and keeps the heading.
    void TurnToHeading(float yawDegrees);

    // Mouse: a drag turns the view (pixels, scaled by the sensitivities and inverse flags); the
    // wheel zooms (notches, + zooms in), in the top view too.
    void RotateByMouse(float dx, float dy);
    void Zoom(float notches);

    // The shot's camera work: at the strike (shot zoom: an overview over 1 s; follow modes: close
    // in on the ball) and per tick while the shot runs (follow modes keep the focus on the ball).
    void OnShotStarted(const Vector3f& cueBall);
    // One update tick: advances a move; follows `cueBall` while `shotRunning` in a follow mode;
    // handles the after-shot flag (turns to `cueBall` behind `cueYaw`) and the set-up flag.
    void Tick(const Vector3f& cueBall, float cueYaw, bool shotRunning);

    // For the renderer: eye and target in table coordinates, the screen's up and the view matrix
    // (LookAtMatrix; z is up unless the view looks straight down, when the up follows the yaw).
    Vector3f Eye() const;
    Vector3f Target() const { return focus_; }
    Vector3f Up() const;
    Matrix4f ViewMatrix() const;

private:
    // Clamps a view into the reachable range (non-finite fields keep the current value).
    CameraView Reachable(const CameraView& view) const;
    float FieldOfViewAt(float distance) const;
    // The distance at which a view straight down shows this half height of the picture (cm).
    float DistanceShowing(float halfHeight) const;
    // Half the height of the picture a view straight down shows at the distance (cm).
    float HalfHeightSeen(float distance) const;
    // A top view on takes the distance and focus that frame the current table and picture.
    void RefitTopView();

    CameraOptions options_;
    float minDistance_ = kMinDistance;
    bool distanceFov_ = false;
    float fovDistance0_ = 0.0f, fov0_ = kDefaultFovDegrees;
    float fovDistance1_ = 0.0f, fov1_ = kDefaultFovDegrees;
    float halfLength_ = 158.14f;
    float halfWidth_ = 87.02f;
    float viewAspect_ = 4.0f / 3.0f;
    // The top view's frame: left, top, right, bottom shares of the picture.
    float frame_[4] = {0.0f, 0.0f, 1.0f, 1.0f};
    int camera_ = kCameraAim;
    CameraView view_;
    Vector3f focus_;
    // The target SetTargetView and SetTargetFocus collect for the next BeginMove.
    CameraView pending_{kKeepValue, kKeepValue, kKeepValue, kKeepValue};
    Vector3f pendingFocus_;
    bool pendingFocusSet_ = false;
    CameraView from_, to_;
    Vector3f fromFocus_, toFocus_;
    int moveTicks_ = 0;
    int moveTick_ = 0;
    CameraView beforeTop_;
    // How far the aim view had been turned off the aim when the top view came on.
    float yawOffsetBeforeTop_ = 0.0f;
    // The distance and pitch before the shot zoom, restored after the shot.
    CameraView beforeShotZoom_;
    bool shotZoomed_ = false;
    bool modeFirst_ = false;
    bool modeSecond_ = false;
    bool shotZoom_ = true;
    bool fixedView_ = false;
    bool afterShot_ = false;
    bool setUp_ = false;
    bool headingHeld_ = false;  // the pending set-up keeps the yaw
};

}  // namespace table
