// The first models of branch A (0x10001-0x10004): cushion impact, tip height scaling and the
// strike with its bed bounce.
#include <gtest/gtest.h>

#include "physics/PhysicsEntry.h"
#include "physics/PhysicsFactory.h"
#include "physics/PhysicsModelA.h"
#include "tests/physics/support/ShotRunner.h"

namespace physics::testing {
namespace {

std::shared_ptr<PhysicsModel> Model(std::uint32_t id) {
    auto m = CreatePhysicsModel(id, 0, 1, false);
    Ball& ball = m->GetBall(0);
    ball.SetSize(F32(3.075f), F32(0.21f));
    ball.position = Vector3(F32(0.0f), F32(0.0f), ball.radiusCm);
    return m;
}

CushionContact Contact(const Vector3& n, F32 force, F32 approach, const TableParams& params) {
    F32 dx = n.x, dy = n.y, h;
    Normalize2D(dx, dy, &h);
    return CushionContact{
        n,          dx,           dy,         h,      force, approach, F32(0.0f), F32(0.0f), F32(0.03075f),
        F32(0.21f), F32(0.0123f), F32(1e-6f), &params};
}

TEST(FirstGenerationCushionImpact, ZeroForceChangesNeitherVelocityNorSpin) {
    for (std::uint32_t id : {0x10001u, 0x10004u}) {
        auto m = Model(id);
        PhysicsEntry entry;
        Vector3 v(F32(0.5f), F32(0.3f), F32(0.0f)), w(F32(1.0f), F32(2.0f), F32(3.0f));
        const Vector3 v0 = v, w0 = w;
        m->ResolveCushionImpact(
            v, w, Contact(Vector3(F32(-1.0f), F32(0.0f), F32(0.0f)), F32(0.0f), F32(0.5f), Params().table));
        EXPECT_EQ(v, v0);
        EXPECT_EQ(w, w0);
    }
}

TEST(FirstGenerationCushionImpact, VerticalPartIsNinetyPercentAndNoRailFrictionMeansNoSpinChange) {
    auto m = Model(0x10002);
    PhysicsEntry entry;
    TableParams params = Params().table;
    params.railParamA = params.railParamB = F32(0.0f);
    const Vector3 n(F32(-0.6f), F32(0.0f), F32(0.8f));
    const CushionContact c = Contact(n, F32(120000.0f), F32(0.0f), params);
    Vector3 v, w(F32(0.0f), F32(30.0f), F32(-7.0f));
    m->ResolveCushionImpact(v, w, c);
    const F32 j = St(c.force * c.dtStep);
    EXPECT_EQ(v.x.v, St(n.x * j).v);
    EXPECT_EQ(v.z.v, St(n.z * St(j * 0.9f)).v);
    EXPECT_EQ(w, Vector3(F32(0.0f), F32(30.0f), F32(-7.0f)));
}

TEST(FirstGenerationCushionImpact, FrictionSlowsTheSlidingOfTheContactPoint) {
    auto m = Model(0x10001);
    PhysicsEntry entry;
    // A ball running along the rail with no spin: the face drags it back and turns it.
    const Vector3 n(F32(-1.0f), F32(0.0f), F32(0.0f));
    Vector3 v(F32(0.0f), F32(1.0f), F32(0.0f)), w;
    m->ResolveCushionImpact(v, w, Contact(n, F32(2000.0f), F32(0.2f), Params().table));
    EXPECT_LT(v.y.v, 1.0f);
    EXPECT_FALSE(w.IsZero());
}

TEST(FirstGenerationScaleTipHeight, VersionsScaleOnlyARaisedTip) {
    struct Case {
        std::uint32_t id;
        float power, elevation, expected;
    };
    const Case cases[] = {
        {0x10001, 1.0f, 0.0f, 0.5f}, {0x10002, 1.0f, 0.0f, 0.5f}, {0x10003, 1.0f, 0.0f, 0.4f},
        {0x10003, 0.0f, 0.0f, 0.4f}, {0x10004, 1.0f, 0.0f, 0.4f}, {0x10004, 0.0f, 0.0f, 0.475f},
    };
    for (const Case& c : cases) {
        auto m = Model(c.id);
        const auto& a = static_cast<const PhysicsModelA&>(*m);
        PhysicsEntry entry;
        EXPECT_NEAR(a.ScaleTipHeight(F32(c.power), F32(0.5f), F32(c.elevation)).v, c.expected, 1e-6) << c.id;
        EXPECT_EQ(a.ScaleTipHeight(F32(c.power), F32(-0.5f), F32(c.elevation)).v, -0.5f) << c.id;
    }
}

TEST(FirstGenerationStrike, ALevelCueGivesAFlatPulseAndNeitherVelocityNorCueActive) {
    for (std::uint32_t id = 0x10001; id <= 0x10004; ++id) {
        auto m = Model(id);
        Ball& ball = m->GetBall(0);
        m->Strike(ball, F32(50.0f), F32(0.0f), testing::VerticalShot(0.2f, 0.8f, 0.0f));
        EXPECT_EQ(ball.cueLinear.z.v, 0.0f);
        EXPECT_GT(ball.cueLinear.x.v, 0.0f);
        EXPECT_TRUE(ball.velocity.IsZero());
        EXPECT_EQ(ball.cueActive, 0);
        EXPECT_NEAR(ball.cueDuration.v, 0.0125f, 1e-7);  // 5 x the contact time 0.0025
    }
}

TEST(FirstGenerationStrike, ARaisedCueBouncesOffTheBedOnlyForABallLyingOnIt) {
    auto m = Model(0x10002);
    Ball& ball = m->GetBall(0);
    m->Strike(ball, F32(50.0f), F32(0.0f), testing::VerticalShot(0.2f, 0.8f, 0.7f));
    EXPECT_GE(ball.cueLinear.z.v, 0.0f);
    EXPECT_GT(ball.cueLinear.x.v, 0.0f);
    const Vector3 onBed = ball.cueAngular;

    ball.position.z = St(ball.radiusCm + 1.0f);
    m->Strike(ball, F32(50.0f), F32(0.0f), testing::VerticalShot(0.2f, 0.8f, 0.7f));
    EXPECT_LT(ball.cueLinear.z.v, 0.0f);
    EXPECT_FALSE(ball.cueAngular == onBed);  // the bounce also scales the spin

    ball.position = Vector3(St(m->Geometry().outer.xMax + 1.0f), F32(0.0f), ball.radiusCm);
    m->Strike(ball, F32(500.0f), F32(0.0f), testing::VerticalShot(0.0f, 0.8f, 0.7f));
    EXPECT_LT(ball.cueLinear.z.v, 0.0f);  // outside the outer rectangle: no bed
}

TEST(FirstGenerationStrike, AVerticalCueStaysFinite) {
    auto m = Model(0x10004);
    Ball& ball = m->GetBall(0);
    m->Strike(ball, F32(50.0f), F32(0.0f), testing::VerticalShot(0.3f, 1.0f, 1.5707964f));
    EXPECT_TRUE(IsFinite(ball.cueLinear.x) && IsFinite(ball.cueLinear.y) && IsFinite(ball.cueLinear.z));
    EXPECT_TRUE(IsFinite(ball.cueAngular.x) && IsFinite(ball.cueAngular.y) && IsFinite(ball.cueAngular.z));
    bool rest = false;
    for (int call = 0; call < 24000 && !rest; ++call) rest = m->Simulate(F32(0.005f), 50, F32(1.0f));
    EXPECT_TRUE(rest);
}

}  // namespace
}  // namespace physics::testing
