// The base model's own bodies: cushion impact, rail contact, ball collisions, strike and cloth
// friction, each called directly on a set-up model.
#include <gtest/gtest.h>

#include "physics/PhysicsEntry.h"
#include "physics/PhysicsFactory.h"
#include "tests/physics/support/ShotRunner.h"

namespace physics::testing {
namespace {

bool Finite(const Vector3& v) {
    return IsFinite(v.x) && IsFinite(v.y) && IsFinite(v.z);
}

std::shared_ptr<PhysicsModel> Model(std::uint32_t id, std::uint32_t table, std::uint16_t balls) {
    auto m = CreatePhysicsModel(id, table, balls, false);
    const bool pockets = m->Table().hasPockets != 0;
    for (std::uint16_t i = 0; i < balls; ++i)
        m->GetBall(i).SetSize(pockets ? F32(2.8575f) : F32(3.075f), pockets ? F32(0.17f) : F32(0.21f));
    return m;
}

CushionContact Contact(const Vector3& n, F32 force, const TableParams& params) {
    F32 dx = n.x, dy = n.y, h;
    Normalize2D(dx, dy, &h);
    return CushionContact{
        n,          dx,           dy,         h,      force, F32(0.0f), F32(0.0f), F32(0.03f), F32(0.03075f),
        F32(0.21f), F32(0.0123f), F32(1e-6f), &params};
}

TEST(BaseCushionImpact, ZeroForceOnAStillBallChangesNothing) {
    auto m = Model(0x10000, 0, 1);
    PhysicsEntry entry;
    Vector3 v, w;
    m->ResolveCushionImpact(v, w,
                            Contact(Vector3(F32(-1.0f), F32(0.0f), F32(0.0f)), F32(0.0f), Params().table));
    EXPECT_TRUE(v.IsZero());
    EXPECT_TRUE(w.IsZero());
}

TEST(BaseCushionImpact, WithoutRailFrictionOnlyTheNormalImpulseActsItsVerticalPartReduced) {
    auto m = Model(0x10000, 0, 1);
    PhysicsEntry entry;
    TableParams params = Params().table;
    params.railParamA = params.railParamB = F32(0.0f);
    Vector3 n(F32(-0.6f), F32(0.0f), F32(0.8f));
    const CushionContact c = Contact(n, F32(200000.0f), params);
    Vector3 v, w(F32(0.0f), F32(40.0f), F32(10.0f));
    m->ResolveCushionImpact(v, w, c);
    const F32 j = St(c.force * c.dtStep);
    EXPECT_EQ(v.x.v, St(n.x * j).v);
    EXPECT_EQ(v.y.v, 0.0f);
    EXPECT_EQ(v.z.v, St(n.z * St(j * 0.9f)).v);
    EXPECT_EQ(w.y.v, 40.0f);
    EXPECT_EQ(w.z.v, 10.0f);
}

struct RailFixture {
    std::shared_ptr<PhysicsModel> model = Model(0x10000, 0, 1);
    Ball& ball = model->GetBall(0);
    F32 h = SubStepLength(F32(0.005f), 50);

