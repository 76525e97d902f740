// The turn increments computed four at a time in lanes must give the bits of the scalar turn for
// every lane they report certain, leave every doubtful case to it, and a record of turns must end
// with the orientations that turning each entry on its own gives.
#include <gtest/gtest.h>

#include <cfloat>
#include <cmath>
#include <limits>
#include <memory>
#include <random>
#include <vector>

#include "physics/Ball.h"
#include "physics/MathTypes.h"
#include "physics/PhysicsEntry.h"
#include "physics/PhysicsModel.h"
#include "physics/TurnLanes.h"
#include "tests/physics/support/QuaternionBits.h"

namespace physics {
namespace {

using testing::SameBits;
using testing::SameBitsOrBothNaN;

class TurnLanesTest : public ::testing::Test {
protected:
    PhysicsEntry entry_;
    std::mt19937 rng_{20261207u};

    float Uniform(float lo, float hi) { return std::uniform_real_distribution<float>(lo, hi)(rng_); }

    // A spin component of any magnitude: signed zeros, subnormals, tiny, huge (squares that
    // overflow), non-finite, arbitrary bit patterns and ordinary spins.
    F32 Component() {
        static const F32 kSpecials[] = {F32(0.0f),
                                        F32(-0.0f),
                                        F32::FromBits(0x00000001u),
                                        F32::FromBits(0x807FFFFFu),
                                        F32(FLT_MIN),
                                        F32(1e-20f),
                                        F32(-1.0f),
                                        F32(FLT_MAX),
                                        F32(std::numeric_limits<float>::infinity()),
                                        F32(-std::numeric_limits<float>::infinity()),
                                        F32::FromBits(0x7FC00000u),
                                        F32::FromBits(0xFFC01234u)};
        switch (rng_() % 10) {
            case 0:
                return kSpecials[rng_() % (sizeof kSpecials / sizeof kSpecials[0])];
            case 1:
                return F32(Uniform(-1e-6f, 1e-6f));
            case 2:
                return F32(Uniform(-1e20f, 1e20f));
            case 3:
                return F32::FromBits(static_cast<std::uint32_t>(rng_()));
            default:
                return F32(Uniform(-300.0f, 300.0f));
        }
    }

    // A whole spin: zero, of unit length (its square lands in the near-unit root table), one
    // whose components each may be anything, one about a single axis (an exact square, whose
    // axis squares to exactly 1), or an ordinary one.
    Vector3 Spin() {
        switch (rng_() % 7) {
            case 0:
                return Vector3(F32(0.0f), F32(-0.0f), F32(0.0f));
            case 1: {
                const float x = Uniform(-1, 1), y = Uniform(-1, 1), z = Uniform(-1, 1);
                const float n = std::sqrt(x * x + y * y + z * z);
                return Vector3(F32(x / n), F32(y / n), F32(z / n));
            }
            case 2:
                return Vector3(Component(), Component(), Component());
            case 3: {
                const F32 zero = rng_() % 2 ? F32(0.0f) : F32(-0.0f);
                const F32 value =
                    rng_() % 2 ? Component() : F32(std::ldexp(Uniform(-1, 1), static_cast<int>(rng_() % 24)));
                Vector3 v(zero, zero, zero);
                (rng_() % 3 == 0 ? v.x : rng_() % 2 ? v.y : v.z) = value;
                return v;
            }
            default:
                return Vector3(F32(Uniform(-300, 300)), F32(Uniform(-300, 300)), F32(Uniform(-300, 300)));
        }
    }

    // Sub-step lengths of 15 and 50 sub-steps, none, negative, long (angles beyond the short
    // polynomial) and huge (an infinite angle).
    F32 Step() {
        static const F32 kSteps[] = {F32(0.005f / 50), F32(0.005f / 15), F32(0.0f), F32(-0.0001f),
                                     F32(0.02f),       F32(0.3f),        F32(1e30f)};
        return kSteps[rng_() % (sizeof kSteps / sizeof kSteps[0])];
    }

