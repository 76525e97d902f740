#include "table/AimControls.h"

#include <algorithm>
#include <cmath>

#include "platform/window/WindowCodes.h"

namespace table {

namespace {

constexpr int kTipRadius = 40;
constexpr int kMargin = 16;
constexpr int kBarWidth = 12;
constexpr int kPowerBarWidth = 10;
constexpr int kPowerBarGap = 6;
constexpr float kMinStrikePower = 0.01f;
// A pointer that stops for this long (150 ms) ends its sweep: what it aimed stays.
constexpr int kSweepRestTicks = 30;

}  // namespace

void AimControls::SetViewport(int width, int height, int rightInset, int topFromBottom) {
    const int cx = width - std::max(0, rightInset) - kMargin - kTipRadius;
    const int cy = topFromBottom > 0 ? height - topFromBottom + kTipRadius : height - kMargin - kTipRadius;
    tipRect_ = {cx - kTipRadius, cy - kTipRadius, cx + kTipRadius, cy + kTipRadius};
    elevationRect_ = {tipRect_.left - kMargin - kBarWidth, tipRect_.top, tipRect_.left - kMargin,
                      tipRect_.bottom};
    powerRect_ = {elevationRect_.left - kPowerBarGap - kPowerBarWidth, tipRect_.top,
                  elevationRect_.left - kPowerBarGap, tipRect_.bottom};
}

ControlRect AimControls::ControlArea() const {
    return {powerRect_.left, tipRect_.top, tipRect_.right, tipRect_.bottom};
}

void AimControls::SetShotSensitivity(float sensitivity) {
    shotSensitivity_ = std::isfinite(sensitivity) ? std::clamp(sensitivity, 0.1f, 5.0f) : 1.0f;
}

bool AimControls::HandleMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam,
                                AimState& aim, ControlRequests& requests) {
    const int x = platform::LParamX(lParam), y = platform::LParamY(lParam);
    switch (message) {
        case platform::kWmMouseMove: {
            const int dx = hasLast_ ? x - lastX_ : 0, dy = hasLast_ ? y - lastY_ : 0;
            lastX_ = x, lastY_ = y, hasLast_ = true;
            if (!foreground_) return true;
            if (drag_ == Drag::None) {
                if (ControlArea().Contains(x, y)) {
                    PointerOnWidget(aim, requests);
                } else if (pointer_ == Pointer::OnControls || pointer_ == Pointer::Returning) {
                    pointer_ = Pointer::Returning;
                    stillTicks_ = 0;
                } else if (dx != 0 && pointerAims_) {
                    if (pointer_ != Pointer::Aiming) sweepStartYaw_ = aim.YawDegrees();
                    pointer_ = Pointer::Aiming;
                    stillTicks_ = 0;
                    const float step = kAimDegreesPerPixel / (shiftHeld_ ? kFineAimDivisor : 1.0f);
                    aim.TurnDegrees(static_cast<float>(dx) * step * kYawPerScreenRight);
                    requests.aimChanged = true;
                }
            } else if (drag_ == Drag::Camera) {
                requests.cameraYawPixels += static_cast<float>(dx) * kYawPerScreenRight;
                requests.cameraPitchPixels += static_cast<float>(dy);
            } else {
                DragTo(x, y, aim, requests);
            }
            return true;
        }
        case platform::kWmLButtonDown:
            lastX_ = x, lastY_ = y, hasLast_ = true;
            // What was aimed before the press stays aimed.
            if (pointer_ != Pointer::OnControls) pointer_ = Pointer::Still;
            if (tipRect_.Contains(x, y))
                drag_ = Drag::Tip;
            else if (elevationRect_.Contains(x, y))
                drag_ = Drag::Elevation;
            else {
                drag_ = Drag::Power;
                drawing_ = true;
                drawStartY_ = y;
                aim.SetPower(0);
            }
            DragTo(x, y, aim, requests);
            return true;
        case platform::kWmLButtonUp:
            if (drag_ == Drag::Power) {
                drawing_ = false;
                if (aim.Power() >= kMinStrikePower) requests.strike = true;
            }
            if (drag_ != Drag::Camera && drag_ != Drag::CameraHeld) drag_ = Drag::None;
            return true;
        case platform::kWmRButtonDown:
            if (drag_ == Drag::None) drag_ = Drag::Camera;
            lastX_ = x, lastY_ = y, hasLast_ = true;
            return true;
        case platform::kWmRButtonUp:
            if (drag_ == Drag::Camera || drag_ == Drag::CameraHeld) drag_ = Drag::None;
            return true;
        case platform::kWmMouseLeave:
            hasLast_ = false;
            return true;
        case platform::kWmMouseWheel: {
            const auto delta = static_cast<std::int16_t>((wParam >> 16) & 0xFFFF);
            requests.zoomSteps += static_cast<float>(delta) / platform::kWheelDelta;
            return true;
        }
        case platform::kWmKeyDown:
            return HandleKey(static_cast<std::uint32_t>(wParam), true, aim, requests);
        case platform::kWmKeyUp:
            return HandleKey(static_cast<std::uint32_t>(wParam), false, aim, requests);
        default:
            return false;
    }
}

void AimControls::HoldCameraDrag() {
    if (drag_ == Drag::Camera) drag_ = Drag::CameraHeld;
}