    // The ball just inside the high-x cushion line, moving along x.
    void Place(float vx) {
        const TableGeometry& g = model->Geometry();
        ball.ResetMotion();
        ball.position = Vector3(St(g.cushion.xMax - ball.radiusCm + 0.3f), F32(0.0f), ball.radiusCm);
        ball.velocity = Vector3(F32(vx), F32(0.0f), F32(0.0f));
    }
    std::size_t CushionEvents() const {
        std::size_t n = 0;
        for (const PhysicsEvent& e : PhysicsEventQueue()) n += e.type == EventType::Cushion ? 1 : 0;
        return n;
    }
};

TEST(BaseRailContact, AnImpactReportsOnceAndALastingContactNeverAgain) {
    RailFixture f;
    PhysicsEntry entry;
    f.Place(1.0f);
    PhysicsEventQueue().clear();
    f.model->CollideRails(f.ball, f.h);
    ASSERT_EQ(f.CushionEvents(), 1u);
    const PhysicsEvent& e = PhysicsEventQueue().back();
    EXPECT_EQ(e.tag & 0xFF, kRailHighX);
    EXPECT_LT(e.vector[0].v, 0.0f);
    EXPECT_GT(e.intensity.v, 0.0f);
    EXPECT_GT(f.ball.railState[0].v, 0.0f);
    EXPECT_LT(f.ball.velocity.x.v, 1.0f);  // the cushion pushes back

    // Pressing on into the compressed cushion, however hard, is the same contact.
    PhysicsEventQueue().clear();
    f.ball.velocity = Vector3(F32(3.0f), F32(0.0f), F32(0.0f));
    f.model->CollideRails(f.ball, f.h);
    EXPECT_EQ(f.CushionEvents(), 0u);
    EXPECT_TRUE(Finite(f.ball.velocity));
}

TEST(BaseRailContact, ABallLeavingTheRailAtZeroCompressionReportsNothingAndDropsIt) {
    RailFixture f;
    PhysicsEntry entry;
    f.Place(-1.0f);
    PhysicsEventQueue().clear();
    f.model->CollideRails(f.ball, f.h);
    EXPECT_EQ(f.CushionEvents(), 0u);
    EXPECT_EQ(f.ball.railContact, 0);
    EXPECT_EQ(f.ball.railState[0].v, 0.0f);
    EXPECT_EQ(f.ball.railState[1].v, 0.0f);
    EXPECT_EQ(f.ball.velocity.x.v, -1.0f);
}

TEST(BaseRailContact, ABallDrivenIntoTheRailComesBackWithinAShot) {
    RailFixture f;
    f.Place(2.0f);
    bool rest = false;
    for (int call = 0; call < 4000 && !rest; ++call) rest = f.model->Simulate(F32(0.005f), 50, F32(1.0f));
    EXPECT_TRUE(rest);
    EXPECT_TRUE(f.ball.IsInsideCushions(F32(-0.5f)));
    EXPECT_LT(f.ball.position.x.v, 0.0f);
}

// Two balls touching head-on: the last slice of the pair has a negative (attracting) force and
// no sliding at all; the friction bound must not divide by the zero sliding speed.
TEST(BaseCollisions, CentralHitWithoutSpinStaysFiniteAndConservesMomentum) {
    for (float massB : {0.21f, 0.42f}) {
        auto m = Model(0x10000, 0, 2);
        PhysicsEntry entry;
        Ball& a = m->GetBall(0);
        Ball& b = m->GetBall(1);
        b.SetSize(b.radiusCm, F32(massB));
        a.position = Vector3(F32(0.0f), F32(0.0f), a.radiusCm);
        b.position = Vector3(St(a.radiusCm + a.radiusCm - 0.01f), F32(0.0f), b.radiusCm);
        a.velocity = Vector3(F32(2.0f), F32(0.0f), F32(0.0f));
        m->ResolveCollisions();
        EXPECT_TRUE(Finite(a.velocity) && Finite(b.velocity) && Finite(a.spin) && Finite(b.spin));
        const double before = 0.21 * 2.0;
        const double after = a.mass.v * a.velocity.x.v + b.mass.v * b.velocity.x.v;
        EXPECT_NEAR(after, before, 1e-4);
        EXPECT_GT(b.velocity.x.v, a.velocity.x.v);
        // The heavier ball takes the smaller speed change: inverse proportion to the masses.
        EXPECT_NEAR((2.0 - a.velocity.x.v) / b.velocity.x.v, b.mass.v / a.mass.v, 1e-3);
        ASSERT_FALSE(PhysicsEventQueue().empty());
        EXPECT_EQ(PhysicsEventQueue().front().type, EventType::BallCollision);
    }
}

TEST(BaseStrike, PowerAboveOneIsTakenAsOneSoTheContactTimeStaysPositive) {
    auto m = Model(0x10000, 0, 1);
    Ball& ball = m->GetBall(0);
    ball.position = Vector3(F32(0.0f), F32(0.0f), ball.radiusCm);
    m->Strike(ball, F32(50.0f), F32(0.0f), testing::VerticalShot(0.2f, 1.0f, 0.0f));
    const Ball atOne = ball;
    for (float power : {4.0f, 7.5f}) {
        ball.ResetMotion();
        m->Strike(ball, F32(50.0f), F32(0.0f), testing::VerticalShot(0.2f, power, 0.0f));
        EXPECT_GT(ball.cueDuration.v, 0.0f);
        EXPECT_TRUE(IsFinite(ball.cueGain));
        EXPECT_EQ(ball.cueLinear, atOne.cueLinear);
        EXPECT_EQ(ball.cueAngular, atOne.cueAngular);
    }
}

TEST(BaseStrike, LeavesCueActiveAndVelocityAsTheyWere) {
    auto m = Model(0x10000, 0, 1);
    Ball& ball = m->GetBall(0);
    ball.position = Vector3(F32(0.0f), F32(0.0f), ball.radiusCm);
    for (std::uint8_t active : {0, 1}) {
        ball.cueActive = active;
        m->Strike(ball, F32(50.0f), F32(10.0f), testing::VerticalShot(0.3f, 0.8f, 0.3f));
        EXPECT_EQ(ball.cueActive, active);
        EXPECT_TRUE(ball.velocity.IsZero());
        EXPECT_GT(ball.cueTimeLeft.v, 0.0f);
    }
}

TEST(BaseStrike, TheBedTakesTheDownwardPulseOfABallLyingOnIt) {
    auto m = Model(0x10000, 0, 1);
    Ball& ball = m->GetBall(0);
    ball.position = Vector3(F32(0.0f), F32(0.0f), ball.radiusCm);
    m->Strike(ball, F32(50.0f), F32(0.0f), testing::VerticalShot(0.0f, 0.8f, 0.0f));
    EXPECT_EQ(ball.cueLinear.z.v, 0.0f);  // a level cue has no downward pulse
    m->Strike(ball, F32(50.0f), F32(0.0f), testing::VerticalShot(0.0f, 0.8f, 0.6f));
    EXPECT_GE(ball.cueLinear.z.v, 0.0f);
    EXPECT_GT(ball.cueLinear.x.v, 0.0f);
    ball.position.z = St(ball.radiusCm + 1.0f);  // lifted: no bed under it
    m->Strike(ball, F32(50.0f), F32(0.0f), testing::VerticalShot(0.0f, 0.8f, 0.6f));
    EXPECT_LT(ball.cueLinear.z.v, 0.0f);
}

TEST(BaseClothFriction, NoSubStepMeansNoLoadAndNoChange) {
    auto m = Model(0x10000, 0, 1);
    PhysicsEntry entry;
    Ball& ball = m->GetBall(0);
    ball.velocity = Vector3(F32(1.0f), F32(0.5f), F32(-0.2f));
    ball.spin = Vector3(F32(3.0f), F32(-2.0f), F32(5.0f));
    const Ball before = ball;
    m->ApplyClothFriction(ball, F32(0.0f), 1);
    EXPECT_EQ(ball.velocity, before.velocity);
    EXPECT_EQ(ball.spin, before.spin);
}

TEST(BaseClothFriction, ZeroVerticalSpinStaysZeroUnderANegativeLoad) {
    auto m = Model(0x10000, 0, 1);
    PhysicsEntry entry;
    Ball& ball = m->GetBall(0);
    // Fast and barely pressing: the kind-0 load slope makes the load negative.
    ball.velocity = Vector3(F32(20.0f), F32(0.0f), F32(-1e-6f));
    ball.spin = Vector3(F32(0.0f), St(F32(20.0f) / ball.radius), F32(0.0f));
    m->ApplyClothFriction(ball, SubStepLength(F32(0.005f), 50), 0);
    EXPECT_TRUE(Finite(ball.velocity));
    EXPECT_TRUE(Finite(ball.spin));
    EXPECT_EQ(ball.spin.z.v, 0.0f);
}

TEST(BaseClothFriction, AStoppingBallKeepsItsVerticalSpinDecayUnlikeTheFirstGeneration) {
    const F32 h = SubStepLength(F32(0.005f), 50);
    F32 spinZ[2];
    int i = 0;
    for (std::uint32_t id : {0x10000u, 0x10001u}) {
        auto m = Model(id, 0, 1);
        PhysicsEntry entry;
        Params().table.frictionSets[1][0] = F32(0.2f);
        Params().table.frictionSets[1][2] = F32(0.2f);
        Params().table.frictionSets[1][3] = F32(0.4f);
        Ball& ball = m->GetBall(0);
        ball.velocity = Vector3(F32(1e-5f), F32(0.0f), F32(-0.01f));
        ball.spin = Vector3(F32(0.0f), St(ball.velocity.x / ball.radius), F32(50.0f));
        m->ApplyClothFriction(ball, h, 1);
        EXPECT_EQ(ball.velocity.x.v, 0.0f);
        EXPECT_EQ(ball.spin.y.v, 0.0f);
        spinZ[i++] = ball.spin.z;
    }
    EXPECT_LT(spinZ[0].v, 50.0f);
    EXPECT_GT(spinZ[0].v, spinZ[1].v);  // 0x10001 doubles (x 2.5) the decay of a stopping ball
}

}  // namespace
}  // namespace physics::testing