    Quaternion Orientation() {
        switch (rng_() % 8) {
            case 0:
                return Quaternion(Component(), Component(), Component(), Component());
            case 1:
                return Quaternion(F32(0.0f), F32(0.0f), F32(0.0f), F32(1.0f));
            default: {
                Quaternion q(F32(Uniform(-1, 1)), F32(Uniform(-1, 1)), F32(Uniform(-1, 1)),
                             F32(Uniform(-1, 1)));
                q.Normalize();
                return q;
            }
        }
    }
};

bool AnyNonFinite(const Vector3& v) {
    return !IsFinite(v.x) || !IsFinite(v.y) || !IsFinite(v.z);
}

// The increment as a single turn computes it.
PHYSICS_BEHIND_ENTRY Quaternion ScalarIncrement(const Vector3& spin, F32 h) {
    return TurnIncrement(spin, h);
}

PHYSICS_BEHIND_ENTRY unsigned LaneIncrements(const Vector3 (&spins)[4], F32 h, Quaternion (&out)[4]) {
    const Vector3* const s[4] = {&spins[0], &spins[1], &spins[2], &spins[3]};
    return TurnIncrementsInLanes(s, h, out);
}

PHYSICS_BEHIND_ENTRY void TurnOneByOne(const std::vector<PendingTurn>& record, F32 h) {
    for (const PendingTurn& t : record) TurnBall(*t.ball, t.spin, h);
}

PHYSICS_BEHIND_ENTRY void TurnRecord(const std::vector<PendingTurn>& record, F32 h) {
    ApplyTurns(record.data(), record.size(), h);
}

TEST_F(TurnLanesTest, CertainLanesGiveTheScalarIncrementAndDoubtfulOnesAreLeftToIt) {
    std::uint64_t ordinary = 0, ordinaryCertain = 0;
    for (int i = 0; i < 400000; ++i) {
        Vector3 spins[4];
        for (Vector3& s : spins) s = Spin();
        const F32 h = Step();
        Quaternion lanes[4];
        const unsigned certain = LaneIncrements(spins, h, lanes);
        ASSERT_EQ(certain & ~0xFu, 0u);
        for (int k = 0; k < 4; ++k) {
            const Vector3& s = spins[k];
            const bool isCertain = ((certain >> k) & 1u) != 0;
            if (isCertain) {
                const Quaternion want = ScalarIncrement(s, h);
                ASSERT_TRUE(SameBits(lanes[k], want))
                    << "lane " << k << " spin " << std::hexfloat << s.x.v << ' ' << s.y.v << ' ' << s.z.v
                    << " h " << h.v << ": " << lanes[k].x.v << ' ' << lanes[k].y.v << ' ' << lanes[k].z.v
                    << ' ' << lanes[k].w.v << " want " << want.x.v << ' ' << want.y.v << ' ' << want.z.v
                    << ' ' << want.w.v;
            }
            // Non-finite spins and spins too short to have an axis are the scalar turn's.
            if (AnyNonFinite(s) || s.IsZero()) {
                EXPECT_FALSE(isCertain) << "lane " << k;
            }
            const float hv = h.v;
            if (hv == 0.005f / 50 && AbsF(s.x).v >= 1.0f && AbsF(s.x).v <= 300.0f && AbsF(s.y).v <= 300.0f &&
                AbsF(s.z).v <= 300.0f) {
                ++ordinary;
                ordinaryCertain += isCertain ? 1 : 0;
            }
        }
    }
    // A turn of a moving ball over a sub-step almost always stays in lanes.
    ASSERT_GT(ordinary, 10000u);
    EXPECT_GT(ordinaryCertain, ordinary * 99 / 100) << ordinaryCertain << " of " << ordinary;
}

TEST_F(TurnLanesTest, RecordOfTurnsEndsAsTurningEachEntryInOrder) {
    for (int round = 0; round < 3000; ++round) {
        const std::size_t ballCount = 1 + rng_() % 6;
        std::vector<std::unique_ptr<Ball>> viaRecord, oneByOne;
        for (std::size_t b = 0; b < ballCount; ++b) {
            viaRecord.push_back(std::make_unique<Ball>(nullptr, nullptr, static_cast<std::uint16_t>(b)));
            oneByOne.push_back(std::make_unique<Ball>(nullptr, nullptr, static_cast<std::uint16_t>(b)));
            viaRecord[b]->orientation = oneByOne[b]->orientation = Orientation();
        }
        // Balls in turn, as Simulate records them, or in any order (the same ball repeated);
        // long records cross the blocks the increments are computed in.
        const bool cyclic = rng_() % 2 == 0;
        const std::size_t length = 1 + rng_() % 150;
        std::vector<PendingTurn> record, reference;
        for (std::size_t i = 0; i < length; ++i) {
            const std::size_t b = cyclic ? i % ballCount : rng_() % ballCount;
            const Vector3 spin = Spin();
            record.push_back({viaRecord[b].get(), spin});
            reference.push_back({oneByOne[b].get(), spin});
        }
        const F32 h = Step();
        TurnRecord(record, h);
        TurnOneByOne(reference, h);
        for (std::size_t b = 0; b < ballCount; ++b) {
            const Quaternion& got = viaRecord[b]->orientation;
            const Quaternion& want = oneByOne[b]->orientation;
            ASSERT_TRUE(SameBitsOrBothNaN(got, want))
                << "round " << round << " ball " << b << ": " << std::hexfloat << got.x.v << ' ' << got.y.v
                << ' ' << got.z.v << ' ' << got.w.v << " want " << want.x.v << ' ' << want.y.v << ' '
                << want.z.v << ' ' << want.w.v;
        }
    }
}

}  // namespace
}  // namespace physics
