#include <gtest/gtest.h>

#include "engine/core/Lcg.h"
#include "physics/MathTypes.h"
#include "physics/PhysicsEntry.h"
#include "tests/physics/support/QuaternionBits.h"

namespace physics {
namespace {

using testing::SameBits;
using testing::SameBitsOrBothNaN;

class PackedQuaternionTest : public ::testing::Test {
protected:
    PhysicsEntry entry_;
};

// The Hamilton product with each chain stored on its own (their double evaluation with the x87
// fallback) and with each chain evaluated on the x87 as written.
PHYSICS_BEHIND_ENTRY Quaternion ChainProduct(const Quaternion& a, const Quaternion& b) {
    return Quaternion(St(((a.y * b.z + b.w * a.x) - a.z * b.y) + a.w * b.x),
                      St(((b.y * a.w + b.w * a.y) - a.x * b.z) + a.z * b.x),
                      St(((b.y * a.x - a.y * b.x) + a.w * b.z) + b.w * a.z),
                      St(b.w * a.w - ((a.z * b.z + b.x * a.x) + b.y * a.y)));
}
PHYSICS_BEHIND_ENTRY Quaternion X87Product(const Quaternion& a, const Quaternion& b) {
    return Quaternion(St(Ext(((a.y * b.z + b.w * a.x) - a.z * b.y) + a.w * b.x)),
                      St(Ext(((b.y * a.w + b.w * a.y) - a.x * b.z) + a.z * b.x)),
                      St(Ext(((b.y * a.x - a.y * b.x) + a.w * b.z) + b.w * a.z)),
                      St(Ext(b.w * a.w - ((a.z * b.z + b.x * a.x) + b.y * a.y))));
}

bool AllFinite(const Quaternion& q) {
    return IsFinite(q.x) && IsFinite(q.y) && IsFinite(q.z) && IsFinite(q.w);
}

PHYSICS_BEHIND_ENTRY Quaternion Product(Quaternion a, const Quaternion& b) {
    a *= b;
    return a;
}

TEST_F(PackedQuaternionTest, PackedProductGivesTheBitsOfTheStoredChains) {
    Lcg lcg;
    lcg.Seed(11);
    auto unit = [&lcg] { return static_cast<float>(lcg.Next() >> 8) / 8388608.0f - 1.0f; };
    const F32 specials[] = {F32(0.0f),
                            F32(-0.0f),
                            F32::FromBits(0x00000001u),
                            F32::FromBits(0x807FFFFFu),
                            F32(1.0f),
                            F32(-1.0f),
                            F32(1e30f),
                            F32(-3e-20f),
                            F32::FromBits(0x7F800000u),
                            F32::FromBits(0x7FC00000u),
                            F32::FromBits(0xFFC01234u)};
    auto component = [&](int i) {
        switch (i % 5) {
            case 0:
                return specials[lcg.Next() % (sizeof specials / sizeof specials[0])];
            case 1:
                return F32(unit() * 1e-20f);
            case 2:
                return F32(unit() * 1e20f);
            default:
                return F32(unit());
        }
    };
    for (int i = 0; i < 300000; ++i) {
        Quaternion a{F32{unit()}, F32{unit()}, F32{unit()}, F32{unit()}};
        Quaternion b{F32{unit()}, F32{unit()}, F32{unit()}, F32{unit()}};
        if (i % 4 == 1) {
            a = Quaternion(component(i), component(i + 1), component(i + 2), component(i + 3));
            b = Quaternion(component(i + 4), component(i + 1), component(i + 2), component(i));
        } else if (i % 4 == 2) {
            // Cancelling terms: a with its conjugate or itself, exact and near-exact zeros.
            b = (i % 8 == 2) ? Quaternion(St(-a.x), St(-a.y), St(-a.z), a.w) : a;
        }
        const Quaternion got = Product(a, b);
        ASSERT_TRUE(SameBitsOrBothNaN(got, ChainProduct(a, b))) << i;
        ASSERT_TRUE(SameBitsOrBothNaN(got, X87Product(a, b))) << i;
        if (AllFinite(a) && AllFinite(b)) {
            ASSERT_TRUE(SameBits(got, X87Product(a, b))) << i;
        }
    }
}

}  // namespace
}  // namespace physics
