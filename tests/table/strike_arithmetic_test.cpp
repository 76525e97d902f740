// The strike conversions hand the physics the same bits on every client: round toward zero
// through the x87, not the nearest rounding of plain float or double arithmetic.
#include <gtest/gtest.h>

#include <cstdint>

#include "table/StrikeArithmetic.h"

namespace table {
namespace {

using physics::F32;

TEST(StrikeArithmetic, ElevationConversionChopsLikeThePhysicsNotToNearest) {
    // Expected bits worked out with exact rationals: e x 3.1415927f chopped to 64 bits, / 180
    // chopped to 64 bits, stored chopped to f32. Nearest rounding gives one unit more for the
    // first three.
    const struct {
        float degrees;
        std::uint32_t bits;
    } cases[] = {
        {5.0f, 0x3db2b8c2}, {3.25f, 0x3d685696}, {1.25f, 0x3cb2b8c2}, {30.0f, 0x3f060a92}, {0.0f, 0}};
    for (const auto& c : cases) EXPECT_EQ(ElevationToRadians(F32(c.degrees)).Bits(), c.bits) << c.degrees;
}

TEST(StrikeArithmetic, OffsetReductionTakesEitherBranchWithChoppedBits) {
    const struct {
        float side, vertical, a, b, radiusCm;
        std::uint32_t sideBits, verticalBits;
    } cases[] = {
        {0.6f, 0.3f, 0.5f, 1.0f, 3.075f, 0x3ee8bcb3, 0x3e68bcb3},     // a / b <= u / w: x = a
        {0.6f, 0.3f, 0.8f, 1.0f, 3.075f, 0x3ee7d041, 0x3e67d041},     // a / b > u / w: x = u b / w
        {-0.25f, 0.7f, 0.3f, 0.2f, 2.8575f, 0xbe6f4118, 0x3f277a5d},  // a negative side keeps its sign
    };
    for (const auto& c : cases) {
        F32 side(c.side), vertical(c.vertical);
        ReduceOffsetPair(side, vertical, F32(c.a), F32(c.b), F32(c.radiusCm));
        EXPECT_EQ(side.Bits(), c.sideBits) << c.side << " " << c.a;
        EXPECT_EQ(vertical.Bits(), c.verticalBits) << c.vertical << " " << c.a;
    }
}

TEST(StrikeArithmetic, OffsetReductionWithoutReachLeavesThePairUntouched) {
    for (const float a : {0.0f, -0.0f}) {
        F32 side(0.6f), vertical(-0.3f);
        ReduceOffsetPair(side, vertical, F32(a), F32(1.0f), F32(3.075f));
        EXPECT_EQ(side.Bits(), F32(0.6f).Bits());
        EXPECT_EQ(vertical.Bits(), F32(-0.3f).Bits());
    }
}

}  // namespace
}  // namespace table
