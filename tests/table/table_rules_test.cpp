// The rules controller: racks that fit their table, shots that run to rest the same way every
// time, the model fallback, the miscue sounds of the strike itself, and the re-rack rules.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "table/CameraRig.h"
#include "table/GameTypes.h"
#include "table/TableRules.h"

namespace table {
namespace {

using physics::F32;

std::uint32_t BallHash(const TableRules& rules) {
    std::uint32_t h = 2166136261u;
    auto add = [&h](std::uint32_t word, int bytes) {
        for (int i = 0; i < bytes; ++i) {
            h ^= (word >> (8 * i)) & 0xFF;
            h *= 16777619u;
        }
    };
    for (std::size_t i = 0; i < rules.BallCount(); ++i) {
        const physics::Ball& b = rules.GetBall(i);
        add(b.position.x.Bits(), 4);
        add(b.position.y.Bits(), 4);
        add(b.position.z.Bits(), 4);
        add(b.outOfPlay, 1);
    }
    return h;
}

void Prepare(TableRules& rules, int gameType, std::uint32_t seed = 7) {
    ASSERT_TRUE(rules.SetGameType(gameType));
    ASSERT_TRUE(rules.CreateModel(kDefaultModelId, true));
    rules.SeedRandom(seed);
    rules.RackBalls();
}

// The ball nearest to the cue ball (ball 0).
std::size_t NearestBall(const TableRules& rules) {
    std::size_t best = 1;
    double bestDistance = 1e30;
    const physics::Vector3& cue = rules.GetBall(0).position;
    for (std::size_t i = 1; i < rules.BallCount(); ++i) {
        const physics::Vector3& p = rules.GetBall(i).position;
        const double d = std::hypot(double{p.x.Value()} - cue.x.Value(), double{p.y.Value()} - cue.y.Value());
        if (d < bestDistance) bestDistance = d, best = i;
    }
    return best;
}

// A default shot of ball 0 aimed at the nearest ball.
StrikeArgs DefaultStrike(const TableRules& rules) {
    StrikeArgs args;
    args.aimX = rules.GetBall(NearestBall(rules)).position.x;
    args.aimY = rules.GetBall(NearestBall(rules)).position.y;
    return args;
}

struct ShotOutcome {
    std::uint32_t hash = 0;
    std::uint32_t calls = 0;
    std::uint32_t ticks = 0;
};

ShotOutcome RunToRest(TableRules& rules, float speed = 1.0f) {
    rules.SetSpeedFactor(speed);
    ShotOutcome out;
    while (rules.ShotRunning()) {
        ++out.ticks;
        if (rules.FrameStepsDue() > 0) rules.FrameStep();
    }
    out.calls = rules.ShotCalls();
    out.hash = BallHash(rules);
    return out;
}

TEST(TableRules, EveryGameTypeRacksInsideItsTableWithoutTouchingBalls) {
    for (int type = 0; type < game::kCount; ++type) {
        TableRules rules;
        Prepare(rules, type);
        const GameTypeInfo& info = GameTypeOf(type);
        ASSERT_EQ(rules.BallCount(), info.ballCount) << type;
        const float r = BallKindOf(info.ballKind).radiusCm.Value();
        for (std::size_t i = 0; i < rules.BallCount(); ++i) {
            const physics::Ball& a = rules.GetBall(i);
            EXPECT_TRUE(a.IsInsideCushions(F32(0.0f))) << "type " << type << " ball " << i;
            EXPECT_EQ(a.position.z.Value(), r) << "type " << type << " ball " << i;
            EXPECT_EQ(a.radiusCm.Value(), r);
            EXPECT_TRUE(a.IsAtRest());
            for (std::size_t j = i + 1; j < rules.BallCount(); ++j) {
                const physics::Ball& b = rules.GetBall(j);
                const double d = std::hypot(double{a.position.x.Value()} - b.position.x.Value(),
                                            double{a.position.y.Value()} - b.position.y.Value());
                EXPECT_GT(d, 2.0 * r) << "type " << type << " balls " << i << ", " << j;
            }
        }
    }
}

TEST(TableRules, EightBallRackPutsTheEightInTheMiddleAndMixedBackCorners) {
    for (std::uint32_t seed : {1u, 2u, 3u, 99u}) {
        TableRules rules;
        Prepare(rules, game::kEightBall, seed);
        // Slots from the apex: 0; 1-2; 3-5; 6-9; 10-14. The 8 takes slot 4, the corners 10 and 14.
        auto ballAt = [&](float x, float y) {
            for (std::size_t i = 0; i < rules.BallCount(); ++i) {
                const auto& p = rules.GetBall(i).position;
                if (std::fabs(p.x.Value() - x) < 0.01f && std::fabs(p.y.Value() - y) < 0.01f) return int(i);
            }
            return -1;
        };
        const physics::Vector3 apex = rules.GetBall(1).position;
        const physics::Vector3 eight = rules.GetBall(8).position;
        EXPECT_GT(eight.x.Value(), apex.x.Value());
        EXPECT_EQ(eight.y.Value(), 0.0f);
        float backX = apex.x.Value(), backY = 0.0f;
        for (std::size_t i = 1; i < rules.BallCount(); ++i) {
            backX = std::max(backX, rules.GetBall(i).position.x.Value());
            backY = std::max(backY, rules.GetBall(i).position.y.Value());
        }
        const int left = ballAt(backX, -backY), right = ballAt(backX, backY);
        ASSERT_GT(left, 0);
        ASSERT_GT(right, 0);
        EXPECT_TRUE((left < 8) != (right < 8)) << "seed " << seed << ": " << left << ", " << right;
    }
}

TEST(TableRules, DefaultShotOfEveryGameTypeRestsWithTheSameHashAtEverySpeed) {
    for (int type = 0; type < game::kCount; ++type) {
        ShotOutcome outcomes[2];
        const float speeds[2] = {1.0f, 0.25f};
        for (int run = 0; run < 2; ++run) {
            TableRules rules;
            Prepare(rules, type);
            const std::size_t aimed = NearestBall(rules);
            const physics::Vector3 target = rules.GetBall(aimed).position;
            ASSERT_TRUE(rules.Strike(DefaultStrike(rules), 0));
            outcomes[run] = RunToRest(rules, speeds[run]);
            EXPECT_FALSE(rules.GetBall(aimed).position == target)
                << "type " << type << ": the aimed ball was not hit";
            for (std::size_t i = 0; i < rules.BallCount(); ++i) {
                EXPECT_TRUE(rules.GetBall(i).IsAtRest()) << type;
                EXPECT_TRUE(std::isfinite(rules.GetBall(i).position.x.Value())) << type;
            }
            EXPECT_LT(rules.ShotCalls(), kMaxShotCalls) << type;
        }
        EXPECT_EQ(outcomes[0].hash, outcomes[1].hash) << type;
        EXPECT_EQ(outcomes[0].calls, outcomes[1].calls) << type;
        EXPECT_EQ(outcomes[1].ticks, 4 * outcomes[0].ticks) << type;
    }
}

TEST(TableRules, UnknownModelIdFallsBackToTheDefaultModel) {
    TableRules rules;
    ASSERT_TRUE(rules.SetGameType(game::kThreeCushion));
    ASSERT_TRUE(rules.CreateModel(0x20000, true));
    EXPECT_EQ(rules.Model()->ModelId(), kDefaultModelId);
    ASSERT_TRUE(rules.CreateModel(0x10003, true));
    EXPECT_EQ(rules.Model()->ModelId(), 0x10003u);
    EXPECT_EQ(rules.BallCount(), 3);
    EXPECT_EQ(rules.GetBall(2).radiusCm.Value(), 3.075f);
}

TEST(TableRules, GameTypeChangeResizesTheBallsAndRefusesUnknownTypes) {
    TableRules rules;
    Prepare(rules, game::kFourBall);
    ASSERT_TRUE(rules.SetGameType(game::kSnooker));
    EXPECT_EQ(rules.BallCount(), 22);
    EXPECT_EQ(rules.GetBall(21).radiusCm.Value(), 2.625f);
    EXPECT_EQ(rules.GetBall(21).mass.Value(), 0.142f);
    EXPECT_FALSE(rules.SetGameType(17));
    EXPECT_FALSE(rules.SetGameType(-1));
    EXPECT_EQ(rules.GameType(), game::kSnooker);
    EXPECT_FALSE(rules.SetTableKind(12));
}

bool HasSound(const std::vector<SoundRequest>& sounds, RulesSound id) {
    return std::any_of(sounds.begin(), sounds.end(), [id](const SoundRequest& s) { return s.id == int(id); });
}

TEST(TableRules, MiscueSoundsComeOnlyFromTheStrikesOwnMiscue) {
    TableRules rules;
    Prepare(rules, game::kThreeCushion);
    // A miscue left over from an earlier shot sits first in the queue.
    physics::PhysicsEvent stale;
    stale.type = physics::EventType::Miscue;
    stale.intensity = F32(1.0f);
    physics::PushPhysicsEvent(stale);
    ASSERT_TRUE(rules.Strike(DefaultStrike(rules), 0));
    EXPECT_FALSE(HasSound(rules.TakeSoundRequests(), RulesSound::MiscueSlip));
    RunToRest(rules);

    // The tip far beyond a small miscue-free limit slips.
    StrikeArgs slip = DefaultStrike(rules);
    slip.offsetLimitSide = F32(0.2f);
    slip.tipOffsetSide = F32(0.95f);
    ASSERT_TRUE(rules.Strike(slip, 0));
    ASSERT_TRUE(std::any_of(rules.StrikeEvents().begin(), rules.StrikeEvents().end(),
                            [](const auto& e) { return e.type == physics::EventType::Miscue; }));
    const std::vector<SoundRequest> sounds = rules.TakeSoundRequests();
    EXPECT_TRUE(HasSound(sounds, RulesSound::MiscueSlip));
    EXPECT_TRUE(HasSound(sounds, RulesSound::MiscueClick));
    for (const SoundRequest& s : sounds) EXPECT_TRUE(s.volume >= 0.0f && s.volume <= 1.0f);
    EXPECT_TRUE(rules.TakeSoundRequests().empty());
}

TEST(TableRules, StrikeOfAMissingBallIsRefused) {
    TableRules rules;
    EXPECT_FALSE(rules.Strike(StrikeArgs{}, 0));
    Prepare(rules, game::kThreeCushion);
    EXPECT_FALSE(rules.Strike(DefaultStrike(rules), 3));
    EXPECT_FALSE(rules.ShotRunning());
}

TEST(TableRules, ResultCodeKeepsTheThousandsDigitOnlyFromCountFour) {
    const struct {
        int raw, read;
    } cases[] = {{4, 4}, {3004, 3004}, {5007, 3007}, {2003, 3}, {1000, 0}, {1001, 1}, {-3, -3}, {0, 0}};
    TableRules rules;
    for (const auto& c : cases) {
        rules.SetShotResultCode(c.raw, true);
        EXPECT_EQ(rules.GetShotResultCode(), c.read) << c.raw;
    }
}

void Pocket(physics::Ball& ball) {
    ball.outOfPlay = 1;
    ball.position = physics::Vector3(F32(0.0f), F32(0.0f), F32(-10.0f));
}

TEST(TableRules, StraightPoolReracksAroundTheLastBallAndTheCueBall) {
    TableRules rules;
    Prepare(rules, game::kStraightPool);
    // Ball 1 stays on the apex, the cue ball off the rack.
    for (std::size_t i = 2; i < rules.BallCount(); ++i) Pocket(rules.GetBall(i));
    rules.GetBall(0).position = physics::Vector3(F32(-60.0f), F32(20.0f), rules.GetBall(0).radiusCm);
    ASSERT_TRUE(rules.Rerack(5, false, 4));
    EXPECT_TRUE(HasSound(rules.TakeSoundRequests(), RulesSound::Rerack));
    EXPECT_EQ(rules.GetBall(0).position.x.Value(), -60.0f);  // the cue ball stays
    EXPECT_LT(rules.GetBall(1).position.x.Value(), 0.0f);    // the last ball left the rack area
    for (std::size_t i = 0; i < rules.BallCount(); ++i) {
        EXPECT_EQ(rules.GetBall(i).outOfPlay, 0) << i;
        for (std::size_t j = i + 1; j < rules.BallCount(); ++j) {
            const double d =
                std::hypot(double{rules.GetBall(i).position.x.Value()} - rules.GetBall(j).position.x.Value(),
                           double{rules.GetBall(i).position.y.Value()} - rules.GetBall(j).position.y.Value());
            EXPECT_GT(d, 2.0 * rules.GetBall(i).radiusCm.Value()) << i << ", " << j;
        }
    }
    // Two object balls in play: nothing to do.
    Pocket(rules.GetBall(5));
    EXPECT_FALSE(rules.Rerack(5, true, 4));
}

TEST(TableRules, EightAndNineBallRerackOnlyAClearedTableInTheirStates) {
    for (int type : {game::kEightBall, game::kNineBall}) {
        TableRules rules;
        Prepare(rules, type);
        Pocket(rules.GetBall(3));
        EXPECT_FALSE(rules.Rerack(1, true, 4)) << "object balls left";
        for (std::size_t i = 1; i < rules.BallCount(); ++i) Pocket(rules.GetBall(i));
        EXPECT_FALSE(rules.Rerack(1, false, 6)) << type;
        EXPECT_FALSE(rules.Rerack(1, false, 7)) << type;
        EXPECT_TRUE(rules.TakeSoundRequests().empty());
        for (int state : {4, 5}) {
            for (std::size_t i = 1; i < rules.BallCount(); ++i) Pocket(rules.GetBall(i));
            EXPECT_TRUE(rules.Rerack(1, false, state)) << type << " state " << state;
        }
        for (std::size_t i = 1; i < rules.BallCount(); ++i) Pocket(rules.GetBall(i));
        ASSERT_TRUE(rules.Rerack(1, true, 0));
        for (std::size_t i = 0; i < rules.BallCount(); ++i) EXPECT_EQ(rules.GetBall(i).outOfPlay, 0);
        EXPECT_TRUE(HasSound(rules.TakeSoundRequests(), RulesSound::Rerack));
    }
}

TEST(TableRules, SnapshotPutsTheBallsBackWhereTheShotStarted) {
    TableRules rules;
    Prepare(rules, game::kNineBall);
    rules.SnapshotBalls();
    const std::uint32_t before = BallHash(rules);
    ASSERT_TRUE(rules.Strike(DefaultStrike(rules), 0));
    RunToRest(rules);
    ASSERT_NE(BallHash(rules), before);
    ASSERT_TRUE(rules.RestoreSnapshot());
    EXPECT_EQ(BallHash(rules), before);
}

// Strike words no client sends (an offset limit beside another tip offset on 0x10000 to 0x10004) made
// the cue ball no number: the shot ran to the cap of 24,000 calls on every client, and its table state
// was one no peer could take. It now ends at the call that broke it, with the balls where it started,
// judged as a shot that touched nothing.
TEST(TableRules, AShotWhoseBallBecomesNoNumberEndsAtOnceWithTheBallsWhereItStarted) {
    for (int gameType : {game::kThreeCushion, game::kNineBall}) {
        TableRules rules;
        ASSERT_TRUE(rules.SetGameType(gameType));
        ASSERT_TRUE(rules.CreateModel(0x10002, true));
        rules.SeedRandom(7);
        rules.RackBalls();
        const std::uint32_t before = BallHash(rules);
        StrikeArgs args = DefaultStrike(rules);
        args.offsetLimitSide = args.offsetLimitVertical = F32(0.5f);
        args.tipOffsetSide = F32(-1.0f);
        args.elevationDegrees = F32(71.6f);
        args.power = args.contactFactor = args.stiffnessFactor = F32(1.0f);
        args.limitFactor = F32(0.0f);
        ASSERT_TRUE(rules.Strike(args, 0));
        while (rules.ShotRunning()) rules.FrameStep();
        EXPECT_LT(rules.ShotCalls(), 100u) << "game type " << gameType;
        EXPECT_EQ(BallHash(rules), before) << "game type " << gameType;
        EXPECT_EQ(rules.GetShotResultCode(), 0) << "game type " << gameType;
        EXPECT_TRUE(rules.FirstBallList().empty() && rules.SecondBallList().empty());
    }
}

TEST(TableRules, SnookerYellowStandsOnTheRightOfTheDAndGreenOnTheLeftSeenFromBaulk) {
    TableRules rules;
    Prepare(rules, game::kSnooker);
    // The player at the baulk end looks up the table along +x, through the table's own view.
    CameraRig rig;
    rig.SetView({300.0f, 30.0f, 0.0f, 0.0f}, {});
    const Matrix4f view = rig.ViewMatrix();
    auto screenX = [&](std::size_t ball) {
        const physics::Ball& b = rules.GetBall(ball);
        return b.position.x.Value() * At(view, 0, 0) + b.position.y.Value() * At(view, 1, 0) +
               b.position.z.Value() * At(view, 2, 0) + At(view, 3, 0);
    };
    const float yellow = screenX(16), green = screenX(17), brown = screenX(18);
    EXPECT_GT(yellow, brown);
    EXPECT_LT(green, brown);
}

// The sideways turn a square cushion hit gives the cue ball with the given side offset: struck
// from (-60, 20) along +x into the far cushion (the other balls out of its way), the sideways
// drift per centimetre back minus the drift per centimetre out. Without spin a cushion only
// reverses the ball's run along x, and the difference is 0.
float SidewaysTurnAtTheCushion(float side) {
    TableRules rules;
    Prepare(rules, game::kThreeCushion);
    const auto place = [&rules](std::size_t i, float x, float y) {
        rules.GetBall(i).position.x = F32(x);
        rules.GetBall(i).position.y = F32(y);
    };
    place(0, -60.0f, 20.0f);
    place(1, -100.0f, -50.0f);
    place(2, 100.0f, -50.0f);
    StrikeArgs args;
    args.power = F32(0.5f);
    args.aimX = F32(40.0f);
    args.aimY = F32(20.0f);
    args.offsetLimitSide = args.tipOffsetSide = F32(side);
    EXPECT_TRUE(rules.Strike(args, 0));
    const physics::Vector3& p = rules.GetBall(0).position;
    float farX = p.x.Value(), farY = p.y.Value();
    while (rules.ShotRunning()) {
        if (rules.FrameStepsDue() > 0) rules.FrameStep();
        if (p.x.Value() > farX) farX = p.x.Value(), farY = p.y.Value();
    }
    const float out = (farY - 20.0f) / (farX + 60.0f);
    const float back = (p.y.Value() - farY) / (farX - p.x.Value());
    return back - out;
}

TEST(TableRules, RightSideSpinTurnsACushionReboundToTheShootersRight) {
    // In the drawn table the shooter looking along +x has +y on the right, and the tip control's
    // right is a positive side offset: right spin must turn the rebound to the right (+y).
    EXPECT_NEAR(SidewaysTurnAtTheCushion(0.0f), 0.0f, 0.01f);
    EXPECT_GT(SidewaysTurnAtTheCushion(0.5f), 0.05f);
    EXPECT_LT(SidewaysTurnAtTheCushion(-0.5f), -0.05f);
}
}  // namespace
}  // namespace table
