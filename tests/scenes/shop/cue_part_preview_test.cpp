// The part preview's camera and mouse: zoom limits, how far a drag slides each group, the turn by
// time, and which previews take the mouse.
#include <gtest/gtest.h>

#include "net/CuePartTable.h"
#include "platform/window/WindowCodes.h"
#include "scenes/shop/cue/CuePartPreview.h"

using scenes::CuePartCamera;
using scenes::CuePartPreview;

namespace {

constexpr int kShaft = 0, kButt = 1, kBumper = 3, kTip = 4;

TEST(CuePartCamera, StartsPerGroupWithinTheDistanceLimits) {
    CuePartCamera c;
    c.Reset(kButt);
    EXPECT_EQ(c.distance, 40.0f);
    EXPECT_EQ(c.pitch, 25.0f);
    c.Reset(kTip);
    EXPECT_EQ(c.distance, 25.0f) << "20 lies below the closest distance";
    c.Reset(kBumper);
    EXPECT_EQ(c.pitch, -60.0f);
}

TEST(CuePartCamera, WheelStopsAtTheLimitsAndDragsStopAtTheGroupsReach) {
    CuePartCamera c;
    c.Reset(kShaft);
    for (int i = 0; i < 5; ++i) c.Wheel(120);
    EXPECT_EQ(c.distance, 25.0f);
    for (int i = 0; i < 5; ++i) c.Wheel(-120);
    EXPECT_EQ(c.distance, 80.0f);
    c.Reset(kTip);
    c.Drag(500, -500);
    EXPECT_EQ(c.offsetX, 6.0f);
    EXPECT_EQ(c.offsetY, -6.0f);
    EXPECT_EQ(c.yaw, -250.0f) << "half the movement, against it";
    c.Reset(kButt);
    c.Drag(-500, 0);
    EXPECT_EQ(c.offsetX, -30.0f);
}

TEST(CuePartCamera, TurnsTwentyDegreesPerSecondWhateverTheFrameRate) {
    CuePartCamera a, b;
    a.Advance(1000);
    for (int i = 0; i < 100; ++i) b.Advance(10);
    EXPECT_FLOAT_EQ(a.yaw, 20.0f);
    EXPECT_NEAR(b.yaw, 20.0f, 1e-3);
}

TEST(CuePartPreview, OnlyADraggablePreviewStartsADragAndAnyReleaseEndsIt) {
    CuePartPreview fixed(0, 0, 75, 118, false), free(0, 0, 147, 242, true);
    fixed.SetPart(kTip, 0);
    free.SetPart(kTip, 0);
    EXPECT_FALSE(fixed.OnMouse({platform::kWmLButtonDown, 10, 10, 10, 10, 1, 0}));
    EXPECT_TRUE(free.OnMouse({platform::kWmLButtonDown, 10, 10, 10, 10, 1, 0}));
    EXPECT_TRUE(free.Dragging());
    free.OnMouse({platform::kWmMouseMove, 0, 0, 1000, 10, 1, 0});
    EXPECT_EQ(free.Camera().offsetX, 6.0f);
    free.OnMouse({platform::kWmLButtonUp, 0, 0, 1000, 10, 0, 0});
    EXPECT_FALSE(free.Dragging());
    free.SetPart(-1, 0);
    EXPECT_FALSE(free.BuildRequested()) << "a negative group asks for nothing";
}

}  // namespace
