// Strikes at the edges of what a shot can carry: every model refuses a contact time that is not
// positive (the ball would never rest), and every shot at the corners of the limits a client sends
// comes to rest well within the rules controller's cap of 24,000 calls.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/physics/support/ShotRunner.h"

namespace physics::testing {
namespace {

const std::vector<BallPlacement> kBalls = {
    {F32(-50.0f), F32(-7.0f), 1}, {F32(40.0f), F32(10.0f), 2}, {F32(20.0f), F32(-30.0f), 3}};

std::string ModelName(const ::testing::TestParamInfo<std::uint32_t>& info) {
    char name[16];
    std::snprintf(name, sizeof name, "Model%05X", info.param);
    return name;
}

std::vector<std::uint32_t> AllModelIds() {
    std::vector<std::uint32_t> ids;
    for (std::uint32_t id = kFirstModelId; id <= kLastModelId; ++id) ids.push_back(id);
    return ids;
}

class StrikeLimits : public ::testing::TestWithParam<std::uint32_t> {};

// -2.5 is where the late models' contact time reaches 0; the others reach it further down.
TEST_P(StrikeLimits, AContactTimeThatIsNotPositiveLeavesTheBallStillAndTheShotRestsAtOnce) {
    const std::uint32_t model = GetParam();
    std::vector<float> factors = {-1000.0f, -3e38f};
    if (model >= 0x10010) factors.push_back(-2.5f);
    for (float factor : factors) {
        ShotParams shot = DefaultShot();
        shot.power = F32(1.0f);
        shot.contactFactor = F32(factor);
        auto planned = MakeShot(model, 0, kBalls, F32(40.0f), F32(8.0f), shot);
        planned.maxCalls = 100;
        const ShotResult r = RunShot(planned);
        EXPECT_TRUE(r.rest) << "contact factor " << factor;
        EXPECT_EQ(r.calls, 1u) << "contact factor " << factor;
        EXPECT_EQ(r.final[0].position.x.v, -50.0f) << "contact factor " << factor;
    }
}

// Offsets of length up to about 1.5 reach the strike after the rules' offset reduction.
TEST_P(StrikeLimits, ShotsAtTheCornersOfTheClientLimitsRestWithinAQuarterOfTheCap) {
    struct Corner {
        float side, vertical, elevation, contactFactor, limitFactor, stiffnessFactor;
    } const corners[] = {
        {1.0f, 1.0f, 0.0f, 1.0f, 0.0f, 1.0f},          // most spin, longest contact, no miscue limit
        {-1.0f, -1.0f, 1.5707964f, 1.0f, 2.0f, 0.0f},  // straight down
        {0.0f, -1.0f, 0.785f, 0.0f, 0.0f, 0.0f},       // raised draw: the ball jumps
        {1.0f, 0.0f, 1.553f, 1.0f, 1.0f, 1.0f},        // the client's steepest cue
        {-1.1f, 1.1f, 0.3f, 0.0f, 2.0f, 1.0f},         // beyond the ball's face
    };
    for (std::uint32_t table : {0u, 1u})
        for (const Corner& c : corners) {
            ShotParams shot{};
            shot.offsetLimitSide = shot.tipOffsetSide = F32(c.side);
            shot.offsetLimitVertical = shot.tipOffsetVertical = F32(c.vertical);
            shot.power = F32(1.0f);
            shot.elevation = F32(c.elevation);
            shot.contactFactor = F32(c.contactFactor);
            shot.limitFactor = F32(c.limitFactor);
            shot.stiffnessFactor = F32(c.stiffnessFactor);
            auto planned = MakeShot(GetParam(), table, kBalls, F32(40.0f), F32(8.0f), shot);
            planned.maxCalls = 6000;
            const ShotResult r = RunShot(planned);
            EXPECT_TRUE(r.rest && r.allFinite) << "table " << table << " corner " << &c - corners;
        }
}

INSTANTIATE_TEST_SUITE_P(AllIds, StrikeLimits, ::testing::ValuesIn(AllModelIds()), ModelName);

}  // namespace
}  // namespace physics::testing
