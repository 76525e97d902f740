// Whole shots of every model from 0x10005: rest, events, pockets, symmetry, energy, determinism.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>
#include <thread>

#include "engine/core/Lcg.h"
#include "tests/physics/support/ShotRunner.h"

namespace physics::testing {
namespace {

std::vector<BallPlacement> ThreeBalls() {
    return {{F32(-50.0f), F32(-7.0f), 1}, {F32(40.0f), F32(10.0f), 2}, {F32(20.0f), F32(-30.0f), 3}};
}

ShotParams Shot(float side, float vertical, float power, float elevation = 0.0f) {
    ShotParams s = DefaultShot();
    s.offsetLimitSide = s.tipOffsetSide = F32(side);
    s.offsetLimitVertical = s.tipOffsetVertical = F32(vertical);
    s.power = F32(power);
    s.elevation = F32(elevation);
    return s;
}

// Energy in J: translation, rotation and height above the bed.
double Energy(const Ball& b) {
    const double m = b.mass.v, v2 = Ext(b.velocity.LengthSquared()).v, w2 = Ext(b.spin.LengthSquared()).v;
    return 0.5 * m * v2 + 0.5 * m * b.radius.v * b.inertiaArm.v * w2 +
           m * 9.8 * (b.position.z.v - b.radiusCm.v) / 100.0;
}

// Every test runs for each model id; `model` is the id under test.
class ModelShots : public ::testing::TestWithParam<std::uint32_t> {
protected:
    std::uint32_t model = GetParam();
    // The pulse lasts 2 x 0.009 s in branch B, 5 x 0.0025 s in branch A,
    // 5 x 0.0025 x (4 - 0.8) / 4 s in the base model.
    std::uint32_t PulseEndCall() const { return model >= 0x10010 ? 4u : (model == 0x10000 ? 2u : 3u); }
};

std::string ModelName(const ::testing::TestParamInfo<std::uint32_t>& info) {
    char name[16];
    std::snprintf(name, sizeof name, "Model%X", info.param);
    return name;
}

TEST_P(ModelShots, DefaultShotEndsItsCuePulseAndRests) {
    for (std::uint32_t table : {0u, 4u, 6u, 8u, 1u, 9u, 11u}) {
        SCOPED_TRACE(table);
        const ShotSpec shotSpec = MakeShot(model, table, ThreeBalls(), F32(40.0f), F32(8.0f), DefaultShot());
        const ShotResult r = RunShot(shotSpec);
        EXPECT_EQ(r.eventSevenCall, PulseEndCall());
        EXPECT_TRUE(r.rest);
        EXPECT_LT(r.calls, 6000u);
        EXPECT_TRUE(r.allFinite);
        EXPECT_TRUE(r.strikeEvents.empty());  // no miscue with offsets 0
        for (const Ball& b : r.final) {
            EXPECT_TRUE(b.IsAtRest());
            if (b.outOfPlay == 0) {
                EXPECT_EQ(b.position.z.v, b.radiusCm.v);
                EXPECT_TRUE(b.IsInsideCushions(St(-(b.radiusCm - 0.5f))));
            } else {
                EXPECT_EQ(b.position.z.v, St(b.radiusCm + b.table->geometry.pocketDepth).v);
            }
        }
    }
}

TEST_P(ModelShots, StraightShotAlongPlusXFirstHitsRailTwo) {
    for (std::uint32_t table : {0u, 6u, 1u}) {
        const ShotSpec shotSpec =
            MakeShot(model, table, {{F32(0.0f), F32(0.0f), 1}}, F32(50.0f), F32(0.0f), DefaultShot());
        const ShotResult r = RunShot(shotSpec, true);
        const PhysicsEvent* first = nullptr;
        for (const CallRecord& c : r.record)
            for (const PhysicsEvent& e : c.events)
                if (!first && e.type == EventType::Cushion) first = &e;
        ASSERT_NE(first, nullptr);
        EXPECT_EQ(first->tag & 0xFF, 2);
        EXPECT_LT(first->vector[0].v, 0.0f);
        EXPECT_GT(first->intensity.v, 0.0f);
    }
}

TEST_P(ModelShots, BallDrivenIntoEachPocketDropsAndStaysOut) {
    // From 30 cm inside each pocket, straight at its hole (45 degrees into the corners).
    const Rect c = CreatePhysicsModel(model, 1, 1, false)->Geometry().cushion;
    struct Aim {
        float x, y, dx, dy;
        std::uint8_t pocket;
    };
    const float left = c.xMin.v, right = c.xMax.v, near = c.yMin.v, far = c.yMax.v;
    const Aim aims[] = {
        {left + 30, near + 30, -1, -1, 1}, {0, near + 30, 0, -1, 2}, {right - 30, near + 30, 1, -1, 3},
        {left + 30, far - 30, -1, 1, 4},   {0, far - 30, 0, 1, 5},   {right - 30, far - 30, 1, 1, 6}};
    for (const Aim& aim : aims) {
        SCOPED_TRACE(static_cast<int>(aim.pocket));
        ShotSpec shotSpec = MakeShot(model, 1, {{F32(aim.x), F32(aim.y), 1}}, F32(aim.x + 40 * aim.dx),
                                     F32(aim.y + 40 * aim.dy), Shot(0, 0, 0.5f));
        const ShotResult r = RunShot(shotSpec, true);
        int drops = 0;
        std::uint32_t dropCall = 0;
        for (std::size_t c = 0; c < r.record.size(); ++c)
            for (const PhysicsEvent& e : r.record[c].events)
                if (e.type == EventType::PocketDrop) {
                    ++drops;
                    dropCall = static_cast<std::uint32_t>(c);
                    EXPECT_EQ(e.tag & 0xFF, aim.pocket);
                }
        EXPECT_EQ(drops, 1);
        EXPECT_EQ(r.final[0].outOfPlay, aim.pocket);
        for (std::size_t c = dropCall + 1; c < r.record.size(); ++c)
            EXPECT_EQ(r.record[c].balls[0].position, r.final[0].position);
    }
}

void ExpectMirrored(const ShotSpec& shotSpec, const ShotSpec& mirrored, bool aboutX) {
    const ShotResult a = RunShot(shotSpec, true);
    const ShotResult b = RunShot(mirrored, true);
    ASSERT_EQ(a.calls, b.calls);
    auto railSwap = [aboutX](int bits) {
        const int x = bits & 3, y = bits & 12;
        if (aboutX) return ((x & 1) << 1) | ((x & 2) >> 1) | y;
        return x | ((y & 4) << 1) | ((y & 8) >> 1);
    };
    auto pocketSwap = [aboutX](int p) {
        static const int swapY[7] = {0, 4, 5, 6, 1, 2, 3};
        static const int swapX[7] = {0, 3, 2, 1, 6, 5, 4};
        return aboutX ? swapX[p] : swapY[p];
    };
    for (std::size_t c = 0; c < a.record.size(); ++c) {
        const CallRecord& ca = a.record[c];
        const CallRecord& cb = b.record[c];
        for (std::size_t i = 0; i < ca.balls.size(); ++i) {
            const Ball& p = ca.balls[i];
            const Ball& q = cb.balls[i];
            const float s = -1.0f;
            ASSERT_EQ(p.position.x.v, aboutX ? s * q.position.x.v : q.position.x.v) << "call " << c;
            ASSERT_EQ(p.position.y.v, aboutX ? q.position.y.v : s * q.position.y.v) << "call " << c;
            ASSERT_EQ(p.position.z.v, q.position.z.v) << "call " << c;
            ASSERT_EQ(p.velocity.x.v, aboutX ? s * q.velocity.x.v : q.velocity.x.v) << "call " << c;
            ASSERT_EQ(p.velocity.y.v, aboutX ? q.velocity.y.v : s * q.velocity.y.v) << "call " << c;
            ASSERT_EQ(p.spin.x.v, aboutX ? q.spin.x.v : s * q.spin.x.v) << "call " << c;
            ASSERT_EQ(p.spin.y.v, aboutX ? s * q.spin.y.v : q.spin.y.v) << "call " << c;
            ASSERT_EQ(p.spin.z.v, s * q.spin.z.v) << "call " << c;
            ASSERT_EQ(p.outOfPlay, pocketSwap(q.outOfPlay));
        }
        ASSERT_EQ(ca.events.size(), cb.events.size()) << "call " << c;
        for (std::size_t k = 0; k < ca.events.size(); ++k) {
            const PhysicsEvent& e = ca.events[k];
            const PhysicsEvent& f = cb.events[k];
            ASSERT_EQ(e.type, f.type);
            ASSERT_EQ(e.intensity.v, f.intensity.v);
            if (e.type == EventType::Cushion) {
                // 0x10000-0x10004: the jaw's pocket number above the rail bits.
                ASSERT_EQ(e.tag & 0xF, railSwap(f.tag & 0xF));
                ASSERT_EQ((e.tag >> 4) & 0xF, pocketSwap((f.tag >> 4) & 0xF));
            }
            if (e.type == EventType::PocketDrop || e.type == EventType::PocketJaw) {
                ASSERT_EQ(e.tag & 0xFF, pocketSwap(f.tag & 0xFF));
            }
            ASSERT_EQ(e.vector[aboutX ? 0 : 1].v, -f.vector[aboutX ? 0 : 1].v);
        }
    }
}

TEST_P(ModelShots, MirrorSymmetryAboutBothTableAxes) {
    const ShotParams shots[] = {Shot(0, 0, 0.8f), Shot(0.25f, 0.1f, 1.0f), Shot(-0.1f, -0.15f, 0.6f, 0.3f)};
    for (std::uint32_t table : {0u, 9u, 11u}) {
        for (const ShotParams& shot : shots) {
            SCOPED_TRACE(table);
            const ShotSpec shotSpec = MakeShot(model, table, ThreeBalls(), F32(40.0f), F32(8.0f), shot);
            ExpectMirrored(shotSpec, MirrorY(shotSpec), false);
            ExpectMirrored(shotSpec, MirrorX(shotSpec), true);
        }
    }
}

// Compared between calls where no cushion holds a deformation (its spring stores energy).
TEST_P(ModelShots, EnergyNeverGrowsOnceTheCuePulseHasEnded) {
    for (std::uint32_t table : {0u, 1u, 11u}) {
        const ShotSpec shotSpec =
            MakeShot(model, table, ThreeBalls(), F32(40.0f), F32(8.0f), Shot(0.1f, 0.1f, 1.0f));
        double previous = -1.0;
        bool pulseOver = false;
        int compared = 0;
        int outBefore = 0;
        RunShot(shotSpec, false, [&](std::uint32_t, PhysicsModel& model) {
            double e = 0.0;
            bool cue = false, cushion = false;
            int out = 0;
            for (std::uint16_t i = 0; i < model.BallCount(); ++i) {
                const Ball& b = model.GetBall(i);
                if (b.outOfPlay == 0) e += Energy(b);
                out += b.outOfPlay != 0;
                // The strikes of 0x10000-0x10004 leave cueActive alone: the pulse time tells.
                cue = cue || b.cueActive != 0 || b.cueTimeLeft > F32(0.0f);
                // 0x10000-0x10004 keep the compression of a contact in railState
                // (a y contact that ends may leave a stale value there, with no rail touched).
                const bool compressed = !(b.railState[0] == F32(0.0f)) || !(b.railState[1] == F32(0.0f));
                cushion = cushion || !b.railVectors[0].IsZero() || !b.railVectors[1].IsZero() ||
                          (b.railContact != 0 && compressed);
            }
            // A ball that drops leaves the sum with its (negative) height energy below the bed.
            const bool dropped = out != outBefore;
            outBefore = out;
            if (cue || cushion) return;
            if (pulseOver && !dropped) {
                // The absolute slack covers a ball falling into a hole, where the step trades
                // height for speed with a small drift while the total is near 0.
                EXPECT_LE(e, previous + 0.02 * std::fabs(previous) + 1e-3);
                ++compared;
            }
            pulseOver = true;
            previous = e;
        });
        EXPECT_GT(compared, 100);
        EXPECT_EQ(previous, 0.0);
    }
}

// Branch A from 0x10005 has no cap on the bed depth of the strike: a raised cue at full power makes
// the ball jump, and above about 0.25 rad it may leave the table. On pocket tables a ball that
// dropped into a pocket is out of play and excepted.
TEST_P(ModelShots, BallsInPlayStayWithinTheFrameDuringTheShot) {
    const float elevation = model >= 0x10010 ? 0.5f : 0.2f;
    for (std::uint32_t table : {0u, 1u, 9u, 11u}) {
        SCOPED_TRACE(table);
        const ShotSpec shotSpec =
            MakeShot(model, table, ThreeBalls(), F32(40.0f), F32(8.0f), Shot(0.0f, 0.2f, 1.0f, elevation));
        RunShot(shotSpec, false, [&](std::uint32_t call, PhysicsModel& model) {
            for (std::uint16_t i = 0; i < model.BallCount(); ++i) {
                const Ball& b = model.GetBall(i);
                if (b.outOfPlay != 0) continue;
                ASSERT_TRUE(b.IsWithinTableBounds(F32(0.0f)))
                    << "ball " << i << " call " << call << " at " << b.position.x.v << "," << b.position.y.v;
            }
        });
    }
}

// The same on pocket tables with hard, jumping and pocketing shots of the default model.
TEST(LateModelShots, BallsInPlayStayWithinTheFrameOnPocketTables) {
    const ShotParams shots[] = {Shot(0.3f, -0.3f, 1.0f), Shot(-0.2f, 0.0f, 1.0f, 0.9f)};
    struct Aim {
        float x, y;
    };
    const Aim aims[] = {{-132.0f, -68.25f}, {0.0f, 70.0f}, {132.0f, 30.0f}};
    int pocketed = 0;
    for (std::uint32_t table : {1u, 9u, 11u}) {
        for (const ShotParams& shot : shots) {
            for (const Aim& aim : aims) {
                SCOPED_TRACE(::testing::Message() << "table " << table << " aim " << aim.x << "," << aim.y);
                const ShotSpec shotSpec =
                    MakeShot(0x10014, table, ThreeBalls(), F32(aim.x), F32(aim.y), shot);
                const ShotResult r = RunShot(shotSpec, false, [&](std::uint32_t call, PhysicsModel& model) {
                    for (std::uint16_t i = 0; i < model.BallCount(); ++i) {
                        const Ball& b = model.GetBall(i);
                        if (b.outOfPlay != 0) continue;
                        ASSERT_TRUE(b.IsWithinTableBounds(F32(0.0f)))
                            << "ball " << i << " call " << call << " at " << b.position.x.v << ","
                            << b.position.y.v;
                    }
                });
                EXPECT_TRUE(r.rest);
                for (const Ball& b : r.final) pocketed += b.outOfPlay != 0 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(pocketed, 0);  // the exception was exercised
}

TEST_P(ModelShots, SameHashAcrossRunsAndOnAThreadWithoutTheControlWord) {
    const ShotSpec shotSpec =
        MakeShot(model, 9, ThreeBalls(), F32(40.0f), F32(8.0f), Shot(0.1f, -0.2f, 0.9f));
    const std::uint64_t first = RunShot(shotSpec).hash;
    EXPECT_EQ(RunShot(shotSpec).hash, first);
    std::uint64_t onThread = 0;
    std::thread t([&] { onThread = RunShot(shotSpec).hash; });
    t.join();
    EXPECT_EQ(onThread, first);
}

// Regression anchors: a change to any of these means the shared physics changed.
TEST(LateModelShots, GoldenHashes) {
    struct Golden {
        std::uint32_t table;
        ShotParams shot;
        std::uint64_t hash;
    };
    const Golden goldens[] = {
        {0, Shot(0, 0, 0.8f), 0xa3453ace08c6faf1ull},
        {4, Shot(0.2f, 0.1f, 1.0f), 0x3ed889b01515bcf4ull},
        {6, Shot(0, -0.3f, 0.7f), 0x1254a349cfb484cbull},
        {8, Shot(-0.2f, 0, 0.5f), 0x1b085d178220725full},
        {1, Shot(0, 0, 0.8f), 0xb226068c400a5b2aull},
        {9, Shot(0.1f, 0.2f, 1.0f), 0xba74080e47d4ab7eull},
        {11, Shot(0, 0.1f, 0.6f, 0.6f), 0x95580f00077afbb2ull},
    };
    for (const Golden& g : goldens) {
        const ShotSpec shotSpec = MakeShot(0x10014, g.table, ThreeBalls(), F32(40.0f), F32(8.0f), g.shot);
        const ShotResult r = RunShot(shotSpec);
        EXPECT_EQ(r.hash, g.hash) << "table " << g.table << " hash 0x" << std::hex << r.hash;
    }
}

// Regression anchors of branch A from 0x10005: a carom and a pocket shot per id.
TEST(MidModelShots, GoldenHashes) {
    struct Golden {
        std::uint32_t model;
        std::uint64_t carom, pocket;
    };
    const Golden goldens[] = {
        {0x10005, 0xbe2fa7739c03dc62ull, 0x8099c0c60f960ca8ull},
        {0x10006, 0x65550612e79744fcull, 0xa289fc6d2f7806efull},
        {0x10007, 0x19c056e206b76bcull, 0x91fa2ac870787d3ull},
        {0x10008, 0x7c9f271428e2a6f9ull, 0xe7a6ec3f449bc9caull},
        {0x10009, 0x238a12502f9dcfb0ull, 0xe7a6ec3f449bc9caull},
        {0x1000A, 0x6d1f501ebb0c1834ull, 0x95952f180f4bae64ull},
        {0x1000B, 0xc46590eb519e4d93ull, 0x3b20a4be63343c4aull},
        {0x1000C, 0x3dddc63db33aaba1ull, 0xd922b63207ff4e28ull},
        {0x1000D, 0xe6d6e4e37fb1ad1dull, 0x5f6863a1af803927ull},
        {0x1000E, 0xa36732549610e205ull, 0x179420f2d8b72628ull},
        {0x1000F, 0x62e7ac60abd471bdull, 0x896ccc9b1d821f36ull},
    };
    ShotParams caromShot = Shot(0.2f, -0.3f, 0.9f, 0.2f);
    caromShot.contactFactor = F32(0.5f);  // the contact time gain tells 0x10008 from 0x10009
    for (const Golden& g : goldens) {
        const std::uint64_t carom =
            RunShot(MakeShot(g.model, 7, ThreeBalls(), F32(40.0f), F32(8.0f), caromShot)).hash;
        const std::uint64_t pocket =
            RunShot(MakeShot(g.model, 11, ThreeBalls(), F32(40.0f), F32(8.0f), Shot(-0.1f, 0.25f, 1.0f)))
                .hash;
        EXPECT_EQ(carom, g.carom) << std::hex << "model 0x" << g.model << " carom 0x" << carom;
        EXPECT_EQ(pocket, g.pocket) << std::hex << "model 0x" << g.model << " pocket 0x" << pocket;
    }
}

// Default, draw, follow, side (both ways) and raised-cue shots to rest on carom and pocket tables.
TEST_P(ModelShots, EveryShotKindRestsWithFiniteValues) {
    const ShotParams shots[] = {DefaultShot(),
                                Shot(0, -0.5f, 0.9f),
                                Shot(0, 0.5f, 0.9f),
                                Shot(0.5f, 0, 0.9f),
                                Shot(-0.5f, 0, 0.9f),
                                Shot(0, 0, 0.8f, 0.5236f),
                                Shot(0.2f, 0.3f, 1.0f, 1.0472f),
                                Shot(0.45f, -0.45f, 0.3f, 0.1f)};
    for (std::uint32_t table : {0u, 3u, 4u, 7u, 1u, 9u, 11u}) {
        for (std::size_t i = 0; i < std::size(shots); ++i) {
            ShotSpec shotSpec = MakeShot(model, table, ThreeBalls(), F32(40.0f), F32(8.0f), shots[i]);
            shotSpec.maxCalls = 12000;
            const ShotResult r = RunShot(shotSpec);
            EXPECT_TRUE(r.allFinite) << "table " << table << " shot " << i;
            EXPECT_TRUE(r.rest) << "table " << table << " shot " << i;
        }
    }
}

TEST_P(ModelShots, RandomValidShotsStayFiniteAndRest) {
    Lcg lcg;
    lcg.Seed(20240601 + model);
    auto uniform = [&lcg](float lo, float hi) {
        return F32(lo + (hi - lo) * static_cast<float>(lcg.Next() >> 8) / 16777216.0f);
    };
    for (int i = 0; i < 8; ++i) {
        const std::uint32_t table = lcg.Next() % 12;
        ShotParams s = DefaultShot();
        s.offsetLimitSide = s.tipOffsetSide = uniform(-0.6f, 0.6f);
        s.offsetLimitVertical = s.tipOffsetVertical = uniform(-0.6f, 0.6f);
        s.elevation = uniform(0.0f, 1.2f);
        s.power = uniform(0.0f, 1.0f);
        s.contactFactor = uniform(0.0f, 1.0f);
        s.limitFactor = uniform(0.0f, 1.0f);
        s.stiffnessFactor = uniform(0.0f, 1.0f);
        ShotSpec shotSpec =
            MakeShot(model, table, ThreeBalls(), uniform(-100.0f, 100.0f), uniform(-50.0f, 50.0f), s);
        shotSpec.maxCalls = 12000;
        const ShotResult r = RunShot(shotSpec);
        EXPECT_TRUE(r.allFinite) << i;
        EXPECT_TRUE(r.rest) << i << " table " << table;
    }
}

INSTANTIATE_TEST_SUITE_P(MidAndLate, ModelShots,
                         ::testing::Values(0x10005u, 0x10006u, 0x10007u, 0x10008u, 0x10009u, 0x1000Au,
                                           0x1000Bu, 0x1000Cu, 0x1000Du, 0x1000Eu, 0x1000Fu, 0x10010u,
                                           0x10011u, 0x10012u, 0x10013u, 0x10014u),
                         ModelName);
INSTANTIATE_TEST_SUITE_P(BaseAndFirst, ModelShots,
                         ::testing::Values(0x10000u, 0x10001u, 0x10002u, 0x10003u, 0x10004u), ModelName);

}  // namespace
}  // namespace physics::testing
