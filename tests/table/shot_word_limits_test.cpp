// The limits of the strike words: what a client sends lies within them, and a peer's shot (2052)
// outside them is brought to the nearer bound on every client and comes to rest.
#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <limits>

#include "engine/core/Lcg.h"
#include "engine/core/Log.h"
#include "physics/PhysicsConstants.h"
#include "table/BallPlaces.h"
#include "table/TableWorld.h"

using namespace table;

namespace {

// One word set outside its limit, with its twin of the other offset pair set alike (a client sends
// the offset limit equal to the tip offset).
struct BadWord {
    const char* name;
    float ShotWords::*word;
    float value;
    float fitted;
    float ShotWords::*twin = nullptr;
};

const BadWord kBadWords[] = {
    {"power 100", &ShotWords::power, 100.0f, 1.0f},
    {"power below 0", &ShotWords::power, -3.0f, 0.0f},
    {"contact factor -2.5", &ShotWords::contactFactor, -2.5f, 0.0f},
    {"contact factor 1e6", &ShotWords::contactFactor, 1e6f, 1.0f},
    {"aim x 3e38", &ShotWords::aimX, 3e38f, kAimReach},
    {"aim y -1e9", &ShotWords::aimY, -1e9f, -kAimReach},
    {"offset limit side 50", &ShotWords::offsetLimitSide, 50.0f, 1.0f, &ShotWords::tipOffsetSide},
    {"offset limit vertical -50", &ShotWords::offsetLimitVertical, -50.0f, -1.0f,
     &ShotWords::tipOffsetVertical},
    {"tip offset side 1e30", &ShotWords::tipOffsetSide, 1e30f, 1.0f, &ShotWords::offsetLimitSide},
    {"tip offset vertical -7", &ShotWords::tipOffsetVertical, -7.0f, -1.0f, &ShotWords::offsetLimitVertical},
    {"offset limit side beside a tip offset of 0", &ShotWords::offsetLimitSide, 0.5f, 0.0f},
    {"offset limit vertical beside a tip offset of 0", &ShotWords::offsetLimitVertical, -1.0f, 0.0f},
    {"elevation -90", &ShotWords::elevationDegrees, -90.0f, 0.0f},
    {"elevation 1000", &ShotWords::elevationDegrees, 1000.0f, 90.0f},
    {"limit factor 1e9", &ShotWords::limitFactor, 1e9f, 2.0f},
    {"stiffness factor -1e9", &ShotWords::stiffnessFactor, -1e9f, 0.0f},
    {"offset reduction a 1e9", &ShotWords::reductionA, 1e9f, 4.0f},
    {"offset reduction b -3", &ShotWords::reductionB, -3.0f, 0.0f},
    {"power NaN", &ShotWords::power, std::numeric_limits<float>::quiet_NaN(), 0.0f},
    {"contact factor infinity", &ShotWords::contactFactor, std::numeric_limits<float>::infinity(), 1.0f},
    {"elevation -infinity", &ShotWords::elevationDegrees, -std::numeric_limits<float>::infinity(), 0.0f},
    {"tip offset side NaN", &ShotWords::tipOffsetSide, -std::numeric_limits<float>::quiet_NaN(), -1.0f,
     &ShotWords::offsetLimitSide},
};

void SetBadWord(ShotWords& words, const BadWord& bad) {
    words.*bad.word = bad.value;
    if (bad.twin) words.*bad.twin = bad.value;
}

// The words without a limit, when they are no finite number, take the default shot's value.
const BadWord kBadFreeWords[] = {
    {"aim x NaN", &ShotWords::aimX, std::numeric_limits<float>::quiet_NaN(), 0.0f},
    {"aim y -infinity", &ShotWords::aimY, -std::numeric_limits<float>::infinity(), 0.0f},
    {"maximum power infinity", &ShotWords::maxPower, std::numeric_limits<float>::infinity(), kDefaultPower},
    {"chalk NaN", &ShotWords::chalk, std::numeric_limits<float>::quiet_NaN(), 0.0f},
};

float FloatOf(std::uint32_t bits) {
    float f;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

TEST(ShotWordLimits, EachWordOutsideItsLimitIsNamedAndTakenToTheNearerBoundAlone) {
    EXPECT_TRUE(ShotWordsProblem(ShotWords{}).empty()) << "the default shot";
    for (const BadWord& bad : kBadWords) {
        SCOPED_TRACE(bad.name);
        ShotWords words;
        words.maxPower = 7.0f;  // maximum power and chalk only need to be finite
        words.chalk = -3e38f;
        SetBadWord(words, bad);
        const ShotWordLimit* first = FirstWordOutOfLimit(words);
        if (first) {
            EXPECT_TRUE(first->word == bad.word || first->word == bad.twin);
        }
        EXPECT_FALSE(ShotWordsProblem(words).empty());
        EXPECT_EQ(FitToLimits(words), bad.twin ? 2 : 1);
        EXPECT_EQ(words.*bad.word, bad.fitted);
        if (bad.twin) {
            EXPECT_EQ(words.*bad.twin, bad.fitted);
        }
        EXPECT_EQ(words.maxPower, 7.0f);
        EXPECT_EQ(words.chalk, -3e38f);
        EXPECT_TRUE(ShotWordsProblem(words).empty());
    }
    ShotWords apart;
    apart.offsetLimitVertical = 0.25f;
    apart.tipOffsetVertical = -0.5f;
    EXPECT_EQ(ShotWordsProblem(apart), u"offsetLimit vertical 0.25 differs from tipOffset vertical -0.5");
    for (const BadWord& bad : kBadFreeWords) {
        SCOPED_TRACE(bad.name);
        ShotWords words;
        words.*bad.word = bad.value;
        EXPECT_EQ(ShotWordsProblem(words), u"a word that is no number");
        EXPECT_EQ(FitToLimits(words), 1);
        EXPECT_EQ(words.*bad.word, bad.fitted);
        EXPECT_TRUE(ShotWordsProblem(words).empty());
    }
    // Every client reads every NaN, quiet or signalling, of either sign, as the same word.
    const float zero = 0.0f;
    for (std::uint32_t bits : {0x7FC00000u, 0xFFC00000u, 0x7F800001u, 0xFFFFFFFFu}) {
        ShotWords words;
        words.power = FloatOf(bits);
        words.aimX = FloatOf(bits);
        EXPECT_EQ(FitToLimits(words), 2) << std::hex << bits;
        EXPECT_EQ(std::memcmp(&words.power, &zero, sizeof zero), 0) << "power +0";
        EXPECT_EQ(std::memcmp(&words.aimX, &zero, sizeof zero), 0) << "aim x +0";
    }
}

// A world as a client in a room holds it: the game's table, messages ignored, ticks by hand.
struct RoomWorld {
    TableWorld world;
    std::uint32_t tick = 0;
    explicit RoomWorld(std::uint32_t model, int gameType = 4) {
        world.SetMessageSink([](WorldMessage, std::uint32_t, std::uint32_t) {});
        EXPECT_TRUE(world.SetGameType(gameType));
        world.SetGameItems(0, 0);
        EXPECT_TRUE(world.SetPhysicsModel(model, true));
        world.StartNewRack(7);
        world.SetPlayState(PlayState::FreePractice);
    }
    // The 2052 body of a strike toward ball 1 with one word replaced.
    bool Receive(const BadWord& bad) {
        ShotMessage shot;
        float z;
        world.BallPosition(1, shot.words.aimX, shot.words.aimY, z);
        shot.words.power = 0.9f;
        SetBadWord(shot.words, bad);
        return Receive(shot.words);
    }
    bool Receive(const ShotWords& words) {
        ShotMessage shot;
        shot.words = words;
        net::Packet out, in;
        WriteShotMessage(out, shot);
        out.Finish();
        in.SetFrames(out.Data(), out.Size());
        return world.ReadShotMessage(in);
    }
};

TEST(ShotWordLimits, EveryShotTheOwnAimMakesIsWithinTheLimits) {
    RoomWorld h(0x10014);
    AimState& aim = h.world.Aim();
    for (float tip : {-1.0f, -0.7f, 0.0f, 0.7f, 1.0f})
        for (float elevation : {0.0f, 89.0f}) {
            aim.SetTipOffset(tip, tip);
            aim.SetYawDegrees(elevation + tip * 135.0f);
            aim.SetElevationDegrees(elevation);
            aim.SetPower(1.0f);
            const ShotWords words = h.world.ShotFromAim();
            EXPECT_TRUE(ShotWordsProblem(words).empty()) << "tip " << tip << " elevation " << elevation;
        }
    // The cue ball lies in play wherever the own cue strikes it, the aim point a fixed distance away.
    for (std::uint32_t tableType = 0; tableType < physics::kTableTypeCount; ++tableType) {
        EXPECT_LE(InPlayBox(tableType).xMax + kAimPointDistance, kAimReach) << "table " << tableType;
        EXPECT_LE(InPlayBox(tableType).yMax + kAimPointDistance, kAimReach) << "table " << tableType;
    }
}

// 0x10007 never rested at power 100 and 0x10014 never at a contact factor of -2.5: the shot ran to
// the rules' cap of 24,000 calls (two minutes) on every client of the room. A word that was no finite
// number had the shot dropped, so the turn was never played and the room waited for ever.
TEST(ShotWordLimits, APeersShotOutsideTheLimitsPlaysWithinThemAndComesToRest) {
    std::vector<BadWord> all(std::begin(kBadWords), std::end(kBadWords));
    all.insert(all.end(), std::begin(kBadFreeWords), std::end(kBadFreeWords));
    for (std::uint32_t model : {0x10007u, 0x10014u})
        for (const BadWord& bad : all) {
            SCOPED_TRACE(std::string(bad.name) + (model == 0x10007u ? " on 0x10007" : " on 0x10014"));
            RoomWorld h(model);
            ASSERT_TRUE(h.Receive(bad));
            EXPECT_EQ(h.world.CurrentShot().words.*bad.word, bad.fitted);
            ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Server, false));
            while (h.world.ShotExecuting() && h.tick < 6000) h.world.Update(++h.tick, 0, 0, false);
            EXPECT_FALSE(h.world.ShotExecuting()) << "still running after 30 s of play";
        }
}

