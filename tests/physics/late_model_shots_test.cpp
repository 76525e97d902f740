// Whole shots of the default model: rest, events, pockets, symmetry, energy, determinism.
#include <gtest/gtest.h>

#include <cmath>
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
    const double m = b.mass.v, v2 = b.velocity.LengthSquared().v, w2 = b.spin.LengthSquared().v;
    return 0.5 * m * v2 + 0.5 * m * b.radius.v * b.inertiaArm.v * w2 +
           m * 9.8 * (b.position.z.v - b.radiusCm.v) / 100.0;
}

TEST(LateModelShots, DefaultShotEndsItsCuePulseInTheFourthCallAndRests) {
    for (std::uint32_t table : {0u, 4u, 6u, 8u, 1u, 9u, 11u}) {
        SCOPED_TRACE(table);
        const ShotSpec spec = MakeShot(0x10014, table, ThreeBalls(), F32(40.0f), F32(8.0f), DefaultShot());
        const ShotResult r = RunShot(spec);
        EXPECT_EQ(r.eventSevenCall, 4u);
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

TEST(LateModelShots, StraightShotAlongPlusXFirstHitsRailTwo) {
    for (std::uint32_t table : {0u, 6u, 1u}) {
        const ShotSpec spec = MakeShot(0x10014, table, {{F32(0.0f), F32(0.0f), 1}}, F32(50.0f), F32(0.0f), DefaultShot());
        const ShotResult r = RunShot(spec, true);
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

TEST(LateModelShots, BallDrivenIntoEachPocketDropsAndStaysOut) {
    struct Aim {
        float x, y;
        std::uint8_t pocket;
    };
    const Aim aims[] = {{-132.0f, -68.25f, 1}, {0.0f, -70.0f, 2}, {132.0f, -68.25f, 3},
                        {-132.0f, 68.25f, 4},  {0.0f, 70.0f, 5},  {132.0f, 68.25f, 6}};
    for (const Aim& aim : aims) {
        SCOPED_TRACE(static_cast<int>(aim.pocket));
        ShotSpec spec = MakeShot(0x10014, 1, {{F32(0.0f), F32(0.0f), 1}}, F32(aim.x), F32(aim.y), Shot(0, 0, 0.5f));
        const ShotResult r = RunShot(spec, true);
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

void ExpectMirrored(const ShotSpec& spec, const ShotSpec& mirrored, bool aboutX) {
    const ShotResult a = RunShot(spec, true);
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
                ASSERT_EQ(e.tag & 0xFF, railSwap(f.tag & 0xFF));
            }
            if (e.type == EventType::PocketDrop || e.type == EventType::PocketJaw) {
                ASSERT_EQ(e.tag & 0xFF, pocketSwap(f.tag & 0xFF));
            }
            ASSERT_EQ(e.vector[aboutX ? 0 : 1].v, -f.vector[aboutX ? 0 : 1].v);
        }
    }
}

TEST(LateModelShots, MirrorSymmetryAboutBothTableAxes) {
    const ShotParams shots[] = {Shot(0, 0, 0.8f), Shot(0.25f, 0.1f, 1.0f), Shot(-0.1f, -0.15f, 0.6f, 0.3f)};
    for (std::uint32_t table : {0u, 9u, 11u}) {
        for (const ShotParams& shot : shots) {
            SCOPED_TRACE(table);
            const ShotSpec spec = MakeShot(0x10014, table, ThreeBalls(), F32(40.0f), F32(8.0f), shot);
            ExpectMirrored(spec, MirrorY(spec), false);
            ExpectMirrored(spec, MirrorX(spec), true);
        }
    }
}

// Compared between calls where no cushion holds a deformation (its spring stores energy).
TEST(LateModelShots, EnergyNeverGrowsOnceTheCuePulseHasEnded) {
    for (std::uint32_t table : {0u, 1u, 11u}) {
        const ShotSpec spec = MakeShot(0x10014, table, ThreeBalls(), F32(40.0f), F32(8.0f), Shot(0.1f, 0.1f, 1.0f));
        double previous = -1.0;
        bool pulseOver = false;
        int compared = 0;
        RunShot(spec, false, [&](std::uint32_t, PhysicsModel& model) {
            double e = 0.0;
            bool cue = false, cushion = false;
            for (std::uint16_t i = 0; i < model.BallCount(); ++i) {
                const Ball& b = model.GetBall(i);
                if (b.outOfPlay == 0) e += Energy(b);
                cue = cue || b.cueActive != 0;
                cushion = cushion || !b.railVectors[0].IsZero() || !b.railVectors[1].IsZero();
            }
            if (cue || cushion) return;
            if (pulseOver) {
                EXPECT_LE(e, previous * 1.02 + 1e-6);
                ++compared;
            }
            pulseOver = true;
            previous = e;
        });
        EXPECT_GT(compared, 100);
        EXPECT_EQ(previous, 0.0);
    }
}

// Balls in play never leave the frame, on carom and pocket tables alike; a ball that dropped
// into a pocket is out of play and excepted. The shots include hard, jumping and pocketing ones.
TEST(LateModelShots, BallsInPlayStayWithinTheFrameDuringTheShot) {
    const ShotParams shots[] = {Shot(0.0f, 0.2f, 1.0f, 0.5f), Shot(0.3f, -0.3f, 1.0f), Shot(-0.2f, 0.0f, 1.0f, 0.9f)};
    struct Aim {
        float x, y;
    };
    const Aim aims[] = {{40.0f, 8.0f}, {-132.0f, -68.25f}, {0.0f, 70.0f}, {132.0f, 30.0f}};
    int pocketed = 0;
    for (std::uint32_t table : {0u, 6u, 1u, 9u, 11u}) {
        for (const ShotParams& shot : shots) {
            for (const Aim& aim : aims) {
                SCOPED_TRACE(::testing::Message() << "table " << table << " aim " << aim.x << "," << aim.y);
                const ShotSpec spec = MakeShot(0x10014, table, ThreeBalls(), F32(aim.x), F32(aim.y), shot);
                const ShotResult r = RunShot(spec, false, [&](std::uint32_t call, PhysicsModel& model) {
                    for (std::uint16_t i = 0; i < model.BallCount(); ++i) {
                        const Ball& b = model.GetBall(i);
                        if (b.outOfPlay != 0) continue;
                        ASSERT_TRUE(b.IsWithinTableBounds(F32(0.0f)))
                            << "ball " << i << " call " << call << " at " << b.position.x.v << "," << b.position.y.v;
                    }
                });
                EXPECT_TRUE(r.rest);
                for (const Ball& b : r.final) pocketed += b.outOfPlay != 0 ? 1 : 0;
            }
        }
    }
    EXPECT_GT(pocketed, 0);  // the exception was exercised
}

TEST(LateModelShots, SameHashAcrossRunsAndOnAThreadWithoutTheControlWord) {
    const ShotSpec spec = MakeShot(0x10014, 9, ThreeBalls(), F32(40.0f), F32(8.0f), Shot(0.1f, -0.2f, 0.9f));
    const std::uint64_t first = RunShot(spec).hash;
    EXPECT_EQ(RunShot(spec).hash, first);
    std::uint64_t onThread = 0;
    std::thread t([&] { onThread = RunShot(spec).hash; });
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
        {0, Shot(0, 0, 0.8f), 0xa3453ace08c6faf1ull},      {4, Shot(0.2f, 0.1f, 1.0f), 0x3ed889b01515bcf4ull},
        {6, Shot(0, -0.3f, 0.7f), 0x1254a349cfb484cbull},  {8, Shot(-0.2f, 0, 0.5f), 0x1b085d178220725full},
        {1, Shot(0, 0, 0.8f), 0xb226068c400a5b2aull},      {9, Shot(0.1f, 0.2f, 1.0f), 0xba74080e47d4ab7eull},
        {11, Shot(0, 0.1f, 0.6f, 0.6f), 0x95580f00077afbb2ull},
    };
    for (const Golden& g : goldens) {
        const ShotSpec spec = MakeShot(0x10014, g.table, ThreeBalls(), F32(40.0f), F32(8.0f), g.shot);
        const ShotResult r = RunShot(spec);
        EXPECT_EQ(r.hash, g.hash) << "table " << g.table << " hash 0x" << std::hex << r.hash;
    }
}

TEST(LateModelShots, RandomValidShotsStayFiniteAndRest) {
    Lcg lcg;
    lcg.Seed(20240601);
    auto uniform = [&lcg](float lo, float hi) {
        return F32(lo + (hi - lo) * static_cast<float>(lcg.Next() >> 8) / 16777216.0f);
    };
    for (int i = 0; i < 24; ++i) {
        const std::uint32_t table = lcg.Next() % 12;
        const std::uint32_t model = 0x10010 + lcg.Next() % 5;
        ShotParams s = DefaultShot();
        s.offsetLimitSide = s.tipOffsetSide = uniform(-0.6f, 0.6f);
        s.offsetLimitVertical = s.tipOffsetVertical = uniform(-0.6f, 0.6f);
        s.elevation = uniform(0.0f, 1.2f);
        s.power = uniform(0.0f, 1.0f);
        s.contactFactor = uniform(0.0f, 1.0f);
        s.limitFactor = uniform(0.0f, 1.0f);
        s.stiffnessFactor = uniform(0.0f, 1.0f);
        ShotSpec spec = MakeShot(model, table, ThreeBalls(), uniform(-100.0f, 100.0f), uniform(-50.0f, 50.0f), s);
        spec.maxCalls = 12000;
        const ShotResult r = RunShot(spec);
        EXPECT_TRUE(r.allFinite) << i;
        EXPECT_TRUE(r.rest) << i << " model 0x" << std::hex << model << " table " << std::dec << table;
    }
}

}  // namespace
}  // namespace physics::testing
