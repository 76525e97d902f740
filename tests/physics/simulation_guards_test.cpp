// The per-ball step, the pocket operations and the guards against bad input.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <limits>
#include <string>

#include "physics/PhysicsFactory.h"
#include "physics/PhysicsModelB.h"
#include "tests/common/TempDir.h"
#include "tests/physics/support/ShotRunner.h"

namespace physics::testing {
namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

class GuardTest : public ::testing::Test {
protected:
    void SetUp() override {
        model_ = CreatePhysicsModel(kDefaultPhysicsModelId, 0, 2, false);
        for (int i = 0; i < 2; ++i) model_->GetBall(i).SetSize(F32(3.075f), F32(0.21f));
        model_->GetBall(0).position = Vector3(F32(-40.0f), F32(0.0f), F32(3.075f));
        model_->GetBall(1).position = Vector3(F32(40.0f), F32(20.0f), F32(3.075f));
    }
    Ball& Cue() { return model_->GetBall(0); }
    std::shared_ptr<PhysicsModel> model_;
};

TEST_F(GuardTest, SimulateRunsAtLeastOneSubStepAndRefusesNonFiniteInput) {
    Cue().velocity.x = F32(1.0f);
    const F32 before = Cue().position.x;
    EXPECT_FALSE(model_->Simulate(F32(0.005f), 0, F32(1.0f)));  // subSteps 0 read as 1
    EXPECT_GT(Cue().position.x.v, before.v);
    const F32 after = Cue().position.x;
    EXPECT_FALSE(model_->Simulate(F32(0.005f), 50, F32(0.0f)));  // factor 0: still one sub-step
    EXPECT_GT(Cue().position.x.v, after.v);
    const F32 again = Cue().position.x;
    EXPECT_TRUE(model_->Simulate(F32(kNaN), 50, F32(1.0f)));
    EXPECT_TRUE(model_->Simulate(F32(0.005f), 50, F32(kInf)));
    EXPECT_EQ(Cue().position.x.v, again.v);
}

TEST_F(GuardTest, AllAtRestEndsAfterOneSubStepWithoutCollisions) {
    EXPECT_TRUE(model_->Simulate(F32(0.005f), 50, F32(1.0f)));
    EXPECT_TRUE(PhysicsEventQueue().empty());
}

// The turns a call records are applied in batches once enough wait: a call of many sub-steps
// (here over 4096 recorded turns) ends exactly where the same sub-steps one call each end.
TEST_F(GuardTest, ManySubStepsInOneCallEndAsOneCallEach) {
    auto oneByOne = CreatePhysicsModel(kDefaultPhysicsModelId, 0, 2, false);
    for (PhysicsModel* m : {model_.get(), oneByOne.get()}) {
        for (int i = 0; i < 2; ++i) {
            Ball& b = m->GetBall(i);
            b.SetSize(F32(3.075f), F32(0.21f));
            b.position = i == 0 ? Vector3(F32(-40.0f), F32(0.0f), F32(3.075f))
                                : Vector3(F32(40.0f), F32(20.0f), F32(3.075f));
            b.velocity =
                i == 0 ? Vector3(F32(1.0f), F32(0.3f), F32(0.0f)) : Vector3(F32(-0.2f), F32(0.1f), F32(0.0f));
            b.spin = Vector3(F32(-3.0f), F32(25.0f), F32(7.0f));
        }
    }
    constexpr std::uint32_t kSubSteps = 6000;  // h = 2^-14 exactly either way
    model_->Simulate(F32(kSubSteps * 0x1p-14f), kSubSteps, F32(1.0f));
    for (std::uint32_t k = 0; k < kSubSteps; ++k) oneByOne->Simulate(F32(0x1p-14f), 1, F32(1.0f));
    for (int i = 0; i < 2; ++i) {
        const Ball& a = model_->GetBall(i);
        const Ball& b = oneByOne->GetBall(i);
        ASSERT_FALSE(a.IsAtRest());
        const F32 av[] = {a.position.x,    a.position.y,    a.velocity.x,    a.spin.z,
                          a.orientation.x, a.orientation.y, a.orientation.z, a.orientation.w};
        const F32 bv[] = {b.position.x,    b.position.y,    b.velocity.x,    b.spin.z,
                          b.orientation.x, b.orientation.y, b.orientation.z, b.orientation.w};
        for (int k = 0; k < 8; ++k) EXPECT_EQ(av[k].Bits(), bv[k].Bits()) << "ball " << i << " word " << k;
    }
}

TEST_F(GuardTest, CuePulseEndsWhenTimeLeftEqualsTheSubStep) {
    const F32 h = SubStepLength(F32(0.005f), 50);
    Cue().cueTimeLeft = h;
    Cue().cueDuration = h;
    Cue().cueGain = F32(1.0f);
    Cue().cueActive = 1;
    model_->Simulate(F32(0.005f), 50, F32(0.02f));  // one sub-step
    EXPECT_EQ(Cue().cueTimeLeft.v, 0.0f);
    EXPECT_EQ(Cue().cueActive, 0);
    ASSERT_FALSE(PhysicsEventQueue().empty());
    EXPECT_EQ(PhysicsEventQueue().front().type, EventType::CueContactEnd);
}

TEST_F(GuardTest, BallOutOfPlayNeverMoves) {
    Cue().outOfPlay = 2;
    Cue().cueTimeLeft = F32(0.01f);
    Cue().cueActive = 0;
    Cue().velocity.x = F32(1.0f);
    const Vector3 p = Cue().position;
    model_->Simulate(F32(0.005f), 50, F32(1.0f));
    EXPECT_EQ(Cue().position, p);
}

TEST_F(GuardTest, NonFiniteStrikeIsRefusedAndNaNNeverReachesABall) {
    ShotParams shot = DefaultShot();
    shot.power = F32(kNaN);
    model_->Strike(Cue(), F32(40.0f), F32(0.0f), shot);
    EXPECT_EQ(Cue().cueActive, 0);
    model_->Strike(Cue(), F32(kInf), F32(0.0f), DefaultShot());
    EXPECT_EQ(Cue().cueActive, 0);

    // Out-of-range but finite values: limit length above 1, power 0 with an offset, a limit
    // factor that leaves no miscue-free offset.
    ShotParams odd[3] = {DefaultShot(), DefaultShot(), DefaultShot()};
    odd[0].offsetLimitSide = odd[0].tipOffsetSide = F32(3.0f);
    odd[1].offsetLimitVertical = odd[1].tipOffsetVertical = F32(0.5f);
    odd[1].power = F32(0.0f);
    odd[2].offsetLimitSide = odd[2].tipOffsetSide = F32(0.3f);
    odd[2].limitFactor = F32(5.0f);
    for (const ShotParams& s : odd) {
        Cue().cueActive = 0;
        model_->Strike(Cue(), F32(40.0f), F32(0.0f), s);
        EXPECT_EQ(Cue().cueActive, 1);
        for (const Vector3* v : {&Cue().cueLinear, &Cue().cueAngular, &Cue().velocity}) {
            EXPECT_TRUE(IsFinite(v->x) && IsFinite(v->y) && IsFinite(v->z));
        }
    }
    // The full miscue reports a share of 1.
    ASSERT_FALSE(PhysicsEventQueue().empty());
    EXPECT_EQ(PhysicsEventQueue().back().type, EventType::Miscue);
    EXPECT_EQ(PhysicsEventQueue().back().intensity.v, 1.0f);
}

TEST_F(GuardTest, AimOnTheBallCentreLeavesTheBallUntouched) {
    model_->Strike(Cue(), Cue().position.x, Cue().position.y, DefaultShot());
    EXPECT_EQ(Cue().cueActive, 0);
    EXPECT_TRUE(Cue().cueLinear.IsZero());
}

TEST_F(GuardTest, PowerZeroWithoutOffsetGivesAZeroPulseOfTwiceTheContactTime) {
    ShotParams s = DefaultShot();
    s.power = F32(0.0f);
    model_->Strike(Cue(), F32(40.0f), F32(0.0f), s);
    EXPECT_TRUE(Cue().cueLinear.IsZero());
    EXPECT_EQ(Cue().cueDuration.v, St(F32(0.009f) + F32(0.009f)).v);
    EXPECT_EQ(Cue().velocity.z.v, 0.0f);
}

TEST_F(GuardTest, BallKindWithZeroSizeOrMassIsRefused) {
    EXPECT_FALSE(Cue().SetSize(F32(0.0f), F32(0.2f)));
    EXPECT_FALSE(Cue().SetSize(F32(3.0f), F32(-1.0f)));
    EXPECT_FALSE(Cue().SetSize(F32(kNaN), F32(0.2f)));
    EXPECT_EQ(Cue().radiusCm.v, 3.075f);
    EXPECT_TRUE(Cue().SetSize(F32(3.0f), F32(0.2f)));
    EXPECT_EQ(Cue().radius.v, 0.03f);
}

TEST_F(GuardTest, StrikeReappliesParametersOverwrittenByAnotherModel) {
    ShotParams s = DefaultShot();
    model_->Strike(Cue(), F32(40.0f), F32(0.0f), s);
    const Vector3 expected = Cue().cueLinear;
    auto other = CreatePhysicsModel(0x10001, 1, 2, false);  // writes strikeSpeedScale 4.3 and more
    EXPECT_EQ(Params().model.strikeSpeedScale.v, 4.3f);
    Cue().cueLinear = Vector3();
    model_->Strike(Cue(), F32(40.0f), F32(0.0f), s);
    EXPECT_EQ(Cue().cueLinear, expected);
    EXPECT_EQ(Params().model.strikeSpeedScale.v, 3.7f);
}

TEST(PocketZone, BallOverAHoleFallsInsteadOfBeingHeldByTheBed) {
    auto model = CreatePhysicsModel(kDefaultPhysicsModelId, 1, 1, false);
    Ball& b = model->GetBall(0);
    b.SetSize(F32(2.8575f), F32(0.17f));
    const TableGeometry& g = model->Geometry();
    // Over corner hole 1 (a little off its centre), at bed level.
    b.position = Vector3(St(g.cushion.xMin - g.cornerHoleOffset + F32(1.0f)),
                         St(g.cushion.yMin - g.cornerHoleOffset + F32(1.0f)), b.radiusCm);
    for (int call = 0; call < 200 && b.outOfPlay == 0; ++call) model->Simulate(F32(0.005f), 15, F32(1.0f));
    EXPECT_EQ(b.outOfPlay, 1);
    EXPECT_EQ(b.position.z.v, St(b.radiusCm + g.pocketDepth).v);
}

TEST(PocketZone, RestingBallIsUntouchedAndSlowLandingSettles) {
    auto model = CreatePhysicsModel(kDefaultPhysicsModelId, 0, 1, false);
    Ball& b = model->GetBall(0);
    b.SetSize(F32(3.075f), F32(0.21f));
    b.position = Vector3(F32(0.0f), F32(0.0f), b.radiusCm);
    EXPECT_FALSE(model->CollidePocketZone(b, F32(0.0001f)));
    b.velocity.z = F32(-0.001f);
    EXPECT_TRUE(model->CollidePocketZone(b, F32(0.0001f)));
    EXPECT_EQ(b.velocity.z.v, 0.0f);
    EXPECT_EQ(b.inPocketZone, 1);
}

TEST(PocketZone, FindPocketEntryIgnoresPocketsTheBallLeaves) {
    auto model = CreatePhysicsModel(kDefaultPhysicsModelId, 1, 1, false);
    Ball& b = model->GetBall(0);
    b.SetSize(F32(2.8575f), F32(0.17f));
    b.position = Vector3(F32(-126.0f), F32(-62.0f), b.radiusCm);
    b.velocity = Vector3(F32(-1.0f), F32(-1.0f), F32(0.0f));
    std::uint8_t pocket = 0;
    F32 ratio;
    ASSERT_TRUE(b.FindPocketEntry(&pocket, &ratio));
    EXPECT_EQ(pocket, 1);
    EXPECT_LT(ratio.v, 1.0f);
    b.velocity = Vector3(F32(1.0f), F32(1.0f), F32(0.0f));
    EXPECT_FALSE(b.FindPocketEntry(&pocket, &ratio));
}

std::string ShotSim() {
    return std::string(MARVENLOT_BINARY_DIR) + "/tools/shotsim/shotsim";
}

int RunShotSim(const std::string& json, std::string* output = nullptr) {
    const testsupport::TempDir dir;
    const std::string in = dir.File("shot.json");
    const std::string out = dir.File("shot.out");
    std::ofstream(in) << json;
    const int status = std::system((ShotSim() + " " + in + " > " + out + " 2>&1").c_str());
    if (output) {
        std::ifstream f(out);
        output->assign(std::istreambuf_iterator<char>(f), {});
    }
    return WEXITSTATUS(status);
}

TEST(ShotSimTool, ExitCodesAndRecords) {
    const std::string good =
        R"({"model":"0x10014","table":0,"balls":[{"x":-40,"y":0,"radiusCm":3.075,"mass":0.21,"seed":1}],)"
        R"("strike":{"ball":0,"aimX":40,"aimY":0,"offsetLimit":[0,0],"tipOffset":[0,0],"elevation":0,)"
        R"("power":0.8,"contactFactor":0,"limitFactor":1,"stiffnessFactor":0}})";
    std::string out;
    EXPECT_EQ(RunShotSim(good, &out), 0);
    EXPECT_NE(out.find("event 4 7 0 "), std::string::npos);
    EXPECT_NE(out.find(" rest\n"), std::string::npos);
    EXPECT_NE(out.find("\nhash "), std::string::npos);
    std::string again;
    RunShotSim(good, &again);
    EXPECT_EQ(out, again);

    std::string watchdog = good;
    watchdog.replace(watchdog.find("\"table\":0"), 9, "\"table\":0,\"maxCalls\":5");
    EXPECT_EQ(RunShotSim(watchdog, &out), 3);
    EXPECT_NE(out.find("calls 5 watchdog"), std::string::npos);

    for (const char* bad : {"{", "[]", R"({"model":"0x10099","table":0})", R"({"model":65556,"table":12})",
                            R"({"model":"0x10014","table":0,"balls":[]})"}) {
        EXPECT_EQ(RunShotSim(bad, &out), 2) << bad;
        EXPECT_EQ(std::count(out.begin(), out.end(), '\n'), 1) << out;
    }
}

}  // namespace
}  // namespace physics::testing