// Whatever words a peer sends strike, once fitted, a shot that rests before the rules' cap with every
// ball a number and where shots leave balls. Models 0x10000 to 0x10004 struck a cue ball that was no
// number from an offset limit beside another tip offset (the first shot's words, each within its limit):
// the shot ran to the rules' cap, two minutes, on every client.
TEST(ShotWordLimits, WordsWithinTheLimitsComeToRestOnEveryModel) {
    std::atomic<int> broken{0};
    GetLog().SetObserver(
        [&](const std::string& line) { broken += line.find("is no number") != std::string::npos; });
    Lcg random;
    random.Seed(2052);
    const auto uniform = [&](float lo, float hi) {
        return lo + (hi - lo) * static_cast<float>(random.Next() >> 8) / 16777216.0f;
    };
    for (std::uint32_t model = physics::kFirstModelId; model <= physics::kLastModelId; ++model)
        for (int gameType : {4, 10})
            for (int shot = 0; shot < 3; ++shot) {
                const std::string what = "model " + std::to_string(model) + " game type " +
                                         std::to_string(gameType) + " shot " + std::to_string(shot);
                RoomWorld h(model, gameType);
                ShotWords words{0.8f, 1.0f, 1.0f, 20.0f, 10.0f, 0.5f, 0.5f, -1.0f, 0.0f, 71.6f, 0.0f, 1.0f};
                for (const ShotWordLimit& limit : ShotWordLimits())
                    if (shot > 0) words.*limit.word = uniform(limit.lo, limit.hi);
                ASSERT_TRUE(h.Receive(words)) << what;
                EXPECT_EQ(h.world.CurrentShot().words.offsetLimitSide,
                          h.world.CurrentShot().words.tipOffsetSide);
                ASSERT_TRUE(h.world.ExecuteShot(ShotMode::Server, false));
                while (h.world.ShotExecuting()) h.world.Update(++h.tick, 0, 0, false);
                EXPECT_LT(h.world.LastShotCalls(), 24000u) << what;
                for (std::size_t i = 0; i < h.world.BallCount(); ++i) {
                    float x, y, z;
                    h.world.BallPosition(i, x, y, z);
                    EXPECT_EQ(BallPlaceProblem(TableTypeOfGame(gameType, 0), static_cast<int>(i),
                                               !h.world.BallOutOfPlay(i), x, y, z),
                              u"")
                        << what;
                }
            }
    GetLog().SetObserver(nullptr);
    EXPECT_EQ(broken, 0);
}

}  // namespace
