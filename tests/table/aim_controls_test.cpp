#include <gtest/gtest.h>

#include <cmath>

#include "platform/window/WindowCodes.h"
#include "table/AimControls.h"
#include "table/CameraRig.h"

using namespace table;
using platform::MakeLParam;

namespace {

struct Controls {
    AimControls controls;
    AimState aim;
    ControlRequests last;
    Controls() { controls.SetViewport(800, 600); }
    bool Send(std::uint32_t message, std::uintptr_t wParam = 0, std::intptr_t lParam = 0) {
        last = {};
        return controls.HandleMessage(message, wParam, lParam, aim, last);
    }
    void Mouse(std::uint32_t message, int x, int y) { Send(message, 0, MakeLParam(x, y)); }
    void Key(std::uint32_t key, bool down) { Send(down ? platform::kWmKeyDown : platform::kWmKeyUp, key); }
    void Ticks(int n) {
        for (int i = 0; i < n; ++i) {
            last = {};
            controls.Tick(aim, last);
        }
    }
};

}  // namespace

TEST(AimControls, LeftButtonDrawnBackSetsThePowerAndOnlyARealDrawStrikes) {
    Controls c;
    c.Mouse(platform::kWmLButtonDown, 300, 200);
    c.Mouse(platform::kWmMouseMove, 300, 300);
    EXPECT_FLOAT_EQ(c.aim.Power(), 100.0f / kPowerDrawPixels);
    EXPECT_FLOAT_EQ(c.aim.YawDegrees(), 0.0f) << "drawing back does not turn the aim";
    c.Mouse(platform::kWmMouseMove, 300, 900);
    EXPECT_FLOAT_EQ(c.aim.Power(), 1.0f) << "capped at full power";
    c.Mouse(platform::kWmLButtonUp, 300, 900);
    EXPECT_TRUE(c.last.strike);

    c.Mouse(platform::kWmLButtonDown, 300, 200);
    c.Mouse(platform::kWmMouseMove, 300, 150);  // pushed forward: no power
    c.Mouse(platform::kWmLButtonUp, 300, 150);
    EXPECT_FALSE(c.last.strike) << "a click without drawing back is no shot";
}

TEST(AimControls, MouseTurnsTheAimFinerWithShiftAndRightDragTurnsOnlyTheCamera) {
    Controls c;
    c.Mouse(platform::kWmMouseMove, 100, 100);
    c.Mouse(platform::kWmMouseMove, 90, 100);
    EXPECT_FLOAT_EQ(c.aim.YawDegrees(), 360 - 10 * kAimDegreesPerPixel) << "left turns left";
    c.Key(platform::kVkShift, true);
    c.Mouse(platform::kWmMouseMove, 80, 100);
    EXPECT_FLOAT_EQ(c.aim.YawDegrees(), 360 - 10 * kAimDegreesPerPixel * (1 + 1 / kFineAimDivisor));
    c.Key(platform::kVkShift, false);

    const float yaw = c.aim.YawDegrees();
    c.Mouse(platform::kWmRButtonDown, 80, 100);
    c.Mouse(platform::kWmMouseMove, 60, 110);
    EXPECT_FLOAT_EQ(c.aim.YawDegrees(), yaw);
    EXPECT_EQ(c.last.cameraYawPixels, -20.0f) << "the rig scales the drag, once";
    EXPECT_EQ(c.last.cameraPitchPixels, 10.0f);
    c.Mouse(platform::kWmRButtonUp, 60, 110);
    c.Send(platform::kWmMouseWheel, static_cast<std::uintptr_t>(std::uint16_t(-240)) << 16);
    EXPECT_FLOAT_EQ(c.last.zoomSteps, -2.0f);
}

