#pragma once
// The player's controls on the table, from window messages: the mouse turns the aim around the
// cue ball, a right-button drag turns the camera, the wheel zooms, the left button held and drawn
// back sets the power and its release strikes. Keys: Left/Right aim (finer with Shift), Up/Down
// the cue elevation, W/A/S/D the tip offset (Q centres it), Space held charges the power and its
// release strikes. A small on-screen control in the lower right corner sets the tip offset (the
// ball's face) and the elevation (the bar beside it) by clicking or dragging; the power bar beside
// them shows the power. The pointer over these controls leaves the aim alone, a sweep of the
// pointer that ends on them gives the aim back as it was before the sweep, and the way back from
// them turns nothing until the pointer rests: reaching for a control is no aiming.

#include <cstdint>

#include "platform/window/WindowCodes.h"
#include "table/AimState.h"

namespace table {

// Centres the cue tip on the ball: a key beside W and A that no table scene takes for anything
// else ('R' is the rooms' last-shot replay).
constexpr std::uint32_t kCentreTipKey = 'Q';

// What the controls ask of the world after a message or tick.
struct ControlRequests {
    bool strike = false;
    float cameraYawPixels = 0;      // right-button drag, in pixels (the rig turns them into degrees)
    float cameraPitchPixels = 0;    // right-button drag, in pixels
    float zoomSteps = 0;            // wheel notches, positive toward the table
    bool toggleTopView = false;     // Tab
    bool toggleTrail = false;       // 'T'
    bool toggleGuide = false;       // 'B'
    bool restoreShotState = false;  // 'U' released
    bool aimChanged = false;
};

struct ControlRect {
    int left = 0, top = 0, right = 0, bottom = 0;
    bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
};

class AimControls {
public:
    // The client size places the on-screen control at the bottom right, `rightInset` pixels further
    // left where the scene keeps that corner for its own widgets; with `topFromBottom` above 0 its
    // top stands that many pixels above the bottom edge instead.
    void SetViewport(int width, int height, int rightInset = 0, int topFromBottom = 0);
    // The window's size or mode changed: the pointer's next position is a new place, not a move
    // of the hand (a full-screen switch moves the picture under a pointer that stayed put). The
    // pointer leaving the window (kWmMouseLeave) does the same.
    void ForgetPointer() { hasLast_ = false; }
    // The window gained or lost the focus. Only a window in the foreground follows the mouse, as the
    // system's foreground mouse device does: in the background a move of the pointer over the table
    // turns neither the aim nor the camera, and the pointer's first position after a change is a new
    // place.
    void SetForeground(bool on) {
        foreground_ = on;
        hasLast_ = false;
    }
    ControlRect TipControl() const { return tipRect_; }
    ControlRect ElevationControl() const { return elevationRect_; }
    ControlRect PowerBar() const { return powerRect_; }
    // The three together: the pointer there is on the controls, not aiming.
    ControlRect ControlArea() const;

    // True when the message was one of the table's controls.
    bool HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam, AimState& aim,
                       ControlRequests& requests);
    // The pointer went onto a widget over the table (it takes the pointer from the controls): as
    // on the on-screen controls, a sweep that brought it there gives the aim back, and the way back
    // to the table turns nothing until the pointer rests.
    void PointerOnWidget(AimState& aim, ControlRequests& requests);
    // The widget that had the pointer went away under it (a window closed by a key or by the game):
    // the pointer did not come back from a control, so its next moves aim, from where it is.
    void WidgetGoneUnderPointer();
    // One update tick: held keys turn the aim, change the elevation and charge the power.
    void Tick(AimState& aim, ControlRequests& requests);
    // Forgets every held key and button (focus lost, a text field took the keys).
    void ReleaseHeldKeys(AimState& aim);
    // Lets go of the held keys that `isDown` no longer reports (their key-up was never seen),
    // without their release action: a lost Space release never strikes.
    template <class IsDown>
    void ReleaseKeysNoLongerDown(IsDown isDown, AimState& aim) {
        if (spaceHeld_ && !isDown(platform::kVkSpace)) {
            spaceHeld_ = false;
            aim.SetPower(0);
        }
        shiftHeld_ = shiftHeld_ && isDown(platform::kVkShift);
        ctrlHeld_ = ctrlHeld_ && isDown(platform::kVkControl);
        leftHeld_ = leftHeld_ && isDown(platform::kVkLeft);
        rightHeld_ = rightHeld_ && isDown(platform::kVkRight);
        upHeld_ = upHeld_ && isDown(platform::kVkUp);
        downHeld_ = downHeld_ && isDown(platform::kVkDown);
    }
    // Off: the pointer moved without a button turns no aim (a lesson that teaches only the camera).
    void SetPointerAims(bool on) { pointerAims_ = on; }
    // The right-button drag under way turns the camera no further: the rest of it, until the button
    // is released, does nothing.
    void HoldCameraDrag();
    bool IsCharging() const { return drawing_ || spaceHeld_; }
    // "shotsensitive" / 100: the power drawn per pixel of the mouse scales with it (0.1 to 5).
    void SetShotSensitivity(float sensitivity);
    bool ShiftHeld() const { return shiftHeld_; }
    // Ctrl held: a left press on a ball of a free practice table moves the ball (the world's).
    bool CtrlHeld() const { return ctrlHeld_; }

private:
    enum class Drag { None, Power, Tip, Elevation, Camera, CameraHeld };
    bool HandleKey(std::uint32_t key, bool down, AimState& aim, ControlRequests& requests);
    void DragTo(int x, int y, AimState& aim, ControlRequests& requests);

    ControlRect tipRect_, elevationRect_, powerRect_;
    Drag drag_ = Drag::None;
    bool drawing_ = false;
    bool spaceHeld_ = false;
    bool shiftHeld_ = false;
    bool ctrlHeld_ = false;
    bool leftHeld_ = false, rightHeld_ = false, upHeld_ = false, downHeld_ = false;
    int lastX_ = 0, lastY_ = 0;
    bool hasLast_ = false;
    int drawStartY_ = 0;
    float shotSensitivity_ = 1.0f;
    bool pointerAims_ = true;
    bool foreground_ = true;
    // Where the pointer's last sweep (moves without a rest of kSweepRestTicks between them) stands:
    // at rest, turning the aim (from sweepStartYaw_), on the controls or a widget, or on its way
    // back from them to the table.
    enum class Pointer { Still, Aiming, OnControls, Returning };
    Pointer pointer_ = Pointer::Still;
    float sweepStartYaw_ = 0.0f;
    int stillTicks_ = 0;
};

}  // namespace table
