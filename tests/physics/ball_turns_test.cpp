#include <gtest/gtest.h>

#include <vector>

#include "engine/core/Lcg.h"
#include "physics/BallTurns.h"
#include "physics/MathTypes.h"
#include "physics/PhysicsEntry.h"

namespace physics {
namespace {

class BallTurnsTest : public ::testing::Test {
protected:
    PhysicsEntry entry_;
};

bool SameBits(const Quaternion& a, const Quaternion& b) {
    return a.x.Bits() == b.x.Bits() && a.y.Bits() == b.y.Bits() && a.z.Bits() == b.z.Bits() &&
           a.w.Bits() == b.w.Bits();
}

// Same bits, except that any NaN matches any NaN: which operand's NaN an SSE operation passes on
// depends on the operand order the compiler picks for a commutative operation.
bool SameBitsOrBothNaN(const Quaternion& a, const Quaternion& b) {
    auto same = [](F32 u, F32 v) { return u.Bits() == v.Bits() || (u.v != u.v && v.v != v.v); };
    return same(a.x, b.x) && same(a.y, b.y) && same(a.z, b.z) && same(a.w, b.w);
}

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

bool AllFinite(const Quaternion& q) { return IsFinite(q.x) && IsFinite(q.y) && IsFinite(q.z) && IsFinite(q.w); }

PHYSICS_BEHIND_ENTRY Quaternion Product(Quaternion a, const Quaternion& b) {
    a *= b;
    return a;
}

TEST_F(BallTurnsTest, PackedProductGivesTheBitsOfTheStoredChains) {
    Lcg lcg;
    lcg.Seed(11);
    auto unit = [&lcg] { return static_cast<float>(lcg.Next() >> 8) / 8388608.0f - 1.0f; };
    const F32 specials[] = {F32(0.0f),      F32(-0.0f),         F32::FromBits(0x00000001u), F32::FromBits(0x807FFFFFu),
                            F32(1.0f),      F32(-1.0f),         F32(1e30f),                 F32(-3e-20f),
                            F32::FromBits(0x7F800000u), F32::FromBits(0x7FC00000u), F32::FromBits(0xFFC01234u)};
    auto component = [&](int i) {
        switch (i % 5) {
            case 0: return specials[lcg.Next() % (sizeof specials / sizeof specials[0])];
            case 1: return F32(unit() * 1e-20f);
            case 2: return F32(unit() * 1e20f);
            default: return F32(unit());
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

struct Body {
    Quaternion orientation;
};
struct Record {
    Body* ball;
    Vector3 spin;
};

// Records in a sub-step pattern: a changing set of bodies turns in each step, some steps repeat a
// body back to back, and the total crosses several blocks.
std::vector<Record> RecordedTurns(std::vector<Body>& bodies, std::uint32_t seed, std::size_t steps) {
    Lcg lcg;
    lcg.Seed(seed);
    std::vector<Record> records;
    for (std::size_t s = 0; s < steps; ++s) {
        const std::uint32_t moving = lcg.Next();
        for (std::size_t b = bodies.size(); b-- > 0;) {
            if ((moving >> b & 1u) == 0) continue;
            const float scale = (lcg.Next() & 15u) == 0 ? 1e-9f : 40.0f;
            auto value = [&] { return F32(scale * (static_cast<float>(lcg.Next() >> 8) / 8388608.0f - 1.0f)); };
            records.push_back(Record{&bodies[b], Vector3(value(), value(), value())});
            if ((lcg.Next() & 7u) == 0) records.push_back(records.back());
        }
    }
    return records;
}

PHYSICS_BEHIND_ENTRY void ApplyAll(const std::vector<Record>& records, F32 h) {
    ApplyTurns(records.data(), records.size(), h);
}
PHYSICS_BEHIND_ENTRY void ApplyOneByOne(const std::vector<Record>& records, F32 h) {
    for (const Record& r : records) ApplyTurn(r, h);
}

TEST_F(BallTurnsTest, BatchedTurnsEqualEachBallTurnedInOrder) {
    for (std::size_t count : {1u, 2u, 3u, 5u, 9u}) {
        for (std::size_t steps : {1u, 7u, 50u, 300u}) {
            std::vector<Body> batched(count), single(count);
            for (std::size_t b = 0; b < count; ++b) {
                Quaternion q(F32(0.1f * static_cast<float>(b)), F32(0.5f), F32(-0.25f), F32(0.8f));
                q.Normalize();
                batched[b].orientation = single[b].orientation = q;
            }
            const auto seed = static_cast<std::uint32_t>(count * 1000 + steps);
            ApplyAll(RecordedTurns(batched, seed, steps), F32(0.0001f));
            ApplyOneByOne(RecordedTurns(single, seed, steps), F32(0.0001f));
            for (std::size_t b = 0; b < count; ++b)
                ASSERT_TRUE(SameBits(batched[b].orientation, single[b].orientation))
                    << count << " balls, " << steps << " steps, ball " << b;
        }
    }
}

}  // namespace
}  // namespace physics
