// The camera rig's moves, keep values, top view, mode flags and cue-line turns.
#include <gtest/gtest.h>

#include <cmath>

#include "table/CameraRig.h"

namespace table {
namespace {

void Tick(CameraRig& rig, int ticks, const Vector3f& ball = {}, float yaw = 0.0f, bool shot = false) {
    for (int i = 0; i < ticks; ++i) rig.Tick(ball, yaw, shot);
}

TEST(CameraRig, MoveReachesItsTargetExactlyAfterTheGivenTicksAndNotBefore) {
    CameraRig rig;
    rig.SetView({300.0f, 30.0f, 170.0f, 0.0f}, {});
    rig.SetTargetFocus({10.0f, -5.0f, 0.0f});
    rig.SetTargetView(200.0f, 45.0f, -170.0f, kKeepValue);
    rig.BeginMove(40);
    Tick(rig, 20);
    EXPECT_TRUE(rig.Moving());
    // Half-way the yaw went the short way across 180, not back through 0.
    EXPECT_GT(std::fabs(rig.View().yaw), 170.0f);
    EXPECT_GT(rig.View().distance, 200.0f);
    Tick(rig, 20);
    EXPECT_FALSE(rig.Moving());
    EXPECT_EQ(rig.View(), (CameraView{200.0f, 45.0f, -170.0f, 0.0f}));
    EXPECT_EQ(rig.Focus(), (Vector3f{10.0f, -5.0f, 0.0f}));
}

TEST(CameraRig, KeepValueLeavesEachFieldAsItIs) {
    const CameraView start{250.0f, 20.0f, 45.0f, 5.0f};
    const struct {
        float distance, pitch, yaw, roll;
        CameraView end;
    } cases[] = {
        {kKeepValue, kKeepValue, kKeepValue, kKeepValue, start},
        {100.0f, kKeepValue, kKeepValue, kKeepValue, {100.0f, 20.0f, 45.0f, 5.0f}},
        {kKeepValue, 60.0f, kKeepValue, kKeepValue, {250.0f, 60.0f, 45.0f, 5.0f}},
        {kKeepValue, kKeepValue, -90.0f, kKeepValue, {250.0f, 20.0f, -90.0f, 5.0f}},
        {kKeepValue, kKeepValue, kKeepValue, 0.0f, {250.0f, 20.0f, 45.0f, 0.0f}},
    };
    for (const auto& c : cases) {
        CameraRig rig;
        rig.SetView(start, {});
        rig.SetTargetView(c.distance, c.pitch, c.yaw, c.roll);
        rig.BeginMove(10);
        Tick(rig, 10);
        EXPECT_EQ(rig.View(), c.end) << c.distance << " " << c.pitch << " " << c.yaw << " " << c.roll;
    }
}

TEST(CameraRig, ZeroTicksJumpAndOutOfRangeTargetsAreClamped) {
    CameraRig rig;
    rig.SetTargetView(5000.0f, -30.0f, 540.0f, NAN);
    rig.BeginMove(0);
    EXPECT_FALSE(rig.Moving());
    EXPECT_EQ(rig.View().distance, CameraRig::kMaxDistance);
    EXPECT_EQ(rig.View().pitch, CameraRig::kMinPitch);
    EXPECT_EQ(rig.View().yaw, -180.0f);
    EXPECT_EQ(rig.View().roll, 0.0f);
}

TEST(CameraRig, ModeFlagsFollowTheirRules) {
    const struct {
        bool first, second, zoom, fixed;
        bool outFirst, outSecond, outZoom, outFixed, aimView;
    } cases[] = {
        {false, false, true, false, false, false, true, false, true},
        {true, false, true, false, true, true, true, false, false},  // the first sets the second
        {false, true, false, false, false, true, false, false, false},
        {false, false, true, true, true, true, false, true, false},  // fixed: both mode flags, no zoom
    };
    for (const auto& c : cases) {
        CameraRig rig;
        rig.SetCameraModeFlags(c.first, c.second, c.zoom, c.fixed);
        EXPECT_EQ(rig.FirstModeFlag(), c.outFirst);
        EXPECT_EQ(rig.SecondModeFlag(), c.outSecond);
        EXPECT_EQ(rig.ShotZoomFlag(), c.outZoom);
        EXPECT_EQ(rig.FixedViewFlag(), c.outFixed);
        EXPECT_EQ(rig.InAimView(), c.aimView);
    }
    CameraRig rig;
    CameraOptions options;
    options.cameraMode = 3;
    rig.ApplyOptions(options);
    EXPECT_TRUE(rig.FixedViewFlag());
    options.cameraMode = 9;  // out of range reads as 1
    rig.ApplyOptions(options);
    EXPECT_TRUE(rig.InAimView());
}

TEST(CameraRig, CueLineTurnHonoursTurnZoomForceAndTopView) {
    CameraRig rig;
    CameraOptions options;
    options.turnZoom = false;
    rig.ApplyOptions(options);
    rig.SetView({300.0f, 30.0f, 0.0f, 0.0f}, {});
    const Vector3f ball{50.0f, 20.0f, 3.0f};
    rig.TurnCameraToCueLine(ball, 90.0f, 12.0f, 150.0f, 0.5f, false, false);
    Tick(rig, 99);
    EXPECT_TRUE(rig.Moving());  // 0.5 s is 100 ticks
    Tick(rig, 1);
    EXPECT_EQ(rig.View(), (CameraView{300.0f, 30.0f, 90.0f, 0.0f}));
    EXPECT_EQ(rig.Focus(), ball);
    rig.TurnCameraToCueLine(ball, 90.0f, 12.0f, 150.0f, 0.0f, true, true);
    EXPECT_EQ(rig.View(), (CameraView{150.0f, 12.0f, 90.0f, 0.0f}));

    rig.SetTopView(true, ball, 90.0f);
    Tick(rig, 100);
    EXPECT_EQ(rig.CurrentCamera(), kCameraTop);
    EXPECT_EQ(rig.View().pitch, 90.0f);
    rig.TurnCameraToCueLine({}, 0.0f, 30.0f, 300.0f, 0.0f, true, true);
    EXPECT_EQ(rig.View().pitch, 90.0f);  // no turn in top view
    rig.SetTopView(false, ball, 90.0f);
    Tick(rig, 100);
    EXPECT_TRUE(rig.InAimView());
    EXPECT_EQ(rig.View(), (CameraView{150.0f, 12.0f, 90.0f, 0.0f}));
    EXPECT_EQ(rig.Focus(), ball);
}

TEST(CameraRig, EyeSitsBehindTheFocusAlongTheYaw) {
    CameraRig rig;
    rig.SetView({100.0f, 0.0f + CameraRig::kMinPitch, 0.0f, 0.0f}, {10.0f, 0.0f, 0.0f});
    const Vector3f eye = rig.Eye();
    EXPECT_NEAR(eye.x, 10.0f - 100.0f * std::cos(CameraRig::kMinPitch * 3.14159265f / 180.0f), 1e-3f);
    EXPECT_NEAR(eye.y, 0.0f, 1e-3f);
    EXPECT_GT(eye.z, 0.0f);
    // The focus lies straight ahead in view space (x = y = 0, z = distance).
    const Vector3f focus = TransformPoint(rig.Target(), rig.ViewMatrix());
    EXPECT_NEAR(focus.x, 0.0f, 1e-3f);
    EXPECT_NEAR(focus.y, 0.0f, 1e-3f);
    EXPECT_NEAR(focus.z, 100.0f, 1e-2f);
    rig.SetView({100.0f, 90.0f, 30.0f, 0.0f}, {});
    const Matrix4f top = rig.ViewMatrix();
    for (float v : top.m) EXPECT_TRUE(std::isfinite(v));
}

}  // namespace
}  // namespace table

