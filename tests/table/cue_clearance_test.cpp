#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "table/CueClearance.h"

using namespace table;

namespace {

constexpr Vector3f kOrigin{0, 0, 0};
constexpr Vector3f kEast{1, 0, 0};

// A carom table 100 x 50 around the origin: cushions at x = +-50 (axis 1) and y = +-25 (axis 0).
ClearanceTable CaromTable() {
    ClearanceTable table;
    table.cushionHeight = 3.7f;
    const float lines[4][2] = {{50, 55}, {-50, -55}, {25, 30}, {-25, -30}};
    for (int i = 0; i < 4; ++i) {
        ClearanceCushion& cushion = table.cushions[static_cast<std::size_t>(i)];
        cushion.axis = i < 2 ? 1 : 0;
        cushion.innerLine = lines[i][0];
        cushion.outerLine = lines[i][1];
        cushion.spanFrom = i < 2 ? -25.0f : -50.0f;
        cushion.spanTo = -cushion.spanFrom;
    }
    return table;
}

}  // namespace

TEST(CueClearanceBall, BallAheadRaisesTheElevationToClearItAndBehindNever) {
    float e = 0;
    CueClearanceStep(0, kOrigin, kEast, 0, {10, 0, 0}, 3, e);
    const float s = 10 * 1.014f / 137 + 0.602f + 3;
    EXPECT_NEAR(e, std::atan(s / 10), 1e-6f);

    float behind = 0;
    CueClearanceStep(0, kOrigin, kEast, 0, {-10, 0, 0}, 3, behind);
    CueClearanceStep(0, kOrigin, kEast, 0, {0, 1, 0}, 3, behind);  // beside the tip: t = 0
    EXPECT_EQ(behind, 0.0f);

    float aside = 0;
    CueClearanceStep(0, kOrigin, kEast, 0, {10, 20, 0}, 3, aside);
    EXPECT_EQ(aside, 0.0f);

    float high = 1.0f;  // the running minimum is never lowered
    CueClearanceStep(0, kOrigin, kEast, 0, {10, 0, 0}, 3, high);
    EXPECT_EQ(high, 1.0f);
}

TEST(CueClearanceEdge, AnEdgeOutOfReachOrBehindLeavesTheElevation) {
    float e = 0.25f;
    CueClearanceForEdge(0, kEast, 0, 0, 3, {-5, 0, 0}, e);  // behind
    EXPECT_EQ(e, 0.25f);
    CueClearanceForEdge(0, kEast, 0, 0, 0, {0, 0, 0}, e);  // no distance at all
    EXPECT_EQ(e, 0.25f);

    float low = 0;
    CueClearanceForEdge(0, kEast, 0, 0, 3, {5, 0, 0}, low);  // an edge 3 up, 5 ahead
    EXPECT_GT(low, 0.5f);
    EXPECT_LT(low, 1.0f);
    EXPECT_FALSE(std::isnan(low));
    float far = 0;
    CueClearanceForEdge(0, kEast, 0, 0, 3, {50, 0, 0}, far);
    EXPECT_LT(far, low);  // the further the edge, the flatter the cue may lie
}

TEST(CueClearanceSegment, OnlyTheFrontSideWithinTheSegmentCountsAndHeightsRunAlongIt) {
    const Vector3f a{10, -5, 0}, b{10, 5, 0};  // right-hand normal (10, 0) faces away from the tip
    Vector3f w;
    float h = 0;
    EXPECT_FALSE(SegmentCrossing(kOrigin, kEast, a, b, true, 1, 2, 3, w, h));
    ASSERT_TRUE(SegmentCrossing(kOrigin, kEast, a, b, false, 1, 2, 3, w, h));
    EXPECT_FLOAT_EQ(w.x, 10);
    EXPECT_FLOAT_EQ(h, 2);  // the middle of the segment
    ASSERT_TRUE(SegmentCrossing({0, -2.5f, 0}, kEast, a, b, false, 1, 2, 3, w, h));
    EXPECT_FLOAT_EQ(h, 1.5f);
    ASSERT_TRUE(SegmentCrossing({0, 2.5f, 0}, kEast, a, b, false, 1, 2, 3, w, h));
    EXPECT_FLOAT_EQ(h, 2.5f);
    EXPECT_FALSE(SegmentCrossing({0, 5, 0}, kEast, a, b, false, 1, 2, 3, w, h));   // f = 1 is outside
    EXPECT_FALSE(SegmentCrossing({20, 0, 0}, kEast, a, b, false, 1, 2, 3, w, h));  // behind the ray
}

TEST(CueClearanceCircle, FarCrossingIsFoundAndMissesAndZeroDirectionsAreSafe) {
    Vector3f w;
    ASSERT_TRUE(RayHitsCircle(kOrigin, {2, 0, 0}, {10, 0, 0}, 3, w));
    EXPECT_FLOAT_EQ(w.x, 13);
    EXPECT_FALSE(RayHitsCircle(kOrigin, kEast, {10, 5, 0}, 3, w));
    Vector3f zero;
    EXPECT_TRUE(RayHitsCircle(kOrigin, {0, 0, 0}, {1, 0, 0}, 3, zero));  // standing inside the circle
    EXPECT_FALSE(std::isnan(zero.x));
}

TEST(CueClearanceTable, NearACushionTheCueMustRiseMoreThanFarFromIt) {
    const ClearanceTable table = CaromTable();
    float near = 0, far = 0;
    ComputeCueClearance(0, {48, 0, 0}, kEast, 0, 3, table, near);
    ComputeCueClearance(0, {-40, 0, 0}, kEast, 0, 3, table, far);
    EXPECT_GT(near, far);
    EXPECT_GT(near, 0.0f);
    EXPECT_FALSE(std::isnan(near));
    // Straight along a cushion: the parallel cushions are never reached, no NaN creeps in.
    float along = 0;
    ComputeCueClearance(0, {0, 0, 0}, {0, 1, 0}, 0, 3, table, along);
    EXPECT_FALSE(std::isnan(along));
}

TEST(CueClearanceTable, AimIntoAPocketSkipsTheCushionEdgesAndAJawCountsInstead) {
    ClearanceTable table = CaromTable();
    table.pockets = true;
    table.cornerPocketRadius = 6;
    table.middlePocketRadius = 6;
    ClearanceCushion& east = table.cushions[0];
    east.spanFrom = -20;
    east.spanTo = 20;
    east.cornerCentres = {Vector3f{56, 31, 0}, Vector3f{56, -31, 0}};
    // Aim at the east cushion between its ends: the cushion edges raise the cue.
    float onCushion = 0;
    CushionClearance(east, 3.7f, 3.9f, 0, true, 0, {45, 0, 0}, kEast, 0, 3, table, onCushion);
    EXPECT_GT(onCushion, 0.0f);
    // Aim past the cushion's end, missing the corner circle: only the outer line counts.
    float intoPocket = 0;
    CushionClearance(east, 3.7f, 3.9f, 0, true, 0, {45, 22, 0}, {1, 0.05f, 0}, 0, 3, table, intoPocket);
    EXPECT_LT(intoPocket, onCushion);
    // A jaw across the aim is the obstacle, whatever lies behind it.
    east.endJaws[0] = {Vector3f{47, -2, 0}, Vector3f{47, 2, 0}};
    float jaw = 0;
    CushionClearance(east, 3.7f, 3.9f, 0, true, 0, {45, 0, 0}, kEast, 0, 3, table, jaw);
    EXPECT_GT(jaw, onCushion);
}