TEST(AimControls, KeysAimChargeStrikeAndCentreTheTipAndTheOnScreenControlSetsTipAndElevation) {
    Controls c;
    c.Key(platform::kVkLeft, true);
    c.Ticks(10);
    EXPECT_NEAR(c.aim.YawDegrees(), 360 - 10 * kAimDegreesPerKeyTick, 1e-3) << "Left turns left";
    c.Key(platform::kVkLeft, false);

    c.Key(platform::kVkSpace, true);
    c.Ticks(150);
    EXPECT_NEAR(c.aim.Power(), 150 * kPowerPerTick, 1e-4);
    c.Key(platform::kVkSpace, false);
    EXPECT_TRUE(c.last.strike);

    c.Key('D', true);
    c.Key('W', true);
    EXPECT_FLOAT_EQ(c.aim.TipSide(), kTipOffsetStep);
    EXPECT_FLOAT_EQ(c.aim.TipVertical(), kTipOffsetStep);
    EXPECT_FALSE(c.Send(platform::kWmKeyDown, 'R')) << "R is the rooms' replay key";
    EXPECT_FLOAT_EQ(c.aim.TipSide(), kTipOffsetStep);
    c.Key(kCentreTipKey, true);
    EXPECT_EQ(c.aim.TipSide(), 0.0f);
    EXPECT_EQ(c.aim.TipVertical(), 0.0f);

    const ControlRect tip = c.controls.TipControl();
    c.Mouse(platform::kWmLButtonDown, tip.right - 1, (tip.top + tip.bottom) / 2);
    c.Mouse(platform::kWmLButtonUp, tip.right - 1, (tip.top + tip.bottom) / 2);
    EXPECT_GT(c.aim.TipSide(), 0.9f);
    EXPECT_NEAR(c.aim.TipVertical(), 0.0f, 1e-6);
    EXPECT_FALSE(c.last.strike) << "a click on the control never strikes";

    const ControlRect bar = c.controls.ElevationControl();
    c.Mouse(platform::kWmLButtonDown, bar.left + 1, bar.top);
    c.Mouse(platform::kWmLButtonUp, bar.left + 1, bar.top);
    EXPECT_FLOAT_EQ(c.aim.ElevationDegrees(), kMaxElevationDegrees);
    c.aim.SetMinElevationDegrees(10);
    c.aim.SetElevationDegrees(0);
    EXPECT_FLOAT_EQ(c.aim.ElevationDegrees(), 10.0f) << "never below the clearance";
}

TEST(AimControls, AKeyUpLostToAnotherWindowLetsGoWithoutStriking) {
    Controls c;
    c.Key(platform::kVkSpace, true);
    c.Key(platform::kVkLeft, true);
    c.Ticks(30);
    ASSERT_GT(c.aim.Power(), 0.0f);
    const float yaw = c.aim.YawDegrees();
    c.controls.ReleaseKeysNoLongerDown([](std::uint32_t key) { return key == platform::kVkLeft; }, c.aim);
    EXPECT_FLOAT_EQ(c.aim.Power(), 0.0f) << "the charge is dropped, never struck";
    c.Ticks(10);
    EXPECT_FLOAT_EQ(c.aim.Power(), 0.0f);
    EXPECT_LT(c.aim.YawDegrees(), yaw) << "Left is still held";
    c.controls.ReleaseKeysNoLongerDown([](std::uint32_t) { return false; }, c.aim);
    const float stopped = c.aim.YawDegrees();
    c.Ticks(10);
    EXPECT_FLOAT_EQ(c.aim.YawDegrees(), stopped);
}

TEST(AimControls, ReachingForTheOnScreenControlsAndComingBackLeavesTheAimAsItWas) {
    Controls c;
    const ControlRect area = c.controls.ControlArea();
    const int y = (area.top + area.bottom) / 2;
    // Aimed with care: a move, then the pointer rests.
    c.Mouse(platform::kWmMouseMove, 400, 300);
    c.Mouse(platform::kWmMouseMove, 396, 300);
    c.Ticks(60);
    const float aimed = c.aim.YawDegrees();
    ASSERT_NE(aimed, 0.0f);

    // Swept to the tip control over the table: the aim swings on the way and comes back there.
    for (int x = 420; x < area.left; x += 40) c.Mouse(platform::kWmMouseMove, x, y);
    EXPECT_NE(c.aim.YawDegrees(), aimed) << "the way still turns the aim while it is under way";
    c.Mouse(platform::kWmMouseMove, area.right - 5, y);
    EXPECT_FLOAT_EQ(c.aim.YawDegrees(), aimed);
    EXPECT_TRUE(c.last.aimChanged);
    for (int x = area.right - 5; x > area.left; x -= 10) c.Mouse(platform::kWmMouseMove, x, y);
    EXPECT_FLOAT_EQ(c.aim.YawDegrees(), aimed) << "moving over the controls is no aiming";
    // The way back to the table turns nothing; once the pointer rests there it aims again.
    for (int x = area.left - 10; x > 300; x -= 40)
        c.Mouse(platform::kWmMouseMove, x, y - (area.left - x) / 2);
    c.Mouse(platform::kWmMouseMove, 300, 200);
    EXPECT_FLOAT_EQ(c.aim.YawDegrees(), aimed);
    c.Ticks(60);
    c.Mouse(platform::kWmMouseMove, 296, 200);
    EXPECT_FLOAT_EQ(c.aim.YawDegrees(), aimed - 4 * kAimDegreesPerPixel);
    c.Ticks(60);
    const float back = c.aim.YawDegrees();

    // A sweep that rests before it reaches the controls was aiming: it stays.
    c.Mouse(platform::kWmMouseMove, area.left - 100, y);
    c.Mouse(platform::kWmMouseMove, area.left - 60, y);
    c.Ticks(60);
    const float rested = c.aim.YawDegrees();
    EXPECT_NE(rested, back);
    c.Mouse(platform::kWmMouseMove, area.left + 2, y);
    EXPECT_FLOAT_EQ(c.aim.YawDegrees(), rested);
    c.Mouse(platform::kWmMouseMove, 300, 200);
    c.Ticks(60);

    // A press ends the sweep too: what was aimed before a shot stays aimed.
    c.Mouse(platform::kWmMouseMove, 300, 200);
    c.Mouse(platform::kWmMouseMove, 280, 200);
    const float pressed = c.aim.YawDegrees();
    c.Mouse(platform::kWmLButtonDown, 280, 200);
    c.Mouse(platform::kWmLButtonUp, 280, 200);
    c.Mouse(platform::kWmMouseMove, area.left + 2, y);
    EXPECT_FLOAT_EQ(c.aim.YawDegrees(), pressed);
}