namespace table {
namespace {

TEST(CameraRig, ATopViewChosenBeforeTheFirstTickIsNotTurnedBackBehindTheCueBall) {
    CameraRig rig;
    rig.SetTableSize(127.0f, 63.5f);
    rig.SetSetUpFlag(true);
    rig.SetTopView(true, {-60.0f, 0.0f, 2.9f}, 0.0f);
    Tick(rig, 100, {-60.0f, 0.0f, 2.9f}, 0.0f);
    EXPECT_EQ(rig.Focus(), Vector3f{}) << "the top view looks at the table's middle";
    EXPECT_EQ(rig.View().pitch, 90.0f);
    EXPECT_EQ(rig.View().yaw, 90.0f) << "the long side across the screen";
}

}  // namespace
}  // namespace table

namespace table {
namespace {

TEST(CameraRig, TheFieldOfViewFollowsTheDistanceBetweenItsPointsAndHoldsBeyond) {
    const struct {
        float distance, fov;
    } cases[] = {{50.0f, 20.0f}, {100.0f, 20.0f}, {310.0f, 35.0f}, {520.0f, 50.0f}, {900.0f, 50.0f}};
    CameraRig rig;
    EXPECT_EQ(rig.FieldOfViewDegrees(), CameraRig::kDefaultFovDegrees);
    rig.SetDistanceFov(100.0f, 20.0f, 520.0f, 50.0f);
    for (const auto& c : cases) {
        rig.SetView({c.distance, 30.0f, 0.0f, 0.0f}, {});
        EXPECT_NEAR(rig.FieldOfViewDegrees(), c.fov, 1e-3f) << c.distance;
    }
    // Equal distances: one field of view everywhere, no division by zero; bad values change nothing.
    rig.SetDistanceFov(10.0f, 30.0f, 10.0f, 60.0f);
    EXPECT_EQ(rig.FieldOfViewDegrees(), 30.0f);
    rig.SetDistanceFov(NAN, 10.0f, 100.0f, 20.0f);
    rig.SetDistanceFov(10.0f, INFINITY, 100.0f, 20.0f);
    EXPECT_EQ(rig.FieldOfViewDegrees(), 30.0f);
}

TEST(CameraRig, NoZoomMoveOrSetViewComesNearerThanTheMinimumDistance) {
    CameraRig rig;
    rig.SetView({50.0f, 30.0f, 0.0f, 0.0f}, {});
    rig.SetMinDistance(130.0f);
    EXPECT_EQ(rig.View().distance, 130.0f) << "a closer view stays inside the limit";
    rig.Zoom(20.0f);
    EXPECT_EQ(rig.View().distance, 130.0f);
    rig.MoveCamera(0.0f, 100.0f, kKeepValue);
    EXPECT_EQ(rig.View().distance, 130.0f);
    rig.SetView({20.0f, 30.0f, 0.0f, 0.0f}, {});
    EXPECT_EQ(rig.View().distance, 130.0f);
    // A lower limit lets the view come closer again; nonsense limits are refused or bounded.
    rig.SetMinDistance(10.0f);
    rig.MoveCamera(0.0f, 50.0f, kKeepValue);
    EXPECT_EQ(rig.View().distance, 50.0f);
    rig.SetMinDistance(NAN);
    EXPECT_EQ(rig.MinDistance(), 10.0f);
    rig.SetMinDistance(-5.0f);
    EXPECT_GT(rig.MinDistance(), 0.0f);
    rig.SetMinDistance(1e9f);
    EXPECT_EQ(rig.MinDistance(), CameraRig::kMaxDistance);
}

TEST(CameraRig, ATurnDuringAMoveIsNotUndoneWhenTheMoveEnds) {
    CameraRig rig;
    rig.SetView({300.0f, 30.0f, 10.0f, 0.0f}, {});
    rig.MoveCamera(1.0f, 200.0f, kKeepValue);
    Tick(rig, 100);
    for (int i = 0; i < 100; ++i) rig.Rotate(0.1f, 0.0f);
    Tick(rig, 100);
    EXPECT_FALSE(rig.Moving());
    EXPECT_NEAR(rig.View().yaw, 20.0f, 1e-3f);
    EXPECT_EQ(rig.View().distance, 200.0f) << "the turn cut the move short";
    rig.Rotate(175.0f, 100.0f);
    EXPECT_NEAR(rig.View().yaw, -165.0f, 1e-3f);
    EXPECT_EQ(rig.View().pitch, CameraRig::kMaxPitch);
    rig.Rotate(NAN, 0.0f);
    EXPECT_NEAR(rig.View().yaw, -165.0f, 1e-3f);
}

TEST(CameraRig, AHeadingSetBeforeTheSetUpTickSurvivesItAndALaterSetUpFacesTheCueLineAgain) {
    CameraRig rig;
    rig.SetView({300.0f, 30.0f, 10.0f, 0.0f}, {});
    rig.SetSetUpFlag(true);
    rig.TurnToHeading(150.0f);
    rig.MoveCamera(0.5f, kKeepValue, kKeepValue);
    Tick(rig, 200, {40.0f, 5.0f, 0.0f}, -30.0f);
    EXPECT_NEAR(rig.View().yaw, 150.0f, 1e-3f);
    EXPECT_EQ(rig.Focus(), (Vector3f{40.0f, 5.0f, 0.0f})) << "the set-up still finds the cue ball";
    rig.SetSetUpFlag(true);
    Tick(rig, 1, {}, -30.0f);
    EXPECT_NEAR(rig.View().yaw, -30.0f, 1e-3f);
    rig.TurnToHeading(NAN);
    EXPECT_NEAR(rig.View().yaw, -30.0f, 1e-3f);
}

}  // namespace
}  // namespace table
