#include <gtest/gtest.h>

#include "physics/Ball.h"
#include "physics/PhysicsEntry.h"
#include "physics/TableGeometry.h"

namespace physics {
namespace {

// 75.89999 as the value stated (the nearest f32 to that decimal is one unit lower).
const float kFrameY = F32::FromBits(0x4297CCCCu).v;

struct Rects {
    std::uint32_t type;
    float outerX, outerY, frameX, frameY;
};

// The derived rectangles; 75.89999 (0x4297CCCC) only comes out of a chopped store.
const Rects kRects[] = {
    {0, 125.03f, 65.03f, 135.9f, kFrameY}, {2, 125.03f, 65.03f, 135.9f, kFrameY},
    {3, 125.03f, 65.03f, 135.9f, kFrameY}, {4, 125.03f, 65.03f, 135.9f, kFrameY},
    {5, 125.03f, 65.03f, 135.9f, kFrameY}, {6, 147.27f, 76.15f, 158.14f, 87.02f},
    {7, 147.27f, 76.15f, 158.14f, 87.02f}, {8, 147.27f, 76.15f, 158.14f, 87.02f},
    {1, 132.2f, 68.45f, 143.7f, 79.95f},   {9, 132.2f, 68.45f, 143.7f, 79.95f},
    {10, 132.2f, 68.45f, 143.7f, 79.95f},  {11, 182.5f, 93.6f, 194.0f, 105.1f},
};

TEST(TableGeometry, DerivedRectanglesAreBitExactUnderChoppedStores) {
    SetLastSetUpModelId(0x10014);
    for (const Rects& r : kRects) {
        TableGeometry g;
        BuildTableGeometry(r.type, g);
        SCOPED_TRACE(r.type);
        EXPECT_EQ(g.outer.xMax.v, r.outerX);
        EXPECT_EQ(g.outer.xMin.v, -r.outerX);
        EXPECT_EQ(g.outer.yMax.v, r.outerY);
        EXPECT_EQ(g.outer.yMin.v, -r.outerY);
        EXPECT_EQ(g.frame.xMax.v, r.frameX);
        EXPECT_EQ(g.frame.xMin.v, -r.frameX);
        EXPECT_EQ(g.frame.yMax.v, r.frameY);
        EXPECT_EQ(g.frame.yMin.v, -r.frameY);
    }
    TableGeometry g;
    BuildTableGeometry(0, g);
    EXPECT_EQ(g.frame.yMax.Bits(), 0x4297CCCCu);
}

TEST(TableGeometry, ValuesGivenByTheirExactBits) {
    TableGeometry g1, g9, g11;
    EXPECT_EQ(BuildTableGeometry(1, g1), 1);
    EXPECT_EQ(BuildTableGeometry(9, g9), 1);
    EXPECT_EQ(BuildTableGeometry(11, g11), 1);
    EXPECT_EQ(g1.sidePocketOffset.v, 5.4499969482421875f);
    EXPECT_EQ(g1.sideHoleOffset.v, 5.4499969482421875f);
    EXPECT_EQ(g9.sidePocketOffset.v, 5.45f);
    EXPECT_EQ(g11.PocketShape(20).v, 8.59100055694580078125f);
    EXPECT_EQ(g11.cornerPocketRadius.Bits(), F32(5.8f).Bits() - 1);
    EXPECT_EQ(g11.cornerHoleRadius.v, 9.40000057220458984375f);
    EXPECT_EQ(g11.tableFlagB, 1u);
    EXPECT_EQ(g11.PocketShape(23).v, 5.0f);
    EXPECT_EQ(g9.pocketDepth.v, -15.0f);
    EXPECT_EQ(g1.cushionHeight.v, 4.1f);
    EXPECT_EQ(g9.cushionHeight.v, 3.5f);
}

TEST(TableGeometry, KindWordsAndPocketFlagPerType) {
    struct Kinds {
        std::uint32_t type, flagA, cloth, cushion;
        std::uint8_t pockets;
        float cushionHeight;
    };
    const Kinds kinds[] = {{0, 0, 1, 0, 0, 4.2f},  {2, 0, 1, 0, 0, 3.95f}, {3, 0, 4, 0, 0, 3.7f},
                           {4, 1, 3, 1, 0, 3.7f},  {5, 0, 0, 1, 0, 3.95f}, {6, 1, 4, 0, 0, 3.7f},
                           {7, 1, 4, 2, 0, 3.7f},  {8, 1, 3, 2, 0, 3.7f},  {1, 0, 1, 0, 1, 4.1f},
                           {10, 0, 1, 0, 1, 3.5f}, {11, 0, 1, 0, 1, 3.14f}};
    SetLastSetUpModelId(0x10014);
    for (const Kinds& k : kinds) {
        TableGeometry g;
        SCOPED_TRACE(k.type);
        EXPECT_EQ(BuildTableGeometry(k.type, g), k.pockets);
        EXPECT_EQ(g.tableType, k.type);
        EXPECT_EQ(g.tableFlagA, k.flagA);
        EXPECT_EQ(g.clothKind, k.cloth);
        EXPECT_EQ(g.cushionKind, k.cushion);
        EXPECT_EQ(g.cushionHeight.v, k.cushionHeight);
        EXPECT_EQ(g.reserved16.v, 0.0f);
        if (!k.pockets) {
            EXPECT_EQ(g.cornerZone.v, 0.0f);
        }
    }
}

TEST(TableGeometry, TypeEightIsReadAsSevenBeforeModel10012) {
    for (std::uint32_t id : {0x10000u, 0x10011u}) {
        SetLastSetUpModelId(id);
        TableGeometry g;
        BuildTableGeometry(8, g);
        EXPECT_EQ(g.tableType, 7u);
        EXPECT_EQ(g.cushionKind, 2u);
        EXPECT_EQ(g.clothKind, 4u);
    }
    for (std::uint32_t id : {0x10012u, 0x10014u}) {
        SetLastSetUpModelId(id);
        TableGeometry g;
        BuildTableGeometry(8, g);
        EXPECT_EQ(g.tableType, 8u);
        EXPECT_EQ(g.clothKind, 3u);
    }
    SetLastSetUpModelId(0x10014);
}

TEST(TableGeometry, TypeOutOfRangeZeroesTheBlockAndReturnsNoPockets) {
    TableGeometry g;
    BuildTableGeometry(0, g);
    EXPECT_EQ(BuildTableGeometry(12, g), 0);
    for (std::uint32_t w : g.Words()) EXPECT_EQ(w, 0u);
    EXPECT_EQ(BuildTableGeometry(0xFFFFFF09u, g), 0);
}

class BallTest : public ::testing::Test {
protected:
    BallTest() : ball_(nullptr, &table_, 0) {
        BuildTableGeometry(0, table_.geometry);
        ball_.radiusCm = F32(3.075f);
    }
    PhysicsEntry entry_;
    TableRecord table_;
    Ball ball_;
};

TEST_F(BallTest, NewBallHasPlaceholderSizesAndIdentityOrientation) {
    Ball b(nullptr, &table_, 7);
    EXPECT_EQ(b.id, 7);
    EXPECT_EQ(b.radius.v, 30.5f);
    EXPECT_EQ(b.radiusCm.v, 3050.0f);
    EXPECT_EQ(b.mass.v, 0.25f);
    EXPECT_EQ(b.inertiaArm.v, 12.2f);
    EXPECT_TRUE(b.orientation.IsIdentity());
    EXPECT_TRUE(b.IsAtRest());
}

TEST_F(BallTest, RestNeedsExactZerosAndNoCueContact) {
    ball_.velocity.z = F32(-0.0f);
    EXPECT_TRUE(ball_.IsAtRest());  // -0 == 0
    ball_.velocity.z = F32(1e-30f);
    EXPECT_FALSE(ball_.IsAtRest());
    ball_.velocity.z = F32(-1e-30f);
    EXPECT_FALSE(ball_.IsAtRest());
    ball_.velocity.z = F32(0.0f);
    ball_.cueActive = 1;
    ball_.outOfPlay = 3;
    EXPECT_FALSE(ball_.IsAtRest());
    ball_.cueActive = 0;
    ball_.velocity.x = F32(1.0f);
    EXPECT_TRUE(ball_.IsAtRest());
}

TEST_F(BallTest, CushionTestsAreStrictAndContainmentInclusive) {
    const TableGeometry& g = table_.geometry;
    ball_.radiusCm = F32(3.0f);
    ball_.position = Vector3(F32(117.0f), F32(0.0f), ball_.radiusCm);
    EXPECT_FALSE(ball_.IsInsideCushions(F32(0.0f)));
    ball_.position.x = F32(0.0f);
    EXPECT_TRUE(ball_.IsInsideCushions(F32(0.0f)));
    EXPECT_TRUE(IsBallInsideCushions(ball_, g, F32(0.0f)));
    ball_.position.x = g.outer.xMax;
    ball_.position.y = g.outer.yMin;
    EXPECT_TRUE(ball_.IsWithinTableBounds(F32(0.0f)));
}

TEST_F(BallTest, ResetMotionRepairsOnlyAZeroOrientation) {
    ball_.orientation = Quaternion(F32(0.0f), F32(0.0f), F32(0.0f), F32(0.0f));
    ball_.velocity.x = F32(1.0f);
    ball_.railContact = 3;
    ball_.ResetMotion();
    EXPECT_TRUE(ball_.orientation.IsIdentity());
    EXPECT_TRUE(ball_.velocity.IsZero());
    EXPECT_EQ(ball_.railContact, 0);
    ball_.orientation = Quaternion(F32(0.0f), F32(0.0f), F32(0.0f), F32(2.0f));
    ball_.ResetMotion();
    EXPECT_EQ(ball_.orientation.w.v, 2.0f);
}

TEST_F(BallTest, RandomOrientationIsReproducibleAndUnit) {
    Ball other(nullptr, &table_, 1);
    ball_.RandomizeOrientation(12345);
    other.RandomizeOrientation(12345);
    EXPECT_EQ(ball_.orientation, other.orientation);
    EXPECT_NEAR(ball_.orientation.Length().v, 1.0f, 1e-6f);
    other.RandomizeOrientation(12346);
    EXPECT_FALSE(ball_.orientation == other.orientation);
}

TEST_F(BallTest, TouchFlagsFollowTheLeavingSpeed) {
    ball_.touchTime[0] = F32(0.5f);
    ball_.touchTime[1] = F32(-0.5f);
    ball_.touchDone[0] = 3;
    ball_.RefreshTouchFlags();
    EXPECT_EQ(ball_.touchFlag[0], 1);
    EXPECT_EQ(ball_.touchFlag[1], 0);
    EXPECT_EQ(ball_.touchDone[0], 0);
}

}  // namespace
}  // namespace physics
