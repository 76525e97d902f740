#include <gtest/gtest.h>

#include <limits>

#include "engine/core/Lcg.h"
#include "physics/MathTypes.h"
#include "physics/PhysicsEntry.h"

namespace physics {
namespace {

class MathTest : public ::testing::Test {
protected:
    PhysicsEntry entry_;
};

TEST_F(MathTest, NormalizeOfTinyVectorsGivesZeroButReportsTheLength) {
    Vector3 zero;
    F32 len(5.0f);
    zero.Normalize(&len);
    EXPECT_TRUE(zero.IsZero());
    EXPECT_EQ(len.v, 0.0f);

    Vector3 tiny(F32(1e-8f), F32(0.0f), F32(0.0f));
    tiny.Normalize(&len);
    EXPECT_TRUE(tiny.IsZero());
    EXPECT_GT(len.v, 0.0f);
    EXPECT_NEAR(len.v, 1e-8f, 1e-14f);

    // Exactly FLT_EPSILON still normalises ("<" test).
    Vector3 eps(kFltEpsilon, F32(0.0f), F32(0.0f));
    eps.Normalize();
    EXPECT_EQ(eps.x.v, 1.0f);
}

// Normalize reads near-unit roots from a table; it must give the bits of the plain formula for
// near-unit and arbitrary vectors and quaternions alike.
PHYSICS_BEHIND_ENTRY Vector3 PlainNormalize(Vector3 v, F32& len) {
    len = SqrtF(St(v.LengthSquared()));
    if (AbsF(len) < kFltEpsilon) return Vector3();
    const F32 inv = St(Ext(1.0f) / len);
    return Vector3(St(inv * v.x), St(inv * v.y), St(inv * v.z));
}

PHYSICS_BEHIND_ENTRY Quaternion PlainNormalize(Quaternion q, F32& len) {
    len = SqrtF(St(((q.x * q.x + q.y * q.y) + q.z * q.z) + q.w * q.w));
    if (AbsF(len) < kFltEpsilon) return Quaternion(F32(0.0f), F32(0.0f), F32(0.0f), F32(0.0f));
    return Quaternion(St(q.x / len), St(q.y / len), St(q.z / len), St(q.w / len));
}

TEST_F(MathTest, NormalizeGivesTheBitsOfThePlainFormula) {
    Lcg lcg;
    lcg.Seed(5);
    auto component = [&lcg](float scale) {
        return F32(scale * (static_cast<float>(lcg.Next() >> 8) / 8388608.0f - 1.0f));
    };
    // Moves a value by a few units in the last place.
    auto nudge = [&lcg](F32 f) { return F32::FromBits(f.Bits() + (lcg.Next() >> 29) - 4); };
    int nearUnit = 0;
    for (int i = 0; i < 200000; ++i) {
        const float scale = (i % 3 == 0) ? 1000.0f : 1.0f;
        Vector3 v(component(scale), component(scale), component(scale));
        if (i % 2 == 0) {
            v.Normalize();
            v = Vector3(nudge(v.x), nudge(v.y), nudge(v.z));
        }
        F32 len, plainLen;
        const Vector3 plain = PlainNormalize(v, plainLen);
        nearUnit += AbsE(St(v.LengthSquared()) - 1.0f) < Ext(0.00001f) ? 1 : 0;
        v.Normalize(&len);
        ASSERT_EQ(len.Bits(), plainLen.Bits()) << i;
        ASSERT_TRUE(v.x.Bits() == plain.x.Bits() && v.y.Bits() == plain.y.Bits() &&
                    v.z.Bits() == plain.z.Bits())
            << i;

        Quaternion q(component(scale), component(scale), component(scale), component(scale));
        if (i % 2 == 0) {
            q.Normalize();
            q = Quaternion(nudge(q.x), nudge(q.y), nudge(q.z), nudge(q.w));
        }
        const Quaternion plainQ = PlainNormalize(q, plainLen);
        q.Normalize(&len);
        ASSERT_EQ(len.Bits(), plainLen.Bits()) << i;
        ASSERT_TRUE(q.x.Bits() == plainQ.x.Bits() && q.y.Bits() == plainQ.y.Bits() &&
                    q.z.Bits() == plainQ.z.Bits() && q.w.Bits() == plainQ.w.Bits())
            << i;
    }
    EXPECT_GT(nearUnit, 50000);  // the table path was taken often

    // A factor of exactly 1 keeps a subnormal component and the sign of a zero.
    Vector3 edge(F32(1.0f), F32::FromBits(0x00000123u), F32(-0.0f));
    edge.Normalize();
    EXPECT_EQ(edge.x.Bits(), 0x3F800000u);
    EXPECT_EQ(edge.y.Bits(), 0x00000123u);
    EXPECT_EQ(edge.z.Bits(), 0x80000000u);
}

TEST_F(MathTest, NormalizeMultipliesByTheChoppedInverse) {
    Vector3 v(F32(3.0f), F32(0.0f), F32(0.0f));
    v.Normalize();
    // inv = chop(1/3) = 0x3EAAAAAA; 3 * inv chops to just below 1.
    EXPECT_EQ(v.x.Bits(), 0x3F7FFFFFu);
}

TEST_F(MathTest, QuaternionZeroStaysZeroAndZeroAxisKeepsOnlyW) {
    Quaternion q(F32(0.0f), F32(0.0f), F32(0.0f), F32(0.0f));
    q.Normalize();
    EXPECT_EQ(q.w.v, 0.0f);

    Quaternion r;
    r.FromAxisAngle(F32(1.0f), Vector3());
    EXPECT_EQ(r.x.v, 0.0f);
    EXPECT_EQ(r.y.v, 0.0f);
    EXPECT_EQ(r.z.v, 0.0f);
    EXPECT_EQ(r.w.Bits(), CosF(F32(0.5f)).Bits());
}

TEST_F(MathTest, HamiltonProductComposesRotations) {
    Quaternion a, b;
    a.FromAxisAngle(F32(1.5707964f), Vector3(F32(0.0f), F32(0.0f), F32(1.0f)));
    b = a;
    b *= a;  // two quarter turns about z: a half turn
    EXPECT_NEAR(b.z.v, 1.0f, 1e-6f);
    EXPECT_NEAR(b.w.v, 0.0f, 1e-6f);
    Vector3 v(F32(1.0f), F32(0.0f), F32(0.0f));
    v.Rotate(a);
    EXPECT_NEAR(v.x.v, 0.0f, 1e-6f);
    EXPECT_NEAR(v.y.v, 1.0f, 1e-6f);
}

TEST_F(MathTest, CrossProductIsCorrectWhenTheOutputAliasesAnInput) {
    Vector3 a(F32(1.0f), F32(2.0f), F32(3.0f));
    const Vector3 b(F32(4.0f), F32(5.0f), F32(6.0f));
    Vector3 expected;
    Vec3Cross(expected, a, b);
    EXPECT_EQ(expected, Vector3(F32(-3.0f), F32(6.0f), F32(-3.0f)));
    Vec3Cross(a, a, b);
    EXPECT_EQ(a, expected);
}

TEST_F(MathTest, TwoDimensionalHelpersHandleZero) {
    EXPECT_EQ(Length2D(F32(0.0f), F32(0.0f)).v, 0.0f);
    EXPECT_EQ(Length2D(F32(3.0f), F32(4.0f)).v, 5.0f);
    F32 a(0.0f), b(0.0f), len(9.0f);
    Normalize2D(a, b, &len);
    EXPECT_EQ(len.v, 0.0f);
    F32 c(3.0f), d(4.0f);
    Normalize2D(c, d, &len);
    EXPECT_EQ(len.v, 5.0f);
    EXPECT_EQ(c.Bits(), 0x3F199999u);  // 3/5 chopped; nearest would be 0x3F19999A
    F32 e(1.0f), f(1.0f);
    ScaleByInverse2D(F32(0.0f), e, f);
    EXPECT_EQ(e.v, 0.0f);
    EXPECT_TRUE(IsNearlyZero(F32(1e-8f)));
    EXPECT_FALSE(IsNearlyZero(kFltEpsilon));
}

}  // namespace
}  // namespace physics