// The pointer came to a control: the sweep that brought it was no aiming.
void AimControls::PointerOnWidget(AimState& aim, ControlRequests& requests) {
    if (pointer_ == Pointer::Aiming) {
        aim.SetYawDegrees(sweepStartYaw_);
        requests.aimChanged = true;
    }
    pointer_ = Pointer::OnControls;
}

void AimControls::WidgetGoneUnderPointer() {
    if (pointer_ != Pointer::OnControls && pointer_ != Pointer::Returning) return;
    pointer_ = Pointer::Still;
    // The moves on the widget were not seen here: the next one places the pointer.
    hasLast_ = false;
}

void AimControls::DragTo(int x, int y, AimState& aim, ControlRequests& requests) {
    switch (drag_) {
        case Drag::Power:
            // Drawn back toward the player is down the screen.
            aim.SetPower(static_cast<float>(std::max(0, y - drawStartY_)) * shotSensitivity_ /
                         kPowerDrawPixels);
            requests.aimChanged = true;
            break;
        case Drag::Tip: {
            const float cx = (tipRect_.left + tipRect_.right) * 0.5f,
                        cy = (tipRect_.top + tipRect_.bottom) * 0.5f;
            const float r = (tipRect_.right - tipRect_.left) * 0.5f;
            aim.SetTipOffset((static_cast<float>(x) - cx) / r, (cy - static_cast<float>(y)) / r);
            requests.aimChanged = true;
            break;
        }
        case Drag::Elevation: {
            const float height = static_cast<float>(elevationRect_.bottom - elevationRect_.top);
            const float share = static_cast<float>(elevationRect_.bottom - y) / height;
            aim.SetElevationDegrees(std::clamp(share, 0.0f, 1.0f) * kMaxElevationDegrees);
            requests.aimChanged = true;
            break;
        }
        default:
            break;
    }
}

bool AimControls::HandleKey(std::uint32_t key, bool down, AimState& aim, ControlRequests& requests) {
    switch (key) {
        case platform::kVkShift:
            shiftHeld_ = down;
            return true;
        case platform::kVkControl:
            ctrlHeld_ = down;
            return true;
        case platform::kVkLeft:
            leftHeld_ = down;
            return true;
        case platform::kVkRight:
            rightHeld_ = down;
            return true;
        case platform::kVkUp:
            upHeld_ = down;
            return true;
        case platform::kVkDown:
            downHeld_ = down;
            return true;
        case platform::kVkSpace:
            if (down && !spaceHeld_) aim.SetPower(0);
            if (!down && spaceHeld_ && aim.Power() >= kMinStrikePower) requests.strike = true;
            spaceHeld_ = down;
            return true;
        case 'W':
        case 'S':
        case 'A':
        case 'D':
            if (down) {
                const float side = key == 'A' ? -kTipOffsetStep : key == 'D' ? kTipOffsetStep : 0.0f;
                const float vertical = key == 'S' ? -kTipOffsetStep : key == 'W' ? kTipOffsetStep : 0.0f;
                aim.SetTipOffset(aim.TipSide() + side, aim.TipVertical() + vertical);
                requests.aimChanged = true;
            }
            return true;
        case kCentreTipKey:
            if (down) {
                aim.SetTipOffset(0, 0);
                requests.aimChanged = true;
            }
            return true;
        case platform::kVkTab:
            if (down) requests.toggleTopView = true;
            return true;
        case 'T':
            if (!down) requests.toggleTrail = true;
            return true;
        case 'B':
            if (!down) requests.toggleGuide = true;
            return true;
        case 'U':
            if (!down) requests.restoreShotState = true;
            return true;
        default:
            return false;
    }
}

void AimControls::Tick(AimState& aim, ControlRequests& requests) {
    if ((pointer_ == Pointer::Aiming || pointer_ == Pointer::Returning) && ++stillTicks_ >= kSweepRestTicks)
        pointer_ = Pointer::Still;
    const float step = kAimDegreesPerKeyTick / (shiftHeld_ ? kFineAimDivisor : 1.0f);
    if (leftHeld_ != rightHeld_) {
        aim.TurnDegrees((leftHeld_ ? -step : step) * kYawPerScreenRight);
        requests.aimChanged = true;
    }
    if (upHeld_ != downHeld_) {
        const float elevationStep = kElevationStep / (shiftHeld_ ? kFineAimDivisor : 1.0f) / 4.0f;
        aim.SetElevationDegrees(aim.ElevationDegrees() + (upHeld_ ? elevationStep : -elevationStep));
        requests.aimChanged = true;
    }
    if (spaceHeld_) {
        aim.SetPower(aim.Power() + kPowerPerTick);
        requests.aimChanged = true;
    }
}

void AimControls::ReleaseHeldKeys(AimState& aim) {
    if (drawing_ || spaceHeld_) aim.SetPower(0);
    drag_ = Drag::None;
    drawing_ = spaceHeld_ = shiftHeld_ = ctrlHeld_ = false;
    // A sweep ends; a pointer on a control or on its way back from one stays there (it holds no key).
    if (pointer_ == Pointer::Aiming) pointer_ = Pointer::Still;
    leftHeld_ = rightHeld_ = upHeld_ = downHeld_ = false;
}

}  // namespace table