// An angle above 360 loses whole turns only while it is above 360, so 360 and its multiples read
// 360; a huge angle must not loop for ever.
TEST(AimState, YawWrapsIntoZeroTo360KeepingMultiplesOf360At360) {
    const std::pair<float, float> cases[] = {{-30.0f, 330.0f}, {720.0f, 360.0f}, {360.0f, 360.0f},
                                             {-360.0f, 0.0f},  {370.0f, 10.0f},  {1e30f, 120.0f}};
    for (const auto& [in, out] : cases) {
        AimState aim;
        aim.SetYawDegrees(in);
        EXPECT_FLOAT_EQ(aim.YawDegrees(), out) << in;
    }
}

namespace {

// Where a table point lands across the screen, -1 (left edge) to 1 (right edge), seen through the
// rig's view and the render device's projection.
float ScreenX(const CameraRig& rig, const Vector3f& p) {
    const Matrix4f m = Multiply(rig.ViewMatrix(), PerspectiveMatrix(0.8f, 4.0f / 3.0f, 1.0f, 10000.0f));
    const float x = p.x * At(m, 0, 0) + p.y * At(m, 1, 0) + p.z * At(m, 2, 0) + At(m, 3, 0);
    const float w = p.x * At(m, 0, 3) + p.y * At(m, 1, 3) + p.z * At(m, 2, 3) + At(m, 3, 3);
    return x / w;
}

Vector3f Ahead(float yawDegrees) {
    const float y = yawDegrees * 3.14159265f / 180.0f;
    return {100.0f * std::cos(y), 100.0f * std::sin(y), 0.0f};
}

}  // namespace

TEST(AimControls, TheAimAndTheCameraTurnTheWayThePointerAndTheArrowKeysPointOnScreen) {
    // The camera stands behind the cue ball at the origin, looking along the aim (yaw 0).
    CameraRig rig;
    rig.SetView({300.0f, 30.0f, 0.0f, 0.0f}, {});
    ASSERT_NEAR(ScreenX(rig, Ahead(0)), 0.0f, 1e-4f);

    Controls c;
    c.Mouse(platform::kWmMouseMove, 400, 300);
    c.Mouse(platform::kWmMouseMove, 440, 300);
    EXPECT_GT(ScreenX(rig, Ahead(c.aim.YawDegrees())), 0.05f)
        << "the pointer moved right, the aim turns right";
    c.Key(platform::kVkLeft, true);
    c.Ticks(100);
    c.Key(platform::kVkLeft, false);
    EXPECT_LT(ScreenX(rig, Ahead(c.aim.YawDegrees())), -0.05f) << "Left turns the aim left";

    // A right-button drag to the right turns the view right: what was straight ahead moves left.
    c.Mouse(platform::kWmRButtonDown, 440, 300);
    c.Mouse(platform::kWmMouseMove, 480, 300);
    rig.RotateByMouse(c.last.cameraYawPixels, c.last.cameraPitchPixels);
    EXPECT_NEAR(rig.View().yaw, 10.0f, 1e-4f) << "0.25 degrees a pixel";
    EXPECT_LT(ScreenX(rig, Ahead(0)), -0.05f);
}
