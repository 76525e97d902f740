// The world's input: window messages to the aim controls, and what the controls ask for.
#include <algorithm>
#include <cmath>

#include "platform/window/WindowCodes.h"
#include "table/TablePlane.h"
#include "table/TableWorld.h"

namespace table {

bool TableWorld::HandleWindowMessage(std::uint32_t message, std::uintptr_t wParam, std::intptr_t lParam) {
    platform::ScopedLock guard(lock_);
    const bool key = message == platform::kWmKeyDown || message == platform::kWmKeyUp;
    if (key && keyboardBlocked_) return false;
    // The control mask switches single controls off (a lesson, a mission step).
    if (key && wParam == platform::kVkShift && !(controlMask & control_bit::kShift)) return false;
    if (key && wParam == platform::kVkSpace && !(controlMask & control_bit::kSpace)) return false;
    if (message == platform::kWmSize) {
        LayoutHud(platform::LParamX(lParam), platform::LParamY(lParam));
        return false;
    }
    const int x = platform::LParamX(lParam), y = platform::LParamY(lParam);
    // A carried ball follows the mouse and is set down where the left button is released.
    if (carriedBall_ != kNoPlacedBall && message == platform::kWmMouseMove) {
        CarryTo(x, y);
        return true;
    }
    if (carriedBall_ != kNoPlacedBall && message == platform::kWmLButtonUp) {
        CarryTo(x, y);
        SetDownCarried();
        return true;
    }
    // Free practice: Ctrl and the left button on a ball pick it up, the ball keeping its grip on the
    // pointer; a press beside every ball does nothing (it draws no cue).
    if (message == platform::kWmLButtonDown && controls_.CtrlHeld() && FreePlacementOpen()) {
        const std::int32_t ball = BallAtScreen(x, y);
        float px = 0, py = 0;
        if (ball != kNoPlacedBall &&
            PointerOnTable(x, y, rules_.GetBall(static_cast<std::size_t>(ball)).radiusCm.Value(), px, py)) {
            const physics::Vector3& p = rules_.GetBall(static_cast<std::size_t>(ball)).position;
            carriedBall_ = ball;
            carriedFreely_ = true;
            carryFromX_ = p.x.Value();
            carryFromY_ = p.y.Value();
            carryOffsetX_ = carryFromX_ - px;
            carryOffsetY_ = carryFromY_ - py;
        }
        return true;
    }
    // Ball in hand: the left button picks the ball up and puts it under the pointer.
    if (ballInHandMode == 1 && placedBall_ != kNoPlacedBall && ownTurn_ && !shotExecuting_ &&
        message == platform::kWmLButtonDown) {
        carriedBall_ = placedBall_;
        carriedFreely_ = false;
        carryOffsetX_ = carryOffsetY_ = 0;
        CarryTo(x, y);
        return true;
    }
    // The 8-ball's pocket call: the left button on a pocket calls it and the cue may strike; the scene
    // sends the call. A click elsewhere aims and strikes as always.
    if (pocketCallPending_ && ownTurn_ && !shotExecuting_ && !shotStartPending_ &&
        message == platform::kWmLButtonDown) {
        const std::uint8_t pocket = PocketAtScreen(platform::LParamX(lParam), platform::LParamY(lParam));
        if (pocket != kNoPocket) {
            calledPocket_ = pocket;
            pocketCallPending_ = false;
            turnFlag_ = true;
            return true;
        }
    }
    // The wheel of the stroke that met a held move zooms nothing until the move has ended.
    if (message == platform::kWmMouseWheel && wheelHeld_) return true;
    const AimState before = aim_;
    ControlRequests requests;
    controls_.SetPointerAims((controlMask & control_bit::kShot) != 0);
    if (!controls_.HandleMessage(message, wParam, lParam, aim_, requests)) return false;
    KeepAimUnlessInPlay(before, requests);
    ApplyRequests(requests, aim_.YawDegrees() - before.YawDegrees());
    return true;
}

Matrix4f TableWorld::ViewProjection() const {
    return Multiply(camera_.ViewMatrix(), PerspectiveMatrix(FieldOfView(),
                                                            static_cast<float>(viewportWidth_) /
                                                                static_cast<float>(viewportHeight_),
                                                            kViewNear, kViewFar));
}

bool TableWorld::TableToScreen(const Vector3f& point, float& screenX, float& screenY) const {
    platform::ScopedLock guard(lock_);
    const Matrix4f m = ViewProjection();
    const float x = point.x, y = point.y, z = point.z;
    const float cx = x * At(m, 0, 0) + y * At(m, 1, 0) + z * At(m, 2, 0) + At(m, 3, 0);
    const float cy = x * At(m, 0, 1) + y * At(m, 1, 1) + z * At(m, 2, 1) + At(m, 3, 1);
    const float cw = x * At(m, 0, 3) + y * At(m, 1, 3) + z * At(m, 2, 3) + At(m, 3, 3);
    if (!(cw > 0)) return false;
    screenX = (cx / cw * 0.5f + 0.5f) * static_cast<float>(viewportWidth_);
    screenY = (0.5f - cy / cw * 0.5f) * static_cast<float>(viewportHeight_);
    return true;
}

bool TableWorld::PointerOnTable(int x, int y, float height, float& px, float& py) const {
    Matrix4f inverse;
    return Invert(ViewProjection(), inverse) &&
           ScreenToTablePlane(inverse, px, py, height, static_cast<float>(viewportWidth_),
                              static_cast<float>(viewportHeight_), static_cast<float>(x),
                              static_cast<float>(y));
}

std::int32_t TableWorld::BallAtScreen(int x, int y) const {
    platform::ScopedLock guard(lock_);
    // The ray under the pointer, from the bed up toward the eye.
    Vector3f low{0, 0, 0}, high{0, 0, kBallPickRayHeight};
    if (!PointerOnTable(x, y, low.z, low.x, low.y) || !PointerOnTable(x, y, high.z, high.x, high.y))
        return kNoPlacedBall;
    const Vector3f up = Normalize(high - low);
    // A ball the ray passes through, the one nearest the eye; else the nearest within the grip margin.
    std::int32_t hit = kNoPlacedBall, near = kNoPlacedBall;
    float hitAlong = 0, nearMiss = 0;
    for (std::uint16_t i = 0; i < BallCount(); ++i) {
        const physics::Ball& b = rules_.GetBall(i);
        if (b.outOfPlay) continue;
        const Vector3f to = Vector3f{b.position.x.Value(), b.position.y.Value(), b.position.z.Value()} - low;
        const float along = Dot(to, up);
        const float miss = std::sqrt(std::max(0.0f, Dot(to, to) - along * along));
        const float r = b.radiusCm.Value();
        if (miss <= r && (hit == kNoPlacedBall || along > hitAlong)) {
            hit = i;
            hitAlong = along;
        } else if (miss <= r * kBallPickMargin && (near == kNoPlacedBall || miss < nearMiss)) {
            near = i;
            nearMiss = miss;
        }
    }
    return hit != kNoPlacedBall ? hit : near;
}

bool TableWorld::CarryTo(int x, int y) {
    const std::size_t index = static_cast<std::size_t>(carriedBall_);
    if (carriedBall_ < 0 || index >= BallCount()) return false;
    if (carriedFreely_ ? !FreePlacementOpen() : !ownTurn_) return false;
    const float height = rules_.GetBall(index).radiusCm.Value();
    float px = 0, py = 0;
    if (!PointerOnTable(x, y, height, px, py)) return false;
    px += carryOffsetX_;
    py += carryOffsetY_;
    return carriedFreely_ ? PutBall(carriedBall_, px, py, height) : PlaceBallAt(carriedBall_, px, py, height);
}

void TableWorld::SetDownCarried() {
    const std::int32_t ball = carriedBall_;
    const bool freely = carriedFreely_;
    DropCarry();
    if (ball == placedBall_) {
        ballInHandMode = 0;
        placedBall_ = kNoPlacedBall;
    }
    if (ball < 0 || ball >= BallCount()) return;
    // The camera stood still while the ball was moved freely; a cue ball set down elsewhere has it
    // come behind the ball along the aim.
    const physics::Vector3& p = rules_.GetBall(static_cast<std::size_t>(ball)).position;
    if (freely && ball == currentBall_ && !camera_.InTopView() &&
        (p.x.Value() != carryFromX_ || p.y.Value() != carryFromY_))
        camera_.TurnCameraToCueLine({p.x.Value(), p.y.Value(), p.z.Value()}, aim_.YawDegrees(), 0.0f,
                                    kKeepValue, kFollowSeconds, false, false);
}

void TableWorld::DropCarry() {
    // The aim never saw the pointer's way with the ball: its next move is a new place, not a turn.
    if (carriedBall_ != kNoPlacedBall) controls_.ForgetPointer();
    carriedBall_ = kNoPlacedBall;
    carriedFreely_ = false;
}

bool TableWorld::FreePlacementOpen() const {
    return playState_ == PlayState::FreePractice && ownTurn_ && !shotExecuting_ && !shotStartPending_;
}

std::uint8_t TableWorld::PocketAtScreen(int x, int y) const {
    Matrix4f inverse;
    float px = 0, py = 0;
    if (!rules_.Model() || !Invert(ViewProjection(), inverse) ||
        !ScreenToTablePlane(inverse, px, py, 0.0f, static_cast<float>(viewportWidth_),
                            static_cast<float>(viewportHeight_), static_cast<float>(x),
                            static_cast<float>(y)))
        return kNoPocket;
    std::uint8_t found = kNoPocket;
    float nearest = 0;
    for (int pocket = 1; pocket <= 6; ++pocket) {
        const physics::PocketHole hole = physics::HoleOfPocket(rules_.Model()->Geometry(), pocket);
        const float d = std::hypot(px - hole.cx.Value(), py - hole.cy.Value());
        // The hole and as much again around it: the mouth a player points at.
        if (d <= 2.0f * hole.radius.Value() && (found == kNoPocket || d < nearest)) {
            found = hole.pocket;
            nearest = d;
        }
    }
    return found;
}

void TableWorld::PointerOnWidget() {
    platform::ScopedLock guard(lock_);
    const AimState before = aim_;
    ControlRequests requests;
    controls_.PointerOnWidget(aim_, requests);
    KeepAimUnlessInPlay(before, requests);
    if (requests.aimChanged) ApplyRequests(requests, aim_.YawDegrees() - before.YawDegrees());
}

void TableWorld::OnKeyCommand(std::uint32_t virtualKey, bool down) {
    HandleWindowMessage(down ? platform::kWmKeyDown : platform::kWmKeyUp, virtualKey, 0);
}

void TableWorld::ResetAim() {
    platform::ScopedLock guard(lock_);
    aim_.SetYawDegrees(0.0f);
    aim_.SetTipOffset(0.0f, 0.0f);
    aim_.SetElevationDegrees(0.0f);
    aim_.SetPower(0.0f);
    UpdateAimObjects();
}

void TableWorld::WidgetGoneUnderPointer() {
    platform::ScopedLock guard(lock_);
    controls_.WidgetGoneUnderPointer();
}

void TableWorld::PollKeyboard(platform::KeyboardState& keys) {
    platform::ScopedLock guard(lock_);
    if (keyboardBlocked_) return;
    controls_.ReleaseKeysNoLongerDown([&keys](std::uint32_t key) { return keys.IsDown(key); }, aim_);
}

void TableWorld::HoldCameraInput() {
    platform::ScopedLock guard(lock_);
    controls_.HoldCameraDrag();
    wheelHeld_ = true;
}

void TableWorld::ReleaseHeldKeys() {
    platform::ScopedLock guard(lock_);
    controls_.ReleaseHeldKeys(aim_);
    // The button's release may never come (the focus went): a ball moved freely stays where it lies.
    if (carriedFreely_) SetDownCarried();
}

void TableWorld::SetForeground(bool foreground) {
    platform::ScopedLock guard(lock_);
    controls_.SetForeground(foreground);
}

void TableWorld::KeepAimUnlessInPlay(const AimState& before, ControlRequests& requests) {
    if (!shotExecuting_ && !shotStartPending_ && ownTurn_ && OwnAimInPlay()) return;
    aim_ = before;
    requests.strike = false;
    requests.aimChanged = false;
}

void TableWorld::ApplyRequests(const ControlRequests& r, float yawTurned) {
    // The aim view turns with the aim; a move under way turns with it to its end, so the camera
    // still ends behind the cue.
    if (yawTurned != 0 && !camera_.InTopView()) {
        if (camera_.Moving()) {
            camera_.Rotate(yawTurned, 0.0f);
        } else {
            CameraView view = camera_.View();
            view.yaw += yawTurned;
            const physics::Vector3 p = CueBallPosition();
            camera_.SetView(view, {p.x.Value(), p.y.Value(), p.z.Value()});
        }
    }
    if (r.cameraYawPixels != 0 || r.cameraPitchPixels != 0)
        camera_.RotateByMouse(r.cameraYawPixels, r.cameraPitchPixels);
    if (r.zoomSteps != 0) camera_.Zoom(r.zoomSteps);
    if (r.toggleTopView) SetTopView(!camera_.InTopView());
    if (r.toggleTrail) trailDisplay = !trailDisplay;
    if (r.toggleGuide) aimDisplay = !aimDisplay;
    if (r.restoreShotState && playState_ == PlayState::FreePractice && !shotExecuting_)
        ResetBallsToShotState();
    if (r.aimChanged) UpdateAimObjects();
    if (r.strike) StrikeFromAim();
}

// The cue lies behind the current ball along the aim: every ball in play behind it and the
// cushions and jaws it passes over give the least elevation at which it clears them all.
void TableWorld::UpdateAimObjects() {
    platform::ScopedLock guard(lock_);
    const std::size_t cueIndex = static_cast<std::size_t>(currentBall_);
    if (!shotExecuting_ && rules_.Model() && cueIndex < BallCount() && !rules_.GetBall(cueIndex).outOfPlay) {
        const physics::Ball& cue = rules_.GetBall(cueIndex);
        // A stored shot being replayed (a replay scene or a replay panel's mini view) keeps its
        // recorded aim point; only the own aim feeds it.
        if (playState_ != PlayState::Replay && playState_ != PlayState::MiniView)
            aim_.AimPoint(cue.position.x.Value(), cue.position.y.Value(), shot_.words.aimX, shot_.words.aimY);
        const float yaw = aim_.YawDegrees() * kRadiansPerDegree;
        const Vector3f back{-std::cos(yaw), -std::sin(yaw), 0};
        const float r = cue.radiusCm.Value();
        const Vector3f tip = Vector3f{cue.position.x.Value(), cue.position.y.Value(), 0} + back * r;
        const float tipHeight = cue.position.z.Value() + aim_.TipVertical() * r * 0.5f;
        float elevation = 0;
        for (std::uint16_t i = 0; i < BallCount(); ++i) {
            const physics::Ball& b = rules_.GetBall(i);
            if (i == cueIndex || b.outOfPlay) continue;
            CueClearanceStep(0, tip, back, tipHeight - b.position.z.Value(),
                             {b.position.x.Value(), b.position.y.Value(), 0}, b.radiusCm.Value(), elevation);
        }
        ComputeCueClearance(0, tip, back, 0, tipHeight, clearance_, elevation);
        aim_.SetMinElevationDegrees(elevation / kRadiansPerDegree);
    }
    RefreshPose();
}

void TableWorld::LayoutHud(int width, int height) {
    platform::ScopedLock guard(lock_);
    if (width <= 0 || height <= 0) return;
    viewportWidth_ = width;
    viewportHeight_ = height;
    controls_.SetViewport(width, height, hudRightInset_, hudTopFromBottom_);
    controls_.ForgetPointer();
    camera_.SetViewAspect(static_cast<float>(width) / static_cast<float>(height));
    FrameTopView();
}

void TableWorld::SetTopViewInsets(int left, int top, int right, int bottom) {
    platform::ScopedLock guard(lock_);
    topViewInsets_ = {left, top, right, bottom};
    FrameTopView();
}

void TableWorld::FrameTopView() {
    const auto w = static_cast<float>(viewportWidth_), h = static_cast<float>(viewportHeight_);
    const auto& [left, top, right, bottom] = topViewInsets_;
    camera_.SetTopViewFrame(static_cast<float>(left) / w, static_cast<float>(top) / h,
                            1.0f - static_cast<float>(right) / w, 1.0f - static_cast<float>(bottom) / h);
}

void TableWorld::SetHudRightInset(int pixels) {
    platform::ScopedLock guard(lock_);
    hudRightInset_ = pixels;
    controls_.SetViewport(viewportWidth_, viewportHeight_, hudRightInset_, hudTopFromBottom_);
}

void TableWorld::SetHudTopFromBottom(int pixels) {
    platform::ScopedLock guard(lock_);
    hudTopFromBottom_ = pixels;
    controls_.SetViewport(viewportWidth_, viewportHeight_, hudRightInset_, hudTopFromBottom_);
}

}  // namespace table
